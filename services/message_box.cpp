#include "services/message_box.h"

namespace varnholt {

std::string MessageBoxTitle(bool is_error, const std::string& caption) {
  if (!caption.empty()) return caption;
  return is_error ? "Error" : "Information";
}

}  // namespace varnholt
