#include "services/placeholder_text.h"

namespace varnholt {

std::string FillPlaceholders(std::string_view pattern, const std::vector<std::string>& values) {
  std::string text;
  text.reserve(pattern.size());
  for (size_t i = 0; i < pattern.size(); ++i) {
    const char c = pattern[i];
    if (c == '%' && i + 1 < pattern.size() && pattern[i + 1] >= '1' && pattern[i + 1] <= '9') {
      const auto index = static_cast<size_t>(pattern[i + 1] - '1');
      if (index < values.size()) {
        text += values[index];
        ++i;
        continue;
      }
    }
    text += c;
  }
  return text;
}

}  // namespace varnholt
