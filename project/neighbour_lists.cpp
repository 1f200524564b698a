#include "project/neighbour_lists.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>
#include <vector>

#include "project/plan_search.h"

namespace varnholt {
namespace {

constexpr int32_t kLeafEntries = 16;

// The lists through a tree of the entries' centres, searched nearer half first. A key is the rounded distance of
// the centres plus a penalty for a shallower entry and for a child; the entries that carry no penalty are searched
// first, through the nodes that hold one deep enough, and the rest only when those are too few.
class NeighbourTree final : public NeighbourLists {
 public:
  explicit NeighbourTree(const FigureList& figures);
  std::span<const int32_t> Of(int32_t g) override;

 private:
  // What a key reads of an entry, kept together so that a search does not visit the figures themselves.
  struct Entry {
    TPlotPoint centre;
    int32_t depth;
    int32_t parent;
  };
  struct Node {
    int32_t min_x, min_y, max_x, max_y;
    int32_t first, last;  // the entries order_[first, last)
    int32_t left = -1, right = -1;
    int32_t max_depth;
  };
  using Keyed = std::pair<int64_t, int32_t>;
  // The least (key, entry) pairs met so far, the largest on top of a heap.
  struct Kept {
    std::array<Keyed, kNeighbourCount> heap;
    size_t size = 0;
    bool full() const { return size == kNeighbourCount; }
    const Keyed& top() const { return heap[0]; }
    void Offer(const Keyed& keyed) {
      if (!full()) {
        heap[size++] = keyed;
        std::push_heap(heap.begin(), heap.begin() + static_cast<std::ptrdiff_t>(size));
      } else if (keyed < heap[0]) {
        std::pop_heap(heap.begin(), heap.end());
        heap[size - 1] = keyed;
        std::push_heap(heap.begin(), heap.end());
      }
    }
  };

  int32_t Build(int32_t first, int32_t last);
  // The square of the distance from g's centre to the node's box.
  static double GapSquared(const Node& node, const Entry& g) {
    const auto gap = [](int64_t v, int64_t lo, int64_t hi) {
      return static_cast<double>(v < lo ? lo - v : (v > hi ? v - hi : 0));
    };
    const double dx = gap(g.centre.x, node.min_x, node.max_x), dy = gap(g.centre.y, node.min_y, node.max_y);
    return dx * dx + dy * dy;
  }
  // Keeps in `kept` the kNeighbourCount least (key, entry) of g; with `unpenalised` only among the entries that
  // carry no penalty for g.
  void Search(int32_t g, bool unpenalised, Kept& kept);
  void Work(int32_t g);

