#pragma once
// Small helpers for the JSON the command-line front end prints.

#include <string>
#include <string_view>

namespace varnholt::cli {

// A JSON string literal with the necessary escapes.
std::string JsonString(std::string_view text);

// The shortest text that reads back as the same double, always with a fraction or exponent ("0.0", "2.5",
// "1e+20"); null for NaN and infinities, which JSON cannot hold.
std::string JsonNumber(double value);

}  // namespace varnholt::cli
