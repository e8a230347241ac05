#include "usb/InterfaceAction.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "model/Log.h"
#include "sim/SimulatedController.h"
#include "tests/support/ScriptedBackend.h"

namespace padkbd {
namespace {

using test::ScriptedBackend;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

constexpr auto kM = config::kManufacturerId;

std::vector<std::uint8_t> readRequest(std::uint8_t pp, std::uint8_t ww) {
  return {0x04, 0xF0, kM[0], kM[1], 0x04, kM[2], 0x7F, 0x42, 0x04, 0x01, 0x00, pp, 0x06, ww, 0xF7};
}

const std::vector<std::uint8_t> kHandshake = {0x04, 0xF0, 0x7E, 0x7F, 0x07, 0x0A, 0x0B, 0xF7};

int write(InterfaceAction& usb, const std::vector<std::uint8_t>& bytes) {
  return static_cast<int>(
      usb.WriteToDeviceWithChar(bytes.data(), static_cast<std::int32_t>(bytes.size())));
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
       "resources/70-padkbd.rules"},
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
  EXPECT_EQ(write(o.usb, request), 0);
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
    EXPECT_EQ(write(usb, kHandshake), static_cast<int>(UsbStatus::Pipe));
    EXPECT_EQ(capture.output(),
              "Unable to perform bulk write (00000009)\nWrote 8 bytes to bulk endpoint\n");
    EXPECT_THAT(capture.diagnostics(), ElementsAre("04 f0 7e 7f 07 0a 0b f7 "));
  }
  EXPECT_EQ(backend.calls, (std::vector<std::string>{"write", "close 1", "release 1"}));
  EXPECT_FALSE(usb.hasInterface());

  backend.calls.clear();
  log::Capture capture;
  EXPECT_NE(write(usb, kHandshake), 0);
  usb.KillInterface();
  usb.openInterface();
  usb.closeInterface();
  const auto before = usb.receiveBuffer();
  EXPECT_EQ(usb.ReadValueFromDevice(), 0);
  EXPECT_FALSE(usb.lastRead().ok());
  EXPECT_EQ(usb.receiveBuffer(), before);
  EXPECT_TRUE(backend.calls.empty());
  EXPECT_EQ(capture.output(), "");
}

TEST(InterfaceActionWrite, SimulatedWriteFailureDropsTheInterface) {
  Opened o;
  o.sim.faults().writeFailureAfter = 0;
  EXPECT_EQ(write(o.usb, kHandshake), static_cast<int>(UsbStatus::IoError));
  EXPECT_FALSE(o.usb.hasInterface());
  EXPECT_EQ(o.sim.openHandleCount(), 0u);
  const auto sent = o.sim.transferCount();
  EXPECT_NE(write(o.usb, kHandshake), 0);
  EXPECT_EQ(o.sim.transferCount(), sent);
}

TEST(InterfaceActionRead, HandshakeReplyBecomesElevenStrings) {
  Opened o;
  o.sim.setFirmwareVersion(0x1A, 0x00);
  write(o.usb, kHandshake);
  log::Capture capture;
  const auto strings = o.usb.ReadVersionFromDevice();
  EXPECT_THAT(strings,
              ElementsAre("04", "f0", "7e", "0a", "04", "01", "03", "1a", "06", "00", "f7"));
  EXPECT_EQ(capture.output(),
            "Read \"\x04\xf0\x7e\x0a\x04\x01\x03\x1a\x06\" (11 bytes) from bulk endpoint\n");
  std::string dump = "readversion  04 f0 7e 0a 04 01 03 1a 06 00 f7 ";
  for (int i = 11; i < 64; ++i) dump += "00 ";
  EXPECT_THAT(capture.diagnostics(), ElementsAre(dump));
  EXPECT_EQ(o.usb.lastRead().count, 11u);
}

