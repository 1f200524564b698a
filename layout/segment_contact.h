#pragma once
// Exact contact tests between segments of plotter points, for paths that may touch a figure only where they enter it.

#include "geometry/geometry.h"

namespace varnholt {

// True when the closed segments s and t have a common point other than `allowed`: a crossing, a touch, or a
// stretch where they overlap. A segment whose ends coincide is the one point. Exact for coordinates within +-2^30.
bool SegmentsMeetElsewhere(const Segment& s, const Segment& t, const TPlotPoint& allowed);

}  // namespace varnholt
