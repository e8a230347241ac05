// The protocol against the simulated controller: the bytes on the wire and
// the order of exchange (ButtonAction), then PadAction's handshake, start-up
// read with its fallback, cancelling, re-opening and sending.
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <stdexcept>
#include <thread>

#include "link/InterfaceAction.h"
#include "model/Log.h"
#include "protocol/ButtonAction.h"
#include "protocol/PadAction.h"
#include "sim/SimulatedController.h"
#include "storage/FileAction.h"
#include "tests/support/TempDir.h"

namespace padkbd {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Faults = SimulatedController::Faults;
using Strings = std::vector<std::string>;
const ManufacturerId kM = builtInKeyboard().manufacturer;

// Where a request's bytes sit in its packets:
// 04 F0 M1 M2 | 04 M3 7F 42 | 04 CC YY PP | 06 WW F7 (read) or 07 WW VV F7 (write).
constexpr std::size_t kSlot = 10, kParameter = 11, kTarget = 13, kValue = 14;

Bytes message(std::uint8_t command, std::uint8_t yy, std::uint8_t pp, const Bytes& rest) {
  Bytes bytes = {0x04, 0xF0, kM[0], kM[1], 0x04, kM[2], 0x7F, 0x42, 0x04, command, yy, pp};
  for (const std::uint8_t byte : rest) bytes.push_back(byte);
  return bytes;
}

// One byte of every request written since the last clearLog, in order.
Bytes sent(const SimulatedController& sim, std::size_t at) {
  Bytes out;
  for (const Bytes& w : sim.writes()) out.push_back(w.at(at));
  return out;
}

// The simulated keyboard's settings differ from the default preset's, so a
// read and a fallback can be told apart.
class PadActionTest : public ::testing::Test {
 protected:
  bool openLink() { return io.FindDevice() && io.CreateInterface(); }

  // The preset read from the controller's slot 0, or the default preset
  // marked as not connected; the interface given back either way.
  void expectPreset(PadAction& p, bool read) {
    const Preset defaults = files.defaultPreset();
    ASSERT_EQ(p.currentPreset().buttonValueArray.size(), 64u);
    for (int i = 0; i < 64; ++i) {
      EXPECT_EQ(*p.GetButtonValueWithID(i), read ? sim.controlInSlot(0, i) : *defaults.buttons[i])
          << "control " << i;
    }
    PadValue expected = read ? sim.globalsInSlot(0) : *defaults.global;
    expected.version = read ? "01.02" : "未连接";
    EXPECT_EQ(*p.getPadValue(), expected);
    EXPECT_FALSE(sim.isOpen()) << "the interface is given back";
  }

