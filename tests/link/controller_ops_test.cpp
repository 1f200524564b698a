// The command set against the simulated controller.

#include <gtest/gtest.h>

#include <algorithm>

#include "link/byte_order.h"
#include "config/display_unit.h"
#include "link/controller_ops.h"
#include "link_test_support.h"

namespace varnholt {
namespace {

class CommandSet : public SimulatedLink {
 protected:
  explicit CommandSet(const std::string& model = "Qa") : SimulatedLink(model) {}
  std::vector<std::string> Sent() const {
    std::vector<std::string> hex;
    for (const CommandBytes& command : sim_.commands()) hex.push_back(Hex(command));
    return hex;
  }
  // The value of move group `code` in the commands sent, if any.
  std::optional<int32_t> MoveGroup(uint8_t code) const {
    for (const CommandBytes& command : sim_.commands()) {
      if (command.size() == 6 && command[0] == 'A' && static_cast<uint8_t>(command[1]) == code) {
        const auto* bytes = reinterpret_cast<const uint8_t*>(command.data());
        return ReadI32(std::span<const uint8_t>(bytes, 6), 2);
      }
    }
    return std::nullopt;
  }
  // Homes both arms; callers wrap it in ASSERT_NO_FATAL_FAILURE.
  void Home() {
    for (uint8_t mask : {uint8_t{0x11}, uint8_t{0x22}}) {
      SendCommand(link(), HomeStepCommand(mask));
      ASSERT_TRUE(WaitIdle(link()));
    }
    SendCommand(link(), HomeCommand(0));
    ReadPositions(link());
    ASSERT_TRUE(state_.Has(kStatusHomed));
    sim_.ClearLog();
  }
};

class CommandSetQe : public CommandSet {
 protected:
  CommandSetQe() : CommandSet("Qe") {}
};

TEST_F(CommandSet, IdentifyReadsTheIdentityAndFixesTheQaCalibration) {
  ControllerState fresh;
  state_ = fresh;
  config_.SetNumber(Param::feKalibracjaX, 5);
  const int64_t before = sim_.indexed_string_requests();
  Identify(link());
  EXPECT_EQ(sim_.indexed_string_requests() - before, 1);  // the Qa calibration is not asked for
  EXPECT_EQ(state_.manufacturer, "Quellmar");
  EXPECT_EQ(state_.model_code, "Qa");
  EXPECT_EQ(state_.serial, "SIM-Qa-0001");
  EXPECT_EQ(state_.x_range, 4800);
  EXPECT_EQ(state_.y_range, 2400);
  EXPECT_EQ(state_.x2_range, 4800);
  EXPECT_EQ(state_.y2_range, 2400);
  EXPECT_EQ(state_.operating_minutes, 7385);
  EXPECT_EQ(state_.operating_counter, 1204);
  EXPECT_DOUBLE_EQ(state_.StepScaleX, 1.65);
  EXPECT_DOUBLE_EQ(state_.StepScaleY, 1.5184);
  EXPECT_DOUBLE_EQ(state_.StepScaleZ, 1.0);
  EXPECT_EQ(state_.steps_per_turn6, 50000);
  EXPECT_EQ(state_.conveyor_jog_length, 4618);
  EXPECT_EQ(state_.profile.StepMultiplier, 4);
  EXPECT_EQ(state_.profile.max_rapid_speed, 2000);
  EXPECT_EQ(ModelSpeedMaxima(state_), (SpeedMaxima{2000, 2000, 2000}));
}

TEST_F(CommandSet, IdentifyWithoutControllerKeepsTheDefaults) {
  sim_.Unplug();
  usb_->PollDeviceEvents();
  ControllerState fresh;
  state_ = fresh;
  Identify(link());
  EXPECT_EQ(state_.model_code, "");
  EXPECT_EQ(state_.x_range, 4800);
  EXPECT_EQ(state_.y_range, 2400);
  EXPECT_EQ(state_.profile.StepMultiplier, 2);
  EXPECT_DOUBLE_EQ(state_.StepScaleX, 1.0);
  EXPECT_EQ(state_.steps_per_turn2, 8000);
}

TEST(ReplyRecords, ShortRecordsReadAsZerosAndZeroScalesGiveZero) {
  ControllerState state;
  const uint8_t status[] = {10, 7, 0x01, 0x00, 0x04, 0x00, 0x40, 0x06};
  ApplyPositionsRecord(state, status, false);
  EXPECT_EQ(state.status_byte, 7);
  EXPECT_EQ(state.status_word, 0x00040001u);
  EXPECT_EQ(state.axis_steps[0], 0x0640);  // two of its four bytes arrived
  EXPECT_EQ(state.axis_steps[7], 0);
  state.StepScaleX = 0.0;
  state.steps_per_turn2 = 0;
  ApplyPositionsRecord(state, status, false);
  EXPECT_EQ(state.X1, 0);
  EXPECT_EQ(state.angle_third1, 0.0);
  const uint8_t speeds[] = {9, 0, 100};
  ApplySpeedsRecord(state, speeds);
  EXPECT_EQ(state.active_group, 9);
  EXPECT_EQ(state.group_periods[0], 200);
  EXPECT_EQ(state.active_period, 0);  // no such group
  ApplyIdentityRecord(state, {});
  EXPECT_EQ(state.x_range, 0);
  EXPECT_EQ(StatusBitNames(0x00140041u), "moving paused homed waits-for-go");
}

TEST(ReplyRecords, TurnsAreCountedWithinOneRevolution) {
  ControllerState state;
  state.steps_per_turn2 = 8000;
  state.steps_per_turn6 = 8000;
  std::array<uint8_t, 65> record{};
  const int32_t axis2 = -8500, axis6 = 20000;
  for (size_t i = 0; i < 4; ++i) {
    record[14 + i] = static_cast<uint8_t>(static_cast<uint32_t>(axis2) >> (8 * i));
    record[30 + i] = static_cast<uint8_t>(static_cast<uint32_t>(axis6) >> (8 * i));
  }
  ApplyPositionsRecord(state, record, false);
  EXPECT_EQ(state.third1, -500);
  EXPECT_EQ(state.third2, 4000);
  EXPECT_DOUBLE_EQ(state.angle_third1, -22.5);
  EXPECT_DOUBLE_EQ(state.angle_third2, 180.0);
  ApplyPositionsRecord(state, record, true);  // separate belts: steps over the third-axis scale
  EXPECT_EQ(state.third1, -8500);
}

TEST(Profiles, FollowTheModelCode) {
  EXPECT_EQ(ProfileOf("Qe").conveyor_factor, 2.0);
  EXPECT_EQ(ProfileOf("Qe").max_work_speed, 1000);
  EXPECT_EQ(ProfileOf("Qo").StepMultiplier, 3);
  EXPECT_EQ(ProfileOf("Qo").max_rapid_speed, 1300);
  EXPECT_EQ(ProfileOf("Qx").StepMultiplier, 2);
  EXPECT_EQ(ProfileOf("").max_conveyor_speed, 3000);
}

TEST_F(CommandSetQe, CalibrationOfQeComesFromTheController) {
  EXPECT_EQ(state_.model_code, "Qe");
  EXPECT_DOUBLE_EQ(state_.StepScaleX, 2.0);
  EXPECT_DOUBLE_EQ(state_.StepScaleZ, 1.25);
  EXPECT_EQ(state_.steps_per_turn2, 12800);
  EXPECT_EQ(state_.calibration4, 600);
  EXPECT_EQ(state_.conveyor_jog_length, 4850);
  // A failed calibration read gives scales of 1.0 (plus the corrections) and 50000 steps per turn.
  config_.SetNumber(Param::feKalibracjaY, -10);
  sim_.FailNextReads(10);
  ReadCalibration(link());
  EXPECT_DOUBLE_EQ(state_.StepScaleX, 1.0);
  EXPECT_DOUBLE_EQ(state_.StepScaleY, 0.9);
  EXPECT_EQ(state_.steps_per_turn6, 50000);
}

TEST_F(CommandSet, CalibrationOfQoAndOfUnknownModels) {
  state_.model_code = "Qo";
  sim_.ClearLog();
  ReadCalibration(link());
  EXPECT_EQ(state_.conveyor_jog_length, 8430);
  state_.model_code = "Zz";
  state_.steps_per_turn7 = 1234;
  ReadCalibration(link());
  EXPECT_DOUBLE_EQ(state_.StepScaleX, 1.0);
  EXPECT_EQ(state_.steps_per_turn7, 1234);
}

TEST_F(CommandSet, AFailedExtraReadKeepsTheCalibration) {
  ReadExtra(link());
  EXPECT_EQ(state_.extra2, 486);
  sim_.FailNextReads(10);
  ReadExtra(link());
  EXPECT_EQ(state_.extra1, 0);
  EXPECT_EQ(state_.extra2, 0);
  EXPECT_DOUBLE_EQ(state_.StepScaleX, 1.6);
  EXPECT_EQ(state_.steps_per_turn6, 50000);
}

TEST_F(CommandSet, SpeedConversions) {
  EXPECT_EQ(PeriodFromSpeed(state_, 10), PeriodFromSpeed(state_, 20));
  // 1000 mm/min at 1.6 steps per hundredth: 1e6 / 1.6 / 1666.67 / 0.8 = 468.75.
  EXPECT_EQ(PeriodFromSpeed(state_, 1000), 469);
  EXPECT_EQ(SpeedFromPeriod(state_, 469), 999);
  EXPECT_EQ(SpeedFromPeriod(state_, 0), 2000);
  ControllerState slow = state_;
  slow.StepScaleX = 0.0;
  EXPECT_EQ(PeriodFromSpeed(slow, 1000), 65535);
  EXPECT_EQ(SpeedFromPeriod(slow, 469), 0);
  slow.StepScaleX = 0.01;
  EXPECT_EQ(PeriodFromSpeed(slow, 20), 65535);
  EXPECT_EQ(PeriodFromSpeed(state_, 1e12), 1);
}

TEST_F(CommandSet, SetSpeedDividesByTheMultiplier) {
  state_.profile.StepMultiplier = 2;
  state_.active_group = 0;
  SetSpeed(link(), 5001);
  const std::vector<std::string> sent = Sent();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0], "56 00 c4 09");  // 2500
  EXPECT_EQ(sim_.group_period(0), 2500);
  EXPECT_EQ(state_.group_periods[0], 5000);
  EXPECT_EQ(state_.active_period, 5000);
}

