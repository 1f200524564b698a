// The control panel's keys, jog buttons, joystick and bars against the simulated controller.

#include "control/speed_bars.h"
#include "panel_test_support.h"

namespace varnholt {
namespace {

using PanelInput = PanelTest;

TEST_F(PanelInput, AHeldArrowJogsOnceAndStopsOnceOnRelease) {
  EXPECT_TRUE(panel().KeyDown(Key(kKeyRight)));
  EXPECT_TRUE(panel().jog_in_progress());
  for (int i = 0; i < 20; ++i) {
    panel().KeyUp(Key(kKeyRight, true));
    panel().KeyDown(Key(kKeyRight, true));
  }
  EXPECT_EQ(MovesSent(), 1u);
  EXPECT_EQ(CountOf('Y'), 0u);
  clock_.Advance(500);
  EXPECT_TRUE(panel().KeyUp(Key(kKeyRight)));
  EXPECT_FALSE(panel().jog_in_progress());
  EXPECT_EQ(CountOf('Y'), 1u);
  EXPECT_GT(state_.X1, 0) << "positions read after the jog";
  // The next press jogs again.
  panel().KeyDown(Key(kKeyLeft));
  panel().KeyUp(Key(kKeyLeft));
  EXPECT_EQ(MovesSent(), 2u);
}

TEST_F(PanelInput, OtherKeysWaitWhileAJogRuns) {
  panel().KeyDown(Key(kKeyUp));
  sim_.ClearLog();
  EXPECT_TRUE(panel().KeyDown(Key(kKeyInsert)));
  EXPECT_TRUE(panel().KeyDown(Key(kKeyLeft)));
  EXPECT_TRUE(sim_.commands().empty());
}

TEST_F(PanelInput, KeysDoNotMoveTheMachineUnderARunningProgram) {
  ASSERT_NO_FATAL_FAILURE(RunLongProgram());
  sim_.ClearLog();
  panel().KeyDown(Key(kKeyRight));
  panel().KeyUp(Key(kKeyRight));
  EXPECT_EQ(MovesSent(), 0u);
  EXPECT_FALSE(panel().jog_in_progress());
}

TEST_F(PanelInput, NumpadPlusAndMinusStepTheArmSpeed) {
  link().panel.speed = 1000;
  panel().KeyDown({kKeyPlus, false, true});
  EXPECT_EQ(link().panel.speed, 1100);
  EXPECT_EQ(state_.group_periods[state_.active_group], PeriodFromSpeed(state_, 1100) / 4 * 4);
  panel().KeyDown({kKeyNumpadMinus, true, true});
  panel().KeyDown({kKeyNumpadMinus, true, true});
  EXPECT_EQ(link().panel.speed, 900) << "held, the key steps on";
  link().panel.speed = 10;
  panel().KeyDown(Key(kKeyNumpadMinus));
  EXPECT_EQ(link().panel.speed, 10);
  EXPECT_EQ(panel().view().arm_speed.label, "10");
}

TEST_F(PanelInput, CtrlGoesAtATenthOfTheSpeedWhileHeld) {
  link().panel.speed = 1000;
  panel().KeyDown(Key(kKeyControl));
  EXPECT_EQ(state_.group_periods[state_.active_group], PeriodFromSpeed(state_, 100) / 4 * 4);
  panel().KeyDown(Key(kKeyControl, true));
  panel().KeyDown(Key(kKeyControl, true));
  EXPECT_EQ(CountOf('V'), 1u) << "auto-repeat does not slow down again";
  panel().KeyUp(Key(kKeyControl));
  EXPECT_EQ(state_.group_periods[state_.active_group], PeriodFromSpeed(state_, 1000) / 4 * 4);
}

TEST_F(PanelInput, InsertTogglesTheHeatingOnceWhenHeld) {
  panel().FormActivate();  // keys come to an active panel, which has read the heater channel
  sim_.ClearLog();
  panel().KeyDown(Key(kKeyInsert));
  for (int i = 0; i < 5; ++i) panel().KeyDown(Key(kKeyInsert, true));
  EXPECT_EQ(CountOf('R'), 1u);
  panel().KeyUp(Key(kKeyInsert));
  EXPECT_TRUE(panel().view().k_zalwyl_down);
  panel().KeyDown({'0', false, true});  // numpad 0 does the same: the wire is hot now, so it goes off
  ReadStatus(link());
  EXPECT_FALSE(state_.Has(kStatusHeating));
  EXPECT_FALSE(panel().view().k_zalwyl_down);
}

TEST_F(PanelInput, HiddenPanelsAndTheUpgradeButtonToggle) {
  PanelKey alt_e = Key(kKeyE);
  alt_e.alt = true;
  EXPECT_TRUE(panel().KeyDown(alt_e));
  EXPECT_TRUE(panel().view().btnUpgrade_visible);
  PanelKey f1 = Key(kKeyF1);
  EXPECT_FALSE(panel().KeyDown(f1)) << "F1 alone is the main window's";
  f1.ctrl = f1.alt = f1.shift = true;
  panel().KeyDown(f1);
  EXPECT_TRUE(panel().view().test_panel_visible);
  PanelKey f12 = f1;
  f12.code = kKeyF12;
  panel().KeyDown(f12);
  panel().KeyDown(f12);
  EXPECT_FALSE(panel().view().service_panel_visible);
}

TEST_F(PanelInput, JogButtonsMoveWhileHeld) {
  panel().JogButtonDown(JogButton::ku);
  EXPECT_EQ(MovesSent(), 1u);
  clock_.Advance(300);
  panel().JogButtonUp(JogButton::ku);
  EXPECT_EQ(CountOf('Y'), 1u);
  EXPECT_GT(state_.Y1, 0);
  EXPECT_EQ(state_.heater_channel, 2);
  EXPECT_EQ(sim_.setting(kSettingPowerOutput), 0);
  sim_.Unplug();
  sim_.ClearLog();
  panel().JogButtonDown(JogButton::kl);
  EXPECT_EQ(Boxes("ploterBrakLacznosci"), 1u) << "one box, no jog without a controller";
}

TEST_F(PanelInput, AHalfRightJoystickJogsRightAtHalfSpeedAndStopsAtTheCentre) {
  joystick_.Hold({49152, 32768, 0});
  Step();
  EXPECT_EQ(link().panel.speed, 1000) << "half the Qa max rapid speed";
  EXPECT_EQ(MovesSent(), 1u);
  clock_.Advance(200);
  Step();
  EXPECT_EQ(MovesSent(), 1u) << "the same direction jogs once";
  const size_t stops = CountOf('Y');
  joystick_.Hold({32768, 32768, 0});
  Step();
  EXPECT_EQ(CountOf('Y'), stops + 1);
  // A read error skips the joystick for that step; without a joystick nothing is read.
  joystick_.HoldReadError();
  joystick_.Queue(JoystickReading{49152, 32768, 0});
  Step();
  EXPECT_EQ(MovesSent(), 1u);
  joystick_.SetPresent(false);
  const int64_t reads = joystick_.reads();
  Step();
  EXPECT_EQ(joystick_.reads(), reads);
  EXPECT_EQ(MovesSent(), 1u);
}

// Each step asks the system about the joystick once, whether one is there, held, centred or gone; none while a
// program runs.
TEST_F(PanelInput, TheJoystickIsPolledOncePerStep) {
  const auto polls_of_step = [this] {
    const int64_t before = joystick_.polls();
    Step();
    return joystick_.polls() - before;
  };
  joystick_.Hold({49152, 32768, 0});
  EXPECT_EQ(polls_of_step(), 1) << "held right";
  EXPECT_EQ(polls_of_step(), 1) << "still held";
  joystick_.Hold({32768, 32768, 0});
  EXPECT_EQ(polls_of_step(), 1) << "centred";
  joystick_.SetPresent(false);
  EXPECT_EQ(polls_of_step(), 1) << "gone";
  joystick_.SetPresent(true);
  ASSERT_NO_FATAL_FAILURE(RunLongProgram());
  EXPECT_EQ(polls_of_step(), 0) << "a program runs";
}

TEST_F(PanelInput, AJoystickMoveEndsWhenTheJoystickGoesOrThePanelIsLeft) {
  // Pulled out while held right: it cannot come back to the centre, so the step stops the move.
  joystick_.Hold({49152, 32768, 0});
  Step();
  ASSERT_EQ(MovesSent(), 1u);
  joystick_.SetPresent(false);
  Step();
  EXPECT_EQ(CountOf('Y'), 1u);
  ReadStatus(link());
  EXPECT_FALSE(state_.Has(kStatusMoving));
  // Plugged in again still held right, it jogs anew; leaving the panel stops that move, as the joystick is
  // read only while the panel is active.
  joystick_.SetPresent(true);
  Step();
  EXPECT_EQ(MovesSent(), 2u);
  panel().FormDeactivate();
  EXPECT_EQ(CountOf('Y'), 2u);
  ReadStatus(link());
  EXPECT_FALSE(state_.Has(kStatusMoving));
  // The heating button held is no move: leaving sends nothing.
  joystick_.Hold({32768, 32768, 1});
  Step();
  sim_.ClearLog();
  panel().FormDeactivate();
  EXPECT_EQ(CountOf('Y'), 0u);
}

TEST_F(PanelInput, ScrollingASpeedBarSetsTheManualSpeed) {
  panel().VScrollScroll();
  EXPECT_TRUE(Sent(CommandBytes("F\x02", 2)));
  panel().VScrollChange(500);
  EXPECT_EQ(link().panel.speed, 500);
  EXPECT_EQ(state_.group_periods[2], PeriodFromSpeed(state_, 500) / 4 * 4);
  // A change of the position by the display sends nothing.
  sim_.ClearLog();
  panel().VScrollChange(700);
  EXPECT_TRUE(sim_.commands().empty());
  panel().VScrollTasmaScroll();
  panel().VScrollTasmaChange(800);
  EXPECT_EQ(state_.group_periods[3], PeriodFromSpeed(state_, 800) / 4 * 4);
}

TEST_F(PanelInput, PowerBarsSendTheHeaterPower) {
  panel().PScrollChange(50);
  EXPECT_TRUE(Sent(CommandBytes("T\x02\x80", 3)));
  state_.vertical_power_factor = 0.35;
  panel().PScrollPionoweChange(100);
  EXPECT_TRUE(Sent(CommandBytes("T\x03\x59", 3)));
}

}  // namespace
}  // namespace varnholt
