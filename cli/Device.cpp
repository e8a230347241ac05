#include "cli/Device.h"

#include <fmt/format.h>

#include <system_error>

#include "sim/SimulatedController.h"
#include "storage/TempFiles.h"
#include "usb/LibusbBackend.h"

namespace padkbd::cli {

DeviceSession::DeviceSession(const DeviceOptions& options, const KeyboardId& keyboard,
                             const std::filesystem::path& resourceDir, Console& console)
    : options_(options), console_(console), keyboard_(keyboard) {
  if (options_.backend) {
    backend_ = options_.backend(keyboard_);
  } else if (options_.simulate) {
    backend_ = std::make_unique<SimulatedController>(keyboard_);
  } else if (!keyboard_.port.empty()) {
    backend_ = std::make_unique<MidiPortBackend>(keyboard_.port, options_.midiApi);
  } else {
    backend_ = std::make_unique<LibusbBackend>();
  }
  simulated_ = dynamic_cast<SimulatedController*>(backend_.get());
  libusb_ = dynamic_cast<LibusbBackend*>(backend_.get());
  trace_ = std::make_unique<TraceBackend>(*backend_, console_, options_.trace);
  transport_ = std::make_unique<InterfaceAction>(*trace_, keyboard_);
  // Ctrl+C stops an exchange cleanly: the interface goes back to the system.
  transport_->setCancelFlag(&cancel_);
  tempfiles::cancelOnSignal(&cancel_);
  // No working copy: the tool keeps what it sends in memory and never
  // touches the editor's.
  files_ = std::make_unique<FileAction>(resourceDir, std::filesystem::path());
  pad_ = std::make_unique<PadAction>(*transport_, *files_);
}

DeviceSession::~DeviceSession() {
  tempfiles::cancelOnSignal(nullptr);
}

Outcome DeviceSession::start() {
  if (simulated_ && !options_.stateFile.empty()) {
    if (Outcome locked = stateLock_.acquire(options_.stateFile); !locked) return locked;
    std::error_code ec;
    if (std::filesystem::exists(options_.stateFile, ec)) {
      // The message names the file and the damage.
      if (Outcome loaded = simulated_->loadState(options_.stateFile); !loaded) return loaded;
    }
  }
  return Outcome::success();
}

Outcome DeviceSession::finish() {
  if (simulated_ && !options_.stateFile.empty()) {
    return simulated_->saveState(options_.stateFile);
  }
  return Outcome::success();
}

Outcome DeviceSession::find() {
  const bool usb = !libusb_ || libusb_->initStatus() == UsbStatus::Success;
  if (usb && transport_->FindDevice()) return Outcome::success();
  return Outcome::failure(notFoundReason());
}

std::string DeviceSession::notFoundReason() const {
  if (libusb_ && libusb_->initStatus() != UsbStatus::Success) {
    return fmt::format("USB is not available on this machine ({})",
                       usbStatusName(libusb_->initStatus()));
  }
  if (!keyboard_.port.empty() && !simulated_) {
    const MidiPortListing listing = MidiPortBackend::listPorts(options_.midiApi);
    std::string names;
    for (const MidiPort& port : listing.ports) names += (names.empty() ? "" : ", ") + port.name;
    return fmt::format(
        "no MIDI port whose name contains \"{}\" ({}: \"padkbd devices\" lists them, \"padkbd "
        "use --port NAME\" chooses another)",
        keyboard_.port,
        listing.status != UsbStatus::Success ? "the MIDI ports cannot be listed: " + listing.reason
        : names.empty()                      ? std::string("there are no MIDI ports")
                                             : "the ports are " + names);
  }
  return fmt::format(
      "no keyboard found with USB id {}: is it plugged in? (\"padkbd devices\" lists the USB "
      "MIDI devices, \"padkbd use VID:PID\" chooses another)",
      formatUsbIds(keyboard_.usb));
}

std::string DeviceSession::explain(const std::string& fallback) const {
  const auto access = trace_->accessFailure();
  if (access == UsbStatus::AccessDenied) {
    return fmt::format(
        "no permission to open the keyboard (USB id {0}): \"padkbd devices\" prints the udev "
        "rule that allows it and how to install it",
        formatUsbIds(keyboard_.usb));
  }
  if (access == UsbStatus::Busy) {
    return "the keyboard's interface is busy: another program holds it (close the padkbd "
           "editor or any other program using the keyboard, then try again)";
  }
  if (!fallback.empty()) return fallback;
  return "the keyboard did not answer";
}

}  // namespace padkbd::cli
