#include "planner/join_rules.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace varnholt {
namespace {

const tfigura& At(const FigureList& figures, int32_t index) { return *figures[static_cast<size_t>(index)]; }

bool Pending(const tfigura& figure) { return figure.plan_flag_2 != 0; }

// The global filter: no deeper-to-shallower joins, not to a closed start figure, and deep figures of one depth only
// within the same parent.
bool GlobalFilter(const FigureList& figures, const JoinContext& context, int32_t f, int32_t g) {
  const tfigura& ff = At(figures, f);
  const tfigura& gg = At(figures, g);
  if (ff.depth < gg.depth) return false;
  if (g == context.start_figure && gg.closed) return false;
  if (gg.depth > 1 && gg.depth == ff.depth && ff.parent != gg.parent) return false;
  return true;
}

bool EitherOpen(const FigureList& figures, int32_t f, int32_t g) {
  return At(figures, f).open != 0 || At(figures, g).open != 0;
}

int64_t Shift(int32_t depth, int64_t amount) { return depth % 2 != 0 ? -amount : amount; }

// The squared distance after shifting F's vertex by 2 and G's by 1 on both axes, by their depths' parity.
int64_t ShiftedCost(const TPlotPoint& pf, int32_t f_depth, const TPlotPoint& pg, int32_t g_depth) {
  const int64_t s = Shift(f_depth, 2) - Shift(g_depth, 1);
  const int64_t dx = int64_t{pf.x} - pg.x + s;
  const int64_t dy = int64_t{pf.y} - pg.y + s;
  return SaturatedSum(CostTimes(dx < 0 ? -dx : dx, dx < 0 ? -dx : dx), CostTimes(dy < 0 ? -dy : dy, dy < 0 ? -dy : dy));
}

int64_t Marked(int64_t cost, const tfigura& figure, int32_t v) {
  const TVertexAngle& a = figure.vertex_angles[static_cast<size_t>(v)];
  return a.flag ? CostScaled(cost, a.mark) : cost;
}

int32_t MarkOf(const tfigura& figure, int32_t v) { return figure.vertex_angles[static_cast<size_t>(v)].mark; }

// PairCost of one variant, inline: the searches evaluate it for every vertex pair they look at.
template <JoinVariant kVariant>
inline int64_t CostOf(const tfigura& f_figure, int32_t f, const tfigura& g_figure, int32_t g) {
  const TPlotPoint& pf = f_figure.points[static_cast<size_t>(f)];
  const TPlotPoint& pg = g_figure.points[static_cast<size_t>(g)];
  if constexpr (kVariant == JoinVariant::kStart || kVariant == JoinVariant::kGlobalFull) {
    return Marked(Marked(VertexCost(pf, pg), f_figure, f), g_figure, g);
  } else if constexpr (kVariant == JoinVariant::kInsideFull) {
    return Marked(Marked(ShiftedCost(pf, f_figure.depth, pg, g_figure.depth), f_figure, f), g_figure, g);
  } else if constexpr (kVariant == JoinVariant::kInsideNeighbours) {
    return CostScaled(CostScaled(VertexCost(pf, pg), 5), 5);
  } else {
    return CostTimes(CostTimes(VertexCost(pf, pg), MarkOf(f_figure, f)), MarkOf(g_figure, g));
  }
}

// Below this squared distance (2^40) a pair's cost is the plain product of the distance and its weights (marks of
// at most kPlainMark): nothing comes near the ceiling, so nothing saturates.
constexpr int64_t kPlainDistance2 = int64_t{1} << 40;
constexpr int32_t kPlainMark = 1000;

// Whether a vertex's weight keeps the plain product exact: a mark the variant applies lies in 1..kPlainMark.
template <JoinVariant kVariant>
bool PlainWeight(int32_t mark, uint8_t flag) {
  if constexpr (kVariant == JoinVariant::kInsideNeighbours) {
    return true;
  } else if constexpr (kVariant == JoinVariant::kGlobalNeighbours) {
    return mark >= 1 && mark <= kPlainMark;
  } else {
    return flag == 0 || (mark >= 1 && mark <= kPlainMark);
  }
}

// What a pair's cost reads of one vertex, taken once per search (G's side, one per listed vertex) or per row (F's
// side): the vertex, moved by the variant's shift on F's side, its weight, and whether that weight keeps the plain
// product exact (on F's side: whether every weight of the pair does).
struct CostVertex {
  int64_t x = 0, y = 0;
  int32_t mark = 10;
  uint8_t flag = 0;
  bool plain = true;
};

template <JoinVariant kVariant>
CostVertex CostVertexOf(const tfigura& figure, int32_t v, int64_t shift) {
  const TPlotPoint& p = figure.points[static_cast<size_t>(v)];
  const TVertexAngle& a = figure.vertex_angles[static_cast<size_t>(v)];
  return {int64_t{p.x} + shift, int64_t{p.y} + shift, a.mark, a.flag, PlainWeight<kVariant>(a.mark, a.flag)};
}

// CostOf of F's vertex (its row) and G's (its column), from what both were read into: the same value. row.plain
// tells whether the weights of F's vertex and of every G vertex it meets keep the plain product exact.
template <JoinVariant kVariant>
[[gnu::always_inline]] inline int64_t CostInRow(const CostVertex& row, const CostVertex& column) {
  const int64_t sx = row.x - column.x, sy = row.y - column.y;
  // The squared distance saturated at the ceiling, as VertexCost and ShiftedCost give it.
  const int64_t d2 = GapsSquared(sx < 0 ? -sx : sx, sy < 0 ? -sy : sy);
  if (d2 < kPlainDistance2 && row.plain) {
    // The products stay below 2^60: exactly what the saturating steps below give.
    if constexpr (kVariant == JoinVariant::kInsideNeighbours) {
      return d2 * 5 / 10 * 5 / 10;
    } else if constexpr (kVariant == JoinVariant::kGlobalNeighbours) {
      return d2 * row.mark * column.mark;
    } else {
      const int64_t from_row = row.flag ? d2 * row.mark / 10 : d2;
      return column.flag ? from_row * column.mark / 10 : from_row;
    }
  }
  if constexpr (kVariant == JoinVariant::kInsideNeighbours) {
    return CostScaled(CostScaled(d2, 5), 5);
  } else if constexpr (kVariant == JoinVariant::kGlobalNeighbours) {
    return CostTimes(CostTimes(d2, row.mark), column.mark);
  } else {
    const int64_t from_row = row.flag ? CostScaled(d2, row.mark) : d2;
    return column.flag ? CostScaled(from_row, column.mark) : from_row;
  }
}

// Pairs up to which the plain scan is the quicker one; from how many on G's vertices are put in a grid.
constexpr size_t kPlainScanPairs = 256;
constexpr size_t kGridPairs = 512;

// G's listed vertices (positions in the list) by the cells of a grid over their box, for searches that move
// outwards from a point ring by ring.
class ListedVertexGrid {
 public:
  // Puts G's listed vertices in the grid; cell_of and fill are working storage, their contents of no account.
  void Build(const tfigura& g, std::span<const int32_t> list, std::vector<int32_t>& cell_of,
             std::vector<int32_t>& fill) {
    PointBox box;
    for (const int32_t v : list) {
      const TPlotPoint& p = g.points[static_cast<size_t>(v)];
      box = box.empty ? PointBox{p.x, p.y, p.x, p.y, false}
                      : PointBox{std::min(box.min_x, p.x), std::min(box.min_y, p.y), std::max(box.max_x, p.x),
                                 std::max(box.max_y, p.y), false};
    }
    min_x_ = box.min_x;
    min_y_ = box.min_y;
    const int64_t w = int64_t{box.max_x} - box.min_x + 1, h = int64_t{box.max_y} - box.min_y + 1;
    // About two vertices a cell.
    const double area = static_cast<double>(w) * static_cast<double>(h);
    side_ = std::max<int64_t>(1, static_cast<int64_t>(std::sqrt(area * 2.0 / static_cast<double>(list.size()))));
    while (((w - 1) / side_ + 1) * ((h - 1) / side_ + 1) > 2 * static_cast<int64_t>(list.size()) + 16) side_ *= 2;
    columns_ = (w - 1) / side_ + 1;
    rows_ = (h - 1) / side_ + 1;
    start_.assign(static_cast<size_t>(columns_ * rows_) + 1, 0);
    cell_of.clear();
    cell_of.resize(list.size());
    for (size_t k = 0; k < list.size(); ++k) {
      const TPlotPoint& p = g.points[static_cast<size_t>(list[k])];
      cell_of[k] = static_cast<int32_t>((int64_t{p.y} - min_y_) / side_ * columns_ + (int64_t{p.x} - min_x_) / side_);
      ++start_[static_cast<size_t>(cell_of[k]) + 1];
    }
    for (size_t c = 1; c < start_.size(); ++c) start_[c] += start_[c - 1];
    positions_.resize(list.size());
    fill.assign(start_.begin(), start_.end() - 1);
    for (size_t k = 0; k < list.size(); ++k) {
      positions_[static_cast<size_t>(fill[static_cast<size_t>(cell_of[k])]++)] = static_cast<int32_t>(k);
    }
  }

