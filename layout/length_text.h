#pragma once
// Lengths as the duplication dialog shows and takes them: in the display unit, with the locale's decimal separator.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace varnholt {

// The decimals a size is shown with: 1 in millimetres, 2 in inches, 3 in feet.
int SizeDecimals(int unit);

// A millimetre length in the display unit with a fixed number of decimals ("130.0", "5,12").
std::string LengthText(double mm, int unit, int decimals, char separator);

// The text a number field shows for a millimetre length: the value in the display unit, rounded finely enough to
// keep a plotter unit (3 decimals in millimetres, 4 in inches, 5 in feet), without trailing zeros ("140", "5.512").
std::string FieldText(double mm, int unit, char separator);

// A typed number: spaces around it, an optional sign, digits with at most one decimal separator ('.' or ',', so a
// value reads the same whichever locale wrote it; no thousands separators are written), at least one digit. Nothing
// for anything else, also for values beyond the double range.
std::optional<double> ParseFieldNumber(std::string_view text);

// A count typed into a number field: the number truncated towards zero and held within the int32 range.
int32_t CountFromNumber(double value);

}  // namespace varnholt
