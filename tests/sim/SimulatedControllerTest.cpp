// The simulated keyboard's state file, which users meet through
// padkbd --simulate=STATEFILE: what it refuses. Saving, loading back and
// hand-written files, like the rest of the simulated keyboard, are tested
// through the tests that use them.
#include <gmock/gmock.h>

#include "sim/SimulatedController.h"
#include "tests/support/TempDir.h"

namespace padkbd {
namespace {

using ::testing::HasSubstr;

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
