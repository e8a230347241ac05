// What libusb shows of the bus beside the link: the USB MIDI devices, and
// hot-plug news of them.
#include <fmt/format.h>
#include <libusb.h>

#include <algorithm>

#include "link/usb/LibusbBackend.h"

namespace padkbd {
namespace {

// Whether any interface of the device's configuration is MIDI streaming
// (audio class 1, subclass 3).
bool hasMidiStreaming(libusb_device* device) {
  libusb_config_descriptor* config = nullptr;
  if (libusb_get_active_config_descriptor(device, &config) != LIBUSB_SUCCESS &&
      libusb_get_config_descriptor(device, 0, &config) != LIBUSB_SUCCESS) {
    return false;
  }
  bool midi = false;
  for (int i = 0; i < config->bNumInterfaces && !midi; ++i) {
    const libusb_interface& interface = config->interface[i];
    for (int a = 0; a < interface.num_altsetting && !midi; ++a) {
      midi = interface.altsetting[a].bInterfaceClass == LIBUSB_CLASS_AUDIO &&
             interface.altsetting[a].bInterfaceSubClass == 3;
    }
  }
  libusb_free_config_descriptor(config);
  return midi;
}

}  // namespace

std::vector<int> LibusbBackend::busPosition(libusb_device* device) {
  std::uint8_t ports[8] = {};
  const int depth = std::max(libusb_get_port_numbers(device, ports, sizeof ports), 0);
  std::vector<int> position{libusb_get_bus_number(device)};
  position.insert(position.end(), ports, ports + depth);
  return position;
}

bool LibusbBackend::watchForChanges(std::function<void()> changed) {
  if (watching_ && !changed) {  // nobody listens any more
    libusb_hotplug_deregister_callback(context_, hotplugHandle_);
    watching_ = false;
  }
  if (!changed || context_ == nullptr || watching_ ||
      libusb_has_capability(LIBUSB_CAP_HAS_HOTPLUG) == 0) {
    return false;
  }
  changed_ = std::move(changed);
  const auto onEvent = [](libusb_context*, libusb_device*, libusb_hotplug_event,
                          void* self) -> int {
    auto* backend = static_cast<LibusbBackend*>(self);
    if (backend->changed_) backend->changed_();
    return 0;  // keep watching
  };
  const int result = libusb_hotplug_register_callback(
      context_,
      static_cast<libusb_hotplug_event>(LIBUSB_HOTPLUG_EVENT_DEVICE_ARRIVED |
                                        LIBUSB_HOTPLUG_EVENT_DEVICE_LEFT),
      LIBUSB_HOTPLUG_NO_FLAGS, LIBUSB_HOTPLUG_MATCH_ANY, LIBUSB_HOTPLUG_MATCH_ANY,
      LIBUSB_HOTPLUG_MATCH_ANY, onEvent, this, &hotplugHandle_);
  watching_ = result == LIBUSB_SUCCESS;
  return watching_;
}

void LibusbBackend::pollEvents() {
  if (context_ == nullptr || !watching_) return;
  timeval none{0, 0};
  libusb_handle_events_timeout_completed(context_, &none, nullptr);
}

MidiDeviceListing LibusbBackend::listMidiDevices() {
  MidiDeviceListing listing;
  if (context_ == nullptr) {
    listing.listed = available();
    return listing;
  }
  libusb_device** list = nullptr;
  const ssize_t count = libusb_get_device_list(context_, &list);
  if (count < 0) {
    listing.listed = Outcome::failure(Text(TextId::UsbNotListed, {libusb_error_name(static_cast<int>(count))}));
    return listing;
  }
  std::vector<std::pair<std::vector<int>, MidiDeviceInfo>> found;
  for (ssize_t i = 0; i < count; ++i) {
    libusb_device* device = list[i];
    libusb_device_descriptor descriptor{};
    if (libusb_get_device_descriptor(device, &descriptor) != LIBUSB_SUCCESS) continue;
    if (!hasMidiStreaming(device)) continue;
    MidiDeviceInfo info;
    info.ids = {descriptor.idVendor, descriptor.idProduct};
    const std::vector<int> position = busPosition(device);
    info.bus = position.front();
    info.port = std::to_string(position.front());
    for (std::size_t p = 1; p < position.size(); ++p) {
      info.port += (p == 1 ? "-" : ".") + std::to_string(position[p]);
    }
    // Opening takes no interface and detaches no driver; it only tells
    // whether this user may use the device, and reads its names.
    libusb_device_handle* handle = nullptr;
    const UsbStatus access = usbStatusFromLibusb(libusb_open(device, &handle));
    info.access = access == UsbStatus::Success        ? LinkAccess::Granted
                  : access == UsbStatus::AccessDenied ? LinkAccess::Denied
                  : access == UsbStatus::Busy         ? LinkAccess::Busy
                                                      : LinkAccess::Other;
    if (access != UsbStatus::Success) info.accessProblem = usbStatusName(access);
    if (handle != nullptr) {
      info.product = LibusbBackend::readString(handle, descriptor.iProduct);
      info.manufacturer = LibusbBackend::readString(handle, descriptor.iManufacturer);
      libusb_close(handle);
    }
    found.emplace_back(position, std::move(info));
  }
  libusb_free_device_list(list, 1);
  std::stable_sort(found.begin(), found.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  for (auto& [position, info] : found) listing.devices.push_back(std::move(info));
  return listing;
}

}  // namespace padkbd
