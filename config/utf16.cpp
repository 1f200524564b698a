#include "config/utf16.h"

#include <cstdint>

namespace varnholt {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsHighSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// Decodes one code point at text[i] and moves i past it.
char32_t DecodeUtf8(std::string_view text, size_t& i) {
  const auto byte = [&](size_t k) { return static_cast<uint8_t>(text[k]); };
  const uint8_t first = byte(i);
  size_t length = 0;
  char32_t code = 0;
  char32_t least = 0;
  if (first < 0x80) {
    ++i;
    return first;
  } else if ((first & 0xE0) == 0xC0) {
    length = 2, code = first & 0x1Fu, least = 0x80;
  } else if ((first & 0xF0) == 0xE0) {
    length = 3, code = first & 0x0Fu, least = 0x800;
  } else if ((first & 0xF8) == 0xF0) {
    length = 4, code = first & 0x07u, least = 0x10000;
  } else {
    ++i;
    return kReplacement;
  }
  if (i + length > text.size()) {
    ++i;
    return kReplacement;
  }
  for (size_t k = 1; k < length; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) {
      ++i;
      return kReplacement;
    }
    code = (code << 6) | (byte(i + k) & 0x3Fu);
  }
  i += length;
  if (code < least || code > 0x10FFFF || IsHighSurrogate(code) || IsLowSurrogate(code)) return kReplacement;
  return code;
}

void AppendUtf8(char32_t code, std::string& out) {
  const auto put = [&](char32_t bits) { out.push_back(static_cast<char>(static_cast<uint8_t>(bits))); };
  if (code < 0x80) {
    put(code);
  } else if (code < 0x800) {
    put(0xC0 | (code >> 6));
    put(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    put(0xE0 | (code >> 12));
    put(0x80 | ((code >> 6) & 0x3F));
    put(0x80 | (code & 0x3F));
  } else {
    put(0xF0 | (code >> 18));
    put(0x80 | ((code >> 12) & 0x3F));
    put(0x80 | ((code >> 6) & 0x3F));
    put(0x80 | (code & 0x3F));
  }
}

}  // namespace

std::u16string Utf8ToUtf16(std::string_view text) {
  std::u16string out;
  size_t i = 0;
  while (i < text.size()) {
    const char32_t code = DecodeUtf8(text, i);
    if (code < 0x10000) {
      out.push_back(static_cast<char16_t>(code));
    } else {
      const char32_t rest = code - 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (rest >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (rest & 0x3FF)));
    }
  }
  return out;
}

std::string Utf16ToUtf8(std::u16string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    const char32_t unit = text[i];
    if (IsHighSurrogate(unit) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
      AppendUtf8(0x10000 + ((unit - 0xD800) << 10) + (static_cast<char32_t>(text[i + 1]) - 0xDC00), out);
      ++i;
    } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
      AppendUtf8(kReplacement, out);
    } else {
      AppendUtf8(unit, out);
    }
  }
  return out;
}

std::u16string FirstUnits(std::u16string_view text, size_t n) {
  if (text.size() <= n) return std::u16string(text);
  size_t cut = n;
  if (cut > 0 && IsHighSurrogate(text[cut - 1]) && IsLowSurrogate(text[cut])) --cut;
  return std::u16string(text.substr(0, cut));
}

}  // namespace varnholt
