#include "info/fixed_text.h"

#include <charconv>
#include <cmath>

namespace varnholt {

std::string FixedText(double value, int decimals) {
  if (!std::isfinite(value)) return "0";
  char buffer[400];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
  std::string text(buffer, result.ptr);
  if (text.front() == '-' && text.find_first_not_of("-0.") == std::string::npos) text.erase(0, 1);
  return text;
}

}  // namespace varnholt
