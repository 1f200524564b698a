// Kerf offsets of single outlines and of a drawing's figures: sizes, direction and start kept, sharp corners,
// figures that vanish or split, lead-ins that follow their outline.

#include "project/kerf_offset.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>

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

TEST(CompensateKerf, PartsGrowHolesShrinkIslandsGrowOpenLinesAndTooNarrowSlotsStay) {
  const FigureList drawn = Figures({
      {{0, 0}, {4000, 0}, {4000, 4000}, {0, 4000}, {0, 0}},          // a 100 mm part
      {{1000, 1000}, {1800, 1000}, {1800, 1800}, {1000, 1800}, {1000, 1000}},  // a 20 mm hole in it
      {{1200, 1200}, {1600, 1200}, {1600, 1600}, {1200, 1600}, {1200, 1200}},  // a 10 mm island in the hole
      {{5000, 0}, {6000, 1000}},                                     // a line on its own
      {{400, 3000}, {3600, 3000}, {3600, 3020}, {400, 3020}, {400, 3000}},  // a 0.5 mm slot in the part
  });
  const KerfCompensation result = CompensateKerf(drawn, {0, 1, 2, 0, 1}, 1.0);
  ASSERT_EQ(result.figures.size(), 5u);
  EXPECT_EQ(result.kept_as_drawn, std::vector<int32_t>{4}) << "the slot would vanish";
  EXPECT_EQ(result.figures[4]->points, drawn[4]->points);
  const auto size = [&](size_t i) { return result.figures[i]->width; };
  EXPECT_EQ(size(0), 4040) << "cut as a 101 mm square";
  EXPECT_EQ(size(1), 760) << "the hole as a 19 mm square";
  EXPECT_EQ(size(2), 440) << "the island grows again to 11 mm";
  EXPECT_EQ(result.figures[0]->min_x, -20);
  EXPECT_EQ(result.figures[3]->points, drawn[3]->points);
  EXPECT_EQ(result.figures[0]->closed, 1);
  EXPECT_EQ(result.figures[0]->points.size(), 5u);
}

TEST(CompensateKerf, AVertexOfAnOpenFigureFollowsTheOutlineItTouches) {
  const FigureList drawn = Figures({
      {{0, 2000}, {1400, 2000}, {2795, 2004}},                                  // a lead-in, ending 5 units off
      {{2800, 2000}, {4000, 800}, {5200, 2000}, {4000, 3200}, {2800, 2000}},  // a diamond
      {{2000, 2003}, {2797, 2003}, {2797, 2800}, {2000, 2800}, {2000, 2003}},  // a square touching it there too
  });
  const KerfCompensation result = CompensateKerf(drawn, {0, 0, 0}, 1.0);
  const Points& lead_in = result.figures[0]->points;
  ASSERT_EQ(lead_in.size(), 3u);
  EXPECT_EQ(lead_in[0], (TPlotPoint{0, 2000})) << "the free end stays";
  EXPECT_EQ(lead_in[1], (TPlotPoint{1400, 2000}));
  const Points& diamond = result.figures[1]->points;
  EXPECT_NE(std::find(diamond.begin(), diamond.end(), lead_in[2]), diamond.end())
      << "the touching end lies on a vertex of the compensated diamond";
  EXPECT_LT(lead_in[2].x, 2800 - 20) << "outside the grown diamond's left corner, the first figure it touches";
}

