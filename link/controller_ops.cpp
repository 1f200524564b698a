#include "link/controller_ops.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "config/display_unit.h"
#include "geometry/clock.h"
#include "geometry/units.h"
#include "services/interfejs.h"
#include "services/operator.h"

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

// Repeats status reads (without dropping input) until the controller stops moving or the wait limit runs out.
void WaitForStop(MachineLink& link) {
  const int64_t start = CurrentClock().NowMs();
  ReadStatus(link);
  while (link.state.Has(kStatusMoving) && CurrentClock().NowMs() - start < link.wait_limit_ms) {
    SleepMs(1);
    ReadStatus(link);
  }
}

// Hundredths of a millimetre of a length in the display unit.
double HundredthsOf(const MachineLink& link, double value) {
  return ToMillimetres(value, link.config.CurrentUnit()) * 100.0;
}

int32_t ToHundredths(double value) { return NearestInt32Saturated(value); }

// The step counts of hundredth deltas: X axes by StepScaleX, Y axes by StepScaleY, the others by StepScaleZ.
AxisSteps StepsOf(const ControllerState& state, const std::array<int64_t, 8>& hundredths) {
  AxisSteps steps{};
  for (size_t axis = 0; axis < steps.size(); ++axis) {
    const double scale = (axis == 0 || axis == 4) ? state.StepScaleX
                         : (axis == 1 || axis == 5) ? state.StepScaleY
                                                    : state.StepScaleZ;
    steps[axis] = HundredthsToSteps(static_cast<double>(hundredths[axis]), scale);
  }
  return steps;
}

bool ThirdAxesMove(const std::array<int64_t, 8>& deltas) { return deltas[2] != 0 || deltas[6] != 0 || deltas[3] != 0; }

bool RotaryOrBeltMoves(const std::array<int64_t, 8>& deltas) { return deltas[2] != 0 || deltas[6] != 0; }

void SendHeavyMaterialIfTicked(MachineLink& link) {
  if (link.config.Checked(Param::Heavy)) SendCommand(link, SettingCommand(kSettingHeavyMaterial, 1));
}

// Step 4 of the absolute and relative moves: speed group, heating, heavy material and the move itself.
void RunPositioningMove(MachineLink& link, const std::array<int64_t, 8>& deltas) {
  const bool belts = ThirdAxesMove(deltas);
  Operator& op = CurrentOperator();
  op.SetBusyCursor(true);
  SelectSpeedGroup(link, belts ? 3 : 2, kFromPanel);
  HeaterOn(link);
  SleepMs(Config(link, Param::CzasRozgrzewania));
  if (belts) SendHeavyMaterialIfTicked(link);
  SendMove(link, StepsOf(link.state, deltas));
  op.SetBusyCursor(false);
  if (belts) link.state.conveyor_moved = true;
}

// The largest change of a position within [0, limit] in the direction of wanted.
int64_t CutToRange(int64_t position, int64_t wanted, int64_t limit) {
  const int64_t target = position + wanted;
  if (wanted < 0 && target < 0) return -position;
  if (wanted > 0 && target > limit) return limit - position;
  return wanted;
}

}  // namespace

bool SendCommand(MachineLink& link, std::string_view bytes) {
  if (bytes.empty()) return true;
  const bool move = bytes[0] == 'A' || bytes[0] == 'a';
  const size_t piece = move ? kMoveGroupLength : bytes.size();
  for (size_t at = 0; at < bytes.size(); at += piece) {
    const int result = link.usb.Write(bytes.substr(at, piece));
    if (result != 0) {
      CurrentOperator().ShowMessageBox(link.texts.GetText("Control", "ploterBrakLacznosci"), true,
                                       std::to_string(result));
      return false;
    }
  }
  return true;
}

void ReadStatus(MachineLink& link) {
  link.usb.ReadString(kReplyStatus);
  ApplyStatusRecord(link.state, link.usb.ReplyRecord());
}

void ReadPositions(MachineLink& link) {
  link.usb.ReadString(kReplyStatus);
  ApplyPositionsRecord(link.state, link.usb.ReplyRecord(), link.separate_third_axes);
}

