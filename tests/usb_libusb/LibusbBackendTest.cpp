// LibusbBackend on the real libusb path: libusb talks usbdevfs to a device
// that umockdev emulates, whose ioctls EmulatedUsbDevice answers in this
// process. Runs under umockdev-wrapper.
#include <fmt/format.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <umockdev.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <ostream>

#include "padkbd/BuildConfig.h"
#include "tests/usb_libusb/EmulatedUsbDevice.h"
#include "usb/LibusbBackend.h"

namespace padkbd {

// Statuses show as their numbers in failure messages.
void PrintTo(UsbStatus status, std::ostream* os) {
  *os << static_cast<int>(status);
}

namespace {

using namespace std::chrono_literals;
using test::Bytes;
using test::EmulatedDeviceDescription;
using test::EmulatedUsbDevice;
using ::testing::ElementsAre;

constexpr int kReadPipe = 1;
constexpr int kWritePipe = 2;
constexpr std::size_t kReadSize = 63;
// libusb busy-polls an emulated device while it waits, so tests wait briefly.
constexpr auto kShortReadTimeout = 150ms;

class LibusbBackendTest : public ::testing::Test {
 protected:
  LibusbBackendTest() : testbed_(umockdev_testbed_new()) {}

  ~LibusbBackendTest() override {
    // The testbed goes first: it stops the thread that calls the devices.
    g_object_unref(testbed_);
    devices_.clear();
  }

  EmulatedUsbDevice& addDevice(EmulatedDeviceDescription description) {
    devices_.push_back(std::make_unique<EmulatedUsbDevice>(testbed_, std::move(description)));
    return *devices_.back();
  }

  EmulatedUsbDevice& addController(int address = 2, std::string port = "1",
                                   std::string product = "padkbd test controller") {
    return addDevice({.vendorId = config::kUsbVendorId,
                      .productId = config::kUsbProductId,
                      .product = std::move(product),
                      .address = address,
                      .port = std::move(port)});
  }

  // Found, created on interface 1 and opened.
  static UsbInterfaceHandle openController(LibusbBackend& backend) {
    const auto found = backend.findDevices(config::kUsbVendorId, config::kUsbProductId);
    EXPECT_EQ(found.size(), 1u);
    if (found.empty()) return 0;
    UsbInterfaceHandle handle = 0;
    EXPECT_EQ(backend.createInterface(found.front(), 1, handle), UsbStatus::Success);
    EXPECT_EQ(backend.openInterface(handle), UsbStatus::Success);
    return handle;
  }

  // One request and its reply; the reply bytes, or empty when the read failed.
  static Bytes exchange(LibusbBackend& backend, UsbInterfaceHandle handle, const Bytes& request,
                        UsbStatus* readStatus = nullptr) {
    EXPECT_EQ(backend.writePipe(handle, kWritePipe, request.data(), request.size()),
              UsbStatus::Success);
    std::uint8_t buffer[64] = {};
    std::size_t received = 0;
    const UsbStatus status =
        backend.readPipe(handle, kReadPipe, buffer, kReadSize, received, kShortReadTimeout);
    if (readStatus != nullptr) *readStatus = status;
    if (status != UsbStatus::Success) return {};
    return Bytes(buffer, buffer + received);
  }

  void expectQuietDevice(const EmulatedUsbDevice& device) {
    EXPECT_EQ(device.protocolErrors(), std::vector<std::string>{});
    EXPECT_EQ(device.unknownIoctls(), std::vector<unsigned long>{});
  }

