#pragma once
// The program-wide machine objects in the order the program creates them: the controller link, the transmission,
// the manual control panel, and the cutting run that uses them. The main window owns one; the command line and the
// tests build one over the simulated controller.

#include <memory>
#include <string>

#include "app/cutting_run.h"
#include "config/parameters.h"
#include "control/joystick.h"
#include "control/main_window_port.h"
#include "control/tster.h"
#include "link/controller_ops.h"
#include "link/hid_backend.h"
#include "link/run_flags.h"
#include "link/tf_usb.h"
#include "link/trans_arm.h"
#include "project/cut_progress.h"

namespace varnholt {

class tInterfejs;

struct SessionOptions {
  std::string program_folder;        // with a trailing separator
  bool test_mode = false;            // command-line "test"
  bool separate_third_axes = false;  // command-line "cb1separately" / "t1osobno"
};

class MachineSession {
 public:
  // Creates the link (it looks for the controller and resets it), the transmission and the control panel (its
  // FormCreate runs). Everything given must outlive the session.
  MachineSession(HidBackend& backend, const tInterfejs& texts, const Configuration& config,
                 MainWindowPort& main_window, JoystickPort& joystick, const SessionOptions& options);

  // Nothing goes on by itself: no program started, no transmission that could go on (that of a paused program
  // waits for the buffer it filled), and no controller that answers and is still to be stopped and cooled.
  bool Settled() const {
    return (!transmission.running() || state.Has(kStatusPaused)) && !flags.ProgramStarted &&
           !((link.gate.cooling_due() || link.gate.heaters_off_due()) && usb.present());
  }

  // A cut is under way: its program is being sent, runs, or stands paused on the controller.
  bool Cutting() const {
    return transmission.running() || flags.ProgramStarted || state.Has(kStatusProgramRunning) ||
           state.Has(kStatusPaused);
  }

  // Follows the cut the run began, after each status step and what the step noticed: the positions it read, the
  // end of the program it noticed, and a cut that ended otherwise (given up, or its link or a command failed).
  void FollowCut();
  // Where the wire stands as the last status step read it, in millimetres (false before any read).
  bool WireMillimetres(double& x_mm, double& y_mm) const;

  ControllerState state;
  RunFlags flags;
  TfUsb usb;
  MachineLink link;
  TTransArm transmission;
  Tster panel;
  // How far the cut the run began has got.
  CutProgress progress;
  CuttingRun run;

 private:
  int64_t followed_reads_ = 0;
  int64_t followed_ends_ = 0;
  uint64_t followed_cut_ = 0;
};

}  // namespace varnholt
