#pragma once
// Both information windows filled as a person sees them, for the program's --screenshots.

#include <functional>
#include <string>

class QWidget;

namespace varnholt {

class tInterfejs;

// Opens the project information window over the shipped sample Samples/frame_with_holes.plt of the program
// folder (planned, timed for a simulated Qe controller) and then the About window with a simulated Qe
// controller connected, and hands each to `look` while it is shown ("info", then "about"). The dealer code is
// the language's. Nothing is shown for the information window when the sample cannot be loaded.
void ShowFilledInfoWindows(const std::string& program_folder, const tInterfejs& texts,
                           const std::function<void(QWidget& window, const std::string& name)>& look);

}  // namespace varnholt
