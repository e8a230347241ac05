// Any bytes given as a preset document: parsing never crashes or reads out
// of bounds, and a preset that passes the check survives a write and a read
// unchanged (what the program saves, it loads back the same).
#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "model/Log.h"
#include "storage/FileAction.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace padkbd;
  static const log::Sink quiet = log::setSink([](log::Channel, std::string_view) {});
  (void)quiet;
  const PresetRead read = parsePreset({reinterpret_cast<const char*>(data), size});
  if (!read.outcome) return 0;
  const PresetRead again = parsePreset(presetToXml(read.preset.buttons, *read.preset.global));
  PadValue global = *read.preset.global;
  global.version.clear();  // the version is not part of a preset
  const auto same = [](const ButtonValuePtr& a, const ButtonValuePtr& b) { return *a == *b; };
  if (!again.outcome || !(*again.preset.global == global) ||
      !std::equal(again.preset.buttons.begin(), again.preset.buttons.end(),
                  read.preset.buttons.begin(), read.preset.buttons.end(), same)) {
    std::abort();
  }
  return 0;
}
