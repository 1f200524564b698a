// Kerf compensation of loaded projects: the shipped samples keep half a kerf from their drawing and their programs
// follow the compensated path and pass the verifier against it; a kerf of 0 changes nothing; narrow figures are kept and reported once; painting
// shows the drawing under the compensated figures.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>

#include "files/program_decoder.h"
#include "geometry/units.h"
#include "program/cut_program.h"
#include "program/program_verifier.h"
#include "project/kerf_offset.h"
#include "project/kerf_settings.h"
#include "project/load_report.h"
#include "project/plan_picture.h"
#include "services/scripted_operator.h"
#include "support/plan_projects.h"
#include "support/temp_folder.h"

namespace varnholt {
namespace {

const TextLookup kKeys = [](std::string_view section, std::string_view key) {
  return std::string(section) + "/" + std::string(key);
};

const std::vector<std::string> kSamples = {"frame_with_holes.plt", "disc_with_lead_in.plt", "letters_vh.plt",
                                           "sign_vh.dxf", "wing_rib.dxf"};

std::string SamplePath(const std::string& name) { return std::string(VARNHOLT_SOURCE_SAMPLES) + "/" + name; }

struct Loaded {
  std::unique_ptr<ProjectDocument> project;
  std::vector<std::string> messages;
};

Loaded Load(const std::string& path, double kerf_mm) {
  Loaded loaded{std::make_unique<ProjectDocument>(kKeys), {}};
  ScriptedOperator op;
  ScopedOperator scoped(op);
  loaded.project->reader_kind = path.ends_with(".dxf") ? kDxfFile : kPlotFile;
  EXPECT_TRUE(loaded.project->SetKerf(kerf_mm, 100.0));
  EXPECT_TRUE(loaded.project->Load(path, kAllPens)) << path;
  for (const auto& message : op.messages()) loaded.messages.push_back(message.text);
  return loaded;
}

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), {});
}

// The program of a planned project with the start figure's outline cut too, at the command set's initial scales.
std::string Program(ProjectDocument& project, const testing::TempFolder& folder) {
  ScriptedOperator op;
  ScopedOperator scoped(op);
  project.cut_start_figure = true;
  const std::string path = folder.PathOf("out.cn");
  EXPECT_TRUE(save_ciecie(project, path, Configuration(), ControllerState(), {}, kKeys));
  return ReadFile(path);
}

double SegmentDistance(double px, double py, const TPlotPoint& a, const TPlotPoint& b) {
  const double dx = b.x - a.x, dy = b.y - a.y;
  const double length = dx * dx + dy * dy;
  const double t = length == 0 ? 0 : std::clamp(((px - a.x) * dx + (py - a.y) * dy) / length, 0.0, 1.0);
  return std::hypot(px - (a.x + t * dx), py - (a.y + t * dy));
}

double OutlineDistance(double px, double py, const std::vector<TPlotPoint>& outline) {
  double best = INFINITY;
  for (size_t i = 0; i + 1 < outline.size(); ++i) best = std::min(best, SegmentDistance(px, py, outline[i], outline[i + 1]));
  return best;
}

