// The device-free parts of the USB backend.

#include <gtest/gtest.h>

#include "link/usb_descriptors.h"
#include "link/usb_hid_backend.h"

namespace varnholt {
namespace {

TEST(UsbErrors, StallsAndTimeoutsMeanTheDeviceIsNotFunctioning) {
  EXPECT_EQ(MapLibusbError(0), 0);
  EXPECT_EQ(MapLibusbError(-7), kHidDeviceNotFunctioning);  // timeout
  EXPECT_EQ(MapLibusbError(-9), kHidDeviceNotFunctioning);  // pipe: the endpoint stalled
  EXPECT_EQ(MapLibusbError(-3), kHidAccessDenied);
  EXPECT_EQ(MapLibusbError(-4), kHidDeviceNotConnected);
  EXPECT_EQ(MapLibusbError(-5), kHidFileNotFound);
  EXPECT_EQ(MapLibusbError(-6), kHidBusy);
  EXPECT_EQ(MapLibusbError(-1), kHidIoDevice);
  EXPECT_EQ(MapLibusbError(-99), kHidGeneralFailure);
  EXPECT_EQ(MapLibusbError(-12345), kHidGeneralFailure);
  EXPECT_EQ(MapLibusbError(5), kHidGeneralFailure);
}

TEST(StringDescriptors, PayloadIsCutToItsLengthAndToWhatArrived) {
  const std::vector<uint8_t> raw = {6, 3, 'Q', 0, 'a', 0, 0xEE, 0xEE};
  EXPECT_EQ(StringDescriptorPayload(raw), (std::vector<uint8_t>{'Q', 0, 'a', 0}));
  // A descriptor claiming more than arrived gives what arrived.
  const std::vector<uint8_t> short_read = {200, 3, 1, 2, 3};
  EXPECT_EQ(StringDescriptorPayload(short_read), (std::vector<uint8_t>{1, 2, 3}));
  EXPECT_EQ(StringDescriptorPayload(std::vector<uint8_t>{2, 3}), std::vector<uint8_t>{});
  EXPECT_FALSE(StringDescriptorPayload(std::vector<uint8_t>{6, 2, 'Q', 0}));  // not a string descriptor
  EXPECT_FALSE(StringDescriptorPayload(std::vector<uint8_t>{1, 3}));
  EXPECT_FALSE(StringDescriptorPayload(std::vector<uint8_t>{6}));
  EXPECT_FALSE(StringDescriptorPayload(std::vector<uint8_t>{}));
}

TEST(StringDescriptors, TextIsUtf16LittleEndian) {
  const std::vector<uint8_t> bytes = {'Q', 0, 0xF3, 0x00, 0x3D, 0xD8, 0x00, 0xDE, 'x'};
  EXPECT_EQ(Utf16LeBytesToUtf8(bytes), "Q\xC3\xB3\xF0\x9F\x98\x80");
  EXPECT_EQ(Utf16LeBytesToUtf8(std::vector<uint8_t>{0x00, 0xD8}), "\xEF\xBF\xBD");  // lone surrogate
}

TEST(UsbRequests, EndpointsAndSetupsFollowTheHidClass) {
  const std::vector<EndpointDescriptor> in_only = {{0x81, 0x03}};
  EXPECT_FALSE(InterruptOutEndpoint(in_only));
  const std::vector<EndpointDescriptor> both = {{0x81, 0x03}, {0x02, 0x02}, {0x01, 0x03}};
  EXPECT_EQ(InterruptOutEndpoint(both), 0x01);

  const ControlSetup get = GetStringDescriptorSetup(14, 0x0409, 255);
  EXPECT_EQ(get.request_type, 0x80);
  EXPECT_EQ(get.request, 0x06);
  EXPECT_EQ(get.value, 0x030E);
  EXPECT_EQ(get.index, 0x0409);
  EXPECT_EQ(get.length, 255);
  const ControlSetup set = SetOutputReportSetup(0, 1, 64);
  EXPECT_EQ(set.request_type, 0x21);
  EXPECT_EQ(set.request, 0x09);
  EXPECT_EQ(set.value, 0x0200);
  EXPECT_EQ(set.index, 1);

  HidReport report{};
  report[1] = 'X';
  EXPECT_EQ(OutputReportBytes(report).size(), 64u);
  EXPECT_EQ(OutputReportBytes(report)[0], 'X');
  report[0] = 3;
  EXPECT_EQ(OutputReportBytes(report).size(), 65u);

  const std::vector<uint8_t> ports = {2, 4};
  EXPECT_EQ(UsbInterfaceId(1, ports, 0), "usb:1-2.4:0");
  EXPECT_EQ(UsbInterfaceId(3, {}, 2), "usb:3-:2");
}

// Whatever USB the machine running the tests has (often none): unknown handles fail with stable codes and
// nothing listed is opened by listing it.
TEST(UsbHidBackendOnThisMachine, UnknownDevicesFailCleanly) {
  UsbHidBackend backend;
  int changes = 0;
  backend.SetDeviceChangeHandler([&changes] { ++changes; });
  for (const HidDeviceInfo& device : backend.Enumerate()) {
    EXPECT_EQ(device.id.rfind("usb:", 0), 0u) << device.id;
    backend.Close(device.id);
  }
  HidReport report{};
  std::array<uint8_t, 255> buffer{};
  EXPECT_EQ(backend.Open("usb:99-9:0"), kHidFileNotFound);
  EXPECT_EQ(backend.WriteReport("usb:99-9:0", report), kHidFileNotFound);
  EXPECT_EQ(backend.GetIndexedString("usb:99-9:0", 10, buffer, buffer.size()), kHidFileNotFound);
  backend.PollEvents();
  EXPECT_EQ(changes, 0);
}

}  // namespace
}  // namespace varnholt
