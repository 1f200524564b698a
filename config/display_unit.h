#pragma once
// The display unit of lengths and speeds and the conversion between it and millimetres.

#include <string>
#include <string_view>

#include "config/parameters.h"

namespace varnholt {

// Values of CurrentUnit and radiounit.
enum DisplayUnit : int { kUnitMm = 0, kUnitInch = 1, kUnitFoot = 2 };

// Millimetres per display unit: 1, 25.4 or 304.8. A unit outside 0..2 (radiounit may be -1) counts as mm.
double UnitFactor(int unit);
// "mm", "in" or "ft".
std::string_view UnitName(int unit);

// A value typed in the display unit, in millimetres.
double ToMillimetres(double value, int unit);
// A millimetre value as the display unit shows it.
double FromMillimetres(double mm, int unit);

// "[" + unit name + "]", the label of a length field.
std::string LengthUnitLabel(int unit);
// "[" + unit name + per_minute, the label of a speed field (per_minute is the language text of "naMinute").
std::string SpeedUnitLabel(int unit, std::string_view per_minute);

// The up/down step of a number field in millimetres under a display unit: the seven fields that follow the unit
// step by one inch or a tenth of a foot, every other field keeps its own step.
double StepMm(Param param, int unit);

}  // namespace varnholt
