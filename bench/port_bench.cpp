// A full read through the system's MIDI ports: a private JACK server with
// the dummy driver (64 frames at 48 kHz), the simulated keyboard standing in
// on a pair of its ports, and padkbd reaching it by the port's name. Beside
// it the same read on the raw-USB path to the simulated controller. Wall
// time, since waiting for JACK's cycles is the cost being measured.
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>

#include "link/InterfaceAction.h"
#include "link/midiport/PortModule.h"
#include "model/Log.h"
#include "protocol/PadAction.h"
#include "sim/SimulatedController.h"
#include "storage/FileAction.h"
#include "tests/midi/JackKeyboard.h"

namespace {

using namespace padkbd;
using Clock = std::chrono::steady_clock;

constexpr int kRuns = 5;
constexpr int kExchanges = PadAction::kFullExchange;

// The median of kRuns full reads, in milliseconds; negative when one failed.
double medianRead(Link& link, const KeyboardId& keyboard) {
  InterfaceAction io{link, keyboard};
  FileAction files{PADKBD_BENCH_RESOURCE_DIR, {}};
  PadAction pad{io, files};
  std::array<double, kRuns> times{};
  for (double& ms : times) {
    const auto start = Clock::now();
    const Outcome read = pad.ReadPadValueFromDevice();
    ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    if (!read) {
      std::fprintf(stderr, "port_bench: %s\n", read.message().c_str());
      return -1;
    }
  }
  std::sort(times.begin(), times.end());
  return times[kRuns / 2];
}

}  // namespace

int main() {
  log::setEnabled(log::Channel::Diagnostic, false);
  log::setEnabled(log::Channel::Output, false);
  test::JackServer server;
  if (!server.running()) {
    std::fprintf(stderr, "port_bench: jackd did not start\n");
    return 1;
  }
  SimulatedController standInSim;
  standInSim.setLogTransfers(false);
  test::KeyboardStandIn standIn{standInSim};
  const std::unique_ptr<Link> port = portmodule::makeLink(MidiApi::Jack);
  KeyboardId throughPort = builtInKeyboard();
  throughPort.port = test::KeyboardStandIn::kPort;
  const double portMs = medianRead(*port, throughPort);

  SimulatedController sim;
  sim.setLogTransfers(false);
  const double usbMs = medianRead(sim, builtInKeyboard());
  if (portMs < 0 || usbMs <= 0) return 1;
  std::printf("full read through a JACK MIDI port: %.0f ms, %.2f ms per exchange (%d)\n", portMs,
              portMs / kExchanges, kExchanges);
  std::printf(
      "full read on the raw-USB path (simulated controller): %.1f ms, %.3f ms per "
      "exchange\n",
      usbMs, usbMs / kExchanges);
  std::printf(
      "ratio port / raw USB: %.0f (median of %d reads each; the simulated controller "
      "answers at once, a keyboard on USB in about a millisecond an exchange)\n",
      portMs / usbMs, kRuns);
  return 0;
}
