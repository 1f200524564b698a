#pragma once
// What a load passed over or changed, as the operator reads it in the project's load report.

#include <string>
#include <vector>

namespace varnholt {

class ProjectDocument;

// One line per reader note ("line N: text", or the text alone for a note about the whole file), then the
// number of open figures joined end to end and of duplicates left out, each only when there were any.
std::vector<std::string> LoadReportLines(const ProjectDocument& project);

}  // namespace varnholt
