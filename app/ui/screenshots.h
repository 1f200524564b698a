#pragma once
// The unattended runs of the desktop program: pictures of what a person sees, for the README and for review, and
// a cut through the window on the simulated controller.

#include <optional>
#include <string>

namespace varnholt {

class Program;
class TMainForm;
class TMDIChild;
class VirtualClock;

// Saves into folder what a person sees with project open in the main window: main_window.png with the planned
// project, simulation.png with the simulation half way (on the virtual clock), configuration_parameters.png and
// configuration_plotter.png with the two pages of the configuration dialog, information.png and about.png,
// duplication.png with the duplication dialog, duplicated_project.png with a grid of three by two in a window of
// its own (closed again afterwards), kerf.png with the frame sample compensated for a 2 mm kerf (also closed
// again), move_wire.png, firmware_upgrade.png and firmware_upgrade_service.png with the control panel's dialogs.
// True when every picture was saved.
bool SaveScreenshots(TMainForm& form, Program& program, VirtualClock& clock, TMDIChild& project,
                     const std::string& folder);

// Opens drawing in the main window, saves the pictures into pictures_folder when one is given, then, with cut,
// cuts the drawing once through the window (the machine on the virtual clock) and prints what happened on standard
// output; closes the window. Returns the program's exit code: 0 when the drawing opened, every picture was saved
// and the cut, if asked for, ended and was noticed with every move of its program executed.
int RunUnattended(TMainForm& form, Program& program, VirtualClock& clock, const std::string& drawing,
                  const std::optional<std::string>& pictures_folder, bool cut);

// The drawing the unattended runs open when none was named: a sample of the program folder.
std::string ScreenshotDrawing(const Program& program);

}  // namespace varnholt
