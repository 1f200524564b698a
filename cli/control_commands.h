#pragma once
// The control panel's dialogs on the command line: the firmware upgrade and the move-wire moves, over a link whose
// controller is present and identified.

#include <ostream>

#include "cli/commands.h"

namespace varnholt {
struct MachineLink;
}

namespace varnholt::cli {

// firmware version | upgrade IMAGE [--allow-downgrade] [--recover] | verify IMAGE | read OUT.rom (words after
// "firmware").
// upgrade prints each step and exits 0 only when the image was written and verified.
int RunFirmware(MachineLink& link, const Arguments& words, std::ostream& out, std::ostream& err);

// move-wire to|by X Y Z [--side 1|2|both] (words after "move-wire"): moves the wire as the dialog's Execute button
// does, in the display unit of the configuration, and waits for the move to end.
int RunMoveWire(MachineLink& link, const Arguments& words, std::ostream& err);

}  // namespace varnholt::cli
