#pragma once
// Merges closed outlines that touch or overlap into one outline: the letters of a text, each with its
// counters.

#include <vector>

#include "geometry/figure.h"

namespace varnholt {

// A closed outline in plotter units, without its closing point.
using OutlineRing = std::vector<TPlotPoint>;
// The contours of one shape (a letter): its outer outlines and its holes, holes drawn against the outlines.
using OutlineGroup = std::vector<OutlineRing>;

// The area the groups cover, as measured closed figures (the first point repeated at the end), each outer
// outline followed by the holes in it. A group's own contours are always merged by the nonzero rule, so the
// overlapping pieces of one letter become one outline; with weld the groups are merged with each other too,
// else the figures of each group stay apart even where they overlap another's. Outer outlines come in the
// order of the groups: welded, an outline several groups make stands where the first of them stood. Outer
// outlines run counter-clockwise and holes clockwise; what encloses no area is left out.
FigureList WeldOutlines(const std::vector<OutlineGroup>& groups, bool weld);

}  // namespace varnholt
