#pragma once
// UTF-8 and UTF-16 conversion for the text fields of the settings record.

#include <cstddef>
#include <string>
#include <string_view>

namespace varnholt {

// UTF-8 to UTF-16; a byte that does not start a valid sequence becomes U+FFFD.
std::u16string Utf8ToUtf16(std::string_view text);
// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);

// The first at most n units of text, one shorter when the cut would split a surrogate pair.
std::u16string FirstUnits(std::u16string_view text, size_t n);

}  // namespace varnholt
