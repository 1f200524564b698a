#include "link/controller_state.h"

#include <cmath>

#include "geometry/units.h"
#include "link/byte_order.h"

namespace varnholt {
namespace {

// Fixed point of the calibration record: 24 fraction bits.
constexpr double kCalibrationOne = 16777216.0;

// Steps within one turn, or the steps themselves when the turn is unknown.
int32_t WithinTurn(int32_t steps, int32_t steps_per_turn) {
  if (steps_per_turn == 0) return steps;
  return static_cast<int32_t>(int64_t{steps} % int64_t{steps_per_turn});
}

double AngleOf(int32_t steps, int32_t steps_per_turn) {
  if (steps_per_turn == 0) return 0.0;
  return static_cast<double>(steps) * 360.0 / static_cast<double>(steps_per_turn);
}

}  // namespace

MachineProfile ProfileOf(const std::string& model_code) {
  if (model_code == "Qa") return {2000, 2000, 4, 2000, 1.0};
  if (model_code == "Qe") return {2000, 1000, 4, 1000, 2.0};
  if (model_code == "Qo") return {1300, 1000, 3, 2000, 1.0};
  return {};
}

int32_t StepsToHundredths(int32_t steps, double scale) {
  if (!std::isfinite(scale) || scale == 0.0) return 0;
  return NearestInt32Saturated(static_cast<double>(steps) / scale);
}

int32_t HundredthsToSteps(double hundredths, double scale) { return NearestInt32Saturated(hundredths * scale); }

void ApplyStatusRecord(ControllerState& state, std::span<const uint8_t> record) {
  state.status_byte = ReadU8(record, 1);
  state.status_word = ReadU32(record, 2);
  state.button_presses |= state.status_word & kMachineButtonBits;
}

void ApplyPositionsRecord(ControllerState& state, std::span<const uint8_t> record, bool separate_third_axes) {
  ApplyStatusRecord(state, record);
  ApplyAxisPositions(state, record, separate_third_axes);
}

void ApplyAxisPositions(ControllerState& state, std::span<const uint8_t> record, bool separate_third_axes) {
  for (size_t axis = 0; axis < state.axis_steps.size(); ++axis) state.axis_steps[axis] = ReadI32(record, 6 + 4 * axis);
  const AxisSteps& s = state.axis_steps;
  state.X1 = StepsToHundredths(s[0], state.StepScaleX);
  state.Y1 = StepsToHundredths(s[1], state.StepScaleY);
  state.X2 = StepsToHundredths(s[4], state.StepScaleX);
  state.Y2 = StepsToHundredths(s[5], state.StepScaleY);
  state.belt3 = StepsToHundredths(s[3], state.StepScaleZ);
  if (separate_third_axes) {
    state.third1 = StepsToHundredths(s[2], state.StepScaleZ);
    state.third2 = StepsToHundredths(s[6], state.StepScaleZ);
  } else {
    state.third1 = WithinTurn(s[2], state.steps_per_turn2);
    state.third2 = WithinTurn(s[6], state.steps_per_turn6);
  }
  state.turn7 = WithinTurn(s[7], state.steps_per_turn7);
  state.angle_third1 = AngleOf(state.third1, state.steps_per_turn2);
  state.angle_third2 = AngleOf(state.third2, state.steps_per_turn6);
  state.angle_turn7 = AngleOf(state.turn7, state.steps_per_turn7);
}

void ApplySpeedsRecord(ControllerState& state, std::span<const uint8_t> record) {
  const int32_t multiplier = state.profile.StepMultiplier;
  state.active_group = ReadU8(record, 0);
  for (size_t group = 0; group < state.group_periods.size(); ++group) {
    state.group_periods[group] = int32_t{ReadU16(record, 2 + 2 * group)} * multiplier;
  }
  state.fifth_period = int32_t{ReadU16(record, 10)} * multiplier;
  // A group number the controller should never report has no period of its own.
  state.active_period = state.active_group < state.group_periods.size() ? state.group_periods[state.active_group] : 0;
}

void ApplyHeatersRecord(ControllerState& state, std::span<const uint8_t> record) {
  state.heater_channel = ReadU8(record, 0);
  state.heater_state = ReadU8(record, 1);
  for (size_t channel = 0; channel < state.heater_table.size(); ++channel) {
    state.heater_table[channel] = ReadI32(record, 2 + 4 * channel);
  }
  if (state.heater_channel < state.heater_table.size()) {
    state.heater_power = static_cast<uint16_t>(state.heater_table[state.heater_channel] & 0xFFFF);
  }
}

void ApplyIdentityRecord(ControllerState& state, std::span<const uint8_t> record) {
  state.x_range = ReadI32(record, 2);
  state.y_range = ReadI32(record, 6);
  state.x2_range = ReadI32(record, 10);
  state.y2_range = state.y_range;
  state.angle_range = 360;
  state.operating_minutes = ReadI32(record, 14);
  state.operating_counter = ReadI32(record, 18);
}

void ApplyCalibrationRecord(ControllerState& state, std::span<const uint8_t> record) {
  state.StepScaleX = static_cast<double>(ReadI64(record, 6)) / kCalibrationOne;
  state.StepScaleY = static_cast<double>(ReadI64(record, 14)) / kCalibrationOne;
  state.StepScaleZ = static_cast<double>(ReadI64(record, 22)) / kCalibrationOne;
  state.steps_per_turn6 = ReadI32(record, 30);
  state.steps_per_turn2 = ReadI32(record, 38);
  state.steps_per_turn7 = ReadI32(record, 46);
  state.calibration4 = ReadI32(record, 54);
}

void ApplyExtraRecord(ControllerState& state, std::span<const uint8_t> record) {
  state.extra1 = ReadI32(record, 2);
  state.extra2 = ReadI32(record, 6);
}

std::string StatusBitNames(uint32_t status_word) {
  static constexpr std::pair<uint32_t, const char*> kNames[] = {
      {kStatusMoving, "moving"},
      {kStatusProgramRunning, "program-running"},
      {kStatusHeating, "heating"},
      {kStatusPaused, "paused"},
      {kStatusBufferFull, "buffer-full"},
      {kStatusStartButton, "start-button"},
      {kStatusStopButton, "stop-button"},
      {kStatusContinueButton, "continue-button"},
      {kStatusHomed, "homed"},
      {kStatusWireBroken, "wire-broken"},
      {kStatusWaitsForGo, "waits-for-go"},
  };
  std::string names;
  for (const auto& [bit, name] : kNames) {
    if ((status_word & bit) == 0) continue;
    if (!names.empty()) names += ' ';
    names += name;
  }
  return names;
}

}  // namespace varnholt
