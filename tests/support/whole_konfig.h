#pragma once
// Configuration files for tests that need a few values: every parameter's line as the program writes it, with the
// given lines in place of the defaults', so that the readers take the file as whole.

#include <string>

#include "config/konfig_file.h"

namespace varnholt::testing {

// `lines` holds "name := value" lines ended by CR LF; each replaces the default line of its parameter.
inline std::string WholeKonfig(const std::string& lines) {
  std::string text = KonfigText(Configuration(), '.');
  for (size_t start = 0; start < lines.size();) {
    const size_t end = lines.find("\r\n", start);
    const std::string line = lines.substr(start, end - start);
    const std::string name = line.substr(0, line.find(' '));
    const size_t at = text.find(name + " := ");
    if (at != std::string::npos) text.replace(at, text.find("\r\n", at) - at, line);
    start = end == std::string::npos ? lines.size() : end + 2;
  }
  return text;
}

}  // namespace varnholt::testing
