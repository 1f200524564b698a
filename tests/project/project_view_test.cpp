// How the project window maps a project to pixels, colours and picks its figures, and how the simulation times the
// planned path.

#include "project/project_view.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "planner/cut_planner.h"
#include "planner/fast_plan_search.h"
#include "project/load_report.h"
#include "project/path_animation.h"
#include "project/project_document.h"
#include "services/scripted_operator.h"
#include "support/plan_projects.h"

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
  EXPECT_EQ(FigureColour(*project, 2), kSelectedColour) << "the selection shows over every other colour";
  for (const uint32_t other : {kBlack, kBlue, kRed, kGrey, kCutColour, kWireColour, kWorkAreaColour, 0xf0f0f0u})
    EXPECT_NE(kSelectedColour, other) << "the selection stands out of every state, the cut and the background";
}

TEST(ProjectView, ZoomKeepsThePointUnderTheMouseAndAShiftMovesThePictureWhole) {
  const auto project = Project({Rectangle(0, 0, 4000, 2000)});
  const ProjectView fit = ViewOf(*project, 620, 420, 20);
  ViewAdjust adjust;
  EXPECT_EQ(Adjusted(fit, adjust).Pixel({4000, 2000}), fit.Pixel({4000, 2000})) << "the default is the fitted view";
  const TPlotPoint under = fit.DrawingPoint(300, 150);
  ZoomAbout(adjust, fit, 4.0, 300, 150);
  ProjectView zoomed = Adjusted(fit, adjust);
  EXPECT_DOUBLE_EQ(zoomed.scale, fit.scale * 4);
  const TPlotPoint still = zoomed.DrawingPoint(300, 150);
  EXPECT_LE(std::abs(still.x - under.x), 2) << "within a pixel of the zoomed drawing";
  EXPECT_LE(std::abs(still.y - under.y), 2);
  ZoomAbout(adjust, fit, 0.5, 10, 400);
  zoomed = Adjusted(fit, adjust);
  EXPECT_LE(std::abs(zoomed.DrawingPoint(300, 150).x - under.x), 1000) << "a second zoom about another point";
  const TPlotPoint corner = zoomed.Pixel({4000, 0});
  adjust.shift_x += 25;
  adjust.shift_y -= 40;
  EXPECT_EQ(Adjusted(fit, adjust).Pixel({4000, 0}), (TPlotPoint{corner.x + 25, corner.y - 40}));
  for (int i = 0; i < 100; ++i) ZoomAbout(adjust, fit, 10.0, 300, 150);
  EXPECT_DOUBLE_EQ(adjust.zoom, kMaxZoom) << "the zoom has bounds";
  EXPECT_NE(Adjusted(fit, adjust).Pixel({4000, 2000}).x, 0) << "far outside the window, yet a pixel";
}

TEST(ProjectView, TheWorkAreaStartsAtTheOriginAndIsTheRangeAtTheProjectsScale) {
  ScriptedOperator quiet;
  ScopedOperator installed(quiet);
  auto project = EmptyProject();
  ASSERT_TRUE(project->SetKerf(0.0, 50.0));
  project->working_range = {100.0, 50.0};
  AddShape(*project, Rectangle(1000, 1000, 3000, 2000));
  AddShape(*project, Rectangle(4000, 1000, 5000, 1500));
  FinishProject(*project);
  const ProjectView view = ViewOf(*project, 1020, 620, 20);
  SpaceMarks marks = SpaceMarksOf(*project, view);
  EXPECT_FALSE(marks.planned) << "no start point before the plan";
  EXPECT_EQ(marks.start, marks.origin);
  EXPECT_TRUE(PlannedOrder(*project).empty());
  const auto search = MakeFastPlanSearch();
  PlanCut(*project, *search);
  ASSERT_TRUE(project->planned);
  EXPECT_FALSE(SpaceMarksOf(*project, view, false).planned) << "nor while the plan is being made again";
  marks = SpaceMarksOf(*project, view);
  EXPECT_TRUE(marks.planned);
  const TPlotPoint origin{project->project_min_x, project->project_min_y};
  EXPECT_EQ(marks.origin, view.Pixel(origin));
  EXPECT_EQ(marks.area_low, marks.origin);
  // 100 x 50 mm of foam are 200 x 100 mm of a drawing cut at 50 per cent.
  EXPECT_EQ(marks.area_high, view.Pixel({origin.x + 8000, origin.y + 4000}));
  const std::vector<TPlotPoint> path = PlannedPath(*project);
  EXPECT_EQ(marks.start, view.Pixel(path.front()));
  EXPECT_NE(marks.entry, marks.start);
  EXPECT_EQ(marks.entry, view.Pixel(path[1]));

  // A scale bar of a round length that fits: 1 mm is 40 units.
  ProjectView fixed;
  fixed.scale = 80.0 / 40 / 25;  // 3.2 pixels a millimetre: 120 pixels are 37.5 mm
  ScaleBar bar = ScaleBarOf(fixed, 120);
  EXPECT_DOUBLE_EQ(bar.millimetres, 20.0);
  EXPECT_EQ(bar.pixels, 64);
  fixed.scale = 40.0;  // 1600 pixels a millimetre
  bar = ScaleBarOf(fixed, 120);
  EXPECT_DOUBLE_EQ(bar.millimetres, 0.05);
  EXPECT_EQ(bar.pixels, 80);
  EXPECT_EQ(ProjectSizeText(*project, ','), "100,00 \xC3\x97 25,00 mm");
}

