// A new user's first steps with a keyboard whose ids are not the built-in
// ones, through the command-line tool and real libusb: find it, choose it,
// read it. No rebuild, no simulation above the USB device.
#include <gtest/gtest.h>
#include <umockdev.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "cli/Cli.h"
#include "storage/FileAction.h"
#include "tests/support/TempDir.h"
#include "tests/usb_libusb/EmulatedUsbDevice.h"

namespace padkbd {
namespace {

using test::EmulatedUsbDevice;

struct Ran {
  int status = -1;
  std::string out;
  std::string err;
};

std::string slurp(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

class CliOverLibusb : public ::testing::Test {
 protected:
  CliOverLibusb() : testbed_(umockdev_testbed_new()) {
    keyboard_ = std::make_unique<EmulatedUsbDevice>(
        testbed_, test::EmulatedDeviceDescription{.vendorId = 0x1234,
                                                  .productId = 0x5678,
                                                  .product = "Test Pads",
                                                  .manufacturer = "Nobody",
                                                  .sysexMaker = {0x00, 0x20, 0x6B}});
    keyboard_->setPadded(true);
    keyboard_->setTraffic(true);
  }
  ~CliOverLibusb() override {
    g_object_unref(testbed_);  // first: its thread calls the device
    keyboard_.reset();
  }

  // padkbd with `args`, in this process (libusb must see the emulated bus).
  Ran padkbd(std::vector<std::string> args) {
    args.insert(args.begin(), "padkbd");
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    std::fflush(stdout);
    std::fflush(stderr);
    const int savedOut = ::dup(1), savedErr = ::dup(2);
    std::FILE* out = std::freopen((dir_ / "out").c_str(), "w", stdout);
    std::FILE* err = std::freopen((dir_ / "err").c_str(), "w", stderr);
    Ran run;
    if (out != nullptr && err != nullptr) {
      run.status = cli::run(static_cast<int>(argv.size()), argv.data());
    }
    std::fflush(stdout);
    std::fflush(stderr);
    ::dup2(savedOut, 1);
    ::dup2(savedErr, 2);
    ::close(savedOut);
    ::close(savedErr);
    run.out = slurp(dir_ / "out");
    run.err = slurp(dir_ / "err");
    return run;
  }

  test::TempDir dir_;
  test::ScopedEnv config_{"XDG_CONFIG_HOME", (dir_ / "config").string()};
  test::ScopedEnv data_{"XDG_DATA_HOME", (dir_ / "data").string()};
  UMockdevTestbed* testbed_;
  std::unique_ptr<EmulatedUsbDevice> keyboard_;
};

TEST_F(CliOverLibusb, ANewKeyboardIsFoundChosenAndRead) {
  const Ran listed = padkbd({"devices"});
  ASSERT_EQ(listed.status, 0) << listed.err;
  EXPECT_EQ(listed.out.rfind("1234:5678  Test Pads, by Nobody\n", 0), 0u) << listed.out;
  EXPECT_NE(listed.out.find("can be opened"), std::string::npos) << listed.out;
  EXPECT_NE(listed.out.find("None of them is the keyboard in use"), std::string::npos);

  EXPECT_EQ(padkbd({"read", "-q"}).status, 1) << "the built-in ids find nothing";

  ASSERT_EQ(padkbd({"use", "1234:5678", "--manufacturer", "00 20 6b"}).status, 0);
  const Ran read = padkbd({"read", "-o", (dir_ / "mine.padkbd").string()});
  ASSERT_EQ(read.status, 0) << read.err;
  EXPECT_TRUE(readPresetFile(dir_ / "mine.padkbd").outcome) << read.err;
  EXPECT_EQ(padkbd({"info"}).out, "firmware 01.02\n");
  EXPECT_TRUE(keyboard_->protocolErrors().empty());
  // Every request went out with the chosen maker's bytes, and the driver is back.
  EXPECT_GT(keyboard_->received().size(), 598u);
  EXPECT_TRUE(keyboard_->driverBound(1));
}

}  // namespace
}  // namespace padkbd
