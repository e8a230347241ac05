// A USB-MIDI keyboard emulated with umockdev, for testing LibusbBackend on the
// real libusb path. umockdev puts the device into a private sysfs and /dev
// tree and routes every usbdevfs ioctl on its node to this object, which
// answers as the kernel would: it takes and reaps URBs, claims interfaces and
// keeps a kernel driver bound until someone takes the interface.
//
// Behind the URBs sits a tiny keyboard: it answers the handshake and every
// 15-byte read request with a 16-byte reply carrying a value at offset 14.
// The ioctls are answered on umockdev's thread; every public member is safe
// to use from the test's thread.
#pragma once

#include <fmt/format.h>
#include <fmt/printf.h>
#include <linux/usbdevice_fs.h>
#include <sys/ioctl.h>
#include <umockdev.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <deque>
#include <map>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

#include "padkbd/BuildConfig.h"

namespace padkbd::test {

using Bytes = std::vector<std::uint8_t>;
using Maker = std::array<std::uint8_t, 3>;

struct EmulatedDeviceDescription {
  std::uint16_t vendorId = config::kUsbVendorId;
  std::uint16_t productId = config::kUsbProductId;
  std::string product{};  // empty: no product string
  int bus = 1;
  int address = 2;
  // Ports from the root hub down ("4.2": port 2 of the hub on port 4); empty
  // makes the device the root hub itself.
  std::string port = "1";
  std::string manufacturer{};  // empty: no manufacturer string
  std::string serial{};        // empty: no serial number
  bool midi = true;            // false: interface 1 is vendor class, same subclass
  Maker sysexMaker = config::kManufacturerId;
  // The IN endpoint: bulk (2) or interrupt (3), and its packet size.
  std::uint8_t inType = 2;
  std::uint8_t inPacket = 64;
};

class EmulatedUsbDevice {
 public:
  static constexpr int kInterfaceCount = 2;
  static constexpr std::uint8_t kIn = 0x81, kOut = 0x02;

  static inline const Bytes kHandshakeRequest = {0x04, 0xF0, 0x7E, 0x7F, 0x07, 0x0A, 0x0B, 0xF7};
  static inline const Bytes kHandshakeReply = {0x04, 0xF0, 0x7E, 0x0A, 0x04, 0x01,
                                               0x03, 0x01, 0x06, 0x02, 0xF7};
  static Bytes readRequest(std::uint8_t p, std::uint8_t t,
                           const Maker& m = config::kManufacturerId) {
    return {0x04, 0xF0, m[0], m[1], 0x04, m[2], 0x7F, 0x42, 0x04, 0x01, 0x00, p, 0x06, t, 0xF7};
  }
  // The value differs for neighbouring requests.
  static Bytes readReply(std::uint8_t p, std::uint8_t t, const Maker& m = config::kManufacturerId) {
    const auto value = static_cast<std::uint8_t>((p * 7 + t * 3 + 1) & 0x7F);
    return {0x04, 0xF0, m[0], m[1], 0x04, m[2], 0x7F,  0x42,
            0x04, 0x01, 0x00, p,    0x07, t,    value, 0xF7};
  }

  // Switches, as hardware behaves: no answers at all; every IN transfer
  // padded with zeros to a whole packet; notes, pressure and clock
  // sharing the pipe, each reply split over two transfers between them;
  // gone from the bus (every later ioctl fails with ENODEV).
  std::atomic<bool> silent{false}, padded{false}, playing{false}, unplugged{false};

  struct Seen {
    bool driverBound[kInterfaceCount] = {true, true};
    bool claimed[kInterfaceCount] = {};
    std::size_t pendingReads = 0;
    std::vector<Bytes> received;        // bulk OUT transfers, in order
    std::size_t writes = 0;             // settings written
    std::vector<std::string> problems;  // requests not understood, unknown ioctls
  };
  // A player's touch: `transfer` goes out on the IN pipe to whoever reads it.
  void play(Bytes transfer) {
    std::lock_guard lock(mutex_);
    replies_.push_back(std::move(transfer));
    for (auto& [client, state] : clients_) deliver(state);
  }

  Seen seen() const {
    std::lock_guard lock(mutex_);
    Seen seen = seen_;
    for (int i = 0; i < kInterfaceCount; ++i) seen.claimed[i] = claimedBy_[i] != nullptr;
    for (const auto& [client, state] : clients_) seen.pendingReads += state.pendingIn.size();
    return seen;
  }

