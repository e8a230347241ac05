#include "usb/InterfaceAction.h"

#include <time.h>

#include <algorithm>
#include <cstring>
#include <exception>
#include <vector>

#include "model/Log.h"
#include "usb/UsbMidi.h"

namespace padkbd {
namespace {

// Statuses print as the platform's eight hex digits.
unsigned statusCode(UsbStatus status) {
  return static_cast<unsigned>(static_cast<std::int32_t>(status));
}

const char* directionName(int direction) {
  switch (direction) {
    case 0:
      return "out";
    case 1:
      return "in";
    case 2:
      return "none";
    case 3:
      return "any";
    default:
      return "???";
  }
}

const char* transferTypeName(int type) {
  switch (type) {
    case 0:
      return "control";
    case 1:
      return "isoc";
    case 2:
      return "bulk";
    case 3:
      return "interrupt";
    case 255:
      return "any";
    default:
      return "???";
  }
}

// The platform's device names are at most 127 bytes; a device cannot flood
// the log with a longer product string.
constexpr std::size_t kMaxNameLength = 127;

// Transfers are read a whole packet (the read pipe's packet size) at a time:
// asking for less makes a full packet an overflow, asking for more makes the
// host wait for a short packet that a keyboard sending exactly one packet
// never sends. 64 bytes when the pipe does not say.
constexpr std::size_t kUsualTransfer = 64;
constexpr std::size_t kSmallestTransfer = usbmidi::kPacketSize;
constexpr std::size_t kLargestTransfer = 1024;

// A value reply holds the value at layout offset 14, SysEx byte 10; the
// message must go on past it to its F7.
constexpr std::size_t kValueReplyBytes = 12;

// Hexadecimal, each byte followed by a blank ("04 f0 "): the log's dump form.
std::string hexLine(const std::uint8_t* bytes, std::size_t count) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string line(count * 3, ' ');
  for (std::size_t i = 0; i < count; ++i) {
    line[3 * i] = kDigits[bytes[i] >> 4];
    line[3 * i + 1] = kDigits[bytes[i] & 0x0F];
  }
  return line;
}

// Time limits of a second need no finer clock than the kernel's coarse one,
// which costs a fraction of the precise one: a read asks for the time once
// per transfer.
struct Clock {
  using duration = std::chrono::nanoseconds;
  using time_point = std::chrono::time_point<Clock, duration>;
  static time_point now() {
#ifdef CLOCK_MONOTONIC_COARSE
    timespec ts{};
    ::clock_gettime(CLOCK_MONOTONIC_COARSE, &ts);
    return time_point(std::chrono::seconds(ts.tv_sec) + std::chrono::nanoseconds(ts.tv_nsec));
#else
    return time_point(
        std::chrono::duration_cast<duration>(std::chrono::steady_clock::now().time_since_epoch()));
#endif
  }
};

std::chrono::milliseconds until(Clock::time_point deadline) {
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
  return std::max(left, std::chrono::milliseconds{0});
}

}  // namespace

InterfaceAction::InterfaceAction(UsbBackend& backend, KeyboardId keyboard)
    : backend(backend), keyboard_(std::move(keyboard)) {
  backend.useKeyboard(keyboard_);
}

InterfaceAction::~InterfaceAction() {
  if (currentInterface != 0) backend.releaseInterface(currentInterface);
}

void InterfaceAction::setKeyboard(const KeyboardId& keyboard) {
  keyboard_ = keyboard;
  backend.useKeyboard(keyboard_);
}

Outcome InterfaceAction::FindDevice() {
  try {
    std::optional<UsbDevice> found;
    for (const UsbDevice& device :
         backend.findDevices(keyboard_.usb.vendorId, keyboard_.usb.productId)) {
      log::diag("Found device with name:%s", device.name.substr(0, kMaxNameLength));
      found = device;  // the last match wins
    }
    currentDevice = std::move(found);
    if (currentDevice) return Outcome::success();
    log::diag("无法找到匹配的设备");
  } catch (...) {
    currentDevice.reset();
  }
  if (!keyboard_.port.empty()) {
    return Outcome::failure(fmt::format("no MIDI port named \"{}\" found", keyboard_.port));
  }
  return Outcome::failure(fmt::format("no controller found (USB {})", formatUsbIds(keyboard_.usb)));
}

void InterfaceAction::dropInterface() {
  if (currentInterface == 0) return;
  backend.closeInterface(currentInterface);
  backend.releaseInterface(currentInterface);
  currentInterface = 0;
}

