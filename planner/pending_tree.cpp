#include "planner/pending_tree.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace varnholt {
namespace {

constexpr int32_t kLeafItems = 8;

int64_t CentreTwice(int32_t lo, int32_t hi) { return int64_t{lo} + hi; }

PointBox Merged(const PointBox& a, const PointBox& b) {
  if (a.empty) return b;
  if (b.empty) return a;
  return {std::min(a.min_x, b.min_x), std::min(a.min_y, b.min_y), std::max(a.max_x, b.max_x),
          std::max(a.max_y, b.max_y), false};
}

}  // namespace

PendingTree::PendingTree(std::vector<Item> items)
    : items_(std::move(items)), order_(items_.size()), leaf_of_(items_.size(), -1), waiting_(items_.size(), 1) {
  if (items_.empty()) return;
  nodes_.reserve(2 * items_.size() / kLeafItems + 2);
  {
    // The splits read the items' centres side by side, not through the items.
    std::vector<Centre> centres(items_.size());
    for (size_t i = 0; i < items_.size(); ++i) {
      const PointBox& b = items_[i].box;
      centres[i] = {CentreTwice(b.min_x, b.max_x), CentreTwice(b.min_y, b.max_y), static_cast<int32_t>(i)};
    }
    Build(centres, 0, static_cast<int32_t>(items_.size()), -1);
    for (size_t k = 0; k < centres.size(); ++k) order_[k] = centres[k].item;
  }
  // A search first looks as far as the items' usual size (the median of the larger sides of a sample) or their
  // usual spacing, whichever is larger.
  std::vector<int64_t> sides;
  const size_t step = std::max<size_t>(1, items_.size() / 1024);
  for (size_t i = 0; i < items_.size(); i += step) {
    const PointBox& b = items_[i].box;
    sides.push_back(std::max(int64_t{b.max_x} - b.min_x, int64_t{b.max_y} - b.min_y));
  }
  std::nth_element(sides.begin(), sides.begin() + static_cast<std::ptrdiff_t>(sides.size() / 2), sides.end());
  const PointBox& all = nodes_[0].box;
  const double area = static_cast<double>(int64_t{all.max_x} - all.min_x) * static_cast<double>(int64_t{all.max_y} - all.min_y);
  const auto spacing = static_cast<int64_t>(std::sqrt(area / static_cast<double>(items_.size())));
  typical_side_ = std::max<int64_t>({16, sides[sides.size() / 2], std::min<int64_t>(spacing, int64_t{1} << 32)});
}

int32_t PendingTree::Build(std::vector<Centre>& centres, int32_t first, int32_t last, int32_t up) {
  const auto index = static_cast<int32_t>(nodes_.size());
  nodes_.push_back({});
  Node node;
  node.first = first;
  node.last = last;
  node.up = up;
  node.max_depth = INT32_MIN;
  if (last - first > kLeafItems) {
    // Split at the median centre along the wider spread of centres. A node's box and counts are its children's.
    int64_t lo_x = INT64_MAX, hi_x = INT64_MIN, lo_y = INT64_MAX, hi_y = INT64_MIN;
    for (int32_t k = first; k < last; ++k) {
      const Centre& c = centres[static_cast<size_t>(k)];
      lo_x = std::min(lo_x, c.x);
      hi_x = std::max(hi_x, c.x);
      lo_y = std::min(lo_y, c.y);
      hi_y = std::max(hi_y, c.y);
    }
    const bool by_x = hi_x - lo_x >= hi_y - lo_y;
    const int32_t middle = first + (last - first) / 2;
    const auto begin = centres.begin();
    if (by_x) {
      std::nth_element(begin + first, begin + middle, begin + last,
                       [](const Centre& a, const Centre& b) { return a.x < b.x; });
    } else {
      std::nth_element(begin + first, begin + middle, begin + last,
                       [](const Centre& a, const Centre& b) { return a.y < b.y; });
    }
    node.left = Build(centres, first, middle, index);
    node.right = Build(centres, middle, last, index);
    for (const int32_t child : {node.left, node.right}) {
      const Node& c = nodes_[static_cast<size_t>(child)];
      node.box = Merged(node.box, c.box);
      node.max_depth = std::max(node.max_depth, c.max_depth);
      node.waiting += c.waiting;
      node.waiting_open += c.waiting_open;
    }
  } else {
    for (int32_t k = first; k < last; ++k) {
      const int32_t item = centres[static_cast<size_t>(k)].item;
      const Item& it = items_[static_cast<size_t>(item)];
      node.box = Merged(node.box, it.box);
      node.max_depth = std::max(node.max_depth, it.depth);
      ++node.waiting;
      node.waiting_open += it.open ? 1 : 0;
      leaf_of_[static_cast<size_t>(item)] = index;
    }
  }
  nodes_[static_cast<size_t>(index)] = node;
  return index;
}

void PendingTree::Remove(int32_t item) {
  const auto i = static_cast<size_t>(item);
  if (!waiting_[i]) return;
  waiting_[i] = 0;
  const bool open = items_[i].open;
  for (int32_t n = leaf_of_[i]; n >= 0; n = nodes_[static_cast<size_t>(n)].up) {
    Node& node = nodes_[static_cast<size_t>(n)];
    --node.waiting;
    if (open) --node.waiting_open;
  }
}

bool PendingTree::AnyWaiting(bool open_only) const {
  if (nodes_.empty()) return false;
  return (open_only ? nodes_[0].waiting_open : nodes_[0].waiting) > 0;
}

}  // namespace varnholt
