#include "cli/Device.h"

#include <fmt/format.h>
#include <stdlib.h>

#include <cctype>
#include <charconv>
#include <system_error>

#include "sim/SimulatedController.h"
#include "usb/LibusbBackend.h"

namespace padkbd::cli {
namespace {

std::optional<std::uint16_t> parseHex16(std::string_view text) {
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text.remove_prefix(2);
  }
  if (text.empty() || text.size() > 4) return std::nullopt;
  unsigned value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return static_cast<std::uint16_t>(value);
}

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

constexpr const char* kFaultNames[] = {"absent",         "one-interface", "no-reply",
                                       "handshake-fail", "write-failure", "unplug",
                                       "access-denied",  "busy"};

// The two ways a real system refuses the interface, which the simulated
// controller itself never does: no permission on the device node (no udev
// rule), and an interface another program has claimed.
class RefusingBackend final : public UsbBackend {
 public:
  RefusingBackend(UsbBackend& inner, UsbStatus createStatus, UsbStatus openStatus)
      : inner_(inner), createStatus_(createStatus), openStatus_(openStatus) {}

  std::vector<UsbDevice> findDevices(std::uint16_t vendorId, std::uint16_t productId) override {
    return inner_.findDevices(vendorId, productId);
  }
  std::vector<UsbInterfaceInfo> listInterfaces(const UsbDevice& device) override {
    return inner_.listInterfaces(device);
  }
  UsbStatus createInterface(const UsbDevice& device, int interfaceNumber,
                            UsbInterfaceHandle& handle) override {
    if (createStatus_ != UsbStatus::Success) return createStatus_;
    return inner_.createInterface(device, interfaceNumber, handle);
  }
  UsbStatus openInterface(UsbInterfaceHandle handle) override {
    if (openStatus_ != UsbStatus::Success) return openStatus_;
    return inner_.openInterface(handle);
  }
  UsbStatus closeInterface(UsbInterfaceHandle handle) override {
    return inner_.closeInterface(handle);
  }
  void releaseInterface(UsbInterfaceHandle handle) override { inner_.releaseInterface(handle); }
  UsbStatus numEndpoints(UsbInterfaceHandle handle, int& count) override {
    return inner_.numEndpoints(handle, count);
  }
  UsbStatus pipeProperties(UsbInterfaceHandle handle, int pipe,
                           UsbPipeProperties& properties) override {
    return inner_.pipeProperties(handle, pipe, properties);
  }
  UsbStatus writePipe(UsbInterfaceHandle handle, int pipe, const std::uint8_t* data,
                      std::size_t size) override {
    return inner_.writePipe(handle, pipe, data, size);
  }
  UsbStatus readPipe(UsbInterfaceHandle handle, int pipe, std::uint8_t* data, std::size_t capacity,
                     std::size_t& received) override {
    return inner_.readPipe(handle, pipe, data, capacity, received);
  }

 private:
  UsbBackend& inner_;
  UsbStatus createStatus_;
  UsbStatus openStatus_;
};

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
  }
}

std::filesystem::path makePrivateDir() {
  std::error_code ec;
  std::filesystem::path base = std::filesystem::temp_directory_path(ec);
  if (ec) return {};
  std::string pattern = (base / "padkbd-cli-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) return {};
  return pattern;
}

}  // namespace

std::optional<UsbIds> parseUsbIds(const std::string& text) {
  const auto colon = text.find(':');
  if (colon == std::string::npos) return std::nullopt;
  const auto vendor = parseHex16(std::string_view(text).substr(0, colon));
  const auto product = parseHex16(std::string_view(text).substr(colon + 1));
  if (!vendor || !product) return std::nullopt;
  return UsbIds{*vendor, *product};
}

std::string formatUsbIds(UsbIds ids) {
  return fmt::format("{:04x}:{:04x}", ids.vendorId, ids.productId);
}

std::string checkFault(const std::string& fault) {
  const FaultSpec spec = splitFault(fault);
  if (!spec.valid) return fmt::format("\"{}\": the count after = must be a number", fault);
  for (const char* name : kFaultNames) {
    if (spec.name == name) return {};
  }
  return fmt::format("unknown fault \"{}\"", spec.name);
}

DeviceSession::DeviceSession(const DeviceOptions& options, const std::filesystem::path& resourceDir,
                             Console& console)
    : options_(options),
      console_(console),
      ids_(options.ids.value_or(UsbIds{config::kUsbVendorId, config::kUsbProductId})) {
  UsbBackend* backend = nullptr;
  if (options_.simulate) {
    simulated_ = std::make_unique<SimulatedController>();
    applyFault(*simulated_, options_.fault);
    backend = simulated_.get();
    const std::string refusal = splitFault(options_.fault).name;
    if (refusal == "access-denied" || refusal == "busy") {
      refusing_ = std::make_unique<RefusingBackend>(
          *backend, refusal == "access-denied" ? UsbStatus::AccessDenied : UsbStatus::Success,
          refusal == "busy" ? UsbStatus::Busy : UsbStatus::Success);
      backend = refusing_.get();
    }
  } else {
    libusb_ = std::make_unique<LibusbBackend>();
    backend = libusb_.get();
  }
  trace_ = std::make_unique<TraceBackend>(*backend, console_, options_.trace);
  transport_ = std::make_unique<InterfaceAction>(*trace_, ids_.vendorId, ids_.productId);
  // A working copy of our own: the operations that pass a document through
  // the working copy must never reach the editor's.
  privateDir_ = makePrivateDir();
  const std::filesystem::path workingCopy =
      privateDir_.empty() ? std::filesystem::path() : privateDir_ / "temp.plist";
  files_ = std::make_unique<FileAction>(resourceDir, workingCopy);
  pad_ = std::make_unique<PadAction>(*transport_, *files_);
}

DeviceSession::~DeviceSession() {
  pad_.reset();
  files_.reset();
  transport_.reset();
  if (!privateDir_.empty()) {
    std::error_code ec;
    std::filesystem::remove_all(privateDir_, ec);
  }
}

Outcome DeviceSession::start() {
  if (privateDir_.empty()) {
    return Outcome::failure("cannot create a private temporary folder (is TMPDIR writable?)");
  }
  if (simulated_ && !options_.stateFile.empty()) {
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
      "no controller found with USB id {}: is it plugged in? (for other ids use --device "
      "VID:PID)",
      formatUsbIds(ids_));
}

std::string DeviceSession::explain(const std::string& fallback) const {
  const auto access = trace_->accessFailure();
  if (access == UsbStatus::AccessDenied) {
    return fmt::format(
        "no permission to open the controller (USB id {}): install the udev rule "
        "resources/70-padkbd.rules (sudo cp resources/70-padkbd.rules /etc/udev/rules.d/, then "
        "unplug and replug the controller; see README, \"USB access on Linux\")",
        formatUsbIds(ids_));
  }
  if (access == UsbStatus::Busy) {
    return "the controller's interface is busy: another program holds it (close the padkbd "
           "editor or any other program using the keyboard, then try again)";
  }
  if (!fallback.empty()) return fallback;
  return "the controller did not answer";
}

}  // namespace padkbd::cli