Outcome InterfaceAction::CreateInterface() {
  if (!currentDevice) return Outcome::failure("no controller found");
  // A handle still held would keep its claim and block the new one.
  dropInterface();

  auto fail = [](const char* what, UsbStatus status) {
    log::diag("无法找到设备接口");
    return Outcome::failure(fmt::format("the controller's interface could not be {} ({})", what,
                                        usbStatusName(status)));
  };

  const std::vector<UsbInterfaceInfo> interfaces = backend.listInterfaces(*currentDevice);
  if (interfaces.size() < 2) {
    // There is no second interface to make the plug-in for.
    log::out("Unable to create a plug-in (%08x)\n", statusCode(UsbStatus::NotFound));
    return fail("found", UsbStatus::NotFound);
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
    return fail("opened", created);
  }
  if (handle == 0) {
    // The backend claimed success but gave no interface.
    log::out("Couldn’t create a device interface for the interface(%08x)\n", statusCode(created));
    return fail("opened", UsbStatus::Other);
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
    return fail("claimed", opened);
  }

  int endpoints = 0;
  const UsbStatus counted = backend.numEndpoints(handle, endpoints);
  if (counted != UsbStatus::Success) {
    log::out("Unable to get number of endpoints (%08x)\n", statusCode(counted));
    backend.closeInterface(handle);
    backend.releaseInterface(handle);
    return fail("examined", counted);
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
      return fail("examined", status);
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

Outcome InterfaceAction::WriteToDeviceWithChar(const std::uint8_t* bytes, std::int32_t size) {
  const auto failed = [](UsbStatus status) {
    return Outcome::failure(fmt::format("the write failed ({})", usbStatusName(status)));
  };
  if (currentInterface == 0) return failed(UsbStatus::NoDevice);
  if (size < 0 || (bytes == nullptr && size > 0)) return failed(UsbStatus::InvalidParameter);
  if (cancelled()) return failed(UsbStatus::Interrupted);

  const auto count = static_cast<std::size_t>(size);
  const UsbStatus status = backend.writePipe(currentInterface, kWritePipe, bytes, count);
  if (status != UsbStatus::Success) {
    log::out("Unable to perform bulk write (%08x)\n", statusCode(status));
    dropInterface();
    replyDeadline_.reset();
  } else {
    // The reply to this request must come within the read limit from now.
    replyDeadline_ = (Clock::now() + readLimit_).time_since_epoch();
    if (onWrite_) onWrite_();
  }

  if (log::enabled(log::Channel::Diagnostic)) log::diag(hexLine(bytes, count));
  log::out("Wrote %d bytes to bulk endpoint\n", size);
  return status == UsbStatus::Success ? Outcome::success() : failed(status);
}

bool InterfaceAction::accepts(Reply kind, const std::uint8_t* sysex, std::size_t size) const {
  if (kind == Reply::AnySysEx) return true;
  // This manufacturer's message, long enough to hold a value; nothing else
  // of it is examined.
  return size >= kValueReplyBytes && sysex[1] == keyboard_.manufacturer[0] &&
         sysex[2] == keyboard_.manufacturer[1] && sysex[3] == keyboard_.manufacturer[2];
}

Result<std::size_t> InterfaceAction::readReply(Reply kind) {
  if (currentInterface == 0) return noReply(UsbStatus::NoDevice);
  // A read without a request of its own waits its own read limit.
  const Clock::time_point deadline =
      replyDeadline_ ? Clock::time_point(*replyDeadline_) : Clock::now() + readLimit_;
  replyDeadline_.reset();

  assembler_.reset();
  std::array<std::uint8_t, kLargestTransfer> transfer;
  std::size_t replySize = 0;
  UsbStatus status = UsbStatus::Timeout;
  // A backend that does not wait (the simulated keyboard) times out only
  // when nothing will come; one that waits is asked in slices.
  const bool waits = backend.waitsForTimeouts();
  while (replySize == 0) {
    if (cancelled()) {
      status = UsbStatus::Interrupted;
      break;
    }
    const std::chrono::milliseconds left = until(deadline);
    if (left.count() == 0) {
      status = UsbStatus::Timeout;
      break;
    }
    std::size_t received = 0;
    status = backend.readPipe(currentInterface, kReadPipe, transfer.data(), transferSize_, received,
                              waits ? std::min(left, kReadSlice) : left);
    received = std::min(received, transferSize_);
    // A full packet that the host calls an overflow, or a time-out that
    // still delivered something, carries packets like any other transfer.
    const bool carries = status == UsbStatus::Success || status == UsbStatus::Overflow ||
                         (status == UsbStatus::Timeout && received > 0);
    if (!carries && status == UsbStatus::Timeout && waits) continue;  // the deadline decides
    if (!carries) break;
    assembler_.feed(std::span<const std::uint8_t>(transfer.data(), received),
                    [&](std::span<const std::uint8_t> message) {
                      if (!accepts(kind, message.data(), message.size())) return false;
                      // Laid out as if it had come alone: the value stays at
                      // byte 14. Byte 63 is never written.
                      replySize = usbmidi::packetsFromSysEx(
                          message, std::span<std::uint8_t>(receiveBuffer_.data(), kReadSize));
                      return true;
                    });
    if (status == UsbStatus::Timeout && replySize == 0 && !waits) break;
  }

  if (replySize == 0) {
    if (status == UsbStatus::Success) status = UsbStatus::Timeout;
    // Whatever comes after the wait ended answers no later request.
    if (status == UsbStatus::Timeout) drainInput(true);
    return noReply(status);
  }
  return replySize;
}

Result<std::size_t> InterfaceAction::noReply(UsbStatus status) {
  return Result<std::size_t>::failure(fmt::format("no reply ({})", usbStatusName(status)));
}

void InterfaceAction::drainInput(bool awaitLateReply) {
  if (currentInterface == 0) return;
  const Clock::time_point end = Clock::now() + kDrainLimit;
  std::array<std::uint8_t, kLargestTransfer> transfer;
  std::size_t drained = 0;
  for (std::chrono::milliseconds left = until(end); left.count() > 0 && !cancelled();
       left = until(end)) {
    std::size_t received = 0;
    const UsbStatus status = backend.readPipe(currentInterface, kReadPipe, transfer.data(),
                                              transferSize_, received, std::min(left, kDrainSlice));
    drained += std::min(received, transferSize_);
    const bool quiet = status == UsbStatus::Timeout && backend.waitsForTimeouts();
    if (quiet && awaitLateReply) continue;
    if (status != UsbStatus::Success && status != UsbStatus::Overflow) break;
  }
  if (drained != 0) log::diag("dropped %u bytes of old input", static_cast<unsigned>(drained));
}

std::string InterfaceAction::bufferHexLine() const {
  return hexLine(receiveBuffer_.data(), receiveBuffer_.size());
}

std::string InterfaceAction::bufferText() const {
  // Byte 63 is always zero, so the text always ends inside the buffer. What a
  // device sends reaches a terminal only as printable ASCII.
  std::string text;
  for (std::uint8_t byte : receiveBuffer_) {
    if (byte == 0) break;
    if (byte >= 0x20 && byte < 0x7F && byte != '\\') {
      text.push_back(static_cast<char>(byte));
    } else {
      text += fmt::format("\\x{:02x}", byte);
    }
  }
  return text;
}

Result<std::size_t> InterfaceAction::ReadFromDevice() {
  const Result<std::size_t> read = readReply(Reply::AnySysEx);
  if (currentInterface != 0 && log::enabled(log::Channel::Output)) {
    log::out("Read \"%s\" (%u bytes) from bulk endpoint\n", bufferText(),
             static_cast<unsigned>(read ? *read : 0));
  }
  if (log::enabled(log::Channel::Diagnostic)) log::diag(bufferHexLine());
  return read;
}

Result<std::int8_t> InterfaceAction::ReadValueFromDevice() {
  const Result<std::size_t> read = readReply(Reply::Value);
  if (currentInterface != 0) {
    log::out("Read %u bytes from bulk endpoint\n", static_cast<unsigned>(read ? *read : 0));
    if (log::enabled(log::Channel::Diagnostic)) {
      log::diag("ReadValueFromDevice %s", bufferHexLine());
    }
  }
  if (!read) return read.outcome();
  return static_cast<std::int8_t>(receiveBuffer_[14]);
}

Result<std::array<std::string, 11>> InterfaceAction::ReadVersionFromDevice(std::size_t least) {
  const Result<std::size_t> read = readReply(Reply::AnySysEx);
  if (currentInterface != 0) {
    if (log::enabled(log::Channel::Output)) {
      log::out("Read \"%s\" (%u bytes) from bulk endpoint\n", bufferText(),
               static_cast<unsigned>(read ? *read : 0));
    }
    if (log::enabled(log::Channel::Diagnostic)) log::diag("readversion  %s", bufferHexLine());
  }
  if (!read) return read.outcome();
  if (*read < least) {
    return Result<std::array<std::string, 11>>::failure(
        fmt::format("a reply of {} bytes, {} are needed", *read, least));
  }
  std::array<std::string, 11> strings;
  for (std::size_t i = 0; i < strings.size(); ++i) {
    strings[i] = hexLine(&receiveBuffer_[i], 1).substr(0, 2);
  }
  return strings;
}

void InterfaceAction::openInterface() {
  if (currentInterface != 0) backend.openInterface(currentInterface);
}

void InterfaceAction::closeInterface() {
  if (currentInterface != 0) backend.closeInterface(currentInterface);
}

void InterfaceAction::KillInterface() {
  dropInterface();
}

bool InterfaceAction::hasDevice() const {
  return currentDevice.has_value();
}
bool InterfaceAction::hasInterface() const {
  return currentInterface != 0;
}
const std::array<std::uint8_t, InterfaceAction::kReceiveBufferSize>&
InterfaceAction::receiveBuffer() const {
  return receiveBuffer_;
}

}  // namespace padkbd
