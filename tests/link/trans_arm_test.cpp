// The transmission: bursts, Go after the 17th command, progress and spinner, the buffer-full bit, damaged
// programs, busy and lost links.

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "geometry/run_time_error.h"
#include "link/trans_arm.h"
#include "services/placeholder_text.h"
#include "link_test_support.h"
#include "support/temp_folder.h"

namespace varnholt {
namespace {

// A stored pause of 1 ms: a two-byte command the simulated controller keeps in its program.
const std::string kPause("p\x01", 2);

std::string Repeat(const std::string& command, int times) {
  std::string bytes;
  for (int i = 0; i < times; ++i) bytes += command;
  return bytes;
}

class Transmission : public SimulatedLink {
 protected:
  void SetUp() override {
    SimulatedLink::SetUp();
    transmission_.emplace(link(), flags_, folder_.folder());
  }
  TTransArm& trans() { return *transmission_; }

  void WriteProgram(const std::string& bytes) { folder_.Write("out.cn", bytes); }
  // Runs the timer until the transmission ends, advancing the clock by each interval; returns the ticks taken.
  int RunToEnd(int tick_limit = 10000) {
    int ticks = 0;
    while (trans().running() && ticks < tick_limit) {
      const int interval = trans().tick();
      ++ticks;
      clock_.Advance(interval);
    }
    return ticks;
  }
  // Commands the controller took as stored-program commands.
  size_t StoredCommands() const {
    return static_cast<size_t>(std::count_if(sim_.commands().begin(), sim_.commands().end(),
                                             [](const CommandBytes& command) { return (command[0] & 0x20) != 0; }));
  }
  std::vector<std::string> ProgressTexts() const {
    std::vector<std::string> texts;
    for (const std::string& text : op_.status_history()) {
      if (text.starts_with(UsTexts().GetText("Transmission", "przeslano") + " ")) texts.push_back(text);
    }
    return texts;
  }

