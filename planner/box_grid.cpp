#include "planner/box_grid.h"

#include <algorithm>
#include <cmath>

namespace varnholt {
namespace {

// A box goes to the finest grid where it spans at most this many cells.
constexpr int64_t kMaxCellsPerBox = 64;

}  // namespace

BoxGrid::BoxGrid(const std::vector<PointBox>& boxes, int32_t margin)
    : boxes_(boxes), margin_(margin), stamp_(boxes.size(), 0) {
  int64_t min_x = INT64_MAX, min_y = INT64_MAX, max_x = INT64_MIN, max_y = INT64_MIN;
  size_t count = 0;
  for (const PointBox& b : boxes_) {
    if (b.empty) continue;
    ++count;
    min_x = std::min<int64_t>(min_x, b.min_x);
    min_y = std::min<int64_t>(min_y, b.min_y);
    max_x = std::max<int64_t>(max_x, b.max_x);
    max_y = std::max<int64_t>(max_y, b.max_y);
  }
  if (count == 0) return;
  origin_x_ = min_x - margin_;
  origin_y_ = min_y - margin_;
  const double w = static_cast<double>(max_x - min_x + 2 * int64_t{margin_} + 1);
  const double h = static_cast<double>(max_y - min_y + 2 * int64_t{margin_} + 1);
  // About two cells per box, and cells not smaller than the touch tolerance.
  const double side = std::sqrt(w * h / (2.0 * static_cast<double>(count)));
  cell_ = std::max<int64_t>(16, static_cast<int64_t>(side));
  columns_ = static_cast<int64_t>(w) / cell_ + 1;
  rows_ = static_cast<int64_t>(h) / cell_ + 1;
  // Degenerate extents (all boxes on a line) would make one axis huge; cap the grid at a few cells per box.
  while (columns_ * rows_ > static_cast<int64_t>(8 * count + 64)) {
    cell_ *= 2;
    columns_ = static_cast<int64_t>(w) / cell_ + 1;
    rows_ = static_cast<int64_t>(h) / cell_ + 1;
  }
  // Each box's span of cells in the finest grid and the grid it goes to. Two passes per grid: count the entries of
  // every cell, then place them, so that the cells of a grid share one array.
  struct Span {
    int32_t x0, x1, y0, y1;
    int level;
  };
  std::vector<Span> spans(boxes_.size(), Span{0, -1, 0, -1, -1});
  int levels = 1;
  for (size_t i = 0; i < boxes_.size(); ++i) {
    const PointBox& b = boxes_[i];
    if (b.empty) continue;
    Span& s = spans[i];
    s.x0 = static_cast<int32_t>(CellX(int64_t{b.min_x} - margin_));
    s.x1 = static_cast<int32_t>(CellX(int64_t{b.max_x} + margin_));
    s.y0 = static_cast<int32_t>(CellY(int64_t{b.min_y} - margin_));
    s.y1 = static_cast<int32_t>(CellY(int64_t{b.max_y} + margin_));
    s.level = 0;
    while (int64_t{(s.x1 >> s.level) - (s.x0 >> s.level) + 1} * ((s.y1 >> s.level) - (s.y0 >> s.level) + 1) >
           kMaxCellsPerBox) {
      ++s.level;
    }
    levels = std::max(levels, s.level + 1);
  }
  levels_.resize(static_cast<size_t>(levels));
  for (int k = 0; k < levels; ++k) {
    Level& level = levels_[static_cast<size_t>(k)];
    level.shift = k;
    level.columns = ((columns_ - 1) >> k) + 1;
    level.rows = ((rows_ - 1) >> k) + 1;
  }
  const auto for_cells = [&](const Span& s, auto&& cell) {
    const Level& level = levels_[static_cast<size_t>(s.level)];
    for (int32_t y = s.y0 >> s.level; y <= s.y1 >> s.level; ++y) {
      for (int32_t x = s.x0 >> s.level; x <= s.x1 >> s.level; ++x) cell(static_cast<size_t>(int64_t{y} * level.columns + x));
    }
  };
  for (const Span& s : spans) {
    if (s.level < 0) continue;
    Level& level = levels_[static_cast<size_t>(s.level)];
    if (level.cell_start.empty()) level.cell_start.assign(static_cast<size_t>(level.columns * level.rows) + 1, 0);
    for_cells(s, [&](size_t c) { ++level.cell_start[c + 1]; });
  }
  std::vector<std::vector<int64_t>> fill(levels_.size());
  for (size_t k = 0; k < levels_.size(); ++k) {
    Level& level = levels_[k];
    if (level.cell_start.empty()) continue;
    for (size_t c = 1; c < level.cell_start.size(); ++c) level.cell_start[c] += level.cell_start[c - 1];
    level.in_cells.resize(static_cast<size_t>(level.cell_start.back()));
    fill[k].assign(level.cell_start.begin(), level.cell_start.end() - 1);
  }
  for (size_t i = 0; i < boxes_.size(); ++i) {
    const Span& s = spans[i];
    if (s.level < 0) continue;
    Level& level = levels_[static_cast<size_t>(s.level)];
    std::vector<int64_t>& next = fill[static_cast<size_t>(s.level)];
    for_cells(s, [&](size_t c) { level.in_cells[static_cast<size_t>(next[c]++)] = static_cast<int32_t>(i); });
  }
}

int64_t BoxGrid::CellX(int64_t x) const { return std::clamp<int64_t>((x - origin_x_) / cell_, 0, columns_ - 1); }
int64_t BoxGrid::CellY(int64_t y) const { return std::clamp<int64_t>((y - origin_y_) / cell_, 0, rows_ - 1); }

std::vector<int32_t> BoxGrid::Overlapping(const PointBox& box) {
  std::vector<int32_t> found;
  Overlapping(box, found);
  return found;
}

void BoxGrid::Overlapping(const PointBox& box, std::vector<int32_t>& found) {
  found.clear();
  ForEachOverlapping(box, [&found](int32_t i) { found.push_back(i); });
  std::sort(found.begin(), found.end());
}

}  // namespace varnholt
