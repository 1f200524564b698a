#pragma once
// The program folder: where out.cn, the configuration, the settings, the language files and the samples live.

#include <optional>
#include <string>

namespace varnholt {

// The folder of the running executable, with a trailing '/'; "./" when the system cannot tell.
std::string ExecutableFolder();

// The program folder: the --home folder when one was given, else $VARNHOLT_HOME when set and not empty, else the
// executable's folder. Always with a trailing '/'.
std::string ProgramFolder(const std::optional<std::string>& home_option);

// The folder with a trailing '/' added when it has none ("" stays "").
std::string WithTrailingSeparator(std::string folder);

}  // namespace varnholt
