// The Library pane's grid with 10,000 presets: every frame while it is
// scrolled from the top to the bottom, a third of a page at a time, drawn
// as the pane draws it (thumbnails from the index, no file opened). Goal: no
// frame over 16 ms. Also the time the list takes from the index, and the
// first frame (which lays the grid out).
#include <fmt/format.h>
#include <QElapsedTimer>
#include <QListView>
#include <QScrollBar>
#include <algorithm>
#include <cstdio>
#include <numeric>

#include "bench/BenchApplication.h"
#include "editor/LibraryModel.h"
#include "editor/LibraryPane.h"
#include "library/Library.h"
#include "storage/FileAction.h"
#include "tests/support/TempDir.h"

namespace fs = std::filesystem;
using namespace padkbd;

int main(int argc, char** argv) {
  bench::BenchApplication app(argc, argv);
  constexpr int kPresets = 10000;
  const test::TempDir dir;
  // Every preset's pads in colours of their own, so that no two thumbnails are alike.
  const Preset preset = parsePreset(builtinDefaultPresetXml()).value();
  for (int n = 0; n < kPresets; ++n) {
    for (int pad = kFirstPadControl; pad <= kLastPadControl; ++pad) {
      auto& record = *preset.buttons[static_cast<std::size_t>(pad)];
      record.CR = (n + pad * 3) % 128, record.CG = (n / 7 + pad) % 128, record.CB = (n * 5) % 128;
    }
    const fs::path folder = dir / fmt::format("library/set {:02}", n / 100);
    fs::create_directories(folder);
    test::writeAll(folder / fmt::format("preset {:05}.padkbd", n),
                   presetToXml(preset.buttons, *preset.global));
  }
  Library library(dir / "library.sqlite", {dir / "library"});
  if (!library.scan()) return 1;

  QElapsedTimer timer;
  timer.start();
  Result<std::vector<LibraryPreset>> all = library.list();
  editor::LibraryModel model;
  model.setPresets(std::move(*all), editor::LibraryModel::Order::Name, {});
  const double listed = timer.nsecsElapsed() / 1e6;

  QWidget window;
  QListView* grid = editor::LibraryPane::makeGrid(&window, &model);
  grid->resize(380, 700);
  window.resize(380, 700);
  window.show();
  timer.restart();
  grid->viewport()->repaint();
  app.processEvents();  // a batched layout goes on in the event loop
  const QModelIndex last = model.index(model.rowCount() - 1);
  while (grid->visualRect(last).isEmpty() && timer.elapsed() < 20000) app.processEvents();
  const double first = timer.nsecsElapsed() / 1e6;

  std::vector<double> frames;
  QScrollBar* bar = grid->verticalScrollBar();
  for (int value = 0; value <= bar->maximum(); value += std::max(1, bar->pageStep() / 3)) {
    bar->setValue(value);
    timer.restart();
    grid->viewport()->repaint();
    frames.push_back(timer.nsecsElapsed() / 1e6);
  }
  std::sort(frames.begin(), frames.end());
  const double mean = std::accumulate(frames.begin(), frames.end(), 0.0) / frames.size();
  const auto over = std::count_if(frames.begin(), frames.end(), [](double ms) { return ms > 16; });
  std::printf(
      "library grid, %d presets: listed from the index in %.1f ms, laid out in %.1f ms; "
      "scrolled top to bottom in %zu frames: mean %.2f ms, 99th percentile %.2f ms, "
      "longest %.2f ms, %td over 16 ms\n",
      kPresets, listed, first, frames.size(), mean, frames[frames.size() * 99 / 100], frames.back(),
      over);
  return over == 0 ? 0 : 1;
}
