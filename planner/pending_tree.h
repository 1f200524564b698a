#pragma once
// A static tree over the boxes of the figures waiting for a join, with counts of those still waiting, for searches
// that move outwards from a box ring by ring and pass over regions where nothing waits any more.

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "planner/plan_geometry.h"

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
  // (low2, high2], only open items with open_only and only items of depth at least min_depth. Returns a lower bound
  // of the squared gap of every such item beyond high2, kNoneBeyond when none waits there: the walk reads it off
  // what it passes by, so a search can go on from there instead of from high2. With near_item, an item whose box
  // lies at the box searched from (its own, say), the walk starts at that item's leaf and climbs: the nodes around
  // the box are met without descending from the root to them.
  static constexpr int64_t kNoneBeyond = INT64_MAX;
  template <class Visit>
  int64_t VisitRing(const PointBox& box, int64_t slack, int64_t low2, int64_t high2, bool open_only, int32_t min_depth,
                    Visit&& visit, int32_t near_item = -1) const;

  // The greatest depth of any item, waiting or not (INT32_MIN without items): a search for items of a greater
  // depth has nothing to find, now or later.
  int32_t MaxDepth() const { return nodes_.empty() ? INT32_MIN : nodes_[0].max_depth; }

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

  // More levels than a tree of up to 2^31 items split in halves down to leaves of a few items can have.
  static constexpr size_t kMaxLevels = 40;

  // An item's centre, its box's coordinates summed on each axis (twice the centre, kept whole).
  struct Centre {
    int64_t x, y;
    int32_t item;
  };
  // Builds the node over centres[first, last) and those below it, leaving the centres in the tree's item order.
  int32_t Build(std::vector<Centre>& centres, int32_t first, int32_t last, int32_t up);
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
int64_t PendingTree::VisitRing(const PointBox& box, int64_t slack, int64_t low2, int64_t high2, bool open_only,
                               int32_t min_depth, Visit&& visit, int32_t near_item) const {
  int64_t beyond2 = kNoneBeyond;
  if (nodes_.empty()) return beyond2;
  // Whether a node may hold an item of the ring; a node beyond it tells how near the items past the ring may lie.
  const auto enter = [&](const Node& node) {
    if ((open_only ? node.waiting_open : node.waiting) == 0 || node.max_depth < min_depth) return false;
    const int64_t node_gap2 = BoxGapSquared(node.box, box, slack);
    if (node_gap2 > high2) {
      // No box inside the node lies nearer than the node's own box.
      beyond2 = std::min(beyond2, node_gap2);
      return false;
    }
    return FarthestGapSquared(node.box, box, slack) > low2;  // otherwise met by an earlier ring
  };
  // The tree halves its items at each level, so a walk that puts both children of a node on the stack holds at
  // most one node per level and one more: a stack of its own on the frame, as a visit may start walks of its own.
  std::array<int32_t, kMaxLevels + 1> stack;
  size_t size = 0;
  const auto walk = [&](int32_t top) {
    if (enter(nodes_[static_cast<size_t>(top)])) stack[size++] = top;
    while (size > 0) {
      const Node& node = nodes_[static_cast<size_t>(stack[--size])];
      if (node.left >= 0) {
        if (enter(nodes_[static_cast<size_t>(node.right)])) stack[size++] = node.right;
        if (enter(nodes_[static_cast<size_t>(node.left)])) stack[size++] = node.left;
        continue;
      }
      for (int32_t k = node.first; k < node.last; ++k) {
        const int32_t item = order_[static_cast<size_t>(k)];
        const Item& it = items_[static_cast<size_t>(item)];
        if (!waiting_[static_cast<size_t>(item)] || (open_only && !it.open) || it.depth < min_depth) continue;
        const int64_t gap2 = BoxGapSquared(it.box, box, slack);
        if (gap2 > high2) {
          beyond2 = std::min(beyond2, gap2);
        } else if (gap2 > low2) {
          visit(item);
        }
      }
    }
  };
  if (near_item < 0) {
    walk(0);
    return beyond2;
  }
  // The item's leaf, then the other child of each node above it: every node of the tree lies under exactly one.
  int32_t n = leaf_of_[static_cast<size_t>(near_item)];
  walk(n);
  for (int32_t up = nodes_[static_cast<size_t>(n)].up; up >= 0; n = up, up = nodes_[static_cast<size_t>(n)].up) {
    const Node& parent = nodes_[static_cast<size_t>(up)];
    walk(parent.left == n ? parent.right : parent.left);
  }
  return beyond2;
}

}  // namespace varnholt
