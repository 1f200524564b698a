#include "services/fixed_text.h"

#include <algorithm>

namespace varnholt {
namespace {

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }

}  // namespace

void FixedText(std::u16string_view text, std::span<char16_t> buffer) {
  std::fill(buffer.begin(), buffer.end(), u'\0');
  size_t count = std::min(text.size(), buffer.size());
  if (count > 0 && count < text.size() && IsHighSurrogate(text[count - 1])) --count;
  std::copy_n(text.begin(), count, buffer.begin());
}

std::u16string_view FixedTextValue(std::span<const char16_t> buffer) {
  const auto end = std::find(buffer.begin(), buffer.end(), u'\0');
  return std::u16string_view(buffer.data(), static_cast<size_t>(end - buffer.begin()));
}

}  // namespace varnholt
