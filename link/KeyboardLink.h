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

// The versions of the libraries the links speak through, as the program
// runs with them ("1.0.26", "5.0.0").
std::string libusbVersion();
std::string rtmidiVersion();

class LibusbBackend;
class MidiPortLink;
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
  std::unique_ptr<MidiPortLink> midi_;
  std::function<void()> changed_;
  bool usbNews_ = false;  // libusb tells of devices coming and going
};

}  // namespace padkbd
