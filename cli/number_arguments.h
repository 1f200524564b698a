#pragma once
// Numbers given as command-line words.

#include <optional>
#include <string>

namespace varnholt::cli {

// A whole decimal number within int32; nothing for anything else.
std::optional<int> ParseInt(const std::string& text);
// A finite decimal number; nothing for anything else.
std::optional<double> ParseNumber(const std::string& text);

}  // namespace varnholt::cli
