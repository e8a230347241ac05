#include "storage/PresetCheck.h"

#include <fmt/format.h>

#include <array>

#include "model/Fields.h"
#include "model/NoteNames.h"
#include "storage/PlistShape.h"
#include "storage/PresetDictionary.h"

namespace padkbd {
namespace {

// A value outside its range, told as the window shows the field: a list of
// names by its names, numbered lists from 1 (channel 1-16 and Global, memory
// slot 1-9, curve 1-4), values 0-127 as themselves.
std::string outside(const char* name, std::int32_t value, Range range, bool countsFromOne,
                    std::string_view names = {}) {
  if (!names.empty()) return fmt::format("{} is none of {}", name, names);
  const int shift = countsFromOne ? 1 : 0;
  // An other control's colour may be -1: it has none.
  const std::string within = range.low < 0
                                 ? fmt::format("0-{} or none", range.high)
                                 : fmt::format("{}-{}", range.low + shift, range.high + shift);
  return fmt::format("{} {} is outside {}", name, value + shift, within);
}

Outcome checkControl(std::size_t index, const ButtonValue& button) {
  const auto control = static_cast<std::int32_t>(index);
  if (button.buttonID != control) {
    return Outcome::failure(fmt::format("{} has BtnID {} instead of {}", controlName(control),
                                        button.buttonID, control));
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
    std::string text = outside(field.name, value, range, listed, names);
    // The last channel is the global one.
    if (field.field == ControlField::Channel) {
      text = fmt::format("channel {} is outside 1-{} and Global", value + 1, range.high);
    }
    return Outcome::failure(fmt::format("{}: {}", controlName(control), text));
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
    return Outcome::failure(fmt::format("global settings: {}",
                                        outside(field.name, value, rangeOf(field), listed, names)));
  }
  return Outcome::success();
}

// ---- Property-list structure. ----

const char* kindName(plist_t node) {
  switch (plist_get_node_type(node)) {
    case PLIST_ARRAY:
      return "an array";
    case PLIST_DICT:
      return "a dictionary";
    case PLIST_DATE:
      return "a date";
    case PLIST_DATA:
      return "data";
    default:
      return "a value of no number kind";
  }
}

// The first known key whose value has no integer value, if any.
template <typename Keys>
std::optional<std::string> wrongKind(plist_t dic, const Keys& keys) {
  for (const auto& key : keys) {
    plist_t value = plist_dict_get_item(dic, key.key);
    if (value != nullptr && !hasIntegerKind(value)) {
      return fmt::format("\"{}\" holds {}, not a number", key.key, kindName(value));
    }
  }
  return std::nullopt;
}

// Converts a parsed root into a preset, refusing it at its first problem.
PresetRead presetFromRoot(plist_t root) {
  if (root == nullptr || plist_get_node_type(root) != PLIST_DICT) {
    return refused("the file is not a preset dictionary");
  }
  plist_t array = plist_dict_get_item(root, kButtonArrayKey);
  if (array == nullptr) return refused("the preset has no \"ButtonArray\"");
  if (plist_get_node_type(array) != PLIST_ARRAY) return refused("\"ButtonArray\" is not an array");
  const std::uint32_t count = plist_array_get_size(array);
  if (count != kControlCount) {
    return refused(
        fmt::format("\"ButtonArray\" has {} controls instead of {}", count, kControlCount));
  }
  Preset read;
  read.buttons.reserve(count);
  for (std::uint32_t i = 0; i < count; ++i) {
    plist_t element = plist_array_get_item(array, i);
    if (plist_get_node_type(element) != PLIST_DICT) {
      return refused(
          fmt::format("{} is not a dictionary", controlName(static_cast<std::int32_t>(i))));
    }
    if (auto problem = wrongKind(element, kButtonKeys)) {
      return refused(fmt::format("{}: {}", controlName(static_cast<std::int32_t>(i)), *problem));
    }
    ButtonValuePtr button = ButtonAction::GetButtonValueFromDic(element);
    if (Outcome ok = checkControl(i, *button); !ok) return refused(ok.message());
    read.buttons.push_back(std::move(button));
  }
  // A preset without global settings is allowed: they read as all zeros.
  plist_t global = plist_dict_get_item(root, kGlobalValueKey);
  if (global != nullptr) {
    if (plist_get_node_type(global) != PLIST_DICT) {
      return refused("\"GlobalValue\" is not a dictionary");
    }
    if (auto problem = wrongKind(global, kPadKeys)) {
      return refused(fmt::format("global settings: {}", *problem));
    }
  }
  read.global = ButtonAction::GetPadValueFromDic(global);
  if (Outcome ok = checkGlobal(*read.global); !ok) return refused(ok.message());
  return read;
}

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

}  // namespace

PresetRead refused(std::string message) {
  return PresetRead::failure(std::move(message));
}

PlistNode parsePlist(std::string_view bytes, std::string* problem) {
  auto fail = [&](std::string message) {
    if (problem != nullptr) *problem = std::move(message);
    return PlistNode();
  };
  if (bytes.empty()) return fail("the file is empty");
  if (bytes.size() > kMaxPresetFileBytes) {
    return fail(fmt::format("the file is too large for a preset ({} bytes, at most {})",
                            bytes.size(), kMaxPresetFileBytes));
  }
  if (!isBinaryPlist(bytes) && !isUtf8(bytes)) {
    return fail("the file is neither a binary property list nor UTF-8 text");
  }
  // The library recurses as deep as the input nests: its shape is checked first.
  if (auto shape =
          isBinaryPlist(bytes) ? plistshape::binaryProblem(bytes) : plistshape::xmlProblem(bytes)) {
    return fail(std::move(*shape));
  }
  plist_t root = nullptr;
  plist_from_memory(bytes.data(), static_cast<std::uint32_t>(bytes.size()), &root);
  if (root == nullptr) return fail("the file is not a property list");
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
    return Outcome::failure(fmt::format("\"ButtonArray\" has {} controls instead of {}",
                                        preset.buttons.size(), kControlCount));
  }
  for (std::size_t i = 0; i < preset.buttons.size(); ++i) {
    if (!preset.buttons[i]) {
      return Outcome::failure(
          fmt::format("{} is missing", controlName(static_cast<std::int32_t>(i))));
    }
    if (Outcome ok = checkControl(i, *preset.buttons[i]); !ok) return ok;
  }
  if (!preset.global) return Outcome::failure("the global settings are missing");
  return checkGlobal(*preset.global);
}

bool isBinaryPlist(std::string_view bytes) {
  return bytes.size() >= 8 && bytes.substr(0, 6) == "bplist";
}

PresetRead parsePreset(std::string_view bytes) {
  std::string problem;
  PlistNode root = parsePlist(bytes, &problem);
  if (!root) return refused(problem);
  return presetFromRoot(root.get());
}

}  // namespace padkbd
