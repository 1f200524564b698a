// The simulated controller: stored programs in virtual time, the bounded buffer, homing, firmware memory, the
// reply records and the injected faults.

#include <gtest/gtest.h>

#include "link/byte_order.h"
#include "link/controller_ops.h"
#include "link_test_support.h"

namespace varnholt {
namespace {

class Simulator : public SimulatedLink {
 protected:
  explicit Simulator(const std::string& model = "Qa") : SimulatedLink(model) {}

  // Sends one stored-program command as the transmission does.
  [[nodiscard]] bool Store(const CommandBytes& command) { return SendCommand(link(), command); }
  [[nodiscard]] bool StoreMove(const AxisSteps& steps) {
    return Store(BuildMoveRecord('a', state_.profile.StepMultiplier, steps).bytes);
  }
  uint32_t Status() {
    ReadStatus(link());
    return state_.status_word;
  }
  ReplyRecordBytes Record(int index) {
    EXPECT_EQ(usb_->ReadString(index), 0);
    return usb_->ReplyRecord();
  }
};

class SimulatorQe : public Simulator {
 protected:
  SimulatorQe() : Simulator("Qe") {}
};

TEST_F(Simulator, AStoredProgramWaitsForGoAndRunsInVirtualTime) {
  ASSERT_TRUE(Store(CommandBytes("v\x01\x64\x00", 4)));  // period 100 ticks in group 1
  ASSERT_TRUE(Store(CommandBytes("f\x01", 2)));
  ASSERT_TRUE(Store(CommandBytes("r\x01\x01", 3)));
  ASSERT_TRUE(StoreMove(AxisSteps{1000, 0, 0, 0, 1000, 0, 0, 0}));  // 4000 x 100 x 0.8 us = 320 ms
  ASSERT_TRUE(Store(CommandBytes("p\xfa", 2)));
  ASSERT_TRUE(Store(CommandBytes("r\x00\x01", 3)));
  EXPECT_EQ(Status() & (kStatusProgramRunning | kStatusWaitsForGo | kStatusMoving),
            kStatusProgramRunning | kStatusWaitsForGo);
  EXPECT_EQ(sim_.Positions()[0], 0);
  ASSERT_TRUE(Store(GoCommand()));
  clock_.Advance(1);
  EXPECT_EQ(Status() & (kStatusProgramRunning | kStatusWaitsForGo | kStatusMoving | kStatusHeating),
            kStatusProgramRunning | kStatusMoving | kStatusHeating);
  clock_.Advance(160);
  EXPECT_NEAR(sim_.Positions()[0], 500, 5);
  clock_.Advance(160 + 200);
  EXPECT_EQ(Status() & (kStatusProgramRunning | kStatusMoving), kStatusProgramRunning);  // in the pause
  EXPECT_EQ(sim_.Positions()[0], 1000);
  clock_.Advance(60);
  EXPECT_EQ(Status() & (kStatusProgramRunning | kStatusHeating), 0u);
  EXPECT_EQ(sim_.programs_finished(), 1);
  EXPECT_EQ(sim_.moves_completed(), 1);
  EXPECT_EQ(sim_.Positions()[4], 1000);
}

// Streams a stored program as the transmission does: bursts of up to 100 commands, Go after the 17th, and a pause
// while the controller reports its buffer full. Every move must be executed, none lost.
TEST_F(Simulator, AStreamedProgramIsExecutedWhole) {
  std::vector<CommandBytes> program = {CommandBytes("v\x01\xe8\x03", 4), CommandBytes("f\x01", 2)};
  const MoveRecord move = BuildMoveRecord('a', state_.profile.StepMultiplier, AxisSteps{10, -3, 0, 0, 10, -3, 0, 0});
  for (int i = 0; i < 400; ++i) {
    for (size_t at = 0; at < move.bytes.size(); at += kMoveGroupLength) program.push_back(move.bytes.substr(at, 6));
  }
  size_t next = 0;
  bool saw_full = false;
  int ticks = 0;
  while (next < program.size() && ++ticks < 100000) {
    ReadStatus(link());
    if (state_.Has(kStatusBufferFull)) {
      saw_full = true;
      clock_.Advance(50);
      continue;
    }
    for (int burst = 0; burst < 100 && next < program.size(); ++burst) {
      ASSERT_TRUE(Store(program[next++]));
      if (next == 17) {
        ASSERT_TRUE(Store(GoCommand()));
      }
    }
    clock_.Advance(1);
  }
  EXPECT_TRUE(saw_full);
  EXPECT_EQ(sim_.lost_commands(), 0u);
  ASSERT_TRUE(WaitIdle(link()));
  for (int i = 0; i < 1000 && (Status() & kStatusProgramRunning); ++i) clock_.Advance(10);
  EXPECT_EQ(sim_.moves_completed(), 400);
  EXPECT_EQ(sim_.programs_finished(), 1);
  EXPECT_EQ(sim_.Positions()[0], 4000);
  EXPECT_EQ(sim_.Positions()[1], -1200);
  EXPECT_EQ(sim_.Positions()[5], -1200);
}

TEST_F(Simulator, TheProgramBufferIsBoundedAndReportsFull) {
  for (size_t i = 0; i < sim::kProgramCapacity - sim::kProgramHeadroom; ++i) {
    ASSERT_TRUE(Store(CommandBytes("p\x01", 2)));
  }
  EXPECT_FALSE(Status() & kStatusBufferFull);
  ASSERT_TRUE(Store(CommandBytes("p\x01", 2)));
  EXPECT_TRUE(Status() & kStatusBufferFull);
  for (size_t i = 0; i < sim::kProgramHeadroom + 5; ++i) ASSERT_TRUE(Store(CommandBytes("p\x01", 2)));
  EXPECT_EQ(sim_.program_size(), sim::kProgramCapacity);
  EXPECT_EQ(sim_.lost_commands(), 6u);
  ASSERT_TRUE(Store(GoCommand()));
  clock_.Advance(200);
  EXPECT_FALSE(Status() & kStatusBufferFull);
  ASSERT_TRUE(Store(ClearProgramCommand()));
  EXPECT_EQ(sim_.program_size(), 0u);
  EXPECT_EQ(Status() & kStatusProgramRunning, 0u);
}

TEST_F(Simulator, StopPausesTheMoveAndResumeFinishesIt) {
  ASSERT_TRUE(Store(CommandBytes("v\x00\x64\x00", 4)));
  ASSERT_TRUE(StoreMove(AxisSteps{2000, 0, 0, 0, 0, 0, 0, 0}));  // 8000 x 100 x 0.8 us = 640 ms
  ASSERT_TRUE(Store(GoCommand()));
  clock_.Advance(320);
  ASSERT_TRUE(Store(StopCommand()));
  EXPECT_EQ(Status() & (kStatusProgramRunning | kStatusPaused | kStatusMoving), kStatusPaused);
  const int32_t paused_at = sim_.Positions()[0];
  EXPECT_NEAR(paused_at, 1000, 5);
  clock_.Advance(5000);
  EXPECT_EQ(sim_.Positions()[0], paused_at);
  ASSERT_TRUE(Store(ResumeCommand()));
  EXPECT_TRUE(Status() & kStatusMoving);
  clock_.Advance(330);
  EXPECT_EQ(sim_.Positions()[0], 2000);
  EXPECT_EQ(Status() & (kStatusProgramRunning | kStatusPaused), 0u);
}

TEST_F(Simulator, HomingDrivesTheArmsToTheirSwitches) {
  EXPECT_FALSE(Status() & kStatusHomed);
  EXPECT_EQ(sim_.PhysicalPositions()[0], 160000);  // 1000 mm from the switch
  ASSERT_TRUE(Store(HomeStepCommand(0x11)));
  EXPECT_TRUE(Status() & kStatusMoving);
  ASSERT_TRUE(WaitIdle(link()));
  EXPECT_EQ(sim_.PhysicalPositions()[0], 0);
  EXPECT_EQ(sim_.PhysicalPositions()[4], 0);
  EXPECT_EQ(sim_.PhysicalPositions()[1], 75920);
  ASSERT_TRUE(Store(HomeStepCommand(0x22)));
  clock_.Advance(1000);
  ASSERT_TRUE(Store(StopMoveCommand()));  // a key press during the step stops it
  EXPECT_GT(sim_.PhysicalPositions()[1], 0);
  ASSERT_TRUE(Store(HomeCommand(0)));
  EXPECT_TRUE(Status() & kStatusHomed);
  ASSERT_EQ(sim_.commands().back().size(), 5u);
}

TEST_F(Simulator, ButtonsAreReportedOnce) {
  sim_.PressStartButton();
  EXPECT_TRUE(Status() & kStatusStartButton);
  EXPECT_FALSE(Status() & kStatusStartButton);
  sim_.PressStopButton();
  sim_.PressContinueButton();
  EXPECT_EQ(Status() & (kStatusStopButton | kStatusContinueButton), kStatusStopButton | kStatusContinueButton);
}

TEST_F(Simulator, ABrokenWireShowsWhileHeating) {
  sim_.SetWireBroken(true);
  EXPECT_FALSE(Status() & kStatusWireBroken);
  ASSERT_TRUE(Store(HeaterOnCommand(1)));
  EXPECT_EQ(Status() & (kStatusWireBroken | kStatusHeating), kStatusWireBroken | kStatusHeating);
  ReadExtra(link());
  EXPECT_EQ(state_.extra1, 0);  // no current through a broken wire
  sim_.SetWireBroken(false);
  EXPECT_FALSE(Status() & kStatusWireBroken);
  ReadExtra(link());
  EXPECT_EQ(state_.extra1, 32);
}

TEST_F(Simulator, FirmwareMemoryIsReadErasedAndWrittenWordByWord) {
  sim_.SetFirmwareVersion(1, 10);
  ASSERT_TRUE(Store(SettingCommand(kSettingFirmwareRead, kFirmwareStartAddress)));
  const ReplyRecordBytes first = Record(kReplyFirmware);
  EXPECT_EQ(first[0], 1);
  EXPECT_EQ(first[1], 10);
  EXPECT_EQ(ReadU16(first, 6), sim_.firmware_word(0));
  EXPECT_EQ(ReadU16(Record(kReplyFirmware), 6), sim_.firmware_word(1));
  ASSERT_TRUE(Store(SettingCommand(kSettingFirmwareErase, 0)));
  ASSERT_TRUE(Store(SettingCommand(kSettingFirmwareRead, kFirmwareStartAddress)));
  EXPECT_EQ(ReadU32(Record(kReplyFirmware), 6), 0x0000FFFFu);  // blank
  sim_.CorruptFirmwareWord(1, 0xBEEF);
  ASSERT_TRUE(Store(SettingCommand(kSettingFirmwareRead, kFirmwareStartAddress)));
  for (int32_t word : {0x1234, 0x5678, 0x9ABC}) {
    ASSERT_TRUE(Store(SettingCommand(kSettingFirmwareWrite, word)));
  }
  ASSERT_TRUE(Store(SettingCommand(kSettingFirmwareRead, kFirmwareStartAddress)));
  EXPECT_EQ(ReadU16(Record(kReplyFirmware), 6), 0x1234);
  EXPECT_EQ(ReadU16(Record(kReplyFirmware), 6), 0xBEEF);
  EXPECT_EQ(ReadU16(Record(kReplyFirmware), 6), 0x9ABC);
  EXPECT_EQ(ReadU16(Record(kReplyFirmware), 6), 0xFFFF);
}

TEST_F(SimulatorQe, RecordsHoldTheirFieldsAtTheirOffsets) {
  const ReplyRecordBytes identity = Record(kReplyIdentity);
  EXPECT_EQ(ReadI32(identity, 2), 4800);
  EXPECT_EQ(ReadI32(identity, 6), 2400);
  EXPECT_EQ(ReadI32(identity, 10), 4800);
  const ReplyRecordBytes calibration = Record(kReplyCalibration);
  EXPECT_EQ(ReadI64(calibration, 6), int64_t{2} << 24);
  EXPECT_EQ(ReadI64(calibration, 22), int64_t{5} << 22);  // 1.25
  EXPECT_EQ(ReadI32(calibration, 38), 12800);
  EXPECT_EQ(ReadI32(calibration, 54), 600);
  ASSERT_TRUE(Store(SetSpeedCommand(3, 777)));
  ASSERT_TRUE(Store(SelectSpeedCommand(3)));
  const ReplyRecordBytes speeds = Record(kReplySpeeds);
  EXPECT_EQ(speeds[0], 3);
  EXPECT_EQ(ReadU16(speeds, 8), 777);
  EXPECT_EQ(ReadU16(speeds, 10), 0);  // nothing moves
  ReadSpeeds(link());
  EXPECT_EQ(state_.active_period, 777 * 4);
  ASSERT_TRUE(Store(SettingCommand(kSettingStepMultiplier, 4)));
  EXPECT_EQ(sim_.step_multiplier(), 4);
}

TEST_F(Simulator, UnplugAndReplugAreDeviceChanges) {
  sim_.AddOtherDevice(HidDeviceInfo{"kbd", 1, 1, "quellmar", "Qa keyboard", ""}, true);
  usb_->DeviceChange();
  ASSERT_EQ(usb_->devices().size(), 2u);
  EXPECT_EQ(usb_->SelectedDevice()->id, sim::kSimulatedDeviceId);
  sim_.Unplug();
  EXPECT_FALSE(sim_.plugged());
  usb_->PollDeviceEvents();
  EXPECT_EQ(usb_->devices().size(), 1u);
  EXPECT_FALSE(usb_->present());
  usb_->PollDeviceEvents();  // nothing more to deliver
  sim_.Replug();
  usb_->PollDeviceEvents();
  EXPECT_TRUE(usb_->present());
  EXPECT_EQ(op_.status(0), ControlText("connected"));
}

TEST_F(Simulator, InjectedWriteFaultsLoseTheReportsTheLinkWritesAgain) {
  sim_.FailNextWrites(2);
  const int64_t before = clock_.NowMs();
  ASSERT_TRUE(Store(GoCommand()));
  ASSERT_TRUE(Store(StopCommand()));
  EXPECT_EQ(clock_.NowMs() - before, 1000);
  EXPECT_EQ(usb_->busy_count(), 2u);
  ASSERT_EQ(sim_.commands().size(), 2u);
  EXPECT_EQ(sim_.commands()[0], "G");
  EXPECT_EQ(sim_.commands()[1], "Q");
}

}  // namespace
}  // namespace varnholt
