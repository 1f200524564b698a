// Welding outlines: letters that overlap become one outline with their holes, a letter's own overlapping
// pieces always merge, and the figures come in the order of the letters.

#include "project/outline_weld.h"

#include <gtest/gtest.h>

#include "geometry/geometry.h"

namespace varnholt {
namespace {

// A square ring counter-clockwise (clockwise when reversed), without its closing point.
OutlineRing Ring(int32_t x, int32_t y, int32_t side, bool reversed = false) {
  OutlineRing ring = {{x, y}, {x + side, y}, {x + side, y + side}, {x, y + side}};
  if (reversed) std::reverse(ring.begin(), ring.end());
  return ring;
}

// Twice the signed area: above 0 for a counter-clockwise path.
int64_t TwiceArea(const std::vector<TPlotPoint>& points) {
  int64_t sum = 0;
  for (size_t i = 0; i + 1 < points.size(); ++i) {
    sum += int64_t{points[i].x} * points[i + 1].y - int64_t{points[i + 1].x} * points[i].y;
  }
  return sum;
}

TEST(WeldOutlines, OverlappingLettersBecomeOneOutlineOnlyWhenWelded) {
  // Two "O"s: an outline with a hole drawn the other way round; the second overlaps the first's right side.
  const OutlineGroup first = {Ring(0, 0, 1000), Ring(300, 300, 400, true)};
  const OutlineGroup second = {Ring(800, 0, 1000), Ring(1100, 300, 400, true)};

  const FigureList welded = WeldOutlines({first, second}, true);
  ASSERT_EQ(welded.size(), 3u) << "one outline and its two holes";
  EXPECT_EQ(welded[0]->min_x, 0);
  EXPECT_EQ(welded[0]->max_x, 1800);
  EXPECT_GT(TwiceArea(welded[0]->points), 0) << "outlines run counter-clockwise";
  for (const auto& figure : welded) {
    EXPECT_TRUE(figure->closed);
    EXPECT_EQ(figure->points.front(), figure->points.back());
  }
  for (size_t hole : {1u, 2u}) {
    EXPECT_LT(TwiceArea(welded[hole]->points), 0) << "holes run clockwise";
    EXPECT_EQ(welded[hole]->width, 400);
  }

  const FigureList apart = WeldOutlines({first, second}, false);
  ASSERT_EQ(apart.size(), 4u);
  EXPECT_EQ(apart[0]->max_x, 1000);
  EXPECT_EQ(apart[1]->min_x, 300) << "each outline is followed by its hole";
  EXPECT_EQ(apart[2]->min_x, 800);
  EXPECT_EQ(apart[3]->min_x, 1100);
}

TEST(WeldOutlines, ALettersOwnOverlappingPiecesAlwaysMerge) {
  // One letter drawn as two overlapping bars, as fonts build some accented letters; beside it a letter that
  // only touches it at an edge, which merges only when welded.
  const OutlineGroup cross = {{{0, 400}, {1000, 400}, {1000, 600}, {0, 600}},
                              {{400, 0}, {600, 0}, {600, 1000}, {400, 1000}}};
  const OutlineGroup touching = {Ring(1000, 400, 200)};
  const FigureList apart = WeldOutlines({cross, touching}, false);
  ASSERT_EQ(apart.size(), 2u);
  EXPECT_EQ(apart[0]->points.size(), 13u) << "the cross's twelve corners and the closing point";
  const FigureList welded = WeldOutlines({cross, touching}, true);
  ASSERT_EQ(welded.size(), 1u);
  EXPECT_EQ(welded[0]->max_x, 1200);
  EXPECT_TRUE(WeldOutlines({{{{0, 0}, {100, 0}, {200, 0}}}}, true).empty()) << "a flat ring encloses nothing";
}

TEST(WeldOutlines, FiguresComeInTheOrderOfTheLettersNotOfTheirPlace) {
  // Right to left, the way a text of a right-to-left language is laid out; the third overlaps the first.
  const std::vector<OutlineGroup> letters = {
      {Ring(4000, 0, 1000)}, {Ring(0, 0, 1000)}, {Ring(4500, 500, 1000)}};
  for (const bool weld : {true, false}) {
    const FigureList figures = WeldOutlines(letters, weld);
    ASSERT_EQ(figures.size(), weld ? 2u : 3u);
    EXPECT_EQ(figures[0]->min_x, 4000) << weld;
    EXPECT_EQ(figures[1]->min_x, 0) << weld;
  }
}

}  // namespace
}  // namespace varnholt
