#pragma once
// The manual control panel as a person sees it, for the program's screenshots.

#include <functional>
#include <string>

#include "services/program_folder.h"

class QWidget;

namespace varnholt {

class Configuration;
class tInterfejs;

// Shows the control panel active against a simulated Qe of its own, the arms standing at 1200 x 350 mm with the
// speeds and powers set, and hands it to save as "control_panel"; then with the test and service panels opened as
// "control_panel_service". No real controller is touched; the moves take the program clock's time (the pictures
// run on virtual time). Firmware images are looked for in the program folder.
void ShowControlPanel(const tInterfejs& texts, const Configuration& config, const ProgramFolders& folders,
                      const std::function<void(QWidget& window, const std::string& name)>& save);

}  // namespace varnholt
