#include "program/cut_program.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <numbers>

#include "config/file_write.h"
#include "files/program_decoder.h"
#include "services/scripted_operator.h"
#include "support/planned_figure.h"
#include "support/temp_folder.h"

namespace varnholt {
namespace {

using Points = std::vector<TPlotPoint>;
using testing::PlannedFigure;
using testing::Square;

class CutProgram : public ::testing::Test {
 protected:
  CutProgram() {
    config_.SetNumber(Param::Pauza_w_kacie, 0);
    project_.planned = true;
  }

  void Add(std::unique_ptr<tfigura> figure) {
    project_.figures.push_back(std::move(figure));
    project_.Ustaw_PPiPK();
  }

  bool Save() { return save_ciecie(project_, path_, config_, machine_, run_, texts_); }

  // The moves of the saved program, each as the steps of X1 and Y1.
  std::vector<std::pair<int32_t, int32_t>> Moves() const {
    std::ifstream file(path_, std::ios::binary);
    const std::string bytes(std::istreambuf_iterator<char>(file), {});
    const DecodedProgram decoded = DecodeProgram(bytes, ControllerState{});
    EXPECT_FALSE(decoded.damage_offset) << decoded.damage;
    EXPECT_TRUE(decoded.summary.ends_where_it_started);
    std::vector<std::pair<int32_t, int32_t>> moves;
    for (const auto& command : decoded.commands) {
      if (command.letter != 'a') continue;
      int x = 0, y = 0;
      if (const auto at = command.text.find("X1="); at != std::string::npos) x = std::stoi(command.text.substr(at + 3));
      if (const auto at = command.text.find("Y1="); at != std::string::npos) y = std::stoi(command.text.substr(at + 3));
      moves.emplace_back(x, y);
    }
    return moves;
  }

  std::vector<std::string> Messages() const {
    std::vector<std::string> texts;
    for (const auto& message : operator_.messages()) texts.push_back(message.text);
    return texts;
  }

