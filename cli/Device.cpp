#include "cli/Device.h"

#include <fmt/format.h>
#include <stdlib.h>

#include <cctype>
#include <charconv>
#include <system_error>

#include "sim/SimulatedController.h"
#include "storage/TempFiles.h"
#include "usb/LibusbBackend.h"

namespace padkbd::cli {
namespace {

// "name" or "name=N" with N a small count.
struct FaultSpec {
  std::string name;
  std::optional<int> count;
  bool valid = true;
};

FaultSpec splitFault(const std::string& fault) {
  FaultSpec spec;
  const auto eq = fault.find('=');
  spec.name = fault.substr(0, eq);
  if (eq != std::string::npos) {
    const std::string_view digits = std::string_view(fault).substr(eq + 1);
    int n = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
    spec.valid = !digits.empty() && error == std::errc() && end == digits.data() + digits.size() &&
                 n >= 0 && n <= 1000000;
    spec.count = n;
  }
  return spec;
}

constexpr const char* kFaultNames[] = {"absent", "one-interface", "no-reply", "handshake-fail",
                                       "write-failure", "unplug", "access-denied", "busy", "pace"};

void applyFault(SimulatedController& sim, const std::string& fault) {
  if (fault.empty()) return;
  const FaultSpec spec = splitFault(fault);
  auto& faults = sim.faults();
  const int n = spec.count.value_or(0);
  if (spec.name == "absent") {
    faults.absent = true;
  } else if (spec.name == "one-interface") {
    faults.oneInterfaceOnly = true;
  } else if (spec.name == "no-reply") {
    faults.noReplyAfter = n;
  } else if (spec.name == "handshake-fail") {
    faults.handshakeFailures = spec.count.value_or(1000000);
  } else if (spec.name == "write-failure") {
    faults.writeFailureAfter = n;
  } else if (spec.name == "unplug") {
    faults.unplugAfter = n;
  } else if (spec.name == "access-denied") {
    faults.refuseAccess = true;
  } else if (spec.name == "busy") {
    faults.busy = true;
  } else if (spec.name == "pace") {
    faults.pace = std::chrono::microseconds(n);  // as a real keyboard answers
  }
}

}  // namespace

std::string checkFault(const std::string& fault) {
  const FaultSpec spec = splitFault(fault);
  if (!spec.valid) return fmt::format("\"{}\": the count after = must be a number", fault);
  for (const char* name : kFaultNames) {
    if (spec.name == name) return {};
  }
  return fmt::format("unknown fault \"{}\"", spec.name);
}

DeviceSession::DeviceSession(const DeviceOptions& options, const KeyboardId& keyboard,
                             const std::filesystem::path& resourceDir, Console& console)
    : options_(options), console_(console), keyboard_(keyboard) {
  UsbBackend* backend = nullptr;
  if (options_.simulate) {
    simulated_ = std::make_unique<SimulatedController>(keyboard_);
    applyFault(*simulated_, options_.fault);
    backend = simulated_.get();
  } else {
    libusb_ = std::make_unique<LibusbBackend>();
    backend = libusb_.get();
  }
  trace_ = std::make_unique<TraceBackend>(*backend, console_, options_.trace);
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

int DeviceSession::cancelledStatus() const {
  return 128 + tempfiles::cancellingSignal();
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

bool DeviceSession::find(std::string& reason) {
  if (libusb_ && libusb_->initStatus() != UsbStatus::Success) {
    reason = notFoundReason();
    return false;
  }
  if (transport_->FindDevice()) return true;
  reason = notFoundReason();
  return false;
}

std::string DeviceSession::notFoundReason() const {
  if (libusb_ && libusb_->initStatus() != UsbStatus::Success) {
    return fmt::format("USB is not available on this machine ({})",
                       usbStatusName(libusb_->initStatus()));
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
