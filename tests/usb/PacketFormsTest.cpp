// Every packet form of USB-MIDI 1.0 a keyboard may put on the pipe, through
// the whole read: given these transfers, the read gives this value or fails so.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "tests/support/ScriptedBackend.h"

namespace padkbd {
namespace {

using Bytes = std::vector<std::uint8_t>;
using usbmidi::packetsFromSysEx;
const ManufacturerId kM = builtInKeyboard().manufacturer;
constexpr std::size_t kMax = usbmidi::SysExAssembler::kMaxMessage;

// A value reply, stretched to `size` bytes.
Bytes reply(std::uint8_t value, std::size_t size = 12) {
  Bytes m = {0xF0, kM[0], kM[1], kM[2], 0x7F, 0x42, 0x01, 0x00, 0x03, 0x30, value};
  m.resize(size, 0x55);
  m.back() = 0xF7;
  return m;
}
Bytes part(const Bytes& m, std::size_t from, std::size_t to) {
  return {m.begin() + from, m.begin() + std::min(to, m.size())};
}
// A byte a packet (CIN F) on a cable, `after` after each.
Bytes bytewise(const Bytes& m, std::uint8_t cable = 0, const Bytes& after = {}) {
  Bytes out;
  for (std::uint8_t b : m) {
    out.insert(out.end(), {std::uint8_t(cable << 4 | 0xF), b, 0, 0});
    out.insert(out.end(), after.begin(), after.end());
  }
  return out;
}

// (What the generated traffic below puts before a reply, whole messages of
// others and broken ones, is not repeated here.)
TEST(PacketForms, EachFormGivesTheReplyAndNothingBrokenPassesForOne) {
  // The reply and its packets (the first two hold its first six bytes), the
  // packets of an older one, one longer than any.
  const Bytes r = reply(0x2A), p = packetsFromSysEx(r), old = packetsFromSysEx(reply(0x11)),
              overlong = reply(0x11, kMax + 4), head = part(r, 0, 6), tail = part(r, 6, 12);
  // Padding, reserved, system common, tune request, channel messages, real-time.
  const Bytes traffic = {0x00, 0,    0, 0, 0x01, 0x11, 0x22, 0x33, 0x02, 0xF1, 0x10, 0,
                         0x03, 0xF2, 1, 2, 0x05, 0xF6, 0,    0,    0x08, 0x80, 0x3C, 0,
                         0x0C, 0xC0, 5, 0, 0x05, 0xFE, 0,    0,    0x0F, 0xF8, 0,    0};
  // Real-time on the reply's cable; on others a message going on and a status byte.
  const Bytes others = {0x35, 0xFE, 0, 0, 0x3F, 0xF8, 0,    0,    0x0F, 0xF0,
                        0,    0,    4, 1, 2,    3,    0x1F, 0x90, 0,    0};
  Bytes otherMaker = r;
  otherMaker[2] ^= 1;
  const std::string r42 = "42", none = "no reply (timed out)";
  const std::vector<std::tuple<const char*, std::vector<Bytes>, std::string>> cases = {
      {"a byte a packet, then three", {bytewise(head), part(p, 8, 16)}, r42},
      {"three, then a byte a packet", {part(p, 0, 8), bytewise(tail)}, r42},
      {"every other form between packets", {part(p, 0, 8), traffic, part(p, 8, 16)}, r42},
      {"every other form between bytes", {bytewise(r, 0, traffic)}, r42},
      {"others between, on other cables too", {bytewise(r, 3, others)}, r42},
      {"cut off by a start alone", {bytewise(part(reply(0x11), 0, 9)), bytewise(r)}, r42},
      {"after one broken in a packet, never ended", {{4, 0xF0, 1, 0x90, 4, 0x3C, 0x64, 0}, p}, r42},
      {"after one broken by its end", {part(old, 0, 12), {7, 0x30, 0x11, 0x00}, p}, r42},
      {"an end alone after one broken by its end",
       {part(old, 0, 12), {7, 0x30, 0x11, 0x00}, {5, 0xF7, 0, 0}},
       none},
      {"after overlong ones", {packetsFromSysEx(overlong), bytewise(overlong), p}, r42},
      {"after an overlong one never ended", {part(packetsFromSysEx(overlong), 0, 344), p}, r42},
      {"the longest", {packetsFromSysEx(reply(0x2A, kMax))}, r42},
      {"a status byte between", {part(p, 0, 8), {0x0F, 0xF6, 0, 0}, part(p, 8, 16)}, none},
      {"one between single bytes", {bytewise(head), {0x0F, 0x80, 0, 0}, bytewise(tail)}, none},
      {"a tail after another maker's message", {{7, 0xF0, 0x7E, 0xF7}, part(p, 4, 16)}, none},
      {"another maker's only", {packetsFromSysEx(otherMaker)}, none},
      {"cut short", {part(p, 0, 8)}, none},
  };
  for (const auto& [name, transfers, expected] : cases) {
    SCOPED_TRACE(name);
    test::ScriptedLink s;
    // Cut into transfers of 64 bytes, as a full-speed keyboard sends them.
    for (const Bytes& t : transfers)
      for (std::size_t at = 0; at < t.size(); at += 64)
        s.backend.reads.push_back({UsbStatus::Success, part(t, at, at + 64), {}});
    // A transfer the host calls an overflow still carries its packets.
    s.backend.reads.back().status = UsbStatus::Overflow;
    ASSERT_TRUE(s.open());
    const Result<std::int8_t> read = s.usb.ReadValueFromDevice();
    EXPECT_EQ(read ? std::to_string(*read) : read.message(), expected);
    // A message begun when the read gave up, a byte a packet or in whole
    // packets, is forgotten: its tail, coming next, is no reply.
    for (const auto& [begun, rest] :
         {std::pair(bytewise(head), bytewise(tail)), std::pair(part(p, 0, 8), part(p, 8, 16))}) {
      s.backend.reads.push_back({UsbStatus::Success, begun, {}});
      EXPECT_EQ(s.usb.ReadValueFromDevice().message(), none);
      s.backend.reads.push_back({UsbStatus::Success, rest, {}});
      EXPECT_EQ(s.usb.ReadValueFromDevice().message(), none);
    }
  }
}

// Generated traffic around a reply: a player's notes, clock, padding, other
// cables and other makers' or broken messages before it, whatever a keyboard
// may put between its packets or its single bytes, all cut into transfers
// anywhere between packets. The reply is always found.
TEST(PacketForms, TheReplyIsFoundInAnyMixOfTraffic) {
  std::mt19937 random(38);
  const auto pick = [&](int high) { return std::uniform_int_distribution(0, high)(random); };
  const Bytes r = reply(0x2A), p = packetsFromSysEx(r);
  // What may come between, on the reply's cable or another.
  const Bytes between[] = {{0x09, 0x90, 0x3C, 0x64}, {0x08, 0x80, 0x3C, 0x40}, {0x0F, 0xF8, 0, 0},
                           {0x0F, 0xFE, 0, 0},       {0x0B, 0xB0, 0x07, 0x64}, {0x00, 0, 0, 0},
                           {0x0D, 0xD0, 0x20, 0},    {0x1F, 0x90, 0, 0},       {0x24, 0xF0, 1, 2}};
  // What may come only before: whole messages of others, broken ones.
  const Bytes before[] = {{0x04, 0xF0, 0x7E, 0x7F, 0x07, 0x06, 0x01, 0xF7},
                          {0x07, 0xF0, 0x90, 0xF7},
                          part(packetsFromSysEx(reply(0x11)), 0, 12),
                          bytewise({0xF0, 0x01, 0x90, 0x3C, 0xF7})};
  for (int n = 0; n < 300; ++n) {
    Bytes stream;
    const auto add = [&](const Bytes& b) { stream.insert(stream.end(), b.begin(), b.end()); };
    for (int k = pick(4); k > 0; --k) add(pick(1) ? before[pick(3)] : between[pick(8)]);
    const bool single = pick(1) == 1;  // the reply a byte a packet, or in whole packets
    const std::size_t pieces = single ? r.size() : p.size() / 4;
    for (std::size_t at = 0; at < pieces; ++at) {
      add(single ? bytewise({r[at]}) : part(p, 4 * at, 4 * at + 4));
      for (int k = pick(2); k > 0; --k) add(between[pick(8)]);
    }
    test::ScriptedLink s;
    for (std::size_t at = 0; at < stream.size();) {
      const std::size_t size = 4 * (1 + static_cast<std::size_t>(pick(15)));
      s.backend.reads.push_back({UsbStatus::Success, part(stream, at, at + size), {}});
      at += size;
    }
    ASSERT_TRUE(s.open());
    const Result<std::int8_t> read = s.usb.ReadValueFromDevice();
    ASSERT_EQ(read ? std::to_string(*read) : read.message(), "42") << n;
  }
}

// The messages a port hands out of `stream`, each after its length.
Bytes portMessages(const Bytes& stream) {
  Bytes got;
  usbmidi::SysExAssembler().forEachMessage(stream, [&](std::span<const std::uint8_t> m) {
    got.push_back(static_cast<std::uint8_t>(m.size()));
    got.insert(got.end(), m.begin(), m.end());
  });
  return got;
}

TEST(PacketForms, PortMessagesHoldSysExBytesSentAloneTogether) {
  // SysEx a byte a packet with clock between, an overlong one, a data byte and
  // a note a byte a packet after it; a last packet cut short.
  Bytes stream = bytewise({0xF0, 0x01, 0xF7}, 0, {0x0F, 0xF8, 0, 0});
  for (const Bytes& more :
       {bytewise(reply(0x11, kMax + 1)), bytewise({0x3C, 0x90, 0x3C}), {9, 0x80, 0x3C}})
    stream.insert(stream.end(), more.begin(), more.end());
  EXPECT_EQ(portMessages(stream),
            (Bytes{1, 0xF8, 1, 0xF8, 3, 0xF0, 0x01, 0xF7, 1, 0xF8, 1, 0x3C, 1, 0x90, 1, 0x3C}));
  // The lowest status byte, alone inside SysEx, is a message and breaks it;
  // the highest data byte is held.
  EXPECT_EQ(portMessages(bytewise({0xF0, 0x01, 0x7F, 0x80, 0x02, 0xF7})),
            (Bytes{1, 0x80, 1, 0x02}));
  // A reset forgets an overlong message being dropped: a data byte alone is a message again.
  usbmidi::SysExAssembler assembler;
  Bytes after, overlong(kMax + 1, 0x01);
  overlong[0] = 0xF0;
  assembler.forEachMessage(bytewise(overlong), [](auto) {});
  assembler.reset();
  assembler.forEachMessage(bytewise({0x3C}), [&](auto m) { after.assign(m.begin(), m.end()); });
  EXPECT_EQ(after, Bytes{0x3C});
}

// The channel messages a player's touches put among the replies: whole
// packets, a byte a packet with running status, and what is no message.
TEST(PacketForms, ChannelMessagesAreFoundInEveryFormAndNothingElseIs) {
  using usbmidi::ChannelMessage;
  usbmidi::ChannelReader reader;
  std::vector<ChannelMessage> found;
  const auto feed = [&](const Bytes& transfer) {
    found.clear();
    reader.feed(transfer, [&](const ChannelMessage& m) { found.push_back(m); });
    return found;
  };
  // Packets of their own on two cables, between SysEx, clock and padding.
  EXPECT_EQ(feed({0x09, 0x99, 0x28, 0x64, 0x04, 0xF0, 0x01, 0x02, 0x0F, 0xF8, 0,
                  0,    0x1C, 0xC1, 0x05, 0x00, 0x07, 0x03, 0x04, 0xF7, 0,    0,
                  0,    0,    0x0E, 0xE0, 0x7F, 0x7F, 0x08, 0x80, 0x28}),
            (std::vector<ChannelMessage>{
                {0x99, 0x28, 0x64, 0}, {0xC1, 0x05, 0, 1}, {0xE0, 0x7F, 0x7F, 0}}));
  // A status byte that is not the code index's, or a data byte with its top bit set.
  EXPECT_TRUE(feed({0x09, 0xB0, 0x07, 0x10, 0x0B, 0xB0, 0x87, 0x10, 0x0C, 0xC0, 0x80, 0}).empty());
  // A byte a packet: running status goes on across transfers, real-time
  // bytes come between, each cable has its own.
  EXPECT_EQ(feed({0x0F, 0xB2, 0, 0, 0x0F, 0x07, 0, 0, 0x1F, 0x90, 0, 0, 0x0F, 0xF8, 0, 0}),
            std::vector<ChannelMessage>{});
  EXPECT_EQ(feed({0x0F, 0x64, 0,    0,    0x0F, 0x0A, 0,    0,    0x0F, 0x20,
                  0,    0,    0x1F, 0x3C, 0,    0,    0x1F, 0x40, 0,    0}),
            (std::vector<ChannelMessage>{
                {0xB2, 0x07, 0x64, 0}, {0xB2, 0x0A, 0x20, 0}, {0x90, 0x3C, 0x40, 1}}));
  EXPECT_EQ(feed({0x0F, 0xD3, 0, 0, 0x0F, 0x11, 0, 0, 0x0F, 0x12, 0, 0}),
            (std::vector<ChannelMessage>{{0xD3, 0x11, 0, 0}, {0xD3, 0x12, 0, 0}}));
  // SysEx sent a byte a packet ends the running status: its data is no note.
  EXPECT_TRUE(feed({0x0F, 0xF0, 0,    0,    0x0F, 0x11, 0,    0,    0x0F, 0x12,
                    0,    0,    0x0F, 0xF7, 0,    0,    0x0F, 0x13, 0,    0})
                  .empty());
  // A packet cut short is not read.
  EXPECT_TRUE(feed({0x09, 0x90, 0x3C}).empty());
  reader.feed(Bytes{0x0F, 0x90, 0, 0, 0x0F, 0x3C, 0, 0}, [](const ChannelMessage&) {});
  reader.reset();
  EXPECT_TRUE(feed({0x0F, 0x40, 0, 0}).empty());
}

}  // namespace
}  // namespace padkbd
