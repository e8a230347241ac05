// Helpers shared by the storage tests: valid presets and their dictionaries.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "storage/FileAction.h"
#include "storage/PresetDictionary.h"

namespace padkbd::test {

inline std::filesystem::path shippedResourceDir() {
  return PADKBD_TEST_RESOURCE_DIR;
}
inline std::filesystem::path sourceResourceDir() {
  return PADKBD_SOURCE_RESOURCE_DIR;
}

// A valid preset that differs from the shipped default in every kind of field.
inline Preset samplePreset() {
  Preset preset;
  for (int i = 0; i < kControlCount; ++i) {
    auto b = std::make_shared<ButtonValue>();
    b->buttonID = i;
    b->value = i;
    b->mode = isPadControl(i) ? 3 : 2;
    b->channel = i % 17;
    b->MIDInumb = 127 - i;
    b->min = 1;
    b->max = 100;
    b->modeOption = i % 4;
    b->CR = isPadControl(i) ? i : -1;
    b->CG = isPadControl(i) ? 127 : -1;
    b->CB = isPadControl(i) ? 0 : -1;
    preset.buttons.push_back(b);
  }
  preset.global = std::make_shared<PadValue>(PadValue{1, 8, 15, 3, 2, 2, 8, "ignored"});
  return preset;
}

inline PlistNode presetDic(const Preset& preset) {
  return ButtonAction::GetDicFromPreset(preset.buttons, *preset.global);
}

inline plist_t controlDic(const PlistNode& root, std::uint32_t index) {
  return plist_array_get_item(plist_dict_get_item(root.get(), kButtonArrayKey), index);
}

// Keys of a dictionary with their string values, in the order they are stored;
// a value of another kind reads "<not a string>".
inline std::vector<std::pair<std::string, std::string>> entries(plist_t dic) {
  std::vector<std::pair<std::string, std::string>> out;
  plist_dict_iter iter = nullptr;
  plist_dict_new_iter(dic, &iter);
  for (;;) {
    char* key = nullptr;
    plist_t value = nullptr;
    plist_dict_next_item(dic, iter, &key, &value);
    if (key == nullptr) break;
    std::string text = "<not a string>";
    if (plist_get_node_type(value) == PLIST_STRING) {
      std::uint64_t length = 0;
      const char* chars = plist_get_string_ptr(value, &length);
      text.assign(chars, length);
    }
    out.emplace_back(key, text);
    std::free(key);
  }
  std::free(iter);
  return out;
}

inline std::string readAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void writeAll(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

inline bool sameValues(const Preset& a, const Preset& b) {
  if (a.buttons.size() != b.buttons.size()) return false;
  for (std::size_t i = 0; i < a.buttons.size(); ++i) {
    if (!(*a.buttons[i] == *b.buttons[i])) return false;
  }
  PadValue ga = *a.global, gb = *b.global;
  ga.version.clear();
  gb.version.clear();
  return ga == gb;
}

}  // namespace padkbd::test