  // Calls visit(position) for the listed vertices ring by ring around (x, y). go_on(d2) tells whether a vertex at a
  // squared distance of d2 or more may still count: asked before ring k >= 1 with a lower bound for every vertex
  // from ring k on, the search stops on false. pass(d2) tells whether no vertex at d2 or more can count: asked for
  // each run of cells lying apart from (x, y), with the run's own bound; true passes the run over.
  template <class GoOn, class Pass, class Visit>
  [[gnu::always_inline]] void Search(int64_t x, int64_t y, GoOn&& go_on, Pass&& pass, Visit&& visit) const {
    const int64_t cx = std::clamp<int64_t>((x - min_x_) / side_ - (x < min_x_ ? 1 : 0), 0, columns_ - 1);
    const int64_t cy = std::clamp<int64_t>((y - min_y_) / side_ - (y < min_y_ ? 1 : 0), 0, rows_ - 1);
    // The cells i0..i1 of grid row j, clipped to the grid: their vertices lie together in `positions_`.
    // Inline at each of its uses: a call costs as much as the cells most runs hold.
    const auto run = [&](int64_t j, int64_t i0, int64_t i1) __attribute__((always_inline)) {
      if (j < 0 || j >= rows_) return;
      i0 = std::max<int64_t>(i0, 0);
      i1 = std::min(i1, columns_ - 1);
      if (i0 > i1) return;
      const auto base = static_cast<size_t>(j * columns_);
      const int32_t first = start_[base + static_cast<size_t>(i0)];
      const int32_t end = start_[base + static_cast<size_t>(i1) + 1];
      if (first == end) return;
      // The run's cells hold x from min_x_ + i0 * side_ to min_x_ + (i1 + 1) * side_ - 1, y likewise.
      const int64_t gap_x = std::max<int64_t>({0, min_x_ + i0 * side_ - x, x - (min_x_ + (i1 + 1) * side_ - 1)});
      const int64_t gap_y = std::max<int64_t>({0, min_y_ + j * side_ - y, y - (min_y_ + (j + 1) * side_ - 1)});
      if ((gap_x > 0 || gap_y > 0) && pass(GapsSquared(gap_x, gap_y))) return;
      for (int32_t k = first; k < end; ++k) visit(positions_[static_cast<size_t>(k)]);
    };
    // How far (x, y) lies from the outside of the block of rings below `ring`, on the sides where cells remain;
    // never negative (a point beyond the grid is clamped to its edge cells).
    const auto reach = [&](int64_t ring) {
      int64_t least = INT64_MAX;
      if (cx - ring >= 0) least = std::min(least, x - (min_x_ + (cx - ring + 1) * side_));
      if (cx + ring < columns_) least = std::min(least, min_x_ + (cx + ring) * side_ - x);
      if (cy - ring >= 0) least = std::min(least, y - (min_y_ + (cy - ring + 1) * side_));
      if (cy + ring < rows_) least = std::min(least, min_y_ + (cy + ring) * side_ - y);
      return std::max<int64_t>(0, least);
    };
    const int64_t last = std::max(std::max(cx, columns_ - 1 - cx), std::max(cy, rows_ - 1 - cy));
    run(cy, cx, cx);
    for (int64_t ring = 1; ring <= last; ++ring) {
      if (!go_on(GapsSquared(reach(ring), 0))) return;
      run(cy - ring, cx - ring, cx + ring);
      run(cy + ring, cx - ring, cx + ring);
      const int64_t j_end = std::min(cy + ring - 1, rows_ - 1);
      for (int64_t j = std::max<int64_t>(cy - ring + 1, 0); j <= j_end; ++j) {
        if (cx - ring >= 0) run(j, cx - ring, cx - ring);
        if (cx + ring < columns_) run(j, cx + ring, cx + ring);
      }
    }
  }

