#include "info/project_info.h"

#include <gtest/gtest.h>

#include "config/display_unit.h"

namespace varnholt {
namespace {

Configuration Config(double skala, double speed = 1000.0, int unit = kUnitMm) {
  Configuration config;
  config.SetNumber(Param::skala, skala);
  config.SetNumber(Param::szybkoscObrobki, speed);
  config.SetCurrentUnit(unit);
  return config;
}

TEST(ProjectInfo, SizeIsScaledAndRoundedToWholeUnitsFirst) {
  EXPECT_EQ(ComputeProjectInfo({8000, 4000, 0.0, 1}, Config(50)).szerokosc, "100.00 mm");
  const ProjectInfo info = ComputeProjectInfo({5000, 3, 0.0, 1}, Config(50));
  EXPECT_EQ(info.szerokosc, "62.50 mm");
  // 1.5 units round to 2 (halves to even) before the division: 0.05 mm, where 3 x 50 % / 40 would be 0.0375.
  EXPECT_DOUBLE_EQ(info.height_mm, 0.05);
  EXPECT_EQ(info.wysokosc, "0.05 mm");
  EXPECT_EQ(info.skala, "50.00%");
}

TEST(ProjectInfo, LengthInMetresAndTimeInWholeMinutes) {
  const ProjectInfo info = ComputeProjectInfo({0, 0, 400000.0, 12}, Config(100, 1000));
  EXPECT_EQ(info.totlen, "10.00 m");
  EXPECT_DOUBLE_EQ(info.time_min, 10.36);
  EXPECT_EQ(info.total_time, "10 min");
  EXPECT_EQ(info.skala, "100.00%");
  // Scale and speed both count: 20000 mm at 2000 mm/min, 100 entries of 0.03 min.
  EXPECT_EQ(ComputeProjectInfo({0, 0, 400000.0, 100}, Config(200, 2000)).total_time, "13 min");
  EXPECT_EQ(ComputeProjectInfo({0, 0, 400000.0, 20}, Config(100, 800)).total_time, "13 min") << "12.5 + 0.6";
}

TEST(ProjectInfo, TheSameProjectInInchAndFoot) {
  const ProjectMeasures project{5000, 2540, 400000.0, 12};
  const ProjectInfo inch = ComputeProjectInfo(project, Config(100, 1000, kUnitInch));
  EXPECT_EQ(inch.szerokosc, "4.92 in");
  EXPECT_EQ(inch.wysokosc, "2.50 in");
  EXPECT_EQ(inch.totlen, "393.70 in");
  EXPECT_EQ(inch.total_time, "10 min") << "the time does not depend on the display unit";
  const ProjectInfo foot = ComputeProjectInfo(project, Config(100, 1000, kUnitFoot));
  EXPECT_EQ(foot.szerokosc, "0.41 ft");
  EXPECT_EQ(foot.totlen, "32.81 ft");
  // A radio choice of none counts as millimetres.
  EXPECT_EQ(ComputeProjectInfo(project, Config(100, 1000, -1)).totlen, "10.00 m");
}

}  // namespace
}  // namespace varnholt
