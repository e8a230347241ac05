// PadAction against the simulated controller: the handshake, the start-up
// read with its fallback, re-opening and sending, the preset operations over
// the working copy, and the choice lists.
#include <gtest/gtest.h>

#include <atomic>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

#include "model/Log.h"
#include "padkbd/BuildConfig.h"
#include "protocol/ButtonAction.h"
#include "protocol/PadAction.h"
#include "sim/SimulatedController.h"
#include "storage/FileAction.h"
#include "tests/protocol/ProtocolTestSupport.h"
#include "tests/support/TempDir.h"
#include "usb/InterfaceAction.h"

namespace padkbd {
namespace {

using test::Bytes;
using Faults = SimulatedController::Faults;

// A handshake reply with firmware version 01.02, as bytes.
const Bytes kGoodReply = {0x04, 0xF0, 0x7E, 0x0A, 0x04, 0x01, 0x03, 0x01, 0x06, 0x02, 0xF7};

class PadActionTest : public ::testing::Test {
 protected:
  PadActionTest() {
    // The controller holds settings unlike the default preset, so a fallback
    // and a read can be told apart.
    for (int i = 0; i < kControlCount; ++i) {
      ButtonValue b;
      b.buttonID = i;
      b.value = 127 - i;
      b.MIDInumb = i;
      b.max = 100;
      b.mode = 1;
      b.modeOption = 2;
      if (isPadControl(i)) {
        b.CR = i;
        b.CG = 2 * i;
        b.CB = 127 - i;
      } else {
        b.CR = b.CG = b.CB = -1;
      }
      sim.setControlInSlot(0, i, b);
    }
    PadValue g;
    g.globalOctaveTransposition = 6;
    g.globalMIDIChannel = 15;
    sim.setGlobalsInSlot(0, g);
  }

  bool openLink() { return io.FindDevice() && io.CreateInterface(); }

  // The current preset holds the default preset's values, version "未连接".
  void expectDefaultPreset() {
    const Preset defaults = files.defaultPreset();
    const CurrentPreset& current = pad.currentPreset();
    ASSERT_EQ(current.buttonValueArray.size(), 64u);
    for (int i = 0; i < 64; ++i) {
      EXPECT_EQ(*current.buttonValueArray[i], *defaults.buttons[i]) << "control " << i;
      EXPECT_NE(*current.buttonValueArray[i], sim.controlInSlot(0, i)) << "control " << i;
    }
    PadValue expected = *defaults.global;
    expected.version = "未连接";
    EXPECT_EQ(*current.currentPadValue, expected);
    EXPECT_EQ(capture.count("加载默认数据"), 1u);
    EXPECT_EQ(sim.openHandleCount(), 0u) << "the interface is released";
  }

