#include "geometry/units.h"

#include <cmath>
#include <limits>

namespace varnholt {

// The program never leaves the default rounding mode (to nearest, halves to even), which nearbyint follows.
double nearest(double value) { return std::nearbyint(value); }

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
