#include "link/move_record.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "geometry/units.h"

namespace varnholt {
namespace {

double Square(int32_t value) { return static_cast<double>(value) * static_cast<double>(value); }

int64_t RoundedLength(int32_t a, int32_t b, int32_t c) {
  return static_cast<int64_t>(nearest(std::sqrt(Square(a) + Square(b) + Square(c) + 0.5)));
}

void AppendGroup(std::string& bytes, char letter, uint8_t code, int32_t value) {
  bytes.push_back(letter);
  bytes.push_back(static_cast<char>(code));
  AppendInt32(bytes, value);
}

}  // namespace

void AppendInt32(std::string& bytes, int32_t value) {
  const auto bits = static_cast<uint32_t>(value);
  for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<char>((bits >> shift) & 0xFFU));
}

void AppendUint16(std::string& bytes, uint16_t value) {
  bytes.push_back(static_cast<char>(value & 0xFFU));
  bytes.push_back(static_cast<char>(value >> 8));
}

int64_t InterpolationSteps(const AxisSteps& s) {
  // The half inside the root would make a move without steps one step long: such a move has none.
  if (s[0] == 0 && s[1] == 0 && s[2] == 0 && s[4] == 0 && s[5] == 0 && s[6] == 0) return 0;
  // Lengths of int32 steps stay below 2^33, so they fit int64 and double exactly enough for the rounding.
  return std::max({RoundedLength(s[0], s[1], s[2]), RoundedLength(s[4], s[5], s[2]), RoundedLength(s[0], s[1], s[6]),
                   RoundedLength(s[4], s[5], s[6])});
}

MoveRecord BuildMoveRecord(char letter, int32_t step_multiplier, const AxisSteps& steps) {
  MoveRecord record;
  record.interpolation = InterpolationSteps(steps) * step_multiplier;
  if (record.interpolation <= 0 || record.interpolation > std::numeric_limits<int32_t>::max()) return record;
  AppendGroup(record.bytes, letter, 0xFF, 0);
  for (const int axis : {0, 4, 1, 5, 2, 6, 3, 7}) {
    const int32_t value = steps[static_cast<size_t>(axis)];
    if (value != 0) AppendGroup(record.bytes, letter, static_cast<uint8_t>(axis), value);
  }
  AppendGroup(record.bytes, letter, 0xFE, static_cast<int32_t>(record.interpolation));
  return record;
}

MoveRecord BuildMoveRecord(char letter, int32_t step_multiplier, int32_t dx1, int32_t dx2, int32_t dy1, int32_t dy2,
                           int32_t dz, int32_t dk) {
  return BuildMoveRecord(letter, step_multiplier, AxisSteps{dx1, dy1, dz, dz, dx2, dy2, dz, dk});
}

}  // namespace varnholt
