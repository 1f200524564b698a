#include "project/box_grid.h"

#include <algorithm>
#include <cmath>

namespace varnholt {
namespace {

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
  // Two passes over the boxes: count the entries of every cell, then place them, so that the cells share one
  // array.
  cell_start_.assign(static_cast<size_t>(columns_ * rows_) + 1, 0);
  const auto each_cell = [&](auto&& visit) {
    for (size_t i = 0; i < boxes_.size(); ++i) {
      const PointBox& b = boxes_[i];
      if (b.empty) continue;
      const int64_t x0 = CellX(int64_t{b.min_x} - margin_), x1 = CellX(int64_t{b.max_x} + margin_);
      const int64_t y0 = CellY(int64_t{b.min_y} - margin_), y1 = CellY(int64_t{b.max_y} + margin_);
      if ((x1 - x0 + 1) * (y1 - y0 + 1) > kMaxCellsPerBox) {
        visit(static_cast<int32_t>(i), int64_t{-1});
        continue;
      }
      for (int64_t y = y0; y <= y1; ++y) {
        for (int64_t x = x0; x <= x1; ++x) visit(static_cast<int32_t>(i), y * columns_ + x);
      }
    }
  };
  each_cell([&](int32_t, int64_t cell) {
    if (cell >= 0) ++cell_start_[static_cast<size_t>(cell) + 1];
  });
  for (size_t c = 1; c < cell_start_.size(); ++c) cell_start_[c] += cell_start_[c - 1];
  in_cells_.resize(static_cast<size_t>(cell_start_.back()));
  std::vector<int64_t> fill(cell_start_.begin(), cell_start_.end() - 1);
  each_cell([&](int32_t i, int64_t cell) {
    if (cell < 0) {
      large_.push_back(i);
    } else {
      in_cells_[static_cast<size_t>(fill[static_cast<size_t>(cell)]++)] = i;
    }
  });
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
  if (box.empty || cell_start_.empty()) return;
  if (++query_ == 0) {
    std::fill(stamp_.begin(), stamp_.end(), 0);
    query_ = 1;
  }
  const auto consider = [&](int32_t i) {
    uint32_t& s = stamp_[static_cast<size_t>(i)];
    if (s == query_) return;
    s = query_;
    if (BoxesNear(boxes_[static_cast<size_t>(i)], box, margin_)) found.push_back(i);
  };
  const int64_t x0 = CellX(box.min_x), x1 = CellX(box.max_x);
  const int64_t y0 = CellY(box.min_y), y1 = CellY(box.max_y);
  for (int64_t y = y0; y <= y1; ++y) {
    for (int64_t x = x0; x <= x1; ++x) {
      const auto c = static_cast<size_t>(y * columns_ + x);
      for (int64_t k = cell_start_[c]; k < cell_start_[c + 1]; ++k) consider(in_cells_[static_cast<size_t>(k)]);
    }
  }
  for (int32_t i : large_) consider(i);
  std::sort(found.begin(), found.end());
}

}  // namespace varnholt
