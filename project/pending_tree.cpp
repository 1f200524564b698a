#include "project/pending_tree.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <utility>

namespace varnholt {
namespace {

constexpr int32_t kLeafItems = 8;

int64_t CentreTwice(int32_t lo, int32_t hi) { return int64_t{lo} + hi; }

}  // namespace

PendingTree::PendingTree(std::vector<Item> items)
    : items_(std::move(items)), order_(items_.size()), leaf_of_(items_.size(), -1), waiting_(items_.size(), 1) {
  std::iota(order_.begin(), order_.end(), 0);
  if (items_.empty()) return;
  nodes_.reserve(2 * items_.size() / kLeafItems + 2);
  Build(0, static_cast<int32_t>(items_.size()), -1);
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

int32_t PendingTree::Build(int32_t first, int32_t last, int32_t up) {
  const auto index = static_cast<int32_t>(nodes_.size());
  nodes_.push_back({});
  Node node;
  node.first = first;
  node.last = last;
  node.up = up;
  node.max_depth = INT32_MIN;
  int64_t lo_x = INT64_MAX, hi_x = INT64_MIN, lo_y = INT64_MAX, hi_y = INT64_MIN;
  for (int32_t k = first; k < last; ++k) {
    const Item& it = items_[static_cast<size_t>(order_[static_cast<size_t>(k)])];
    node.box = node.box.empty ? it.box
                              : PointBox{std::min(node.box.min_x, it.box.min_x), std::min(node.box.min_y, it.box.min_y),
                                         std::max(node.box.max_x, it.box.max_x), std::max(node.box.max_y, it.box.max_y),
                                         false};
    node.max_depth = std::max(node.max_depth, it.depth);
    ++node.waiting;
    node.waiting_open += it.open ? 1 : 0;
    lo_x = std::min(lo_x, CentreTwice(it.box.min_x, it.box.max_x));
    hi_x = std::max(hi_x, CentreTwice(it.box.min_x, it.box.max_x));
    lo_y = std::min(lo_y, CentreTwice(it.box.min_y, it.box.max_y));
    hi_y = std::max(hi_y, CentreTwice(it.box.min_y, it.box.max_y));
  }
  if (last - first > kLeafItems) {
    // Split at the median centre along the wider spread of centres.
    const bool by_x = hi_x - lo_x >= hi_y - lo_y;
    const int32_t middle = first + (last - first) / 2;
    std::nth_element(order_.begin() + first, order_.begin() + middle, order_.begin() + last,
                     [this, by_x](int32_t a, int32_t b) {
                       const PointBox& ba = items_[static_cast<size_t>(a)].box;
                       const PointBox& bb = items_[static_cast<size_t>(b)].box;
                       return by_x ? CentreTwice(ba.min_x, ba.max_x) < CentreTwice(bb.min_x, bb.max_x)
                                   : CentreTwice(ba.min_y, ba.max_y) < CentreTwice(bb.min_y, bb.max_y);
                     });
    node.left = Build(first, middle, index);
    node.right = Build(middle, last, index);
  } else {
    for (int32_t k = first; k < last; ++k) leaf_of_[static_cast<size_t>(order_[static_cast<size_t>(k)])] = index;
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
