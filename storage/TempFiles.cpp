#include "storage/TempFiles.h"

#include <fmt/format.h>
#include <signal.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <string>
#include <system_error>

namespace padkbd::tempfiles {
namespace {

// Few files are written at the same time: one document, or the working copy.
constexpr std::size_t kSlots = 16;
constexpr std::size_t kPathMax = 4096;

struct Slot {
  std::atomic<bool> taken{false};
  std::atomic<bool> ready{false};  // path is complete and may be removed
  char path[kPathMax] = {};
};

std::array<Slot, kSlots>& slots() {
  static std::array<Slot, kSlots> all;
  return all;
}

std::atomic<std::atomic<bool>*> gCancel{nullptr};
std::atomic<int> gSignal{0};

// Only async-signal-safe calls: lock-free atomics, unlink and _exit.
extern "C" void onSignal(int signal) {
  if (std::atomic<bool>* cancel = gCancel.exchange(nullptr)) {
    gSignal.store(signal);
    cancel->store(true);
    return;
  }
  for (Slot& slot : slots()) {
    if (slot.ready.load()) ::unlink(slot.path);
  }
  ::_exit(128 + signal);
}

}  // namespace

int add(const std::filesystem::path& path) {
  const std::string& text = path.native();
  if (text.size() >= kPathMax) return -1;
  for (std::size_t i = 0; i < kSlots; ++i) {
    Slot& slot = slots()[i];
    bool expected = false;
    if (!slot.taken.compare_exchange_strong(expected, true)) continue;
    std::memcpy(slot.path, text.c_str(), text.size() + 1);
    slot.ready.store(true);
    return static_cast<int>(i);
  }
  return -1;
}

void remove(int slot) {
  if (slot < 0 || static_cast<std::size_t>(slot) >= kSlots) return;
  slots()[static_cast<std::size_t>(slot)].ready.store(false);
  slots()[static_cast<std::size_t>(slot)].taken.store(false);
}

void removeOnSignals() {
  struct sigaction action {};
  action.sa_handler = onSignal;
  sigemptyset(&action.sa_mask);
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
    // All three run the same handler; none may interrupt it.
    sigaddset(&action.sa_mask, signal);
  }
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) ::sigaction(signal, &action, nullptr);
}

void cancelOnSignal(std::atomic<bool>* flag) {
  gCancel.store(flag);
}

int cancellingSignal() {
  return gSignal.load();
}

std::filesystem::path siblingFor(const std::filesystem::path& target, unsigned serial) {
  return target.parent_path() /
         fmt::format(".{}.{}-{}.tmp", target.filename().string(), ::getpid(), serial);
}

void removeStale(const std::filesystem::path& target) {
  const std::string prefix = "." + target.filename().string() + ".";
  const std::filesystem::path dir =
      target.parent_path().empty() ? std::filesystem::path(".") : target.parent_path();
  std::error_code ec;
  for (std::filesystem::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.size() <= prefix.size() + 4 || name.compare(0, prefix.size(), prefix) != 0 ||
        name.compare(name.size() - 4, 4, ".tmp") != 0) {
      continue;
    }
    // ".NAME.PID-N.tmp": the process id, then a dash.
    const char* first = name.data() + prefix.size();
    const char* last = name.data() + name.size() - 4;
    long pid = 0;
    const auto [next, error] = std::from_chars(first, last, pid);
    if (error != std::errc() || next == first || next == last || *next != '-' || pid <= 0) {
      continue;
    }
    // Only a process that no longer runs leaves its file for good.
    if (pid == ::getpid() || ::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH) continue;
    std::error_code ignored;
    std::filesystem::remove(it->path(), ignored);
  }
}

}  // namespace padkbd::tempfiles