 private:
  int64_t min_x_ = 0, min_y_ = 0, side_ = 1, columns_ = 1, rows_ = 1;
  std::vector<int32_t> start_;
  std::vector<int32_t> positions_;
};

// How far G's listed vertices lie from the centre of G's box, least and most: a vertex at distance d from that
// centre lies at least |d - r| from a vertex at distance r. For a figure inside another (a hole in its outline) the
// box says nothing, this does.
class RadialSpread {
 public:
  RadialSpread() = default;
  RadialSpread(const tfigura& gg, std::span<const int32_t> list, const PointBox& box)
      : x_((static_cast<double>(box.min_x) + box.max_x) / 2), y_((static_cast<double>(box.min_y) + box.max_y) / 2) {
    for (const int32_t v : list) {
      const double d = From(gg.points[static_cast<size_t>(v)].x, gg.points[static_cast<size_t>(v)].y);
      least_ = std::min(least_, d);
      most_ = std::max(most_, d);
    }
  }

  // A lower bound of the squared distance from (x, y) to every listed vertex; 0 when nothing was measured.
  int64_t GapSquaredFrom(int64_t x, int64_t y) const {
    if (least_ > most_) return 0;
    const double d = From(x, y);
    // A unit off for the rounding of the square roots.
    const double apart = std::max(d - most_, least_ - d) - 1.0;
    if (apart <= 0.0) return 0;
    const auto whole = static_cast<int64_t>(std::min(apart, 4.0e9));
    return GapsSquared(whole, 0);
  }

