#pragma once
// Text for a stream gathered into large pieces, whole numbers formatted directly: printing millions of
// coordinates costs a few writes instead of a stream call for every number and comma.

#include <bit>
#include <charconv>
#include <concepts>
#include <cstdint>
#include <cstring>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <type_traits>

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
  // Writes "[first,second]", a point of the JSON output, with one check for room; after_another puts a comma
  // before it, as between the points of a list.
  template <std::integral Number>
  void Pair(Number first, Number second, bool after_another = false) {
    Room(2 * kNumberRoom + 4);
    // Written through a local pointer: a store of a char may alias any member, which would be read again after it.
    char* at = piece_.get() + used_;
    if (after_another) *at++ = ',';
    *at++ = '[';
    at = NumberAt(at, first);
    *at++ = ',';
    at = NumberAt(at, second);
    *at++ = ']';
    used_ = static_cast<size_t>(at - piece_.get());
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
  static constexpr char kDigitPairs[] =
      "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
      "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
      "8081828384858687888990919293949596979899";

  // Gathers the text; when it does not fit, what is gathered goes to the stream first, and a text longer than a
  // whole piece follows it straight.
  void Put(const char* text, size_t size);
  void Room(size_t count) {
    if (kPiece - used_ < count) Flush();
  }
  template <std::integral Number>
  void PutNumber(Number value) {
    char* const at = piece_.get() + used_;
    used_ += static_cast<size_t>(NumberAt(at, value) - at);
  }
  // Writes a number where kNumberRoom bytes are free and returns its end.
  template <std::integral Number>
  static char* NumberAt(char* at, Number value) {
    if constexpr (sizeof(Number) <= sizeof(uint32_t)) {
      return PutDecimal32(at, value);
    } else {
      return std::to_chars(at, at + kNumberRoom, value).ptr;
    }
  }
  // Writes a number of at most 32 bits at `at` and returns its end: its length first, then its digits two at a
  // time from the back, each straight where it belongs.
  template <std::integral Number>
  static char* PutDecimal32(char* at, Number value) {
    auto magnitude = static_cast<uint32_t>(value);
    if constexpr (std::is_signed_v<Number>) {
      if (value < 0) {
        *at++ = '-';
        magnitude = 0u - magnitude;
      }
    }
    char* const end = at + DecimalLength(magnitude);
    char* digits = end;
    while (magnitude >= 100) {
      digits -= 2;
      std::memcpy(digits, kDigitPairs + 2 * (magnitude % 100), 2);
      magnitude /= 100;
    }
    if (magnitude >= 10) {
      std::memcpy(digits - 2, kDigitPairs + 2 * magnitude, 2);
    } else {
      digits[-1] = static_cast<char>('0' + magnitude);
    }
    return end;
  }
  // How many decimal digits a number has (1 for 0): from its highest bit, one more where it reaches the next power
  // of ten.
  static size_t DecimalLength(uint32_t value) {
    static constexpr uint32_t kPowers[] = {1,      10,      100,      1000,      10000,
                                           100000, 1000000, 10000000, 100000000, 1000000000};
    const uint32_t odd = value | 1u;  // 0 has one digit too; the powers from 10 on are even, so nothing else moves
    const auto estimate = static_cast<size_t>((std::bit_width(odd) * 1233) >> 12);  // log10 of 2^bits, low
    return estimate + (odd >= kPowers[estimate] ? 1 : 0);
  }

  std::ostream& out_;
  std::unique_ptr<char[]> piece_;
  size_t used_ = 0;
};

}  // namespace varnholt::cli
