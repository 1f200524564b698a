#pragma once
// Buffered byte-at-a-time reading over a stream, the input side of every drawing reader.

#include <array>
#include <cstddef>
#include <cstdint>
#include <istream>

namespace varnholt {

class ByteReader {
 public:
  explicit ByteReader(std::istream& stream) : stream_(stream) {}

  // The next byte (0..255), or -1 at the end of the stream. Throws RunTimeError when the stream fails.
  int Next() {
    if (pos_ == end_ && !Refill()) return -1;
    return static_cast<unsigned char>(buffer_[pos_++]);
  }

  // The next byte without taking it, or -1 at the end of the stream.
  int Peek() {
    if (pos_ == end_ && !Refill()) return -1;
    return static_cast<unsigned char>(buffer_[pos_]);
  }

  // True when no byte is left, reading ahead if needed.
  bool AtEnd() { return pos_ == end_ && !Refill(); }

  // Direct access for scanning loops: the unread bytes are [Cursor(), Limit()); Consume moves past n of them.
  const char* Cursor() const { return buffer_.data() + pos_; }
  // The first byte of the block in hand: the byte before Cursor() is still there when Cursor() lies after it.
  const char* Start() const { return buffer_.data(); }
  const char* Limit() const { return buffer_.data() + end_; }
  void ConsumeTo(const char* position) { pos_ = static_cast<size_t>(position - buffer_.data()); }
  // Reads the next block once the current one is used up; false at the end of the stream.
  bool Refill();
  // How many bytes were taken so far (by Next and ConsumeTo): the offset in the stream of the next unread byte.
  int64_t Offset() const { return taken_before_ + static_cast<int64_t>(pos_); }

 private:
  std::istream& stream_;
  std::array<char, 1 << 16> buffer_{};
  size_t pos_ = 0;
  size_t end_ = 0;
  int64_t taken_before_ = 0;  // bytes of the blocks before the current one
};

}  // namespace varnholt
