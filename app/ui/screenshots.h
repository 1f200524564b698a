#pragma once
// The unattended runs of the desktop program: pictures of what a person sees, for the README and for review, and
// a cut through the window on the simulated controller.

#include <functional>
#include <optional>
#include <string>

class QWidget;

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
// again), move_wire.png, firmware_upgrade.png and firmware_upgrade_service.png with the control panel's dialogs,
// control_panel.png and control_panel_service.png with the control panel. True when every picture was saved.
bool SaveScreenshots(TMainForm& form, Program& program, VirtualClock& clock, TMDIChild& project,
                     const std::string& folder);

// Opens the control panel with F5 and hands it to save, once the status step has shown it, as "control_panel",
// then with its test and service panels opened by their keys as "control_panel_service"; closes it again. On the
// simulated controller the arm and conveyor speeds and the powers are set and the arms stand at 1200 x 350 mm for
// the pictures; the wire goes back to where it stood afterwards. A real controller is not moved. The form's
// machine must be connected at the program clock's pace.
void SaveControlPanelPictures(TMainForm& form, Program& program,
                              const std::function<void(QWidget& window, const std::string& name)>& save);

// Opens drawing in the main window, saves the pictures into pictures_folder when one is given, then, with cut,
// cuts the drawing once through the window (the machine on the virtual clock) and prints what happened on standard
// output; closes the window. Returns the program's exit code: 0 when the drawing opened, every picture was saved
// and the cut, if asked for, ended and was noticed with every move of its program executed.
int RunUnattended(TMainForm& form, Program& program, VirtualClock& clock, const std::string& drawing,
                  const std::optional<std::string>& pictures_folder, bool cut);

// The drawing the unattended runs open when none was named: a sample of the program folder.
std::string ScreenshotDrawing(const Program& program);

}  // namespace varnholt