 private:
  double From(int64_t x, int64_t y) const {
    const double dx = static_cast<double>(x) - x_, dy = static_cast<double>(y) - y_;
    return std::sqrt(dx * dx + dy * dy);
  }

  double x_ = 0.0, y_ = 0.0;
  double least_ = 1e300, most_ = -1.0;
};

// The grids and radial spreads of the G vertex lists searched last. Joins search one target against many pending
// figures in turn, and on drawings of figures stacked many deep alternate between dozens of targets: a grid is
// built once for them all. Both are made from nothing but the listed vertices' positions and G's box, so a list
// whose positions and box are the same, vertex for vertex, finds them here. The entries fall into sets by box and
// length, so that a lookup compares a few entries, not all; within its set a new entry replaces the oldest.
class GridCache {
 public:
  struct Entry {
    std::vector<TPlotPoint> listed;  // the positions, in list order
    PointBox box;
    ListedVertexGrid grid;
    RadialSpread spread;
  };

  // The entry of G's list (read into `columns`, positions in list order) and box, built when not kept; cell_of
  // and fill are the build's working storage.
  const Entry& For(const tfigura& gg, std::span<const int32_t> g_vertices, std::span<const CostVertex> columns,
                   const PointBox& box, std::vector<int32_t>& cell_of, std::vector<int32_t>& fill) {
    const size_t set = SetOf(box, columns.size());
    Entry* const ways = &entries_[set * kWays];
    for (size_t way = 0; way < kWays; ++way) {
      if (Holds(ways[way], columns, box)) return ways[way];
    }
    Entry& entry = ways[next_[set]];
    next_[set] = static_cast<uint8_t>((next_[set] + 1) % kWays);
    entry.listed.clear();
    for (const int32_t v : g_vertices) entry.listed.push_back(gg.points[static_cast<size_t>(v)]);
    entry.box = box;
    entry.grid.Build(gg, g_vertices, cell_of, fill);
    entry.spread = RadialSpread(gg, g_vertices, box);
    return entry;
  }

 private:
  // 16 sets of 4: on the stacked 200k DXF drawing 64 entries find four in five grids where 8 found two in five,
  // and 512 found few more.
  static constexpr size_t kSets = 16;
  static constexpr size_t kWays = 4;

  static size_t SetOf(const PointBox& box, size_t listed) {
    constexpr uint64_t kMix = 0x9E3779B97F4A7C15ULL;
    uint64_t h = static_cast<uint64_t>(listed);
    for (const int32_t c : {box.min_x, box.min_y, box.max_x, box.max_y}) {
      h = (h ^ static_cast<uint32_t>(c)) * kMix;
    }
    return static_cast<size_t>(h >> 60) % kSets;
  }

  static bool Holds(const Entry& entry, std::span<const CostVertex> columns, const PointBox& box) {
    if (entry.listed.size() != columns.size() || entry.listed.empty()) return false;
    if (entry.box.min_x != box.min_x || entry.box.min_y != box.min_y || entry.box.max_x != box.max_x ||
        entry.box.max_y != box.max_y || entry.box.empty != box.empty) {
      return false;
    }
    for (size_t k = 0; k < columns.size(); ++k) {
      if (entry.listed[k].x != columns[k].x || entry.listed[k].y != columns[k].y) return false;
    }
    return true;
  }

