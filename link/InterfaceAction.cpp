#include "link/InterfaceAction.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "link/UsbMidi.h"
#include "model/Log.h"

namespace padkbd {
namespace {

// The platform's device names are at most 127 bytes; a device cannot flood
// the log with a longer product string.
constexpr std::size_t kMaxNameLength = 127;

// The largest transfer any link delivers (a high-speed bulk packet).
constexpr std::size_t kLargestTransfer = 1024;

// A value reply holds the value at layout offset 14, SysEx byte 10; the
// message must go on past it to its F7.
constexpr std::size_t kValueReplyBytes = 12;

// Hexadecimal, each byte followed by a blank ("04 f0 "): the log's dump form.
std::string hexLine(const std::uint8_t* bytes, std::size_t count) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string line;
  line.reserve(count * 3);
  for (std::size_t i = 0; i < count; ++i) {
    line += {kDigits[bytes[i] >> 4], kDigits[bytes[i] & 0x0F], ' '};
  }
  return line;
}

}  // namespace

std::span<std::uint8_t> InterfaceAction::transferSpan(std::span<std::uint8_t> buffer) const {
  // Whole transfers of the link's size: a bulk read asking for less would
  // make a full packet an overflow.
  return buffer.first(std::min(buffer.size(), link_.transferSize()));
}

InterfaceAction::InterfaceAction(Link& link, KeyboardId keyboard)
    : link_(link), keyboard_(std::move(keyboard)) {
  link_.useKeyboard(keyboard_);
}

InterfaceAction::~InterfaceAction() {
  link_.close();
}

void InterfaceAction::setKeyboard(const KeyboardId& keyboard) {
  keyboard_ = keyboard;
  link_.useKeyboard(keyboard_);
}

Outcome InterfaceAction::FindDevice() {
  const std::vector<std::string> found = link_.find();
  for (const std::string& name : found) {
    log::diag("Found device with name:%s", name.substr(0, kMaxNameLength));
  }
  currentDevice = !found.empty();
  if (currentDevice) return Outcome::success();
  log::diag("无法找到匹配的设备");
  if (!keyboard_.port.empty()) return Outcome::failure(Text(TextId::NoPortNamed, {keyboard_.port}));
  return Outcome::failure(Text(TextId::NoControllerWithIds, {formatUsbIds(keyboard_.usb)}));
}

Outcome InterfaceAction::CreateInterface() {
  if (!currentDevice) return Outcome::failure(Text(TextId::NoController));
  Outcome opened = link_.open();
  open_ = opened.ok();
  return opened;
}

Outcome InterfaceAction::WriteToDeviceWithChar(const std::uint8_t* bytes, std::int32_t size) {
  const auto failed = [](const Outcome& why) { return why.as(TextId::WriteFailed); };
  if (!open_) return failed(Outcome::failure(linkreason::kGone));
  if (size < 0 || (bytes == nullptr && size > 0)) {
    return failed(Outcome::failure(Text(TextId::UsbInvalidParameter)));
  }
  if (cancelled()) return failed(Outcome::failure(linkreason::kInterrupted));

  const auto count = static_cast<std::size_t>(size);
  const Outcome sent = link_.send({bytes, count});
  if (!sent) {
    // A link that lost its pipe closed itself.
    open_ = link_.isOpen();
    replyDeadline_.reset();
  } else {
    // The reply to this request must come within the read limit from now.
    replyDeadline_ = LinkClock::now() + readLimit_;
    if (onWrite_) onWrite_();
  }

  if (log::detailed() && log::enabled(log::Channel::Diagnostic)) log::diag(hexLine(bytes, count));
  log::detailOut("Wrote %d bytes to bulk endpoint\n", size);
  return sent ? Outcome::success() : failed(sent);
}

bool InterfaceAction::accepts(Reply kind, const std::uint8_t* sysex, std::size_t size) const {
  if (kind == Reply::AnySysEx) return true;
  // This manufacturer's message, long enough to hold a value; nothing else
  // of it is examined.
  return size >= kValueReplyBytes && sysex[1] == keyboard_.manufacturer[0] &&
         sysex[2] == keyboard_.manufacturer[1] && sysex[3] == keyboard_.manufacturer[2];
}

