// Speeds, speed groups, wire powers and heating.

#include <algorithm>
#include <cmath>

#include "geometry/clock.h"
#include "geometry/units.h"
#include "link/controller_ops.h"

namespace varnholt {
namespace {

constexpr double kTickUs = 0.8;
constexpr double kSlowestSpeed = 100.0 / 3.0;  // 20 mm/min in hundredths of a millimetre per second
constexpr uint8_t kPowerWhileSwitchingOff = 26;
constexpr int64_t kFullPower = 255;

uint16_t ClampToU16(double value) {
  if (!(value >= 0.0)) return value < 0.0 ? 0 : 65535;  // NaN counts as too large
  return static_cast<uint16_t>(std::fmin(value, 65535.0));
}

uint16_t ClampToU16(int64_t value) { return static_cast<uint16_t>(std::clamp<int64_t>(value, 0, 65535)); }

int64_t PercentToPower(double percent, double factor = 1.0) {
  const double power = nearest(percent * 255.0 / 100.0 * factor);
  return std::isfinite(power) ? static_cast<int64_t>(std::clamp(power, -1e9, 1e9)) : 0;
}

double Config(const MachineLink& link, Param param) { return link.config.Number(param); }

}  // namespace

uint16_t PeriodFromSpeed(const ControllerState& state, double speed) {
  const double v = speed <= 20.0 ? kSlowestSpeed : speed * 100.0 / 60.0;
  const double period = nearest(1e6 / state.StepScaleX / v / kTickUs);
  // A scale of 0 or below (a calibration correction of -100 % or worse) gives the slowest period there is.
  if (!(state.StepScaleX > 0.0)) return 65535;
  return std::max<uint16_t>(ClampToU16(period), 1);
}

uint16_t SpeedFromPeriod(const ControllerState& state, int64_t period) {
  if (period == 0) return ClampToU16(int64_t{state.profile.max_rapid_speed});
  if (!(state.StepScaleX > 0.0) || period < 0) return 0;
  return ClampToU16(nearest(6e5 / state.StepScaleX / (static_cast<double>(period) * kTickUs)));
}

uint16_t GroupPeriodValue(const ControllerState& state, int64_t period) {
  return ClampToU16(period / std::max(state.profile.StepMultiplier, 1));
}

void SetSpeed(MachineLink& link, int64_t period) {
  ReadStatus(link);
  SendCommand(link, SetSpeedCommand(link.state.active_group, GroupPeriodValue(link.state, period)));
  ReadSpeeds(link);
}

void SelectSpeedGroup(MachineLink& link, int group, int source, int64_t value) {
  ControllerState& state = link.state;
  int64_t period = value;
  if (group == 1 || group == 2) {
    SetHorizontalPower(link, source, source);
    state.active_group = static_cast<uint8_t>(group);
    if (source == kFromPanel) period = PeriodFromSpeed(state, link.panel.speed);
    if (source == kFromConfiguration) period = PeriodFromSpeed(state, Config(link, Param::PrzeSpeed));
  } else if (group == 3) {
    SetVerticalPower(link, source, source);
    state.active_group = 3;
    if (source == kFromPanel) period = PeriodFromSpeed(state, link.panel.conveyor_speed);
    if (source == kFromConfiguration) {
      period = PeriodFromSpeed(state, Config(link, Param::Tasma_SzybkoscPrzes) * state.profile.conveyor_factor);
    }
  } else {
    return;
  }
  SetSpeed(link, period);
  SleepMs(1);
  SendCommand(link, SelectSpeedCommand(static_cast<uint8_t>(group)));
}

void SetHorizontalPower(MachineLink& link, int source, int64_t value) {
  int64_t power = value;
  if (source == kFromPanel) power = PercentToPower(link.panel.power);
  if (source == kFromConfiguration) power = PercentToPower(Config(link, Param::work_power));
  SetPowerOutput(link, 0);
  link.state.heater_channel = 2;
  link.state.heater_power = ClampToU16(power);
  SendHeaterPower(link);
}

void SetVerticalPower(MachineLink& link, int source, int64_t value) {
  const double factor = link.state.vertical_power_factor;
  int64_t power = value;
  if (source == kFromPanel) power = PercentToPower(link.panel.vertical_power, factor);
  if (source == kFromConfiguration) power = PercentToPower(Config(link, Param::VerticalWire_power), factor);
  SetPowerOutput(link, 5);
  ReadHeaters(link);
  link.state.heater_channel = 3;
  link.state.heater_power = ClampToU16(power);
  SendHeaterPower(link);
}

void SendHeaterPower(MachineLink& link) {
  // The command carries one byte; a power above full is sent as full power rather than wrapped around.
  const auto power = static_cast<uint8_t>(std::min<int64_t>(link.state.heater_power, kFullPower));
  SendCommand(link, HeaterPowerCommand(link.state.heater_channel, power));
}

void SetPowerOutput(MachineLink& link, int32_t value) { SendCommand(link, SettingCommand(kSettingPowerOutput, value)); }

void SetUnit(MachineLink& link, int32_t index) { SendCommand(link, SettingCommand(kSettingUnit, index)); }

bool HeaterOn(MachineLink& link) {
  if (IsModelQo(link.state) && link.state.heater_state == kVerticalWireOutput) return true;
  SendCommand(link, HeaterOnCommand(link.state.heater_channel));
  return WaitMs(link, Config(link, Param::CzasRozgrzewania));
}

void HeatingOff(MachineLink& link) {
  ControllerState& state = link.state;
  const uint16_t power = state.heater_power;
  // Every step is tried, whatever failed before: a wire left hot melts the material it stands in.
  SendCommandAlways(link, HeaterPowerCommand(state.heater_channel, kPowerWhileSwitchingOff));
  SleepMs(1);
  SleepMs(1000);
  SendCommandAlways(link, HeaterOffCommand(state.heater_channel));
  SleepMs(1000);
  // The channel keeps its power setting for the next switch-on.
  SendCommandAlways(link, HeaterPowerCommand(state.heater_channel,
                                             static_cast<uint8_t>(std::min<int64_t>(power, kFullPower))));
}

void HeatingToggle(MachineLink& link) {
  if (link.state.Has(kStatusHeating)) {
    HeatingOff(link);
  } else {
    HeaterOn(link);
  }
}

}  // namespace varnholt
