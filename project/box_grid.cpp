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
  // array. The first pass keeps each box's span of cells for the second (both fit 32 bits: the grid holds at
  // most a few cells per box).
  struct Span {
    int32_t x0, x1, y0, y1;
  };
  std::vector<Span> spans(boxes_.size(), Span{0, -1, 0, -1});
  cell_start_.assign(static_cast<size_t>(columns_ * rows_) + 1, 0);
  size_t large = 0;
  for (size_t i = 0; i < boxes_.size(); ++i) {
    const PointBox& b = boxes_[i];
    if (b.empty) continue;
    const auto x0 = static_cast<int32_t>(CellX(int64_t{b.min_x} - margin_));
    const auto x1 = static_cast<int32_t>(CellX(int64_t{b.max_x} + margin_));
    const auto y0 = static_cast<int32_t>(CellY(int64_t{b.min_y} - margin_));
    const auto y1 = static_cast<int32_t>(CellY(int64_t{b.max_y} + margin_));
    if (int64_t{x1 - x0 + 1} * (y1 - y0 + 1) > kMaxCellsPerBox) {
      ++large;
      continue;  // its span stays empty: it goes with the large boxes
    }
    spans[i] = {x0, x1, y0, y1};
    for (int32_t y = y0; y <= y1; ++y) {
      int64_t* row = &cell_start_[static_cast<size_t>(int64_t{y} * columns_) + 1];
      for (int32_t x = x0; x <= x1; ++x) ++row[x];
    }
  }
  for (size_t c = 1; c < cell_start_.size(); ++c) cell_start_[c] += cell_start_[c - 1];
  in_cells_.resize(static_cast<size_t>(cell_start_.back()));
  large_.reserve(large);
  std::vector<int64_t> fill(cell_start_.begin(), cell_start_.end() - 1);
  for (size_t i = 0; i < boxes_.size(); ++i) {
    if (boxes_[i].empty) continue;
    const Span& span = spans[i];
    if (span.x1 < span.x0) {
      large_.push_back(static_cast<int32_t>(i));
      continue;
    }
    for (int32_t y = span.y0; y <= span.y1; ++y) {
      int64_t* row = &fill[static_cast<size_t>(int64_t{y} * columns_)];
      for (int32_t x = span.x0; x <= span.x1; ++x) in_cells_[static_cast<size_t>(row[x]++)] = static_cast<int32_t>(i);
    }
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
