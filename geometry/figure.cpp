#include "geometry/figure.h"

#include <algorithm>
#include <limits>

#include "geometry/geometry.h"

namespace varnholt {
namespace {

// Differences of int32 coordinates need 33 bits; the figure fields keep 32, so extreme spans saturate.
int32_t SaturatedSpan(int32_t low, int32_t high) {
  const int64_t span = int64_t{high} - int64_t{low};
  return static_cast<int32_t>(std::clamp<int64_t>(span, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

// (a + b) / 2 truncating toward zero, without overflowing.
int32_t Midpoint(int32_t a, int32_t b) { return static_cast<int32_t>((int64_t{a} + int64_t{b}) / 2); }

}  // namespace

FigureList CopyFigures(const FigureList& figures) {
  FigureList copies;
  copies.reserve(figures.size());
  for (const auto& figure : figures) copies.push_back(std::make_unique<tfigura>(*figure));
  return copies;
}

void MeasureBox(tfigura& figure) {
  int32_t min_x = std::numeric_limits<int32_t>::max(), min_y = std::numeric_limits<int32_t>::max();
  int32_t max_x = std::numeric_limits<int32_t>::min(), max_y = std::numeric_limits<int32_t>::min();
  for (const TPlotPoint& p : figure.points) {
    min_x = std::min(min_x, p.x);
    min_y = std::min(min_y, p.y);
    max_x = std::max(max_x, p.x);
    max_y = std::max(max_y, p.y);
  }
  figure.min_x = min_x;
  figure.min_y = min_y;
  figure.max_x = max_x;
  figure.max_y = max_y;
  figure.width = SaturatedSpan(min_x, max_x);
  figure.height = SaturatedSpan(min_y, max_y);
}

void licz_parametry(tfigura& figure) {
  if (figure.points.empty()) {
    figure.has_points = 0;
    return;
  }
  // The running extremes start one short of the int32 limits, so a coordinate of -2147483648 never becomes the
  // largest value; the strict comparisons keep the first point that reaches an extreme.
  int32_t largest_x = -2147483647, largest_y = -2147483647;
  int32_t smallest_x = 2147483647, smallest_y = 2147483647;
  const auto count = static_cast<int32_t>(std::min<size_t>(figure.points.size(), std::numeric_limits<int32_t>::max()));
  // Kept in locals: stores into the figure inside the loop could alias the points and keep them out of registers.
  int32_t idx_max_x = figure.idx_max_x, idx_max_y = figure.idx_max_y;
  int32_t idx_min_x = figure.idx_min_x, idx_min_y = figure.idx_min_y;
  const TPlotPoint* points = figure.points.data();
  for (int32_t i = 0; i < count; ++i) {
    const TPlotPoint p = points[i];
    if (p.x > largest_x) {
      largest_x = p.x;
      idx_max_x = i;
    }
    if (p.y > largest_y) {
      largest_y = p.y;
      idx_max_y = i;
    }
    if (p.x < smallest_x) {
      smallest_x = p.x;
      idx_min_x = i;
    }
    if (p.y < smallest_y) {
      smallest_y = p.y;
      idx_min_y = i;
    }
  }
  figure.idx_max_x = idx_max_x;
  figure.idx_max_y = idx_max_y;
  figure.idx_min_x = idx_min_x;
  figure.idx_min_y = idx_min_y;
  figure.min_x = smallest_x;
  figure.min_y = smallest_y;
  figure.max_x = largest_x;
  figure.max_y = largest_y;
  figure.width = SaturatedSpan(smallest_x, largest_x);
  figure.height = SaturatedSpan(smallest_y, largest_y);
  figure.center_x = Midpoint(smallest_x, largest_x);
  figure.center_y = Midpoint(smallest_y, largest_y);
  figure.has_points = 1;
  figure.depth = 0;
  const bool is_open =
      figure.points.size() < 3 || !PointsNear(figure.points.front(), figure.points.back());
  figure.open = is_open ? 1 : 0;
  figure.closed = is_open ? 0 : 1;
  figure.is_contour = 1;
  figure.cut_enabled = 1;
  figure.plan_flag_2 = 1;
  figure.plan_flag_1 = 0;
}

}  // namespace varnholt
