// Touching pairs found through the vertices near the other figure's box, against the plain
// comparison of every vertex with every vertex.

#include <gtest/gtest.h>

#include <memory>
#include <random>

#include "planner/plan_geometry.h"
#include "planner/vertex_nearness.h"

namespace varnholt {
namespace {

// A figure of n points on a coarse lattice (so that distances of exactly 10 and equal coordinates are common),
// either scattered or as a walk, at (x, y).
std::unique_ptr<tfigura> RandomFigure(std::mt19937& rng, int32_t x, int32_t y, int32_t n) {
  const auto uniform = [&](int32_t lo, int32_t hi) { return std::uniform_int_distribution<int32_t>(lo, hi)(rng); };
  auto figure = std::make_unique<tfigura>();
  const bool walk = uniform(0, 1) == 0;
  TPlotPoint p{x, y};
  for (int32_t i = 0; i < n; ++i) {
    if (walk) {
      p = {p.x + uniform(-3, 3) * 2, p.y + uniform(-3, 3) * 2};
    } else {
      p = {x + uniform(0, 40) * 2, y + uniform(0, 40) * 2};
    }
    figure->points.push_back(p);
  }
  return figure;
}

TEST(VertexNearness, SamePairsAsThePlainComparison) {
  std::mt19937 rng(77);
  const auto uniform = [&](int32_t lo, int32_t hi) { return std::uniform_int_distribution<int32_t>(lo, hi)(rng); };
  int touching = 0;
  for (int round = 0; round < 3000; ++round) {
    FigureList figures;
    // Small figures are scanned whole, large ones (above 48 vertices) through their vertices ordered by x.
    figures.push_back(RandomFigure(rng, 0, 0, uniform(1, 120)));
    figures.push_back(RandomFigure(rng, uniform(-90, 90), uniform(-90, 90), uniform(1, 120)));
    const PointBox box0 = BoxOfPoints(figures[0]->points), box1 = BoxOfPoints(figures[1]->points);
    VertexNearness near(figures);
    TouchPair self;
    // A walk comes back to its own vertices, yet a figure never touches itself.
    ASSERT_FALSE(near.TouchPairOf(0, box0, 0, box0, self)) << "round " << round;
    for (const auto& [a, b] : {std::pair{0, 1}, std::pair{1, 0}}) {
      const PointBox& a_box = a == 0 ? box0 : box1;
      const PointBox& b_box = a == 0 ? box1 : box0;
      TouchPair expected, found;
      tfigura copy_a = *figures[static_cast<size_t>(a)], copy_b = *figures[static_cast<size_t>(b)];
      const bool plain = Touch(copy_a, copy_b, expected);
      ASSERT_EQ(near.TouchPairOf(a, a_box, b, b_box, found), plain) << "round " << round;
      if (plain) {
        ++touching;
        ASSERT_EQ(found.a, expected.a) << "round " << round;
        ASSERT_EQ(found.b, expected.b) << "round " << round;
      }
    }
  }
  EXPECT_GT(touching, 1000);
}

}  // namespace
}  // namespace varnholt
