#include "link/move_record.h"

#include <cmath>
#include <limits>

#include "geometry/units.h"
#include "link/byte_order.h"

namespace varnholt {
namespace {

constexpr std::array<size_t, 8> kGroupOrder = {0, 4, 1, 5, 2, 6, 3, 7};

double RoundedLength(int32_t a, int32_t b, int32_t c) {
  const double x = a, y = b, z = c;
  return nearest(std::sqrt(x * x + y * y + z * z + 0.5));
}

void AppendGroup(CommandBytes& bytes, char letter, uint8_t code, int32_t value) {
  bytes.push_back(letter);
  bytes.push_back(static_cast<char>(code));
  AppendI32(bytes, value);
}

}  // namespace

std::optional<int64_t> InterpolationCount(const AxisSteps& a, int32_t multiplier) {
  // The 0.5 under the root would make a move of no counted steps one step long; such a move has no count.
  if (a[0] == 0 && a[1] == 0 && a[2] == 0 && a[4] == 0 && a[5] == 0 && a[6] == 0) return 0;
  const double n = std::fmax(std::fmax(RoundedLength(a[0], a[1], a[2]), RoundedLength(a[4], a[5], a[2])),
                             std::fmax(RoundedLength(a[0], a[1], a[6]), RoundedLength(a[4], a[5], a[6])));
  const double count = n * static_cast<double>(multiplier);
  if (!(std::fabs(count) <= static_cast<double>(std::numeric_limits<int32_t>::max()))) return std::nullopt;
  return static_cast<int64_t>(count);
}

MoveRecord BuildMoveRecord(char letter, int32_t multiplier, const AxisSteps& steps) {
  MoveRecord record;
  const std::optional<int64_t> count = InterpolationCount(steps, multiplier);
  if (!count || *count <= 0) return record;
  record.count = *count;
  AppendGroup(record.bytes, letter, kMoveOpenCode, 0);
  for (size_t axis : kGroupOrder) {
    if (steps[axis] != 0) AppendGroup(record.bytes, letter, static_cast<uint8_t>(axis), steps[axis]);
  }
  AppendGroup(record.bytes, letter, kMoveCountCode, static_cast<int32_t>(*count));
  return record;
}

AxisSteps ArmMoveSteps(int32_t dx1, int32_t dx2, int32_t dy1, int32_t dy2, int32_t dz, int32_t dk) {
  return AxisSteps{dx1, dy1, dz, dz, dx2, dy2, dz, dk};
}

}  // namespace varnholt
