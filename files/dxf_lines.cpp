#include "files/dxf_lines.h"

#include <string>

#include "files/number_text.h"
#include "geometry/run_time_error.h"

namespace varnholt {

std::string_view TrimText(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ') text.remove_prefix(1);
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ') text.remove_suffix(1);
  return text;
}

namespace {

// The shown text of a cut line: its start and an ellipsis.
std::string CutText(std::string_view text) {
  std::string shown(TrimText(text));
  shown.append("...");
  return shown;
}

}  // namespace

double DxfReal(std::string_view text, bool cut) {
  if (cut) throw RunTimeError::InvalidFloat(CutText(text));
  std::string number(TrimText(text));
  if (number.empty()) return 0.0;
  for (char& c : number) {
    if (c == ',') c = '.';
  }
  return StrToFloatWithExponent(number);
}

int32_t DxfInteger(std::string_view text, bool cut) {
  if (cut) throw RunTimeError::InvalidInteger(CutText(text));
  const std::string_view number = TrimText(text);
  if (number.empty()) return 0;
  return StrToInt(number);
}

DxfLineReader::DxfLineReader(std::istream& stream) : input_(stream) {
  line_.reserve(kMaxLineLength);
  at_eof_ = input_.AtEnd();
}

std::string_view DxfLineReader::ReadLine() {
  line_.clear();
  cut_ = false;
  int c = input_.Next();
  while (c >= 0 && c != '\r' && c != '\n') {
    if (line_.size() < kMaxLineLength) {
      line_.push_back(static_cast<char>(c));
    } else {
      cut_ = true;
    }
    c = input_.Next();
  }
  // A CR LF pair is one line end; a lone CR or LF is one too, so an empty line stays a line.
  if (c == '\r' && input_.Peek() == '\n') input_.Next();
  line_was_code_ = code_next_;
  code_next_ = !code_next_;
  ++line_count_;
  at_eof_ = input_.AtEnd();
  return line_;
}

}  // namespace varnholt
