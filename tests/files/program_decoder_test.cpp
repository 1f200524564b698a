#include "files/program_decoder.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>
#include "support/bytes.h"

namespace varnholt {
namespace {

using testing::Bytes;

std::string Move(int axis, int steps, int count) {
  std::string move = Bytes({'a', 0xFF, 0, 0, 0, 0, 'a', axis});
  for (int shift = 0; shift < 32; shift += 8) move.push_back(static_cast<char>((static_cast<uint32_t>(steps) >> shift) & 0xFF));
  return move + Bytes({'a', 0xFE, count & 0xFF, (count >> 8) & 0xFF, 0, 0});
}

TEST(ProgramDecoder, CommandsArgumentsAndSummary) {
  // Speeds of 1000 mm/min (750 / 2), cutting group, a heater, out 10 mm and back with a 300 ms pause.
  const std::string program = Bytes({'v', 0, 0x77, 0x01, 'v', 1, 0x77, 0x01, 'f', 1, 's', 4, 5, 0, 0, 0, 't', 1,
                                     102, 'r', 1, 1}) +
                              Move(0, 1000, 2000) + Bytes({'p', 0xFA, 'p', 0x32}) + Move(0, -1000, 2000) +
                              Bytes({'r', 0, 1});
  const DecodedProgram decoded = DecodeProgram(program, ControllerState{});
  ASSERT_FALSE(decoded.damage_offset) << decoded.damage;
  ASSERT_EQ(decoded.commands.size(), 11u);
  EXPECT_EQ(decoded.commands[0].text, "speed group 0 period 375 (1000 mm/min)");
  EXPECT_EQ(decoded.commands[2].text, "select speed group 1");
  EXPECT_EQ(decoded.commands[3].text, "setting 4 heater selection = 5 (vertical wire)");
  EXPECT_EQ(decoded.commands[4].text, "heater channel 1 power 102");
  EXPECT_EQ(decoded.commands[5].text, "heater channel 1 on");
  EXPECT_EQ(decoded.commands[6].offset, 22u);
  EXPECT_EQ(decoded.commands[6].letter, 'a');
  EXPECT_EQ(decoded.commands[6].text, "move X1=1000 count=2000");
  EXPECT_EQ(decoded.commands[9].text, "move X1=-1000 count=2000");
  const ProgramSummary& summary = decoded.summary;
  EXPECT_EQ(summary.moves, 2u);
  EXPECT_EQ(summary.bytes, program.size());
  EXPECT_EQ(summary.pause_ms, 300);
  EXPECT_EQ(summary.travel_steps[0], 2000);
  EXPECT_TRUE(summary.ends_where_it_started);
  // 2 x 2000 interpolation steps at 375 ticks of 0.8 us, and the pause: 1.2 s + 0.3 s.
  EXPECT_NEAR(summary.run_seconds, 1.5, 1e-9);

  EXPECT_FALSE(DecodeProgram(Move(1, 5, 10), ControllerState{}).summary.ends_where_it_started);
}

TEST(ProgramDecoder, DamageIsReportedWithItsOffset) {
  const auto damage = [](const std::string& bytes) {
    const DecodedProgram decoded = DecodeProgram(bytes, ControllerState{});
    return std::make_pair(decoded.damage_offset.value_or(SIZE_MAX), decoded.damage);
  };
  EXPECT_EQ(damage(Bytes({'p', 1, '?', 0})), std::make_pair(size_t{2}, std::string("the byte 0x3F begins no command")));
  EXPECT_EQ(damage(Bytes({'p', 1, 's', 4, 0})),
            std::make_pair(size_t{2}, std::string("the command 's' needs 6 bytes, 3 remain")));
  EXPECT_EQ(damage(Move(0, 1, 2).substr(0, 12)).first, 0u) << "a move without its count";
  EXPECT_EQ(damage(Move(0, 1, 2).substr(0, 12) + Bytes({'p', 1})).first, 12u);
  EXPECT_EQ(damage(Bytes({'a', 0x09, 0, 0, 0, 0})).first, 0u) << "a group outside a move";
  EXPECT_EQ(damage(Bytes({'a', 0xFF, 0, 0, 0, 0, 'a', 0x09, 1, 0, 0, 0})).first, 6u) << "an unknown axis";
  EXPECT_FALSE(DecodeProgram("", ControllerState{}).damage_offset);
}

TEST(ProgramDecoder, FedInPiecesOfAnySizeDecodesAsAWhole) {
  // Commands cut between pieces wait for their rest; damage, a command cut short by the end and the byte count
  // come out as they do for the program held whole.
  const std::string sound = Bytes({'v', 0, 0x77, 0x01, 'f', 0, 's', 4, 0, 0, 0, 0}) + Move(0, 1000, 2000) +
                            Bytes({'p', 0xFA}) + Move(4, -7, 3) + Bytes({'r', 0, 1});
  for (const std::string& program : {sound, sound + Bytes({'?', 'p', 1}), sound + Bytes({'s', 4, 0}),
                                     sound.substr(0, 20), std::string()}) {
    const DecodedProgram whole = DecodeProgram(program, ControllerState{});
    for (size_t piece = 1; piece <= 13; ++piece) {
      std::vector<DecodedCommand> commands;
      ProgramDecoder decoder(ControllerState{}, [&commands](const DecodedCommand& c) { commands.push_back(c); });
      for (size_t at = 0; at < program.size(); at += piece) decoder.Feed(std::string_view(program).substr(at, piece));
      decoder.Finish();
      const DecodedProgram& fed = decoder.result();
      ASSERT_EQ(commands.size(), whole.commands.size()) << "piece " << piece;
      for (size_t i = 0; i < commands.size(); ++i) {
        EXPECT_EQ(commands[i].offset, whole.commands[i].offset);
        EXPECT_EQ(commands[i].letter, whole.commands[i].letter);
        EXPECT_EQ(commands[i].text, whole.commands[i].text);
      }
      EXPECT_EQ(fed.damage_offset, whole.damage_offset) << "piece " << piece;
      EXPECT_EQ(fed.damage, whole.damage);
      EXPECT_EQ(decoder.damaged(), whole.damage_offset.has_value());
      EXPECT_EQ(fed.summary.bytes, program.size());
      EXPECT_EQ(fed.summary.commands, whole.summary.commands);
      EXPECT_EQ(fed.summary.net_steps, whole.summary.net_steps);
      EXPECT_EQ(fed.summary.ends_where_it_started, whole.summary.ends_where_it_started);
      EXPECT_EQ(fed.summary.pause_ms, whole.summary.pause_ms);
    }
    // The summary alone, without the commands kept.
    const ProgramSummary summary = SummarizeProgram(program, ControllerState{});
    EXPECT_EQ(summary.moves, whole.summary.moves);
    EXPECT_EQ(summary.pause_ms, whole.summary.pause_ms);
    EXPECT_EQ(summary.commands, whole.summary.commands);
  }
}

}  // namespace
}  // namespace varnholt
