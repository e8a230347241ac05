// A USB device emulated with umockdev, for testing LibusbBackend on the real
// libusb path. umockdev puts the device into a private sysfs and /dev tree and
// routes every usbdevfs ioctl on its device node to this object, which answers
// as the kernel would: it takes and reaps URBs, claims interfaces, and keeps a
// kernel driver bound to both interfaces until someone detaches it.
//
// Behind the URBs sits a tiny controller: it answers the handshake and every
// 15-byte read request with a 16-byte reply carrying a value at offset 14, and
// records anything else as a protocol error. Switches make it send what
// hardware sends besides: padding and other MIDI traffic.
//
// The ioctls are answered on umockdev's worker thread; every public member is
// safe to call from the test's thread.
#pragma once

#include <umockdev.h>

#include <array>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "padkbd/BuildConfig.h"

namespace padkbd::test {

using Bytes = std::vector<std::uint8_t>;

struct EmulatedDeviceDescription {
  std::uint16_t vendorId = 0;
  std::uint16_t productId = 0;
  std::string product{};  // empty: the device has no product string
  int bus = 1;
  int address = 2;
  // Ports from the root hub down: "4.2" is port 2 of the hub on port 4 (sysfs
  // name "1-4.2"; add the hub first). Empty makes the device the root hub
  // itself (sysfs name "usb1").
  std::string port = "1";
  std::string manufacturer{};  // empty: the device has no manufacturer string
  // False: interface 1 is of the vendor class instead of MIDI streaming.
  bool midi = true;
  // The SysEx manufacturer bytes its requests and replies carry.
  std::array<std::uint8_t, 3> sysexMaker = config::kManufacturerId;
};

class EmulatedUsbDevice {
 public:
  static constexpr int kInterfaceCount = 2;
  static constexpr std::uint8_t kInEndpoint = 0x81;
  static constexpr std::uint8_t kOutEndpoint = 0x02;
  static constexpr int kMaxPacketSize = 64;
  static constexpr const char* kDriver = "snd-usb-audio";

  // Adds the device to the testbed, its ioctl handler attached first. Destroy
  // it after the testbed (whose thread calls it) or once no client has it open.
  EmulatedUsbDevice(UMockdevTestbed* testbed, EmulatedDeviceDescription description);
  ~EmulatedUsbDevice();
  EmulatedUsbDevice(const EmulatedUsbDevice&) = delete;
  EmulatedUsbDevice& operator=(const EmulatedUsbDevice&) = delete;

  // The value a read request for parameter `parameter` of target `target`
  // gets back (7 bits, different for neighbouring requests).
  static std::uint8_t valueFor(std::uint8_t parameter, std::uint8_t target);
  static Bytes handshakeRequest();
  static Bytes handshakeReply();
  using Maker = std::array<std::uint8_t, 3>;
  static Bytes readRequest(std::uint8_t parameter, std::uint8_t target,
                           const Maker& maker = config::kManufacturerId);
  static Bytes readReply(std::uint8_t parameter, std::uint8_t target,
                         const Maker& maker = config::kManufacturerId);

  // A transfer of other MIDI traffic: a note on, a clock tick, and a control
  // change on cable 1.
  static Bytes traffic();

  // Takes requests but never answers them.
  void setSilent(bool silent);
  // Pads every IN transfer with zero bytes to a whole packet.
  void setPadded(bool padded);
  // Sends traffic() in a transfer of its own before each reply.
  void setTraffic(bool traffic);
  // Gone from the bus: every later ioctl fails with ENODEV, as the kernel's do.
  void unplug();

  bool driverBound(int interface) const;
  bool claimed(int interface) const;
  int detachCount() const;
  int attachCount() const;
  // Bulk OUT transfers taken, and bulk IN transfers delivered, in order.
  std::vector<Bytes> received() const;
  std::vector<Bytes> sent() const;
  std::vector<std::string> protocolErrors() const;
  // Requests this emulation does not answer (failed with ENOTTY).
  std::vector<unsigned long> unknownIoctls() const;
  // IN URBs waiting for a reply, and URBs the client discarded.
  std::size_t pendingReads() const;
  int discardCount() const;

 private:
  struct Urb {
    UMockdevIoctlData* data = nullptr;    // the usbdevfs_urb, one reference
    UMockdevIoctlData* buffer = nullptr;  // its buffer, one reference
  };
  struct Client {
    std::deque<Urb> pendingIn;
    std::deque<Urb> reapable;
    std::vector<Urb> reaped;  // kept until the client's next ioctl
  };

  static gboolean onIoctl(UMockdevIoctlBase* handler, UMockdevIoctlClient* client, gpointer self);
  static void onVanished(UMockdevIoctlBase* handler, UMockdevIoctlClient* client, gpointer self);
  void handle(UMockdevIoctlClient* client);
  void submit(UMockdevIoctlClient* client, Client& state, UMockdevIoctlData* data);
  void control(Urb urb, Client& state);
  void takeRequest(const Bytes& request);
  void deliverReplies(Client& state);
  static void free(Urb& urb);
  void forget(Client& state);

  EmulatedDeviceDescription description_;
  std::string devnode_;
  UMockdevIoctlBase* handler_;
  Bytes deviceDescriptor_;
  Bytes configDescriptor_;

  mutable std::mutex mutex_;
  std::map<UMockdevIoctlClient*, Client> clients_;
  bool driverBound_[kInterfaceCount] = {true, true};
  UMockdevIoctlClient* claimedBy_[kInterfaceCount] = {nullptr, nullptr};
  bool silent_ = false;
  bool padded_ = false;
  bool traffic_ = false;
  bool unplugged_ = false;
  int detaches_ = 0;
  int attaches_ = 0;
  int discards_ = 0;
  std::deque<Bytes> replies_;
  std::vector<Bytes> received_;
  std::vector<Bytes> sent_;
  std::vector<std::string> protocolErrors_;
  std::vector<unsigned long> unknownIoctls_;
};

}  // namespace padkbd::test
