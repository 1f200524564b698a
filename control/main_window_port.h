#pragma once
// What the control panel and the cutting run need from the main window: the open projects, the state of the
// automatic repetition, the machine buttons of its speed bar, and the commands the machine's own buttons ask for.
// The main window implements it; tests and the command line implement it in a few lines.

#include <string>

namespace varnholt {

class ProjectDocument;
struct MachineLamps;

// The enabled state of the main window's machine buttons, as the status step decides it.
struct MainButtonStates {
  bool SpeedStart = false;
  bool Skont = false;  // continue
  bool SpeedPrzesunDoRamion = false;
  bool SpeedWysunPoCieciu = false;

  friend bool operator==(const MainButtonStates&, const MainButtonStates&) = default;
};

// The two positioning buttons (move the conveyor back to the arms, push out after the cut) serve an idle machine
// only, and not while automatic repetition may start the next cut.
inline bool PositioningButtonsEnabled(bool program_runs, bool auto_repeat) { return !program_runs && !auto_repeat; }

class MainWindowPort {
 public:
  virtual ~MainWindowPort() = default;

  // Project windows open, and the active one's project (nullptr when none is active).
  virtual int OpenProjectCount() const = 0;
  virtual ProjectDocument* ActiveProject() = 0;
  // The toggle SpeedAutoRepeat is down.
  virtual bool AutoRepeat() const = 0;

  // The status step's decision on the machine buttons.
  virtual void SetMachineButtons(const MainButtonStates& states) = 0;

  // The machine's start, stop and continue buttons ask for the main window's Start1Click, Wstrzymaj1Click and
  // Kontynuacja1Click.
  virtual void StartRequested() = 0;
  virtual void StopRequested() = 0;
  virtual void ContinueRequested() = 0;
  // The status step saw the started program end on the controller (status panel 1 is already cleared); with
  // automatic repetition the main window counts one more repetition and starts the cut again.
  virtual void ProgramEnded() = 0;
  // The machine's state changed (the status step, a homing step): the main window's lamps show it.
  virtual void ShowLamps(const MachineLamps& /*lamps*/) {}
  // The cut's progress as it stands is shown on the drawing it was written from (opened when it is not).
  virtual void ShowCutPlace(const std::string& /*drawing*/) {}
};

}  // namespace varnholt
