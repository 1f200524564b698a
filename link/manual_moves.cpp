// The manual moves: jogging toward a limit, absolute and relative positioning, and the start point.

#include <algorithm>
#include <array>

#include "config/display_unit.h"
#include "geometry/clock.h"
#include "geometry/units.h"
#include "link/controller_ops.h"
#include "services/operator.h"

namespace varnholt {
namespace {

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
  {
    BusyCursor busy;
    SelectSpeedGroup(link, belts ? 3 : 2, kFromPanel);
    // A Stop during the warm-up ends the move before it starts.
    if (!HeaterOn(link) || !WaitMs(link, Config(link, Param::CzasRozgrzewania))) return;
    if (belts) SendHeavyMaterialIfTicked(link);
    SendMove(link, StepsOf(link.state, deltas));
  }
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
  // HeaterOn itself leaves a Qo whose vertical wire is already on alone. A Stop during the warm-up ends the jog
  // before it moves.
  if (!HeaterOn(link) || !WaitMs(link, Config(link, Param::Pauza_w_kacie))) return;
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

}  // namespace varnholt
