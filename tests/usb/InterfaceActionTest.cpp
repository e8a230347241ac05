#include "link/InterfaceAction.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "link/UsbMidi.h"
#include "model/Log.h"
#include "sim/SimulatedController.h"
#include "tests/support/ScriptedBackend.h"

namespace padkbd {
namespace {

using Bytes = std::vector<std::uint8_t>;

const ManufacturerId kM = builtInKeyboard().manufacturer;
const Bytes kHandshake = {0x04, 0xF0, 0x7E, 0x7F, 0x07, 0x0A, 0x0B, 0xF7};

Bytes readRequest(std::uint8_t pp, std::uint8_t ww) {
  return {0x04, 0xF0, kM[0], kM[1], 0x04, kM[2], 0x7F, 0x42, 0x04, 0x01, 0x00, pp, 0x06, ww, 0xF7};
}

// "" when the write went out, else why not.
std::string write(InterfaceAction& usb, const Bytes& bytes) {
  return usb.WriteToDeviceWithChar(bytes.data(), static_cast<std::int32_t>(bytes.size())).message();
}

int value(const Result<std::int8_t>& read) {
  return read ? *read : -1;
}

using Scripted = test::ScriptedLink;

// The transport over the simulated keyboard, found and opened.
struct OnSim {
  SimulatedController backend;
  InterfaceAction usb{backend};
  OnSim() { EXPECT_TRUE(usb.FindDevice() && usb.CreateInterface()); }
};

TEST(InterfaceActionFind, TheLastMatchWinsAndAFailedSearchForgetsIt) {
  Scripted s;
  s.backend.devices = {{11, "first keyboard"}, {12, "second keyboard"}};
  InterfaceAction& usb = s.usb;
  ASSERT_TRUE(usb.FindDevice());
  EXPECT_EQ(s.link.device()->id, 12u);
  s.backend.failing["find"] = UsbStatus::Other;
  EXPECT_FALSE(usb.FindDevice());
  EXPECT_FALSE(usb.hasDevice());
}

TEST(InterfaceActionCreate, TakesTheSecondInterfaceAndReadsWholePacketsOfItsReadPipe) {
  for (const auto& [packet, read] : std::vector<std::pair<int, std::size_t>>{
           {0, 64}, {2, 4}, {8, 8}, {64, 64}, {512, 512}, {5000, 1024}}) {
    Scripted s;
    s.backend.interfaces = {{4, 1, 1}, {2, 1, 3}, {0, 1, 3}};
    s.backend.packetSize = packet;
    ASSERT_TRUE(s.open());
    EXPECT_EQ(s.backend.calls.at(0), "create 2");
    (void)s.usb.ReadValueFromDevice();
    EXPECT_EQ(s.backend.readSizes.at(0), read) << packet;
  }
}

TEST(InterfaceActionCreate, EachFailingStepGivesBackWhatItTookAndSaysWhy) {
  // The step that fails, with its status; the calls made; why, as said; the
  // code the advice to the user follows (each status's own: LibusbStatus).
  using C = Code;
  const std::vector<std::string> given = {"create 1", "open", "close", "release"};
  const std::tuple<std::string, UsbStatus, std::vector<std::string>, std::string, C> cases[] = {
      {"", UsbStatus::Success, {}, "found (not found)", C::LinkNotFound},  // one interface only
      {"create", UsbStatus::AccessDenied, {"create 1"}, "opened (access denied)", C::LinkDenied},
      {"create", UsbStatus::IoError, {"create 1"}, "opened (input/output error)", C::LinkFailed},
      {"handle", UsbStatus::Success, {"create 1"}, "opened", C::LinkFailed},
      {"open", UsbStatus::Busy, {"create 1", "open", "release"}, "claimed (busy)", C::LinkBusy},
      {"open",
       UsbStatus::IoError,
       {"create 1", "open", "release"},
       "claimed (input/output error)",
       C::LinkFailed},
      {"endpoints", UsbStatus::IoError, given, "examined", C::LinkFailed},
      {"pipe 2", UsbStatus::Pipe, given, "examined", C::LinkFailed},
  };
  for (const auto& [step, status, calls, why, code] : cases) {
    SCOPED_TRACE(why);
    Scripted s;
    step.empty() ? s.backend.interfaces.pop_back() : void(s.backend.failing[step] = status);
    ASSERT_TRUE(s.usb.FindDevice());
    s.backend.calls.clear();
    const Outcome created = s.usb.CreateInterface();
    EXPECT_EQ(created.message().rfind("the controller's interface could not be " + why, 0), 0u)
        << created.message();
    EXPECT_EQ(s.backend.calls, calls);
    EXPECT_FALSE(s.usb.hasInterface());
    EXPECT_EQ(created.code(), code);
  }
}

TEST(InterfaceActionOpenClose, EveryHandleIsGivenBackAndAFailedWriteEndsTheExchange) {
  // Over raw USB: a second open gives the first handle back before it takes one.
  Scripted scripted;
  ASSERT_TRUE(scripted.open());
  scripted.backend.calls.clear();
  ASSERT_TRUE(scripted.usb.CreateInterface());
  EXPECT_EQ(scripted.backend.calls,
            (std::vector<std::string>{"close", "release", "create 1", "open"}));

  SimulatedController sim;
  sim.setFirmwareVersion(0x1A, 0x00);
  {
    InterfaceAction usb(sim);
    ASSERT_TRUE(usb.FindDevice() && usb.CreateInterface());
    ASSERT_TRUE(usb.CreateInterface());
    EXPECT_TRUE(sim.isClaimed());
    log::Capture written;
    EXPECT_EQ(write(usb, kHandshake), "");
    EXPECT_EQ(written.diagnostics(), std::vector<std::string>{"04 f0 7e 7f 07 0a 0b f7 "});
    EXPECT_EQ(sim.writes(), std::vector<Bytes>{kHandshake}) << "as given";
    log::Capture capture;
    ASSERT_TRUE(usb.ReadVersionFromDevice());
    // What a device sends reaches a terminal only as printable ASCII.
    EXPECT_EQ(capture.output(),
              "Read \"\\x04\\xf0~\\x0a\\x04\\x01\\x03\\x1a\\x06\" (12 bytes) from bulk endpoint\n");
    usb.KillInterface();
    EXPECT_FALSE(sim.isOpen());
    ASSERT_TRUE(usb.CreateInterface());
  }
  EXPECT_FALSE(sim.isOpen()) << "the destructor gives it back";

  // After a failed write nothing more reaches the device.
  OnSim o;
  o.backend.faults().writeFailureAfter = 0;
  EXPECT_EQ(write(o.usb, kHandshake), "the write failed (input/output error)");
  EXPECT_FALSE(o.usb.hasInterface());
  EXPECT_FALSE(o.backend.isOpen());
  const auto transfers = o.backend.transferCount();
  EXPECT_EQ(write(o.usb, kHandshake), "the write failed (no device (it may have been unplugged))");
  EXPECT_FALSE(o.usb.ReadValueFromDevice());
  EXPECT_EQ(o.backend.transferCount(), transfers);
}

// Without an opened interface nothing is sent or read, and giving back what
// was never taken is harmless: through the transport and on the link itself.
TEST(InterfaceActionOpenClose, WithoutAnInterfaceNothingMoves) {
  Scripted s;
  std::uint8_t bytes[64] = {};
  EXPECT_EQ(s.link.open().message(), "no controller found");
  s.link.pause();
  s.link.resume();
  EXPECT_EQ(s.link.send(bytes).message(), "no device (it may have been unplugged)");
  EXPECT_EQ(s.link.receive(bytes, LinkClock::now(), nullptr).message(),
            "no device (it may have been unplugged)");
  EXPECT_EQ(s.usb.CreateInterface().message(), "no controller found");
  ASSERT_TRUE(s.usb.FindDevice());
  s.usb.KillInterface();
  EXPECT_EQ(write(s.usb, kHandshake), "the write failed (no device (it may have been unplugged))");
  EXPECT_EQ(s.usb.ReadValueFromDevice().message(),
            "no reply (no device (it may have been unplugged))");
  EXPECT_TRUE(s.backend.calls.empty());
}

TEST(InterfaceActionRead, EveryKindOfMessageGoesIntoItsPacketAndComesBackWhole) {
  // The message and its code index number; a message short of its bytes makes no packet.
  // clang-format off
  const std::pair<Bytes, std::uint8_t> kinds[] = {
      {{0x80, 0x3C, 0x00}, 0x8}, {{0x91, 0x3C, 0x64}, 0x9}, {{0xA2, 0x3C, 0x10}, 0xA},
      {{0xB3, 0x07, 0x64}, 0xB}, {{0xC4, 0x05}, 0xC}, {{0xD5, 0x20}, 0xD}, {{0xEF, 0x00, 0x40}, 0xE},
      {{0xF1, 0x10}, 0x2}, {{0xF2, 0x01, 0x02}, 0x3}, {{0xF3, 0x04}, 0x2}, {{0xF8}, 0xF}, {{0xFE}, 0xF},
      {{0xF0, 0x01, 0xF7}, 0x7}, {{0xF0, 0xF7}, 0x6}, {{0xF0, 1, 2, 3, 0xF7}, 0x4}};
  // clang-format on
  for (const auto& [message, cin] : kinds) {
    const Bytes packets = usbmidi::packetsFromMessage(message);
    std::vector<Bytes> back;
    usbmidi::SysExAssembler().forEachMessage(
        packets, [&](auto m) { back.emplace_back(m.begin(), m.end()); });
    EXPECT_EQ(packets.size(), (message.size() + 2) / 3 * 4);
    EXPECT_EQ(packets.at(0), cin);
    EXPECT_EQ(back, std::vector<Bytes>{message});
  }
  EXPECT_TRUE(usbmidi::packetsFromMessage(Bytes{0x90, 0x3C}).empty());
  EXPECT_TRUE(usbmidi::packetsFromMessage(Bytes{0x3C, 0x64, 0x00}).empty());
}

TEST(InterfaceActionRead, AReplyAfterTheLimitIsDrainedAndEndlessTrafficDoesNotStretchIt) {
  OnSim o;
  o.backend.faults().lateReply = 1;
  write(o.usb, readRequest(0x03, 0x30));
  EXPECT_EQ(o.usb.ReadValueFromDevice().message(), "no reply (timed out)");
  ASSERT_TRUE(o.backend.setRawValue(0, 0x00, 0x01, 0x11));
  write(o.usb, readRequest(0x00, 0x01));
  EXPECT_EQ(value(o.usb.ReadValueFromDevice()), 0x11) << "the late reply answers no later request";

  // Slower than a read slice, a packet a transfer, traffic between: in time all the same;
  // slower than the limit: given up on, and drained before the next request.
  using Faults = SimulatedController::Faults;
  o.backend.faults() = Faults::hardwareLike(Faults::Traffic::OwnTransfer);
  o.backend.faults().packetPerTransfer = true;
  o.backend.faults().pace = UsbLink::kReadSlice * 3;
  ASSERT_TRUE(o.backend.setRawValue(0, 0x03, 0x30, 0x33));
  for (const auto& [limit, pp, ww, expected] :
       {std::tuple{1000, 0x00, 0x01, 0x11}, {100, 0x00, 0x01, -1}, {1000, 0x03, 0x30, 0x33}}) {
    o.usb.setReadLimit(std::chrono::milliseconds(limit));
    write(o.usb, readRequest(std::uint8_t(pp), std::uint8_t(ww)));
    EXPECT_EQ(value(o.usb.ReadValueFromDevice()), expected) << limit;
  }

  o.backend.faults() = {};
  o.backend.faults().endlessClock = true;
  o.backend.faults().noReplyAfter = 0;
  o.usb.setReadLimit(std::chrono::milliseconds(20));
  write(o.usb, readRequest(0x00, 0x01));
  EXPECT_EQ(o.usb.ReadValueFromDevice().message(), "no reply (timed out)");
}

TEST(InterfaceActionRead, Byte63StaysZeroWhateverTheBackendDelivers) {
  // A long message of this maker in two transfers, the first over-reported,
  // the second one that the host ended with a time-out.
  Bytes sysex = {0xF0, kM[0], kM[1], kM[2]};
  sysex.resize(70, 0x55);
  sysex.push_back(0xF7);
  const Bytes packets = usbmidi::packetsFromSysEx(sysex);
  Scripted o;
  ASSERT_TRUE(o.open());
  o.backend.reads = {{UsbStatus::Success, {packets.begin(), packets.begin() + 64}, 500},
                     {UsbStatus::Timeout, {packets.begin() + 64, packets.end()}, {}}};
  EXPECT_EQ(o.usb.ReadFromDevice().value(), 63u);
  EXPECT_TRUE(std::equal(packets.begin(), packets.begin() + 63, o.usb.receiveBuffer().begin()));
  EXPECT_EQ(o.usb.receiveBuffer()[63], 0);
  o.backend.reads = {{UsbStatus::NoDevice, {}, {}}};  // a failed transfer says why
  EXPECT_EQ(o.usb.ReadFromDevice().message(), "no reply (no device (it may have been unplugged))");
}

}  // namespace
}  // namespace padkbd
