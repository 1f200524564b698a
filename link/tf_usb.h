#pragma once
// The link to the controller: finds it among the HID interfaces, writes commands as output reports and reads its
// reply records through indexed strings.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "link/hid_backend.h"

namespace varnholt {

class tInterfejs;

// Payload bytes of one output report.
inline constexpr size_t ReportLength = 64;
// Bytes kept of a reply record.
inline constexpr size_t kReplyRecordSize = 65;
using ReplyRecordBytes = std::array<uint8_t, kReplyRecordSize>;

// The manufacturer string and the model codes (first two product characters) of the controller.
inline constexpr std::string_view kControllerManufacturer = "Quellmar";
bool IsControllerDevice(const HidDeviceInfo& device);
// The model code of a matching device: the first two characters of its product string.
std::string ModelCodeOf(const HidDeviceInfo& device);

class TfUsb {
 public:
  // Creation: the device list is made and filled, the controller looked for and sent Reset; the status bar shows
  // the link state. The backend and the texts must outlive the link.
  TfUsb(HidBackend& backend, const tInterfejs& texts);
  // Destruction: every listed device goes back to the backend.
  ~TfUsb();
  TfUsb(const TfUsb&) = delete;
  TfUsb& operator=(const TfUsb&) = delete;

  // Is the controller present: true at once when already selected, else the device list is scanned (never
  // enumerated again) and the first match selected. After a read gave up on the controller, the same device is
  // taken back as soon as it answers a status read again; another matching device in the list is not taken in its
  // place before a device change.
  bool QuellmarQvExist();
  // Sends one command byte string in one or two reports: 0 on success, -1 when the controller is not present, else
  // the backend's error code. A report the controller was too busy to take (error 31) is written again after a
  // 500 ms pause, up to ten times in all; then the write fails with 31.
  int Write(std::string_view bytes);
  // Fetches reply record `index` into ReplyRecord: 0 on success, else the last error (-1 when there is none); a
  // failure leaves a zeroed record and clears present.
  int ReadString(int index);
  // The operating system reported a device arrival or removal. A controller that stays plugged in stays selected as
  // it is; one found afresh is selected and sent Reset.
  void DeviceChange();
  // Lets the backend deliver pending arrivals and removals (from the event loop).
  void PollDeviceEvents() { backend_.PollEvents(); }

  bool present() const { return present_; }
  // Reads gave the controller up: it is there, maybe, but did not answer (QuellmarQvExist takes it back).
  bool given_up() const { return given_up_; }
  const ReplyRecordBytes& ReplyRecord() const { return reply_record_; }
  const std::vector<HidDeviceInfo>& devices() const { return devices_; }
  // The selected device; nothing while the controller is not present.
  std::optional<HidDeviceInfo> SelectedDevice() const;
  uint32_t bytes_written() const { return bytes_written_; }
  // Failed indexed-string reads and writes that found the device busy, since creation.
  uint32_t read_failures() const { return read_failures_; }
  uint32_t busy_count() const { return busy_count_; }
  // Device changes since creation that took the controller away or found it afresh: a controller found again after
  // one has lost what it held. Changes of other devices do not count.
  uint32_t device_changes() const { return device_changes_; }

 private:
  void Enumerate();
  void ReleaseDevices();
  // Takes the given-up controller back when it answers a status read.
  bool TakeBack();
  int WriteReportBuffer();
  // Writes the report buffer, again after a pause while the controller reports itself busy.
  int WriteReportPatiently();

  HidBackend& backend_;
  const tInterfejs& texts_;
  std::vector<HidDeviceInfo> devices_;
  // A read gave up on the controller (ten failures, or it would not open): no device is matched again before the
  // next device change.
  bool given_up_ = false;
  size_t selected_ = 0;
  bool present_ = false;
  HidReport report_buffer_{};
  ReplyRecordBytes reply_record_{};
  uint32_t bytes_written_ = 0;
  uint32_t read_failures_ = 0;
  uint32_t busy_count_ = 0;
  uint32_t device_changes_ = 0;
};

}  // namespace varnholt
