#pragma once
// The program-wide flags of a cutting run that the transmission, the control panel and the main window share.

namespace varnholt {

struct RunFlags {
  // Go has been sent for the program on the controller (or it was continued after a pause); the control panel
  // clears it when it sees the program has ended, and the operator's Stop clears it.
  bool ProgramStarted = false;
  // The operator's Stop paused the program; Continue clears it. The main window may then close during a
  // transmission.
  bool MachineStopped = false;
};

}  // namespace varnholt
