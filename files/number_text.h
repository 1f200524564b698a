#pragma once
// Strict conversions of number tokens, failing with the run-time messages instead of guessing.

#include <cstdint>
#include <optional>
#include <string_view>

namespace varnholt {

// An optional sign and decimal digits, within the int32 range; anything else throws "'%s' is not a valid
// integer value".
int32_t StrToInt(std::string_view text);

// An optional sign, digits and at most one decimal point (at least one digit); anything else throws "'%s' is not a
// valid floating point value".
double StrToFloat(std::string_view text);

// The value of a short plain decimal ("-12.3456": an optional minus, at most 15 digits with at least one before
// and after a point), exactly as StrToFloat gives it; nothing for any other text, which StrToFloat then reads.
std::optional<double> ShortDecimal(std::string_view text);

// As StrToFloat, but also takes a decimal exponent ("1.5E-03", "2e+5"), as drawing exchange files write them;
// a value beyond the double range throws the same message.
double StrToFloatWithExponent(std::string_view text);

}  // namespace varnholt
