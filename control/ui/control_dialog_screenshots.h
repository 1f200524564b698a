#pragma once
// The control panel's dialogs as a person sees them, for the program's screenshots.

#include <functional>
#include <string>

#include "services/program_folder.h"

class QWidget;

namespace varnholt {

struct MachineLink;

// Opens the move-wire dialog with values typed in and the firmware upgrade dialog (once as it opens, once with its
// service panel shown), each in turn, and hands each to save with a file name stem ("move_wire",
// "firmware_upgrade", "firmware_upgrade_service"). Firmware images are looked for in the program folders.
void ShowControlDialogs(MachineLink& link, const ProgramFolders& folders,
                        const std::function<void(QWidget& dialog, const std::string& name)>& save);

}  // namespace varnholt
