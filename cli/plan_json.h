#pragma once
// The plan of a loaded project as JSON, as the plan command prints it.

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/project_loading.h"
#include "cli/text_out.h"

namespace varnholt::cli {

// Points as a JSON array of [x,y] pairs, written out or as a text.
void WritePoints(const std::vector<TPlotPoint>& points, TextOut& out);
std::string PointsJson(const std::vector<TPlotPoint>& points);

// The project's planning fields, every entry with its tree fields (and the points of all but drawing figures) and
// the messages shown, as one JSON object ended by a line break; more_members (",\"name\":value"...) go last.
void WritePlanJson(const LoadedProject& loaded, std::ostream& out, std::string_view more_members);

}  // namespace varnholt::cli
