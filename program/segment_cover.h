#pragma once
// A set of straight segments in millimetres and how far a path strays from them: whether every point of a segment
// lies within a reach of the set, and its largest distance from the set.

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "geometry/geometry.h"

namespace varnholt {

class SegmentSet {
 public:
  // Adds the segment from a to b (a point when they are equal).
  void Add(const RealPoint& a, const RealPoint& b);
  // Builds the lookup for queries at the given reach; call after the last Add and before the first query.
  void Index(double reach);

  // True when every point of the segment a->b lies within the reach of the set's segments taken together.
  bool Covers(const RealPoint& a, const RealPoint& b);
  // The largest distance of a point of the segment a->b from the set, to about a millionth of the reach; the
  // distance of the single nearest segment when that alone holds a->b within the reach.
  double Deviation(const RealPoint& a, const RealPoint& b);

  size_t size() const { return from_.size(); }
  double reach() const { return reach_; }

 private:
  // The segments near a->b: within the reach of it, perhaps more.
  const std::vector<uint32_t>& NearReach(const RealPoint& a, const RealPoint& b);
  // The segments whose boxes lie within r of a->b's box.
  const std::vector<uint32_t>& NearBox(const RealPoint& a, const RealPoint& b, double r);
  // True when the capsules of radius r round the candidates cover a->b together.
  bool UnionCovers(const RealPoint& a, const RealPoint& b, const std::vector<uint32_t>& candidates, double r) const;
  // The smallest radius in [low, high] at which the candidates cover a->b (high when none below does).
  double SmallestCoveringRadius(const RealPoint& a, const RealPoint& b, const std::vector<uint32_t>& candidates,
                                double low, double high) const;
  int64_t CellOf(double value) const;
  static uint64_t CellKey(int64_t column, int64_t row);

  std::vector<RealPoint> from_, to_;
  double reach_ = 0.0;
  double cell_ = 1.0;
  std::unordered_map<uint64_t, std::vector<uint32_t>> cells_;  // segments passing near each cell
  std::vector<uint32_t> seen_;                                   // query stamp per segment
  uint32_t stamp_ = 0;
  std::vector<uint32_t> found_;
};

}  // namespace varnholt
