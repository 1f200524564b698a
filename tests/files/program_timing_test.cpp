#include "files/program_timing.h"

#include <gtest/gtest.h>

#include <string>

#include "files/program_writer.h"
#include "link/command_bytes.h"
#include "support/bytes.h"

namespace varnholt {
namespace {

using testing::Bytes;

// A move closed by its interpolation count (the steps themselves do not decide the time).
std::string Move(int count, char letter = 'a') {
  const auto byte = [](int value, int shift) { return (value >> shift) & 0xFF; };
  std::string move = Bytes({0, 0xFF, 0, 0, 0, 0, 0, 0x00, 0x10, 0, 0, 0, 0, 0xFE, byte(count, 0),
                            byte(count, 8), byte(count, 16), byte(count, 24)});
  move[0] = move[6] = move[12] = letter;
  return move;
}

TEST(ProgramTiming, MovesRunAtTheSelectedGroupsPeriodAndPausesWait) {
  // Group 1 at 250 ticks, group 3 at 1000: 2000 steps in group 1 are 0.4 s, 500 steps in group 3 another 0.4
  // s.
  const std::string program = Bytes({'v', 1, 0xFA, 0x00, 'v', 3, 0xE8, 0x03, 'f', 1, 't', 1, 90, 'r', 1, 1}) +
                              Move(2000) + Bytes({'p', 0xFA, 'p', 0x32, 'F', 3}) + Move(500, 'A') +
                              Bytes({'s', 4, 5, 0, 0, 0, 'r', 0, 1, 'p', 0x00});
  EXPECT_NEAR(ProgramRunSeconds(program), 0.4 + 0.3 + 0.4, 1e-12);

  ProgramTimer timer;
  for (const std::string& command : {Bytes({'p', 7}), Bytes({'P', 3})}) {
    timer.Take({reinterpret_cast<const uint8_t*>(command.data()), command.size()});
  }
  EXPECT_EQ(timer.pause_ms(), 10);
}

TEST(ProgramTiming, WhatTakesNoTime) {
  EXPECT_EQ(ProgramRunSeconds(Move(5000)), 0.0) << "a group whose period was never set";
  EXPECT_EQ(ProgramRunSeconds(Bytes({'v', 0, 0x10, 0x00}) + Move(0) + Move(-7)), 0.0) << "no positive count";
  EXPECT_EQ(ProgramRunSeconds(Bytes({'v', 9, 0x10, 0x00, 'f', 9}) + Move(100)), 0.0)
      << "a group beyond the four";
  EXPECT_EQ(ProgramRunSeconds(""), 0.0);
}

TEST(ProgramTiming, DamageEndsTheCount) {
  EXPECT_NEAR(ProgramRunSeconds(Bytes({'p', 10, 0x01, 'p', 20})), 0.010, 1e-12)
      << "a byte that begins no command";
  EXPECT_NEAR(ProgramRunSeconds(Bytes({'p', 10, 'v', 0})), 0.010, 1e-12) << "a command cut short";
}

TEST(ProgramTiming, AWrittenCutTakesItsLengthAtTheCuttingSpeedPlusItsPauses) {
  Configuration config;
  config.SetNumber(Param::szybkoscObrobki, 1000);
  const ControllerState machine;  // scales 1.0, multiplier 2
  ProgramWriter writer(machine, config);
  writer.OpenProgram({});
  writer.WriteHeader();
  writer.SetArmPositions(0, 0, 0);
  writer.MoveArmsTo(4000, 0);  // 100 mm
  writer.FinishProgram();
  int64_t pause_ms = 0;
  const std::string& program = writer.bytes();
  for (size_t at = 0; at + 1 < program.size();
       at += static_cast<size_t>(*CommandLength(static_cast<uint8_t>(program[at])))) {
    if (program[at] == 'p') pause_ms += static_cast<uint8_t>(program[at + 1]);
  }
  ASSERT_GT(pause_ms, 2000) << "warm-up and switching off";
  EXPECT_NEAR(ProgramRunSeconds(program), 6.0 + static_cast<double>(pause_ms) / 1000.0, 1e-9);
}

}  // namespace
}  // namespace varnholt
