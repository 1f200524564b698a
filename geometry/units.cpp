#include "geometry/units.h"

#include <cmath>
#include <limits>

namespace varnholt {

// The program never leaves the default rounding mode (to nearest, halves to even). Below 2^51 adding and taking away
// 1.5 * 2^52 leaves exactly that rounding of the value, without the library call that saves and restores the
// floating-point environment (the readers round every coordinate). The sign is put back for results of zero.
double nearest(double value) {
  constexpr double kShift = 6755399441055744.0;  // 1.5 * 2^52
  if (std::fabs(value) < 2251799813685248.0) {   // 2^51
    const double shifted = value + kShift;
    return std::copysign(shifted - kShift, value);
  }
  return std::nearbyint(value);  // already whole beyond 2^52; NaN and infinities pass through
}

std::optional<int32_t> NearestInt32(double value) {
  // Whole numbers, by far the most common input, skip the rounding call.
  if (value >= -2147483648.0 && value <= 2147483647.0) {
    const auto truncated = static_cast<int32_t>(value);
    if (static_cast<double>(truncated) == value) return truncated;
  }
  const double rounded = nearest(value);
  if (!(rounded >= static_cast<double>(std::numeric_limits<int32_t>::min()) &&
        rounded <= static_cast<double>(std::numeric_limits<int32_t>::max()))) {
    return std::nullopt;
  }
  return static_cast<int32_t>(rounded);
}

int32_t NearestInt32Saturated(double value) {
  if (std::isnan(value)) return 0;
  if (auto fitted = NearestInt32(value)) return *fitted;
  return value < 0 ? std::numeric_limits<int32_t>::min() : std::numeric_limits<int32_t>::max();
}

double UnitsToMm(int32_t units) { return static_cast<double>(units) * 1000.0 / 40000.0; }

int32_t MmToUnits(double mm) { return NearestInt32Saturated(mm * 40000.0 / 1000.0); }

std::optional<int32_t> MmToUnitsChecked(double mm) { return NearestInt32(mm * 40000.0 / 1000.0); }

}  // namespace varnholt
