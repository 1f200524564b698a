// The link: device match, report framing, busy devices, failed reads and device changes.

#include <gtest/gtest.h>

#include <deque>
#include <map>

#include "link/tf_usb.h"
#include "link_test_support.h"

namespace varnholt {
namespace {

// A backend that answers from a script and records every call.
class ScriptedBackend final : public HidBackend {
 public:
  std::vector<HidDeviceInfo> devices;
  std::deque<int> write_results;  // popped per write; 0 when empty
  std::deque<int> read_results;   // popped per read; 0 when empty
  std::map<std::string, int> open_results;
  std::vector<std::pair<std::string, HidReport>> writes;
  std::vector<std::string> opened, closed;
  int reads = 0;
  std::function<void()> handler;

  std::vector<HidDeviceInfo> Enumerate() override { return devices; }
  int Open(const std::string& id) override {
    opened.push_back(id);
    return open_results.count(id) != 0 ? open_results[id] : 0;
  }
  void Close(const std::string& id) override { closed.push_back(id); }
  int WriteReport(const std::string& id, const HidReport& report) override {
    writes.emplace_back(id, report);
    return Pop(write_results);
  }
  int GetIndexedString(const std::string&, int index, std::span<uint8_t> buffer, size_t available) override {
    ++reads;
    const int result = Pop(read_results);
    if (result == 0) {
      EXPECT_EQ(available, 255u);
      EXPECT_GE(buffer.size(), 255u);
      for (size_t i = 0; i < 70; ++i) buffer[i] = static_cast<uint8_t>(static_cast<size_t>(index) + i);
    }
    return result;
  }
  void SetDeviceChangeHandler(std::function<void()> h) override { handler = std::move(h); }
  void PollEvents() override {}

 private:
  static int Pop(std::deque<int>& results) {
    if (results.empty()) return 0;
    const int result = results.front();
    results.pop_front();
    return result;
  }
};

HidDeviceInfo Device(const std::string& id, const std::string& manufacturer, const std::string& product) {
  return HidDeviceInfo{id, 1, 2, manufacturer, product, "S-" + id};
}

class LinkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    backend_.devices = {Device("mouse", "Logi", "Qa mouse"), Device("ctl", "Quellmar", "Qe 4800")};
  }
  TfUsb& Create() {
    usb_ = std::make_unique<TfUsb>(backend_, UsTexts());
    backend_.writes.clear();
    return *usb_;
  }
  // The payload bytes 1..64 of the n-th recorded report.
  std::string Payload(size_t n) const {
    const HidReport& report = backend_.writes.at(n).second;
    return std::string(reinterpret_cast<const char*>(report.data() + 1), 64);
  }

  VirtualClock clock_;
  ScopedClock installed_clock_{clock_};
  ScriptedOperator op_;
  ScopedOperator installed_operator_{op_};
  ScriptedBackend backend_;
  std::unique_ptr<TfUsb> usb_;
};

TEST(DeviceMatch, ManufacturerExactlyAndOneOfTheThreeModelCodes) {
  EXPECT_TRUE(IsControllerDevice(Device("a", "Quellmar", "Qa")));
  EXPECT_TRUE(IsControllerDevice(Device("a", "Quellmar", "Qo-2")));
  EXPECT_FALSE(IsControllerDevice(Device("a", "quellmar", "Qa")));
  EXPECT_FALSE(IsControllerDevice(Device("a", "QUELLMAR", "Qa")));
  EXPECT_FALSE(IsControllerDevice(Device("a", "Quellmar ", "Qa")));
  EXPECT_FALSE(IsControllerDevice(Device("a", "Quellmar", "QA")));
  EXPECT_FALSE(IsControllerDevice(Device("a", "Quellmar", "Qb")));
  EXPECT_FALSE(IsControllerDevice(Device("a", "Quellmar", "Q")));
  EXPECT_FALSE(IsControllerDevice(Device("a", "Quellmar", "")));
  EXPECT_EQ(ModelCodeOf(Device("a", "Quellmar", "Qe 4800")), "Qe");
}

