// USB-MIDI packets as the simulated keyboard puts them on the read pipe;
// the replies (Requests.cpp) and the endless clock (Backend.cpp) share them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace padkbd::simwire {

inline constexpr std::size_t kPacketBytes = 4;
inline constexpr std::size_t kFullPacket = 64;
// A clock byte on cable 0.
inline const std::vector<std::uint8_t> kClock = {0x0F, 0xF8, 0x00, 0x00};

}  // namespace padkbd::simwire
