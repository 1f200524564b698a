#include "program/segment_cover.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace varnholt {
namespace {

TEST(SegmentSet, APathIsCoveredByTheSegmentsTogether) {
  SegmentSet set;
  set.Add({0, 0}, {10, 0});
  set.Add({10, 0}, {20, 0.005});  // slightly off the line, within the reach
  set.Add({30, 0}, {40, 0});
  set.Index(0.01);
  EXPECT_TRUE(set.Covers({0, 0}, {10, 0}));
  EXPECT_TRUE(set.Covers({2, 0.009}, {19, 0})) << "across two segments";
  EXPECT_TRUE(set.Covers({40, 0}, {30, 0})) << "either way";
  EXPECT_FALSE(set.Covers({15, 0}, {35, 0})) << "the gap between 20 and 30";
  EXPECT_FALSE(set.Covers({0, 0.02}, {10, 0.02}));
  EXPECT_FALSE(set.Covers({25, 0}, {25, 0}));
  EXPECT_TRUE(set.Covers({35, 0.01}, {35, 0.01}));
}

TEST(SegmentSet, DeviationIsTheLargestDistanceFromTheSet) {
  SegmentSet set;
  set.Add({0, 0}, {100, 0});
  set.Add({100, 0}, {100, 100});
  set.Index(0.01);
  EXPECT_NEAR(set.Deviation({0, 0.004}, {100, 0.002}), 0.004, 1e-12);
  // The chord of the corner: 50 from either leg at its middle.
  EXPECT_NEAR(set.Deviation({0, 0}, {100, 100}), 50.0, 1e-6);
  // Across the corner, within the reach of one leg or the other everywhere.
  EXPECT_LE(set.Deviation({99.995, -0.005}, {100.005, 0.005}), 0.01);
  // Far away from everything.
  EXPECT_NEAR(set.Deviation({300, 50}, {300, 60}), 200.0, 1e-6);

  SegmentSet empty;
  empty.Index(0.01);
  EXPECT_TRUE(std::isinf(empty.Deviation({0, 0}, {1, 1})));
}

TEST(SegmentSet, TheLookupFindsEveryNearSegmentOfALargeSet) {
  // Many short segments and a few long ones across them, queried against a plain scan of the distances.
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> place(0.0, 1000.0), offset(-3.0, 3.0);
  SegmentSet set;
  std::vector<std::pair<RealPoint, RealPoint>> segments;
  for (int i = 0; i < 3000; ++i) {
    const RealPoint a{place(rng), place(rng)};
    const RealPoint b = i % 500 == 0 ? RealPoint{place(rng), place(rng)} : RealPoint{a.x + offset(rng), a.y + offset(rng)};
    set.Add(a, b);
    segments.emplace_back(a, b);
  }
  set.Index(0.05);
  const auto near = [&](const RealPoint& p) {
    for (const auto& [a, b] : segments) {
      const double dx = b.x - a.x, dy = b.y - a.y, l2 = dx * dx + dy * dy;
      const double t = l2 > 0 ? std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / l2, 0.0, 1.0) : 0.0;
      if (std::hypot(p.x - a.x - t * dx, p.y - a.y - t * dy) <= 0.05) return true;
    }
    return false;
  };
  for (int i = 0; i < 1000; ++i) {
    // Points on a segment moved by up to the reach, and points anywhere.
    const auto& [a, b] = segments[static_cast<size_t>(i) % segments.size()];
    const double t = place(rng) / 1000.0, angle = place(rng);
    const RealPoint on{a.x + t * (b.x - a.x) + 0.049 * std::cos(angle), a.y + t * (b.y - a.y) + 0.049 * std::sin(angle)};
    EXPECT_TRUE(set.Covers(on, on)) << i;
    const RealPoint anywhere{place(rng), place(rng)};
    EXPECT_EQ(set.Covers(anywhere, anywhere), near(anywhere)) << i;
  }
}

}  // namespace
}  // namespace varnholt
