// The way to the keyboard that the keyboard in force asks for: raw USB by
// its ids (libusb), or the system's MIDI port it is named by. The transport
// tells it which keyboard that is (useKeyboard), so a choice made in the
// editor's Keyboard dialog takes effect without a restart. It also lists the
// USB devices and tells of them coming and going.
#pragma once

#include <memory>
#include <string>

#include "link/Discovery.h"
#include "link/ForwardingLink.h"

namespace padkbd {

// The version of libusb as the program runs with it ("1.0.26"); RtMidi's
// is the MIDI-port module's (PortModule.h).
std::string libusbVersion();

class LibusbBackend;
class UsbLink;

class KeyboardLink final : public ForwardingLink, public Discovery {
 public:
  explicit KeyboardLink(MidiApi api = MidiApi::Default);
  ~KeyboardLink() override;

  void useKeyboard(const KeyboardId& keyboard) override;
  // Whether the keyboard is reached through a MIDI port now.
  bool throughPort() const { return !keyboard_.port.empty(); }
  // The raw USB backend, made at first use (it also lists the USB devices).
  LibusbBackend& usb();

  MidiDeviceListing listMidiDevices() override;
  bool watchForChanges(std::function<void()> changed) override;
  void pollEvents() override;

 protected:
  Link& target() override;

 private:
  MidiApi api_;
  KeyboardId keyboard_;
  std::unique_ptr<LibusbBackend> libusb_;
  std::unique_ptr<UsbLink> usb_;
  std::unique_ptr<Link> midi_;  // from the MIDI-port module, made at first use
  std::function<void()> changed_;
  bool usbNews_ = false;  // libusb tells of devices coming and going
};

}  // namespace padkbd
