#pragma once
// The rules of the control panel's bars that need no machine: the value a speed bar shows in the display unit with
// its scroll steps, the numpad speed step and the wire-power conversions.

#include <cstdint>
#include <string>


namespace varnholt {

// What a speed bar shows for its position (mm/min) and how far a click and a page move it.
struct SpeedBarDisplay {
  std::string text;
  int32_t small_step = 1;
  int32_t large_step = 10;
};

// The shown value of a speed in the display unit (0 mm, 1 inch, 2 foot): in mm rounded to 1, 10, 100, 500 or 1000
// by size; in inch tenths of an inch per minute (above 9.9 whole inches), one decimal; in foot hundredths of a foot
// per minute (above 0.99 tenths), one decimal. divisor turns the conveyor bar's position into the belt speed.
SpeedBarDisplay SpeedBarText(int32_t position, int unit, double divisor = 1.0);

// The step numpad + and - change the arm speed by: 100 from 1000, 10 from 100, 1 from 10, else 0.
int32_t NumpadSpeedStep(int32_t position);
// The arm speed after numpad + (at most max_rapid_speed) or - (at least 10; a lower speed stays).
int32_t NumpadSpeedChange(int32_t position, bool plus, int32_t max_rapid_speed);

// A wire power in per cent as the heater's 0..255 power, times factor, rounded; and back.
int32_t PercentToHeaterPower(double percent, double factor = 1.0);
int32_t HeaterPowerToPercent(int32_t power, double factor = 1.0);


}  // namespace varnholt
