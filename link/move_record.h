#pragma once
// The move command: one straight move of up to eight axes as 6-byte groups of letter, axis code and int32 value.

#include <array>
#include <cstdint>
#include <string>

namespace varnholt {

// Relative steps of axes 0..7: 0 X1, 1 Y1, 2 third axis (belt 2 or table), 3 belt 3, 4 X2, 5 Y2, 6 third axis
// (belt 1 or table), 7 axis 7.
using AxisSteps = std::array<int32_t, 8>;

struct MoveRecord {
  std::string bytes;        // empty when the move has no steps to interpolate
  int64_t interpolation = 0;  // the count written in the last group (n times the step multiplier)
};

// The interpolation count's n: the largest of nearest(sqrt(a0^2 + a1^2 + a2^2 + 0.5)) over the four pairs of an
// arm (axes 0/1 or 4/5) and a third axis (2 or 6); 0 when none of these axes moves. Axes 3 and 7 do not count.
int64_t InterpolationSteps(const AxisSteps& steps);

// Builds the move with the given letter ('A' for a direct command, 'a' in a stored program): the opening group
// (code 0xFF, 0), the groups of the non-zero axes in the order 0, 4, 1, 5, 2, 6, 3, 7, and the interpolation count
// (code 0xFE). Empty when the count is not positive. A count beyond the int32 range cannot be written: the caller
// checks interpolation before using bytes (it is then left empty too).
MoveRecord BuildMoveRecord(char letter, int32_t step_multiplier, const AxisSteps& steps);

// The builder as the program writer calls it: the Z delta goes to the three belt axes 2, 6 and 3 at once.
MoveRecord BuildMoveRecord(char letter, int32_t step_multiplier, int32_t dx1, int32_t dx2, int32_t dy1, int32_t dy2,
                           int32_t dz, int32_t dk);

// Appends value as four little-endian bytes.
void AppendInt32(std::string& bytes, int32_t value);
// Appends value as two little-endian bytes.
void AppendUint16(std::string& bytes, uint16_t value);

}  // namespace varnholt
