#pragma once
// Byte strings written out as numbers, for the command and program formats.

#include <initializer_list>
#include <string>

namespace varnholt::testing {

// The bytes with these values (0..255), in order.
inline std::string Bytes(std::initializer_list<int> values) {
  std::string bytes;
  for (const int v : values) bytes.push_back(static_cast<char>(v));
  return bytes;
}

}  // namespace varnholt::testing
