#include "link/speed_conversion.h"

#include <algorithm>
#include <cmath>

#include "geometry/units.h"

namespace varnholt {
namespace {

uint16_t SaturatedUint16(double value) {
  if (!(value >= 0.0)) return value < 0.0 ? 0 : 65535;  // NaN from a zero scale counts as the slowest
  return static_cast<uint16_t>(std::min(nearest(value), 65535.0));
}

}  // namespace

uint16_t PeriodFromSpeed(double speed, double step_scale_x) {
  if (!(step_scale_x > 0.0)) return 65535;
  const double steps_per_second = speed <= 20.0 ? 100.0 / 3.0 : speed * 100.0 / 60.0;
  return SaturatedUint16(1e6 / step_scale_x / steps_per_second / 0.8);
}

uint16_t SpeedFromPeriod(uint16_t period, double step_scale_x, uint16_t max_rapid_speed) {
  if (period == 0) return max_rapid_speed;
  if (!(step_scale_x > 0.0)) return 0;
  return SaturatedUint16(6e5 / step_scale_x / (static_cast<double>(period) * 0.8));
}

uint16_t PeriodForGroup(uint16_t period, int32_t step_multiplier) {
  return static_cast<uint16_t>(period / std::max<int32_t>(step_multiplier, 1));
}

}  // namespace varnholt
