#include "sim/SimulatedController.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <tuple>

#include "model/ValueAction.h"
#include "storage/FileAction.h"
#include "tests/support/TempDir.h"

namespace padkbd {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using Bytes = std::vector<std::uint8_t>;
using Faults = SimulatedController::Faults;

const ManufacturerId kM = builtInKeyboard().manufacturer;
const Bytes kHandshake = {0x04, 0xF0, 0x7E, 0x7F, 0x07, 0x0A, 0x0B, 0xF7};

Bytes readRequest(std::uint8_t pp, std::uint8_t ww) {
  return {0x04, 0xF0, kM[0], kM[1], 0x04, kM[2], 0x7F, 0x42, 0x04, 0x01, 0x00, pp, 0x06, ww, 0xF7};
}

Bytes valueReply(std::uint8_t pp, std::uint8_t ww, std::uint8_t vv) {
  return {0x04, 0xF0, kM[0], kM[1], 0x04, kM[2], 0x7F, 0x42,
          0x04, 0x01, 0x00,  pp,    0x07, ww,    vv,   0xF7};
}

Bytes writeMessage(std::uint8_t yy, std::uint8_t pp, std::uint8_t ww, std::uint8_t vv) {
  return {0x04, 0xF0, kM[0], kM[1], 0x04, kM[2], 0x7F, 0x42,
          0x04, 0x02, yy,    pp,    0x07, ww,    vv,   0xF7};
}

// The simulator used directly as a backend, with its MIDI interface claimed.
struct Link {
  SimulatedController sim;
  UsbInterfaceHandle handle = 0;

