// The device half of ButtonAction against the simulated controller: the bytes
// on the wire, the order of exchange, the full read and write, and how reads
// and writes that fail end an exchange.
#include <gtest/gtest.h>

#include <functional>

#include "model/Fields.h"
#include "model/Log.h"
#include "protocol/ButtonAction.h"
#include "protocol/Messages.h"
#include "sim/SimulatedController.h"
#include "tests/protocol/ProtocolTestSupport.h"
#include "usb/InterfaceAction.h"

namespace padkbd {
namespace {

using test::Bytes;
using test::M1;
using test::M2;
using test::M3;
using test::sysexOf;
using Direction = SimulatedController::Direction;

class CodecTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(io.FindDevice());
    ASSERT_TRUE(io.CreateInterface());
    sim.clearLog();
    sim.resetCounters();
  }

  // The parameter bytes of the read requests written, in order.
  std::vector<std::uint8_t> requestedParameters() const {
    std::vector<std::uint8_t> out;
    for (const Bytes& w : sim.writes()) out.push_back(sysexOf(w).at(8));
    return out;
  }

  SimulatedController sim;
  InterfaceAction io{sim};
};

// A preset whose every field is in range and differs between controls, so a
// swapped parameter or control shows.
ButtonValueList variedControls() {
  ButtonValueList list;
  for (int i = 0; i < kControlCount; ++i) {
    auto b = std::make_shared<ButtonValue>();
    b->buttonID = i;
    b->value = (i * 7) % 128;
    b->mode = isPadControl(i) ? i % 4 : i % 3;
    b->channel = i % 17;
    b->MIDInumb = (i * 3 + 1) % 128;
    b->min = i % 20;
    b->max = 127 - i;
    b->modeOption = i % 4;
    b->CR = isPadControl(i) ? (i * 5) % 128 : -1;
    b->CG = isPadControl(i) ? (i * 11) % 128 : -1;
    b->CB = isPadControl(i) ? (i * 13) % 128 : -1;
    list.push_back(b);
  }
  return list;
}

PadValue variedGlobals(int mem) {
  PadValue pad;
  pad.globalKnobRelativeMode = 1;
  pad.globalOctaveTransposition = 7;
  pad.globalMIDIChannel = 9;
  pad.globalVelocityCurve = 2;
  pad.globalPadVelocityCurve = 3;
  pad.globalKnobAccelerationCurve = 1;
  pad.mem = mem;
  return pad;
}

TEST_F(CodecTest, ControlReadRequestsAreByteExactInExchangeOrder) {
  // Control index 0 (ID 30), an other control: seven requests, no colour.
  const ButtonValuePtr other = ButtonAction::GetButtonValueWithWW(io, 0x30, 0).value();
  const auto writes = sim.writes();
  ASSERT_EQ(writes.size(), 7u);
  for (std::uint8_t pp = 0; pp < 7; ++pp) {
    ASSERT_EQ(writes[pp].size(), 15u) << "no fourth byte in the last packet";
    EXPECT_EQ(sysexOf(writes[pp]),
              (Bytes{0xF0, M1, M2, M3, 0x7F, 0x42, 0x01, 0x00, pp, 0x30, 0xF7}));
    EXPECT_EQ((Bytes{writes[pp].end() - 3, writes[pp].end()}), (Bytes{0x06, 0x30, 0xF7}));
  }
  EXPECT_EQ((std::array{other->CR, other->CG, other->CB}), (std::array{-1, -1, -1}));
  EXPECT_EQ(*other, sim.controlInSlot(0, 0));

  // Control index 8 (ID 50), a pad control: red 08 before green 07, then blue 09.
  sim.clearLog();
  const ButtonValuePtr pad = ButtonAction::GetButtonValueWithWW(io, 0x50, 8).value();
  EXPECT_EQ(requestedParameters(), (std::vector<std::uint8_t>{0x00, 0x01, 0x02, 0x03, 0x04, 0x05,
                                                              0x06, 0x08, 0x07, 0x09}));
  for (const Bytes& w : sim.writes()) EXPECT_EQ(sysexOf(w).at(9), 0x50);
  EXPECT_EQ(pad->buttonID, 8);
  EXPECT_EQ(*pad, sim.controlInSlot(0, 8));
  EXPECT_TRUE(sim.protocolErrors().empty());
}

