#include "link/tf_usb.h"

#include <algorithm>

#include "geometry/clock.h"
#include "link/controller_state.h"
#include "services/interfejs.h"
#include "services/operator.h"

namespace varnholt {
namespace {

constexpr int kReadAttempts = 10;
constexpr size_t kReadBufferSize = 512;
constexpr size_t kReadBufferAvailable = 255;
constexpr int64_t kBusyPauseMs = 500;
// Writes of one report to a busy controller before the write is given up with the busy error.
constexpr int kBusyAttempts = 10;
constexpr size_t kLongestWrite = 2 * ReportLength;

}  // namespace

bool IsControllerDevice(const HidDeviceInfo& device) {
  if (device.manufacturer != kControllerManufacturer) return false;
  const std::string_view code = std::string_view(device.product).substr(0, 2);
  return code == "Qa" || code == "Qe" || code == "Qo";
}

std::string ModelCodeOf(const HidDeviceInfo& device) { return device.product.substr(0, 2); }

TfUsb::TfUsb(HidBackend& backend, const tInterfejs& texts) : backend_(backend), texts_(texts) {
  present_ = false;
  // The device-change handler runs once as it is attached, before anything was enumerated.
  CurrentOperator().SetStatusText(0, texts_.GetText("Control", "brakLacznosci"));
  backend_.SetDeviceChangeHandler([this] { DeviceChange(); });
  Enumerate();
  report_buffer_.fill(0);
  Write("X");
  // Without this the status bar would keep saying there is no link until the first device change.
  if (present_) CurrentOperator().SetStatusText(0, texts_.GetText("Control", "connected"));
}

TfUsb::~TfUsb() {
  backend_.SetDeviceChangeHandler({});
  ReleaseDevices();
}

void TfUsb::Enumerate() {
  devices_ = backend_.Enumerate();
  given_up_ = false;
}

void TfUsb::ReleaseDevices() {
  for (const HidDeviceInfo& device : devices_) backend_.Close(device.id);
  devices_.clear();
}

bool TfUsb::QuellmarQvExist() {
  if (present_) return true;
  // The state holds the profile and calibration of the controller given up; another one must not take its place
  // unnoticed. The same one is still what it was: a few failed reads are a hiccup of the bus, not a new machine.
  if (given_up_) return TakeBack();
  for (size_t i = 0; i < devices_.size(); ++i) {
    if (IsControllerDevice(devices_[i])) {
      selected_ = i;
      present_ = true;
      return true;
    }
  }
  present_ = false;
  return false;
}

bool TfUsb::TakeBack() {
  if (selected_ >= devices_.size() || !IsControllerDevice(devices_[selected_])) return false;
  const std::string& id = devices_[selected_].id;
  if (backend_.Open(id) != 0) return false;
  std::array<uint8_t, kReadBufferSize> buffer{};
  if (backend_.GetIndexedString(id, kReplyStatus, buffer, kReadBufferAvailable) != 0) {
    ++read_failures_;
    return false;
  }
  given_up_ = false;
  present_ = true;
  return true;
}

std::optional<HidDeviceInfo> TfUsb::SelectedDevice() const {
  if (!present_ || selected_ >= devices_.size()) return std::nullopt;
  return devices_[selected_];
}

int TfUsb::WriteReportBuffer() {
  const std::string& id = devices_[selected_].id;
  int error = backend_.Open(id);
  if (error == 0) error = backend_.WriteReport(id, report_buffer_);
  if (error == 0) bytes_written_ = kReportSize;
  return error;
}

int TfUsb::WriteReportPatiently() {
  int error = WriteReportBuffer();
  for (int attempt = 1; attempt < kBusyAttempts && error == kHidDeviceNotFunctioning; ++attempt) {
    // A busy controller did not take the report: after a pause the same report goes again, since a lost command
    // (one move group of a streamed program) would cut a different shape.
    CurrentClock().Sleep(kBusyPauseMs);
    ++busy_count_;
    error = WriteReportBuffer();
  }
  if (error == kHidDeviceNotFunctioning) ++busy_count_;
  return error;
}

int TfUsb::Write(std::string_view bytes) {
  bytes_written_ = 0;
  if (!QuellmarQvExist()) return -1;
  const size_t n = bytes.size();
  // No command is longer than two reports; a longer string would be cut, so it is refused whole.
  if (n > kLongestWrite) return kHidInvalidParameter;
  report_buffer_[0] = 0;
  const auto copy = [this](std::string_view part) {
    for (size_t i = 0; i < part.size(); ++i) report_buffer_[1 + i] = static_cast<uint8_t>(part[i]);
  };
  if (n <= ReportLength) {
    copy(bytes);
    if (n < ReportLength) report_buffer_[n + 1] = 0;
    return WriteReportPatiently();
  }
  copy(bytes.substr(0, ReportLength));
  // Sending the second half alone would hand the controller half a command; the failure is reported instead.
  if (const int first = WriteReportPatiently(); first != 0) return first;
  // The positions after the second part keep the bytes of the first report.
  copy(bytes.substr(ReportLength));
  return WriteReportPatiently();
}

int TfUsb::ReadString(int index) {
  int error = -1;
  if (present_ && selected_ < devices_.size() && backend_.Open(devices_[selected_].id) == 0) {
    std::array<uint8_t, kReadBufferSize> buffer{};
    for (int attempt = 0; attempt < kReadAttempts; ++attempt) {
      buffer.fill(0);
      const int result = backend_.GetIndexedString(devices_[selected_].id, index, buffer, kReadBufferAvailable);
      if (result == 0) {
        std::copy_n(buffer.begin(), kReplyRecordSize, reply_record_.begin());
        return 0;
      }
      error = result;
      ++read_failures_;
    }
  }
  reply_record_.fill(0);
  // The controller is gone (or unusable) until a device change finds it again.
  if (present_) given_up_ = true;
  present_ = false;
  return error == 0 ? -1 : error;
}

void TfUsb::DeviceChange() {
  if (present_ && selected_ < devices_.size()) {
    // Another device came or went: the controller stays selected as it is, and is not reset.
    std::vector<HidDeviceInfo> listed = backend_.Enumerate();
    const std::string held = devices_[selected_].id;
    const auto found = std::find_if(listed.begin(), listed.end(), [&held](const HidDeviceInfo& d) { return d.id == held; });
    // A controller pulled out and put back between two deliveries is listed as before but has been reset: only one
    // that still answers is the same controller.
    std::array<uint8_t, kReadBufferSize> buffer{};
    if (found != listed.end() && backend_.GetIndexedString(held, kReplyStatus, buffer, kReadBufferAvailable) == 0) {
      for (const HidDeviceInfo& device : devices_) {
        if (device.id != held) backend_.Close(device.id);
      }
      selected_ = static_cast<size_t>(found - listed.begin());
      devices_ = std::move(listed);
      return;
    }
  }
  ++device_changes_;
  ReleaseDevices();
  present_ = false;
  Enumerate();
  if (QuellmarQvExist()) {
    // Found afresh, the controller may still be running a program with the wire hot: it is stopped, then reset (a
    // reset that came while it still ran would interfere with the program).
    if (Write("Q") == 0) Write("X");
    CurrentOperator().SetStatusText(0, texts_.GetText("Control", "connected"));
  } else {
    CurrentOperator().SetStatusText(0, texts_.GetText("Control", "brakLacznosci"));
  }
}

}  // namespace varnholt
