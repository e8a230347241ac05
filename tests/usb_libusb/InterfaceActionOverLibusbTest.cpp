// The transport over LibusbBackend and the emulated device: the whole path
// the program takes to reach a real controller.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <umockdev.h>

#include <chrono>
#include <memory>

#include "model/Log.h"
#include "padkbd/BuildConfig.h"
#include "protocol/Messages.h"
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
        testbed_, EmulatedDeviceDescription{.vendorId = config::kUsbVendorId,
                                            .productId = config::kUsbProductId,
                                            .product = "padkbd test controller"});
  }
  ~InterfaceActionOverLibusb() override {
    g_object_unref(testbed_);  // first: its thread calls the device
    device_.reset();
  }

  template <typename Message>
  static bool write(InterfaceAction& usb, const Message& bytes) {
    return usb.WriteToDeviceWithChar(bytes.data(), static_cast<std::int32_t>(bytes.size())).ok();
  }
  static bool requestValue(InterfaceAction& usb, std::uint8_t parameter, std::uint8_t target) {
    return write(usb, messages::readRequest(builtInKeyboard().manufacturer, parameter, target));
  }
  static int valueFor(std::uint8_t parameter, std::uint8_t target) {
    return static_cast<std::int8_t>(EmulatedUsbDevice::valueFor(parameter, target));
  }
  // The value read, or the reason it was not.
  static std::string read(InterfaceAction& usb) {
    const Result<std::int8_t> value = usb.ReadValueFromDevice();
    return value ? std::to_string(*value) : value.message();
  }

  UMockdevTestbed* testbed_;
  std::unique_ptr<EmulatedUsbDevice> device_;
};

TEST_F(InterfaceActionOverLibusb, FindsCreatesTalksAndLetsGo) {
  // Every reply comes padded to a whole packet, as hardware sends it.
  device_->setPadded(true);
  LibusbBackend backend;
  InterfaceAction usb(backend);
  usb.setReadLimit(150ms);
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
  ASSERT_TRUE(write(usb, EmulatedUsbDevice::handshakeRequest()));
  EXPECT_THAT(usb.ReadVersionFromDevice().value(),
              ElementsAre("04", "f0", "7e", "0a", "04", "01", "03", "01", "06", "02", "f7"));

  for (std::uint8_t target = 30; target < 33; ++target) {
    ASSERT_TRUE(requestValue(usb, 6, target));
    EXPECT_EQ(read(usb), std::to_string(valueFor(6, target)));
  }
  const auto before = usb.receiveBuffer();

  // A controller that does not answer: the read gives up, says so, and the
  // buffer still holds the last reply.
  device_->setSilent(true);
  ASSERT_TRUE(requestValue(usb, 7, 31));
  EXPECT_EQ(read(usb), "no reply (timed out)");
  EXPECT_EQ(usb.receiveBuffer(), before);

  usb.KillInterface();
  EXPECT_FALSE(usb.hasInterface());
  EXPECT_FALSE(device_->claimed(1));
  EXPECT_TRUE(device_->driverBound(1));  // given back to its driver
  EXPECT_TRUE(device_->protocolErrors().empty());
}

TEST_F(InterfaceActionOverLibusb, FindsEachReplyBehindOtherTraffic) {
  device_->setPadded(true);
  device_->setTraffic(true);
  LibusbBackend backend;
  InterfaceAction usb(backend);
  log::Capture quiet;
  ASSERT_TRUE(usb.FindDevice());
  ASSERT_TRUE(usb.CreateInterface());

  // One exchange after another, then three requests before any reply is read.
  for (std::uint8_t i = 0; i < 5; ++i) {
    ASSERT_TRUE(requestValue(usb, i, 10 + i));
    EXPECT_EQ(read(usb), std::to_string(valueFor(i, 10 + i))) << "exchange " << int{i};
  }
  for (std::uint8_t i = 0; i < 3; ++i) ASSERT_TRUE(requestValue(usb, 20 + i, i));
  for (std::uint8_t i = 0; i < 3; ++i) {
    EXPECT_EQ(read(usb), std::to_string(valueFor(20 + i, i))) << "queued reply " << int{i};
  }

  // The traffic came in transfers of its own, one before each reply.
  Bytes traffic = EmulatedUsbDevice::traffic();
  traffic.resize(EmulatedUsbDevice::kMaxPacketSize, 0);
  const std::vector<Bytes> sent = device_->sent();
  ASSERT_EQ(sent.size(), 16u);
  for (std::size_t i = 0; i < sent.size(); i += 2) EXPECT_EQ(sent[i], traffic) << "transfer " << i;
  EXPECT_EQ(device_->pendingReads(), 0u);
  EXPECT_TRUE(device_->protocolErrors().empty());
}

}  // namespace
}  // namespace padkbd
