// Translation between the list index a record field holds and the byte the
// controller uses for the same setting. Index to byte is a table lookup;
// byte to index is either a search of the same table (first match, 0 when no
// entry matches) or the identity on the signed byte.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <type_traits>

namespace padkbd::ValueAction {

using Byte = std::int8_t;  // a device byte, read as a signed 8-bit number

template <std::size_t N>
struct CodeTable {
  std::string_view name;
  std::array<Byte, N> bytes;

  static constexpr std::int32_t size() { return static_cast<std::int32_t>(N); }
  constexpr bool contains(std::int32_t index) const { return index >= 0 && index < size(); }
};

// Writes the one diagnostic line for an index outside its table.
void reportOutOfRange(std::string_view table, std::int32_t index, std::int32_t size);

// Index to byte. An index outside the table never reads outside it: it gives
// entry 0, and the caller is told on the diagnostic log.
template <std::size_t N>
constexpr Byte lookup(const CodeTable<N>& table, std::int32_t index) {
  if (!table.contains(index)) {
    if (!std::is_constant_evaluated()) reportOutOfRange(table.name, index, table.size());
    return table.bytes[0];
  }
  return table.bytes[static_cast<std::size_t>(index)];
}

// Byte to index, search kind: position of the first equal entry, else 0.
template <std::size_t N>
constexpr std::int32_t search(const CodeTable<N>& table, Byte byte) {
  for (std::size_t i = 0; i < N; ++i) {
    if (table.bytes[i] == byte) return static_cast<std::int32_t>(i);
  }
  return 0;
}

// Byte to index, identity kind: the byte's signed value, every byte accepted.
constexpr std::int32_t identity(Byte byte) {
  return byte;
}

namespace detail {
template <std::size_t N>
constexpr std::array<Byte, N> iota() {
  std::array<Byte, N> bytes{};
  for (std::size_t i = 0; i < N; ++i) bytes[i] = static_cast<Byte>(i);
  return bytes;
}
}  // namespace detail

// clang-format off
inline constexpr CodeTable<64> kButtonIDTable{"control ID table", {
    0x30, 0x01, 0x02, 0x09, 0x0B, 0x0C, 0x0D, 0x0E,
    0x50, 0x51, 0x52, 0x53, 0x54, 0x55, 0x56, 0x57,
    0x58, 0x59, 0x5A, 0x5B, 0x5C, 0x5D, 0x5E, 0x5F,
    0x60, 0x61, 0x62, 0x63, 0x64, 0x65, 0x66, 0x67,
    0x68, 0x69, 0x6A, 0x6B, 0x6C, 0x6D, 0x6E, 0x6F,
    0x70, 0x71, 0x72, 0x73, 0x74, 0x75, 0x76, 0x77,
    0x78, 0x79, 0x7A, 0x7B, 0x7C, 0x7D, 0x7E, 0x7F,
    0x33, 0x03, 0x04, 0x0A, 0x05, 0x06, 0x07, 0x08}};
inline constexpr CodeTable<4> kPadModeTable{"pad-mode table", {0x00, 0x01, 0x08, 0x09}};
inline constexpr CodeTable<3> kOtherModeTable{"other-mode table", {0x00, 0x01, 0x04}};
inline constexpr CodeTable<17> kChannelTable{"channel table", {
    0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07,
    0x08, 0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F, 0x41}};
inline constexpr CodeTable<2> kKnobRelativeModeTable{"knob relative mode table", {0x01, 0x7F}};
inline constexpr CodeTable<9> kOctaveTranspositionTable{"octave transposition table", {
    0x00, 0x01, 0x02, 0x03, 0x04, 0x41, 0x42, 0x43, 0x44}};
inline constexpr CodeTable<16> kGlobalChannelTable{"global channel table", detail::iota<16>()};
inline constexpr CodeTable<4> kCurveTable{"curve table", {0x00, 0x01, 0x02, 0x03}};
inline constexpr CodeTable<3> kKnobAccelerationTable{"knob acceleration table", {0x00, 0x01, 0x02}};
inline constexpr CodeTable<9> kMemTable{"memory slot table", detail::iota<9>()};
inline constexpr CodeTable<128> k127Table{"0-127 table", detail::iota<128>()};
// clang-format on

constexpr Byte GetFrom127WithIndex(std::int32_t index) {
  return lookup(k127Table, index);
}

// Control ID
constexpr Byte GetButtonIDCharFromIndex(std::int32_t index) {
  return lookup(kButtonIDTable, index);
}
constexpr std::int32_t GetButtonIDIndexFromChar(Byte b) {
  return search(kButtonIDTable, b);
}

// Fields whose byte equals their index.
constexpr Byte GetValueCharFromIndex(std::int32_t index) {
  return GetFrom127WithIndex(index);
}
constexpr std::int32_t GetValueIndexFromChar(Byte b) {
  return identity(b);
}
constexpr Byte GetMIDInumbCharFromIndex(std::int32_t index) {
  return GetFrom127WithIndex(index);
}
constexpr std::int32_t GetMIDInumbIndexFromChar(Byte b) {
  return identity(b);
}
constexpr Byte GetMinCharFromIndex(std::int32_t index) {
  return GetFrom127WithIndex(index);
}
constexpr std::int32_t GetMinIndexFromChar(Byte b) {
  return identity(b);
}
constexpr Byte GetMaxCharFromIndex(std::int32_t index) {
  return GetFrom127WithIndex(index);
}
constexpr std::int32_t GetMaxIndexFromChar(Byte b) {
  return identity(b);
}
constexpr Byte GetCRCharFromIndex(std::int32_t index) {
  return GetFrom127WithIndex(index);
}
constexpr std::int32_t GetCRIndexFromChar(Byte b) {
  return identity(b);
}
constexpr Byte GetCGCharFromIndex(std::int32_t index) {
  return GetFrom127WithIndex(index);
}
constexpr std::int32_t GetCGIndexFromChar(Byte b) {
  return identity(b);
}
constexpr Byte GetCBCharFromIndex(std::int32_t index) {
  return GetFrom127WithIndex(index);
}
constexpr std::int32_t GetCBIndexFromChar(Byte b) {
  return identity(b);
}

// Modes: the caller picks the pair by the control's kind.
constexpr Byte GetPadModeCharFromIndex(std::int32_t index) {
  return lookup(kPadModeTable, index);
}
constexpr std::int32_t GetPadModeIndexFromChar(Byte b) {
  return search(kPadModeTable, b);
}
constexpr Byte GetOtherModeCharFromIndex(std::int32_t index) {
  return lookup(kOtherModeTable, index);
}
constexpr std::int32_t GetOtherModeIndexFromChar(Byte b) {
  return search(kOtherModeTable, b);
}

constexpr Byte GetChannelCharFromIndex(std::int32_t index) {
  return lookup(kChannelTable, index);
}
constexpr std::int32_t GetChannelIndexFromChar(Byte b) {
  return search(kChannelTable, b);
}

// Mode option: through the four-entry curve table one way, identity the other.
constexpr Byte GetModeOptionCharFromIndex(std::int32_t index) {
  return lookup(kCurveTable, index);
}
constexpr std::int32_t GetModeOptionIndexFromChar(Byte b) {
  return identity(b);
}

// Global block.
constexpr Byte GetGlobalKnobRelativeModeCharFromIndex(std::int32_t index) {
  return lookup(kKnobRelativeModeTable, index);
}
constexpr std::int32_t GetGlobalKnobRelativeModeIndexFromChar(Byte b) {
  return search(kKnobRelativeModeTable, b);
}
constexpr Byte GetGlobalOctaveTranspositionCharFromIndex(std::int32_t index) {
  return lookup(kOctaveTranspositionTable, index);
}
constexpr std::int32_t GetGlobalOctaveTranspositionIndexFromChar(Byte b) {
  return search(kOctaveTranspositionTable, b);
}
constexpr Byte GetGlobalMIDIChannelCharFromIndex(std::int32_t index) {
  return lookup(kGlobalChannelTable, index);
}
constexpr std::int32_t GetGlobalMIDIChannelIndexFromChar(Byte b) {
  return search(kGlobalChannelTable, b);
}
constexpr Byte GetGlobalVelocityCurveCharFromIndex(std::int32_t index) {
  return lookup(kCurveTable, index);
}
constexpr std::int32_t GetGlobalVelocityCurveIndexFromChar(Byte b) {
  return search(kCurveTable, b);
}
constexpr Byte GetGlobalPadVelocityCurveCharFromIndex(std::int32_t index) {
  return lookup(kCurveTable, index);
}
constexpr std::int32_t GetGlobalPadVelocityCurveIndexFromChar(Byte b) {
  return search(kCurveTable, b);
}
constexpr Byte GetGlobalKnobAccelerationCurveCharFromIndex(std::int32_t index) {
  return lookup(kKnobAccelerationTable, index);
}
constexpr std::int32_t GetGlobalKnobAccelerationCurveIndexFromChar(Byte b) {
  return search(kKnobAccelerationTable, b);
}
constexpr Byte GetMemCharFromIndex(std::int32_t index) {
  return lookup(kMemTable, index);
}
constexpr std::int32_t GetMemIndexFromChar(Byte b) {
  return search(kMemTable, b);
}

}  // namespace padkbd::ValueAction
