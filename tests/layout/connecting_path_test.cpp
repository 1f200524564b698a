// The connecting path point by point on worked examples, the values it is built from, and the contact test it is
// checked with.

#include "layout/connecting_path.h"

#include <gtest/gtest.h>

#include "layout/segment_contact.h"

namespace varnholt {
namespace {

using Points = std::vector<TPlotPoint>;

// A pattern box at (100, 200) of 400 x 300 units entered at its lower-left corner; pitches 600 and 500 units,
// connector distances 40 (Dv) and 80 (Dh), slant 60.
PathInputs Example(int32_t columns, int32_t rows) {
  PathInputs in;
  in.pattern = {100, 200, 400, 300};
  in.start = {100, 200};
  in.grid = {columns, rows, 600, 500, 40, 80, 60};
  return in;
}

TEST(ConnectingPath, OneCopyHasOnlyLeadInAndLeadOut) {
  EXPECT_EQ(ConnectingPath(Example(1, 1)),
            (Points{{20, 120}, {20, 120}, {100, 200}, {100, 200}, {100, 80}, {20, 80}}));
}

TEST(ConnectingPath, TwoRowsRunTopLeftToRightThenBackAndCloseAtTheLeadIn) {
  const Points path = ConnectingPath(Example(2, 2));
  const Points expected{
      {20, 160}, {20, 660}, {100, 700},                               // lead-in up the left side
      {100, 700}, {160, 620}, {640, 620}, {700, 700},                 // top row: bridge to the right
      {700, 700}, {760, 620}, {1140, 620}, {1140, 120}, {760, 120},  // down beside the grid
      {700, 200}, {700, 200}, {640, 120}, {160, 120}, {100, 200},    // bottom row: bridge to the left
      {100, 200}, {100, 200}, {20, 160}};                             // lead-out to the lead-in point
  EXPECT_EQ(path, expected);
}

// The start points of the copies in the order the path touches them.
Points VisitOrder(const PathInputs& in, const Points& path) {
  Points order;
  for (const TPlotPoint& p : path) {
    const int64_t dx = p.x - in.start.x, dy = p.y - in.start.y;
    const bool on_grid = dx >= 0 && dy >= 0 && dx % in.grid.column_pitch == 0 && dy % in.grid.row_pitch == 0 &&
                         dx / in.grid.column_pitch < in.grid.columns && dy / in.grid.row_pitch < in.grid.rows;
    if (on_grid && (order.empty() || !(order.back() == p))) order.push_back(p);
  }
  return order;
}

TEST(ConnectingPath, RowsAlternateFromTheTopAndOddRowsEndBelowTheGrid) {
  const PathInputs in = Example(3, 2);
  const Points path = ConnectingPath(in);
  EXPECT_EQ(VisitOrder(in, path),
            (Points{{100, 700}, {700, 700}, {1300, 700}, {1300, 200}, {700, 200}, {100, 200}}));
  EXPECT_EQ(path.front(), path.back());

  const PathInputs odd = Example(2, 3);
  const Points odd_path = ConnectingPath(odd);
  EXPECT_EQ(VisitOrder(odd, odd_path), (Points{{100, 1200}, {700, 1200}, {700, 700}, {100, 700}, {100, 200},
                                               {700, 200}}));
  // The lead-in starts 1 mm below and left of the connecting lines, the lead-out ends 1 mm below the bridges.
  EXPECT_EQ(odd_path.front(), (TPlotPoint{20, 120}));
  EXPECT_EQ(odd_path.back(), (TPlotPoint{20, 80}));
}

TEST(ConnectingPath, AStartPointOnAnotherSideIsReachedRoundTheBox) {
  PathInputs in = Example(1, 1);
  in.start = {100, 350};  // on the left side
  in.side = BoxSide::kLeft;
  EXPECT_EQ(ConnectingPath(in), (Points{{20, 120}, {20, 120}, {60, 120},                          // lead-in
                                        {60, 120}, {60, 350}, {100, 350}, {60, 350}, {60, 120},  // visit
                                        {100, 80}, {20, 80}}));                                  // lead-out
  in.start = {300, 500};  // on the top side
  in.side = BoxSide::kTop;
  const Points top = ConnectingPath(in);
  const Points visit{{60, 120}, {60, 580}, {300, 580}, {300, 500}, {300, 580}, {60, 580}, {60, 120}};
  EXPECT_EQ(Points(top.begin() + 3, top.begin() + 10), visit);
}

TEST(EntrySide, SideOfTheStartPointOrTheNearestClearWayOut) {
  std::vector<std::unique_ptr<tfigura>> figures;
  figures.push_back(std::make_unique<tfigura>());
  figures.back()->points = {{0, 0}, {1000, 0}, {1000, 1000}, {0, 1000}, {0, 0}};
  const PatternBox box{0, 0, 1000, 1000};
  EXPECT_EQ(EntrySide(figures, box, {0, 0}), BoxSide::kBottom);
  EXPECT_EQ(EntrySide(figures, box, {0, 500}), BoxSide::kLeft);
  EXPECT_EQ(EntrySide(figures, box, {1000, 500}), BoxSide::kRight);
  EXPECT_EQ(EntrySide(figures, box, {500, 1000}), BoxSide::kTop);
  // Inside the outline every way out crosses it: the nearest side is taken.
  EXPECT_EQ(EntrySide(figures, box, {900, 400}), BoxSide::kRight);

  // A bar between the point and the right side sends it to the next nearest side.
  figures.front()->points = {{0, 0}, {0, 0}};
  figures.push_back(std::make_unique<tfigura>());
  figures.back()->points = {{950, 300}, {950, 500}};
  EXPECT_EQ(EntrySide(figures, box, {900, 400}), BoxSide::kBottom);
  figures.back()->points = {{950, 300}, {950, 500}, {850, 300}, {950, 300}};
  EXPECT_EQ(EntrySide(figures, box, {900, 400}), BoxSide::kTop);
}

TEST(SegmentContact, OnlyTheAllowedPointMayBeShared) {
  const TPlotPoint p{0, 0};
  EXPECT_FALSE(SegmentsMeetElsewhere({{0, 0}, {10, 0}}, {{0, 0}, {0, 10}}, p));    // meet at p
  EXPECT_TRUE(SegmentsMeetElsewhere({{0, 0}, {10, 0}}, {{5, -5}, {5, 5}}, p));     // cross
  EXPECT_TRUE(SegmentsMeetElsewhere({{0, 0}, {10, 0}}, {{10, 0}, {10, 5}}, p));    // touch at an end
  EXPECT_TRUE(SegmentsMeetElsewhere({{0, 0}, {10, 0}}, {{5, 0}, {5, 8}}, p));      // touch inside
  EXPECT_TRUE(SegmentsMeetElsewhere({{0, 0}, {10, 0}}, {{-5, 0}, {3, 0}}, p));     // overlap through p
  EXPECT_FALSE(SegmentsMeetElsewhere({{0, 0}, {10, 0}}, {{-5, 0}, {0, 0}}, p));    // end to end at p
  EXPECT_FALSE(SegmentsMeetElsewhere({{0, 1}, {10, 1}}, {{0, 0}, {10, 0}}, p));    // parallel
  EXPECT_TRUE(SegmentsMeetElsewhere({{3, 0}, {3, 0}}, {{0, 0}, {10, 0}}, p));      // a point on it
  EXPECT_FALSE(SegmentsMeetElsewhere({{0, 0}, {0, 0}}, {{0, 0}, {10, 0}}, p));     // the allowed point
  // Far coordinates stay exact: these almost parallel segments do not meet.
  const int32_t big = 1 << 30;
  EXPECT_FALSE(SegmentsMeetElsewhere({{-big, -big}, {big, big - 1}}, {{-big, -big + 1}, {big, big}}, p));
}

}  // namespace
}  // namespace varnholt