  std::array<Entry, kSets * kWays> entries_;
  std::array<uint8_t, kSets> next_{};
};

// A row of a search: one of F's listed vertices (its position in the list) and the lower bound of its costs.
struct SearchRow {
  int64_t bound;
  size_t position;
};

}  // namespace

struct VertexPairScratch::State {
  GridCache grids;
  std::vector<SearchRow> rows;
  // G's listed vertices as the costs read them, in list order: read once per search, not once per row.
  std::vector<CostVertex> columns;
  // The working storage of a grid's build.
  std::vector<int32_t> cell_of, fill;
};

VertexPairScratch::VertexPairScratch() : state_(std::make_unique<State>()) {}
VertexPairScratch::~VertexPairScratch() = default;

namespace {

// The shift of the inside-parent full join between F's and G's vertices on both axes, nothing for the others.
template <JoinVariant kVariant>
int64_t PairShift(const tfigura& ff, const tfigura& gg) {
  if constexpr (kVariant == JoinVariant::kInsideFull) {
    return Shift(ff.depth, 2) - Shift(gg.depth, 1);
  } else {
    return 0;
  }
}

// The least factor a listed vertex of G applies to a cost: its mark (at most 10 where a mark scales by tenths), 10
// for an unflagged vertex where only flagged ones scale.
template <JoinVariant kVariant>
int32_t FactorOf(const CostVertex& column) {
  if constexpr (kVariant == JoinVariant::kGlobalNeighbours) {
    return std::min(column.mark, 10);
  } else {
    return column.flag ? std::min(column.mark, 10) : 10;
  }
}

// A lower bound of CostOf for F's vertex fv and any listed vertex of G at a squared distance of at least d2 (after
// the variant's shift), given G's least factor.
template <JoinVariant kVariant>
int64_t RowCostBound(int64_t d2, const tfigura& ff, int32_t fv, int32_t least_g_factor) {
  if constexpr (kVariant == JoinVariant::kInsideNeighbours) {
    return CostScaled(CostScaled(d2, 5), 5);
  } else if constexpr (kVariant == JoinVariant::kGlobalNeighbours) {
    return CostTimes(CostTimes(d2, MarkOf(ff, fv)), least_g_factor);
  } else {
    return CostScaled(Marked(d2, ff, fv), least_g_factor);
  }
}

// About what RowCostBound gives per unit of squared distance for F's vertex `row` (it rounds down and saturates).
template <JoinVariant kVariant>
double ApproxRowScale(const CostVertex& row, int32_t least_g_factor) {
  const double g_factor = std::max(least_g_factor, 0);
  if constexpr (kVariant == JoinVariant::kInsideNeighbours) {
    return 0.25;
  } else if constexpr (kVariant == JoinVariant::kGlobalNeighbours) {
    return std::max(row.mark, 0) * g_factor;
  } else {
    return (row.flag ? std::max(row.mark, 0) / 10.0 : 1.0) * g_factor / 10.0;
  }
}

// Calls visit(row) for the rows in order of (bound, position) as long as may_win(bound, position) holds, which
// only ever turns false as visits go on and is false for every row after one it is false for. Given a cost limit
// (`limited`), the rows that cannot win from the start (at or above it: half the rows on drawings of figures
// stacked many deep) are set aside before the rest are put in order. `rows` is left in no particular order.
template <class MayWin, class Visit>
[[gnu::always_inline]] inline void VisitRowsInOrder(std::vector<SearchRow>& rows, bool limited, MayWin&& may_win,
                                                    Visit&& visit) {
  const auto row_order = [](const SearchRow& a, const SearchRow& b) {
    return a.bound != b.bound ? a.bound < b.bound : a.position < b.position;
  };
  const auto can_win = [&](const SearchRow& row) { return may_win(row.bound, row.position); };
  // Rows all at one bound (figures overlapping) are in order already; setting none aside keeps them so.
  const auto end = limited ? std::partition(rows.begin(), rows.end(), can_win) : rows.end();
  if (!std::is_sorted(rows.begin(), end, row_order)) std::sort(rows.begin(), end, row_order);
  for (auto row = rows.begin(); row != end; ++row) {
    if (!can_win(*row)) return;  // nor can any row after it
    visit(*row);
  }
}

template <JoinVariant kVariant>
std::optional<JoinPair> CheapestOf(const tfigura& ff, int32_t f, const tfigura& gg, int32_t g,
                                   std::span<const int32_t> f_vertices, std::span<const int32_t> g_vertices,
                                   const PointBox* known_g_box, int64_t cost_limit, VertexPairScratch::State& scratch) {
  // The answer is the least (cost, position in f_vertices, position in g_vertices) below the cost limit: the pair
  // a plain scan of the rows in order keeps with its strict-less test, started from the limit. Rows are visited
  // nearest to G's box first, so that a cheap pair turns up early, and a row whose lower bound is above the best
  // cost (or equal to it, behind the best's row) cannot hold the answer and is passed over; so are all rows after
  // it. Within a row of a large pair, G's vertices are met nearest first and the search stops where their distance
  // alone outweighs the best cost.
  using Row = SearchRow;
  std::vector<Row>& rows = scratch.rows;
  std::vector<CostVertex>& columns = scratch.columns;
  columns.clear();
  int32_t least_g_factor = 10;
  bool plain_columns = true;
  for (const int32_t gv : g_vertices) {
    columns.push_back(CostVertexOf<kVariant>(gg, gv, 0));
    least_g_factor = std::min(least_g_factor, FactorOf<kVariant>(columns.back()));
    plain_columns = plain_columns && columns.back().plain;
  }
  const int64_t shift = PairShift<kVariant>(ff, gg);
  const auto row_vertex = [&](int32_t fv) {
    CostVertex from = CostVertexOf<kVariant>(ff, fv, shift);
    from.plain = from.plain && plain_columns;
    return from;
  };
  std::optional<JoinPair> best;
  int64_t best_cost = cost_limit;
  size_t best_row = 0, best_column = 0;
  if (columns.size() == 1) {
    // One vertex of G (the start join's): a pair costs no more to measure than to bound, every row is measured
    // in order and the first of equal costs stays.
    for (size_t row = 0; row < f_vertices.size(); ++row) {
      const int64_t cost = CostInRow<kVariant>(row_vertex(f_vertices[row]), columns[0]);
      if (cost < best_cost) {
        best_cost = cost;
        best = JoinPair{f, f_vertices[row], g, g_vertices[0], cost};
      }
    }
    return best;
  }
  rows.clear();
  for (size_t i = 0; i < f_vertices.size(); ++i) rows.push_back({0, i});
  const size_t pairs = f_vertices.size() * g_vertices.size();
  const bool limited = cost_limit < kBestCostStart;
  // Small figures keep the rows in order and, unless a limit leaves rows out, with no bound: bounding and ordering
  // them costs more than it saves.
  const bool sorted = pairs > kPlainScanPairs;
  // Large pairs search G's vertices nearest first through a grid.
  const GridCache::Entry* grid = nullptr;
  if (sorted || limited) {
    const PointBox g_box = known_g_box != nullptr ? *known_g_box : BoxOfPoints(gg.points);
    if (pairs > kGridPairs) grid = &scratch.grids.For(gg, g_vertices, columns, g_box, scratch.cell_of, scratch.fill);
    const RadialSpread spread = grid != nullptr ? grid->spread : RadialSpread();
    for (Row& row : rows) {
      const int32_t fv = f_vertices[row.position];
      const TPlotPoint& p = ff.points[static_cast<size_t>(fv)];
      const PointBox at{p.x, p.y, p.x, p.y, false};
      // The shift moves F's vertex by at most 3 on each axis relative to G's.
      const int64_t box_gap2 = BoxGapSquared(at, g_box, shift < 0 ? -shift : shift);
      row.bound = RowCostBound<kVariant>(box_gap2, ff, fv, least_g_factor);
      // A row the box alone puts at or above the limit is set aside whatever the spread says: no square root.
      if (row.bound >= cost_limit) continue;
      const int64_t spread_gap2 = spread.GapSquaredFrom(int64_t{p.x} + shift, int64_t{p.y} + shift);
      if (spread_gap2 > box_gap2) row.bound = RowCostBound<kVariant>(spread_gap2, ff, fv, least_g_factor);
    }
  }
  // A later candidate replaces the best when it is less in (cost, row, column); nothing found ties with the limit.
  const auto consider = [&](size_t row, const CostVertex& from, size_t column) __attribute__((always_inline)) {
    const int64_t cost = CostInRow<kVariant>(from, columns[column]);
    if (cost < best_cost ||
        (best && cost == best_cost && (row < best_row || (row == best_row && column < best_column)))) {
      best_cost = cost;
      best_row = row;
      best_column = column;
      best = JoinPair{f, f_vertices[row], g, g_vertices[column], cost};
    }
  };
  // Whether candidates of this lower bound in this row may still be the answer.
  const auto may_win = [&](int64_t bound, size_t row) {
    return bound < best_cost || (best && bound == best_cost && row <= best_row);
  };
  if (grid != nullptr) {
    VisitRowsInOrder(rows, limited, may_win, [&](const Row& row) __attribute__((always_inline)) {
      const int32_t fv = f_vertices[row.position];
      const CostVertex from = row_vertex(fv);
      const auto row_may_win = [&](int64_t d2) {
        return may_win(RowCostBound<kVariant>(d2, ff, fv, least_g_factor), row.position);
      };
      // A run of cells is passed over when its bound cannot win; the bound is worked out exactly only for runs
      // whose estimate comes near the best cost, which most runs that are searched stay well below.
      const double scale = ApproxRowScale<kVariant>(from, least_g_factor);
      grid->grid.Search(
          from.x, from.y, row_may_win,
          [&](int64_t d2) {
            return static_cast<double>(d2) * scale >= static_cast<double>(best_cost) * 0.99 && !row_may_win(d2);
          },
          [&](int32_t column) __attribute__((always_inline)) {
            consider(row.position, from, static_cast<size_t>(column));
          });
    });
    return best;
  }
  // Small pairs: every column of a row in order, so that within the row the first of equal costs stays.
  const auto search_row = [&](const Row& row) {
    const CostVertex from = row_vertex(f_vertices[row.position]);
    for (size_t column = 0; column < columns.size(); ++column) {
      const int64_t cost = CostInRow<kVariant>(from, columns[column]);
      if (cost < best_cost || (best && cost == best_cost && row.position < best_row)) {
        best_cost = cost;
        best_row = row.position;
        best_column = column;
        best = JoinPair{f, f_vertices[row.position], g, g_vertices[column], cost};
      }
    }
  };
  if (sorted) {
    VisitRowsInOrder(rows, limited, may_win, search_row);
  } else {
    for (const Row& row : rows) {
      if (may_win(row.bound, row.position)) search_row(row);
    }
  }
  return best;
}

}  // namespace

