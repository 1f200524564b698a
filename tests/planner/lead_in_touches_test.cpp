// Lead-in touches found through the cell index of every vertex and through batches of the open vertices, against the
// plain comparison of every vertex with every vertex of every other entry.

#include "planner/lead_in_touches.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>

#include "planner/literal_plan_search.h"
#include "planner/plan_geometry.h"

namespace varnholt {
namespace {

// Figures on a coarse lattice around (x0, y0), so that distances of exactly 10 and equal coordinates are common:
// open and closed, scattered or as walks, a few large, some in the same place.
FigureList RandomFigures(std::mt19937& rng, int64_t x0, int64_t y0) {
  const auto uniform = [&](int32_t lo, int32_t hi) { return std::uniform_int_distribution<int32_t>(lo, hi)(rng); };
  FigureList figures;
  const int count = uniform(1, 12);
  for (int i = 0; i < count; ++i) {
    auto figure = std::make_unique<tfigura>();
    figure->open = uniform(0, 2) != 0 ? 1 : 0;
    const int32_t n = uniform(0, 9) == 0 ? uniform(100, 300) : uniform(0, 30);
    const bool walk = uniform(0, 1) == 0;
    const int64_t x = x0 + uniform(0, 60) * 2, y = y0 + uniform(0, 60) * 2;
    TPlotPoint p{static_cast<int32_t>(x), static_cast<int32_t>(y)};
    for (int32_t k = 0; k < n; ++k) {
      if (walk) {
        p = {p.x + uniform(-4, 4) * 2, p.y + uniform(-4, 4) * 2};
      } else {
        p = {static_cast<int32_t>(x + uniform(0, 30) * 3), static_cast<int32_t>(y + uniform(0, 30) * 3)};
      }
      figure->points.push_back(p);
    }
    figures.push_back(std::move(figure));
  }
  return figures;
}

TEST(LeadInTouches, SameMarksAsThePlainComparison) {
  std::mt19937 rng(1601);
  const std::unique_ptr<PlanSearch> plain = MakeLiteralPlanSearch();
  size_t marked = 0, unmarked = 0;
  // Around the origin (cells on both sides of zero) and near both ends of the coordinate range.
  const int64_t origins[] = {-60, INT32_MIN + 3000, INT32_MAX - 3000};
  for (int round = 0; round < 1500; ++round) {
    const int64_t origin = origins[round % 3];
    const FigureList figures = RandomFigures(rng, origin, round % 2 == 0 ? origin : -60);
    const std::vector<std::vector<uint8_t>> expected = plain->OpenVertexTouches(figures);
    ASSERT_EQ(LeadInTouches(figures, VertexCells(figures)), expected) << "round " << round;
    // Through the open vertices alone: one batch, and batches of a figure or a few (each entry checked against
    // several batches).
    std::vector<PointBox> boxes;
    for (const auto& f : figures) boxes.push_back(BoxOfPoints(f->points));
    for (const size_t batch : {size_t{1} << 20, size_t{1}, size_t{40}}) {
      ASSERT_EQ(LeadInTouches(figures, boxes, batch), expected) << "round " << round << " batch " << batch;
    }
    for (const auto& row : expected) {
      for (const uint8_t m : row) (m ? marked : unmarked) += 1;
    }
  }
  EXPECT_GT(marked, 10000u);
  EXPECT_GT(unmarked, 10000u);
}

}  // namespace
}  // namespace varnholt
