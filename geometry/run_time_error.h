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
    return RunTimeError(Quoted(text, " is not a valid integer value"));
  }
  // "'%s' is not a valid floating point value"
  static RunTimeError InvalidFloat(std::string_view text) {
    return RunTimeError(Quoted(text, " is not a valid floating point value"));
  }
  // "I/O error %d"
  static RunTimeError Io(int code) { return RunTimeError("I/O error " + std::to_string(code)); }
  static RunTimeError AccessDenied() { return RunTimeError("File access denied"); }

 private:
  // Builds "'text'" + tail by appending: "'" + std::string(...) inlined at -O3 trips a false -Wrestrict in GCC 12.
  static std::string Quoted(std::string_view text, std::string_view tail) {
    std::string message;
    message.reserve(text.size() + tail.size() + 2);
    message.push_back('\'');
    message.append(text);
    message.push_back('\'');
    message.append(tail);
    return message;
  }
};

}  // namespace varnholt