bool IsNeighbour(const JoinContext& context, int32_t f, int32_t g) {
  if (context.neighbours == nullptr) return false;
  const std::span<const int32_t> list = context.neighbours->Of(g);
  return std::find(list.begin(), list.end(), f) != list.end();
}

bool PassesFilter(const FigureList& figures, const JoinContext& context, int32_t f, int32_t g) {
  const tfigura& ff = At(figures, f);
  const tfigura& gg = At(figures, g);
  if (!Pending(ff) || f == g) return false;
  switch (context.variant) {
    case JoinVariant::kStart:
      return g == context.start_figure && ff.depth < 2;
    case JoinVariant::kInsideFull:
    case JoinVariant::kInsideNeighbours: {
      if (ff.parent != context.parent || !gg.is_contour || Pending(gg)) return false;
      if (gg.parent != context.parent && g != context.parent) return false;
      if (context.variant == JoinVariant::kInsideFull) return true;
      return IsNeighbour(context, f, g) || EitherOpen(figures, f, g);
    }
    case JoinVariant::kGlobalNeighbours:
      if (!gg.is_contour || Pending(gg) || !GlobalFilter(figures, context, f, g)) return false;
      return EitherOpen(figures, f, g) || IsNeighbour(context, f, g);
    case JoinVariant::kGlobalFull:
      return gg.is_contour && !Pending(gg) && GlobalFilter(figures, context, f, g);
  }
  return false;
}

