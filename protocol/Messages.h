// The controller's messages: SysEx cut into 4-byte USB-MIDI event packets
// (code index 4 = SysEx starts or continues, 6 = ends with two bytes, 7 = ends
// with three). Every message is a fixed template; only the bytes at the named
// offsets change at run time. M1 M2 M3, the keyboard's manufacturer bytes,
// are filled in when a message is made (the keyboard is chosen at run time).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "model/KeyboardId.h"

namespace padkbd::messages {

// Where the three manufacturer bytes stand in every settings message.
inline constexpr std::array<std::size_t, 3> kManufacturerOffsets = {2, 3, 5};

// Handshake request: a universal non-real-time message (7E) to all devices (7F).
// 04 F0 7E 7F | 07 0A 0B F7
inline constexpr std::array<std::uint8_t, 8> kHandshakeRequest = {0x04, 0xF0, 0x7E, 0x7F,
                                                                  0x07, 0x0A, 0x0B, 0xF7};

// The 11 reply strings a controller answers the handshake with. "XX" and "YY"
// stand for the firmware version bytes; no reply string ("%02x") equals them,
// so a good reply matches exactly 9 elements.
// 04 F0 7E 0A | 04 01 03 XX | 06 YY F7
inline constexpr std::array<std::string_view, 11> kHandshakePattern = {
    "04", "f0", "7e", "0a", "04", "01", "03", "XX", "06", "YY", "f7"};
inline constexpr std::size_t kHandshakeMatches = 9;
inline constexpr std::size_t kVersionMajorElement = 7;
inline constexpr std::size_t kVersionMinorElement = 9;

// Offsets shared by the read request and the write message. The first
// kHeaderSize bytes are the device header 04 F0 M1 M2 | 04 M3 7F 42.
inline constexpr std::size_t kHeaderSize = 8;
inline constexpr std::size_t kCommandOffset = 9;
inline constexpr std::size_t kSlotOffset = 10;
inline constexpr std::size_t kParameterOffset = 11;
inline constexpr std::size_t kTargetOffset = 13;
inline constexpr std::size_t kValueOffset = 14;

inline constexpr std::uint8_t kReadCommand = 0x01;
inline constexpr std::uint8_t kWriteCommand = 0x02;

// Read request: SysEx F0 M1 M2 M3 7F 42 01 00 PP WW F7. The last packet ends
// with two bytes and goes out as three: 15 bytes, not 16.
// 04 F0 M1 M2 | 04 M3 7F 42 | 04 01 00 PP | 06 WW F7
inline constexpr std::array<std::uint8_t, 15> kReadRequest = {0x04, 0xF0, 0x00, 0x00, 0x04,
                                                              0x00, 0x7F, 0x42, 0x04, kReadCommand,
                                                              0x00, 0x00, 0x06, 0x00, 0xF7};

// Write message: SysEx F0 M1 M2 M3 7F 42 02 YY PP WW VV F7, four whole packets.
// 04 F0 M1 M2 | 04 M3 7F 42 | 04 02 YY PP | 07 WW VV F7
inline constexpr std::array<std::uint8_t, 16> kWriteMessage = {
    0x04, 0xF0,          0x00, 0x00, 0x04, 0x00, 0x7F, 0x42,
    0x04, kWriteCommand, 0x00, 0x00, 0x07, 0x00, 0x00, 0xF7};

// A value reply, laid out as packets, carries the value where a write
// message carries it; a reply must reach that byte to hold a value at all.
inline constexpr std::size_t kValueReplyMinimum = kValueOffset + 1;
inline constexpr std::size_t kHandshakeReplyMinimum = kHandshakePattern.size();

// Gains: write messages with slot 40, parameter 34 and target 70 + n.
inline constexpr std::uint8_t kGainSlot = 0x40;
inline constexpr std::uint8_t kGainParameter = 0x34;
inline constexpr std::array<std::uint8_t, 8> kGainTargets = {0x70, 0x71, 0x72, 0x73,
                                                             0x74, 0x75, 0x76, 0x77};

// A message template with the keyboard's manufacturer bytes filled in.
template <std::size_t N>
constexpr std::array<std::uint8_t, N> addressed(std::array<std::uint8_t, N> message,
                                                const ManufacturerId& manufacturer) {
  for (std::size_t i = 0; i < manufacturer.size(); ++i) {
    message[kManufacturerOffsets[i]] = manufacturer[i];
  }
  return message;
}

}  // namespace padkbd::messages
