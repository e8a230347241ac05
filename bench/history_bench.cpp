// What the history costs: recording a full send (the preset made a document,
// compressed and committed; once on a database already open, as the editor
// has it, and once opening it first, as each run of the tool does), and
// listing 2,000 entries, as `padkbd history` and the History dialog do.
// Goals: a record under 5 ms, the listing under 50 ms.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "history/SendPreview.h"
#include "model/Fields.h"
#include "storage/FileAction.h"
#include "tests/support/TempDir.h"

namespace padkbd {
namespace {

Preset preset() {
  return parsePreset(builtinDefaultPresetXml()).value();
}

HistoryEntry fullSend(const Preset& sent) {
  return *sendEntry("usb 1209:0001", "01.02", 3, exchangeCount(), sent, "live.padkbd");
}

void recordOpen(benchmark::State& state) {
  test::TempDir dir;
  History history(dir / "history.sqlite");
  const Preset sent = preset();
  for (auto _ : state) {
    if (!history.record(fullSend(sent))) state.SkipWithError("not recorded");
  }
}
BENCHMARK(recordOpen)->Unit(benchmark::kMillisecond);

void recordFirstUse(benchmark::State& state) {
  test::TempDir dir;
  { (void)History(dir / "history.sqlite").list(); }
  const Preset sent = preset();
  for (auto _ : state) {
    History history(dir / "history.sqlite");
    if (!history.record(fullSend(sent))) state.SkipWithError("not recorded");
  }
}
BENCHMARK(recordFirstUse)->Unit(benchmark::kMillisecond);

void list2000(benchmark::State& state) {
  test::TempDir dir;
  History history(dir / "history.sqlite");
  const Preset sent = preset();
  for (int n = 0; n < 2000; ++n) (void)history.record(fullSend(sent));
  for (auto _ : state) {
    History fresh(dir / "history.sqlite");  // a new run of the tool opens it anew
    const auto entries = fresh.list();
    if (!entries || entries->size() != 2000) state.SkipWithError("not 2000 entries");
    std::size_t text = 0;
    for (const HistoryEntry& entry : *entries)
      text += whenText(entry.at).size() + english(whatText(entry)).size();
    benchmark::DoNotOptimize(text);
  }
}
BENCHMARK(list2000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace padkbd

BENCHMARK_MAIN();
