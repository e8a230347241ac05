// Writes the seed inputs that are better made than kept: the hostile preset
// documents (up to the 1 MiB limit), a recorded session of a keyboard that
// answers like hardware, and simulator state files.
// Usage: make_seeds DIR  (creates DIR/preset, DIR/replies, DIR/state)
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "model/Log.h"
#include "protocol/ButtonAction.h"
#include "protocol/PadAction.h"
#include "sim/SimulatedController.h"
#include "storage/FileAction.h"
#include "tests/support/HostilePlists.h"

namespace {

namespace fs = std::filesystem;
using namespace padkbd;

// A seed cut short would be replayed as some other input: better to stop.
void write(const fs::path& path, const std::string& bytes) {
  if (Outcome written = writeFileAtomically(path, bytes); !written) {
    std::fprintf(stderr, "make_seeds: %s\n", written.message().c_str());
    std::exit(1);
  }
}

// What every read of a session with the simulated keyboard handed back, in
// the replies fuzzer's input form.
std::string session(const SimulatedController::Faults& faults) {
  SimulatedController sim;
  sim.faults() = faults;
  InterfaceAction io(sim);
  FileAction files({}, {});
  PadAction pad(io, files);
  // Whatever each exchange ends with, its transfers are the seed.
  (void)pad.ReadPadValueFromDevice();
  if (pad.OpenInterface()) (void)pad.WritePadValueToDevice();
  if (pad.OpenInterface()) {
    (void)ButtonAction::setGainWithArray(io, std::vector<std::int32_t>(8, 64));
    io.KillInterface();
  }
  std::string input;
  for (const SimulatedController::Transfer& read : sim.transfers()) {
    if (read.direction != SimulatedController::Direction::In) continue;
    const bool timedOut = !read.failed && read.bytes.empty();
    input.push_back(timedOut ? '\xFF' : static_cast<char>(read.bytes.size()));
    input.append(read.bytes.begin(), read.bytes.end());
  }
  return input;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_seeds DIR\n");
    return 2;
  }
  log::setEnabled(log::Channel::Diagnostic, false);
  log::setEnabled(log::Channel::Output, false);
  const fs::path dir = argv[1];
  for (const char* kind : {"preset", "replies", "state"}) fs::create_directories(dir / kind);

  namespace hostile = test::hostile;
  write(dir / "preset" / "deep-binary-100000", hostile::deepBinary(100000));
  write(dir / "preset" / "deep-binary-9", hostile::deepBinary(9));
  write(dir / "preset" / "shared-binary", hostile::sharedBinary(6, 10000));
  write(dir / "preset" / "cyclic-binary", hostile::cyclicBinary());
  write(dir / "preset" / "deep-xml-40000", hostile::deepXml(40000));
  write(dir / "preset" / "wide-xml-1MiB", hostile::wideXml(kMaxPresetFileBytes));

  using Faults = SimulatedController::Faults;
  write(dir / "replies" / "tidy", session(Faults{}));
  write(dir / "replies" / "hardware-like", session(Faults::hardwareLike()));
  Faults split = Faults::hardwareLike(Faults::Traffic::OwnTransfer);
  split.packetPerTransfer = true;
  write(dir / "replies" / "packet-per-transfer", session(split));

  write(dir / "state" / "full", SimulatedController().stateText());
  write(dir / "state" / "partial",
        "# hand-written\npadkbd-sim-state 1\nusb 1234:5678\nmanufacturer 00 20 6b\n"
        "slot 0 02 30 0f\ngain 7 01\n");
  return 0;
}
