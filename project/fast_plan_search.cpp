#include "project/fast_plan_search.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <queue>
#include <unordered_map>
#include <utility>

#include "project/box_grid.h"
#include "project/join_table.h"
#include "project/nesting.h"

namespace varnholt {
namespace {

// Vertices by cells larger than the lead-in tolerance: a vertex within it lies in the same or a neighbouring cell.
class VertexCells {
 public:
  explicit VertexCells(const FigureList& figures) {
    for (size_t e = 0; e < figures.size(); ++e) {
      for (const TPlotPoint& p : figures[e]->points) cells_[Key(CellOf(p.x), CellOf(p.y))].push_back({static_cast<int32_t>(e), p});
    }
  }

  // Whether a vertex of an entry other than `entry` lies within the lead-in tolerance of p.
  bool NearOther(int32_t entry, const TPlotPoint& p) const {
    const int64_t cx = CellOf(p.x), cy = CellOf(p.y);
    for (int64_t y = cy - 1; y <= cy + 1; ++y) {
      for (int64_t x = cx - 1; x <= cx + 1; ++x) {
        const auto found = cells_.find(Key(x, y));
        if (found == cells_.end()) continue;
        for (const auto& [other, q] : found->second) {
          if (other == entry) continue;
          const int64_t dx = int64_t{p.x} - q.x, dy = int64_t{p.y} - q.y;
          if (dx * dx + dy * dy <= kLeadInToleranceSquared) return true;
        }
      }
    }
    return false;
  }

 private:
  static constexpr int64_t kCell = 16;
  static int64_t CellOf(int32_t v) { return (int64_t{v} - INT32_MIN) / kCell; }
  static uint64_t Key(int64_t x, int64_t y) {
    return (static_cast<uint64_t>(x) << 32) ^ static_cast<uint64_t>(y & 0xffffffff);
  }
  std::unordered_map<uint64_t, std::vector<std::pair<int32_t, TPlotPoint>>> cells_;
};

class FastSearch final : public PlanSearch {
 public:
  int32_t Nest(FigureList& figures) override {
    children_.clear();
    return NestFigures(figures);
  }

  std::vector<std::vector<uint8_t>> OpenVertexTouches(const FigureList& figures) override {
    std::vector<std::vector<uint8_t>> touches(figures.size());
    const VertexCells cells(figures);
    for (size_t e = 0; e < figures.size(); ++e) {
      const tfigura& f = *figures[e];
      if (!f.open) continue;
      touches[e].resize(f.points.size());
      for (size_t v = 0; v < f.points.size(); ++v) {
        touches[e][v] = cells.NearOther(static_cast<int32_t>(e), f.points[v]) ? 1 : 0;
      }
    }
    return touches;
  }

  bool TouchEntries(FigureList& figures, int32_t a, int32_t b, TouchPair& pair) override {
    tfigura& fa = *figures[static_cast<size_t>(a)];
    tfigura& fb = *figures[static_cast<size_t>(b)];
    if (!BoxesNear(BoxOfPoints(fa.points), BoxOfPoints(fb.points), kTouchTolerance)) return false;
    return Touch(fa, fb, pair);
  }

  void BeginTouchPropagation(const FigureList& figures) override {
    std::vector<PointBox> boxes(figures.size());
    for (size_t i = 0; i < figures.size(); ++i) {
      if (figures[i]->plan_flag_2) boxes[i] = BoxOfPoints(figures[i]->points);
    }
    pending_grid_ = std::make_unique<BoxGrid>(boxes, kTouchTolerance);
  }

  int32_t FirstTouchedPending(FigureList& figures, int32_t f, TouchPair& pair) override {
    tfigura& ff = *figures[static_cast<size_t>(f)];
    for (int32_t g : pending_grid_->Overlapping(BoxOfPoints(ff.points))) {
      if (g == f || !figures[static_cast<size_t>(g)]->plan_flag_2) continue;
      if (Touch(ff, *figures[static_cast<size_t>(g)], pair)) return g;
    }
    return -1;
  }

  std::vector<std::vector<int32_t>> Neighbours(const FigureList& figures) override;

  void Reset() override { tables_.clear(); }

