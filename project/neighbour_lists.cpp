#include "project/neighbour_lists.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <utility>
#include <vector>

#include "project/plan_search.h"

namespace varnholt {
namespace {

constexpr int32_t kLeafEntries = 16;

// The lists through a tree of the entries' centres. A key is the rounded distance of the centres plus a penalty for
// a shallower entry and for a child; the entries that carry no penalty are searched first, for all the closed
// entries of a leaf at once through the nodes that hold one deep enough, and the rest only when those are too few.
class NeighbourTree final : public NeighbourLists {
 public:
  explicit NeighbourTree(const FigureList& figures);
  std::span<const int32_t> Of(int32_t g) override;

 private:
  struct Node {
    int32_t min_x, min_y, max_x, max_y;
    int32_t first, last;  // the entries at tree positions [first, last)
    int32_t left = -1, right = -1;
    int32_t max_depth;
  };
  // The least (key, entry) pairs met so far, in ascending order. A pair is kept as one number, the key above the
  // entry's 31 bits: keys stay below 2^33 (the rounded distance of two int32 points is below 6.1e9, the two
  // penalties add 1e9), so the number orders as the pair does and fits 64 bits. An insertion moves the kept pairs
  // above it, at most 21, and the list needs no sort at the end: cheaper here than a heap sorted at the end.
  class Kept {
   public:
    bool full() const { return size_ == kNeighbourCount; }
    // The square of the distance beyond which a key exceeds the largest kept one by a whole unit, whatever the
    // rounding; infinite until the list is full.
    double reach2() const { return reach2_; }
    void Offer(int64_t key, int32_t entry) {
      const uint64_t packed = (static_cast<uint64_t>(key) << 31) | static_cast<uint32_t>(entry);
      size_t at = size_ + 1;  // one past the pairs, which begin at 1
      if (full()) {
        if (packed >= sorted_[size_]) return;
        at = size_;  // the largest drops out
      } else {
        ++size_;
      }
      // The 0 before the pairs ends the loop: no pair is below it.
      for (; sorted_[at - 1] > packed; --at) sorted_[at] = sorted_[at - 1];
      sorted_[at] = packed;
      if (full()) {
        const double reach = static_cast<double>(top_key()) + 1.0;
        reach2_ = reach * reach;
      }
    }
    int64_t top_key() const { return static_cast<int64_t>(sorted_[size_] >> 31); }
    size_t size() const { return size_; }
    // The kept entries by ascending (key, entry).
    void AppendSorted(std::vector<int32_t>& out) const {
      for (size_t k = 1; k <= size_; ++k) out.push_back(static_cast<int32_t>(sorted_[k] & 0x7fffffffu));
    }

   private:
    std::array<uint64_t, kNeighbourCount + 1> sorted_{};  // 0, then the pairs
    size_t size_ = 0;
    double reach2_ = std::numeric_limits<double>::infinity();
  };

  // What the tree is built from, one entry's centre, depth and number side by side.
  struct Centre {
    int32_t x, y, depth, entry;
  };
  // Builds the node of centres [first, last) and its children; a leaf's centres end up deepest first.
  int32_t Build(std::vector<Centre>& centres, int32_t first, int32_t last);
  // The square of the distance from (x, y) to the node's box.
  static double GapSquared(const Node& node, double x, double y) {
    const auto gap = [](double v, int32_t lo, int32_t hi) {
      return v < lo ? lo - v : (v > hi ? v - hi : 0.0);
    };
    const double dx = gap(x, node.min_x, node.max_x), dy = gap(y, node.min_y, node.max_y);
    return dx * dx + dy * dy;
  }
  // Keeps in `kept` the kNeighbourCount least (key, entry) of g among every entry.
  void Search(int32_t g, Kept& kept);
  // Works out the lists of g and of the closed entries without a list in g's leaf together: the tree's leaves are
  // met once for all of them, the own leaf first and then outwards. Open entries are seldom asked for their lists (joins
  // between closed figures ask), so theirs are worked out only when asked.
  void WorkLeaf(int32_t g);
  // Stores g's list from the least unpenalised keys found for it, searching every entry when those are too few.
  void Keep(int32_t g, Kept& unpenalised);