  test::TempDir tmp;
  test::ScopedEnv xdg{"XDG_DATA_HOME", tmp.path().string()};
  log::Capture capture;
  SimulatedController sim;
  test::CountingBackend backend{sim};
  InterfaceAction io{backend};
  FileAction files{PADKBD_TEST_RESOURCE_DIR, tmp / "padkbd/temp.plist"};
  PadAction pad{io, files};
};

TEST_F(PadActionTest, HandshakeYieldsTheVersionAsLowercaseHex) {
  ASSERT_TRUE(openLink());
  EXPECT_FALSE(pad.deviceVersion());
  ASSERT_TRUE(pad.HandshakeOperation());
  EXPECT_EQ(pad.deviceVersion(), "01.02");
  EXPECT_EQ(capture.count("version    04 f0 7e 0a 04 01 03 01 06 02 f7"), 1u);
  EXPECT_EQ(capture.count("handshake yes"), 1u);
  EXPECT_EQ(sim.writes().back(), (Bytes{0x04, 0xF0, 0x7E, 0x7F, 0x07, 0x0A, 0x0B, 0xF7}));

  sim.setFirmwareVersion(0x1A, 0x00);
  ASSERT_TRUE(pad.HandshakeOperation());
  EXPECT_EQ(pad.deviceVersion(), "1a.00");
}

TEST_F(PadActionTest, HandshakeTakesTheFirstSysExPassingOtherTrafficBy) {
  ASSERT_TRUE(openLink());
  // A note first: passed by, no second request.
  backend.strayReads.push_back({0x09, 0x90, 0x40, 0x7F});
  ASSERT_TRUE(pad.HandshakeOperation());
  EXPECT_EQ(sim.handshakeCount(), 1);
  EXPECT_EQ(pad.deviceVersion(), "01.02");

  // Some other SysEx message first: it is the reply, and a wrong one; the
  // controller's own reply stays unread.
  sim.setFirmwareVersion(0x02, 0x00);
  backend.strayReads.push_back({0x04, 0xF0, 0x00, 0x00, 0x04, 0x00, 0x7F, 0x42, 0x04, 0x01, 0x00,
                                0x00, 0x07, 0x30, 0x05, 0xF7});
  backend.calls.clear();
  EXPECT_FALSE(pad.HandshakeOperation());
  EXPECT_EQ(std::count(backend.calls.begin(), backend.calls.end(), "read"), 1);
  EXPECT_EQ(capture.count("handshake no"), 1u);
  EXPECT_EQ(pad.deviceVersion(), "01.02") << "a failed handshake keeps the last version";
}

TEST_F(PadActionTest, HandshakeNeedsExactlyNineMatches) {
  ASSERT_TRUE(openLink());
  Bytes eight = kGoodReply;
  eight[5] = 0x02;  // 8 of the 9 fixed elements match
  backend.strayReads.push_back(eight);
  EXPECT_FALSE(pad.HandshakeOperation());
  EXPECT_FALSE(pad.deviceVersion());
  EXPECT_EQ(capture.count("handshake no"), 1u);
}

TEST_F(PadActionTest, AHandshakeWithoutAReplyFailsWhateverTheBufferHolds) {
  ASSERT_TRUE(openLink());
  ASSERT_TRUE(pad.HandshakeOperation());
  ASSERT_EQ(Bytes(io.receiveBuffer().begin(), io.receiveBuffer().begin() + 11), kGoodReply);

  // The controller now stays silent; the buffer still holds the good reply.
  sim.resetCounters();
  sim.faults().noReplyAfter = 0;
  sim.setFirmwareVersion(0x09, 0x09);
  EXPECT_EQ(pad.HandshakeOperation().message(), "no reply (timed out)");
  EXPECT_EQ(pad.deviceVersion(), "01.02");
}

TEST_F(PadActionTest, StartUpReadFillsThePresetFromTheController) {
  ASSERT_TRUE(pad.ReadPadValueFromDevice());
  const CurrentPreset& current = pad.currentPreset();
  ASSERT_EQ(current.buttonValueArray.size(), 64u);
  for (int i = 0; i < 64; ++i) EXPECT_EQ(*pad.GetButtonValueWithID(i), sim.controlInSlot(0, i));
  EXPECT_EQ(pad.getPadValue()->version, "01.02");
  EXPECT_EQ(pad.getPadValue()->version, pad.deviceVersion());
  EXPECT_EQ(pad.getPadValue()->globalOctaveTransposition, 6);
  EXPECT_EQ(pad.getPadValue()->mem, 0);
  // Input left in the pipe is drained, then the handshake and 598 pairs; the
  // interface is released at the end.
  EXPECT_EQ(sim.transfers().size(), 1u + 2u + 2u * 598u);
  EXPECT_EQ(sim.openHandleCount(), 0u);
  EXPECT_EQ(pad.GetButtonValueWithID(-1), nullptr);
  EXPECT_EQ(pad.GetButtonValueWithID(64), nullptr);
}

TEST_F(PadActionTest, AWholePresetIsReadThroughARealKeyboardsPipe) {
  using Traffic = Faults::Traffic;
  struct Case {
    const char* name;
    Faults faults;
    std::deque<Bytes> waiting;  // input left in the pipe before the read
    int handshakes;
  };
  Faults late = Faults::hardwareLike(Traffic::OwnTransfer);
  late.lateReply = 1;  // the handshake's reply comes after the wait
  Faults split = Faults::hardwareLike(Traffic::SameTransfer);
  split.packetPerTransfer = true;
  Bytes staleValue = kGoodReply;  // an old reply from an earlier, interrupted exchange
  staleValue[2] = 0x7F;
  const std::vector<Case> cases = {
      {"traffic, padding, foreign SysEx, other unexamined bytes",
       Faults::hardwareLike(Traffic::SameTransfer),
       {},
       1},
      {"a packet a transfer", split, {}, 1},
      {"late handshake reply", late, {}, 2},
      {"old input waiting", Faults{}, {staleValue, {0x0F, 0xF8, 0x00, 0x00}}, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    sim.faults() = c.faults;
    sim.resetCounters();
    backend.strayReads = c.waiting;
    InterfaceAction link(backend);
    PadAction fresh(link, files);
    const Outcome read = fresh.ReadPadValueFromDevice();
    ASSERT_TRUE(read) << read.message();
    for (int i = 0; i < 64; ++i) {
      EXPECT_EQ(*fresh.GetButtonValueWithID(i), sim.controlInSlot(0, i)) << "control " << i;
    }
    EXPECT_EQ(fresh.getPadValue()->globalMIDIChannel, 15);
    EXPECT_EQ(sim.handshakeCount(), c.handshakes);
    EXPECT_TRUE(fresh.lastReplacements().empty());
  }
}

TEST_F(PadActionTest, ProgressIsToldAndACancelStopsTheExchangeCleanly) {
  using Stage = PadAction::Progress::Stage;
  std::atomic<bool> cancel{false};
  io.setCancelFlag(&cancel);
  std::vector<PadAction::Progress> told;
  int cancelAt = -1;
  pad.setProgress([&](const PadAction::Progress& p) {
    told.push_back(p);
    if (p.stage != Stage::Handshake && p.done == cancelAt) cancel = true;
  });
  ASSERT_TRUE(pad.ReadPadValueFromDevice());
  ASSERT_EQ(told.size(), 1u + 598u);
  EXPECT_EQ(told.front().stage, Stage::Handshake);
  EXPECT_EQ(told.front().total, PadAction::kHandshakeAttempts);
  EXPECT_EQ(told.back().stage, Stage::Reading);
  EXPECT_EQ(told.back().done, 598);

  // A read cancelled half-way: released, nothing taken, said so.
  cancelAt = 100;
  sim.resetCounters();
  EXPECT_EQ(pad.ReadPadValueFromDevice().message(), "the read was cancelled");
  EXPECT_TRUE(pad.lastCancelled());
  EXPECT_EQ(sim.readRequestCount(), 100);
  EXPECT_EQ(sim.openHandleCount(), 0u);

  // A send cancelled half-way says how far it got.
  cancel = false;
  cancelAt = 40;
  pad.getPadValue()->mem = 2;
  ASSERT_TRUE(pad.OpenInterface());
  sim.resetCounters();
  EXPECT_EQ(pad.WritePadValueToDevice().message(),
            "cancelled after 40 of 598 settings: memory slot 3 now holds some of the new settings "
            "and some of the old");
  EXPECT_EQ(pad.lastWritten(), 40);
  EXPECT_EQ(sim.writeCount(), 40);

  // A silent keyboard can be left while the handshake waits for it.
  cancel = false;
  cancelAt = -1;
  sim.faults().noReplyAfter = 0;
  sim.faults().waitOnSilence = true;
  std::thread canceller([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    cancel = true;
  });
  EXPECT_EQ(pad.OpenInterface().message(), "cancelled while waiting for the keyboard");
  canceller.join();
  EXPECT_TRUE(pad.lastCancelled());
  EXPECT_LE(sim.handshakeCount(), 1);
}

TEST_F(PadActionTest, SettingsOutsideTheirListsAreReplacedAndListed) {
  ASSERT_TRUE(sim.setRawValue(0, 0x01, 0x50, 0x0C));  // pad mode of control 8
  ASSERT_TRUE(sim.setRawValue(0, 0x41, 0x01, 0x07));  // velocity curve
  ASSERT_TRUE(pad.ReadPadValueFromDevice());
  ASSERT_EQ(pad.lastReplacements().size(), 2u);
  EXPECT_EQ(pad.lastReplacements()[0].describe(), "control 8: mode byte 0c");
  EXPECT_EQ(pad.lastReplacements()[1].describe(), "global settings: velocity curve byte 07");
  EXPECT_EQ(pad.GetButtonValueWithID(8)->mode, 0);
  // What was read can be saved: every value is within its list.
  const CurrentPreset& current = pad.currentPreset();
  EXPECT_TRUE(checkPreset({current.buttonValueArray, current.currentPadValue}));
  // The next read starts a new list.
  sim.resetSettings();
  ASSERT_TRUE(pad.ReadPadValueFromDevice());
  EXPECT_TRUE(pad.lastReplacements().empty());
}

TEST_F(PadActionTest, HandshakeIsRetriedAfterClosingTheInterface) {
  sim.faults().handshakeFailures = 1;
  ASSERT_TRUE(pad.ReadPadValueFromDevice());
  EXPECT_EQ(capture.count("do HandshakeOperation"), 1u);
  EXPECT_EQ(sim.handshakeCount(), 2);
  // Between the two attempts: exactly one close, then the re-open.
  const std::vector<std::string> expected = {"open", "write 8", "read", "close",
                                             "open", "write 8", "read"};
  ASSERT_GE(backend.calls.size(), expected.size());
  // CreateInterface opens (claims) the interface first; the handshake opens it again.
  const auto first = std::find(backend.calls.begin(), backend.calls.end(), "write 8") - 1;
  EXPECT_EQ(std::vector<std::string>(first, first + 7), expected);
  EXPECT_EQ(pad.getPadValue()->version, "01.02");
}

TEST_F(PadActionTest, HandshakeGivesUpAfterFiveAttempts) {
  sim.faults().handshakeFailures = 5;
  EXPECT_EQ(pad.ReadPadValueFromDevice().message(),
            "the controller did not answer the handshake after 5 attempts");
  EXPECT_EQ(sim.handshakeCount(), PadAction::kHandshakeAttempts);
  EXPECT_EQ(backend.releaseCalls, 1) << "KillInterface at the bound";
  EXPECT_EQ(sim.readRequestCount(), 0);
  expectDefaultPreset();
  EXPECT_FALSE(pad.deviceVersion());

  // A handshake the keyboard did not take is not retried on an interface
  // that is gone, and says so.
  SimulatedController refusing;
  refusing.faults().writeFailureAfter = 1;  // the drain's read, then the handshake's write
  InterfaceAction refusingLink(refusing);
  PadAction refused(refusingLink, files);
  EXPECT_EQ(refused.ReadPadValueFromDevice().message(),
            "the keyboard did not take the handshake: the write failed (input/output error)");
  EXPECT_EQ(refusing.writes().size(), 1u);

  // The fifth attempt is still made.
  SimulatedController other;
  other.faults().handshakeFailures = 4;
  InterfaceAction link(other);
  PadAction late(link, files);
  EXPECT_TRUE(late.ReadPadValueFromDevice());
}

TEST_F(PadActionTest, EveryFaultFallsBackToTheDefaultPreset) {
  struct Case {
    const char* name;
    std::function<void(Faults&)> arm;
    std::string error;
  };
  // The handshake is request 1 (transfers 1 and 2); read 301 fails, the fifth
  // of control 32 (8 other controls of 7 reads, then 24 pads of 10: 296).
  const std::vector<Case> cases = {
      {"absent", [](Faults& f) { f.absent = true; },
       fmt::format("no controller found (USB {})", formatUsbIds(builtInKeyboard().usb))},
      {"one interface only", [](Faults& f) { f.oneInterfaceOnly = true; },
       "the controller's interface could not be found (not found)"},
      {"no reply", [](Faults& f) { f.noReplyAfter = 300; },
       "the controller stopped answering during the read, at control 32, parameter 04: no reply"},
      {"reply cut short",
       [](Faults& f) {
         f.shortReply = 8;
         f.shortReplyAfter = 300;
       },
       "the controller stopped answering during the read, at control 32, parameter 04: no reply"},
      {"another maker's reply",
       [](Faults& f) {
         f.wrongReply = Faults::WrongReply::OtherManufacturer;
         f.wrongReplyAfter = 300;
       },
       "the controller stopped answering during the read, at control 32, parameter 04: no reply"},
      // The drain, the handshake's two transfers, 300 pairs, the 301st request.
      {"unplugged", [](Faults& f) { f.unplugAfter = 604; },
       "the controller stopped answering during the read, at control 32, parameter 04: no reply"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    capture.clear();
    sim.replug();
    sim.faults() = Faults{};
    sim.resetCounters();
    c.arm(sim.faults());
    InterfaceAction link(backend);
    PadAction fresh(link, files);
    const std::string why = fresh.ReadPadValueFromDevice().message();
    EXPECT_EQ(why.substr(0, c.error.size()), c.error);
    const Preset defaults = files.defaultPreset();
    ASSERT_EQ(fresh.currentPreset().buttonValueArray.size(), 64u);
    for (int i = 0; i < 64; ++i) {
      EXPECT_EQ(*fresh.GetButtonValueWithID(i), *defaults.buttons[i]) << "control " << i;
    }
    PadValue expected = *defaults.global;
    expected.version = "未连接";
    EXPECT_EQ(*fresh.getPadValue(), expected);
    EXPECT_EQ(capture.count("加载默认数据"), 1u);
    EXPECT_EQ(sim.openHandleCount(), 0u) << "the interface is released";
  }
}

TEST_F(PadActionTest, NoControllerNamesTheIdsThatWereSearchedFor) {
  // A keyboard with other ids (chosen with padkbd use or --device).
  InterfaceAction other(backend, KeyboardId{{0x1234, 0xabcd}, builtInKeyboard().manufacturer});
  PadAction fresh(other, files);
  EXPECT_EQ(fresh.ReadPadValueFromDevice().message(), "no controller found (USB 1234:abcd)");
}

TEST_F(PadActionTest, SendWritesTheEditedPresetIntoTheSlotOfMem) {
  ASSERT_TRUE(pad.ReadPadValueFromDevice());
  // Edits in place reach the send.
  pad.GetButtonValueWithID(12)->CR = 99;
  pad.getPadValue()->mem = 4;
  sim.clearLog();
  ASSERT_TRUE(pad.OpenInterface());
  EXPECT_EQ(backend.findCalls, 2) << "the keyboard is looked for anew";
  ASSERT_TRUE(pad.WritePadValueToDevice());
  const auto writes = sim.writes();
  ASSERT_EQ(writes.size(), 1u + 598u);
  for (std::size_t i = 1; i < writes.size(); ++i) EXPECT_EQ(test::sysexOf(writes[i]).at(7), 4);
  EXPECT_EQ(sim.controlInSlot(4, 12).CR, 99);
  EXPECT_EQ(sim.controlInSlot(4, 13), sim.controlInSlot(0, 13));
  EXPECT_FALSE(sim.isInterfaceOpen()) << "closed after the send";
  EXPECT_EQ(backend.calls.back(), "close");

  // A record handed out before a replacement is no longer sent.
  ButtonValuePtr old = pad.GetButtonValueWithID(12);
  ASSERT_TRUE(pad.GetDefaultValue());
  old->CR = 7;
  pad.getPadValue()->mem = 5;
  ASSERT_TRUE(pad.OpenInterface());
  ASSERT_TRUE(pad.WritePadValueToDevice());
  EXPECT_EQ(sim.controlInSlot(5, 12), *pad.GetButtonValueWithID(12));
}

TEST_F(PadActionTest, AFailedSendIsReportedAsAFailure) {
  ASSERT_TRUE(pad.ReadPadValueFromDevice());
  ASSERT_TRUE(pad.OpenInterface());
  sim.resetCounters();
  sim.clearLog();
  sim.faults().writeFailureAfter = 100;
  const std::string why = pad.WritePadValueToDevice().message();
  EXPECT_EQ(sim.writes().size(), 101u) << "the send stops at the failed write";
  EXPECT_EQ(why.rfind("the send stopped, at control 12, parameter 04: the write failed", 0), 0u)
      << why;
  EXPECT_EQ(sim.openHandleCount(), 0u);

  // The next send starts over.
  sim.faults().writeFailureAfter.reset();
  ASSERT_TRUE(pad.OpenInterface());
  EXPECT_TRUE(pad.WritePadValueToDevice());

  // An exception inside the write is caught; the interface is still closed.
  ASSERT_TRUE(pad.OpenInterface());
  backend.throwAfterWrites = backend.writes + 10;
  EXPECT_EQ(pad.WritePadValueToDevice().message(), "the send failed: backend broke");
  EXPECT_EQ(backend.calls.back(), "close");
  backend.throwAfterWrites.reset();

  // A memory slot outside 0-8 sends nothing.
  ASSERT_TRUE(pad.OpenInterface());
  sim.clearLog();
  pad.getPadValue()->mem = 9;
  EXPECT_EQ(pad.WritePadValueToDevice().message(),
            "memory slot index 9 is outside 0-8; nothing was sent");
  EXPECT_TRUE(sim.writes().empty());
}

TEST_F(PadActionTest, OpenInterfaceLooksForTheKeyboardAnew) {
  // Plugged in after the start: found for the send.
  sim.faults().absent = true;
  EXPECT_FALSE(pad.ReadPadValueFromDevice());
  sim.faults().absent = false;
  EXPECT_TRUE(pad.OpenInterface());
  EXPECT_TRUE(pad.WritePadValueToDevice());
  EXPECT_EQ(pad.lastWritten(), PadAction::kFullExchange);
  // Unplugged since: said so, nothing sent.
  sim.faults().absent = true;
  EXPECT_EQ(pad.OpenInterface().message(),
            fmt::format("no controller found (USB {})", formatUsbIds(builtInKeyboard().usb)));

  // A controller that stops answering the handshake: false at the bound, released.
  SimulatedController device;
  InterfaceAction link(device);
  PadAction other(link, files);
  ASSERT_TRUE(other.ReadPadValueFromDevice());
  device.resetCounters();
  device.faults().handshakeFailures = 5;
  EXPECT_FALSE(other.OpenInterface());
  EXPECT_EQ(device.handshakeCount(), 5);
  EXPECT_FALSE(link.hasInterface());
  EXPECT_EQ(device.openHandleCount(), 0u);
  EXPECT_EQ(other.getPadValue()->version, "01.02") << "OpenInterface leaves the version alone";
}

TEST_F(PadActionTest, OnlyAUsableWorkingCopyReplacesThePreset) {
  ASSERT_TRUE(pad.GetDefaultValue());
  pad.GetButtonValueWithID(20)->MIDInumb = 42;
  pad.getPadValue()->globalMIDIChannel = 3;
  ASSERT_TRUE(pad.WriteButtonValuesToTemp());
  ButtonValuePtr before = pad.GetButtonValueWithID(20);
  ASSERT_TRUE(pad.GetTempValue());
  EXPECT_NE(pad.GetButtonValueWithID(20), before) << "new objects";
  EXPECT_EQ(pad.GetButtonValueWithID(20)->MIDInumb, 42);
  EXPECT_EQ(pad.getPadValue()->globalMIDIChannel, 3);

  // A damaged working copy is refused with a reason and changes nothing.
  const ButtonValuePtr kept = pad.GetButtonValueWithID(20);
  const PadValuePtr keptPad = pad.getPadValue();
  {
    std::ofstream damaged(files.workingCopyPath(), std::ios::trunc);
    damaged << "<?xml version=\"1.0\"?><plist><dict><key>ButtonArray</key><array>";
  }
  const Outcome refused = pad.GetTempValue();
  EXPECT_FALSE(refused);
  EXPECT_FALSE(refused.message().empty());
  EXPECT_EQ(pad.GetButtonValueWithID(20), kept);
  EXPECT_EQ(pad.getPadValue(), keptPad);
  EXPECT_EQ(pad.currentPreset().buttonValueArray.size(), 64u);
}

TEST_F(PadActionTest, ChoiceListsAndModeOptionTables) {
  const PopUpValue pu = pad.InitializePopUp();
  const std::vector<std::pair<const StringList*, std::size_t>> sizes = {
      {&pu.globalCArray, 16}, {&pu.globalOArray, 9},   {&pu.globalPVCArray, 4},
      {&pu.globalKAArray, 3}, {&pu.globalVCArray, 4},  {&pu.nameArray, 64},
      {&pu.padModeArray, 4},  {&pu.otherModeArray, 3}, {&pu.modeOptionArray, 0},
      {&pu.valArray, 128},    {&pu.channelArray, 17},  {&pu.CCnumArray, 128},
      {&pu.minArray, 128},    {&pu.maxArray, 128},     {&pu.memArray, 9},
      {&pu.crArray, 128},     {&pu.cgArray, 128},      {&pu.cbArray, 128}};
  for (std::size_t i = 0; i < sizes.size(); ++i) {
    EXPECT_EQ(sizes[i].first->size(), sizes[i].second) << "list " << i;
  }
  const auto lists = files.readChoiceLists();
  EXPECT_EQ(pu.globalOArray, lists.at("globalOctave"));
  EXPECT_EQ(pu.CCnumArray, lists.at("selectCCNumber"));

  const StringList relative = {"Absolute", "Rleative #1", "Rleative #2", "Rleative #3"};
  const StringList toggle = {"Toggle", "Gate"};
  EXPECT_EQ(PadAction::GetPadModeOptionWithModeIndex(1), relative);
  EXPECT_EQ(PadAction::GetPadModeOptionWithModeIndex(2), toggle);
  EXPECT_EQ(PadAction::GetPadModeOptionWithModeIndex(3), toggle);
  EXPECT_EQ(PadAction::GetOtherModeOptionWithModeIndex(1), relative);
  EXPECT_EQ(PadAction::GetOtherModeOptionWithModeIndex(2), (StringList{"NRPN", "RPN"}));
  for (int mode : {0, -1, 4, 1000}) {
    EXPECT_TRUE(PadAction::GetPadModeOptionWithModeIndex(mode).empty()) << mode;
  }
  for (int mode : {0, -1, 3}) {
    EXPECT_TRUE(PadAction::GetOtherModeOptionWithModeIndex(mode).empty()) << mode;
  }
}

}  // namespace
}  // namespace padkbd