Result<std::size_t> InterfaceAction::readReply(Reply kind) {
  if (!open_) return noReply(Outcome::failure(linkreason::kGone));
  // A read without a request of its own waits its own read limit.
  const Link::Deadline deadline = replyDeadline_ ? *replyDeadline_ : LinkClock::now() + readLimit_;
  replyDeadline_.reset();

  assembler_.reset();
  std::array<std::uint8_t, kLargestTransfer> transfer;
  std::size_t replySize = 0;
  while (replySize == 0) {
    // The deadline bounds the whole wait, however much traffic keeps coming.
    const Result<std::size_t> received =
        until(deadline).count() == 0 ? Result<std::size_t>(std::size_t{0})
                                     : link_.receive(transferSpan(transfer), deadline, cancel_);
    if (!received) return noReply(received.outcome());
    if (*received == 0) {
      // Whatever comes after the wait ended answers no later request.
      drainInput(true);
      return noReply(Outcome::failure(linkreason::kTimedOut));
    }
    assembler_.feed(std::span<const std::uint8_t>(transfer.data(), *received),
                    [&](std::span<const std::uint8_t> message) {
                      if (!accepts(kind, message.data(), message.size())) return false;
                      // Laid out as if it had come alone: the value stays at
                      // byte 14. Byte 63 is never written.
                      replySize = usbmidi::packetsFromSysEx(
                          message, std::span<std::uint8_t>(receiveBuffer_.data(), kReadSize));
                      return true;
                    });
  }
  return replySize;
}

Result<std::size_t> InterfaceAction::noReply(const Outcome& why) {
  return why.as(TextId::NoReply);
}

void InterfaceAction::drainInput(bool awaitLateReply) {
  if (!open_) return;
  const Link::Deadline end = LinkClock::now() + kDrainLimit;
  std::array<std::uint8_t, kLargestTransfer> transfer;
  std::size_t drained = 0;
  while (until(end).count() > 0 && !cancelled()) {
    const Result<std::size_t> received = link_.receive(
        transferSpan(transfer), std::min(end, LinkClock::now() + kDrainSlice), cancel_);
    if (!received) break;
    drained += *received;
    // A quiet slice ends the drain, unless a late reply is still on its way
    // (a link that does not wait says by its silence that none is).
    if (*received == 0 && !(awaitLateReply && link_.waits())) break;
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
  if (!log::detailed()) return read;
  if (open_ && log::enabled(log::Channel::Output)) {
    log::out("Read \"%s\" (%u bytes) from bulk endpoint\n", bufferText(),
             static_cast<unsigned>(read ? *read : 0));
  }
  if (log::enabled(log::Channel::Diagnostic)) log::diag(bufferHexLine());
  return read;
}

Result<std::int8_t> InterfaceAction::ReadValueFromDevice() {
  const Result<std::size_t> read = readReply(Reply::Value);
  if (open_ && log::detailed()) {
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
  if (open_ && log::detailed()) {
    if (log::enabled(log::Channel::Output)) {
      log::out("Read \"%s\" (%u bytes) from bulk endpoint\n", bufferText(),
               static_cast<unsigned>(read ? *read : 0));
    }
    if (log::enabled(log::Channel::Diagnostic)) log::diag("readversion  %s", bufferHexLine());
  }
  if (!read) return read.outcome();
  if (*read < least) {
    return Result<std::array<std::string, 11>>::failure(
        Text(TextId::ReplyTooShort, {*read, least}));
  }
  std::array<std::string, 11> strings;
  for (std::size_t i = 0; i < strings.size(); ++i) {
    strings[i] = hexLine(&receiveBuffer_[i], 1).substr(0, 2);
  }
  return strings;
}

void InterfaceAction::openInterface() {
  link_.resume();
}

void InterfaceAction::closeInterface() {
  link_.pause();
}

void InterfaceAction::KillInterface() {
  link_.close();
  open_ = false;
}

bool InterfaceAction::hasDevice() const {
  return currentDevice;
}
bool InterfaceAction::hasInterface() const {
  return open_;
}
const std::array<std::uint8_t, InterfaceAction::kReceiveBufferSize>&
InterfaceAction::receiveBuffer() const {
  return receiveBuffer_;
}

}  // namespace padkbd
