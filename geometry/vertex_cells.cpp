#include "geometry/vertex_cells.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace varnholt {

static_assert((1 << 5) > 2 * kTouchTolerance);

VertexCells::VertexCells(const FigureList& figures) {
  first_.resize(figures.size() + 1);
  size_t count = 0;
  int64_t min_x = INT64_MAX, min_y = INT64_MAX, max_x = INT64_MIN, max_y = INT64_MIN;
  for (size_t e = 0; e < figures.size(); ++e) {
    first_[e] = static_cast<uint32_t>(count);
    count += figures[e]->points.size();
    // 32-bit ids: more vertices than that would not fit in memory as points anyway.
    if (count >= UINT32_MAX) throw std::length_error("too many vertices to index");
    for (const TPlotPoint& p : figures[e]->points) {
      min_x = std::min<int64_t>(min_x, p.x);
      min_y = std::min<int64_t>(min_y, p.y);
      max_x = std::max<int64_t>(max_x, p.x);
      max_y = std::max<int64_t>(max_y, p.y);
    }
  }
  first_.back() = static_cast<uint32_t>(count);
  if (count == 0) return;
  origin_x_ = min_x;
  origin_y_ = min_y;
  // Cells as small as the window allows, and no more cells (tiles filled out) than about two per vertex: a drawing
  // spread thin gets wider cells.
  const auto cells_at = [&](int shift) {
    const int64_t columns = ((max_x - min_x) >> shift) + 1, rows = ((max_y - min_y) >> shift) + 1;
    const int64_t across = (columns >> kTileBits) + 1, down = (rows >> kTileBits) + 1;
    return across * down << (2 * kTileBits);
  };
  while (cells_at(shift_) > static_cast<int64_t>(2 * count) + 4096) ++shift_;
  columns_ = ((max_x - min_x) >> shift_) + 1;
  rows_ = ((max_y - min_y) >> shift_) + 1;
  tiles_across_ = (columns_ >> kTileBits) + 1;
  // Counted into each cell's place, summed to where each cell ends, then filled from the ends down: the cells'
  // starts remain.
  start_.assign(static_cast<size_t>(cells_at(shift_)) + 1, 0);
  start_.back() = static_cast<uint32_t>(count);
  const auto cell_of = [this](const TPlotPoint& p) { return Cell(Column(p.x), Row(p.y)); };
  for (const auto& figure : figures) {
    for (const TPlotPoint& p : figure->points) ++start_[cell_of(p)];
  }
  for (size_t c = 1; c + 1 < start_.size(); ++c) start_[c] += start_[c - 1];
  vertices_.resize(count);
  for (size_t e = 0; e < figures.size(); ++e) {
    const std::vector<TPlotPoint>& points = figures[e]->points;
    for (size_t v = points.size(); v-- > 0;) {
      vertices_[--start_[cell_of(points[v])]] = {points[v].x, points[v].y, first_[e] + static_cast<uint32_t>(v)};
    }
  }
}

std::vector<int32_t> EntriesByPlace(const std::vector<PointBox>& boxes) {
  int64_t min_x = INT64_MAX, min_y = INT64_MAX, max_x = INT64_MIN, max_y = INT64_MIN;
  const auto centre = [&](size_t e) {
    const PointBox& b = boxes[e];
    return std::pair{(int64_t{b.min_x} + b.max_x) / 2, (int64_t{b.min_y} + b.max_y) / 2};
  };
  for (size_t e = 0; e < boxes.size(); ++e) {
    if (boxes[e].empty) continue;
    const auto [x, y] = centre(e);
    min_x = std::min(min_x, x);
    max_x = std::max(max_x, x);
    min_y = std::min(min_y, y);
    max_y = std::max(max_y, y);
  }
  // 16 bits a coordinate.
  int scale = 0;
  while (min_x <= max_x && (std::max(max_x - min_x, max_y - min_y) >> scale) >= (int64_t{1} << 16)) ++scale;
  const auto spread = [](uint64_t v) {
    v = (v | (v << 8)) & 0x00FF00FFULL;
    v = (v | (v << 4)) & 0x0F0F0F0FULL;
    v = (v | (v << 2)) & 0x33333333ULL;
    return (v | (v << 1)) & 0x55555555ULL;
  };
  std::vector<std::pair<uint64_t, int32_t>> keyed;
  keyed.reserve(boxes.size());
  for (size_t e = 0; e < boxes.size(); ++e) {
    uint64_t key = UINT64_MAX;  // after every place
    if (!boxes[e].empty) {
      const auto [x, y] = centre(e);
      key = spread(static_cast<uint64_t>((x - min_x) >> scale)) | (spread(static_cast<uint64_t>((y - min_y) >> scale)) << 1);
    }
    keyed.emplace_back(key, static_cast<int32_t>(e));
  }
  std::sort(keyed.begin(), keyed.end());
  std::vector<int32_t> order(boxes.size());
  for (size_t k = 0; k < keyed.size(); ++k) order[k] = keyed[k].second;
  return order;
}

}  // namespace varnholt
