#include "cli/Device.h"

#include "history/History.h"

#include <fmt/format.h>

#include <system_error>

#include "link/usb/LibusbBackend.h"
#include "link/usb/UsbLink.h"
#include "sim/SimulatedController.h"
#include "storage/TempFiles.h"

namespace padkbd::cli {
namespace {

// Outlives every session: a signal that comes after one ended, while the
// program says how it went or exits, must find a flag, not end the program
// with another status than the one printed.
std::atomic<bool>& signalFlag() {
  static std::atomic<bool> flag{false};
  return flag;
}

}  // namespace

DeviceSession::DeviceSession(const DeviceOptions& options, const KeyboardId& keyboard,
                             const std::filesystem::path& resourceDir, Console& console)
    : options_(options), console_(console), cancel_(signalFlag()), keyboard_(keyboard) {
  cancel_ = false;
  if (options_.link) {
    link_ = options_.link(keyboard_);
  } else if (options_.simulate) {
    link_ = std::make_unique<SimulatedController>(keyboard_);
  } else if (!keyboard_.port.empty()) {
    link_ = portmodule::makeLink(options_.midiApi);
  } else {
    libusb_ = std::make_unique<LibusbBackend>();
    link_ = std::make_unique<UsbLink>(*libusb_);
  }
  simulated_ = dynamic_cast<SimulatedController*>(link_.get());
  trace_ = std::make_unique<TraceLink>(*link_, console_, options_.trace);
  transport_ = std::make_unique<InterfaceAction>(*trace_, keyboard_);
  // Ctrl+C stops an exchange cleanly: the interface goes back to the system.
  transport_->setCancelFlag(&cancel_);
  tempfiles::cancelOnSignal(&cancel_);
  // No working copy: the tool keeps what it sends in memory and never
  // touches the editor's.
  files_ = std::make_unique<FileAction>(resourceDir, std::filesystem::path());
  pad_ = std::make_unique<PadAction>(*transport_, *files_);
}

// The first signal stays a cancel until the program ends (a second one
// ends it at once): once an exchange is done, its outcome is what is told.
DeviceSession::~DeviceSession() = default;

Discovery& DeviceSession::discovery() {
  if (simulated_ != nullptr) return *simulated_;
  if (!libusb_) libusb_ = std::make_unique<LibusbBackend>();
  return *libusb_;
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

std::string DeviceSession::historyKey() const {
  // Trying the program never changes what padkbd knows of a real keyboard.
  if (options_.simulate) return simulatedKey(options_.stateFile);
  return keyboardKey(keyboard_, trace_->serial());
}

Outcome DeviceSession::find() {
  const bool usb = !libusb_ || libusb_->available();
  if (usb && transport_->FindDevice()) return Outcome::success();
  return Outcome::failure(notFoundReason());
}

std::string DeviceSession::notFoundReason() const {
  if (libusb_ && !libusb_->available()) {
    return fmt::format("USB is not available on this machine ({})", libusb_->available().message());
  }
  if (!keyboard_.port.empty() && !simulated_) {
    const MidiPortListing listing = portmodule::listPorts(options_.midiApi);
    std::string names;
    for (const MidiPort& port : listing.ports) names += (names.empty() ? "" : ", ") + port.name;
    return fmt::format(
        "no MIDI port whose name contains \"{}\" ({}: \"padkbd devices\" lists them, \"padkbd "
        "use --port NAME\" chooses another)",
        keyboard_.port,
        !listing.listed ? "the MIDI ports cannot be listed: " + listing.listed.message()
        : names.empty() ? std::string("there are no MIDI ports")
                        : "the ports are " + names);
  }
  return fmt::format(
      "no keyboard found with USB id {}: is it plugged in? (\"padkbd devices\" lists the USB "
      "MIDI devices, \"padkbd use VID:PID\" chooses another)",
      formatUsbIds(keyboard_.usb));
}

std::string DeviceSession::explain(const std::string& fallback) const {
  const LinkAccess access = trace_->access();
  if (access == LinkAccess::Denied) {
    return fmt::format(
        "no permission to open the keyboard (USB id {0}): \"padkbd devices\" prints the udev "
        "rule that allows it and how to install it",
        formatUsbIds(keyboard_.usb));
  }
  if (access == LinkAccess::Busy) {
    return "the keyboard's interface is busy: another program holds it (close the padkbd "
           "editor or any other program using the keyboard, then try again)";
  }
  if (!fallback.empty()) return fallback;
  return "the keyboard did not answer";
}

}  // namespace padkbd::cli
