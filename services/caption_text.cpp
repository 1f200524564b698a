#include "services/caption_text.h"

namespace varnholt {

std::string WithoutMnemonics(std::string_view caption) {
  std::string text;
  for (size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] != '&') {
      text.push_back(caption[i]);
    } else if (i + 1 < caption.size() && caption[i + 1] == '&') {
      text.push_back('&');
      ++i;
    }
  }
  return text;
}

}  // namespace varnholt
