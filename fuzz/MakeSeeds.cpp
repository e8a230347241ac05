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

// The simulated keyboard, recording what every read hands back in the
// replies fuzzer's input form.
class Recorder final : public UsbBackend {
 public:
  explicit Recorder(SimulatedController& sim) : sim_(sim) {}
  std::string input;

  std::vector<UsbDevice> findDevices(std::uint16_t v, std::uint16_t p) override {
    return sim_.findDevices(v, p);
  }
  std::vector<UsbInterfaceInfo> listInterfaces(const UsbDevice& d) override {
    return sim_.listInterfaces(d);
  }
  UsbStatus createInterface(const UsbDevice& d, int n, UsbInterfaceHandle& h) override {
    return sim_.createInterface(d, n, h);
  }
  UsbStatus openInterface(UsbInterfaceHandle h) override { return sim_.openInterface(h); }
  UsbStatus closeInterface(UsbInterfaceHandle h) override { return sim_.closeInterface(h); }
  void releaseInterface(UsbInterfaceHandle h) override { sim_.releaseInterface(h); }
  UsbStatus numEndpoints(UsbInterfaceHandle h, int& c) override { return sim_.numEndpoints(h, c); }
  UsbStatus pipeProperties(UsbInterfaceHandle h, int pipe, UsbPipeProperties& p) override {
    return sim_.pipeProperties(h, pipe, p);
  }
  UsbStatus writePipe(UsbInterfaceHandle h, int pipe, const std::uint8_t* data,
                      std::size_t size) override {
    return sim_.writePipe(h, pipe, data, size);
  }
  bool waitsForTimeouts() const override { return sim_.waitsForTimeouts(); }
  UsbStatus readPipe(UsbInterfaceHandle h, int pipe, std::uint8_t* data, std::size_t capacity,
                     std::size_t& received, std::chrono::milliseconds timeout) override {
    const UsbStatus status = sim_.readPipe(h, pipe, data, capacity, received, timeout);
    if (status == UsbStatus::Timeout && received == 0) {
      input.push_back('\xFF');
    } else {
      input.push_back(static_cast<char>(received));
      input.append(reinterpret_cast<const char*>(data), received);
    }
    return status;
  }

 private:
  SimulatedController& sim_;
};

std::string session(const SimulatedController::Faults& faults) {
  SimulatedController sim;
  sim.faults() = faults;
  Recorder recorder(sim);
  InterfaceAction io(recorder);
  FileAction files({}, {});
  PadAction pad(io, files);
  pad.ReadPadValueFromDevice();
  if (pad.OpenInterface()) pad.WritePadValueToDevice();
  if (pad.OpenInterface()) {
    ButtonAction::setGainWithArray(io, std::vector<std::int32_t>(8, 64));
    io.KillInterface();
  }
  return recorder.input;
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

  SimulatedController sim;
  write(dir / "state" / "full", sim.stateText());
  write(dir / "state" / "partial",
        "# hand-written\npadkbd-sim-state 1\nusb 1234:5678\nmanufacturer 00 20 6b\n"
        "slot 0 02 30 0f\ngain 7 01\n");
  return 0;
}
