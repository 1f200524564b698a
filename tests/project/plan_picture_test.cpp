// The plan picture: colours as the project window paints them, the walked path, the SVG and PNG files.

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QString>
#include <algorithm>
#include <fstream>
#include <sstream>

#include "cli/commands.h"
#include "planner/fast_plan_search.h"
#include "project/plan_image.h"
#include "project/plan_picture.h"
#include "services/scripted_operator.h"
#include "support/plan_projects.h"
#include "support/temp_folder.h"

namespace varnholt {
namespace {

std::unique_ptr<ProjectDocument> PlannedSquares(bool frame) {
  auto project = EmptyProject();
  project->add_frame = frame;
  AddShape(*project, Rectangle(0, 0, 1000, 1000));
  AddShape(*project, Rectangle(3000, 0, 4000, 1000));
  AddShape(*project, {{1500, 2000}, {2500, 2000}, {2500, 2600}});  // an open line
  FinishProject(*project);
  ScriptedOperator op;
  ScopedOperator installed(op);
  PlanCut(*project, *MakeFastPlanSearch());
  return project;
}

TEST(PlanPicture, PathStartsAtTheEntryVisitsEveryVertexAndComesBack) {
  const auto project = PlannedSquares(true);
  const tfigura& frame = *project->figures[static_cast<size_t>(project->start_figure)];
  ASSERT_EQ(frame.kind, kOutlineFrame);
  const std::vector<TPlotPoint> path = PlannedPath(*project);
  ASSERT_FALSE(path.empty());
  EXPECT_EQ(path.front(), frame.points[static_cast<size_t>(frame.link_aux)]);
  EXPECT_EQ(path.back(), path.front()) << "the walk returns to where it entered";
  for (const auto& f : project->figures) {
    for (const TPlotPoint& p : f->points) {
      EXPECT_NE(std::find(path.begin(), path.end(), p), path.end()) << p.x << ',' << p.y;
    }
  }
  // Every connector is run out and back.
  for (const auto& f : project->figures) {
    if (f->kind != kConnector) continue;
    EXPECT_GE(std::count(path.begin(), path.end(), f->points[0]), 2);
  }
}

TEST(PlanPicture, ColoursFollowThePaintingAndThePathComesLast) {
  const auto project = PlannedSquares(false);
  project->figures[0]->plan_flag_2 = 1;  // drawn as left pending
  const PlanPicture picture = DrawPlan(*project, 400, 300);
  ASSERT_EQ(picture.lines.size(), project->figures.size() + 1);
  EXPECT_EQ(picture.lines[0].rgb, kRed);
  EXPECT_EQ(picture.lines[1].rgb, kBlack);
  EXPECT_EQ(picture.lines[2].rgb, kBlue);
  EXPECT_TRUE(picture.lines.back().path);
  EXPECT_EQ(picture.lines.back().rgb, kRed);
  for (const PictureLine& line : picture.lines) {
    for (const TPlotPoint& p : line.points) {
      EXPECT_GE(p.x, 0);
      EXPECT_LT(p.x, 400);
      EXPECT_GE(p.y, 0);
      EXPECT_LT(p.y, 300);
    }
  }
  // The project corner lands at the margin, y grows upwards.
  EXPECT_EQ(picture.lines[0].points[0], (TPlotPoint{7, 293}));

  const std::string svg = PlanPictureSvg(picture);
  EXPECT_EQ(std::count(svg.begin(), svg.end(), '\n'), static_cast<std::ptrdiff_t>(picture.lines.size() + 4));
  EXPECT_NE(svg.find("stroke=\"#0000ff\""), std::string::npos);
  EXPECT_NE(svg.find("points=\"7,293 "), std::string::npos);
  EXPECT_EQ(svg.rfind("</svg>\n"), svg.size() - 7);
}

TEST(PlanPicture, PngIsDrawnWithoutADisplay) {
  testing::TempFolder folder;
  const auto project = PlannedSquares(false);
  const PlanPicture picture = DrawPlan(*project, 200, 100);
  const std::string path = folder.folder() + "plan.png";
  ASSERT_TRUE(WritePlanPng(picture, path));
  QImage image;
  ASSERT_TRUE(image.load(QString::fromStdString(path)));
  EXPECT_EQ(image.width(), 200);
  EXPECT_EQ(image.height(), 100);
  EXPECT_EQ(QColor(image.pixel(199, 0)), QColor(Qt::white));
  // The first square's left edge runs up from the corner at (7, 93).
  const QColor edge(image.pixel(7, 80));
  EXPECT_LT(edge.lightness(), 200);
  EXPECT_FALSE(WritePlanPng(picture, folder.folder() + "missing/plan.png"));
}

TEST(PreviewCommand, WritesSvgOrPngAndRefusesBadArguments) {
  testing::TempFolder folder;
  const std::string drawing = folder.Write("d.plt", "PU0,0;PD1000,0,1000,1000,0,1000,0,0;PU;");
  const auto run = [](const cli::Arguments& args) {
    std::ostringstream out, err;
    return cli::RunPreview(args, out, err);
  };
  EXPECT_EQ(run({drawing, "-o", folder.folder() + "p.svg", "--size", "300x200"}), 0);
  std::ifstream svg(folder.folder() + "p.svg");
  std::stringstream text;
  text << svg.rdbuf();
  EXPECT_NE(text.str().find("width=\"300\" height=\"200\""), std::string::npos);
  EXPECT_EQ(run({drawing, "-o", folder.folder() + "p.png"}), 0);
  EXPECT_EQ(run({drawing, "-o", folder.folder() + "p.gif"}), 1);
  EXPECT_EQ(run({drawing, "-o", folder.folder() + "p.png", "--size", "300"}), 1);
  EXPECT_EQ(run({drawing, "-o", folder.folder() + "p.png", "--size", "8x8"}), 1);
  EXPECT_EQ(run({drawing}), 1);
  EXPECT_EQ(run({folder.folder() + "none.plt", "-o", folder.folder() + "n.png"}), 1);
}

}  // namespace
}  // namespace varnholt
