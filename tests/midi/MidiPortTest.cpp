// The keyboard through the system's MIDI ports: the whole protocol over a
// private JACK server to the simulated keyboard standing in on a port, and
// the command-line tool choosing that port by name.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>

#include <RtMidi.h>
#include <signal.h>
#include <unistd.h>

#include <functional>
#include <mutex>
#include <thread>

#include "link/InterfaceAction.h"
#include "link/midiport/PortModule.h"
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
  static void SetUpTestSuite() {
    // The port link is the module's, as the programs load it.
    portmodule::useFolder(PADKBD_TEST_MODULE_DIR);
    server_ = new test::JackServer;
  }
  static void TearDownTestSuite() { delete server_; }
  void SetUp() override { ASSERT_TRUE(server_->running()) << "jackd did not start"; }

  // Runs the command-line tool: its exit status and its standard output.
  std::pair<int, std::string> padkbd(const std::string& args) {
    const std::string out = (tmp / "out").string();
    const int status = WEXITSTATUS(std::system((PADKBD_CLI_EXE " " + args + " >" + out).c_str()));
    return {status, test::readAll(out)};
  }

  static inline test::JackServer* server_ = nullptr;
  test::TempDir tmp;
  test::ScopedEnv config{"XDG_CONFIG_HOME", tmp.path().string()};
  SimulatedController sim;
  test::KeyboardStandIn standIn{sim};
  std::unique_ptr<Link> link = portmodule::makeLink(MidiApi::Jack);
  InterfaceAction io{*link, kThroughPort};
  FileAction files{PADKBD_TEST_RESOURCE_DIR, {}};
  PadAction pad{io, files};
};

TEST_F(MidiPort, ASilentKeyboardTimesOutAndAPortNobodyHasIsNamed) {
  io.setReadLimit(100ms);
  sim.changeFaults([](Faults& f) { f.noReplyAfter = 0; });
  EXPECT_EQ(pad.OpenInterface().message(),
            "the controller did not answer the handshake after 5 attempts");
  const std::unique_ptr<Link> elsewhere = portmodule::makeLink(MidiApi::Jack);
  InterfaceAction nowhere{*elsewhere,
                          {kThroughPort.usb, kThroughPort.manufacturer, "no such port"}};
  EXPECT_EQ(nowhere.FindDevice().message(), "no MIDI port named \"no such port\" found");
}

TEST_F(MidiPort, TheModuleListsThePortsAndRunsWithTheSystemsRtMidi) {
  const MidiPortListing listing = portmodule::listPorts(MidiApi::Jack);
  ASSERT_TRUE(listing.listed) << listing.listed.message();
  EXPECT_EQ(listing.api, "Jack");
  const auto standIn = std::find_if(listing.ports.begin(), listing.ports.end(), [](auto& port) {
    return portNameMatches(port.name, test::KeyboardStandIn::kPort);
  });
  // (Both ways, as listed: the tool's "(in and out)",
  // TheToolListsThePortAndReadsSendsAndSetsGainsThroughIt.)
  ASSERT_NE(standIn, listing.ports.end());
  EXPECT_EQ(portmodule::rtmidiVersion().value(), RtMidi::getVersion());

  // No server of that name: said, in the program's words only (JACK's own
  // complaints go to the diagnostics, not to the terminal).
  test::ScopedEnv elsewhere{"JACK_DEFAULT_SERVER", "padkbd-no-such-server"};
  const std::string err = (tmp.path() / "err").string();
  const auto [status, out] = padkbd("devices --midi-api jack 2>" + err);
  EXPECT_EQ(status, 0);
  EXPECT_NE(out.find("\nMIDI ports: cannot be listed (no JACK server is running)\n"),
            std::string::npos)
      << out;
  EXPECT_EQ(test::readAll(err), "");
}

TEST_F(MidiPort, TheToolListsThePortAndReadsSendsAndSetsGainsThroughIt) {
  // Traffic between the replies and each reply split, as hardware sends them.
  sim.changeFaults([](Faults& f) { f = Faults::hardwareLike(); });
  const std::string devices = padkbd("devices --midi-api jack").second;
  EXPECT_NE(devices.find(std::string(test::KeyboardStandIn::kPort) + "  (in and out)"),
            std::string::npos)
      << devices;
  EXPECT_EQ(padkbd("--midi-api jack --port stand-in info"),
            std::pair(0, std::string("firmware 01.02\n")));
  const std::string preset = (tmp.path() / "read.padkbd").string();
  ASSERT_EQ(padkbd("--midi-api jack --port stand-in read -o " + preset).first, 0);
  ASSERT_EQ(padkbd("use --port stand-in").first, 0);
  ASSERT_EQ(padkbd("--midi-api jack send " + preset + " --slot 4").first, 0);
  ASSERT_EQ(padkbd("--midi-api jack gains 1 2 3 4 5 6 7 8").first, 0);
  // Writes are not answered; a handshake answered after them means they arrived.
  ASSERT_TRUE(pad.OpenInterface());  // (which needs the link open)
  io.KillInterface();
  EXPECT_FALSE(link->isOpen());
  for (int i = 0; i < kControlCount; ++i)
    EXPECT_EQ(sim.controlInSlot(3, i), sim.controlInSlot(0, i)) << "control " << i;
  EXPECT_EQ(sim.gains(), (std::array<std::uint8_t, 8>{1, 2, 3, 4, 5, 6, 7, 8}));
  EXPECT_TRUE(sim.protocolErrors().empty());
}

