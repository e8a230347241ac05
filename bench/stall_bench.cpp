// How long the editor's event loop stalls while the keyboard is read, sent
// to and given gains, against the simulated keyboard paced like a real one
// (a millisecond a reply); what the device worker costs a full read; and how
// soon Cancel stops a read that waits for a silent keyboard.
//
// A timer ticking every millisecond records the longest gap between its
// ticks: that is the longest time the window could not repaint. Goal: no
// more than 16 ms (one frame), the read no more than 5% slower.
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "bench/BenchApplication.h"
#include "editor/GainController.h"
#include "link/InterfaceAction.h"
#include "model/Log.h"
#include "protocol/PadAction.h"
#include "storage/FileAction.h"
#include "tests/editor/EditorHarness.h"

namespace {

using Clock = std::chrono::steady_clock;
using padkbd::test::EditorHarness;
constexpr std::chrono::microseconds kPace{1000};
constexpr int kRuns = 3;

double ms(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

// Runs the event loop until the worker is idle; the longest gap between
// ticks of a 1 ms timer, in ms.
double longestStall(EditorHarness& editor) {
  QEventLoop loop;
  QTimer tick;
  tick.setTimerType(Qt::PreciseTimer);
  tick.setInterval(1);
  Clock::time_point last = Clock::now();
  Clock::duration longest{};
  QObject::connect(&tick, &QTimer::timeout, [&] {
    const Clock::time_point now = Clock::now();
    longest = std::max(longest, now - last);
    last = now;
    if (!editor.worker().busy()) loop.quit();
  });
  tick.start();
  loop.exec();
  return ms(longest);
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// A full read through the worker, from the request to the records in the window's hands.
double workerRead(EditorHarness& editor) {
  QEventLoop loop;
  const Clock::time_point start = Clock::now();
  Clock::time_point end;
  editor.worker().read(&loop, [&](const padkbd::editor::DeviceWorker::Report& result) {
    end = Clock::now();
    if (!result.outcome) {
      std::fprintf(stderr, "stall_bench: read failed: %s\n", result.outcome.message().c_str());
    }
    loop.quit();
  });
  loop.exec();
  return ms(end - start);
}

// The same read on this thread, as the command-line tool does it.
double directRead(padkbd::PadAction& pad) {
  const Clock::time_point start = Clock::now();
  if (const padkbd::Outcome read = pad.ReadPadValueFromDevice(); !read) {
    std::fprintf(stderr, "stall_bench: direct read failed: %s\n", read.message().c_str());
  }
  return ms(Clock::now() - start);
}

}  // namespace

int main(int argc, char** argv) {
  padkbd::bench::BenchApplication app(argc, argv);
  const auto paced = [](padkbd::SimulatedController& sim) { sim.faults().pace = kPace; };

  EditorHarness editor(paced, EditorHarness::Start::AtOnce);
  std::printf("longest stall during read: %.1f ms\n", longestStall(editor));

  editor.vc().keyboard().sendAction();
  std::printf("longest stall during send: %.1f ms\n", longestStall(editor));

  editor.vc().keyboard().showGainsAction();
  auto* gains = editor.window().findChild<padkbd::editor::GainController*>();
  gains->doApplyAction();
  std::printf("longest stall during gains: %.1f ms\n", longestStall(editor));
  gains->close();

  padkbd::SimulatedController sim;
  paced(sim);
  padkbd::InterfaceAction io(sim, padkbd::builtInKeyboard());
  padkbd::FileAction files(PADKBD_TEST_RESOURCE_DIR, {});
  padkbd::PadAction pad(io, files);
  std::vector<double> withWorker;
  std::vector<double> without;
  for (int run = 0; run < kRuns; ++run) {
    withWorker.push_back(workerRead(editor));
    without.push_back(directRead(pad));
  }
  const double worker = median(withWorker);
  const double direct = median(without);
  std::printf("full read with the worker: %.0f ms, without: %.0f ms (%+.1f%%)\n", worker, direct,
              (worker / direct - 1.0) * 100.0);

  // A keyboard that never answers: how soon Cancel ends the wait.
  editor.sim().changeFaults([](auto& faults) {
    faults.noReplyAfter = 0;
    faults.waitOnSilence = true;
  });
  editor.sim().resetCounters();
  editor.vc().keyboard().readAction();
  QEventLoop settle;
  QTimer::singleShot(300, &settle, &QEventLoop::quit);
  settle.exec();
  const Clock::time_point cancelled = Clock::now();
  editor.window().findChild<QPushButton*>(QStringLiteral("cancelButton"))->click();
  editor.waitForKeyboard();
  std::printf("cancel while waiting for a silent keyboard took: %.0f ms\n",
              ms(Clock::now() - cancelled));
  return 0;
}
