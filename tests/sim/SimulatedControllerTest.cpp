// The simulated keyboard as users meet it through padkbd --simulate: the
// requests it takes or refuses (by name, unanswered), and the state files
// it refuses. Saving, loading back and hand-written files, like the rest of
// the simulated keyboard, are tested through the tests that use them.
#include <fmt/format.h>
#include <gtest/gtest.h>

#include "link/InterfaceAction.h"
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
  test::TempDir dir;
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
      {head + "banana\n", " (line 2): unknown entry \"banana\""},
      {head + "manufacturer 00 80 00\n",
       " (line 2): expected \"manufacturer M1 M2 M3\" (hex, 00-7f)"},
      {head + std::string("slot 0 00 30 01\0\n", 17), " (line 2): contains a NUL byte"},
  };
  SimulatedController sim;
  ASSERT_TRUE(sim.setRawValue(0, 0x00, 0x30, 0x55));
  const std::string before = sim.stateText();
  for (const auto& [content, why] : files) {
    test::writeAll(dir / "damaged", content);
    EXPECT_EQ(sim.loadState(dir / "damaged").message(),
              "Simulator state file " + (dir / "damaged").string() + " is damaged" + why);
    EXPECT_EQ(sim.loadStateText(content, "text").message(),
              "Simulator state file text is damaged" + why);
  }
  // The text itself is held to the same size as a file.
  const std::string large = head + std::string(4 * 1024 * 1024, '\n');
  EXPECT_EQ(sim.loadStateText(large, "text").message(),
            "Simulator state file text is too large (4194323 bytes)");
  EXPECT_EQ(sim.stateText(), before);

  ASSERT_TRUE(sim.loadStateText(head + "slot 8 00 30 7f\ngain 0 00\ngain 7 7f\n", "ends"));
  EXPECT_EQ(sim.controlInSlot(8, 0).value, 127);
  EXPECT_EQ(sim.gains()[0] * 1000 + sim.gains()[7], 127);
}

}  // namespace
}  // namespace padkbd