void ReadSpeeds(MachineLink& link) {
  link.usb.ReadString(kReplySpeeds);
  ApplySpeedsRecord(link.state, link.usb.ReplyRecord());
}

void ReadHeaters(MachineLink& link) {
  if (link.usb.ReadString(kReplyHeaters) == 0) ApplyHeatersRecord(link.state, link.usb.ReplyRecord());
}

void Identify(MachineLink& link) {
  ControllerState& state = link.state;
  if (link.usb.ReadString(kReplyIdentity) == 0) {
    if (const std::optional<HidDeviceInfo> device = link.usb.SelectedDevice()) {
      state.manufacturer = device->manufacturer;
      state.product = device->product;
      state.serial = device->serial;
      state.model_code = ModelCodeOf(*device);
      ApplyIdentityRecord(state, link.usb.ReplyRecord());
    }
  }
  ReadCalibration(link);
  state.profile = ProfileOf(state.model_code);
}

void ReadCalibration(MachineLink& link) {
  ControllerState& state = link.state;
  if (state.model_code == "Qe" || state.model_code == "Qo") {
    state.conveyor_jog_length = state.model_code == "Qe" ? 4850 : 8430;
    if (link.usb.ReadString(kReplyCalibration) == 0) {
      ApplyCalibrationRecord(state, link.usb.ReplyRecord());
    } else {
      state.StepScaleX = state.StepScaleY = state.StepScaleZ = 1.0;
      state.steps_per_turn6 = state.steps_per_turn2 = state.steps_per_turn7 = 50000;
    }
  } else if (state.model_code == "Qa") {
    state.conveyor_jog_length = 4618;
    state.StepScaleX = 1.6;
    state.StepScaleY = 1.5184;
    state.StepScaleZ = 1.0;
    state.steps_per_turn6 = state.steps_per_turn2 = state.steps_per_turn7 = 50000;
  } else {
    state.StepScaleX = state.StepScaleY = state.StepScaleZ = 1.0;
  }
  state.StepScaleX += Config(link, Param::feKalibracjaX) / 100.0;
  state.StepScaleY += Config(link, Param::feKalibracjaY) / 100.0;
  state.StepScaleZ += Config(link, Param::feKalibracjaZ) / 100.0;
}

void ReadExtra(MachineLink& link) {
  // A failed read only loses the service values; the calibration stays as identification left it.
  if (link.usb.ReadString(kReplyExtra) == 0) {
    ApplyExtraRecord(link.state, link.usb.ReplyRecord());
  } else {
    link.state.extra1 = link.state.extra2 = 0;
  }
}

bool WaitIdle(MachineLink& link) {
  link.state.waiting = true;
  const int64_t start = CurrentClock().NowMs();
  SleepMs(1);
  ReadStatus(link);
  bool idle = true;
  while (link.state.Has(kStatusMoving)) {
    if (CurrentClock().NowMs() - start >= link.wait_limit_ms) {
      idle = false;
      break;
    }
    SleepMs(1);
    ReadStatus(link);
    CurrentOperator().TakePendingInput();  // input given during a move is dropped
  }
  link.state.waiting = false;
  return idle;
}

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

