#include "geometry/units.h"

#include <cmath>
#include <limits>

namespace varnholt {

int32_t NearestInt32Saturated(double value) {
  if (std::isnan(value)) return 0;
  if (auto fitted = NearestInt32(value)) return *fitted;
  return value < 0 ? std::numeric_limits<int32_t>::min() : std::numeric_limits<int32_t>::max();
}

double UnitsToMm(int32_t units) { return static_cast<double>(units) * 1000.0 / 40000.0; }

int32_t MmToUnits(double mm) { return NearestInt32Saturated(mm * 40000.0 / 1000.0); }

}  // namespace varnholt
