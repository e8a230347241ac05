#include "usb/KeyboardBackend.h"

#include "usb/LibusbBackend.h"

namespace padkbd {

KeyboardBackend::KeyboardBackend(MidiApi api) : api_(api) {}

KeyboardBackend::~KeyboardBackend() = default;

void KeyboardBackend::useKeyboard(const KeyboardId& keyboard) {
  port_ = keyboard.port;
  if (midi_) midi_->setPort(port_);
}

LibusbBackend& KeyboardBackend::usb() {
  if (!usb_) usb_ = std::make_unique<LibusbBackend>();
  return *usb_;
}

UsbBackend& KeyboardBackend::target() {
  if (port_.empty()) return usb();
  if (!midi_) midi_ = std::make_unique<MidiPortBackend>(port_, api_);
  return *midi_;
}

bool KeyboardBackend::watchForChanges(std::function<void()> changed) {
  changed_ = changed;
  usbNews_ = usb().watchForChanges(std::move(changed));
  return true;
}
void KeyboardBackend::pollEvents() {
  // Only USB (where the platform can) tells of devices coming and going;
  // otherwise every poll is worth a look.
  if (port_.empty() && usbNews_) {
    usb().pollEvents();
  } else if (changed_) {
    changed_();
  }
}
MidiDeviceListing KeyboardBackend::listMidiDevices() {
  return usb().listMidiDevices();
}

}  // namespace padkbd
