#include "geometry/geometry.h"

#include <gtest/gtest.h>

namespace varnholt {
namespace {

Segment Seg(int32_t x1, int32_t y1, int32_t x2, int32_t y2) { return {{x1, y1}, {x2, y2}}; }

TEST(PointHelpers, NearMeansBothDifferencesBelowTen) {
  EXPECT_TRUE(PointsNear({0, 0}, {9, -9}));
  EXPECT_FALSE(PointsNear({0, 0}, {10, 0}));
  EXPECT_FALSE(PointsNear({0, 0}, {0, -10}));
  EXPECT_FALSE(PointsNear({-2147483647 - 1, 0}, {2147483647, 0})) << "the difference is taken in 64 bits";
  EXPECT_TRUE(PointsEqual({3, 4}, {3, 4}));
  EXPECT_FALSE(PointsEqual({3, 4}, {4, 3}));
}

TEST(PointHelpers, Distances) {
  EXPECT_DOUBLE_EQ(Distance({0, 0}, {3, 4}), 5.0);
  EXPECT_DOUBLE_EQ(DistanceReal({0.5, 0.5}, {3.5, 4.5}), 5.0);
  EXPECT_EQ(DistanceSquared({0, 0}, {3, -4}), 25);
  EXPECT_EQ(DistanceSquared({-1000000000, 0}, {1000000000, 0}), 4000000000000000000LL);
  EXPECT_EQ(DistanceSquared({-2147483647 - 1, -2147483647 - 1}, {2147483647, 2147483647}), INT64_MAX)
      << "beyond int64 the square saturates";
}

TEST(Lines, VerticalAndDegenerateLines) {
  const TLine up = LineThrough(Seg(5, 0, 5, 10));
  EXPECT_TRUE(up.vertical);
  EXPECT_EQ(up.slope, 2147483647.0);
  EXPECT_EQ(up.intercept, 5.0);
  EXPECT_EQ(LineThrough(Seg(5, 10, 5, 0)).slope, -2147483647.0);
  const TLine point = LineThrough(Seg(2, 2, 2, 2));
  EXPECT_TRUE(point.degenerate);
  EXPECT_FALSE(point.vertical);
  EXPECT_EQ(point.slope, 0.0);
  const TLine sloped = LineThrough(Seg(0, 1, 2, 5));
  EXPECT_EQ(sloped.slope, 2.0);
  EXPECT_EQ(sloped.intercept, 1.0);
}

TEST(Angles, DirectionAngleQuadrants) {
  EXPECT_DOUBLE_EQ(DirectionAngle({0, 0}, {5, 0}), 0.0);
  EXPECT_DOUBLE_EQ(DirectionAngle({0, 0}, {-5, 0}), kPi);
  EXPECT_DOUBLE_EQ(DirectionAngle({0, 0}, {0, 5}), kPi / 2);
  EXPECT_DOUBLE_EQ(DirectionAngle({0, 0}, {0, -5}), 4.71238898038469);
  EXPECT_EQ(DirectionAngle({0, 0}, {0, 0}), 0.0);
  EXPECT_DOUBLE_EQ(DirectionAngle({0, 0}, {5, -5}), 7 * kPi / 4);
  EXPECT_DOUBLE_EQ(DirectionAngle({0, 0}, {-5, -5}), 5 * kPi / 4);
  EXPECT_DOUBLE_EQ(DirectionAngle({0, 0}, {-5, 5}), 3 * kPi / 4);
}

TEST(Angles, DirectionAngleRealTreatsEqualPointsAsDownwards) {
  EXPECT_DOUBLE_EQ(DirectionAngleReal({1, 1}, {1, 1}), 3 * kPi / 2);
  EXPECT_DOUBLE_EQ(DirectionAngleReal({1, 1}, {1, 2}), kPi / 2);
  EXPECT_DOUBLE_EQ(DirectionAngleReal({0, 0}, {-1, 0}), kPi);
}

TEST(Angles, TurningAngleSignFollowsTheTurn) {
  EXPECT_DOUBLE_EQ(TurningAngle({0, 0}, {10, 0}, {10, 10}), -kPi / 2) << "left turn";
  EXPECT_DOUBLE_EQ(TurningAngle({0, 0}, {10, 0}, {10, -10}), kPi / 2) << "right turn";
  EXPECT_DOUBLE_EQ(TurningAngle({0, 0}, {10, 0}, {20, 0}), 0.0);
  // 3pi/2 - 0 is above pi and is brought back to -pi/2.
  EXPECT_DOUBLE_EQ(TurningAngle({0, 10}, {0, 0}, {10, 0}), -kPi / 2);
  // 0 - (2pi - e) is below -pi and comes back as a slight right turn.
  EXPECT_NEAR(TurningAngle({0, 0}, {10, 0}, {20, -1}), 0.0996686524911620, 1e-15);
  EXPECT_DOUBLE_EQ(TurningAngle({10, 0}, {0, 0}, {0, -10}), -kPi / 2);
}

TEST(Ordering, SwapsOnlyWhenReversed) {
  Segment s = Seg(5, 1, 2, 9);
  OrderByX(s);
  EXPECT_EQ(s.p1, (TPlotPoint{2, 9}));
  OrderByY(s);
  EXPECT_EQ(s.p1, (TPlotPoint{5, 1}));
  OrderByY(s);
  EXPECT_EQ(s.p1, (TPlotPoint{5, 1})) << "already in order";
}

TEST(SegmentsCross, SharedEndsAndTouchingDoNotCross) {
  EXPECT_TRUE(SegmentsCross(Seg(0, 0, 10, 10), Seg(0, 10, 10, 0))) << "an X";
  EXPECT_FALSE(SegmentsCross(Seg(0, 0, 10, 10), Seg(10, 10, 20, 0))) << "shared end";
  EXPECT_FALSE(SegmentsCross(Seg(0, 0, 10, 10), Seg(20, 0, 30, 10))) << "apart";
  EXPECT_FALSE(SegmentsCross(Seg(0, 0, 10, 0), Seg(0, 5, 10, 5))) << "parallel";
  EXPECT_FALSE(SegmentsCross(Seg(0, 0, 0, 0), Seg(0, 0, 10, 10))) << "degenerate";
}

TEST(SegmentsCross, CollinearOverlapCrossesButEndToEndDoesNot) {
  EXPECT_TRUE(SegmentsCross(Seg(0, 0, 10, 0), Seg(5, 0, 20, 0)));
  EXPECT_FALSE(SegmentsCross(Seg(0, 0, 10, 0), Seg(10, 0, 20, 0)));
  EXPECT_FALSE(SegmentsCross(Seg(0, 0, 10, 0), Seg(11, 0, 20, 0)));
}

TEST(SegmentsCross, VerticalSegments) {
  EXPECT_TRUE(SegmentsCross(Seg(5, -5, 5, 5), Seg(0, 0, 10, 0)));
  EXPECT_TRUE(SegmentsCross(Seg(0, 0, 10, 0), Seg(5, 5, 5, -5)));
  EXPECT_FALSE(SegmentsCross(Seg(5, 0, 5, 5), Seg(0, 0, 10, 0))) << "vertical end on the other segment";
  EXPECT_FALSE(SegmentsCross(Seg(5, 1, 5, 5), Seg(0, 0, 10, 0))) << "above it";
  EXPECT_FALSE(SegmentsCross(Seg(0, -5, 0, 5), Seg(0, 0, 10, 0))) << "at the other's end x";
  EXPECT_TRUE(SegmentsCross(Seg(3, 0, 3, 10), Seg(3, 5, 3, 20))) << "overlapping verticals";
  EXPECT_FALSE(SegmentsCross(Seg(3, 0, 3, 10), Seg(3, 10, 3, 20))) << "verticals meeting at a point";
  EXPECT_FALSE(SegmentsCross(Seg(3, 0, 3, 10), Seg(4, 0, 4, 10)));
}

TEST(LineIntersection, CasesAndRounding) {
  TPlotPoint out{7, 7};
  const Segment s = Seg(0, 0, 10, 10);
  const Segment t = Seg(0, 10, 10, 0);
  ASSERT_TRUE(LineIntersection(LineThrough(s), s, LineThrough(t), t, out));
  EXPECT_EQ(out, (TPlotPoint{5, 5}));

  const Segment vertical = Seg(3, -10, 3, 10);
  const Segment flat = Seg(0, 1, 10, 2);
  ASSERT_TRUE(LineIntersection(LineThrough(vertical), vertical, LineThrough(flat), flat, out));
  EXPECT_EQ(out, (TPlotPoint{3, 1})) << "1.3 rounds to 1";

  const Segment other_vertical = Seg(3, 4, 3, 30);
  ASSERT_TRUE(LineIntersection(LineThrough(vertical), vertical, LineThrough(other_vertical), other_vertical, out));
  EXPECT_EQ(out, (TPlotPoint{3, 7})) << "(4 + 10) / 2";

  const Segment apart = Seg(0, 5, 10, 15);
  ASSERT_TRUE(LineIntersection(LineThrough(s), s, LineThrough(apart), apart, out));
  EXPECT_EQ(out, (TPlotPoint{0, 0})) << "parallel lines give the origin";

  const Segment degenerate = Seg(1, 1, 1, 1);
  out = {7, 7};
  EXPECT_FALSE(LineIntersection(LineThrough(degenerate), degenerate, LineThrough(s), s, out));
  EXPECT_EQ(out, (TPlotPoint{7, 7})) << "nothing written";

  // The crossing at x = 2.5 rounds halves to even.
  const Segment a = Seg(0, 0, 5, 5);
  const Segment b = Seg(0, 5, 5, 0);
  ASSERT_TRUE(LineIntersection(LineThrough(a), a, LineThrough(b), b, out));
  EXPECT_EQ(out, (TPlotPoint{2, 2}));
}

TEST(VerticalOffset, HalfOpenRange) {
  double offset = -1;
  EXPECT_FALSE(VerticalOffset(Seg(0, 0, 10, 10), {10, 0}, offset)) << "end x excluded";
  EXPECT_EQ(offset, 0.0);
  EXPECT_TRUE(VerticalOffset(Seg(0, 0, 10, 10), {0, -5}, offset)) << "start x included";
  EXPECT_EQ(offset, 5.0);
  EXPECT_TRUE(VerticalOffset(Seg(10, 10, 0, 0), {10, 20}, offset)) << "reversed: its start is x 10";
  EXPECT_EQ(offset, -10.0);
  EXPECT_FALSE(VerticalOffset(Seg(10, 10, 0, 0), {0, 0}, offset));
  EXPECT_FALSE(VerticalOffset(Seg(5, 0, 5, 10), {5, 0}, offset)) << "vertical";
}

TEST(NearestOnSegment, FootOrNearerEnd) {
  TPlotPoint nearest_point;
  double angle = 0;
  int32_t code = -1;
  EXPECT_DOUBLE_EQ(NearestOnSegment({5, 5}, Seg(0, 0, 10, 0), 10, nearest_point, angle, code), 5.0);
  EXPECT_EQ(nearest_point, (TPlotPoint{5, 0}));
  EXPECT_EQ(code, kOnSegment);
  EXPECT_DOUBLE_EQ(angle, 3 * kPi / 2);

  EXPECT_DOUBLE_EQ(NearestOnSegment({-3, 4}, Seg(0, 0, 10, 0), 10, nearest_point, angle, code), 5.0);
  EXPECT_EQ(code, kAtFirstEnd);
  EXPECT_EQ(nearest_point, (TPlotPoint{0, 0}));

  EXPECT_DOUBLE_EQ(NearestOnSegment({13, 4}, Seg(0, 0, 10, 0), 10, nearest_point, angle, code), 5.0);
  EXPECT_EQ(code, kAtSecondEnd);

  NearestOnSegment({20, -20}, Seg(0, 0, 0, 0), 10, nearest_point, angle, code);
  EXPECT_EQ(code, kAtFirstEnd);

  // A vertical segment: perpendicular foot outside its y range picks the ends by distance, ties to the second.
  EXPECT_DOUBLE_EQ(NearestOnSegment({3, 4}, Seg(0, 0, 0, 2), 10, nearest_point, angle, code),
                   Distance({3, 4}, {0, 2}));
  EXPECT_EQ(code, kAtSecondEnd);
  // Perpendicular from a diagonal: foot (5, 5).
  EXPECT_DOUBLE_EQ(NearestOnSegment({0, 10}, Seg(0, 0, 10, 10), 10, nearest_point, angle, code),
                   Distance({0, 10}, {5, 5}));
  EXPECT_EQ(nearest_point, (TPlotPoint{5, 5}));
}

}  // namespace
}  // namespace varnholt
