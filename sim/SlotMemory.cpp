// What the keyboard keeps: its ids, nine memory slots and eight gains; which
// addresses exist, the initial settings, and slot contents as raw bytes or
// as decoded records.
#include <array>
#include <cstddef>

#include "model/ValueAction.h"
#include "sim/SimulatedController.h"

namespace padkbd {
namespace {

namespace VA = ValueAction;

// Control parameters: PP 00-06 for every control, then red, green, blue.
constexpr std::uint8_t kValue = 0x00, kMode = 0x01, kChannel = 0x02, kMidiNumber = 0x03,
                       kMin = 0x04, kMax = 0x05, kModeOption = 0x06, kGreen = 0x07, kRed = 0x08,
                       kBlue = 0x09;
constexpr std::uint8_t kGlobalGroupA = 0x40, kGlobalGroupB = 0x41;

std::uint8_t u8(VA::Byte b) {
  return static_cast<std::uint8_t>(b);
}
VA::Byte s8(std::uint8_t b) {
  return static_cast<VA::Byte>(b);
}

std::uint8_t controlId(int index) {
  return u8(VA::kButtonIDTable.bytes[static_cast<std::size_t>(index)]);
}

// Control index of a control ID, or -1.
int controlIndexOf(std::uint8_t ww) {
  for (int i = 0; i < kControlCount; ++i) {
    if (controlId(i) == ww) return i;
  }
  return -1;
}

// A colour wheel over the 48 pads, in the 0-127 range of the colour bytes.
std::array<std::uint8_t, 3> rainbow(int position) {
  const int h = ((position % 48) + 48) % 48;
  const int sector = h / 8;
  const int rise = (h % 8) * 127 / 8;
  const int fall = 127 - rise;
  switch (sector) {
    case 0:
      return {127, static_cast<std::uint8_t>(rise), 0};
    case 1:
      return {static_cast<std::uint8_t>(fall), 127, 0};
    case 2:
      return {0, 127, static_cast<std::uint8_t>(rise)};
    case 3:
      return {0, static_cast<std::uint8_t>(fall), 127};
    case 4:
      return {static_cast<std::uint8_t>(rise), 0, 127};
    default:
      return {127, 0, static_cast<std::uint8_t>(fall)};
  }
}

}  // namespace

SimulatedController::SimulatedController(KeyboardId keyboard)
    : keyboard_(keyboard), slots_(initialSlots()), gains_(initialGains()) {}

bool SimulatedController::isValidAddress(std::uint8_t pp, std::uint8_t ww) {
  if (pp == kGlobalGroupA) return ww == 0x02 || ww == 0x03 || ww == 0x06;
  if (pp == kGlobalGroupB) return ww == 0x01 || ww == 0x03 || ww == 0x04;
  const int index = controlIndexOf(ww);
  if (index < 0) return false;
  if (pp <= kModeOption) return true;
  return pp <= kBlue && isPadControl(index);
}

std::vector<SimulatedController::Address> SimulatedController::addresses() {
  std::vector<Address> all;
  for (int pp = 0; pp <= 0x7F; ++pp) {
    for (int ww = 0; ww <= 0x7F; ++ww) {
      const auto p = static_cast<std::uint8_t>(pp), w = static_cast<std::uint8_t>(ww);
      if (isValidAddress(p, w)) all.emplace_back(p, w);
    }
  }
  return all;
}

std::array<SimulatedController::Slot, SimulatedController::kSlotCount>
SimulatedController::initialSlots() {
  // Every controller and every load starts from them: they are built once.
  static const std::array<Slot, kSlotCount> initial = buildInitialSlots();
  return initial;
}

std::array<SimulatedController::Slot, SimulatedController::kSlotCount>
SimulatedController::buildInitialSlots() {
  // Deliberately unlike a factory preset: pads in a rainbow, modes, channels
  // and curves varied, every byte one the code tables know. Each slot is
  // shifted a little so that slots can be told apart.
  std::array<Slot, kSlotCount> slots;
  for (int s = 0; s < kSlotCount; ++s) {
    Slot& slot = slots[static_cast<std::size_t>(s)];
    for (int i = 0; i < kControlCount; ++i) {
      const std::uint8_t ww = controlId(i);
      const bool pad = isPadControl(i);
      const auto at = [](const auto& table, int n) {
        return u8(table.bytes[static_cast<std::size_t>(n % table.size())]);
      };
      slot[{kValue, ww}] = static_cast<std::uint8_t>((i * 13 + s * 7) % 128);
      slot[{kMode, ww}] = pad ? at(VA::kPadModeTable, i + s) : at(VA::kOtherModeTable, i + s);
      slot[{kChannel, ww}] = at(VA::kChannelTable, i + s + 1);
      // Pads climb in whole tones from 40, so no pad has the note a
      // chromatic layout from 36 would give it.
      slot[{kMidiNumber, ww}] = static_cast<std::uint8_t>(
          pad ? (40 + 2 * (i - kFirstPadControl) + s) % 128 : (20 + i + s));
      slot[{kMin, ww}] = static_cast<std::uint8_t>((i + s) % 16);
      slot[{kMax, ww}] = static_cast<std::uint8_t>(127 - (i + s) % 16);
      slot[{kModeOption, ww}] = at(VA::kCurveTable, i + s + 1);
      if (pad) {
        const auto rgb = rainbow(i - kFirstPadControl + s * 6);
        slot[{kRed, ww}] = rgb[0];
        slot[{kGreen, ww}] = rgb[1];
        slot[{kBlue, ww}] = rgb[2];
      }
    }
    const auto at = [](const auto& table, int n) {
      return u8(table.bytes[static_cast<std::size_t>(n % table.size())]);
    };
    slot[{kGlobalGroupA, 0x02}] = at(VA::kKnobRelativeModeTable, 1 + s);
    slot[{kGlobalGroupA, 0x03}] = at(VA::kOctaveTranspositionTable, 5 + s);
    slot[{kGlobalGroupA, 0x06}] = at(VA::kGlobalChannelTable, 9 + s);
    slot[{kGlobalGroupB, 0x01}] = at(VA::kCurveTable, 2 + s);
    slot[{kGlobalGroupB, 0x03}] = at(VA::kCurveTable, 1 + s);
    slot[{kGlobalGroupB, 0x04}] = at(VA::kKnobAccelerationTable, 2 + s);
  }
  return slots;
}

std::array<std::uint8_t, SimulatedController::kGainCount> SimulatedController::initialGains() {
  return {100, 90, 80, 70, 60, 50, 40, 30};
}

void SimulatedController::setKeyboard(const KeyboardId& keyboard) {
  std::lock_guard lock(mutex_);
  keyboard_ = keyboard;
}

KeyboardId SimulatedController::keyboard() const {
  std::lock_guard lock(mutex_);
  return keyboard_;
}

bool SimulatedController::setRawValue(int slot, std::uint8_t pp, std::uint8_t ww,
                                      std::uint8_t value) {
  std::lock_guard lock(mutex_);
  if (slot < 0 || slot >= kSlotCount || !isValidAddress(pp, ww)) return false;
  slots_[static_cast<std::size_t>(slot)][{pp, ww}] = value;
  return true;
}

ButtonValue SimulatedController::controlLocked(int slot, int index) const {
  ButtonValue v;
  if (slot < 0 || slot >= kSlotCount || index < 0 || index >= kControlCount) return v;
  const Slot& s = slots_[static_cast<std::size_t>(slot)];
  const std::uint8_t ww = controlId(index);
  const auto byte = [&](std::uint8_t pp) { return s8(s.at({pp, ww})); };
  const bool pad = isPadControl(index);
  v.buttonID = VA::GetButtonIDIndexFromChar(s8(ww));
  v.value = VA::GetValueIndexFromChar(byte(kValue));
  v.mode =
      pad ? VA::GetPadModeIndexFromChar(byte(kMode)) : VA::GetOtherModeIndexFromChar(byte(kMode));
  v.channel = VA::GetChannelIndexFromChar(byte(kChannel));
  v.MIDInumb = VA::GetMIDInumbIndexFromChar(byte(kMidiNumber));
  v.min = VA::GetMinIndexFromChar(byte(kMin));
  v.max = VA::GetMaxIndexFromChar(byte(kMax));
  v.modeOption = VA::GetModeOptionIndexFromChar(byte(kModeOption));
  if (pad) {
    v.CR = VA::GetCRIndexFromChar(byte(kRed));
    v.CG = VA::GetCGIndexFromChar(byte(kGreen));
    v.CB = VA::GetCBIndexFromChar(byte(kBlue));
  } else {
    v.CR = v.CG = v.CB = -1;
  }
  return v;
}

ButtonValue SimulatedController::controlInSlot(int slot, int index) const {
  std::lock_guard lock(mutex_);
  return controlLocked(slot, index);
}

PadValue SimulatedController::globalsInSlot(int slot) const {
  std::lock_guard lock(mutex_);
  return globalsLocked(slot);
}

PadValue SimulatedController::globalsLocked(int slot) const {
  PadValue v;
  if (slot < 0 || slot >= kSlotCount) return v;
  const Slot& s = slots_[static_cast<std::size_t>(slot)];
  const auto byte = [&](std::uint8_t pp, std::uint8_t ww) { return s8(s.at({pp, ww})); };
  v.globalKnobRelativeMode = VA::GetGlobalKnobRelativeModeIndexFromChar(byte(kGlobalGroupA, 0x02));
  v.globalOctaveTransposition =
      VA::GetGlobalOctaveTranspositionIndexFromChar(byte(kGlobalGroupA, 0x03));
  v.globalMIDIChannel = VA::GetGlobalMIDIChannelIndexFromChar(byte(kGlobalGroupA, 0x06));
  v.globalVelocityCurve = VA::GetGlobalVelocityCurveIndexFromChar(byte(kGlobalGroupB, 0x01));
  v.globalPadVelocityCurve = VA::GetGlobalPadVelocityCurveIndexFromChar(byte(kGlobalGroupB, 0x03));
  v.globalKnobAccelerationCurve =
      VA::GetGlobalKnobAccelerationCurveIndexFromChar(byte(kGlobalGroupB, 0x04));
  v.mem = slot;
  return v;
}

void SimulatedController::setGlobalsInSlot(int slot, const PadValue& v) {
  std::lock_guard lock(mutex_);
  if (slot < 0 || slot >= kSlotCount) return;
  Slot& s = slots_[static_cast<std::size_t>(slot)];
  s[{kGlobalGroupA, 0x02}] =
      u8(VA::GetGlobalKnobRelativeModeCharFromIndex(v.globalKnobRelativeMode));
  s[{kGlobalGroupA, 0x03}] =
      u8(VA::GetGlobalOctaveTranspositionCharFromIndex(v.globalOctaveTransposition));
  s[{kGlobalGroupA, 0x06}] = u8(VA::GetGlobalMIDIChannelCharFromIndex(v.globalMIDIChannel));
  s[{kGlobalGroupB, 0x01}] = u8(VA::GetGlobalVelocityCurveCharFromIndex(v.globalVelocityCurve));
  s[{kGlobalGroupB, 0x03}] =
      u8(VA::GetGlobalPadVelocityCurveCharFromIndex(v.globalPadVelocityCurve));
  s[{kGlobalGroupB, 0x04}] =
      u8(VA::GetGlobalKnobAccelerationCurveCharFromIndex(v.globalKnobAccelerationCurve));
}

std::array<std::uint8_t, SimulatedController::kGainCount> SimulatedController::gains() const {
  std::lock_guard lock(mutex_);
  return gains_;
}

}  // namespace padkbd
