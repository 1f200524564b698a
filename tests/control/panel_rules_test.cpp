// The control panel's rules that need no machine: enabling, the speed bars' shown values and steps, the numpad
// speed steps, the joystick's direction codes and the keys of the keypad.

#include <gtest/gtest.h>

#include "config/display_unit.h"
#include "control/joystick.h"
#include "control/panel_keys.h"
#include "control/panel_view.h"
#include "control/speed_bars.h"
#include "link/controller_ops.h"

namespace varnholt {
namespace {

EnablingSwitches Switches(bool moving, bool running, bool heating, int channel, bool positioning = false) {
  return ComputeEnablingSwitches(EnablingInputs{moving, running, heating, channel, positioning, false});
}

TEST(EnablingRules, ByMachineState) {
  EXPECT_EQ(Switches(false, false, false, 1), (EnablingSwitches{true, true, true, true}));
  // A running program owns the machine: nothing of the panel, whatever moves or heats.
  EXPECT_EQ(Switches(false, true, true, 1), (EnablingSwitches{false, false, false, false}));
  EXPECT_EQ(Switches(true, true, true, 3), (EnablingSwitches{false, false, false, false}));
  // A heated machine that stands: the controls of the heated channel.
  EXPECT_EQ(Switches(false, false, true, 2), (EnablingSwitches{true, false, true, false}));
  EXPECT_EQ(Switches(false, false, true, 3), (EnablingSwitches{false, true, false, true}));
  // Moving after a jog allows the jogs of the channel; after a positioning move none.
  EXPECT_EQ(Switches(true, false, true, 2), (EnablingSwitches{true, false, true, false}));
  EXPECT_EQ(Switches(true, false, true, 2, true), (EnablingSwitches{false, false, true, false}));
  EXPECT_EQ(Switches(true, false, false, 0), (EnablingSwitches{false, false, false, false}));
}

TEST(EnablingRules, AppliedToTheControls) {
  const PanelControls arms = ApplyEnablingSwitches({true, false, true, false}, false);
  EXPECT_TRUE(arms.ku && arms.kd && arms.kl && arms.kr && arms.k_zalwyl && arms.VScroll && arms.PScroll);
  EXPECT_FALSE(arms.ktl || arms.ktr || arms.k_zalwyl_pionowe || arms.VScrollTasma || arms.PScrollPionowe);
  EXPECT_FALSE(arms.Bazuj || arms.btnPrzesunDoRamion || arms.keyprzesun) << "need both jog switches";
  const PanelControls qo = ApplyEnablingSwitches({true, true, true, true}, true);
  EXPECT_TRUE(qo.Bazuj && qo.ktl && qo.VScrollTasma);
  EXPECT_FALSE(qo.k_zalwyl_pionowe || qo.PScrollPionowe || qo.vertical_power_labels) << "a Qo has no vertical power";
}

TEST(SpeedBars, MillimetresRoundBySize) {
  const auto shown = [](int32_t position) { return SpeedBarText(position, kUnitMm); };
  EXPECT_EQ(shown(95).text, "95");
  EXPECT_EQ(shown(95).large_step, 10);
  EXPECT_EQ(shown(104).text, "100");
  EXPECT_EQ(shown(106).text, "110");
  EXPECT_EQ(shown(106).small_step, 10);
  EXPECT_EQ(shown(1249).text, "1200");
  EXPECT_EQ(shown(1249).large_step, 500);
  EXPECT_EQ(shown(7300).text, "7500");
  EXPECT_EQ(shown(7300).small_step, 500);
  EXPECT_EQ(shown(12600).text, "13000");
  EXPECT_EQ(shown(12600).large_step, 2000);
  // The conveyor bar shows the belt speed: the position divided by the conveyor factor.
  EXPECT_EQ(SpeedBarText(1000, kUnitMm, 2.0).text, "500");
}

TEST(SpeedBars, InchesAndFeet) {
  // 200 mm/min = 78.7 tenths of an inch: one decimal, small steps.
  EXPECT_EQ(SpeedBarText(200, kUnitInch).text, "7.9");
  EXPECT_EQ(SpeedBarText(200, kUnitInch).small_step, 3);
  // 1000 mm/min = 393.7 tenths, rounded to 390.
  EXPECT_EQ(SpeedBarText(1000, kUnitInch).text, "39.0");
  EXPECT_EQ(SpeedBarText(1000, kUnitInch).large_step, 254);
  // 1000 mm/min = 328.1 hundredths of a foot, rounded to 330.
  EXPECT_EQ(SpeedBarText(1000, kUnitFoot).text, "3.3");
  EXPECT_EQ(SpeedBarText(1000, kUnitFoot).small_step, 30);
}

TEST(SpeedBars, NumpadSteps) {
  EXPECT_EQ(NumpadSpeedChange(1000, true, 2000), 1100);
  EXPECT_EQ(NumpadSpeedChange(1000, false, 2000), 900);
  // Below 100 the step is 1.
  EXPECT_EQ(NumpadSpeedChange(95, true, 2000), 96);
  EXPECT_EQ(NumpadSpeedChange(95, false, 2000), 94);
  EXPECT_EQ(NumpadSpeedChange(10, false, 2000), 10);
  EXPECT_EQ(NumpadSpeedChange(1950, true, 2000), 2000) << "at most the max rapid speed";
  EXPECT_EQ(NumpadSpeedChange(5, true, 2000), 5) << "below 10 no step";
}

TEST(SpeedBars, Powers) {
  EXPECT_EQ(PercentToHeaterPower(50), 128);  // 127.5 to the even neighbour
  EXPECT_EQ(PercentToHeaterPower(100, 0.35), 89);
  EXPECT_EQ(HeaterPowerToPercent(89, 0.35), 100);
  EXPECT_EQ(HeaterPowerToPercent(10, 0.0), 0);
}

TEST(Joystick, DirectionCodes) {
  EXPECT_EQ(JoystickDirection({32768, 32768, 0}), 0);
  EXPECT_EQ(JoystickDirection({49152, 32768, 0}), 1) << "half right";
  EXPECT_EQ(JoystickDirection({37768, 32768, 0}), 0) << "inside the dead band";
  EXPECT_EQ(JoystickDirection({0, 0, 0}), 3) << "left and up";
  EXPECT_EQ(JoystickDirection({65535, 65535, 0}), -3) << "right and down";
  EXPECT_EQ(JoystickDirection({32768, 32768, 8}), 8);
  EXPECT_EQ(JoystickDirection({32768, 32768, 12}), -8) << "the last match wins";
  EXPECT_EQ(JoystickDirection({0, 0, 13}), kJoystickHeatingCode);
  EXPECT_EQ(JoystickSpeed({49152, 32768, 0}, 2000), 1000);
  EXPECT_EQ(JoystickJogKey(3), kKeyNumpad7);
  EXPECT_EQ(JoystickJogKey(-5), kKeyNumpad1);
  EXPECT_EQ(JoystickJogKey(-8), kKeyPageDown);
  EXPECT_EQ(JoystickJogKey(16), std::nullopt);
}

TEST(PanelKeys, KeypadKeysBecomeNumpadCodes) {
  EXPECT_EQ(PanelKeyMeaning({'8', false, true}), kKeyNumpad8);
  EXPECT_EQ(PanelKeyMeaning({'8', false, false}), '8');
  EXPECT_EQ(PanelKeyMeaning({kKeyPlus, false, true}), kKeyNumpadPlus);
  EXPECT_EQ(PanelKeyMeaning({kKeyClear, false, true}), kKeyNumpad5);
  EXPECT_EQ(PanelKeyMeaning({kKeyUp, false, true}), kKeyUp);
  EXPECT_TRUE(IsArmJogKey(kKeyNumpad9));
  EXPECT_FALSE(IsArmJogKey(kKeyNumpad5));
  EXPECT_TRUE(IsJogKey(kKeyComma));
  EXPECT_FALSE(IsArmJogKey(kKeyComma));
}

}  // namespace
}  // namespace varnholt