  test::TempDir tmp;
  test::ScopedEnv xdg{"XDG_DATA_HOME", tmp.path().string()};
  log::Capture quiet;
  SimulatedController sim;
  InterfaceAction io{sim};
  FileAction files{PADKBD_TEST_RESOURCE_DIR, tmp / "padkbd/temp.plist"};
  PadAction pad{io, files};
};

TEST_F(PadActionTest, ControlReadRequestsAreByteExactInExchangeOrder) {
  ASSERT_TRUE(openLink());
  // Control index 0 (ID 30), an other control: seven requests, no colour.
  ASSERT_TRUE(ButtonAction::GetButtonValueWithWW(io, 0x30, 0));
  EXPECT_EQ(sim.writes().at(0), message(0x01, 0x00, 0x00, {0x06, 0x30, 0xF7}));
  EXPECT_EQ(sent(sim, kParameter), (Bytes{0, 1, 2, 3, 4, 5, 6}));

  // Control index 8 (ID 50), a pad control: red 08 before green 07, then blue 09. (What
  // comes back: the start-up read's test.)
  sim.clearLog();
  ASSERT_TRUE(ButtonAction::GetButtonValueWithWW(io, 0x50, 8));
  EXPECT_EQ(sent(sim, kParameter), (Bytes{0, 1, 2, 3, 4, 5, 6, 8, 7, 9}));
}

TEST_F(PadActionTest, GlobalAndGainMessagesAreByteExactAndNothingOutsideATableIsSent) {
  ASSERT_TRUE(openLink());
  ASSERT_TRUE(ButtonAction::SetDeviceWithPadValue(io, PadValue{}, 0x00));
  EXPECT_EQ(sim.writes().at(0), message(0x02, 0x00, 0x40, {0x07, 0x02, 0x01, 0xF7}));
  EXPECT_EQ(sent(sim, kParameter), (Bytes{0x40, 0x40, 0x40, 0x41, 0x41, 0x41}));
  EXPECT_EQ(sent(sim, kTarget), (Bytes{0x02, 0x03, 0x06, 0x01, 0x03, 0x04}));
  EXPECT_EQ(sent(sim, kValue), (Bytes{0x01, 0x00, 0x00, 0x00, 0x00, 0x00}));

  sim.clearLog();
  // Gains and slots are counted from 1, as the keyboard and the tool count them.
  const std::pair<std::vector<std::int32_t>, std::string> refusedGains[] = {
      {std::vector<std::int32_t>(7, 64), "the gain list has 7 entries, 8 are needed"},
      {{0, 1, 2, 3, 4, 5, 6, 128}, "gain 8 is 128, outside 0-127"},
      {{-1, 1, 2, 3, 4, 5, 6, 7}, "gain 1 is -1, outside 0-127"}};
  for (const auto& [gains, why] : refusedGains)
    EXPECT_EQ(ButtonAction::setGainWithArray(io, gains).message(), why);
  PadValue outside;
  for (int mem : {9, -1}) {
    EXPECT_EQ(ButtonAction::SetDeviceWithArray(io, {}, (outside.mem = mem, outside)).message(),
              "memory slot " + std::to_string(mem + 1) + " is outside 1-9");
  }
  EXPECT_TRUE(sim.writes().empty());

  // More than eight: the first eight are sent (each to its own gain: the keyboard's gains).
  ASSERT_TRUE(ButtonAction::setGainWithArray(io, {0, 1, 2, 3, 4, 5, 6, 127, 500}));
  EXPECT_EQ(sim.writes().at(7), message(0x02, 0x40, 0x34, {0x07, 0x77, 0x7F, 0xF7}));
  EXPECT_EQ(sim.gains(), (std::array<std::uint8_t, 8>{0, 1, 2, 3, 4, 5, 6, 127}));
  // A failed gain write stops the rest.
  sim.clearLog();
  sim.resetCounters();
  sim.faults().writeFailureAfter = 4;
  EXPECT_EQ(ButtonAction::setGainWithArray(io, std::vector<std::int32_t>(8, 1)).message(),
            "gain 5: the write failed (input/output error)");
  EXPECT_EQ(sim.writes().size(), 5u);
}

TEST_F(PadActionTest, HandshakeNeedsEveryFixedByteAndAFailedOneKeepsTheVersion) {
  ASSERT_TRUE(openLink());
  sim.faults().traffic = Faults::Traffic::OwnTransfer;  // passed by
  // (Its bytes and the version as shown: the tool's trace, the window's firmware field.)
  ASSERT_TRUE(pad.HandshakeOperation());
  // A reply with 8 of the 9 fixed bytes; no reply, although the buffer holds a good one.
  sim.resetCounters();
  sim.faults().handshakeFailures = 1;
  EXPECT_EQ(pad.HandshakeOperation().message(), "the reply is not the keyboard's handshake");
  sim.faults().noReplyAfter = 0;
  EXPECT_EQ(pad.HandshakeOperation().message(), "no reply (timed out)");
  EXPECT_EQ(pad.deviceVersion(), "01.02");
}

TEST_F(PadActionTest, StartUpReadDrainsOldInputAndFillsThePresetThroughARealKeyboardsPipe) {
  // A reply of an interrupted exchange waits in the pipe.
  const Bytes request = message(0x01, 0x00, 0x00, {0x06, 0x30, 0xF7});
  ASSERT_TRUE(openLink() && io.WriteToDeviceWithChar(request.data(), 15));
  io.KillInterface();
  sim.clearLog();
  ASSERT_TRUE(pad.ReadPadValueFromDevice());
  expectPreset(pad, true);
  EXPECT_EQ(sim.handshakeCount(), 1);
  // Drained (the reply, then nothing), then each request waits for its reply.
  const auto transfers = sim.transfers();
  ASSERT_EQ(transfers.size(), 2u + 2u + 2u * PadAction::kFullExchange);
  for (std::size_t i = 2; i < transfers.size(); ++i)
    ASSERT_EQ(transfers[i].direction == SimulatedController::Direction::Out, i % 2 == 0) << i;

  Faults late = Faults::hardwareLike(Faults::Traffic::OwnTransfer), fifth,
         bytes = Faults::hardwareLike();
  late.lateReply = 1;           // the handshake's reply comes after the wait: it is tried again
  fifth.handshakeFailures = 4;  // the last attempt still counts
  bytes.bytePackets = true;     // every reply a byte a packet, clock and notes between
  for (const auto& [faults, handshakes] :
       {std::pair{Faults::hardwareLike(), 1}, {late, 2}, {fifth, 5}, {bytes, 1}}) {
    sim.faults() = faults;
    sim.resetCounters();
    PadAction fresh(io, files);
    ASSERT_TRUE(fresh.ReadPadValueFromDevice());
    expectPreset(fresh, true);
    EXPECT_EQ(sim.handshakeCount(), handshakes);
    EXPECT_TRUE(fresh.lastReplacements().empty());
  }
}

TEST_F(PadActionTest, BytesOutsideTheTableOfTheControlsKindAreReplacedAndListed) {
  // Mode byte 08 is pad mode 2, but in no row of the other-mode table; channel byte 41 is 16;
  // a mode option beyond its list of four, a knob relative mode in no table, octave byte 41.
  for (const auto& [pp, ww, byte] : {std::array{0x01, 0x50, 0x08},
                                     {0x02, 0x50, 0x41},
                                     {0x01, 0x30, 0x08},
                                     {0x06, 0x50, 0x05},
                                     {0x40, 0x02, 0x00},
                                     {0x40, 0x03, 0x41}})
    ASSERT_TRUE(sim.setRawValue(0, std::uint8_t(pp), std::uint8_t(ww), std::uint8_t(byte)));
  ASSERT_TRUE(pad.ReadPadValueFromDevice());
  Strings described;
  for (const auto& r : pad.lastReplacements()) described.push_back(r.describe());
  EXPECT_EQ(described, (Strings{"Knob 1: mode byte 08", "Pad 1: mode option byte 05",
                                "global settings: knob relative mode byte 00"}));
  const ButtonValuePtr control8 = pad.GetButtonValueWithID(8);
  EXPECT_EQ((std::array{control8->mode, control8->channel, control8->modeOption}),
            (std::array{2, 16, 0}));
  EXPECT_EQ(pad.getPadValue()->globalOctaveTransposition, 5);
  // (That what was read can always be saved: the replies fuzzer.)
}

TEST_F(PadActionTest, EveryFaultFallsBackToTheDefaultPresetAndAsksNothingMore) {
  // The handshake is request 1; read 301 fails, the fifth of control 32 (8
  // other controls of 7 reads, then 24 pads of 10: 296).
  const std::string stopped = "the controller stopped answering during the read, at ";
  const std::string read301 = stopped + "Pad 25 (min): no reply";
  struct Case {
    void (*arm)(Faults&);
    std::string error;
    int requests;  // read requests made
    Code code;     // what the advice to the user follows
  };
  // (Busy and a handshake never answered, which fall back the same way: their words are
  // InterfaceActionCreate's and MidiPort's, their codes KeyboardServiceTest's.)
  const Case cases[] = {
      {[](Faults& f) { f.absent = true; },
       fmt::format("no controller found (USB {})", formatUsbIds(builtInKeyboard().usb)), 0,
       Code::LinkNotFound},
      // The drain's read, then the handshake's write: not retried on an interface that is gone.
      {[](Faults& f) { f.writeFailureAfter = 1; },
       "the keyboard did not take the handshake: the write failed (input/output error)", 0,
       Code::LinkFailed},
      {[](Faults& f) { f.noReplyAfter = 300; }, read301, 301, Code::KeyboardSilent},
      // The drain, the handshake's two transfers, 300 pairs, the 301st request.
      {[](Faults& f) { f.unplugAfter = 604; }, read301, 301, Code::LinkGone},
      {[](Faults& f) { f.noReplyAfter = 595; },
       stopped + "global settings (velocity curve): no reply (timed out)", 596,
       Code::KeyboardSilent},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.error);
    sim.replug();
    sim.faults() = Faults{};
    sim.resetCounters();
    c.arm(sim.faults());
    PadAction fresh(io, files);
    const Outcome read = fresh.ReadPadValueFromDevice();
    EXPECT_EQ(read.message().substr(0, c.error.size()), c.error);
    EXPECT_EQ(read.code(), c.code);
    expectPreset(fresh, false);
    EXPECT_EQ(sim.readRequestCount(), c.requests) << "nothing asked after the failed read";
  }
}

