#pragma once
// Which figure lies inside which: the containment test and the nesting passes over a figure list.

#include <algorithm>
#include <cstdint>
#include <vector>

#include "planner/plan_geometry.h"

namespace varnholt {

// True when the two figures have the same points in the same order.
bool IdenticalFigures(const tfigura& a, const tfigura& b);

// The parity test alone: whether inner's vertices lie inside outer by counting outer's edges above and below.
bool ParityInside(const tfigura& inner, const tfigura& outer);

// A figure's edges by x, for the parity test against a large outer figure: the count at a point reads only the
// edges in the slab of its x, not every edge. The counts are the plain test's, edge for edge.
class EdgeSlabs {
 public:
  explicit EdgeSlabs(const tfigura& outer);
  // The numbers of outer's edges above and below `at` whose x range [smaller x, larger x) holds at.x.
  void Count(const TPlotPoint& at, int64_t& above, int64_t& below) const;

  // Slab s holds the x in [SlabLow(s), SlabHigh(s)); no edge counts at any other x. A point of the slab whose y lies
  // outside [BandLow(s), BandHigh(s)] has every edge that counts on one side of it, however the line's value is
  // rounded: the counts' parities agree, the below count is even, and the parity test says "outside" at once.
  size_t slabs() const { return band_low_.size(); }
  int64_t SlabLow(size_t s) const { return low_ + static_cast<int64_t>(s) * width_; }
  int64_t SlabHigh(size_t s) const { return std::min(SlabLow(s) + width_, high_); }
  int64_t BandLow(size_t s) const { return band_low_[s]; }
  int64_t BandHigh(size_t s) const { return band_high_[s]; }

 private:
  struct Edge {
    int32_t lo, hi;        // the x range [lo, hi)
    int32_t y_lo, y_hi;    // the y range
    double slope, intercept;
  };
  std::vector<Edge> edges_;  // the edges that are not vertical
  int64_t low_ = 0, high_ = 0, width_ = 1;
  std::vector<uint32_t> start_;  // the edges of slab s: in_slabs_[start_[s], start_[s + 1])
  std::vector<uint32_t> in_slabs_;
  std::vector<int64_t> band_low_, band_high_;  // by slab; INT64_MAX and INT64_MIN for a slab without edges
};

// ParityInside(inner, outer) through outer's edges by x.
bool ParityInside(const tfigura& inner, const EdgeSlabs& outer);

// inner lies inside outer: different, not identical, outer closed, outer's box strictly around inner's, parity.
bool LiesInside(const tfigura& inner, const tfigura& outer);

// Sets depth, parent and child_count of every entry and returns the deepest depth. Passes over all pairs in list
// order until a pass assigns nothing; a figure takes a container whose depth is above its current parent's.
// `boxes[e]` is the box of entry e's points, measured already.
int32_t NestFigures(FigureList& figures, const std::vector<PointBox>& boxes);

}  // namespace varnholt
