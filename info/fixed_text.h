#pragma once
// Numbers as the information windows show them: a point as the decimal separator, whatever the locale.

#include <string>

namespace varnholt {

// The value with exactly `decimals` decimals, rounded to nearest (an exact half to the even neighbour);
// "0.00" rather than "-0.00" for a value that rounds to zero.
std::string FixedText(double value, int decimals);

}  // namespace varnholt
