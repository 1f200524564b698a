#include "project/figure_joiner.h"

#include <algorithm>
#include <deque>
#include <utility>

#include "geometry/geometry.h"

namespace varnholt {
namespace {

bool IsJoinCandidate(const tfigura& figure) { return figure.open && figure.points.size() > 1; }

// Cells are 20 units wide: the points within 10 units of a point lie in its own cell and the neighbour on the side
// of the cell's half it lies in, on each axis, so four cells hold every candidate.
constexpr int64_t kCellSize = 20;

// floor(v / kCellSize) for negative values too.
int64_t CellCoordinate(int64_t value) {
  return value >= 0 ? value / kCellSize : -((-value + kCellSize - 1) / kCellSize);
}

// The neighbouring cell coordinate on the side of the cell's half that value lies in.
int64_t NearSideNeighbour(int64_t value, int64_t cell) {
  return value - cell * kCellSize < kCellSize / 2 ? cell - 1 : cell + 1;
}

uint64_t PackCell(int64_t cx, int64_t cy) {
  // Cell coordinates fit in 29 bits with sign; offsetting makes them non-negative before packing.
  return (static_cast<uint64_t>(cx + (int64_t{1} << 30)) << 32) | static_cast<uint64_t>(cy + (int64_t{1} << 30));
}

}  // namespace

LoadingFigureList::CellKey LoadingFigureList::CellOf(const TPlotPoint& point) {
  return PackCell(CellCoordinate(point.x), CellCoordinate(point.y));
}

uint64_t LoadingFigureList::HashOf(const std::vector<TPlotPoint>& points) {
  // Two lanes, the even and the odd points, so that the multiplications of neighbouring points overlap.
  constexpr uint64_t kFactor = 0x9E3779B97F4A7C15ULL;
  const auto word = [](const TPlotPoint& p) {
    return (uint64_t{static_cast<uint32_t>(p.x)} << 32) | static_cast<uint32_t>(p.y);
  };
  uint64_t even = 1469598103934665603ULL ^ points.size();
  uint64_t odd = 1099511628211ULL;
  const size_t count = points.size();
  size_t i = 0;
  for (; i + 1 < count; i += 2) {
    even = (even ^ word(points[i])) * kFactor;
    odd = (odd ^ word(points[i + 1])) * kFactor;
  }
  if (i < count) even = (even ^ word(points[i])) * kFactor;
  return even ^ (odd >> 29) ^ (odd << 35);
}

size_t LoadingFigureList::NextCandidate(size_t after, const TPlotPoint& a, const TPlotPoint& z) const {
  // The eight cells of the two ends lie far apart in the table: all are fetched before the first is read, so a
  // large drawing's lookups wait for the memory once instead of eight times.
  const TPlotPoint* const ends[2] = {&a, &z};
  CellKey cells[2][4];
  for (size_t e = 0; e < 2; ++e) {
    const int64_t cx = CellCoordinate(ends[e]->x);
    const int64_t cy = CellCoordinate(ends[e]->y);
    const int64_t nx = NearSideNeighbour(ends[e]->x, cx);
    const int64_t ny = NearSideNeighbour(ends[e]->y, cy);
    cells[e][0] = PackCell(cx, cy);
    cells[e][1] = PackCell(cx, ny);
    cells[e][2] = PackCell(nx, cy);
    cells[e][3] = PackCell(nx, ny);
    for (const CellKey cell : cells[e]) ends_by_cell_.Prefetch(cell);
  }
  size_t best = kNone;
  for (size_t e = 0; e < 2; ++e) {
    const TPlotPoint& end = *ends[e];
    for (const CellKey cell : cells[e]) {
      // A candidate qualifies when either of its ends is near; both ends are listed, so each is met on its own.
      ends_by_cell_.Find(cell, [&](const SlotMultimap::Entry& entry) {
        if ((after == kNone || entry.slot > after) && entry.slot < best && PointsNear(end, entry.point)) {
          best = entry.slot;
        }
        return false;
      });
    }
  }
  return best;
}

void LoadingFigureList::Remove(size_t slot) {
  const tfigura& figure = *slots_[slot];
  if (IsJoinCandidate(figure)) {
    ends_by_cell_.Erase(CellOf(figure.points.front()), slot);
    ends_by_cell_.Erase(CellOf(figure.points.back()), slot);
  }
  slots_by_hash_.Erase(hashes_[slot], slot);
  slots_[slot].reset();
  --live_count_;
}

void LoadingFigureList::JoinOpenFigures(tfigura& figure) {
  if (!figure.open || figure.points.size() <= 1) return;
  // Most figures meet nothing: they keep their points where they are.
  size_t first = NextCandidate(kNone, figure.points.front(), figure.points.back());
  if (first == kNone) return;
  // Joins add at both ends; a deque keeps that linear in the points added.
  std::deque<TPlotPoint> path(figure.points.begin(), figure.points.end());
  bool joined_any = true;
  while (joined_any) {
    joined_any = false;
    size_t after = kNone;
    while (true) {
      const TPlotPoint a = path.front();
      const TPlotPoint z = path.back();
      // The first search of the first pass is the one just made.
      const size_t slot = first != kNone ? std::exchange(first, kNone) : NextCandidate(after, a, z);
      if (slot == kNone) break;
      const std::vector<TPlotPoint>& g = slots_[slot]->points;
      const TPlotPoint& b = g.front();
      const TPlotPoint& e = g.back();
      if (PointsNear(z, b)) {
        path.insert(path.end(), g.begin() + 1, g.end());
      } else if (PointsNear(z, e)) {
        path.insert(path.end(), g.rbegin() + 1, g.rend());
      } else if (PointsNear(a, b)) {
        for (auto it = g.begin() + 1; it != g.end(); ++it) path.push_front(*it);
      } else {
        for (auto it = g.rbegin() + 1; it != g.rend(); ++it) path.push_front(*it);
      }
      Remove(slot);
      joined_any = true;
      after = slot;
    }
  }
  figure.points.assign(path.begin(), path.end());
}

bool LoadingFigureList::HasIdentical(const tfigura& figure) const {
  return slots_by_hash_.Find(HashOf(figure.points), [&](const SlotMultimap::Entry& entry) {
    return slots_[entry.slot]->points == figure.points;
  });
}

void LoadingFigureList::Append(std::unique_ptr<tfigura> figure) {
  const size_t slot = slots_.size();
  const uint64_t hash = HashOf(figure->points);
  slots_by_hash_.Insert(hash, slot);
  hashes_.push_back(hash);
  if (IsJoinCandidate(*figure)) {
    const TPlotPoint& first = figure->points.front();
    const TPlotPoint& last = figure->points.back();
    ends_by_cell_.Insert(CellOf(first), slot, first);
    ends_by_cell_.Insert(CellOf(last), slot, last);
  }
  slots_.push_back(std::move(figure));
  ++live_count_;
}

std::vector<std::unique_ptr<tfigura>> LoadingFigureList::Compact() {
  std::vector<std::unique_ptr<tfigura>> figures;
  figures.reserve(live_count_);
  for (auto& slot : slots_) {
    if (slot) figures.push_back(std::move(slot));
  }
  slots_.clear();
  hashes_.clear();
  ends_by_cell_.Clear();
  slots_by_hash_.Clear();
  live_count_ = 0;
  return figures;
}

}  // namespace varnholt