TEST(KerfProject, EveryCompensatedOutlineKeepsHalfAKerfFromItsDrawing) {
  for (const double kerf : {1.0, 2.3}) {
    const double half = HalfKerfUnits(kerf);
    for (const std::string& sample : kSamples) {
      const Loaded loaded = Load(SamplePath(sample), kerf);
      const ProjectDocument& project = *loaded.project;
      EXPECT_TRUE(project.kerf_kept_as_drawn.empty()) << sample;
      EXPECT_EQ(project.last_plan.unreachable, 0) << sample;
      EXPECT_TRUE(std::none_of(project.figures.begin(), project.figures.end(),
                               [](const auto& f) { return f->plan_flag_2 != 0; }))
          << sample << ": every entry planned";
      ASSERT_EQ(project.drawn_figures.size(), project.drawing_figure_count) << sample;
      for (size_t i = 0; i < project.drawn_figures.size(); ++i) {
        const std::vector<TPlotPoint>& drawn = project.drawn_figures[i]->points;
        const std::vector<TPlotPoint>& cut = project.figures[i]->points;
        if (!project.drawn_figures[i]->closed) continue;
        const std::string label = sample + " figure " + std::to_string(i);
        // Along the wire: half a kerf from the drawing, further only at mitred corners.
        for (size_t k = 0; k + 1 < cut.size(); ++k) {
          for (int step = 0; step < 8; ++step) {
            const double t = step / 8.0;
            const double x = cut[k].x + t * (cut[k + 1].x - cut[k].x), y = cut[k].y + t * (cut[k + 1].y - cut[k].y);
            const double d = OutlineDistance(x, y, drawn);
            ASSERT_GE(d, half - 1) << label << " segment " << k;
            ASSERT_LE(d, kKerfMitreLimit * half + 1) << label << " segment " << k;
          }
        }
        // No drawn corner comes nearer to the wire than half a kerf.
        for (const TPlotPoint& p : drawn) ASSERT_GE(OutlineDistance(p.x, p.y, cut), half - 1) << label;
      }
    }
  }
}

TEST(KerfProject, TheProgramsOfTheSamplesFollowTheCompensatedPath) {
  testing::TempFolder folder;
  for (const std::string& sample : kSamples) {
    Loaded loaded = Load(SamplePath(sample), 1.0);
    ProjectDocument& project = *loaded.project;
    const std::vector<TPlotPoint> path = PlannedPath(project);
    const std::string bytes = Program(project, folder);
    const DecodedProgram decoded = DecodeProgram(bytes, ControllerState());
    ASSERT_FALSE(decoded.damage_offset) << sample << ": " << decoded.damage;
    EXPECT_TRUE(decoded.summary.ends_where_it_started) << sample;
    // The wire's travel on each arm axis is the compensated path's, step for step (2.5 steps a unit at scale 1).
    const auto steps = [](int32_t units, int32_t origin) { return static_cast<int64_t>(nearest(2.5 * (units - origin))); };
    int64_t x_travel = 0, y_travel = 0;
    for (size_t k = 1; k < path.size(); ++k) {
      x_travel += std::llabs(steps(path[k].x, project.project_min_x) - steps(path[k - 1].x, project.project_min_x));
      y_travel += std::llabs(steps(path[k].y, project.project_min_y) - steps(path[k - 1].y, project.project_min_y));
    }
    EXPECT_EQ(decoded.summary.travel_steps[0], x_travel) << sample;
    EXPECT_EQ(decoded.summary.travel_steps[1], y_travel) << sample;

    const ProgramCheck check = VerifyProgram(bytes, project, Configuration(), ControllerState());
    EXPECT_TRUE(check.passed()) << sample << ": " << check.stray_cuts.size() << " stray cuts, " << check.uncut.size()
                                << " segments uncut" << (check.error ? ", " + *check.error : "");
    // Against the drawing's own plan the same program strays: the verifier sees the kerf.
    Loaded drawn = Load(SamplePath(sample), 0.0);
    drawn.project->cut_start_figure = true;
    EXPECT_FALSE(VerifyProgram(bytes, *drawn.project, Configuration(), ControllerState()).passed()) << sample;
  }
}

TEST(KerfProject, AKerfOfZeroGivesTodaysPlanAndProgram) {
  testing::TempFolder folder;
  for (const std::string& sample : kSamples) {
    Loaded today = Load(SamplePath(sample), 0.0);
    Loaded undone = Load(SamplePath(sample), 1.0);
    {
      ScriptedOperator op;
      ScopedOperator scoped(op);
      undone.project->ChangeKerf(0.0, 100.0);
    }
    EXPECT_EQ(undone.project->applied_kerf_mm(), 0.0);
    EXPECT_EQ(DescribePlan(*undone.project), DescribePlan(*today.project)) << sample;
    const std::string program = Program(*today.project, folder);
    EXPECT_EQ(Program(*undone.project, folder), program) << sample;

    // Changing the kerf of a loaded project plans it as a load with that kerf does.
    Loaded compensated = Load(SamplePath(sample), 1.0);
    {
      ScriptedOperator op;
      ScopedOperator scoped(op);
      today.project->ChangeKerf(1.0, 100.0);
    }
    EXPECT_EQ(DescribePlan(*today.project), DescribePlan(*compensated.project)) << sample;
    EXPECT_NE(Program(*today.project, folder), program) << sample;
  }
}