TEST_F(LinkTest, CreationFindsTheControllerSendsResetAndShowsTheLink) {
  usb_ = std::make_unique<TfUsb>(backend_, UsTexts());
  ASSERT_EQ(backend_.writes.size(), 1u);
  EXPECT_EQ(backend_.writes[0].first, "ctl");
  EXPECT_EQ(backend_.writes[0].second[0], 0);
  EXPECT_EQ(backend_.writes[0].second[1], 'X');
  EXPECT_EQ(backend_.writes[0].second[2], 0);
  EXPECT_TRUE(usb_->present());
  EXPECT_EQ(usb_->SelectedDevice()->id, "ctl");
  EXPECT_EQ(usb_->bytes_written(), 65u);
  ASSERT_EQ(op_.status_history().size(), 2u);
  EXPECT_EQ(op_.status_history()[0], ControlText("brakLacznosci"));
  EXPECT_EQ(op_.status(0), ControlText("connected"));
}

TEST_F(LinkTest, CreationWithoutControllerSendsNothing) {
  backend_.devices = {Device("mouse", "Logi", "Qa mouse"), Device("ctl", "quellmar", "Qe")};
  TfUsb& usb = Create();
  EXPECT_FALSE(usb.present());
  EXPECT_TRUE(backend_.writes.empty());
  EXPECT_EQ(usb.Write("G"), -1);
  EXPECT_EQ(usb.bytes_written(), 0u);
  EXPECT_EQ(op_.status(0), ControlText("brakLacznosci"));
}

TEST_F(LinkTest, TheSelectedControllerStaysThroughOtherDevicesChangesAndIsReplacedOnlyWhenItGoes) {
  backend_.devices = {Device("one", "Quellmar", "Qa"), Device("two", "Quellmar", "Qo")};
  TfUsb& usb = Create();
  EXPECT_EQ(usb.SelectedDevice()->id, "one");
  // Another device comes: the controller that stays is neither reset nor replaced.
  backend_.devices = {Device("two", "Quellmar", "Qo"), Device("mouse", "Logi", "M"), Device("one", "Quellmar", "Qa")};
  backend_.handler();
  EXPECT_EQ(usb.SelectedDevice()->id, "one");
  EXPECT_TRUE(backend_.writes.empty());
  EXPECT_EQ(usb.device_changes(), 0u);
  usb.Write("G");
  EXPECT_EQ(backend_.writes.back().first, "one");
  // It goes: the first controller left is taken, stopped and reset.
  backend_.devices = {Device("two", "Quellmar", "Qo")};
  backend_.read_results = {kHidDeviceNotConnected};
  backend_.handler();
  EXPECT_EQ(usb.SelectedDevice()->id, "two");
  ASSERT_GE(backend_.writes.size(), 3u);
  EXPECT_EQ(backend_.writes[backend_.writes.size() - 2].second[1], 'Q');
  EXPECT_EQ(backend_.writes.back().second[1], 'X');
  EXPECT_EQ(usb.device_changes(), 1u);
}

TEST_F(LinkTest, SixtyFourBytesFillOneReportWithoutTerminator) {
  TfUsb& usb = Create();
  usb.Write(std::string(64, 'Z'));  // dirty every position first
  ASSERT_EQ(usb.Write(std::string(64, 'a')), 0);
  EXPECT_EQ(Payload(1), std::string(64, 'a'));
  ASSERT_EQ(usb.Write(std::string(63, 'b')), 0);
  EXPECT_EQ(Payload(2), std::string(63, 'b') + '\0');
  ASSERT_EQ(usb.Write("QK"), 0);
  // Only the position after the payload is cleared; the rest keeps the earlier bytes.
  EXPECT_EQ(Payload(3), "QK" + std::string(1, '\0') + std::string(60, 'b') + std::string(1, '\0'));
}

TEST_F(LinkTest, SeventyBytesGoInTwoReportsTheSecondRepeatingTheFirst) {
  TfUsb& usb = Create();
  std::string bytes;
  for (int i = 0; i < 70; ++i) bytes.push_back(static_cast<char>('0' + i));
  ASSERT_EQ(usb.Write(bytes), 0);
  ASSERT_EQ(backend_.writes.size(), 2u);
  EXPECT_EQ(Payload(0), bytes.substr(0, 64));
  EXPECT_EQ(Payload(1), bytes.substr(64, 6) + bytes.substr(6, 58));
}

TEST_F(LinkTest, AFailedFirstHalfIsReportedAndTheSecondHalfNotSent) {
  TfUsb& usb = Create();
  backend_.write_results = {kHidIoDevice};
  EXPECT_EQ(usb.Write(std::string(70, 'x')), kHidIoDevice);
  EXPECT_EQ(backend_.writes.size(), 1u);
}

