#include "info/program_time.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "files/program_timing.h"
#include "info_test_support.h"
#include "support/planned_figure.h"
#include "support/temp_folder.h"

namespace varnholt {
namespace {

constexpr auto Figure = testing::PlannedFigure;

// A closed square and an open line hanging on its corner (2) that enters the line at its last vertex: the walk
// reverses the line.
std::unique_ptr<ProjectDocument> SquareWithAnOpenLine() {
  auto project = std::make_unique<ProjectDocument>([](std::string_view, std::string_view) { return "text"; });
  project->figures.push_back(Figure({{0, 0}, {4000, 0}, {4000, 4000}, {0, 4000}, {0, 0}}, -1, 0, 0));
  project->figures.push_back(Figure({{6000, 2000}, {5000, 4000}, {4000, 6000}, {4000, 4000}}, 0, 2, 3));
  project->Ustaw_PPiPK();
  project->planned = true;
  project->cut_start_figure = true;
  return project;
}

TEST(ProgramTime, ThePlanIsTimedAsSaveCiecieWritesItAndStaysAsItIs) {
  const auto project = SquareWithAnOpenLine();
  const Configuration config;
  const ControllerState machine;
  const std::optional<std::string> program = CutProgramInMemory(*project, config, machine);
  ASSERT_TRUE(program);
  EXPECT_EQ(project->figures[1]->points.front(), (TPlotPoint{6000, 2000}))
      << "the copy was walked, not the plan";
  EXPECT_EQ(project->figures[1]->link_aux, 3);
  EXPECT_DOUBLE_EQ(*ProgramCuttingSeconds(*project, config, machine), ProgramRunSeconds(*program));

  testing::TempFolder folder;
  ScriptedOperator quiet;
  ScopedOperator installed(quiet);
  const TextLookup texts = [](std::string_view, std::string_view) { return std::string("text"); };
  ASSERT_TRUE(save_ciecie(*project, folder.PathOf("out.cn"), config, machine, {}, texts));
  std::ifstream file(folder.PathOf("out.cn"), std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(file), {}), *program);
  EXPECT_EQ(project->figures[1]->points.front(), (TPlotPoint{4000, 4000}))
      << "save_ciecie walks the plan itself";
}

TEST(ProgramTime, APlanThatCannotBeWrittenHasNoTime) {
  const Configuration config;
  const ControllerState machine;
  auto pending = SquareWithAnOpenLine();
  pending->figures[1]->plan_flag_2 = 1;
  EXPECT_FALSE(ProgramCuttingSeconds(*pending, config, machine));

  auto large = SquareWithAnOpenLine();
  ControllerState small_machine;
  small_machine.x_range = 100;  // the project is 150 mm wide
  EXPECT_FALSE(ProgramCuttingSeconds(*large, config, small_machine));
  Configuration half;
  half.SetNumber(Param::skala, 50);
  EXPECT_TRUE(ProgramCuttingSeconds(*large, half, small_machine)) << "75 mm at half scale";

  auto beyond = SquareWithAnOpenLine();
  ControllerState fine_steps;
  fine_steps.StepScaleX = 1e6;  // no int32 holds the steps of 150 mm
  EXPECT_FALSE(ProgramCuttingSeconds(*beyond, config, fine_steps));
}

TEST(ProgramTime, TheStartFigureRuleAndTheRun) {
  const Configuration config;
  const ControllerState machine;
  auto project = SquareWithAnOpenLine();
  const double square_cut = *ProgramCuttingSeconds(*project, config, machine);
  // A frame planning added is cut only when the operator chose it; any other start figure is always cut.
  project->own_start = project->frame_added = true;
  project->cut_start_figure = false;
  EXPECT_LT(*ProgramCuttingSeconds(*project, config, machine), square_cut - 1.0);
  project->own_start = false;
  EXPECT_DOUBLE_EQ(*ProgramCuttingSeconds(*project, config, machine), square_cut);
  EXPECT_GT(*ProgramCuttingSeconds(*project, config, machine, {true, 0}), square_cut + 1.0)
      << "the conveyor blocks of automatic repetition take time";
}

TEST(ProgramTime, MinutesAndSeconds) {
  EXPECT_EQ(MinutesSecondsText(760.4), "12 min 40 s");
  EXPECT_EQ(MinutesSecondsText(59.5), "1 min 0 s");
  EXPECT_EQ(MinutesSecondsText(7384.6), "123 min 5 s");
  EXPECT_EQ(MinutesSecondsText(0.0), "0 min 0 s");
}

}  // namespace
}  // namespace varnholt