  // The entries in the tree's order, what a key reads of each kept side by side: a leaf is one run of them.
  std::vector<double> xs_, ys_;
  std::vector<int32_t> depths_, parents_, entries_;
  std::vector<int32_t> position_;  // entry -> tree position
  std::vector<uint8_t> closed_;    // by tree position
  std::vector<int32_t> leaf_of_;   // tree position -> its leaf
  std::vector<Node> nodes_;
  std::vector<int32_t> list_start_;  // -1 until worked out; each list holds up to kNeighbourCount entries
  std::vector<uint8_t> list_size_;
  std::vector<int32_t> lists_;
  struct Walk {
    int32_t node;
    double gap2;  // the square of the gap between the node's box and the searched centre (or centres' box)
  };
  std::vector<Walk> walk_;  // the nodes still to walk, kept from one search to the next
};

NeighbourTree::NeighbourTree(const FigureList& figures)
    : leaf_of_(figures.size(), -1), list_start_(figures.size(), -1), list_size_(figures.size(), 0) {
  const size_t n = figures.size();
  std::vector<Centre> centres(n);
  for (size_t i = 0; i < n; ++i) {
    const tfigura& f = *figures[i];
    centres[i] = {f.center_x, f.center_y, f.depth, static_cast<int32_t>(i)};
  }
  if (n > 0) {
    nodes_.reserve(2 * n / kLeafEntries + 2);
    Build(centres, 0, static_cast<int32_t>(n));
  }
  xs_.resize(n);
  ys_.resize(n);
  depths_.resize(n);
  parents_.resize(n);
  entries_.resize(n);
  position_.resize(n);
  closed_.resize(n);
  for (size_t k = 0; k < n; ++k) {
    const Centre& c = centres[k];
    const tfigura& f = *figures[static_cast<size_t>(c.entry)];
    closed_[k] = f.open == 0 ? 1 : 0;
    xs_[k] = static_cast<double>(c.x);
    ys_[k] = static_cast<double>(c.y);
    depths_[k] = c.depth;
    parents_[k] = f.parent;
    entries_[k] = c.entry;
    position_[static_cast<size_t>(c.entry)] = static_cast<int32_t>(k);
  }
  // Room for every list at once: the lists fill it in the order they are asked for without ever being copied to
  // a larger block, and the pages of lists nobody asks for are never touched.
  lists_.reserve(n * kNeighbourCount);
}

int32_t NeighbourTree::Build(std::vector<Centre>& centres, int32_t first, int32_t last) {
  const auto index = static_cast<int32_t>(nodes_.size());
  nodes_.push_back({});
  Node node{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN, first, last, -1, -1, INT32_MIN};
  const auto begin = centres.begin() + first, end = centres.begin() + last;
  for (auto c = begin; c != end; ++c) {
    node.min_x = std::min(node.min_x, c->x);
    node.min_y = std::min(node.min_y, c->y);
    node.max_x = std::max(node.max_x, c->x);
    node.max_y = std::max(node.max_y, c->y);
    node.max_depth = std::max(node.max_depth, c->depth);
  }
  if (last - first > kLeafEntries) {
    const bool by_x = int64_t{node.max_x} - node.min_x >= int64_t{node.max_y} - node.min_y;
    const int32_t middle = first + (last - first) / 2;
    std::nth_element(begin, centres.begin() + middle, end, [by_x](const Centre& a, const Centre& b) {
      return by_x ? a.x < b.x : a.y < b.y;
    });
    node.left = Build(centres, first, middle);
    node.right = Build(centres, middle, last);
  } else {
    // Deepest first: a search for entries at least as deep as its own stops at the first shallower one.
    std::sort(begin, end, [](const Centre& a, const Centre& b) { return a.depth > b.depth; });
    for (int32_t k = first; k < last; ++k) leaf_of_[static_cast<size_t>(k)] = index;
  }
  nodes_[static_cast<size_t>(index)] = node;
  return index;
}

void NeighbourTree::Search(int32_t g, Kept& kept) {
  const auto at = static_cast<size_t>(position_[static_cast<size_t>(g)]);
  const double gx = xs_[at], gy = ys_[at];
  const int32_t g_depth = depths_[at];
  // Nodes still to walk with their gaps, the one pushed last walked next: at most one more node than the tree
  // has levels. A node can hold a key no greater than the largest kept one only if its gap is within the reach
  // (the key rounds a distance at least the gap; equal keys may still enter, from earlier entries).
  std::vector<Walk>& stack = walk_;
  stack.clear();
  stack.push_back({0, GapSquared(nodes_[0], gx, gy)});
  while (!stack.empty()) {
    const Walk next = stack.back();
    stack.pop_back();
    const Node& node = nodes_[static_cast<size_t>(next.node)];
    if (next.gap2 > kept.reach2()) continue;  // the reach has shrunk since the node was put on the stack
    if (node.left >= 0) {
      // The nearer child first: its entries fill the list early and let the farther one be passed over. A child
      // out of reach is not put on the stack at all.
      const Node& left_node = nodes_[static_cast<size_t>(node.left)];
      const Node& right_node = nodes_[static_cast<size_t>(node.right)];
      const Walk left{node.left, GapSquared(left_node, gx, gy)};
      const Walk right{node.right, GapSquared(right_node, gx, gy)};
      const bool left_first = left.gap2 <= right.gap2;
      const auto push = [&](const Walk& walk) {
        if (walk.gap2 <= kept.reach2()) stack.push_back(walk);
      };
      push(left_first ? right : left);
      push(left_first ? left : right);
      continue;
    }
    for (auto k = static_cast<size_t>(node.first); k < static_cast<size_t>(node.last); ++k) {
      const double dx = xs_[k] - gx, dy = ys_[k] - gy;
      const double distance2 = dx * dx + dy * dy;
      // Farther than the reach: its key is larger than every kept one (a penalty only adds to it).
      if (distance2 > kept.reach2()) continue;
      const bool shallower = depths_[k] < g_depth, child = parents_[k] == g;
      kept.Offer(NeighbourKeyOfSquared(distance2, shallower, child), entries_[k]);
    }
  }
}

void NeighbourTree::Keep(int32_t g, Kept& unpenalised) {
  // Every penalised key is at least the penalty: when the entries without one fill the list below it, they are
  // the list. Otherwise (few of them, or distances beyond the penalty) every entry is searched.
  Kept& kept = unpenalised;
  if (!kept.full() || kept.top_key() >= kNeighbourPenalty) {
    kept = Kept{};
    Search(g, kept);
  }
  list_start_[static_cast<size_t>(g)] = static_cast<int32_t>(lists_.size());
  list_size_[static_cast<size_t>(g)] = static_cast<uint8_t>(kept.size());
  kept.AppendSorted(lists_);
}

void NeighbourTree::WorkLeaf(int32_t g) {
  const auto g_at = static_cast<size_t>(position_[static_cast<size_t>(g)]);
  const Node& leaf = nodes_[static_cast<size_t>(leaf_of_[g_at])];
  // The entries worked out together, by tree position.
  std::array<size_t, kLeafEntries> at{};
  size_t count = 0;
  for (auto k = static_cast<size_t>(leaf.first); k < static_cast<size_t>(leaf.last); ++k) {
    if (k == g_at || (closed_[k] && list_start_[static_cast<size_t>(entries_[k])] < 0)) at[count++] = k;
  }
  std::array<Kept, kLeafEntries> kept;
  constexpr double kFar = std::numeric_limits<double>::infinity();
  int32_t least_depth = INT32_MAX;
  double min_x = kFar, min_y = kFar, max_x = -kFar, max_y = -kFar;
  for (size_t q = 0; q < count; ++q) {
    least_depth = std::min(least_depth, depths_[at[q]]);
    min_x = std::min(min_x, xs_[at[q]]);
    min_y = std::min(min_y, ys_[at[q]]);
    max_x = std::max(max_x, xs_[at[q]]);
    max_y = std::max(max_y, ys_[at[q]]);
  }
  // The square of the gap between a node's box and the box of the searched centres: no more than its gap to any
  // one of them, so a node beyond the reach of every searched centre holds no key that enters a list.
  const auto gap2 = [&](const Node& node) {
    const auto gap = [](double lo, double hi, int32_t node_lo, int32_t node_hi) {
      return hi < node_lo ? node_lo - hi : (lo > node_hi ? lo - node_hi : 0.0);
    };
    const double dx = gap(min_x, max_x, node.min_x, node.max_x), dy = gap(min_y, max_y, node.min_y, node.max_y);
    return dx * dx + dy * dy;
  };
  double reach2 = kFar;  // the largest reach of the searched centres
  const auto meet_leaf = [&](const Node& node) {
    double widest = 0.0;
    for (size_t q = 0; q < count; ++q) {
      const size_t a = at[q];
      const double qx = xs_[a], qy = ys_[a];
      const int32_t q_depth = depths_[a], q_entry = entries_[a];
      Kept& list = kept[q];
      if (GapSquared(node, qx, qy) <= list.reach2()) {
        for (auto k = static_cast<size_t>(node.first); k < static_cast<size_t>(node.last); ++k) {
          if (depths_[k] < q_depth) break;  // the rest of the leaf is shallower still
          const double dx = xs_[k] - qx, dy = ys_[k] - qy;
          const double distance2 = dx * dx + dy * dy;
          if (distance2 > list.reach2() || parents_[k] == q_entry) continue;
          list.Offer(NeighbourKeyOfSquared(distance2, false, false), entries_[k]);
        }
      }
      widest = std::max(widest, list.reach2());
    }
    reach2 = widest;
  };
  // The nodes from the root down to g's leaf: at most 32, each level halves the entries of the one above.
  std::array<int32_t, 64> path{};
  size_t levels = 0;
  for (int32_t n = 0;;) {
    path[levels++] = n;
    const Node& node = nodes_[static_cast<size_t>(n)];
    if (node.left < 0) break;
    n = g_at < static_cast<size_t>(nodes_[static_cast<size_t>(node.left)].last) ? node.left : node.right;
  }
  // The leaf itself first, then the other side of each node on the way up, the nearer child first within it:
  // the lists fill from the nearest leaves, and what lies beyond every searched centre's reach is passed over.
  meet_leaf(leaf);
  std::vector<Walk>& stack = walk_;
  // A node goes on the stack only within reach and holding an entry deep enough.
  const auto push = [&](const Walk& walk) {
    if (walk.gap2 <= reach2 && nodes_[static_cast<size_t>(walk.node)].max_depth >= least_depth) stack.push_back(walk);
  };
  const auto walk_of = [&](int32_t n) { return Walk{n, gap2(nodes_[static_cast<size_t>(n)])}; };
  for (size_t level = levels - 1; level-- > 0;) {
    const Node& up = nodes_[static_cast<size_t>(path[level])];
    stack.clear();
    push(walk_of(up.left == path[level + 1] ? up.right : up.left));
    while (!stack.empty()) {
      const Walk next = stack.back();
      stack.pop_back();
      if (next.gap2 > reach2) continue;  // the reach has shrunk since
      const Node& node = nodes_[static_cast<size_t>(next.node)];
      if (node.left < 0) {
        meet_leaf(node);
        continue;
      }
      const Walk left = walk_of(node.left), right = walk_of(node.right);
      const bool left_nearer = left.gap2 <= right.gap2;
      push(left_nearer ? right : left);
      push(left_nearer ? left : right);
    }
  }
  for (size_t q = 0; q < count; ++q) Keep(entries_[at[q]], kept[q]);
}

std::span<const int32_t> NeighbourTree::Of(int32_t g) {
  if (g < 0 || static_cast<size_t>(g) >= list_start_.size()) return {};
  if (list_start_[static_cast<size_t>(g)] < 0) WorkLeaf(g);
  return {lists_.data() + list_start_[static_cast<size_t>(g)], list_size_[static_cast<size_t>(g)]};
}

}  // namespace

std::unique_ptr<NeighbourLists> MakeNeighbourLists(const FigureList& figures) {
  return std::make_unique<NeighbourTree>(figures);
}

}  // namespace varnholt
