// Resuming an interrupted cut on the simulated controller: from where the wire stands, after a restart of the
// program too, refused for a changed program or configuration and while a program is on the controller, and never
// leaving the wire hot.

#include <filesystem>
#include <fstream>

#include "app/last_cut.h"
#include "cut_run_test_support.h"
#include "files/program_decoder.h"

namespace varnholt {
namespace {

class CutResume : public CutRunTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(OpenSample("frame_with_holes.plt"));
    Create();
  }
  // A cut whose cable is pulled at `at` ms after Start and put back a second later; callers wrap it in
  // ASSERT_NO_FATAL_FAILURE, since what follows reads the program and the record it left.
  void CutInterruptedAt(int64_t at) {
    clock_.Schedule(clock_.NowMs() + at, [this] { sim_.Unplug(); });
    clock_.Schedule(clock_.NowMs() + at + 1000, [this] { sim_.Replug(); });
    run().Start1Click();
    ASSERT_TRUE(RunToEnd()) << Shown();
    ASSERT_EQ(sim_.program_records().size(), 1u);
    ASSERT_GT(sim_.program_records()[0].moves_completed, 0);
    ASSERT_LT(sim_.program_records()[0].moves_completed, ProgramMoves());
    ASSERT_FALSE(AnyHeaterOn());
  }
  int64_t ProgramMoves() const {
    return static_cast<int64_t>(DecodeProgram(*ReadProgram(), session_->state).summary.moves);
  }
  int64_t MovesExecuted() const {
    int64_t moves = 0;
    for (const sim::ProgramRecord& record : sim_.program_records()) moves += record.moves_completed;
    return moves;
  }
  bool ResumedFileExists() const { return std::filesystem::exists(folder_.PathOf(CuttingRun::kResumeFileName)); }
  // The program restarted: a new session over the same controller and program folder, which knows nothing but
  // what the folder holds.
  void Restart() {
    loop_.reset();
    session_.reset();
    main_.reset();
    Create();
  }
};

