// The moments between the machine's operations, each as an operator meets it, judged by the machine's state on the
// simulated controller: what ran, what reached it while a program ran, which heaters are on, what it holds.

#include "cut_run_test_support.h"
#include "files/program_decoder.h"
#include "link/machine_hold.h"

namespace varnholt {
namespace {

class MachineSafety : public CutRunTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(OpenSample("frame_with_holes.plt"));
    Create();
  }
  // Direct commands the controller took (a program's own are lower case).
  size_t DirectCommands() const {
    return static_cast<size_t>(std::count_if(sim_.commands().begin(), sim_.commands().end(),
                                             [](const CommandBytes& c) { return (c[0] & 0x20) == 0; }));
  }
  // Runs until the program runs on the controller; callers wrap it in ASSERT_NO_FATAL_FAILURE.
  void RunUntilTheProgramRuns() {
    ASSERT_TRUE(loop_->RunUntil([this] { return sim_.program_running(); }, clock_.NowMs() + 60'000)) << Shown();
  }
  // Every program the controller took ended with every move it was sent executed once.
  void ExpectEveryProgramExecutedWhole() {
    const int64_t moves = static_cast<int64_t>(DecodeProgram(*ReadProgram(), session().state).summary.moves);
    for (const sim::ProgramRecord& record : sim_.program_records()) {
      EXPECT_EQ(record.end, sim::ProgramRecord::End::kFinished);
      EXPECT_EQ(record.moves_completed, moves);
    }
  }
};

TEST_F(MachineSafety, AnOperationBegunInsideAWindowsEventLoopTakesItsOwnStepsAndRefusesAnotherBegunDeeper) {
  MachineLink& link = session().link;
  {
    // Begun from a menu while a project loads: its steps are its own.
    const NestedLoop loading(CurrentOperator());
    const MachineHold operation(link, MachineOperation::kMoveToArms);
    ASSERT_TRUE(operation);
    EXPECT_TRUE(MachineHold(link, MachineOperation::kGoToPoint)) << Shown();
    // A box it shows runs a loop of its own: what begins there is another operation.
    const NestedLoop box(CurrentOperator());
    EXPECT_FALSE(MachineHold(link, MachineOperation::kHoming));
  }
  EXPECT_FALSE(link.gate.busy());
  const MachineHold operation(link, MachineOperation::kMoveToArms);
  ASSERT_TRUE(operation);
  const NestedLoop loading(CurrentOperator());
  EXPECT_FALSE(MachineHold(link, MachineOperation::kHoming)) << "begun from a load's loop inside the operation";
}

TEST_F(MachineSafety, AStopDuringThePreparationCancelsTheCutBeforeAnythingRuns) {
  // The operator's Stop during the wire check, then the machine's stop button during the second heating.
  for (const int64_t at : {1000, 4000}) {
    const bool button = at == 4000;
    clock_.Schedule(clock_.NowMs() + at, [this, button] {
      if (button) {
        sim_.PressStopButton();
      } else {
        session().link.gate.RequestStop();
      }
    });
    run().Start1Click();
    ASSERT_TRUE(RunToEnd());
    EXPECT_TRUE(sim_.program_records().empty()) << "no program reached the controller, and no Go";
    EXPECT_EQ(sim_.program_size(), 0u);
    EXPECT_FALSE(AnyHeaterOn());
    EXPECT_FALSE(session().transmission.running());
    EXPECT_EQ(Boxes("Control", "ciecieAnulowane"), button ? 2u : 1u) << Shown();
  }
}

TEST_F(MachineSafety, StartIsRefusedUnderARunningOrPausedProgramAndNothingIsSent) {
  run().Start1Click();
  ASSERT_NO_FATAL_FAILURE(RunUntilTheProgramRuns());
  const size_t commands = DirectCommands();
  run().Start1Click();
  sim_.PressStartButton();
  ASSERT_TRUE(loop_->RunUntil([this] { return Boxes("Control", "startPodczasProgramu") == 2; }, clock_.NowMs() + 5000))
      << Shown();
  EXPECT_EQ(DirectCommands(), commands) << "nothing but what the transmission streams";
  run().Wstrzymaj1Click();
  ASSERT_TRUE(sim_.program_paused());
  const size_t paused_commands = DirectCommands();
  run().Start1Click();
  EXPECT_EQ(Boxes("Control", "startPodczasPauzy"), 1u);
  EXPECT_EQ(DirectCommands(), paused_commands);
  // Continue is the way on: the cut ends whole, each move executed once.
  run().Kontynuacja1Click();
  ASSERT_TRUE(RunToEnd());
  EXPECT_EQ(sim_.program_records().size(), 1u);
  ExpectEveryProgramExecutedWhole();
  EXPECT_TRUE(sim_.commands_while_running().empty());
}

TEST_F(MachineSafety, AStopAfterFailedStatusReadsStillPausesTheProgram) {
  run().Start1Click();
  ASSERT_NO_FATAL_FAILURE(RunUntilTheProgramRuns());
  sim_.FailNextReads(10);
  loop_->RunUntil([] { return false; }, clock_.NowMs() + 1000);
  EXPECT_TRUE(session().usb.present()) << "the same controller is taken back";
  run().Wstrzymaj1Click();
  EXPECT_TRUE(sim_.program_paused());
  EXPECT_FALSE(AnyHeaterOn());
  EXPECT_TRUE(op_.messages().empty()) << Shown();
}

// A computer that stands still longer than the controller's buffer lasts: the program runs out with the wire in
// the material. The status step switches the wire off at once, long before the late transmission step ends the cut
// as incomplete; no end of the cut is taken and nothing is repeated.
TEST_F(MachineSafety, AProgramThatRanDryIsCooledAtOnceAndNeverTakenForTheEnd) {
  loop_->SlipTransmission(600'000);
  run().SpeedAutoRepeatClick(true);
  run().Start1Click();
  // Its first step comes late too: the program starts then, and runs out before the next.
  ASSERT_TRUE(loop_->RunUntil([this] { return sim_.programs_finished() == 1; }, clock_.NowMs() + 1'200'000));
  ASSERT_TRUE(session().transmission.running()) << "the rest of the program is still to be sent";
  loop_->RunUntil([] { return false; }, clock_.NowMs() + 300);
  EXPECT_FALSE(AnyHeaterOn()) << "the wire stands still in the material";
  EXPECT_TRUE(session().transmission.running());
  ASSERT_TRUE(RunToEnd(1'200'000));
  EXPECT_EQ(session().transmission.dry_spells(), 1);
  EXPECT_FALSE(session().transmission.running());
  EXPECT_EQ(main_->programs_ended(), 0);
  EXPECT_EQ(sim_.program_records().size(), 1u) << "no repetition";
  EXPECT_FALSE(AnyHeaterOn());
  const std::string told = UsTexts().GetText("Transmission", "programWyschniety");
  ASSERT_EQ(op_.messages().size(), 1u) << Shown();
  EXPECT_TRUE(op_.messages()[0].text.starts_with(told.substr(0, told.find('%')))) << Shown();
}

TEST_F(MachineSafety, ClosingReadsTheControllerAndLeavesEveryHeaterOff) {
  run().Start1Click();
  ASSERT_NO_FATAL_FAILURE(RunUntilTheProgramRuns());
  EXPECT_FALSE(run().FormCloseQuery()) << "a running program keeps the program open";
  run().Wstrzymaj1Click();
  ASSERT_TRUE(sim_.program_paused());
  // Heat the wire by hand meanwhile: closing switches it off.
  ASSERT_TRUE(SendCommand(session().link, HeaterOnCommand(kManualWireChannel)));
  EXPECT_TRUE(run().FormCloseQuery());
  EXPECT_FALSE(AnyHeaterOn());
  // A program that runs again keeps it open, however it was stopped before.
  run().Kontynuacja1Click();
  ASSERT_TRUE(sim_.program_running());
  EXPECT_FALSE(run().FormCloseQuery());
}

TEST_F(MachineSafety, ThePanelAndItsKeysSendNothingUnderARunningProgram) {
  run().Start1Click();
  ASSERT_NO_FATAL_FAILURE(RunUntilTheProgramRuns());
  Tster& panel = session().panel;
  const auto key = [](int code) {
    PanelKey pressed;
    pressed.code = code;
    return pressed;
  };
  panel.JogButtonDown(JogButton::kl);
  panel.JogButtonUp(JogButton::kl);
  for (const int code : {int{kKeyInsert}, int{kKeyNumpad0}, int{kKeyLeft}, int{kKeyHome}, int{kKeyNumpadPlus}}) {
    panel.KeyDown(key(code));
    panel.KeyUp(key(code));
  }
  panel.PScrollChange(80);
  panel.k_zalwylClick();
  panel.btnPrzesunDoRamionClick();
  run().SpeedWysunPoCieciuClick();
  EXPECT_TRUE(sim_.commands_while_running().empty()) << sim_.commands_while_running().size();
  EXPECT_GE(op_.messages().size(), 6u) << "each refusal is told";
  ASSERT_TRUE(RunToEnd());
  ExpectEveryProgramExecutedWhole();
}

TEST_F(MachineSafety, AnUnconfirmedPauseIsToldAndLeavesTheWireHot) {
  run().Start1Click();
  ASSERT_NO_FATAL_FAILURE(RunUntilTheProgramRuns());
  sim_.MissNextStop();
  run().Wstrzymaj1Click();
  EXPECT_EQ(Boxes("Control", "pauzaNiepotwierdzona"), 1u) << Shown();
  EXPECT_TRUE(sim_.program_running());
  EXPECT_TRUE(sim_.HorizontalWireHot()) << "a cold wire dragged through the material would break";
}

TEST_F(MachineSafety, TheWireCheckHeatsTheCuttingWire) {
  // Heating another channel than the cutting wire's leaves the wire cold and its break unseen.
  sim_.SetWireBroken(true);
  op_.AnswerNext(kButtonCancel);
  run().Start1Click();
  ASSERT_EQ(op_.questions().size(), 1u);
  EXPECT_EQ(op_.questions()[0].text, UsTexts().GetText("Control", "zerwanyDrut"));
  EXPECT_FALSE(AnyHeaterOn());
  EXPECT_TRUE(sim_.program_records().empty());
}

TEST_F(MachineSafety, ContinueSwitchesOffTheWiresOfItsReturnMovesAndTheCutEndsCold) {
  run().Start1Click();
  ASSERT_NO_FATAL_FAILURE(RunUntilTheProgramRuns());
  loop_->RunUntil([] { return false; }, clock_.NowMs() + 5000);
  run().Wstrzymaj1Click();
  ASSERT_TRUE(sim_.program_paused());
  run().Kontynuacja1Click();
  EXPECT_FALSE(sim_.heater_on(kManualWireChannel));
  EXPECT_FALSE(sim_.heater_on(kVerticalWireChannel));
  EXPECT_TRUE(sim_.heater_on(kHorizontalWireChannel)) << "the program's own wire cuts on";
  ASSERT_TRUE(RunToEnd());
  EXPECT_FALSE(AnyHeaterOn());
  EXPECT_EQ(main_->programs_ended(), 1);
  ExpectEveryProgramExecutedWhole();
  EXPECT_TRUE(sim_.commands_while_running().empty());
}

TEST_F(MachineSafety, AStopThatMeetsABusyControllerEndsTheStreamAndTheMachineIsStoppedOnceItAnswers) {
  run().Start1Click();
  ASSERT_NO_FATAL_FAILURE(RunUntilTheProgramRuns());
  sim_.FailNextWrites(10);
  run().Wstrzymaj1Click();
  EXPECT_EQ(Boxes("Control", "stopZajety"), 1u) << Shown();
  ASSERT_TRUE(RunToEnd());
  EXPECT_FALSE(session().transmission.running());
  EXPECT_LT(sim_.program_records().front().commands, session().transmission.program().size() / 2)
      << "nothing more of the program was sent";
  EXPECT_EQ(sim_.program_records().front().end, sim::ProgramRecord::End::kCleared);
  EXPECT_FALSE(AnyHeaterOn());
  EXPECT_EQ(main_->programs_ended(), 0);
}

TEST_F(MachineSafety, AWireThatBreaksDuringTheCutPausesItAndContinueChecksTheWire) {
  run().Start1Click();
  ASSERT_NO_FATAL_FAILURE(RunUntilTheProgramRuns());
  sim_.SetWireBroken(true);
  ASSERT_TRUE(loop_->RunUntil([this] { return sim_.program_paused(); }, clock_.NowMs() + 10'000));
  EXPECT_EQ(Boxes("Control", "zerwanyDrutPodczasCiecia"), 1u) << Shown();
  EXPECT_FALSE(AnyHeaterOn());
  run().Kontynuacja1Click();
  EXPECT_EQ(Boxes("Control", "zerwanyDrutKontynuacja"), 1u) << Shown();
  EXPECT_TRUE(sim_.program_paused());
  EXPECT_FALSE(AnyHeaterOn());
  sim_.SetWireBroken(false);
  run().Kontynuacja1Click();
  ASSERT_TRUE(RunToEnd());
  ExpectEveryProgramExecutedWhole();
}

TEST_F(MachineSafety, TheBoxSaysWhatHappened) {
  // A busy controller that is still there is no lost link.
  sim_.FailNextWrites(10);
  EXPECT_FALSE(SendCommand(session().link, StopMoveCommand()));
  EXPECT_EQ(Boxes("Control", "ploterZajety"), 1u);
  EXPECT_EQ(Boxes("Control", "ploterBrakLacznosci"), 0u);
  // Inside an operation whose link was lost the heaters are still switched off.
  const EndAtLostLink scope(session().link);
  ASSERT_TRUE(SendCommand(session().link, HeaterOnCommand(kHorizontalWireChannel)));
  sim_.FailNextWrites(10);
  SendCommand(session().link, StopMoveCommand());
  ASSERT_TRUE(scope.lost());
  session().state.heater_channel = kHorizontalWireChannel;
  HeatingOff(session().link);
  EXPECT_FALSE(sim_.heater_on(kHorizontalWireChannel));
}

}  // namespace
}  // namespace varnholt
