// Duplicated projects: the copies in row and column order, the connecting path that touches each copy only where the
// wire enters it (checked over random patterns and grids), and a plan that leaves nothing pending and writes a
// program ending where it began.

#include "layout/duplicate_project.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <random>

#include "files/program_decoder.h"
#include "geometry/units.h"
#include "layout/grid_check.h"
#include "layout/segment_contact.h"
#include "program/cut_program.h"
#include "project/kerf_settings.h"
#include "services/scripted_operator.h"
#include "support/plan_projects.h"
#include "support/temp_folder.h"

namespace varnholt {
namespace {

const TextLookup kTexts = [](std::string_view section, std::string_view key) {
  return std::string(section) + "/" + std::string(key);
};

std::unique_ptr<ProjectDocument> LoadSample(const std::string& name) {
  auto project = std::make_unique<ProjectDocument>(kTexts);
  EXPECT_TRUE(project->Load(std::string(VARNHOLT_SAMPLES_DIR) + "/" + name, kAllPens)) << name;
  return project;
}

size_t Pending(const ProjectDocument& project) {
  return static_cast<size_t>(std::count_if(project.figures.begin(), project.figures.end(),
                                           [](const auto& f) { return f->plan_flag_2 != 0; }));
}

// Writes the project's program and reads it back: whole, and ending where it began.
void ExpectClosedProgram(ProjectDocument& project, const std::string& label) {
  testing::TempFolder folder;
  const std::string path = folder.PathOf("out.cn");
  project.cut_start_figure = true;
  ControllerState machine;
  ASSERT_TRUE(save_ciecie(project, path, Configuration(), machine, {}, kTexts)) << label;
  std::ifstream file(path, std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(file), {}};
  const DecodedProgram decoded = DecodeProgram(bytes, machine);
  ASSERT_FALSE(decoded.damage_offset) << label << ": " << decoded.damage;
  EXPECT_TRUE(decoded.summary.ends_where_it_started) << label;
}

class Duplication : public ::testing::Test {
 protected:
  ScriptedOperator op_;
  ScopedOperator installed_{op_};
};

TEST_F(Duplication, CopiesInRowAndColumnOrderAndAPlanThatWritesAClosedProgram) {
  const auto pattern = LoadSample("disc_with_lead_in.plt");
  const std::vector<std::string> before = DescribePlan(*pattern);
  DuplicationParameters values = DefaultParameters(pattern->project_width, pattern->project_height);
  values.columns = 3;
  values.rows = 2;
  const auto project = BuildDuplicate(*pattern, values, kTexts);

  const size_t n = pattern->figures.size();
  const GridLayout grid = DeriveGrid(values);
  ASSERT_GE(project->figures.size(), 6 * n + 1);
  for (int32_t r = 0; r < 2; ++r) {
    for (int32_t j = 0; j < 3; ++j) {
      for (size_t k = 0; k < n; ++k) {
        const tfigura& copy = *project->figures[static_cast<size_t>(r * 3 + j) * n + k];
        const TPlotPoint& first = pattern->figures[k]->points.front();
        EXPECT_EQ(copy.points.front(), (TPlotPoint{first.x + j * grid.column_pitch, first.y + r * grid.row_pitch}));
        EXPECT_EQ(copy.is_contour, 1);
      }
    }
  }
  const tfigura& path = *project->figures[6 * n];
  EXPECT_EQ(path.points, ConnectingPathFor(*pattern, grid));
  EXPECT_EQ(path.is_contour, 0);
  EXPECT_EQ(path.closed, 1);
  EXPECT_EQ(project->project_min_x, pattern->project_min_x - grid.vertical_distance - 40);
  EXPECT_EQ(project->reader_kind, pattern->reader_kind);
  EXPECT_EQ(DescribePlan(*pattern), before) << "the pattern stays as it was";

  EXPECT_EQ(Pending(*project), 0u);
  EXPECT_EQ(project->last_plan.unreachable, 0);
  ExpectClosedProgram(*project, "disc 3 x 2");
}

TEST_F(Duplication, TheGridCarriesThePatternsKerfSoANewKerfIsSeenAsChanged) {
  auto pattern = std::make_unique<ProjectDocument>(kTexts);
  ASSERT_TRUE(pattern->SetKerf(1.0, 50.0));
  ASSERT_TRUE(pattern->Load(std::string(VARNHOLT_SAMPLES_DIR) + "/frame_with_holes.plt", kAllPens));
  const auto grid =
      BuildDuplicate(*pattern, DefaultParameters(pattern->project_width, pattern->project_height), kTexts);
  EXPECT_EQ(grid->kerf_width_mm(), 1.0);
  EXPECT_EQ(grid->kerf_scale_percent(), 50.0);
  EXPECT_FALSE(KerfSettingsChanged(*grid, {1.0, 50.0}));
  EXPECT_TRUE(KerfSettingsChanged(*grid, {0.0, 50.0})) << "the copies are compensated, the configuration says not";
  EXPECT_TRUE(KerfSettingsChanged(*grid, {1.0, 100.0}));
  EXPECT_FALSE(CanCompensateAgain(*grid));

  const auto plain = BuildDuplicate(*LoadSample("frame_with_holes.plt"), {1, 1, 0, 0, 3, 4}, kTexts);
  EXPECT_FALSE(KerfSettingsChanged(*plain, {0.0, 100.0}));
  EXPECT_TRUE(KerfSettingsChanged(*plain, {0.5, 100.0})) << "drawn copies under a kerf would cut the parts too small";
}

TEST_F(Duplication, OneByOneHoldsOneCopyAndALeadInAndLeadOut) {
  const auto pattern = LoadSample("frame_with_holes.plt");
  const DuplicationParameters values{1, 1, 0, 0, 3, 4};
  const auto project = BuildDuplicate(*pattern, values, kTexts);
  const size_t n = pattern->figures.size();
  const tfigura& path = *project->figures[n];
  ASSERT_EQ(path.points.size(), 6u);
  const TPlotPoint p = PatternStartPoint(*pattern);
  // Lead-in 1 mm beyond the connecting lines up to the start point, lead-out below it and back.
  EXPECT_EQ(path.points[2], p);
  EXPECT_EQ(path.points[3], p);
  EXPECT_EQ(path.points[4], (TPlotPoint{p.x, p.y - 160 - 40}));
  EXPECT_EQ(path.points[5], (TPlotPoint{p.x - 120 - 40, p.y - 160 - 40}));
  EXPECT_EQ(Pending(*project), 0u);
  ExpectClosedProgram(*project, "frame 1 x 1");
}

// A random pattern of closed figures planned as a load plans it, sometimes with a frame, an outline of five points
// of its own, or a lead-in from one side of its box or from inside it.
std::unique_ptr<ProjectDocument> RandomPattern(std::mt19937& rng) {
  const auto uniform = [&](int32_t lo, int32_t hi) { return std::uniform_int_distribution<int32_t>(lo, hi)(rng); };
  auto pattern = EmptyProject();
  std::vector<std::vector<TPlotPoint>> shapes;
  for (int32_t k = uniform(1, 4); k > 0; --k) {
    const int32_t x = uniform(400, 2600), y = uniform(400, 2600), size = uniform(60, 400);
    shapes.push_back(uniform(0, 1) ? Polygon(x, y, size, uniform(3, 24), uniform(0, 60) / 10.0)
                                   : Rectangle(x - size, y - size / 2, x + size, y + size / 2));
  }
  const TPlotPoint target = shapes.front()[static_cast<size_t>(uniform(0, static_cast<int32_t>(shapes.front().size()) - 2))];
  switch (uniform(0, 5)) {
    case 0:  // an outline of its own around everything, entered at the corner nearest the box corner
      shapes.push_back(Rectangle(0, 0, 3000, 3000));
      std::rotate(shapes.back().begin(), shapes.back().begin() + uniform(0, 3), shapes.back().end() - 1);
      shapes.back().back() = shapes.back().front();
      break;
    case 1:  // a lead-in from the left or the bottom side of the box
      shapes.push_back({uniform(0, 1) ? TPlotPoint{-300, uniform(0, 3000)} : TPlotPoint{uniform(0, 3000), -300},
                        target});
      break;
    case 2:  // a lead-in from the right or the top side
      shapes.push_back({uniform(0, 1) ? TPlotPoint{3300, uniform(0, 3000)} : TPlotPoint{uniform(0, 3000), 3300},
                        target});
      break;
    case 3:  // a lead-in from inside the box, with a small figure far out widening the box beyond it
      shapes.push_back({{-300, uniform(0, 3000)}, target});
      shapes.push_back(Polygon(-1500, 4500, 100, 6));
      break;
    default:  // planning adds a start marker or a frame
      pattern->add_frame = uniform(0, 1) == 1;
      break;
  }
  if (uniform(0, 1)) std::reverse(shapes.back().begin(), shapes.back().end());
  for (auto& s : shapes) AddShape(*pattern, std::move(s));
  FinishProject(*pattern);
  pattern->ciecie();
  return pattern;
}

// Random checked values: 1 to 4 columns and rows, gaps of 2 to 1200 units, connector distances within them.
DuplicationParameters RandomGrid(std::mt19937& rng, const ProjectDocument& pattern) {
  const auto uniform = [&](int32_t lo, int32_t hi) { return std::uniform_int_distribution<int32_t>(lo, hi)(rng); };
  const int32_t gap_x = uniform(2, 1200), gap_y = uniform(2, 1200);
  DuplicationParameters values;
  values.columns = uniform(1, 4);
  values.rows = uniform(1, 4);
  values.column_pitch = UnitsToMm(pattern.project_width + gap_x);
  values.row_pitch = UnitsToMm(pattern.project_height + gap_y);
  values.vertical_distance = UnitsToMm(uniform(0, gap_x - 1));
  values.horizontal_distance = UnitsToMm(uniform(0, gap_y - 1));
  return values;
}

TEST_F(Duplication, TheConnectingPathTouchesEachCopyOnlyWhereTheWireEntersIt) {
#if defined(__SANITIZE_ADDRESS__)
  constexpr int kCases = 60;
#else
  constexpr int kCases = 300;
#endif
  std::mt19937 rng(18);
  for (int c = 0; c < kCases; ++c) {
    const auto pattern = RandomPattern(rng);
    const DuplicationParameters values = RandomGrid(rng, *pattern);
    const std::string label = "case " + std::to_string(c);
    ASSERT_EQ(CheckDuplication(values, FactsOf(*pattern), {kTexts, 0, '.'}), std::nullopt) << label;
    const GridLayout grid = DeriveGrid(values);
    const std::vector<TPlotPoint> path = ConnectingPathFor(*pattern, grid);
    const TPlotPoint start = PatternStartPoint(*pattern);
    for (int32_t r = 0; r < grid.rows; ++r) {
      for (int32_t j = 0; j < grid.columns; ++j) {
        const int32_t dx = j * grid.column_pitch, dy = r * grid.row_pitch;
        const TPlotPoint entry{start.x + dx, start.y + dy};
        EXPECT_NE(std::find(path.begin(), path.end(), entry), path.end()) << label << ": copy " << r << "," << j;
        for (const auto& figure : pattern->figures) {
          const auto& q = figure->points;
          for (size_t i = 0; i < q.size(); ++i) {
            const TPlotPoint a = q[i], b = q[i + 1 < q.size() ? i + 1 : i];
            const Segment piece{{a.x + dx, a.y + dy}, {b.x + dx, b.y + dy}};
            for (size_t s = 0; s + 1 < path.size(); ++s) {
              ASSERT_FALSE(SegmentsMeetElsewhere({path[s], path[s + 1]}, piece, entry))
                  << label << ": path segment " << s << " meets copy " << r << "," << j;
            }
          }
        }
      }
    }
    // Now and then the whole project: planned with nothing pending and written as a closed program.
    if (c % 25 == 0) {
      const auto project = BuildDuplicate(*pattern, values, kTexts);
      EXPECT_EQ(Pending(*project), 0u) << label;
      if (Pending(*project) == 0) ExpectClosedProgram(*project, label);
    }
  }
}

}  // namespace
}  // namespace varnholt
