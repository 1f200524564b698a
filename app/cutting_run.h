#pragma once
// The cutting run of the main window without its window: Start with its checks, writing out.cn and preparing the
// controller, Stop and Continue, automatic repetition and the positioning buttons.

#include <string>

#include "app/main_form_ports.h"
#include "control/main_window_port.h"
#include "control/tster.h"
#include "geometry/figure.h"
#include "link/controller_ops.h"
#include "link/run_flags.h"
#include "link/trans_arm.h"
#include "project/cut_progress.h"
#include "services/operator.h"

namespace varnholt {

class ProjectDocument;

// What the run needs to know of the program.
struct CutRunSetup {
  std::string program_folder;  // with a trailing separator; out.cn is written there
  bool test_mode = false;      // first command-line argument "test": the checks skip the controller
};

// What the automatic repetition's state shows in the main window: the toggle down for on, its hint, and the
// positioning buttons enabled only while repetition is off and no program runs (the status step keeps them so).
AutoRepeatButtons AutoRepeatButtonsFor(bool on, bool program_runs, const tInterfejs& texts);
// What the toggle shows where there is no run (no machine): nothing to repeat, so it stays up.
AutoRepeatButtons AutoRepeatWithoutRun(const tInterfejs& texts);

class CuttingRun {
 public:
  // Everything given must outlive the run.
  CuttingRun(MachineLink& link, RunFlags& flags, TTransArm& transmission, Tster& panel, CutProgress& progress,
             MainWindowPort& main_window, CutRunSetup setup);

  // Start (menu Start1, button SpeedStart, the machine's start button): the repetition counter from 0, the cut
  // start and end points of the active project, then the start operation.
  void Start1Click();
  // The start operation, also run by automatic repetition: the counter in status panel 1, the cut, and with CatDir
  // 2 the other feed direction for the next cut.
  void StartWycinaniaNieautomatycznego();
  // The checks before a cut: identification and speeds, the link, a program waiting for Go, the size, the start
  // point of a single open figure, and the heated wire. True when the cut may go on.
  bool PrepareCut(ProjectDocument& project);
  // The cut: checks, the outline question, out.cn written, the controller stopped and cleared, the wire heated
  // and checked, the start point sent and the transmission started.
  void tnij(ProjectDocument& project);

  // Stop (menu Wstrzymaj1, button SpeedStop, the machine's stop button) and Continue (Kontynuacja1, Skont). Stop
  // is never refused: it pauses a running program, cancels one not started yet, offers to discard a paused one and
  // halts a manual move; while another operation holds the machine it is handed to that operation's waits. What
  // does not reach the controller is said.
  void Wstrzymaj1Click();
  void Kontynuacja1Click();

  // The automatic repetition toggle: the run takes the state and says what the window shows.
  AutoRepeatButtons SpeedAutoRepeatClick(bool down);
  // The status step saw the started program end: with automatic repetition one more cut.
  void ProgramEnded();

  // The positioning buttons: the conveyor back to the arms; the wire out of the material after a cut.
  void SpeedPrzesunDoRamionClick();
  void SpeedWysunPoCieciuClick();

  // The main window's close query, from the controller's state: refused with "wyjscieNiemozliwe" while a program
  // runs (or a transmission is starting one) or an operation holds the machine; allowed when none runs or it stands
  // paused, and then the transmission ends and every heater is switched off.
  bool FormCloseQuery();

  bool AutoRepeat() const { return auto_repeat_; }
  int32_t repeat_counter() const { return repeat_counter_; }

 private:
  // Heats the cutting wire and checks it until it is whole; false on Cancel, a Stop or a lost link.
  bool HeatAndCheckWire();
  // A Stop asked for while the cut was being prepared cancels it: no Go, the program memory cleared, the heaters
  // off, the operator told. True when it did.
  bool CancelledByStop();
  // Stop of a program whose transmission has not started it: the transmission ends, the program memory is
  // cleared, the heaters go off.
  void CancelStartingProgram();
  // Stop of a paused program: asked, the program is discarded (a Start may then begin anew).
  void DiscardPausedProgram();
  // Steps 5 to 9 of the cut, after out.cn was written; a cut that was sent begins its progress at placement.
  void PrepareControllerAndTransmit(const TPlotPoint& entry);
  void PlaceSingleOpenFigureStart(ProjectDocument& project);
  // True when the project fits the working range at the configuration's scale; the error box otherwise.
  bool FitsWorkingRange(const ProjectDocument& project);

  MachineLink& link_;
  RunFlags& flags_;
  TTransArm& transmission_;
  Tster& panel_;
  CutProgress& progress_;
  MainWindowPort& main_window_;
  CutRunSetup setup_;
  bool auto_repeat_ = false;
  int32_t repeat_counter_ = 0;
};

}  // namespace varnholt
