#pragma once
// Little-endian integers in byte strings, read with bounds checks so a short record reads as zeros.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace varnholt {

// The unsigned value of `width` bytes at `at`; bytes past the end count as 0.
inline uint64_t ReadLittleEndian(std::span<const uint8_t> bytes, size_t at, size_t width) {
  uint64_t value = 0;
  for (size_t i = 0; i < width; ++i) {
    if (at + i < bytes.size()) value |= uint64_t{bytes[at + i]} << (8 * i);
  }
  return value;
}

inline uint8_t ReadU8(std::span<const uint8_t> bytes, size_t at) { return static_cast<uint8_t>(ReadLittleEndian(bytes, at, 1)); }
inline uint16_t ReadU16(std::span<const uint8_t> bytes, size_t at) {
  return static_cast<uint16_t>(ReadLittleEndian(bytes, at, 2));
}
inline int32_t ReadI32(std::span<const uint8_t> bytes, size_t at) {
  return static_cast<int32_t>(static_cast<uint32_t>(ReadLittleEndian(bytes, at, 4)));
}
inline uint32_t ReadU32(std::span<const uint8_t> bytes, size_t at) {
  return static_cast<uint32_t>(ReadLittleEndian(bytes, at, 4));
}
inline int64_t ReadI64(std::span<const uint8_t> bytes, size_t at) {
  return static_cast<int64_t>(ReadLittleEndian(bytes, at, 8));
}

// Appends value as `width` little-endian bytes.
inline void AppendLittleEndian(std::string& out, uint64_t value, size_t width) {
  for (size_t i = 0; i < width; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}
inline void AppendI32(std::string& out, int32_t value) {
  AppendLittleEndian(out, static_cast<uint32_t>(value), 4);
}
inline void AppendU16(std::string& out, uint16_t value) { AppendLittleEndian(out, value, 2); }

// Writes value as `width` little-endian bytes at `at`; bytes past the end are left out.
inline void PutLittleEndian(std::span<uint8_t> bytes, size_t at, uint64_t value, size_t width) {
  for (size_t i = 0; i < width; ++i) {
    if (at + i < bytes.size()) bytes[at + i] = static_cast<uint8_t>((value >> (8 * i)) & 0xFF);
  }
}

}  // namespace varnholt
