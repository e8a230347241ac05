// The keyboard through the system's MIDI ports: the whole protocol over a
// private JACK server to the simulated keyboard standing in on a port, and
// the command-line tool choosing that port by name.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>

#include "link/InterfaceAction.h"
#include "link/midiport/MidiPortLink.h"
#include "protocol/PadAction.h"
#include "storage/FileAction.h"
#include "tests/midi/JackKeyboard.h"
#include "tests/support/TempDir.h"

namespace padkbd {
namespace {

using namespace std::chrono_literals;
using Faults = SimulatedController::Faults;

const KeyboardId kThroughPort{builtInKeyboard().usb, builtInKeyboard().manufacturer, "stand-in"};

class MidiPort : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { server_ = new test::JackServer; }
  static void TearDownTestSuite() { delete server_; }
  void SetUp() override { ASSERT_TRUE(server_->running()) << "jackd did not start"; }

  // Runs the command-line tool; its standard output, and the exit status in `status`.
  std::string padkbd(const std::string& args, int& status) {
    const std::string out = (tmp / "out").string();
    status = WEXITSTATUS(std::system((PADKBD_CLI_EXE " " + args + " >" + out).c_str()));
    return test::readAll(out);
  }

  static inline test::JackServer* server_ = nullptr;
  test::TempDir tmp;
  test::ScopedEnv config{"XDG_CONFIG_HOME", tmp.path().string()};
  SimulatedController sim;
  test::KeyboardStandIn standIn{sim};
  MidiPortLink link{MidiApi::Jack};
  InterfaceAction io{link, kThroughPort};
  FileAction files{PADKBD_TEST_RESOURCE_DIR, {}};
  PadAction pad{io, files};
};

TEST_F(MidiPort, ASilentKeyboardTimesOutAndAPortNobodyHasIsNamed) {
  io.setReadLimit(100ms);
  sim.changeFaults([](Faults& f) { f.noReplyAfter = 0; });
  EXPECT_EQ(pad.OpenInterface().message(),
            "the controller did not answer the handshake after 5 attempts");
  MidiPortLink elsewhere{MidiApi::Jack};
  InterfaceAction nowhere{elsewhere, {kThroughPort.usb, kThroughPort.manufacturer, "no such port"}};
  EXPECT_EQ(nowhere.FindDevice().message(), "no MIDI port named \"no such port\" found");
}

TEST_F(MidiPort, TheToolListsThePortAndReadsSendsAndSetsGainsThroughIt) {
  // Traffic between the replies and each reply split, as hardware sends them.
  sim.changeFaults([](Faults& f) { f = Faults::hardwareLike(); });
  int status = -1;
  const std::string devices = padkbd("devices --midi-api jack", status);
  EXPECT_NE(devices.find(std::string(test::KeyboardStandIn::kPort) + "  (in and out)"),
            std::string::npos)
      << devices;
  EXPECT_EQ(padkbd("--midi-api jack --port stand-in info", status), "firmware 01.02\n");
  const std::string preset = (tmp.path() / "read.padkbd").string();
  padkbd("--midi-api jack --port stand-in read -o " + preset, status);
  ASSERT_EQ(status, 0);
  padkbd("use --port stand-in", status);
  padkbd("--midi-api jack send " + preset + " --slot 4", status);
  ASSERT_EQ(status, 0);
  padkbd("--midi-api jack gains 1 2 3 4 5 6 7 8", status);
  ASSERT_EQ(status, 0);
  // Writes are not answered; a handshake answered after them means they arrived.
  ASSERT_TRUE(pad.OpenInterface());
  io.KillInterface();
  for (int i = 0; i < kControlCount; ++i)
    EXPECT_EQ(sim.controlInSlot(3, i), sim.controlInSlot(0, i)) << "control " << i;
  EXPECT_EQ(sim.gains(), (std::array<std::uint8_t, 8>{1, 2, 3, 4, 5, 6, 7, 8}));
  EXPECT_TRUE(sim.protocolErrors().empty());
}

}  // namespace
}  // namespace padkbd
