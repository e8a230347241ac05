// What the library costs with 10,000 presets in its folders (each a real
// document of some 30 KB, all different): the first look, which reads and
// indexes every file; a look at the library unchanged, as every `padkbd
// library` command and the window's start make; and a search of the index.
// Goals: the first look under 10 s, an unchanged look under 1 s, a search
// under 20 ms.
#include <benchmark/benchmark.h>

#include <fmt/format.h>

#include <filesystem>

#include "library/Library.h"
#include "storage/FileAction.h"
#include "tests/support/TempDir.h"

namespace padkbd {
namespace {

namespace fs = std::filesystem;
constexpr int kPresets = 10000;

// The folders, written once for every benchmark: a hundred folders of a
// hundred presets, each told apart by two pad colours.
const test::TempDir& library() {
  static const test::TempDir dir;
  static const bool written = [] {
    const Preset preset = parsePreset(builtinDefaultPresetXml()).value();
    for (int n = 0; n < kPresets; ++n) {
      preset.buttons[8]->CR = n % 128;
      preset.buttons[9]->CG = n / 128;
      const fs::path folder = dir / fmt::format("library/set {:02}", n / 100);
      fs::create_directories(folder);
      test::writeAll(folder / fmt::format("preset {:05}.padkbd", n),
                     presetToXml(preset.buttons, *preset.global));
    }
    return true;
  }();
  (void)written;
  return dir;
}

Library open(const fs::path& index) {
  return Library(index, {library() / "library"});
}

void firstLook(benchmark::State& state) {
  library();
  for (auto _ : state) {
    test::TempDir index;
    Library fresh = open(index / "library.sqlite");
    const Result<ScanReport> report = fresh.scan();
    if (!report || report->indexed != kPresets) state.SkipWithError("not every preset indexed");
  }
}
BENCHMARK(firstLook)->Unit(benchmark::kMillisecond)->Iterations(1);

void unchangedLook(benchmark::State& state) {
  test::TempDir index;
  (void)open(index / "library.sqlite").scan();
  for (auto _ : state) {
    Library again = open(index / "library.sqlite");  // a new run of the tool
    const Result<ScanReport> report = again.scan();
    if (!report || report->indexed != 0 || report->files != kPresets) {
      state.SkipWithError("the unchanged library was read again");
    }
  }
}
BENCHMARK(unchangedLook)->Unit(benchmark::kMillisecond)->Iterations(5);

void search(benchmark::State& state) {
  test::TempDir index;
  Library library = open(index / "library.sqlite");
  (void)library.scan();
  (void)library.mark(library.find("preset 04242")->id, {{"festival"}, {}, "the encore", true});
  LibraryFilter filter;
  filter.search = "encore";
  for (auto _ : state) {
    const auto found = library.list(filter);
    if (!found || found->size() != 1) state.SkipWithError("not found");
  }
}
BENCHMARK(search)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace padkbd

BENCHMARK_MAIN();
