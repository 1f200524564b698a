#include "project/project_document.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "services/scripted_operator.h"
#include "support/temp_folder.h"
#include "support/vector_registers.h"

namespace varnholt {
namespace {

using Points = std::vector<TPlotPoint>;

// The figures read from the drawing, without the start marker and connectors that planning appends.
size_t DrawingFigures(const ProjectDocument& project) {
  size_t count = 0;
  for (const auto& figure : project.figures) if (figure->kind == kDrawingFigure) ++count;
  return count;
}

class ProjectLoad : public ::testing::Test {
 protected:
  // Loads plot text into the fixture's project (texts come back as "section/key") or into another one.
  bool Load(const std::string& text, int pen_filter = kAllPens) {
    return LoadInto(project_, text, pen_filter);
  }
  bool LoadInto(ProjectDocument& project, const std::string& text, int pen_filter = kAllPens,
                LoadOptions options = {}) {
    return project.Load(folder_.Write("drawing.plt", text), pen_filter, options);
  }

  std::vector<std::string> Messages() const {
    std::vector<std::string> texts;
    for (const auto& message : operator_.messages()) texts.push_back(message.text);
    return texts;
  }

  testing::TempFolder folder_;
  ScriptedOperator operator_;
  ScopedOperator installed_{operator_};
  ProjectDocument project_{[](std::string_view section, std::string_view key) {
    return std::string(section) + "/" + std::string(key);
  }};
};

TEST_F(ProjectLoad, OpenLinesMeetingEndToEndBecomeOneFigure) {
  // Three strokes of one triangle, the last one drawn backwards, ends 5 units apart.
  ASSERT_TRUE(Load("PU0,0;PD1000,0;PU;PU1000,1000;PD0,5;PU;PU1005,3;PD1000,1000;PU;"));
  ASSERT_EQ(DrawingFigures(project_), 1u);
  const tfigura& triangle = *project_.figures[0];
  // The second stroke's end meets the first one's start; the third stroke's end meets the second one's start.
  EXPECT_EQ(triangle.points, (Points{{1005, 3}, {1000, 1000}, {0, 5}, {1000, 0}}));
  EXPECT_EQ(triangle.closed, 1) << "its ends lie within 10 units once joined";
  EXPECT_EQ(triangle.list_index, 0);
}

TEST_F(ProjectLoad, DuplicatesAreDroppedAndPensFiltered) {
  const std::string square = "PU0,0;PD100,0,100,100,0,100,0,0;PU;";
  ASSERT_TRUE(Load("SP1;" + square + square + "SP4;PU500,0;PD600,0,600,50,500,0;PU;SP6;PU700,0;PD800,0,800,9,700,0;PU;"));
  EXPECT_EQ(DrawingFigures(project_), 3u) << "the square drawn twice loads once";

  ProjectDocument filtered{[](std::string_view, std::string_view) { return std::string(); }};
  ASSERT_TRUE(LoadInto(
      filtered, "SP1;" + square + "SP4;PU500,0;PD600,0,600,50,500,0;PU;SP6;PU700,0;PD800,0,800,9,700,0;PU;",
      4));
  ASSERT_EQ(DrawingFigures(filtered), 2u) << "pen 4 and pen 6 stay";
  EXPECT_EQ(filtered.figures[0]->pen, 4);
  EXPECT_EQ(filtered.figures[1]->pen, 6);
}

TEST_F(ProjectLoad, PlanningEndsTheLoadUnlessLeftOut) {
  const std::string squares = "PU0,0;PD100,0,100,100,0,100,0,0;PU;PU300,0;PD400,0,400,100,300,100,300,0;PU;";
  ASSERT_TRUE(Load(squares));
  EXPECT_EQ(project_.drawing_figure_count, 2u);
  EXPECT_GT(project_.figures.size(), 2u) << "planning appended its start and connectors";

  ProjectDocument unplanned([](std::string_view, std::string_view) { return std::string(); });
  unplanned.plan_after_load = false;
  ASSERT_TRUE(LoadInto(unplanned, squares));
  EXPECT_EQ(unplanned.figures.size(), 2u);
  EXPECT_TRUE(unplanned.figures[0]->plan_flag_2) << "still pending";
}

// Wide code run by the window before a load, a plan or a kerf change must not leave the arithmetic that follows
// with the registers' upper halves marked in use (the library's sines and arc tangents then run ten times slower).
TEST_F(ProjectLoad, LoadPlanAndKerfReleaseTheWideRegisters) {
  if (!testing::CanReadUpperHalvesInUse()) GTEST_SKIP() << "the processor does not report its register states";
  testing::LeaveUpperHalvesInUse();
  if (!testing::UpperHalvesInUse()) GTEST_SKIP() << "the processor did not mark the wide register in use";
  project_.plan_after_load = false;
  ASSERT_TRUE(Load("PU0,0;PD400,0,400,400,0,400,0,0;PU;PU100,100;PD300,100,300,300,100,300,100,100;PU;"));
  EXPECT_FALSE(testing::UpperHalvesInUse()) << "after the load";

  testing::LeaveUpperHalvesInUse();
  project_.ciecie();
  EXPECT_FALSE(testing::UpperHalvesInUse()) << "after planning";

  testing::LeaveUpperHalvesInUse();
  project_.ChangeKerf(1.0, 100.0);
  EXPECT_FALSE(testing::UpperHalvesInUse()) << "after a kerf change";
}

TEST_F(ProjectLoad, DrawnCopyLeftOutOnlyWithoutAKerf) {
  const std::string squares =
      "PU0,0;PD400,0,400,400,0,400,0,0;PU;PU100,100;PD300,100,300,300,100,300,100,100;PU;";
  const auto texts = [](std::string_view, std::string_view) { return std::string(); };
  ProjectDocument kept(texts), left_out(texts), compensated(texts);
  for (ProjectDocument* project : {&kept, &left_out, &compensated}) project->plan_after_load = false;
  ASSERT_TRUE(compensated.SetKerf(1.0, 100.0));
  const LoadOptions without_copy{.keep_drawn_figures = false};
  ASSERT_TRUE(LoadInto(kept, squares));
  ASSERT_TRUE(LoadInto(left_out, squares, kAllPens, without_copy));
  ASSERT_TRUE(LoadInto(compensated, squares, kAllPens, without_copy));

  ASSERT_EQ(kept.drawn_figures.size(), 2u);
  EXPECT_TRUE(left_out.drawn_figures.empty());
  ASSERT_EQ(left_out.figures.size(), kept.figures.size());
  for (size_t i = 0; i < kept.figures.size(); ++i) {
    EXPECT_EQ(left_out.figures[i]->points, kept.figures[i]->points) << "the same figures without the copy";
    EXPECT_EQ(left_out.figures[i]->closed, kept.figures[i]->closed);
  }
  // A kerf is applied to a copy of the drawing's figures, which the load then keeps.
  ASSERT_EQ(compensated.drawn_figures.size(), 2u);
  EXPECT_EQ(compensated.drawn_figures[0]->points, kept.figures[0]->points);
  EXPECT_NE(compensated.figures[0]->points, kept.figures[0]->points);
  EXPECT_EQ(compensated.applied_kerf_mm(), 1.0);
}

TEST_F(ProjectLoad, FiguresTheProgramMadeLoadAsADrawingDoes) {
  // A square and an empty figure, as a text's letters come: measured, compensated, kept as drawn and planned.
  FigureList drawing;
  drawing.push_back(std::make_unique<tfigura>());
  drawing.back()->points = {{0, 0}, {4000, 0}, {4000, 4000}, {0, 4000}, {0, 0}};
  drawing.push_back(std::make_unique<tfigura>());
  ASSERT_TRUE(project_.SetKerf(2.0, 100.0));
  ASSERT_TRUE(project_.LoadFigures(std::move(drawing)));
  EXPECT_EQ(project_.drawing_figure_count, 1u) << "a figure without points is left out";
  ASSERT_EQ(project_.drawn_figures.size(), 1u);
  EXPECT_EQ(project_.drawn_figures[0]->width, 4000);
  EXPECT_EQ(project_.figures[0]->width, 4080) << "half the kerf outside on each side";
  EXPECT_TRUE(project_.figures[0]->closed);
  EXPECT_EQ(project_.figures[0]->reader_tag, -1);
  EXPECT_TRUE(project_.planned);
  EXPECT_FALSE(project_.LoadFigures({}));
  EXPECT_EQ(Messages(), (std::vector<std::string>{"Project_window/zbiorPusty"}));
}

TEST_F(ProjectLoad, BoxOriginsAndStatus) {
  ASSERT_TRUE(Load("PU-40,80;PD400,80,400,800,-40,80;PU;PU0,100;PD100,100,100,200,0,100;PU;"));
  EXPECT_EQ(project_.project_min_x, -40);
  EXPECT_EQ(project_.project_max_y, 800);
  EXPECT_EQ(project_.project_width, 440);
  for (const auto& figure : project_.figures) {
    EXPECT_EQ(figure->origin_x, -40);
    EXPECT_EQ(figure->origin_y, 80);
  }
  EXPECT_EQ(project_.selected_figure, -1);
  const auto& history = operator_.status_history();
  EXPECT_NE(std::find(history.begin(), history.end(), "Project_window/iloscFigur2"), history.end());
  EXPECT_EQ(operator_.status(kProjectStatusPanel), "") << "planning clears the count at its end";
  EXPECT_EQ(operator_.status(kMainWindowStatusPanel), "");
  EXPECT_FALSE(operator_.busy());
  EXPECT_TRUE(Messages().empty());
}

TEST_F(ProjectLoad, WorkingRangeMessageAtOneUnitBeyond) {
  ASSERT_TRUE(Load("PU0,0;PD192000,0;PU;"));
  EXPECT_TRUE(Messages().empty()) << "4800 mm fits";
  ProjectDocument wide{[](std::string_view section, std::string_view key) {
    return std::string(section) + "/" + std::string(key);
  }};
  ASSERT_TRUE(LoadInto(wide, "PU0,0;PD192001,0;PU;")) << "the project is kept";
  EXPECT_EQ(Messages(), (std::vector<std::string>{"Main_window/projektZaDuzy"}));
}

TEST_F(ProjectLoad, FailuresCloseTheProjectWithTheirMessage) {
  EXPECT_FALSE(project_.Load(folder_.PathOf("missing.plt"), kAllPens));
  EXPECT_FALSE(Load("IN;SP1;PU10,10;"));
  EXPECT_FALSE(Load("PU0,0;PD10,0;PU;PD10,20.5;"));
  EXPECT_EQ(Messages(),
            (std::vector<std::string>{"Universal/zbioruNieMoznaOtworzyc" + folder_.PathOf("missing.plt") +
                                          " (no such file or directory)",
                                      "Project_window/zbiorPusty", "'20.5' is not a valid integer value"}));
  EXPECT_TRUE(operator_.messages()[0].is_error);
  EXPECT_FALSE(operator_.messages()[1].is_error);
}

TEST_F(ProjectLoad, FeedSignFromTheFeedDirection) {
  project_.feed_direction = 1;
  ASSERT_TRUE(Load("PU0,0;PD10,0;PU;"));
  EXPECT_EQ(project_.feed_sign, -1);
  EXPECT_EQ(project_.feed_sign_start, -1);
  project_.feed_direction = 2;
  ASSERT_TRUE(Load("PU0,0;PD10,0;PU;"));
  EXPECT_EQ(project_.feed_sign, 1);
}

TEST(ProjectEditing, ReverseOrientAndDirection) {
  ProjectDocument project{[](std::string_view, std::string_view) { return std::string(); }};
  auto single = std::make_unique<tfigura>();
  single->points = {{5, 5}};
  project.AddFigure(std::move(single));
  auto four = std::make_unique<tfigura>();
  four->points = {{0, 0}, {1, 0}, {2, 0}, {3, 0}};
  four->vertex_angles = {{0.1, 0, 0}, {0.2, 0, 0}, {0.3, 0, 0}, {0.4, 0, 0}};
  EXPECT_EQ(project.AddFigure(std::move(four)), 1);
  project.OdwrocKierunek(0);
  EXPECT_EQ(project.figures[0]->points, (Points{{5, 5}}));
  project.OdwrocKierunek(1);
  EXPECT_EQ(project.figures[1]->points, (Points{{3, 0}, {2, 0}, {1, 0}, {0, 0}}));
  EXPECT_EQ(double{project.figures[1]->vertex_angles[0].angle}, 0.4);
  EXPECT_EQ(project.JakiKierunek(-1), 0);
  EXPECT_EQ(project.JakiKierunek(1), -1);

  project.figures[1]->link_aux = 7;
  project.UstawKierunek(1);
  EXPECT_EQ(project.figures[1]->points.front().x, 0) << "left to right";
  EXPECT_EQ(project.figures[1]->link_aux, 0);
  project.UstawKierunek(0);
  EXPECT_EQ(project.figures[1]->points.front().x, 3) << "right to left";

  auto connector = std::make_unique<tfigura>();
  connector->points = {{0, 0}, {0, 0}, {0, 0}};
  EXPECT_EQ(project.AddLacznik(std::move(connector), false), 2);
  EXPECT_EQ(project.figures[2]->is_contour, 0);
  EXPECT_EQ(project.figures[2]->closed, 0) << "the given flag wins over the measured one";
  project.Ustaw_PPiPK();
  EXPECT_EQ(project.figures[2]->list_index, 2);
  EXPECT_EQ(project.project_max_x, 5);
}

}  // namespace
}  // namespace varnholt