  Link() { open(); }
  void open() {
    const auto devices =
        sim.findDevices(builtInKeyboard().usb.vendorId, builtInKeyboard().usb.productId);
    ASSERT_EQ(devices.size(), 1u);
    ASSERT_EQ(sim.createInterface(devices[0], 1, handle), UsbStatus::Success);
    ASSERT_EQ(sim.openInterface(handle), UsbStatus::Success);
  }
  UsbStatus send(const Bytes& bytes) {
    return sim.writePipe(handle, 2, bytes.data(), bytes.size());
  }
  // The next reply; empty on time-out.
  Bytes receive(UsbStatus* status = nullptr) {
    std::array<std::uint8_t, 63> buffer{};
    std::size_t received = 99;
    const UsbStatus s =
        sim.readPipe(handle, 1, buffer.data(), buffer.size(), received, std::chrono::seconds(1));
    if (status != nullptr) *status = s;
    return Bytes(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(received));
  }
  Bytes ask(const Bytes& request) {
    send(request);
    return receive();
  }
};

std::uint8_t id(int index) {
  return static_cast<std::uint8_t>(ValueAction::kButtonIDTable.bytes[index]);
}

TEST(SimulatedController, InitialSettingsAreValidAndUnlikeAFactoryPreset) {
  SimulatedController sim;
  std::set<std::tuple<int, int, int>> colours;
  std::set<int> channels, padModes;
  for (int i = 0; i < kControlCount; ++i) {
    const ButtonValue v = sim.controlInSlot(0, i);
    EXPECT_EQ(v.buttonID, i);
    // Every byte is one the tables know: encoding the decoded record gives it back.
    SimulatedController copy;
    copy.setControlInSlot(0, i, v);
    EXPECT_EQ(copy.controlInSlot(0, i), v);
    for (std::uint8_t pp = 0; pp <= 9; ++pp) {
      EXPECT_EQ(copy.rawValue(0, pp, id(i)), sim.rawValue(0, pp, id(i)));
    }
    channels.insert(v.channel);
    if (isPadControl(i)) {
      colours.insert({v.CR, v.CG, v.CB});
      padModes.insert(v.mode);
      EXPECT_LE(std::max({v.CR, v.CG, v.CB}), 127);
    } else {
      EXPECT_EQ(v.CR, -1);
    }
  }
  EXPECT_GE(colours.size(), 40u);  // a rainbow, not one colour
  EXPECT_GE(channels.size(), 10u);
  EXPECT_EQ(padModes.size(), 4u);
  const PadValue g = sim.globalsInSlot(0);
  EXPECT_EQ(g.globalKnobRelativeMode, 1);
  EXPECT_EQ(g.globalOctaveTransposition, 5);
  EXPECT_NE(sim.gains()[0], 64);
  EXPECT_NE(sim.controlInSlot(1, 8), sim.controlInSlot(0, 8));
}

TEST(SimulatedController, InitialSettingsPassThePresetCheckAndDifferFromTheDefault) {
  SimulatedController sim;
  for (int s = 0; s < SimulatedController::kSlotCount; ++s) {
    Preset preset;
    for (int i = 0; i < kControlCount; ++i) {
      preset.buttons.push_back(std::make_shared<ButtonValue>(sim.controlInSlot(s, i)));
    }
    preset.global = std::make_shared<PadValue>(sim.globalsInSlot(s));
    const Outcome checked = checkPreset(preset);
    EXPECT_TRUE(checked) << "slot " << s << ": " << checked.message();
  }
  const PresetRead shipped = parsePreset(builtinDefaultPresetXml());
  ASSERT_TRUE(shipped.outcome) << shipped.outcome.message();
  for (int i = 0; i < kControlCount; ++i) {
    const ButtonValue& d = *shipped.preset.buttons.at(static_cast<std::size_t>(i));
    const ButtonValue v = sim.controlInSlot(0, i);
    EXPECT_NE(v, d) << "control " << i;
    if (isPadControl(i)) {
      EXPECT_NE(v.MIDInumb, d.MIDInumb) << "control " << i;
    }
  }
  EXPECT_NE(sim.globalsInSlot(0).globalOctaveTransposition,
            shipped.preset.global->globalOctaveTransposition);
}

TEST(SimulatedController, WritesLandInTheirSlotAndGainsInTheGainTable) {
  Link link;
  const auto before0 = link.sim.rawValue(0, 0x08, id(8));
  EXPECT_EQ(link.send(writeMessage(0x03, 0x08, id(8), 0x05)), UsbStatus::Success);
  EXPECT_EQ(link.send(writeMessage(0x08, 0x40, 0x06, 0x0C)), UsbStatus::Success);
  EXPECT_EQ(link.send(writeMessage(0x40, 0x34, 0x77, 0x21)), UsbStatus::Success);
  EXPECT_EQ(link.send(writeMessage(0x40, 0x34, 0x70, 0x00)), UsbStatus::Success);
  EXPECT_EQ(link.sim.pendingReplies(), 0u);  // writes get no reply
  EXPECT_EQ(link.sim.controlInSlot(3, 8).CR, 5);
  EXPECT_EQ(link.sim.rawValue(0, 0x08, id(8)), before0);
  EXPECT_EQ(link.sim.globalsInSlot(8).globalMIDIChannel, 12);
  EXPECT_EQ(link.sim.gains()[7], 0x21);
  EXPECT_EQ(link.sim.gains()[0], 0x00);
  EXPECT_EQ(link.sim.writeCount(), 4);
  // Reads come from slot 0: a write to slot 0 is read back.
  link.send(writeMessage(0x00, 0x02, 0x30, 0x41));
  EXPECT_EQ(link.ask(readRequest(0x02, 0x30)), valueReply(0x02, 0x30, 0x41));
  EXPECT_EQ(link.sim.controlInSlot(0, 0).channel, 16);
  EXPECT_TRUE(link.sim.protocolErrors().empty());
  EXPECT_EQ(link.sim.writes().size(), 6u);
}

TEST(SimulatedController, UnknownRequestsAreNamedAndGetNoReply) {
  Link link;
  const std::vector<Bytes> bad = {
      readRequest(0x07, 0x30),               // colour of an other control
      readRequest(0x40, 0x04),               // no such global
      writeMessage(0x09, 0x00, 0x30, 0x01),  // slot 9
      writeMessage(0x00, 0x00, 0x30, 0x80),  // value byte with its high bit
      writeMessage(0x40, 0x34, 0x78, 0x01),  // gain 8
      writeMessage(0x40, 0x00, 0x30, 0x01),  // gain slot, wrong parameter
      Bytes(kHandshake.begin(), kHandshake.end() - 1),
      Bytes{0xDE, 0xAD},
      Bytes{},
  };
  for (const Bytes& b : bad) link.send(b);
  auto wrongId = readRequest(0x00, 0x30);
  wrongId[6] = 0x7E;
  link.send(wrongId);
  const auto errors = link.sim.protocolErrors();
  ASSERT_EQ(errors.size(), bad.size() + 1);
  EXPECT_THAT(errors[0], HasSubstr("unknown parameter 07 target 30"));
  EXPECT_THAT(errors[0], HasSubstr("04 f0"));
  EXPECT_THAT(errors[3], HasSubstr("80"));
  EXPECT_THAT(errors[7], HasSubstr("(2 bytes): de ad"));
  EXPECT_EQ(link.sim.pendingReplies(), 0u);
  EXPECT_EQ(link.sim.writeCount(), 0);
  link.sim.clearLog();
  EXPECT_TRUE(link.sim.protocolErrors().empty());
}

TEST(SimulatedController, StateSurvivesSaveAndLoad) {
  test::TempDir dir;
  SimulatedController sim;
  sim.setRawValue(4, 0x09, id(20), 0x7F);
  sim.setRawValue(0, 0x41, 0x04, 0x00);
  sim.setGain(3, 0x05);
  sim.setKeyboard({{0x1234, 0xABCD}, {0x00, 0x20, 0x6B}});
  ASSERT_TRUE(sim.saveState(dir / "state.txt")) << sim.saveState(dir / "state.txt").message();

  SimulatedController other;
  other.setRawValue(2, 0x00, 0x30, 0x33);  // overwritten by the load
  const Outcome loaded = other.loadState(dir / "state.txt");
  ASSERT_TRUE(loaded) << loaded.message();
  for (int s = 0; s < SimulatedController::kSlotCount; ++s) {
    for (const auto& [pp, ww] : SimulatedController::addresses()) {
      ASSERT_EQ(other.rawValue(s, pp, ww), sim.rawValue(s, pp, ww));
    }
  }
  EXPECT_EQ(other.gains(), sim.gains());
  EXPECT_EQ(other.keyboard(), sim.keyboard());

  // A partial file: the rest keeps the initial settings.
  {
    std::ofstream out(dir / "partial.txt");
    out << "# hand-written\n\npadkbd-sim-state 1\r\nslot 0 02 30 0f\ngain 7 01\n"
           "manufacturer 00:20:6B\n";
  }
  SimulatedController partial;
  ASSERT_TRUE(partial.loadState(dir / "partial.txt"));
  EXPECT_EQ(partial.keyboard().usb, builtInKeyboard().usb);
  EXPECT_EQ(partial.keyboard().manufacturer, (ManufacturerId{0x00, 0x20, 0x6B}));
  EXPECT_EQ(partial.controlInSlot(0, 0).channel, 15);
  EXPECT_EQ(partial.gains()[7], 1);
  EXPECT_EQ(partial.controlInSlot(0, 9), SimulatedController().controlInSlot(0, 9));
}

TEST(SimulatedController, DamagedStateFilesAreRefusedAndChangeNothing) {
  test::TempDir dir;
  const std::vector<std::pair<std::string, std::string>> files = {
      {"", "no \"padkbd-sim-state 1\" line"},
      {"slot 0 00 30 01\n", "line 1"},
      {"padkbd-sim-state 2\n", "format version"},
      {"padkbd-sim-state 1\nslot 9 00 30 01\n", "line 2"},
      {"padkbd-sim-state 1\nslot 0 07 30 01\n", "no setting has parameter 07 and target 30"},
      {"padkbd-sim-state 1\nslot 0 00 30 80\n", "00 to 7f"},
      {"padkbd-sim-state 1\nslot 0 00 30\n", "expected"},
      {"padkbd-sim-state 1\nslot 0 0x 30 01\n", "hex"},
      {"padkbd-sim-state 1\nslot -1 00 30 01\n", "slot must be"},
      {"padkbd-sim-state 1\ngain 8 01\n", "gain number"},
      {"padkbd-sim-state 1\ngain 0 zz\n", "gain value"},
      {"padkbd-sim-state 1\nbanana\n", "unknown entry"},
      {"padkbd-sim-state 1\nusb 1234\n", "usb VVVV:PPPP"},
      {"padkbd-sim-state 1\nmanufacturer 00 80 00\n", "00-7f"},
      {std::string("padkbd-sim-state 1\nslot 0 00 30 01\0\n", 36), "NUL"},
      {"\x89PNG\r\n\x1a\n\xff\xfe", "line 1"},
  };
  SimulatedController sim;
  sim.setRawValue(0, 0x00, 0x30, 0x55);
  const SimulatedController reference;
  int n = 0;
  for (const auto& [content, expected] : files) {
    SCOPED_TRACE(content);
    const auto path = dir / ("bad" + std::to_string(n++));
    {
      std::ofstream out(path, std::ios::binary);
      out << content;
    }
    const Outcome outcome = sim.loadState(path);
    EXPECT_FALSE(outcome);
    EXPECT_THAT(outcome.message(), HasSubstr(expected));
    EXPECT_THAT(outcome.message(), HasSubstr(path.filename().string()));
    EXPECT_EQ(sim.rawValue(0, 0x00, 0x30), 0x55);
  }
  EXPECT_FALSE(sim.loadState(dir / "missing"));
  EXPECT_FALSE(sim.loadState(dir.path()));  // a folder
  EXPECT_EQ(sim.gains(), reference.gains());
}

TEST(SimulatedController, FailedSaveIsReportedAndKeepsTheOldFile) {
  test::TempDir dir;
  SimulatedController sim;
  {
    std::ofstream blocker(dir / "file");
    blocker << "x";
  }
  const Outcome underFile = sim.saveState(dir / "file" / "state.txt");
  EXPECT_FALSE(underFile);
  EXPECT_THAT(underFile.message(), HasSubstr("state.txt"));
  std::filesystem::create_directory(dir / "folder");
  EXPECT_FALSE(sim.saveState(dir / "folder"));
  EXPECT_TRUE(std::filesystem::is_directory(dir / "folder"));
  EXPECT_FALSE(std::filesystem::exists(dir / "folder.tmp"));
}

}  // namespace
}  // namespace padkbd
