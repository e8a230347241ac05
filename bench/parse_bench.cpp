// How long a preset document takes to be refused or accepted, for the
// hostile files that once crashed or stalled the parser and for the largest
// file the size limit lets through. Goal: every one under 50 ms.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <functional>
#include <string>

#include "model/Log.h"
#include "storage/FileAction.h"
#include "tests/support/HostilePlists.h"

namespace padkbd {
namespace {

namespace hostile = test::hostile;

// The shipped default preset, padded with a comment to the size limit.
std::string largestValid() {
  std::string xml = std::string(builtinDefaultPresetXml());
  const std::size_t at = xml.find("<plist");
  const std::size_t room = kMaxPresetFileBytes - xml.size() - 7;
  xml.insert(at, "<!--" + std::string(room, 'x') + "-->");
  return xml;
}

void parse(benchmark::State& state, const std::string& bytes, bool accepted) {
  for (auto _ : state) {
    const PresetRead read = parsePreset(bytes);
    if (read.ok() != accepted) state.SkipWithError("unexpected outcome");
    benchmark::DoNotOptimize(read);
  }
  state.counters["bytes"] = static_cast<double>(bytes.size());
}

void registerAll() {
  struct Case {
    const char* name;
    std::function<std::string()> make;
    bool accepted;
  };
  const Case cases[] = {
      {"deepest binary (100,000 levels)", [] { return hostile::deepBinary(100000); }, false},
      {"deepest XML (40,000 levels)", [] { return hostile::deepXml(40000); }, false},
      {"binary sharing objects 10^24 times", [] { return hostile::sharedBinary(6, 10000); }, false},
      {"largest XML (1 MiB of values)", [] { return hostile::wideXml(kMaxPresetFileBytes); },
       false},
      {"largest valid preset (1 MiB)", largestValid, true},
      {"default preset", [] { return std::string(builtinDefaultPresetXml()); }, true},
  };
  for (const Case& c : cases) {
    benchmark::RegisterBenchmark(c.name, parse, c.make(), c.accepted)
        ->Unit(benchmark::kMillisecond);
  }
}

}  // namespace
}  // namespace padkbd

int main(int argc, char** argv) {
  padkbd::log::setEnabled(padkbd::log::Channel::Diagnostic, false);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  padkbd::registerAll();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
