#include "geometry/decimal_text.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace varnholt {

std::string DecimalText(double value, int decimals, char separator) {
  if (!std::isfinite(value)) return "0";
  char buffer[400];  // a double of up to 309 whole digits, the sign, the point and the decimals
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
  if (result.ec != std::errc()) return "0";
  std::string text(buffer, result.ptr);
  if (text.front() == '-' && text.find_first_not_of("0.", 1) == std::string::npos) text.erase(0, 1);
  for (char& c : text) {
    if (c == '.') c = separator;
  }
  return text;
}

}  // namespace varnholt
