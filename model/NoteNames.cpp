#include "model/NoteNames.h"

#include <array>

#include "model/Records.h"

namespace padkbd {

std::string noteName(std::int32_t number) {
  static constexpr std::array<const char*, 12> kNames = {"C",  "C#", "D",  "D#", "E",  "F",
                                                         "F#", "G",  "G#", "A",  "A#", "B"};
  if (number < 0 || number > 127) return {};
  return kNames[static_cast<std::size_t>(number % 12)] + std::to_string(number / 12 - 2);
}

std::string withNoteName(const std::string& label, std::int32_t number) {
  const std::string digits = std::to_string(number);
  const std::string note = noteName(number);
  if (note.empty() || label.compare(0, digits.size(), digits) != 0) return label;
  const std::string rest = label.substr(digits.size());
  if (!rest.empty() && rest.front() != ' ') return label;  // "36" must not match "360"
  const std::string name = rest.empty() ? std::string() : rest.substr(1);
  return digits + " " + note + (name.empty() ? std::string() : " · " + name);
}

std::string controlName(std::int32_t index) {
  constexpr std::int32_t kKnobs = kFirstPadControl, kPads = 48;
  if (index < 0 || index >= kControlCount) return "control " + std::to_string(index);
  if (index < kKnobs) return "Knob " + std::to_string(index + 1);
  if (index < kKnobs + kPads) return "Pad " + std::to_string(index - kKnobs + 1);
  return "Button " + std::to_string(index - kKnobs - kPads + 1);
}

}  // namespace padkbd
