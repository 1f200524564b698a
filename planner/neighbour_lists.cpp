#include "planner/neighbour_lists.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <utility>
#include <vector>

#include "planner/plan_search.h"

namespace varnholt {
namespace {

constexpr int32_t kLeafEntries = 16;

// What the lists read of one entry, taken when they are made: later changes of the figures do not reach them.
struct EntryFacts {
  int32_t x, y, depth, parent;
  bool closed;
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
    const size_t from = out.size();
    out.resize(from + size_);
    for (size_t k = 0; k < size_; ++k) out[from + k] = static_cast<int32_t>(sorted_[k + 1] & 0x7fffffffu);
  }

 private:
  // 0, then the pairs; nothing past the pairs is read, so only the 0 is set.
  std::array<uint64_t, kNeighbourCount + 1> sorted_ = ZeroFirst();
  static std::array<uint64_t, kNeighbourCount + 1> ZeroFirst() {
    std::array<uint64_t, kNeighbourCount + 1> sorted;
    sorted[0] = 0;
    return sorted;
  }
  size_t size_ = 0;
  double reach2_ = std::numeric_limits<double>::infinity();
};

// The lists worked out so far, each up to kNeighbourCount entries, by entry.
class ListStore {
 public:
  explicit ListStore(size_t entries) : start_(entries, -1), size_(entries, 0) {
    // Room for every list at once: the lists fill it in the order they are asked for without ever being copied to
    // a larger block, and the pages of lists nobody asks for are never touched.
    lists_.reserve(entries * kNeighbourCount);
  }
  size_t entries() const { return start_.size(); }
  bool Has(int32_t g) const { return start_[static_cast<size_t>(g)] >= 0; }
  std::span<const int32_t> Of(int32_t g) const {
    return {lists_.data() + start_[static_cast<size_t>(g)], size_[static_cast<size_t>(g)]};
  }
  void Put(int32_t g, const Kept& kept) {
    start_[static_cast<size_t>(g)] = static_cast<int32_t>(lists_.size());
    size_[static_cast<size_t>(g)] = static_cast<uint8_t>(kept.size());
    kept.AppendSorted(lists_);
  }

 private:
  std::vector<int32_t> start_;  // -1 until worked out
  std::vector<uint8_t> size_;
  std::vector<int32_t> lists_;
};

// The lists through a tree of the entries' centres. A key is the rounded distance of the centres plus a penalty for
// a shallower entry and for a child; the entries that carry no penalty are searched first, for all the closed
// entries of a leaf at once through the nodes that hold one deep enough, and the rest only when those are too few.
class NeighbourTree final : public NeighbourLists {
 public:
  explicit NeighbourTree(const std::vector<EntryFacts>& facts);
  std::span<const int32_t> Of(int32_t g) override;
  // Whether g's list has been worked out (a leaf works out the lists of its closed entries at once).
  bool Has(int32_t g) const { return lists_.Has(g); }

