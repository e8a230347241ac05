#include "link/KeyboardLink.h"

#include <fmt/format.h>
#include <libusb.h>

#include "link/midiport/PortModule.h"
#include "link/usb/LibusbBackend.h"
#include "link/usb/UsbLink.h"

namespace padkbd {

std::string libusbVersion() {
  const libusb_version* version = libusb_get_version();
  return fmt::format("{}.{}.{}", version->major, version->minor, version->micro);
}

KeyboardLink::KeyboardLink(MidiApi api) : api_(api) {}

KeyboardLink::~KeyboardLink() = default;

void KeyboardLink::useKeyboard(const KeyboardId& keyboard) {
  // A link given up keeps nothing open.
  Link* left = throughPort() ? midi_.get() : usb_.get();
  if (left != nullptr && throughPort() != !keyboard.port.empty()) left->close();
  keyboard_ = keyboard;
  target().useKeyboard(keyboard_);
}

LibusbBackend& KeyboardLink::usb() {
  if (!libusb_) libusb_ = std::make_unique<LibusbBackend>();
  return *libusb_;
}

Link& KeyboardLink::target() {
  if (!throughPort()) {
    if (!usb_) {
      usb_ = std::make_unique<UsbLink>(usb());
      usb_->useKeyboard(keyboard_);
    }
    return *usb_;
  }
  if (!midi_) {
    midi_ = portmodule::makeLink(api_);
    midi_->useKeyboard(keyboard_);
  }
  return *midi_;
}

bool KeyboardLink::watchForChanges(std::function<void()> changed) {
  changed_ = changed;
  usbNews_ = usb().watchForChanges(std::move(changed));
  return true;
}

void KeyboardLink::pollEvents() {
  // Only USB (where the platform can) tells of devices coming and going;
  // otherwise every poll is worth a look.
  if (!throughPort() && usbNews_) {
    usb().pollEvents();
  } else if (changed_) {
    changed_();
  }
}

MidiDeviceListing KeyboardLink::listMidiDevices() {
  return usb().listMidiDevices();
}

}  // namespace padkbd