// The rule for the vertices of open figures, looked up in the plainest way: every moved figure in list order,
// its box, then its vertices.
Points FollowedPlainly(const Points& open, const FigureList& drawn, const KerfCompensation& result) {
  const auto touching = [](const TPlotPoint& p, const TPlotPoint& q) {
    return std::llabs(int64_t{p.x} - q.x) <= kTouchTolerance && std::llabs(int64_t{p.y} - q.y) <= kTouchTolerance;
  };
  const auto distance = [](const TPlotPoint& p, const TPlotPoint& q) {
    const int64_t dx = int64_t{p.x} - q.x, dy = int64_t{p.y} - q.y;
    return dx * dx + dy * dy;
  };
  Points followed = open;
  for (TPlotPoint& p : followed) {
    bool found = false;
    for (size_t i = 0; i < drawn.size() && !found; ++i) {
      const tfigura& f = *drawn[i];
      const bool kept = std::find(result.kept_as_drawn.begin(), result.kept_as_drawn.end(),
                                  static_cast<int32_t>(i)) != result.kept_as_drawn.end();
      if (!f.closed || kept) continue;
      if (p.x < int64_t{f.min_x} - kTouchTolerance || p.x > int64_t{f.max_x} + kTouchTolerance ||
          p.y < int64_t{f.min_y} - kTouchTolerance || p.y > int64_t{f.max_y} + kTouchTolerance) {
        continue;
      }
      for (const TPlotPoint& v : f.points) {
        if (!touching(p, v)) continue;
        const Points& moved = result.figures[i]->points;
        TPlotPoint nearest = moved.front();
        for (const TPlotPoint& m : moved) {
          if (distance(m, v) < distance(nearest, v)) nearest = m;
        }
        p = nearest;
        found = true;
        break;
      }
    }
  }
  return followed;
}

TEST(CompensateKerf, OpenFiguresFollowAsThePlainRuleSaysOnRandomDrawings) {
  std::mt19937 random(20261208);
  const auto between = [&random](int32_t low, int32_t high) {
    return std::uniform_int_distribution<int32_t>(low, high)(random);
  };
  int64_t followed_vertices = 0;
  for (int round = 0; round < 40; ++round) {
    std::vector<Points> paths;
    const int closed = between(1, 30);
    for (int c = 0; c < closed; ++c) {
      const int32_t x = between(0, 20000), y = between(0, 20000);
      // Mostly small parts, now and then one that spans the whole drawing.
      const int32_t w = between(0, 9) == 0 ? between(15000, 25000) : between(40, 3000);
      const int32_t h = between(40, 3000);
      if (between(0, 1) == 0) {
        paths.push_back({{x, y}, {x + w, y}, {x + w, y + h}, {x, y + h}, {x, y}});
      } else {
        paths.push_back({{x, y}, {x + w, y + between(-h, h)}, {x + between(0, w), y + h}, {x, y}});
      }
    }
    const size_t closed_count = paths.size();
    const int open = between(1, 20);
    for (int o = 0; o < open; ++o) {
      Points line;
      const int vertices = between(2, 6);
      for (int v = 0; v < vertices; ++v) {
        if (between(0, 2) == 0) {
          line.push_back({between(-1000, 26000), between(-1000, 26000)});
          continue;
        }
        // On or near a vertex of a closed figure, just within or just beyond the touch tolerance.
        const Points& near = paths[static_cast<size_t>(between(0, static_cast<int32_t>(closed_count) - 1))];
        const TPlotPoint& corner = near[static_cast<size_t>(between(0, static_cast<int32_t>(near.size()) - 1))];
        const int32_t reach = kTouchTolerance + 1;
        line.push_back({corner.x + between(-reach, reach), corner.y + between(-reach, reach)});
      }
      // Ends that meet would close the line.
      if (std::llabs(int64_t{line.front().x} - line.back().x) < 100 &&
          std::llabs(int64_t{line.front().y} - line.back().y) < 100) {
        line.push_back({line.back().x + 500, line.back().y});
      }
      paths.push_back(line);
    }
    const FigureList drawn = Figures(paths);
    std::vector<int32_t> depths(drawn.size());
    for (int32_t& depth : depths) depth = between(0, 1);
    const KerfCompensation result = CompensateKerf(drawn, depths, 0.5 * between(1, 6));
    for (size_t i = closed_count; i < drawn.size(); ++i) {
      ASSERT_FALSE(drawn[i]->closed);
      const Points expected = FollowedPlainly(drawn[i]->points, drawn, result);
      EXPECT_EQ(result.figures[i]->points, expected) << "round " << round << ", figure " << i;
      for (size_t v = 0; v < expected.size(); ++v) followed_vertices += expected[v] != drawn[i]->points[v] ? 1 : 0;
    }
  }
  EXPECT_GT(followed_vertices, 100) << "the drawings exercise the rule";
}

}  // namespace
}  // namespace varnholt
