// How far a cut has got: the course of its program on the drawing, and the progress the controller's positions
// give along it.

#include "project/cut_progress.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "config/parameters.h"
#include "planner/cut_planner.h"
#include "planner/cut_walk.h"
#include "planner/fast_plan_search.h"
#include "program/cut_program.h"
#include "project/plan_picture.h"
#include "project/project_document.h"
#include "services/scripted_operator.h"
#include "support/plan_projects.h"

namespace varnholt {
namespace {

TEST(CutCourse, TheProgramsCourseLiesOnThePlannedPathAtTheScaleAndCalibration) {
  ScriptedOperator quiet;
  ScopedOperator installed(quiet);
  auto project = EmptyProject();
  AddShape(*project, Rectangle(1000, 2000, 5000, 4000));
  AddShape(*project, Rectangle(7000, 2000, 9000, 6000));
  FinishProject(*project);
  const auto search = MakeFastPlanSearch();
  PlanCut(*project, *search);
  ASSERT_TRUE(project->planned);
  Configuration config;
  config.SetNumber(Param::Pauza_w_kacie, 0);
  config.SetNumber(Param::skala, 50);
  ControllerState machine;
  machine.StepScaleX = 2.0;
  machine.StepScaleY = 3.0;
  const TPlotPoint entry = CutEntryPoint(*project);
  const std::vector<TPlotPoint> path = PlannedPath(*project);
  ASSERT_EQ(entry, path.front());
  const std::string program = BuildCutProgram(*project, project->figures, true, config, machine, {});
  const ProgramCourse course = CourseOfProgram(program, machine);
  ASSERT_GE(course.stops.size(), 8u) << "two rectangles' corners at least";
  EXPECT_GT(course.total_ms, 0);
  const CutPlacement placement = PlacementOf(entry, 50, machine);
  // A step of X is 1/2 hundredth of a millimetre of foam, twice as much of the drawing at 50 per cent.
  EXPECT_DOUBLE_EQ(placement.units_per_step_x, 40.0 / 100 / 2 * 2);
  int64_t before = 0;
  for (const CourseStop& stop : course.stops) {
    EXPECT_LE(before, stop.arrive_ms);
    EXPECT_LE(stop.arrive_ms, stop.leave_ms);
    before = stop.leave_ms;
    const TPlotPoint on_drawing = placement.DrawingPoint(stop.x, stop.y);
    double nearest = 1e18;
    for (const TPlotPoint& point : path) {
      nearest = std::min(nearest, std::hypot(double{1} * point.x - on_drawing.x, double{1} * point.y - on_drawing.y));
    }
    EXPECT_LE(nearest, 1.0) << "a stop off the planned path at " << on_drawing.x << "," << on_drawing.y;
  }
  EXPECT_EQ(course.stops.back().leave_ms, course.total_ms);
}

// A course out along X, up, and back to the start, with a pause at its first corner.
ProgramCourse SquareishCourse() {
  ProgramCourse course;
  course.stops = {{0, 0, 0, 0}, {100, 0, 1000, 1500}, {100, 100, 2500, 2500}, {0, 0, 4000, 4000}};
  course.total_ms = 4000;
  return course;
}

TEST(CutProgress, PositionsMoveTheCutOnAlongItsCourseButNeverBackOrAheadOfTime) {
  CutProgress progress;
  EXPECT_FALSE(progress.Snapshot().shown());
  // The arms stood at (10, 20) when the program was sent: positions count from there.
  progress.Begin(SquareishCourse(), 10, 20, {}, 10'000);
  EXPECT_TRUE(progress.active());
  EXPECT_EQ(progress.serial(), 1u);

  progress.Observe(60, 20, false, 10'400);
  EXPECT_EQ(progress.elapsed_ms(), 500) << "half way along the first move";
  EXPECT_EQ(progress.remaining_ms(), 3500);

  progress.Observe(110, 20, false, 11'000);
  EXPECT_EQ(progress.elapsed_ms(), 1000) << "arrived at the corner";
  progress.Observe(110, 20, false, 11'300);
  EXPECT_EQ(progress.elapsed_ms(), 1300) << "the corner's pause runs on the clock";
  progress.Observe(110, 20, true, 11'600);
  EXPECT_EQ(progress.phase(), CutPhase::kPaused);
  EXPECT_EQ(progress.elapsed_ms(), 1300) << "not while the program stands paused";
  progress.Observe(110, 20, false, 13'000);
  EXPECT_EQ(progress.elapsed_ms(), 1500) << "no longer than the pause itself";

  // The start is also the course's end, far ahead: the cut neither goes back to it nor jumps there.
  progress.Observe(10, 20, false, 13'100);
  EXPECT_EQ(progress.elapsed_ms(), 1500);
  progress.Observe(110, 70, false, 13'600);
  EXPECT_EQ(progress.elapsed_ms(), 2000) << "half way up";
  EXPECT_EQ(progress.percent(), 50);
  const CutSnapshot running = progress.Snapshot();
  EXPECT_EQ(running.reached, 2u) << "the start and the corner";
  EXPECT_EQ(running.wire_x, 100);
  EXPECT_EQ(running.wire_y, 50);

  progress.End(CutPhase::kFinished);
  EXPECT_EQ(progress.percent(), 100);
  EXPECT_EQ(progress.remaining_ms(), 0);
  EXPECT_EQ(progress.Snapshot().reached, 4u);
  progress.End(CutPhase::kIncomplete);
  EXPECT_EQ(progress.phase(), CutPhase::kFinished) << "an ended cut keeps how it ended";
  progress.Observe(60, 20, false, 20'000);
  EXPECT_EQ(progress.elapsed_ms(), 4000);

  progress.Begin(SquareishCourse(), 0, 0, {}, 30'000);
  EXPECT_EQ(progress.serial(), 2u);
  EXPECT_EQ(progress.elapsed_ms(), 0);
  progress.Observe(50, 0, false, 30'500);
  progress.End(CutPhase::kStopped);
  EXPECT_EQ(progress.phase(), CutPhase::kStopped);
  EXPECT_EQ(progress.elapsed_ms(), 500) << "a stopped cut stays where it got to";
}

}  // namespace
}  // namespace varnholt
