#pragma once
// The five join variants: which figure pairs they consider, which vertices they look at and what a pair costs.

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <utility>
#include <vector>

#include "planner/plan_geometry.h"

namespace varnholt {

enum class JoinVariant {
  kStart,             // pending outermost figures to the start figure's corner vertex
  kInsideFull,        // children of a parent among themselves and to the parent, sampled vertices
  kInsideNeighbours,  // the same restricted to neighbours and flagged vertices
  kGlobalNeighbours,  // any pending figure to any joined figure among its neighbours, flagged vertices
  kGlobalFull,        // any pending figure to any joined figure, sampled vertices
};

// The neighbour lists of the entries there were when joining began: for each, the 22 entries of smallest key,
// equal keys in list order. Lists may be worked out when first asked for.
class NeighbourLists {
 public:
  virtual ~NeighbourLists() = default;
  // Entry g's list; empty for an entry added since. Valid until the next call.
  virtual std::span<const int32_t> Of(int32_t g) = 0;
};

// Lists worked out beforehand.
class FixedNeighbourLists final : public NeighbourLists {
 public:
  explicit FixedNeighbourLists(std::vector<std::vector<int32_t>> lists) : lists_(std::move(lists)) {}
  std::span<const int32_t> Of(int32_t g) override {
    if (g < 0 || static_cast<size_t>(g) >= lists_.size()) return {};
    return lists_[static_cast<size_t>(g)];
  }

 private:
  std::vector<std::vector<int32_t>> lists_;
};

// What the vertex-pair searches of one planning run keep from one search to the next: the grids of the targets
// searched last and the working arrays of a search. The planner makes one for a run, and its memory goes with the
// run; a search given none works with one of its own.
class VertexPairScratch {
 public:
  VertexPairScratch();
  ~VertexPairScratch();
  VertexPairScratch(const VertexPairScratch&) = delete;
  VertexPairScratch& operator=(const VertexPairScratch&) = delete;

  struct State;
  State& state() { return *state_; }

 private:
  std::unique_ptr<State> state_;
};

// What a join search reads besides the figures.
struct JoinContext {
  JoinVariant variant = JoinVariant::kGlobalFull;
  int32_t parent = -1;        // P of the inside-parent variants
  int32_t start_figure = -1;  // the start figure
  int32_t start_vertex = 0;   // the start join's vertex of the start figure
  // The figures nearest to each entry; none when the project has too few entries.
  NeighbourLists* neighbours = nullptr;
  // Kept between the vertex-pair searches of a run; none: each search works with storage of its own.
  VertexPairScratch* pair_scratch = nullptr;
};

// The best vertex pair of one join: pending figure F and vertex f, joined entry G and vertex g.
struct JoinPair {
  int32_t f_figure = -1;
  int32_t f_vertex = -1;
  int32_t g_figure = -1;
  int32_t g_vertex = -1;
  int64_t cost = kBestCostStart;
};

// Whether F may be joined to G by the variant (pending/joined states included).
bool PassesFilter(const FigureList& figures, const JoinContext& context, int32_t f, int32_t g);

// Whether entry f is listed among g's neighbours.
bool IsNeighbour(const JoinContext& context, int32_t f, int32_t g);

// The vertices of a figure the variant looks at, in search order; `as_g` selects the G side.
std::vector<int32_t> VariantVertices(const tfigura& figure, const JoinContext& context, bool as_g);
// The same, appended to `vertices`.
void AppendVariantVertices(const tfigura& figure, const JoinContext& context, bool as_g,
                           std::vector<int32_t>& vertices);

// The cost of joining F's vertex f to G's vertex g under the variant.
int64_t PairCost(const tfigura& f_figure, int32_t f, const tfigura& g_figure, int32_t g, JoinVariant variant);

// The cheapest vertex pair of F and G over the given vertex lists, F's vertices outer, the first of equal costs;
// nothing when no pair was evaluated.
// g_box, when given, is the box of G's points (a caller that keeps boxes saves measuring it again).
// cost_limit, when given, is what the caller already has: only a pair costing less is wanted, and nothing is
// returned when the cheapest costs as much or more (rows that cannot go below it are not searched).
std::optional<JoinPair> CheapestVertexPair(const FigureList& figures, const JoinContext& context, int32_t f,
                                           int32_t g, std::span<const int32_t> f_vertices,
                                           std::span<const int32_t> g_vertices, const PointBox* g_box = nullptr,
                                           int64_t cost_limit = kBestCostStart);

// A lower bound of PairCost over all vertices of two figures with these boxes under the variant, given that no
// mark is below min_mark.
int64_t PairCostBound(const PointBox& f_box, const PointBox& g_box, JoinVariant variant, int32_t min_mark);

// How far the variant's vertex shifts can bring two vertices closer on each axis (the inside-parent full join moves
// F's vertices by 2 and G's by 1).
int64_t BoundSlack(JoinVariant variant);
// A lower bound of PairCost under the variant for vertices whose squared distance, after BoundSlack on each axis,
// is at least d2, given that no mark is below min_mark. Never decreases as d2 grows.
int64_t CostBoundOfGapSquared(int64_t d2, JoinVariant variant, int32_t min_mark);

}  // namespace varnholt