  std::vector<Entry> entries_;
  std::vector<int32_t> order_;
  std::vector<Node> nodes_;
  std::vector<int32_t> list_start_;  // -1 until worked out; each list holds up to kNeighbourCount entries
  std::vector<uint8_t> list_size_;
  std::vector<int32_t> lists_;
  struct Walk {
    int32_t node;
    double gap2;  // the square of the gap between the node's box and the searched centre
  };
  std::vector<Walk> stack_;  // kept from one search to the next
};

NeighbourTree::NeighbourTree(const FigureList& figures)
    : order_(figures.size()), list_start_(figures.size(), -1), list_size_(figures.size(), 0) {
  entries_.reserve(figures.size());
  for (const auto& f : figures) entries_.push_back({{f->center_x, f->center_y}, f->depth, f->parent});
  for (size_t i = 0; i < order_.size(); ++i) order_[i] = static_cast<int32_t>(i);
  if (!entries_.empty()) {
    nodes_.reserve(2 * entries_.size() / kLeafEntries + 2);
    Build(0, static_cast<int32_t>(entries_.size()));
  }
}

int32_t NeighbourTree::Build(int32_t first, int32_t last) {
  const auto index = static_cast<int32_t>(nodes_.size());
  nodes_.push_back({});
  Node node{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN, first, last, -1, -1, INT32_MIN};
  for (int32_t k = first; k < last; ++k) {
    const Entry& e = entries_[static_cast<size_t>(order_[static_cast<size_t>(k)])];
    node.min_x = std::min(node.min_x, e.centre.x);
    node.min_y = std::min(node.min_y, e.centre.y);
    node.max_x = std::max(node.max_x, e.centre.x);
    node.max_y = std::max(node.max_y, e.centre.y);
    node.max_depth = std::max(node.max_depth, e.depth);
  }
  if (last - first > kLeafEntries) {
    const bool by_x = int64_t{node.max_x} - node.min_x >= int64_t{node.max_y} - node.min_y;
    const int32_t middle = first + (last - first) / 2;
    std::nth_element(order_.begin() + first, order_.begin() + middle, order_.begin() + last,
                     [this, by_x](int32_t a, int32_t b) {
                       const TPlotPoint& pa = entries_[static_cast<size_t>(a)].centre;
                       const TPlotPoint& pb = entries_[static_cast<size_t>(b)].centre;
                       return by_x ? pa.x < pb.x : pa.y < pb.y;
                     });
    node.left = Build(first, middle);
    node.right = Build(middle, last);
  }
  nodes_[static_cast<size_t>(index)] = node;
  return index;
}

void NeighbourTree::Search(int32_t g, bool unpenalised, Kept& kept) {
  const Entry& eg = entries_[static_cast<size_t>(g)];
  // A node can hold a key no greater than the largest kept one only if its gap is at most that key plus one (the
  // key rounds a distance at least the gap; equal keys may still enter, from earlier entries).
  const auto may_hold = [&](const Node& node, double gap2) {
    if (unpenalised && node.max_depth < eg.depth) return false;  // only shallower entries there
    if (!kept.full()) return true;
    const double reach = static_cast<double>(kept.top().first) + 1.0;
    return gap2 <= reach * reach;
  };
  // Nodes still to walk with their gaps, the one pushed last walked next: at most one more node than the tree
  // has levels.
  std::vector<Walk>& stack = stack_;
  stack.clear();
  stack.push_back({0, GapSquared(nodes_[0], eg)});
  while (!stack.empty()) {
    const Walk next = stack.back();
    stack.pop_back();
    const Node& node = nodes_[static_cast<size_t>(next.node)];
    if (!may_hold(node, next.gap2)) continue;
    if (node.left >= 0) {
      // The nearer child first: its entries fill the list early and let the farther one be passed over.
      const Walk left{node.left, GapSquared(nodes_[static_cast<size_t>(node.left)], eg)};
      const Walk right{node.right, GapSquared(nodes_[static_cast<size_t>(node.right)], eg)};
      const bool left_first = left.gap2 <= right.gap2;
      stack.push_back(left_first ? right : left);
      stack.push_back(left_first ? left : right);
      continue;
    }
    for (int32_t k = node.first; k < node.last; ++k) {
      const int32_t j = order_[static_cast<size_t>(k)];
      const Entry& ej = entries_[static_cast<size_t>(j)];
      const bool penalised = ej.depth < eg.depth || ej.parent == g;
      if (unpenalised && penalised) continue;
      if (kept.full()) {
        // Farther than the largest kept key by a whole unit: its key is larger, whatever the rounding.
        const double dx = static_cast<double>(ej.centre.x) - eg.centre.x, dy = static_cast<double>(ej.centre.y) - eg.centre.y;
        const double reach = static_cast<double>(kept.top().first - (penalised ? kNeighbourPenalty : 0)) + 1.0;
        if (reach < 0.0 || dx * dx + dy * dy > reach * reach) continue;
      }
      kept.Offer({NeighbourKeyOf(eg.centre, eg.depth, g, ej.centre, ej.depth, ej.parent), j});
    }
  }
}

void NeighbourTree::Work(int32_t g) {
  Kept kept;
  Search(g, true, kept);
  // Every penalised key is at least the penalty: when the entries without one fill the list below it, they are
  // the list. Otherwise (few of them, or distances beyond the penalty) every entry is searched.
  if (!kept.full() || kept.top().first >= kNeighbourPenalty) {
    kept = Kept{};
    Search(g, false, kept);
  }
  std::sort(kept.heap.begin(), kept.heap.begin() + static_cast<std::ptrdiff_t>(kept.size));
  list_start_[static_cast<size_t>(g)] = static_cast<int32_t>(lists_.size());
  list_size_[static_cast<size_t>(g)] = static_cast<uint8_t>(kept.size);
  for (size_t k = 0; k < kept.size; ++k) lists_.push_back(kept.heap[k].second);
}

std::span<const int32_t> NeighbourTree::Of(int32_t g) {
  if (g < 0 || static_cast<size_t>(g) >= entries_.size()) return {};
  if (list_start_[static_cast<size_t>(g)] < 0) Work(g);
  return {lists_.data() + list_start_[static_cast<size_t>(g)], list_size_[static_cast<size_t>(g)]};
}

}  // namespace

std::unique_ptr<NeighbourLists> MakeNeighbourLists(const FigureList& figures) {
  return std::make_unique<NeighbourTree>(figures);
}

}  // namespace varnholt
