#pragma once
// Names that stand for the program itself.

#include <string_view>

namespace varnholt {

// The application title: the window caption's start, the language files' name attribute and their file name prefix.
inline constexpr std::string_view kApplicationTitle = "Varnholt";

}  // namespace varnholt