  testing::TempFolder folder_;
  RunFlags flags_;
  std::optional<TTransArm> transmission_;
};

TEST_F(Transmission, AnEmptyProgramEndsAtTheFirstTickWithNothingSent) {
  WriteProgram("");
  ASSERT_TRUE(trans().start());
  EXPECT_TRUE(trans().running());
  EXPECT_EQ(trans().tick(), 0);
  EXPECT_FALSE(trans().running());
  EXPECT_TRUE(sim_.commands().empty());
  EXPECT_EQ(op_.status(0), UsTexts().GetText("Transmission", "transmisjaZakonczona"));
  const size_t texts = op_.status_history().size();
  trans().stop();  // a second stop changes nothing
  EXPECT_EQ(op_.status_history().size(), texts);
}

TEST_F(Transmission, SixteenCommandsGoInOneTickWithoutGo) {
  WriteProgram(Repeat(kPause, 16));
  ASSERT_TRUE(trans().start());
  EXPECT_EQ(trans().tick(), TTransArm::kBurstIntervalMs);
  EXPECT_EQ(sim_.commands().size(), 16u);
  EXPECT_EQ(RunToEnd(), 1);
  EXPECT_FALSE(trans().go_sent_after());
  EXPECT_FALSE(flags_.ProgramStarted);
  EXPECT_EQ(sim_.program_size(), 16u) << "the program waits on the controller";
}

TEST_F(Transmission, TwoHundredFiftyCommandsGoAsThreeBurstsWithGoAfterTheSeventeenth) {
  WriteProgram(Repeat(kPause, 250));
  ASSERT_TRUE(trans().start());
  EXPECT_EQ(trans().tick(), TTransArm::kBurstIntervalMs);
  ASSERT_EQ(sim_.commands().size(), 101u);
  EXPECT_EQ(sim_.commands()[16], kPause);
  EXPECT_EQ(sim_.commands()[17], "G");
  EXPECT_EQ(sim_.commands()[18], kPause);
  EXPECT_TRUE(flags_.ProgramStarted);
  EXPECT_EQ(trans().go_sent_after(), 17);
  EXPECT_EQ(trans().tick(), TTransArm::kBurstIntervalMs);
  EXPECT_EQ(trans().commands_sent(), 200);
  EXPECT_EQ(trans().tick(), TTransArm::kBurstIntervalMs);
  EXPECT_EQ(trans().commands_sent(), 250);
  EXPECT_EQ(trans().tick(), 0);
  EXPECT_EQ(ProgressTexts(), (std::vector<std::string>{"Sent 40% \\", "Sent 80% |", "Sent 100% /"}));
  EXPECT_EQ(StoredCommands(), 250u);

  // The spinner goes on where the last transmission left it.
  WriteProgram(Repeat(kPause, 3));
  ASSERT_TRUE(trans().start());
  EXPECT_EQ(trans().commands_sent(), 0);
  RunToEnd();
  EXPECT_EQ(ProgressTexts().back(), "Sent 100% --");
  EXPECT_EQ(trans().transmissions_started(), 2);
}

TEST_F(Transmission, ALowerCaseMoveIsSixBytesLongLikeItsCapital) {
  const std::string move = BuildMoveRecord('a', 2, AxisSteps{100, 0, 0, 0, 0, 0, 0, 0}).bytes;
  ASSERT_EQ(move.size(), 18u);
  WriteProgram(move + kPause);
  ASSERT_TRUE(trans().start());
  RunToEnd();
  EXPECT_EQ(trans().commands_sent(), 4);
  ASSERT_EQ(sim_.commands().size(), 4u);
  EXPECT_EQ(sim_.commands()[0], move.substr(0, 6));
  EXPECT_EQ(sim_.commands()[2], move.substr(12, 6));
}

TEST_F(Transmission, AFullBufferHoldsTheStreamAtFiftyMillisecondsWithoutSpinner) {
  // Pauses of 250 ms: the program runs on through the ten seconds the buffer is held full.
  WriteProgram(Repeat(std::string("p\xfa", 2), 150));
  ASSERT_TRUE(trans().start());
  trans().tick();
  sim_.HoldBufferFull(true);
  for (int i = 0; i < 200; ++i) {  // ten seconds
    ASSERT_EQ(trans().tick(), TTransArm::kBufferFullIntervalMs);
    clock_.Advance(TTransArm::kBufferFullIntervalMs);
  }
  EXPECT_EQ(trans().commands_sent(), 100);
  EXPECT_EQ(trans().progress_text(), "Sent 67% ");
  EXPECT_TRUE(op_.messages().empty());
  sim_.HoldBufferFull(false);
  RunToEnd();
  EXPECT_EQ(StoredCommands(), 150u);
}

// A step that comes late fills the controller's buffer again instead of adding one burst; a program that ran out
// of commands all the same (the computer stood still longer than the buffer lasts) is no end of the cut: the
// transmission ends it as incomplete, the controller is cleared and cooled, and the operator told.
TEST_F(Transmission, ALateStepRefillsTheBufferAndAProgramThatRanDryEndsTheCutIncomplete) {
  WriteProgram(std::string("r\x01\x01", 3) + Repeat(std::string("p\x0a", 2), 2000));  // heated, 20 s of pauses
  ASSERT_TRUE(trans().start());
  trans().tick();
  ASSERT_EQ(trans().commands_sent(), 100);
  clock_.Advance(500);
  trans().tick();
  EXPECT_GT(StoredCommands(), 800u) << "a late step fills the buffer";
  EXPECT_TRUE(link().gate.sending_rest());
  EXPECT_TRUE(sim_.heater_on(1));
  EXPECT_TRUE(op_.messages().empty());
  EXPECT_EQ(trans().dry_spells(), 0);

  clock_.Advance(30'000);
  EXPECT_EQ(trans().tick(), 0);
  EXPECT_FALSE(trans().running());
  EXPECT_FALSE(link().gate.sending_rest());
  EXPECT_FALSE(flags_.ProgramStarted);
  EXPECT_EQ(trans().dry_spells(), 1);
  EXPECT_FALSE(sim_.heater_on(1));
  ASSERT_EQ(op_.messages().size(), 1u);
  EXPECT_NE(op_.messages()[0].text.find(std::to_string(trans().commands_sent())), std::string::npos);
}

TEST_F(Transmission, ADamagedProgramIsNotSentAndTheMessageNamesTheOffset) {
  const std::string damage_text = UsTexts().GetText("Transmission", "programUszkodzony");
  // 0x7B is '{' and becomes '[' without bit 0x20: no command begins with it.
  WriteProgram(Repeat(kPause, 20) + "\x7b" + kPause);
  EXPECT_FALSE(trans().start());
  EXPECT_FALSE(trans().running());
  ASSERT_EQ(op_.messages().size(), 1u);
  EXPECT_EQ(op_.messages()[0].text, damage_text + "40");
  // A move cut short by the end of the file.
  WriteProgram(kPause + std::string("a\xff\x00", 3));
  EXPECT_FALSE(trans().start());
  EXPECT_EQ(op_.messages().back().text, damage_text + "2");
  EXPECT_EQ(trans().tick(), 0);
  EXPECT_TRUE(sim_.commands().empty());
  EXPECT_EQ(TTransArm::DamageOffset(Repeat(kPause, 3)), std::nullopt);
  EXPECT_EQ(TTransArm::DamageOffset(std::string(1, '\0')), 0u) << "bit 0x20 cleared leaves 0, below '@'";
}

TEST_F(Transmission, AMissingProgramFileIsAFileErrorNamingIt) {
  try {
    trans().start();
    FAIL() << "started without a program";
  } catch (const RunTimeError& error) {
    EXPECT_EQ(std::string(error.what()), "I/O error 2: no such file or directory (" + folder_.PathOf("out.cn") + ")");
  }
  EXPECT_FALSE(trans().running());
}

TEST_F(Transmission, BusyErrorsInABurstDelayTheStreamButLoseNothing) {
  WriteProgram(Repeat(kPause, 120));
  ASSERT_TRUE(trans().start());
  sim_.FailNextWrites(9);
  RunToEnd();
  EXPECT_EQ(StoredCommands(), 120u);
  EXPECT_EQ(usb_->busy_count(), 9u);
  EXPECT_TRUE(op_.messages().empty());
}

TEST_F(Transmission, AControllerBusyForGoodEndsTheCutAsIncompleteAndIsStoppedOnceItTakesCommands) {
  WriteProgram(Repeat(kPause, 120));
  ASSERT_TRUE(trans().start());
  sim_.FailNextWrites(20);  // the command and the stop that follows it: ten tries each
  RunToEnd();
  EXPECT_FALSE(trans().running());
  EXPECT_FALSE(link().gate.transmitting());
  EXPECT_EQ(trans().commands_sent(), 1);
  // The controller is there: no lost link, but the incomplete cut, and it could not be stopped yet.
  EXPECT_EQ(LostLinkBoxes(op_), 0u);
  ASSERT_EQ(op_.messages().size(), 1u);
  EXPECT_EQ(op_.messages()[0].text, FillPlaceholders(ControlText("ciecieNiepelneZajety"), {"1"}) + " " +
                                        ControlText("ciecieNieZatrzymane"));
  EXPECT_TRUE(link().gate.cooling_due());
}

TEST_F(Transmission, AFailedWriteToAReachableControllerStopsItsProgramAndSwitchesEveryHeaterOff) {
  WriteProgram(Repeat(kPause, 120));
  ASSERT_TRUE(trans().start());
  trans().tick();
  sim_.SetWireBroken(false);
  SendCommand(link(), HeaterOnCommand(kHorizontalWireChannel));
  sim_.FailNextWrites(1, kHidIoDevice);
  RunToEnd();
  EXPECT_EQ(trans().commands_sent(), 101);
  ASSERT_EQ(op_.messages().size(), 1u);
  EXPECT_EQ(op_.messages()[0].text, FillPlaceholders(ControlText("ciecieNiepelne"), {"101", std::to_string(kHidIoDevice)}) +
                                        " " + ControlText("ciecieZatrzymane"));
  EXPECT_FALSE(sim_.HorizontalWireHot());
  EXPECT_EQ(sim_.program_size(), 0u) << "the part it holds is cleared";
  EXPECT_FALSE(link().gate.cooling_due());
}

TEST_F(Transmission, APulledCableGivesOneBoxAndStopsTheTimer) {
  WriteProgram(Repeat(kPause, 500));
  ASSERT_TRUE(trans().start());
  trans().tick();
  sim_.Unplug();
  EXPECT_EQ(trans().tick(), 0);
  EXPECT_FALSE(trans().running());
  EXPECT_EQ(LostLinkBoxes(op_), 1u);
  EXPECT_EQ(StoredCommands(), 100u) << "the controller keeps what it received";
}

TEST_F(Transmission, ACableReplacedBetweenTwoTicksEndsTheTransmission) {
  WriteProgram(Repeat(kPause, 500));
  ASSERT_TRUE(trans().start());
  trans().tick();
  sim_.Unplug();
  usb_->PollDeviceEvents();
  sim_.Replug();
  usb_->PollDeviceEvents();
  ASSERT_TRUE(usb_->present());
  EXPECT_EQ(trans().tick(), 0);
  EXPECT_EQ(LostLinkBoxes(op_), 1u);
  EXPECT_EQ(StoredCommands(), 100u) << "nothing goes after the reset controller lost the beginning";
}

}  // namespace
}  // namespace varnholt
