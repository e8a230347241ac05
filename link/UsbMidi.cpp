#include "link/UsbMidi.h"

#include <algorithm>

namespace padkbd::usbmidi {

std::size_t packetsFromSysEx(std::span<const std::uint8_t> sysex, std::span<std::uint8_t> out) {
  if (sysex.size() < 2 || sysex.front() != kSysExStart || sysex.back() != kSysExEnd) return 0;
  // A packet at a time, as much of it as fits: every reply read is laid out
  // so, and the loop is on the way of each.
  std::size_t written = 0;
  for (std::size_t at = 0; at < sysex.size() && written < out.size();) {
    const std::size_t left = sysex.size() - at;
    const std::size_t carried = std::min<std::size_t>(left, 3);
    const std::uint8_t packet[kPacketSize] = {
        static_cast<std::uint8_t>(left > 3 ? kCinSysExContinues : kCinSysExEnds1 + left - 1),
        sysex[at], carried > 1 ? sysex[at + 1] : std::uint8_t{0},
        carried > 2 ? sysex[at + 2] : std::uint8_t{0}};
    const std::size_t n = std::min(kPacketSize, out.size() - written);
    std::copy_n(packet, n, out.begin() + static_cast<std::ptrdiff_t>(written));
    written += n;
    at += carried;
  }
  return written;
}

std::vector<std::uint8_t> packetsFromSysEx(std::span<const std::uint8_t> sysex) {
  std::vector<std::uint8_t> packets((sysex.size() + 2) / 3 * kPacketSize);
  packets.resize(packetsFromSysEx(sysex, packets));
  return packets;
}

std::vector<std::uint8_t> packetsFromMessage(std::span<const std::uint8_t> message) {
  if (message.empty() || message[0] < 0x80) return {};
  if (message[0] == kSysExStart) return packetsFromSysEx(message);
  const std::uint8_t status = message[0];
  std::uint8_t cin = status >> 4;  // channel messages: 8-E
  if (status >= 0xF0) {
    // System common by length (2: F1, F3; 3: F2; 1: F6), real-time F.
    cin = status == 0xF2                       ? 0x3
          : (status == 0xF1 || status == 0xF3) ? 0x2
          : status < 0xF8                      ? 0x5
                                               : 0xF;
  }
  const std::size_t carried = bytesCarried(cin);
  if (message.size() < carried) return {};
  std::vector<std::uint8_t> packet(kPacketSize, 0);
  packet[0] = cin;
  std::copy_n(message.begin(), carried, packet.begin() + 1);
  return packet;
}

void SysExAssembler::reset() {
  for (std::size_t cable = 0; touched_ != 0; ++cable, touched_ >>= 1) {
    if ((touched_ & 1) != 0) {
      partials_[cable].size = 0;
      partials_[cable].dropping = false;
    }
  }
}

bool SysExAssembler::take(Partial& partial, std::uint8_t byte, bool last) {
  if (last && byte != kSysExEnd) {
    // An end packet that does not end the message: it is broken.
    partial.size = 0;
    partial.dropping = false;
    return false;
  }
  if (byte >= kRealTime) return false;
  if (byte == kSysExStart) {
    // A new message starts; whatever was in progress was cut off.
    partial.bytes[0] = byte;
    partial.size = 1;
    partial.dropping = false;
    touched_ = static_cast<std::uint16_t>(touched_ | (1u << (&partial - partials_.data())));
    return false;
  }
  if (partial.size == 0) {
    // The tail of a message whose start was not seen, or of an overlong one,
    // up to the next status byte.
    if (byte >= 0x80) partial.dropping = false;
    return false;
  }
  if (byte >= 0x80 && byte != kSysExEnd) {
    // A status byte inside the message breaks it; the bytes after it are its own.
    partial.size = 0;
    return false;
  }
  if (partial.size == kMaxMessage) {
    // More than any reply holds: skipped up to its end.
    partial.size = 0;
    partial.dropping = byte != kSysExEnd;
    return false;
  }
  partial.bytes[partial.size++] = byte;
  return byte == kSysExEnd;
}

bool ChannelReader::whole(std::uint8_t header, const std::uint8_t* bytes, ChannelMessage& message) {
  const std::uint8_t status = bytes[0];
  if (status >> 4 != codeIndex(header)) return false;
  const std::size_t data = dataBytes(status);
  if ((bytes[1] & 0x80) != 0 || (data == 2 && (bytes[2] & 0x80) != 0)) return false;
  message = {status, bytes[1], data == 2 ? bytes[2] : std::uint8_t{0}, cable(header)};
  return true;
}

bool ChannelReader::take(std::uint8_t cableNumber, std::uint8_t byte, ChannelMessage& message) {
  Stream& stream = streams_[cableNumber & 0x0F];
  if (byte >= kRealTime) return false;  // clock and the like, between any two bytes
  if (byte >= 0xF0) {
    // SysEx and system common end the running status: their data is not ours.
    stream = {};
    return false;
  }
  if (byte >= 0x80) {
    stream = {};
    stream.status = byte;
    return false;
  }
  if (stream.status == 0) return false;
  stream.data[stream.count++] = byte;
  if (stream.count < dataBytes(stream.status)) return false;
  message = {stream.status, stream.data[0], stream.count == 2 ? stream.data[1] : std::uint8_t{0},
             cableNumber};
  stream.count = 0;  // the status runs on
  return true;
}

}  // namespace padkbd::usbmidi
