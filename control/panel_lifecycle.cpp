// Creation, activation and deactivation of the control panel, and its heating and conveyor buttons.

#include "config/display_unit.h"
#include "control/speed_bars.h"
#include "control/tster.h"
#include "geometry/decimal_text.h"
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
  EndAtLostLink scope(link_);
  ReadStatus(link_);
  if (Connected() && !ProgramRuns()) {
    SetPowerOutput(link_, static_cast<int32_t>(link_.config.Choice(Param::PowerOutput)));
  }
  Identify(link_);
  SetUnit(link_, link_.config.Choice(Param::radiounit));
  s.vertical_power_factor = VerticalPowerFactor(s, s.vertical_power_factor);
  SendCommand(link_, SettingCommand(kSettingHeavyMaterial, 0));
  SendCommand(link_, SettingCommand(kSettingStepMultiplier, s.profile.StepMultiplier));
  view_.ktr_visible = s.IsModelQo();
}

void Tster::FormActivate() {
  ControllerState& s = link_.state;
  view_.unit_label = "[ " + std::string(UnitName(Unit())) + " ]";
  // Shown again, the panel is no longer to close for the controller lost before.
  view_.close_panel = false;
  jog_in_progress_ = false;
  ReadStatus(link_);
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
  SetUnit(link_, link_.config.Choice(Param::radiounit));
  ReadExtra(link_);
  view_.service.extra1 = DecimalText(s.extra1 / 10.0, 1);
  ShowArmSpeed(link_.panel.speed);
  timer_enabled_ = true;
  SendCommand(link_, SettingCommand(kSettingHeavyMaterial, 0));
  SendCommand(link_, SettingCommand(kSettingStepMultiplier, s.profile.StepMultiplier));
}

void Tster::FormDeactivate() {
  // The joystick is read only while the panel is active, so its move cannot outlive the activation.
  StopJoystickJog();
  if (positions_due_) {
    ReadPositions(link_);
    positions_due_ = false;
    link_.state.remembered_third1 = link_.state.third1;
    link_.state.remembered_third2 = link_.state.third2;
  }
  if (link_.usb.present()) SetUnit(link_, link_.config.Choice(Param::radiounit));
}

void Tster::k_zalwylClick() {
  EndAtLostLink scope(link_);
  ReadStatus(link_);
  SetHorizontalPower(link_, kFromPanel);
  link_.state.heater_channel = 2;
  HeatingToggle(link_);
  ReadStatus(link_);
  RefreshHeatingButtons();
}

void Tster::k_zalwyl_pionoweClick() {
  EndAtLostLink scope(link_);
  ReadStatus(link_);
  SetVerticalPower(link_, kFromPanel);
  HeatingToggle(link_);
  ReadStatus(link_);
  RefreshHeatingButtons();
}

void Tster::btnPrzesunDoRamionClick() {
  EndAtLostLink scope(link_);
  SelectSpeedGroup(link_, 3, kFromConfiguration);
  MoveBy(link_, true, true, -link_.config.Number(Param::TasmaPrzesuwPocz), 0.0, 0.0);
  if (scope.lost()) return;
  ReadHeaters(link_);
  SetPowerOutput(link_, 0);
  link_.state.heater_channel = 2;
}

void Tster::rgTasmaClick(int item) {
  if (item >= 0 && item <= 2) link_.panel.active_belts = item;
}

}  // namespace varnholt
