#pragma once
// Pictures of what a person sees, for the README and for review.

#include <string>

namespace varnholt {

class Program;
class TMainForm;
class VirtualClock;

// Opens drawing in the main window and saves into folder: main_window.png with the planned project,
// simulation.png with the simulation half way (on the virtual clock), configuration_parameters.png and
// configuration_plotter.png with the two pages of the configuration dialog. Returns the program's exit code:
// 0 when every picture was saved.
int SaveScreenshots(TMainForm& form, VirtualClock& clock, const std::string& drawing,
                    const std::string& folder);

// The drawing the pictures show when none was named: a sample of the program folder.
std::string ScreenshotDrawing(const Program& program);

}  // namespace varnholt
