#pragma once
// Speeds in millimetres per minute and the controller's step periods (ticks of 0.8 microseconds per step).

#include <cstdint>

namespace varnholt {

// nearest(10^6 / step_scale_x / v / 0.8) with v = speed * 100 / 60 steps per second, and 20 mm/min for any speed
// of 20 or less. Saturates at 65535, the longest period the controller holds; a scale that is not positive gives
// the longest period too.
uint16_t PeriodFromSpeed(double speed, double step_scale_x);

// nearest(6 * 10^5 / step_scale_x / (period * 0.8)); max_rapid_speed for period 0. Saturates at 65535.
uint16_t SpeedFromPeriod(uint16_t period, double step_scale_x, uint16_t max_rapid_speed);

// The period a speed group record carries: period / step_multiplier (integer division, multiplier at least 1).
uint16_t PeriodForGroup(uint16_t period, int32_t step_multiplier);

}  // namespace varnholt
