#include "files/resume_program.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "files/program_writer.h"
#include "link/command_bytes.h"
#include "link/move_record.h"
#include "support/bytes.h"
#include "support/temp_folder.h"

namespace varnholt {
namespace {

using testing::Bytes;

// The commands of a program, each as its bytes.
std::vector<std::string> Commands(std::string_view program) {
  std::vector<std::string> commands;
  for (size_t at = 0; at < program.size();) {
    const auto length = static_cast<size_t>(*CommandLength(static_cast<uint8_t>(program[at] & ~0x20)));
    commands.emplace_back(program.substr(at, length));
    at += length;
  }
  return commands;
}

int64_t PauseMs(const std::vector<std::string>& commands) {
  int64_t ms = 0;
  for (const std::string& c : commands) {
    if (c[0] == 'p') ms += static_cast<uint8_t>(c[1]);
  }
  return ms;
}

bool Has(const std::vector<std::string>& commands, const std::string& command) {
  return std::find(commands.begin(), commands.end(), command) != commands.end();
}

class Resume : public ::testing::Test {
 protected:
  Resume() {
    config_.SetNumber(Param::Pauza_w_kacie, 300);
    config_.SetNumber(Param::CzasRozgrzewania, 2000);
    config_.SetNumber(Param::work_power, 60);
    machine_.profile.StepMultiplier = 2;
    ProgramWriter writer(machine_, config_);
    writer.OpenProgram(folder_.PathOf("out.cn"));
    writer.WriteHeader();
    // A square of plotter units, with corners that take pauses.
    for (const auto& [x, y] : std::vector<std::pair<int32_t, int32_t>>{{400, 0}, {400, 800}, {1200, 800}, {1200, 0},
                                                                        {0, 0}}) {
      writer.MoveArmsTo(x, y);
    }
    writer.FinishProgram();
    program_ = writer.bytes();
    path_ = *ProgramPath::Replay(program_, machine_.axis_steps);
  }

  std::optional<ResumeProgram> At(const WirePlace& place, const AxisPosition& position) {
    return BuildResumeProgram(program_, path_, place, position, machine_, config_);
  }

