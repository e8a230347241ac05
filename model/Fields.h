// Every setting of a control and of the global block, once: its record
// field, its key in preset documents, where it goes on the wire, how it
// converts to a device byte (and so its range), whether only pads have it,
// and the names and choice lists it is shown with. Presets, the protocol,
// the choice lists, the reports and the window's undo texts all read it.
#pragma once

#include <array>
#include <cstdint>

#include "model/Records.h"
#include "model/Text.h"
#include "model/ValueAction.h"

namespace padkbd {

// The settings of one control, and of the global block, by name.
enum class ControlField { Value, Mode, ModeOption, Channel, MIDInumb, Min, Max, CR, CG, CB };
enum class GlobalField {
  MIDIChannel,
  OctaveTransposition,
  VelocityCurve,
  PadVelocityCurve,
  KnobAccelerationCurve,
  MemorySlot,
  KnobRelativeMode,
};

// Between a list position and the device byte.
struct Conversion {
  ValueAction::Byte (*toByte)(std::int32_t index);
  std::int32_t (*toIndex)(ValueAction::Byte byte);
  std::int32_t entries;  // the size of the list: positions 0 to entries - 1
};

// Where a setting's labels come from.
enum class Labels {
  List,        // its choice list
  Mode,        // the pad or the other mode list, by the control's kind
  ModeOption,  // the option list of the record's mode, built in code
  Colour,      // its choice list; -1 (no colour) on other controls
};

struct ControlFieldInfo {
  ControlField field;
  std::int32_t ButtonValue::*member;
  const char* plistKey;
  std::uint8_t parameter;  // the request's parameter byte; the target is the control
  Conversion onPad;
  Conversion onOther;
  bool padsOnly;        // exchanged by pad controls only (the colours)
  const char* name;     // in reports and messages: "MIDI number"
  const char* label;    // in the window: "CC / note number"
  const char* jsonKey;  // in `padkbd show --json`
  Labels labels;
  const char* listKey;       // choice list (of pads, for the mode)
  const char* otherListKey;  // the mode's list for other controls
};

struct GlobalFieldInfo {
  GlobalField field;
  std::int32_t PadValue::*member;
  const char* plistKey;
  bool exchanged;  // the memory slot is the slot byte of a write, not a setting
  std::uint8_t parameter;
  std::uint8_t target;
  Conversion conversion;
  const char* name;
  const char* label;
  const char* jsonKey;
  const char* listKey;  // none: no list (and no control in the window)
};

namespace fields {

template <std::size_t N>
constexpr Conversion conversion(ValueAction::Byte (*toByte)(std::int32_t),
                                std::int32_t (*toIndex)(ValueAction::Byte),
                                const ValueAction::CodeTable<N>& table) {
  return {toByte, toIndex, table.size()};
}

namespace va = ValueAction;
inline constexpr Conversion k127 =
    conversion(va::GetValueCharFromIndex, va::GetValueIndexFromChar, va::k127Table);

}  // namespace fields

// In the order of exchange, which is also the order of the keys in a preset
// document. The colours go red 08, green 07, blue 09.
// clang-format off
inline constexpr std::array<ControlFieldInfo, 10> kControlFields = {{
    {ControlField::Value, &ButtonValue::value, "Value", 0x00, fields::k127, fields::k127, false,
     "value", "value", "value", Labels::List, "select127", nullptr},
    {ControlField::Mode, &ButtonValue::mode, "Mode", 0x01,
     fields::conversion(ValueAction::GetPadModeCharFromIndex, ValueAction::GetPadModeIndexFromChar,
                        ValueAction::kPadModeTable),
     fields::conversion(ValueAction::GetOtherModeCharFromIndex,
                        ValueAction::GetOtherModeIndexFromChar, ValueAction::kOtherModeTable),
     false, "mode", "mode", "mode", Labels::Mode, "selectPadMod", "selectOtherMod"},
    {ControlField::Channel, &ButtonValue::channel, "Channel", 0x02,
     fields::conversion(ValueAction::GetChannelCharFromIndex, ValueAction::GetChannelIndexFromChar,
                        ValueAction::kChannelTable),
     fields::conversion(ValueAction::GetChannelCharFromIndex, ValueAction::GetChannelIndexFromChar,
                        ValueAction::kChannelTable),
     false, "channel", "MIDI channel", "channel", Labels::List, "selectChannel", nullptr},
    {ControlField::MIDInumb, &ButtonValue::MIDInumb, "MIDInumb", 0x03, fields::k127, fields::k127,
     false, "MIDI number", "CC / note number", "midiNumber", Labels::List, "selectCCNumber",
     nullptr},
    {ControlField::Min, &ButtonValue::min, "Min", 0x04, fields::k127, fields::k127, false, "min",
     "minimum", "min", Labels::List, "select127", nullptr},
    {ControlField::Max, &ButtonValue::max, "Max", 0x05, fields::k127, fields::k127, false, "max",
     "maximum", "max", Labels::List, "select127", nullptr},
    // Sent through the curve table, whatever the mode.
    {ControlField::ModeOption, &ButtonValue::modeOption, "ModeOption", 0x06,
     fields::conversion(ValueAction::GetModeOptionCharFromIndex,
                        ValueAction::GetModeOptionIndexFromChar, ValueAction::kCurveTable),
     fields::conversion(ValueAction::GetModeOptionCharFromIndex,
                        ValueAction::GetModeOptionIndexFromChar, ValueAction::kCurveTable),
     false, "mode option", "mode option", "modeOption", Labels::ModeOption, nullptr, nullptr},
    {ControlField::CR, &ButtonValue::CR, "CR", 0x08, fields::k127, fields::k127, true, "red",
     "colour", "red", Labels::Colour, "select127", nullptr},
    {ControlField::CG, &ButtonValue::CG, "CG", 0x07, fields::k127, fields::k127, true, "green",
     "colour", "green", Labels::Colour, "select127", nullptr},
    {ControlField::CB, &ButtonValue::CB, "CB", 0x09, fields::k127, fields::k127, true, "blue",
     "colour", "blue", Labels::Colour, "select127", nullptr},
}};

// In the order of exchange and of the keys in a preset document; the memory
// slot last.
inline constexpr std::array<GlobalFieldInfo, 7> kGlobalFields = {{
    {GlobalField::KnobRelativeMode, &PadValue::globalKnobRelativeMode, "globalKnobRelativeMode",
     true, 0x40, 0x02,
     fields::conversion(ValueAction::GetGlobalKnobRelativeModeCharFromIndex,
                        ValueAction::GetGlobalKnobRelativeModeIndexFromChar,
                        ValueAction::kKnobRelativeModeTable),
     "knob relative mode", "knob relative mode", "knobRelativeMode", nullptr},
    {GlobalField::OctaveTransposition, &PadValue::globalOctaveTransposition,
     "globalOctaveTransposition", true, 0x40, 0x03,
     fields::conversion(ValueAction::GetGlobalOctaveTranspositionCharFromIndex,
                        ValueAction::GetGlobalOctaveTranspositionIndexFromChar,
                        ValueAction::kOctaveTranspositionTable),
     "octave transposition", "octave", "octaveTransposition", "globalOctave"},
    {GlobalField::MIDIChannel, &PadValue::globalMIDIChannel, "globalMIDIChannel", true, 0x40, 0x06,
     fields::conversion(ValueAction::GetGlobalMIDIChannelCharFromIndex,
                        ValueAction::GetGlobalMIDIChannelIndexFromChar,
                        ValueAction::kGlobalChannelTable),
     "MIDI channel", "global MIDI channel", "midiChannel", "globalChannel"},
    {GlobalField::VelocityCurve, &PadValue::globalVelocityCurve, "globalVelocityCurve", true, 0x41,
     0x01,
     fields::conversion(ValueAction::GetGlobalVelocityCurveCharFromIndex,
                        ValueAction::GetGlobalVelocityCurveIndexFromChar, ValueAction::kCurveTable),
     "velocity curve", "velocity curve", "velocityCurve", "globalVelocityCurve"},
    {GlobalField::PadVelocityCurve, &PadValue::globalPadVelocityCurve, "globalPadVelocityCurve",
     true, 0x41, 0x03,
     fields::conversion(ValueAction::GetGlobalPadVelocityCurveCharFromIndex,
                        ValueAction::GetGlobalPadVelocityCurveIndexFromChar,
                        ValueAction::kCurveTable),
     "pad velocity curve", "pad velocity curve", "padVelocityCurve", "globalPadVelCurve"},
    {GlobalField::KnobAccelerationCurve, &PadValue::globalKnobAccelerationCurve,
     "globalKnobAccelerationCurve", true, 0x41, 0x04,
     fields::conversion(ValueAction::GetGlobalKnobAccelerationCurveCharFromIndex,
                        ValueAction::GetGlobalKnobAccelerationCurveIndexFromChar,
                        ValueAction::kKnobAccelerationTable),
     "knob acceleration", "knob acceleration", "knobAcceleration", "globalKnobAccel"},
    {GlobalField::MemorySlot, &PadValue::mem, "mem", false, 0, 0,
     fields::conversion(ValueAction::GetMemCharFromIndex, ValueAction::GetMemIndexFromChar,
                        ValueAction::kMemTable),
     "memory slot", "memory slot", "mem", "mem"},
}};
// clang-format on

// A field's name as a text of the catalogue ("MIDI number").
constexpr TextId nameText(ControlField field) {
  switch (field) {
    case ControlField::Value:
      return TextId::FieldValue;
    case ControlField::Mode:
      return TextId::FieldMode;
    case ControlField::ModeOption:
      return TextId::FieldModeOption;
    case ControlField::Channel:
      return TextId::FieldChannel;
    case ControlField::MIDInumb:
      return TextId::FieldMidiNumber;
    case ControlField::Min:
      return TextId::FieldMin;
    case ControlField::Max:
      return TextId::FieldMax;
    case ControlField::CR:
      return TextId::FieldRed;
    case ControlField::CG:
      return TextId::FieldGreen;
    case ControlField::CB:
      return TextId::FieldBlue;
  }
  return TextId::FieldValue;
}
constexpr TextId nameText(GlobalField field) {
  switch (field) {
    case GlobalField::KnobRelativeMode:
      return TextId::FieldKnobRelativeMode;
    case GlobalField::OctaveTransposition:
      return TextId::FieldOctaveTransposition;
    case GlobalField::MIDIChannel:
      return TextId::FieldMidiChannel;
    case GlobalField::VelocityCurve:
      return TextId::FieldVelocityCurve;
    case GlobalField::PadVelocityCurve:
      return TextId::FieldPadVelocityCurve;
    case GlobalField::KnobAccelerationCurve:
      return TextId::FieldKnobAcceleration;
    case GlobalField::MemorySlot:
      return TextId::FieldMemorySlot;
  }
  return TextId::FieldMemorySlot;
}

// The row of a field.
constexpr const ControlFieldInfo& info(ControlField field) {
  for (const ControlFieldInfo& row : kControlFields) {
    if (row.field == field) return row;
  }
  return kControlFields[0];  // every field has a row: never reached
}
constexpr const GlobalFieldInfo& info(GlobalField field) {
  for (const GlobalFieldInfo& row : kGlobalFields) {
    if (row.field == field) return row;
  }
  return kGlobalFields[0];
}

// The exchanges of a full read or write, one a setting: every control
// setting of every control (the pads-only ones of the pads), then the
// global settings that are exchanged.
constexpr int exchangeCount() {
  int count = 0;
  for (int index = 0; index < kControlCount; ++index) {
    for (const ControlFieldInfo& row : kControlFields) {
      if (!row.padsOnly || isPadControl(index)) ++count;
    }
  }
  for (const GlobalFieldInfo& row : kGlobalFields) {
    if (row.exchanged) ++count;
  }
  return count;
}

// The lowest and highest value a preset may hold in the field.
struct Range {
  std::int32_t low;
  std::int32_t high;
  constexpr bool contains(std::int32_t value) const { return value >= low && value <= high; }
};
constexpr Range rangeOf(const ControlFieldInfo& row, bool pad) {
  // An other control has no colour; a read from the controller leaves -1 there.
  const std::int32_t low = row.padsOnly && !pad ? -1 : 0;
  return {low, (pad ? row.onPad : row.onOther).entries - 1};
}
constexpr Range rangeOf(const GlobalFieldInfo& row) {
  return {0, row.conversion.entries - 1};
}

}  // namespace padkbd
