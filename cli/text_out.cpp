#include "cli/text_out.h"

#include <cstring>

namespace varnholt::cli {

void TextOut::Put(const char* text, size_t size) {
  if (size > kPiece - used_) {
    Flush();
    if (size > kPiece) {
      out_.write(text, static_cast<std::streamsize>(size));
      return;
    }
  }
  std::memcpy(piece_.get() + used_, text, size);
  used_ += size;
}

}  // namespace varnholt::cli
