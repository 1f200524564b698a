#pragma once
// Reads a drawing exchange file as groups: a group-code line and the value line that follows it.

#include <cstdint>
#include <string>
#include <string_view>

#include "files/dxf_lines.h"

namespace varnholt {

class DxfGroupReader {
 public:
  // Group code of a code line that is no integer; it matches nothing.
  static constexpr int32_t kNoCode = -1;

  explicit DxfGroupReader(DxfLineReader& lines) : lines_(lines) {}

  // Reads the next group (or yields the one put back); false when the file ended before a whole group.
  bool Next();
  // Makes the next Next() yield the current group again.
  void PutBack() { put_back_ = true; }

  int32_t code() const { return code_; }
  std::string_view value() const { return value_; }
  bool Is(int32_t code, std::string_view value) const { return code_ == code && value_ == value; }
  double Real() const { return DxfReal(value_, value_cut_); }
  int32_t Integer() const { return DxfInteger(value_, value_cut_); }
  // Line number of the current group's code line.
  int64_t line() const { return line_; }
  // True once the file is used up and no group is put back.
  bool AtEof() const { return !put_back_ && lines_.AtEof(); }

 private:
  DxfLineReader& lines_;
  int32_t code_ = kNoCode;
  std::string value_;
  bool value_cut_ = false;
  int64_t line_ = 0;
  bool put_back_ = false;
};

}  // namespace varnholt