TEST_F(CommandSet, SelectSpeedGroupSetsPowerSpeedAndGroup) {
  link().panel.power = 40;
  link().panel.speed = 1000;
  SelectSpeedGroup(link(), 2, kFromPanel);
  EXPECT_EQ(Sent(), (std::vector<std::string>{"53 04 00 00 00 00", "54 02 66", "56 02 75 00", "46 02"}));
  EXPECT_EQ(sim_.active_group(), 2);
  EXPECT_EQ(state_.heater_channel, 2);
  EXPECT_EQ(state_.heater_power, 102);
  sim_.ClearLog();
  config_.SetNumber(Param::Tasma_SzybkoscPrzes, 500);
  config_.SetNumber(Param::VerticalWire_power, 100);
  SelectSpeedGroup(link(), 3, kFromConfiguration);
  // Vertical power 100 % x 0.35; period of 500 mm/min, divided by the multiplier 4.
  EXPECT_EQ(Sent(), (std::vector<std::string>{"53 04 05 00 00 00", "54 03 59", "56 03 ea 00", "46 03"}));
  sim_.ClearLog();
  SelectSpeedGroup(link(), 1, 2, 4000);  // a period passed as it is
  EXPECT_EQ(Sent().at(2), "56 01 e8 03");
}

TEST_F(CommandSet, HeatingProceduresSleepOnTheClock) {
  config_.SetNumber(Param::CzasRozgrzewania, 2500);
  state_.heater_channel = 2;
  state_.heater_power = 200;
  int64_t before = clock_.NowMs();
  HeaterOn(link());
  EXPECT_EQ(clock_.NowMs() - before, 2500);
  ReadStatus(link());
  EXPECT_TRUE(state_.Has(kStatusHeating));
  sim_.ClearLog();
  before = clock_.NowMs();
  HeatingToggle(link());
  EXPECT_EQ(clock_.NowMs() - before, 2001);
  EXPECT_EQ(Sent(), (std::vector<std::string>{"54 02 1a", "52 00 02", "54 02 c8"}));
  EXPECT_FALSE(sim_.heater_on(2));
  EXPECT_EQ(sim_.heater_power(2), 200);
  ReadStatus(link());
  sim_.ClearLog();
  HeatingToggle(link());
  EXPECT_EQ(Sent(), std::vector<std::string>{"52 01 02"});
}