TEST_F(CodecTest, RepliesConvertThroughTheTableOfTheControlsKindAndNoReplacementIsSilent) {
  // Mode byte 08 is pad mode 2, but in no row of the other-mode table; channel byte 41 is 16.
  ASSERT_TRUE(sim.setRawValue(0, 0x01, 0x50, 0x08));
  ASSERT_TRUE(sim.setRawValue(0, 0x02, 0x50, 0x41));
  ASSERT_TRUE(sim.setRawValue(0, 0x01, 0x30, 0x08));
  // A mode option beyond its list of four, and a knob relative mode in no table.
  ASSERT_TRUE(sim.setRawValue(0, 0x06, 0x50, 0x05));
  ASSERT_TRUE(sim.setRawValue(0, 0x40, 0x02, 0x00));
  ButtonAction::Replacements replaced;
  const ButtonValuePtr pad = ButtonAction::GetButtonValueWithWW(io, 0x50, 8, &replaced).value();
  EXPECT_EQ(pad->mode, 2);
  EXPECT_EQ(pad->channel, 16);
  EXPECT_EQ(pad->modeOption, 0);
  EXPECT_EQ(ButtonAction::GetButtonValueWithWW(io, 0x30, 0, &replaced).value()->mode, 0);

  ASSERT_TRUE(sim.setRawValue(0, 0x40, 0x03, 0x41));
  const PadValuePtr globals = ButtonAction::GetPadValue(io, &replaced).value();
  EXPECT_EQ(globals->globalOctaveTransposition, 5);
  EXPECT_EQ(globals->globalKnobRelativeMode, 0);
  EXPECT_EQ(globals->mem, 0);
  EXPECT_TRUE(globals->version.empty());

  std::vector<std::string> described;
  for (const auto& r : replaced) described.push_back(r.describe());
  EXPECT_EQ(described,
            (std::vector<std::string>{"control 8: mode option byte 05", "control 0: mode byte 08",
                                      "global settings: knob relative mode byte 00"}));
}

TEST_F(CodecTest, GlobalAndGainMessagesAreByteExact) {
  ASSERT_TRUE(ButtonAction::SetDeviceWithPadValue(io, PadValue{}, 0x00));
  const std::vector<std::array<std::uint8_t, 3>> expected = {
      {0x40, 0x02, 0x01}, {0x40, 0x03, 0x00}, {0x40, 0x06, 0x00},
      {0x41, 0x01, 0x00}, {0x41, 0x03, 0x00}, {0x41, 0x04, 0x00}};
  auto writes = sim.writes();
  ASSERT_EQ(writes.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    ASSERT_EQ(writes[i].size(), 16u);
    const auto [pp, ww, vv] = expected[i];
    EXPECT_EQ(sysexOf(writes[i]),
              (Bytes{0xF0, M1, M2, M3, 0x7F, 0x42, 0x02, 0x00, pp, ww, vv, 0xF7}));
  }

  sim.clearLog();
  ASSERT_TRUE(ButtonAction::setGainWithArray(io, std::vector<std::int32_t>(8, 64)));
  writes = sim.writes();
  ASSERT_EQ(writes.size(), 8u);
  for (std::uint8_t n = 0; n < 8; ++n) {
    EXPECT_EQ(writes[n], (Bytes{0x04, 0xF0, M1, M2, 0x04, M3, 0x7F, 0x42, 0x04, 0x02, 0x40, 0x34,
                                0x07, static_cast<std::uint8_t>(0x70 + n), 0x40, 0xF7}));
  }
  EXPECT_EQ(sim.gains(), (std::array<std::uint8_t, 8>{64, 64, 64, 64, 64, 64, 64, 64}));
}

TEST_F(CodecTest, FullReadIs598PairsWhateverElseThePipeCarries) {
  using Faults = SimulatedController::Faults;
  using Traffic = Faults::Traffic;
  const std::vector<std::pair<const char*, Faults>> pipes = {
      {"tidy", Faults{}},
      {"traffic in transfers of its own", Faults::hardwareLike(Traffic::OwnTransfer)},
      {"traffic in the reply's transfer", Faults::hardwareLike(Traffic::SameTransfer)},
      {"a packet a transfer",
       [] {
         Faults f = Faults::hardwareLike(Traffic::SameTransfer);
         f.packetPerTransfer = true;
         return f;
       }()},
  };
  for (const auto& [name, faults] : pipes) {
    SCOPED_TRACE(name);
    sim.faults() = faults;
    sim.clearLog();
    Result<ButtonValueList> controls = ButtonAction::GetButtonValues(io);
    ASSERT_TRUE(controls) << controls.message();
    const PadValuePtr globals = ButtonAction::GetPadValue(io).value();

    // Each request waits for its reply: a write, then reads up to the reply.
    const auto transfers = sim.transfers();
    std::size_t writes = 0;
    for (std::size_t i = 0; i < transfers.size(); ++i) {
      if (transfers[i].direction == Direction::Out) {
        ++writes;
        EXPECT_EQ(transfers[i].bytes.size(), 15u);
        ASSERT_LT(i + 1, transfers.size());
        EXPECT_EQ(transfers[i + 1].direction, Direction::In) << i + 1;
      }
    }
    EXPECT_EQ(writes, 598u);
    if (std::string(name) == "tidy") {
      EXPECT_EQ(transfers.size(), 2u * 598u);
    }
    ASSERT_EQ(controls->size(), 64u);
    for (int i = 0; i < 64; ++i) {
      EXPECT_EQ((*controls)[i]->buttonID, i);
      EXPECT_EQ(*(*controls)[i], sim.controlInSlot(0, i)) << "control " << i;
    }
    PadValue expected = sim.globalsInSlot(0);
    expected.mem = 0;
    EXPECT_EQ(*globals, expected);
    EXPECT_TRUE(sim.protocolErrors().empty());
  }
}

