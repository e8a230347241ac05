// padkbd against a misbehaving simulated controller, for the command-line
// tests: `padkbd_faulty FAULT[=N] ARGS...` runs `padkbd ARGS...` with the
// device commands talking to a simulated controller that has FAULT.
#include <cstdlib>
#include <memory>
#include <string>
#include <utility>

#include "cli/Cli.h"
#include "sim/SimulatedController.h"

using namespace padkbd;
using Faults = SimulatedController::Faults;

int main(int argc, char** argv) {
  const std::pair<std::string, void (*)(Faults&, int)> faults[] = {
      {"absent", [](Faults& f, int) { f.absent = true; }},
      {"access-denied", [](Faults& f, int) { f.refuseAccess = true; }},
      {"busy", [](Faults& f, int) { f.busy = true; }},
      {"no-reply", [](Faults& f, int n) { f.noReplyAfter = n; }},
      {"write-failure", [](Faults& f, int n) { f.writeFailureAfter = n; }},
      {"pace", [](Faults& f, int n) { f.pace = std::chrono::microseconds(n); }},
      {"unplug", [](Faults& f, int n) { f.unplugAfter = n; }},
      // A keyboard being played: notes and clock around and inside each reply, transfers padded,
      // bytes the reader does not examine changed; or each packet alone, after another maker's.
      {"played",
       [](Faults& f, int) {
         std::tie(f.traffic, f.padTransfers, f.otherUnexaminedBytes) =
             std::tuple(Faults::Traffic::SameTransfer, true, true);
       }},
      {"split", [](Faults& f, int) { f.packetPerTransfer = f.foreignSysEx = true; }},
  };
  const std::string fault = argc > 1 ? argv[1] : "";
  const auto eq = fault.find('=');
  const int n = eq == std::string::npos ? 0 : std::atoi(fault.c_str() + eq + 1);
  for (const auto& [name, apply] : faults) {
    if (fault.substr(0, eq) != name) continue;
    argv[1] = argv[0];
    return cli::run(argc - 1, argv + 1, [apply = apply, n](const KeyboardId& keyboard) {
      auto sim = std::make_unique<SimulatedController>(keyboard);
      apply(sim->faults(), n);
      return std::unique_ptr<Link>(std::move(sim));
    });
  }
  return 127;  // a mistyped fault fails the test instead of running without one
}
