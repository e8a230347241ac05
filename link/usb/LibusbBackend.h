// UsbBackend over libusb-1.0: the backend the program uses on Linux. It also
// lists the USB MIDI devices and tells of them coming and going.
//
// Devices are looked up in libusb's device list; each one found is kept
// referenced for the life of the backend so that later createInterface calls
// reach the very device found at start-up. An interface handle is an open
// libusb device handle plus the interface number; opening it claims the
// interface with libusb's auto-detach, so a kernel driver that holds it
// (snd-usb-audio for a USB-MIDI interface) is detached for the exchange and
// given back when the claim is released.
#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <vector>

#include "link/Discovery.h"
#include "link/usb/UsbBackend.h"

struct libusb_context;
struct libusb_device;
struct libusb_device_handle;

namespace padkbd {

class LibusbBackend final : public UsbBackend, public Discovery {
 public:
  // A write that the device does not take within this time fails instead of
  // blocking the program. (How long a read waits is the caller's to say.)
  static constexpr std::chrono::milliseconds kWriteTimeout{1000};

  explicit LibusbBackend(std::chrono::milliseconds writeTimeout = kWriteTimeout);
  ~LibusbBackend() override;
  LibusbBackend(const LibusbBackend&) = delete;
  LibusbBackend& operator=(const LibusbBackend&) = delete;

  // Success when libusb could be initialised; otherwise every call finds
  // nothing or fails with this status.
  UsbStatus initStatus() const { return initStatus_; }
  // The same for people: why USB cannot be used here.
  Outcome available() const {
    return initStatus_ == UsbStatus::Success
               ? Outcome::success()
               : Outcome::failure(usbStatusText(initStatus_)).as(TextId::LibusbNotStarted);
  }

  std::vector<UsbDevice> findDevices(std::uint16_t vendorId, std::uint16_t productId) override;
  std::vector<UsbInterfaceInfo> listInterfaces(const UsbDevice& device) override;
  UsbStatus createInterface(const UsbDevice& device, int interfaceNumber,
                            UsbInterfaceHandle& handle) override;
  UsbStatus openInterface(UsbInterfaceHandle handle) override;
  UsbStatus closeInterface(UsbInterfaceHandle handle) override;
  void releaseInterface(UsbInterfaceHandle handle) override;
  UsbStatus numEndpoints(UsbInterfaceHandle handle, int& count) override;
  UsbStatus pipeProperties(UsbInterfaceHandle handle, int pipe,
                           UsbPipeProperties& properties) override;
  UsbStatus writePipe(UsbInterfaceHandle handle, int pipe, const std::uint8_t* data,
                      std::size_t size) override;
  UsbStatus readPipe(UsbInterfaceHandle handle, int pipe, std::uint8_t* data, std::size_t capacity,
                     std::size_t& received, std::chrono::milliseconds timeout) override;
  MidiDeviceListing listMidiDevices() override;
  // libusb's hot-plug callbacks, where the platform has them.
  bool watchForChanges(std::function<void()> changed) override;
  void pollEvents() override;

  // A string descriptor as printable ASCII; empty when there is none or it
  // cannot be read.
  static std::string readString(libusb_device_handle* handle, std::uint8_t index);
  // Bus, then the ports from the root hub down: the order of a device on the
  // bus, which does not depend on when it was plugged in.
  static std::vector<int> busPosition(libusb_device* device);

 private:
  struct Pipe {
    UsbPipeProperties properties;
    unsigned char address = 0;
  };
  struct Interface {
    libusb_device_handle* device = nullptr;
    int number = 0;
    bool claimed = false;
    std::vector<Pipe> pipes;  // pipe n is pipes[n - 1]
  };

  libusb_device* deviceFor(const UsbDevice& device) const;
  Interface* interfaceFor(UsbInterfaceHandle handle);
  // The pipe for a transfer in the given direction, or the status that says
  // why there is none.
  UsbStatus transferPipe(UsbInterfaceHandle handle, int pipe, int direction, Interface*& interface,
                         const Pipe*& chosen);

  libusb_context* context_ = nullptr;
  std::function<void()> changed_;
  int hotplugHandle_ = 0;
  bool watching_ = false;
  UsbStatus initStatus_ = UsbStatus::Success;
  std::chrono::milliseconds writeTimeout_;
  // Devices found so far, each holding one libusb reference; ids stay the
  // same when a later search finds the same device again.
  std::map<std::uint64_t, libusb_device*> devices_;
  std::uint64_t nextDeviceId_ = 1;
  std::map<UsbInterfaceHandle, Interface> interfaces_;
  UsbInterfaceHandle nextInterface_ = 1;
};

// libusb's error code (or any other return value) as a backend status.
UsbStatus usbStatusFromLibusb(int error);

}  // namespace padkbd
