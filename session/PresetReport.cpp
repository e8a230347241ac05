#include "session/PresetReport.h"

#include <fmt/format.h>

#include <algorithm>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>

#include "model/Fields.h"
#include "model/NoteNames.h"
#include "model/Playing.h"
#include "protocol/PadAction.h"

namespace padkbd {
namespace {

std::optional<std::string> itemOf(const std::vector<std::string>& list, std::int32_t index) {
  if (index < 0 || static_cast<std::size_t>(index) >= list.size()) return std::nullopt;
  return list[static_cast<std::size_t>(index)];
}

std::optional<std::string> listItem(const ChoiceLists& lists, const char* key, std::int32_t index) {
  if (key == nullptr) return std::nullopt;
  const auto it = lists.find(key);
  if (it == lists.end()) return std::nullopt;
  return itemOf(it->second, index);
}

// The label of a control field, or none when no list has an item for it
// (then the number stands for itself).
std::optional<Text> controlLabel(const ControlFieldInfo& field, int index,
                                 const ButtonValue& record, const ChoiceLists& lists) {
  const std::int32_t value = record.*field.member;
  const bool pad = isPadControl(index);
  const auto listed = [](std::optional<std::string> item) -> std::optional<Text> {
    if (!item) return std::nullopt;
    return labelText(std::move(*item));
  };
  switch (field.labels) {
    case Labels::List:
      // A number that is a note reads as one, as the window's list shows it.
      if (field.field == ControlField::MIDInumb) {
        switch (playing::sendsOf(index, record)) {
          case playing::Sends::Notes:
            return labelText(fmt::format("{} {}", value, noteName(value)));
          case playing::Sends::Controller:
            return listed(listItem(lists, field.listKey, value));
          case playing::Sends::NRPN:
          case playing::Sends::RPN:
            return std::nullopt;
        }
      }
      return listed(listItem(lists, field.listKey, value));
    case Labels::Mode:
      return listed(listItem(lists, pad ? field.listKey : field.otherListKey, value));
    case Labels::ModeOption: {
      const StringList options = pad ? PadAction::GetPadModeOptionWithModeIndex(record.mode)
                                     : PadAction::GetOtherModeOptionWithModeIndex(record.mode);
      if (options.empty() && value == 0) return Text(TextId::None);
      // The option lists carry an old misspelling that documents keep; the
      // tool's words are English.
      std::optional<std::string> option = itemOf(options, value);
      if (!option) return std::nullopt;
      std::string shown = *option;
      if (shown.rfind("Rleative", 0) == 0) shown.replace(0, 8, "Relative");
      return labelText(std::move(shown), std::move(*option));
    }
    case Labels::Colour:
      if (value == -1) return Text(TextId::None);
      return listed(listItem(lists, field.listKey, value));
  }
  return std::nullopt;
}

Text controlText(const ControlFieldInfo& field, int index, const ButtonValue& record,
                 const ChoiceLists& lists) {
  return controlLabel(field, index, record, lists)
      .value_or(Text(TextId::Plain, {std::to_string(record.*field.member)}));
}

Text globalText(const GlobalFieldInfo& field, const PadValue& global, const ChoiceLists& lists) {
  const std::int32_t value = global.*field.member;
  const std::optional<std::string> item = listItem(lists, field.listKey, value);
  return item ? labelText(*item) : Text(TextId::Plain, {std::to_string(value)});
}

// Colours mean nothing on other controls (the keyboard has none there), so
// the readable forms leave them out; a comparison still reports them.
bool shownOn(const ControlFieldInfo& field, int index) {
  return field.labels != Labels::Colour || isPadControl(index);
}

Text controlTitle(int index, const ChoiceLists& lists) {
  return labelText(listItem(lists, "buttonName", index).value_or(controlName(index)));
}

const ButtonValue& recordAt(const Preset& preset, std::size_t i) {
  static const ButtonValue kEmpty;
  return preset.buttons[i] ? *preset.buttons[i] : kEmpty;
}

const PadValue& globalOf(const Preset& preset) {
  static const PadValue kEmpty;
  return preset.global ? *preset.global : kEmpty;
}

}  // namespace

std::vector<std::string> presetLines(const Preset& preset, const ChoiceLists& lists) {
  std::vector<std::string> lines;
  for (std::size_t i = 0; i < preset.buttons.size(); ++i) {
    const int index = static_cast<int>(i);
    const ButtonValue& record = recordAt(preset, i);
    std::string line = english(controlTitle(index, lists)) + ":";
    const char* separator = " ";
    for (const ControlFieldInfo& field : kControlFields) {
      if (!shownOn(field, index)) continue;
      line += fmt::format("{}{} {}", separator, field.name,
                          english(controlText(field, index, record, lists)));
      separator = ", ";
    }
    lines.push_back(std::move(line));
  }
  std::string line = "global:";
  const char* separator = " ";
  for (const GlobalFieldInfo& field : kGlobalFields) {
    line += fmt::format("{}{} {}", separator, field.name,
                        english(globalText(field, globalOf(preset), lists)));
    separator = ", ";
  }
  lines.push_back(std::move(line));
  return lines;
}

std::string presetJson(const Preset& preset, const ChoiceLists& lists) {
  using Json = nlohmann::ordered_json;
  Json controls = Json::array();
  for (std::size_t i = 0; i < preset.buttons.size(); ++i) {
    const int index = static_cast<int>(i);
    const ButtonValue& record = recordAt(preset, i);
    Json control = Json::object();
    control["index"] = index;
    if (auto name = listItem(lists, "buttonName", index)) control["name"] = *name;
    control["kind"] = isPadControl(index) ? "pad" : "other";
    for (const ControlFieldInfo& field : kControlFields) {
      if (!shownOn(field, index)) continue;
      Json entry = Json::object();
      entry["index"] = record.*field.member;
      if (auto label = controlLabel(field, index, record, lists)) entry["label"] = english(*label);
      control[field.jsonKey] = std::move(entry);
    }
    controls.push_back(std::move(control));
  }
  Json global = Json::object();
  for (const GlobalFieldInfo& field : kGlobalFields) {
    Json entry = Json::object();
    const std::int32_t value = globalOf(preset).*field.member;
    entry["index"] = value;
    if (auto label = listItem(lists, field.listKey, value)) entry["label"] = *label;
    global[field.jsonKey] = std::move(entry);
  }
  Json root = Json::object();
  root["controls"] = std::move(controls);
  root["global"] = std::move(global);
  // Labels come from a resource file: never let a bad byte in it abort the output.
  return root.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

std::vector<Text> presetDifferences(const Preset& a, const Preset& b, const ChoiceLists& lists) {
  std::vector<Text> lines;
  const std::size_t common = std::min(a.buttons.size(), b.buttons.size());
  for (std::size_t i = 0; i < common; ++i) {
    const int index = static_cast<int>(i);
    const ButtonValue& left = recordAt(a, i);
    const ButtonValue& right = recordAt(b, i);
    for (const ControlFieldInfo& field : kControlFields) {
      if (left.*field.member == right.*field.member) continue;
      lines.emplace_back(
          TextId::Difference,
          std::initializer_list<TextArg>{controlTitle(index, lists), Text(nameText(field.field)),
                                         controlText(field, index, left, lists),
                                         controlText(field, index, right, lists)});
    }
  }
  for (std::size_t i = common; i < a.buttons.size(); ++i) {
    lines.emplace_back(TextId::OnlyInFirst,
                       std::initializer_list<TextArg>{controlTitle(int(i), lists)});
  }
  for (std::size_t i = common; i < b.buttons.size(); ++i) {
    lines.emplace_back(TextId::OnlyInSecond,
                       std::initializer_list<TextArg>{controlTitle(int(i), lists)});
  }
  for (const GlobalFieldInfo& field : kGlobalFields) {
    const PadValue& left = globalOf(a);
    const PadValue& right = globalOf(b);
    if (left.*field.member == right.*field.member) continue;
    lines.emplace_back(
        TextId::GlobalDifference,
        std::initializer_list<TextArg>{Text(nameText(field.field)), globalText(field, left, lists),
                                       globalText(field, right, lists)});
  }
  return lines;
}

}  // namespace padkbd
