#include "geometry/curves.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace varnholt {
namespace {

std::vector<RealPoint> CollectBezier(CurveState& curve, const std::vector<RealPoint>& controls) {
  std::vector<RealPoint> points;
  RealPoint p;
  while (curve.BezierNext(p, controls, 0)) points.push_back(p);
  return points;
}

TEST(CubicThrough4, PassesThroughTheInnerPointsAtTheirChordParameters) {
  CurveState curve;
  // Chords 1, 2, 3 give parameters 0, 1/6, 1/2, 1.
  const RealPoint a{0, 0}, b{1, 0}, c{3, 0}, d{6, 0};
  curve.CubicThrough4Init(a, b, c, d, 0, 1.0 / 6.0);
  RealPoint p;
  ASSERT_TRUE(curve.CubicThrough4Next(p, 3));
  EXPECT_NEAR(p.x, 1.0, 1e-12);
  ASSERT_TRUE(curve.CubicThrough4Next(p, 3));
  ASSERT_TRUE(curve.CubicThrough4Next(p, 3));
  EXPECT_NEAR(p.x, 3.0, 1e-12);

  // Starting at index 1 and ending at index 2 yields only points strictly inside that stretch.
  curve.CubicThrough4Init(a, b, c, d, 1, 0.1);
  int count = 0;
  while (curve.CubicThrough4Next(p, 2)) {
    EXPECT_GT(p.x, 1.0);
    EXPECT_LE(p.x, 3.0 + 1e-9);
    ++count;
  }
  EXPECT_EQ(count, 3);  // t = 1/6 + 0.1, + 0.2, + 0.3 <= 1/2
}

TEST(CubicThrough4, BendsThroughOffLinePoints) {
  CurveState curve;
  const RealPoint a{0, 0}, b{10, 10}, c{20, 10}, d{30, 0};
  curve.CubicThrough4Init(a, b, c, d, 0, 0.001);
  RealPoint p;
  double closest_to_b = 1e9;
  RealPoint last;
  while (curve.CubicThrough4Next(p, 3)) {
    closest_to_b = std::min(closest_to_b, DistanceReal(p, b));
    last = p;
  }
  EXPECT_LT(closest_to_b, 0.05);
  EXPECT_NEAR(last.x, 30.0, 0.1);
  EXPECT_NEAR(last.y, 0.0, 0.1);
}

TEST(CubicThrough4, CoincidentPointsStayPutAndEnd) {
  CurveState curve;
  const RealPoint a{5, 5};
  curve.CubicThrough4Init(a, a, a, a, 0, 0.25);
  RealPoint p;
  int count = 0;
  while (curve.CubicThrough4Next(p, 3)) {
    EXPECT_EQ(p.x, 5.0);
    EXPECT_FALSE(std::isnan(p.y));
    ++count;
  }
  EXPECT_EQ(count, 4);
}

TEST(Bezier, LinearAndQuadratic) {
  CurveState curve;
  curve.BezierInit(1, 0.5);
  const auto line = CollectBezier(curve, {{0, 0}, {10, 0}});
  ASSERT_EQ(line.size(), 2u);
  EXPECT_EQ(line[0].x, 5.0);
  EXPECT_EQ(line[1].x, 10.0);

  curve.BezierInit(2, 0.5);
  const auto arc = CollectBezier(curve, {{0, 0}, {10, 20}, {20, 0}});
  ASSERT_EQ(arc.size(), 2u);
  EXPECT_EQ(arc[0].x, 10.0);
  EXPECT_EQ(arc[0].y, 10.0);
  EXPECT_EQ(arc[1].x, 20.0);
}

TEST(Bezier, ShortControlListEndsTheCurve) {
  CurveState curve;
  curve.BezierInit(3, 0.1);
  RealPoint p;
  const std::vector<RealPoint> controls{{0, 0}, {1, 1}, {2, 2}};
  EXPECT_FALSE(curve.BezierNext(p, controls, 0));
  EXPECT_FALSE(curve.BezierNext(p, controls, 5));
}

TEST(BSpline, ClampedLinearEvaluatesBeforeAdvancing) {
  CurveState curve;
  ASSERT_TRUE(curve.BSplineInit(1, 1, {0, 0, 1, 1}, 0.25));
  const std::vector<RealPoint> controls{{0, 0}, {8, 4}};
  std::vector<RealPoint> points;
  RealPoint p;
  while (curve.BSplineNext(p, controls)) points.push_back(p);
  ASSERT_EQ(points.size(), 4u);
  EXPECT_EQ(points[0].x, 0.0);
  EXPECT_EQ(points[1].x, 2.0);
  EXPECT_EQ(points[3].y, 3.0);
}

TEST(BSpline, ClampedQuadraticMatchesBezier) {
  const std::vector<RealPoint> controls{{0, 0}, {10, 20}, {20, 0}};
  CurveState spline;
  ASSERT_TRUE(spline.BSplineInit(2, 2, {0, 0, 0, 1, 1, 1}, 0.5));
  RealPoint p;
  ASSERT_TRUE(spline.BSplineNext(p, controls));
  EXPECT_EQ(p.x, 0.0);
  ASSERT_TRUE(spline.BSplineNext(p, controls));
  EXPECT_DOUBLE_EQ(p.x, 10.0);
  EXPECT_DOUBLE_EQ(p.y, 10.0);
  EXPECT_FALSE(spline.BSplineNext(p, controls));
}

TEST(BSpline, UniformCubicIsSmoothAndInsideTheHull) {
  const std::vector<RealPoint> controls{{0, 0}, {10, 30}, {20, -30}, {30, 30}, {40, 0}};
  CurveState spline;
  ASSERT_TRUE(spline.BSplineInit(3, 4, {0, 1, 2, 3, 4, 5, 6, 7, 8}, 0.01));
  RealPoint p;
  int count = 0;
  while (spline.BSplineNext(p, controls)) {
    EXPECT_GE(p.x, 0.0);
    EXPECT_LE(p.x, 40.0);
    EXPECT_LE(std::abs(p.y), 30.0);
    ++count;
  }
  // 100 steps of 0.02 from 3 to 5; the accumulated sum may stop just short of 5 and allow one more.
  EXPECT_GE(count, 100);
  EXPECT_LE(count, 101);
}

TEST(BSpline, RejectsDataThatCannotDescribeACurve) {
  CurveState spline;
  EXPECT_FALSE(spline.BSplineInit(2, 3, {0, 0, 0, 1}, 0.1)) << "too few knots";
  EXPECT_FALSE(spline.BSplineInit(1, 1, {0, 0, NAN, 1}, 0.1));
  EXPECT_FALSE(spline.BSplineInit(1, 1, {0, 0, 1, 1}, 10.0)) << "no whole step";
  EXPECT_FALSE(spline.BSplineInit(-1, 1, {0, 0, 1, 1}, 0.1));
  RealPoint p;
  EXPECT_FALSE(spline.BSplineNext(p, {{0, 0}, {1, 1}}));
  // Equal first and last knots: nothing to evaluate, and no endless loop.
  ASSERT_TRUE(spline.BSplineInit(1, 1, {0, 1, 1, 2}, 0.1));
  EXPECT_FALSE(spline.BSplineNext(p, {{0, 0}, {1, 1}}));
}

// The Cox-de Boor basis by its definition, over every knot interval.
double ReferenceBasis(const std::vector<double>& knots, size_t i, size_t k, double t) {
  if (k == 1) return knots[i] <= t && t < knots[i + 1] ? 1.0 : 0.0;
  double value = 0.0;
  const double left = ReferenceBasis(knots, i, k - 1, t);
  if (left != 0.0 && t - knots[i] != 0.0) value += (t - knots[i]) / (knots[i + k - 1] - knots[i]) * left;
  const double right = ReferenceBasis(knots, i + 1, k - 1, t);
  if (right != 0.0 && knots[i + k] - t != 0.0) value += (knots[i + k] - t) / (knots[i + k] - knots[i + 1]) * right;
  return value;
}

TEST(BSpline, LocalEvaluationMatchesTheDefinitionWithRepeatedKnots) {
  const std::vector<double> knots = {0, 0, 0, 0, 1, 2, 2, 3, 4, 4, 4, 4};
  std::vector<RealPoint> controls;
  for (int i = 0; i < 8; ++i) controls.push_back({static_cast<double>(i), static_cast<double>((i * 37) % 11)});
  CurveState spline;
  ASSERT_TRUE(spline.BSplineInit(3, 7, knots, 0.01));
  RealPoint p;
  int count = 0;
  while (spline.BSplineNext(p, controls)) {
    const double t = 4.0 * count / 100.0;
    RealPoint expected;
    for (size_t i = 0; i < controls.size(); ++i) {
      const double n = ReferenceBasis(knots, i, 4, t);
      expected.x += n * controls[i].x;
      expected.y += n * controls[i].y;
    }
    EXPECT_NEAR(p.x, expected.x, 1e-9) << t;
    EXPECT_NEAR(p.y, expected.y, 1e-9) << t;
    ++count;
  }
  EXPECT_EQ(count, 100);
}

TEST(BSpline, EveryDegreeGivesTheDefinitionsValuesBitForBit) {
  // Degrees 1 to 3 take their own unrolled evaluation, the others the general one: all must give the basis of the
  // definition with the same arithmetic, summed over the span's controls in order, at the same parameters.
  std::mt19937 random(20261209);
  std::uniform_int_distribution<int> gap(0, 2);  // repeated knots where the gap is 0
  std::uniform_real_distribution<double> coordinate(-500.0, 500.0);
  for (int32_t degree = 0; degree <= 6; ++degree) {
    for (int round = 0; round < 20; ++round) {
      const int32_t last = degree + round % 7;
      std::vector<double> knots(static_cast<size_t>(degree + 1), 0.0);
      while (knots.size() < static_cast<size_t>(last + 1)) knots.push_back(knots.back() + 0.75 * gap(random));
      knots.push_back(knots.back() + 1.5);  // the curve's parameter range is not empty
      knots.resize(static_cast<size_t>(last + degree + 2), knots.back());
      std::vector<RealPoint> controls;
      for (int32_t i = 0; i <= last; ++i) controls.push_back({coordinate(random), coordinate(random)});
      const double fraction = 1.0 / (7 + round);

      CurveState spline;
      ASSERT_TRUE(spline.BSplineInit(degree, last, knots, fraction));
      const double start = knots[static_cast<size_t>(degree)], end = knots[static_cast<size_t>(last + 1)];
      const double step = (end - start) / std::nearbyint(1.0 / fraction);
      double t = start;
      RealPoint p;
      int count = 0;
      while (spline.BSplineNext(p, controls)) {
        auto span = static_cast<size_t>(degree);
        while (span < static_cast<size_t>(last) && t >= knots[span + 1]) ++span;
        const auto order = static_cast<size_t>(degree) + 1;
        RealPoint expected;
        for (size_t i = span + 1 - order; i <= span; ++i) {
          const double n = ReferenceBasis(knots, i, order, t);
          expected.x += n * controls[i].x;
          expected.y += n * controls[i].y;
        }
        ASSERT_EQ(p.x, expected.x) << "degree " << degree << " at " << t;
        ASSERT_EQ(p.y, expected.y) << "degree " << degree << " at " << t;
        t += step;
        ++count;
      }
      EXPECT_GE(count, 7 + round) << "degree " << degree;
    }
  }
}

TEST(BSpline, FallingKnotsAreRejectedAndLongSplinesStayFast) {
  CurveState spline;
  EXPECT_FALSE(spline.BSplineInit(1, 2, {0, 0, 2, 1, 3}, 0.1));

  // 100000 control points at 100000 steps: only the span under t is evaluated.
  const int32_t last = 99'999;
  std::vector<double> knots = {0, 0, 0};
  for (int32_t i = 1; i < last - 1; ++i) knots.push_back(i);
  knots.insert(knots.end(), 3, static_cast<double>(last - 1));
  std::vector<RealPoint> controls(static_cast<size_t>(last) + 1, RealPoint{1.0, 2.0});
  ASSERT_TRUE(spline.BSplineInit(2, last, knots, 1e-5));
  RealPoint p;
  int count = 0;
  while (spline.BSplineNext(p, controls)) {
    ASSERT_NEAR(p.x, 1.0, 1e-9);
    ++count;
  }
  EXPECT_GE(count, 100'000);  // a step lost in rounding may add one more
  EXPECT_LE(count, 100'001);
}

}  // namespace
}  // namespace varnholt
