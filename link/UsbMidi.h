// USB-MIDI event packets: every bulk transfer carries zero or more 4-byte
// packets, byte 0 holding the cable number (high four bits) and the code index
// number (CIN, low four bits), bytes 1-3 the MIDI bytes. A keyboard puts its
// SysEx replies on the same pipe as notes, pressure, clock and padding, may
// split a reply over several transfers and may use any cable; the assembler
// here joins SysEx messages and passes everything else by.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "model/ChannelMessage.h"

namespace padkbd::usbmidi {

inline constexpr std::size_t kPacketSize = 4;
inline constexpr std::uint8_t kSysExStart = 0xF0;
inline constexpr std::uint8_t kSysExEnd = 0xF7;
inline constexpr std::uint8_t kRealTime = 0xF8;  // F8-FF: may come between any two bytes

// Code index numbers of SysEx packets.
inline constexpr std::uint8_t kCinSysExContinues = 0x4;
inline constexpr std::uint8_t kCinSysExEnds1 = 0x5;
inline constexpr std::uint8_t kCinSysExEnds2 = 0x6;
inline constexpr std::uint8_t kCinSysExEnds3 = 0x7;
// A single byte: real-time, or any byte of a stream sent one at a time.
inline constexpr std::uint8_t kCinSingleByte = 0xF;

constexpr std::uint8_t cable(std::uint8_t header) {
  return header >> 4;
}
constexpr std::uint8_t codeIndex(std::uint8_t header) {
  return header & 0x0F;
}

// How many MIDI bytes a packet with this code index number carries (0 for
// the reserved numbers 0 and 1, which in practice are padding).
constexpr std::size_t bytesCarried(std::uint8_t cin) {
  constexpr std::array<std::uint8_t, 16> kCarried = {0, 0, 2, 3, 3, 1, 2, 3,
                                                     3, 3, 3, 3, 2, 2, 3, 1};
  return kCarried[cin & 0x0F];
}

// The packets of one SysEx message (F0 ... F7) on cable 0, by the cutting
// rule: three bytes a packet with CIN 4 while more than three remain, then
// CIN 5, 6 or 7 with the last one, two or three. Every packet is whole
// (four bytes). Empty for a message that does not start with F0 and end
// with F7.
std::vector<std::uint8_t> packetsFromSysEx(std::span<const std::uint8_t> sysex);
// The same into `out`, as much as fits; returns the count written.
std::size_t packetsFromSysEx(std::span<const std::uint8_t> sysex, std::span<std::uint8_t> out);

// The packets of any one MIDI message on cable 0: a SysEx message by the
// cutting rule above, any other (channel, system common, real-time) in one
// packet whose code index number follows its status byte. Empty for bytes
// that are no message.
std::vector<std::uint8_t> packetsFromMessage(std::span<const std::uint8_t> message);

// Whether a packet carries bytes of a SysEx message (or a byte that breaks
// one), by its code index number and first MIDI byte. The others (channel
// messages, system common and real-time messages in packets of their own)
// pass by whatever is in progress.
constexpr bool carriesSysEx(std::uint8_t cin, std::uint8_t first) {
  switch (cin) {
    case kCinSysExContinues:
    case kCinSysExEnds2:
    case kCinSysExEnds3:
      return true;
    case kCinSysExEnds1:  // unless a system message of its own (F6, real-time)
      return first < 0xF1 || first == kSysExEnd;
    case kCinSingleByte:  // all but real-time bytes are of the stream
      return first < kRealTime;
    default:
      return false;
  }
}

// Joins the SysEx messages carried by a stream of transfers, whether in
// packets of three bytes or a byte a packet (CIN F), or both mixed. Each
// cable has its own message in progress. Padding and messages in packets of
// their own (channel, system common, real-time) pass by without disturbing
// it, as do real-time bytes anywhere. A new F0 cuts a message off; a status
// byte inside it or an end packet whose last byte is not F7 breaks it; one
// longer than kMaxMessage is dropped up to its F7. Either way the next
// message is taken whole.
class SysExAssembler {
 public:
  static constexpr std::size_t kMaxMessage = 256;

  // Feeds one transfer. For each whole message, `found(std::span<const
  // std::uint8_t> message)` is called with its bytes from F0 to F7; when it
  // returns true the rest of the transfer is left unread and feed returns
  // true. A last packet cut short is taken if it holds the bytes its code
  // index number carries.
  template <typename Found>
  bool feed(std::span<const std::uint8_t> transfer, Found&& found) {
    for (std::size_t at = 0; at < transfer.size(); at += kPacketSize) {
      const std::uint8_t header = transfer[at];
      const std::uint8_t cin = codeIndex(header);
      const std::size_t carried = bytesCarried(cin);
      if (carried == 0 || at + 1 + carried > transfer.size()) continue;
      const std::span<const std::uint8_t> bytes = transfer.subspan(at + 1, carried);
      const int fast = common(header, bytes);
      if (fast == 1 || (fast == 0 && !carriesSysEx(cin, bytes[0]))) continue;
      Partial& partial = partials_[cable(header)];
      if (fast == 2) {
        if (whole(partial, found)) return true;
        continue;
      }
      const bool ends = cin >= kCinSysExEnds1 && cin <= kCinSysExEnds3;
      for (std::size_t i = 0; i < carried; ++i) {
        if (take(partial, bytes[i], ends && i + 1 == carried) && whole(partial, found)) return true;
      }
    }
    return false;
  }

  // Forgets every message in progress.
  void reset();

