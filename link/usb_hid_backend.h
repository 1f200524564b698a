#pragma once
// The HID backend on libusb-1.0: the controller's HID interface is claimed from the kernel driver while the link
// holds it; reply records come back as raw string descriptors.

#include <memory>

#include "link/hid_backend.h"

namespace varnholt {

class UsbHidBackend final : public HidBackend {
 public:
  UsbHidBackend();
  ~UsbHidBackend() override;
  UsbHidBackend(const UsbHidBackend&) = delete;
  UsbHidBackend& operator=(const UsbHidBackend&) = delete;

  // False when libusb could not be initialised; every call then finds nothing or fails.
  bool available() const;
  // False when the platform has no hot-plug notification; arrivals then go unnoticed until the next enumeration.
  bool hotplug() const;

  std::vector<HidDeviceInfo> Enumerate() override;
  int Open(const std::string& id) override;
  void Close(const std::string& id) override;
  int WriteReport(const std::string& id, const HidReport& report) override;
  int GetIndexedString(const std::string& id, int index, std::span<uint8_t> buffer, size_t available) override;
  void SetDeviceChangeHandler(std::function<void()> handler) override;
  void PollEvents() override;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace varnholt
