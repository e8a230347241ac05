#include "model/Playing.h"

#include <algorithm>

namespace padkbd::playing {

namespace {

constexpr std::int32_t kGlobalChannel = 16;  // "Global" in the channel list
constexpr std::int32_t kOctaveSteps = 9;     // 0, +1 .. +4, -1 .. -4

}  // namespace

Kind kindOf(std::int32_t index) {
  if (isPadControl(index)) return Kind::Pad;
  return index >= 0 && index < kFirstPadControl ? Kind::Knob : Kind::Button;
}

Sends sendsOf(std::int32_t index, const ButtonValue& control) {
  if (isPadControl(index)) {
    return control.mode == 1 || control.mode == 2 ? Sends::Controller : Sends::Notes;
  }
  if (control.mode == 1) return Sends::Controller;
  if (control.mode == 2) return control.modeOption == 1 ? Sends::RPN : Sends::NRPN;
  return Sends::Notes;
}

bool isSwitch(std::int32_t index, const ButtonValue& control) {
  return isPadControl(index) && (control.mode == 2 || control.mode == 3);
}

bool toggles(std::int32_t index, const ButtonValue& control) {
  return isSwitch(index, control) && control.modeOption == 0;
}

Relative relativeOf(std::int32_t index, const ButtonValue& control) {
  // Only a knob turns; a pad or button sends its value however it is set.
  if (kindOf(index) != Kind::Knob || control.mode != 1) return Relative::Absolute;
  switch (control.modeOption) {
    case 1:
      return Relative::TwosComplement;
    case 2:
      return Relative::BinaryOffset;
    case 3:
      return Relative::SignMagnitude;
    default:
      return Relative::Absolute;
  }
}

std::uint8_t stepValue(Relative encoding, int step) {
  const int size = std::clamp(step < 0 ? -step : step, 0, 63);
  switch (encoding) {
    case Relative::TwosComplement:
      return static_cast<std::uint8_t>(step < 0 ? 128 - size : size);
    case Relative::BinaryOffset:
      return static_cast<std::uint8_t>(step < 0 ? 64 - size : 64 + size);
    case Relative::SignMagnitude:
      return static_cast<std::uint8_t>(step < 0 ? 64 + size : size);
    case Relative::Absolute:
      break;
  }
  return 0;
}

int stepOf(Relative encoding, std::uint8_t value) {
  const int v = value & 0x7F;
  switch (encoding) {
    case Relative::TwosComplement:
      return v < 64 ? v : v - 128;
    case Relative::BinaryOffset:
      return v - 64;
    case Relative::SignMagnitude:
      return v < 64 ? v : -(v - 64);
    case Relative::Absolute:
      break;
  }
  return 0;
}

int channelOf(const ButtonValue& control, const PadValue& global) {
  if (control.channel >= 0 && control.channel < kGlobalChannel) return control.channel;
  return std::clamp(global.globalMIDIChannel, 0, 15);
}

int transposition(const PadValue& global) {
  const std::int32_t step = global.globalOctaveTransposition;
  if (step <= 0 || step >= kOctaveSteps) return 0;
  return 12 * (step <= 4 ? step : 4 - step);
}

std::optional<int> noteOf(const ButtonValue& control, const PadValue& global) {
  if (control.MIDInumb < 0 || control.MIDInumb > 127) return std::nullopt;
  const int note = control.MIDInumb + transposition(global);
  if (note < 0 || note > 127) return std::nullopt;
  return note;
}

}  // namespace padkbd::playing
