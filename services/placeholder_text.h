#pragma once
// Texts with numbered placeholders (%1 .. %9) filled from a list of values.

#include <string>
#include <string_view>
#include <vector>

namespace varnholt {

// Replaces each %N of the pattern by the N-th value, in one pass: a value is copied as it stands, so a "%1" inside
// it stays. A placeholder without a value, and a % not followed by a digit 1 .. 9, are kept as written.
std::string FillPlaceholders(std::string_view pattern, const std::vector<std::string>& values);

}  // namespace varnholt
