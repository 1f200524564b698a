#include "planner/literal_plan_search.h"

#include <algorithm>
#include <utility>

#include "geometry/geometry.h"
#include "planner/nesting.h"

namespace varnholt {
namespace {

class LiteralSearch final : public PlanSearch {
 public:
  int32_t Nest(FigureList& figures) override {
    const int32_t n = static_cast<int32_t>(figures.size());
    for (auto& f : figures) {
      f->depth = 0;
      f->parent = -1;
      f->child_count = 0;
    }
    int32_t max_depth = 0;
    const auto redepth = [&](auto&& self, int32_t parent) -> void {
      for (int32_t k = 0; k < n; ++k) {
        if (At(figures, k).parent != parent) continue;
        At(figures, k).depth = At(figures, parent).depth + 1;
        max_depth = std::max(max_depth, At(figures, k).depth);
        self(self, k);
      }
    };
    bool assigned = true;
    while (assigned) {
      assigned = false;
      for (int32_t i = 0; i < n; ++i) {
        for (int32_t j = 0; j < n; ++j) {
          tfigura& fi = At(figures, i);
          tfigura& fj = At(figures, j);
          if (!LiesInside(fi, fj)) continue;
          if (fi.parent != -1 && At(figures, fi.parent).depth >= fj.depth) continue;
          fi.parent = j;
          fi.depth = fj.depth + 1;
          max_depth = std::max(max_depth, fi.depth);
          redepth(redepth, i);
          ++fj.child_count;
          assigned = true;
        }
      }
    }
    return max_depth;
  }

  void PrepareTouches(const FigureList&) override {}

  std::vector<std::vector<uint8_t>> OpenVertexTouches(const FigureList& figures) override {
    std::vector<std::vector<uint8_t>> touches(figures.size());
    for (size_t e = 0; e < figures.size(); ++e) {
      if (!figures[e]->open) continue;
      for (const TPlotPoint& p : figures[e]->points) {
        bool touches_other = false;
        for (size_t o = 0; o < figures.size() && !touches_other; ++o) {
          if (o == e) continue;
          for (const TPlotPoint& q : figures[o]->points) {
            if (Distance(p, q) <= 10.0) {
              touches_other = true;
              break;
            }
          }
        }
        touches[e].push_back(touches_other ? 1 : 0);
      }
    }
    return touches;
  }

  bool TouchEntries(FigureList& figures, int32_t a, int32_t b, TouchPair& pair) override {
    return Touch(At(figures, a), At(figures, b), pair);
  }

  void BeginTouchPropagation(const FigureList&) override {}

  int32_t FirstTouchedPending(FigureList& figures, int32_t f, TouchPair& pair) override {
    for (int32_t g = 0; g < static_cast<int32_t>(figures.size()); ++g) {
      if (!At(figures, g).plan_flag_2) continue;
      if (Touch(At(figures, f), At(figures, g), pair)) return g;
    }
    return -1;
  }

  std::unique_ptr<NeighbourLists> Neighbours(const FigureList& figures) override {
    const int32_t n = static_cast<int32_t>(figures.size());
    std::vector<std::vector<int32_t>> lists(figures.size());
    for (int32_t i = 0; i < n; ++i) {
      std::vector<std::pair<int64_t, int32_t>> keys;
      for (int32_t j = 0; j < n; ++j) keys.emplace_back(NeighbourKey(At(figures, i), i, At(figures, j)), j);
      std::stable_sort(keys.begin(), keys.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
      for (size_t k = 0; k < keys.size() && k < kNeighbourCount; ++k) lists[static_cast<size_t>(i)].push_back(keys[k].second);
    }
    return std::make_unique<FixedNeighbourLists>(std::move(lists));
  }

  void Reset() override {}

  std::optional<JoinPair> FindJoin(const FigureList& figures, const JoinContext& context) override {
    std::optional<JoinPair> best;
    int64_t best_cost = kBestCostStart;
    const int32_t n = static_cast<int32_t>(figures.size());
    for (int32_t f = 0; f < n; ++f) {
      for (int32_t g = 0; g < n; ++g) {
        if (!PassesFilter(figures, context, f, g)) continue;
        const std::vector<int32_t> fv = VariantVertices(At(figures, f), context, false);
        const std::vector<int32_t> gv = VariantVertices(At(figures, g), context, true);
        for (int32_t a : fv) {
          for (int32_t b : gv) {
            const int64_t cost = PairCost(At(figures, f), a, At(figures, g), b, context.variant);
            if (cost < best_cost) {
              best_cost = cost;
              best = JoinPair{f, a, g, b, cost};
            }
          }
        }
      }
    }
    return best;
  }

  void Joined(const FigureList&, int32_t) override {}

 private:
  static tfigura& At(const FigureList& figures, int32_t i) { return *figures[static_cast<size_t>(i)]; }
};

}  // namespace

std::unique_ptr<PlanSearch> MakeLiteralPlanSearch() { return std::make_unique<LiteralSearch>(); }

}  // namespace varnholt
