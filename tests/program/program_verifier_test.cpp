#include "program/program_verifier.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "program/cut_program.h"
#include "services/scripted_operator.h"
#include "support/planned_figure.h"
#include "support/temp_folder.h"

namespace varnholt {
namespace {

using testing::PlannedFigure;
using testing::Square;

class Verifier : public ::testing::Test {
 protected:
  Verifier() {
    config_.SetNumber(Param::Pauza_w_kacie, 0);
    project_.planned = true;
    project_.cut_start_figure = true;
  }

  void Add(std::unique_ptr<tfigura> figure) {
    project_.figures.push_back(std::move(figure));
    project_.Ustaw_PPiPK();
  }

  // The program save_ciecie writes for the project.
  std::string Saved() {
    ScriptedOperator op;
    ScopedOperator installed(op);
    EXPECT_TRUE(save_ciecie(project_, path_, config_, machine_, run_, texts_));
    std::ifstream file(path_, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
  }

  // A program made by hand: the header, the wire at (x, y) units, then moves to the points (units).
  std::string Handmade(TPlotPoint start, const std::vector<TPlotPoint>& points) {
    ProgramWriter writer(machine_, config_);
    writer.OpenProgram(path_);
    writer.WriteHeader();
    writer.SetArmPositions(start.x - project_.project_min_x, start.y - project_.project_min_y, 0);
    for (const TPlotPoint& p : points) writer.MoveArmsTo(p.x - project_.project_min_x, p.y - project_.project_min_y);
    writer.CloseProgram();
    return writer.bytes();
  }

  ProgramCheck Check(const std::string& program) { return VerifyProgram(program, project_, config_, machine_); }

  testing::TempFolder folder_;
  std::string path_ = folder_.PathOf("out.cn");
  TextLookup texts_ = [](std::string_view, std::string_view) { return std::string(); };
  ProjectDocument project_{texts_};
  Configuration config_;
  ControllerState machine_;
  CutRunOptions run_;
};

TEST_F(Verifier, StrayCutsAndUncutSegmentsAreListed) {
  Add(PlannedFigure(Square(0, 0), -1, 0, 0));
  // Round the square, but across its diagonal instead of along the last two sides.
  const std::string program = Handmade({0, 0}, {{400, 0}, {400, 400}, {0, 0}});
  const ProgramCheck check = Check(program);
  EXPECT_FALSE(check.passed());
  ASSERT_EQ(check.stray_cuts.size(), 2u);
  for (const StrayCut& stray : check.stray_cuts) {
    EXPECT_EQ(program.at(stray.offset), 'a');
    EXPECT_DOUBLE_EQ(stray.from.x, 10.0);
    EXPECT_DOUBLE_EQ(stray.from.y, 10.0);
    EXPECT_DOUBLE_EQ(stray.to.x, 0.0);
    EXPECT_NEAR(stray.deviation_mm, 5.0, 1e-5) << "the middle of the diagonal lies 5 mm from two sides";
  }
  EXPECT_EQ(check.stray_cuts[0].side, 1);
  EXPECT_EQ(check.stray_cuts[1].side, 2);
  EXPECT_NEAR(check.largest_deviation_mm, 5.0, 1e-5);
  EXPECT_TRUE(check.ends_where_it_began);
  // Sides 2 and 3 of the square, on both wires.
  ASSERT_EQ(check.uncut.size(), 4u);
  EXPECT_EQ(check.uncut[0].figure, 0);
  EXPECT_EQ(check.uncut[0].segment, 2);
  EXPECT_EQ(check.uncut[1].segment, 3);
  EXPECT_EQ(check.uncut[2].side, 2);
  EXPECT_DOUBLE_EQ(check.uncut[1].to.y, 0.0);

  // Only the figures to be cut count as uncut: not the start figure when it is not cut, nor connectors.
  project_.cut_start_figure = false;
  EXPECT_TRUE(Check(program).uncut.empty());
  EXPECT_FALSE(Check(Handmade({0, 0}, {{400, 0}})).ends_where_it_began);
}

TEST_F(Verifier, VerticesJoinedByTouchingCountAsOnePoint) {
  // The second square touches the first's corner (400,400) from 8 units away on each axis (0.28 mm): the wire
  // goes from the corner straight to the second square's next vertex, as the walk writes it.
  Add(PlannedFigure(Square(0, 0), -1, 0, 0));
  Add(PlannedFigure(Square(408, 408), 0, 2, 0));
  const ProgramCheck check = Check(Saved());
  EXPECT_TRUE(check.passed()) << check.stray_cuts.size() << " stray, " << check.uncut.size() << " uncut";

  // The wire may also step across the gap, from one touching vertex to the other and back.
  const std::string jump = Handmade({0, 0}, {{400, 0}, {400, 400}, {408, 408}, {808, 408}, {808, 808}, {408, 808},
                                             {408, 408}, {400, 400}, {0, 400}, {0, 0}});
  EXPECT_TRUE(Check(jump).passed());

  // The same gap where the plan joins nothing is a stray cut.
  project_.figures[1]->link_figure = -1;
  const ProgramCheck unjoined = Check(jump);
  EXPECT_FALSE(unjoined.passed());
  EXPECT_FALSE(unjoined.stray_cuts.empty());
}

TEST_F(Verifier, TheProgramOfAPlanPassesOnBothSidesWithConveyorBlocksReplayedButNotChecked) {
  // A square, a connector from its corner (400,400) and an open zig-zag entered at an inner vertex.
  Add(PlannedFigure(Square(0, 0), -1, 0, 0));
  Add(PlannedFigure({{400, 400}, {600, 600}}, 0, 2, 0));
  Add(PlannedFigure({{600, 800}, {600, 600}, {700, 200}, {800, 600}, {800, 800}}, 1, 1, 1));
  const ProgramCheck check = Check(Saved());
  EXPECT_TRUE(check.passed()) << check.stray_cuts.size() << " stray, " << check.uncut.size() << " uncut";
  EXPECT_FALSE(check.error);
  EXPECT_DOUBLE_EQ(check.tolerance_mm, 0.01);
  EXPECT_TRUE(check.ends_where_it_began);
  EXPECT_EQ(check.other_moves, 0u);
  EXPECT_GE(check.cutting_moves, 4u + 2u + 7u);
  EXPECT_LE(check.largest_deviation_mm, 0.01);

  config_.SetNumber(Param::TasmaPrzesuwPocz, 300);
  config_.SetNumber(Param::feuWysokoscMat, 50);
  run_.auto_repeat = true;
  const ProgramCheck belts = Check(Saved());
  EXPECT_TRUE(belts.passed());
  EXPECT_EQ(belts.other_moves, 4u) << "the belt before the cut; rise, belt and return after it";
  EXPECT_EQ(belts.cutting_moves, check.cutting_moves);
  EXPECT_TRUE(belts.ends_where_it_began);
}

TEST_F(Verifier, TheDrawingIsTakenAtTheConfiguredScale) {
  config_.SetNumber(Param::skala, 50);
  Add(PlannedFigure(Square(0, 0, 1000), -1, 0, 0));
  Add(PlannedFigure({{1000, 1000}, {1200, 1400}}, 0, 2, 0));
  const std::string program = Saved();
  EXPECT_TRUE(Check(program).passed());
  config_.SetNumber(Param::skala, 100);
  EXPECT_FALSE(Check(program).passed()) << "the program cuts the drawing at half its size";
}

TEST_F(Verifier, WhatCannotBeCheckedIsAnError) {
  Add(PlannedFigure(Square(0, 0), -1, 0, 0));
  const std::string program = Saved();
  const auto error = [this](const std::string& bytes) { return Check(bytes).error.value_or("(none)"); };
  EXPECT_NE(error(program.substr(0, program.size() - 3)).find("damaged at offset"), std::string::npos);
  machine_.StepScaleY = 0.0;
  EXPECT_NE(error(program).find("step scales"), std::string::npos);
  machine_.StepScaleY = 1.0;
  project_.start_figure = 3;
  EXPECT_NE(error(program).find("no start figure"), std::string::npos);
  project_.start_figure = 0;
  EXPECT_TRUE(Check(program).passed());

  // A figure planning never reached is left uncut.
  Add(PlannedFigure(Square(2000, 0), -1, 0, 0));
  project_.figures[1]->plan_flag_2 = 1;
  EXPECT_EQ(Check(program).uncut.size(), 8u);
}

}  // namespace
}  // namespace varnholt
