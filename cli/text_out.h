#pragma once
// Text for a stream gathered into large pieces, whole numbers formatted directly: printing millions of
// coordinates costs a few writes instead of a stream call for every number and comma.

#include <charconv>
#include <concepts>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>

namespace varnholt::cli {

class TextOut {
 public:
  explicit TextOut(std::ostream& out) : out_(out), piece_(std::make_unique<char[]>(kPiece)) {}
  ~TextOut() { Flush(); }
  TextOut(const TextOut&) = delete;
  TextOut& operator=(const TextOut&) = delete;

  TextOut& operator<<(std::string_view text) {
    Put(text.data(), text.size());
    return *this;
  }
  TextOut& operator<<(const char* text) { return *this << std::string_view(text); }
  TextOut& operator<<(const std::string& text) { return *this << std::string_view(text); }
  TextOut& operator<<(char c) {
    Room(1);
    piece_[used_++] = c;
    return *this;
  }
  template <std::integral Number>
    requires(!std::same_as<Number, char> && !std::same_as<Number, bool>)
  TextOut& operator<<(Number value) {
    Room(kNumberRoom);
    PutNumber(value);
    return *this;
  }
  // Writes "[first,second]", a point of the JSON output, with one check for room.
  template <std::integral Number>
  void Pair(Number first, Number second) {
    Room(2 * kNumberRoom + 3);
    piece_[used_++] = '[';
    PutNumber(first);
    piece_[used_++] = ',';
    PutNumber(second);
    piece_[used_++] = ']';
  }

  // The most the text gathers before it goes to the stream in one write.
  static constexpr size_t kPiece = size_t{1} << 16;

  // Hands what is gathered to the stream.
  void Flush() {
    if (used_ == 0) return;
    out_.write(piece_.get(), static_cast<std::streamsize>(used_));
    used_ = 0;
  }

 private:
  static constexpr size_t kNumberRoom = 24;  // a 64-bit number with its sign

  // Gathers the text; when it does not fit, what is gathered goes to the stream first, and a text longer than a
  // whole piece follows it straight.
  void Put(const char* text, size_t size);
  void Room(size_t count) {
    if (kPiece - used_ < count) Flush();
  }
  template <std::integral Number>
  void PutNumber(Number value) {
    char* const at = piece_.get() + used_;
    used_ += static_cast<size_t>(std::to_chars(at, at + kNumberRoom, value).ptr - at);
  }

  std::ostream& out_;
  std::unique_ptr<char[]> piece_;
  size_t used_ = 0;
};

}  // namespace varnholt::cli
