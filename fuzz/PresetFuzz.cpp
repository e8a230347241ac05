// Any bytes given as a preset document: parsing never crashes or reads out
// of bounds, and a preset that passes the check survives a write and a read
// unchanged (what the program saves, it loads back the same).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "model/Log.h"
#include "storage/FileAction.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const padkbd::log::Sink quiet =
      padkbd::log::setSink([](padkbd::log::Channel, std::string_view) {});
  (void)quiet;

  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const padkbd::PresetRead read = padkbd::parsePreset(bytes);
  if (!read.outcome) return 0;

  const std::string xml = padkbd::presetToXml(read.preset.buttons, *read.preset.global);
  const padkbd::PresetRead again = padkbd::parsePreset(xml);
  if (!again.outcome || again.preset.buttons.size() != read.preset.buttons.size()) std::abort();
  for (std::size_t i = 0; i < read.preset.buttons.size(); ++i) {
    if (!(*again.preset.buttons[i] == *read.preset.buttons[i])) std::abort();
  }
  padkbd::PadValue global = *read.preset.global;
  global.version.clear();  // the version is not part of a preset
  if (!(*again.preset.global == global)) std::abort();
  return 0;
}
