// The control panel's status step: intervals, the end of a program, the machine's buttons, the display of an
// active panel and the main window's buttons.

#include <functional>

#include "config/display_unit.h"
#include "control/speed_bars.h"
#include "geometry/decimal_text.h"
#include "panel_test_support.h"

namespace varnholt {
namespace {

using StatusStep = PanelTest;

TEST_F(StatusStep, PollsEveryTenthOfASecondAndSlowsDownWithoutTheController) {
  EXPECT_EQ(Step(), Tster::kConnectedIntervalMs);
  EXPECT_TRUE(panel().view().connected);
  EXPECT_TRUE(panel().view().refreshed);
  sim_.Unplug();
  EXPECT_EQ(Step(false), Tster::kDisconnectedIntervalMs);
  EXPECT_FALSE(panel().view().connected);
  EXPECT_EQ(Step(true), Tster::kDisconnectedIntervalMs);
  EXPECT_TRUE(panel().view().close_panel) << "an active panel closes itself";
  EXPECT_TRUE(op_.messages().empty()) << "the status step shows no box";
  usb_->PollDeviceEvents();
  sim_.Replug();
  usb_->PollDeviceEvents();
  EXPECT_EQ(Step(), Tster::kConnectedIntervalMs) << "found again after the replug";
  EXPECT_FALSE(panel().view().close_panel);
}

TEST_F(StatusStep, TheEndOfAStartedProgramIsSeenOnce) {
  ASSERT_NO_FATAL_FAILURE(RunLongProgram());
  flags_.ProgramStarted = true;
  op_.SetStatusText(1, "2");
  Step();
  EXPECT_EQ(main_.ends, 0) << "still running";
  clock_.Advance(60000);
  Step();
  EXPECT_EQ(main_.ends, 1);
  EXPECT_FALSE(flags_.ProgramStarted);
  EXPECT_EQ(op_.status(1), "");
  Step();
  EXPECT_EQ(main_.ends, 1);
}

TEST_F(StatusStep, ALostLinkEndsTheRunWithoutTakingItForTheProgramsEnd) {
  ASSERT_NO_FATAL_FAILURE(RunLongProgram());
  flags_.ProgramStarted = true;
  sim_.Unplug();
  Step();
  EXPECT_FALSE(flags_.ProgramStarted);
  usb_->PollDeviceEvents();
  sim_.Replug();
  usb_->PollDeviceEvents();  // the controller is reset: no program runs any more
  Step();
  EXPECT_EQ(main_.ends, 0) << "no automatic repetition after a lost link";
}

TEST_F(StatusStep, TheMachinesButtonsAskTheMainWindow) {
  sim_.PressStartButton();
  Step(false);
  EXPECT_EQ(main_.starts, 1);
  EXPECT_TRUE(Sent("Y")) << "StopMove first";
  sim_.PressStopButton();
  Step(false);
  EXPECT_EQ(main_.stops, 1);
  // Continue only while paused.
  sim_.PressContinueButton();
  Step(false);
  EXPECT_EQ(main_.continues, 0);
  ASSERT_NO_FATAL_FAILURE(RunLongProgram());
  ASSERT_TRUE(SendCommand(link(), StopCommand()));
  sim_.PressContinueButton();
  Step(false);
  EXPECT_EQ(main_.continues, 1);
  Step(false);
  EXPECT_EQ(main_.starts + main_.stops + main_.continues, 3) << "a press is taken once";
}

TEST_F(StatusStep, APressSeenByAnotherStatusReadIsNotLost) {
  sim_.PressStopButton();
  ReadStatus(link());  // the transmission's read, say
  Step(false);
  EXPECT_EQ(main_.stops, 1);
}

TEST_F(StatusStep, MainWindowButtonsFollowTheProgramTheProjectsAndTheRepetition) {
  Step(false);
  EXPECT_EQ(main_.buttons, (MainButtonStates{true, false, true, true}));
  main_.auto_repeat = true;
  Step(false);
  EXPECT_EQ(main_.buttons, (MainButtonStates{true, false, false, false}));
  main_.projects = 0;
  main_.auto_repeat = false;
  Step(false);
  EXPECT_EQ(main_.buttons, (MainButtonStates{false, false, true, true}));
  main_.projects = 1;
  ASSERT_NO_FATAL_FAILURE(RunLongProgram());
  Step(false);
  EXPECT_EQ(main_.buttons, (MainButtonStates{false, false, false, false}));
  ASSERT_TRUE(SendCommand(link(), StopCommand()));
  Step(false);
  EXPECT_EQ(main_.buttons, (MainButtonStates{true, true, true, true})) << "paused: continue allowed";
}

// A step asks for each reply record once, also when the heating changed or a started program ended under an active
// panel (both want the heaters record); only a step that itself commanded the machine (a button of the machine
// taken) reads the status again for the display.
TEST_F(StatusStep, EachRecordIsReadOncePerStep) {
  struct Case {
    const char* name;
    std::function<void()> prepare;
    bool active;
    int64_t status_reads;
  };
  const Case cases[] = {
      {"an active idle panel", [] {}, true, 1},
      {"a panel in the background", [] {}, false, 1},
      {"a running program",
       [this] {
         ASSERT_NO_FATAL_FAILURE(RunLongProgram());
         flags_.ProgramStarted = true;
       },
       true, 1},
      {"a press of the start button", [this] { sim_.PressStartButton(); }, true, 2},
      {"the heating switched on", [this] { ASSERT_TRUE(SendCommand(link(), HeaterOnCommand(2))); }, true, 1},
      {"the end of a started program",
       [this] {
         RunLongProgram();
         flags_.ProgramStarted = true;
         Step();
         clock_.Advance(60000);
       },
       true, 1},
  };
  for (const Case& c : cases) {
    c.prepare();
    sim_.ClearLog();
    Step(c.active);
    EXPECT_EQ(sim_.record_requests(kReplyStatus), c.status_reads) << c.name;
    EXPECT_EQ(sim_.record_requests(kReplyHeaters), c.active ? 1 : 0) << c.name;
    EXPECT_EQ(sim_.record_requests(kReplySpeeds), c.active ? 1 : 0) << c.name;
    if (!c.active) continue;
    // The display shows the positions of the record read.
    const std::string shown = panel().view().wmx;
    ReadPositions(link());
    EXPECT_EQ(shown, DecimalText(state_.X1 / 100.0, 2)) << c.name;
  }
  EXPECT_EQ(main_.ends, 1) << "the last step saw the program end";
}

TEST_F(StatusStep, TheDisplayIsRefreshedOnlyForAnActiveIdlePanel) {
  const int64_t requests = sim_.indexed_string_requests();
  panel().tick(PanelFocus{true, true});
  EXPECT_FALSE(panel().view().refreshed);
  Step(false);
  EXPECT_FALSE(panel().view().refreshed);
  EXPECT_LT(sim_.indexed_string_requests() - requests, 4) << "a background step reads the status only";
  Step(true);
  EXPECT_TRUE(panel().view().refreshed);
}

TEST_F(StatusStep, PositionsInTheDisplayUnit) {
  ASSERT_TRUE(panel().gotopoint(true, 2, 123.456, 123.456, 20.0, 20.0, 0, 0, 0, 0));
  Step();
  EXPECT_EQ(panel().view().wmx, "123.46");
  EXPECT_EQ(panel().view().wmy, "20.00");
  EXPECT_EQ(panel().view().wmz, "0.00");
  config_.SetCurrentUnit(kUnitInch);
  Step();
  EXPECT_EQ(panel().view().wmx, "4.861");
  EXPECT_EQ(panel().view().wmy, "0.787");
  config_.SetCurrentUnit(kUnitFoot);
  Step();
  EXPECT_EQ(panel().view().wmx, "0.405");
}

TEST_F(StatusStep, AWireFaultIsShownForTheHeatedChannel) {
  sim_.SetWireBroken(true);
  ASSERT_TRUE(SendCommand(link(), HeaterOnCommand(2)));
  ASSERT_TRUE(SendCommand(link(), HeaterPowerCommand(2, 100)));
  Step();
  EXPECT_EQ(panel().view().stan_drutu, ControlText("zerwanyDrut"));
  EXPECT_EQ(panel().view().stan_DrutuPionowego, "");
  ASSERT_TRUE(SendCommand(link(), HeaterPowerCommand(3, 100)));
  Step();
  EXPECT_EQ(panel().view().stan_drutu, "");
  EXPECT_EQ(panel().view().stan_DrutuPionowego, ControlText("zerwanyDrut"));
  sim_.SetWireBroken(false);
  Step();
  EXPECT_EQ(panel().view().stan_DrutuPionowego, "");
}

TEST_F(StatusStep, SpeedBarsFollowTheActiveGroup) {
  SelectSpeedGroup(link(), 2, kFromConfiguration);  // PrzeSpeed 1000 mm/min
  Step();
  EXPECT_EQ(panel().view().arm_speed.max, 2000) << "Qa max rapid speed";
  EXPECT_NEAR(panel().view().arm_speed.position, 1000, 2);
  EXPECT_EQ(panel().view().arm_speed.label, "1000");
  EXPECT_EQ(panel().view().speed_hint, ControlText("szybkosc") + " [ mm/min ]");
  EXPECT_EQ(panel().view().conveyor_speed.max, 2000);
  ASSERT_TRUE(SendCommand(link(), SelectSpeedCommand(1)));
  Step();
  EXPECT_EQ(panel().view().speed_hint, ControlText("szybkoscRobocza") + " [ mm/min ]");
  EXPECT_EQ(panel().view().arm_speed.max, 2000) << "Qa max work speed";
}

TEST_F(StatusStep, PowerBarsShowTheHeaterTable) {
  SetHorizontalPower(link(), 2, 128);  // output 0, channel 2
  Step();
  EXPECT_EQ(panel().view().power, 50);
  EXPECT_EQ(link().panel.power, 50);
  state_.vertical_power_factor = 0.5;
  SetVerticalPower(link(), 2, 64);  // output 5, channel 3
  Step();
  EXPECT_EQ(panel().view().vertical_power, 50);
}

TEST_F(StatusStep, TestAndServicePanels) {
  ASSERT_TRUE(SendCommand(link(), HeaterOnCommand(1)));
  Step();
  const TestPanelView& test = panel().view().test;
  EXPECT_TRUE(test.cbSbPower);
  EXPECT_FALSE(test.cbSbWork);
  EXPECT_EQ(test.lSelOut, ControlText("outRamiona")) << "the test panel shows captions, not identifiers";
  EXPECT_EQ(panel().view().service.extra2, "48.6");
  EXPECT_EQ(panel().view().service.link_errors, "0/0");
  sim_.FailNextReads(3);
  Step();
  EXPECT_EQ(panel().view().service.link_errors, "3/0");
}

}  // namespace
}  // namespace varnholt
