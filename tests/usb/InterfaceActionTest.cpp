#include "usb/InterfaceAction.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "model/Log.h"
#include "sim/SimulatedController.h"
#include "tests/support/ScriptedBackend.h"
#include "usb/UsbMidi.h"

namespace padkbd {
namespace {

using test::ScriptedBackend;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

const ManufacturerId kM = builtInKeyboard().manufacturer;

std::vector<std::uint8_t> readRequest(std::uint8_t pp, std::uint8_t ww) {
  return {0x04, 0xF0, kM[0], kM[1], 0x04, kM[2], 0x7F, 0x42, 0x04, 0x01, 0x00, pp, 0x06, ww, 0xF7};
}

const std::vector<std::uint8_t> kHandshake = {0x04, 0xF0, 0x7E, 0x7F, 0x07, 0x0A, 0x0B, 0xF7};

// "" when the write went out, else why not.
std::string write(InterfaceAction& usb, const std::vector<std::uint8_t>& bytes) {
  return usb.WriteToDeviceWithChar(bytes.data(), static_cast<std::int32_t>(bytes.size())).message();
}

std::string failedWrite(UsbStatus status) {
  return "the write failed (" + std::string(usbStatusName(status)) + ")";
}

std::string noReply(UsbStatus status) {
  return "no reply (" + std::string(usbStatusName(status)) + ")";
}

// The value read, or -1 when the read failed.
int value(const Result<std::int8_t>& read) {
  return read ? *read : -1;
}

// Transport over the simulated controller, found and opened.
struct Opened {
  SimulatedController sim;
  InterfaceAction usb{sim};
  Opened() {
    EXPECT_TRUE(usb.FindDevice());
    EXPECT_TRUE(usb.CreateInterface());
  }
};

TEST(InterfaceActionFind, LastMatchWinsAndEveryMatchIsLogged) {
  ScriptedBackend backend;
  backend.devices = {{11, "first keyboard"}, {12, "second keyboard"}};
  InterfaceAction usb(backend);
  log::Capture capture;
  ASSERT_TRUE(usb.FindDevice());
  ASSERT_TRUE(usb.device().has_value());
  EXPECT_EQ(usb.device()->id, 12u);
  EXPECT_THAT(capture.diagnostics(), ElementsAre("Found device with name:first keyboard",
                                                 "Found device with name:second keyboard"));
  // The interface comes from the device found last.
  EXPECT_TRUE(usb.CreateInterface());
}

TEST(InterfaceActionFind, NothingFoundClearsTheDeviceAndExceptionsGiveFalseSilently) {
  ScriptedBackend backend;
  InterfaceAction usb(backend);
  ASSERT_TRUE(usb.FindDevice());
  backend.devices.clear();
  {
    log::Capture capture;
    EXPECT_FALSE(usb.FindDevice());
    EXPECT_FALSE(usb.hasDevice());
    EXPECT_THAT(capture.diagnostics(), ElementsAre("无法找到匹配的设备"));
    EXPECT_FALSE(usb.CreateInterface());
    EXPECT_EQ(capture.output(), "");  // no device: CreateInterface says nothing
  }
  backend.throwOnFind = true;
  log::Capture capture;
  EXPECT_FALSE(usb.FindDevice());
  EXPECT_TRUE(capture.diagnostics().empty());
  EXPECT_EQ(capture.output(), "");
}

TEST(InterfaceActionFind, HostileLongNameIsCut) {
  ScriptedBackend backend;
  backend.devices = {{1, std::string(5000, 'x')}};
  InterfaceAction usb(backend);
  log::Capture capture;
  ASSERT_TRUE(usb.FindDevice());
  EXPECT_EQ(capture.diagnostics().at(0), "Found device with name:" + std::string(127, 'x'));
}

TEST(InterfaceActionCreate, PrintsTheInterfaceAndPipesOfTheSimulatedController) {
  SimulatedController sim;
  InterfaceAction usb(sim);
  ASSERT_TRUE(usb.FindDevice());
  log::Capture capture;
  ASSERT_TRUE(usb.CreateInterface());
  EXPECT_EQ(capture.output(),
            "Interface class 1, subclass 3\n"
            "Interface has 2 endpoints\n"
            "PipeRef 1: direction in, transfer type bulk, maxPacketSize 64\n"
            "PipeRef 2: direction out, transfer type bulk, maxPacketSize 64\n");
  EXPECT_TRUE(capture.diagnostics().empty());
  EXPECT_TRUE(usb.hasInterface());
  EXPECT_TRUE(sim.isInterfaceOpen());
}

TEST(InterfaceActionCreate, TakesTheSecondListedInterfaceAndNamesEveryPipeKind) {
  ScriptedBackend backend;
  backend.interfaces = {{4, 1, 1}, {2, 255, 7}, {0, 3, 0}};
  backend.pipes = {{2, 1, 255, 8, 0}, {3, 2, 4, 16, 0}, {7, 3, 3, 0, 1}, {-1, 4, 1, 1023, 0}};
  InterfaceAction usb(backend);
  ASSERT_TRUE(usb.FindDevice());
  log::Capture capture;
  ASSERT_TRUE(usb.CreateInterface());
  EXPECT_EQ(backend.createdInterfaceNumber, 2);
  EXPECT_EQ(capture.output(),
            "Interface class 255, subclass 7\n"
            "Interface has 4 endpoints\n"
            "PipeRef 1: direction none, transfer type any, maxPacketSize 8\n"
            "PipeRef 2: direction any, transfer type ???, maxPacketSize 16\n"
            "PipeRef 3: direction ???, transfer type interrupt, maxPacketSize 0\n"
            "PipeRef 4: direction ???, transfer type isoc, maxPacketSize 1023\n");
}

TEST(InterfaceActionCreate, OneInterfaceOnlyFailsAtThePlugIn) {
  SimulatedController sim;
  sim.faults().oneInterfaceOnly = true;
  InterfaceAction usb(sim);
  ASSERT_TRUE(usb.FindDevice());
  log::Capture capture;
  EXPECT_FALSE(usb.CreateInterface());
  EXPECT_EQ(capture.output(), "Unable to create a plug-in (00000005)\n");
  EXPECT_THAT(capture.diagnostics(), ElementsAre("无法找到设备接口"));
  EXPECT_FALSE(usb.hasInterface());
  EXPECT_EQ(sim.openHandleCount(), 0u);
}

TEST(InterfaceActionCreate, EachFailingStepPrintsItsLineAndLeavesNothingOpen) {
  struct Case {
    const char* name;
    void (*setUp)(ScriptedBackend&);
    std::string output;
    std::vector<std::string> calls;  // after "create 1"
    const char* hint;                // extra diagnostic line, if any
  };
  const std::vector<Case> cases = {
      {"access denied",
       [](ScriptedBackend& b) { b.createStatus = UsbStatus::AccessDenied; },
       "Unable to create a plug-in (00000003)\n",
       {},
       "padkbd devices"},
      {"no handle",
       [](ScriptedBackend& b) { b.createGivesNoHandle = true; },
       "Couldn’t create a device interface for the interface(00000000)\n",
       {},
       nullptr},
      {"busy",
       [](ScriptedBackend& b) { b.openStatus = UsbStatus::Busy; },
       "Interface class 1, subclass 3\nUnable to open interface (00000006)\n",
       {"open 1", "release 1"},
       "Another program holds"},
      {"endpoints",
       [](ScriptedBackend& b) { b.endpointsStatus = UsbStatus::IoError; },
       "Interface class 1, subclass 3\nUnable to get number of endpoints (00000001)\n",
       {"open 1", "close 1", "release 1"},
       nullptr},
      {"pipe 2",
       [](ScriptedBackend& b) { b.failingPipe = 2; },
       "Interface class 1, subclass 3\nInterface has 2 endpoints\n"
       "PipeRef 1: direction in, transfer type bulk, maxPacketSize 64\n"
       "Unable to get properties of pipe 2 (00000009)\n",
       {"open 1", "close 1", "release 1"},
       nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptedBackend backend;
    c.setUp(backend);
    InterfaceAction usb(backend);
    ASSERT_TRUE(usb.FindDevice());
    backend.calls.clear();
    log::Capture capture;
    EXPECT_FALSE(usb.CreateInterface());
    EXPECT_EQ(capture.output(), c.output);
    std::vector<std::string> calls = {"create 1"};
    calls.insert(calls.end(), c.calls.begin(), c.calls.end());
    EXPECT_EQ(backend.calls, calls);
    const auto diags = capture.diagnostics();
    ASSERT_FALSE(diags.empty());
    EXPECT_EQ(diags.back(), "无法找到设备接口");
    if (c.hint != nullptr) {
      ASSERT_EQ(diags.size(), 2u);
      EXPECT_THAT(diags[0], HasSubstr(c.hint));
    } else {
      EXPECT_EQ(diags.size(), 1u);
    }
    EXPECT_FALSE(usb.hasInterface());
  }
}

TEST(InterfaceActionCreate, ReplacingAnInterfaceGivesTheOldOneBack) {
  Opened o;
  // Without giving the first handle back, its claim would make this one Busy.
  EXPECT_TRUE(o.usb.CreateInterface());
  EXPECT_EQ(o.sim.openHandleCount(), 1u);
  o.usb.KillInterface();
  EXPECT_EQ(o.sim.openHandleCount(), 0u);
  EXPECT_TRUE(o.usb.CreateInterface());
}

TEST(InterfaceActionWrite, SendsExactlyTheGivenCountAndLogsIt) {
  Opened o;
  const auto request = readRequest(0x02, 0x30);
  log::Capture capture;
  EXPECT_EQ(write(o.usb, request), "");
  ASSERT_EQ(o.sim.writes().size(), 1u);
  EXPECT_EQ(o.sim.writes()[0], request);  // 15 bytes, nothing added
  EXPECT_EQ(capture.output(), "Wrote 15 bytes to bulk endpoint\n");
  EXPECT_THAT(capture.diagnostics(),
              ElementsAre(fmt::sprintf("04 f0 %02x %02x 04 %02x 7f 42 04 01 00 02 06 30 f7 ", kM[0],
                                       kM[1], kM[2])));
  EXPECT_TRUE(o.sim.protocolErrors().empty());
}

TEST(InterfaceActionWrite, AfterAFailedWriteNothingMoreIsSent) {
  ScriptedBackend backend;
  backend.writeStatuses = {UsbStatus::Pipe};
  InterfaceAction usb(backend);
  ASSERT_TRUE(usb.FindDevice());
  ASSERT_TRUE(usb.CreateInterface());
  backend.calls.clear();
  {
    log::Capture capture;
    EXPECT_EQ(write(usb, kHandshake), failedWrite(UsbStatus::Pipe));
    EXPECT_EQ(capture.output(),
              "Unable to perform bulk write (00000009)\nWrote 8 bytes to bulk endpoint\n");
    EXPECT_THAT(capture.diagnostics(), ElementsAre("04 f0 7e 7f 07 0a 0b f7 "));
  }
  EXPECT_EQ(backend.calls, (std::vector<std::string>{"write", "close 1", "release 1"}));
  EXPECT_FALSE(usb.hasInterface());

  backend.calls.clear();
  log::Capture capture;
  EXPECT_NE(write(usb, kHandshake), "");
  usb.KillInterface();
  usb.openInterface();
  usb.closeInterface();
  const auto before = usb.receiveBuffer();
  EXPECT_EQ(usb.ReadValueFromDevice().message(), noReply(UsbStatus::NoDevice));
  EXPECT_EQ(usb.receiveBuffer(), before);
  EXPECT_TRUE(backend.calls.empty());
  EXPECT_EQ(capture.output(), "");
}

TEST(InterfaceActionWrite, SimulatedWriteFailureDropsTheInterface) {
  Opened o;
  o.sim.faults().writeFailureAfter = 0;
  EXPECT_EQ(write(o.usb, kHandshake), failedWrite(UsbStatus::IoError));
  EXPECT_FALSE(o.usb.hasInterface());
  EXPECT_EQ(o.sim.openHandleCount(), 0u);
  const auto sent = o.sim.transferCount();
  EXPECT_NE(write(o.usb, kHandshake), "");
  EXPECT_EQ(o.sim.transferCount(), sent);
}

TEST(InterfaceActionRead, HandshakeReplyBecomesElevenStringsAndNoRawByteIsPrinted) {
  Opened o;
  o.sim.setFirmwareVersion(0x1A, 0x00);
  write(o.usb, kHandshake);
  log::Capture capture;
  const auto strings = o.usb.ReadVersionFromDevice().value();
  EXPECT_THAT(strings,
              ElementsAre("04", "f0", "7e", "0a", "04", "01", "03", "1a", "06", "00", "f7"));
  // Laid out in whole packets; bytes outside printable ASCII are escaped.
  EXPECT_EQ(capture.output(),
            "Read \"\\x04\\xf0~\\x0a\\x04\\x01\\x03\\x1a\\x06\" (12 bytes) from bulk endpoint\n");
  std::string dump = "readversion  04 f0 7e 0a 04 01 03 1a 06 00 f7 ";
  for (int i = 11; i < 64; ++i) dump += "00 ";
  EXPECT_THAT(capture.diagnostics(), ElementsAre(dump));
}

// A value reply as it comes alone: 04 F0 M1 M2 | 04 M3 7F 42 | 04 01 00 PP | 07 WW VV F7.
std::vector<std::uint8_t> valueReply(std::uint8_t value) {
  auto reply = readRequest(0x03, 0x30);
  reply[12] = 0x07;
  reply[14] = value;
  reply.push_back(0xF7);
  return reply;
}

std::vector<std::uint8_t> concat(std::initializer_list<std::vector<std::uint8_t>> parts) {
  std::vector<std::uint8_t> all;
  for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

std::vector<std::uint8_t> padded(std::vector<std::uint8_t> transfer) {
  transfer.resize(64, 0x00);
  return transfer;
}

TEST(InterfaceActionRead, TheReplyIsFoundInTheMidiStreamAndLaidOutAsIfAlone) {
  const auto reply = valueReply(0x2A);
  const std::vector<std::uint8_t> note = {0x09, 0x90, 0x3C, 0x64}, cc = {0x1B, 0xB1, 0x01, 0x40},
                                  clock = {0x0F, 0xF8, 0x00, 0x00},
                                  pressure = {0x0D, 0xD0, 0x20, 0x00};
  const auto head = std::vector<std::uint8_t>(reply.begin(), reply.begin() + 8);
  const auto tail = std::vector<std::uint8_t>(reply.begin() + 8, reply.end());
  // Another maker's message of the same shape, and a universal one.
  auto foreign = reply;
  foreign[2] ^= 0x01;
  const std::vector<std::uint8_t> universal = {0x04, 0xF0, 0x7E, 0x7F, 0x07, 0x06, 0x01, 0xF7};
  // A reply with the same header cut short by a status byte, one whose last
  // packet does not end in F7, and one too short to hold a value.
  auto broken = reply;
  broken[9] = 0x90;
  auto unended = reply;
  unended[15] = 0x00;
  auto tooShort = readRequest(0x03, 0x30);  // 04 F0 M1 M2 | 04 M3 7F 42 | 04 01 00 03 | 06 30 F7
  auto otherThirdByte = reply;
  otherThirdByte[5] ^= 0x01;
  std::vector<std::uint8_t> traffic48;
  for (int i = 0; i < 12; ++i) traffic48.insert(traffic48.end(), note.begin(), note.end());
  struct Case {
    const char* name;
    std::vector<std::vector<std::uint8_t>> transfers;
  };
  const std::vector<Case> cases = {
      {"alone", {reply}},
      {"traffic in its own transfer", {concat({note, cc}), reply}},
      {"traffic sharing the transfer, clock inside", {concat({note, head, clock, tail, pressure})}},
      {"zero-padded to a full packet", {padded(note), padded(reply)}},
      {"a packet a transfer",
       {{reply.begin(), reply.begin() + 4},
        {reply.begin() + 4, reply.begin() + 8},
        {reply.begin() + 8, reply.begin() + 12},
        {reply.begin() + 12, reply.end()}}},
      {"split over transfers with traffic between", {head, concat({clock, cc}), tail}},
      {"other cable", {[&] {
         auto onCable1 = reply;
         for (std::size_t i = 0; i < onCable1.size(); i += 4) onCable1[i] |= 0x10;
         return onCable1;
       }()}},
      {"foreign and universal SysEx first", {concat({foreign, universal}), reply}},
      {"another maker's third byte first", {otherThirdByte, reply}},
      {"malformed messages first", {broken, unended, reply}},
      {"a message too short to hold a value first", {tooShort, reply}},
      {"the reply in the last packet of a full transfer", {concat({traffic48, reply})}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptedBackend backend;
    for (const auto& transfer : c.transfers)
      backend.reads.push_back({UsbStatus::Success, transfer, {}});
    // A transfer the host calls an overflow still carries its packets.
    backend.reads.back().status = UsbStatus::Overflow;
    InterfaceAction usb(backend);
    ASSERT_TRUE(usb.FindDevice());
    ASSERT_TRUE(usb.CreateInterface());
    write(usb, readRequest(0x03, 0x30));
    log::Capture capture;
    EXPECT_EQ(value(usb.ReadValueFromDevice()), 0x2A);
    EXPECT_TRUE(std::equal(reply.begin(), reply.end(), usb.receiveBuffer().begin()));
    EXPECT_EQ(capture.output(), "Read 16 bytes from bulk endpoint\n");
    EXPECT_TRUE(backend.reads.empty()) << "every transfer up to the reply was read";
  }
}

TEST(InterfaceActionRead, SysExMessagesAreJoinedOnlyWhenWellFormed) {
  // Packets of one transfer on two cables, some broken; the messages found.
  const std::vector<std::uint8_t> stream = {
      0x04, 0xF0, 0x01, 0x02, 0x14, 0xF0, 0x11, 0x12,  // two messages start, cables 0 and 1
      0x0F, 0xF8, 0x00, 0x00, 0x07, 0x03, 0x04, 0xF7,  // clock; cable 0 ends: F0 01 02 03 04 F7
      0x16, 0x13, 0xF7, 0x00,                          // cable 1 ends: F0 11 12 13 F7
      0x04, 0xF0, 0x21, 0x22, 0x07, 0x23, 0x24, 0x25,  // ends without F7
      0x04, 0xF0, 0x31, 0x90, 0x05, 0xF7, 0x00, 0x00,  // a status byte inside
      0x04, 0x41, 0x42, 0x43, 0x05, 0xF7, 0x00, 0x00,  // the rest of one whose start was missed
      0x06, 0xF0, 0xF7, 0x00, 0x07, 0xF0, 0x51, 0xF7,  // the shortest messages
  };
  usbmidi::SysExAssembler assembler;
  std::vector<std::vector<std::uint8_t>> found;
  assembler.feed(stream, [&](std::span<const std::uint8_t> m) {
    found.emplace_back(m.begin(), m.end());
    return false;
  });
  EXPECT_EQ(found, (std::vector<std::vector<std::uint8_t>>{{0xF0, 0x01, 0x02, 0x03, 0x04, 0xF7},
                                                           {0xF0, 0x11, 0x12, 0x13, 0xF7},
                                                           {0xF0, 0xF7},
                                                           {0xF0, 0x51, 0xF7}}));
  // Laid out again by the cutting rule, on cable 0.
  EXPECT_EQ(usbmidi::packetsFromSysEx(found[0]),
            (std::vector<std::uint8_t>{0x04, 0xF0, 0x01, 0x02, 0x07, 0x03, 0x04, 0xF7}));
  // A message longer than any reply is dropped whole.
  std::vector<std::uint8_t> sysex = {0xF0};
  sysex.resize(usbmidi::SysExAssembler::kMaxMessage + 10, 0x55);
  sysex.push_back(0xF7);
  found.clear();
  assembler.feed(usbmidi::packetsFromSysEx(sysex), [&](std::span<const std::uint8_t> m) {
    found.emplace_back(m.begin(), m.end());
    return false;
  });
  EXPECT_TRUE(found.empty());

  // Reads ask for one whole packet of the read pipe.
  for (int packet : {8, 64, 512}) {
    ScriptedBackend backend;
    backend.pipes[0].maxPacketSize = packet;
    InterfaceAction usb(backend);
    ASSERT_TRUE(usb.FindDevice());
    ASSERT_TRUE(usb.CreateInterface());
    (void)usb.ReadValueFromDevice();
    ASSERT_FALSE(backend.readSizes.empty());
    EXPECT_EQ(backend.readSizes.front(), static_cast<std::size_t>(packet));
  }
}

TEST(InterfaceActionRead, NoWholeReplyInTimeLeavesTheBufferAndDrainsThePipe) {
  // A reply cut short, another maker's only, traffic only, and a reply that
  // comes after a read that timed out with bytes: the read times out, the
  // receive buffer keeps the earlier reply.
  const auto reply = valueReply(0x2A);
  const std::vector<std::vector<std::uint8_t>> cases = {
      {reply.begin(), reply.begin() + 8},
      [&] {
        auto foreign = reply;
        foreign[3] ^= 0x01;
        return foreign;
      }(),
      {0x0F, 0xF8, 0x00, 0x00},
  };
  for (std::size_t n = 0; n <= cases.size(); ++n) {
    ScriptedBackend backend;
    backend.reads = {{UsbStatus::Success, valueReply(0x11), {}}};
    if (n < cases.size()) {
      backend.reads.push_back({UsbStatus::Success, cases[n], {}});
    } else {
      backend.reads.push_back({UsbStatus::Timeout, {0x0F, 0xF8, 0x00, 0x00}, {}});
      backend.reads.push_back({UsbStatus::Success, reply, {}});
    }
    InterfaceAction usb(backend);
    ASSERT_TRUE(usb.FindDevice());
    ASSERT_TRUE(usb.CreateInterface());
    write(usb, readRequest(0x03, 0x30));
    ASSERT_EQ(value(usb.ReadValueFromDevice()), 0x11);
    const auto before = usb.receiveBuffer();
    write(usb, readRequest(0x03, 0x30));
    EXPECT_EQ(usb.ReadValueFromDevice().message(), noReply(UsbStatus::Timeout));
    EXPECT_EQ(usb.receiveBuffer(), before);
  }

  // A reply that comes after the limit is drained, so it answers no later request.
  Opened o;
  o.sim.faults().lateReply = 1;
  write(o.usb, readRequest(0x03, 0x30));
  EXPECT_EQ(o.usb.ReadValueFromDevice().message(), noReply(UsbStatus::Timeout));
  EXPECT_EQ(o.sim.pendingReplies(), 0u);
  ASSERT_TRUE(o.sim.setRawValue(0, 0x00, 0x01, 0x11));
  write(o.usb, readRequest(0x00, 0x01));
  EXPECT_EQ(value(o.usb.ReadValueFromDevice()), 0x11);

  // Traffic that never stops does not stretch the wait beyond the limit.
  o.sim.faults().endlessClock = true;
  o.sim.faults().noReplyAfter = 0;
  o.usb.setReadLimit(std::chrono::milliseconds(20));
  write(o.usb, readRequest(0x00, 0x01));
  EXPECT_EQ(o.usb.ReadValueFromDevice().message(), noReply(UsbStatus::Timeout));
}

TEST(InterfaceActionRead, Byte63StaysZeroWhateverTheBackendDelivers) {
  // A long message of this maker, in two transfers, one of them over-reported.
  std::vector<std::uint8_t> sysex = {0xF0, kM[0], kM[1], kM[2]};
  sysex.resize(70, 0x55);
  sysex.push_back(0xF7);
  std::vector<std::uint8_t> packets;
  for (std::size_t at = 0; at < sysex.size(); at += 3) {
    const std::size_t left = sysex.size() - at;
    packets.push_back(left > 3 ? 0x04 : static_cast<std::uint8_t>(0x04 + left));
    for (std::size_t i = 0; i < 3; ++i)
      packets.push_back(at + i < sysex.size() ? sysex[at + i] : 0);
  }
  ScriptedBackend backend;
  backend.reads = {{UsbStatus::Success, {packets.begin(), packets.begin() + 64}, 500},
                   {UsbStatus::Success, {packets.begin() + 64, packets.end()}, {}},
                   {UsbStatus::IoError, valueReply(0x11), {}}};
  InterfaceAction usb(backend);
  ASSERT_TRUE(usb.FindDevice());
  ASSERT_TRUE(usb.CreateInterface());
  EXPECT_EQ(usb.ReadFromDevice().value(), 63u);
  EXPECT_TRUE(std::equal(packets.begin(), packets.begin() + 63, usb.receiveBuffer().begin()));
  EXPECT_EQ(usb.receiveBuffer()[63], 0);
  // A failed read: the buffer keeps its bytes.
  EXPECT_EQ(usb.ReadVersionFromDevice().message(), noReply(UsbStatus::IoError));
  EXPECT_EQ(usb.receiveBuffer()[62], packets[62]);
  EXPECT_EQ(usb.receiveBuffer()[63], 0);
}

TEST(InterfaceActionOpenClose, CloseAndReopenThenKill) {
  Opened o;
  o.usb.closeInterface();
  EXPECT_FALSE(o.sim.isInterfaceOpen());
  EXPECT_TRUE(o.usb.hasInterface());
  o.usb.openInterface();
  EXPECT_TRUE(o.sim.isInterfaceOpen());
  write(o.usb, kHandshake);
  EXPECT_EQ(o.usb.ReadVersionFromDevice().value()[0], "04");
  o.usb.KillInterface();
  EXPECT_FALSE(o.usb.hasInterface());
  EXPECT_EQ(o.sim.openHandleCount(), 0u);
  EXPECT_TRUE(o.sim.protocolErrors().empty());
}

TEST(InterfaceActionOpenClose, DestructionGivesTheInterfaceBack) {
  SimulatedController sim;
  {
    InterfaceAction usb(sim);
    ASSERT_TRUE(usb.FindDevice());
    ASSERT_TRUE(usb.CreateInterface());
    EXPECT_EQ(sim.openHandleCount(), 1u);
  }
  EXPECT_EQ(sim.openHandleCount(), 0u);
}

TEST(InterfaceActionOpenClose, UnplugMidExchangeFailsCleanly) {
  Opened o;
  o.sim.faults().unplugAfter = 1;
  EXPECT_EQ(write(o.usb, kHandshake), "");
  EXPECT_EQ(o.usb.ReadVersionFromDevice().message(), noReply(UsbStatus::NoDevice));
  EXPECT_EQ(write(o.usb, kHandshake), failedWrite(UsbStatus::NoDevice));
  EXPECT_FALSE(o.usb.hasInterface());
  EXPECT_FALSE(o.usb.FindDevice());
}

}  // namespace
}  // namespace padkbd
