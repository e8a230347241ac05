// A backend in front of another one that passes every call on, for a class
// that changes a few of them: the command-line tool's tracing backend, and
// the backend that picks raw USB or a MIDI port per keyboard.
#pragma once

#include "usb/UsbBackend.h"

namespace padkbd {

class ForwardingBackend : public UsbBackend {
 public:
  std::vector<UsbDevice> findDevices(std::uint16_t vendorId, std::uint16_t productId) override {
    return target().findDevices(vendorId, productId);
  }
  std::vector<UsbInterfaceInfo> listInterfaces(const UsbDevice& device) override {
    return target().listInterfaces(device);
  }
  UsbStatus createInterface(const UsbDevice& device, int interfaceNumber,
                            UsbInterfaceHandle& handle) override {
    return target().createInterface(device, interfaceNumber, handle);
  }
  UsbStatus openInterface(UsbInterfaceHandle handle) override {
    return target().openInterface(handle);
  }
  UsbStatus closeInterface(UsbInterfaceHandle handle) override {
    return target().closeInterface(handle);
  }
  void releaseInterface(UsbInterfaceHandle handle) override { target().releaseInterface(handle); }
  UsbStatus numEndpoints(UsbInterfaceHandle handle, int& count) override {
    return target().numEndpoints(handle, count);
  }
  UsbStatus pipeProperties(UsbInterfaceHandle handle, int pipe,
                           UsbPipeProperties& properties) override {
    return target().pipeProperties(handle, pipe, properties);
  }
  UsbStatus writePipe(UsbInterfaceHandle handle, int pipe, const std::uint8_t* data,
                      std::size_t size) override {
    return target().writePipe(handle, pipe, data, size);
  }
  UsbStatus readPipe(UsbInterfaceHandle handle, int pipe, std::uint8_t* data, std::size_t capacity,
                     std::size_t& received, std::chrono::milliseconds timeout) override {
    return target().readPipe(handle, pipe, data, capacity, received, timeout);
  }
  void useKeyboard(const KeyboardId& keyboard) override { target().useKeyboard(keyboard); }
  bool watchForChanges(std::function<void()> changed) override {
    return target().watchForChanges(std::move(changed));
  }
  void pollEvents() override { target().pollEvents(); }
  MidiDeviceListing listMidiDevices() override { return target().listMidiDevices(); }

 protected:
  // Where the calls go now.
  virtual UsbBackend& target() = 0;
};

}  // namespace padkbd