TEST_F(CutResume, AfterARestartTheCutGoesOnFromTheWireAndEveryMoveRunsOnce) {
  ASSERT_NO_FATAL_FAILURE(CutInterruptedAt(40'000));
  const std::string program = *ReadProgram();
  Restart();
  op_.AnswerNext(kButtonYes);
  run().ResumeCut();
  ASSERT_TRUE(RunToEnd()) << Shown();
  ASSERT_EQ(sim_.program_records().size(), 2u) << Shown();
  EXPECT_EQ(sim_.program_records()[1].end, sim::ProgramRecord::End::kFinished);
  EXPECT_EQ(MovesExecuted(), ProgramMoves()) << "the moves before the break and after it, each once";
  EXPECT_EQ(*ReadProgram(), program) << "out.cn is left as it was";
  std::ifstream resumed(folder_.PathOf(CuttingRun::kResumeFileName), std::ios::binary);
  const std::string resumed_bytes((std::istreambuf_iterator<char>(resumed)), {});
  const size_t rest = program.size() - run().last_resume()->program.copied_from;
  EXPECT_EQ(resumed_bytes.substr(resumed_bytes.size() - rest), program.substr(program.size() - rest));
  EXPECT_TRUE(sim_.commands_while_running().empty());
  EXPECT_FALSE(AnyHeaterOn());
  EXPECT_TRUE(ReadLastCut(folder_.folder())->finished) << "a finished cut is offered no more";
  run().ResumeCut();
  EXPECT_EQ(Boxes("Main_window", "wznowienieKoniec"), 1u) << Shown();
  EXPECT_EQ(sim_.program_records().size(), 2u);
}

TEST_F(CutResume, AChangedConfigurationOrProgramRefusesAndNothingIsSent) {
  ASSERT_NO_FATAL_FAILURE(CutInterruptedAt(40'000));
  const size_t commands = sim_.commands().size();
  const double speed = config_.Number(Param::szybkoscObrobki);
  config_.SetNumber(Param::szybkoscObrobki, speed + 1);
  op_.AnswerNext(kButtonYes);
  run().ResumeCut();
  EXPECT_EQ(Boxes("Main_window", "wznowienieKonfiguracjaZmieniona"), 1u) << Shown();
  config_.SetNumber(Param::szybkoscObrobki, speed);
  {
    std::ofstream program(ProgramFile(), std::ios::binary | std::ios::app);
    program << "p\x01";
  }
  run().ResumeCut();
  EXPECT_EQ(Boxes("Main_window", "wznowienieProgramZmieniony"), 1u) << Shown();
  EXPECT_EQ(sim_.commands().size(), commands) << "nothing sent to the controller";
  EXPECT_FALSE(ResumedFileExists());
  EXPECT_EQ(sim_.program_records().size(), 1u);
  EXPECT_FALSE(AnyHeaterOn());
}

TEST_F(CutResume, RefusedWhileAProgramRunsOrStandsPaused) {
  run().Start1Click();
  ASSERT_TRUE(loop_->RunUntil([this] { return sim_.program_running(); }, clock_.NowMs() + 60'000)) << Shown();
  op_.AnswerNext(kButtonYes);
  run().ResumeCut();
  run().Wstrzymaj1Click();
  ASSERT_TRUE(RunToEnd());
  ASSERT_TRUE(session().state.Has(kStatusPaused));
  run().ResumeCut();
  EXPECT_TRUE(op_.questions().empty()) << "refused before anything is asked";
  EXPECT_TRUE(sim_.commands_while_running().empty());
  EXPECT_FALSE(ResumedFileExists());
  EXPECT_FALSE(run().last_resume());
  run().Kontynuacja1Click();
  ASSERT_TRUE(RunToEnd());
  ASSERT_EQ(sim_.program_records().size(), 1u);
  EXPECT_EQ(sim_.program_records()[0].moves_completed, ProgramMoves());
}

TEST_F(CutResume, NothingMovesWithoutTheOperatorsYesAndAWireFoundBrokenStaysCold) {
  ASSERT_NO_FATAL_FAILURE(CutInterruptedAt(30'000));
  const AxisSteps standing = sim_.Positions();
  op_.AnswerNext(kButtonNo);
  run().ResumeCut();
  EXPECT_FALSE(ResumedFileExists());
  // Confirmed, but the wire is found broken at its check and the operator cancels.
  sim_.SetWireBroken(true);
  op_.AnswerNext(kButtonYes);
  op_.AnswerNext(kButtonCancel);
  run().ResumeCut();
  ASSERT_TRUE(RunToEnd());
  EXPECT_EQ(sim_.program_records().size(), 1u) << Shown();
  EXPECT_EQ(sim_.Positions(), standing);
  EXPECT_FALSE(AnyHeaterOn());
  // Mended, the same cut still goes on from there.
  sim_.SetWireBroken(false);
  op_.AnswerNext(kButtonYes);
  run().ResumeCut();
  ASSERT_TRUE(RunToEnd());
  ASSERT_EQ(sim_.program_records().size(), 2u) << Shown();
  EXPECT_EQ(MovesExecuted(), ProgramMoves());
  EXPECT_FALSE(AnyHeaterOn());
}

TEST_F(CutResume, AResumedCutInterruptedAgainIsResumedFromItsNewPlace) {
  ASSERT_NO_FATAL_FAILURE(CutInterruptedAt(20'000));
  op_.AnswerNext(kButtonYes);
  clock_.Schedule(clock_.NowMs() + 40'000, [this] { sim_.Unplug(); });
  clock_.Schedule(clock_.NowMs() + 41'000, [this] { sim_.Replug(); });
  run().ResumeCut();
  ASSERT_TRUE(RunToEnd());
  ASSERT_EQ(sim_.program_records().size(), 2u) << Shown();
  ASSERT_NE(sim_.program_records()[1].end, sim::ProgramRecord::End::kFinished);
  EXPECT_FALSE(AnyHeaterOn());
  Restart();
  op_.AnswerNext(kButtonYes);
  run().ResumeCut();
  ASSERT_TRUE(RunToEnd());
  ASSERT_EQ(sim_.program_records().size(), 3u) << Shown();
  EXPECT_EQ(sim_.program_records()[2].end, sim::ProgramRecord::End::kFinished);
  EXPECT_EQ(MovesExecuted(), ProgramMoves());
  EXPECT_FALSE(AnyHeaterOn());
}

}  // namespace
}  // namespace varnholt
