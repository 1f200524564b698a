#pragma once
// The manual control panel without its window: the status step that monitors the controller, the keys, jog
// buttons, bars, heating, homing, go to point, pause and continue. The window shows view() and passes the
// operator's input on; the status step runs on the window's timer (tick() returns the next interval).

#include <cstdint>
#include <functional>
#include <optional>

#include "control/joystick.h"
#include "control/machine_lamps.h"
#include "control/main_window_port.h"
#include "control/panel_keys.h"
#include "control/panel_view.h"
#include "link/controller_ops.h"
#include "link/run_flags.h"

namespace varnholt {

// The jog buttons of the panel and the stop button beside them.
enum class JogButton { ku, kd, kl, kr, ktl, ktr, kstop };

// What the window knows about itself when its timer fires.
struct PanelFocus {
  bool active = false;         // the panel is the active window
  bool input_waiting = false;  // a keyboard or mouse message waits in its queue
};

// What the pause keeps to continue from.
struct PauseSnapshot {
  uint8_t heater_channel = 0;
  uint8_t output = 0;
  uint8_t active_group = 0;
  int32_t X1 = 0, Y1 = 0, X2 = 0, Y2 = 0, belt3 = 0, third1 = 0, third2 = 0, turn7 = 0;  // hundredths of a mm
};

class Tster {
 public:
  static constexpr int kConnectedIntervalMs = 100;
  static constexpr int kDisconnectedIntervalMs = 3000;

  // Everything given must outlive the panel. The joystick port may be a NoJoystick.
  Tster(MachineLink& link, RunFlags& flags, MainWindowPort& main_window, JoystickPort& joystick);

  // Creation at program start: the controller identified and set up, the timer started. Without a controller an
  // error box "brakPlotera"; the timer runs anyway, so the status step finds a controller plugged in later.
  void FormCreate();
  // The panel became the active window: bars, positions and labels read afresh.
  void FormActivate();
  // The panel lost the focus: a move of the joystick stopped, positions taken when a jog left them due.
  void FormDeactivate();

  // The status step: reads the controller, notices the end of a started program, a wire broken under it and the
  // machine's buttons, refreshes the display when the panel is active and idle, and decides the enabling and the
  // main window's buttons. It only reads: what it noticed is carried out by RunRequests. Returns the interval until
  // the next step (100 ms connected, 3000 ms not).
  int tick(const PanelFocus& focus);
  // Told after every step that read a connected controller: its positions are then in read_positions().
  using StatusListener = std::function<void()>;
  void SetStatusListener(StatusListener listener) { status_listener_ = std::move(listener); }
  // Carries out what the status steps noticed and the Stop asked for while the machine was held: the operator's
  // Stop, the end of the program (with automatic repetition the next cut), a wire broken during the cut, the
  // machine's start and continue buttons, a joystick move, and the stopping and cooling of a controller whose cut
  // was given up. The windows' timers call it after each step; it does nothing while an operation holds the
  // machine.
  void RunRequests();
  // The status step runs from the panel's creation on; a window's timer skips the step before it.
  bool timer_enabled() const { return timer_enabled_; }
  int interval() const { return interval_; }
  const PanelView& view() const { return view_; }
  // The machine's state for the main window's lamps, as the last status step or homing step read it; each
  // change is handed to the main window's ShowLamps.
  const MachineLamps& lamps() const { return lamps_; }

  // Keys, seen before the controls. True when the panel handled the key.
  bool KeyDown(const PanelKey& key);
  bool KeyUp(const PanelKey& key);
  // The jog buttons pressed with the left button alone, and released.
  void JogButtonDown(JogButton button);
  void JogButtonUp(JogButton button);
  // kstop clicked: the operator's Stop.
  void kstopClick();

  // The operator scrolled a speed bar; the bar's position changed (by the operator or the display).
  void VScrollScroll();
  void VScrollChange(int32_t position);
  void VScrollTasmaScroll();
  void VScrollTasmaChange(int32_t position);
  // The power bars changed, in per cent.
  void PScrollChange(int32_t percent);
  void PScrollPionoweChange(int32_t percent);

  // Homing of the axes; a key or left press during a homing step stops the axes and ends the homing.
  void bazujClick();
  // Moves to absolute targets in millimetres (X1, X2, Y1, Y2 and belt 3 are used) at a speed group; false when
  // refused (no controller, or the machine moves or runs a program).
  bool gotopoint(bool wait, int speed_group, double X1, double X2, double Y1, double Y2, double third1,
                 double third2, double belt3, double turn7);
  // How a pause ended: paused (its heating off), no program ran, the controller did not take the Stop (nothing
  // more may be sent; it is stopped and cooled as soon as it takes commands), or it did not confirm the pause (the
  // heating is left as it is: the program may still be cutting).
  enum class PauseOutcome { kPaused, kNoProgram, kStopNotTaken, kNotConfirmed };
  PauseOutcome Pause();
  // Pauses the running program; true when a running program was paused.
  bool wstrzymaj();
  // Tells the operator why a Stop did not pause the running program (nothing for kPaused and kNoProgram).
  void ReportFailedPause(PauseOutcome outcome);
  // Continues after a pause: re-heats, returns the belt and the arms to where the pause left them with the wires
  // hot (switched off again after their moves), checks the wire and resumes; or sends Go to a program that waits for
  // it. True when the program runs again.
  bool kontynuuj();
  // Toggles the heating of the horizontal wire, of the vertical wires.
  void k_zalwylClick();
  void k_zalwyl_pionoweClick();
  // Moves the conveyor back to the arms.
  void btnPrzesunDoRamionClick();
  // The active belts choice: 0 all three, 1 belt 1 only, 2 belts 2 and 3.
  void rgTasmaClick(int item);

