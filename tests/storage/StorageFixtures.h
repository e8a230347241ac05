// A valid preset shared by the storage and command-line tests.
#pragma once

#include "storage/FileAction.h"
#include "storage/PresetDictionary.h"
#include "tests/support/TempDir.h"

namespace padkbd::test {

// A valid preset that differs from the shipped default in every kind of field;
// other controls carry no colour (-1).
inline Preset samplePreset() {
  Preset preset;
  for (int i = 0; i < kControlCount; ++i) {
    const bool pad = isPadControl(i);
    preset.buttons.push_back(
        std::make_shared<ButtonValue>(ButtonValue{i, i, pad ? 3 : 2, i % 17, 127 - i, 1, 100, i % 4,
                                                  pad ? i : -1, pad ? 127 : -1, pad ? 0 : -1}));
  }
  preset.global = std::make_shared<PadValue>(PadValue{1, 8, 15, 3, 2, 2, 8, "ignored"});
  return preset;
}

// The binary property list of an XML document.
inline std::string binaryOf(const std::string& xml) {
  char* binary = nullptr;
  std::uint32_t size = 0;
  plist_to_bin(parsePlist(xml, nullptr).get(), &binary, &size);
  std::string bytes(binary, size);
  plist_to_bin_free(binary);
  return bytes;
}

// Equal in everything a preset document holds (the version is no part of it).
inline bool sameValues(const Preset& a, const Preset& b) {
  return presetToXml(a.buttons, *a.global) == presetToXml(b.buttons, *b.global);
}

}  // namespace padkbd::test
