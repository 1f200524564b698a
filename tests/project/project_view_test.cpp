// How the project window maps a project to pixels, colours and picks its figures, and how the simulation times the
// planned path.

#include "project/project_view.h"

#include <gtest/gtest.h>

#include <cmath>

#include "plan_projects.h"
#include "project/cut_planner.h"
#include "project/fast_plan_search.h"
#include "project/load_report.h"
#include "project/path_animation.h"
#include "project/project_document.h"
#include "services/scripted_operator.h"

namespace varnholt {
namespace {

// A project of figures with their box, as loading leaves it.
std::unique_ptr<ProjectDocument> Project(std::initializer_list<std::vector<TPlotPoint>> shapes) {
  auto project = EmptyProject();
  for (const auto& shape : shapes) AddShape(*project, shape);
  FinishProject(*project);
  return project;
}

TEST(ProjectView, ScaleFitsTheProjectIntoTheAreaLeftByTheMarginsAndTheStatusLine) {
  const auto project = Project({{{100, 200}, {1100, 200}, {1100, 700}}});  // 1000 x 500 units
  // 1020 x 400 pixels with a 20-pixel status line: 1000 x 350 usable, the height decides.
  ProjectView view = ViewOf(*project, 1020, 400, 20);
  ASSERT_TRUE(view.drawable);
  EXPECT_DOUBLE_EQ(view.scale, 350.0 / 501);
  EXPECT_EQ(view.baseline, 373);
  EXPECT_EQ(view.Pixel({100, 200}), (TPlotPoint{7, 373}));
  EXPECT_EQ(view.Pixel({1100, 700}), (TPlotPoint{7 + 699, 373 - 349}));
  // A narrow window: the width decides.
  view = ViewOf(*project, 320, 400, 20);
  EXPECT_DOUBLE_EQ(view.scale, 300.0 / 1001);

  const auto line = Project({{{0, 0}, {1000, 0}}});
  EXPECT_FALSE(ViewOf(*line, 620, 400, 20).drawable) << "nothing is drawn below one unit of height";
  EXPECT_EQ(FigureAt(*line, ViewOf(*line, 620, 400, 20), {10, 10}), -1);
}

TEST(ProjectView, ColoursFollowSelectionPlanningAndClosure) {
  auto project = Project({Rectangle(0, 0, 1000, 1000), {{2000, 0}, {3000, 1000}}, Rectangle(4000, 0, 5000, 1000)});
  for (auto& figure : project->figures) figure->plan_flag_2 = 0;
  project->figures[2]->plan_flag_2 = 1;
  EXPECT_EQ(FigureColour(*project, 0), kBlack);
  EXPECT_EQ(FigureColour(*project, 1), kBlue);
  EXPECT_EQ(FigureColour(*project, 2), kRed);
  project->selected_figure = 2;
  EXPECT_EQ(FigureColour(*project, 2), kWhite) << "the selection shows over every other colour";
}

TEST(ProjectView, TheLastFigureInListOrderNearTheClickWins) {
  const auto project = Project({Rectangle(0, 0, 1000, 1000), Rectangle(0, 0, 2000, 1000)});
  const ProjectView view = ViewOf(*project, 1020, 600, 20);
  const TPlotPoint bottom = view.Pixel({500, 0});  // both share the bottom edge here
  EXPECT_EQ(FigureAt(*project, view, bottom), 1);
  const TPlotPoint right = view.Pixel({1000, 500});
  EXPECT_EQ(FigureAt(*project, view, {right.x + 3, right.y}), 0);
  EXPECT_EQ(FigureAt(*project, view, {right.x + 4, right.y}), -1);
  EXPECT_DOUBLE_EQ(PixelDistanceToSegment({5, 9}, {0, 0}, {0, 4}), std::hypot(5.0, 5.0)) << "past the segment's end";
}

TEST(ProjectView, PointListInMillimetresUpToItsLimit) {
  tfigura figure;
  figure.points = {{40, -20}, {4001, 0}};
  EXPECT_EQ(PointListText(figure, ',', "more: "), "[mm]\r\n\r\np0:(1,00 ; -0,50)\r\np1:(100,03 ; 0,00)");
  figure.points.assign(kPointListLimit + 3, TPlotPoint{0, 0});
  const std::string text = PointListText(figure, '.', "more: ");
  EXPECT_NE(text.find("\r\np499:"), std::string::npos);
  EXPECT_EQ(text.find("\r\np500:"), std::string::npos);
  EXPECT_TRUE(text.ends_with("\r\nmore: 3"));
}

TEST(PathAnimation, EachLineTakesAMillisecondPerPixelAndEachCornerPauseItsTime) {
  ProjectView view;
  view.scale = 1.0;
  view.baseline = 100;
  // From (7,100) 10 pixels right, two pauses, then 5 pixels up and 3 right (5 ms).
  const std::vector<PathStop> stops = {{{0, 0}, 1}, {{10, 0}, 2}, {{13, 5}, 0}};
  const PathAnimation animation(stops, view, 20);
  EXPECT_EQ(animation.total_ms(), 20 + 10 + 40 + 5);
  EXPECT_EQ(animation.ReachedAt(0), 1u);
  EXPECT_EQ(animation.PenAt(10), (TPlotPoint{7, 100})) << "still in the first pause";
  EXPECT_EQ(animation.PenAt(25), (TPlotPoint{12, 100})) << "half way along the first line";
  EXPECT_EQ(animation.ReachedAt(30), 2u);
  EXPECT_EQ(animation.PenAt(60), (TPlotPoint{17, 100})) << "pausing at the corner";
  EXPECT_EQ(animation.ReachedAt(75), 3u);
  EXPECT_EQ(animation.PenAt(1000), (TPlotPoint{20, 95}));
  EXPECT_EQ(PathAnimation().total_ms(), 0);
}

TEST(PathAnimation, CornerPausesAreAQuarterOfTheConfiguredOnesRoundedToEven) {
  EXPECT_EQ(SimulationPauseMs(200), 50);
  EXPECT_EQ(SimulationPauseMs(2), 0);
  EXPECT_EQ(SimulationPauseMs(6), 2);
  EXPECT_EQ(SimulationPauseMs(10), 2);
}

TEST(PathAnimation, StopsFollowTheWalkWithItsPausesAndLeaveThePlanAlone) {
  ScriptedOperator quiet;
  ScopedOperator installed(quiet);
  auto project = Project({Rectangle(0, 0, 1000, 1000), Rectangle(2000, 0, 3000, 1000)});
  const auto search = MakeFastPlanSearch();
  PlanCut(*project, *search);
  ASSERT_TRUE(project->planned);
  const auto before = DescribePlan(*project);
  const std::vector<PathStop> stops = PlannedStops(*project);
  ASSERT_GE(stops.size(), 2u);
  const tfigura& start = *project->figures[static_cast<size_t>(project->start_figure)];
  EXPECT_EQ(stops.front().point, start.points[static_cast<size_t>(start.link_aux)]);
  EXPECT_GE(stops.front().pauses, 1) << "entering the start figure pauses";
  int32_t pauses = 0;
  for (const PathStop& stop : stops) pauses += stop.pauses;
  EXPECT_GT(pauses, 4) << "the squares' corners";
  EXPECT_EQ(DescribePlan(*project), before);
  std::vector<TPlotPoint> points;
  for (const PathStop& stop : stops) {
    if (points.empty() || points.back() != stop.point) points.push_back(stop.point);
  }
  EXPECT_EQ(points, PlannedPath(*project)) << "the picture's path is the simulation's";
}

TEST(LoadReport, NotesThenJoinsThenDuplicates) {
  ProjectDocument project([](std::string_view, std::string_view key) { return std::string(key) + "|"; });
  EXPECT_TRUE(LoadReportLines(project).empty());
  project.reader_notes = {MakeReaderNote(28, ReaderNoteKind::kEntitySameAngles, {"ARC"}),
                          MakeReaderNote(0, ReaderNoteKind::kEntitiesNotRead, {"SPLINE", "2"})};
  project.joins_made = 3;
  project.duplicates_dropped = 1;
  EXPECT_EQ(LoadReportLines(project),
            (std::vector<std::string>{"notatkaWiersz|28: pominieteRowneKaty|", "obiektyNiewczytane|",
                                      "polaczoneLinie|3", "pominieteDuplikaty|1"}));
}

}  // namespace
}  // namespace varnholt
