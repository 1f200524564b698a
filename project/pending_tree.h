#pragma once
// A static tree over the boxes of the figures waiting for a join, with counts of those still waiting, for searches
// that move outwards from a box ring by ring and pass over regions where nothing waits any more.

#include <algorithm>
#include <cstdint>
#include <vector>

#include "project/plan_geometry.h"

namespace varnholt {

class PendingTree {
 public:
  struct Item {
    PointBox box;
    bool open = false;
    int32_t depth = 0;
  };

  // All items wait at first. The tree keeps the items: pass them moved where the caller no longer needs them.
  explicit PendingTree(std::vector<Item> items);

  // The item no longer waits.
  void Remove(int32_t item);
  bool Waiting(int32_t item) const { return waiting_[static_cast<size_t>(item)] != 0; }
  // Whether some item waits (an open one, with open_only).
  bool AnyWaiting(bool open_only) const;

  // Calls visit(item) for every waiting item whose squared gap to box (slack as in BoxGapSquared) lies in
  // (low2, high2], only open items with open_only and only items of depth at least min_depth.
  template <class Visit>
  void VisitRing(const PointBox& box, int64_t slack, int64_t low2, int64_t high2, bool open_only, int32_t min_depth,
                 Visit&& visit) const;

  // A side about the size of the items' boxes, at least 16 units: the first radius of a search.
  int64_t TypicalSide() const { return typical_side_; }

 private:
  struct Node {
    PointBox box;
    int32_t first = 0, last = 0;  // the items order_[first, last)
    int32_t left = -1, right = -1;
    int32_t up = -1;
    int32_t waiting = 0, waiting_open = 0;
    int32_t max_depth = 0;
  };

  int32_t Build(int32_t first, int32_t last, int32_t up);
  // The square of the largest gap any box inside node could have to box: a box shrunk to the node's far corner.
  static int64_t FarthestGapSquared(const PointBox& node, const PointBox& box, int64_t slack) {
    const auto far = [slack](int64_t n_lo, int64_t n_hi, int64_t b_lo, int64_t b_hi) {
      const int64_t g = std::max(n_hi - b_hi, b_lo - n_lo) - slack;
      return g > 0 ? g : 0;
    };
    return GapsSquared(far(node.min_x, node.max_x, box.min_x, box.max_x), far(node.min_y, node.max_y, box.min_y, box.max_y));
  }

  std::vector<Item> items_;
  std::vector<int32_t> order_;
  std::vector<int32_t> leaf_of_;
  std::vector<uint8_t> waiting_;
  std::vector<Node> nodes_;
  int64_t typical_side_ = 16;
};

template <class Visit>
void PendingTree::VisitRing(const PointBox& box, int64_t slack, int64_t low2, int64_t high2, bool open_only,
                            int32_t min_depth, Visit&& visit) const {
  if (nodes_.empty()) return;
  WalkTree([&](int32_t n, auto push) {
    const Node& node = nodes_[static_cast<size_t>(n)];
    if ((open_only ? node.waiting_open : node.waiting) == 0 || node.max_depth < min_depth) return;
    if (BoxGapSquared(node.box, box, slack) > high2) return;
    if (FarthestGapSquared(node.box, box, slack) <= low2) return;  // met by an earlier ring
    if (node.left >= 0) {
      push(node.right);
      push(node.left);
      return;
    }
    for (int32_t k = node.first; k < node.last; ++k) {
      const int32_t item = order_[static_cast<size_t>(k)];
      const Item& it = items_[static_cast<size_t>(item)];
      if (!waiting_[static_cast<size_t>(item)] || (open_only && !it.open) || it.depth < min_depth) continue;
      const int64_t gap2 = BoxGapSquared(it.box, box, slack);
      if (gap2 > low2 && gap2 <= high2) visit(item);
    }
  });
}

}  // namespace varnholt
