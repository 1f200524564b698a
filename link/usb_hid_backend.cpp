#include "link/usb_hid_backend.h"

#include <libusb.h>

#include <algorithm>
#include <array>
#include <map>
#include <optional>
#include <vector>

#include "link/usb_descriptors.h"

namespace varnholt {
namespace {

constexpr unsigned kTransferTimeoutMs = 1000;
constexpr uint16_t kEnglishUs = 0x0409;
constexpr uint8_t kHidClass = LIBUSB_CLASS_HID;

int Mapped(int libusb_result) { return libusb_result >= 0 ? 0 : MapLibusbError(libusb_result); }

// A string of the device's descriptor in UTF-8; empty when it has none or it cannot be read.
std::string DescriptorString(libusb_device_handle* handle, uint8_t index) {
  if (handle == nullptr || index == 0) return {};
  std::array<uint8_t, 255> raw{};
  const int received = libusb_get_string_descriptor(handle, index, kEnglishUs, raw.data(), static_cast<int>(raw.size()));
  if (received < 0) return {};
  const auto payload = StringDescriptorPayload(std::span<const uint8_t>(raw.data(), static_cast<size_t>(received)));
  return payload ? Utf16LeBytesToUtf8(*payload) : std::string();
}

}  // namespace

struct UsbHidBackend::Impl {
  struct Interface {
    libusb_device* device = nullptr;  // one reference held while listed
    uint8_t number = 0;
    std::optional<uint8_t> out_endpoint;
    libusb_device_handle* handle = nullptr;
    bool detached = false;
  };

  libusb_context* context = nullptr;
  bool hotplug_registered = false;
  libusb_hotplug_callback_handle hotplug_handle{};
  bool changed = false;
  std::function<void()> handler;
  std::map<std::string, Interface> interfaces;

  static int LIBUSB_CALL OnHotplug(libusb_context*, libusb_device*, libusb_hotplug_event, void* user_data) {
    static_cast<Impl*>(user_data)->changed = true;
    return 0;  // stay registered
  }

  Interface* Find(const std::string& id) {
    const auto found = interfaces.find(id);
    return found == interfaces.end() ? nullptr : &found->second;
  }

  void Release(Interface& iface) {
    if (iface.handle != nullptr) {
      libusb_release_interface(iface.handle, iface.number);
      if (iface.detached) libusb_attach_kernel_driver(iface.handle, iface.number);
      libusb_close(iface.handle);
    }
    iface.handle = nullptr;
    iface.detached = false;
  }

