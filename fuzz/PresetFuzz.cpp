// Any bytes given as a preset document: parsing never crashes or reads out
// of bounds, and a preset that passes the check survives a write and a read
// unchanged (what the program saves, it loads back the same).
#include <cstdint>
#include <cstdlib>

#include "model/Log.h"
#include "storage/FileAction.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace padkbd;
  [[maybe_unused]] static const log::Sink quiet =
      log::setSink([](log::Channel, std::string_view) {});
  const PresetRead read = parsePreset({reinterpret_cast<const char*>(data), size});
  if (!read) return 0;
  // The document holds every value (the version is no part of it): what it
  // reads back as must write the same document.
  const std::string xml = presetToXml(read->buttons, *read->global);
  const PresetRead again = parsePreset(xml);
  if (!again || presetToXml(again->buttons, *again->global) != xml) std::abort();
  return 0;
}
