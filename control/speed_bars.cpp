#include "control/speed_bars.h"

#include <algorithm>
#include <cmath>

#include "config/display_unit.h"
#include "geometry/decimal_text.h"
#include "geometry/units.h"

namespace varnholt {
namespace {

double RoundTo(double value, double multiple) { return nearest(value / multiple) * multiple; }

SpeedBarDisplay MillimetreDisplay(double value) {
  if (value < 100) return {DecimalText(nearest(value), 0), 1, 10};
  if (value < 1000) return {DecimalText(RoundTo(value, 10), 0), 10, 100};
  if (value < 5000) return {DecimalText(RoundTo(value, 100), 0), 100, 500};
  if (value < 10000) return {DecimalText(RoundTo(value, 500), 0), 500, 1000};
  return {DecimalText(RoundTo(value, 1000), 0), 1000, 2000};
}

}  // namespace

SpeedBarDisplay SpeedBarText(int32_t position, int unit, double divisor) {
  const double value = divisor > 0.0 ? position / divisor : position;
  if (unit == kUnitInch) {
    double tenths = nearest(value / 25.4 * 10.0);
    const bool small = tenths <= 99;
    if (!small) tenths = RoundTo(tenths, 10);
    return {DecimalText(tenths / 10.0, 1), small ? 3 : 25, small ? 25 : 254};
  }
  if (unit == kUnitFoot) {
    double hundredths = nearest(value / 304.8 * 100.0);
    if (hundredths > 99) hundredths = RoundTo(hundredths, 10);
    return {DecimalText(hundredths / 100.0, 1), 30, 305};
  }
  return MillimetreDisplay(value);
}

int32_t NumpadSpeedStep(int32_t position) {
  if (position >= 1000) return 100;
  if (position >= 100) return 10;
  if (position >= 10) return 1;
  return 0;
}

int32_t NumpadSpeedChange(int32_t position, bool plus, int32_t max_rapid_speed) {
  const int32_t step = NumpadSpeedStep(position);
  if (plus) return std::max(position, std::min(position + step, max_rapid_speed));
  return std::min(position, std::max(position - step, 10));
}

int32_t PercentToHeaterPower(double percent, double factor) {
  return NearestInt32Saturated(percent * 255.0 / 100.0 * factor);
}

int32_t HeaterPowerToPercent(int32_t power, double factor) {
  if (!(factor > 0.0)) return 0;
  return NearestInt32Saturated(power * 100.0 / 255.0 / factor);
}

}  // namespace varnholt
