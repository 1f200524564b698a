#pragma once
// The HID backend port: what the link needs from a HID access layer, so a USB library and the simulated controller
// can stand behind it alike.

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace varnholt {

// One HID interface as an enumeration finds it.
struct HidDeviceInfo {
  std::string id;  // the backend's handle of the interface, stable while it stays plugged in
  uint16_t vendor_id = 0;
  uint16_t product_id = 0;
  std::string manufacturer;
  std::string product;
  std::string serial;
};

// The bytes of one output report on the wire: the report ID (always 0) and 64 bytes of payload.
inline constexpr size_t kReportSize = 65;
using HidReport = std::array<uint8_t, kReportSize>;

// Error codes shared by every backend, numbered as the system's device errors are.
inline constexpr int kHidFileNotFound = 2;          // no such device (anymore)
inline constexpr int kHidAccessDenied = 5;          // the account may not open the device
inline constexpr int kHidNotEnoughMemory = 8;
inline constexpr int kHidDeviceNotFunctioning = 31; // the device stalled or did not answer in time
inline constexpr int kHidNotSupported = 50;
inline constexpr int kHidInvalidParameter = 87;
inline constexpr int kHidBusy = 170;                // another program or driver holds the device
inline constexpr int kHidOperationAborted = 995;
inline constexpr int kHidIoDevice = 1117;           // the transfer failed on the bus
inline constexpr int kHidDeviceNotConnected = 1167;
inline constexpr int kHidGeneralFailure = 1359;

// Every call returns 0 on success or one of the error codes above.
class HidBackend {
 public:
  virtual ~HidBackend() = default;
  // Lists every HID interface present, in a stable order.
  virtual std::vector<HidDeviceInfo> Enumerate() = 0;
  // Opens the interface for reading and writing; opening an open interface succeeds at once.
  virtual int Open(const std::string& id) = 0;
  // Gives the interface back; closing a closed one does nothing.
  virtual void Close(const std::string& id) = 0;
  // Writes one output report; byte 0 is the report ID.
  virtual int WriteReport(const std::string& id, const HidReport& report) = 0;
  // Fetches indexed string `index` into buffer, of which `available` bytes may be filled; the bytes are raw.
  virtual int GetIndexedString(const std::string& id, int index, std::span<uint8_t> buffer, size_t available) = 0;
  // Installs the handler of device arrivals and removals (an empty function removes it). It is only ever called
  // from PollEvents, on the caller's thread.
  virtual void SetDeviceChangeHandler(std::function<void()> handler) = 0;
  // Delivers the arrivals and removals noticed since the last call; the program's event loop calls it.
  virtual void PollEvents() = 0;
};

}  // namespace varnholt