TEST(KerfProject, ALeadInStillLeadsIntoTheCompensatedDisc) {
  const Loaded loaded = Load(SamplePath("disc_with_lead_in.plt"), 1.0);
  const ProjectDocument& project = *loaded.project;
  ASSERT_EQ(project.figures.size(), 2u) << "no start marker or connector: the disc hangs on the lead-in";
  const tfigura& lead_in = *project.figures[1];
  EXPECT_EQ(project.start_figure, 1);
  EXPECT_EQ(project.figures[0]->link_figure, 1) << "the disc is reached where the lead-in touches it";
  EXPECT_EQ(lead_in.points.front(), project.drawn_figures[1]->points.front()) << "the free end stays";
  EXPECT_EQ(lead_in.points.back(), project.figures[0]->points[static_cast<size_t>(project.figures[0]->link_aux)]);
}

TEST(KerfProject, ASlotNarrowerThanTheKerfIsKeptAsDrawnAndReportedOnce) {
  testing::TempFolder folder;
  // A 100 mm part with two 0.5 mm slots and a 20 mm hole.
  const std::string drawing = folder.Write(
      "slots.plt",
      "IN;SP1;PU0,0;PD4000,0,4000,4000,0,4000,0,0;PU400,400;PD3600,400,3600,420,400,420,400,400;"
      "PU1000,1000;PD1800,1000,1800,1800,1000,1800,1000,1000;PU400,3000;PD3600,3000,3600,3020,400,3020,400,3000;PU;");
  const Loaded loaded = Load(drawing, 1.0);
  const ProjectDocument& project = *loaded.project;
  EXPECT_EQ(project.kerf_kept_as_drawn, (std::vector<int32_t>{1, 3}));
  EXPECT_EQ(project.figures[1]->points, project.drawn_figures[1]->points);
  EXPECT_EQ(project.figures[2]->width, 760) << "the hole beside them shrinks";
  EXPECT_EQ(std::count(loaded.messages.begin(), loaded.messages.end(),
                       "Project_window/kerfFiguryBezKompensacji1, 3"),
            1);
  EXPECT_EQ(loaded.messages.size(), 1u);
  EXPECT_EQ(LoadReportLines(project), std::vector<std::string>{"Project_window/kerfFiguryBezKompensacji1, 3"})
      << "the load report keeps it";
}

TEST(KerfProject, OnlyANewKerfOrANewScaleUnderAKerfAsksForAProjectToBeCompensatedAgain) {
  const Loaded plain = Load(SamplePath("frame_with_holes.plt"), 0.0);
  EXPECT_FALSE(KerfSettingsChanged(*plain.project, {0.0, 100.0}));
  EXPECT_FALSE(KerfSettingsChanged(*plain.project, {0.0, 50.0})) << "without a kerf the scale does not matter";
  EXPECT_TRUE(KerfSettingsChanged(*plain.project, {0.5, 100.0}));

  const Loaded compensated = Load(SamplePath("frame_with_holes.plt"), 1.0);
  EXPECT_FALSE(KerfSettingsChanged(*compensated.project, {1.0, 100.0}));
  EXPECT_TRUE(KerfSettingsChanged(*compensated.project, {1.0, 50.0}));
  EXPECT_TRUE(KerfSettingsChanged(*compensated.project, {0.0, 100.0}));

  EXPECT_TRUE(CanCompensateAgain(*compensated.project));

  // A project made of copies of compensated figures (a duplication) carries the kerf it was given, and has no
  // drawing to compensate anew.
  ProjectDocument made(kKeys);
  EXPECT_TRUE(made.SetKerf(1.0, 100.0));
  made.figures.push_back(std::make_unique<tfigura>(*compensated.project->figures[0]));
  EXPECT_FALSE(KerfSettingsChanged(made, {1.0, 100.0}));
  EXPECT_TRUE(KerfSettingsChanged(made, {2.0, 100.0}));
  EXPECT_TRUE(KerfSettingsChanged(made, {1.0, 50.0}));
  EXPECT_FALSE(CanCompensateAgain(made));
  EXPECT_FALSE(KerfSettingsChanged(ProjectDocument(kKeys), {2.0, 100.0})) << "no figures, nothing compensated";
}