  // The controller went away under a held jog: nothing can be sent to end it (one found again has been reset), so
  // the jog is forgotten and the machine no longer kept by it.
  void AbandonJog();

  const PauseSnapshot& pause_snapshot() const { return snapshot_; }
  bool jog_in_progress() const { return jog_in_progress_; }

  // The axes' step counts in the status record the last step read from the controller, and how many steps read
  // them so far: what a cut's progress follows, whether or not the panel shows it.
  const AxisSteps& read_positions() const { return read_positions_; }
  int64_t position_reads() const { return position_reads_; }
  // Ends of started programs the status step noticed (a cut given up ends none).
  int64_t program_ends_noticed() const { return program_ends_noticed_; }

 private:
  // What the status step noticed for RunRequests.
  struct Requests {
    bool program_ended = false;
    bool wire_broken = false;
    bool link_lost = false;  // the controller went away under a started program
    bool ran_dry = false;    // the program stopped before the rest of it was sent: its wire stands in the material
    bool start = false;
    bool resume = false;
    std::optional<int> joystick;  // the joystick's new direction code
  };

  bool Connected();
  // The unit, the heavy-material setting and the step multiplier, sent to a controller that runs no program.
  void SendSettings();
  bool ProgramRuns() const { return link_.state.Has(kStatusProgramRunning); }
  // The link was lost under the started program: no end of it will be seen; the operator is told.
  void LoseStartedProgram();
  // The state with the positions of status_record, parsed once for everyone in the step that shows or follows
  // them; the state's own positions hold what the operations read when they read it.
  ControllerState ReadingOf(const ReplyRecordBytes& status_record) const;
  // Keeps the positions of the status record the step read.
  void NotePositions(const ControllerState& reading);
  // Step 2 of the status step: the end of the program, a broken wire under it and the machine's buttons, from the
  // status the step read, noted for RunRequests.
  void WatchProgram();
  // Step 3: the display of an active, idle panel, from the status record the step read.
  void RefreshDisplay(const ControllerState& reading);
  void RefreshTestPanel();
  // The heating buttons pressed as the heating is on; also after each toggle, so the button shows at once what
  // the operator did. RefreshHeatingButtons reads the heaters and the status first.
  void RefreshHeatingButtons();
  void ShowHeatingButtons();
  void RefreshSpeedBars();
  // The conveyor bar's maximum and position from the model and the group 3 period.
  void RefreshConveyorBar();
  void RefreshPowerBars();
  void RefreshPositions();
  void RefreshEnabling();
  // Reads the joystick; a new direction is left for RunRequests.
  void JoystickStep();
  // Moves as the joystick's direction code asks (stops the move for 0).
  void JoystickMove(int code);
  // Stops a move the joystick started and forgets its direction.
  void StopJoystickJog();
  // The wire broke under the running program: paused, the heating off, the operator told.
  void WireBrokeDuringCut();
  // Stops and cools the controller of a cut given up, when it answers (at most every few seconds).
  void CoolGivenUpCut();
  // Starts a jog by key or button: the machine is kept by the jog until EndJog. False when refused.
  bool BeginJog(int key);
  // Ends the jog: the move stopped, the positions read (arm jogs), the heaters it switched on off again.
  void EndJog(bool arm_jog);
  void RefreshMainButtons();
  // The lamps from the state read last, with the positions of reading when given; the main window is told when
  // they changed.
  void RefreshLamps(const ControllerState* reading);
  // The heaters record read again when the heating was switched on or off, and now and then while it is on,
  // so the lamps say which wire is hot.
  void FollowHeaters();
  // The heaters record, read at most once in a status step whoever in it asks.
  void ReadHeatersInStep();
  void ShowArmSpeed(int32_t position);
  void ShowConveyorSpeed(int32_t position);
  // The end of a jog: the move stopped, its positions read.
  void FinishJog();
  // One homing step of the axes in mask; false when the operator's press stopped it.
  bool HomingStep(uint8_t mask, bool no_wait);
  // Belt 3, and belts 2 and 1 when they are separate.
  void HomeBelts();
  bool HomeAlreadyHomed();
  void HomeFromScratch();
  void SetSpeedFromBar(int32_t speed);
  // A speed bar of group 2 (arms) or 3 (conveyor) scrolled; a bar's position changed.
  void SpeedBarScrolled(uint8_t group);
  void SpeedBarChanged(int32_t position);
  int Unit() const { return link_.config.CurrentUnit(); }

  MachineLink& link_;
  RunFlags& flags_;
  MainWindowPort& main_window_;
  JoystickPort& joystick_;
  PanelView view_;
  bool timer_enabled_ = false;
  int interval_ = kDisconnectedIntervalMs;
  int last_key_ = 0;
  int32_t ctrl_saved_speed_ = 0;
  bool jog_in_progress_ = false;
  int joystick_code_ = 0;
  bool speed_change_pending_ = false;
  int remembered_group_ = 2;
  PauseSnapshot snapshot_;
  bool positions_due_ = false;
  int32_t arm_bar_max_ = 0;
  int32_t conveyor_bar_max_ = 0;
  bool homing_aborted_ = false;
  MachineLamps lamps_;
  bool heating_seen_ = false;
  int steps_since_heaters_ = 0;
  bool heaters_read_in_step_ = false;
  int64_t last_homing_lamps_ms_ = 0;
  // Ctrl set the slow speed (not refused), so its release sets the speed back.
  bool ctrl_speed_set_ = false;
  Requests requests_;
  AxisSteps read_positions_{};
  int64_t position_reads_ = 0;
  int64_t program_ends_noticed_ = 0;
  uint32_t device_changes_seen_ = 0;
  int64_t last_cooling_ms_ = 0;
  bool cooled_once_ = false;
  StatusListener status_listener_;
};

}  // namespace varnholt