TEST(InterfaceActionRead, ShortReadKeepsTheEarlierReplysBytes) {
  Opened o;
  ASSERT_TRUE(o.sim.setRawValue(0, 0x03, 0x30, 0x2A));
  write(o.usb, readRequest(0x03, 0x30));
  EXPECT_EQ(o.usb.ReadValueFromDevice(), 0x2A);
  const auto first = o.usb.receiveBuffer();

  o.sim.faults().shortReply = 8;
  ASSERT_TRUE(o.sim.setRawValue(0, 0x00, 0x01, 0x11));
  write(o.usb, readRequest(0x00, 0x01));
  log::Capture capture;
  EXPECT_EQ(o.usb.ReadValueFromDevice(), 0x2A);  // byte 14 of the earlier reply
  EXPECT_EQ(capture.output(), "Read 8 bytes from bulk endpoint\n");
  ASSERT_EQ(capture.diagnostics().size(), 1u);
  EXPECT_THAT(capture.diagnostics()[0], HasSubstr("ReadValueFromDevice 04 f0 "));
  EXPECT_EQ(o.usb.lastRead().count, 8u);
  EXPECT_TRUE(o.usb.lastRead().ok());
  const auto& now = o.usb.receiveBuffer();
  EXPECT_TRUE(std::equal(now.begin() + 8, now.begin() + 16, first.begin() + 8));
}

TEST(InterfaceActionRead, TimedOutReadLeavesTheBufferAndReportsIt) {
  Opened o;
  write(o.usb, readRequest(0x00, 0x30));
  const std::int8_t value = o.usb.ReadValueFromDevice();
  const auto before = o.usb.receiveBuffer();
  log::Capture capture;
  EXPECT_EQ(o.usb.ReadValueFromDevice(), value);  // nothing pending: time-out
  EXPECT_EQ(o.usb.lastRead().status, UsbStatus::Timeout);
  EXPECT_EQ(o.usb.lastRead().count, 0u);
  EXPECT_EQ(o.usb.receiveBuffer(), before);
  EXPECT_EQ(capture.output(), "Read 0 bytes from bulk endpoint\n");
}

TEST(InterfaceActionRead, Byte63StaysZeroWhateverTheBackendDelivers) {
  ScriptedBackend backend;
  const std::vector<std::uint8_t> full(100, 0xFF);
  backend.reads = {{UsbStatus::Success, full, std::nullopt},
                   {UsbStatus::Success, full, 500},  // a backend over-reporting its count
                   {UsbStatus::IoError, std::vector<std::uint8_t>(5, 0x11), std::nullopt}};
  InterfaceAction usb(backend);
  ASSERT_TRUE(usb.FindDevice());
  ASSERT_TRUE(usb.CreateInterface());
  log::Capture capture;
  usb.ReadFromDevice();
  EXPECT_EQ(usb.lastRead().count, 63u);
  EXPECT_EQ(usb.receiveBuffer()[62], 0xFF);
  EXPECT_EQ(usb.receiveBuffer()[63], 0);
  EXPECT_EQ(usb.ReadValueFromDevice(), -1);
  EXPECT_EQ(usb.lastRead().count, 63u);
  usb.ReadVersionFromDevice();  // fails: the buffer keeps the 0xFF bytes
  EXPECT_EQ(usb.lastRead().status, UsbStatus::IoError);
  EXPECT_EQ(usb.receiveBuffer()[0], 0xFF);
  EXPECT_EQ(usb.receiveBuffer()[63], 0);
  EXPECT_THAT(capture.output(), HasSubstr("(63 bytes) from bulk endpoint\n"));
  EXPECT_THAT(capture.output(), HasSubstr("Read 63 bytes from bulk endpoint\n"));
  EXPECT_EQ(capture.diagnostics().at(0), [] {
    std::string line;
    for (int i = 0; i < 63; ++i) line += "ff ";
    return line + "00 ";
  }());
}

TEST(InterfaceActionOpenClose, CloseAndReopenThenKill) {
  Opened o;
  o.usb.closeInterface();
  EXPECT_FALSE(o.sim.isInterfaceOpen());
  EXPECT_TRUE(o.usb.hasInterface());
  o.usb.openInterface();
  EXPECT_TRUE(o.sim.isInterfaceOpen());
  write(o.usb, kHandshake);
  EXPECT_EQ(o.usb.ReadVersionFromDevice()[0], "04");
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
  EXPECT_EQ(write(o.usb, kHandshake), 0);
  o.usb.ReadVersionFromDevice();
  EXPECT_EQ(o.usb.lastRead().status, UsbStatus::NoDevice);
  EXPECT_EQ(write(o.usb, kHandshake), static_cast<int>(UsbStatus::NoDevice));
  EXPECT_FALSE(o.usb.hasInterface());
  EXPECT_FALSE(o.usb.FindDevice());
}

}  // namespace
}  // namespace padkbd
