// The cheapest vertex pair of two figures, found with its row bounds, against the plain scan of every pair in order.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "planner/join_rules.h"
#include "planner/plan_geometry.h"

namespace varnholt {
namespace {

struct Lcg {
  uint64_t state;
  uint32_t Next() {
    state = state * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<uint32_t>(state >> 33);
  }
  int32_t In(int32_t low, int32_t high) { return low + static_cast<int32_t>(Next() % static_cast<uint32_t>(high - low + 1)); }
};

// A figure of the given points with random marks (from `low_mark` up, or 10) and flags, at a random depth.
std::unique_ptr<tfigura> Marked(Lcg& random, std::vector<TPlotPoint> points, int32_t low_mark) {
  auto figure = std::make_unique<tfigura>();
  for (size_t i = 0; i < points.size(); ++i) {
    TVertexAngle angle;
    angle.mark = static_cast<int16_t>(random.In(0, 3) == 0 ? random.In(low_mark, 12) : 10);
    angle.flag = static_cast<uint8_t>(random.In(0, 1));
    figure->vertex_angles.push_back(angle);
  }
  figure->points = std::move(points);
  figure->depth = random.In(0, 3);
  return figure;
}

// A figure of n random points in a square of `spread` units at (x, y), with random marks and flags; coarse
// coordinates make equal costs common, so the tie-break is exercised.
std::unique_ptr<tfigura> RandomFigure(Lcg& random, int32_t x, int32_t y, int32_t spread, int32_t n) {
  std::vector<TPlotPoint> points;
  for (int32_t i = 0; i < n; ++i) points.push_back({x + random.In(0, spread) / 10 * 10, y + random.In(0, spread) / 10 * 10});
  return Marked(random, std::move(points), 1);
}

// Every vertex of a figure, in order.
std::vector<int32_t> EveryVertex(const tfigura& figure) {
  std::vector<int32_t> vertices(figure.points.size());
  for (size_t i = 0; i < vertices.size(); ++i) vertices[i] = static_cast<int32_t>(i);
  return vertices;
}

std::optional<JoinPair> PlainScan(const FigureList& figures, JoinVariant variant, int32_t f, int32_t g,
                                  const std::vector<int32_t>& f_vertices, const std::vector<int32_t>& g_vertices) {
  std::optional<JoinPair> best;
  int64_t best_cost = kBestCostStart;
  for (const int32_t fv : f_vertices) {
    for (const int32_t gv : g_vertices) {
      const int64_t cost = PairCost(*figures[static_cast<size_t>(f)], fv, *figures[static_cast<size_t>(g)], gv, variant);
      if (cost < best_cost) {
        best_cost = cost;
        best = JoinPair{f, fv, g, gv, cost};
      }
    }
  }
  return best;
}

void ExpectSamePair(const std::optional<JoinPair>& found, const std::optional<JoinPair>& expected,
                    const std::string& where) {
  EXPECT_EQ(found.has_value(), expected.has_value()) << where;
  if (!found || !expected) return;
  EXPECT_EQ(found->f_vertex, expected->f_vertex) << where;
  EXPECT_EQ(found->g_vertex, expected->g_vertex) << where;
  EXPECT_EQ(found->cost, expected->cost) << where;
}

// Compares the search with the plain scan under every variant, searching with storage of its own and, when given,
// with `scratch` (kept by the caller from one search to the next, as a planning run keeps it); returns how many
// answers were compared.
int ExpectPlainScanAnswers(const FigureList& figures, const std::vector<int32_t>& f_vertices,
                           const std::vector<int32_t>& g_vertices, const std::string& label,
                           VertexPairScratch* scratch = nullptr) {
  int compared = 0;
  for (const JoinVariant variant : {JoinVariant::kStart, JoinVariant::kInsideFull, JoinVariant::kInsideNeighbours,
                                    JoinVariant::kGlobalFull, JoinVariant::kGlobalNeighbours}) {
    JoinContext context;
    context.variant = variant;
    const auto expected = PlainScan(figures, variant, 0, 1, f_vertices, g_vertices);
    const std::string where = label + " variant " + std::to_string(static_cast<int>(variant));
    ExpectSamePair(CheapestVertexPair(figures, context, 0, 1, f_vertices, g_vertices), expected, where);
    if (scratch != nullptr) {
      context.pair_scratch = scratch;
      ExpectSamePair(CheapestVertexPair(figures, context, 0, 1, f_vertices, g_vertices), expected,
                     where + " with the kept scratch");
    }
    if (expected) ++compared;
  }
  return compared;
}

TEST(VertexPairSearch, SameAnswerAsThePlainScanForEveryVariant) {
  Lcg random{2026};
  int compared = 0;
  for (int round = 0; round < 3000; ++round) {
    FigureList figures;
    const int32_t spread = random.In(20, 4000);
    figures.push_back(RandomFigure(random, 0, 0, spread, random.In(1, 60)));
    // G near F, overlapping it, or far away.
    const int32_t offset = random.In(0, 2) == 0 ? 0 : random.In(-3 * spread, 3 * spread);
    figures.push_back(RandomFigure(random, offset, random.In(-spread, spread), spread, random.In(1, 60)));
    std::vector<int32_t> f_vertices, g_vertices;
    for (int32_t i = 0; i < static_cast<int32_t>(figures[0]->points.size()); ++i) {
      if (random.In(0, 4) != 0) f_vertices.push_back(i);
    }
    for (int32_t i = 0; i < static_cast<int32_t>(figures[1]->points.size()); ++i) {
      if (random.In(0, 4) != 0) g_vertices.push_back(i);
    }
    compared += ExpectPlainScanAnswers(figures, f_vertices, g_vertices, "round " + std::to_string(round));
    if (HasFailure()) return;
  }
  EXPECT_GT(compared, 10000);
}

// A closed ring of n vertices about (x, y) with the radius wobbling, random marks and flags.
std::unique_ptr<tfigura> RandomRing(Lcg& random, int32_t x, int32_t y, int32_t radius, int32_t n) {
  std::vector<TPlotPoint> points;
  for (int32_t i = 0; i < n; ++i) {
    const double a = 6.283185307179586 * i / n;
    const double r = radius + random.In(-radius / 8, radius / 8);
    points.push_back({x + static_cast<int32_t>(r * std::cos(a)) / 5 * 5, y + static_cast<int32_t>(r * std::sin(a)) / 5 * 5});
  }
  return Marked(random, std::move(points), 5);
}

TEST(VertexPairSearch, LargeRingsInsideOneAnotherOrApart) {
  // Large pairs search G's vertices nearest first through a grid: a hole in a ring, rings side by side, a ring
  // far off, with every vertex listed or every k-th.
  Lcg random{99};
  VertexPairScratch scratch;
  int compared = 0;
  for (int round = 0; round < 300; ++round) {
    FigureList figures;
    const int32_t outer = random.In(500, 5000);
    figures.push_back(RandomRing(random, 0, 0, outer * random.In(2, 9) / 10, random.In(30, 400)));
    const int32_t offset = random.In(0, 2) == 0 ? 0 : random.In(-3 * outer, 3 * outer);
    figures.push_back(RandomRing(random, offset, random.In(-outer, outer) / 2, outer, random.In(30, 400)));
    const int32_t step = random.In(1, 3);
    std::vector<int32_t> f_vertices, g_vertices;
    for (int32_t i = 0; i < static_cast<int32_t>(figures[0]->points.size()); i += step) f_vertices.push_back(i);
    for (int32_t i = 0; i < static_cast<int32_t>(figures[1]->points.size()); i += step) g_vertices.push_back(i);
    compared += ExpectPlainScanAnswers(figures, f_vertices, g_vertices, "ring round " + std::to_string(round), &scratch);
    if (HasFailure()) return;
  }
  EXPECT_EQ(compared, 1500);
}

TEST(VertexPairSearch, AFigureSearchedAgainAfterItsPointsMoved) {
  // A grid of G's listed vertices is kept for the searches that follow: once G's points move (in place, the same
  // figure and list), or G is another figure of as many vertices, the search still measures where they are now.
  Lcg random{1616};
  VertexPairScratch scratch;
  int compared = 0;
  for (int round = 0; round < 200; ++round) {
    FigureList figures;
    const int32_t n = random.In(30, 200);
    figures.push_back(RandomRing(random, 0, 0, random.In(300, 3000), random.In(30, 200)));
    figures.push_back(RandomRing(random, random.In(-2000, 2000), random.In(-2000, 2000), random.In(300, 3000), n));
    const std::vector<int32_t> f_vertices = EveryVertex(*figures[0]), g_vertices = EveryVertex(*figures[1]);
    const std::string label = "moved round " + std::to_string(round);
    compared += ExpectPlainScanAnswers(figures, f_vertices, g_vertices, label, &scratch);
    // One vertex moved onto F's nearest point, then the whole ring shifted or redrawn elsewhere.
    figures[1]->points[static_cast<size_t>(random.In(0, n - 1))] = figures[0]->points[0];
    compared += ExpectPlainScanAnswers(figures, f_vertices, g_vertices, label + " one vertex", &scratch);
    const auto other = RandomRing(random, random.In(-2000, 2000), random.In(-2000, 2000), random.In(300, 3000), n);
    std::copy(other->points.begin(), other->points.end(), figures[1]->points.begin());
    compared += ExpectPlainScanAnswers(figures, f_vertices, g_vertices, label + " redrawn", &scratch);
    figures[1] = RandomRing(random, random.In(-2000, 2000), random.In(-2000, 2000), random.In(300, 3000), n);
    compared += ExpectPlainScanAnswers(figures, f_vertices, g_vertices, label + " another figure", &scratch);
    if (HasFailure()) return;
  }
  EXPECT_EQ(compared, 4000);
}

TEST(VertexPairSearch, ManyTargetsInTurnWithAKeptScratchOrWithout) {
  // A run's searches alternate between many targets, more than the scratch keeps grids for, among them targets of
  // one box and as many vertices that differ only within (a grid kept for one must not serve the other). Two runs
  // through one scratch, a fresh scratch and none give the same pairs, the plain scan's.
  Lcg random{4242};
  FigureList figures;
  for (int k = 0; k < 8; ++k) figures.push_back(RandomRing(random, random.In(-4000, 4000), random.In(-4000, 4000), 900, 120));
  const int32_t sources = static_cast<int32_t>(figures.size());
  for (int k = 0; k < 150; ++k) {
    auto ring = RandomRing(random, random.In(-3000, 3000), random.In(-3000, 3000), random.In(400, 1500), 90);
    if (k % 3 == 2) {
      // The last target's box and length, one vertex moved onto a corner of the box (where it is the nearest to
      // a figure beyond that corner).
      const tfigura& last = *figures.back();
      ring->points = last.points;
      ring->vertex_angles = last.vertex_angles;
      const PointBox box = BoxOfPoints(last.points);
      const bool left = random.In(0, 1) == 0, low = random.In(0, 1) == 0;
      ring->points[static_cast<size_t>(random.In(0, 89))] = {left ? box.min_x : box.max_x, low ? box.min_y : box.max_y};
      const PointBox moved = BoxOfPoints(ring->points);
      if (moved.min_x != box.min_x || moved.min_y != box.min_y || moved.max_x != box.max_x || moved.max_y != box.max_y) {
        continue;
      }
    }
    figures.push_back(std::move(ring));
  }
  std::vector<std::array<int32_t, 2>> searches;
  for (int k = 0; k < 1200; ++k) {
    searches.push_back({random.In(0, sources - 1), random.In(sources, static_cast<int32_t>(figures.size()) - 1)});
  }
  VertexPairScratch kept;
  int compared = 0;
  for (int run = 0; run < 3; ++run) {
    VertexPairScratch fresh;
    VertexPairScratch* const scratch = run < 2 ? &kept : &fresh;
    for (const JoinVariant variant : {JoinVariant::kGlobalNeighbours, JoinVariant::kInsideFull}) {
      JoinContext context;
      context.variant = variant;
      context.pair_scratch = scratch;
      for (const auto& [f, g] : searches) {
        const std::vector<int32_t> f_vertices = EveryVertex(*figures[static_cast<size_t>(f)]);
        const std::vector<int32_t> g_vertices = EveryVertex(*figures[static_cast<size_t>(g)]);
        const auto expected = PlainScan(figures, variant, f, g, f_vertices, g_vertices);
        const std::string where = "run " + std::to_string(run) + " variant " +
                                  std::to_string(static_cast<int>(variant)) + " f " + std::to_string(f) + " g " +
                                  std::to_string(g);
        ExpectSamePair(CheapestVertexPair(figures, context, f, g, f_vertices, g_vertices), expected, where);
        if (run == 0) {
          JoinContext own = context;
          own.pair_scratch = nullptr;
          ExpectSamePair(CheapestVertexPair(figures, own, f, g, f_vertices, g_vertices), expected, where + " own");
        }
        if (HasFailure()) return;
        ++compared;
      }
    }
  }
  EXPECT_EQ(compared, 7200);
}

TEST(VertexPairSearch, FiguresAtTheCoordinateLimits) {
  // Distances beyond 2^31 on an axis square past the ceiling and the shifts of the inside join go beyond the
  // coordinates' range: every variant still gives the plain scan's pair, saturated costs tying included.
  Lcg random{7};
  int compared = 0;
  constexpr int32_t kSpread = 3000;
  for (int round = 0; round < 200; ++round) {
    FigureList figures;
    const bool f_low = random.In(0, 1) == 0;
    const int32_t fx = f_low ? INT32_MIN : INT32_MAX - kSpread;
    figures.push_back(RandomFigure(random, fx, random.In(0, 2) == 0 ? INT32_MIN : 0, kSpread, random.In(1, 60)));
    // G at the far corner, on the same side, or overlapping F.
    const int32_t g_case = random.In(0, 2);
    const int32_t gx = g_case == 0 ? (f_low ? INT32_MAX - kSpread : INT32_MIN) : fx;
    const int32_t gy = g_case == 1 ? INT32_MAX - kSpread : figures[0]->points[0].y;
    figures.push_back(RandomFigure(random, gx, gy, kSpread, random.In(1, 60)));
    const std::vector<int32_t> f_vertices = EveryVertex(*figures[0]), g_vertices = EveryVertex(*figures[1]);
    compared += ExpectPlainScanAnswers(figures, f_vertices, g_vertices, "limit round " + std::to_string(round));
    if (HasFailure()) return;
  }
  EXPECT_EQ(compared, 1000);
}

TEST(VertexPairSearch, ACostLimitGivesTheSamePairBelowItAndNothingAtOrAboveIt) {
  // A caller that already holds a pair of some cost asks only for a cheaper one: the limit never changes which pair
  // is found, only whether it is returned. Small and large pairs (plain scan, bounded rows, the grid) alike.
  Lcg random{1616};
  int compared = 0, returned = 0;
  for (int round = 0; round < 600; ++round) {
    FigureList figures;
    const bool rings = round % 3 == 0;
    const int32_t spread = random.In(100, 3000);
    const int32_t offset = random.In(0, 2) == 0 ? 0 : random.In(-2 * spread, 2 * spread);
    if (rings) {
      figures.push_back(RandomRing(random, 0, 0, spread * random.In(2, 8) / 10, random.In(30, 300)));
      figures.push_back(RandomRing(random, offset, 0, spread, random.In(30, 300)));
    } else {
      figures.push_back(RandomFigure(random, 0, 0, spread, random.In(1, 40)));
      figures.push_back(RandomFigure(random, offset, random.In(-spread, spread), spread, random.In(1, 40)));
    }
    const std::vector<int32_t> f_vertices = EveryVertex(*figures[0]), g_vertices = EveryVertex(*figures[1]);
    for (const JoinVariant variant : {JoinVariant::kStart, JoinVariant::kInsideFull, JoinVariant::kInsideNeighbours,
                                      JoinVariant::kGlobalFull, JoinVariant::kGlobalNeighbours}) {
      JoinContext context;
      context.variant = variant;
      const auto expected = PlainScan(figures, variant, 0, 1, f_vertices, g_vertices);
      ASSERT_TRUE(expected.has_value());
      const int64_t cost = expected->cost;
      const PointBox g_box = BoxOfPoints(figures[1]->points);
      for (const int64_t limit : {cost, cost + 1, cost + 1 + random.In(0, 1000000), cost / 2, int64_t{0}}) {
        const std::string where = "round " + std::to_string(round) + " variant " +
                                  std::to_string(static_cast<int>(variant)) + " limit " + std::to_string(limit) +
                                  " cost " + std::to_string(cost);
        const auto found = CheapestVertexPair(figures, context, 0, 1, f_vertices, g_vertices, &g_box, limit);
        ASSERT_EQ(found.has_value(), cost < limit) << where;
        ++compared;
        if (!found) continue;
        ++returned;
        EXPECT_EQ(found->f_vertex, expected->f_vertex) << where;
        EXPECT_EQ(found->g_vertex, expected->g_vertex) << where;
        EXPECT_EQ(found->cost, cost) << where;
      }
      if (HasFailure()) return;
    }
  }
  EXPECT_EQ(compared, 15000);
  EXPECT_GT(returned, 5000);
}

TEST(VertexPairSearch, UnusualMarksAndDistancesAroundTwoToTheFortieth) {
  // Costs are plain products while the distance and the marks keep them far below the ceiling, and saturating
  // steps otherwise: marks of 0, below 0, about a thousand or the largest a mark holds, and squared distances either side of 2^40 (about a
  // million units apart), give the plain scan's pair and cost.
  Lcg random{40};
  int compared = 0;
  for (int round = 0; round < 400; ++round) {
    FigureList figures;
    figures.push_back(RandomFigure(random, 0, 0, 2000, random.In(1, 40)));
    const int32_t apart = (1 << 20) + random.In(-3000, 3000);
    figures.push_back(RandomFigure(random, random.In(0, 1) == 0 ? apart : 0, random.In(0, 1) == 0 ? apart : 0, 2000,
                                   random.In(1, 40)));
    for (auto& figure : figures) {
      for (TVertexAngle& angle : figure->vertex_angles) {
        const int32_t pick = random.In(0, 9);
        if (pick == 0) angle.mark = 0;
        if (pick == 1) angle.mark = static_cast<int16_t>(-random.In(1, 5));
        if (pick == 2) angle.mark = static_cast<int16_t>(random.In(999, 1001));
        if (pick == 3) angle.mark = std::numeric_limits<int16_t>::max();
      }
    }
    const std::vector<int32_t> f_vertices = EveryVertex(*figures[0]), g_vertices = EveryVertex(*figures[1]);
    compared += ExpectPlainScanAnswers(figures, f_vertices, g_vertices, "mark round " + std::to_string(round));
    if (HasFailure()) return;
  }
  EXPECT_EQ(compared, 2000);
}

TEST(VertexPairSearch, CostProductsSaturateAtTheCeiling) {
  EXPECT_EQ(CostTimes(3, 4), 12);
  EXPECT_EQ(CostTimes(0, 9), 0);
  EXPECT_EQ(CostTimes(9, -1), 0);
  EXPECT_EQ(CostTimes(kCostCeiling, 1), kCostCeiling);
  EXPECT_EQ(CostTimes(kCostCeiling / 2 - 1, 2), kCostCeiling - 2) << "just below the ceiling stays exact";
  EXPECT_EQ(CostTimes(kCostCeiling / 2 + 1, 2), kCostCeiling);
  EXPECT_EQ(CostTimes(INT64_MAX, INT64_MAX), kCostCeiling);
}

}  // namespace
}  // namespace varnholt
