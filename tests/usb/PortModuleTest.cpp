// The MIDI-port module as the programs load it: a folder without it, or with
// something else under its name, gives the clear failure on every operation
// and crashes nothing; the real one loads after that and then stays.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <libusb.h>

#include <array>
#include <filesystem>
#include <functional>

#include "link/midiport/PortModule.h"
#include "tests/support/TempDir.h"

namespace padkbd {
namespace {

namespace fs = std::filesystem;

// A shared library that is not the module: the libusb this test runs with.
fs::path otherLibrary() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&libusb_get_version), &info) == 0) return {};
  return info.dli_fname;
}

TEST(PortModule, WithoutTheModuleEveryOperationFailsSayingWhy) {
  test::TempDir dir;
  const fs::path file = dir.path() / "libpadkbd-midiport.so";
  const std::string prefix = "the MIDI port support (libpadkbd-midiport.so) cannot be loaded: ";
  const struct {
    const char* what;
    std::function<void()> lay;
    std::string why;
  } cases[] = {
      {"missing", [] {},
       file.string() + ": cannot open shared object file: No such file or directory"},
      {"another library",
       [&] { fs::copy_file(otherLibrary(), file, fs::copy_options::overwrite_existing); },
       file.string() + ": undefined symbol: padkbd_midiport_operations"},
  };
  portmodule::useFolder(dir.path());
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    c.lay();
    const Outcome loaded = portmodule::load();
    EXPECT_EQ(loaded.code(), Code::LinkUnavailable);
    EXPECT_EQ(loaded.message(), prefix + c.why);

    const std::unique_ptr<Link> link = portmodule::makeLink(MidiApi::Jack);
    link->useKeyboard({{}, {}, "keyboard"});
    EXPECT_TRUE(link->find().empty());
    EXPECT_FALSE(link->isOpen());
    const std::array<std::uint8_t, 4> packet{0x04, 0xF0, 0x00, 0x00};
    std::array<std::uint8_t, 64> into{};
    for (const Outcome& failed : {link->open(), link->send(packet),
                                  link->receive(into, LinkClock::now(), nullptr).outcome()}) {
      EXPECT_EQ(failed.code(), Code::LinkUnavailable);
      EXPECT_EQ(failed.message(), loaded.message());
    }
    const MidiPortListing listing = portmodule::listPorts(MidiApi::Default);
    EXPECT_EQ(listing.listed.message(), loaded.message());
    EXPECT_TRUE(listing.ports.empty());
    EXPECT_EQ(portmodule::rtmidiVersion().message(), loaded.message());
  }

  // The real module, once there, loads; and stays loaded.
  portmodule::useFolder(PADKBD_TEST_MODULE_DIR);
  EXPECT_TRUE(portmodule::load());
  portmodule::useFolder(dir.path());
  EXPECT_TRUE(portmodule::load());
}

TEST(PortModule, IsLookedForInTheLibFolderBesideTheProgramsOwn) {
  portmodule::useFolder({});
  const fs::path self = fs::read_symlink("/proc/self/exe");
  EXPECT_EQ(portmodule::folder(), self.parent_path().parent_path() / "lib" / "padkbd");
}

}  // namespace
}  // namespace padkbd
