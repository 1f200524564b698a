#include "project/neighbour_lists.h"

#include <algorithm>
#include <cmath>
#include <queue>
#include <utility>
#include <vector>

#include "geometry/units.h"
#include "project/plan_search.h"

namespace varnholt {
namespace {

constexpr int32_t kLeafEntries = 8;

// The lists through a tree of the entries' centres, searched nearest node first. A key is the rounded distance of
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

  int32_t Build(int32_t first, int32_t last);
  // The least key any entry of the node can have for g, penalties left out.
  int64_t LeastKey(const Node& node, const Entry& g) const;
  // Keeps in `kept` the kNeighbourCount least (key, entry) of g; with `unpenalised` only among the entries that
  // carry no penalty for g.
  void Search(int32_t g, bool unpenalised, std::priority_queue<Keyed>& kept) const;
  void Work(int32_t g);

  std::vector<Entry> entries_;
  std::vector<int32_t> order_;
  std::vector<Node> nodes_;
  std::vector<int32_t> list_start_;  // -1 until worked out; each list holds up to kNeighbourCount entries
  std::vector<uint8_t> list_size_;
  std::vector<int32_t> lists_;
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

int64_t NeighbourTree::LeastKey(const Node& node, const Entry& g) const {
  const auto gap = [](int64_t v, int64_t lo, int64_t hi) {
    return static_cast<double>(v < lo ? lo - v : (v > hi ? v - hi : 0));
  };
  // The key rounds a distance at least this one, measured the same way, and rounding keeps the order.
  const double dx = gap(g.centre.x, node.min_x, node.max_x), dy = gap(g.centre.y, node.min_y, node.max_y);
  return static_cast<int64_t>(nearest(std::sqrt(dx * dx + dy * dy)));
}

void NeighbourTree::Search(int32_t g, bool unpenalised, std::priority_queue<Keyed>& kept) const {
  const Entry& eg = entries_[static_cast<size_t>(g)];
  using Open = std::pair<int64_t, int32_t>;  // (least key, node), nearest first
  std::priority_queue<Open, std::vector<Open>, std::greater<>> open;
  const auto push = [&](int32_t n) {
    const Node& node = nodes_[static_cast<size_t>(n)];
    if (unpenalised && node.max_depth < eg.depth) return;  // only shallower entries there
    open.push({LeastKey(node, eg), n});
  };
  push(0);
  while (!open.empty()) {
    const auto [least, n] = open.top();
    open.pop();
    // A key above the largest kept one cannot enter (an equal one still can, from an earlier entry).
    if (kept.size() == kNeighbourCount && least > kept.top().first) break;
    const Node& node = nodes_[static_cast<size_t>(n)];
    if (node.left >= 0) {
      push(node.left);
      push(node.right);
      continue;
    }
    for (int32_t k = node.first; k < node.last; ++k) {
      const int32_t j = order_[static_cast<size_t>(k)];
      const Entry& ej = entries_[static_cast<size_t>(j)];
      const bool penalised = ej.depth < eg.depth || ej.parent == g;
      if (unpenalised && penalised) continue;
      const Keyed keyed{NeighbourKeyOf(eg.centre, eg.depth, g, ej.centre, ej.depth, ej.parent), j};
      if (kept.size() < kNeighbourCount) {
        kept.push(keyed);
      } else if (keyed < kept.top()) {
        kept.pop();
        kept.push(keyed);
      }
    }
  }
}

void NeighbourTree::Work(int32_t g) {
  std::priority_queue<Keyed> kept;  // the largest kept (key, entry) on top
  Search(g, true, kept);
  // Every penalised key is at least the penalty: when the entries without one fill the list below it, they are
  // the list. Otherwise (few of them, or distances beyond the penalty) every entry is searched.
  if (kept.size() < kNeighbourCount || kept.top().first >= kNeighbourPenalty) {
    kept = {};
    Search(g, false, kept);
  }
  std::vector<Keyed> sorted;
  while (!kept.empty()) {
    sorted.push_back(kept.top());
    kept.pop();
  }
  std::sort(sorted.begin(), sorted.end());
  list_start_[static_cast<size_t>(g)] = static_cast<int32_t>(lists_.size());
  list_size_[static_cast<size_t>(g)] = static_cast<uint8_t>(sorted.size());
  for (const Keyed& k : sorted) lists_.push_back(k.second);
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
