// Faults of the link and the machine during a cut, against the simulated controller: each ends with the messages
// of the machine's rules (one lost-link box where one link was lost), without a wait that has no bound, and loses
// nothing: the controller keeps what it received, out.cn is the program the run wrote, the configuration is
// untouched, and after a replug the status step finds the controller again.

#include "cut_run_test_support.h"
#include "files/program_decoder.h"

namespace varnholt {
namespace {

// The time of the cut's phases on the Qe with the default configuration (a warm-up of 1 s): the check heats the
// wire from 0 to 3 s, the start heats it again from about 3 to 6 s, and the transmission begins at about 6 s.
constexpr int64_t kDuringTheCheckHeating = 500;
constexpr int64_t kBeforeTheTransmission = 6000;

class FaultSuite : public CutRunTest {
 protected:
  void SetUp() override {
    settings_ = folder_.Write("Varnholt.qcc", "szybkoscObrobki := 1000\r\n");
    ASSERT_TRUE(OpenSample("frame_with_holes.plt"));
    Create();
  }
  // The moment the transmission has sent its first burst.
  int64_t FirstBurstMs() {
    const int64_t started = session().transmission.transmissions_started();
    run().Start1Click();
    EXPECT_TRUE(loop_->RunUntil(
        [this, started] {
          return session().transmission.transmissions_started() > started && session().transmission.commands_sent() > 0;
        },
        60'000 + clock_.NowMs()))
        << Shown();
    return clock_.NowMs();
  }
  void ExpectNothingLost() {
    std::ifstream file(settings_, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(file), {}), "szybkoscObrobki := 1000\r\n");
    if (const std::optional<std::string> program = ReadProgram(); program && session().transmission.program() != "") {
      EXPECT_EQ(*program, session().transmission.program());
    }
  }
  // Unplugs and replugs the cable now, with the event loop noticing both.
  void Replug() {
    sim_.Replug();
    session().usb.PollDeviceEvents();
  }

  std::string settings_;
};

TEST_F(FaultSuite, CablePulledBeforeTheCheckGivesTheTwoBoxesOfTheSpeedCommands) {
  sim_.Unplug();
  ASSERT_TRUE(StartAndRun());
  ASSERT_EQ(LostLinkBoxes(op_), 2u);
  EXPECT_EQ(op_.messages()[0].caption, "-1");
  EXPECT_EQ(op_.messages()[1].caption, "-1");
  EXPECT_EQ(op_.messages().size(), 2u);
  EXPECT_FALSE(ReadProgram()) << "no program written";
  EXPECT_EQ(sim_.program_size(), 0u);
  ExpectNothingLost();
}

TEST_F(FaultSuite, CablePulledDuringTheHeatingEndsTheCutWithOneBox) {
  clock_.Schedule(kDuringTheCheckHeating, [this] { sim_.Unplug(); });
  ASSERT_TRUE(StartAndRun());
  EXPECT_EQ(LostLinkBoxes(op_), 1u);
  EXPECT_EQ(op_.messages().size(), 1u);
  EXPECT_EQ(session().transmission.transmissions_started(), 0);
  EXPECT_LT(clock_.NowMs(), 10'000);
  Replug();
  EXPECT_EQ(session().panel.tick(PanelFocus{}), Tster::kConnectedIntervalMs);
}

TEST_F(FaultSuite, CablePulledDuringTheSecondHeatingEndsTheCutWithOneBox) {
  clock_.Schedule(kBeforeTheTransmission - 1000, [this] { sim_.Unplug(); });
  ASSERT_TRUE(StartAndRun());
  EXPECT_EQ(LostLinkBoxes(op_), 1u);
  EXPECT_EQ(op_.messages().size(), 1u);
  EXPECT_TRUE(ReadProgram()) << "the program was written before the controller was prepared";
  EXPECT_EQ(session().transmission.transmissions_started(), 0);
}

TEST_F(FaultSuite, CablePulledDuringTheTransmissionGivesOneBoxAndKeepsWhatArrived) {
  FirstBurstMs();
  sim_.Unplug();
  ASSERT_TRUE(RunToEnd());
  EXPECT_EQ(LostLinkBoxes(op_), 1u);
  EXPECT_EQ(op_.messages().size(), 1u);
  EXPECT_FALSE(session().transmission.running());
  EXPECT_FALSE(session().flags.ProgramStarted);
  EXPECT_EQ(session().transmission.commands_sent(), 100);
  EXPECT_GT(sim_.program_size() + static_cast<size_t>(sim_.program_moves_completed()), 0u)
      << "the controller keeps what it received";
  ExpectNothingLost();
  Replug();
  EXPECT_EQ(session().panel.tick(PanelFocus{}), Tster::kConnectedIntervalMs);
  EXPECT_EQ(main_->programs_ended(), 0);
}

TEST_F(FaultSuite, CablePulledWhileTheProgramRunsStartsNoRepetitionAfterTheReplug) {
  run().SpeedAutoRepeatClick(true);
  run().Start1Click();
  ASSERT_TRUE(loop_->RunUntil([this] { return !session().transmission.running(); }, 600'000));
  ASSERT_TRUE(session().flags.ProgramStarted);
  sim_.Unplug();
  clock_.Schedule(clock_.NowMs() + 10'000, [this] { sim_.Replug(); });
  ASSERT_TRUE(RunToEnd());
  EXPECT_TRUE(op_.messages().empty()) << "the status step shows no box: " << Shown();
  EXPECT_TRUE(session().usb.present());
  EXPECT_EQ(main_->programs_ended(), 0);
  EXPECT_EQ(session().transmission.transmissions_started(), 1) << "no repetition started";
  EXPECT_EQ(session().panel.tick(PanelFocus{}), Tster::kConnectedIntervalMs);
  ExpectNothingLost();
}

TEST_F(FaultSuite, BusyErrorsDuringABurstDelayTheCutButLoseNoCommand) {
  FirstBurstMs();
  sim_.FailNextWrites(9);
  ASSERT_TRUE(RunToEnd());
  EXPECT_TRUE(op_.messages().empty());
  EXPECT_EQ(session().usb.busy_count(), 9u);
  EXPECT_EQ(main_->programs_ended(), 1);
  EXPECT_EQ(sim_.lost_commands(), 0u);
  EXPECT_EQ(sim_.program_moves_completed(),
            static_cast<int64_t>(DecodeProgram(*ReadProgram(), session().state).summary.moves));
}

TEST_F(FaultSuite, AControllerBusyForGoodEndsTheRunWithOneBox) {
  run().SpeedAutoRepeatClick(true);
  FirstBurstMs();
  sim_.FailNextWrites(1'000'000);
  ASSERT_TRUE(RunToEnd());
  EXPECT_EQ(LostLinkBoxes(op_), 1u);
  EXPECT_EQ(op_.messages().size(), 1u);
  EXPECT_EQ(op_.messages()[0].caption, "31");
  EXPECT_FALSE(session().transmission.running());
  EXPECT_EQ(main_->programs_ended(), 0) << "the part-sent program is no cut to repeat";
  ExpectNothingLost();
}

TEST_F(FaultSuite, FailedStatusReads) {
  // A few failed reads are retried within one status read.
  sim_.FailNextReads(9);
  ASSERT_TRUE(StartAndRun());
  EXPECT_TRUE(op_.messages().empty());
  EXPECT_EQ(main_->programs_ended(), 1);
  // Ten in a row lose the controller: during a transmission that is one box.
  FirstBurstMs();
  sim_.FailNextReads(10);
  ASSERT_TRUE(RunToEnd());
  EXPECT_EQ(LostLinkBoxes(op_), 1u);
  ExpectNothingLost();
}

TEST_F(FaultSuite, AWireBrokenAtTheCheckIsRetriedUntilWholeOrCancelled) {
  sim_.SetWireBroken(true);
  op_.AnswerNext(kButtonRetry);
  op_.AnswerNext(kButtonOk);
  clock_.Schedule(7000, [this] { sim_.SetWireBroken(false); });
  ASSERT_TRUE(StartAndRun());
  ASSERT_EQ(op_.questions().size(), 2u);
  EXPECT_EQ(op_.questions()[0].text, ControlText("zerwanyDrut"));
  EXPECT_EQ(op_.questions()[0].buttons, Buttons({kButtonOk, kButtonCancel, kButtonRetry}));
  EXPECT_EQ(main_->programs_ended(), 1);

  sim_.SetWireBroken(true);
  op_.AnswerNext(kButtonCancel);
  ASSERT_TRUE(StartAndRun());
  EXPECT_EQ(op_.questions().size(), 3u);
  EXPECT_EQ(session().transmission.transmissions_started(), 1) << "Cancel: no second cut";
  EXPECT_EQ(sim_.heater_on(0) || sim_.heater_on(1) || sim_.heater_on(2), false) << "the wire is off";
}

TEST_F(FaultSuite, AWireBrokenWhenTheStartHeatsAgainAsksWithCancelAndRetry) {
  clock_.Schedule(3500, [this] { sim_.SetWireBroken(true); });
  ASSERT_TRUE(StartAndRun());
  ASSERT_EQ(op_.questions().size(), 1u);
  EXPECT_EQ(op_.questions()[0].buttons, Buttons({kButtonCancel, kButtonRetry}));
  EXPECT_EQ(op_.questions()[0].answer, kButtonCancel);
  EXPECT_TRUE(ReadProgram());
  EXPECT_EQ(session().transmission.transmissions_started(), 0);
}

TEST_F(FaultSuite, ABufferFullForLongHoldsTheStreamWithoutABox) {
  // The first program of a repetition series opens with the conveyor block and its minute of technical pause; its
  // thousand commands fill the controller's buffer, which stays full through that minute.
  run().SpeedAutoRepeatClick(true);
  FirstBurstMs();
  run().SpeedAutoRepeatClick(false);
  ASSERT_TRUE(loop_->RunUntil([this] { return session().transmission.interval() == TTransArm::kBufferFullIntervalMs; },
                              clock_.NowMs() + 1000));
  const int64_t full_from = clock_.NowMs();
  ASSERT_TRUE(loop_->RunUntil([this] { return session().transmission.interval() != TTransArm::kBufferFullIntervalMs; },
                              clock_.NowMs() + 600'000));
  EXPECT_GT(clock_.NowMs() - full_from, 30'000) << "held for long";
  EXPECT_TRUE(op_.messages().empty()) << Shown();
  ASSERT_TRUE(RunToEnd());
  EXPECT_EQ(main_->programs_ended(), 1);
  EXPECT_EQ(sim_.lost_commands(), 0u);
  EXPECT_EQ(sim_.program_moves_completed(),
            static_cast<int64_t>(DecodeProgram(*ReadProgram(), session().state).summary.moves));
}

}  // namespace
}  // namespace varnholt
