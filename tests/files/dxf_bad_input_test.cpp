// Hostile and broken drawings: each ends with the figures read so far, a conversion message or a noted skip.

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <sstream>

#include "files/dxf_shapes.h"
#include "files/dxf_test_support.h"
#include "geometry/run_time_error.h"

namespace varnholt {
namespace {

using testing::Drawing;
using testing::Groups;
using testing::ReadDxf;

const Groups kLine = {{0, "LINE"}, {10, "0"}, {20, "0"}, {11, "1"}, {21, "0"}};

Groups With(Groups first, const Groups& second) {
  first.insert(first.end(), second.begin(), second.end());
  return first;
}

// Reads the drawing and expects exactly the one LINE to survive and one note.
void ExpectSkippedBeforeLine(const Groups& entity, const std::string& note) {
  const auto result = ReadDxf(Drawing(With(entity, kLine)));
  ASSERT_EQ(result.figures.size(), 1u) << note;
  EXPECT_EQ(result.figures[0].points.size(), 2u);
  ASSERT_FALSE(result.notes.empty()) << note;
  EXPECT_EQ(result.notes[0].text(), note);
  EXPECT_EQ(result.notes[0].line, 12);  // the name's line, after five groups of header and section start
  // The entity's name comes first among the note's values.
  ASSERT_FALSE(result.notes[0].values.empty());
  EXPECT_EQ(result.notes[0].values[0], entity[0].second);
}

TEST(DxfBadInput, DegenerateEntitiesAreSkippedWithANote) {
  ExpectSkippedBeforeLine({{0, "SPLINE"}, {71, "3"}, {72, "0"}, {73, "0"}, {74, "2"}, {11, "0"}, {21, "0"},
                           {11, "5"}, {21, "5"}},
                          "SPLINE skipped: it has no control points");
  ExpectSkippedBeforeLine({{0, "SPLINE"}, {71, "3"}, {72, "4"}, {73, "3"}, {40, "0"}, {40, "1"}, {10, "0"}, {20, "0"},
                           {10, "1"}, {20, "1"}},
                          "SPLINE skipped: 2 knots do not fit 2 control points of degree 3");
  ExpectSkippedBeforeLine({{0, "ARC"}, {10, "0"}, {20, "0"}, {40, "0"}, {50, "0"}, {51, "90"}},
                          "ARC skipped: its radius is not above 0");
  ExpectSkippedBeforeLine({{0, "ARC"}, {10, "0"}, {20, "0"}, {40, "5"}, {50, "30"}, {51, "30"}},
                          "ARC skipped: its start and end angles are the same");
  ExpectSkippedBeforeLine({{0, "CIRCLE"}, {10, "0"}, {20, "0"}, {40, "-1"}}, "CIRCLE skipped: its radius is not above 0");
  ExpectSkippedBeforeLine({{0, "CIRCLE"}, {10, "0"}, {20, "0"}}, "CIRCLE skipped: it lacks group 40");
  ExpectSkippedBeforeLine({{0, "ELLIPSE"}, {10, "0"}, {20, "0"}, {11, "10"}, {21, "0"}, {40, "0"}},
                          "ELLIPSE skipped: its axis ratio is not above 0");
  ExpectSkippedBeforeLine({{0, "ELLIPSE"}, {10, "0"}, {20, "0"}, {11, "0"}, {21, "0"}, {40, "1"}},
                          "ELLIPSE skipped: its major axis has no length");
  ExpectSkippedBeforeLine({{0, "LINE"}, {10, "0"}, {20, "0"}, {11, "1"}}, "LINE skipped: it lacks group 21");
}

TEST(DxfBadInput, CoordinatesBeyondThePlotterRangeSkipTheEntity) {
  ExpectSkippedBeforeLine({{0, "LINE"}, {10, "0"}, {20, "0"}, {11, "1e8"}, {21, "0"}},
                          "LINE skipped: a coordinate lies beyond the plotter range");
  // 2e6 mm fit in millimetres but not in feet.
  const auto feet = ReadDxf(Drawing({{0, "LINE"}, {10, "0"}, {20, "0"}, {11, "2e6"}, {21, "0"}}),
                            DrawingUnit::kFoot);
  EXPECT_TRUE(feet.figures.empty());
  ASSERT_EQ(feet.notes.size(), 1u);
  ExpectSkippedBeforeLine({{0, "CIRCLE"}, {10, "0"}, {20, "0"}, {40, "1e300"}},
                          "CIRCLE skipped: a coordinate lies beyond the plotter range");
  ExpectSkippedBeforeLine({{0, "LWPOLYLINE"}, {10, "0"}, {20, "0"}, {42, "1e300"}, {10, "10"}, {20, "0"}},
                          "LWPOLYLINE skipped: a coordinate lies beyond the plotter range");
}

TEST(DxfBadInput, HugeCurvesAreCappedNotGrown) {
  // 500 m of radius: the chord rule would ask for 1.57 million segments.
  const auto circle = ReadDxf(Drawing({{0, "CIRCLE"}, {10, "0"}, {20, "0"}, {40, "500000"}}));
  EXPECT_EQ(circle.figures.at(0).points.size(), static_cast<size_t>(kMaxCurveSegments) + 1);

  // Declared counts far beyond the data allocate nothing; the groups present are what counts.
  const auto start = std::chrono::steady_clock::now();
  const auto spline = ReadDxf(Drawing({{0, "SPLINE"}, {71, "1"}, {72, "2147483647"}, {73, "2147483647"},
                                       {40, "0"}, {40, "0"}, {40, "1"}, {40, "1"},
                                       {10, "0"}, {20, "0"}, {10, "10"}, {20, "0"}}));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
  EXPECT_EQ(spline.figures.at(0).points.front(), (TPlotPoint{0, 0}));
  EXPECT_EQ(spline.figures.at(0).points.back(), (TPlotPoint{400, 0}));
  EXPECT_THROW(ReadDxf(Drawing({{0, "SPLINE"}, {72, "99999999999"}})), RunTimeError);
}

TEST(DxfBadInput, FlatBulgesAreStraightSegments) {
  for (const char* bulge : {"1e-12", "-1e-300", "0.0"}) {
    const auto result = ReadDxf(Drawing({{0, "LWPOLYLINE"}, {10, "0"}, {20, "0"}, {42, bulge}, {10, "100"},
                                         {20, "0"}}));
    EXPECT_EQ(result.figures.at(0).points, (std::vector<TPlotPoint>{{0, 0}, {4000, 0}})) << bulge;
    EXPECT_TRUE(result.notes.empty());
  }
}

TEST(DxfBadInput, ValuesThatAreNoNumbersStopTheLoad) {
  std::istringstream text(Drawing(With(kLine, {{0, "CIRCLE"}, {10, "1..5"}, {20, "0"}, {40, "1"}})));
  DxfReader reader(text);
  tfigura first;
  reader.ReadNextFigure(first);
  EXPECT_EQ(first.points.size(), 2u);
  tfigura second;
  try {
    reader.ReadNextFigure(second);
    ADD_FAILURE() << "no error";
  } catch (const RunTimeError& error) {
    EXPECT_STREQ(error.what(), "'1..5' is not a valid floating point value");
  }
  EXPECT_TRUE(reader.AtEnd());

  EXPECT_THROW(ReadDxf(Drawing({{0, "LWPOLYLINE"}, {70, "1.5"}})), RunTimeError);
  EXPECT_THROW(ReadDxf(Drawing({{0, "LINE"}, {62, "red"}})), RunTimeError);
}

// Every entity kind once, for the cuts below.
std::string FullDrawing() {
  return Drawing({{0, "LINE"}, {62, "1"}, {10, "0"}, {20, "0"}, {11, "10"}, {21, "0"},
                  {0, "CIRCLE"}, {10, "5"}, {20, "5"}, {40, "2"},
                  {0, "ARC"}, {10, "0"}, {20, "0"}, {40, "3"}, {50, "10"}, {51, "80"},
                  {0, "ELLIPSE"}, {10, "0"}, {20, "0"}, {11, "4"}, {21, "1"}, {40, "0.5"}, {41, "0"}, {42, "3"},
                  {0, "SPLINE"}, {71, "3"}, {72, "8"}, {73, "4"}, {40, "0"}, {40, "0"}, {40, "0"}, {40, "0"},
                  {40, "1"}, {40, "1"}, {40, "1"}, {40, "1"}, {10, "0"}, {20, "0"}, {10, "1"}, {20, "3"}, {10, "4"},
                  {20, "3"}, {10, "5"}, {20, "0"},
                  {0, "LWPOLYLINE"}, {70, "1"}, {10, "0"}, {20, "0"}, {42, "0.5"}, {10, "6"}, {20, "0"}, {10, "6"},
                  {20, "4"},
                  {0, "POLYLINE"}, {70, "8"}, {0, "VERTEX"}, {10, "0"}, {20, "0"}, {70, "32"}, {0, "VERTEX"},
                  {10, "3"}, {20, "2"}, {70, "32"}, {0, "VERTEX"}, {10, "6"}, {20, "0"}, {70, "32"}, {0, "VERTEX"},
                  {10, "9"}, {20, "3"}, {70, "32"}, {0, "SEQEND"}});
}

TEST(DxfBadInput, AFileCutAnywhereEndsWithWhatWasRead) {
  const std::string full = FullDrawing();
  const size_t complete = ReadDxf(full).figures.size();
  ASSERT_EQ(complete, 7u);
  for (size_t length = 0; length <= full.size(); ++length) {
    try {
      const auto result = ReadDxf(full.substr(0, length));
      ASSERT_LE(result.figures.size(), complete) << length;
      for (const tfigura& figure : result.figures) {
        for (const TPlotPoint& p : figure.points) ASSERT_LT(std::abs(p.x) + std::abs(p.y), 2000) << length;
      }
    } catch (const RunTimeError&) {
      // A number cut after its sign ("-") is no number.
    }
  }
  // Cut inside the last polyline: its vertices so far are kept, with a note.
  const auto cut = ReadDxf(full.substr(0, full.find("SEQEND")));
  ASSERT_EQ(cut.figures.size(), complete);
  ASSERT_EQ(cut.notes.size(), 1u);
  EXPECT_EQ(cut.notes[0].text(), "POLYLINE: the file ends inside it; its points so far are kept");
}

}  // namespace
}  // namespace varnholt
