#include "files/number_text.h"

#include <charconv>
#include <cmath>

#include "geometry/run_time_error.h"

namespace varnholt {
namespace {

// Drops one leading '+', which from_chars does not accept; a sign after it stays and fails the conversion.
std::string_view WithoutPlus(std::string_view text) {
  if (!text.empty() && text.front() == '+') {
    text.remove_prefix(1);
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) return "!";
  }
  return text;
}

// Powers of ten a double holds exactly.
constexpr double kExactTens[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                 1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

}  // namespace

std::optional<double> ShortDecimal(std::string_view text) {
  const char* at = text.data();
  const char* const end = at + text.size();
  const bool negative = at != end && *at == '-';
  if (negative) ++at;
  uint64_t digits = 0;
  int count = 0;
  int decimals = 0;
  bool point = false;
  for (; at != end; ++at) {
    const char c = *at;
    if (c >= '0' && c <= '9') {
      digits = digits * 10 + static_cast<uint64_t>(c - '0');
      ++count;
      if (point) ++decimals;
    } else if (c == '.' && !point && count > 0) {
      point = true;
    } else {
      return std::nullopt;
    }
  }
  // At most 15 digits stay below 2^53: the digits and the power of ten are exact doubles, so the one division
  // rounds the decimal value exactly as a full conversion does.
  if (count == 0 || count > 15 || (point && decimals == 0)) return std::nullopt;
  const double value = static_cast<double>(digits) / kExactTens[decimals];
  return negative ? -value : value;
}

int32_t StrToInt(std::string_view text) {
  const std::string_view digits = WithoutPlus(text);
  int32_t value = 0;
  const char* first = digits.data();
  const char* last = digits.data() + digits.size();
  const auto [end, error] = std::from_chars(first, last, value);
  if (digits.empty() || error != std::errc() || end != last) throw RunTimeError::InvalidInteger(text);
  return value;
}

double StrToFloat(std::string_view text) {
  if (const auto quick = ShortDecimal(text)) return *quick;
  const std::string_view digits = WithoutPlus(text);
  // from_chars also takes exponents, "inf" and "nan"; a number here has digits and a point only.
  for (size_t i = 0; i < digits.size(); ++i) {
    const char c = digits[i];
    const bool allowed = (c >= '0' && c <= '9') || c == '.' || (c == '-' && i == 0);
    if (!allowed) throw RunTimeError::InvalidFloat(text);
  }
  double value = 0.0;
  const char* first = digits.data();
  const char* last = digits.data() + digits.size();
  const auto [end, error] = std::from_chars(first, last, value, std::chars_format::fixed);
  if (digits.empty() || error != std::errc() || end != last || !std::isfinite(value)) {
    throw RunTimeError::InvalidFloat(text);
  }
  return value;
}

double StrToFloatWithExponent(std::string_view text) {
  const size_t mark = text.find_first_of("eE");
  if (mark == std::string_view::npos) return StrToFloat(text);
  std::string_view exponent = text.substr(mark + 1);
  const bool negative_exponent = !exponent.empty() && exponent.front() == '-';
  if (!exponent.empty() && (exponent.front() == '+' || exponent.front() == '-')) exponent.remove_prefix(1);
  if (exponent.empty() || exponent.find_first_not_of("0123456789") != std::string_view::npos) {
    throw RunTimeError::InvalidFloat(text);
  }
  try {
    StrToFloat(text.substr(0, mark));  // the mantissa alone must be a plain number
  } catch (const RunTimeError&) {
    throw RunTimeError::InvalidFloat(text);
  }
  const std::string_view digits = WithoutPlus(text);
  double value = 0.0;
  const char* first = digits.data();
  const char* last = digits.data() + digits.size();
  const auto [end, error] = std::from_chars(first, last, value, std::chars_format::scientific);
  // Too small to hold is zero; too large is no number.
  if (error == std::errc::result_out_of_range && negative_exponent && end == last) return 0.0;
  if (error != std::errc() || end != last || !std::isfinite(value)) throw RunTimeError::InvalidFloat(text);
  return value;
}

}  // namespace varnholt
