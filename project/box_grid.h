#pragma once
// A uniform grid over boxes, to find the entries whose box comes near a given box.

#include <cstdint>
#include <vector>

#include "project/plan_geometry.h"

namespace varnholt {

class BoxGrid {
 public:
  // Indexes the boxes (by their position in `boxes`; empty boxes are left out), each widened by margin.
  BoxGrid(const std::vector<PointBox>& boxes, int32_t margin);

  // The indexes of the boxes that overlap `box`, ascending, each once.
  std::vector<int32_t> Overlapping(const PointBox& box);
  // The same into `found`, whose storage is reused.
  void Overlapping(const PointBox& box, std::vector<int32_t>& found);

 private:
  int64_t CellX(int64_t x) const;
  int64_t CellY(int64_t y) const;

  std::vector<PointBox> boxes_;
  int32_t margin_ = 0;
  int64_t origin_x_ = 0, origin_y_ = 0;
  int64_t cell_ = 1;
  int64_t columns_ = 1, rows_ = 1;
  std::vector<int64_t> cell_start_;  // the boxes of cell c: in_cells_[cell_start_[c], cell_start_[c + 1])
  std::vector<int32_t> in_cells_;
  std::vector<int32_t> large_;  // boxes spanning too many cells, checked on every query
  std::vector<uint32_t> stamp_;
  uint32_t query_ = 0;
};

}  // namespace varnholt