  UMockdevTestbed* testbed_;
  std::vector<std::unique_ptr<EmulatedUsbDevice>> devices_;
};

TEST_F(LibusbBackendTest, FindsControllersByIdInBusOrder) {
  // A root hub and an unrelated device on the same bus must not match.
  addDevice({.vendorId = 0x1d6b, .productId = 0x0002, .address = 1, .port = ""});
  // Bus order is port order: the later address on the earlier port comes first.
  addController(5, "1");
  addDevice({.vendorId = config::kUsbVendorId,
             .productId = static_cast<std::uint16_t>(config::kUsbProductId + 1),
             .product = "another product",
             .address = 3,
             .port = "2"});
  addController(4, "3", "");  // a second controller without a product string

  LibusbBackend backend;
  ASSERT_EQ(backend.initStatus(), UsbStatus::Success);

  const auto found = backend.findDevices(config::kUsbVendorId, config::kUsbProductId);
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(found[0].name, "padkbd test controller");
  EXPECT_EQ(found[1].name, "bus 001 address 004");
  EXPECT_NE(found[0].id, found[1].id);

  // Searching again names the same devices by the same ids.
  const auto again = backend.findDevices(config::kUsbVendorId, config::kUsbProductId);
  ASSERT_EQ(again.size(), 2u);
  EXPECT_EQ(again[0].id, found[0].id);
  EXPECT_EQ(again[1].id, found[1].id);

  const auto interfaces = backend.listInterfaces(found[0]);
  ASSERT_EQ(interfaces.size(), 2u);
  EXPECT_EQ(interfaces[0].number, 0);
  EXPECT_EQ(interfaces[0].interfaceClass, 1);
  EXPECT_EQ(interfaces[0].interfaceSubClass, 1);
  EXPECT_EQ(interfaces[1].number, 1);
  EXPECT_EQ(interfaces[1].interfaceClass, 1);
  EXPECT_EQ(interfaces[1].interfaceSubClass, 3);

  // Wrong ids find nothing; a device the backend never found has no interfaces.
  EXPECT_TRUE(backend.findDevices(config::kUsbVendorId, 0xFFFF).empty());
  EXPECT_TRUE(backend.findDevices(0xFFFF, config::kUsbProductId).empty());
  EXPECT_TRUE(backend.listInterfaces(UsbDevice{9999, "nothing"}).empty());
  UsbInterfaceHandle handle = 42;
  EXPECT_EQ(backend.createInterface(UsbDevice{9999, "nothing"}, 1, handle), UsbStatus::NotFound);
  EXPECT_EQ(handle, 0u);
  EXPECT_EQ(backend.createInterface(found[0], 7, handle), UsbStatus::NotFound);
  EXPECT_EQ(handle, 0u);

  for (const auto& device : devices_) expectQuietDevice(*device);
}

TEST_F(LibusbBackendTest, ListsMidiDevicesInBusOrderWithoutTakingThem) {
  // Not MIDI, with an audio control interface and a vendor class one of the
  // MIDI streaming subclass number: the root hub, a hub on port 4, port 9.
  addDevice({.vendorId = 0x1d6b, .productId = 2, .address = 1, .port = "", .midi = false});
  // Port 10 comes after port 4.2 (numbers, not text), bus 1 before bus 2,
  // whatever order they were plugged in.
  addDevice(
      {.vendorId = 0x1209, .productId = 3, .product = "port ten", .address = 5, .port = "10"});
  EmulatedUsbDevice& controller = addDevice({.vendorId = config::kUsbVendorId,
                                             .productId = config::kUsbProductId,
                                             .product = "padkbd test controller",
                                             .bus = 2,
                                             .manufacturer = "padkbd makers"});
  addDevice({.vendorId = 0x1209, .productId = 4, .address = 3, .port = "4", .midi = false});
  addDevice({.vendorId = 0x1209, .productId = 5, .address = 6, .port = "9", .midi = false});
  addDevice({.vendorId = 0x1209, .productId = 2, .address = 7, .port = "4.2"});

  LibusbBackend backend;
  const MidiDeviceListing listing = backend.listMidiDevices();
  ASSERT_EQ(listing.status, UsbStatus::Success);
  std::vector<std::string> seen;
  for (const MidiDeviceInfo& device : listing.devices) {
    EXPECT_EQ(device.access, UsbStatus::Success);
    seen.push_back(fmt::format("{} bus {} {} [{}] [{}]", formatUsbIds(device.ids), device.bus,
                               device.port, device.product, device.manufacturer));
  }
  EXPECT_THAT(seen, ElementsAre("1209:0002 bus 1 1-4.2 [] []", "1209:0003 bus 1 1-10 [port ten] []",
                                fmt::format("{} bus 2 2-1 [padkbd test controller] [padkbd makers]",
                                            formatUsbIds(builtInKeyboard().usb))));
  // Listing opens the device only to read its names.
  EXPECT_TRUE(controller.driverBound(1));
  EXPECT_FALSE(controller.claimed(1));
  for (const auto& device : devices_) expectQuietDevice(*device);
}

TEST_F(LibusbBackendTest, DetachesTheDriverClaimsInterfaceOneAndGivesItBack) {
  EmulatedUsbDevice& device = addController();
  LibusbBackend backend;
  const auto found = backend.findDevices(config::kUsbVendorId, config::kUsbProductId);
  ASSERT_EQ(found.size(), 1u);

  UsbInterfaceHandle handle = 0;
  ASSERT_EQ(backend.createInterface(found[0], 1, handle), UsbStatus::Success);
  EXPECT_NE(handle, 0u);
  // Creating only opens the device; the driver keeps the interface until opened.
  EXPECT_TRUE(device.driverBound(1));
  EXPECT_FALSE(device.claimed(1));
  const Bytes request = EmulatedUsbDevice::handshakeRequest();
  EXPECT_EQ(backend.writePipe(handle, kWritePipe, request.data(), request.size()),
            UsbStatus::InvalidParameter);

  ASSERT_EQ(backend.openInterface(handle), UsbStatus::Success);
  EXPECT_FALSE(device.driverBound(1));
  EXPECT_TRUE(device.claimed(1));
  EXPECT_TRUE(device.driverBound(0));  // the other interface is left alone
  EXPECT_FALSE(device.claimed(0));
  EXPECT_EQ(device.detachCount(), 1);

  // Pipe n is the n-th endpoint: the bulk IN first, the bulk OUT second.
  int count = 0;
  ASSERT_EQ(backend.numEndpoints(handle, count), UsbStatus::Success);
  EXPECT_EQ(count, 2);
  UsbPipeProperties pipe;
  ASSERT_EQ(backend.pipeProperties(handle, 1, pipe), UsbStatus::Success);
  EXPECT_EQ(pipe.direction, 1);
  EXPECT_EQ(pipe.number, 1);
  EXPECT_EQ(pipe.transferType, 2);
  EXPECT_EQ(pipe.maxPacketSize, 64);
  EXPECT_EQ(pipe.interval, 0);
  ASSERT_EQ(backend.pipeProperties(handle, 2, pipe), UsbStatus::Success);
  EXPECT_EQ(pipe.direction, 0);
  EXPECT_EQ(pipe.number, 2);
  EXPECT_EQ(pipe.transferType, 2);
  EXPECT_EQ(pipe.maxPacketSize, 64);
  EXPECT_EQ(backend.pipeProperties(handle, 0, pipe), UsbStatus::InvalidParameter);
  EXPECT_EQ(backend.pipeProperties(handle, 3, pipe), UsbStatus::InvalidParameter);

  // A write to the IN pipe or a read from the OUT pipe moves nothing.
  EXPECT_EQ(backend.writePipe(handle, kReadPipe, request.data(), request.size()),
            UsbStatus::InvalidParameter);
  std::uint8_t buffer[64] = {};
  std::size_t received = 99;
  EXPECT_EQ(backend.readPipe(handle, kWritePipe, buffer, kReadSize, received, kShortReadTimeout),
            UsbStatus::InvalidParameter);
  EXPECT_EQ(received, 0u);
  EXPECT_TRUE(device.received().empty());

  // The handshake retry closes and opens again: the driver gets the interface
  // back in between and loses it again.
  EXPECT_EQ(backend.closeInterface(handle), UsbStatus::Success);
  EXPECT_FALSE(device.claimed(1));
  EXPECT_TRUE(device.driverBound(1));
  EXPECT_EQ(backend.closeInterface(handle), UsbStatus::NotFound);
  EXPECT_EQ(backend.openInterface(handle), UsbStatus::Success);
  EXPECT_TRUE(device.claimed(1));
  EXPECT_FALSE(device.driverBound(1));
  EXPECT_EQ(device.detachCount(), 2);

  backend.releaseInterface(handle);
  EXPECT_FALSE(device.claimed(1));
  EXPECT_TRUE(device.driverBound(1));
  EXPECT_EQ(device.attachCount(), 2);
  // A released handle is gone; releasing it twice is harmless.
  EXPECT_EQ(backend.openInterface(handle), UsbStatus::InvalidParameter);
  EXPECT_EQ(backend.numEndpoints(handle, count), UsbStatus::InvalidParameter);
  backend.releaseInterface(handle);
  expectQuietDevice(device);
}

TEST_F(LibusbBackendTest, HandshakeAndHundredsOfExchangesArriveInOrder) {
  EmulatedUsbDevice& device = addController();
  LibusbBackend backend;
  const UsbInterfaceHandle handle = openController(backend);
  ASSERT_NE(handle, 0u);

  std::vector<Bytes> requests{EmulatedUsbDevice::handshakeRequest()};
  std::vector<Bytes> replies{EmulatedUsbDevice::handshakeReply()};
  EXPECT_EQ(exchange(backend, handle, requests[0]), replies[0]);

  constexpr int kExchanges = 300;
  for (int i = 0; i < kExchanges; ++i) {
    const auto parameter = static_cast<std::uint8_t>(i % 8);
    const auto target = static_cast<std::uint8_t>(i / 8);
    requests.push_back(EmulatedUsbDevice::readRequest(parameter, target));
    replies.push_back(EmulatedUsbDevice::readReply(parameter, target));
    const Bytes reply = exchange(backend, handle, requests.back());
    ASSERT_EQ(reply, replies.back()) << "exchange " << i;
    // The value at offset 14 is the one for this very request.
    ASSERT_EQ(reply[14], EmulatedUsbDevice::valueFor(parameter, target));
  }
  // A padded reply fills the packet: a read of 63 bytes gets the host's
  // overflow with the 63 that fitted and nothing beyond, one of 64 gets it all.
  device.setPadded(true);
  Bytes padded = EmulatedUsbDevice::readReply(5, 9);
  padded.resize(64, 0);
  for (const std::size_t capacity : {std::size_t{63}, std::size_t{64}}) {
    const Bytes request = EmulatedUsbDevice::readRequest(5, 9);
    ASSERT_EQ(backend.writePipe(handle, kWritePipe, request.data(), request.size()),
              UsbStatus::Success);
    requests.push_back(request);
    replies.emplace_back(padded.begin(), padded.begin() + static_cast<std::ptrdiff_t>(capacity));
    std::uint8_t buffer[64];
    std::fill(std::begin(buffer), std::end(buffer), 0xEE);
    std::size_t received = 99;
    EXPECT_EQ(backend.readPipe(handle, kReadPipe, buffer, capacity, received, kShortReadTimeout),
              capacity == 64 ? UsbStatus::Success : UsbStatus::Overflow);
    EXPECT_EQ(Bytes(buffer, buffer + received), replies.back());
    EXPECT_EQ(buffer[63], capacity == 64 ? 0x00 : 0xEE);
  }

  // Every write went out whole (15 bytes stay 15) and in order.
  EXPECT_EQ(device.received(), requests);
  EXPECT_EQ(device.sent(), replies);
  EXPECT_EQ(device.pendingReads(), 0u);
  EXPECT_EQ(device.discardCount(), 0);
  expectQuietDevice(device);
}

TEST_F(LibusbBackendTest, SilentDeviceTimesOutAndLeavesNoStaleReply) {
  EmulatedUsbDevice& device = addController();
  LibusbBackend backend;
  const UsbInterfaceHandle handle = openController(backend);
  ASSERT_NE(handle, 0u);
  ASSERT_EQ(exchange(backend, handle, EmulatedUsbDevice::handshakeRequest()),
            EmulatedUsbDevice::handshakeReply());

  device.setSilent(true);
  const Bytes unanswered = EmulatedUsbDevice::readRequest(3, 20);
  ASSERT_EQ(backend.writePipe(handle, kWritePipe, unanswered.data(), unanswered.size()),
            UsbStatus::Success);
  std::uint8_t buffer[64];
  std::fill(std::begin(buffer), std::end(buffer), 0xEE);
  std::size_t received = 99;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(backend.readPipe(handle, kReadPipe, buffer, kReadSize, received, kShortReadTimeout),
            UsbStatus::Timeout);
  const auto waited = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(received, 0u);
  EXPECT_TRUE(std::all_of(std::begin(buffer), std::end(buffer), [](auto b) { return b == 0xEE; }));
  // The read waits as long as it was told to, not as long as a write may.
  EXPECT_GE(waited, kShortReadTimeout - 10ms);
  EXPECT_LT(waited, LibusbBackend::kWriteTimeout - 50ms);
  // The read was taken back from the device, so no later reply can land in it.
  EXPECT_EQ(device.pendingReads(), 0u);
  EXPECT_EQ(device.discardCount(), 1);

  // The next exchange gets its own reply, and after it nothing more arrives.
  device.setSilent(false);
  EXPECT_EQ(exchange(backend, handle, EmulatedUsbDevice::readRequest(4, 21)),
            EmulatedUsbDevice::readReply(4, 21));
  EXPECT_EQ(backend.readPipe(handle, kReadPipe, buffer, kReadSize, received, kShortReadTimeout),
            UsbStatus::Timeout);
  EXPECT_EQ(received, 0u);
  EXPECT_EQ(device.sent().back(), EmulatedUsbDevice::readReply(4, 21));
  EXPECT_EQ(device.sent().size(), 2u);
  expectQuietDevice(device);
}

TEST_F(LibusbBackendTest, UnpluggedDeviceFailsWithNoDevice) {
  EmulatedUsbDevice& device = addController();
  LibusbBackend backend;
  const UsbInterfaceHandle handle = openController(backend);
  ASSERT_NE(handle, 0u);
  const Bytes request = EmulatedUsbDevice::readRequest(1, 2);
  ASSERT_EQ(exchange(backend, handle, request), EmulatedUsbDevice::readReply(1, 2));

  device.unplug();
  EXPECT_EQ(backend.writePipe(handle, kWritePipe, request.data(), request.size()),
            UsbStatus::NoDevice);
  std::uint8_t buffer[64] = {};
  std::size_t received = 99;
  EXPECT_EQ(backend.readPipe(handle, kReadPipe, buffer, kReadSize, received, kShortReadTimeout),
            UsbStatus::NoDevice);
  EXPECT_EQ(received, 0u);
  // Closing a vanished interface reports it and still lets go of the handle.
  EXPECT_EQ(backend.closeInterface(handle), UsbStatus::NoDevice);
  backend.releaseInterface(handle);
  EXPECT_EQ(backend.openInterface(handle), UsbStatus::InvalidParameter);
  EXPECT_EQ(device.received().size(), 1u);
}

}  // namespace
}  // namespace padkbd

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  // Without the preloaded library libusb would see the machine's real devices.
  const char* preload = std::getenv("LD_PRELOAD");
  if (preload == nullptr || std::strstr(preload, "libumockdev-preload") == nullptr) {
    std::fprintf(stderr, "These tests run under umockdev-wrapper.\n");
    return 1;
  }
  return RUN_ALL_TESTS();
}
