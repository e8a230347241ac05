// What the editor knows of the keyboard: the firmware version it last gave
// (none: no keyboard answered) and the settings its memory slot holds, as
// last read from it or sent to it (none: not known, or a send stopped
// part-way).
#pragma once

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "model/Records.h"
#include "model/Text.h"
#include "storage/PresetCheck.h"

namespace padkbd {

// A preset's settings by value, to compare: without the firmware version,
// which is neither saved nor sent.
using PresetValues = std::pair<std::vector<ButtonValue>, PadValue>;
PresetValues valuesOf(const Preset& preset);

class KeyboardPreset {
 public:
  // What a preset's version field says without a keyboard. Documents keep
  // it; whether there is a keyboard is told by firmware(), never by this.
  static constexpr const char* kNotConnected = "未连接";

  explicit KeyboardPreset(std::optional<std::string> firmware) : firmware_(std::move(firmware)) {}

  const std::optional<std::string>& firmware() const { return firmware_; }
  // The version field of a preset shown: the keyboard's firmware, or kNotConnected.
  std::string versionText() const { return firmware_.value_or(kNotConnected); }

  // A read gave `values`, from a keyboard of `firmware`.
  void read(std::optional<std::string> firmware, PresetValues values) {
    firmware_ = std::move(firmware);
    holds_ = std::move(values);
  }
  // `values` were written into the memory slot.
  void sent(PresetValues values) { holds_ = std::move(values); }
  void forget() { holds_.reset(); }
  bool known() const { return holds_.has_value(); }

  // Every setting a send of `preset` would change, one line each (the
  // memory slot left out: it is where a send goes); none when not known.
  std::vector<Text> changeTexts(
      const Preset& preset, const std::map<std::string, std::vector<std::string>>& lists) const;
  // The same in the tool's words.
  std::vector<std::string> changes(
      const Preset& preset, const std::map<std::string, std::vector<std::string>>& lists) const;

 private:
  std::optional<std::string> firmware_;
  std::optional<PresetValues> holds_;
};

}  // namespace padkbd
