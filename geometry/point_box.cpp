#include "geometry/point_box.h"

#include <algorithm>

namespace varnholt {

PointBox BoxOfPoints(const std::vector<TPlotPoint>& points) {
  if (points.empty()) return PointBox{};
  // Four running extremes without a branch per point, which the compiler can keep in vector registers.
  int32_t min_x = points[0].x, min_y = points[0].y, max_x = min_x, max_y = min_y;
  for (const TPlotPoint& p : points) {
    min_x = std::min(min_x, p.x);
    min_y = std::min(min_y, p.y);
    max_x = std::max(max_x, p.x);
    max_y = std::max(max_y, p.y);
  }
  return PointBox{min_x, min_y, max_x, max_y, false};
}

bool BoxesNear(const PointBox& a, const PointBox& b, int32_t margin) {
  if (a.empty || b.empty) return false;
  return int64_t{a.min_x} - margin <= b.max_x && int64_t{b.min_x} - margin <= a.max_x &&
         int64_t{a.min_y} - margin <= b.max_y && int64_t{b.min_y} - margin <= a.max_y;
}

}  // namespace varnholt
