// LibusbBackend on the real libusb path, alone and under the command-line
// tool: libusb talks usbdevfs to devices that umockdev emulates, whose ioctls
// EmulatedUsbDevice answers in this process. Runs under umockdev-wrapper.
#include "link/usb/LibusbBackend.h"

#include <fmt/format.h>
#include <gmock/gmock.h>

#include <chrono>
#include <cstring>
#include <optional>
#include <thread>

#include "cli/Cli.h"
#include "link/Listener.h"
#include "link/usb/UsbLink.h"
#include "protocol/PadAction.h"
#include "storage/FileAction.h"
#include "tests/support/TempDir.h"
#include "tests/usb_libusb/EmulatedUsbDevice.h"

namespace padkbd {
namespace {

using namespace std::chrono_literals;
using test::Bytes;
using test::EmulatedUsbDevice;
using ::testing::ElementsAre;
using Read = std::pair<UsbStatus, Bytes>;

constexpr int kReadPipe = 1, kWritePipe = 2;
constexpr auto kWait = 150ms;  // libusb busy-polls an emulated device while it waits

class OverLibusb : public ::testing::Test {
 protected:
  ~OverLibusb() override {
    usb_.reset();
    g_object_unref(testbed_);  // before the devices: its thread calls them
  }
  EmulatedUsbDevice& add(test::EmulatedDeviceDescription description = {.product = "pads"}) {
    devices_.push_back(std::make_unique<EmulatedUsbDevice>(testbed_, std::move(description)));
    return *devices_.back();
  }
  // Made once the devices are plugged in.
  LibusbBackend& usb() { return usb_ ? *usb_ : usb_.emplace(); }
  std::vector<UsbDevice> find() {
    return usb().findDevices(config::kUsbVendorId, config::kUsbProductId);
  }
  // Who has each interface: the kernel's driver, this program, or nobody.
  static std::string owners(const EmulatedUsbDevice& device) {
    const auto seen = device.seen();
    std::string text;
    for (int i = 0; i < EmulatedUsbDevice::kInterfaceCount; ++i)
      text += seen.driverBound[i] ? "driver " : seen.claimed[i] ? "us " : "nobody ";
    return text;
  }
  // Reads into a buffer of 0xEE bytes, which must stay past what arrived.
  Read read(UsbInterfaceHandle handle, std::size_t capacity = 63, int pipe = kReadPipe) {
    std::uint8_t buffer[64];
    std::memset(buffer, 0xEE, sizeof buffer);
    std::size_t received = 99;
    const UsbStatus status = usb().readPipe(handle, pipe, buffer, capacity, received, kWait);
    EXPECT_TRUE(std::all_of(buffer + received, buffer + 64, [](auto b) { return b == 0xEE; }));
    return {status, Bytes(buffer, buffer + received)};
  }
  UsbStatus write(UsbInterfaceHandle handle, const Bytes& bytes, int pipe = kWritePipe) {
    return usb().writePipe(handle, pipe, bytes.data(), bytes.size());
  }
  void TearDown() override {
    for (const auto& device : devices_) EXPECT_THAT(device->seen().problems, ElementsAre());
  }

