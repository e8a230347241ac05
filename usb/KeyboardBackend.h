// The way to the keyboard that the keyboard in force asks for: raw USB by
// its ids (libusb), or the system's MIDI port it is named by. The transport
// tells it which keyboard that is (useKeyboard), so a choice made in the
// editor's Keyboard dialog takes effect without a restart.
#pragma once

#include <memory>
#include <string>

#include "usb/MidiPortBackend.h"
#include "usb/UsbBackend.h"

namespace padkbd {

class LibusbBackend;

class KeyboardBackend final : public UsbBackend {
 public:
  explicit KeyboardBackend(MidiApi api = MidiApi::Default);
  ~KeyboardBackend() override;

  void useKeyboard(const KeyboardId& keyboard) override;
  // Whether the keyboard is reached through a MIDI port now.
  bool throughPort() const { return !port_.empty(); }
  // The raw USB backend, made at first use (it also lists the USB devices).
  LibusbBackend& usb();

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
  bool waitsForTimeouts() const override;
  bool watchForChanges(std::function<void()> changed) override;
  void pollEvents() override;
  MidiDeviceListing listMidiDevices() override;

 private:
  UsbBackend& current();

  MidiApi api_;
  std::string port_;
  std::unique_ptr<LibusbBackend> usb_;
  std::unique_ptr<MidiPortBackend> midi_;
  std::function<void()> changed_;
  bool usbNews_ = false;  // libusb tells of devices coming and going
};

}  // namespace padkbd
