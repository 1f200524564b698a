// The move-wire dialog's rules against the simulated controller on virtual time: the two kinds of move, the third
// field's label, and the motion and heater test loops with the ways they end.

#include <gtest/gtest.h>

#include <fstream>

#include "config/display_unit.h"
#include "control/move_wire.h"
#include "control_test_support.h"
#include "link/byte_order.h"
#include "support/temp_folder.h"

namespace varnholt {
namespace {

class MoveWire : public ControlTest {
 protected:
  // The step values the controller received on one axis, one per move, in order.
  std::vector<int32_t> AxisMoves(uint8_t axis) const {
    std::vector<int32_t> moves;
    for (const CommandBytes& command : sim_.commands()) {
      if (command[0] == 'A' && static_cast<uint8_t>(command[1]) == axis) {
        moves.push_back(ReadI32(std::span(reinterpret_cast<const uint8_t*>(command.data()), command.size()), 2));
      }
    }
    return moves;
  }
  void Settle() {
    WaitIdle(link());
    ReadPositions(link());
  }
};

TEST_F(MoveWire, MovesToMachineCoordinatesOrByValuesInTheDisplayUnit) {
  config_.SetCurrentUnit(kUnitInch);
  ExecuteMoveWire(link(), {MoveWireKind::kToMachineCoordinates, 100.0, 10.0, 0.0, true, true});
  Settle();
  EXPECT_EQ(state_.X1, 254000);  // 100 inch
  EXPECT_EQ(state_.X2, 254000);
  EXPECT_EQ(state_.Y1, 25400);
  // By a value, on side 2 only.
  ExecuteMoveWire(link(), {MoveWireKind::kByValue, -1.0, 2.0, 0.0, false, true});
  Settle();
  EXPECT_EQ(state_.X1, 254000);
  EXPECT_EQ(state_.X2, 254000 - 2540);
  EXPECT_EQ(state_.Y2, 25400 + 5080);
  EXPECT_EQ(state_.Y1, 25400);
  // A target beyond the working range is cut to its edge.
  config_.SetCurrentUnit(kUnitMm);
  sim_.ClearLog();
  ExecuteMoveWire(link(), {MoveWireKind::kToMachineCoordinates, 2540.0, 99999.0, 0.0, true, true});
  EXPECT_EQ(AxisMoves(1), (std::vector<int32_t>{(state_.y_range * 100 - 25400) * 2}));
}

TEST_F(MoveWire, TheThirdLabelNamesTheRotaryDevice) {
  const ThirdFieldLabel spindle = ThirdFieldLabelFor(0, UsTexts());
  EXPECT_EQ(spindle.caption, "&S=");
  EXPECT_EQ(spindle.hint, "Spindle");
  const ThirdFieldLabel table = ThirdFieldLabelFor(1, UsTexts());
  EXPECT_EQ(table.caption, "&T=");
  EXPECT_EQ(table.hint, "Table");
  for (int none : {2, -1}) {
    const ThirdFieldLabel z = ThirdFieldLabelFor(none, UsTexts());
    EXPECT_EQ(z.caption, "&Z=");
    EXPECT_EQ(z.hint, "");
  }
  // A first letter of more than one byte stays whole.
  testing::TempFolder folder;
  std::ofstream(folder.folder() + "Varnholt_US.xml")
      << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<interface name=\"Varnholt\" version=\"2.7\">\n"
         " <Configuration>\n  <stolikswitch.Item0 str=\"\xC5\x9Alimak\"/>\n </Configuration>\n</interface>\n";
  const tInterfejs texts(InterfaceSetup{folder.folder(), {}, 1, "2.7"});
  EXPECT_EQ(ThirdFieldLabelFor(0, texts).caption, "&\xC5\x9A=");
}

TEST_F(MoveWire, MotionTestWithZeroValuesOnlyWaitsUntilAKeyIsPressed) {
  rounds_.PressAfter(3, PendingInput::kKeyPress);
  std::vector<std::pair<uint32_t, uint32_t>> counts;
  const int64_t start = clock_.NowMs();
  EXPECT_EQ(RunMotionTest(link(), MoveWireValues{}, [&](uint32_t failures, uint32_t busy) {
              counts.emplace_back(failures, busy);
            }),
            ServiceLoopEnd::kOperatorInput);
  EXPECT_EQ(CommandsOf('A'), 0u);
  EXPECT_EQ(counts.size(), 3u);
  EXPECT_EQ(counts.back(), std::make_pair(0u, 0u));
  EXPECT_GE(clock_.NowMs() - start, 3 * 22);  // 22 idle waits of at least 1 ms a round
  EXPECT_TRUE(messages().empty());
}

TEST_F(MoveWire, MotionTestMovesOutAndBackEachRoundUntilALeftPress) {
  config_.SetCurrentUnit(kUnitInch);
  ReadPositions(link());
  const int32_t x1 = state_.X1, y1 = state_.Y1;
  rounds_.PressAfter(2, PendingInput::kLeftPress);
  EXPECT_EQ(RunMotionTest(link(), MoveWireValues{MoveWireKind::kByValue, 1.0, 0.5, 0.0, true, true}, {}),
            ServiceLoopEnd::kOperatorInput);
  // One inch in X at 2 steps per hundredth, half an inch in Y; both arms.
  EXPECT_EQ(AxisMoves(0), (std::vector<int32_t>{5080, -5080, 5080, -5080}));
  EXPECT_EQ(AxisMoves(4), AxisMoves(0));
  EXPECT_EQ(AxisMoves(1), (std::vector<int32_t>{2540, -2540, 2540, -2540}));
  EXPECT_TRUE(AxisMoves(6).empty());
  ReadPositions(link());
  EXPECT_EQ(state_.X1, x1);
  EXPECT_EQ(state_.Y1, y1);
}

TEST_F(MoveWire, MotionTestMovesTheThirdAxesByTurns) {
  rounds_.PressAfter(1, PendingInput::kKeyPress);
  RunMotionTest(link(), MoveWireValues{MoveWireKind::kByValue, 0.0, 0.0, 0.01, true, true}, {});
  const int32_t steps = state_.steps_per_turn6;  // 0.01 x steps per turn x 100
  for (const uint8_t axis : {uint8_t{2}, uint8_t{6}, uint8_t{3}}) EXPECT_EQ(AxisMoves(axis), (std::vector<int32_t>{steps, -steps})) << int{axis};
}

TEST_F(MoveWire, MotionTestEndsAtOnceWithoutAController) {
  sim_.Unplug();
  EXPECT_EQ(RunMotionTest(link(), MoveWireValues{MoveWireKind::kByValue, 10.0, 0.0, 0.0, true, true}, {}),
            ServiceLoopEnd::kNotConnected);
  EXPECT_EQ(CommandsOf('A'), 0u);
  EXPECT_EQ(rounds_.polls(), 0);
}

TEST_F(MoveWire, APulledCableEndsEitherLoopWithOneLostLinkBox) {
  rounds_.PressAfter(1000, PendingInput::kKeyPress);
  rounds_.OnRepaint([this](int round) {
    if (round == 2) sim_.Unplug();
  });
  EXPECT_EQ(RunMotionTest(link(), MoveWireValues{MoveWireKind::kByValue, 10.0, 5.0, 0.0, true, true}, {}),
            ServiceLoopEnd::kLinkLost);
  ASSERT_EQ(messages().size(), 1u);
  EXPECT_EQ(messages()[0].text, ControlText("ploterBrakLacznosci"));

  sim_.Replug();
  usb_->DeviceChange();
  rounds_.recorded() = ScriptedOperator{};
  rounds_.OnRepaint([this](int round) {
    if (round == 4) sim_.Unplug();
  });
  EXPECT_EQ(RunHeaterTest(link()), ServiceLoopEnd::kLinkLost);
  ASSERT_EQ(messages().size(), 1u);
  EXPECT_EQ(messages()[0].text, ControlText("ploterBrakLacznosci"));
}

TEST_F(MoveWire, HeaterTestSwitchesOnAndOffUntilAPress) {
  config_.SetNumber(Param::CzasRozgrzewania, 2000);
  rounds_.PressAfter(2, PendingInput::kLeftPress);
  const int64_t start = clock_.NowMs();
  EXPECT_EQ(RunHeaterTest(link()), ServiceLoopEnd::kOperatorInput);
  std::vector<int> switches;  // 1 on, 0 off
  for (const CommandBytes& command : sim_.commands()) {
    if (command[0] == 'R') switches.push_back(command[1]);
  }
  EXPECT_EQ(switches, (std::vector<int>{1, 0, 1, 0}));
  EXPECT_FALSE(sim_.heater_on(state_.heater_channel));
  // Each round: the switch-on's own warm-up and one more, the switch-off's two seconds, a warm-up off.
  EXPECT_GE(clock_.NowMs() - start, 2 * (3 * 2000 + 2000));
  EXPECT_TRUE(messages().empty());
}

}  // namespace
}  // namespace varnholt
