// Playing the keyboard with the editor listening: how soon a struck pad
// lights on the surface (from the strike to the light, through a link that
// waits as a device does), and what listening costs while nothing is played,
// through a link that waits and one that does not.
//
// Goals: the light within 20 ms; listening to a silent keyboard no more
// than 1% of a core.
#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <vector>

#include "bench/BenchApplication.h"
#include "editor/PlayController.h"
#include "editor/SelectorSurface.h"
#include "model/Log.h"
#include "model/Playing.h"
#include "tests/editor/EditorHarness.h"

namespace {

using Clock = std::chrono::steady_clock;
using padkbd::SimulatedController;
using padkbd::test::EditorHarness;
constexpr int kStrikes = 200;
constexpr int kIdleMs = 5000;

double ms(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

double cpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

void runFor(int milliseconds) {
  QEventLoop loop;
  QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
  loop.exec();
}

// Spins the event loop until `done` or a second has passed; false on the latter.
template <typename Done>
bool spinUntil(Done done) {
  const Clock::time_point limit = Clock::now() + std::chrono::seconds(1);
  while (!done()) {
    if (Clock::now() > limit) return false;
    QCoreApplication::processEvents();
  }
  return true;
}

// Strike to light, in ms, for each strike of a pad that lights at every strike.
std::vector<double> latencies() {
  EditorHarness editor([](SimulatedController& sim) { sim.faults().waitOnSilence = true; });
  editor.action("actionMonitor")->trigger();
  if (!spinUntil([&] { return editor.sim().isClaimed(); })) return {};
  // Pads that light at every strike: not a switch that toggles (it lights
  // every other strike), nor a note the transposition takes out of range.
  namespace p = padkbd::playing;
  const padkbd::PadValue global = editor.sim().globalsInSlot(0);
  std::vector<int> pads;
  for (int index = padkbd::kFirstPadControl; index <= padkbd::kLastPadControl; ++index) {
    const padkbd::ButtonValue pad = editor.sim().controlInSlot(0, index);
    if (!p::isSwitch(index, pad) &&
        (p::sendsOf(index, pad) != p::Sends::Notes || p::noteOf(pad, global))) {
      pads.push_back(index);
    }
  }
  std::vector<double> taken;
  for (int n = 0; n < kStrikes; ++n) {
    const int index = pads[static_cast<std::size_t>(n) % pads.size()];
    QAbstractButton* element = editor.element(index + 1);
    if (!spinUntil([&] { return !padkbd::editor::litOf(element); })) return {};
    const Clock::time_point struck = Clock::now();
    editor.sim().strike(index);
    if (!spinUntil([&] { return padkbd::editor::litOf(element); })) return {};
    taken.push_back(ms(Clock::now() - struck));
  }
  return taken;
}

// Per cent of a core the whole program uses for kIdleMs, listening or not.
double idleCpu(bool waits, bool listening) {
  EditorHarness editor([&](SimulatedController& sim) { sim.faults().waitOnSilence = waits; });
  if (listening) editor.action("actionMonitor")->trigger();
  runFor(300);  // listening has started
  const double cpu = cpuSeconds();
  const Clock::time_point wall = Clock::now();
  runFor(kIdleMs);
  return (cpuSeconds() - cpu) / (ms(Clock::now() - wall) / 1000.0) * 100.0;
}

}  // namespace

int main(int argc, char** argv) {
  padkbd::bench::BenchApplication app(argc, argv);

  std::vector<double> taken = latencies();
  if (taken.size() != kStrikes) {
    std::fprintf(stderr, "play_bench: a struck pad did not light within a second\n");
    return 1;
  }
  std::sort(taken.begin(), taken.end());
  std::printf("strike to light over %d strikes: median %.2f ms, max %.2f ms\n", kStrikes,
              taken[taken.size() / 2], taken.back());
  for (const bool waits : {true, false}) {
    const char* link = waits ? "a link that waits" : "a link that does not wait";
    std::printf("CPU over %d s through %s: %.2f%% of a core listening, %.2f%% not\n",
                kIdleMs / 1000, link, idleCpu(waits, true), idleCpu(waits, false));
  }
  return 0;
}