void SetSpeed(MachineLink& link, int64_t period) {
  ReadStatus(link);
  const int32_t multiplier = std::max(link.state.profile.StepMultiplier, 1);
  SendCommand(link, SetSpeedCommand(link.state.active_group, ClampToU16(period / multiplier)));
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

void HeaterOn(MachineLink& link) {
  if (IsModelQo(link.state) && link.state.heater_state == 5) return;
  SendCommand(link, HeaterOnCommand(link.state.heater_channel));
  SleepMs(Config(link, Param::CzasRozgrzewania));
}

void HeatingOff(MachineLink& link) {
  ControllerState& state = link.state;
  const uint16_t power = state.heater_power;
  SendCommand(link, HeaterPowerCommand(state.heater_channel, kPowerWhileSwitchingOff));
  SleepMs(1);
  SleepMs(1000);
  SendCommand(link, HeaterOffCommand(state.heater_channel));
  SleepMs(1000);
  // The channel keeps its power setting for the next switch-on.
  SendCommand(link, HeaterPowerCommand(state.heater_channel, static_cast<uint8_t>(std::min<int64_t>(power, kFullPower))));
}

void HeatingToggle(MachineLink& link) {
  if (link.state.Has(kStatusHeating)) {
    HeatingOff(link);
  } else {
    HeaterOn(link);
  }
}

void SetStartPoint(MachineLink& link) {
  const ControllerState& state = link.state;
  SendCommand(link, SetStartPointCommand(HundredthsToSteps(state.start_x, state.StepScaleX),
                                         HundredthsToSteps(state.start_y, state.StepScaleY)));
}

void StopMove(MachineLink& link) { SendCommand(link, StopMoveCommand()); }

bool SendMove(MachineLink& link, const AxisSteps& steps) {
  const MoveRecord record = BuildMoveRecord('A', link.state.profile.StepMultiplier, steps);
  if (record.bytes.empty()) return false;
  return SendCommand(link, record.bytes);
}

void Jog(MachineLink& link, int key) {
  ControllerState& state = link.state;
  WaitIdle(link);
  state.last_move = LastMove::kJog;
  std::array<int64_t, 8> d{};
  const bool homed = state.Has(kStatusHomed);
  const int64_t xr = int64_t{state.x_range} * 100;
  const int64_t yr = int64_t{state.y_range} * 100;
  const int64_t x1 = state.X1, x2 = state.X2, y1 = state.Y1, y2 = state.Y2;
  const auto arms = [&d](int64_t dx, int64_t dy) {
    d[0] = d[4] = dx;
    d[1] = d[5] = dy;
  };
  switch (key) {
    case kKeyLeft:
    case kKeyNumpad4:
      arms(-(homed ? std::min(x1, x2) : xr), 0);
      break;
    case kKeyRight:
    case kKeyNumpad6:
      arms(homed ? std::min(xr - x1, xr - x2) : xr, 0);
      break;
    case kKeyUp:
    case kKeyNumpad8:
      arms(0, std::min(yr - y1, yr - y2));
      break;
    case kKeyDown:
    case kKeyNumpad2:
      arms(0, -(homed ? std::min(y1, y2) : yr));
      break;
    case kKeyNumpad1: {
      const int64_t m = std::min(std::min(y1, x1), std::min(y2, x2));
      arms(-m, -m);
      break;
    }
    case kKeyNumpad3: {
      const int64_t m = std::min(std::min(xr - x1, y1), std::min(xr - x2, y2));
      arms(m, -m);
      break;
    }
    case kKeyNumpad7: {
      const int64_t m = std::min(std::min(x1, yr - y1), std::min(x2, yr - y2));
      arms(-m, m);
      break;
    }
    case kKeyNumpad9: {
      const int64_t m = std::min(std::min(xr - x1, yr - y1), std::min(xr - x2, yr - y2));
      arms(m, m);
      break;
    }
    case kKeyComma:
    case kKeyPeriod: {
      const int64_t length = 2 * int64_t{state.conveyor_jog_length} * 100 * (key == kKeyComma ? -1 : 1);
      if (link.panel.active_belts == 0) d[6] = d[2] = d[3] = length;
      if (link.panel.active_belts == 1) d[6] = length;
      if (link.panel.active_belts == 2) d[2] = d[3] = length;
      break;
    }
    default:
      break;
  }
  if (std::all_of(d.begin(), d.end(), [](int64_t delta) { return delta == 0; })) return;
  if (ThirdAxesMove(d)) {
    SetVerticalPower(link, kFromPanel);
    SelectSpeedGroup(link, 3, kFromPanel);
  } else {
    SetHorizontalPower(link, kFromPanel);
    SelectSpeedGroup(link, 2, kFromPanel);
  }
  HeaterOn(link);  // HeaterOn itself leaves a Qo whose vertical wire is already on alone
  SleepMs(Config(link, Param::Pauza_w_kacie));
  if (RotaryOrBeltMoves(d)) SendHeavyMaterialIfTicked(link);
  SendMove(link, StepsOf(state, d));
  if (RotaryOrBeltMoves(d)) state.conveyor_moved = true;
}

void MoveTo(MachineLink& link, bool side_a, bool side_b, double z_target, double y_target, double x_target) {
  ControllerState& state = link.state;
  WaitForStop(link);
  state.last_move = LastMove::kPositioning;
  ReadPositions(link);
  const double x_limit = state.x_range * 100.0;
  const double y_limit = state.y_range * 100.0;
  const int64_t x = ToHundredths(std::clamp(std::max(HundredthsOf(link, x_target), 0.0), 0.0, x_limit));
  const int64_t y = ToHundredths(std::clamp(std::max(HundredthsOf(link, y_target), 0.0), 0.0, y_limit));
  const int64_t dx1 = x - state.X1, dx2 = x - state.X2, dy1 = y - state.Y1, dy2 = y - state.Y2;
  const int64_t dz = (dx1 == 0 && dy1 == 0) ? ToHundredths(HundredthsOf(link, z_target)) - int64_t{state.belt3} : 0;
  if (dx1 == 0 && dx2 == 0 && dy1 == 0 && dy2 == 0 && dz == 0) return;
  std::array<int64_t, 8> d{};
  if (side_a && side_b) {
    d = {dx1, dy1, dz, dz, dx2, dy2, dz, 0};
  } else if (side_a) {
    d[0] = dx1;
    d[1] = dy1;
  } else if (side_b) {
    d[4] = dx2;
    d[5] = dy2;
  }
  RunPositioningMove(link, d);
}

void MoveBy(MachineLink& link, bool side_a, bool side_b, double third, double dy, double dx) {
  ControllerState& state = link.state;
  WaitForStop(link);
  WaitIdle(link);
  state.last_move = LastMove::kPositioning;
  ReadPositions(link);
  const int64_t x_limit = int64_t{state.x_range} * 100;
  const int64_t y_limit = int64_t{state.y_range} * 100;
  const int64_t want_x = ToHundredths(HundredthsOf(link, dx));
  const int64_t want_y = ToHundredths(HundredthsOf(link, dy));
  const int64_t dx1 = CutToRange(state.X1, want_x, x_limit), dx2 = CutToRange(state.X2, want_x, x_limit);
  const int64_t dy1 = CutToRange(state.Y1, want_y, y_limit), dy2 = CutToRange(state.Y2, want_y, y_limit);
  std::array<int64_t, 8> d{};
  const int64_t third_hundredths = ToHundredths(third * 100.0);
  if (link.separate_third_axes) {
    if (link.panel.active_belts == 0) d[6] = d[2] = d[3] = third_hundredths;
    if (link.panel.active_belts == 1) d[6] = third_hundredths;
    if (link.panel.active_belts == 2) d[2] = d[3] = third_hundredths;
  } else {
    d[3] = third_hundredths;
    d[link.config.Choice(Param::StolikSwitch) == 1 ? 2 : 6] = ToHundredths(third * 100.0 / 360.0);
  }
  if (side_a) {
    d[0] = dx1;
    d[1] = dy1;
  }
  if (side_b) {
    d[4] = dx2;
    d[5] = dy2;
  }
  if (std::all_of(d.begin(), d.end(), [](int64_t delta) { return delta == 0; })) return;
  RunPositioningMove(link, d);
}

bool IsModelQo(const ControllerState& state) { return state.IsModelQo(); }

double PowerFactor(const ControllerState& state, int output) {
  if (output == 0) return 1.0;
  if (output == 5) return state.vertical_power_factor;
  return 0.0;
}

SpeedMaxima ModelSpeedMaxima(const ControllerState& state) {
  return SpeedMaxima{static_cast<double>(state.profile.max_work_speed), static_cast<double>(state.profile.max_rapid_speed),
                     static_cast<double>(state.profile.max_conveyor_speed)};
}

}  // namespace varnholt
