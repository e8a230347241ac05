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

UsbBackend& KeyboardBackend::current() {
  if (port_.empty()) return usb();
  if (!midi_) midi_ = std::make_unique<MidiPortBackend>(port_, api_);
  return *midi_;
}

std::vector<UsbDevice> KeyboardBackend::findDevices(std::uint16_t vendorId,
                                                    std::uint16_t productId) {
  return current().findDevices(vendorId, productId);
}
std::vector<UsbInterfaceInfo> KeyboardBackend::listInterfaces(const UsbDevice& device) {
  return current().listInterfaces(device);
}
UsbStatus KeyboardBackend::createInterface(const UsbDevice& device, int interfaceNumber,
                                           UsbInterfaceHandle& handle) {
  return current().createInterface(device, interfaceNumber, handle);
}
UsbStatus KeyboardBackend::openInterface(UsbInterfaceHandle handle) {
  return current().openInterface(handle);
}
UsbStatus KeyboardBackend::closeInterface(UsbInterfaceHandle handle) {
  return current().closeInterface(handle);
}
void KeyboardBackend::releaseInterface(UsbInterfaceHandle handle) {
  current().releaseInterface(handle);
}
UsbStatus KeyboardBackend::numEndpoints(UsbInterfaceHandle handle, int& count) {
  return current().numEndpoints(handle, count);
}
UsbStatus KeyboardBackend::pipeProperties(UsbInterfaceHandle handle, int pipe,
                                          UsbPipeProperties& properties) {
  return current().pipeProperties(handle, pipe, properties);
}
UsbStatus KeyboardBackend::writePipe(UsbInterfaceHandle handle, int pipe, const std::uint8_t* data,
                                     std::size_t size) {
  return current().writePipe(handle, pipe, data, size);
}
UsbStatus KeyboardBackend::readPipe(UsbInterfaceHandle handle, int pipe, std::uint8_t* data,
                                    std::size_t capacity, std::size_t& received,
                                    std::chrono::milliseconds timeout) {
  return current().readPipe(handle, pipe, data, capacity, received, timeout);
}
bool KeyboardBackend::waitsForTimeouts() const {
  return true;  // both ways wait for their time-outs
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
