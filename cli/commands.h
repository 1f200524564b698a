#pragma once
// The subcommands of varnholt-cli; each takes its own arguments and returns the process exit code.

#include <ostream>
#include <string>
#include <vector>

namespace varnholt::cli {

using Arguments = std::vector<std::string>;

// figures FILE [--kind plt|dxf]: the figures of a drawing as JSON.
int RunFigures(const Arguments& args, std::ostream& out, std::ostream& err);

}  // namespace varnholt::cli
