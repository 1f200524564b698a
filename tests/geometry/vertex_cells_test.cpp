// The vertex index against a plain pass over every vertex: every vertex within the touch tolerance of a point is
// met, on drawings around zero, at the ends of the coordinate range and spread so thin that the cells grow.

#include "geometry/vertex_cells.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <set>

namespace varnholt {
namespace {

TEST(VertexCells, EveryVertexWithinTheToleranceIsMetWithItsEntryAndIndex) {
  std::mt19937 rng(3003);
  const auto uniform = [&](int64_t lo, int64_t hi) { return std::uniform_int_distribution<int64_t>(lo, hi)(rng); };
  int64_t near_total = 0;
  for (int round = 0; round < 400; ++round) {
    // Around zero (cells on both sides of it), near either end of the int32 range, or a few clusters far apart.
    const int kind = round % 4;
    const int64_t base = kind == 1 ? INT32_MIN : (kind == 2 ? int64_t{INT32_MAX} - 200 : -100);
    FigureList figures;
    for (int64_t f = uniform(0, 12); f > 0; --f) {
      auto figure = std::make_unique<tfigura>();
      const int64_t spread = kind == 3 ? int64_t{1} << uniform(8, 30) : 200;
      for (int64_t v = uniform(0, 30); v > 0; --v) {
        // A coarse lattice, so that distances of exactly 10 and shared positions are common.
        const int64_t x = std::clamp<int64_t>(base + uniform(0, spread) / 2 * 2, INT32_MIN, INT32_MAX);
        const int64_t y = std::clamp<int64_t>(base + uniform(0, 200) / 2 * 2, INT32_MIN, INT32_MAX);
        figure->points.push_back({static_cast<int32_t>(x), static_cast<int32_t>(y)});
      }
      figures.push_back(std::move(figure));
    }
    const VertexCells cells(figures);
    ASSERT_EQ(cells.entries(), static_cast<int32_t>(figures.size()));
    for (int query = 0; query < 20; ++query) {
      const int32_t x = static_cast<int32_t>(std::clamp<int64_t>(base + uniform(-20, 220), INT32_MIN, INT32_MAX));
      const int32_t y = static_cast<int32_t>(std::clamp<int64_t>(base + uniform(-20, 220), INT32_MIN, INT32_MAX));
      std::set<std::pair<int32_t, int32_t>> expected, met;
      for (size_t e = 0; e < figures.size(); ++e) {
        for (size_t v = 0; v < figures[e]->points.size(); ++v) {
          const TPlotPoint& p = figures[e]->points[v];
          if (std::llabs(int64_t{p.x} - x) <= kTouchTolerance && std::llabs(int64_t{p.y} - y) <= kTouchTolerance) {
            expected.insert({static_cast<int32_t>(e), static_cast<int32_t>(v)});
          }
        }
      }
      cells.Near(x, y, [&](const VertexCells::Vertex& q) {
        const int32_t e = cells.EntryOf(q.id);
        const auto v = static_cast<int32_t>(q.id - cells.FirstId(e));
        const TPlotPoint& p = figures[static_cast<size_t>(e)]->points[static_cast<size_t>(v)];
        EXPECT_EQ(p.x, q.x);
        EXPECT_EQ(p.y, q.y);
        if (std::llabs(int64_t{q.x} - x) <= kTouchTolerance && std::llabs(int64_t{q.y} - y) <= kTouchTolerance) {
          met.insert({e, v});
        }
        return false;
      });
      ASSERT_EQ(met, expected) << "round " << round << " query " << query;
      near_total += static_cast<int64_t>(expected.size());
    }
  }
  EXPECT_GT(near_total, 4000);
}

}  // namespace
}  // namespace varnholt
