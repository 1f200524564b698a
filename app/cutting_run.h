#pragma once
// The cutting run of the main window without its window: Start with its checks, writing out.cn and preparing the
// controller, Stop and Continue, automatic repetition and the positioning buttons.

#include <optional>
#include <string>

#include "app/last_cut.h"
#include "files/resume_program.h"

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
  // The transmission and the panel, which outlive the run, tell it nothing more.
  ~CuttingRun();
  CuttingRun(const CuttingRun&) = delete;
  CuttingRun& operator=(const CuttingRun&) = delete;

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

  // Resume the cut (the main window's command): the last cut, when it did not end and neither its out.cn nor the
  // configuration changed since, goes on from where the controller reports the wire standing, after the operator
  // confirmed it: out.resume.cn is written beside out.cn and sent as a cut's program is, with the wire heated and
  // checked first. Refused as a Start is while a program runs, stands paused or is being sent.
  void ResumeCut();
  // True once after the controller answers again (or for the first time since the program started) while the last
  // cut did not end and its out.cn is unchanged, the machine free and no program on the controller: the window then
  // offers the resume. Left for a later step while a controller given up is still to be stopped and cooled.
  bool TakeResumeOffer();
  // What the last resume found and sent.
  struct Resumed {
    WirePlace place;
    AxisPosition position{};
    size_t candidates = 0;  // the places of the program the wire could stand at
    size_t program_moves = 0;
    ResumeProgram program;
  };
  const std::optional<Resumed>& last_resume() const { return last_resume_; }
  // The resumed program's file in the program folder.
  static constexpr const char* kResumeFileName = "out.resume.cn";

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
  // Steps 5 to 9 of the cut, after its program was written: true when its transmission started. The start point
  // sent is where the wire stands, or the one given (a resumed cut keeps that of the program it resumes).
  // A cut written from a drawing begins its progress at its entry.
  bool PrepareControllerAndTransmit(const std::string& file_name,
                                    std::optional<std::pair<int32_t, int32_t>> start_point = std::nullopt,
                                    std::optional<TPlotPoint> entry = std::nullopt);
  // The last cut's identity: a new cut's, and the commands its transmission sent (counted in out.cn's commands).
  void RecordCutStarted(const ProjectDocument& project, const TPlotPoint& entry);
  void RecordSent(int64_t commands_sent, bool running);
  void SaveLastCut();
  // The progress of the cut's program begun anew and led to the place the wire stands at (nothing for a record
  // without its drawing's entry).
  void FollowCutTo(const LastCut& cut, const std::string& program, const ProgramPath& path, const WirePlace& place,
                   const AxisPosition& position);
  // Follows the wire of the cut under way through its program from the positions a status step read.
  void TrackWire();
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
  std::optional<LastCut> last_cut_;
  // How the commands of the program being sent count as out.cn's (a resumed program's header comes first).
  int64_t prefix_commands_ = 0;
  int64_t copied_from_command_ = 0;
  int64_t last_record_ms_ = 0;
  std::optional<Resumed> last_resume_;
  // The last cut's program replayed, and the wire followed through it.
  std::optional<ProgramPath> tracked_path_;
  WireTracker tracker_;
  uint32_t device_changes_seen_ = UINT32_MAX;
  bool offer_due_ = false;
};

}  // namespace varnholt
