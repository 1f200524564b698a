#pragma once
// Captions of the language files outside the menus: the accelerator marks of a menu caption taken out.

#include <string>
#include <string_view>

namespace varnholt {

// The caption as a hint or a window title shows it: each '&' that marks an accelerator dropped, "&&" one '&'
// ("&Start" "Start", "Cut && run" "Cut & run").
std::string WithoutMnemonics(std::string_view caption);

}  // namespace varnholt
