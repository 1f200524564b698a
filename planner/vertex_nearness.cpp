#include "planner/vertex_nearness.h"

#include <algorithm>
#include <cstdlib>

namespace varnholt {
namespace {

// Figures up to this many vertices are scanned whole; larger ones keep their vertices ordered by x.
constexpr size_t kScanWhole = 48;

bool Within(const TPlotPoint& p, const PointBox& box, int64_t reach) {
  return p.x >= int64_t{box.min_x} - reach && p.x <= int64_t{box.max_x} + reach && p.y >= int64_t{box.min_y} - reach &&
         p.y <= int64_t{box.max_y} + reach;
}

}  // namespace

void VertexNearness::VerticesNear(int32_t e, const PointBox& box, int32_t reach, std::vector<Near>& out) {
  out.clear();
  const std::vector<TPlotPoint>& points = figures_[static_cast<size_t>(e)]->points;
  const auto add = [&](size_t v) {
    if (Within(points[v], box, reach)) out.push_back({points[v].x, points[v].y, static_cast<int32_t>(v)});
  };
  if (points.size() <= kScanWhole || IsConnectorEntry(*figures_[static_cast<size_t>(e)])) {
    for (size_t v = 0; v < points.size(); ++v) add(v);
    return;
  }
  // Only connectors ever move a vertex, and they are small: a large figure's order stays valid.
  if (by_x_.size() <= static_cast<size_t>(e)) by_x_.resize(figures_.size());
  std::vector<int32_t>& order = by_x_[static_cast<size_t>(e)];
  if (order.empty()) {
    order.resize(points.size());
    for (size_t v = 0; v < points.size(); ++v) order[v] = static_cast<int32_t>(v);
    std::sort(order.begin(), order.end(), [&points](int32_t i, int32_t j) {
      const int32_t xi = points[static_cast<size_t>(i)].x, xj = points[static_cast<size_t>(j)].x;
      return xi != xj ? xi < xj : i < j;
    });
  }
  const int64_t low = int64_t{box.min_x} - reach, high = int64_t{box.max_x} + reach;
  auto it = std::lower_bound(order.begin(), order.end(), low,
                             [&points](int32_t v, int64_t x) { return points[static_cast<size_t>(v)].x < x; });
  for (; it != order.end() && points[static_cast<size_t>(*it)].x <= high; ++it) add(static_cast<size_t>(*it));
}

void VertexNearness::SortByX(std::vector<Near>& vertices) {
  // A large figure's vertices come in this order already.
  const auto by_x = [](const Near& p, const Near& q) { return p.x != q.x ? p.x < q.x : p.index < q.index; };
  if (!std::is_sorted(vertices.begin(), vertices.end(), by_x)) std::sort(vertices.begin(), vertices.end(), by_x);
}

bool VertexNearness::TouchPairOf(int32_t a, const PointBox& a_box, int32_t b, const PointBox& b_box,
                                 TouchPair& pair) {
  if (a == b || !BoxesNear(a_box, b_box, kTouchTolerance)) return false;
  VerticesNear(b, a_box, kTouchTolerance, b_near_);
  if (b_near_.empty()) return false;
  VerticesNear(a, b_box, kTouchTolerance, a_near_);
  if (a_near_.empty()) return false;
  // A's vertices from the last; for the first that touches, B's last vertex near it.
  std::sort(a_near_.begin(), a_near_.end(), [](const Near& p, const Near& q) { return p.index > q.index; });
  SortByX(b_near_);
  for (const Near& p : a_near_) {
    int32_t last = -1;
    auto it = std::lower_bound(b_near_.begin(), b_near_.end(), int64_t{p.x} - kTouchTolerance,
                               [](const Near& q, int64_t x) { return q.x < x; });
    // Every vertex in this x window is compared: many vertices on one x in both figures make it long, never longer
    // than the plain pairwise scan.
    for (; it != b_near_.end() && it->x <= int64_t{p.x} + kTouchTolerance; ++it) {
      if (std::llabs(int64_t{it->y} - p.y) <= kTouchTolerance) last = std::max(last, it->index);
    }
    if (last >= 0) {
      pair = {p.index, last};
      return true;
    }
  }
  return false;
}

}  // namespace varnholt
