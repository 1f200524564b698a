#pragma once
// The one exception type for file and conversion failures; it carries the run-time message shown to the operator.

#include <stdexcept>
#include <string>
#include <string_view>

namespace varnholt {

class RunTimeError : public std::runtime_error {
 public:
  explicit RunTimeError(const std::string& message) : std::runtime_error(message) {}

  // "'%s' is not a valid integer value"
  static RunTimeError InvalidInteger(std::string_view text) {
    return RunTimeError("'" + std::string(text) + "' is not a valid integer value");
  }
  // "'%s' is not a valid floating point value"
  static RunTimeError InvalidFloat(std::string_view text) {
    return RunTimeError("'" + std::string(text) + "' is not a valid floating point value");
  }
  // "I/O error %d"
  static RunTimeError Io(int code) { return RunTimeError("I/O error " + std::to_string(code)); }
  static RunTimeError AccessDenied() { return RunTimeError("File access denied"); }
};

}  // namespace varnholt
