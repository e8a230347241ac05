#include "link/usb/LibusbBackend.h"

#include <libusb.h>

#include <algorithm>
#include <climits>
#include <cstring>

#include "model/Log.h"

namespace padkbd {

UsbStatus usbStatusFromLibusb(int error) {
  switch (static_cast<libusb_error>(error)) {
    case LIBUSB_SUCCESS:
      return UsbStatus::Success;
    case LIBUSB_ERROR_IO:
      return UsbStatus::IoError;
    case LIBUSB_ERROR_INVALID_PARAM:
      return UsbStatus::InvalidParameter;
    case LIBUSB_ERROR_ACCESS:
      return UsbStatus::AccessDenied;
    case LIBUSB_ERROR_NO_DEVICE:
      return UsbStatus::NoDevice;
    case LIBUSB_ERROR_NOT_FOUND:
      return UsbStatus::NotFound;
    case LIBUSB_ERROR_BUSY:
      return UsbStatus::Busy;
    case LIBUSB_ERROR_TIMEOUT:
      return UsbStatus::Timeout;
    case LIBUSB_ERROR_OVERFLOW:
      return UsbStatus::Overflow;
    case LIBUSB_ERROR_PIPE:
      return UsbStatus::Pipe;
    case LIBUSB_ERROR_INTERRUPTED:
      return UsbStatus::Interrupted;
    case LIBUSB_ERROR_NO_MEM:
      return UsbStatus::NoMemory;
    case LIBUSB_ERROR_NOT_SUPPORTED:
      return UsbStatus::NotSupported;
    case LIBUSB_ERROR_OTHER:
      return UsbStatus::Other;
  }
  // Not a code libusb defines.
  return UsbStatus::Other;
}

namespace {

// A keyboard may carry its MIDI on interrupt endpoints: Linux lets a bulk
// transfer through to them, other systems want the endpoint's own kind.
using TransferCall = int(LIBUSB_CALL*)(libusb_device_handle*, unsigned char, unsigned char*, int,
                                       int*, unsigned int);
TransferCall transferFor(int transferType) {
  return transferType == LIBUSB_TRANSFER_TYPE_INTERRUPT ? libusb_interrupt_transfer
                                                        : libusb_bulk_transfer;
}

// libusb reads 0 as "wait for ever", which is exactly what a time limit is for
// preventing.
unsigned int timeoutMs(std::chrono::milliseconds limit) {
  const auto ms = std::clamp<std::chrono::milliseconds::rep>(limit.count(), 1, UINT_MAX);
  return static_cast<unsigned int>(ms);
}

// The product string as printable ASCII: the name ends up in log lines, and a
// device chooses what it sends.
std::string printable(const unsigned char* text, int length) {
  std::string name;
  for (int i = 0; i < length; ++i) {
    const unsigned char c = text[i];
    name.push_back(c >= 0x20 && c < 0x7F ? static_cast<char>(c) : '?');
  }
  return name;
}

// Its name (the product string, or where it is) and its serial number.
UsbDevice describe(libusb_device* device, const libusb_device_descriptor& descriptor) {
  UsbDevice found;
  if (descriptor.iProduct != 0 || descriptor.iSerialNumber != 0) {
    libusb_device_handle* handle = nullptr;
    if (libusb_open(device, &handle) == LIBUSB_SUCCESS) {
      found.name = LibusbBackend::readString(handle, descriptor.iProduct);
      found.serial = LibusbBackend::readString(handle, descriptor.iSerialNumber);
      libusb_close(handle);
    }
  }
  if (found.name.empty()) {
    found.name = fmt::sprintf("bus %03d address %03d", libusb_get_bus_number(device),
                              libusb_get_device_address(device));
  }
  return found;
}

}  // namespace

std::string LibusbBackend::readString(libusb_device_handle* handle, std::uint8_t index) {
  if (index == 0) return {};
  unsigned char text[128] = {};
  const int length = libusb_get_string_descriptor_ascii(handle, index, text, sizeof text - 1);
  return length > 0 ? printable(text, length) : std::string();
}

LibusbBackend::LibusbBackend(std::chrono::milliseconds writeTimeout) : writeTimeout_(writeTimeout) {
  const int result = libusb_init(&context_);
  if (result != LIBUSB_SUCCESS) {
    context_ = nullptr;
    initStatus_ = usbStatusFromLibusb(result);
    log::diag("libusb could not start: %s", libusb_error_name(result));
  }
}

LibusbBackend::~LibusbBackend() {
  if (watching_) libusb_hotplug_deregister_callback(context_, hotplugHandle_);
  while (!interfaces_.empty()) releaseInterface(interfaces_.begin()->first);
  for (auto& [id, device] : devices_) libusb_unref_device(device);
  devices_.clear();
  if (context_ != nullptr) libusb_exit(context_);
}

std::vector<UsbDevice> LibusbBackend::findDevices(std::uint16_t vendorId, std::uint16_t productId) {
  std::vector<UsbDevice> found;
  if (context_ == nullptr) return found;
  libusb_device** list = nullptr;
  const ssize_t count = libusb_get_device_list(context_, &list);
  if (count < 0) {
    log::diag("libusb could not list the USB devices: %s",
              libusb_error_name(static_cast<int>(count)));
    return found;
  }
  // libusb lists devices in the order it came to know them (newest first on
  // Linux); bus order (bus, then the ports from the root hub down) does not
  // depend on when a device was plugged in.
  struct Match {
    libusb_device* device;
    libusb_device_descriptor descriptor;
    std::vector<int> position;
  };
  std::vector<Match> matches;
  for (ssize_t i = 0; i < count; ++i) {
    libusb_device* device = list[i];
    libusb_device_descriptor descriptor{};
    if (libusb_get_device_descriptor(device, &descriptor) != LIBUSB_SUCCESS) continue;
    if (descriptor.idVendor != vendorId || descriptor.idProduct != productId) continue;
    matches.push_back(Match{device, descriptor, busPosition(device)});
  }
  std::stable_sort(matches.begin(), matches.end(), [](const Match& a, const Match& b) {
    if (a.position != b.position) return a.position < b.position;
    return libusb_get_device_address(a.device) < libusb_get_device_address(b.device);
  });
  for (const Match& match : matches) {
    libusb_device* device = match.device;
    std::uint64_t id = 0;
    for (const auto& [knownId, known] : devices_) {
      if (known == device) id = knownId;
    }
    if (id == 0) {
      id = nextDeviceId_++;
      devices_[id] = libusb_ref_device(device);
    }
    UsbDevice described = describe(device, match.descriptor);
    described.id = id;
    found.push_back(std::move(described));
  }
  libusb_free_device_list(list, 1);
  return found;
}

libusb_device* LibusbBackend::deviceFor(const UsbDevice& device) const {
  const auto it = devices_.find(device.id);
  return it == devices_.end() ? nullptr : it->second;
}

std::vector<UsbInterfaceInfo> LibusbBackend::listInterfaces(const UsbDevice& device) {
  std::vector<UsbInterfaceInfo> interfaces;
  libusb_device* found = deviceFor(device);
  if (found == nullptr) return interfaces;
  libusb_config_descriptor* config = nullptr;
  if (libusb_get_active_config_descriptor(found, &config) != LIBUSB_SUCCESS) return interfaces;
  for (int i = 0; i < config->bNumInterfaces; ++i) {
    const libusb_interface& interface = config->interface[i];
    if (interface.num_altsetting < 1) continue;
    const libusb_interface_descriptor& setting = interface.altsetting[0];
    interfaces.push_back(UsbInterfaceInfo{setting.bInterfaceNumber, setting.bInterfaceClass,
                                          setting.bInterfaceSubClass});
  }
  libusb_free_config_descriptor(config);
  return interfaces;
}

UsbStatus LibusbBackend::createInterface(const UsbDevice& device, int interfaceNumber,
                                         UsbInterfaceHandle& handle) {
  handle = 0;
  if (context_ == nullptr) return initStatus_;
  libusb_device* found = deviceFor(device);
  if (found == nullptr) return UsbStatus::NotFound;

  // The pipes come from the interface's alternate setting 0: the one a
  // configured device starts with, and this backend never selects another.
  libusb_config_descriptor* config = nullptr;
  const int result = libusb_get_active_config_descriptor(found, &config);
  if (result != LIBUSB_SUCCESS) return usbStatusFromLibusb(result);
  bool present = false;
  std::vector<Pipe> pipes;
  for (int i = 0; i < config->bNumInterfaces && !present; ++i) {
    const libusb_interface& interface = config->interface[i];
    if (interface.num_altsetting < 1) continue;
    const libusb_interface_descriptor& setting = interface.altsetting[0];
    if (setting.bInterfaceNumber != interfaceNumber) continue;
    present = true;
    for (int e = 0; e < setting.bNumEndpoints; ++e) {
      const libusb_endpoint_descriptor& endpoint = setting.endpoint[e];
      Pipe pipe;
      pipe.address = endpoint.bEndpointAddress;
      pipe.properties.direction = (endpoint.bEndpointAddress & LIBUSB_ENDPOINT_IN) != 0 ? 1 : 0;
      pipe.properties.number = endpoint.bEndpointAddress & LIBUSB_ENDPOINT_ADDRESS_MASK;
      pipe.properties.transferType = endpoint.bmAttributes & LIBUSB_TRANSFER_TYPE_MASK;
      pipe.properties.maxPacketSize = endpoint.wMaxPacketSize;
      pipe.properties.interval = endpoint.bInterval;
      pipes.push_back(pipe);
    }
  }
  libusb_free_config_descriptor(config);
  if (!present) return UsbStatus::NotFound;

  libusb_device_handle* opened = nullptr;
  // Lack of permission comes back as AccessDenied; the transport tells the
  // user about the udev rule.
  const int openResult = libusb_open(found, &opened);
  if (openResult != LIBUSB_SUCCESS) return usbStatusFromLibusb(openResult);
  handle = nextInterface_++;
  interfaces_[handle] = Interface{opened, interfaceNumber, false, std::move(pipes)};
  return UsbStatus::Success;
}

LibusbBackend::Interface* LibusbBackend::interfaceFor(UsbInterfaceHandle handle) {
  const auto it = interfaces_.find(handle);
  return it == interfaces_.end() ? nullptr : &it->second;
}

UsbStatus LibusbBackend::openInterface(UsbInterfaceHandle handle) {
  Interface* interface = interfaceFor(handle);
  if (interface == nullptr) return UsbStatus::InvalidParameter;
  // Not every platform can detach drivers; where it cannot, the claim itself
  // says whether the interface is free.
  libusb_set_auto_detach_kernel_driver(interface->device, 1);
  const int result = libusb_claim_interface(interface->device, interface->number);
  if (result == LIBUSB_SUCCESS) interface->claimed = true;
  return usbStatusFromLibusb(result);
}

UsbStatus LibusbBackend::closeInterface(UsbInterfaceHandle handle) {
  Interface* interface = interfaceFor(handle);
  if (interface == nullptr) return UsbStatus::InvalidParameter;
  if (!interface->claimed) return UsbStatus::NotFound;
  const int result = libusb_release_interface(interface->device, interface->number);
  // libusb drops its claim when the device has gone, too.
  if (result == LIBUSB_SUCCESS || result == LIBUSB_ERROR_NO_DEVICE) interface->claimed = false;
  return usbStatusFromLibusb(result);
}

void LibusbBackend::releaseInterface(UsbInterfaceHandle handle) {
  Interface* interface = interfaceFor(handle);
  if (interface == nullptr) return;
  // Released explicitly (not just by closing) so that auto-detach hands the
  // interface back to its kernel driver.
  if (interface->claimed) libusb_release_interface(interface->device, interface->number);
  libusb_close(interface->device);
  interfaces_.erase(handle);
}

UsbStatus LibusbBackend::numEndpoints(UsbInterfaceHandle handle, int& count) {
  Interface* interface = interfaceFor(handle);
  if (interface == nullptr) return UsbStatus::InvalidParameter;
  count = static_cast<int>(interface->pipes.size());
  return UsbStatus::Success;
}

UsbStatus LibusbBackend::pipeProperties(UsbInterfaceHandle handle, int pipe,
                                        UsbPipeProperties& properties) {
  Interface* interface = interfaceFor(handle);
  if (interface == nullptr) return UsbStatus::InvalidParameter;
  if (pipe < 1 || static_cast<std::size_t>(pipe) > interface->pipes.size()) {
    return UsbStatus::InvalidParameter;
  }
  properties = interface->pipes[static_cast<std::size_t>(pipe) - 1].properties;
  return UsbStatus::Success;
}

UsbStatus LibusbBackend::transferPipe(UsbInterfaceHandle handle, int pipe, int direction,
                                      Interface*& interface, const Pipe*& chosen) {
  interface = interfaceFor(handle);
  // Transfers go only through a claimed interface: without the claim the
  // kernel would try to claim it behind our back.
  if (interface == nullptr || !interface->claimed) return UsbStatus::InvalidParameter;
  if (pipe < 1 || static_cast<std::size_t>(pipe) > interface->pipes.size()) {
    return UsbStatus::InvalidParameter;
  }
  chosen = &interface->pipes[static_cast<std::size_t>(pipe) - 1];
  // The endpoint address decides libusb's direction: a write to an IN pipe
  // would read into the caller's data.
  if (chosen->properties.direction != direction) return UsbStatus::InvalidParameter;
  if (chosen->properties.transferType != LIBUSB_TRANSFER_TYPE_BULK &&
      chosen->properties.transferType != LIBUSB_TRANSFER_TYPE_INTERRUPT) {
    return UsbStatus::InvalidParameter;
  }
  return UsbStatus::Success;
}

UsbStatus LibusbBackend::writePipe(UsbInterfaceHandle handle, int pipe, const std::uint8_t* data,
                                   std::size_t size) {
  Interface* interface = nullptr;
  const Pipe* chosen = nullptr;
  const UsbStatus status = transferPipe(handle, pipe, 0, interface, chosen);
  if (status != UsbStatus::Success) return status;
  if (size > static_cast<std::size_t>(INT_MAX) || (data == nullptr && size != 0)) {
    return UsbStatus::InvalidParameter;
  }
  unsigned char empty = 0;
  // libusb takes a mutable buffer for both directions; an OUT transfer only reads it.
  unsigned char* buffer = size == 0 ? &empty : const_cast<unsigned char*>(data);
  int transferred = 0;
  const int result = transferFor(chosen->properties.transferType)(
      interface->device, chosen->address, buffer, static_cast<int>(size), &transferred,
      timeoutMs(writeTimeout_));
  if (result != LIBUSB_SUCCESS) return usbStatusFromLibusb(result);
  // The caller's message is whole or it is not sent: a part of it is a failure.
  if (static_cast<std::size_t>(transferred) != size) return UsbStatus::IoError;
  return UsbStatus::Success;
}

UsbStatus LibusbBackend::readPipe(UsbInterfaceHandle handle, int pipe, std::uint8_t* data,
                                  std::size_t capacity, std::size_t& received,
                                  std::chrono::milliseconds timeout) {
  received = 0;
  Interface* interface = nullptr;
  const Pipe* chosen = nullptr;
  const UsbStatus status = transferPipe(handle, pipe, 1, interface, chosen);
  if (status != UsbStatus::Success) return status;
  if (capacity > static_cast<std::size_t>(INT_MAX) || (data == nullptr && capacity != 0)) {
    return UsbStatus::InvalidParameter;
  }
  std::vector<unsigned char> incoming(std::max<std::size_t>(capacity, 1));
  int transferred = 0;
  const int result = transferFor(chosen->properties.transferType)(
      interface->device, chosen->address, incoming.data(), static_cast<int>(capacity), &transferred,
      timeoutMs(timeout));
  // An overflow or a time-out may still have delivered bytes; the caller
  // decides what they are worth.
  received = std::min(static_cast<std::size_t>(std::max(transferred, 0)), capacity);
  if (received != 0) std::memcpy(data, incoming.data(), received);
  return usbStatusFromLibusb(result);
}

}  // namespace padkbd
