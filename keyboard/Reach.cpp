#include "keyboard/Reach.h"

#include <fmt/format.h>
#include <libusb.h>

#include "history/History.h"
#include "link/midiport/PortModule.h"
#include "link/usb/LibusbBackend.h"
#include "link/usb/UsbLink.h"
#include "sim/SimulatedController.h"

namespace padkbd {

std::string libusbVersion() {
  const libusb_version* version = libusb_get_version();
  return fmt::format("{}.{}.{}", version->major, version->minor, version->micro);
}

Reach::Reach(ReachOptions options, const KeyboardId& keyboard)
    : options_(std::move(options)), keyboard_(keyboard) {
  if (options_.standIn != nullptr) {
    fixed_ = options_.standIn;
  } else if (options_.makeLink) {
    made_ = options_.makeLink(keyboard_);
  } else if (options_.simulate) {
    made_ = std::make_unique<SimulatedController>(keyboard_);
  }
  if (made_) fixed_ = made_.get();
  simulated_ = dynamic_cast<SimulatedController*>(fixed_);
  target().useKeyboard(keyboard_);
}

Reach::~Reach() = default;

Way Reach::way() const {
  if (options_.simulate) return Way::Simulated;
  return keyboard_.port.empty() ? Way::Usb : Way::Port;
}

bool Reach::rawUsb() const {
  const Link* standIn = options_.standIn;
  return keyboard_.port.empty() && (fixed_ == nullptr || fixed_ == standIn);
}

LibusbBackend& Reach::libusb() {
  if (!libusb_) libusb_ = std::make_unique<LibusbBackend>();
  return *libusb_;
}

Link& Reach::target() {
  if (fixed_ != nullptr) return *fixed_;
  if (keyboard_.port.empty()) {
    if (!usb_) {
      usb_ = std::make_unique<UsbLink>(libusb());
      usb_->useKeyboard(keyboard_);
    }
    return *usb_;
  }
  if (!port_) {
    port_ = portmodule::makeLink(options_.midiApi);
    port_->useKeyboard(keyboard_);
  }
  return *port_;
}

void Reach::useKeyboard(const KeyboardId& keyboard) {
  // A way given up keeps nothing open.
  if (fixed_ == nullptr && keyboard.port.empty() != keyboard_.port.empty()) target().close();
  keyboard_ = keyboard;
  target().useKeyboard(keyboard_);
}

Outcome Reach::begin() {
  if (!simulated_ || options_.stateFile.empty() || turns_++ > 0) return Outcome::success();
  const auto failed = [this](Outcome why) {
    stateLock_.release();
    --turns_;
    return why;
  };
  if (Outcome locked = stateLock_.acquire(options_.stateFile); !locked) return failed(locked);
  std::error_code ec;
  if (!std::filesystem::exists(options_.stateFile, ec)) return Outcome::success();
  // The message names the file and the damage.
  if (Outcome loaded = simulated_->loadState(options_.stateFile); !loaded) return failed(loaded);
  return Outcome::success();
}

Outcome Reach::end() {
  if (!simulated_ || options_.stateFile.empty() || turns_ == 0 || --turns_ > 0) {
    return Outcome::success();
  }
  // Saved whatever happened: what a failed send wrote is in the slots now.
  Outcome saved = simulated_->saveState(options_.stateFile);
  stateLock_.release();
  return saved;
}

std::string Reach::historyKey() {
  // Trying the program never changes what padkbd knows of a real keyboard.
  if (options_.simulate) return simulatedKey(options_.stateFile);
  const std::string serial = target().serial();
  if (!serial.empty() || !(keyboard_ == serialOf_)) {
    serialOf_ = keyboard_;
    serial_ = serial;
  }
  return keyboardKey(keyboard_, serial_);
}

Absence Reach::absence() {
  Absence absence{way(), keyboard_, std::nullopt, {}};
  if (way() == Way::Usb && fixed_ == nullptr) {
    if (Outcome usable = libusb().available(); !usable) absence.usbUnavailable = usable.text();
  } else if (way() == Way::Port) {
    absence.ports = listPorts();
  }
  return absence;
}

MidiDeviceListing Reach::listMidiDevices() {
  if (simulated_) return simulated_->listMidiDevices();
  return libusb().listMidiDevices();
}

bool Reach::watchForChanges(std::function<void()> changed) {
  changed_ = changed;
  if (simulated_) return simulated_->watchForChanges(std::move(changed));
  usbNews_ = libusb().watchForChanges(std::move(changed));
  // Without news, every poll is worth a look.
  return true;
}

void Reach::pollEvents() {
  if (simulated_) {
    simulated_->pollEvents();
  } else if (way() == Way::Usb && usbNews_) {
    // Only USB (where the platform can) tells of devices coming and going.
    libusb().pollEvents();
  } else if (changed_) {
    changed_();
  }
}

MidiPortListing Reach::listPorts() const {
  return portmodule::listPorts(options_.midiApi);
}

}  // namespace padkbd
