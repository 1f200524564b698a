#include "layout/length_text.h"

#include <charconv>
#include <cmath>
#include <cstdint>

#include "config/display_unit.h"
#include "geometry/decimal_text.h"

namespace varnholt {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

int SizeDecimals(int unit) {
  switch (unit) {
    case kUnitInch:
      return 2;
    case kUnitFoot:
      return 3;
    default:
      return 1;
  }
}

std::string LengthText(double mm, int unit, int decimals, char separator) {
  return DecimalText(FromMillimetres(mm, unit), decimals, separator);
}

std::string FieldText(double mm, int unit, char separator) {
  std::string text = LengthText(mm, unit, SizeDecimals(unit) + 2, separator);
  if (text.find(separator) != std::string::npos) {
    while (text.back() == '0') text.pop_back();
    if (text.back() == separator) text.pop_back();
  }
  return text;
}

std::optional<double> ParseFieldNumber(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  std::string plain;
  bool digits = false, point = false;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (IsDigit(c)) {
      digits = true;
      plain.push_back(c);
    } else if ((c == ',' || c == '.') && !point) {
      point = true;
      plain.push_back('.');
    } else if ((c == '-' || c == '+') && i == 0) {
      if (c == '-') plain.push_back('-');
    } else {
      return std::nullopt;
    }
  }
  if (!digits) return std::nullopt;
  double value = 0.0;
  const char* last = plain.data() + plain.size();
  const auto [end, error] = std::from_chars(plain.data(), last, value, std::chars_format::fixed);
  if (error != std::errc() || end != last || !std::isfinite(value)) return std::nullopt;
  return value;
}

int32_t CountFromNumber(double value) {
  if (std::isnan(value)) return 0;
  const double whole = std::trunc(value);
  if (whole >= static_cast<double>(INT32_MAX)) return INT32_MAX;
  if (whole <= static_cast<double>(INT32_MIN)) return INT32_MIN;
  return static_cast<int32_t>(whole);
}

}  // namespace varnholt
