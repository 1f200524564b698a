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
  const std::string_view trimmed = TrimText(text);
  if (trimmed.empty()) return 0.0;
  if (const auto quick = ShortDecimal(trimmed)) return *quick;
  std::string number(trimmed);
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
  int end = -1;  // the line end that stopped the line, -1 at the end of the file
  // The line is taken from the input block a run at a time, up to its line end or the block's end.
  while (input_.Cursor() != input_.Limit() || input_.Refill()) {
    const char* const from = input_.Cursor();
    const char* const limit = input_.Limit();
    const char* stop = from;
    while (stop != limit && *stop != '\r' && *stop != '\n') ++stop;
    const auto run = static_cast<size_t>(stop - from);
    const size_t room = kMaxLineLength - line_.size();
    line_.append(from, run < room ? run : room);
    if (run > room) cut_ = true;
    if (stop != limit) {
      end = static_cast<unsigned char>(*stop);
      input_.ConsumeTo(stop + 1);
      break;
    }
    input_.ConsumeTo(stop);
  }
  // A CR LF pair is one line end; a lone CR or LF is one too, so an empty line stays a line.
  if (end == '\r' && input_.Peek() == '\n') input_.Next();
  line_was_code_ = code_next_;
  code_next_ = !code_next_;
  ++line_count_;
  at_eof_ = input_.AtEnd();
  return line_;
}

}  // namespace varnholt
