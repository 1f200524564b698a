#pragma once
// The titles of message boxes.

#include <string>

namespace varnholt {

// The caption when it is not empty, else "Error" for an error box and "Information" for any other.
std::string MessageBoxTitle(bool is_error, const std::string& caption);

}  // namespace varnholt
