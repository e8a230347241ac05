#include "link/midiport/PortModule.h"

#include <dlfcn.h>

#include <mutex>
#include <optional>

#include "link/midiport/ModuleAbi.h"
#include "model/Log.h"

namespace padkbd::portmodule {

namespace fs = std::filesystem;

namespace {

struct State {
  std::mutex mutex;
  fs::path folder;                         // empty: beside the program
  const Operations* operations = nullptr;  // once loaded, for good
};

State& state() {
  static State s;
  return s;
}

Outcome unavailable(std::string why) {
  return Outcome::failure(Text(TextId::PortModuleMissing, {kFileName, std::move(why)}));
}

fs::path defaultFolder() {
  std::error_code ec;
  const fs::path self = fs::read_symlink("/proc/self/exe", ec);
  if (ec || self.empty()) return fs::path("lib") / "padkbd";
  return (self.parent_path().parent_path() / "lib" / "padkbd").lexically_normal();
}

std::string dlFailure() {
  const char* why = dlerror();
  return why != nullptr ? std::string(why) : std::string("unknown error");
}

// With the lock held.
Result<const Operations*> loadLocked(State& s) {
  if (s.operations != nullptr) return s.operations;
  const fs::path file = (s.folder.empty() ? defaultFolder() : s.folder) / kFileName;
  // Never closed once it served: its links and their threads live on in the program.
  void* handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) return unavailable(dlFailure());
  const auto entry = reinterpret_cast<Entry>(dlsym(handle, kEntry));
  if (entry == nullptr) {
    const std::string why = dlFailure();
    dlclose(handle);
    return unavailable(why);
  }
  const Operations* operations = entry(&log::diagLine);
  if (operations == nullptr || operations->build == nullptr || operations->build != build()) {
    const std::string theirs = operations != nullptr && operations->build != nullptr
                                   ? std::string(operations->build)
                                   : std::string("unknown");
    dlclose(handle);
    return unavailable(
        fmt::format("{}: it belongs to {}, this program is {}", file.string(), theirs, build()));
  }
  s.operations = operations;
  return operations;
}

Result<const Operations*> operations() {
  State& s = state();
  std::lock_guard lock(s.mutex);
  return loadLocked(s);
}

// The keyboard's port cannot be reached at all: nothing is found, every
// exchange fails with the reason.
class UnavailableLink final : public Link {
 public:
  explicit UnavailableLink(Outcome why) : why_(std::move(why)) {}
  void useKeyboard(const KeyboardId&) override {}
  std::vector<std::string> find() override {
    log::diag("MIDI: %s", why_.message());
    return {};
  }
  Outcome open() override { return why_; }
  void close() override {}
  bool isOpen() const override { return false; }
  Outcome send(std::span<const std::uint8_t>) override { return why_; }
  Result<std::size_t> receive(std::span<std::uint8_t>, Deadline,
                              const std::atomic<bool>*) override {
    return why_;
  }

 private:
  Outcome why_;
};

}  // namespace

void useFolder(fs::path folder) {
  State& s = state();
  std::lock_guard lock(s.mutex);
  s.folder = std::move(folder);
}

fs::path folder() {
  State& s = state();
  std::lock_guard lock(s.mutex);
  return s.folder.empty() ? defaultFolder() : s.folder;
}

Outcome load() {
  const Result<const Operations*> loaded = operations();
  return loaded ? Outcome::success() : loaded.outcome();
}

std::unique_ptr<Link> makeLink(MidiApi api) {
  const Result<const Operations*> loaded = operations();
  if (!loaded) return std::make_unique<UnavailableLink>(loaded.outcome());
  return (*loaded)->makeLink(api);
}

MidiPortListing listPorts(MidiApi api) {
  const Result<const Operations*> loaded = operations();
  if (!loaded) {
    MidiPortListing listing;
    listing.listed = loaded.outcome();
    return listing;
  }
  return (*loaded)->listPorts(api);
}

Result<std::string> rtmidiVersion() {
  const Result<const Operations*> loaded = operations();
  if (!loaded) return loaded.outcome();
  return (*loaded)->rtmidiVersion();
}

}  // namespace padkbd::portmodule
