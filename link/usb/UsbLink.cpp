#include "link/usb/UsbLink.h"

#include <algorithm>
#include <iterator>

#include "link/UsbMidi.h"
#include "model/Log.h"

namespace padkbd {
namespace {

// Statuses print as the platform's eight hex digits.
unsigned statusCode(UsbStatus status) {
  return static_cast<unsigned>(static_cast<std::int32_t>(status));
}

// A pipe's direction and transfer type in words, for the verbose log; a
// value outside the lists is shown as such.
const char* directionName(int direction) {
  static constexpr const char* kNames[] = {"out", "in", "none", "any"};
  return direction >= 0 && direction < int(std::size(kNames)) ? kNames[direction] : "???";
}

const char* transferTypeName(int type) {
  static constexpr const char* kNames[] = {"control", "isoc", "bulk", "interrupt"};
  if (type == 255) return "any";
  return type >= 0 && type < int(std::size(kNames)) ? kNames[type] : "???";
}

// Transfers are read a whole packet (the read pipe's packet size) at a time:
// asking for less makes a full packet an overflow, asking for more makes the
// host wait for a short packet that a keyboard sending exactly one packet
// never sends. 64 bytes when the pipe does not say.
constexpr std::size_t kUsualTransfer = 64;
constexpr std::size_t kSmallestTransfer = usbmidi::kPacketSize;
constexpr std::size_t kLargestTransfer = 1024;

Outcome failed(UsbStatus status) {
  return Outcome::failure(usbStatusText(status));
}

}  // namespace

UsbLink::UsbLink(UsbBackend& backend) : backend(backend) {}

UsbLink::~UsbLink() {
  close();
}

std::vector<std::string> UsbLink::find() {
  std::vector<std::string> names;
  std::optional<UsbDevice> found;
  for (const UsbDevice& device : backend.findDevices(ids_.vendorId, ids_.productId)) {
    names.push_back(device.name);
    found = device;  // the last match wins
  }
  currentDevice = std::move(found);
  return names;
}

void UsbLink::close() {
  if (currentInterface == 0) return;
  backend.closeInterface(currentInterface);
  backend.releaseInterface(currentInterface);
  currentInterface = 0;
}

Outcome UsbLink::open() {
  if (!currentDevice) return Outcome::failure(Text(TextId::NoController));
  // A handle still held would keep its claim and block the new one.
  close();

  auto fail = [](OpeningStep step, UsbStatus status) {
    log::diag("无法找到设备接口");
    return openingFailed(step, usbStatusText(status));
  };

  const std::vector<UsbInterfaceInfo> interfaces = backend.listInterfaces(*currentDevice);
  if (interfaces.size() < 2) {
    // There is no second interface to make the plug-in for.
    log::out("Unable to create a plug-in (%08x)\n", statusCode(UsbStatus::NotFound));
    return fail(OpeningStep::Found, UsbStatus::NotFound);
  }
  const UsbInterfaceInfo& info = interfaces[1];

  UsbInterfaceHandle handle = 0;
  const UsbStatus created = backend.createInterface(*currentDevice, info.number, handle);
  if (created != UsbStatus::Success) {
    log::out("Unable to create a plug-in (%08x)\n", statusCode(created));
    if (created == UsbStatus::AccessDenied) {
      log::diag(
          "No permission to use the controller: \"padkbd devices\" prints the udev rule that "
          "allows it (see \"Using your keyboard\" in the README)");
    }
    if (handle != 0) backend.releaseInterface(handle);
    return fail(OpeningStep::Opened, created);
  }
  if (handle == 0) {
    // The backend claimed success but gave no interface.
    log::out("Couldn’t create a device interface for the interface(%08x)\n", statusCode(created));
    return fail(OpeningStep::Opened, UsbStatus::Other);
  }

  log::out("Interface class %d, subclass %d\n", info.interfaceClass, info.interfaceSubClass);

  const UsbStatus opened = backend.openInterface(handle);
  if (opened != UsbStatus::Success) {
    log::out("Unable to open interface (%08x)\n", statusCode(opened));
    if (opened == UsbStatus::Busy) {
      log::diag(
          "Another program holds the controller's interface; close it (for example a MIDI "
          "application) and try again");
    }
    backend.releaseInterface(handle);
    return fail(OpeningStep::Claimed, opened);
  }

  int endpoints = 0;
  const UsbStatus counted = backend.numEndpoints(handle, endpoints);
  if (counted != UsbStatus::Success) {
    log::out("Unable to get number of endpoints (%08x)\n", statusCode(counted));
    backend.closeInterface(handle);
    backend.releaseInterface(handle);
    return fail(OpeningStep::Examined, counted);
  }
  log::out("Interface has %d endpoints\n", endpoints);

  transferSize_ = kUsualTransfer;
  for (int pipe = 1; pipe <= endpoints; ++pipe) {
    UsbPipeProperties properties;
    const UsbStatus status = backend.pipeProperties(handle, pipe, properties);
    if (status != UsbStatus::Success) {
      log::out("Unable to get properties of pipe %d (%08x)\n", pipe, statusCode(status));
      backend.closeInterface(handle);
      backend.releaseInterface(handle);
      return fail(OpeningStep::Examined, status);
    }
    if (pipe == kReadPipe && properties.maxPacketSize > 0) {
      transferSize_ = std::clamp(static_cast<std::size_t>(properties.maxPacketSize),
                                 kSmallestTransfer, kLargestTransfer);
    }
    log::out("PipeRef %d: ", pipe);
    log::out("direction %s, ", directionName(properties.direction));
    log::out("transfer type %s, maxPacketSize %d\n", transferTypeName(properties.transferType),
             properties.maxPacketSize);
  }

  currentInterface = handle;
  return Outcome::success();
}

void UsbLink::pause() {
  if (currentInterface != 0) backend.closeInterface(currentInterface);
}

void UsbLink::resume() {
  if (currentInterface != 0) backend.openInterface(currentInterface);
}

Outcome UsbLink::send(std::span<const std::uint8_t> packets) {
  if (currentInterface == 0) return failed(UsbStatus::NoDevice);
  const UsbStatus status =
      backend.writePipe(currentInterface, kWritePipe, packets.data(), packets.size());
  if (status == UsbStatus::Success) return Outcome::success();
  log::out("Unable to perform bulk write (%08x)\n", statusCode(status));
  close();
  return failed(status);
}

Result<std::size_t> UsbLink::receive(std::span<std::uint8_t> into, Deadline deadline,
                                     const std::atomic<bool>* cancel) {
  if (currentInterface == 0) return failed(UsbStatus::NoDevice);
  const std::size_t capacity = std::min(into.size(), transferSize_);
  // A backend that does not wait (a scripted one) times out only when
  // nothing will come; one that waits is asked in slices.
  const bool waits = backend.waitsForTimeouts();
  for (;;) {
    if (cancel != nullptr && cancel->load()) {
      return Outcome::failure(usbStatusText(UsbStatus::Interrupted));
    }
    const std::chrono::milliseconds left = until(deadline);
    if (left.count() == 0) return std::size_t{0};
    std::size_t received = 0;
    const UsbStatus status = backend.readPipe(currentInterface, kReadPipe, into.data(), capacity,
                                              received, waits ? std::min(left, kReadSlice) : left);
    received = std::min(received, capacity);
    // A full packet that the host calls an overflow, or a time-out that
    // still delivered something, carries packets like any other transfer.
    if (received > 0 && (status == UsbStatus::Success || status == UsbStatus::Overflow ||
                         status == UsbStatus::Timeout)) {
      return received;
    }
    if (status == UsbStatus::Timeout && !waits) return std::size_t{0};
    if (status != UsbStatus::Success && status != UsbStatus::Overflow &&
        status != UsbStatus::Timeout) {
      return failed(status);
    }
  }
}

}  // namespace padkbd