TEST(KerfProject, AProjectHoldingFiguresChangesItsKerfOnlyByCompensatingThemAgain) {
  Loaded loaded = Load(SamplePath("frame_with_holes.plt"), 1.0);
  ProjectDocument& project = *loaded.project;
  ASSERT_NE(project.figures[0]->points, project.drawn_figures[0]->points);
  EXPECT_FALSE(SetKerfSettings(project, {0.0, 100.0}));
  EXPECT_FALSE(project.SetKerf(2.0, 50.0));
  EXPECT_EQ(project.kerf_width_mm(), 1.0);
  EXPECT_EQ(project.kerf_scale_percent(), 100.0);
  EXPECT_EQ(project.applied_kerf_mm(), 1.0) << "what was done to the figures";
  EXPECT_FALSE(KerfSettingsChanged(project, {1.0, 100.0}));
  EXPECT_TRUE(KerfSettingsChanged(project, {0.0, 100.0})) << "the configuration's kerf still asks for a change";

  {
    ScriptedOperator op;
    ScopedOperator scoped(op);
    project.ChangeKerf(0.0, 100.0);
  }
  EXPECT_EQ(project.applied_kerf_mm(), 0.0);
  EXPECT_EQ(project.figures[0]->points, project.drawn_figures[0]->points);

  ProjectDocument fresh(kKeys);
  EXPECT_TRUE(SetKerfSettings(fresh, {0.5, 80.0}));
  EXPECT_EQ(fresh.kerf_width_mm(), 0.5);
  EXPECT_EQ(fresh.kerf_scale_percent(), 80.0);
}

TEST(KerfProject, ThePictureShowsTheDrawingThinAndGreyUnderTheCompensatedFigures) {
  const Loaded plain = Load(SamplePath("frame_with_holes.plt"), 0.0);
  const PlanPicture today = DrawPlan(*plain.project, 800, 600);
  EXPECT_TRUE(std::none_of(today.lines.begin(), today.lines.end(), [](const PictureLine& l) { return l.drawing; }));

  const Loaded loaded = Load(SamplePath("frame_with_holes.plt"), 1.0);
  const PlanPicture picture = DrawPlan(*loaded.project, 800, 600);
  const size_t drawn = loaded.project->drawn_figures.size();
  ASSERT_GT(picture.lines.size(), drawn + loaded.project->figures.size());
  for (size_t i = 0; i < picture.lines.size(); ++i) {
    EXPECT_EQ(picture.lines[i].drawing, i < drawn) << "the drawing comes first, under everything";
    if (i < drawn) {
      EXPECT_EQ(picture.lines[i].rgb, kGrey);
      EXPECT_EQ(StrokeWidth(picture.lines[i]), 1.0);
      EXPECT_EQ(picture.lines[i].points.size(), loaded.project->drawn_figures[i]->points.size());
    }
  }
  EXPECT_NE(picture.lines[0].points, picture.lines[drawn].points) << "the drawing and its compensated outline differ";
  EXPECT_NE(PlanPictureSvg(picture).find("stroke=\"#909090\" stroke-width=\"1\""), std::string::npos);
}

}  // namespace
}  // namespace varnholt
