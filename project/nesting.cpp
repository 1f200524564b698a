#include "project/nesting.h"

#include <algorithm>
#include <numeric>
#include <vector>

#include "geometry/geometry.h"
#include "project/box_grid.h"

namespace varnholt {

bool IdenticalFigures(const tfigura& a, const tfigura& b) { return a.points == b.points; }

namespace {

// Counts outer's edges above and below (x, y); an edge counts when x lies in [smaller x, larger x).
void CountEdges(const tfigura& outer, const TPlotPoint& at, int64_t& above, int64_t& below) {
  const auto& p = outer.points;
  const size_t n = p.size();
  above = below = 0;
  const auto count = [&](const TPlotPoint& a, const TPlotPoint& b) {
    if (a.x == b.x) return;
    const int32_t lo = std::min(a.x, b.x), hi = std::max(a.x, b.x);
    if (at.x < lo || at.x >= hi) return;
    const TLine line = LineThrough(Segment{a, b});
    const double d = line.slope * at.x + line.intercept - at.y;
    if (d > 0) ++above;
    if (d < 0) ++below;
  };
  for (size_t t = 0; t + 1 < n; ++t) count(p[t], p[t + 1]);
  if (n >= 1) count(p[0], p[n - 1]);
}

}  // namespace

bool ParityInside(const tfigura& inner, const tfigura& outer) {
  int64_t above = 0, below = 0;
  for (const TPlotPoint& at : inner.points) {
    CountEdges(outer, at, above, below);
    if (above % 2 == below % 2) return below % 2 == 1;
  }
  return below % 2 == 1;
}

bool LiesInside(const tfigura& inner, const tfigura& outer) {
  if (&inner == &outer || inner.points.empty() || !outer.closed) return false;
  const PointBox i = BoxOfPoints(inner.points);
  const PointBox o = BoxOfPoints(outer.points);
  if (!(o.min_x < i.min_x && i.max_x < o.max_x && o.min_y < i.min_y && i.max_y < o.max_y)) return false;
  if (IdenticalFigures(inner, outer)) return false;
  return ParityInside(inner, outer);
}

namespace {

// Containment candidates by box: the closed entries whose box strictly holds a given box, through a grid of their
// boxes; ascending.
std::vector<std::vector<int32_t>> ContainersOf(const FigureList& figures, const std::vector<PointBox>& boxes) {
  const size_t n = figures.size();
  std::vector<PointBox> closed_boxes(n);
  for (size_t i = 0; i < n; ++i) {
    if (figures[i]->closed) closed_boxes[i] = boxes[i];
  }
  BoxGrid grid(closed_boxes, 0);
  std::vector<std::vector<int32_t>> containers(n);
  std::vector<int32_t> candidates;
  for (size_t i = 0; i < n; ++i) {
    const PointBox& bi = boxes[i];
    if (bi.empty) continue;
    grid.Overlapping(bi, candidates);
    for (const int32_t j : candidates) {
      const PointBox& bj = boxes[static_cast<size_t>(j)];
      // The boxes strictly around one another stand for the rest of LiesInside's tests but the parity: the
      // figures differ, the inner one has points, and equal points would give equal boxes.
      const tfigura& outer = *figures[static_cast<size_t>(j)];
      if (bj.min_x < bi.min_x && bi.max_x < bj.max_x && bj.min_y < bi.min_y && bi.max_y < bj.max_y &&
          outer.closed && ParityInside(*figures[i], outer)) {
        containers[i].push_back(j);
      }
    }
  }
  return containers;
}

}  // namespace

int32_t NestFigures(FigureList& figures, const std::vector<PointBox>& boxes) {
  const size_t n = figures.size();
  const std::vector<std::vector<int32_t>> containers = ContainersOf(figures, boxes);
  // The passes read a container's and a parent's depth for every containment pair, pass after pass: the depths,
  // parents and counts are kept side by side here, not in the figure records, and written back at the end.
  std::vector<int32_t> depth(n, 0), parent(n, -1), child_count(n, 0);
  std::vector<std::vector<int32_t>> children(n);
  int32_t max_depth = 0;
  // Depths below a re-parented figure follow its new depth.
  const auto redepth = [&](auto&& self, int32_t index) -> void {
    for (int32_t child : children[static_cast<size_t>(index)]) {
      const int32_t d = depth[static_cast<size_t>(index)] + 1;
      depth[static_cast<size_t>(child)] = d;
      max_depth = std::max(max_depth, d);
      self(self, child);
    }
  };
  bool assigned = true;
  while (assigned) {
    assigned = false;
    for (size_t i = 0; i < n; ++i) {
      for (const int32_t j : containers[i]) {
        const auto uj = static_cast<size_t>(j);
        const int32_t current = parent[i];
        if (current != -1 && depth[static_cast<size_t>(current)] >= depth[uj]) continue;
        if (current != -1) {
          auto& old = children[static_cast<size_t>(current)];
          old.erase(std::find(old.begin(), old.end(), static_cast<int32_t>(i)));
        }
        parent[i] = j;
        children[uj].push_back(static_cast<int32_t>(i));
        depth[i] = depth[uj] + 1;
        max_depth = std::max(max_depth, depth[i]);
        redepth(redepth, static_cast<int32_t>(i));
        ++child_count[uj];
        assigned = true;
      }
    }
  }
  for (size_t i = 0; i < n; ++i) {
    tfigura& f = *figures[i];
    f.depth = depth[i];
    f.parent = parent[i];
    f.child_count = child_count[i];
  }
  return max_depth;
}

}  // namespace varnholt
