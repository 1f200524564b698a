#pragma once
// What a load passed over or changed, as the operator reads it in the project's load report.

#include <string>
#include <vector>

namespace varnholt {

class ProjectDocument;

// One line per reader note ("line N: text", or the text alone for a note about the whole file), then the
// number of open figures joined end to end and of duplicates left out, and the figures the kerf left as drawn,
// each only when there were any.
std::vector<std::string> LoadReportLines(const ProjectDocument& project);

// The message naming the figures the kerf compensation left as drawn; empty when it left none.
std::string KerfKeptAsDrawnText(const ProjectDocument& project);

}  // namespace varnholt