  void Forget() {
    for (auto& [id, iface] : interfaces) {
      Release(iface);
      libusb_unref_device(iface.device);
    }
    interfaces.clear();
  }
};

UsbHidBackend::UsbHidBackend() : impl_(std::make_unique<Impl>()) {
  if (libusb_init(&impl_->context) != 0) {
    impl_->context = nullptr;
    return;
  }
  if (libusb_has_capability(LIBUSB_CAP_HAS_HOTPLUG) != 0) {
    const int result = libusb_hotplug_register_callback(
        impl_->context,
        static_cast<libusb_hotplug_event>(LIBUSB_HOTPLUG_EVENT_DEVICE_ARRIVED | LIBUSB_HOTPLUG_EVENT_DEVICE_LEFT),
        static_cast<libusb_hotplug_flag>(0), LIBUSB_HOTPLUG_MATCH_ANY, LIBUSB_HOTPLUG_MATCH_ANY,
        LIBUSB_HOTPLUG_MATCH_ANY, &Impl::OnHotplug, impl_.get(), &impl_->hotplug_handle);
    impl_->hotplug_registered = result == LIBUSB_SUCCESS;
  }
}

UsbHidBackend::~UsbHidBackend() {
  if (impl_->context == nullptr) return;
  impl_->Forget();
  if (impl_->hotplug_registered) libusb_hotplug_deregister_callback(impl_->context, impl_->hotplug_handle);
  libusb_exit(impl_->context);
}

bool UsbHidBackend::available() const { return impl_->context != nullptr; }

bool UsbHidBackend::hotplug() const { return impl_->hotplug_registered; }

std::vector<HidDeviceInfo> UsbHidBackend::Enumerate() {
  std::vector<HidDeviceInfo> found;
  if (impl_->context == nullptr) return found;
  // Interfaces still held keep their handles; everything else is listed afresh.
  std::map<std::string, Impl::Interface> listed;
  libusb_device** list = nullptr;
  const ssize_t count = libusb_get_device_list(impl_->context, &list);
  for (ssize_t i = 0; i < count; ++i) {
    libusb_device* device = list[i];
    libusb_device_descriptor descriptor{};
    if (libusb_get_device_descriptor(device, &descriptor) != 0) continue;
    libusb_config_descriptor* config = nullptr;
    if (libusb_get_active_config_descriptor(device, &config) != 0 &&
        libusb_get_config_descriptor(device, 0, &config) != 0) {
      continue;
    }
    std::array<uint8_t, 8> ports{};
    const int depth = libusb_get_port_numbers(device, ports.data(), static_cast<int>(ports.size()));
    const std::span<const uint8_t> path(ports.data(), depth > 0 ? static_cast<size_t>(depth) : 0);
    libusb_device_handle* strings = nullptr;
    bool strings_tried = false;
    HidDeviceInfo info;
    for (uint8_t n = 0; n < config->bNumInterfaces; ++n) {
      const libusb_interface& iface = config->interface[n];
      if (iface.num_altsetting < 1 || iface.altsetting[0].bInterfaceClass != kHidClass) continue;
      const libusb_interface_descriptor& alt = iface.altsetting[0];
      if (!strings_tried) {
        strings_tried = true;
        // Without permission to open the device its strings stay empty; it is still listed.
        if (libusb_open(device, &strings) != 0) strings = nullptr;
        info.vendor_id = descriptor.idVendor;
        info.product_id = descriptor.idProduct;
        info.manufacturer = DescriptorString(strings, descriptor.iManufacturer);
        info.product = DescriptorString(strings, descriptor.iProduct);
        info.serial = DescriptorString(strings, descriptor.iSerialNumber);
      }
      std::vector<EndpointDescriptor> endpoints;
      for (uint8_t e = 0; e < alt.bNumEndpoints; ++e) {
        endpoints.push_back({alt.endpoint[e].bEndpointAddress, alt.endpoint[e].bmAttributes});
      }
      info.id = UsbInterfaceId(libusb_get_bus_number(device), path, alt.bInterfaceNumber);
      Impl::Interface entry;
      if (Impl::Interface* held = impl_->Find(info.id); held != nullptr && held->handle != nullptr) {
        entry = *held;
        held->handle = nullptr;  // moved over
        libusb_ref_device(entry.device);
      } else {
        entry.device = libusb_ref_device(device);
        entry.number = alt.bInterfaceNumber;
        entry.out_endpoint = InterruptOutEndpoint(endpoints);
      }
      listed[info.id] = entry;
      found.push_back(info);
    }
    if (strings != nullptr) libusb_close(strings);
    libusb_free_config_descriptor(config);
  }
  if (list != nullptr) libusb_free_device_list(list, 1);
  impl_->Forget();
  impl_->interfaces = std::move(listed);
  return found;
}

int UsbHidBackend::Open(const std::string& id) {
  Impl::Interface* iface = impl_->Find(id);
  if (iface == nullptr) return kHidFileNotFound;
  if (iface->handle != nullptr) return 0;
  libusb_device_handle* handle = nullptr;
  if (const int result = libusb_open(iface->device, &handle); result != 0) return MapLibusbError(result);
  bool detached = false;
  if (libusb_kernel_driver_active(handle, iface->number) == 1) {
    if (const int result = libusb_detach_kernel_driver(handle, iface->number); result != 0) {
      libusb_close(handle);
      return MapLibusbError(result);
    }
    detached = true;
  }
  if (const int result = libusb_claim_interface(handle, iface->number); result != 0) {
    if (detached) libusb_attach_kernel_driver(handle, iface->number);
    libusb_close(handle);
    return MapLibusbError(result);
  }
  iface->handle = handle;
  iface->detached = detached;
  return 0;
}

void UsbHidBackend::Close(const std::string& id) {
  if (Impl::Interface* iface = impl_->Find(id)) impl_->Release(*iface);
}

int UsbHidBackend::WriteReport(const std::string& id, const HidReport& report) {
  Impl::Interface* iface = impl_->Find(id);
  if (iface == nullptr) return kHidFileNotFound;
  if (iface->handle == nullptr) return kHidInvalidParameter;
  std::vector<uint8_t> bytes = OutputReportBytes(report);
  if (iface->out_endpoint) {
    int transferred = 0;
    const int result = libusb_interrupt_transfer(iface->handle, *iface->out_endpoint, bytes.data(),
                                                 static_cast<int>(bytes.size()), &transferred, kTransferTimeoutMs);
    if (result != 0) return MapLibusbError(result);
    return transferred == static_cast<int>(bytes.size()) ? 0 : kHidDeviceNotFunctioning;
  }
  const ControlSetup setup = SetOutputReportSetup(report[0], iface->number, static_cast<uint16_t>(bytes.size()));
  const int result = libusb_control_transfer(iface->handle, setup.request_type, setup.request, setup.value, setup.index,
                                             bytes.data(), setup.length, kTransferTimeoutMs);
  return Mapped(result);
}

int UsbHidBackend::GetIndexedString(const std::string& id, int index, std::span<uint8_t> buffer, size_t available) {
  Impl::Interface* iface = impl_->Find(id);
  if (iface == nullptr) return kHidFileNotFound;
  if (iface->handle == nullptr) return kHidInvalidParameter;
  if (index < 0 || index > 255) return kHidInvalidParameter;
  std::array<uint8_t, 255> raw{};
  const auto length = static_cast<uint16_t>(std::min<size_t>({available, raw.size(), buffer.size()}));
  const ControlSetup setup = GetStringDescriptorSetup(static_cast<uint8_t>(index), kEnglishUs, length);
  const int received = libusb_control_transfer(iface->handle, setup.request_type, setup.request, setup.value,
                                               setup.index, raw.data(), setup.length, kTransferTimeoutMs);
  if (received < 0) return MapLibusbError(received);
  const auto payload = StringDescriptorPayload(std::span<const uint8_t>(raw.data(), static_cast<size_t>(received)));
  if (!payload) return kHidIoDevice;
  std::copy_n(payload->begin(), std::min(payload->size(), buffer.size()), buffer.begin());
  return 0;
}

void UsbHidBackend::SetDeviceChangeHandler(std::function<void()> handler) { impl_->handler = std::move(handler); }

void UsbHidBackend::PollEvents() {
  if (impl_->context == nullptr) return;
  timeval no_wait{0, 0};
  libusb_handle_events_timeout_completed(impl_->context, &no_wait, nullptr);
  if (!impl_->changed) return;
  impl_->changed = false;
  if (impl_->handler) impl_->handler();
}

}  // namespace varnholt
