// The status step of the control panel: monitoring the controller and the display of an active panel.

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "config/display_unit.h"
#include "control/speed_bars.h"
#include "control/tster.h"
#include "geometry/decimal_text.h"
#include "geometry/clock.h"
#include "geometry/units.h"
#include "link/machine_hold.h"
#include "services/interfejs.h"
#include "services/operator.h"

namespace varnholt {
namespace {

// Status panel of the main window that shows the repetition counter.
constexpr int kRepetitionPanel = 1;

// The test panel's names of the heater channel, speed group and power output the controller reports.
std::string PowerChannelName(const tInterfejs& texts, uint8_t channel) {
  switch (channel) {
    case 1:
      return texts.GetText("Control", "pwrRobocze");
    case 2:
      return texts.GetText("Control", "pwrReczne");
    case 3:
      return texts.GetText("Control", "pwrPionowe");
    default:
      return texts.GetText("Control", "pwrNieznane") + " " + std::to_string(channel);
  }
}

std::string SpeedGroupName(const tInterfejs& texts, uint8_t group) {
  switch (group) {
    case 0:
      return texts.GetText("Control", "speedPrzestawcza");
    case 1:
      return texts.GetText("Control", "speedRobocza");
    case 2:
      return texts.GetText("Control", "speedReczna");
    case 3:
      return texts.GetText("Control", "speedTasmociagu");
    default:
      return texts.GetText("Control", "speedNieznana") + " " + std::to_string(group);
  }
}

std::string OutputName(const tInterfejs& texts, uint8_t output) {
  if (output == 0) return texts.GetText("Control", "outRamiona");
  if (output == 5) return texts.GetText("Control", "outPionowe");
  return texts.GetText("Control", "outNieznany") + " " + std::to_string(output);
}

// The positions of one reading, parsed once, given to another state.
void TakeAxisPositions(ControllerState& to, const ControllerState& from) {
  to.axis_steps = from.axis_steps;
  to.X1 = from.X1;
  to.Y1 = from.Y1;
  to.X2 = from.X2;
  to.Y2 = from.Y2;
  to.belt3 = from.belt3;
  to.third1 = from.third1;
  to.third2 = from.third2;
  to.turn7 = from.turn7;
  to.angle_third1 = from.angle_third1;
  to.angle_third2 = from.angle_third2;
  to.angle_turn7 = from.angle_turn7;
}

int32_t ChannelPower(const ControllerState& state, size_t channel) {
  return channel < state.heater_table.size() ? state.heater_table[channel] & 0xFFFF : 0;
}

}  // namespace

bool Tster::Connected() { return link_.usb.QuellmarQvExist(); }

int Tster::tick(const PanelFocus& focus) {
  if (!timer_enabled_) return interval_;
  const MachineHold hold(link_, MachineOperation::kStatusStep);
  view_.refreshed = false;
  view_.close_panel = false;
  // The status record (it holds the positions too) is read once a step and passed on. A step whose read failed
  // (the controller is taken back after a hiccup) concludes nothing from it.
  const bool read = ReadStatus(link_);
  const ControllerState reading = ReadingOf(link_.usb.ReplyRecord());
  heaters_read_in_step_ = false;
  view_.connected = Connected();
  // A controller found afresh since the last step was reset: what it ran is no program that ended.
  const bool renewed = link_.usb.device_changes() != device_changes_seen_;
  device_changes_seen_ = link_.usb.device_changes();
  if (view_.connected && renewed && flags_.ProgramStarted) LoseStartedProgram();
  if (view_.connected) {
    interval_ = kConnectedIntervalMs;
    if (!read) {
      RefreshMainButtons();
      return interval_;
    }
    NotePositions(reading);
    RefreshTestPanel();
    WatchProgram();
    if (status_listener_) status_listener_();
    FollowHeaters();
  } else {
    interval_ = kDisconnectedIntervalMs;
    if (flags_.ProgramStarted) LoseStartedProgram();
    link_.state.button_presses = 0;
  }
  if (focus.active && !focus.input_waiting && timer_enabled_) RefreshDisplay(reading);
  if (view_.connected) RefreshEnabling();
  RefreshMainButtons();
  RefreshLamps(view_.connected ? &reading : nullptr);
  return interval_;
}

void Tster::FollowHeaters() {
  constexpr int kStepsBetweenReads = 10;
  const bool heating = link_.state.Has(kStatusHeating);
  if (heating != heating_seen_ || (heating && ++steps_since_heaters_ >= kStepsBetweenReads)) {
    ReadHeatersInStep();
    steps_since_heaters_ = 0;
  }
  heating_seen_ = heating;
}

void Tster::ReadHeatersInStep() {
  if (heaters_read_in_step_) return;
  heaters_read_in_step_ = true;
  ReadHeaters(link_);
}

ControllerState Tster::ReadingOf(const ReplyRecordBytes& status_record) const {
  ControllerState reading = link_.state;
  ApplyAxisPositions(reading, status_record, link_.separate_third_axes);
  return reading;
}

void Tster::RefreshLamps(const ControllerState* reading) {
  // The positions read are shown without taking them over: a jog decides itself when it reads them.
  ControllerState shown = link_.state;
  if (reading != nullptr) TakeAxisPositions(shown, *reading);
  const MachineLamps lamps = LampsOf(shown, link_.usb.present(), lamps_);
  if (lamps == lamps_) return;
  lamps_ = lamps;
  main_window_.ShowLamps(lamps_);
}

void Tster::LoseStartedProgram() {
  // With the link lost, the program's end can no longer be seen; a controller found again has been reset, and
  // taking that for the end of the program would start an automatic repetition nobody asked for. The controller may
  // go on cutting unwatched: found again, it is stopped and its heating switched off.
  flags_.ProgramStarted = false;
  requests_.link_lost = true;
  link_.gate.GiveUpCut();
  CurrentOperator().SetStatusText(kRepetitionPanel, "");
}

void Tster::NotePositions(const ControllerState& reading) {
  read_positions_ = reading.axis_steps;
  ++position_reads_;
}

void Tster::WatchProgram() {
  const uint32_t presses = link_.state.button_presses;
  link_.state.button_presses = 0;
  if (flags_.ProgramStarted && !ProgramRuns()) {
    ReadHeatersInStep();
    flags_.ProgramStarted = false;
    CurrentOperator().SetStatusText(kRepetitionPanel, "");
    // A cut given up ends on the controller incomplete: no end of a cut, and nothing to repeat. Nor is a program
    // that ran out of commands while the rest was still being sent: the transmission ends that cut as incomplete.
    requests_.ran_dry = link_.gate.sending_rest();
    requests_.program_ended = !link_.gate.cooling_due() && !requests_.ran_dry;
    if (requests_.program_ended) ++program_ends_noticed_;
  }
  // The controller reports the break as long as the wire is heated; under a running program it is the cut's wire.
  if (ProgramRuns() && link_.state.Has(kStatusWireBroken)) requests_.wire_broken = true;
  if ((presses & kStatusStartButton) != 0) requests_.start = true;
  if ((presses & kStatusStopButton) != 0) link_.gate.RequestStop();
  if ((presses & kStatusContinueButton) != 0 && link_.state.Has(kStatusPaused)) requests_.resume = true;
}

void Tster::RunRequests() {
  if (link_.gate.busy()) return;
  const Requests requests = std::exchange(requests_, Requests{});
  if (link_.gate.TakeStopRequest()) main_window_.StopRequested();
  if (requests.wire_broken) WireBrokeDuringCut();
  if (requests.link_lost) ShowLinkLost(link_);
  // The wire goes off at once; the transmission ends the cut at its next step (which may come late: that is how the
  // program ran dry).
  if (requests.ran_dry) {
    const MachineHold hold(link_, MachineOperation::kStopAndCool);
    const EndAtLostLink scope(link_);
    if (!AllHeatersOff(link_)) link_.gate.GiveUpCut();
  }
  CoolGivenUpCut();
  if (requests.program_ended) main_window_.ProgramEnded();
  if (requests.start) {
    // The machine's start button also stops a manual move, which no running program may be sent.
    if (ReadStatus(link_) && !ProgramRuns()) StopMove(link_);
    main_window_.StartRequested();
  }
  if (requests.resume) {
    StopMove(link_);
    main_window_.ContinueRequested();
  }
  if (requests.joystick) JoystickMove(*requests.joystick);
  // What these did may have asked for a Stop in turn (the machine's stop button seen by their reads).
  if (link_.gate.TakeStopRequest()) main_window_.StopRequested();
}

void Tster::WireBrokeDuringCut() {
  ReadStatus(link_);
  if (!ProgramRuns() || !link_.state.Has(kStatusWireBroken)) return;
  const PauseOutcome outcome = Pause();
  if (outcome != PauseOutcome::kPaused) {
    ReportFailedPause(outcome);
    return;
  }
  flags_.MachineStopped = true;
  CurrentOperator().ShowMessageBox(link_.texts.GetText("Control", "zerwanyDrutPodczasCiecia"), true, "");
}

void Tster::CoolGivenUpCut() {
  // Every few seconds at most: a busy controller holds each attempt for its busy pauses.
  constexpr int64_t kCoolingIntervalMs = 5000;
  MachineGate& gate = link_.gate;
  if (!(gate.cooling_due() || gate.heaters_off_due()) || !link_.usb.QuellmarQvExist()) return;
  const int64_t now = CurrentClock().NowMs();
  if (cooled_once_ && now - last_cooling_ms_ < kCoolingIntervalMs) return;
  cooled_once_ = true;
  last_cooling_ms_ = now;
  const MachineHold hold(link_, MachineOperation::kStopAndCool);
  const EndAtLostLink scope(link_);
  if (gate.cooling_due()) {
    if (StopAndCool(link_)) gate.CoolingDone();
  } else if (ReadStatus(link_) && !ProgramRuns()) {
    // A heater that did not go off; a running program switches its own.
    AllHeatersOff(link_);
  }
}

void Tster::RefreshTestPanel() {
  const ControllerState& s = link_.state;
  TestPanelView& t = view_.test;
  t.cbSbRun = s.Has(kStatusMoving);
  t.cbSbWork = s.Has(kStatusProgramRunning);
  t.cbSbZadanieStartu = s.Has(kStatusStartButton);
  t.cbSbZadanieStopu = s.Has(kStatusStopButton);
  t.cbSbPower = s.Has(kStatusHeating);
  t.lSelPwr = PowerChannelName(link_.texts, s.heater_channel);
  t.lSelSpeed = SpeedGroupName(link_.texts, s.active_group);
  t.lSpeed = link_.panel.speed;
  for (size_t group = 0; group < t.group_speeds.size(); ++group) {
    t.group_speeds[group] = SpeedFromPeriod(s, s.group_periods[group]);
  }
  t.lPower = s.heater_power;
  t.lSelOut = OutputName(link_.texts, s.heater_state);
}

void Tster::RefreshDisplay(const ControllerState& reading) {
  if (!Connected()) {
    view_.close_panel = true;
    return;
  }
  view_.refreshed = true;
  TakeAxisPositions(link_.state, reading);
  positions_due_ = false;
  ReadSpeeds(link_);
  ReadHeatersInStep();
  ShowHeatingButtons();
  const ControllerState& s = link_.state;
  const std::string fault = s.Has(kStatusWireBroken) ? link_.texts.GetText("Control", "zerwanyDrut") : "";
  const bool arm_channel = s.heater_channel == 1 || s.heater_channel == 2;
  view_.stan_drutu = s.heater_channel == 3 ? "" : fault;
  view_.stan_DrutuPionowego = arm_channel ? "" : fault;
  if (s.fifth_period != 0) view_.service.instantaneous_speed = std::to_string(SpeedFromPeriod(s, s.fifth_period));
  RefreshSpeedBars();
  RefreshPowerBars();
  ReadExtra(link_);
  view_.service.extra2 = DecimalText(s.extra2 / 10.0, 1);
  view_.service.link_errors =
      std::to_string(link_.usb.read_failures()) + "/" + std::to_string(link_.usb.busy_count());
  RefreshPositions();
  JoystickStep();
}

void Tster::RefreshHeatingButtons() {
  ReadHeaters(link_);
  ReadStatus(link_);
  ShowHeatingButtons();
}

void Tster::ShowHeatingButtons() {
  const bool heating = link_.state.Has(kStatusHeating);
  if (link_.state.heater_state == 0) {
    view_.k_zalwyl_down = heating;
    view_.k_zalwyl_pionowe_down = false;
  } else if (link_.state.heater_state == 5) {
    view_.k_zalwyl_down = false;
    view_.k_zalwyl_pionowe_down = heating;
  }
}

void Tster::RefreshSpeedBars() {
  const ControllerState& s = link_.state;
  const std::string unit = std::string(UnitName(Unit()));
  std::string name = "szybkosc";
  if (s.active_group == 1) name = "szybkoscRobocza";
  if (s.active_group == 0) name = "szybkoscPrzestawcza";
  view_.speed_hint = link_.texts.GetText("Control", name) + " [ " + unit + "/min ]";
  if (s.active_group == 1) arm_bar_max_ = s.profile.max_work_speed;
  if (s.active_group == 0 || s.active_group == 2) arm_bar_max_ = s.profile.max_rapid_speed;
  view_.arm_speed.max = arm_bar_max_;
  if (s.active_group <= 2) ShowArmSpeed(SpeedFromPeriod(s, s.group_periods[s.active_group]));
  RefreshConveyorBar();
}

void Tster::RefreshConveyorBar() {
  const ControllerState& s = link_.state;
  conveyor_bar_max_ = NearestInt32Saturated(s.profile.conveyor_factor) * s.profile.max_conveyor_speed;
  view_.conveyor_speed.max = conveyor_bar_max_;
  ShowConveyorSpeed(SpeedFromPeriod(s, s.group_periods[3]));
}

void Tster::ShowArmSpeed(int32_t position) {
  link_.panel.speed = position;
  const SpeedBarDisplay shown = SpeedBarText(position, Unit());
  view_.arm_speed.position = position;
  view_.arm_speed.label = shown.text;
  view_.arm_speed.small_step = shown.small_step;
  view_.arm_speed.large_step = shown.large_step;
}

void Tster::ShowConveyorSpeed(int32_t position) {
  link_.panel.conveyor_speed = position;
  const SpeedBarDisplay shown = SpeedBarText(position, Unit(), link_.state.profile.conveyor_factor);
  view_.conveyor_speed.position = position;
  view_.conveyor_speed.label = shown.text;
  view_.conveyor_speed.small_step = shown.small_step;
  view_.conveyor_speed.large_step = shown.large_step;
}

void Tster::RefreshPowerBars() {
  const ControllerState& s = link_.state;
  if (s.heater_state == 0) {
    view_.power = HeaterPowerToPercent(ChannelPower(s, ProgramRuns() ? 1 : 2));
    link_.panel.power = view_.power;
  } else if (s.heater_state == 5) {
    view_.vertical_power = HeaterPowerToPercent(ChannelPower(s, 3), s.vertical_power_factor);
    link_.panel.vertical_power = view_.vertical_power;
  }
}

void Tster::RefreshPositions() {
  const ControllerState& s = link_.state;
  const int unit = Unit();
  const int decimals = unit == kUnitMm ? 2 : 3;
  const auto shown = [unit, decimals](int32_t hundredths) {
    return DecimalText(FromMillimetres(hundredths / 100.0, unit), decimals);
  };
  view_.wmx = shown(s.X1);
  view_.wmy = shown(s.Y1);
  view_.wmz = shown(link_.separate_third_axes && link_.panel.active_belts == 1 ? s.third2 : s.belt3);
  view_.test.third1_mm = DecimalText(s.third1 / 100.0, 2);
  view_.test.third2_mm = DecimalText(s.third2 / 100.0, 2);
  view_.test.belt3_mm = DecimalText(s.belt3 / 100.0, 2);
}

void Tster::RefreshEnabling() {
  const ControllerState& s = link_.state;
  EnablingInputs inputs;
  inputs.moving = s.Has(kStatusMoving);
  // A transmission that has not yet started its program is about to: the panel may not move the machine meanwhile.
  inputs.running = ProgramRuns() || (link_.gate.transmitting() && !s.Has(kStatusPaused));
  inputs.heating = s.Has(kStatusHeating);
  inputs.heater_channel = s.heater_channel;
  inputs.last_move_positioning = s.last_move == LastMove::kPositioning;
  inputs.model_qo = s.IsModelQo();
  view_.switches = ComputeEnablingSwitches(inputs);
  view_.controls = ApplyEnablingSwitches(view_.switches, inputs.model_qo);
}

void Tster::JoystickStep() {
  if (ProgramRuns()) return;
  const JoystickPoll poll = joystick_.Poll();
  if (!poll.present) {
    // A joystick pulled out while it held a direction can no longer return to the centre.
    if (JoystickJogKey(joystick_code_)) requests_.joystick = 0;
    return;
  }
  if (!poll.reading) return;
  const int code = JoystickDirection(*poll.reading);
  if (code != 0) ShowArmSpeed(JoystickSpeed(*poll.reading, link_.state.profile.max_rapid_speed));
  if (code != joystick_code_) requests_.joystick = code;
}

void Tster::JoystickMove(int code) {
  if (code == joystick_code_) return;
  if (code == 0) {
    StopJoystickJog();
    return;
  }
  const MachineHold hold(link_, MachineOperation::kJog);
  if (!hold) return;
  EndAtLostLink scope(link_);
  ReadStatus(link_);
  if (link_.state.Has(kStatusMoving)) {
    StopMove(link_);
    WaitIdle(link_);
  }
  ReadPositions(link_);
  if (const std::optional<int> key = JoystickJogKey(code)) {
    if (!BeginJog(*key)) return;
  } else if (code == kJoystickHeatingCode) {
    k_zalwylClick();
  }
  joystick_code_ = code;
}

void Tster::StopJoystickJog() {
  const bool jogging = JoystickJogKey(joystick_code_).has_value();
  joystick_code_ = 0;
  if (!jogging) return;
  if (!link_.usb.present()) {
    link_.gate.Release(MachineOperation::kJog);
    return;
  }
  EndJog(true);
}

void Tster::RefreshMainButtons() {
  const bool idle = !ProgramRuns();
  const bool projects = main_window_.OpenProjectCount() > 0;
  MainButtonStates& b = view_.main_buttons;
  b.SpeedPrzesunDoRamion = b.SpeedWysunPoCieciu = PositioningButtonsEnabled(!idle, main_window_.AutoRepeat());
  b.SpeedStart = idle && projects;
  b.Skont = idle && projects && link_.state.Has(kStatusPaused);
  main_window_.SetMachineButtons(b);
}

}  // namespace varnholt