TEST_F(CodecTest, FullWriteSends598MessagesWithTheSlotOfMem) {
  const ButtonValueList controls = variedControls();
  ASSERT_TRUE(ButtonAction::SetDeviceWithArray(io, controls, variedGlobals(3)));
  auto writes = sim.writes();
  ASSERT_EQ(writes.size(), 598u);
  for (const Bytes& w : writes) {
    ASSERT_EQ(w.size(), 16u);
    EXPECT_EQ(sysexOf(w).at(7), 0x03);
  }
  // Controls in index order, then the six globals.
  EXPECT_EQ(sysexOf(writes.front()).at(9), 0x30);
  EXPECT_EQ(sysexOf(writes[7]).at(9), 0x01);
  EXPECT_EQ(sysexOf(writes[592]),
            (Bytes{0xF0, M1, M2, M3, 0x7F, 0x42, 0x02, 0x03, 0x40, 0x02, 0x7F, 0xF7}));
  EXPECT_TRUE(sim.protocolErrors().empty());

  sim.clearLog();
  ASSERT_TRUE(ButtonAction::SetDeviceWithArray(io, {}, variedGlobals(0)));
  writes = sim.writes();
  ASSERT_EQ(writes.size(), 6u) << "an empty list writes only the global block";
  for (const Bytes& w : writes) EXPECT_EQ(sysexOf(w).at(8) & 0xFE, 0x40);
}

TEST_F(CodecTest, PresetWrittenToSlot0ReadsBackFieldForField) {
  const ButtonValueList controls = variedControls();
  const PadValue globals = variedGlobals(0);
  ASSERT_TRUE(ButtonAction::SetDeviceWithArray(io, controls, globals));

  const ButtonValueList back = ButtonAction::GetButtonValues(io).value();
  for (int i = 0; i < 64; ++i) EXPECT_EQ(*back[i], *controls[i]) << "control " << i;
  EXPECT_EQ(*ButtonAction::GetPadValue(io).value(), globals);

  // Colours of other controls are never sent and always read back as -1.
  controls[3]->CR = 12;
  ASSERT_TRUE(ButtonAction::SetDeviceWithArray(io, controls, globals));
  EXPECT_EQ(ButtonAction::GetButtonValueWithWW(io, 0x09, 3).value()->CR, -1);
}

TEST_F(CodecTest, NothingOutsideATableIsSent) {
  const ButtonValueList controls = variedControls();
  for (int mem : {9, -1, 1000}) {
    const Outcome sent = ButtonAction::SetDeviceWithArray(io, controls, variedGlobals(mem));
    EXPECT_NE(sent.message().find("outside 0-8"), std::string::npos) << sent.message();
  }

  const std::vector<std::vector<std::int32_t>> badGains = {std::vector<std::int32_t>(7, 64),
                                                           {},
                                                           {64, 64, 64, 64, 64, 64, 64, 128},
                                                           {-1, 64, 64, 64, 64, 64, 64, 64}};
  for (const auto& gains : badGains) EXPECT_FALSE(ButtonAction::setGainWithArray(io, gains));
  EXPECT_TRUE(sim.writes().empty());

  // More than eight: the first eight are sent.
  EXPECT_TRUE(ButtonAction::setGainWithArray(io, {0, 1, 2, 3, 4, 5, 6, 127, 500}));
  EXPECT_EQ(sim.gains(), (std::array<std::uint8_t, 8>{0, 1, 2, 3, 4, 5, 6, 127}));
}

