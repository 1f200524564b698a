#pragma once
// The parts of the USB HID backend that need no device: error codes, descriptor parsing and request layouts.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "link/hid_backend.h"

namespace varnholt {

// A libusb error or transfer status as one of the backend error codes; 0 stays 0. A stall (pipe error) or a
// timeout means the device is not functioning (31); an unknown code gives the general failure.
int MapLibusbError(int libusb_error);

// The payload of a raw string descriptor (bLength, bDescriptorType 3, then the data), cut to its bLength and to
// what arrived; nothing when the header is missing or wrong.
std::optional<std::vector<uint8_t>> StringDescriptorPayload(std::span<const uint8_t> raw);

// UTF-16LE bytes (a string descriptor's payload) as UTF-8; an odd last byte is dropped.
std::string Utf16LeBytesToUtf8(std::span<const uint8_t> bytes);

// One endpoint of an interface: its address (bit 7 set for IN) and attributes (transfer type in bits 0-1).
struct EndpointDescriptor {
  uint8_t address = 0;
  uint8_t attributes = 0;
};
// The first interrupt OUT endpoint, if the interface has one.
std::optional<uint8_t> InterruptOutEndpoint(std::span<const EndpointDescriptor> endpoints);

// The fields of a control transfer's setup stage.
struct ControlSetup {
  uint8_t request_type = 0;
  uint8_t request = 0;
  uint16_t value = 0;
  uint16_t index = 0;
  uint16_t length = 0;
};
// GET_DESCRIPTOR of string `index` in language langid, asking for `length` bytes.
ControlSetup GetStringDescriptorSetup(uint8_t index, uint16_t langid, uint16_t length);
// SET_REPORT of an output report to interface `interface_number`.
ControlSetup SetOutputReportSetup(uint8_t report_id, uint16_t interface_number, uint16_t length);

// The bytes that go on the wire for an output report: without the report ID when it is 0 (the device then uses
// none), else all of it.
std::vector<uint8_t> OutputReportBytes(const HidReport& report);

// The handle of an interface: "usb:" bus "-" port path "." separated ":" interface, e.g. "usb:1-2.4:0".
std::string UsbInterfaceId(uint8_t bus, std::span<const uint8_t> ports, uint8_t interface_number);

}  // namespace varnholt
