#include "link/usb_descriptors.h"

#include <algorithm>
#include <string>

#include "config/utf16.h"

namespace varnholt {
namespace {

// libusb's error numbers and transfer failures, as libusb.h defines them.
enum : int {
  kIo = -1,
  kInvalidParam = -2,
  kAccess = -3,
  kNoDevice = -4,
  kNotFound = -5,
  kBusy = -6,
  kTimeout = -7,
  kOverflow = -8,
  kPipe = -9,
  kInterrupted = -10,
  kNoMem = -11,
  kNotSupported = -12,
};

constexpr uint8_t kStringDescriptorType = 0x03;
constexpr uint8_t kTransferTypeMask = 0x03;
constexpr uint8_t kTransferTypeInterrupt = 0x03;
constexpr uint8_t kDirectionIn = 0x80;

}  // namespace

int MapLibusbError(int libusb_error) {
  switch (libusb_error) {
    case 0:
      return 0;
    case kIo:
      return kHidIoDevice;
    case kInvalidParam:
      return kHidInvalidParameter;
    case kAccess:
      return kHidAccessDenied;
    case kNoDevice:
      return kHidDeviceNotConnected;
    case kNotFound:
      return kHidFileNotFound;
    case kBusy:
      return kHidBusy;
    case kTimeout:
    case kPipe:
      return kHidDeviceNotFunctioning;
    case kOverflow:
      return kHidIoDevice;
    case kInterrupted:
      return kHidOperationAborted;
    case kNoMem:
      return kHidNotEnoughMemory;
    case kNotSupported:
      return kHidNotSupported;
    default:
      return kHidGeneralFailure;
  }
}

std::optional<std::vector<uint8_t>> StringDescriptorPayload(std::span<const uint8_t> raw) {
  if (raw.size() < 2 || raw[1] != kStringDescriptorType || raw[0] < 2) return std::nullopt;
  const size_t end = std::min<size_t>(raw[0], raw.size());
  return std::vector<uint8_t>(raw.begin() + 2, raw.begin() + static_cast<std::ptrdiff_t>(end));
}

std::string Utf16LeBytesToUtf8(std::span<const uint8_t> bytes) {
  std::u16string units;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    units.push_back(static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8)));
  }
  return Utf16ToUtf8(units);
}

std::optional<uint8_t> InterruptOutEndpoint(std::span<const EndpointDescriptor> endpoints) {
  for (const EndpointDescriptor& endpoint : endpoints) {
    if ((endpoint.attributes & kTransferTypeMask) == kTransferTypeInterrupt && (endpoint.address & kDirectionIn) == 0) {
      return endpoint.address;
    }
  }
  return std::nullopt;
}

ControlSetup GetStringDescriptorSetup(uint8_t index, uint16_t langid, uint16_t length) {
  // Device-to-host, standard, device; GET_DESCRIPTOR with the descriptor type in the high byte.
  return ControlSetup{0x80, 0x06, static_cast<uint16_t>((kStringDescriptorType << 8) | index), langid, length};
}

ControlSetup SetOutputReportSetup(uint8_t report_id, uint16_t interface_number, uint16_t length) {
  // Host-to-device, class, interface; SET_REPORT with report type 2 (output) in the high byte.
  return ControlSetup{0x21, 0x09, static_cast<uint16_t>((0x02 << 8) | report_id), interface_number, length};
}

std::vector<uint8_t> OutputReportBytes(const HidReport& report) {
  if (report[0] == 0) return std::vector<uint8_t>(report.begin() + 1, report.end());
  return std::vector<uint8_t>(report.begin(), report.end());
}

std::string UsbInterfaceId(uint8_t bus, std::span<const uint8_t> ports, uint8_t interface_number) {
  std::string id = "usb:" + std::to_string(bus) + "-";
  for (size_t i = 0; i < ports.size(); ++i) {
    if (i != 0) id += '.';
    id += std::to_string(ports[i]);
  }
  return id + ":" + std::to_string(interface_number);
}

}  // namespace varnholt
