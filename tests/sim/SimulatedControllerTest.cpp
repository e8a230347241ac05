// The simulated keyboard as users meet it through padkbd --simulate: the
// requests it takes or refuses (by name, unanswered), and the state files
// it refuses or keeps, and what it plays.
#include <fmt/format.h>
#include <gtest/gtest.h>

#include <map>
#include <random>

#include "link/InterfaceAction.h"
#include "link/Listener.h"
#include "model/Fields.h"
#include "model/Playing.h"
#include "session/PlayMatch.h"
#include "sim/SimulatedController.h"
#include "tests/support/TempDir.h"

namespace padkbd {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(SimulatedControllerWire, WhatItDoesNotUnderstandIsNamedWholeAndUnanswered) {
  const ManufacturerId m = builtInKeyboard().manufacturer;
  const Bytes head = {0x04, 0xF0, m[0], m[1], 0x04, m[2], 0x7F, 0x42, 0x04};
  const auto request = [&](const Bytes& rest) {
    Bytes bytes = head;
    bytes.insert(bytes.end(), rest.begin(), rest.end());
    return bytes;
  };
  SimulatedController sim;
  InterfaceAction io(sim);
  ASSERT_TRUE(io.FindDevice() && io.CreateInterface());
  // (What it takes, ranges at both ends, the tool's tests send.)
  const Bytes read = request({0x01, 0x00, 0x00, 0x06, 0x30, 0xF7});
  ASSERT_TRUE(io.WriteToDeviceWithChar(read.data(), 15));
  ASSERT_TRUE(io.ReadValueFromDevice());

