#include "geometry/units.h"

#include <cmath>
#include <limits>

namespace varnholt {

double nearest(double value) {
  // Explicit so that no caller depends on the floating-point environment's rounding mode.
  const double floor_value = std::floor(value);
  const double diff = value - floor_value;
  if (diff > 0.5) return floor_value + 1.0;
  if (diff < 0.5) return floor_value;
  return std::fmod(floor_value, 2.0) == 0.0 ? floor_value : floor_value + 1.0;
}

std::optional<int32_t> NearestInt32(double value) {
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
