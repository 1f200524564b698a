#pragma once
// Uniform grids over boxes, to find the entries whose box comes near a given box: a box lies in the finest of a
// series of grids (each with cells twice as wide as the one before) where it spans only a few cells, so that large
// boxes are found through the cells they cover rather than checked on every query.

#include <algorithm>
#include <cstdint>
#include <vector>

#include "geometry/point_box.h"

namespace varnholt {

class BoxGrid {
 public:
  // Indexes the boxes (by their position in `boxes`; empty boxes are left out), each widened by margin.
  BoxGrid(const std::vector<PointBox>& boxes, int32_t margin);

  // The indexes of the boxes that overlap `box`, ascending, each once.
  std::vector<int32_t> Overlapping(const PointBox& box);
  // The same into `found`, whose storage is reused.
  void Overlapping(const PointBox& box, std::vector<int32_t>& found);
  // Calls visit(index) for each box that overlaps `box`, once each, in no particular order.
  template <class Visit>
  void ForEachOverlapping(const PointBox& box, Visit&& visit) {
    if (box.empty || levels_.empty()) return;
    if (++query_ == 0) {
      std::fill(stamp_.begin(), stamp_.end(), 0);
      query_ = 1;
    }
    const int64_t x0 = CellX(box.min_x), x1 = CellX(box.max_x);
    const int64_t y0 = CellY(box.min_y), y1 = CellY(box.max_y);
    for (const Level& level : levels_) {
      if (level.cell_start.empty()) continue;
      for (int64_t y = y0 >> level.shift; y <= y1 >> level.shift; ++y) {
        for (int64_t x = x0 >> level.shift; x <= x1 >> level.shift; ++x) {
          const auto c = static_cast<size_t>(y * level.columns + x);
          for (int64_t k = level.cell_start[c]; k < level.cell_start[c + 1]; ++k) {
            const int32_t i = level.in_cells[static_cast<size_t>(k)];
            uint32_t& s = stamp_[static_cast<size_t>(i)];
            if (s == query_) continue;
            s = query_;
            if (BoxesNear(boxes_[static_cast<size_t>(i)], box, margin_)) visit(i);
          }
        }
      }
    }
  }

 private:
  // One grid: its cells are 2^shift cells of the finest grid wide and high.
  struct Level {
    int shift = 0;
    int64_t columns = 1, rows = 1;
    std::vector<int64_t> cell_start;  // the boxes of cell c: in_cells[cell_start[c], cell_start[c + 1])
    std::vector<int32_t> in_cells;
  };

  int64_t CellX(int64_t x) const;
  int64_t CellY(int64_t y) const;

  std::vector<PointBox> boxes_;
  int32_t margin_ = 0;
  int64_t origin_x_ = 0, origin_y_ = 0;
  int64_t cell_ = 1;
  int64_t columns_ = 1, rows_ = 1;  // of the finest grid
  std::vector<Level> levels_;       // finest first; a level without boxes has no cells
  std::vector<uint32_t> stamp_;
  uint32_t query_ = 0;
};

}  // namespace varnholt
