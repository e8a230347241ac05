#include "session/KeyboardPreset.h"

#include "session/PresetReport.h"

namespace padkbd {

PresetValues valuesOf(const Preset& preset) {
  PresetValues v;
  for (const ButtonValuePtr& record : preset.buttons) {
    v.first.push_back(record ? *record : ButtonValue{});
  }
  v.second = preset.global ? *preset.global : PadValue{};
  v.second.version.clear();  // the firmware is not part of what is saved or sent
  return v;
}

std::vector<std::string> KeyboardPreset::changes(
    const Preset& preset, const std::map<std::string, std::vector<std::string>>& lists) const {
  std::vector<std::string> lines;
  for (const Text& change : changeTexts(preset, lists)) lines.push_back(english(change));
  return lines;
}

std::vector<Text> KeyboardPreset::changeTexts(
    const Preset& preset, const std::map<std::string, std::vector<std::string>>& lists) const {
  if (!holds_ || !preset.global) return {};
  Preset before;
  for (const ButtonValue& record : holds_->first) {
    before.buttons.push_back(std::make_shared<ButtonValue>(record));
  }
  before.global = std::make_shared<PadValue>(holds_->second);
  before.global->mem = preset.global->mem;
  return presetDifferences(before, preset, lists);
}

}  // namespace padkbd
