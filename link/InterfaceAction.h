// The transport above every link: finds and opens the controller through its
// link, writes requests and reads replies. State: whether the controller was
// found, and one shared 64-byte receive buffer that replies fill from the
// start and never clear.
//
// What a link delivers is a stream of USB-MIDI event packets: besides its replies a
// keyboard sends notes, pressure, clock and padding, and may split a reply
// over several transfers. A read therefore takes transfers until a whole
// SysEx message that is a reply has arrived, and lays that reply out in the
// receive buffer as if it had come alone in one transfer. The wait for one
// reply is bounded as a whole by the read limit, counted from the request.
#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>

#include "link/Link.h"
#include "link/UsbMidi.h"
#include "model/KeyboardId.h"
#include "model/Outcome.h"

namespace padkbd {

class InterfaceAction {
 public:
  static constexpr std::size_t kReceiveBufferSize = 64;
  static constexpr std::size_t kReadSize = 63;  // byte 63 stays zero
  // How long a reply may take, from its request. Long enough for a keyboard
  // busy storing a slot, short enough that one that never answers does not
  // hold the program.
  static constexpr std::chrono::milliseconds kReadLimit{1000};
  // Input left in the pipe is drained in slices of kDrainSlice, for at most
  // kDrainLimit in all (a keyboard sending clock never falls silent).
  static constexpr std::chrono::milliseconds kDrainSlice{10};
  static constexpr std::chrono::milliseconds kDrainLimit{200};

  // The link must outlive this object.
  explicit InterfaceAction(Link& link, KeyboardId keyboard = builtInKeyboard());
  // Closes a link still open.
  ~InterfaceAction();
  InterfaceAction(const InterfaceAction&) = delete;
  InterfaceAction& operator=(const InterfaceAction&) = delete;

  // The keyboard FindDevice looks for and whose replies reads accept.
  void setKeyboard(const KeyboardId& keyboard);
  const KeyboardId& keyboard() const { return keyboard_; }
  std::uint16_t searchVendorId() const { return keyboard_.usb.vendorId; }
  std::uint16_t searchProductId() const { return keyboard_.usb.productId; }
  void setReadLimit(std::chrono::milliseconds limit) { readLimit_ = limit; }
  // A flag another thread may set to stop the exchange: from then on reads
  // and writes fail at once, cancelled (the link stays as it is).
  void setCancelFlag(const std::atomic<bool>* flag) { cancel_ = flag; }
  bool cancelled() const { return cancel_ != nullptr && cancel_->load(); }
  // Called after every write the keyboard took (progress of long exchanges).
  void setOnWrite(std::function<void()> onWrite) { onWrite_ = std::move(onWrite); }

  // Each of these says why when it fails ("no controller found (USB
  // 1209:0001)", "no reply (timeout)", "the write failed (no device)").
  Outcome FindDevice();
  Outcome CreateInterface();
  Outcome WriteToDeviceWithChar(const std::uint8_t* bytes, std::int32_t size);
  // The next SysEx message, whatever it is: the count laid out in the buffer.
  Result<std::size_t> ReadFromDevice();
  // The next value reply: a SysEx message of this keyboard's manufacturer long
  // enough to hold a value; other SysEx messages are passed by. Byte 14.
  Result<std::int8_t> ReadValueFromDevice();
  // The next SysEx message, of at least `least` bytes, as the 11 reply
  // strings of the handshake.
  Result<std::array<std::string, 11>> ReadVersionFromDevice(std::size_t least = 0);
  // Reads and throws away whatever the pipe still holds (a reply that came
  // too late, traffic), waiting at most kDrainLimit. It stops at the first
  // quiet slice, unless it awaits the late reply to a request given up on:
  // then it waits out the limit, so that the reply answers no later request.
  void drainInput(bool awaitLateReply = false);
  // Between exchanges others may have the keyboard (closeInterface);
  // openInterface takes it back. KillInterface closes the link.
  void openInterface();
  void closeInterface();
  void KillInterface();

  bool hasDevice() const;
  bool hasInterface() const;
  const std::array<std::uint8_t, kReceiveBufferSize>& receiveBuffer() const;
  Link& link() { return link_; }
  const Link& link() const { return link_; }
  // Whether the last look for the keyboard found it.
  bool found() const { return currentDevice; }

 private:
  enum class Reply { AnySysEx, Value };
  // Reads transfers until a reply of this kind is whole, then lays it out at
  // the start of the receive buffer. Returns the count laid out (0 when no
  // reply came in time, the read failed or there is no interface; the buffer
  // is untouched then).
  Result<std::size_t> readReply(Reply kind);
  static Result<std::size_t> noReply(const Outcome& why);
  std::span<std::uint8_t> transferSpan(std::span<std::uint8_t> buffer) const;
  bool accepts(Reply kind, const std::uint8_t* sysex, std::size_t size) const;
  std::string bufferHexLine() const;
  std::string bufferText() const;

  Link& link_;
  KeyboardId keyboard_;
  bool currentDevice = false;  // the controller was found
  // The link is open: kept here, as asking the link costs a lock on the way
  // of every exchange.
  bool open_ = false;
  usbmidi::SysExAssembler assembler_;
  std::array<std::uint8_t, kReceiveBufferSize> receiveBuffer_{};
  std::chrono::milliseconds readLimit_ = kReadLimit;
  const std::atomic<bool>* cancel_ = nullptr;
  std::function<void()> onWrite_;
  // When the reply to the last request must have come (monotonic time); none
  // once it came.
  std::optional<Link::Deadline> replyDeadline_;
};

}  // namespace padkbd
