#pragma once
// Boxes around points, and the distance at which two figures' vertices touch.

#include <cstdint>
#include <vector>

#include "geometry/figure.h"

namespace varnholt {

// Two figures touch at a pair of vertices whose coordinates differ by at most this on both axes.
inline constexpr int32_t kTouchTolerance = 10;

// An axis-aligned box of points.
struct PointBox {
  int32_t min_x = 0, min_y = 0, max_x = -1, max_y = -1;
  bool empty = true;
};

PointBox BoxOfPoints(const std::vector<TPlotPoint>& points);
// True when the boxes come within `margin` of each other on both axes (touching needs that).
bool BoxesNear(const PointBox& a, const PointBox& b, int32_t margin);

}  // namespace varnholt
