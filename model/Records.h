// The settings records: one ButtonValue per assignable control and one
// PadValue for the global block. Fields hold list positions (indices in the
// editor's choice lists), never device bytes; ValueAction translates.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace padkbd {

inline constexpr int kControlCount = 64;
inline constexpr int kPadControlCount = 48;
inline constexpr int kFirstPadControl = 8;
inline constexpr int kLastPadControl = 55;

// The one test of a control's kind: indices 8 to 55 are pad controls (with
// colour), 0 to 7 and 56 to 63 other controls. Unsigned wrap makes every
// index below 8 fail the test too.
constexpr bool isPadControl(std::int32_t index) {
  return static_cast<std::uint32_t>(index) - 8u <= 47u;
}

struct ButtonValue {
  std::int32_t buttonID = 0;
  std::int32_t value = 0;
  std::int32_t mode = 0;
  std::int32_t channel = 0;
  std::int32_t MIDInumb = 0;
  std::int32_t min = 0;
  std::int32_t max = 0;
  std::int32_t modeOption = 0;
  std::int32_t CR = 0;
  std::int32_t CG = 0;
  std::int32_t CB = 0;

  bool operator==(const ButtonValue&) const = default;
};

struct PadValue {
  std::int32_t globalKnobRelativeMode = 0;
  std::int32_t globalOctaveTransposition = 0;
  std::int32_t globalMIDIChannel = 0;
  std::int32_t globalVelocityCurve = 0;
  std::int32_t globalPadVelocityCurve = 0;
  std::int32_t globalKnobAccelerationCurve = 0;
  std::int32_t mem = 0;
  // Firmware version text; a std::string keeps its own copy of what it is given.
  std::string version;

  bool operator==(const PadValue&) const = default;
};

// Records are shared, never copied where the program shares them: the editor
// edits the very objects the current preset holds.
using ButtonValuePtr = std::shared_ptr<ButtonValue>;
using PadValuePtr = std::shared_ptr<PadValue>;
using ButtonValueList = std::vector<ButtonValuePtr>;

}  // namespace padkbd
