#pragma once
// The controller's last known state, the machine profiles of the models, and the reply records that fill them.

#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "link/move_record.h"

namespace varnholt {

// Indexed strings the controller answers with its records.
enum ReplyIndex : int {
  kReplyStatus = 10,
  kReplySpeeds = 12,
  kReplyHeaters = 13,
  kReplyIdentity = 14,
  kReplyCalibration = 15,
  kReplyExtra = 16,
  kReplyFirmware = 17,
};

// Bits of the status word.
enum StatusBit : uint32_t {
  kStatusMoving = 1u << 0,
  kStatusProgramRunning = 1u << 1,
  kStatusHeating = 1u << 2,
  kStatusPaused = 1u << 6,
  kStatusBufferFull = 1u << 9,
  kStatusStartButton = 1u << 11,
  kStatusStopButton = 1u << 12,
  kStatusContinueButton = 1u << 13,
  kStatusHomed = 1u << 18,
  kStatusWireBroken = 1u << 19,
  kStatusWaitsForGo = 1u << 20,
};

// Heater channels: the horizontal wire as a program cuts with it, the same wire at the manual power, the vertical
// wires; and the selection values of the power output setting.
inline constexpr uint8_t kHorizontalWireChannel = 1;
inline constexpr uint8_t kManualWireChannel = 2;
inline constexpr uint8_t kVerticalWireChannel = 3;
inline constexpr int32_t kHorizontalWireOutput = 0;
inline constexpr int32_t kVerticalWireOutput = 5;

// The bits of the machine's own start, stop and continue buttons.
inline constexpr uint32_t kMachineButtonBits = kStatusStartButton | kStatusStopButton | kStatusContinueButton;

// What the model code decides.
struct MachineProfile {
  int32_t max_rapid_speed = 5000;
  int32_t max_work_speed = 5000;
  int32_t StepMultiplier = 2;
  int32_t max_conveyor_speed = 3000;
  double conveyor_factor = 1.0;
};

// The profile of a model code; the initial profile for any other code.
MachineProfile ProfileOf(const std::string& model_code);

// What the last manual move of the machine was.
enum class LastMove { kNone, kJog, kPositioning };

struct ControllerState {
  // String 10.
  uint32_t status_word = 0;
  uint8_t status_byte = 0;
  AxisSteps axis_steps{};
  int32_t X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;  // hundredths of a millimetre
  int32_t belt3 = 0, third1 = 0, third2 = 0, turn7 = 0;
  double angle_third1 = 0.0, angle_third2 = 0.0, angle_turn7 = 0.0;
  // Set by the cutting run, sent by SetStartPoint.
  int32_t start_x = 0, start_y = 0;
  // String 12: periods already multiplied by StepMultiplier.
  uint8_t active_group = 0;
  std::array<int32_t, 4> group_periods{};
  int32_t fifth_period = 0;
  int32_t active_period = 0;
  // String 13.
  uint8_t heater_channel = 0;
  uint8_t heater_state = 0;
  std::array<int32_t, 8> heater_table{};
  uint16_t heater_power = 0;
  // Identification.
  std::string manufacturer, product, serial, model_code;
  int32_t operating_minutes = 0, operating_counter = 0;
  // String 16, tenths.
  int32_t extra1 = 0, extra2 = 0;
  // Working ranges in millimetres.
  int32_t x_range = 4800, y_range = 2400, x2_range = 4800, y2_range = 2400;
  int32_t angle_range = 360;
  // Calibration: steps per hundredth of a millimetre, steps per turn of axes 6, 2, 7, and a fourth value.
  double StepScaleX = 1.0, StepScaleY = 1.0, StepScaleZ = 1.0;
  // The model's own factors, before the configuration's calibration is added to them.
  double BaseScaleX = 1.0, BaseScaleY = 1.0, BaseScaleZ = 1.0;
  int32_t steps_per_turn6 = 8000, steps_per_turn2 = 8000, steps_per_turn7 = 8000, calibration4 = 600;
  MachineProfile profile;
  int32_t conveyor_jog_length = 4850;
  double vertical_power_factor = 0.35;
  // Marks of the manual operations.
  bool waiting = false;  // WaitIdle runs
  LastMove last_move = LastMove::kNone;
  bool conveyor_moved = false;
  // Presses of the machine's buttons seen by any status read since the control panel last took them: the
  // controller reports a press once, and the read that sees it may be the transmission's or a wait's.
  uint32_t button_presses = 0;
  // Step counts of the position the panel remembers after a jog.
  int32_t remembered_third1 = 0, remembered_third2 = 0;

  bool Has(uint32_t bits) const { return (status_word & bits) == bits; }
  bool IsModelQo() const { return model_code == "Qo"; }
};

// Reply record parsers: each fills its own fields from the raw bytes (a short record reads as zeros).
// separate_third_axes is the command-line option that makes the third axes three conveyor belts.
void ApplyStatusRecord(ControllerState& state, std::span<const uint8_t> record);
void ApplyPositionsRecord(ControllerState& state, std::span<const uint8_t> record, bool separate_third_axes);
// The positions part of the record alone, for a record whose status was applied already: applying that again would
// count the machine's button presses in it twice.
void ApplyAxisPositions(ControllerState& state, std::span<const uint8_t> record, bool separate_third_axes);
void ApplySpeedsRecord(ControllerState& state, std::span<const uint8_t> record);
void ApplyHeatersRecord(ControllerState& state, std::span<const uint8_t> record);
void ApplyIdentityRecord(ControllerState& state, std::span<const uint8_t> record);
void ApplyCalibrationRecord(ControllerState& state, std::span<const uint8_t> record);
void ApplyExtraRecord(ControllerState& state, std::span<const uint8_t> record);

// Steps divided by a scale and rounded, saturated into int32; a zero or invalid scale gives 0.
int32_t StepsToHundredths(int32_t steps, double scale);
// Hundredths times a scale, rounded and saturated into int32.
int32_t HundredthsToSteps(double hundredths, double scale);

// The names of the status word's known bits that are set, lowest first.
std::string StatusBitNames(uint32_t status_word);

}  // namespace varnholt