TEST_F(LinkTest, StringsLongerThanTwoReportsAreRefused) {
  TfUsb& usb = Create();
  EXPECT_EQ(usb.Write(std::string(128, 'x')), 0);
  backend_.writes.clear();
  EXPECT_EQ(usb.Write(std::string(129, 'x')), kHidInvalidParameter);
  EXPECT_TRUE(backend_.writes.empty());
}

TEST_F(LinkTest, ABusyControllerGetsTheSameReportAgainAfterHalfASecond) {
  TfUsb& usb = Create();
  backend_.write_results = {kHidDeviceNotFunctioning, kHidDeviceNotFunctioning};
  const int64_t before = clock_.NowMs();
  EXPECT_EQ(usb.Write("G"), 0);
  EXPECT_EQ(clock_.NowMs() - before, 1000);
  EXPECT_EQ(usb.busy_count(), 2u);
  EXPECT_EQ(usb.bytes_written(), kReportSize);
  ASSERT_EQ(backend_.writes.size(), 3u);
  EXPECT_EQ(Payload(2), Payload(0));
  backend_.write_results = {kHidAccessDenied};
  EXPECT_EQ(usb.Write("G"), kHidAccessDenied);
  EXPECT_TRUE(usb.present());  // a failed write does not lose the controller
  EXPECT_EQ(usb.busy_count(), 2u);
}

TEST_F(LinkTest, AControllerBusyForTenWritesFailsTheWrite) {
  TfUsb& usb = Create();
  backend_.write_results = std::deque<int>(10, kHidDeviceNotFunctioning);
  const int64_t before = clock_.NowMs();
  EXPECT_EQ(usb.Write("G"), kHidDeviceNotFunctioning);
  EXPECT_EQ(backend_.writes.size(), 10u);
  EXPECT_EQ(clock_.NowMs() - before, 9 * 500);
  EXPECT_EQ(usb.busy_count(), 10u);
  EXPECT_TRUE(usb.present());
}

TEST_F(LinkTest, BothHalvesOfALongStringWaitForABusyController) {
  TfUsb& usb = Create();
  std::string bytes;
  for (int i = 0; i < 70; ++i) bytes.push_back(static_cast<char>('0' + i));
  backend_.write_results = {kHidDeviceNotFunctioning, 0, kHidDeviceNotFunctioning, 0};
  EXPECT_EQ(usb.Write(bytes), 0);
  ASSERT_EQ(backend_.writes.size(), 4u);
  EXPECT_EQ(Payload(1), bytes.substr(0, 64));
  EXPECT_EQ(Payload(3), bytes.substr(64, 6) + bytes.substr(6, 58));
  EXPECT_EQ(usb.busy_count(), 2u);
}

TEST_F(LinkTest, ReadCopiesSixtyFiveBytesOfTheReply) {
  TfUsb& usb = Create();
  ASSERT_EQ(usb.ReadString(10), 0);
  EXPECT_EQ(usb.ReplyRecord()[0], 10);
  EXPECT_EQ(usb.ReplyRecord()[64], 74);
  EXPECT_EQ(backend_.reads, 1);
}

TEST_F(LinkTest, ARetriedReadSucceedsWithinTenAttempts) {
  TfUsb& usb = Create();
  backend_.read_results = std::deque<int>(9, kHidIoDevice);
  EXPECT_EQ(usb.ReadString(12), 0);
  EXPECT_EQ(backend_.reads, 10);
  EXPECT_EQ(usb.read_failures(), 9u);
  EXPECT_TRUE(usb.present());
}

TEST_F(LinkTest, TenFailedReadsLoseTheControllerUntilTheSameDeviceAnswersAgain) {
  TfUsb& usb = Create();
  ASSERT_EQ(usb.ReadString(10), 0);
  backend_.read_results = std::deque<int>(11, kHidDeviceNotConnected);
  EXPECT_EQ(usb.ReadString(10), kHidDeviceNotConnected);
  EXPECT_EQ(backend_.reads, 11);
  EXPECT_EQ(usb.read_failures(), 10u);
  EXPECT_EQ(usb.ReplyRecord(), ReplyRecordBytes{});
  EXPECT_FALSE(usb.present());
  // Still silent: absent.
  EXPECT_EQ(usb.Write("G"), -1);
  EXPECT_TRUE(backend_.writes.empty());
  // A hiccup of the bus is over: the same controller is taken back without a device change or a reset.
  EXPECT_EQ(usb.Write("G"), 0);
  EXPECT_TRUE(usb.present());
  ASSERT_EQ(backend_.writes.size(), 1u);
  EXPECT_EQ(backend_.writes[0].second[1], 'G');
  EXPECT_EQ(usb.device_changes(), 0u);
}