  testing::TempFolder folder_;
  std::string path_ = folder_.PathOf("out.cn");
  ScriptedOperator operator_;
  ScopedOperator installed_{operator_};
  TextLookup texts_ = [](std::string_view section, std::string_view key) {
    return std::string(section) + "/" + std::string(key);
  };
  ProjectDocument project_{texts_};
  Configuration config_;
  ControllerState machine_;
  CutRunOptions run_;
};

TEST_F(CutProgram, TheStartFigureIsCutOnlyWhenAskedTo) {
  Add(PlannedFigure(Square(0, 0), -1, 0, 0));
  ASSERT_TRUE(Save()) << ::testing::PrintToString(Messages());
  EXPECT_TRUE(Moves().empty());

  project_.cut_start_figure = true;
  ASSERT_TRUE(Save());
  // From vertex 0 the wire climbs first: the walk goes backwards, up the left side.
  EXPECT_EQ(Moves(), (std::vector<std::pair<int32_t, int32_t>>{{0, 1000}, {1000, 0}, {0, -1000}, {-1000, 0}}));
}

TEST_F(CutProgram, AnOpenFigureEnteredAtItsLastVertexIsReversedOnceAndItsChildrenFollow) {
  Add(PlannedFigure(Square(0, 0), -1, 0, 0));
  // An open six-point path hanging on the square's vertex 1 by its last vertex.
  Add(PlannedFigure({{1600, 800}, {1200, 800}, {1200, 400}, {800, 400}, {800, 0}, {400, 0}}, 0, 1, 5));
  // A connector hanging on the path's vertex 1.
  Add(PlannedFigure({{1200, 800}, {1200, 1200}}, 1, 1, 0));
  project_.cut_start_figure = true;  // the wire goes round the square to reach the path
  ASSERT_TRUE(Save()) << ::testing::PrintToString(Messages());
  const tfigura& path = *project_.figures[1];
  EXPECT_EQ(path.points.front(), (TPlotPoint{400, 0}));
  EXPECT_EQ(path.link_aux, 0);
  EXPECT_EQ(project_.figures[2]->link_point, 4) << "vertex 1 of six is vertex 4 once reversed";

  // A second save walks the same plan without reversing again.
  const auto first = Moves();
  ASSERT_TRUE(Save());
  EXPECT_EQ(project_.figures[2]->link_point, 4);
  EXPECT_EQ(Moves(), first);
}

TEST_F(CutProgram, CornerPausesOnlyAboveAFifthOfPi) {
  config_.SetNumber(Param::Pauza_w_kacie, 100);
  project_.cut_start_figure = true;
  Add(PlannedFigure(Square(0, 0), -1, 0, 0));
  const auto pause_ms = [this] {
    EXPECT_TRUE(Save());
    std::ifstream file(path_, std::ios::binary);
    return DecodeProgram(std::string(std::istreambuf_iterator<char>(file), {}), ControllerState{}).summary.pause_ms;
  };
  const int64_t without_turns = pause_ms();
  project_.figures[0]->vertex_angles[1].angle = std::numbers::pi / 5.0;
  EXPECT_EQ(pause_ms(), without_turns) << "exactly a fifth of pi is no corner for the writer";
  project_.figures[0]->vertex_angles[2].angle = -std::nextafter(std::numbers::pi / 5.0, 4.0);
  EXPECT_EQ(pause_ms(), without_turns + 100);
}

TEST_F(CutProgram, ADeepChainOfNestedFiguresIsWalkedWithoutRecursion) {
  project_.cut_start_figure = true;
  Add(PlannedFigure(Square(0, 0), -1, 0, 0));
  for (int32_t i = 1; i < 20000; ++i) {
    // Each connector goes 1 unit up from the previous connector's end and back.
    project_.figures.push_back(PlannedFigure({{0, i - 1}, {0, i}}, i - 1, i == 1 ? 0 : 1, 0));
  }
  project_.Ustaw_PPiPK();
  ASSERT_TRUE(Save()) << ::testing::PrintToString(Messages());
  EXPECT_EQ(Moves().size(), 4u + 2u * 19999u);
}

TEST_F(CutProgram, RefusalsAndFailuresWriteNothing) {
  // A project planning never saw: measuring leaves every figure pending.
  auto unplanned = std::make_unique<tfigura>();
  unplanned->points = Square(0, 0);
  licz_parametry(*unplanned);
  Add(std::move(unplanned));
  project_.planned = false;
  EXPECT_FALSE(Save());
  // One figure planning could not reach.
  Add(PlannedFigure(Square(1000, 0), -1, 0, 0));
  project_.figures[0] = PlannedFigure(Square(0, 0), -1, 0, 0);
  project_.figures[1]->plan_flag_2 = 1;
  EXPECT_FALSE(Save());
  project_.figures.pop_back();
  project_.Ustaw_PPiPK();
  EXPECT_EQ(Messages(), (std::vector<std::string>{"Project_window/planNiepelny", "Project_window/planNiepelny"}));
  EXPECT_FALSE(std::filesystem::exists(path_));

  // A 4.8 m wide drawing at ten times its size.
  project_.figures[0] = PlannedFigure(Square(0, 0), -1, 0, 0);
  project_.figures[0]->points[1].x = project_.figures[0]->points[2].x = 192000;
  licz_parametry(*project_.figures[0]);
  project_.figures[0]->plan_flag_2 = 0;
  project_.Ustaw_PPiPK();
  config_.SetNumber(Param::skala, 1000);
  EXPECT_FALSE(Save());
  EXPECT_EQ(Messages().back(), "Main_window/projektZaDuzy");
  config_.SetNumber(Param::skala, 100);
  EXPECT_TRUE(Save()) << "at its own size it fits";

  // A calibration that puts the drawing's far side beyond the int32 steps.
  const auto contents = [this] {
    std::ifstream file(path_, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
  };
  const std::string before = contents();
  project_.cut_start_figure = true;
  machine_.StepScaleX = 1e4;
  EXPECT_FALSE(Save());
  EXPECT_NE(Messages().back().find("beyond the machine's step range"), std::string::npos) << Messages().back();
  EXPECT_EQ(contents(), before) << "the program of the last good save stays";
  machine_.StepScaleX = 1.0;

  ScopedWriteFault full_disk({WriteStep::kWrite, 0, ENOSPC});
  EXPECT_FALSE(Save());
  EXPECT_EQ(Messages().back(), "I/O error 112: no space left on device (" + path_ + ")");
  EXPECT_FALSE(operator_.busy());
}

}  // namespace
}  // namespace varnholt
