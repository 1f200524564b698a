#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>

#include "files/dxf_points.h"
#include "files/dxf_reader.h"
#include "files/dxf_shapes.h"
#include "files/dxf_test_support.h"
#include "geometry/units.h"

namespace varnholt {
namespace {

using Points = std::vector<TPlotPoint>;
using testing::Drawing;
using testing::Groups;
using testing::ReadDxf;

Groups Line(const std::string& x1, const std::string& y1, const std::string& x2, const std::string& y2) {
  return {{0, "LINE"}, {8, "0"}, {10, x1}, {20, y1}, {30, "0.0"}, {11, x2}, {21, y2}, {31, "0.0"}};
}

Groups Join(std::initializer_list<Groups> parts) {
  Groups all;
  for (const Groups& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

double DistanceTo(const TPlotPoint& p, double cx, double cy) { return std::hypot(p.x - cx, p.y - cy); }

TEST(DxfChordRule, SegmentCounts) {
  EXPECT_EQ(ChordSegments(2 * kPi * 1), 16);      // 13 raised to 16
  EXPECT_EQ(ChordSegments(2 * kPi * 100), 315);   // s limited to 2 mm
  EXPECT_EQ(ChordLength(10.0), 0.5);
  EXPECT_EQ(ChordLength(1000.0), 2.0);
  EXPECT_NEAR(ChordLength(96.0), 1.0, 1e-15);
  EXPECT_EQ(ChordSegments(1e12), kMaxCurveSegments);
  EXPECT_EQ(ChordSegments(NAN), 16);
}

TEST(DxfLine, EachLineIsAFigureInTheDrawingUnit) {
  const std::string text = Drawing(Line("0", "0", "10", "0"));
  EXPECT_EQ(ReadDxf(text).figures.at(0).points, (Points{{0, 0}, {400, 0}}));
  EXPECT_EQ(ReadDxf(text, DrawingUnit::kInch).figures.at(0).points, (Points{{0, 0}, {10160, 0}}));
  EXPECT_EQ(ReadDxf(text, DrawingUnit::kFoot).figures.at(0).points, (Points{{0, 0}, {121920, 0}}));

  // A rectangle of four lines arrives as four open figures; a line of no length as one point.
  const auto rectangle = ReadDxf(Drawing(Join({Line("0", "0", "10", "0"), Line("10", "0", "10", "5"),
                                               Line("10", "5", "0", "5"), Line("0", "5", "0", "0"),
                                               Line("3", "3", "3", "3")})));
  ASSERT_EQ(rectangle.figures.size(), 5u);
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(rectangle.figures[i].points.size(), 2u);
    EXPECT_EQ(rectangle.figures[i].open, 1);
  }
  EXPECT_EQ(rectangle.figures[3].points, (Points{{0, 200}, {0, 0}}));
  EXPECT_EQ(rectangle.figures[4].points, (Points{{120, 120}}));
  EXPECT_TRUE(rectangle.notes.empty());
}

TEST(DxfLine, GroupsInAnyOrderCommaDecimalsAndExponents) {
  const auto result = ReadDxf(Drawing({{0, "LINE"}, {21, "2,5"}, {11, "1.0E+01"}, {20, "-0.025"}, {10, "+1"}}));
  EXPECT_EQ(result.figures.at(0).points, (Points{{40, -1}, {400, 100}}));
}

TEST(DxfColour, SetsThePenAndCarriesOver) {
  const auto result = ReadDxf(Drawing(Join({Line("0", "0", "1", "0"),
                                            {{0, "LINE"}, {62, "     1"}, {10, "0"}, {20, "0"}, {11, "2"}, {21, "0"}},
                                            Line("0", "0", "3", "0"),
                                            {{0, "CIRCLE"}, {10, "0"}, {20, "0"}, {40, "1"}, {62, "3"}},
                                            {{0, "LINE"}, {62, "5"}, {10, "0"}, {20, "0"}, {11, "4"}, {21, "0"}}})));
  ASSERT_EQ(result.figures.size(), 5u);
  EXPECT_EQ(result.figures[0].pen, 1);  // the pen after open
  EXPECT_EQ(result.figures[1].pen, 3);  // colour 1
  EXPECT_EQ(result.figures[2].pen, 3);  // carried over
  EXPECT_EQ(result.figures[3].pen, 4);  // colour 3, even after the values it colours
  EXPECT_EQ(result.figures[4].pen, 0);  // any other colour
}

TEST(DxfCircle, ChordRuleAndClosure) {
  const auto small = ReadDxf(Drawing({{0, "CIRCLE"}, {10, "5"}, {20, "5"}, {30, "0"}, {40, "1"}}));
  const Points& p = small.figures.at(0).points;
  ASSERT_EQ(p.size(), 17u);
  EXPECT_EQ(p.front(), (TPlotPoint{240, 200}));
  EXPECT_EQ(p[4], (TPlotPoint{200, 240}));
  EXPECT_EQ(p[8], (TPlotPoint{160, 200}));
  EXPECT_EQ(p.back(), p.front());
  EXPECT_EQ(small.figures[0].open, 0);

  const auto large = ReadDxf(Drawing({{0, "CIRCLE"}, {10, "0"}, {20, "0"}, {40, "100"}}));
  const Points& q = large.figures.at(0).points;
  ASSERT_EQ(q.size(), 316u);
  for (const TPlotPoint& point : q) EXPECT_NEAR(DistanceTo(point, 0, 0), 4000.0, 0.75);
}

TEST(DxfCircle, TablesOfEarlierCirclesGiveTheSamePointsAsWorkingThemOut) {
  std::mt19937 random(96);
  std::uniform_real_distribution<double> coordinate(-5000.0, 5000.0);
  UnitCircleTables tables;
  for (int i = 0; i < 3000; ++i) {
    // Radii repeat, so most circles find their table; a few are too large for one and are worked out as they come.
    const double r = i % 50 == 0 ? 300.0 + i : 0.5 + static_cast<double>(random() % 40) * 0.37;
    const RealPoint centre{coordinate(random), coordinate(random)};
    tfigura direct, tabled;
    DxfPointSink direct_sink(direct, 1.0, false), tabled_sink(tabled, 1.0, false);
    AddCircle(direct_sink, centre, r);
    AddCircle(tabled_sink, centre, r, &tables);
    ASSERT_EQ(tabled.points, direct.points) << "r " << r;
  }
  EXPECT_EQ(tables.For(UnitCircleTables::kMaxSegments + 1), nullptr);
  const std::vector<RealPoint>* quarter = tables.For(4);
  ASSERT_NE(quarter, nullptr);
  ASSERT_EQ(quarter->size(), 5u);
  EXPECT_EQ((*quarter)[1].y, 1.0);
  EXPECT_EQ((*quarter)[2].x, -1.0);
}

TEST(DxfArc, NinetyDegreesAndAcrossZero) {
  const auto quarter = ReadDxf(Drawing({{0, "ARC"}, {10, "0"}, {20, "0"}, {40, "100"}, {50, "0"}, {51, "90"}}));
  const Points& p = quarter.figures.at(0).points;
  ASSERT_EQ(p.size(), 80u);  // start, 78 between, end
  EXPECT_EQ(p.front(), (TPlotPoint{4000, 0}));
  EXPECT_EQ(p.back(), (TPlotPoint{0, 4000}));
  for (size_t i = 1; i < p.size(); ++i) EXPECT_LT(p[i].x, p[i - 1].x);  // counter-clockwise

  const auto across = ReadDxf(Drawing({{0, "ARC"}, {10, "0"}, {20, "0"}, {40, "100"}, {50, "350"}, {51, "10"}}));
  const Points& q = across.figures.at(0).points;
  ASSERT_EQ(q.size(), 19u);  // a 20 degree sweep: round(17.95) = 18 segments
  EXPECT_EQ(q.front(), (TPlotPoint{3939, -695}));
  EXPECT_EQ(q.back(), (TPlotPoint{3939, 695}));
  for (const TPlotPoint& point : q) EXPECT_GT(point.x, 3900);
}

TEST(DxfEllipse, RotatedAndPartial) {
  const auto full = ReadDxf(Drawing({{0, "ELLIPSE"}, {10, "0"}, {20, "0"}, {11, "0"}, {21, "100"}, {40, "0.5"}}));
  const Points& p = full.figures.at(0).points;
  ASSERT_EQ(p.size(), 316u);  // L = 100 * 2 pi
  EXPECT_EQ(p.front(), (TPlotPoint{0, 4000}));
  EXPECT_EQ(p.back(), p.front());
  for (const TPlotPoint& point : p) {
    EXPECT_NEAR(std::pow(point.x / 2000.0, 2) + std::pow(point.y / 4000.0, 2), 1.0, 1e-3);
  }

  // From 3 pi / 2 to pi / 2 the ellipse runs through parameter 0: the right half only.
  const auto half = ReadDxf(Drawing({{0, "ELLIPSE"}, {10, "0"}, {20, "0"}, {11, "100"}, {21, "0"}, {40, "0.5"},
                                     {41, "4.71238898038469"}, {42, "1.5707963267948966"}}));
  const Points& q = half.figures.at(0).points;
  EXPECT_EQ(q.front(), (TPlotPoint{0, -2000}));
  EXPECT_EQ(q.back(), (TPlotPoint{0, 2000}));
  for (const TPlotPoint& point : q) EXPECT_GE(point.x, 0);
}

TEST(DxfLwPolyline, BulgeOfOneIsAHalfCircle) {
  const auto result = ReadDxf(Drawing({{0, "LWPOLYLINE"}, {90, "2"}, {70, "0"}, {10, "0"}, {20, "0"}, {42, "1"},
                                       {10, "10"}, {20, "0"}}));
  const Points& p = result.figures.at(0).points;
  ASSERT_EQ(p.size(), 34u);  // 33 arc points, then the end vertex
  EXPECT_EQ(p.front(), (TPlotPoint{0, 0}));
  EXPECT_EQ(p[16], (TPlotPoint{200, -200}));  // a positive bulge turns counter-clockwise
  EXPECT_EQ(p.back(), (TPlotPoint{400, 0}));
  for (const TPlotPoint& point : p) EXPECT_NEAR(DistanceTo(point, 200, 0), 200.0, 0.75);
  EXPECT_EQ(result.figures[0].open, 1);
}

TEST(DxfLwPolyline, ClosedPolylineDrawsItsClosingBulge) {
  // A square whose last side, from (0,10) back to (0,0), is a half circle bulging to the left.
  const auto result = ReadDxf(Drawing({{0, "LWPOLYLINE"}, {70, "1"}, {10, "0"}, {20, "0"}, {10, "10"}, {20, "0"},
                                       {10, "10"}, {20, "10"}, {10, "0"}, {20, "10"}, {42, "1"}}));
  const tfigura& figure = result.figures.at(0);
  EXPECT_EQ((Points{figure.points.begin(), figure.points.begin() + 4}),
            (Points{{0, 0}, {400, 0}, {400, 400}, {0, 400}}));
  EXPECT_EQ(figure.min_x, -200);
  EXPECT_EQ(figure.points.back(), (TPlotPoint{0, 0}));
  EXPECT_EQ(figure.open, 0);

  // Flags 129 (closed, with line type generation) close the outline too.
  const auto flagged = ReadDxf(Drawing({{0, "LWPOLYLINE"}, {70, "129"}, {10, "0"}, {20, "0"}, {10, "10"},
                                        {20, "0"}, {10, "10"}, {20, "10"}}));
  EXPECT_EQ(flagged.figures.at(0).points, (Points{{0, 0}, {400, 0}, {400, 400}, {0, 0}}));
}

TEST(DxfLwPolyline, LastBulgeOfAnOpenPolylineKeepsItsVertex) {
  const auto result = ReadDxf(Drawing({{0, "LWPOLYLINE"}, {70, "0"}, {10, "0"}, {20, "0"}, {10, "10"}, {20, "0"},
                                       {42, "0.5"}}));
  EXPECT_EQ(result.figures.at(0).points, (Points{{0, 0}, {400, 0}}));
}

TEST(DxfPolyline, VerticesWithBulgesUpToSeqend) {
  const auto result = ReadDxf(Drawing({{0, "POLYLINE"}, {66, "1"}, {10, "0"}, {20, "0"}, {30, "0"}, {70, "0"},
                                       {0, "VERTEX"}, {10, "0"}, {20, "0"}, {42, "-1"},
                                       {0, "VERTEX"}, {10, "10"}, {20, "0"},
                                       {0, "VERTEX"}, {10, "10"}, {20, "10"},
                                       {0, "SEQEND"}, {8, "0"}}));
  const Points& p = result.figures.at(0).points;
  EXPECT_EQ(p.front(), (TPlotPoint{0, 0}));
  // A negative bulge turns clockwise: over the top. Its sweep of -pi rounds to 31 segments, not 32.
  ASSERT_EQ(p.size(), 32u + 2u);
  int32_t top = 0;
  for (size_t i = 0; i < 32; ++i) top = std::max(top, p[i].y);
  EXPECT_EQ(top, 200);
  EXPECT_EQ(p.back(), (TPlotPoint{400, 400}));
  EXPECT_EQ(p[p.size() - 2], (TPlotPoint{400, 0}));

  // The header's own point is no vertex; a closed polyline ends on its first point.
  const auto closed = ReadDxf(Drawing({{0, "POLYLINE"}, {10, "0"}, {20, "0"}, {70, "1"},
                                       {0, "VERTEX"}, {10, "10"}, {20, "10"}, {42, "0.0"},
                                       {0, "VERTEX"}, {10, "20"}, {20, "10"},
                                       {0, "VERTEX"}, {10, "20"}, {20, "20"}, {0, "SEQEND"}}));
  EXPECT_EQ(closed.figures.at(0).points, (Points{{400, 400}, {800, 400}, {800, 800}, {400, 400}}));
}

Groups FitPolyline(int flags, const std::vector<std::tuple<std::string, std::string, std::string>>& vertices) {
  Groups groups = {{0, "POLYLINE"}, {66, "1"}, {70, std::to_string(flags)}};
  for (const auto& [x, y, vertex_flags] : vertices) {
    groups.insert(groups.end(), {{0, "VERTEX"}, {10, x}, {20, y}, {70, vertex_flags}});
  }
  groups.push_back({0, "SEQEND"});
  return groups;
}

TEST(DxfPolyline, ThreeDimensionalPolylineRunsThroughCubics) {
  // Evenly spaced vertices on a line: each cubic is the line itself, stepped in 1.25 mm.
  const auto result = ReadDxf(Drawing(FitPolyline(8, {{"0", "0", "32"}, {"10", "0", "32"}, {"20", "0", "32"},
                                                      {"30", "0", "32"}})));
  const Points& p = result.figures.at(0).points;
  ASSERT_GE(p.size(), 24u);
  EXPECT_EQ(p.front(), (TPlotPoint{0, 0}));
  EXPECT_EQ(p.back(), (TPlotPoint{1200, 0}));
  for (size_t i = 0; i < p.size(); ++i) {
    EXPECT_EQ(p[i].y, 0);
    EXPECT_EQ(p[i].x % 50, 0) << i;
    if (i > 0) {
      EXPECT_GE(p[i].x, p[i - 1].x);
    }
  }
}

TEST(DxfPolyline, AnOpenChainCurvesItsLastIntervalToo) {
  // Vertices 30 degrees apart on a circle of 40 mm: five of them (the shortest chain with pieces in between) and
  // nine, as 3D and as spline-fit polylines. The cubics stay within 0.1 mm of the circle; a chord anywhere would
  // leave it by 1.36 mm.
  for (const auto& [flags, vertex_flag] : {std::pair{8, "32"}, std::pair{4, "8"}}) {
    for (const int count : {5, 9}) {
      std::vector<std::tuple<std::string, std::string, std::string>> vertices;
      for (int i = 0; i < count; ++i) {
        const double angle = kPi / 6 * i;
        vertices.push_back({std::to_string(40 * std::cos(angle)), std::to_string(40 * std::sin(angle)), vertex_flag});
      }
      const auto result = ReadDxf(Drawing(FitPolyline(flags, vertices)));
      const Points& p = result.figures.at(0).points;
      const std::string label = std::to_string(count) + " vertices, flags " + std::to_string(flags);
      EXPECT_EQ(p.front(), (TPlotPoint{1600, 0})) << label;
      const double last = kPi / 6 * (count - 1);
      EXPECT_NEAR(p.back().x, 1600 * std::cos(last), 1.0) << label;
      EXPECT_NEAR(p.back().y, 1600 * std::sin(last), 1.0) << label;
      for (size_t i = 1; i < p.size(); ++i) {
        const double mid_x = (p[i - 1].x + p[i].x) / 2.0, mid_y = (p[i - 1].y + p[i].y) / 2.0;
        EXPECT_NEAR(std::hypot(mid_x, mid_y), 1600.0, 8.0) << label << ", segment " << i;
      }
    }
  }
}

TEST(DxfPolyline, SplineFitPolylineUsesOnlyItsSplineVertices) {
  std::vector<std::tuple<std::string, std::string, std::string>> vertices = {{"100", "100", "16"}};
  for (int i = 0; i < 8; ++i) {
    const double angle = 2 * kPi * i / 8;
    vertices.push_back({std::to_string(50 * std::cos(angle)), std::to_string(50 * std::sin(angle)), "8"});
  }
  const auto closed = ReadDxf(Drawing(FitPolyline(1 | 4, vertices)));
  const tfigura& figure = closed.figures.at(0);
  EXPECT_EQ(figure.points.front(), (TPlotPoint{2000, 0}));
  EXPECT_EQ(figure.points.back(), figure.points.front());
  EXPECT_GT(figure.points.size(), 100u);
  for (const TPlotPoint& point : figure.points) EXPECT_NEAR(DistanceTo(point, 0, 0), 2000.0, 40.0);
  // Every stretch is walked forward: no point steps back against the turn of the circle.
  for (size_t i = 1; i < figure.points.size(); ++i) {
    const TPlotPoint& a = figure.points[i - 1];
    const TPlotPoint& b = figure.points[i];
    EXPECT_GE(int64_t{a.x} * b.y - int64_t{a.y} * b.x, 0) << i;
  }

  // With fewer than four spline vertices they are added as they are.
  const auto few = ReadDxf(Drawing(FitPolyline(4, {{"0", "0", "8"}, {"5", "5", "16"}, {"10", "0", "8"}})));
  EXPECT_EQ(few.figures.at(0).points, (Points{{0, 0}, {400, 0}}));
}

Groups Spline(int degree, const std::vector<std::string>& knots,
              const std::vector<std::pair<std::string, std::string>>& controls) {
  Groups groups = {{0, "SPLINE"}, {70, "8"}, {71, std::to_string(degree)}, {72, std::to_string(knots.size())},
                   {73, std::to_string(controls.size())}, {74, "0"}};
  for (const std::string& knot : knots) groups.push_back({40, knot});
  for (const auto& [x, y] : controls) groups.insert(groups.end(), {{10, x}, {20, y}, {30, "0"}});
  return groups;
}

TEST(DxfSpline, CubicBezierPiece) {
  const auto result = ReadDxf(Drawing(Spline(3, {"0", "0", "0", "0", "1", "1", "1", "1"},
                                             {{"0", "0"}, {"0", "10"}, {"10", "10"}, {"10", "0"}})));
  const Points& p = result.figures.at(0).points;
  ASSERT_GE(p.size(), 15u);  // steps of 4/60 in t
  EXPECT_EQ(p[0], (TPlotPoint{0, 0}));
  EXPECT_EQ(p[1], (TPlotPoint{5, 75}));  // B(1/15) = (0.127, 1.867) mm
  EXPECT_EQ(p.back(), (TPlotPoint{400, 0}));
  for (size_t i = 1; i < p.size(); ++i) EXPECT_GT(p[i].x, p[i - 1].x);
}

TEST(DxfSpline, GeneralBSplineMatchesItsParabola) {
  const auto result = ReadDxf(Drawing(Spline(2, {"0", "0", "0", "1", "1", "1"}, {{"0", "0"}, {"10", "20"},
                                                                               {"20", "0"}})));
  const Points& p = result.figures.at(0).points;
  ASSERT_GE(p.size(), 89u);
  EXPECT_EQ(p.front(), (TPlotPoint{0, 0}));
  EXPECT_EQ(p.back(), (TPlotPoint{800, 0}));
  int32_t top = 0;
  for (const TPlotPoint& point : p) {
    EXPECT_NEAR(point.y, 2.0 * point.x * (1.0 - point.x / 800.0), 1.5);
    top = std::max(top, point.y);
  }
  EXPECT_EQ(top, 400);
}

TEST(DxfSpline, DegreeTwelveIsReadAndThirteenSkipped) {
  std::vector<std::string> knots(13, "0");
  knots.resize(26, "1");
  std::vector<std::pair<std::string, std::string>> controls;
  for (int i = 0; i < 13; ++i) controls.push_back({std::to_string(i), std::to_string(i % 2)});
  EXPECT_EQ(ReadDxf(Drawing(Spline(12, knots, controls))).figures.size(), 1u);

  knots.insert(knots.begin(), "0");
  knots.push_back("1");
  controls.push_back({"13", "1"});
  const auto skipped = ReadDxf(Drawing(Spline(13, knots, controls)));
  EXPECT_TRUE(skipped.figures.empty());
  ASSERT_EQ(skipped.notes.size(), 1u);
  EXPECT_EQ(skipped.notes[0].text(), "SPLINE skipped: its degree 13 lies outside 1 .. 12");
}

TEST(DxfLtscale, OnlyAfterTheEntitiesBeganAndCarriedOut) {
  const Groups header_scale = {{0, "SECTION"}, {2, "HEADER"}, {9, "$LTSCALE"}, {40, "0.000394"}, {0, "ENDSEC"},
                               {0, "SECTION"}, {2, "ENTITIES"}};
  auto in_header = header_scale;
  in_header.insert(in_header.end(), {{0, "LINE"}, {10, "0"}, {20, "0"}, {11, "10"}, {21, "0"}, {0, "EOF"}});
  const auto unscaled = ReadDxf(testing::GroupText(in_header));
  EXPECT_EQ(unscaled.figures.at(0).points.back(), (TPlotPoint{400, 0}));
  EXPECT_EQ(unscaled.ltscale, 0.0);

  const auto scaled = ReadDxf(Drawing(Join({{{9, "$LTSCALE"}, {40, "0,000394"}}, Line("0", "0", "10", "0"),
                                            {{0, "ARC"}, {10, "0"}, {20, "0"}, {40, "1"}, {50, "0"}, {51, "90"}}})));
  EXPECT_EQ(scaled.figures.at(0).points.back(), (TPlotPoint{10160, 0}));
  EXPECT_EQ(scaled.figures.at(1).points.front(), (TPlotPoint{40, 0}));  // interpolated points keep the unit only
  EXPECT_EQ(scaled.ltscale, 0.000394);

  // A value an earlier load left applies from the start.
  EXPECT_EQ(ReadDxf(Drawing(Line("0", "0", "1", "0")), DrawingUnit::kMillimetre, 0.0003945).figures.at(0).points,
            (Points{{0, 0}, {1016, 0}}));
}

TEST(DxfDrawing, OtherEntitiesAndSectionsAreReadOver) {
  const auto result = ReadDxf(Drawing({{0, "TEXT"}, {1, "LINE"}, {8, "CIRCLE"}, {0, "INSERT"}, {2, "ARC"},
                                       {0, "TEXT"}, {1, "x"}, {0, "LINE"}, {10, "0"}, {20, "0"}, {11, "1"}, {21, "1"}}));
  ASSERT_EQ(result.figures.size(), 1u);
  ASSERT_EQ(result.notes.size(), 2u);
  EXPECT_EQ(result.notes[0].text(), "1 INSERT entity is not read");
  EXPECT_EQ(result.notes[1].text(), "2 TEXT entities are not read");

  EXPECT_TRUE(ReadDxf(testing::GroupText({{0, "SECTION"}, {2, "BLOCKS"}, {0, "LINE"}, {10, "0"}, {20, "0"},
                                          {11, "1"}, {21, "1"}, {0, "EOF"}}))
                  .figures.empty());
}

TEST(DxfPointConversion, RoundsAsTheDivisionDoesEvenNearHalvesAndTheRangeEdges) {
  std::vector<double> values = {0.0, -0.0, 0.0125, -0.0125, 0.0375, 12.3456, 1e12, -1e12, 1e300, -1e300,
                                INFINITY, -INFINITY, std::nan(""), 5e-324, 53687091.1875, -53687091.2125};
  // Millimetres whose units lie on or next to a half: where the product with the reciprocal and the quotient can
  // fall on either side of it.
  uint64_t state = 2026;
  for (int i = 0; i < 4000; ++i) {
    state = state * 6364136223846793005ULL + 1442695040888963407ULL;
    const double half_units = static_cast<double>(state >> 33) + 0.5;  // up to 2^31, the edge of the range
    double mm = (i % 2 == 0 ? half_units : -half_units) / 40.0;
    for (int step = 0; step < 6; ++step) mm = std::nextafter(mm, 0.0);
    for (int step = 0; step < 12; ++step) {
      values.push_back(mm);
      mm = std::nextafter(mm, mm > 0.0 ? 1e300 : -1e300);
    }
  }
  for (const double edge : {2147483647.5, 2147483648.5, -2147483648.5, -2147483649.5}) {
    double mm = edge / 40.0;
    for (int step = 0; step < 40; ++step) mm = std::nextafter(mm, 0.0);
    for (int step = 0; step < 80; ++step, mm = std::nextafter(mm, edge > 0.0 ? 1e300 : -1e300)) values.push_back(mm);
  }
  for (int i = 0; i < 20000; ++i) {
    state = state * 6364136223846793005ULL + 1442695040888963407ULL;
    const double scale = std::ldexp(1.0, static_cast<int>(state >> 59) - 4);  // 2^-4 .. 2^27 millimetres
    values.push_back((static_cast<double>(state >> 11) / 9007199254740992.0 - 0.5) * scale);
  }
  for (const double mm : values) EXPECT_EQ(MmToUnitsWithoutDivision(mm), MmToUnitsChecked(mm)) << std::hexfloat << mm;
}

TEST(DxfPointConversion, GivesTheQuotientWhereTheReciprocalLandsOnAHalf) {
  // Found by searching next to halves of a unit: the product with the rounded reciprocal of 1000 comes out exactly
  // on the half and rounds to the even neighbour, while the quotient lies just short of it. Random values next to
  // halves almost never hit such a value. (The search found no product that misses the half and still rounds
  // apart from the quotient: a product exactly on a half is the case the conversion must divide for.)
  struct Case {
    double mm;
    int32_t units;  // the quotient, rounded
  };
  const Case cases[] = {{6.4374999999999991, 257},          {-1.6374999999999997, -65},
                        {103.13749999999999, 4125},         {-412.88749999999993, -16515},
                        {838.68749999999989, 33547},        {6675.1874999999991, 267007},
                        {-13415.037499999999, -536601},     {52758.987499999996, 2110359},
                        {428407.73749999993, 17136309},     {-3392929.8374999994, -135717193},
                        {13603067.787499998, 544122711},    {27008753.887499996, 1080350155},
                        {-27291170.787499998, -1091646831}};
  for (const Case& c : cases) {
    const double units = c.mm * 40000.0;
    ASSERT_NE(nearest(units * 0.001), nearest(units / 1000.0)) << std::hexfloat << c.mm << " no longer tells them apart";
    EXPECT_EQ(MmToUnitsChecked(c.mm), c.units) << std::hexfloat << c.mm;
    EXPECT_EQ(MmToUnitsWithoutDivision(c.mm), c.units) << std::hexfloat << c.mm;
  }
}

}  // namespace
}  // namespace varnholt