 private:
  struct Node {
    int32_t min_x, min_y, max_x, max_y;
    int32_t first, last;  // the entries at tree positions [first, last)
    int32_t left = -1, right = -1;
    int32_t max_depth;
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
  ListStore lists_;
  struct Walk {
    int32_t node;
    double gap2;  // the square of the gap between the node's box and the searched centre (or centres' box)
  };
  std::vector<Walk> walk_;  // the nodes still to walk, kept from one search to the next
};

NeighbourTree::NeighbourTree(const std::vector<EntryFacts>& facts) : leaf_of_(facts.size(), -1), lists_(facts.size()) {
  const size_t n = facts.size();
  std::vector<Centre> centres(n);
  for (size_t i = 0; i < n; ++i) {
    const EntryFacts& f = facts[i];
    centres[i] = {f.x, f.y, f.depth, static_cast<int32_t>(i)};
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
    const EntryFacts& f = facts[static_cast<size_t>(c.entry)];
    closed_[k] = f.closed ? 1 : 0;
    xs_[k] = static_cast<double>(c.x);
    ys_[k] = static_cast<double>(c.y);
    depths_[k] = c.depth;
    parents_[k] = f.parent;
    entries_[k] = c.entry;
    position_[static_cast<size_t>(c.entry)] = static_cast<int32_t>(k);
  }
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
  lists_.Put(g, kept);
}

void NeighbourTree::WorkLeaf(int32_t g) {
  const auto g_at = static_cast<size_t>(position_[static_cast<size_t>(g)]);
  const Node& leaf = nodes_[static_cast<size_t>(leaf_of_[g_at])];
  // The entries worked out together, by tree position.
  std::array<size_t, kLeafEntries> at{};
  size_t count = 0;
  for (auto k = static_cast<size_t>(leaf.first); k < static_cast<size_t>(leaf.last); ++k) {
    if (k == g_at || (closed_[k] && !lists_.Has(entries_[k]))) at[count++] = k;
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
  if (g < 0 || static_cast<size_t>(g) >= lists_.entries()) return {};
  if (!lists_.Has(g)) WorkLeaf(g);
  return lists_.Of(g);
}

// The lists through a uniform grid of the entries' centres, for centres spread evenly enough that a few cells
// around an entry hold its list. Each list is searched on its own, ring by ring of cells outwards from the entry's
// cell, so the nearest candidates come first and few of those offered are displaced later. Lists the rings cannot
// finish within a bounded number of cells (a sparse corner of the drawing, or too few entries without a penalty)
// are worked out by the tree, built the first time one is needed.
class NeighbourGrid final : public NeighbourLists {
 public:
  // The grid of these entries, or nothing when their centres crowd into too few cells.
  static std::unique_ptr<NeighbourGrid> Make(const std::vector<EntryFacts>& facts);
  // The grid of these entries with cells of the given side; with `only_if_sparse`, nothing when their centres
  // crowd into too few cells.
  static std::unique_ptr<NeighbourGrid> MakeWithSide(const std::vector<EntryFacts>& facts, int64_t side,
                                                     bool only_if_sparse);
  std::span<const int32_t> Of(int32_t g) override;

 private:
  NeighbourGrid(int64_t min_x, int64_t min_y, int64_t side, int32_t columns, int32_t rows, size_t entries)
      : min_x_(min_x), min_y_(min_y), side_(side), columns_(columns), rows_(rows), lists_(entries) {}
  // Keeps in `kept` the least unpenalised (key, entry) of g; false when that takes more than kMostCellsMet cells.
  bool SearchRings(int32_t g, Kept& kept) const;
  // The facts the grid was made from, for the tree.
  std::vector<EntryFacts> Facts() const;

  int64_t min_x_, min_y_, side_;  // cell (cx, cy) holds the centres of [min + c * side, min + (c + 1) * side)
  int32_t columns_, rows_;
  std::vector<int32_t> cell_start_;  // the entries of cell cy * columns + cx are at grid positions [start, next)
  // The entries in grid order, deepest first within a cell: a search stops at the first shallower centre.
  std::vector<double> xs_, ys_;
  std::vector<int32_t> depths_, parents_, entries_;
  std::vector<int32_t> position_;  // entry -> grid position
  std::vector<uint8_t> closed_;    // by entry
  ListStore lists_;
  std::unique_ptr<NeighbourTree> tree_;
};

// The mean number of centres a cell is sized for, the most cells per entry, and the most a search meets before it
// leaves the list to the tree.
constexpr double kCentresPerCell = 2.0;
constexpr int64_t kMostCellsPerEntry = 4;
constexpr int64_t kMostCellsMet = 400;
// The grid is used while the mean, over the entries, of the centres sharing an entry's cell stays below this:
// crowded cells (clusters, centres along one line across a wide drawing) are left to the tree.
constexpr double kMostCellMates = 8.0;

// The box of the entries' centres.
struct CentreBounds {
  int64_t min_x = INT64_MAX, min_y = INT64_MAX, max_x = INT64_MIN, max_y = INT64_MIN;
  explicit CentreBounds(const std::vector<EntryFacts>& facts) {
    for (const EntryFacts& f : facts) {
      min_x = std::min<int64_t>(min_x, f.x);
      min_y = std::min<int64_t>(min_y, f.y);
      max_x = std::max<int64_t>(max_x, f.x);
      max_y = std::max<int64_t>(max_y, f.y);
    }
  }
  int64_t width() const { return max_x - min_x + 1; }  // at most 2^32
  int64_t height() const { return max_y - min_y + 1; }
  int64_t cells(int64_t side) const { return ((width() + side - 1) / side) * ((height() + side - 1) / side); }
  // The side, from `side` on, widened by quarters until the grid has at most `most` cells.
  int64_t SideWithin(int64_t side, int64_t most) const {
    while (cells(side) > most) side += side / 4 + 1;
    return side;
  }
};

std::unique_ptr<NeighbourGrid> NeighbourGrid::Make(const std::vector<EntryFacts>& facts) {
  const size_t n = facts.size();
  if (n < 2 * kNeighbourCount) return nullptr;  // a few leaves of the tree hold them all
  const CentreBounds bounds(facts);
  const auto side = std::max<int64_t>(
      1, static_cast<int64_t>(std::ceil(std::sqrt(static_cast<double>(bounds.width()) *
                                                  static_cast<double>(bounds.height()) * kCentresPerCell /
                                                  static_cast<double>(n)))));
  return MakeWithSide(facts, bounds.SideWithin(side, kMostCellsPerEntry * static_cast<int64_t>(n)), true);
}

std::unique_ptr<NeighbourGrid> NeighbourGrid::MakeWithSide(const std::vector<EntryFacts>& facts, int64_t side,
                                                           bool only_if_sparse) {
  const size_t n = facts.size();
  const CentreBounds bounds(facts);
  const int64_t min_x = bounds.min_x, min_y = bounds.min_y, width = bounds.width(), height = bounds.height();
  const auto columns = static_cast<int32_t>((width + side - 1) / side);
  const auto rows = static_cast<int32_t>((height + side - 1) / side);
  std::unique_ptr<NeighbourGrid> grid(new NeighbourGrid(min_x, min_y, side, columns, rows, n));
  const auto cell_of = [&](const EntryFacts& f) {
    return static_cast<size_t>((f.y - min_y) / side * columns + (f.x - min_x) / side);
  };
  std::vector<int32_t>& start = grid->cell_start_;
  start.assign(static_cast<size_t>(columns) * static_cast<size_t>(rows) + 1, 0);
  for (const EntryFacts& f : facts) ++start[cell_of(f) + 1];
  double mates = 0.0;
  for (size_t c = 1; c < start.size(); ++c) {
    mates += static_cast<double>(start[c]) * static_cast<double>(start[c]);
    start[c] += start[c - 1];
  }
  if (only_if_sparse && mates > kMostCellMates * static_cast<double>(n)) return nullptr;
  grid->xs_.resize(n);
  grid->ys_.resize(n);
  grid->depths_.resize(n);
  grid->parents_.resize(n);
  grid->entries_.resize(n);
  grid->position_.resize(n);
  grid->closed_.resize(n);
  std::vector<int32_t> next(start.begin(), start.end() - 1);
  for (size_t e = 0; e < n; ++e) {
    const EntryFacts& f = facts[e];
    const auto at = static_cast<size_t>(next[cell_of(f)]++);
    // Deepest first within the cell: move the shallower centres placed so far one up. The cells are small (the
    // check above bounds the sum of their squared sizes), so this stays linear in the entries; a grid made without
    // that check (for tests) pays the square of its fullest cell.
    size_t k = at;
    for (; k > static_cast<size_t>(start[cell_of(f)]) && grid->depths_[k - 1] < f.depth; --k) {
      grid->xs_[k] = grid->xs_[k - 1];
      grid->ys_[k] = grid->ys_[k - 1];
      grid->depths_[k] = grid->depths_[k - 1];
      grid->parents_[k] = grid->parents_[k - 1];
      grid->entries_[k] = grid->entries_[k - 1];
      grid->position_[static_cast<size_t>(grid->entries_[k])] = static_cast<int32_t>(k);
    }
    grid->xs_[k] = f.x;
    grid->ys_[k] = f.y;
    grid->depths_[k] = f.depth;
    grid->parents_[k] = f.parent;
    grid->entries_[k] = static_cast<int32_t>(e);
    grid->position_[e] = static_cast<int32_t>(k);
    grid->closed_[e] = f.closed ? 1 : 0;
  }
  return grid;
}

bool NeighbourGrid::SearchRings(int32_t g, Kept& kept) const {
  const auto at = static_cast<size_t>(position_[static_cast<size_t>(g)]);
  const double gx = xs_[at], gy = ys_[at];
  const auto ix = static_cast<int64_t>(gx), iy = static_cast<int64_t>(gy);
  const int32_t g_depth = depths_[at];
  const int64_t cx = (ix - min_x_) / side_, cy = (iy - min_y_) / side_;
  int64_t met = 0;
  // Offers the centres of one cell, unless its box lies beyond the reach (the gap to the box is at most the
  // distance to any centre in it, both whole numbers squared the same way).
  const auto meet = [&](int64_t x, int64_t y) {
    ++met;
    const size_t cell = static_cast<size_t>(y * columns_ + x);
    const auto first = static_cast<size_t>(cell_start_[cell]), last = static_cast<size_t>(cell_start_[cell + 1]);
    if (first == last) return;
    if (kept.full()) {
      const int64_t lo_x = min_x_ + x * side_, lo_y = min_y_ + y * side_;
      const int64_t gap_x = ix < lo_x ? lo_x - ix : std::max<int64_t>(0, ix - (lo_x + side_ - 1));
      const int64_t gap_y = iy < lo_y ? lo_y - iy : std::max<int64_t>(0, iy - (lo_y + side_ - 1));
      const auto dx = static_cast<double>(gap_x), dy = static_cast<double>(gap_y);
      if (dx * dx + dy * dy > kept.reach2()) return;
    }
    for (size_t k = first; k < last; ++k) {
      if (depths_[k] < g_depth) break;  // the rest of the cell is shallower still
      const double dx = xs_[k] - gx, dy = ys_[k] - gy;
      const double distance2 = dx * dx + dy * dy;
      if (distance2 > kept.reach2() || parents_[k] == g) continue;
      kept.Offer(NeighbourKeyOfSquared(distance2, false, false), entries_[k]);
    }
  };
  for (int64_t ring = 0;; ++ring) {
    const int64_t x0 = cx - ring, x1 = cx + ring, y0 = cy - ring, y1 = cy + ring;
    const int64_t from_x = std::max<int64_t>(x0, 0), to_x = std::min<int64_t>(x1, columns_ - 1);
    if (y0 >= 0) {
      for (int64_t x = from_x; x <= to_x; ++x) meet(x, y0);
    }
    if (y1 < rows_ && ring > 0) {
      for (int64_t x = from_x; x <= to_x; ++x) meet(x, y1);
    }
    const int64_t from_y = std::max<int64_t>(y0 + 1, 0), to_y = std::min<int64_t>(y1 - 1, rows_ - 1);
    if (x0 >= 0 && ring > 0) {
      for (int64_t y = from_y; y <= to_y; ++y) meet(x0, y);
    }
    if (x1 < columns_ && ring > 0) {
      for (int64_t y = from_y; y <= to_y; ++y) meet(x1, y);
    }
    // Every centre not yet met lies beyond one of the square's sides that are inside the grid; the nearest such
    // side bounds their distance from below.
    int64_t beyond = INT64_MAX;
    if (x0 > 0) beyond = std::min(beyond, ix - (min_x_ + x0 * side_ - 1));
    if (y0 > 0) beyond = std::min(beyond, iy - (min_y_ + y0 * side_ - 1));
    if (x1 < columns_ - 1) beyond = std::min(beyond, min_x_ + (x1 + 1) * side_ - ix);
    if (y1 < rows_ - 1) beyond = std::min(beyond, min_y_ + (y1 + 1) * side_ - iy);
    if (beyond == INT64_MAX) return true;  // the whole grid met
    const auto bound = static_cast<double>(beyond);
    if (kept.full() && bound * bound > kept.reach2()) return true;
    if (met > kMostCellsMet) return false;
  }
}

std::vector<EntryFacts> NeighbourGrid::Facts() const {
  std::vector<EntryFacts> facts(entries_.size());
  for (size_t k = 0; k < entries_.size(); ++k) {
    const auto e = static_cast<size_t>(entries_[k]);
    facts[e] = {static_cast<int32_t>(xs_[k]), static_cast<int32_t>(ys_[k]), depths_[k], parents_[k], closed_[e] != 0};
  }
  return facts;
}

std::span<const int32_t> NeighbourGrid::Of(int32_t g) {
  if (g < 0 || static_cast<size_t>(g) >= lists_.entries()) return {};
  if (lists_.Has(g)) return lists_.Of(g);
  // A list the rings could not finish is the tree's, asked for again by every filter test of a join.
  if (tree_ && tree_->Has(g)) return tree_->Of(g);
  Kept kept;
  // Every penalised key is at least the penalty: when the entries without one fill the list below it, they are
  // the list; otherwise the tree searches every entry.
  if (SearchRings(g, kept) && kept.full() && kept.top_key() < kNeighbourPenalty) {
    lists_.Put(g, kept);
    return lists_.Of(g);
  }
  if (!tree_) tree_ = std::make_unique<NeighbourTree>(Facts());
  return tree_->Of(g);
}

std::vector<EntryFacts> FactsOf(const FigureList& figures) {
  std::vector<EntryFacts> facts(figures.size());
  for (size_t i = 0; i < figures.size(); ++i) {
    const tfigura& f = *figures[i];
    facts[i] = {f.center_x, f.center_y, f.depth, f.parent, f.open == 0};
  }
  return facts;
}

}  // namespace

std::unique_ptr<NeighbourLists> MakeNeighbourLists(const FigureList& figures) {
  const std::vector<EntryFacts> facts = FactsOf(figures);
  if (auto grid = NeighbourGrid::Make(facts)) return grid;
  return std::make_unique<NeighbourTree>(facts);
}

std::unique_ptr<NeighbourLists> MakeGridNeighbourLists(const FigureList& figures, int64_t cell_side) {
  if (figures.empty()) return MakeNeighbourLists(figures);
  const std::vector<EntryFacts> facts = FactsOf(figures);
  // No more cells than a few per entry and a million besides, whatever side is asked for.
  const CentreBounds bounds(facts);
  const int64_t most = kMostCellsPerEntry * static_cast<int64_t>(facts.size()) + (int64_t{1} << 20);
  return NeighbourGrid::MakeWithSide(facts, bounds.SideWithin(std::max<int64_t>(cell_side, 1), most), false);
}

}  // namespace varnholt
