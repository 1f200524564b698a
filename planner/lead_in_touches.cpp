#include "planner/lead_in_touches.h"

#include <algorithm>
#include <span>
#include <utility>

#include "planner/box_grid.h"
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

namespace {

// The lead-in tolerance on each axis; a vertex touches within its square, Euclidean.
constexpr int32_t kReach = 10;
static_assert(int64_t{kReach} * kReach == kLeadInToleranceSquared);
// Cells of 64 units: the window of a vertex, kReach on each side, spans at most two of them on each axis.
constexpr int kCellBits = 6;
static_assert((1 << kCellBits) > 2 * kReach);

// The open vertices of one batch by the cell they lie in: buckets by a hash of the cell, their vertices in one
// array. Cells sharing a bucket only cost a few more distances measured.
class OpenVertexCells {
 public:
  struct Vertex {
    int32_t x, y, entry, index;
  };

  void Build(const FigureList& figures, std::span<const int32_t> entries) {
    size_t count = 0;
    for (const int32_t e : entries) count += figures[static_cast<size_t>(e)]->points.size();
    int bits = 4;
    while ((size_t{1} << bits) < count) ++bits;
    mask_ = (uint64_t{1} << bits) - 1;
    // Counted into each bucket's place, summed to where each bucket ends, then filled from the ends down: the
    // buckets' starts remain.
    start_.assign((size_t{1} << bits) + 1, 0);
    start_.back() = static_cast<uint32_t>(count);
    for (const int32_t e : entries) {
      for (const TPlotPoint& p : figures[static_cast<size_t>(e)]->points) ++start_[BucketOf(p.x, p.y)];
    }
    for (size_t b = 1; b + 1 < start_.size(); ++b) start_[b] += start_[b - 1];
    vertices_.resize(count);
    for (const int32_t e : entries) {
      const std::vector<TPlotPoint>& points = figures[static_cast<size_t>(e)]->points;
      for (size_t v = 0; v < points.size(); ++v) {
        vertices_[--start_[BucketOf(points[v].x, points[v].y)]] = {points[v].x, points[v].y, e, static_cast<int32_t>(v)};
      }
    }
  }

  // Calls visit(vertex) for every indexed vertex in the cells that (x, y)'s window of kReach touches, and for some
  // others besides.
  template <class Visit>
  void Near(int64_t x, int64_t y, Visit&& visit) const {
    const int64_t cx0 = (x - kReach) >> kCellBits, cx1 = (x + kReach) >> kCellBits;
    const int64_t cy0 = (y - kReach) >> kCellBits, cy1 = (y + kReach) >> kCellBits;
    for (int64_t cy = cy0; cy <= cy1; ++cy) {
      for (int64_t cx = cx0; cx <= cx1; ++cx) {
        const size_t b = Bucket(cx, cy);
        for (uint32_t k = start_[b]; k < start_[b + 1]; ++k) visit(vertices_[k]);
      }
    }
  }

 private:
  size_t BucketOf(int64_t x, int64_t y) const { return Bucket(x >> kCellBits, y >> kCellBits); }
  // Cells side by side along x fall in neighbouring buckets, rows apart by an odd stride: the lookups of a curve's
  // vertices, one after the other, meet memory they have just read.
  size_t Bucket(int64_t cx, int64_t cy) const {
    return static_cast<size_t>((static_cast<uint64_t>(cx) + static_cast<uint64_t>(cy) * 0x9E3779B97F4A7C15ULL) & mask_);
  }

  uint64_t mask_ = 15;
  std::vector<uint32_t> start_;
  std::vector<Vertex> vertices_;
};

// The open entries with points, ordered along a Z curve through their boxes' centres so that a run of them lies
// together.
std::vector<int32_t> OpenEntriesByPlace(const FigureList& figures, const std::vector<PointBox>& boxes) {
  std::vector<PointBox> open_boxes(figures.size());
  size_t count = 0;
  for (size_t e = 0; e < figures.size(); ++e) {
    if (!figures[e]->open || figures[e]->points.empty()) continue;
    open_boxes[e] = boxes[e];
    ++count;
  }
  std::vector<int32_t> open = EntriesByPlace(open_boxes);
  open.resize(count);
  return open;
}

}  // namespace

std::vector<std::vector<uint8_t>> LeadInTouches(const FigureList& figures, const std::vector<PointBox>& boxes,
                                                size_t batch_vertices) {
  std::vector<std::vector<uint8_t>> touches(figures.size());
  const std::vector<int32_t> open = OpenEntriesByPlace(figures, boxes);
  if (open.empty()) return touches;
  for (const int32_t e : open) touches[static_cast<size_t>(e)].assign(figures[static_cast<size_t>(e)]->points.size(), 0);
  // A vertex within reach of another lies within the other figure's box widened by the reach.
  BoxGrid grid(boxes, kReach);
  OpenVertexCells cells;
  std::vector<int32_t> near, candidates;
  std::vector<size_t> seen(figures.size(), 0);  // the batch that last listed an entry as a candidate, from 1
  size_t batch = 0;
  for (size_t first = 0; first < open.size();) {
    // A batch: open entries in place order, up to the vertex budget (one entry at least).
    size_t end = first, vertices = 0;
    while (end < open.size() && (end == first || vertices + figures[static_cast<size_t>(open[end])]->points.size() <= batch_vertices)) {
      vertices += figures[static_cast<size_t>(open[end])]->points.size();
      ++end;
    }
    const std::span<const int32_t> members(open.data() + first, end - first);
    first = end;
    ++batch;
    cells.Build(figures, members);
    // Every entry whose vertices may come within reach of the batch's, each once, and where they may: the
    // members' boxes, widened by the reach.
    candidates.clear();
    int64_t low_x = INT64_MAX, low_y = INT64_MAX, high_x = INT64_MIN, high_y = INT64_MIN;
    for (const int32_t a : members) {
      const PointBox& box = boxes[static_cast<size_t>(a)];
      low_x = std::min<int64_t>(low_x, int64_t{box.min_x} - kReach);
      low_y = std::min<int64_t>(low_y, int64_t{box.min_y} - kReach);
      high_x = std::max<int64_t>(high_x, int64_t{box.max_x} + kReach);
      high_y = std::max<int64_t>(high_y, int64_t{box.max_y} + kReach);
      grid.Overlapping(box, near);
      for (const int32_t b : near) {
        // A figure's own vertices never count: alone in its place, it has nothing to look up.
        if (b == a || seen[static_cast<size_t>(b)] == batch) continue;
        seen[static_cast<size_t>(b)] = batch;
        candidates.push_back(b);
      }
    }
    for (const int32_t b : candidates) {
      for (const TPlotPoint& q : figures[static_cast<size_t>(b)]->points) {
        if (q.x < low_x || q.x > high_x || q.y < low_y || q.y > high_y) continue;
        cells.Near(q.x, q.y, [&](const OpenVertexCells::Vertex& v) {
          if (v.entry == b) return;
          // Most other vertices met lie out of reach: the marks are read only for those within.
          const int64_t dx = int64_t{v.x} - q.x, dy = int64_t{v.y} - q.y;
          if (dx * dx + dy * dy <= kLeadInToleranceSquared) {
            touches[static_cast<size_t>(v.entry)][static_cast<size_t>(v.index)] = 1;
          }
        });
      }
    }
  }
  return touches;
}

}  // namespace varnholt
