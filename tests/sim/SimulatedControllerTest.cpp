// The simulated keyboard's state file, which users meet through
// padkbd --simulate=STATEFILE. The rest of the simulated keyboard is tested
// through the tests that use it.
#include <gmock/gmock.h>

#include "sim/SimulatedController.h"
#include "tests/support/TempDir.h"

namespace padkbd {
namespace {

using ::testing::HasSubstr;

// (Saving and loading back are used by every command-line test with a state file.)
TEST(SimulatedControllerState, AHandWrittenPartialFileReplacesTheWholeState) {
  SimulatedController sim;
  ASSERT_TRUE(sim.setRawValue(0, 0x00, 0x50, 0x33));  // back to its first value by the load
  ASSERT_TRUE(sim.loadStateText(
      "# hand-written\n\npadkbd-sim-state 1\r\nslot 0 02 30 0f\ngain 7 01\nmanufacturer 00:20:6B\n",
      "partial"));
  EXPECT_EQ(sim.keyboard().manufacturer, (ManufacturerId{0x00, 0x20, 0x6B}));
  EXPECT_EQ(sim.controlInSlot(0, 0).channel, 15);
  EXPECT_EQ(sim.gains()[7], 1);
  EXPECT_EQ(sim.controlInSlot(0, 8), SimulatedController().controlInSlot(0, 8));
}

TEST(SimulatedControllerState, DamagedOrOversizedFilesAreRefusedAndChangeNothing) {
  test::TempDir dir;
  const std::string head = "padkbd-sim-state 1\n";
  const std::vector<std::pair<std::string, std::string>> files = {
      {"", "no \"padkbd-sim-state 1\" line"},
      {"slot 0 00 30 01\n", "line 1"},
      {"padkbd-sim-state 2\n", "format version"},
      {head + "slot 0 07 30 01\n", "no setting has parameter 07 and target 30"},
      {head + "slot 0 00 30 80\n", "00 to 7f"},
      {head + "slot -1 00 30 01\n", "slot must be"},
      {head + "slot 0 00 30 01\ngain 8 01\n", "gain number"},
      {head + "banana\n", "unknown entry"},
      {head + "manufacturer 00 80 00\n", "00-7f"},
      {head + std::string("slot 0 00 30 01\0\n", 17), "NUL"},
      {head + std::string(4 * 1024 * 1024, '\n'), "too large"},
  };
  SimulatedController sim;
  ASSERT_TRUE(sim.setRawValue(0, 0x00, 0x30, 0x55));
  const std::string before = sim.stateText();
  const auto path = dir / "damaged";
  for (const auto& [content, expected] : files) {
    SCOPED_TRACE(content.substr(0, 40));
    test::writeAll(path, content);
    EXPECT_THAT(sim.loadState(path).message(),
                AllOf(HasSubstr(expected), HasSubstr(path.filename().string())));
    // The text itself is held to the same size as a file.
    EXPECT_THAT(sim.loadStateText(content, "text").message(), HasSubstr(expected));
  }
  EXPECT_EQ(sim.stateText(), before);
}

}  // namespace
}  // namespace padkbd
