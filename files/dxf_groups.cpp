#include "files/dxf_groups.h"

#include <charconv>

namespace varnholt {
namespace {

int32_t CodeOf(std::string_view line) {
  const std::string_view text = TrimText(line);
  int32_t code = DxfGroupReader::kNoCode;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), code);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return DxfGroupReader::kNoCode;
  return code;
}

}  // namespace

bool DxfGroupReader::Next() {
  if (put_back_) {
    put_back_ = false;
    return true;
  }
  if (lines_.AtEof()) return false;
  const std::string_view code_line = lines_.ReadLine();
  line_ = lines_.line_count();
  code_ = lines_.LineWasCut() ? kNoCode : CodeOf(code_line);
  // A code line without its value line is no group.
  if (lines_.AtEof()) return false;
  value_.assign(lines_.ReadLine());
  value_cut_ = lines_.LineWasCut();
  return true;
}

}  // namespace varnholt
