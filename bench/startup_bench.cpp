// Start-up to a mapped window: the editor (with and without --simulate)
// against an empty Qt window, started alternately in the same run, timed
// from the fork to the X server's MapNotify of the program's first top-level
// window. Run under an X server (make bench starts Xvfb). Goal: the editor
// within 1.2 times the empty window's median.
#include <X11/Xlib.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr double kGoal = 1.2;

// Milliseconds from the start of `argv` to its first mapped top-level
// window; negative when none was mapped within ten seconds.
double timeToMap(Display* display, const std::vector<std::string>& argv) {
  while (XPending(display) > 0) {
    XEvent stale;
    XNextEvent(display, &stale);
  }
  const Clock::time_point start = Clock::now();
  const pid_t child = fork();
  if (child == 0) {
    std::vector<char*> args;
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    execv(args[0], args.data());
    _exit(127);
  }
  double elapsed = -1;
  const int fd = ConnectionNumber(display);
  while (Clock::now() - start < std::chrono::seconds(10) && elapsed < 0) {
    while (XPending(display) > 0) {
      XEvent event;
      XNextEvent(display, &event);
      if (event.type == MapNotify && event.xmap.event == DefaultRootWindow(display)) {
        elapsed = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        break;
      }
    }
    if (elapsed >= 0) break;
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(fd, &readable);
    timeval wait{0, 20000};
    select(fd + 1, &readable, nullptr, nullptr, &wait);
  }
  kill(child, SIGTERM);
  int status = 0;
  waitpid(child, &status, 0);
  return elapsed;
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? -1 : values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: startup_bench EMPTY_WINDOW EDITOR [RUNS]\n");
    return 2;
  }
  const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 15;
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    std::fprintf(stderr, "startup_bench: no X display (run it under xvfb-run)\n");
    return 2;
  }
  XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
  // A user's start: settings, data and state of their own, kept between starts.
  const std::filesystem::path home =
      std::filesystem::temp_directory_path() / ("padkbd-startup-" + std::to_string(getpid()));
  for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME"}) {
    setenv(name, (home / name).c_str(), 1);
  }
  // Qt wants a runtime folder of the user's own, or it says so at every start.
  const std::filesystem::path runtime = home / "runtime";
  std::filesystem::create_directories(runtime);
  std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
  setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
  const struct {
    const char* name;
    std::vector<std::string> argv;
  } programs[] = {
      {"empty Qt window", {argv[1]}},
      {"padkbd-editor", {argv[2]}},
      {"padkbd-editor --simulate", {argv[2], "--simulate"}},
  };
  std::vector<double> times[std::size(programs)];
  for (auto& program : programs) timeToMap(display, program.argv);  // warm the caches
  for (int run = 0; run < runs; ++run) {
    for (std::size_t n = 0; n < std::size(programs); ++n) {
      const double ms = timeToMap(display, programs[n].argv);
      if (ms < 0) {
        std::fprintf(stderr, "startup_bench: %s showed no window\n", programs[n].name);
        return 1;
      }
      times[n].push_back(ms);
    }
  }
  std::filesystem::remove_all(home);
  XCloseDisplay(display);
  const double yardstick = median(times[0]);
  bool met = true;
  std::printf("start-up to a mapped window, median of %d starts:\n", runs);
  for (std::size_t n = 0; n < std::size(programs); ++n) {
    const double ratio = median(times[n]) / yardstick;
    if (n > 0) met = met && ratio <= kGoal;
    std::printf("  %-26s %7.1f ms  %.2fx\n", programs[n].name, median(times[n]), ratio);
  }
  std::printf("goal: within %.1fx the empty window: %s\n", kGoal, met ? "met" : "NOT met");
  return 0;
}
