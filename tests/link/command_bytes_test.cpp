// The byte strings of the commands and the move record.

#include <gtest/gtest.h>

#include "link/command_bytes.h"
#include "link/move_record.h"
#include "link_test_support.h"

namespace varnholt {
namespace {

TEST(CommandBytes, FixedCommandsAreTheirLetterAndArguments) {
  EXPECT_EQ(ResetCommand(), "X");
  EXPECT_EQ(StopMoveCommand(), "Y");
  EXPECT_EQ(StopCommand(), "Q");
  EXPECT_EQ(GoCommand(), "G");
  EXPECT_EQ(ResumeCommand(), "K");
  EXPECT_EQ(ClearProgramCommand(), "C");
  EXPECT_EQ(Hex(HomeCommand(0)), "4e 00 00 00 00");
  EXPECT_EQ(Hex(HomeStepCommand(0x22)), "42 22");
  EXPECT_EQ(Hex(SetStartPointCommand(-2, 0x01020304)), "55 fe ff ff ff 04 03 02 01");
  EXPECT_EQ(Hex(SetSpeedCommand(1, 2500)), "56 01 c4 09");
  EXPECT_EQ(Hex(SelectSpeedCommand(3)), "46 03");
  EXPECT_EQ(Hex(HeaterOnCommand(2)), "52 01 02");
  EXPECT_EQ(Hex(HeaterOffCommand(3)), "52 00 03");
  EXPECT_EQ(Hex(HeaterPowerCommand(2, 26)), "54 02 1a");
  EXPECT_EQ(Hex(SettingCommand(kSettingFirmwareRead, kFirmwareStartAddress)), "53 08 00 00 00 02");
}

TEST(CommandBytes, LengthsFollowTheLetterInEitherCase) {
  EXPECT_EQ(CommandLength('@'), 1);
  EXPECT_EQ(CommandLength('A'), 6);
  EXPECT_EQ(CommandLength('a'), 6);
  EXPECT_EQ(CommandLength('N'), 4);
  EXPECT_EQ(CommandLength('s'), 6);
  EXPECT_EQ(CommandLength('U'), 7);
  EXPECT_EQ(CommandLength('V'), 4);
  EXPECT_EQ(CommandLength('Z'), 1);
  EXPECT_EQ(CommandLength('`'), 1);  // "@" with the case bit
  EXPECT_FALSE(CommandLength('['));
  EXPECT_FALSE(CommandLength('0'));
  EXPECT_FALSE(CommandLength(0xFF));
  // Every command the program builds has its table length, except the two longer direct ones.
  for (const CommandBytes& command : {ResetCommand(), StopMoveCommand(), HomeStepCommand(1), SetSpeedCommand(0, 1),
                                      SelectSpeedCommand(1), HeaterOnCommand(1), HeaterPowerCommand(1, 1),
                                      SettingCommand(2, 1)}) {
    EXPECT_EQ(CommandLength(static_cast<uint8_t>(command[0])), static_cast<int>(command.size())) << command[0];
  }
  EXPECT_EQ(HomeCommand(0).size(), static_cast<size_t>(kDirectHomeLength));
  EXPECT_EQ(SetStartPointCommand(0, 0).size(), static_cast<size_t>(kDirectSetStartPointLength));
}

TEST(MoveRecord, HundredStepsOnAxisZeroIsEighteenBytes) {
  const MoveRecord record = BuildMoveRecord('A', 2, AxisSteps{100, 0, 0, 0, 0, 0, 0, 0});
  EXPECT_EQ(record.count, 200);
  EXPECT_EQ(Hex(record.bytes), "41 ff 00 00 00 00 41 00 64 00 00 00 41 fe c8 00 00 00");
}

TEST(MoveRecord, GroupsComeInAxisOrderAndOnlyForMovingAxes) {
  const MoveRecord record = BuildMoveRecord('a', 1, AxisSteps{1, 2, 3, 4, 5, 6, 7, 8});
  ASSERT_EQ(record.bytes.size(), 10 * kMoveGroupLength);
  std::string codes;
  for (size_t at = 0; at < record.bytes.size(); at += kMoveGroupLength) {
    EXPECT_EQ(record.bytes[at], 'a');
    codes += Hex(record.bytes.substr(at + 1, 1)) + " ";
  }
  EXPECT_EQ(codes, "ff 00 04 01 05 02 06 03 07 fe ");
  // n: the largest rounded length, sqrt(5^2 + 6^2 + 7^2 + 0.5) = 10.51 of axes 4, 5 and 6.
  EXPECT_EQ(record.count, 11);
}

TEST(MoveRecord, AxesThreeAndSevenDoNotCount) {
  EXPECT_TRUE(BuildMoveRecord('A', 2, AxisSteps{0, 0, 0, 0, 0, 0, 0, 500}).bytes.empty());
  EXPECT_TRUE(BuildMoveRecord('A', 2, AxisSteps{0, 0, 0, 9, 0, 0, 0, 0}).bytes.empty());
  EXPECT_TRUE(BuildMoveRecord('A', 2, AxisSteps{}).bytes.empty());
  EXPECT_EQ(InterpolationCount(AxisSteps{0, 0, 0, 9, 0, 0, 0, 500}, 2), 0);
  // One step anywhere that counts is a move of one step: sqrt(1.5) rounds to 1.
  EXPECT_EQ(BuildMoveRecord('A', 2, AxisSteps{0, 0, 0, 0, 0, 0, -1, 0}).count, 2);
  EXPECT_TRUE(BuildMoveRecord('A', 0, AxisSteps{10, 0, 0, 0, 0, 0, 0, 0}).bytes.empty());
  EXPECT_TRUE(BuildMoveRecord('A', -2, AxisSteps{10, 0, 0, 0, 0, 0, 0, 0}).bytes.empty());
}

TEST(MoveRecord, ArmMoveOfTenMillimetresAndConveyorOnlyMove) {
  // 10 mm of X1 at scale 1.0 is 1000 steps: n = round(sqrt(1000000.5)) = 1000, count 2000.
  const MoveRecord arm = BuildMoveRecord('a', 2, ArmMoveSteps(1000, 0, 0, 0, 0, 0));
  EXPECT_EQ(Hex(arm.bytes), "61 ff 00 00 00 00 61 00 e8 03 00 00 61 fe d0 07 00 00");
  const MoveRecord belt = BuildMoveRecord('a', 3, ArmMoveSteps(0, 0, 0, 0, 5, 0));
  EXPECT_EQ(Hex(belt.bytes),
            "61 ff 00 00 00 00 61 02 05 00 00 00 61 06 05 00 00 00 61 03 05 00 00 00 61 fe 0f 00 00 00");
}

TEST(MoveRecord, CountsThatDoNotFitAreNotSent) {
  const int32_t far = 2'000'000'000;
  EXPECT_FALSE(InterpolationCount(AxisSteps{far, far, 0, 0, 0, 0, 0, 0}, 4));
  EXPECT_TRUE(BuildMoveRecord('A', 4, AxisSteps{far, far, 0, 0, 0, 0, 0, 0}).bytes.empty());
  // Extremes are squared without overflow; the largest count that fits is still sent.
  EXPECT_EQ(InterpolationCount(AxisSteps{INT32_MAX, 0, 0, 0, 0, 0, 0, 0}, 1), int64_t{INT32_MAX});
  EXPECT_FALSE(InterpolationCount(AxisSteps{INT32_MIN, 0, 0, 0, 0, 0, 0, 0}, 1));
}

}  // namespace
}  // namespace varnholt
