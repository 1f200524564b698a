#include "files/dxf_entity_input.h"

namespace varnholt {

int32_t PenOfColour(int32_t colour) {
  if (colour == 1) return 3;
  if (colour == 3) return 4;
  return 0;
}

bool DxfEntityInput::NextGroup() {
  while (true) {
    if (!groups_.Next()) {
      truncated_ = true;
      return false;
    }
    if (groups_.code() == 0) {
      groups_.PutBack();
      return false;
    }
    if (groups_.code() != 62) return true;
    pen_ = PenOfColour(groups_.Integer());
    figure_.pen = static_cast<uint8_t>(pen_);
  }
}

bool DxfEntityInput::TakeSubEntity(std::string_view name) {
  if (truncated_ || !groups_.Next()) return false;
  if (groups_.Is(0, name)) return true;
  groups_.PutBack();
  return false;
}

void DxfEntityInput::SkipRest() {
  while (NextGroup()) {
  }
}

}  // namespace varnholt
