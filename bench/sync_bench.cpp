// The cost of the codec: a full read and a full write through ButtonAction
// against the simulated controller, beside hand-written loops that make the
// same 598 transfers through the same transport with messages prepared in
// advance. And the cost of the whole stack: a full read with the diagnostic
// lines off (as the command-line tool runs by default) beside the same 598
// exchanges made straight on the simulated keyboard's link, with no
// transport and no log. The
// ratios are printed at the end.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "link/InterfaceAction.h"
#include "model/Log.h"
#include "model/Records.h"
#include "protocol/ButtonAction.h"
#include "protocol/Messages.h"
#include "protocol/PadAction.h"
#include "sim/SimulatedController.h"

namespace padkbd {
namespace {

// Log lines formatted but sent nowhere (the codec benchmarks), or not made
// at all (what nobody shows is never formatted).
struct Diagnostics {
  explicit Diagnostics(bool on) {
    log::setEnabled(log::Channel::Diagnostic, on);
    log::setEnabled(log::Channel::Output, on);
  }
  ~Diagnostics() {
    log::setEnabled(log::Channel::Diagnostic, true);
    log::setEnabled(log::Channel::Output, true);
  }
};

struct Opened {
  SimulatedController sim;
  InterfaceAction io{sim};
  Opened() {
    // The controller's transfer log would grow without end over the runs.
    sim.setLogTransfers(false);
    if (!io.FindDevice() || !io.CreateInterface()) std::abort();
  }
};

ButtonValueList presetControls() {
  ButtonValueList list;
  for (int i = 0; i < kControlCount; ++i) {
    auto b = std::make_shared<ButtonValue>();
    b->buttonID = i;
    b->value = i;
    b->mode = 1;
    b->channel = i % 16;
    b->MIDInumb = 127 - i;
    b->max = 127;
    b->modeOption = 1;
    b->CR = b->CG = b->CB = isPadControl(i) ? i : -1;
    list.push_back(b);
  }
  return list;
}

void fullReads(benchmark::State& state, bool diagnostics) {
  Opened link;
  Diagnostics shown(diagnostics);
  for (auto _ : state) {
    auto controls = ButtonAction::GetButtonValues(link.io);
    auto globals = ButtonAction::GetPadValue(link.io);
    if (!controls || !globals) state.SkipWithError("read failed");
    benchmark::DoNotOptimize(controls);
    benchmark::DoNotOptimize(globals);
  }
  state.counters["transfers"] = 2 * PadAction::kFullExchange;
}

void BM_FullRead(benchmark::State& state) {
  fullReads(state, true);
}

// The baselines fill the message templates by hand, as the shortest code would.
template <std::size_t N>
std::array<std::uint8_t, N> filled(const std::array<std::uint8_t, N>& message, std::uint8_t pp,
                                   std::uint8_t ww) {
  auto filled = messages::addressed(message, builtInKeyboard().manufacturer);
  filled[messages::kParameterOffset] = pp;
  filled[messages::kTargetOffset] = ww;
  return filled;
}

std::vector<std::array<std::uint8_t, 15>> allReadRequests() {
  std::vector<std::array<std::uint8_t, 15>> requests;
  for (const auto& [pp, ww] : SimulatedController::addresses()) {
    requests.push_back(filled(messages::kReadRequest, pp, ww));
  }
  return requests;
}

void BM_FullReadQuiet(benchmark::State& state) {
  fullReads(state, false);
}

// The floor: the same exchanges on the simulated keyboard's link itself.
void BM_BackendRead(benchmark::State& state) {
  SimulatedController sim;
  sim.setLogTransfers(false);
  sim.useKeyboard(builtInKeyboard());
  if (sim.find().empty() || !sim.open()) std::abort();
  const auto requests = allReadRequests();
  std::array<std::uint8_t, 64> reply{};
  for (auto _ : state) {
    int sum = 0;
    for (const auto& request : requests) {
      (void)sim.send(request);
      (void)sim.receive(reply, LinkClock::now() + std::chrono::seconds(1), nullptr);
      sum += reply[14];
    }
    benchmark::DoNotOptimize(sum);
  }
  state.counters["transfers"] = 2.0 * static_cast<double>(requests.size());
}

void BM_BaselineRead(benchmark::State& state) {
  Opened link;
  const auto requests = allReadRequests();
  for (auto _ : state) {
    int sum = 0;
    for (const auto& request : requests) {
      (void)link.io.WriteToDeviceWithChar(request.data(), 15);
      sum += link.io.ReadValueFromDevice().value();
    }
    benchmark::DoNotOptimize(sum);
  }
  state.counters["transfers"] = 2.0 * static_cast<double>(requests.size());
}

void BM_FullWrite(benchmark::State& state) {
  Opened link;
  const ButtonValueList controls = presetControls();
  PadValue globals;
  globals.mem = 2;
  for (auto _ : state) {
    if (!ButtonAction::SetDeviceWithArray(link.io, controls, globals)) {
      state.SkipWithError("write failed");
    }
  }
  state.counters["transfers"] = PadAction::kFullExchange;
}

void BM_BaselineWrite(benchmark::State& state) {
  Opened link;
  std::vector<std::array<std::uint8_t, 16>> writes;
  for (const auto& [pp, ww] : SimulatedController::addresses()) {
    auto message = filled(messages::kWriteMessage, pp, ww);
    message[messages::kSlotOffset] = 0x02;
    message[messages::kValueOffset] = 0x01;
    writes.push_back(message);
  }
  for (auto _ : state) {
    for (const auto& message : writes) (void)link.io.WriteToDeviceWithChar(message.data(), 16);
  }
  state.counters["transfers"] = static_cast<double>(writes.size());
}

// Five repetitions each; the ratio uses their medians, which a busy machine
// disturbs less than a single run.
#define SYNC_BENCHMARK(fn) \
  BENCHMARK(fn)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true)
SYNC_BENCHMARK(BM_FullRead);
SYNC_BENCHMARK(BM_BaselineRead);
SYNC_BENCHMARK(BM_FullReadQuiet);
SYNC_BENCHMARK(BM_BackendRead);
SYNC_BENCHMARK(BM_FullWrite);
SYNC_BENCHMARK(BM_BaselineWrite);

// Keeps the median CPU time per iteration of every benchmark for the ratio
// line (CPU time, because the wall clock also counts other programs).
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median" &&
          !run.error_occurred) {
        times[run.run_name.function_name] = run.GetAdjustedCPUTime();
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> times;
};

void printRatio(const RatioReporter& reporter, const char* what, const std::string& codec,
                const std::string& baseline,
                const char* names = "codec %.1f us, hand-written loop %.1f us") {
  const auto c = reporter.times.find(codec);
  const auto b = reporter.times.find(baseline);
  if (c == reporter.times.end() || b == reporter.times.end() || b->second <= 0) return;
  std::printf("%s: ", what);
  std::printf(names, c->second, b->second);
  std::printf(" (CPU), ratio %.2f\n", c->second / b->second);
}

}  // namespace
}  // namespace padkbd

int main(int argc, char** argv) {
  using namespace padkbd;
  // Log lines are formatted but go nowhere, so the terminal is not timed.
  log::setSink([](log::Channel, std::string_view) {});
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  printRatio(reporter, "full read (598 request/reply pairs)", "BM_FullRead", "BM_BaselineRead");
  printRatio(reporter, "full write (598 messages)", "BM_FullWrite", "BM_BaselineWrite");
  printRatio(reporter, "full read, diagnostics off, against the bare backend", "BM_FullReadQuiet",
             "BM_BackendRead", "padkbd %.1f us, backend alone %.1f us");
  return 0;
}