bool eventually(const std::function<bool()>& done) {
  for (auto end = std::chrono::steady_clock::now() + 20s; std::chrono::steady_clock::now() < end;
       std::this_thread::sleep_for(10ms)) {
    if (done()) return true;
  }
  return done();
}

// The tool running on its own, its output in files, until a signal stops it.
class Running {
 public:
  Running(const std::string& args, const std::filesystem::path& dir)
      : out_(dir / "monitor.out"), err_(dir / "monitor.err") {
    std::filesystem::remove(out_);  // nothing of an earlier run is taken for this one's
    std::filesystem::remove(err_);
    const std::string line =
        "exec " PADKBD_CLI_EXE " " + args + " >" + out_.string() + " 2>" + err_.string();
    if ((pid_ = fork()) == 0) {
      execl("/bin/sh", "sh", "-c", line.c_str(), nullptr);
      _exit(127);
    }
  }
  ~Running() {
    if (pid_ > 0) stop(SIGKILL);
  }
  std::string out() const { return test::readAll(out_); }
  std::string err() const { return test::readAll(err_); }
  // The exit status once it ended, -1 when it did not soon.
  int wait() {
    int status = 0;
    if (!eventually([&] { return waitpid(pid_, &status, WNOHANG) == pid_; })) return -1;
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }
  int stop(int signal) {
    kill(pid_, signal);
    return wait();
  }

 private:
  std::filesystem::path out_, err_;
  pid_t pid_ = -1;
};

TEST_F(MidiPort, ListeningTakesNothingFromAnotherProgramAndTheToolPrintsEachTouch) {
  // A music program that reads the keyboard all along, beside the tool.
  using Message = std::vector<unsigned char>;
  struct Program {
    std::mutex mutex;
    std::vector<Message> heard;
  } program;
  RtMidiIn music(RtMidi::UNIX_JACK, "music program");
  music.setCallback(
      [](double, Message* message, void* self) {
        auto& p = *static_cast<Program*>(self);
        std::lock_guard lock(p.mutex);
        p.heard.push_back(*message);
      },
      &program);
  for (unsigned i = 0; i < music.getPortCount(); ++i)
    if (portNameMatches(music.getPortName(i), test::KeyboardStandIn::kPort)) music.openPort(i);
  ASSERT_TRUE(music.isPortOpen());

  // The tool reads the keyboard's settings through the port (among notes,
  // padding and another maker's SysEx, as hardware sends them), then names
  // each message by them until Ctrl+C (as text: the tool's tests).
  sim.changeFaults([](Faults& f) { f = Faults::hardwareLike(Faults::Traffic::OwnTransfer); });
  test::ScopedEnv state{"XDG_STATE_HOME", (tmp.path() / "state").string()};
  const std::string json =
      R"({"controls":[{"index":8,"name":"Pad 1"}],"message":"note on","channel":10,"note":28,)"
      R"("noteName":"E0","velocity":90,"bytes":"99 1c 5a"})"
      "\n"
      R"({"controls":[{"index":9,"name":"Pad 2"}],"message":"controller","channel":11,)"
      R"("controller":42,"value":118,"bytes":"ba 2a 76"})"
      "\n";
  {
    Running tool("--midi-api jack --port stand-in monitor --json", tmp.path());
    ASSERT_TRUE(eventually([&] { return tool.err() == "listening; Ctrl+C stops\n"; }))
        << tool.err();
    {
      std::lock_guard lock(program.mutex);
      program.heard.clear();  // the read's traffic
    }
    standIn.press(8, 90);
    standIn.press(9, 127);
    ASSERT_TRUE(eventually([&] { return tool.out().find('\n') < tool.out().rfind('\n'); }))
        << tool.out();
    EXPECT_EQ(tool.stop(SIGINT), 0);
    EXPECT_EQ(tool.out(), json);
  }
  // The music program heard every message, then and after (what each one is: the simulated
  // keyboard's tests).
  standIn.release(8);
  standIn.release(9);
  EXPECT_TRUE(eventually([&] {
    std::lock_guard lock(program.mutex);
    return program.heard.size() == 4;
  }));

  // A keyboard that goes away ends it, said.
  const std::string document = (tmp.path() / "default.padkbd").string();
  ASSERT_EQ(padkbd("default -o " + document).first, 0);
  SimulatedController second;
  auto leaving = std::make_unique<test::KeyboardStandIn>(second, "leaving keyboard");
  Running tool("--midi-api jack --port leaving monitor --preset " + document, tmp.path());
  ASSERT_TRUE(eventually([&] { return tool.err() == "listening; Ctrl+C stops\n"; })) << tool.err();
  leaving.reset();
  EXPECT_EQ(tool.wait(), 1);
  EXPECT_EQ(tool.err(),
            "listening; Ctrl+C stops\npadkbd: listening stopped: the keyboard went away\n");
}

}  // namespace
}  // namespace padkbd
