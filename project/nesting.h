#pragma once
// Which figure lies inside which: the containment test and the nesting passes over a figure list.

#include <cstdint>
#include <vector>

#include "project/plan_geometry.h"

namespace varnholt {

// True when the two figures have the same points in the same order.
bool IdenticalFigures(const tfigura& a, const tfigura& b);

// The parity test alone: whether inner's vertices lie inside outer by counting outer's edges above and below.
bool ParityInside(const tfigura& inner, const tfigura& outer);

// inner lies inside outer: different, not identical, outer closed, outer's box strictly around inner's, parity.
bool LiesInside(const tfigura& inner, const tfigura& outer);

// Sets depth, parent and child_count of every entry and returns the deepest depth. Passes over all pairs in list
// order until a pass assigns nothing; a figure takes a container whose depth is above its current parent's.
// `boxes[e]` is the box of entry e's points, measured already.
int32_t NestFigures(FigureList& figures, const std::vector<PointBox>& boxes);

}  // namespace varnholt