  // Adds the device to the testbed. Destroy it after the testbed, whose
  // thread calls it.
  EmulatedUsbDevice(UMockdevTestbed* testbed, EmulatedDeviceDescription description)
      : d_(std::move(description)), handler_(umockdev_ioctl_base_new()) {
    g_signal_connect(handler_, "handle-ioctl", G_CALLBACK(&EmulatedUsbDevice::onIoctl), this);
    const std::string node = fmt::sprintf("/dev/bus/usb/%03d/%03d", d_.bus, d_.address);
    GError* error = nullptr;
    // Attached before the device exists, so that its node is the handler's socket.
    bool ok = umockdev_testbed_attach_ioctl(testbed, node.c_str(), handler_, &error);
    // Each hub on the way is a directory of its own: usb1/1-4/1-4.2.
    std::string path = fmt::sprintf("/devices/pci0000:00/0000:00:14.0/usb%d", d_.bus);
    for (std::size_t end = 0; end < d_.port.size(); ++end) {
      end = std::min(d_.port.find('.', end), d_.port.size());
      path += fmt::sprintf("/%d-%s", d_.bus, d_.port.substr(0, end));
    }
    // The device descriptor (strings 1 and 2 name the maker and the product),
    // then a configuration: interface 0 audio control, interface 1 MIDI
    // streaming (or vendor class) with an IN endpoint and a bulk OUT one.
    const auto lo = [](int v) { return std::uint8_t(v & 0xFF); };
    const auto hi = [](int v) { return std::uint8_t(v >> 8); };
    // clang-format off
    const Bytes descriptors = {
        18, 1, 0, 2, 0, 0, 0, 64, lo(d_.vendorId), hi(d_.vendorId), lo(d_.productId),
        hi(d_.productId), 0, 1, std::uint8_t(d_.manufacturer.empty() ? 0 : 1),
        std::uint8_t(d_.product.empty() ? 0 : 2), std::uint8_t(d_.serial.empty() ? 0 : 3), 1,
        9, 2, 41, 0, 2, 1, 0, 0x80, 50,
        9, 4, 0, 0, 0, 1, 1, 0, 0,
        9, 4, 1, 0, 2, std::uint8_t(d_.midi ? 1 : 0xFF), 3, 0, 0,
        7, 5, kIn, d_.inType, d_.inPacket, 0, std::uint8_t(d_.inType == 3 ? 1 : 0),
        7, 5, kOut, 2, 64, 0, 0};
    // clang-format on
    std::string text = fmt::sprintf(
        "P: %s\nN: bus/usb/%03d/%03d\nE: DEVNAME=%s\nE: DEVTYPE=usb_device\nE: DRIVER=usb\n"
        "E: BUSNUM=%03d\nE: DEVNUM=%03d\nE: MAJOR=189\nE: MINOR=%d\nE: SUBSYSTEM=usb\n"
        "A: bConfigurationValue=1\\n\nA: bNumInterfaces= 2\\n\nA: busnum=%d\\n\nA: devnum=%d\\n\n"
        "A: idVendor=%04x\\n\nA: idProduct=%04x\\n\nA: speed=12\\n\nH: descriptors=%s\n",
        path, d_.bus, d_.address, node, d_.bus, d_.address, (d_.bus - 1) * 128 + d_.address - 1,
        d_.bus, d_.address, d_.vendorId, d_.productId,
        fmt::format("{:02x}", fmt::join(descriptors, "")));
    if (!d_.product.empty()) text += "A: product=" + d_.product + "\\n\n";
    if (!d_.manufacturer.empty()) text += "A: manufacturer=" + d_.manufacturer + "\\n\n";
    if (!ok || !umockdev_testbed_add_from_string(testbed, text.c_str(), &error)) {
      throw std::runtime_error(std::string("umockdev cannot emulate the device: ") +
                               (error != nullptr ? error->message : "unknown error"));
    }
  }
  ~EmulatedUsbDevice() {
    g_signal_handlers_disconnect_by_data(handler_, this);
    for (UMockdevIoctlData* data : held_) g_object_unref(data);
    g_object_unref(handler_);
  }

 private:
  struct Urb {
    UMockdevIoctlData* data;    // the usbdevfs_urb
    UMockdevIoctlData* buffer;  // its buffer
    usbdevfs_urb* operator->() const { return reinterpret_cast<usbdevfs_urb*>(data->data); }
  };
  struct Client {
    std::deque<Urb> pendingIn, reapable;
  };

  static gboolean onIoctl(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer self) {
    static_cast<EmulatedUsbDevice*>(self)->handle(client);
    return TRUE;
  }

