// The nesting through boxes, first vertices and edge slabs against the plain passes over every pair, and the slabs'
// counts against the plain count over every edge.

#include "planner/nesting.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <random>

#include "planner/literal_plan_search.h"
#include "planner/plan_threads.h"

namespace varnholt {
namespace {

// A closed outline of n corners around (cx, cy), radii between r/3 and r, or (spiky) with every other corner
// pulled in, so that edges are steep and long; coordinates clamped to the int32 range.
std::vector<TPlotPoint> Outline(std::mt19937& rng, int64_t cx, int64_t cy, int64_t r, int n, bool spiky) {
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  std::vector<TPlotPoint> points;
  for (int k = 0; k < n; ++k) {
    const double angle = 2.0 * 3.141592653589793 * (k + 0.3 * unit(rng)) / n;
    const double radius = static_cast<double>(r) * (spiky && k % 2 == 1 ? 0.02 : 0.33 + 0.67 * unit(rng));
    const auto at = [](double v) {
      return static_cast<int32_t>(std::clamp<int64_t>(std::llround(v), INT32_MIN, INT32_MAX));
    };
    points.push_back({at(static_cast<double>(cx) + radius * std::cos(angle)),
                      at(static_cast<double>(cy) + radius * std::sin(angle))});
  }
  points.push_back(points.front());
  return points;
}

TEST(EdgeSlabs, SameCountsAsEveryEdgeAndOutsideTheBandsTheTestSaysOutside) {
  std::mt19937 rng(515);
  const auto uniform = [&](int64_t lo, int64_t hi) { return std::uniform_int_distribution<int64_t>(lo, hi)(rng); };
  int64_t outside_band = 0, counted = 0;
  for (int round = 0; round < 600; ++round) {
    // Small and around zero, or reaching the ends of the coordinate range with steep spikes.
    const bool wide = round % 2 == 1;
    const int64_t r = wide ? int64_t{1} << uniform(20, 31) : uniform(30, 3000);
    tfigura outer;
    outer.closed = 1;
    outer.points = Outline(rng, wide ? uniform(-(int64_t{1} << 30), int64_t{1} << 30) : 0, 0, r,
                           static_cast<int>(uniform(3, 120)), round % 3 == 0);
    if (round % 4 == 3) {
      // A zig-zag of edges one or two units wide and up to 2^32 high at an end of the x range: slopes near 2^31
      // and products near 2^62, whose rounding moves a line's value by hundreds of units.
      const int64_t x0 = uniform(0, 1) == 0 ? int64_t{INT32_MAX} - 200 : int64_t{INT32_MIN} + 1;
      outer.points.clear();
      for (int64_t x = x0; x < x0 + 150; x += uniform(1, 2)) {
        const int64_t y = (x - x0) % 2 == 0 ? INT32_MIN + uniform(0, 1000) : INT32_MAX - uniform(0, 1000);
        outer.points.push_back({static_cast<int32_t>(x), static_cast<int32_t>(y)});
      }
      outer.points.push_back(outer.points.front());
    }
    if (round % 5 == 0) outer.points.pop_back();  // no repeated first point: the closing edge counts
    const EdgeSlabs slabs(outer);
    tfigura inner;
    for (int query = 0; query < 60; ++query) {
      // Vertices of the outline itself (edges through them), points on the lattice around it, and points just
      // beyond a slab's band.
      TPlotPoint at;
      const int how = query % 3;
      if (how == 0) {
        at = outer.points[static_cast<size_t>(uniform(0, static_cast<int64_t>(outer.points.size()) - 1))];
      } else if (how == 1 || slabs.slabs() == 0) {
        at = {static_cast<int32_t>(std::clamp<int64_t>(outer.points[0].x + uniform(-r, r), INT32_MIN, INT32_MAX)),
              static_cast<int32_t>(std::clamp<int64_t>(uniform(-r, r), INT32_MIN, INT32_MAX))};
      } else {
        const auto s = static_cast<size_t>(uniform(0, static_cast<int64_t>(slabs.slabs()) - 1));
        if (slabs.BandLow(s) > slabs.BandHigh(s)) continue;
        const int64_t x = uniform(slabs.SlabLow(s), slabs.SlabHigh(s) - 1);
        const int64_t y = uniform(0, 1) == 0 ? slabs.BandLow(s) - uniform(1, 3) : slabs.BandHigh(s) + uniform(1, 3);
        if (y < INT32_MIN || y > INT32_MAX) continue;
        at = {static_cast<int32_t>(x), static_cast<int32_t>(y)};
      }
      inner.points = {at};
      int64_t above = 0, below = 0;
      slabs.Count(at, above, below);
      // The plain test over one point: its parity decides unless the counts disagree.
      const bool plain = ParityInside(inner, outer);
      ASSERT_EQ(ParityInside(inner, slabs), plain) << "round " << round << " query " << query;
      if (above % 2 == below % 2) {
        ASSERT_EQ(below % 2 == 1, plain);
      }
      ++counted;
      if (how == 2) {
        ASSERT_EQ(above % 2, below % 2) << "round " << round << " query " << query;
        ASSERT_EQ(below % 2, 0) << "round " << round << " query " << query;
        ++outside_band;
      }
    }
  }
  EXPECT_GT(outside_band, 5000);
  EXPECT_GT(counted, 20000);
}

// Nesting as planning runs it (through NestFigures) and as the plain passes over every pair run it.
void ExpectSameNesting(const FigureList& figures, const std::string& label) {
  FigureList plain = CopyFigures(figures), fast = CopyFigures(figures);
  const int32_t plain_depth = MakeLiteralPlanSearch()->Nest(plain);
  std::vector<PointBox> boxes;
  for (const auto& f : fast) boxes.push_back(BoxOfPoints(f->points));
  ASSERT_EQ(NestFigures(fast, boxes), plain_depth) << label;
  for (size_t i = 0; i < figures.size(); ++i) {
    ASSERT_EQ(fast[i]->depth, plain[i]->depth) << label << " entry " << i;
    ASSERT_EQ(fast[i]->parent, plain[i]->parent) << label << " entry " << i;
    ASSERT_EQ(fast[i]->child_count, plain[i]->child_count) << label << " entry " << i;
  }
}

TEST(Nesting, LargeOutlinesOverManySmallFiguresAsThePlainPassesWhateverTheThreads) {
  // Large outlines of many corners crossing one another over a field of small closed and open figures, in random
  // list order: containers hundreds of entries apart, outer figures of every size, several pieces of them.
  std::mt19937 rng(77);
  const auto uniform = [&](int64_t lo, int64_t hi) { return std::uniform_int_distribution<int64_t>(lo, hi)(rng); };
  for (int round = 0; round < 6; ++round) {
    FigureList figures;
    for (int k = 0; k < 500; ++k) {
      auto f = std::make_unique<tfigura>();
      const bool large = uniform(0, 14) == 0;
      f->points = large ? Outline(rng, uniform(0, 20000), uniform(0, 20000), uniform(4000, 12000),
                                  static_cast<int>(uniform(24, 200)), uniform(0, 3) == 0)
                        : Outline(rng, uniform(0, 20000), uniform(0, 20000), uniform(50, 600),
                                  static_cast<int>(uniform(3, 30)), false);
      f->closed = uniform(0, 5) == 0 ? 0 : 1;
      if (!f->closed) f->points.pop_back();
      figures.push_back(std::move(f));
    }
    for (const int threads : {1, 3}) {
      SetPlanningThreads(threads);
      ExpectSameNesting(figures, "round " + std::to_string(round) + " threads " + std::to_string(threads));
    }
    SetPlanningThreads(0);
    if (HasFatalFailure()) return;
  }
}

// A closed regular outline of `corners` corners (every `step`-th one visited: 2 makes a star that winds twice)
// around (cx, cy) with radius r, turned by `turn` radians.
std::unique_ptr<tfigura> Ring(int64_t cx, int64_t cy, double r, int corners, int step, double turn) {
  auto f = std::make_unique<tfigura>();
  for (int k = 0; k < corners; ++k) {
    const double angle = turn + 2.0 * 3.141592653589793 * (k * step % corners) / corners;
    f->points.push_back({static_cast<int32_t>(std::llround(static_cast<double>(cx) + r * std::cos(angle))),
                         static_cast<int32_t>(std::llround(static_cast<double>(cy) + r * std::sin(angle)))});
  }
  f->points.push_back(f->points.front());
  f->closed = 1;
  return f;
}

TEST(Nesting, RingsOneInsideTheNextAsThePlainPasses) {
  // Groups of 40 convex rings one inside the next, innermost first (squares, and outlines of 12 to 16 corners
  // turned by their place), an open stroke innermost in one group, open strokes elsewhere; then the same with what
  // breaks a chain of rings: a star in place of the outermost ring (its centre lies outside it by parity), a small
  // square between two rings, a frame around the groups listed first; each also in reverse, outermost first.
  const auto groups = [](int variant) {
    FigureList figures;
    for (int g = 0; g < 2; ++g) {
      const int64_t cx = 3000 + g * 9000, cy = 3000;
      if (g == 1) {
        auto stroke = std::make_unique<tfigura>();
        stroke->points = {{static_cast<int32_t>(cx - 30), 2990}, {static_cast<int32_t>(cx + 30), 3010}};
        figures.push_back(std::move(stroke));
      }
      for (int k = 0; k < 40; ++k) {
        const double r = g == 0 ? 100.0 + 20.0 * k : 200.0 * std::pow(1.08, k);
        if (variant == 1 && g == 0 && k == 39) {
          figures.push_back(Ring(cx, cy, 3000.0, 5, 2, 0.1));
        } else {
          figures.push_back(g == 0 ? Ring(cx, cy, r, 4, 1, 3.141592653589793 / 4)
                                   : Ring(cx, cy, r, 12 + k % 5, 1, 0.05 * k));
        }
      }
    }
    for (int s = 0; s < 10; ++s) {
      auto stroke = std::make_unique<tfigura>();
      stroke->points = {{100 + 500 * s, 7000}, {300 + 500 * s, 7100}};
      figures.push_back(std::move(stroke));
    }
    if (variant == 2) figures.push_back(Ring(3205, 3000, 3, 4, 1, 0.0));
    if (variant == 3) figures.insert(figures.begin(), Ring(8000, 3000, 12000, 4, 1, 3.141592653589793 / 4));
    return figures;
  };
  for (int variant = 0; variant < 4; ++variant) {
    for (const bool outermost_first : {false, true}) {
      FigureList figures = groups(variant);
      if (outermost_first) std::reverse(figures.begin(), figures.end());
      ExpectSameNesting(figures, "variant " + std::to_string(variant) + (outermost_first ? " outermost first" : ""));
      if (variant == 0) {
        std::vector<PointBox> boxes;
        for (const auto& f : figures) boxes.push_back(BoxOfPoints(f->points));
        EXPECT_EQ(NestFigures(figures, boxes), 40);
      }
      if (HasFatalFailure()) return;
    }
  }
}

}  // namespace
}  // namespace varnholt
