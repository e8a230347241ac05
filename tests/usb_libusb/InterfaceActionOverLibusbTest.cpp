// The transport over LibusbBackend and the emulated device: the whole path
// the program takes to reach a real controller.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <umockdev.h>

#include <chrono>
#include <memory>

#include "model/Log.h"
#include "padkbd/BuildConfig.h"
#include "tests/usb_libusb/EmulatedUsbDevice.h"
#include "usb/InterfaceAction.h"
#include "usb/LibusbBackend.h"

namespace padkbd {
namespace {

using namespace std::chrono_literals;
using test::Bytes;
using test::EmulatedDeviceDescription;
using test::EmulatedUsbDevice;
using ::testing::ElementsAre;

class InterfaceActionOverLibusb : public ::testing::Test {
 protected:
  InterfaceActionOverLibusb() : testbed_(umockdev_testbed_new()) {
    device_ = std::make_unique<EmulatedUsbDevice>(
        testbed_, EmulatedDeviceDescription{config::kUsbVendorId, config::kUsbProductId,
                                            "padkbd test controller", 1, 2, 1});
  }
  ~InterfaceActionOverLibusb() override {
    g_object_unref(testbed_);  // first: its thread calls the device
    device_.reset();
  }

  static UsbStatus write(InterfaceAction& usb, const Bytes& bytes) {
    return usb.WriteToDeviceWithChar(bytes.data(), static_cast<std::int32_t>(bytes.size()));
  }

  UMockdevTestbed* testbed_;
  std::unique_ptr<EmulatedUsbDevice> device_;
};

TEST_F(InterfaceActionOverLibusb, FindsCreatesTalksAndLetsGo) {
  LibusbBackend backend(150ms);
  InterfaceAction usb(backend);
  {
    log::Capture capture;
    ASSERT_TRUE(usb.FindDevice());
    ASSERT_TRUE(usb.CreateInterface());
    EXPECT_EQ(capture.count("Found device with name:padkbd test controller"), 1u);
    EXPECT_EQ(capture.output(),
              "Interface class 1, subclass 3\n"
              "Interface has 2 endpoints\n"
              "PipeRef 1: direction in, transfer type bulk, maxPacketSize 64\n"
              "PipeRef 2: direction out, transfer type bulk, maxPacketSize 64\n");
  }
  EXPECT_TRUE(device_->claimed(1));
  EXPECT_FALSE(device_->driverBound(1));

  log::Capture quiet;
  ASSERT_EQ(write(usb, EmulatedUsbDevice::handshakeRequest()), UsbStatus::Success);
  EXPECT_THAT(usb.ReadVersionFromDevice(),
              ElementsAre("04", "f0", "7e", "0a", "04", "01", "03", "01", "06", "02", "f7"));

  ASSERT_EQ(write(usb, EmulatedUsbDevice::readRequest(6, 30)), UsbStatus::Success);
  const auto value = static_cast<std::int8_t>(EmulatedUsbDevice::valueFor(6, 30));
  EXPECT_EQ(usb.ReadValueFromDevice(), value);
  EXPECT_EQ(usb.lastRead().status, UsbStatus::Success);
  EXPECT_EQ(usb.lastRead().count, 16u);

  // A controller that does not answer: the read gives up, says so, and the
  // buffer still holds the last reply.
  device_->setSilent(true);
  ASSERT_EQ(write(usb, EmulatedUsbDevice::readRequest(7, 31)), UsbStatus::Success);
  EXPECT_EQ(usb.ReadValueFromDevice(), value);
  EXPECT_EQ(usb.lastRead().status, UsbStatus::Timeout);
  EXPECT_EQ(usb.lastRead().count, 0u);
  EXPECT_EQ(usb.receiveBuffer()[63], 0);

  usb.KillInterface();
  EXPECT_FALSE(usb.hasInterface());
  EXPECT_FALSE(device_->claimed(1));
  EXPECT_TRUE(device_->driverBound(1));  // given back to its driver
  EXPECT_TRUE(device_->protocolErrors().empty());
}

}  // namespace
}  // namespace padkbd