TEST_F(CommandSet, AQoWhoseVerticalWireIsOnIsNotSwitchedAgain) {
  state_.model_code = "Qo";
  state_.heater_state = 5;
  const int64_t before = clock_.NowMs();
  HeaterOn(link());
  EXPECT_TRUE(sim_.commands().empty());
  EXPECT_EQ(clock_.NowMs(), before);
  EXPECT_TRUE(IsModelQo(state_));
  EXPECT_DOUBLE_EQ(PowerFactor(state_, 0), 1.0);
  EXPECT_DOUBLE_EQ(PowerFactor(state_, 5), 0.35);
  EXPECT_DOUBLE_EQ(PowerFactor(state_, 3), 0.0);
}

class CommandSetQo : public CommandSet {
 protected:
  CommandSetQo() : CommandSet("Qo") {}
};

TEST_F(CommandSetQo, TheVerticalWireOfAQoIsOnWithItsOutput) {
  EXPECT_EQ(state_.profile.StepMultiplier, 3);
  SetVerticalPower(link(), kFromConfiguration);
  ReadHeaters(link());
  EXPECT_EQ(state_.heater_state, 5);
  EXPECT_EQ(state_.heater_channel, 3);
  sim_.ClearLog();
  HeaterOn(link());  // already on: nothing is sent
  EXPECT_TRUE(sim_.commands().empty());
  ReadStatus(link());
  EXPECT_TRUE(state_.Has(kStatusHeating));
  SetPowerOutput(link(), 0);
  ReadStatus(link());
  EXPECT_FALSE(state_.Has(kStatusHeating));
}