  // Every MIDI message a transfer carries, in order: SysEx messages once
  // whole (joined over packets and transfers), the others (notes, clock)
  // as they come. `message(std::span<const std::uint8_t>)` gets each. A
  // byte sent alone that belongs to a SysEx message is no message of its
  // own. A last packet cut short counts as in feed (the protocol's own read
  // request ends so).
  template <typename Message>
  void forEachMessage(std::span<const std::uint8_t> transfer, Message&& message) {
    for (std::size_t at = 0; at < transfer.size(); at += kPacketSize) {
      const std::span<const std::uint8_t> packet =
          transfer.subspan(at, std::min(kPacketSize, transfer.size() - at));
      const std::uint8_t cin = codeIndex(packet[0]);
      const std::size_t carried = bytesCarried(cin);
      if (carried == 0 || 1 + carried > packet.size()) continue;
      const std::uint8_t first = packet[1];
      const Partial& partial = partials_[cable(packet[0])];
      const bool sysex = carriesSysEx(cin, first);
      // A status byte sent alone is a message (and breaks a SysEx message);
      // a data byte is one unless a SysEx message holds it.
      if (!sysex ||
          (cin == kCinSingleByte && (first >= 0x80 ? first != kSysExStart && first != kSysExEnd
                                                   : partial.size == 0 && !partial.dropping))) {
        message(packet.subspan(1, carried));
      }
      if (sysex) {
        feed(packet, [&message](std::span<const std::uint8_t> whole) {
          message(whole);
          return false;
        });
      }
    }
  }

 private:
  // Fixed storage: a read takes hundreds of replies, none of which should
  // cost an allocation.
  struct Partial {
    std::array<std::uint8_t, kMaxMessage> bytes;  // from F0
    std::size_t size = 0;                         // 0: no message in progress
    bool dropping = false;                        // skipping the rest of an overlong message
  };
  // The common cases, taken inline: a message starting, going on, or ending
  // with three well-formed bytes. 1: taken, 2: the message is whole, 0: not
  // a common case (take() decides).
  int common(std::uint8_t header, std::span<const std::uint8_t> bytes) {
    const std::uint8_t cin = codeIndex(header);
    if (cin != kCinSysExContinues && cin != kCinSysExEnds3) return 0;
    Partial& partial = partials_[cable(header)];
    const bool starts = cin == kCinSysExContinues && bytes[0] == kSysExStart;
    if (!starts && partial.size == 0) return 0;
    if (partial.size + 4 > kMaxMessage) return 0;
    const bool ends = cin == kCinSysExEnds3;
    if (((starts ? 0 : bytes[0]) | bytes[1] | (ends ? 0 : bytes[2])) & 0x80) return 0;
    if (ends && bytes[2] != kSysExEnd) return 0;
    if (starts) {
      partial.size = 0;
      partial.dropping = false;
      touched_ = static_cast<std::uint16_t>(touched_ | (1u << cable(header)));
    }
    partial.bytes[partial.size] = bytes[0];
    partial.bytes[partial.size + 1] = bytes[1];
    partial.bytes[partial.size + 2] = bytes[2];
    partial.size += 3;
    return ends ? 2 : 1;
  }
  // Hands out a whole message and forgets it; true when it was the one sought.
  template <typename Found>
  static bool whole(Partial& partial, Found& found) {
    const bool accepted = found(std::span<const std::uint8_t>(partial.bytes.data(), partial.size));
    partial.size = 0;
    return accepted;
  }
  // Adds one byte of the stream; `last` when it ends an end packet (CIN
  // 5-7). True when the message is now whole.
  bool take(Partial& partial, std::uint8_t byte, bool last);

  std::array<Partial, 16> partials_;
  std::uint16_t touched_ = 0;  // cables whose Partial reset() must clear
};

// The channel messages read off the packets are the model's.
using padkbd::ChannelMessage;
using padkbd::dataBytes;

// Finds the channel messages in a stream of transfers: in packets of their
// own (code index numbers 8-E), or a byte a packet (F), running status
// included. SysEx, system common and real-time messages, padding and
// packets whose bytes do not make a message pass by. Each cable has its
// own running status.
class ChannelReader {
 public:
  template <typename Each>
  void feed(std::span<const std::uint8_t> transfer, Each&& each) {
    for (std::size_t at = 0; at + kPacketSize <= transfer.size(); at += kPacketSize) {
      const std::uint8_t header = transfer[at];
      const std::uint8_t cin = codeIndex(header);
      const std::uint8_t* bytes = &transfer[at + 1];
      if (cin >= 0x8 && cin <= 0xE) {
        if (ChannelMessage message; whole(header, bytes, message)) each(message);
      } else if (cin == kCinSingleByte) {
        if (ChannelMessage message; take(cable(header), bytes[0], message)) each(message);
      }
    }
  }

  // Forgets the running status of every cable.
  void reset() { streams_ = {}; }

 private:
  struct Stream {
    std::uint8_t status = 0;  // 0: none running
    std::uint8_t data[2] = {};
    std::size_t count = 0;
  };
  // A packet holding one whole message, its status matching its code index.
  static bool whole(std::uint8_t header, const std::uint8_t* bytes, ChannelMessage& message);
  // One byte of a stream sent a byte a packet; true when it ends a message.
  bool take(std::uint8_t cable, std::uint8_t byte, ChannelMessage& message);

  std::array<Stream, 16> streams_{};
};

}  // namespace padkbd::usbmidi
