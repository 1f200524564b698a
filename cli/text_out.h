#pragma once
// Text for a stream gathered into large pieces, whole numbers formatted directly: printing millions of
// coordinates costs a few writes instead of a stream call for every number and comma.

#include <charconv>
#include <concepts>
#include <ostream>
#include <string>
#include <string_view>

namespace varnholt::cli {

class TextOut {
 public:
  explicit TextOut(std::ostream& out) : out_(out) { text_.reserve(kPiece + 64); }
  ~TextOut() { Flush(); }
  TextOut(const TextOut&) = delete;
  TextOut& operator=(const TextOut&) = delete;

  TextOut& operator<<(std::string_view text) {
    text_.append(text);
    return Gathered();
  }
  TextOut& operator<<(const char* text) { return *this << std::string_view(text); }
  TextOut& operator<<(const std::string& text) { return *this << std::string_view(text); }
  TextOut& operator<<(char c) {
    text_.push_back(c);
    return Gathered();
  }
  template <std::integral Number>
    requires(!std::same_as<Number, char> && !std::same_as<Number, bool>)
  TextOut& operator<<(Number value) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    text_.append(digits, end);
    return Gathered();
  }

  // Hands what is gathered to the stream.
  void Flush() {
    if (text_.empty()) return;
    out_.write(text_.data(), static_cast<std::streamsize>(text_.size()));
    text_.clear();
  }

 private:
  static constexpr size_t kPiece = size_t{1} << 16;

  TextOut& Gathered() {
    if (text_.size() >= kPiece) Flush();
    return *this;
  }

  std::ostream& out_;
  std::string text_;
};

}  // namespace varnholt::cli