std::vector<int32_t> VariantVertices(const tfigura& figure, const JoinContext& context, bool as_g) {
  std::vector<int32_t> vertices;
  AppendVariantVertices(figure, context, as_g, vertices);
  return vertices;
}

void AppendVariantVertices(const tfigura& figure, const JoinContext& context, bool as_g,
                           std::vector<int32_t>& vertices) {
  const int32_t n = static_cast<int32_t>(figure.points.size());
  const auto flagged_from = [&](int32_t first) {
    for (int32_t v = first; v < n; ++v) {
      if (figure.vertex_angles[static_cast<size_t>(v)].flag) vertices.push_back(v);
    }
  };
  switch (context.variant) {
    case JoinVariant::kStart:
      if (as_g) {
        vertices.push_back(context.start_vertex);
      } else {
        for (int32_t v = 0; v < n; ++v) vertices.push_back(v);
      }
      break;
    case JoinVariant::kInsideFull:
    case JoinVariant::kGlobalFull: {
      const int32_t k = SamplingStep(figure.points.size());
      for (int32_t v = 0; v < n; v += k) vertices.push_back(v);
      break;
    }
    case JoinVariant::kInsideNeighbours:
      flagged_from(as_g ? 1 : 0);
      break;
    case JoinVariant::kGlobalNeighbours:
      flagged_from(0);
      break;
  }
}