  UMockdevTestbed* testbed_ = umockdev_testbed_new();
  std::vector<std::unique_ptr<EmulatedUsbDevice>> devices_;
  std::optional<LibusbBackend> usb_;
};

// Every error libusb defines (0, -1 to -12, -99: its documented values),
// and one it does not, becomes the status of its meaning, told in the tool's words with the code
// the advice follows.
TEST(LibusbStatus, EachErrorIsToldByItsMeaning) {
  const std::tuple<int, const char*, Code> each[] = {
      {0, "success", Code::Ok},
      {-1, "input/output error", Code::LinkFailed},
      {-2, "invalid parameter", Code::LinkFailed},
      {-3, "access denied", Code::LinkDenied},
      {-4, "no device (it may have been unplugged)", Code::LinkGone},
      {-5, "not found", Code::LinkNotFound},
      {-6, "busy", Code::LinkBusy},
      {-7, "timed out", Code::KeyboardSilent},
      {-8, "overflow", Code::LinkFailed},
      {-9, "pipe error", Code::LinkFailed},
      {-10, "interrupted", Code::Cancelled},
      {-11, "out of memory", Code::LinkFailed},
      {-12, "not supported", Code::LinkUnavailable},
      {-99, "other error", Code::LinkFailed},
      {-100, "other error", Code::LinkFailed}};
  for (const auto& [error, words, code] : each) {
    const Text text = usbStatusText(usbStatusFromLibusb(error));
    EXPECT_EQ(english(text), words) << error;
    EXPECT_EQ(catalogueEntry(text.id).code, code) << error;
  }
}

TEST_F(OverLibusb, FindsControllersAndListsMidiDevicesInBusOrder) {
  // Not MIDI, though with an audio control interface: the root hub, a hub.
  add({.productId = 2, .address = 1, .port = "", .midi = false});
  add({.productId = 4, .address = 3, .port = "4", .midi = false});
  // Port 10 comes after port 4.2 (numbers, not text) and bus 1 before bus
  // 2, whatever the addresses.
  add({.productId = 3, .product = "other", .address = 7, .port = "4.2"});
  EmulatedUsbDevice& pads =
      add({.product = "pads", .address = 5, .port = "10", .manufacturer = "us", .serial = "K7"});
  add({.bus = 2, .address = 4});  // a second controller, without names

  const auto found = find();
  ASSERT_EQ(found.size(), 2u);
  // Named, or by their place; the serial number is how the history tells keyboards apart.
  EXPECT_EQ(
      fmt::format("{} {}|{} {}", found[0].name, found[0].serial, found[1].name, found[1].serial),
      "pads K7|bus 002 address 004 ");
  EXPECT_NE(found[0].id, found[1].id);
  EXPECT_EQ(find()[1].id, found[1].id);  // a device keeps its id
  EXPECT_TRUE(usb().findDevices(0xFFFF, config::kUsbProductId).empty());
  UsbInterfaceHandle handle = 42;
  EXPECT_EQ(usb().createInterface(UsbDevice{9999, "gone"}, 1, handle), UsbStatus::NotFound);
  EXPECT_EQ(usb().createInterface(found[0], 7, handle), UsbStatus::NotFound);
  EXPECT_EQ(handle, 0u);

  std::vector<std::string> seen;
  for (const MidiDeviceInfo& d : usb().listMidiDevices().devices) {
    seen.push_back(fmt::format("{} {} [{}] [{}] {}", formatUsbIds(d.ids).substr(5), d.port,
                               d.product, d.manufacturer,
                               d.access == LinkAccess::Granted ? "success" : d.accessProblem));
  }
  const std::string id = formatUsbIds({config::kUsbVendorId, config::kUsbProductId}).substr(5);
  EXPECT_THAT(seen, ElementsAre("0003 1-4.2 [other] [] success", id + " 1-10 [pads] [us] success",
                                id + " 2-1 [] [] success"));
  EXPECT_EQ(owners(pads), "driver driver ") << "listing opens a device only to read its names";
  // ... and closes it again: listing over and over holds no file open.
  const auto openFiles = [] {
    return std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {});
  };
  const auto before = openFiles();
  for (int n = 0; n < 3; ++n) EXPECT_EQ(usb().listMidiDevices().devices.size(), 3u);
  // umockdev's thread closes its end of a closed device a moment later, one
  // counted in before among them; a file left open by each listing stays.
  for (int wait = 0; wait < 100 && openFiles() > before; ++wait) std::this_thread::sleep_for(10ms);
  EXPECT_LE(openFiles(), before);
}

// The window learns of keyboards coming and going from one watch at a time,
// which stops when nobody listens and can start again.
TEST_F(OverLibusb, WatchesForDevicesOnceStopsAndWatchesAgain) {
  add();
  int told = 0;
  const auto tell = [&told] { ++told; };
  EXPECT_TRUE(usb().watchForChanges(tell));
  EXPECT_FALSE(usb().watchForChanges(tell)) << "already watching";
  EXPECT_FALSE(usb().watchForChanges({}));
  EXPECT_TRUE(usb().watchForChanges(tell)) << "a stopped watch starts again";
  usb().pollEvents();
  EXPECT_EQ(told, 0) << "nothing came or went";
}

TEST_F(OverLibusb, DetachesTheDriverClaimsInterfaceOneAndGivesItBack) {
  EmulatedUsbDevice& device = add();
  UsbInterfaceHandle handle = 0;
  ASSERT_EQ(usb().createInterface(find().at(0), 1, handle), UsbStatus::Success);
  // Creating only opens the device: nothing goes through it yet.
  EXPECT_EQ(owners(device), "driver driver ");
  EXPECT_EQ(write(handle, EmulatedUsbDevice::kHandshakeRequest), UsbStatus::InvalidParameter);
  ASSERT_EQ(usb().openInterface(handle), UsbStatus::Success);
  EXPECT_EQ(owners(device), "driver us ");

  // Pipe 1 is the bulk IN endpoint, pipe 2 the bulk OUT: a write to the IN
  // pipe or a read from the OUT pipe moves nothing.
  int count = 0;
  EXPECT_EQ(usb().numEndpoints(handle, count), UsbStatus::Success);
  EXPECT_EQ(count, 2);
  UsbPipeProperties in{}, out{};
  EXPECT_EQ(usb().pipeProperties(handle, 1, in), UsbStatus::Success);
  EXPECT_EQ(usb().pipeProperties(handle, 2, out), UsbStatus::Success);
  EXPECT_EQ(
      fmt::format("{} {} {} {}, {} {} {} {}", in.direction, in.number, in.transferType,
                  in.maxPacketSize, out.direction, out.number, out.transferType, out.maxPacketSize),
      "1 1 2 64, 0 2 2 64");
  EXPECT_EQ(write(handle, Bytes{0x0F, 0xF8, 0, 0}, kReadPipe), UsbStatus::InvalidParameter);
  for (const int pipe : {0, 3}) {  // no such pipe, either side
    EXPECT_EQ(usb().pipeProperties(handle, pipe, in), UsbStatus::InvalidParameter);
    EXPECT_EQ(write(handle, Bytes{0x0F, 0xF8, 0, 0}, pipe), UsbStatus::InvalidParameter);
    EXPECT_EQ(read(handle, 63, pipe), Read(UsbStatus::InvalidParameter, {}));
  }
  EXPECT_EQ(read(handle, 63, kWritePipe), Read(UsbStatus::InvalidParameter, {}));
  std::size_t received = 0;  // no buffer for what is asked
  EXPECT_EQ(usb().readPipe(handle, kReadPipe, nullptr, 64, received, kWait),
            UsbStatus::InvalidParameter);
  EXPECT_EQ(usb().writePipe(handle, kWritePipe, nullptr, 64), UsbStatus::InvalidParameter);
  EXPECT_TRUE(device.seen().received.empty());

  // Closed, the interface goes back to the driver; opened, it is ours again.
  EXPECT_EQ(usb().closeInterface(handle), UsbStatus::Success);
  EXPECT_EQ(owners(device), "driver driver ");
  EXPECT_EQ(usb().closeInterface(handle), UsbStatus::NotFound);
  EXPECT_EQ(usb().openInterface(handle), UsbStatus::Success);
  EXPECT_EQ(owners(device), "driver us ");
  usb().releaseInterface(handle);
  EXPECT_EQ(owners(device), "driver driver ");
  // A released handle is gone, for every call; releasing it twice is harmless.
  EXPECT_EQ(usb().openInterface(handle), UsbStatus::InvalidParameter);
  EXPECT_EQ(usb().closeInterface(handle), UsbStatus::InvalidParameter);
  EXPECT_EQ(usb().numEndpoints(handle, count), UsbStatus::InvalidParameter);
  EXPECT_EQ(usb().pipeProperties(handle, 1, in), UsbStatus::InvalidParameter);
  usb().releaseInterface(handle);
}

// Another program holding the interface: this one is refused as busy, and
// granted once the other lets go; then both give it back.
TEST_F(OverLibusb, AnInterfaceHeldElsewhereIsBusyUntilGivenBack) {
  EmulatedUsbDevice& device = add();
  LibusbBackend other;
  UsbInterfaceHandle mine = 0, theirs = 0;
  ASSERT_EQ(other.createInterface(
                other.findDevices(config::kUsbVendorId, config::kUsbProductId).at(0), 1, theirs),
            UsbStatus::Success);
  ASSERT_EQ(other.openInterface(theirs), UsbStatus::Success);
  ASSERT_EQ(usb().createInterface(find().at(0), 1, mine), UsbStatus::Success);
  EXPECT_EQ(usb().openInterface(mine), UsbStatus::Busy);
  EXPECT_EQ(other.closeInterface(theirs), UsbStatus::Success);
  EXPECT_EQ(usb().openInterface(mine), UsbStatus::Success);
  EXPECT_EQ(owners(device), "driver us ");
  usb().releaseInterface(mine);
  other.releaseInterface(theirs);
  EXPECT_EQ(owners(device), "driver driver ");
}

TEST_F(OverLibusb, ExchangesArriveWholeAndInOrderAndSilenceTimesOutCleanly) {
  EmulatedUsbDevice& device = add();
  UsbInterfaceHandle handle = 0;
  ASSERT_EQ(usb().createInterface(find().at(0), 1, handle), UsbStatus::Success);
  ASSERT_EQ(usb().openInterface(handle), UsbStatus::Success);
  std::vector<Bytes> requests;
  for (int i = -1; i < 300; ++i) {  // the handshake, then reads
    requests.push_back(i < 0 ? EmulatedUsbDevice::kHandshakeRequest
                             : EmulatedUsbDevice::readRequest(i % 8, i / 8));
    const Bytes reply =
        i < 0 ? EmulatedUsbDevice::kHandshakeReply : EmulatedUsbDevice::readReply(i % 8, i / 8);
    ASSERT_EQ(write(handle, requests.back()), UsbStatus::Success);
    ASSERT_EQ(read(handle), Read(UsbStatus::Success, reply)) << "exchange " << i;
  }
  // A reply padded to a whole packet: a read of 63 bytes gets the host's
  // overflow with the 63 that fitted, one of 64 gets it all.
  device.padded = true;
  for (const std::size_t capacity : {63u, 64u}) {
    requests.push_back(EmulatedUsbDevice::readRequest(5, 9));
    Bytes reply = EmulatedUsbDevice::readReply(5, 9);
    reply.resize(capacity, 0);
    ASSERT_EQ(write(handle, requests.back()), UsbStatus::Success);
    EXPECT_EQ(read(handle, capacity),
              Read(capacity == 64 ? UsbStatus::Success : UsbStatus::Overflow, reply));
  }
  device.padded = false;
  EXPECT_EQ(device.seen().received, requests);  // each write went out whole, in order

  // No answer: the read waits as long as it was told to (not as long as a
  // write may) and is taken back, so that no later reply lands in it.
  device.silent = true;
  ASSERT_EQ(write(handle, EmulatedUsbDevice::readRequest(3, 20)), UsbStatus::Success);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(read(handle), Read(UsbStatus::Timeout, {}));
  const auto waited = std::chrono::steady_clock::now() - start;
  EXPECT_GE(waited, kWait - 10ms);
  EXPECT_LT(waited, LibusbBackend::kWriteTimeout - 50ms);
  EXPECT_EQ(device.seen().pendingReads, 0u);
  device.silent = false;
  const Bytes request = EmulatedUsbDevice::readRequest(4, 21);
  ASSERT_EQ(write(handle, request), UsbStatus::Success);
  EXPECT_EQ(read(handle), Read(UsbStatus::Success, EmulatedUsbDevice::readReply(4, 21)));
  EXPECT_EQ(read(handle).first, UsbStatus::Timeout);  // and nothing after it

  // Unplugged: NoDevice, and closing still lets go of the handle.
  device.unplugged = true;
  EXPECT_EQ(write(handle, request), UsbStatus::NoDevice);
  EXPECT_EQ(read(handle), Read(UsbStatus::NoDevice, {}));
  EXPECT_EQ(usb().closeInterface(handle), UsbStatus::NoDevice);
  usb().releaseInterface(handle);
}

// Listening takes the keyboard from its kernel driver only while it is on,
// and gives it back for a send (which takes it itself, as a read does) and at
// the end; what is played meanwhile comes through libusb.
TEST_F(OverLibusb, ListeningClaimsTheKeyboardAndGivesItBackAroundASend) {
  EmulatedUsbDevice& device = add();
  UsbLink link(usb());
  InterfaceAction io(link);
  FileAction files(PADKBD_TEST_RESOURCE_DIR, {});
  PadAction pad(io, files);
  Listener listener(io);
  const std::atomic<bool> never{false};
  std::vector<usbmidi::ChannelMessage> heard;
  const auto listen = [&] {
    heard.clear();
    for (auto end = LinkClock::now() + 5s; heard.empty() && LinkClock::now() < end;) {
      EXPECT_TRUE(listener.listen(LinkClock::now() + 100ms, &never,
                                  [&](const usbmidi::ChannelMessage& m) { heard.push_back(m); }));
    }
    return heard;
  };
  using Heard = std::vector<usbmidi::ChannelMessage>;
  ASSERT_TRUE(pad.ReadPadValueFromDevice());  // what the send sends
  ASSERT_TRUE(listener.start());
  EXPECT_EQ(owners(device), "driver us ");
  // A note among padding, as the keyboard fills its packets.
  Bytes note = {0x09, 0x99, 0x28, 0x64};
  note.resize(64, 0);
  device.play(note);
  EXPECT_EQ(listen(), (Heard{{0x99, 0x28, 0x64, 0}}));
  listener.stop();
  EXPECT_EQ(owners(device), "driver driver ");
  EXPECT_FALSE(io.hasInterface());
  // After a handshake, as every send.
  ASSERT_TRUE(pad.OpenInterface());
  ASSERT_TRUE(pad.WritePadValueToDevice());
  EXPECT_EQ(device.seen().writes, std::size_t(PadAction::kFullExchange));
  EXPECT_EQ(owners(device), "driver driver ");
  // Listening goes on after it, and at the end the keyboard is the driver's.
  ASSERT_TRUE(listener.start());
  device.play({0x0B, 0xB2, 0x07, 0x10});
  EXPECT_EQ(listen(), (Heard{{0xB2, 0x07, 0x10, 0}}));
  // Unplugged: listening ends, said so.
  device.unplugged = true;
  Outcome gone = Outcome::success();
  for (auto end = LinkClock::now() + 5s; gone && LinkClock::now() < end;)
    gone = listener.listen(LinkClock::now() + 100ms, &never, [](const auto&) {});
  EXPECT_EQ(gone.code(), Code::LinkGone);
  EXPECT_EQ(gone.message(), "no device (it may have been unplugged)");
  EXPECT_FALSE(listener.listening());
}

// A new user's first steps with a keyboard whose ids are not the built-in
// ones, which plays and pads its transfers as hardware does, on an interrupt
// endpoint of 32-byte packets: choose it and read it, with nothing simulated
// above USB.
TEST_F(OverLibusb, TheToolChoosesAndReadsANewKeyboard) {
  test::TempDir dir;
  test::ScopedEnv config{"XDG_CONFIG_HOME", (dir / "config").string()};
  // clang-format off
  EmulatedUsbDevice& keyboard = add({.vendorId = 0x1234, .productId = 0x5678, .product = "Pads",
      .manufacturer = "Nobody", .sysexMaker = {0x00, 0x20, 0x6B}, .inType = 3, .inPacket = 32});
  // clang-format on
  keyboard.padded = true;
  keyboard.playing = true;
  // The status of padkbd `args`, run in this process (libusb must see the emulated bus).
  const auto padkbd = [](std::vector<std::string> args) {
    args.insert(args.begin(), "padkbd");
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    return cli::run(static_cast<int>(argv.size()), argv.data());
  };
  ASSERT_EQ(padkbd({"use", "1234:5678", "--manufacturer", "00 20 6b"}), 0);
  // Listed, also while a MIDI port is the way to the keyboard (what a listing
  // holds: FindsControllersAndListsMidiDevicesInBusOrder).
  testing::internal::CaptureStdout();
  EXPECT_EQ(padkbd({"devices", "--port", "Pads"}), 0);
  EXPECT_THAT(testing::internal::GetCapturedStdout(), testing::HasSubstr("1234:5678"));
  EXPECT_EQ(padkbd({"read", "-q", "-o", (dir / "mine.padkbd").string()}), 0);
  EXPECT_TRUE(readPresetFile(dir / "mine.padkbd"));
  // The driver is back (and every request carried the chosen maker's bytes,
  // or the keyboard would have found problems: TearDown).
  EXPECT_EQ(owners(keyboard), "driver driver ");
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
