#include "geometry/figure.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>

namespace varnholt {
namespace {

tfigura FigureOf(std::initializer_list<TPlotPoint> points) {
  tfigura figure;
  figure.points = points;
  return figure;
}

TEST(FigureModel, NewFigureIsAllZero) {
  const tfigura figure;
  EXPECT_EQ(figure.reader_tag, 0);
  EXPECT_EQ(figure.parent, 0);
  EXPECT_TRUE(figure.points.empty());
  EXPECT_TRUE(figure.vertex_angles.empty());
  EXPECT_EQ(figure.kind, kDrawingFigure);
}

TEST(FigureModel, CopiesNeverShareRecords) {
  tfigura original = FigureOf({{1, 2}, {3, 4}});
  tfigura copy = original;
  copy.points[0].x = 99;
  EXPECT_EQ(original.points[0].x, 1);
  const TPlotPoint copied = CopyPoint(original.points[1]);
  EXPECT_EQ(copied, (TPlotPoint{3, 4}));
  const TVertexAngle entry{0.5, 6, 1};
  const TVertexAngle copied_entry = CopyVertexAngle(entry);
  EXPECT_EQ(double{copied_entry.angle}, 0.5);
  EXPECT_EQ(copied_entry.mark, 6);
  EXPECT_EQ(copied_entry.flag, 1);
}

// Vertex records are packed, so every other angle of a list lies off its natural boundary: the values must come back
// bit for bit, whatever the list does with them (fill, copy with the figure, reverse with the path, grow).
TEST(FigureModel, VertexRecordsKeepTheirAnglesBitForBit) {
  const double angles[] = {3.141592653589793, -3.141592653589793, kOpenEndAngle, -0.0, 0.0,
                           std::numeric_limits<double>::denorm_min(), 1e-300, -2.0943951023931957, 0.1};
  const auto bits = [](const TVertexAngle& a) { return std::bit_cast<uint64_t>(double{a.angle}); };
  tfigura figure;
  for (size_t i = 0; i < std::size(angles); ++i) {
    const auto mark = static_cast<int16_t>(5 + i % 6);
    figure.vertex_angles.push_back(TVertexAngle{angles[i], mark, static_cast<uint8_t>(i % 2)});
  }
  const tfigura copy = figure;
  figure.vertex_angles.resize(1000, TVertexAngle{kOpenEndAngle, 10, 1});
  std::reverse(figure.vertex_angles.begin(), figure.vertex_angles.end());
  for (size_t i = 0; i < std::size(angles); ++i) {
    const TVertexAngle& kept = copy.vertex_angles[i];
    const TVertexAngle& moved = figure.vertex_angles[999 - i];
    EXPECT_EQ(bits(kept), std::bit_cast<uint64_t>(angles[i])) << i;
    EXPECT_EQ(bits(moved), std::bit_cast<uint64_t>(angles[i])) << i;
    EXPECT_EQ(int{moved.mark}, static_cast<int>(5 + i % 6)) << i;
    EXPECT_EQ(int{moved.flag}, static_cast<int>(i % 2)) << i;
  }
  EXPECT_TRUE(std::all_of(figure.vertex_angles.begin(), figure.vertex_angles.end() - std::ssize(angles),
                          [](const TVertexAngle& a) {
                            return a.angle == kOpenEndAngle && a.mark == 10 && a.flag == 1;
                          }));
}

TEST(ComputeParameters, EmptyFigureOnlyLosesHasPoints) {
  tfigura figure;
  figure.has_points = 1;
  figure.width = 7;
  figure.cut_enabled = 0;
  licz_parametry(figure);
  EXPECT_EQ(figure.has_points, 0);
  EXPECT_EQ(figure.width, 7);
  EXPECT_EQ(figure.cut_enabled, 0);
}

TEST(ComputeParameters, SinglePointIsOpenAndFlat) {
  tfigura figure = FigureOf({{5, 6}});
  licz_parametry(figure);
  EXPECT_EQ(figure.has_points, 1);
  EXPECT_EQ(figure.width, 0);
  EXPECT_EQ(figure.height, 0);
  EXPECT_EQ(figure.open, 1);
  EXPECT_EQ(figure.closed, 0);
  EXPECT_EQ(figure.center_x, 5);
}

TEST(ComputeParameters, ClosingWithinNineUnitsButNotTen) {
  tfigura near = FigureOf({{0, 0}, {100, 0}, {100, 100}, {9, 9}});
  licz_parametry(near);
  EXPECT_EQ(near.closed, 1);
  EXPECT_EQ(near.open, 0);
  EXPECT_EQ(near.points.size(), 4u) << "closing adds no point";
  EXPECT_EQ(near.points.back(), (TPlotPoint{9, 9}));

  tfigura far_x = FigureOf({{0, 0}, {100, 0}, {100, 100}, {10, 0}});
  licz_parametry(far_x);
  EXPECT_EQ(far_x.closed, 0);
  tfigura far_y = FigureOf({{0, 0}, {100, 0}, {100, 100}, {0, -10}});
  licz_parametry(far_y);
  EXPECT_EQ(far_y.open, 1);

  tfigura two_points = FigureOf({{0, 0}, {0, 0}});
  licz_parametry(two_points);
  EXPECT_EQ(two_points.open, 1) << "fewer than three points are always open";
}

TEST(ComputeParameters, FirstPointReachingAnExtremeKeepsTheIndex) {
  tfigura rectangle = FigureOf({{10, 0}, {0, 0}, {0, 10}, {10, 10}, {10, 0}});
  licz_parametry(rectangle);
  EXPECT_EQ(rectangle.idx_min_x, 1);
  EXPECT_EQ(rectangle.idx_max_x, 0);
  EXPECT_EQ(rectangle.idx_min_y, 0);
  EXPECT_EQ(rectangle.idx_max_y, 2);
  EXPECT_EQ(rectangle.min_x, 0);
  EXPECT_EQ(rectangle.max_y, 10);
  EXPECT_EQ(rectangle.width, 10);
  EXPECT_EQ(rectangle.closed, 1);
}

TEST(ComputeParameters, CentreTruncatesTowardZeroAndFlagsAreReset) {
  tfigura figure = FigureOf({{-5, -7}, {2, 4}});
  figure.plan_flag_1 = 1;
  figure.depth = 3;
  licz_parametry(figure);
  EXPECT_EQ(figure.center_x, -1);
  EXPECT_EQ(figure.center_y, -1);
  EXPECT_EQ(figure.depth, 0);
  EXPECT_EQ(figure.is_contour, 1);
  EXPECT_EQ(figure.cut_enabled, 1);
  EXPECT_EQ(figure.plan_flag_2, 1);
  EXPECT_EQ(figure.plan_flag_1, 0);
}

TEST(ComputeParameters, ExtremeCoordinatesDoNotOverflow) {
  tfigura figure = FigureOf({{-2147483647, 2147483647}, {2147483647, -2147483647}});
  licz_parametry(figure);
  EXPECT_EQ(figure.width, 2147483647) << "a span beyond int32 saturates";
  EXPECT_EQ(figure.center_x, 0);
  // The running extremes start one short of the limits: INT32_MIN never becomes the largest value.
  tfigura lowest = FigureOf({{-2147483647 - 1, 0}});
  licz_parametry(lowest);
  EXPECT_EQ(lowest.min_x, -2147483647 - 1);
  EXPECT_EQ(lowest.max_x, -2147483647);
}

}  // namespace
}  // namespace varnholt