int64_t PairCost(const tfigura& f_figure, int32_t f, const tfigura& g_figure, int32_t g, JoinVariant variant) {
  switch (variant) {
    case JoinVariant::kStart:
      return CostOf<JoinVariant::kStart>(f_figure, f, g_figure, g);
    case JoinVariant::kGlobalFull:
      return CostOf<JoinVariant::kGlobalFull>(f_figure, f, g_figure, g);
    case JoinVariant::kInsideFull:
      return CostOf<JoinVariant::kInsideFull>(f_figure, f, g_figure, g);
    case JoinVariant::kInsideNeighbours:
      return CostOf<JoinVariant::kInsideNeighbours>(f_figure, f, g_figure, g);
    case JoinVariant::kGlobalNeighbours:
      return CostOf<JoinVariant::kGlobalNeighbours>(f_figure, f, g_figure, g);
  }
  return kCostCeiling;
}

std::optional<JoinPair> CheapestVertexPair(const FigureList& figures, const JoinContext& context, int32_t f,
                                           int32_t g, std::span<const int32_t> f_vertices,
                                           std::span<const int32_t> g_vertices, const PointBox* g_box,
                                           int64_t cost_limit) {
  if (f_vertices.empty() || g_vertices.empty()) return std::nullopt;
  if (context.pair_scratch == nullptr) {
    VertexPairScratch own;
    JoinContext with_own = context;
    with_own.pair_scratch = &own;
    return CheapestVertexPair(figures, with_own, f, g, f_vertices, g_vertices, g_box, cost_limit);
  }
  const tfigura& ff = At(figures, f);
  const tfigura& gg = At(figures, g);
  VertexPairScratch::State& scratch = context.pair_scratch->state();
  switch (context.variant) {
    case JoinVariant::kStart:
      return CheapestOf<JoinVariant::kStart>(ff, f, gg, g, f_vertices, g_vertices, g_box, cost_limit, scratch);
    case JoinVariant::kGlobalFull:
      return CheapestOf<JoinVariant::kGlobalFull>(ff, f, gg, g, f_vertices, g_vertices, g_box, cost_limit, scratch);
    case JoinVariant::kInsideFull:
      return CheapestOf<JoinVariant::kInsideFull>(ff, f, gg, g, f_vertices, g_vertices, g_box, cost_limit, scratch);
    case JoinVariant::kInsideNeighbours:
      return CheapestOf<JoinVariant::kInsideNeighbours>(ff, f, gg, g, f_vertices, g_vertices, g_box, cost_limit,
                                                        scratch);
    case JoinVariant::kGlobalNeighbours:
      return CheapestOf<JoinVariant::kGlobalNeighbours>(ff, f, gg, g, f_vertices, g_vertices, g_box, cost_limit,
                                                        scratch);
  }
  return std::nullopt;
}

int64_t BoundSlack(JoinVariant variant) { return variant == JoinVariant::kInsideFull ? 3 : 0; }

int64_t CostBoundOfGapSquared(int64_t d2, JoinVariant variant, int32_t min_mark) {
  if (min_mark <= 0) return 0;
  const int32_t m = std::min(min_mark, 10);
  switch (variant) {
    case JoinVariant::kStart:
    case JoinVariant::kGlobalFull:
    case JoinVariant::kInsideFull:
      return CostScaled(CostScaled(d2, m), m);
    case JoinVariant::kInsideNeighbours:
      return CostScaled(CostScaled(d2, 5), 5);
    case JoinVariant::kGlobalNeighbours:
      return CostTimes(CostTimes(d2, m), m);
  }
  return 0;
}

int64_t PairCostBound(const PointBox& f_box, const PointBox& g_box, JoinVariant variant, int32_t min_mark) {
  if (f_box.empty || g_box.empty) return 0;
  return CostBoundOfGapSquared(BoxGapSquared(f_box, g_box, BoundSlack(variant)), variant, min_mark);
}

}  // namespace varnholt