  void handle(UMockdevIoctlClient* client) {
    const unsigned long request = umockdev_ioctl_client_get_request(client);
    UMockdevIoctlData* arg = umockdev_ioctl_client_get_arg(client);
    std::lock_guard lock(mutex_);
    Client& state = clients_[client];
    if (unplugged) return umockdev_ioctl_client_complete(client, -1, ENODEV);
    UMockdevIoctlData* data = nullptr;  // what the argument points to
    if (_IOC_SIZE(request) > 0) {
      data = umockdev_ioctl_data_resolve(arg, 0, _IOC_SIZE(request), nullptr);
      if (data == nullptr) return umockdev_ioctl_client_complete(client, -1, EFAULT);
      held_.push_back(data);
    }
    const auto finish = [&](long result, int error) {
      umockdev_ioctl_client_complete(client, result, error);
    };
    // The interface an ioctl names, or -1 for none.
    const auto interface = [](long n) { return n >= 0 && n < kInterfaceCount ? n : -1; };
    bool* bound = seen_.driverBound;
    switch (request) {
      case USBDEVFS_GET_CAPABILITIES:    // as an old kernel answers: libusb still tries
        return finish(-1, ENOTTY);       // DISCONNECT_CLAIM first
      case USBDEVFS_DISCONNECT_CLAIM: {  // libusb takes it from any driver but usbfs
        const long n =
            interface(reinterpret_cast<usbdevfs_disconnect_claim*>(data->data)->interface);
        if (n < 0) return finish(-1, EINVAL);
        if (claimedBy_[n] != nullptr) return finish(-1, EBUSY);
        bound[n] = false;
        claimedBy_[n] = client;
        return finish(0, 0);
      }
      case USBDEVFS_RELEASEINTERFACE: {
        const long n = interface(*reinterpret_cast<unsigned int*>(data->data));
        if (n < 0 || claimedBy_[n] != client) return finish(-1, EINVAL);
        claimedBy_[n] = nullptr;
        return finish(0, 0);
      }
      case USBDEVFS_IOCTL: {  // libusb gives the driver back this way
        auto* command = reinterpret_cast<usbdevfs_ioctl*>(data->data);
        const long n = interface(command->ifno);
        if (n < 0 || static_cast<unsigned long>(command->ioctl_code) != USBDEVFS_CONNECT) break;
        if (claimedBy_[n] != nullptr || bound[n]) return finish(-1, EBUSY);
        bound[n] = true;
        return finish(0, 0);
      }
      case USBDEVFS_SUBMITURB:
        return submit(client, state, data);
      case USBDEVFS_DISCARDURB: {  // the argument is the URB's address in the client
        unsigned long address = 0;
        std::memcpy(&address, arg->data, std::min<std::size_t>(sizeof address, arg->data_len));
        const auto it =
            std::find_if(state.pendingIn.begin(), state.pendingIn.end(),
                         [&](const Urb& urb) { return urb.data->client_addr == address; });
        if (it == state.pendingIn.end()) return finish(-1, EINVAL);  // done: reaped as it is
        (*it)->status = -ENOENT;
        state.reapable.push_back(*it);
        state.pendingIn.erase(it);
        return finish(0, 0);
      }
      case USBDEVFS_REAPURBNDELAY:  // libusb never blocks in a reap
        if (state.reapable.empty()) return finish(-1, EAGAIN);
        umockdev_ioctl_data_set_ptr(data, 0, state.reapable.front().data);
        state.reapable.pop_front();
        return finish(0, 0);
    }
    seen_.problems.push_back(fmt::format("ioctl {:x} not answered", request));
    finish(-1, ENOTTY);
  }

  void submit(UMockdevIoctlClient* client, Client& state, UMockdevIoctlData* data) {
    const auto* header = reinterpret_cast<usbdevfs_urb*>(data->data);
    Urb urb{data,
            umockdev_ioctl_data_resolve(data, offsetof(usbdevfs_urb, buffer),
                                        std::size_t(std::max(header->buffer_length, 0)), nullptr)};
    if (urb.buffer != nullptr) held_.push_back(urb.buffer);
    // A URB of the endpoint's own type, as every platform but Linux insists.
    const bool bulk =
        (urb->endpoint == kIn &&
         urb->type == (d_.inType == 3 ? USBDEVFS_URB_TYPE_INTERRUPT : USBDEVFS_URB_TYPE_BULK)) ||
        (urb->endpoint == kOut && urb->type == USBDEVFS_URB_TYPE_BULK);
    const bool setup = urb->type == USBDEVFS_URB_TYPE_CONTROL && urb->endpoint == 0;
    if (urb.buffer == nullptr || !(bulk || setup) || (bulk && claimedBy_[1] != client)) {
      seen_.problems.push_back(fmt::format("URB refused for endpoint {:02x}", urb->endpoint));
      return umockdev_ioctl_client_complete(client, -1, EINVAL);
    }
    umockdev_ioctl_client_complete(client, 0, 0);
    urb->actual_length = 0;
    urb->status = 0;
    if (setup) {
      control(urb);
      state.reapable.push_back(urb);
    } else if (urb->endpoint == kOut) {
      urb->actual_length = urb->buffer_length;
      state.reapable.push_back(urb);
      takeRequest(Bytes(urb.buffer->data, urb.buffer->data + urb->buffer_length));
    } else {
      state.pendingIn.push_back(urb);
    }
    deliver(state);
  }