TEST_F(PadActionTest, ProgressIsToldAndACancelStopsTheExchangeCleanly) {
  using Stage = PadAction::Progress::Stage;
  std::atomic<bool> cancel{false};
  io.setCancelFlag(&cancel);
  std::vector<PadAction::Progress> told;
  int cancelAt = -1, throwAt = -1;
  pad.setProgress([&](const PadAction::Progress& p) {
    told.push_back(p);
    if (p.stage != Stage::Handshake && p.done == cancelAt) cancel = true;
    if (p.stage != Stage::Handshake && p.done == throwAt) throw std::runtime_error("no memory");
  });
  sim.faults().handshakeFailures = 2;
  ASSERT_TRUE(pad.ReadPadValueFromDevice());
  ASSERT_EQ(told.size(), 4u + PadAction::kFullExchange)
      << "each handshake attempt, the start of the reading, then each setting read";
  for (int attempt = 1; attempt <= 3; ++attempt)
    EXPECT_EQ(told[attempt - 1].done * 10 + told[attempt - 1].total, attempt * 10 + 5);
  EXPECT_TRUE(told[3].stage == Stage::Reading && told[3].done == 0);
  EXPECT_EQ(told.back().done, PadAction::kFullExchange);

  cancelAt = 100;
  sim.resetCounters();
  // (What a cancelled read says: the tool's and the editor's tests.)
  EXPECT_TRUE(pad.ReadPadValueFromDevice().wasCancelled());
  EXPECT_EQ(sim.readRequestCount(), 100);
  EXPECT_FALSE(sim.isOpen());

  cancel = false;
  cancelAt = 40;
  pad.getPadValue()->mem = 2;
  ASSERT_TRUE(pad.OpenInterface());
  sim.resetCounters();
  const Outcome sent = pad.WritePadValueToDevice();
  EXPECT_EQ(sent.message(),
            "cancelled after 40 of 598 settings: memory slot 3 now holds some of the new settings "
            "and some of the old");
  EXPECT_TRUE(sent.wasCancelled());
  EXPECT_EQ(sim.writeCount(), 40);

  // What is thrown on the way (the memory full) ends a read or a send as a failure, said.
  cancel = false;
  throwAt = 5;  // before the cancel at 40
  EXPECT_EQ(pad.ReadPadValueFromDevice().message(), "reading the controller failed: no memory");
  told.clear();
  ASSERT_TRUE(!sim.isOpen() && pad.OpenInterface() && told.size() == 1);  // the handshake told
  EXPECT_EQ(pad.WritePadValueToDevice().message(), "the send failed: no memory");
  sim.resetCounters();

  // A silent keyboard can be left while the handshake waits for it.
  sim.faults().noReplyAfter = 0;
  sim.faults().waitOnSilence = true;
  std::thread canceller([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    cancel = true;
  });
  const Outcome opened = pad.OpenInterface();
  EXPECT_EQ(opened.message(), "cancelled while waiting for the keyboard");
  EXPECT_TRUE(opened.wasCancelled());
  canceller.join();
  EXPECT_LE(sim.handshakeCount(), 1);
}

