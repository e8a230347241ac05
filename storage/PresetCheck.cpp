#include "storage/PresetCheck.h"

#include <fmt/format.h>

#include <array>

#include "model/Fields.h"
#include "model/NoteNames.h"
#include "storage/PlistShape.h"
#include "storage/PresetDictionary.h"

namespace padkbd {
namespace {

// A control by its name, as the window's lists name it ("Pad 5").
Text controlText(std::size_t index) {
  return labelText(controlName(static_cast<std::int32_t>(index)));
}

Outcome invalid(Text text) {
  return Outcome::failure(Code::FileInvalid, std::move(text));
}

// A value outside its range, told as the window shows the field: a list of
// names by its names, numbered lists from 1 (channel 1-16 and Global, memory
// slot 1-9, curve 1-4), values 0-127 as themselves.
Text outside(TextId name, std::int32_t value, Range range, bool countsFromOne,
             std::string_view names = {}) {
  if (!names.empty()) return Text(TextId::NoneOf, {Text(name), names});
  const int shift = countsFromOne ? 1 : 0;
  // An other control's colour may be -1: it has none.
  Text within = range.low < 0 ? Text(TextId::RangeOrNone, {range.high})
                              : Text(TextId::RangeFromTo, {range.low + shift, range.high + shift});
  return Text(TextId::OutsideRange, {Text(name), value + shift, std::move(within)});
}

Outcome checkControl(std::size_t index, const ButtonValue& button) {
  const auto control = static_cast<std::int32_t>(index);
  if (button.buttonID != control) {
    return invalid(Text(TextId::WrongButtonId, {controlText(index), button.buttonID, control}));
  }
  const bool pad = isPadControl(control);
  for (const ControlFieldInfo& field : kControlFields) {
    const std::int32_t value = button.*field.member;
    const Range range = rangeOf(field, pad);
    if (range.contains(value)) continue;
    const bool listed =
        field.field == ControlField::Channel || field.field == ControlField::ModeOption;
    std::string_view names;
    if (field.field == ControlField::Mode) {
      names = pad ? "Note, CC, CC Switch, Note Switch" : "Note, CC, NRPN / RPN";
    }
    Text text = outside(nameText(field.field), value, range, listed, names);
    // The last channel is the global one.
    if (field.field == ControlField::Channel) {
      text = Text(TextId::ChannelOutside, {value + 1, range.high});
    }
    return invalid(Text(TextId::Because, {controlText(index), std::move(text)}));
  }
  return Outcome::success();
}

Outcome checkGlobal(const PadValue& pad) {
  for (const GlobalFieldInfo& field : kGlobalFields) {
    const std::int32_t value = pad.*field.member;
    if (rangeOf(field).contains(value)) continue;
    // Only the knob relative mode has no list.
    const bool listed = field.field != GlobalField::KnobRelativeMode;
    const std::string_view names =
        field.field == GlobalField::OctaveTransposition ? "0, +1 to +4, -1 to -4" : "";
    return invalid(Text(TextId::InGlobalSettings,
                        {outside(nameText(field.field), value, rangeOf(field), listed, names)}));
  }
  return Outcome::success();
}

// ---- Property-list structure. ----

TextId kindName(plist_t node) {
  switch (plist_get_node_type(node)) {
    case PLIST_ARRAY:
      return TextId::KindArray;
    case PLIST_DICT:
      return TextId::KindDictionary;
    case PLIST_DATE:
      return TextId::KindDate;
    case PLIST_DATA:
      return TextId::KindData;
    default:
      return TextId::KindOther;
  }
}

// The first known key whose value has no integer value, if any.
template <typename Keys>
std::optional<Text> wrongKind(plist_t dic, const Keys& keys) {
  for (const auto& key : keys) {
    plist_t value = plist_dict_get_item(dic, key.key);
    if (value != nullptr && !hasIntegerKind(value)) {
      return Text(TextId::HoldsNotNumber, {key.key, Text(kindName(value))});
    }
  }
  return std::nullopt;
}

// Converts a parsed root into a preset, refusing it at its first problem.
PresetRead presetFromRoot(plist_t root) {
  if (root == nullptr || plist_get_node_type(root) != PLIST_DICT) {
    return refused(Text(TextId::NotPresetDictionary));
  }
  plist_t array = plist_dict_get_item(root, kButtonArrayKey);
  if (array == nullptr) return refused(Text(TextId::NoButtonArray));
  if (plist_get_node_type(array) != PLIST_ARRAY) return refused(Text(TextId::ButtonArrayNotArray));
  const std::uint32_t count = plist_array_get_size(array);
  if (count != kControlCount) {
    return refused(
        Text(TextId::ButtonArrayCount, {static_cast<unsigned long>(count), kControlCount}));
  }
  Preset read;
  read.buttons.reserve(count);
  for (std::uint32_t i = 0; i < count; ++i) {
    plist_t element = plist_array_get_item(array, i);
    if (plist_get_node_type(element) != PLIST_DICT) {
      return refused(Text(TextId::NotDictionary, {controlText(i)}));
    }
    if (auto problem = wrongKind(element, kButtonKeys)) {
      return Outcome::failure(Code::FileDamaged,
                              Text(TextId::Because, {controlText(i), std::move(*problem)}));
    }
    ButtonValuePtr button = ButtonAction::GetButtonValueFromDic(element);
    if (Outcome ok = checkControl(i, *button); !ok) return ok;
    read.buttons.push_back(std::move(button));
  }
  // A preset without global settings is allowed: they read as all zeros.
  plist_t global = plist_dict_get_item(root, kGlobalValueKey);
  if (global != nullptr) {
    if (plist_get_node_type(global) != PLIST_DICT) {
      return refused(Text(TextId::GlobalNotDictionary));
    }
    if (auto problem = wrongKind(global, kPadKeys)) {
      return Outcome::failure(Code::FileDamaged,
                              Text(TextId::InGlobalSettings, {std::move(*problem)}));
    }
  }
  read.global = ButtonAction::GetPadValueFromDic(global);
  if (Outcome ok = checkGlobal(*read.global); !ok) return ok;
  return read;
}

}  // namespace

bool isUtf8(std::string_view text) {
  std::size_t i = 0;
  const std::size_t n = text.size();
  while (i < n) {
    const auto c = static_cast<unsigned char>(text[i]);
    std::size_t extra;
    std::uint32_t cp;
    if (c < 0x80) {
      ++i;
      continue;
    } else if ((c & 0xE0) == 0xC0) {
      extra = 1;
      cp = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
      extra = 2;
      cp = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
      extra = 3;
      cp = c & 0x07;
    } else {
      return false;
    }
    if (n - i <= extra) return false;
    for (std::size_t k = 1; k <= extra; ++k) {
      const auto cc = static_cast<unsigned char>(text[i + k]);
      if ((cc & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (cc & 0x3F);
    }
    // Overlong forms, surrogates and code points past U+10FFFF are not UTF-8.
    static constexpr std::uint32_t kMinimum[] = {0, 0x80, 0x800, 0x10000};
    if (cp < kMinimum[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    i += extra + 1;
  }
  return true;
}

PresetRead refused(Text text) {
  return PresetRead::failure(std::move(text));
}

PlistNode parsePlist(std::string_view bytes, Text* problem) {
  auto fail = [&](Text text) {
    if (problem != nullptr) *problem = std::move(text);
    return PlistNode();
  };
  if (bytes.empty()) return fail(Text(TextId::FileEmpty));
  if (bytes.size() > kMaxPresetFileBytes) {
    return fail(Text(TextId::TooLargeSized, {static_cast<unsigned long>(bytes.size()),
                                             static_cast<unsigned long>(kMaxPresetFileBytes)}));
  }
  if (!isBinaryPlist(bytes) && !isUtf8(bytes)) return fail(Text(TextId::NotPlistOrText));
  // The library recurses as deep as the input nests: its shape is checked first.
  if (auto shape =
          isBinaryPlist(bytes) ? plistshape::binaryProblem(bytes) : plistshape::xmlProblem(bytes)) {
    return fail(std::move(*shape));
  }
  plist_t root = nullptr;
  plist_from_memory(bytes.data(), static_cast<std::uint32_t>(bytes.size()), &root);
  if (root == nullptr) return fail(Text(TextId::NotPlist));
  return PlistNode(root);
}

std::string describeForLog(std::string_view bytes) {
  if (isBinaryPlist(bytes)) return fmt::format("<binary property list, {} bytes>", bytes.size());
  if (!isUtf8(bytes)) return fmt::format("<{} bytes that are not UTF-8 text>", bytes.size());
  return std::string(bytes);
}

Preset copyOf(const Preset& preset) {
  Preset copy;
  copy.buttons.reserve(preset.buttons.size());
  for (const ButtonValuePtr& record : preset.buttons) {
    copy.buttons.push_back(record ? std::make_shared<ButtonValue>(*record) : nullptr);
  }
  copy.global = preset.global ? std::make_shared<PadValue>(*preset.global) : nullptr;
  return copy;
}

Outcome checkPreset(const Preset& preset) {
  if (preset.buttons.size() != static_cast<std::size_t>(kControlCount)) {
    return invalid(Text(TextId::ButtonArrayCount,
                        {static_cast<unsigned long>(preset.buttons.size()), kControlCount}));
  }
  for (std::size_t i = 0; i < preset.buttons.size(); ++i) {
    if (!preset.buttons[i]) {
      return invalid(Text(TextId::ControlMissing, {controlText(i)}));
    }
    if (Outcome ok = checkControl(i, *preset.buttons[i]); !ok) return ok;
  }
  if (!preset.global) return invalid(Text(TextId::GlobalMissing));
  return checkGlobal(*preset.global);
}

bool isBinaryPlist(std::string_view bytes) {
  return bytes.size() >= 8 && bytes.substr(0, 6) == "bplist";
}

PresetRead parsePreset(std::string_view bytes) {
  Text problem;
  PlistNode root = parsePlist(bytes, &problem);
  if (!root) return refused(std::move(problem));
  return presetFromRoot(root.get());
}

}  // namespace padkbd
