// Linked into every test program: a test never reads or writes the files of
// whoever runs it. Under CTest, private_home.sh gives the program a home of
// its own and says so; started by hand, the program makes one here before
// any test runs, and removes it at exit.
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

struct PrivateHome {
  std::filesystem::path dir;

  PrivateHome() {
    if (std::getenv("PADKBD_PRIVATE_HOME") != nullptr) return;
    std::string pattern = "/tmp/padkbd-test-home.XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) {
      std::perror("padkbd tests: no private home could be made");
      std::_Exit(1);
    }
    dir = pattern;
    // As private_home.sh makes them: the XDG folders left to the programs.
    const std::pair<const char*, const char*> folders[] = {
        {"HOME", "home"},          {"XDG_CONFIG_HOME", "config"}, {"XDG_DATA_HOME", "data"},
        {"XDG_STATE_HOME", "state"}, {"XDG_CACHE_HOME", "cache"},   {"XDG_RUNTIME_DIR", "runtime"},
        {"TMPDIR", "tmp"}};
    for (const auto& [variable, name] : folders) ::setenv(variable, (dir / name).c_str(), 1);
    ::chmod(dir.c_str(), 0755);
    ::mkdir((dir / "home").c_str(), 0755);
    ::mkdir((dir / "runtime").c_str(), 0700);
    ::mkdir((dir / "tmp").c_str(), 01777);
    ::chmod((dir / "tmp").c_str(), 01777);
    ::setenv("PADKBD_PRIVATE_HOME", dir.c_str(), 1);
  }
  ~PrivateHome() {
    std::error_code ec;
    if (!dir.empty()) std::filesystem::remove_all(dir, ec);
  }
};

// Before the tests' own statics, so that none of them sees the real home.
__attribute__((init_priority(101))) PrivateHome privateHome;

}  // namespace
