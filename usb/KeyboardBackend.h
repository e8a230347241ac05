// The way to the keyboard that the keyboard in force asks for: raw USB by
// its ids (libusb), or the system's MIDI port it is named by. The transport
// tells it which keyboard that is (useKeyboard), so a choice made in the
// editor's Keyboard dialog takes effect without a restart.
#pragma once

#include <memory>
#include <string>

#include "usb/ForwardingBackend.h"
#include "usb/MidiPortBackend.h"

namespace padkbd {

class LibusbBackend;

class KeyboardBackend final : public ForwardingBackend {
 public:
  explicit KeyboardBackend(MidiApi api = MidiApi::Default);
  ~KeyboardBackend() override;

  void useKeyboard(const KeyboardId& keyboard) override;
  // Whether the keyboard is reached through a MIDI port now.
  bool throughPort() const { return !port_.empty(); }
  // The raw USB backend, made at first use (it also lists the USB devices).
  LibusbBackend& usb();

  bool watchForChanges(std::function<void()> changed) override;
  void pollEvents() override;
  // The USB devices, whichever way the keyboard is reached.
  MidiDeviceListing listMidiDevices() override;

 protected:
  UsbBackend& target() override;

 private:
  MidiApi api_;
  std::string port_;
  std::unique_ptr<LibusbBackend> usb_;
  std::unique_ptr<MidiPortBackend> midi_;
  std::function<void()> changed_;
  bool usbNews_ = false;  // libusb tells of devices coming and going
};

}  // namespace padkbd
