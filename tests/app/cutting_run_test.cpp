// The cutting run on the simulated controller: a whole cut, the checks before it, the outline question, the
// direction of CatDir 2, automatic repetition, stop and continue, the positioning buttons and the close query.

#include "cut_run_test_support.h"
#include "files/program_decoder.h"

namespace varnholt {
namespace {

// A closed square of 100 mm with a hole.
constexpr const char* kSquareWithHole =
    "SP1;PU0,0;PD4000,0,4000,4000,0,4000,0,0;PU1000,1000;PD2000,1000,2000,2000,1000,2000,1000,1000;PU;";
// One open stroke rising to the right.
constexpr const char* kOpenStroke = "SP1;PU0,0;PD2000,400,4000,0;PU;";

using CuttingRunTest = CutRunTest;

TEST_F(CuttingRunTest, AWholeCutRunsTheProgramOnTheController) {
  ASSERT_TRUE(OpenSample("frame_with_holes.plt"));
  Create();
  ASSERT_TRUE(StartAndRun());
  const std::optional<std::string> program = ReadProgram();
  ASSERT_TRUE(program);
  EXPECT_EQ(session().transmission.program(), *program) << "the transmission sent the out.cn the run wrote";
  const ProgramSummary summary = DecodeProgram(*program, session().state).summary;
  EXPECT_EQ(sim_.program_moves_completed(), static_cast<int64_t>(summary.moves));
  EXPECT_EQ(sim_.programs_finished(), 1);
  EXPECT_EQ(main_->programs_ended(), 1);
  EXPECT_EQ(session().transmission.go_sent_after(), 17);
  EXPECT_TRUE(op_.messages().empty());
  EXPECT_TRUE(op_.questions().empty());
  EXPECT_EQ(sim_.start_point()[0], 0) << "SetStartPoint from the arms' position";
  EXPECT_FALSE(op_.busy());
}

TEST_F(CuttingRunTest, AProgramWaitingForGoIsStartedAndNothingIsWritten) {
  ASSERT_TRUE(OpenDrawing(kSquareWithHole));
  Create();
  ASSERT_TRUE(SendCommand(session().link, BuildMoveRecord('a', 4, {100, 0, 0, 0, 0, 0, 0, 0}).bytes));
  sim_.ClearLog();
  run().Start1Click();
  EXPECT_EQ(CountOf('G'), 1u);
  EXPECT_FALSE(ReadProgram()) << "no new program";
  EXPECT_FALSE(session().transmission.running());
}

TEST_F(CuttingRunTest, TheSizeCheckAtTheEdgeOfTheWorkingRange) {
  // 4800 mm wide, the Qe's X range.
  ASSERT_TRUE(OpenDrawing("SP1;PU0,0;PD192000,0,192000,4000,0,4000,0,0;PU;"));
  Create();
  session().state.x_range = 4800;
  EXPECT_TRUE(run().PrepareCut(*project_));
  EXPECT_EQ(Boxes("Main_window", "projektZaDuzy"), 0u);
  config_.SetNumber(Param::skala, 101);
  EXPECT_FALSE(run().PrepareCut(*project_));
  EXPECT_EQ(Boxes("Main_window", "projektZaDuzy"), 1u);
}

TEST_F(CuttingRunTest, NoHeatingBeforeTheCutWithoutWorkPower) {
  ASSERT_TRUE(OpenDrawing(kSquareWithHole));
  config_.SetNumber(Param::work_power, 0);
  Create();
  sim_.ClearLog();
  ASSERT_TRUE(run().PrepareCut(*project_));
  EXPECT_EQ(CountOf('R'), 0u);
  config_.SetNumber(Param::work_power, 50);
  ASSERT_TRUE(run().PrepareCut(*project_));
  EXPECT_EQ(CountOf('R'), 2u) << "on, then off";
}

TEST_F(CuttingRunTest, TheSpeedsGoOutAsTheyAreAtTheCheck) {
  ASSERT_TRUE(OpenDrawing(kSquareWithHole));
  config_.SetNumber(Param::PrzeSpeed, 1500);
  Create();
  sim_.ClearLog();
  ASSERT_TRUE(run().PrepareCut(*project_));
  const ControllerState& s = session().state;
  const uint16_t rapid = PeriodFromSpeed(s, 1500.0 * s.profile.StepMultiplier);
  EXPECT_EQ(sim_.commands()[0], SetSpeedCommand(0, rapid));
  EXPECT_EQ(sim_.group_period(0), rapid);
}

TEST_F(CuttingRunTest, TheOutlineQuestionOfAProjectWithAFrameOfItsOwn) {
  config_.SetChecked(Param::AddFrame, true);
  ASSERT_TRUE(OpenDrawing("SP1;PU0,0;PD4000,0,4000,4000,0,4000,0,0;PU8000,0;PD12000,0,12000,4000,8000,4000,8000,0;PU;"));
  ASSERT_TRUE(project_->frame_added);
  Create();
  op_.AnswerNext(kButtonCancel);
  run().Start1Click();
  ASSERT_EQ(op_.questions().size(), 1u);
  EXPECT_EQ(op_.questions()[0].text, UsTexts().GetText("Main_window", "czyRysowacObrys"));
  EXPECT_EQ(op_.questions()[0].buttons, Buttons({kButtonYes, kButtonNo, kButtonCancel}));
  EXPECT_FALSE(ReadProgram());
  op_.AnswerNext(kButtonNo);
  run().Start1Click();
  EXPECT_FALSE(project_->cut_start_figure);
  EXPECT_TRUE(session().transmission.running());
  ASSERT_TRUE(RunToEnd());
  op_.AnswerNext(kButtonYes);
  run().Start1Click();
  EXPECT_TRUE(project_->cut_start_figure);
}

TEST_F(CuttingRunTest, BothWaysAlternatesCuts) {
  ASSERT_TRUE(OpenDrawing(kOpenStroke));
  ASSERT_EQ(config_.Choice(Param::CatDir), 2);
  Create();
  // The program walks an open figure from its vertex 0, reversing it when the cut enters at its other end.
  const auto entered_at_x = [this] { return project_->figures[0]->points.front().x; };
  run().Start1Click();
  EXPECT_TRUE(project_->single_open_figure);
  EXPECT_EQ(entered_at_x(), 0) << "the first cut enters from the left";
  EXPECT_EQ(project_->feed_sign_start, -1);
  ASSERT_TRUE(RunToEnd());
  run().Start1Click();
  EXPECT_EQ(entered_at_x(), 4000) << "the second from the right";
  EXPECT_EQ(project_->feed_sign_start, 1);
  ASSERT_TRUE(RunToEnd());
  run().Start1Click();
  EXPECT_EQ(entered_at_x(), 0);
  ASSERT_TRUE(RunToEnd());
}

TEST_F(CuttingRunTest, AutomaticRepetitionCutsAgainAndAlternates) {
  ASSERT_TRUE(OpenDrawing(kOpenStroke));
  Create();
  const AutoRepeatButtons on = run().SpeedAutoRepeatClick(true);
  EXPECT_TRUE(on.on);
  EXPECT_EQ(on.hint, UsTexts().GetText("Main_window", "SpeedAutoRepeatOn.hint"));
  EXPECT_FALSE(on.positioning_buttons_enabled);
  run().Start1Click();
  EXPECT_EQ(op_.status(1), "1");
  // Two programs end; the third cut is the second repetition.
  ASSERT_TRUE(loop_->RunUntil([this] { return run().repeat_counter() == 2; }, 3'600'000));
  EXPECT_EQ(op_.status(1), "3");
  EXPECT_EQ(project_->feed_sign_start, -1) << "three starts: the sign turned three times";
  EXPECT_FALSE(main_->buttons().SpeedPrzesunDoRamion) << "positioning buttons disabled while repeating";
  ASSERT_TRUE(loop_->RunUntil([this] { return session().state.Has(kStatusProgramRunning); }, 3'600'000));
  const AutoRepeatButtons off = run().SpeedAutoRepeatClick(false);
  EXPECT_FALSE(off.on);
  EXPECT_EQ(off.hint, UsTexts().GetText("Main_window", "SpeedAutoRepeat.hint"));
  EXPECT_FALSE(off.positioning_buttons_enabled) << "not while the third program runs";
  ASSERT_TRUE(RunToEnd());
  EXPECT_TRUE(run().SpeedAutoRepeatClick(false).positioning_buttons_enabled) << "once it has ended";
  EXPECT_EQ(main_->programs_ended(), 3);
  EXPECT_EQ(sim_.programs_finished(), 3);
  EXPECT_TRUE(main_->buttons().SpeedPrzesunDoRamion);
  // Only the first program of a repetition series feeds the conveyor in at its start.
  const DecodedProgram last = DecodeProgram(*ReadProgram(), session().state);
  EXPECT_GT(last.summary.travel_steps[3], 0) << "the conveyor end block";
}

TEST_F(CuttingRunTest, StopAndContinueOfTheOperator) {
  ASSERT_TRUE(OpenSample("frame_with_holes.plt"));
  Create();
  run().Start1Click();
  loop_->Schedule(30'000, [this] { run().Wstrzymaj1Click(); });
  loop_->RunUntil([this] { return session().flags.MachineStopped; }, 60'000);
  EXPECT_FALSE(session().flags.ProgramStarted);
  ReadStatus(session().link);
  EXPECT_TRUE(session().state.Has(kStatusPaused));
  EXPECT_TRUE(run().FormCloseQuery()) << "a stopped machine lets the program close";
  run().Kontynuacja1Click();
  EXPECT_FALSE(session().flags.MachineStopped);
  EXPECT_TRUE(session().flags.ProgramStarted);
  ASSERT_TRUE(RunToEnd());
  EXPECT_EQ(main_->programs_ended(), 1);
}

TEST_F(CuttingRunTest, TheProgramCannotCloseDuringATransmission) {
  ASSERT_TRUE(OpenSample("frame_with_holes.plt"));
  Create();
  run().Start1Click();
  ASSERT_TRUE(session().transmission.running());
  EXPECT_FALSE(run().FormCloseQuery());
  EXPECT_EQ(Boxes("Main_window", "wyjscieNiemozliwe"), 1u);
  EXPECT_EQ(op_.messages().back().caption, UsTexts().GetText("Universal", "uwaga"));
  EXPECT_TRUE(session().transmission.running());
}

TEST_F(CuttingRunTest, TheWireComesOutOfTheMaterialAndTheBeltGoesBack) {
  ASSERT_TRUE(OpenDrawing(kSquareWithHole));
  config_.SetNumber(Param::feuWysokoscMat, 300);
  config_.SetNumber(Param::TasmaPrzesuwKon, 100);
  Create();
  run().SpeedWysunPoCieciuClick();
  WaitIdle(session().link);
  ReadPositions(session().link);
  EXPECT_EQ(session().state.Y1, 30000) << "up to the material height";
  EXPECT_EQ(session().state.belt3, -10000);
  run().SpeedPrzesunDoRamionClick();
  WaitIdle(session().link);
  ReadPositions(session().link);
  EXPECT_EQ(session().state.belt3, -10000 - 166600);
}

TEST_F(CuttingRunTest, TestModeWithoutAControllerWritesTheProgramAndStopsAtTheLinkCheck) {
  ASSERT_TRUE(OpenDrawing(kSquareWithHole));
  sim_.Unplug();
  Create(true);
  run().Start1Click();
  EXPECT_TRUE(ReadProgram());
  ASSERT_FALSE(op_.messages().empty());
  EXPECT_EQ(op_.messages().back().text, ControlText("ploterBrakLacznosci"));
  EXPECT_EQ(op_.messages().back().caption, "") << "the box of the start's own check";
  EXPECT_TRUE(op_.messages().back().busy) << "writing out.cn does not end the hourglass of the cut";
  EXPECT_FALSE(op_.busy());
  EXPECT_FALSE(session().transmission.running());
}

}  // namespace
}  // namespace varnholt
