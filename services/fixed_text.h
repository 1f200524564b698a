#pragma once
// Fixed-length UTF-16 text fields, as the settings record keeps its folders.

#include <span>
#include <string_view>

namespace varnholt {

// Copies at most buffer.size() UTF-16 units of text into buffer and zeroes the rest. A surrogate pair that would be
// cut in half is left out whole, so the field never ends in half a character.
void FixedText(std::u16string_view text, std::span<char16_t> buffer);

// The text of a field: its units up to the first zero.
std::u16string_view FixedTextValue(std::span<const char16_t> buffer);

}  // namespace varnholt
