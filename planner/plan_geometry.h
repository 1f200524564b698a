#pragma once
// The vertex-level tests cut planning shares: touching, nearest vertex, stepping back, connector crossings, costs.

#include <algorithm>
#include <cstdint>
#include <limits>
#include <memory>
#include <vector>

#include "geometry/figure.h"
#include "geometry/geometry.h"
#include "geometry/point_box.h"

namespace varnholt {

// An end of an open figure touches another figure within this Euclidean distance (squared here).
inline constexpr int64_t kLeadInToleranceSquared = 100;
inline constexpr double kCornerAngle = 0.6283185307179586;
inline constexpr int32_t kSampling = 250;
inline constexpr size_t kManyEntries = 21;
inline constexpr size_t kNeighbourCount = 22;
inline constexpr int64_t kNeighbourPenalty = 500000000;
inline constexpr int32_t kFrameMargin = 400;
// Every cost is below this, so an evaluated pair always beats the initial best.
inline constexpr int64_t kBestCostStart = std::numeric_limits<int64_t>::max();
inline constexpr int64_t kCostCeiling = kBestCostStart - 1;

// The vertex pair where two figures touch.
struct TouchPair {
  int32_t a = -1;  // vertex of the first figure
  int32_t b = -1;  // vertex of the second figure
};



// Walks a tree whose nodes are numbered from 0 (the root), depth first: visit(node, push) handles a node and
// pushes the children to walk (the one pushed last is walked next).
template <class Visit>
void WalkTree(Visit&& visit) {
  thread_local std::vector<int32_t> stack;
  const size_t base = stack.size();  // a walk inside a visit keeps to its own part of the stack
  stack.push_back(0);
  while (stack.size() > base) {
    const int32_t node = stack.back();
    stack.pop_back();
    visit(node, [](int32_t child) { stack.push_back(child); });
  }
}

// Whether the entry is a connector or the start marker, whose touching vertex is pulled onto the other figure.
bool IsConnectorEntry(const tfigura& figure);

// The boxes of entries' points while planning: measured once for an entry that keeps its points, afresh every time
// for a connector, whose vertices move as it touches.
class EntryBoxes {
 public:
  // Inline for the box measured already: the join searches ask for boxes all the time, and a known box is read
  // without the entry's record (only entries that keep their points are ever known).
  PointBox Of(const FigureList& figures, int32_t entry) {
    const auto e = static_cast<size_t>(entry);
    if (e < known_.size() && known_[e]) return boxes_[e];
    return Measure(figures, entry);
  }
  // The boxes of every entry by entry, a connector's as it stands now. For searches that run while no entry
  // moves: the vector stays valid (calling this again keeps what it read), Of() still measures connectors afresh.
  const std::vector<PointBox>& Settled(const FigureList& figures);

 private:
  // An entry's box when it is not known: a connector's as it stands now, any other's measured and kept.
  PointBox Measure(const FigureList& figures, int32_t entry);
  // Covers every entry there is now, with room for as many as the list has room for.
  void Cover(const FigureList& figures);

  std::vector<PointBox> boxes_;
  std::vector<uint8_t> known_;
};

// Touch(A, B): the first vertex pair, A's vertices from the last and for each B's from the last, within the touch
// tolerance. When found, a connector A has its vertex moved onto B's, then a connector B its vertex onto A's.
// The same entry never touches itself (pass the same object to get false).
bool Touch(tfigura& a, tfigura& b, TouchPair& pair);
// Touch's moves once its pair is known: a connector A's vertex onto B's, then a connector B's vertex onto A's.
void MoveTouchingVertices(tfigura& a, tfigura& b, const TouchPair& pair);

// The vertex nearest (Euclidean distance rounded to an integer) to the corner, the first of equal ones.
int32_t NearestVertex(const tfigura& figure, int32_t corner_x, int32_t corner_y);

// v - 1, or n - 2 below 0 (the repeated closing point is skipped). Never below 0 for n >= 2.
int32_t PreviousVertex(int32_t v, int32_t n);

// Which figure's edge the connector from F's vertex f to G's vertex g crosses: 0 none, 1 F, 2 G.
enum class Crossing { kNone, kFirst, kSecond };
Crossing ConnectorCrossing(const tfigura& f_figure, int32_t f, const tfigura& g_figure, int32_t g);

// Every k-th vertex is sampled in the full joins: max(1, nearest((n - 1) / 250)).
int32_t SamplingStep(size_t point_count);

// cost * factor, saturating at the cost ceiling (costs are never negative).
inline int64_t CostTimes(int64_t cost, int64_t factor) {
  if (cost <= 0 || factor <= 0) return 0;
  // Saturates exactly when the product passes the ceiling; inline and without a division, as it runs for every
  // vertex pair a join looks at.
  int64_t product = 0;
  if (__builtin_mul_overflow(cost, factor, &product) || product > kCostCeiling) return kCostCeiling;
  return product;
}
// a + b of two costs, saturating.
inline int64_t SaturatedSum(int64_t a, int64_t b) { return a > kCostCeiling - b ? kCostCeiling : a + b; }
// dx^2 + dy^2 of two non-negative gaps, saturating.
inline int64_t GapsSquared(int64_t dx, int64_t dy) {
  constexpr int64_t kExact = int64_t{1} << 31;  // both squares and their sum fit below the ceiling
  if (dx < kExact && dy < kExact) return dx * dx + dy * dy;
  return SaturatedSum(CostTimes(dx, dx), CostTimes(dy, dy));
}
// The square of the gap between two boxes, each axis's gap first reduced by slack (not below 0); saturating.
// Inline: the join searches measure it for every box they pass.
inline int64_t BoxGapSquared(const PointBox& a, const PointBox& b, int64_t slack) {
  const auto gap = [slack](int64_t lo_a, int64_t hi_a, int64_t lo_b, int64_t hi_b) {
    const int64_t g = std::max(lo_a - hi_b, lo_b - hi_a) - slack;
    return g > 0 ? g : 0;
  };
  return GapsSquared(gap(a.min_x, a.max_x, b.min_x, b.max_x), gap(a.min_y, a.max_y, b.min_y, b.max_y));
}
// cost * mark div 10, saturating. Once saturated a cost stays at the ceiling, so that scaling keeps the order of
// saturated costs.
inline int64_t CostScaled(int64_t cost, int32_t mark) {
  if (cost >= kCostCeiling) return kCostCeiling;
  return CostTimes(cost, mark) / 10;
}
// The squared distance of two vertices as a cost (saturated below the initial best).
inline int64_t VertexCost(const TPlotPoint& p, const TPlotPoint& q) {
  return std::min(DistanceSquared(p, q), kCostCeiling);
}

}  // namespace varnholt
