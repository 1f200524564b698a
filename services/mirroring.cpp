#include "services/mirroring.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace varnholt {

int MirroredLeft(int row_width, int left, int width) {
  // Computed wide so that no geometry, however odd, overflows.
  const int64_t mirrored = int64_t{row_width} - left - width;
  return static_cast<int>(std::clamp<int64_t>(mirrored, std::numeric_limits<int>::min(),
                                              std::numeric_limits<int>::max()));
}

std::vector<int> MirroredMenuOrder(int item_count) {
  std::vector<int> order;
  for (int i = item_count - 1; i >= 0; --i) order.push_back(i);
  return order;
}

}  // namespace varnholt
