#pragma once
// The subcommands of varnholt-cli; each takes its own arguments and returns the process exit code.

#include <ostream>
#include <string>
#include <vector>

namespace varnholt::cli {

using Arguments = std::vector<std::string>;

// figures FILE [--kind plt|dxf] [--unit mm|inch|feet]: the figures of a drawing as JSON, with the reader's notes.
int RunFigures(const Arguments& args, std::ostream& out, std::ostream& err);

// config (--defaults | --load FILE | --settings FILE) [--decimal-separator .|,]: the 36 lines of a default or
// loaded configuration file as they would be saved, or the fields of a settings record.
int RunConfig(const Arguments& args, std::ostream& out, std::ostream& err);

// plan FILE [--config FILE.qcc]: loads and plans a drawing and prints the plan as JSON: the project's planning
// fields and every list entry with its tree fields, with the points of connectors, frame and start marker.
int RunPlan(const Arguments& args, std::ostream& out, std::ostream& err);

// preview FILE -o PLAN.png|PLAN.svg [--size WxH] [--config FILE.qcc]: draws the planned project as the project
// window paints it, with the planned path in red over it.
int RunPreview(const Arguments& args, std::ostream& out, std::ostream& err);

}  // namespace varnholt::cli