TEST_F(LinkTest, AControllerGivenUpIsNotReplacedByAnotherUntilTheNextChange) {
  backend_.devices = {Device("one", "Quellmar", "Qa"), Device("two", "Quellmar", "Qo")};
  TfUsb& usb = Create();
  backend_.read_results = std::deque<int>(100, kHidIoDevice);
  ASSERT_NE(usb.ReadString(10), 0);
  // The state holds the first controller's profile and calibration: nothing may go to the second one.
  EXPECT_EQ(usb.Write("G"), -1);
  EXPECT_FALSE(usb.QuellmarQvExist());
  EXPECT_FALSE(usb.SelectedDevice());
  EXPECT_NE(usb.ReadString(10), 0);
  EXPECT_TRUE(backend_.writes.empty());
  // A device change finds both again and takes the first match.
  backend_.read_results.clear();
  backend_.handler();
  EXPECT_EQ(usb.SelectedDevice()->id, "one");
  ASSERT_EQ(backend_.writes.size(), 2u);
  EXPECT_EQ(backend_.writes[0].first, "one");
}

TEST_F(LinkTest, ADeviceThatCannotBeOpenedReadsAsMinusOne) {
  TfUsb& usb = Create();
  backend_.open_results["ctl"] = kHidAccessDenied;
  EXPECT_EQ(usb.ReadString(10), -1);
  EXPECT_EQ(backend_.reads, 0);
  EXPECT_FALSE(usb.present());
  EXPECT_EQ(usb.Write("G"), -1);
}

TEST_F(LinkTest, ADeviceGoneBetweenEnumerationAndOpenEndsInTheLostLink) {
  backend_.open_results["ctl"] = kHidFileNotFound;
  usb_ = std::make_unique<TfUsb>(backend_, UsTexts());
  EXPECT_TRUE(backend_.writes.empty());  // the Reset never reached it
  EXPECT_EQ(usb_->Write("G"), kHidFileNotFound);
  EXPECT_EQ(usb_->ReadString(10), -1);
  EXPECT_EQ(backend_.reads, 0);
  EXPECT_EQ(usb_->ReplyRecord(), ReplyRecordBytes{});
  EXPECT_EQ(usb_->Write("G"), -1);
}

TEST_F(LinkTest, DeviceChangeWithoutControllerShowsTheLostLink) {
  TfUsb& usb = Create();
  backend_.devices.pop_back();
  backend_.handler();
  EXPECT_FALSE(usb.present());
  EXPECT_EQ(op_.status(0), ControlText("brakLacznosci"));
  EXPECT_EQ(usb.ReadString(10), -1);
  EXPECT_EQ(usb.devices().size(), 1u);
}

TEST_F(LinkTest, DestructionGivesEveryDeviceBack) {
  Create();
  usb_.reset();
  EXPECT_EQ(backend_.closed, (std::vector<std::string>{"mouse", "ctl"}));
  EXPECT_FALSE(backend_.handler);
}

// The unplugged controller, as the simulated one behaves: the handle stays open until the device change.
TEST(LinkWithSimulator, UnpluggedFirstReadTakesTenAttemptsThenWritesFail) {
  VirtualClock clock;
  ScopedClock installed_clock(clock);
  ScriptedOperator op;
  ScopedOperator installed_operator(op);
  sim::SimulatedController sim("Qa");
  TfUsb usb(sim, UsTexts());
  ASSERT_TRUE(usb.present());
  ASSERT_EQ(usb.ReadString(10), 0);
  sim.Unplug();
  const int64_t before = sim.indexed_string_requests();
  EXPECT_EQ(usb.ReadString(10), kHidDeviceNotConnected);
  EXPECT_EQ(sim.indexed_string_requests() - before, 10);
  EXPECT_EQ(usb.read_failures(), 10u);
  EXPECT_FALSE(usb.present());
  EXPECT_EQ(usb.Write("G"), -1);
  usb.PollDeviceEvents();  // the removal arrives
  EXPECT_EQ(op.status(0), ControlText("brakLacznosci"));
  EXPECT_EQ(usb.Write("G"), -1);
  sim.ClearLog();
  sim.Replug();
  usb.PollDeviceEvents();
  EXPECT_TRUE(usb.present());
  EXPECT_EQ(op.status(0), ControlText("connected"));
  EXPECT_EQ(sim.commands(), (std::vector<CommandBytes>{"Q", "X"}));
}

}  // namespace
}  // namespace varnholt