  // Refused: each byte of the header wrong, then what no keyboard holds.
  std::vector<Bytes> refused;
  for (std::size_t at = 0; at < head.size(); ++at) {
    refused.push_back(read);
    refused.back()[at] ^= 0x01;
  }
  for (const Bytes& rest : {Bytes{0x01, 0x00, 0x07, 0x06, 0x30, 0xF7},
                            {0x02, 0x00, 0x00, 0x07, 0x30, 0x80, 0xF7},
                            {0x02, 0x09, 0x00, 0x07, 0x30, 0x00, 0xF7},
                            {0x02, 0x40, 0x34, 0x07, 0x78, 0x00, 0xF7},
                            {0x02, 0x40, 0x34, 0x07, 0x6F, 0x00, 0xF7}})
    refused.push_back(request(rest));
  for (const Bytes& bytes : refused) {
    ASSERT_TRUE(io.WriteToDeviceWithChar(bytes.data(), static_cast<std::int32_t>(bytes.size())));
    EXPECT_FALSE(io.ReadValueFromDevice()) << "unanswered";
  }
  const auto errors = sim.protocolErrors();
  ASSERT_EQ(errors.size(), refused.size());
  EXPECT_EQ(errors[3], fmt::format("unknown request (15 bytes): 04 f0 {:02x} {:02x} 04 {:02x} 7f "
                                   "42 04 01 00 00 06 30 f7",
                                   m[0], m[1] ^ 1, m[2]));
  EXPECT_EQ(errors.back().substr(0, 66),
            "write to unknown slot 40 parameter 34 target 6f (16 bytes): 04 f0 ");
  EXPECT_EQ(sim.writeCount(), 0);
}

TEST(SimulatedControllerState, DamagedOrOversizedFilesAreRefusedAndChangeNothing) {
  const std::string head = "padkbd-sim-state 1\n";
  // Each range is refused one past either end; its ends are taken below.
  const std::vector<std::pair<std::string, std::string>> files = {
      {"", ": it has no \"padkbd-sim-state 1\" line"},
      {"slot 0 00 30 01\n", " (line 1): expected \"padkbd-sim-state 1\" first"},
      {"padkbd-sim-state 2\n", " (line 1): unknown format version 2"},
      {head + "slot 0 07 30 01\n", " (line 2): no setting has parameter 07 and target 30"},
      {head + "slot 0 00 30 80\n", " (line 2): value must be two hex digits, 00 to 7f"},
      {head + "slot -1 00 30 01\n", " (line 2): slot must be 0 to 8"},
      {head + "slot 9 00 30 01\n", " (line 2): slot must be 0 to 8"},
      {head + "slot 0 00 30 01\ngain 8 01\n", " (line 3): gain number must be 0 to 7"},
      {head + "gain -1 01\n", " (line 2): gain number must be 0 to 7"},
      {head + "gain 0001 01\n", " (line 2): gain number must be 0 to 7"},  // three digits at most
      {head + "banana\n", " (line 2): unknown entry \"banana\""},
      {head + "gain 1\n", " (line 2): expected \"gain N VV\""},
      {head + "slot 0 00 30\n", " (line 2): expected \"slot S PP WW VV\""},
      {head + "usb 12345:1\n", " (line 2): expected \"usb VVVV:PPPP\""},
      {head + "manufacturer 00 80 00\n",
       " (line 2): expected \"manufacturer M1 M2 M3\" (hex, 00-7f)"},
      {head + std::string("slot 0 00 30 01\0\n", 17), " (line 2): contains a NUL byte"},
  };
  SimulatedController sim;
  ASSERT_TRUE(sim.setRawValue(0, 0x00, 0x30, 0x55));
  const std::string before = sim.stateText();
  // (A file goes through the same text; the tool's tests load a damaged one.)
  for (const auto& [content, why] : files) {
    EXPECT_EQ(sim.loadStateText(content, "text").message(),
              "Simulator state file text is damaged" + why);
  }
  // The text itself is held to the same size as a file.
  const std::string large = head + std::string(4 * 1024 * 1024, '\n');
  EXPECT_EQ(sim.loadStateText(large, "text").message(),
            "Simulator state file text is too large (4194323 bytes)");
  EXPECT_EQ(sim.stateText(), before);
  // A file: none (a folder, which is not one either), one too large; a slot that is not there
  // holds nothing.
  const test::TempDir dir;
  test::writeAll(dir / "large", large);
  for (const auto& [path, why] :
       {std::pair{dir.path(), "Simulator state file " + dir.path().string() +
                                  " does not exist or is not a file"},
        {dir / "large",
         "Simulator state file " + (dir / "large").string() + " is too large (4194323 bytes)"}})
    EXPECT_EQ(sim.loadState(path).message(), why);
  EXPECT_TRUE(sim.controlInSlot(9, 0) == ButtonValue{} && sim.globalsInSlot(-1) == PadValue{});

  ASSERT_TRUE(sim.loadStateText(head + "slot 8 00 30 7f\ngain 0 00\ngain 7 7f\n", "ends"));
  EXPECT_EQ(sim.controlInSlot(8, 0).value, 127);
  EXPECT_EQ(sim.gains()[0] * 1000 + sim.gains()[7], 127);
}

// Listening is refused while no keyboard is there and granted once it is;
// what is struck while listening is heard; stopped (or never started) it
// hears nothing and says the keyboard is gone. (Hearing again after a stop:
// OverLibusb.ListeningClaimsTheKeyboardAndGivesItBackAroundASend.)
TEST(SimulatedControllerPlays, ListeningStartsStopsAndStartsAgain) {
  SimulatedController sim;
  InterfaceAction io(sim);
  Listener listener(io);
  const auto listen = [&] {
    std::vector<usbmidi::ChannelMessage> heard;
    const Outcome listened =
        listener.listen(LinkClock::now() + std::chrono::milliseconds(50), nullptr,
                        [&](const usbmidi::ChannelMessage& m) { heard.push_back(m); });
    return listened ? std::to_string(heard.size()) : listened.message();
  };
  sim.faults().absent = true;
  EXPECT_EQ(listener.start().code(), Code::LinkNotFound);
  sim.faults().absent = false;
  EXPECT_EQ(listen(), "no device (it may have been unplugged)");
  ASSERT_TRUE(listener.start() && listener.start());
  EXPECT_TRUE(sim.isClaimed() && listener.listening());
  sim.strike(8, 90);  // Pad 1: on and off
  EXPECT_EQ(listen(), "2");
  listener.stop();
  EXPECT_FALSE(sim.isOpen() || listener.listening());
  EXPECT_EQ(listen(), "no device (it may have been unplugged)");
  // Started again and resumed after a pause, the keyboard is claimed again only while open and
  // there.
  ASSERT_TRUE(listener.start());
  for (const bool unplug : {false, true}) {
    sim.pause();
    if (unplug) sim.changeFaults([](auto& faults) { faults.unplugAfter = 0; });
    sim.resume();
    EXPECT_EQ(sim.isClaimed(), !unplug);
  }
  sim.replug();
  listener.stop();
  sim.resume();
  EXPECT_FALSE(sim.isClaimed());
}

// Generated state files, written by hand in any layout (comments, blank
// lines, tabs, CRLF, upper-case hex, an entry given twice), keep every
// entry's last value, and what is saved loads back the same.
TEST(SimulatedControllerState, EveryEntryWrittenIsKeptAndSavedTheSame) {
  std::mt19937 random(38);
  const auto pick = [&](int high) { return std::uniform_int_distribution(0, high)(random); };
  const auto addresses = SimulatedController::addresses();
  const char* const ends[] = {"\n", "\r\n", " \t\n", "\n\n# by hand\n"};
  for (int n = 0; n < 100; ++n) {
    std::string text = "# generated\n\npadkbd-sim-state 1\n";
    std::map<std::string, std::string> kept;  // a canonical line by what it sets
    // Each entry as saved, and as written: its hex in upper case or not.
    const auto entry = [&](const std::string& key, const std::string& line,
                           const std::string& hand) {
      text += (pick(1) ? "\t" : "") + hand + ends[pick(3)];
      kept[key] = line;
    };
    const std::uint16_t vid = static_cast<std::uint16_t>(pick(0xFFFF)), pid = 1 + pick(0xFFFE);
    const std::string ids = fmt::format("{:04x}:{:04x}", vid, pid);
    entry("usb", "usb " + ids, "usb " + (pick(1) ? ids : fmt::format("{:04X}:{:04X}", vid, pid)));
    const int m1 = pick(127), m2 = pick(127), m3 = pick(127);
    entry("manufacturer", fmt::format("manufacturer {:02x} {:02x} {:02x}", m1, m2, m3),
          fmt::format("manufacturer {:02X} {:02x} {:02X}", m1, m2, m3));
    for (int e = 0; e < 60; ++e) {
      const int slot = pick(8), gain = pick(7), value = pick(127);
      const auto [pp, ww] = addresses[static_cast<std::size_t>(pick(int(addresses.size()) - 1))];
      if (e % 4 == 0) {
        entry("gain " + std::to_string(gain), fmt::format("gain {} {:02x}", gain, value),
              fmt::format("gain {} {:02X}", gain, value));
      }
      const std::string at = fmt::format("slot {} {:02x} {:02x}", slot, pp, ww);
      entry(at, fmt::format("{} {:02x}", at, value),
            fmt::format("slot {}  {:02X} {:02X}\t{:02X}", slot, pp, ww, value));
    }
    SimulatedController sim, again;
    const Outcome loaded = sim.loadStateText(text, "generated");
    ASSERT_TRUE(loaded) << loaded.message() << "\n" << text;
    const std::string saved = sim.stateText();
    for (const auto& [key, line] : kept)
      EXPECT_NE(saved.find("\n" + line + "\n"), std::string::npos) << line;
    ASSERT_TRUE(again.loadStateText(saved, "saved"));
    EXPECT_EQ(again.stateText(), saved);
  }
}

// What a touch queued, as the channel messages a reader finds in it.
std::vector<usbmidi::ChannelMessage> played(SimulatedController& sim) {
  std::vector<usbmidi::ChannelMessage> found;
  usbmidi::ChannelReader reader;
  for (const auto& transfer : sim.takePending())
    reader.feed(transfer, [&](const usbmidi::ChannelMessage& m) { found.push_back(m); });
  return found;
}

TEST(SimulatedControllerPlays, EachTouchSendsWhatSlotZeroSays) {
  using M = usbmidi::ChannelMessage;
  using L = std::vector<M>;
  SimulatedController sim;
  // Slot 0 of a fresh keyboard transposes an octave down. Pad 1: Note 40
  // (so 28) on channel 10, struck and let go.
  sim.strike(8, 90);
  EXPECT_EQ(played(sim), (L{{0x99, 28, 90, 0}, {0x89, 28, 0x40, 0}}));
  // Knob 1: Note 20 on channel 2, turned to 64.
  sim.turn(0, 64);
  EXPECT_EQ(played(sim), (L{{0x91, 8, 64, 0}}));
  // By hand: a relative knob turns by its steps (Knob 2: relative #2 on
  // controller 21, channel 3, two steps down), an absolute one from where it
  // stands; a pad does not turn.
  sim.touch(1, SimulatedController::Touch::Turn, -2);
  sim.turnBy(0, 30);
  sim.turnBy(0, 5);
  sim.turnBy(8, 5);
  EXPECT_EQ(played(sim), (L{{0xB2, 21, 62, 0}, {0x91, 8, 30, 0}, {0x91, 8, 35, 0}}));
  // Knob 3: NRPN 22 on channel 4, its value kept within 2-125.
  sim.turn(2, 127);
  sim.turn(2, 0);
  // clang-format off
  EXPECT_EQ(played(sim), (L{{0xB3, 99, 0, 0}, {0xB3, 98, 22, 0}, {0xB3, 6, 125, 0},
                            {0xB3, 99, 0, 0}, {0xB3, 98, 22, 0}, {0xB3, 6, 2, 0}}));
  // Button 1: RPN 76 on channel 7, its maximum while pressed, its minimum let go.
  sim.strike(56);
  EXPECT_EQ(played(sim), (L{{0xB6, 101, 0, 0}, {0xB6, 100, 76, 0}, {0xB6, 6, 119, 0},
                            {0xB6, 101, 0, 0}, {0xB6, 100, 76, 0}, {0xB6, 6, 8, 0}}));
  // clang-format on
  // Pad 2: CC 42 on channel 11, the velocity within 9-118, then its minimum.
  sim.strike(9, 127);
  EXPECT_EQ(played(sim), (L{{0xBA, 42, 118, 0}, {0xBA, 42, 9, 0}}));
  // Pad 4: Note Switch toggling: on at one press, off at the next, silent releases.
  sim.strike(11, 90);
  sim.strike(11, 90);
  EXPECT_EQ(played(sim), (L{{0x9C, 34, 90, 0}, {0x8C, 34, 0x40, 0}}));
  // With mode option 0 too, Pad 3 (CC Switch: 44 on channel 12, 10-117) toggles; Pad 1 (Note)
  // and Button 1 (now NRPN) still send on and off at each strike.
  for (const int i : {8, 10, 56})
    sim.setRawValue(0, 0x06, std::uint8_t(ValueAction::GetButtonIDCharFromIndex(i)), 0);
  sim.strike(10, 127);
  sim.strike(10, 127);
  sim.strike(8, 90);
  sim.strike(56);
  // clang-format off
  EXPECT_EQ(played(sim), (L{{0xBB, 44, 117, 0}, {0xBB, 44, 10, 0},
                            {0x99, 28, 90, 0}, {0x89, 28, 0x40, 0},
                            {0xB6, 99, 0, 0}, {0xB6, 98, 76, 0}, {0xB6, 6, 119, 0},
                            {0xB6, 99, 0, 0}, {0xB6, 98, 76, 0}, {0xB6, 6, 8, 0}}));
  // clang-format on
  // (Played transfers padded to a whole packet, as hardware pads them: the monitor over a MIDI
  // port, MidiPort.ListeningTakesNothingFromAnotherProgramAndTheToolPrintsEachTouch.)
  // Nothing for a control that is not there, or once unplugged.
  sim.strike(64);
  sim.strike(-1);
  sim.faults().unplugAfter = 0;
  sim.strike(8);
  EXPECT_TRUE(played(sim).empty());
}

// Whatever any control plays, in every mode and mode option, on generated
// channels, numbers, ranges and global settings, struck or turned, is matched
// with that control by the settings a read would give.
TEST(SimulatedControllerPlays, EveryControlInEveryModeIsMatchedToItself) {
  std::mt19937 random(38);
  for (int round = 0; round < 16; ++round) {
    SimulatedController sim;
    Preset preset;
    for (int i = 0; i < kControlCount; ++i) {
      ButtonValue control = sim.controlInSlot(0, i);
      const auto id = static_cast<std::uint8_t>(ValueAction::GetButtonIDCharFromIndex(i));
      for (const ControlFieldInfo& field : kControlFields) {
        if (field.padsOnly && !isPadControl(i)) continue;
        const Range range = rangeOf(field, isPadControl(i));
        const int spread = range.high - range.low + 1;
        control.*field.member = field.field == ControlField::Mode ? (round + i) % spread
                                : field.field == ControlField::ModeOption
                                    ? round / 4 % spread
                                    : std::uniform_int_distribution(range.low, range.high)(random);
        const Conversion& conversion = isPadControl(i) ? field.onPad : field.onOther;
        sim.setRawValue(0, field.parameter, id,
                        static_cast<std::uint8_t>(conversion.toByte(control.*field.member)));
      }
      preset.buttons.push_back(std::make_shared<ButtonValue>(control));
    }
    preset.global = std::make_shared<PadValue>(sim.globalsInSlot(round % 9));
    sim.setGlobalsInSlot(0, *preset.global);
    PlayMatcher matcher(preset);
    for (int i = 0; i < kControlCount; ++i) {
      sim.strike(i, 60);
      if (i < 8) sim.turnBy(i, round % 2 ? 3 : -3);
      const auto messages = played(sim);
      SCOPED_TRACE(testing::Message() << "round " << round << ", control " << i);
      // Only a note moved out of 0-127 by the transposition plays nothing.
      const bool silent = playing::sendsOf(i, *preset.buttons[i]) == playing::Sends::Notes &&
                          !playing::noteOf(*preset.buttons[i], *preset.global);
      ASSERT_EQ(messages.empty(), silent);
      for (const auto& message : messages) {
        const auto controls = matcher.match(message).controls;
        EXPECT_NE(std::find(controls.begin(), controls.end(), i), controls.end());
      }
    }
  }
}

}  // namespace
}  // namespace padkbd
