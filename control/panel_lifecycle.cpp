// Creation, activation and deactivation of the control panel, and its heating and conveyor buttons.

#include "config/display_unit.h"
#include "control/speed_bars.h"
#include "control/tster.h"
#include "geometry/decimal_text.h"
#include "link/machine_hold.h"
#include "services/interfejs.h"
#include "services/operator.h"

namespace varnholt {
namespace {

// The power factor of the vertical wires by model.
double VerticalPowerFactor(const ControllerState& state, double current) {
  if (state.model_code == "Qa") return 0.35;
  if (state.model_code == "Qe" || state.model_code == "Qo") return 1.0;
  return current;
}

}  // namespace

Tster::Tster(MachineLink& link, RunFlags& flags, MainWindowPort& main_window, JoystickPort& joystick)
    : link_(link), flags_(flags), main_window_(main_window), joystick_(joystick) {}

void Tster::FormCreate() {
  ControllerState& s = link_.state;
  view_.rgTasma_visible = link_.separate_third_axes;
  link_.panel.active_belts = 0;
  // The status step also watches the link and the programs, so it runs with or without a controller.
  timer_enabled_ = true;
  if (!link_.usb.QuellmarQvExist()) {
    CurrentOperator().ShowMessageBox(link_.texts.GetText("Control", "brakPlotera"), true, "");
    return;
  }
  const MachineHold hold(link_, MachineOperation::kStatusStep);
  EndAtLostLink scope(link_);
  // A controller found running a program (the program was started again) is sent nothing: the program owns it.
  const bool idle = ReadStatus(link_) && Connected() && !ProgramRuns();
  if (idle) SetPowerOutput(link_, static_cast<int32_t>(link_.config.Choice(Param::PowerOutput)));
  Identify(link_);
  s.vertical_power_factor = VerticalPowerFactor(s, s.vertical_power_factor);
  if (idle) SendSettings();
  view_.ktr_visible = s.IsModelQo();
}

void Tster::SendSettings() {
  const ControllerState& s = link_.state;
  SetUnit(link_, link_.config.Choice(Param::radiounit));
  SendCommand(link_, SettingCommand(kSettingHeavyMaterial, 0));
  SendCommand(link_, SettingCommand(kSettingStepMultiplier, s.profile.StepMultiplier));
}

void Tster::FormActivate() {
  ControllerState& s = link_.state;
  view_.unit_label = "[ " + std::string(UnitName(Unit())) + " ]";
  // Shown again, the panel is no longer to close for the controller lost before.
  view_.close_panel = false;
  // Activated while an operation waits (a click on the panel during a homing), the panel shows what it has: the
  // controller belongs to that operation.
  if (link_.gate.busy()) return;
  const MachineHold hold(link_, MachineOperation::kStatusStep);
  if (jog_in_progress_) EndJog(true);
  jog_in_progress_ = false;
  const bool read = ReadStatus(link_);
  if (!Connected()) return;
  EndAtLostLink scope(link_);
  Identify(link_);
  ReadHeaters(link_);
  RefreshPowerBars();
  ReadSpeeds(link_);
  arm_bar_max_ = s.profile.max_rapid_speed;
  view_.arm_speed.max = arm_bar_max_;
  if (s.active_period != 0) {
    ShowArmSpeed(SpeedFromPeriod(s, s.active_period));
    ctrl_saved_speed_ = link_.panel.speed;
  }
  RefreshConveyorBar();
  ReadPositions(link_);
  positions_due_ = false;
  RefreshPositions();
  ReadExtra(link_);
  view_.service.extra1 = DecimalText(s.extra1 / 10.0, 1);
  ShowArmSpeed(link_.panel.speed);
  timer_enabled_ = true;
  if (read && !ProgramRuns()) SendSettings();
  RefreshEnabling();
}

void Tster::FormDeactivate() {
  // The joystick is read only while the panel is active, so its move cannot outlive the activation.
  StopJoystickJog();
  if (link_.gate.busy()) return;
  const MachineHold hold(link_, MachineOperation::kStatusStep);
  if (positions_due_) {
    ReadPositions(link_);
    positions_due_ = false;
    link_.state.remembered_third1 = link_.state.third1;
    link_.state.remembered_third2 = link_.state.third2;
  }
  if (!link_.usb.present()) return;
  if (ReadStatus(link_) && !ProgramRuns()) SetUnit(link_, link_.config.Choice(Param::radiounit));
}

void Tster::k_zalwylClick() {
  MachineHold hold(link_, MachineOperation::kHeating);
  if (!hold) return;
  hold.KeepHeat();
  EndAtLostLink scope(link_);
  ReadStatus(link_);
  SetHorizontalPower(link_, kFromPanel);
  link_.state.heater_channel = kManualWireChannel;
  HeatingToggle(link_);
  ReadStatus(link_);
  RefreshHeatingButtons();
}

void Tster::k_zalwyl_pionoweClick() {
  MachineHold hold(link_, MachineOperation::kHeating);
  if (!hold) return;
  hold.KeepHeat();
  EndAtLostLink scope(link_);
  ReadStatus(link_);
  SetVerticalPower(link_, kFromPanel);
  HeatingToggle(link_);
  ReadStatus(link_);
  RefreshHeatingButtons();
}

void Tster::btnPrzesunDoRamionClick() {
  const MachineHold hold(link_, MachineOperation::kMoveToArms);
  if (!hold) return;
  EndAtLostLink scope(link_);
  SelectSpeedGroup(link_, 3, kFromConfiguration);
  MoveBy(link_, true, true, -link_.config.Number(Param::TasmaPrzesuwPocz), 0.0, 0.0);
  if (scope.lost()) return;
  // The conveyor moves with the vertical wires hot; they go off once it stands.
  WaitIdle(link_);
  ReadHeaters(link_);
  SetPowerOutput(link_, kHorizontalWireOutput);
  link_.state.heater_channel = kManualWireChannel;
}

void Tster::rgTasmaClick(int item) {
  if (item >= 0 && item <= 2) link_.panel.active_belts = item;
}

}  // namespace varnholt