  std::optional<JoinPair> FindJoin(const FigureList& figures, const JoinContext& context) override {
    for (auto& table : tables_) {
      if (table->context().variant == context.variant && table->context().parent == context.parent) {
        return table->Best(figures);
      }
    }
    if (children_.empty()) {
      children_.resize(figures.size());
      for (size_t i = 0; i < figures.size(); ++i) {
        const int32_t p = figures[i]->parent;
        if (p >= 0 && static_cast<size_t>(p) < figures.size()) children_[static_cast<size_t>(p)].push_back(static_cast<int32_t>(i));
      }
    }
    tables_.push_back(std::make_unique<JoinTable>(figures, context, children_));
    return tables_.back()->Best(figures);
  }

  void Joined(const FigureList& figures, int32_t f) override {
    for (auto& table : tables_) table->Joined(figures, f);
  }

 private:
  std::unique_ptr<BoxGrid> pending_grid_;
  std::vector<std::unique_ptr<JoinTable>> tables_;
  std::vector<std::vector<int32_t>> children_;
};

std::vector<std::vector<int32_t>> FastSearch::Neighbours(const FigureList& figures) {
  const size_t n = figures.size();
  std::vector<std::vector<int32_t>> lists(n);
  using Keyed = std::pair<int64_t, int32_t>;
  // The entries by the x of their centres. A key is at least the distance of the centres, so at least their x
  // distance: walking outwards from an entry in x, nothing beyond an x distance above the largest kept key can
  // enter, and the k least (key, index) pairs are the same whatever the order they were met in.
  std::vector<int32_t> by_x(n);
  std::iota(by_x.begin(), by_x.end(), 0);
  std::sort(by_x.begin(), by_x.end(), [&figures](int32_t a, int32_t b) {
    const int32_t xa = figures[static_cast<size_t>(a)]->center_x, xb = figures[static_cast<size_t>(b)]->center_x;
    return xa != xb ? xa < xb : a < b;
  });
  std::vector<size_t> place(n);
  for (size_t k = 0; k < n; ++k) place[static_cast<size_t>(by_x[k])] = k;
  for (size_t i = 0; i < n; ++i) {
    const tfigura& fi = *figures[i];
    std::priority_queue<Keyed> heap;  // the largest kept key on top
    const auto x_distance = [&](size_t k) {
      return std::llabs(int64_t{figures[static_cast<size_t>(by_x[k])]->center_x} - fi.center_x);
    };
    // below: the next place to the left (one past it), above: the next place to the right.
    size_t below = place[i] + 1, above = place[i] + 1;
    while (below > 0 || above < n) {
      const bool left = below > 0 && (above >= n || x_distance(below - 1) <= x_distance(above));
      const size_t k = left ? --below : above++;
      if (heap.size() == kNeighbourCount && x_distance(k) > heap.top().first) break;
      const size_t j = static_cast<size_t>(by_x[k]);
      const tfigura& fj = *figures[j];
      if (heap.size() == kNeighbourCount) {
        int64_t penalty = 0;
        if (fj.depth < fi.depth) penalty += kNeighbourPenalty;
        if (fj.parent == static_cast<int32_t>(i)) penalty += kNeighbourPenalty;
        // A key not below the largest kept one cannot enter (later entries lose ties).
        const int64_t room = heap.top().first - penalty;
        if (room <= 0) continue;
        const int64_t dx = int64_t{fi.center_x} - fj.center_x, dy = int64_t{fi.center_y} - fj.center_y;
        constexpr int64_t kExact = int64_t{1} << 26;  // squares computed exactly in doubles too
        if (std::llabs(dx) < kExact && std::llabs(dy) < kExact && room < kExact && dx * dx + dy * dy >= room * room) {
          continue;
        }
      }
      const Keyed keyed{NeighbourKey(fi, static_cast<int32_t>(i), fj), static_cast<int32_t>(j)};
      if (heap.size() < kNeighbourCount) {
        heap.push(keyed);
      } else if (keyed < heap.top()) {
        heap.pop();
        heap.push(keyed);
      }
    }
    std::vector<Keyed> kept;
    while (!heap.empty()) {
      kept.push_back(heap.top());
      heap.pop();
    }
    std::sort(kept.begin(), kept.end());
    for (const Keyed& k : kept) lists[i].push_back(k.second);
  }
  return lists;
}

}  // namespace

std::unique_ptr<PlanSearch> MakeFastPlanSearch() { return std::make_unique<FastSearch>(); }

}  // namespace varnholt