TEST_F(CodecTest, AReadThatDidNotDeliverAValueEndsTheRead) {
  struct Case {
    const char* name;
    std::function<void(SimulatedController::Faults&)> arm;
    const char* reason;
  };
  using Wrong = SimulatedController::Faults::WrongReply;
  const std::vector<Case> cases = {
      {"no reply", [](auto& f) { f.noReplyAfter = 100; }, "no reply (timed out)"},
      {"reply cut short",
       [](auto& f) {
         f.shortReply = 8;
         f.shortReplyAfter = 100;
       },
       "no reply (timed out)"},
      {"another maker's reply",
       [](auto& f) {
         f.wrongReply = Wrong::OtherManufacturer;
         f.wrongReplyAfter = 100;
       },
       "no reply (timed out)"},
      {"late", [](auto& f) { f.lateReply = 101; }, "no reply (timed out)"},
      {"unplugged", [](auto& f) { f.unplugAfter = 201; }, "no reply (no device"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SimulatedController device;
    InterfaceAction link(device);
    ASSERT_TRUE(link.FindDevice());
    ASSERT_TRUE(link.CreateInterface());
    // A whole reply first, so the receive buffer holds a stale value.
    ASSERT_TRUE(ButtonAction::GetButtonValueWithWW(link, 0x30, 0));
    device.resetCounters();
    c.arm(device.faults());

    // Request 101 is the fifth of control 12 (8 other controls of 7, then pads of 10).
    const std::string why = ButtonAction::GetButtonValues(link).message();
    EXPECT_EQ(why.rfind("control 12, parameter 04: " + std::string(c.reason), 0), 0u) << why;
    EXPECT_EQ(device.readRequestCount(), 101) << "nothing asked after the failed read";
  }

  sim.faults().noReplyAfter = 3;
  EXPECT_EQ(ButtonAction::GetPadValue(io).message(),
            "global settings, parameter 41, target 01: no reply (timed out)");
}

TEST_F(CodecTest, AFailedWriteStopsTheFullWrite) {
  sim.faults().writeFailureAfter = 100;
  const Outcome sent = ButtonAction::SetDeviceWithArray(io, variedControls(), variedGlobals(2));
  EXPECT_EQ(sim.writes().size(), 101u) << "nothing is attempted after the failed write";
  EXPECT_EQ(sim.writeCount(), 100);
  EXPECT_EQ(sent.message().rfind("control 12, parameter 04: the write failed", 0), 0u)
      << sent.message();

  // A gain write that fails stops the rest too.
  SimulatedController device;
  InterfaceAction link(device);
  ASSERT_TRUE(link.FindDevice());
  ASSERT_TRUE(link.CreateInterface());
  device.resetCounters();
  device.faults().writeFailureAfter = 4;
  EXPECT_EQ(ButtonAction::setGainWithArray(link, std::vector<std::int32_t>(8, 1)).message(),
            "gain 4: the write failed (input/output error)");
  EXPECT_EQ(device.writes().size(), 5u);
}

// The field table and the simulated controller each describe the wire on
// their own: every row must name an address the controller holds, for the
// field the controller keeps there, and every address must have its row.
TEST(FieldTable, AgreesWithTheSimulatedControllersWire) {
  SimulatedController sim;
  std::size_t rows = 0;
  for (int index = 0; index < kControlCount; ++index) {
    const bool pad = isPadControl(index);
    const auto ww = static_cast<std::uint8_t>(ValueAction::GetButtonIDCharFromIndex(index));
    for (const ControlFieldInfo& row : kControlFields) {
      EXPECT_EQ(SimulatedController::isValidAddress(row.parameter, ww), pad || !row.padsOnly);
      if (row.padsOnly && !pad) continue;
      ++rows;
      const Conversion& c = pad ? row.onPad : row.onOther;
      for (std::int32_t n : {1, c.entries - 1}) {
        ASSERT_TRUE(sim.setRawValue(0, row.parameter, ww, static_cast<std::uint8_t>(c.toByte(n))));
        EXPECT_EQ(sim.controlInSlot(0, index).*row.member, n) << row.name << " of " << index;
      }
    }
  }
  for (const GlobalFieldInfo& row : kGlobalFields) {
    if (!row.exchanged) continue;
    ++rows;
    for (std::int32_t n : {1, row.conversion.entries - 1}) {
      const auto byte = static_cast<std::uint8_t>(row.conversion.toByte(n));
      ASSERT_TRUE(sim.setRawValue(0, row.parameter, row.target, byte));
      EXPECT_EQ(sim.globalsInSlot(0).*row.member, n) << row.name;
    }
  }
  EXPECT_EQ(SimulatedController::addresses().size(), rows);
}

}  // namespace
}  // namespace padkbd