TEST_F(PadActionTest, SendWritesThePresetIntoTheSlotOfMemOfAKeyboardFoundAnew) {
  // Plugged in after the start: found for the send.
  sim.faults().absent = true;
  EXPECT_FALSE(pad.ReadPadValueFromDevice());
  sim.faults().absent = false;
  // Slot 1's settings, varied in every field, go to slot 3; edits in place go with them.
  Preset preset{{}, std::make_shared<PadValue>(sim.globalsInSlot(1))};
  for (int i = 0; i < 64; ++i)
    preset.buttons.push_back(std::make_shared<ButtonValue>(sim.controlInSlot(1, i)));
  preset.global->mem = 3;
  ASSERT_TRUE(pad.usePreset(preset));
  pad.GetButtonValueWithID(13)->CR = 99;
  ASSERT_TRUE(pad.OpenInterface());
  sim.clearLog();
  ASSERT_TRUE(pad.WritePadValueToDevice());
  // Controls in index order, no colours for the others (598 in all), then the globals.
  EXPECT_EQ(sent(sim, kSlot), Bytes(PadAction::kFullExchange, 0x03));
  EXPECT_EQ(sent(sim, kTarget).at(7), 0x01);
  EXPECT_EQ(sent(sim, kParameter).at(597), 0x41);
  for (int i = 0; i < 64; ++i) EXPECT_EQ(sim.controlInSlot(3, i), *pad.GetButtonValueWithID(i));
  EXPECT_EQ(sim.globalsInSlot(3), *pad.getPadValue());
  EXPECT_TRUE(sim.protocolErrors().empty());  // (closed after it: the editor's tests)

  // A failed write stops the send, which says where.
  ASSERT_TRUE(pad.OpenInterface());
  sim.clearLog();
  sim.resetCounters();
  sim.faults().writeFailureAfter = 100;
  const std::string why = pad.WritePadValueToDevice().message();
  EXPECT_EQ(why.rfind("the send stopped, at Pad 5 (min): the write failed", 0), 0u) << why;
  EXPECT_EQ(sim.writes().size(), 101u);
  EXPECT_FALSE(sim.isOpen());

  // A preset that fails its check is not taken; one with a slot outside 1-9
  // (mended in place) sends nothing and counts nothing written.
  preset.global->mem = 9;
  EXPECT_EQ(pad.usePreset(preset).message(), "global settings: memory slot 10 is outside 1-9");
  pad.getPadValue()->mem = 9;
  sim.clearLog();
  EXPECT_EQ(pad.WritePadValueToDevice().message(),
            "memory slot 10 is outside 1-9; nothing was sent");
  EXPECT_TRUE(sim.writes().empty() && pad.lastWritten() == 0);
  PadAction empty{io, files};
  EXPECT_EQ(empty.WritePadValueToDevice().message(), "there are no settings to send yet");
}

}  // namespace
}  // namespace padkbd