  testing::TempFolder folder_;
  ControllerState machine_;
  Configuration config_;
  std::string program_;
  ProgramPath path_;
};

TEST_F(Resume, InsideAMoveTheWireGoesOnToItsEndAndThenTheProgramAsItIs) {
  ASSERT_EQ(path_.moves().size(), 5u);
  const PathMove& move = path_.moves()[2];
  AxisPosition position = path_.From(2);
  for (size_t axis = 0; axis < 8; ++axis) position[axis] += (move.to[axis] - position[axis]) * 3 / 10;
  const auto resume = At(WirePlace{2, 0.3}, position);
  ASSERT_TRUE(resume);
  EXPECT_TRUE(resume->partial);
  EXPECT_EQ(resume->copied_from, move.end_offset);
  ASSERT_GE(resume->bytes.size(), program_.size() - move.end_offset);
  EXPECT_EQ(resume->bytes.substr(resume->bytes.size() - (program_.size() - move.end_offset)),
            program_.substr(move.end_offset));

  AxisSteps start{};
  for (size_t axis = 0; axis < 8; ++axis) start[axis] = static_cast<int32_t>(position[axis]);
  const auto resumed = ProgramPath::Replay(resume->bytes, start);
  ASSERT_TRUE(resumed);
  ASSERT_EQ(resumed->moves().size(), 3u);
  EXPECT_EQ(resumed->moves()[0].to, move.to);
  EXPECT_EQ(resumed->moves().back().to, path_.moves().back().to);
  // The rest of the move goes at the speed its steps ask for, at the program's step multiplier.
  const std::string rest = resume->bytes.substr(resumed->moves()[0].offset, resumed->moves()[0].end_offset -
                                                                               resumed->moves()[0].offset);
  AxisSteps steps{};
  for (size_t axis = 0; axis < 8; ++axis) steps[axis] = static_cast<int32_t>(move.to[axis] - position[axis]);
  EXPECT_EQ(rest, BuildMoveRecord('a', 2, steps).bytes);

  // Before it: the program's speeds and the cutting wire on, warmed up, with the cutting speed selected last.
  const std::vector<std::string> header = Commands(resume->bytes.substr(0, resumed->moves()[0].offset));
  const std::vector<std::string> written = Commands(program_.substr(0, path_.moves()[0].offset));
  // The last word of each speed group, setting key and heater power the program gave.
  std::map<std::string, std::string> last;
  for (const std::string& c : written) {
    if (c[0] == 'v' || c[0] == 't' || c[0] == 's') last[c.substr(0, 2)] = c;
  }
  ASSERT_EQ(last.size(), 4u) << "two speed groups, the heater selection and the wire's power";
  for (const auto& [key, c] : last) EXPECT_TRUE(Has(header, c)) << "missing " << c[0];
  EXPECT_TRUE(Has(header, Bytes({'r', 1, 1})));
  EXPECT_FALSE(Has(header, Bytes({'r', 0, 1}))) << "the wire switched off again";
  EXPECT_GE(PauseMs(header), 2000);
  EXPECT_EQ(header.back(), Bytes({'f', 1}));
  EXPECT_EQ(resume->prefix_commands, static_cast<int64_t>(header.size()) + 4) << "the header and the rest of the move";

  // The commands of out.cn a controller that took some of the resumed program holds.
  EXPECT_EQ(resume->ProgramCommands(0), move.last_command + 1);
  EXPECT_EQ(resume->ProgramCommands(resume->prefix_commands + 5), move.last_command + 1 + 5);
}

TEST_F(Resume, AtAMovesBeginningTheProgramGoesOnWithWhatStandsBeforeThatMove) {
  // The corner pause in front of move 3 is part of the rest of the program.
  const auto resume = At(WirePlace{3, 0.0}, path_.From(3));
  ASSERT_TRUE(resume);
  EXPECT_FALSE(resume->partial);
  const size_t from = path_.moves()[2].end_offset;
  EXPECT_EQ(program_[from], 'p');
  EXPECT_EQ(resume->bytes.substr(resume->bytes.size() - (program_.size() - from)), program_.substr(from));
  EXPECT_EQ(resume->ProgramCommands(0), path_.moves()[2].last_command + 1);
  AxisSteps start{};
  for (size_t axis = 0; axis < 8; ++axis) start[axis] = static_cast<int32_t>(path_.From(3)[axis]);
  EXPECT_EQ(ProgramPath::Replay(resume->bytes, start)->moves().size(), 2u);
}

TEST_F(Resume, FromTheStartItIsTheProgramAndAtItsEndThereIsNothingToResume) {
  const auto whole = At(WirePlace{0, 0.0}, path_.start());
  ASSERT_TRUE(whole);
  EXPECT_EQ(whole->bytes, program_);
  EXPECT_FALSE(At(WirePlace{5, 0.0}, path_.moves().back().to));
}

TEST(ResumeHeating, AWireTheProgramSwitchedOffStaysOffAndTheWireHeatedIsTheOneThatWasOn) {
  ControllerState machine;
  Configuration config;
  config.SetNumber(Param::CzasRozgrzewania, 3000);
  const std::string move = BuildMoveRecord('a', 2, ArmMoveSteps(100, 100, 0, 0, 0, 0)).bytes;
  // The vertical wire on for a feed, then off; the move after it is a travel with no wire on.
  const std::string program = Bytes({'p', 1, 's', 4, 5, 0, 0, 0, 'p', 1, 't', 3, 90, 'r', 1, 3, 'p', 1, 'f', 3}) +
                              move + Bytes({'p', 1, 'r', 0, 3, 'p', 1, 'f', 0}) + move + move;
  const ProgramPath path = *ProgramPath::Replay(program, AxisSteps{});
  const auto cold = BuildResumeProgram(program, path, WirePlace{1, 0.5}, path.From(1), machine, config);
  ASSERT_TRUE(cold);
  const std::vector<std::string> header = Commands(cold->bytes.substr(0, cold->bytes.find('a')));
  EXPECT_FALSE(Has(header, Bytes({'r', 1, 3})));
  EXPECT_LT(PauseMs(header), 100) << "a warm-up with no wire on";
  EXPECT_EQ(header.back(), Bytes({'f', 0}));

  const auto hot = BuildResumeProgram(program, path, WirePlace{0, 0.5}, path.From(0), machine, config);
  ASSERT_TRUE(hot);
  const std::vector<std::string> heated = Commands(hot->bytes.substr(0, hot->bytes.find('a')));
  EXPECT_TRUE(Has(heated, Bytes({'r', 1, 3})));
  EXPECT_FALSE(Has(heated, Bytes({'r', 1, 1})));
  EXPECT_TRUE(Has(heated, Bytes({'s', 4, 5, 0, 0, 0})));
  EXPECT_GE(PauseMs(heated), 3000);
}

}  // namespace
}  // namespace varnholt
