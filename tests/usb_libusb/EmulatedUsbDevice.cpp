#include "tests/usb_libusb/EmulatedUsbDevice.h"

#include <linux/usbdevice_fs.h>
#include <sys/ioctl.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <stdexcept>

#include <fmt/format.h>
#include <fmt/printf.h>

#include "padkbd/BuildConfig.h"

namespace padkbd::test {

namespace {

constexpr std::uint8_t kManufacturerStringIndex = 1;
constexpr std::uint8_t kProductStringIndex = 2;
constexpr std::uint16_t kEnglishUs = 0x0409;
// What the kernel offers; without DISCONNECT_CLAIM's own bit libusb still
// tries that call first and falls back when it fails.
constexpr std::uint32_t kCapabilities = USBDEVFS_CAP_ZERO_PACKET | USBDEVFS_CAP_BULK_CONTINUATION |
                                        USBDEVFS_CAP_NO_PACKET_SIZE_LIM |
                                        USBDEVFS_CAP_REAP_AFTER_DISCONNECT;

std::string hex(const Bytes& bytes) {
  std::string text;
  for (std::uint8_t byte : bytes) text += fmt::format("{:02x} ", byte);
  return text;
}

Bytes deviceDescriptor(const EmulatedDeviceDescription& description) {
  const std::uint8_t manufacturerIndex =
      description.manufacturer.empty() ? 0 : kManufacturerStringIndex;
  const std::uint8_t productIndex = description.product.empty() ? 0 : kProductStringIndex;
  const auto low = [](std::uint16_t v) { return static_cast<std::uint8_t>(v & 0xFF); };
  const auto high = [](std::uint16_t v) { return static_cast<std::uint8_t>(v >> 8); };
  // clang-format off
  return {18, 0x01, 0x00, 0x02,                    // USB 2.0
          0x00, 0x00, 0x00, 64,                    // class per interface, 64-byte endpoint 0
          low(description.vendorId), high(description.vendorId),
          low(description.productId), high(description.productId),
          0x00, 0x01,                              // device release 1.00
          manufacturerIndex, productIndex, 0x00,   // manufacturer, product, serial strings
          0x01};                                   // one configuration
  // clang-format on
}

// Interface 0 is an audio control interface without endpoints; interface 1
// is the MIDI streaming interface with a bulk IN endpoint first and a bulk
// OUT endpoint second. A device that is not MIDI has a vendor class
// interface 1 instead, with the same subclass number.
Bytes configDescriptor(bool midi) {
  constexpr std::uint8_t kTotal = 9 + 9 + 9 + 7 + 7;
  constexpr std::uint8_t kIn = EmulatedUsbDevice::kInEndpoint;
  constexpr std::uint8_t kOut = EmulatedUsbDevice::kOutEndpoint;
  const std::uint8_t kind = midi ? 0x01 : 0xFF;  // audio, or vendor class
  // clang-format off
  return {9, 0x02, kTotal, 0x00, 2, 1, 0, 0x80, 50,  // configuration 1, two interfaces
          9, 0x04, 0, 0, 0, 0x01, 0x01, 0x00, 0,     // interface 0: audio control
          9, 0x04, 1, 0, 2, kind, 0x03, 0x00, 0,     // interface 1: MIDI streaming
          7, 0x05, kIn, 0x02, 64, 0, 0,              // bulk IN, 64 bytes
          7, 0x05, kOut, 0x02, 64, 0, 0};            // bulk OUT, 64 bytes
  // clang-format on
}

Bytes stringDescriptor(const std::string& text) {
  Bytes descriptor{static_cast<std::uint8_t>(2 + 2 * text.size()), 0x03};
  for (char c : text) {
    descriptor.push_back(static_cast<std::uint8_t>(c));
    descriptor.push_back(0);
  }
  return descriptor;
}

std::string hexAttribute(const Bytes& bytes) {
  std::string text;
  for (std::uint8_t byte : bytes) text += fmt::format("{:02x}", byte);
  return text;
}

}  // namespace

std::uint8_t EmulatedUsbDevice::valueFor(std::uint8_t parameter, std::uint8_t target) {
  return static_cast<std::uint8_t>((parameter * 7 + target * 3 + 1) & 0x7F);
}

Bytes EmulatedUsbDevice::handshakeRequest() {
  return {0x04, 0xF0, 0x7E, 0x7F, 0x07, 0x0A, 0x0B, 0xF7};
}

Bytes EmulatedUsbDevice::handshakeReply() {
  return {0x04, 0xF0, 0x7E, 0x0A, 0x04, 0x01, 0x03, 0x01, 0x06, 0x02, 0xF7};
}

// 04 F0 M1 M2 | 04 M3 7F 42 | 04 01 00 PP | 06 WW F7
Bytes EmulatedUsbDevice::readRequest(std::uint8_t parameter, std::uint8_t target,
                                     const Maker& m) {
  // clang-format off
  return {0x04, 0xF0, m[0], m[1],
          0x04, m[2], 0x7F, 0x42,
          0x04, 0x01, 0x00, parameter,
          0x06, target, 0xF7};
  // clang-format on
}

// 04 F0 M1 M2 | 04 M3 7F 42 | 04 01 00 PP | 07 WW VV F7
Bytes EmulatedUsbDevice::readReply(std::uint8_t parameter, std::uint8_t target,
                                   const Maker& m) {
  // clang-format off
  return {0x04, 0xF0, m[0], m[1],
          0x04, m[2], 0x7F, 0x42,
          0x04, 0x01, 0x00, parameter,
          0x07, target, valueFor(parameter, target), 0xF7};
  // clang-format on
}

EmulatedUsbDevice::EmulatedUsbDevice(UMockdevTestbed* testbed,
                                     EmulatedDeviceDescription description)
    : description_(std::move(description)),
      devnode_(fmt::sprintf("/dev/bus/usb/%03d/%03d", description_.bus, description_.address)),
      handler_(umockdev_ioctl_base_new()),
      deviceDescriptor_(deviceDescriptor(description_)),
      configDescriptor_(configDescriptor(description_.midi)) {
  g_signal_connect(handler_, "handle-ioctl", G_CALLBACK(&EmulatedUsbDevice::onIoctl), this);
  g_signal_connect(handler_, "client-vanished", G_CALLBACK(&EmulatedUsbDevice::onVanished), this);

  GError* error = nullptr;
  // Attached before the device exists, so that its node is made as the
  // handler's socket rather than as a plain file.
  if (!umockdev_testbed_attach_ioctl(testbed, devnode_.c_str(), handler_, &error)) {
    const std::string message = error != nullptr ? error->message : "unknown error";
    g_clear_error(&error);
    throw std::runtime_error("umockdev cannot attach the ioctl handler: " + message);
  }

  Bytes descriptors = deviceDescriptor_;
  descriptors.insert(descriptors.end(), configDescriptor_.begin(), configDescriptor_.end());
  // Each hub on the way is a directory of its own: usb1/1-4/1-4.2.
  std::string path = fmt::sprintf("/devices/pci0000:00/0000:00:14.0/usb%d", description_.bus);
  std::string name = std::to_string(description_.bus) + "-";
  for (std::size_t at = 0; at < description_.port.size();) {
    const std::size_t dot = std::min(description_.port.find('.', at), description_.port.size());
    name += description_.port.substr(at, dot - at);
    path += "/" + name;
    name += ".";
    at = dot + 1;
  }
  std::string text = fmt::sprintf(
      "P: %s\n"
      "N: bus/usb/%03d/%03d\n"
      "E: DEVNAME=%s\n"
      "E: DEVTYPE=usb_device\n"
      "E: DRIVER=usb\n"
      "E: PRODUCT=%x/%x/100\n"
      "E: TYPE=0/0/0\n"
      "E: BUSNUM=%03d\n"
      "E: DEVNUM=%03d\n"
      "E: MAJOR=189\n"
      "E: MINOR=%d\n"
      "E: SUBSYSTEM=usb\n"
      "A: bConfigurationValue=1\\n\n"
      "A: bDeviceClass=00\\n\n"
      "A: bNumConfigurations=1\\n\n"
      "A: bNumInterfaces= 2\\n\n"
      "A: busnum=%d\\n\n"
      "A: devnum=%d\\n\n"
      "A: idVendor=%04x\\n\n"
      "A: idProduct=%04x\\n\n"
      "A: speed=12\\n\n"
      "H: descriptors=%s\n",
      path, description_.bus, description_.address, devnode_, description_.vendorId,
      description_.productId, description_.bus, description_.address,
      (description_.bus - 1) * 128 + description_.address - 1, description_.bus,
      description_.address, description_.vendorId, description_.productId,
      hexAttribute(descriptors));
  if (!description_.product.empty()) text += "A: product=" + description_.product + "\\n\n";
  if (!description_.manufacturer.empty()) {
    text += "A: manufacturer=" + description_.manufacturer + "\\n\n";
  }
  if (!umockdev_testbed_add_from_string(testbed, text.c_str(), &error)) {
    const std::string message = error != nullptr ? error->message : "unknown error";
    g_clear_error(&error);
    throw std::runtime_error("umockdev cannot add the device: " + message);
  }
}

EmulatedUsbDevice::~EmulatedUsbDevice() {
  g_signal_handlers_disconnect_by_data(handler_, this);
  {
    std::lock_guard lock(mutex_);
    for (auto& [client, state] : clients_) forget(state);
    clients_.clear();
  }
  g_object_unref(handler_);
}

gboolean EmulatedUsbDevice::onIoctl(UMockdevIoctlBase*, UMockdevIoctlClient* client,
                                    gpointer self) {
  static_cast<EmulatedUsbDevice*>(self)->handle(client);
  return TRUE;
}

void EmulatedUsbDevice::onVanished(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer self) {
  auto* device = static_cast<EmulatedUsbDevice*>(self);
  std::lock_guard lock(device->mutex_);
  // Closing the node drops the file's claims and kills its URBs; the kernel
  // does not bind drivers again on its own.
  for (auto& owner : device->claimedBy_) {
    if (owner == client) owner = nullptr;
  }
  const auto it = device->clients_.find(client);
  if (it != device->clients_.end()) {
    device->forget(it->second);
    device->clients_.erase(it);
  }
}

void EmulatedUsbDevice::free(Urb& urb) {
  if (urb.buffer != nullptr) g_object_unref(urb.buffer);
  if (urb.data != nullptr) g_object_unref(urb.data);
  urb = Urb{};
}

void EmulatedUsbDevice::forget(Client& state) {
  for (auto* queue : {&state.pendingIn, &state.reapable}) {
    for (Urb& urb : *queue) free(urb);
    queue->clear();
  }
  for (Urb& urb : state.reaped) free(urb);
  state.reaped.clear();
}

void EmulatedUsbDevice::handle(UMockdevIoctlClient* client) {
  const unsigned long request = umockdev_ioctl_client_get_request(client);
  UMockdevIoctlData* arg = umockdev_ioctl_client_get_arg(client);
  std::lock_guard lock(mutex_);
  Client& state = clients_[client];
  // The client has taken the URBs reaped by its previous call.
  for (Urb& urb : state.reaped) free(urb);
  state.reaped.clear();

  if (unplugged_) {
    umockdev_ioctl_client_complete(client, -1, ENODEV);
    return;
  }

  // The memory the argument points to (for requests that carry a size).
  UMockdevIoctlData* data = nullptr;
  if (const std::size_t size = _IOC_SIZE(request); size > 0) {
    GError* error = nullptr;
    data = umockdev_ioctl_data_resolve(arg, 0, size, &error);
    if (data == nullptr) {
      g_clear_error(&error);
      umockdev_ioctl_client_complete(client, -1, EFAULT);
      return;
    }
  }
  auto finish = [&](long result, int error) {
    umockdev_ioctl_client_complete(client, result, error);
    if (data != nullptr) g_object_unref(data);
  };
  auto interfaceValid = [](unsigned int number) { return number < kInterfaceCount; };

  switch (request) {
    case USBDEVFS_GET_CAPABILITIES:
      std::memcpy(data->data, &kCapabilities, sizeof kCapabilities);
      return finish(0, 0);

    case USBDEVFS_GETDRIVER: {
      auto* query = reinterpret_cast<usbdevfs_getdriver*>(data->data);
      if (!interfaceValid(query->interface)) return finish(-1, EINVAL);
      if (claimedBy_[query->interface] != nullptr) {
        std::snprintf(query->driver, sizeof query->driver, "usbfs");
        return finish(0, 0);
      }
      if (!driverBound_[query->interface]) return finish(-1, ENODATA);
      std::snprintf(query->driver, sizeof query->driver, "%s", kDriver);
      return finish(0, 0);
    }

    case USBDEVFS_IOCTL: {
      auto* command = reinterpret_cast<usbdevfs_ioctl*>(data->data);
      if (command->ifno < 0 || !interfaceValid(static_cast<unsigned>(command->ifno))) {
        return finish(-1, EINVAL);
      }
      const auto number = static_cast<std::size_t>(command->ifno);
      if (static_cast<unsigned long>(command->ioctl_code) == USBDEVFS_DISCONNECT) {
        if (!driverBound_[number]) return finish(-1, ENODATA);
        driverBound_[number] = false;
        ++detaches_;
        return finish(0, 0);
      }
      if (static_cast<unsigned long>(command->ioctl_code) == USBDEVFS_CONNECT) {
        if (claimedBy_[number] != nullptr || driverBound_[number]) return finish(-1, EBUSY);
        driverBound_[number] = true;
        ++attaches_;
        return finish(0, 0);
      }
      return finish(-1, ENOTTY);
    }

    case USBDEVFS_DISCONNECT_CLAIM: {
      auto* claim = reinterpret_cast<usbdevfs_disconnect_claim*>(data->data);
      if (!interfaceValid(claim->interface)) return finish(-1, EINVAL);
      if (claimedBy_[claim->interface] != nullptr) return finish(-1, EBUSY);
      if (driverBound_[claim->interface]) {
        const bool named = std::strncmp(claim->driver, kDriver, sizeof claim->driver) == 0;
        if ((claim->flags & USBDEVFS_DISCONNECT_CLAIM_IF_DRIVER) != 0 && !named) {
          return finish(-1, EBUSY);
        }
        if ((claim->flags & USBDEVFS_DISCONNECT_CLAIM_EXCEPT_DRIVER) != 0 && named) {
          return finish(-1, EBUSY);
        }
        driverBound_[claim->interface] = false;
        ++detaches_;
      }
      claimedBy_[claim->interface] = client;
      return finish(0, 0);
    }

    case USBDEVFS_CLAIMINTERFACE: {
      unsigned int number = 0;
      std::memcpy(&number, data->data, sizeof number);
      if (!interfaceValid(number)) return finish(-1, ENOENT);
      if (claimedBy_[number] == client) return finish(0, 0);
      if (claimedBy_[number] != nullptr || driverBound_[number]) return finish(-1, EBUSY);
      claimedBy_[number] = client;
      return finish(0, 0);
    }

    case USBDEVFS_RELEASEINTERFACE: {
      unsigned int number = 0;
      std::memcpy(&number, data->data, sizeof number);
      if (!interfaceValid(number) || claimedBy_[number] != client) return finish(-1, EINVAL);
      claimedBy_[number] = nullptr;
      return finish(0, 0);
    }

    case USBDEVFS_SUBMITURB:
      // Ownership of `data` passes to the URB.
      submit(client, state, data);
      return;

    case USBDEVFS_DISCARDURB: {
      // The argument is the URB's address in the client.
      unsigned long address = 0;
      std::memcpy(&address, arg->data, std::min<std::size_t>(sizeof address, arg->data_len));
      auto& pending = state.pendingIn;
      const auto it = std::find_if(pending.begin(), pending.end(), [&](const Urb& urb) {
        return urb.data->client_addr == address;
      });
      // Already complete: the client will reap it as it is.
      if (it == pending.end()) return finish(-1, EINVAL);
      Urb urb = *it;
      pending.erase(it);
      reinterpret_cast<usbdevfs_urb*>(urb.data->data)->status = -ENOENT;
      state.reapable.push_back(urb);
      ++discards_;
      return finish(0, 0);
    }

    case USBDEVFS_REAPURB:
    case USBDEVFS_REAPURBNDELAY: {
      // Nothing blocks here: the emulation has no way to wake a blocked
      // reaper, and libusb only uses the non-blocking form.
      if (state.reapable.empty()) return finish(-1, EAGAIN);
      Urb urb = state.reapable.front();
      state.reapable.pop_front();
      umockdev_ioctl_data_set_ptr(data, 0, urb.data);
      state.reaped.push_back(urb);
      return finish(0, 0);
    }

    default:
      unknownIoctls_.push_back(request);
      return finish(-1, ENOTTY);
  }
}

void EmulatedUsbDevice::submit(UMockdevIoctlClient* client, Client& state,
                               UMockdevIoctlData* data) {
  auto* header = reinterpret_cast<usbdevfs_urb*>(data->data);
  Urb urb{data, nullptr};
  auto fail = [&](int error) {
    umockdev_ioctl_client_complete(client, -1, error);
    free(urb);
  };
  if (header->buffer_length < 0) return fail(EINVAL);
  if (header->buffer_length > 0) {
    GError* error = nullptr;
    urb.buffer =
        umockdev_ioctl_data_resolve(data, offsetof(usbdevfs_urb, buffer),
                                    static_cast<std::size_t>(header->buffer_length), &error);
    if (urb.buffer == nullptr) {
      g_clear_error(&error);
      return fail(EFAULT);
    }
  }
  header->actual_length = 0;
  header->status = 0;

  if (header->type == USBDEVFS_URB_TYPE_CONTROL && (header->endpoint & 0x7F) == 0) {
    umockdev_ioctl_client_complete(client, 0, 0);
    control(urb, state);
    return;
  }
  if (header->type != USBDEVFS_URB_TYPE_BULK) return fail(EINVAL);
  if (header->endpoint != kInEndpoint && header->endpoint != kOutEndpoint) return fail(ENOENT);
  if (claimedBy_[1] != client) {
    protocolErrors_.push_back(fmt::format(
        "bulk transfer on endpoint {:02x} without claiming interface 1", header->endpoint));
    return fail(EBUSY);
  }
  umockdev_ioctl_client_complete(client, 0, 0);
  if (header->endpoint == kOutEndpoint) {
    const auto* bytes = urb.buffer != nullptr ? urb.buffer->data : nullptr;
    const Bytes request(bytes, bytes + header->buffer_length);
    header->actual_length = header->buffer_length;
    state.reapable.push_back(urb);
    takeRequest(request);
  } else {
    state.pendingIn.push_back(urb);
  }
  deliverReplies(state);
}

void EmulatedUsbDevice::control(Urb urb, Client& state) {
  auto* header = reinterpret_cast<usbdevfs_urb*>(urb.data->data);
  state.reapable.push_back(urb);
  if (header->buffer_length < 8) {
    header->status = -EINVAL;
    return;
  }
  const std::uint8_t* setup = urb.buffer->data;
  const std::uint8_t requestType = setup[0];
  const std::uint8_t request = setup[1];
  const std::uint16_t value = static_cast<std::uint16_t>(setup[2] | setup[3] << 8);
  const std::uint16_t index = static_cast<std::uint16_t>(setup[4] | setup[5] << 8);
  const std::uint16_t length = static_cast<std::uint16_t>(setup[6] | setup[7] << 8);

  Bytes answer;
  bool known = false;
  if (requestType == 0x80 && request == 0x06) {  // GET_DESCRIPTOR
    const int type = value >> 8;
    const int number = value & 0xFF;
    if (type == 1 && number == 0) {
      answer = deviceDescriptor_;
      known = true;
    } else if (type == 2 && number == 0) {
      answer = configDescriptor_;
      known = true;
    } else if (type == 3 && number == 0) {
      answer = {4, 0x03, kEnglishUs & 0xFF, kEnglishUs >> 8};
      known = true;
    } else if (type == 3 && number == kProductStringIndex && !description_.product.empty() &&
               index == kEnglishUs) {
      answer = stringDescriptor(description_.product);
      known = true;
    } else if (type == 3 && number == kManufacturerStringIndex &&
               !description_.manufacturer.empty() && index == kEnglishUs) {
      answer = stringDescriptor(description_.manufacturer);
      known = true;
    }
  }
  if (!known) {
    header->status = -EPIPE;  // a stall, as a device answers what it does not know
    return;
  }
  const std::size_t room = static_cast<std::size_t>(header->buffer_length) - 8;
  const std::size_t count = std::min({answer.size(), static_cast<std::size_t>(length), room});
  std::memcpy(urb.buffer->data + 8, answer.data(), count);
  header->actual_length = static_cast<int>(count);
}

void EmulatedUsbDevice::takeRequest(const Bytes& request) {
  received_.push_back(request);
  if (silent_) return;
  Bytes reply;
  if (request == handshakeRequest()) {
    reply = handshakeReply();
  } else if (request.size() == 15 &&
             request == readRequest(request[11], request[13], description_.sysexMaker)) {
    reply = readReply(request[11], request[13], description_.sysexMaker);
  } else {
    protocolErrors_.push_back("request not understood: " + hex(request));
    return;
  }
  if (traffic_) replies_.push_back(traffic());
  replies_.push_back(std::move(reply));
}

void EmulatedUsbDevice::deliverReplies(Client& state) {
  while (!state.pendingIn.empty() && !replies_.empty()) {
    Urb urb = state.pendingIn.front();
    state.pendingIn.pop_front();
    Bytes reply = replies_.front();
    replies_.pop_front();
    if (padded_ && reply.size() < kMaxPacketSize) reply.resize(kMaxPacketSize, 0);
    auto* header = reinterpret_cast<usbdevfs_urb*>(urb.data->data);
    const std::size_t room = static_cast<std::size_t>(header->buffer_length);
    const std::size_t count = std::min(reply.size(), room);
    if (count > 0) std::memcpy(urb.buffer->data, reply.data(), count);
    header->actual_length = static_cast<int>(count);
    // More than the reader asked for is babble, as on a real bus.
    header->status = reply.size() > room ? -EOVERFLOW : 0;
    sent_.emplace_back(reply.begin(), reply.begin() + static_cast<std::ptrdiff_t>(count));
    state.reapable.push_back(urb);
  }
}

void EmulatedUsbDevice::setSilent(bool silent) {
  std::lock_guard lock(mutex_);
  silent_ = silent;
}

Bytes EmulatedUsbDevice::traffic() {
  return {0x09, 0x90, 0x3C, 0x64, 0x0F, 0xF8, 0x00, 0x00, 0x1B, 0xB1, 0x01, 0x40};
}

void EmulatedUsbDevice::setPadded(bool padded) {
  std::lock_guard lock(mutex_);
  padded_ = padded;
}

void EmulatedUsbDevice::setTraffic(bool traffic) {
  std::lock_guard lock(mutex_);
  traffic_ = traffic;
}

void EmulatedUsbDevice::unplug() {
  std::lock_guard lock(mutex_);
  unplugged_ = true;
}

bool EmulatedUsbDevice::driverBound(int interface) const {
  std::lock_guard lock(mutex_);
  return interface >= 0 && interface < kInterfaceCount && driverBound_[interface];
}

bool EmulatedUsbDevice::claimed(int interface) const {
  std::lock_guard lock(mutex_);
  return interface >= 0 && interface < kInterfaceCount && claimedBy_[interface] != nullptr;
}

int EmulatedUsbDevice::detachCount() const {
  std::lock_guard lock(mutex_);
  return detaches_;
}

int EmulatedUsbDevice::attachCount() const {
  std::lock_guard lock(mutex_);
  return attaches_;
}

std::vector<Bytes> EmulatedUsbDevice::received() const {
  std::lock_guard lock(mutex_);
  return received_;
}

std::vector<Bytes> EmulatedUsbDevice::sent() const {
  std::lock_guard lock(mutex_);
  return sent_;
}

std::vector<std::string> EmulatedUsbDevice::protocolErrors() const {
  std::lock_guard lock(mutex_);
  return protocolErrors_;
}

std::vector<unsigned long> EmulatedUsbDevice::unknownIoctls() const {
  std::lock_guard lock(mutex_);
  return unknownIoctls_;
}

std::size_t EmulatedUsbDevice::pendingReads() const {
  std::lock_guard lock(mutex_);
  std::size_t count = 0;
  for (const auto& [client, state] : clients_) count += state.pendingIn.size();
  return count;
}

int EmulatedUsbDevice::discardCount() const {
  std::lock_guard lock(mutex_);
  return discards_;
}

}  // namespace padkbd::test
