// Kerf offsets of single outlines and of a drawing's figures: sizes, direction and start kept, sharp corners,
// figures that vanish or split, lead-ins that follow their outline.

#include "project/kerf_offset.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace varnholt {
namespace {

using Points = std::vector<TPlotPoint>;

FigureList Figures(const std::vector<Points>& paths) {
  FigureList figures;
  for (const Points& points : paths) {
    auto figure = std::make_unique<tfigura>();
    figure->points = points;
    licz_parametry(*figure);
    figures.push_back(std::move(figure));
  }
  return figures;
}

TEST(OffsetOutline, ASquareGrowsAndShrinksByTheDistanceKeepingDirectionAndStart) {
  // Counter-clockwise from the lower left corner.
  const Points square = {{0, 0}, {4000, 0}, {4000, 4000}, {0, 4000}, {0, 0}};
  EXPECT_EQ(OffsetOutline(square, 20), (Points{{-20, -20}, {4020, -20}, {4020, 4020}, {-20, 4020}, {-20, -20}}))
      << "right angles keep a sharp mitre";
  EXPECT_EQ(OffsetOutline(square, -20), (Points{{20, 20}, {3980, 20}, {3980, 3980}, {20, 3980}, {20, 20}}));
  // Clockwise, from the upper right corner, closed within the closing tolerance instead of exactly.
  const Points clockwise = {{4000, 4000}, {4000, 0}, {0, 0}, {0, 4000}, {3995, 4003}};
  EXPECT_EQ(OffsetOutline(clockwise, 20),
            (Points{{4020, 4020}, {4020, -20}, {-20, -20}, {-20, 4020}, {4020, 4020}}));
}

TEST(OffsetOutline, NothingWhenTheOutlineVanishesOrSplits) {
  // A slot 0.5 mm wide under a 1 mm kerf.
  EXPECT_FALSE(OffsetOutline({{0, 0}, {2000, 0}, {2000, 20}, {0, 20}, {0, 0}}, -20));
  // Two 20 mm rooms joined by a 0.5 mm passage come apart.
  const Points dumbbell = {{0, 0},      {800, 0},    {800, 390},  {1600, 390}, {1600, 0},  {2400, 0},
                           {2400, 800}, {1600, 800}, {1600, 410}, {800, 410},  {800, 800}, {0, 800}, {0, 0}};
  EXPECT_FALSE(OffsetOutline(dumbbell, -20));
  EXPECT_TRUE(OffsetOutline(dumbbell, 20)) << "outwards it stays one outline";
  EXPECT_FALSE(OffsetOutline({{0, 0}, {100, 100}, {0, 0}}, 20)) << "fewer than three corners";
}

TEST(OffsetOutline, SharpTipsAreSquaredOffWithinTheMitreLimit) {
  // A spike of about 11 degrees: its mitre would reach ten offset distances beyond the tip.
  const Points spike = {{0, 0}, {4000, 200}, {0, 400}, {0, 0}};
  const auto outline = OffsetOutline(spike, 20);
  ASSERT_TRUE(outline);
  int32_t furthest_x = 0;
  for (const TPlotPoint& p : *outline) furthest_x = std::max(furthest_x, p.x);
  EXPECT_GE(furthest_x, 4020) << "the tip stays whole";
  EXPECT_LE(furthest_x, 4000 + static_cast<int32_t>(kKerfMitreLimit * 20) + 1);
}

TEST(CompensateKerf, PartsGrowHolesShrinkIslandsGrowOpenLinesStay) {
  const FigureList drawn = Figures({
      {{0, 0}, {4000, 0}, {4000, 4000}, {0, 4000}, {0, 0}},          // a 100 mm part
      {{1000, 1000}, {1800, 1000}, {1800, 1800}, {1000, 1800}, {1000, 1000}},  // a 20 mm hole in it
      {{1200, 1200}, {1600, 1200}, {1600, 1600}, {1200, 1600}, {1200, 1200}},  // a 10 mm island in the hole
      {{5000, 0}, {6000, 1000}},                                     // a line on its own
  });
  const KerfCompensation result = CompensateKerf(drawn, {0, 1, 2, 0}, 1.0);
  ASSERT_EQ(result.figures.size(), 4u);
  EXPECT_TRUE(result.kept_as_drawn.empty());
  const auto size = [&](size_t i) { return result.figures[i]->width; };
  EXPECT_EQ(size(0), 4040) << "cut as a 101 mm square";
  EXPECT_EQ(size(1), 760) << "the hole as a 19 mm square";
  EXPECT_EQ(size(2), 440) << "the island grows again to 11 mm";
  EXPECT_EQ(result.figures[0]->min_x, -20);
  EXPECT_EQ(result.figures[3]->points, drawn[3]->points);
  EXPECT_EQ(result.figures[0]->closed, 1);
  EXPECT_EQ(result.figures[0]->points.size(), 5u);
}

TEST(CompensateKerf, ANarrowSlotIsKeptAsDrawnAndNamed) {
  const FigureList drawn = Figures({
      {{0, 0}, {4000, 0}, {4000, 4000}, {0, 4000}, {0, 0}},
      {{1000, 1000}, {3000, 1000}, {3000, 1020}, {1000, 1020}, {1000, 1000}},  // 0.5 mm wide
  });
  const KerfCompensation result = CompensateKerf(drawn, {0, 1}, 1.0);
  EXPECT_EQ(result.kept_as_drawn, std::vector<int32_t>{1});
  EXPECT_EQ(result.figures[1]->points, drawn[1]->points);
  EXPECT_EQ(result.figures[0]->width, 4040) << "the part around it is still compensated";
}

TEST(CompensateKerf, AVertexOfAnOpenFigureFollowsTheOutlineItTouches) {
  const FigureList drawn = Figures({
      {{0, 2000}, {1400, 2000}, {2795, 2004}},                                  // a lead-in, ending 5 units off
      {{2800, 2000}, {4000, 800}, {5200, 2000}, {4000, 3200}, {2800, 2000}},  // a diamond
  });
  const KerfCompensation result = CompensateKerf(drawn, {0, 0}, 1.0);
  const Points& lead_in = result.figures[0]->points;
  ASSERT_EQ(lead_in.size(), 3u);
  EXPECT_EQ(lead_in[0], (TPlotPoint{0, 2000})) << "the free end stays";
  EXPECT_EQ(lead_in[1], (TPlotPoint{1400, 2000}));
  const Points& diamond = result.figures[1]->points;
  EXPECT_NE(std::find(diamond.begin(), diamond.end(), lead_in[2]), diamond.end())
      << "the touching end lies on a vertex of the compensated diamond";
  EXPECT_LT(lead_in[2].x, 2800 - 20) << "outside the grown diamond's left corner";
}

}  // namespace
}  // namespace varnholt
