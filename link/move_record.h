#pragma once
// The move record: one straight move of up to eight axes as 6-byte groups, shared by the direct Move command and
// the machine program writer.

#include <array>
#include <cstdint>
#include <optional>

#include "link/command_bytes.h"

namespace varnholt {

// Signed relative steps of axes 0..7: 0 X1, 1 Y1, 2 belt 2 or rotary, 3 belt 3, 4 X2, 5 Y2, 6 belt 1 or rotary, 7.
using AxisSteps = std::array<int32_t, 8>;

// Group codes that open and close a move.
inline constexpr uint8_t kMoveOpenCode = 0xFF;
inline constexpr uint8_t kMoveCountCode = 0xFE;
inline constexpr size_t kMoveGroupLength = 6;

// The interpolation count: the largest of the rounded lengths sqrt(a^2 + b^2 + c^2 + 0.5) of the four arm and
// third-axis combinations (axes 3 and 7 do not count), times the multiplier; 0 when no counted axis moves.
// Nothing when it does not fit an int32.
std::optional<int64_t> InterpolationCount(const AxisSteps& steps, int32_t multiplier);

struct MoveRecord {
  CommandBytes bytes;  // empty when no move results
  int64_t count = 0;   // the interpolation count
};

// Builds the groups letter 0xFF 0, the non-zero axes in the order 0, 4, 1, 5, 2, 6, 3, 7, and letter 0xFE count.
// The letter is 'A' for a direct move and 'a' in a stored program. When the count is not positive (or too large to
// send) the record is empty.
MoveRecord BuildMoveRecord(char letter, int32_t multiplier, const AxisSteps& steps);

// The steps of a move given by arm and conveyor deltas, the conveyor delta going to the three belt axes 2, 6, 3.
AxisSteps ArmMoveSteps(int32_t dx1, int32_t dx2, int32_t dy1, int32_t dy2, int32_t dz, int32_t dk);

}  // namespace varnholt
