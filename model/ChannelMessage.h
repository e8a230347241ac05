// One channel message a player's touch makes, whatever carried it: the
// links read it off their packets, the session matches it with the controls
// that send it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace padkbd {

// A note, pressure, a controller, a program or a pitch bend, and the cable
// it came on.
struct ChannelMessage {
  std::uint8_t status = 0;  // 80-EF
  std::uint8_t data1 = 0;
  std::uint8_t data2 = 0;  // 0 for the one-byte messages (program, channel pressure)
  std::uint8_t cable = 0;

  constexpr std::uint8_t type() const { return status & 0xF0; }
  constexpr int channel() const { return status & 0x0F; }
  friend constexpr bool operator==(const ChannelMessage&, const ChannelMessage&) = default;
};

// How many data bytes follow a channel status byte.
constexpr std::size_t dataBytes(std::uint8_t status) {
  const std::uint8_t type = status & 0xF0;
  return type == 0xC0 || type == 0xD0 ? 1 : 2;
}

}  // namespace padkbd
