#include "link/move_record.h"

#include <gtest/gtest.h>

#include <string>

#include "link/command_framing.h"
#include "link/speed_conversion.h"

namespace varnholt {
namespace {

std::string Bytes(std::initializer_list<int> values) {
  std::string bytes;
  for (const int v : values) bytes.push_back(static_cast<char>(v));
  return bytes;
}

TEST(CommandFraming, LengthsByLetterInBothCases) {
  EXPECT_EQ(CommandLength('A'), 6u);
  EXPECT_EQ(CommandLength('a'), 6u);
  EXPECT_EQ(CommandLength('U'), 7u);
  EXPECT_EQ(CommandLength('s'), 6u);
  EXPECT_EQ(CommandLength('v'), 4u);
  EXPECT_EQ(CommandLength('N'), 4u);
  EXPECT_EQ(CommandLength('p'), 2u);
  EXPECT_EQ(CommandLength('r'), 3u);
  EXPECT_EQ(CommandLength('t'), 3u);
  EXPECT_EQ(CommandLength('@'), 1u);
  EXPECT_EQ(CommandLength('Z'), 1u);
  for (const int letter : {0, int{'?'}, int{'['}, int{'`'}, int{'{'}, 0xFF, 0xC1}) {
    EXPECT_EQ(CommandLength(static_cast<uint8_t>(letter)), 0u) << letter;
  }
}

TEST(MoveRecord, HundredStepsOnAxisZeroAsADirectCommand) {
  const MoveRecord record = BuildMoveRecord('A', 2, AxisSteps{100, 0, 0, 0, 0, 0, 0, 0});
  EXPECT_EQ(record.interpolation, 200);
  EXPECT_EQ(record.bytes, Bytes({0x41, 0xFF, 0, 0, 0, 0, 0x41, 0x00, 0x64, 0, 0, 0, 0x41, 0xFE, 0xC8, 0, 0, 0}));
}

TEST(MoveRecord, TenMillimetresOfX1InAProgram) {
  // 1000 steps: round(sqrt(1000000.5)) = 1000, times the multiplier 2.
  const MoveRecord record = BuildMoveRecord('a', 2, 1000, 0, 0, 0, 0, 0);
  EXPECT_EQ(record.interpolation, 2000);
  EXPECT_EQ(record.bytes, Bytes({'a', 0xFF, 0, 0, 0, 0, 'a', 0x00, 0xE8, 0x03, 0, 0, 'a', 0xFE, 0xD0, 0x07, 0, 0}));
}

TEST(MoveRecord, ZGoesToTheThreeBeltAxesAndAxisSevenDoesNotCount) {
  const MoveRecord z = BuildMoveRecord('a', 3, 0, 0, 0, 0, 5, 0);
  EXPECT_EQ(z.interpolation, 15);
  EXPECT_EQ(z.bytes, Bytes({'a', 0xFF, 0, 0, 0, 0, 'a', 0x02, 5, 0, 0, 0, 'a', 0x06, 5, 0, 0, 0, 'a', 0x03, 5, 0, 0,
                            0, 'a', 0xFE, 15, 0, 0, 0}));
  EXPECT_TRUE(BuildMoveRecord('A', 2, AxisSteps{0, 0, 0, 0, 0, 0, 0, 77}).bytes.empty());
  EXPECT_TRUE(BuildMoveRecord('a', 2, 0, 0, 0, 0, 0, 0).bytes.empty());

  // Groups in the order 0, 4, 1, 5, 2, 6, 3, 7; negative steps little-endian; the longest arm sets the count.
  const MoveRecord both = BuildMoveRecord('a', 2, -3, 4, 0, 0, 0, 0);
  EXPECT_EQ(both.bytes, Bytes({'a', 0xFF, 0, 0, 0, 0, 'a', 0x00, 0xFD, 0xFF, 0xFF, 0xFF, 'a', 0x04, 4, 0, 0, 0, 'a',
                               0xFE, 8, 0, 0, 0}));
  // sqrt(3^2 + 4^2 + 0.5) = 5.05 rounds to 5.
  EXPECT_EQ(InterpolationSteps(AxisSteps{3, 4, 0, 0, 0, 0, 0, 0}), 5);
  EXPECT_EQ(InterpolationSteps(AxisSteps{0, 0, 0, 0, 1, 0, 0, 0}), 1);
  EXPECT_EQ(InterpolationSteps(AxisSteps{0, 0, 0, 0, 0, 0, 2, 0}), 2) << "axis 6 counts with either arm";
}

TEST(MoveRecord, CountsBeyondTheInt32RangeAreNotWritten) {
  const MoveRecord huge = BuildMoveRecord('a', 4, INT32_MAX, INT32_MIN, INT32_MAX, INT32_MIN, 0, 0);
  EXPECT_GT(huge.interpolation, INT32_MAX);
  EXPECT_TRUE(huge.bytes.empty());
}

TEST(SpeedConversion, PeriodsAndSpeeds) {
  EXPECT_EQ(PeriodFromSpeed(1000, 1.0), 750);
  EXPECT_EQ(PeriodFromSpeed(10, 1.0), PeriodFromSpeed(20, 1.0));
  EXPECT_EQ(PeriodFromSpeed(20, 1.0), 37500);
  EXPECT_EQ(PeriodFromSpeed(20, 0.25), 65535) << "saturates instead of wrapping";
  EXPECT_EQ(PeriodFromSpeed(1000, 0.0), 65535);
  EXPECT_EQ(SpeedFromPeriod(0, 1.0, 1300), 1300);
  EXPECT_EQ(SpeedFromPeriod(750, 1.0, 1300), 1000);
  EXPECT_EQ(PeriodForGroup(5001, 2), 2500);
  EXPECT_EQ(PeriodForGroup(750, 3), 250);
  EXPECT_EQ(PeriodForGroup(750, 0), 750);
}

}  // namespace
}  // namespace varnholt