  // Hands what waits to go out to the reads waiting for it.
  void deliver(Client& state) {
    while (!state.pendingIn.empty() && !replies_.empty()) {
      const Urb in = state.pendingIn.front();
      state.pendingIn.pop_front();
      Bytes reply = std::move(replies_.front());
      replies_.pop_front();
      if (padded && reply.size() < d_.inPacket) reply.resize(d_.inPacket, 0);
      const std::size_t count = std::min(reply.size(), std::size_t(in->buffer_length));
      std::memcpy(in.buffer->data, reply.data(), count);
      in->actual_length = static_cast<int>(count);
      in->status = reply.size() > count ? -EOVERFLOW : 0;  // babble, as on a real bus
      state.reapable.push_back(in);
    }
  }

  // The string descriptors (languages, maker, product, serial); anything else stalls,
  // as a device answers what it does not know.
  void control(const Urb& urb) {
    const std::uint8_t* setup = urb.buffer->data;
    const int number = setup[2];
    const std::string& text = number == 1 ? d_.manufacturer : number == 2 ? d_.product : d_.serial;
    Bytes answer{4, 3, 0x09, 0x04};  // US English
    if (number != 0) answer = {static_cast<std::uint8_t>(2 + 2 * text.size()), 3};
    for (char c : number != 0 ? text : "") answer.insert(answer.end(), {std::uint8_t(c), 0});
    if (setup[0] != 0x80 || setup[1] != 6 || setup[3] != 3 || number > 3 || answer.size() == 2)
      return void(urb->status = -EPIPE);
    const std::size_t count =
        std::min<std::size_t>({answer.size(), std::size_t(setup[6] | setup[7] << 8),
                               std::size_t(urb->buffer_length - 8)});
    std::memcpy(urb.buffer->data + 8, answer.data(), count);
    urb->actual_length = static_cast<int>(count);
  }

  // 04 F0 M1 M2 | 04 M3 7F 42 | 04 02 YY PP | 07 WW VV F7
  bool isWrite(const Bytes& r) const {
    const Bytes head = readRequest(0, 0, d_.sysexMaker);
    return std::equal(head.begin(), head.begin() + 9, r.begin()) && r[9] == 0x02 && r[12] == 0x07 &&
           r[15] == 0xF7;
  }

  void takeRequest(const Bytes& request) {
    seen_.received.push_back(request);
    if (silent) return;
    Bytes reply;
    if (request == kHandshakeRequest) {
      reply = kHandshakeReply;
    } else if (request.size() == 15 &&
               request == readRequest(request[11], request[13], d_.sysexMaker)) {
      reply = readReply(request[11], request[13], d_.sysexMaker);
    } else if (request.size() == 16 && isWrite(request)) {
      return void(++seen_.writes);  // stored; a write is not answered
    } else {
      return seen_.problems.push_back(
          fmt::format("request not understood: {:02x}", fmt::join(request, " ")));
    }
    if (!playing) return replies_.push_back(std::move(reply));
    // A note on, then half of the reply, clock and key pressure; the rest of
    // the reply in the next transfer.
    Bytes first{0x09, 0x90, 0x3C, 0x64};
    first.insert(first.end(), reply.begin(), reply.begin() + 8);
    first.insert(first.end(), {0x0F, 0xF8, 0x00, 0x00, 0x0A, 0xA0, 0x3C, 0x20});
    replies_.push_back(std::move(first));
    replies_.emplace_back(reply.begin() + 8, reply.end());
  }

  EmulatedDeviceDescription d_;
  UMockdevIoctlBase* handler_;
  mutable std::mutex mutex_;
  std::map<UMockdevIoctlClient*, Client> clients_;
  UMockdevIoctlClient* claimedBy_[kInterfaceCount] = {};
  std::deque<Bytes> replies_;             // IN transfers waiting for a URB
  std::vector<UMockdevIoctlData*> held_;  // every argument and buffer, given back at the end
  Seen seen_;
};

}  // namespace padkbd::test