TEST_F(CommandSet, AFailedWriteShowsTheLostLinkWithTheErrorAsCaption) {
  sim_.FailNextWrites(1, kHidAccessDenied);
  EXPECT_FALSE(SendCommand(link(), GoCommand()));
  ASSERT_EQ(op_.messages().size(), 1u);
  EXPECT_EQ(op_.messages()[0].text, ControlText("ploterBrakLacznosci"));
  EXPECT_EQ(op_.messages()[0].caption, "5");
  EXPECT_TRUE(op_.messages()[0].is_error);
  // A move stops at the first failed piece.
  sim_.FailNextWrites(1, kHidIoDevice);
  EXPECT_FALSE(SendMove(link(), AxisSteps{100, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_TRUE(sim_.commands().empty());
  // A busy device is not a failure: the command goes again after a pause.
  sim_.FailNextWrites(1);
  EXPECT_TRUE(SendCommand(link(), StopMoveCommand()));
  EXPECT_EQ(op_.messages().size(), 2u);
  ASSERT_EQ(sim_.commands().size(), 1u);
  EXPECT_EQ(sim_.commands()[0], "Y");
}

// One box per lost link inside an operation, whoever tells it first; nested operations share it; a renewed link
// is told again; outside an operation every loss is told.
TEST_F(CommandSet, AnOperationTellsItsLostLinkOnce) {
  sim_.Unplug();
  {
    EndAtLostLink operation(link());
    EXPECT_FALSE(operation.lost());
    ShowLinkLost(link(), "Goto point");
    EXPECT_TRUE(operation.lost());
    {
      EndAtLostLink inner(link());
      EXPECT_TRUE(inner.lost());
      EXPECT_FALSE(SendCommand(link(), GoCommand()));
      ShowLinkLost(link());
    }
    EXPECT_FALSE(SendCommand(link(), StopMoveCommand()));
    ASSERT_EQ(op_.messages().size(), 1u);
    EXPECT_EQ(op_.messages()[0].caption, "Goto point");
    operation.LinkRenewed();
    EXPECT_FALSE(SendCommand(link(), GoCommand()));
    EXPECT_EQ(op_.messages().size(), 2u);
  }
  EXPECT_FALSE(SendCommand(link(), GoCommand()));
  ShowLinkLost(link());
  EXPECT_EQ(op_.messages().size(), 4u);
}

TEST_F(CommandSet, WithoutControllerEveryCommandReportsMinusOne) {
  sim_.Unplug();
  ReadStatus(link());  // ten failed attempts lose the controller
  EXPECT_EQ(state_.status_word, 0u);
  EXPECT_FALSE(SendCommand(link(), GoCommand()));
  EXPECT_EQ(op_.messages().back().caption, "-1");
}

TEST_F(CommandSet, AMoveIsOneReportPerGroup) {
  state_.profile.StepMultiplier = 2;
  ASSERT_TRUE(SendMove(link(), AxisSteps{100, 0, 0, 0, 0, 0, 0, 0}));
  ASSERT_EQ(sim_.reports().size(), 3u);
  EXPECT_EQ(Sent(), (std::vector<std::string>{"41 ff 00 00 00 00", "41 00 64 00 00 00", "41 fe c8 00 00 00"}));
  EXPECT_FALSE(SendMove(link(), AxisSteps{0, 0, 0, 0, 0, 0, 0, 77}));
  EXPECT_EQ(sim_.reports().size(), 3u);
}

TEST_F(CommandSet, PositionsAreStepsDividedByTheScales) {
  ReadPositions(link());
  EXPECT_EQ(state_.X1, 0);  // not homed: counted from where it was switched on
  ASSERT_TRUE(SendMove(link(), AxisSteps{1600, 1518, 0, 0, -16, 0, 0, 0}));
  ASSERT_TRUE(WaitIdle(link()));
  ReadPositions(link());
  EXPECT_EQ(state_.axis_steps[0], 1600);
  EXPECT_EQ(state_.X1, 1000);
  EXPECT_EQ(state_.Y1, 1000);  // 1518 / 1.5184 = 999.7
  EXPECT_EQ(state_.X2, -10);
  EXPECT_EQ(state_.Y2, 0);
}

TEST_F(CommandSet, WaitIdleDropsInputWhileTheMachineMoves) {
  SetSpeed(link(), 469 * 4);  // about 1000 mm/min in the active group
  op_.InjectInputAfter(3, PendingInput::kKeyPress);
  const int64_t before = clock_.NowMs();
  ASSERT_TRUE(SendMove(link(), AxisSteps{1600, 0, 0, 0, 0, 0, 0, 0}));  // 10 mm
  EXPECT_TRUE(WaitIdle(link()));
  // 1600 steps x 4 x 469 ticks of 0.8 us: 2.4 s.
  EXPECT_NEAR(static_cast<double>(clock_.NowMs() - before), 2401, 3);
  EXPECT_GT(op_.polls(), 2000);
  EXPECT_FALSE(state_.waiting);
}

TEST_F(CommandSet, WaitIdleGivesUpOnAControllerThatNeverStops) {
  sim_.SetStuckMoving(true);
  link().wait_limit_ms = 5000;
  const int64_t before = clock_.NowMs();
  EXPECT_FALSE(WaitIdle(link()));
  EXPECT_NEAR(static_cast<double>(clock_.NowMs() - before), 5000, 2);
  EXPECT_FALSE(state_.waiting);
  // The absolute move waits the same bounded time and then goes on.
  MoveTo(link(), true, true, 0, 0, 10);
  EXPECT_TRUE(MoveGroup(0).has_value());
}

TEST_F(CommandSet, JogRightBeforeHomingTravelsAtMostTheXRange) {
  config_.SetNumber(Param::Pauza_w_kacie, 300);
  const int64_t before = clock_.NowMs();
  Jog(link(), kKeyRight);
  // 4800 mm x 100 x 1.6 steps.
  EXPECT_EQ(MoveGroup(0), 768000);
  EXPECT_EQ(MoveGroup(4), 768000);
  EXPECT_FALSE(MoveGroup(1));
  EXPECT_EQ(state_.last_move, LastMove::kJog);
  // Heated for the warm-up time, then the corner pause.
  EXPECT_GE(clock_.NowMs() - before, 1000 + 300);
  EXPECT_TRUE(sim_.heater_on(2));
  ASSERT_TRUE(WaitIdle(link()));
  // The arm stops at its limit switch, 4800 mm from the lower one.
  EXPECT_EQ(sim_.PhysicalPositions()[0], 768000);
}

TEST_F(CommandSet, JogOnAHomedMachineGoesToTheEdge) {
  ASSERT_NO_FATAL_FAILURE(Home());
  EXPECT_EQ(state_.X1, 0);
  MoveTo(link(), true, true, 0, 200, 100);
  ASSERT_TRUE(WaitIdle(link()));
  ReadPositions(link());
  EXPECT_EQ(state_.X1, 10000);
  EXPECT_EQ(state_.Y1, 20000);
  sim_.ClearLog();
  Jog(link(), kKeyLeft);
  EXPECT_EQ(MoveGroup(0), -16000);
  StopMove(link());
  sim_.ClearLog();
  Jog(link(), kKeyNumpad1);  // down-left by the smaller distance
  EXPECT_EQ(MoveGroup(0), -16000);
  EXPECT_EQ(MoveGroup(1), -15184);
  StopMove(link());
  sim_.ClearLog();
  Jog(link(), kKeyUp);
  EXPECT_EQ(MoveGroup(1), HundredthsToSteps(220000, 1.5184));
}

TEST_F(CommandSet, ConveyorJogMovesTheChosenBeltsWithTheConveyorSpeed) {
  config_.SetChecked(Param::Heavy, true);
  link().panel.active_belts = 1;
  Jog(link(), kKeyComma);
  EXPECT_EQ(MoveGroup(6), -2 * 4618 * 100);
  EXPECT_FALSE(MoveGroup(2));
  EXPECT_FALSE(MoveGroup(0));
  EXPECT_TRUE(state_.conveyor_moved);
  EXPECT_EQ(sim_.active_group(), 3);
  EXPECT_EQ(sim_.setting(kSettingHeavyMaterial), 1);
  StopMove(link());
  sim_.ClearLog();
  link().panel.active_belts = 2;
  Jog(link(), kKeyPeriod);
  EXPECT_EQ(MoveGroup(2), 2 * 4618 * 100);
  EXPECT_EQ(MoveGroup(3), 2 * 4618 * 100);
  EXPECT_FALSE(MoveGroup(6));
  sim_.ClearLog();
  Jog(link(), 65);  // not a jog key
  EXPECT_TRUE(sim_.commands().empty());
}

TEST_F(CommandSet, MoveToClampsTheTargetsToTheWorkingRange) {
  ASSERT_NO_FATAL_FAILURE(Home());
  MoveTo(link(), true, true, 0, -5, 9000);
  EXPECT_EQ(MoveGroup(0), 768000);
  EXPECT_FALSE(MoveGroup(1));  // y = 0 is where it stands
  EXPECT_EQ(state_.last_move, LastMove::kPositioning);
  ASSERT_TRUE(WaitIdle(link()));
  sim_.ClearLog();
  // Inches: 1 in = 25.4 mm; only side B moves.
  config_.SetCurrentUnit(kUnitInch);
  MoveTo(link(), false, true, 0, 1, 1);
  EXPECT_FALSE(MoveGroup(0));
  EXPECT_EQ(MoveGroup(4), HundredthsToSteps(2540, 1.6) - 768000);
  EXPECT_EQ(MoveGroup(5), HundredthsToSteps(2540, 1.5184));
}

TEST_F(CommandSet, MoveByStopsAtZeroAndAtTheLimit) {
  ASSERT_NO_FATAL_FAILURE(Home());
  MoveBy(link(), true, true, 0, 100, -50);
  EXPECT_FALSE(MoveGroup(0));  // already at X 0
  EXPECT_EQ(MoveGroup(1), 15184);
  ASSERT_TRUE(WaitIdle(link()));
  sim_.ClearLog();
  MoveBy(link(), true, false, 0, 5000, 0);
  EXPECT_EQ(MoveGroup(1), HundredthsToSteps(230000, 1.5184));
  EXPECT_FALSE(MoveGroup(5));
  ASSERT_TRUE(WaitIdle(link()));
  sim_.ClearLog();
  // The third axis: belt 3 by the millimetres, axis 6 by a 360th of them.
  MoveBy(link(), true, true, 36, 0, 0);
  EXPECT_EQ(MoveGroup(3), 3600);
  EXPECT_EQ(MoveGroup(6), 10);
  EXPECT_FALSE(MoveGroup(2));
  EXPECT_TRUE(state_.conveyor_moved);
}

TEST_F(CommandSet, MoveBySeparateBeltsFollowTheChoice) {
  link().separate_third_axes = true;
  link().panel.active_belts = 0;
  MoveBy(link(), true, true, -10, 0, 0);
  EXPECT_EQ(MoveGroup(2), -1000);
  EXPECT_EQ(MoveGroup(6), -1000);
  EXPECT_EQ(MoveGroup(3), -1000);
}

TEST_F(CommandSet, StartPointIsSentInSteps) {
  state_.start_x = 1000;
  state_.start_y = -250;
  SetStartPoint(link());
  EXPECT_EQ(Sent(), std::vector<std::string>{"55 40 06 00 00 84 fe ff ff"});
  EXPECT_EQ(sim_.start_point()[0], 1600);
  EXPECT_EQ(sim_.start_point()[1], -380);
  SetPowerOutput(link(), 5);
  SetUnit(link(), 2);
  EXPECT_EQ(sim_.setting(kSettingPowerOutput), 5);
  EXPECT_EQ(sim_.setting(kSettingUnit), 2);
}

TEST_F(CommandSet, HeatersAreReadBackFromTheController) {
  SetHorizontalPower(link(), 2, 180);
  SendCommand(link(), HeaterOnCommand(2));
  state_.heater_power = 0;
  ReadHeaters(link());
  EXPECT_EQ(state_.heater_channel, 2);
  EXPECT_EQ(state_.heater_state, 0);
  EXPECT_EQ(state_.heater_power, 180);
  EXPECT_EQ(state_.heater_table[2], 180 | (1 << 16));
  sim_.FailNextReads(10);
  ReadHeaters(link());
  EXPECT_EQ(state_.heater_power, 180);  // unchanged by a failed read
}

}  // namespace
}  // namespace varnholt
