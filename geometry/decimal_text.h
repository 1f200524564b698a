#pragma once
// Numbers as the windows show them: a fixed number of decimals and a decimal separator of the caller's choice
// (a point unless told otherwise), whatever the locale.

#include <string>

namespace varnholt {

// The value with exactly `decimals` decimals, rounded to nearest (an exact half to the even neighbour), with
// separator for the decimal point: "12.50", "5,12". A value that rounds to zero shows no sign ("0.00", never
// "-0.00"); a value that is not finite, or a text too long to write, shows "0".
std::string DecimalText(double value, int decimals, char separator = '.');

}  // namespace varnholt