TEST(ProjectView, ThePlannedOrderNumbersTheFiguresEntriesAsThePathReachesThem) {
  ScriptedOperator quiet;
  ScopedOperator installed(quiet);
  auto project = Project({Rectangle(0, 0, 1000, 1000), Rectangle(3000, 0, 4000, 1000), Rectangle(6000, 0, 7000, 1000)});
  const auto search = MakeFastPlanSearch();
  PlanCut(*project, *search);
  ASSERT_TRUE(project->planned);
  const std::vector<OrderMark> order = PlannedOrder(*project);
  ASSERT_EQ(order.size(), 3u) << "the three squares; no connector or marker";
  const std::vector<TPlotPoint> path = PlannedPath(*project);
  size_t along = 0;
  for (size_t i = 0; i < order.size(); ++i) {
    EXPECT_EQ(order[i].number, static_cast<int32_t>(i + 1));
    const auto at = std::find(path.begin() + static_cast<std::ptrdiff_t>(along), path.end(), order[i].at);
    ASSERT_NE(at, path.end()) << "numbered in the order the path reaches them";
    along = static_cast<size_t>(at - path.begin());
    bool an_entry = false;
    for (const auto& figure : project->figures) {
      if (figure->kind == kDrawingFigure && figure->points[static_cast<size_t>(figure->link_aux)] == order[i].at) {
        an_entry = true;
      }
    }
    EXPECT_TRUE(an_entry);
  }
}

TEST(ProjectView, ACutIsDrawnFromItsStopsReachedToTheWire) {
  auto course = std::make_shared<ProgramCourse>();
  course->stops = {{0, 0, 0, 0}, {100, 0, 10, 10}, {100, 50, 20, 20}};
  CutSnapshot cut;
  const auto project = Project({Rectangle(0, 0, 4000, 2000)});
  const ProjectView view = ViewOf(*project, 620, 420, 20);
  EXPECT_FALSE(CutOverlayOf(cut, view).shown);
  cut.phase = CutPhase::kRunning;
  cut.course = course;
  cut.placement.start = {1000, 500};
  cut.placement.units_per_step_x = 10;
  cut.placement.units_per_step_y = -10;
  cut.reached = 2;
  cut.wire_x = 100;
  cut.wire_y = 20;
  const CutOverlay overlay = CutOverlayOf(cut, view);
  ASSERT_TRUE(overlay.shown);
  EXPECT_EQ(overlay.wire, view.Pixel({2000, 300}));
  EXPECT_EQ(overlay.cut, (std::vector<TPlotPoint>{view.Pixel({1000, 500}), view.Pixel({2000, 500}), overlay.wire}));
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

TEST(PathAnimation, EachLineTakesAMillisecondPerPixelAndEachCornerPauseAQuarterOfItsConfiguredTime) {
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
  // A corner pause is a quarter of the configured one, rounded to even.
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
