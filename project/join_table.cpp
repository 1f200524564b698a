#include "project/join_table.h"

#include <algorithm>

namespace varnholt {
namespace {

bool Pending(const tfigura& figure) { return figure.plan_flag_2 != 0; }

bool Better(const JoinPair& a, const JoinPair& b) {
  if (a.cost != b.cost) return a.cost < b.cost;
  return a.g_figure < b.g_figure;
}

bool IsInside(JoinVariant v) { return v == JoinVariant::kInsideFull || v == JoinVariant::kInsideNeighbours; }
bool IsNeighbourVariant(JoinVariant v) {
  return v == JoinVariant::kInsideNeighbours || v == JoinVariant::kGlobalNeighbours;
}

}  // namespace

JoinTable::JoinTable(const FigureList& figures, const JoinContext& context,
                     const std::vector<std::vector<int32_t>>& children,
                     const std::vector<std::vector<int32_t>>& reverse_neighbours)
    : context_(context), neighbour_variant_(IsNeighbourVariant(context.variant)),
      reverse_neighbours_(reverse_neighbours) {
  Grow(figures.size());
  int32_t min_mark = 10;
  for (const auto& f : figures) {
    for (const TVertexAngle& a : f->vertex_angles) min_mark = std::min(min_mark, a.mark);
  }
  min_mark_ = min_mark;
  // The entries that can take part: a parent's children (and the parent), or all.
  std::vector<int32_t> members;
  if (IsInside(context_.variant)) {
    if (context_.parent >= 0 && static_cast<size_t>(context_.parent) < children.size()) {
      members = children[static_cast<size_t>(context_.parent)];
    }
    members.push_back(context_.parent);
    std::sort(members.begin(), members.end());
  } else {
    members.resize(figures.size());
    for (size_t i = 0; i < figures.size(); ++i) members[i] = static_cast<int32_t>(i);
  }
  for (int32_t m : members) {
    if (m < 0) continue;
    if (FSide(*figures[static_cast<size_t>(m)])) {
      pending_.push_back(m);
      is_pending_[static_cast<size_t>(m)] = 1;
    } else if (GSide(figures, m)) {
      targets_.push_back(m);
      if (figures[static_cast<size_t>(m)]->open) open_targets_.push_back(m);
    }
  }
  for (int32_t f : pending_) {
    if (neighbour_variant_ && !figures[static_cast<size_t>(f)]->open) {
      // A closed F meets only the targets whose neighbour lists hold it, and the open targets.
      for (int32_t g : reverse_neighbours_[static_cast<size_t>(f)]) {
        if (GSide(figures, g)) Offer(figures, f, g);
      }
      for (int32_t g : open_targets_) Offer(figures, f, g);
      continue;
    }
    // Try the target nearest by box first, so the bound prunes the others well.
    int32_t first = -1;
    int64_t first_bound = INT64_MAX;
    const PointBox fb = Box(figures, f);
    for (int32_t g : targets_) {
      const int64_t bound = PairCostBound(fb, Box(figures, g), context_.variant, min_mark_);
      if (bound < first_bound) {
        first_bound = bound;
        first = g;
      }
    }
    if (first >= 0) Offer(figures, f, first);
    for (int32_t g : targets_) {
      if (g != first) Offer(figures, f, g);
    }
  }
}

void JoinTable::Grow(size_t size) {
  if (best_.size() >= size) return;
  best_.resize(size);
  is_pending_.resize(size, 0);
  f_vertices_.resize(size);
  g_vertices_.resize(size);
  have_f_vertices_.resize(size, 0);
  have_g_vertices_.resize(size, 0);
  have_box_.resize(size, 0);
  boxes_.resize(size);
}

bool JoinTable::FSide(const tfigura& figure) const {
  if (!Pending(figure)) return false;
  return !IsInside(context_.variant) || figure.parent == context_.parent;
}

bool JoinTable::GSide(const FigureList& figures, int32_t g) const {
  const tfigura& figure = *figures[static_cast<size_t>(g)];
  if (!figure.is_contour || Pending(figure)) return false;
  return !IsInside(context_.variant) || figure.parent == context_.parent || g == context_.parent;
}

const std::vector<int32_t>& JoinTable::Vertices(const FigureList& figures, int32_t index, bool as_g) {
  auto& have = as_g ? have_g_vertices_ : have_f_vertices_;
  auto& cache = as_g ? g_vertices_ : f_vertices_;
  const auto i = static_cast<size_t>(index);
  if (!have[i]) {
    cache[i] = VariantVertices(*figures[i], context_, as_g);
    have[i] = 1;
  }
  return cache[i];
}

const PointBox& JoinTable::Box(const FigureList& figures, int32_t index) {
  const auto i = static_cast<size_t>(index);
  if (!have_box_[i]) {
    boxes_[i] = BoxOfPoints(figures[i]->points);
    have_box_[i] = 1;
  }
  return boxes_[i];
}

void JoinTable::Offer(const FigureList& figures, int32_t f, int32_t g) {
  Entry& best = best_[static_cast<size_t>(f)];
  if (best.valid) {
    const int64_t bound = PairCostBound(Box(figures, f), Box(figures, g), context_.variant, min_mark_);
    if (bound > best.pair.cost) return;
    if (bound == best.pair.cost && g > best.pair.g_figure) return;
  }
  if (!PassesFilter(figures, context_, f, g)) return;
  const std::optional<JoinPair> pair =
      CheapestVertexPair(figures, context_, f, g, Vertices(figures, f, false), Vertices(figures, g, true));
  if (!pair) return;
  if (!best.valid || Better(*pair, best.pair)) best = {true, *pair};
}

std::optional<JoinPair> JoinTable::Best() const {
  std::optional<JoinPair> found;
  for (int32_t f : pending_) {
    if (!is_pending_[static_cast<size_t>(f)]) continue;
    const Entry& b = best_[static_cast<size_t>(f)];
    if (b.valid && (!found || b.pair.cost < found->cost)) found = b.pair;
  }
  return found;
}

void JoinTable::Joined(const FigureList& figures, int32_t f) {
  Grow(figures.size());
  const auto fi = static_cast<size_t>(f);
  if (is_pending_[fi]) {
    is_pending_[fi] = 0;
    pending_.erase(std::find(pending_.begin(), pending_.end(), f));
  }
  if (!GSide(figures, f)) return;
  const bool open = figures[fi]->open != 0;
  targets_.push_back(f);
  if (open) open_targets_.push_back(f);
  if (neighbour_variant_ && !open) {
    // The new target meets the closed figures of its neighbour list and every open pending figure.
    if (context_.neighbours != nullptr && fi < context_.neighbours->size()) {
      for (int32_t p : (*context_.neighbours)[fi]) {
        if (static_cast<size_t>(p) < is_pending_.size() && is_pending_[static_cast<size_t>(p)] &&
            !figures[static_cast<size_t>(p)]->open) {
          Offer(figures, p, f);
        }
      }
    }
    for (int32_t p : pending_) {
      if (figures[static_cast<size_t>(p)]->open) Offer(figures, p, f);
    }
    return;
  }
  for (int32_t p : pending_) Offer(figures, p, f);
}

}  // namespace varnholt
