#pragma once
// The connecting path of a duplication: one line through the gaps of the grid that touches every copy where the
// wire enters it, so that a single cut reaches all copies.

#include <memory>
#include <vector>

#include "geometry/figure.h"
#include "layout/grid.h"

namespace varnholt {

// The side of the pattern's box from which the path reaches a start point that is not the box's lower-left corner.
enum class BoxSide { kBottom, kLeft, kRight, kTop };

struct PathInputs {
  PatternBox pattern;
  TPlotPoint start;              // where the wire enters the pattern (its start figure's entry vertex)
  BoxSide side = BoxSide::kBottom;
  GridLayout grid;
};

// The path, point by point: the lead-in up the left of the grid, the rows from the top in alternating directions,
// joined under the copies by bridges with slanted legs and at the row ends by vertical lines beside the grid, and
// the lead-out back to 1 mm beyond the grid's lower left corner. Copy (r, j) is the pattern shifted by
// (j x column pitch, r x row pitch).
std::vector<TPlotPoint> ConnectingPath(const PathInputs& inputs);

// The side of the box the path reaches the start point from: a side the point lies on (bottom, left, right, top in
// this order), else the nearest side whose straight way out crosses no figure, else the nearest side.
BoxSide EntrySide(const std::vector<std::unique_ptr<tfigura>>& figures, const PatternBox& box,
                  const TPlotPoint& start);

}  // namespace varnholt
