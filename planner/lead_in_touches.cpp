#include "planner/lead_in_touches.h"

#include <algorithm>

#include "planner/plan_threads.h"

namespace varnholt {

// The lead-in tolerance is Euclidean and no wider than the index's window on each axis.
static_assert(int64_t{kTouchTolerance} * kTouchTolerance >= kLeadInToleranceSquared);

void MarkLeadIns(const FigureList& figures, const VertexCells& cells, size_t e, std::vector<uint8_t>& marks) {
  const std::vector<TPlotPoint>& points = figures[e]->points;
  if (!figures[e]->open || points.empty()) return;
  marks.assign(points.size(), 0);
  // The entry's own vertices never count; an entry the index does not hold has none in it.
  const auto entry = static_cast<int32_t>(e);
  const uint32_t own_first = entry < cells.entries() ? cells.FirstId(entry) : 0;
  const uint32_t own_end = entry < cells.entries() ? cells.FirstId(entry + 1) : 0;
  for (size_t v = 0; v < points.size(); ++v) {
    const TPlotPoint p = points[v];
    marks[v] = cells.Near(p.x, p.y, [&](const VertexCells::Vertex& q) {
      if (q.id >= own_first && q.id < own_end) return false;
      const int64_t dx = int64_t{q.x} - p.x, dy = int64_t{q.y} - p.y;
      return dx * dx + dy * dy <= kLeadInToleranceSquared;
    }) ? 1 : 0;
  }
}

std::vector<std::vector<uint8_t>> LeadInTouches(const FigureList& figures, const VertexCells& cells) {
  std::vector<std::vector<uint8_t>> touches(figures.size());
  // The open entries in order of place, so that one entry's lookups meet the cells the one before it read. Every
  // entry's row is its own: pieces of them run on several threads.
  std::vector<PointBox> boxes(figures.size());
  for (size_t e = 0; e < figures.size(); ++e) {
    if (figures[e]->open) boxes[e] = BoxOfPoints(figures[e]->points);
  }
  std::vector<int32_t> open = EntriesByPlace(boxes);
  open.resize(static_cast<size_t>(std::count_if(boxes.begin(), boxes.end(), [](const PointBox& b) { return !b.empty; })));
  ForEachPiece(open.size(), 4 * static_cast<size_t>(PlanningThreads()), [&](size_t, size_t begin, size_t end) {
    for (size_t k = begin; k < end; ++k) {
      const auto e = static_cast<size_t>(open[k]);
      MarkLeadIns(figures, cells, e, touches[e]);
    }
  });
  return touches;
}

}  // namespace varnholt
