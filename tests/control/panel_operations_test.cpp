// The control panel's operations: creation and activation, homing, go to point, pause, continue, the heating and
// conveyor buttons.

#include "panel_test_support.h"

namespace varnholt {
namespace {

using PanelOperations = PanelTest;

// The homing-related commands in the order sent: "B" steps with their mask, "N", "Y" and the start of each move.
std::vector<std::string> HomingLog(const sim::SimulatedController& sim) {
  std::vector<std::string> log;
  for (const CommandBytes& c : sim.commands()) {
    if (c[0] == 'B') log.push_back("B" + Hex(c.substr(1, 1)));
    if (c[0] == 'N' || c[0] == 'Y') log.push_back(std::string(1, c[0]));
    if (c[0] == 'A' && static_cast<uint8_t>(c[1]) == kMoveOpenCode) log.push_back("move");
  }
  return log;
}

TEST_F(PanelOperations, CreationSetsTheControllerUp) {
  sim_.ClearLog();
  Tster created(link(), flags_, main_, joystick_);
  created.FormCreate();
  EXPECT_TRUE(created.timer_enabled());
  EXPECT_EQ(sim_.setting(kSettingStepMultiplier), 4);
  EXPECT_EQ(sim_.setting(kSettingHeavyMaterial), 0);
  EXPECT_DOUBLE_EQ(state_.vertical_power_factor, 0.35);
  EXPECT_FALSE(created.view().ktr_visible) << "only a Qo shows ktr";
  EXPECT_TRUE(op_.messages().empty());
}

TEST_F(PanelOperations, CreationWithoutControllerShowsItAndStillWatches) {
  sim_.Unplug();
  usb_->PollDeviceEvents();
  Tster created(link(), flags_, main_, joystick_);
  created.FormCreate();
  EXPECT_EQ(Boxes("brakPlotera"), 1u);
  EXPECT_TRUE(created.timer_enabled()) << "so a controller plugged in later is found";
  sim_.Replug();
  usb_->PollDeviceEvents();
  EXPECT_EQ(created.tick(PanelFocus{}), Tster::kConnectedIntervalMs);
}

TEST_F(PanelOperations, ActivationReadsBarsAndPositions) {
  SelectSpeedGroup(link(), 2, kFromConfiguration);
  panel().FormActivate();
  EXPECT_EQ(panel().view().unit_label, "[ mm ]");
  EXPECT_EQ(panel().view().arm_speed.max, 2000);
  EXPECT_NEAR(panel().view().arm_speed.position, 1000, 2);
  EXPECT_EQ(panel().view().service.extra1, "0.0");
  EXPECT_EQ(panel().view().wmx, "0.00");
}

TEST_F(PanelOperations, HomingAnUnhomedMachineStepsEachAxisAndEndsIt) {
  panel().bazujClick();
  EXPECT_EQ(HomingLog(sim_), (std::vector<std::string>{"B11", "B22", "B08", "Y", "N"}));
  ReadPositions(link());
  EXPECT_TRUE(state_.Has(kStatusHomed));
  EXPECT_EQ(state_.X1, 0);
  EXPECT_TRUE(panel().timer_enabled());
  EXPECT_FALSE(op_.busy());
}

TEST_F(PanelOperations, HomingAHomedMachineAtFiveMillimetresDrivesXThenYToZeroFirst) {
  panel().bazujClick();
  ASSERT_TRUE(panel().gotopoint(true, 2, 5.0, 5.0, 20.0, 20.0, 0, 0, 0, 0));
  sim_.ClearLog();
  panel().bazujClick();
  EXPECT_EQ(HomingLog(sim_), (std::vector<std::string>{"move", "move", "B08", "Y", "B11", "B22"}));
  // The first move goes in X alone, the second in Y alone.
  std::vector<CommandBytes> opened;
  for (size_t i = 0; i + 1 < sim_.commands().size(); ++i) {
    const CommandBytes& c = sim_.commands()[i];
    if (c[0] == 'A' && static_cast<uint8_t>(c[1]) == kMoveOpenCode) opened.push_back(sim_.commands()[i + 1]);
  }
  ASSERT_EQ(opened.size(), 2u);
  EXPECT_EQ(static_cast<uint8_t>(opened[0][1]), 0) << "axis 0 first";
  EXPECT_EQ(static_cast<uint8_t>(opened[1][1]), 1) << "then axis 1";
  ReadPositions(link());
  EXPECT_EQ(state_.X1, 0);
  EXPECT_EQ(state_.Y1, 0);
}

// The cable goes as the first move toward zero is being sent: its failed send and the next operations that find no
// controller tell it once between them.
TEST_F(PanelOperations, ACablePulledAtHomingsFirstMoveGivesOneBox) {
  panel().bazujClick();
  ASSERT_TRUE(panel().gotopoint(true, 2, 5.0, 5.0, 20.0, 20.0, 0, 0, 0, 0));
  sim_.ClearLog();
  sim_.AfterCommand([this](const CommandBytes& command) {
    if (command[0] == 'F') sim_.Unplug();
  });
  panel().bazujClick();
  EXPECT_EQ(Boxes("ploterBrakLacznosci"), 1u);
  EXPECT_EQ(op_.messages().size(), 1u);
  EXPECT_TRUE(HomingLog(sim_).empty()) << "nothing reaches a controller that is gone";
  // A later operation tells the lost link again.
  panel().bazujClick();
  EXPECT_EQ(Boxes("ploterBrakLacznosci"), 2u);
}

TEST_F(PanelOperations, AKeyPressStopsTheHomingAndTheStepsAfterIt) {
  ASSERT_TRUE(panel().gotopoint(true, 2, 0.0, 0.0, 100.0, 100.0, 0, 0, 0, 0));  // far from the switches
  sim_.ClearLog();
  op_.InjectInputAfter(3, PendingInput::kKeyPress);
  panel().bazujClick();
  EXPECT_EQ(HomingLog(sim_), (std::vector<std::string>{"B11", "Y"}));
  ReadStatus(link());
  EXPECT_FALSE(state_.Has(kStatusHomed));
  EXPECT_FALSE(state_.Has(kStatusMoving));
}

TEST_F(PanelOperations, HomingAndGotoPointAreRefusedWhileTheMachineRuns) {
  ASSERT_NO_FATAL_FAILURE(RunLongProgram());
  sim_.ClearLog();
  panel().bazujClick();
  EXPECT_EQ(Boxes("ploterBazowanieNiemozliwe"), 1u);
  EXPECT_FALSE(panel().gotopoint(true, 2, 0, 0, 0, 0, 0, 0, 0, 0));
  EXPECT_EQ(Boxes("nieMoznaPrzesuwac"), 1u);
  EXPECT_EQ(op_.messages().back().caption, "Goto point");
  EXPECT_TRUE(sim_.commands().empty());
  sim_.Unplug();
  EXPECT_FALSE(panel().gotopoint(true, 2, 0, 0, 0, 0, 0, 0, 0, 0));
  EXPECT_EQ(Boxes("ploterBrakLacznosci"), 1u);
}

TEST_F(PanelOperations, GotoPointMovesBothArmsAndTheBelt) {
  ASSERT_TRUE(panel().gotopoint(true, 2, 10.0, 12.0, 20.0, 22.0, 0, 0, 5.0, 0));
  EXPECT_TRUE(Sent(CommandBytes("F\x02", 2)));
  EXPECT_EQ(state_.X1, 1000);
  EXPECT_EQ(state_.X2, 1200);
  EXPECT_EQ(state_.Y1, 2000);
  EXPECT_EQ(state_.Y2, 2200);
  EXPECT_EQ(state_.belt3, 500);
}

TEST_F(PanelOperations, PauseStopsTheProgramAndSwitchesTheWireOff) {
  ASSERT_TRUE(SendCommand(link(), HeaterOnCommand(1)));
  ASSERT_NO_FATAL_FAILURE(RunLongProgram());
  flags_.ProgramStarted = true;
  clock_.Advance(2000);
  EXPECT_TRUE(panel().wstrzymaj());
  ReadStatus(link());
  EXPECT_TRUE(state_.Has(kStatusPaused));
  EXPECT_FALSE(state_.Has(kStatusHeating));
  EXPECT_FALSE(flags_.ProgramStarted);
  EXPECT_EQ(sim_.commands().back(), CommandBytes("F\x02", 2));
  EXPECT_GT(panel().pause_snapshot().X1, 0);
  EXPECT_EQ(panel().pause_snapshot().heater_channel, 1);
  // Nothing runs: nothing to pause.
  EXPECT_FALSE(panel().wstrzymaj());
}

// A stop that the program's own end overtakes: the wait for the pause ends with the program, not hours later, and the
// machine does not count as stopped.
TEST_F(PanelOperations, APauseThatComesAfterTheProgramsEndIsNotWaitedFor) {
  ASSERT_NO_FATAL_FAILURE(RunLongProgram());
  clock_.Advance(2000);
  sim_.MissNextStop();
  const int64_t before = clock_.NowMs();
  EXPECT_FALSE(panel().wstrzymaj());
  EXPECT_LT(clock_.NowMs() - before, 60 * 1000) << "the program's last move takes seconds";
  ReadStatus(link());
  EXPECT_FALSE(state_.Has(kStatusPaused));
  EXPECT_FALSE(state_.Has(kStatusProgramRunning));
}

TEST_F(PanelOperations, ContinueReheatsReturnsAndResumes) {
  ASSERT_NO_FATAL_FAILURE(RunLongProgram());
  clock_.Advance(2000);
  ASSERT_TRUE(panel().wstrzymaj());
  const int32_t paused_at = panel().pause_snapshot().X1;
  sim_.ClearLog();
  panel().kontynuuj();
  EXPECT_TRUE(Sent(CommandBytes("R\x01\x03", 3)));
  EXPECT_TRUE(Sent(CommandBytes("R\x01\x02", 3)));
  EXPECT_TRUE(Sent("K"));
  // Each selection of a speed group goes out once.
  const std::vector<CommandBytes>& sent = sim_.commands();
  for (size_t i = 1; i < sent.size(); ++i) {
    EXPECT_FALSE(sent[i][0] == 'F' && sent[i] == sent[i - 1]) << "command " << i << " repeats the speed group";
  }
  EXPECT_TRUE(flags_.ProgramStarted);
  ReadPositions(link());
  EXPECT_TRUE(state_.Has(kStatusProgramRunning));
  EXPECT_GE(state_.X1, paused_at);
  clock_.Advance(60000);
  ReadStatus(link());
  EXPECT_EQ(sim_.programs_finished(), 1);
}

TEST_F(PanelOperations, ContinueWhileTheProgramWaitsForGoSendsOnlyGo) {
  ASSERT_TRUE(SendCommand(link(), BuildMoveRecord('a', 4, {100, 0, 0, 0, 0, 0, 0, 0}).bytes));
  sim_.ClearLog();
  EXPECT_TRUE(panel().kontynuuj());
  ASSERT_EQ(sim_.commands().size(), 1u);
  EXPECT_EQ(sim_.commands()[0], "G");
  EXPECT_TRUE(flags_.ProgramStarted) << "the end of the program it started is to be noticed";
}

TEST_F(PanelOperations, AControllerBusyForGoodDuringContinueGivesOneBoxAndEndsAtOnce) {
  ASSERT_NO_FATAL_FAILURE(RunLongProgram());
  clock_.Advance(2000);
  ASSERT_TRUE(panel().wstrzymaj());
  constexpr int64_t kWarmUpMs = 10000;  // the longest the configuration takes
  config_.SetNumber(Param::CzasRozgrzewania, kWarmUpMs);
  sim_.FailNextWrites(10000);
  const int64_t start = clock_.NowMs();
  EXPECT_FALSE(panel().kontynuuj());
  EXPECT_EQ(Boxes("ploterZajety"), 1u) << "the controller is there, busy";
  EXPECT_EQ(op_.messages().size(), 1u);
  EXPECT_FALSE(flags_.ProgramStarted);
  EXPECT_LT(clock_.NowMs() - start, kWarmUpMs) << "no warm-up is waited for a wire that was not switched on";
}

TEST_F(PanelOperations, HeatingButtonsAndTheConveyorBackToTheArms) {
  link().panel.power = 40;
  panel().k_zalwylClick();
  EXPECT_TRUE(Sent(CommandBytes("T\x02\x66", 3)));
  EXPECT_TRUE(Sent(CommandBytes("R\x01\x02", 3)));
  EXPECT_TRUE(panel().view().k_zalwyl_down) << "the button shows the toggle at once, not a step later";
  panel().k_zalwylClick();
  ReadStatus(link());
  EXPECT_FALSE(state_.Has(kStatusHeating));
  EXPECT_FALSE(panel().view().k_zalwyl_down);
  panel().btnPrzesunDoRamionClick();
  WaitIdle(link());
  ReadPositions(link());
  EXPECT_EQ(state_.belt3, -166600);
  EXPECT_EQ(state_.heater_channel, 2);
  EXPECT_EQ(sim_.setting(kSettingPowerOutput), 0);
}

}  // namespace
}  // namespace varnholt
