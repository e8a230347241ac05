#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <utility>

#include "tests/storage/StorageFixtures.h"

namespace padkbd {
namespace {

constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
using namespace ButtonAction;

// Documents are read leniently on purpose: strings by their leading integer,
// integers clamped to 32 bits, reals truncated, booleans 1 or 0, other kinds
// (data stands for them all) and missing keys 0. The check, not the reading,
// refuses what is wrong.
TEST(PresetDictionary, ValuesAreReadLeniently) {
  // clang-format off
  const std::pair<std::string_view, std::int32_t> strings[] = {
      {"\t\n\r 42", 42}, {"12 3", 12}, {"3.9", 3}, {"abc", 0}, {"", 0}, {"-3", -3}, {"+5", 5},
      {"- 3", 0}, {"+-3", 0}, {"2147483647", kMax}, {"2147483648", kMax}, {"-2147483648", kMin},
      {"-2147483649", kMin}, {"99999999999999999999999999999", kMax},
      {"-99999999999999999999999999999x", kMin}, {{"4\0" "2", 3}, 4}};
  const std::pair<plist_t, std::int32_t> nodes[] = {
      {plist_new_string(" 12 letters"), 12}, {plist_new_uint(5), 5},
      {plist_new_uint(1ull << 40), kMax}, {plist_new_uint(static_cast<std::uint64_t>(-3)), -3},
      {plist_new_uint(static_cast<std::uint64_t>(-99999999999)), kMin},
      {plist_new_real(3.9), 3}, {plist_new_real(-3.9), -3}, {plist_new_real(std::nan("")), 0},
      {plist_new_real(1e20), kMax}, {plist_new_real(-INFINITY), kMin}, {plist_new_bool(1), 1},
      {plist_new_bool(0), 0}, {plist_new_data("\x05", 1), 0}, {nullptr, 0}};
  // clang-format on
  for (const auto& [text, value] : strings) EXPECT_EQ(leadingInteger(text), value) << text;
  for (const auto& [node, value] : nodes) {
    const PlistNode owner(node);
    EXPECT_EQ(integerOf(node), value) << plist_get_node_type(node);
  }

  PlistNode dic = GetDicFromButtonValue(ButtonValue{9, 1, 2, 3, 4, 5, 6, 3, 7, 8, 9});
  plist_dict_remove_item(dic.get(), "Max");
  plist_dict_set_item(dic.get(), "btnid", plist_new_string("99"));  // not a key of ours
  EXPECT_EQ(*GetButtonValueFromDic(dic.get()), (ButtonValue{9, 1, 2, 3, 4, 5, 0, 3, 7, 8, 9}));
  const PlistNode notDic(plist_new_string("7"));
  EXPECT_EQ(*GetButtonValueFromDic(notDic.get()), ButtonValue{});
  // (No global block at all: FileActionTest's document without "GlobalValue".)
  EXPECT_EQ(*GetPadValueFromDic(notDic.get()), PadValue{});
}

// (Each case names its own problem: the sample preset has none.)
TEST(PresetCheck, RangesComeFromTheFieldTables) {
  const std::pair<void (*)(Preset&), const char*> cases[] = {
      {[](Preset& p) { p.buttons[7]->mode = 3; }, "Knob 8: mode is none of Note, CC, NRPN / RPN"},
      {[](Preset& p) { p.buttons[0]->channel = 17; },
       "Knob 1: channel 18 is outside 1-16 and Global"},
      {[](Preset& p) { p.buttons[56]->CB = -2; }, "Button 1: blue -2 is outside 0-127 or none"},
      // Controls by their names at both ends of each kind; channels 1-16 and Global.
      {[](Preset& p) { p.buttons[55]->mode = 4; },
       "Pad 48: mode is none of Note, CC, CC Switch, Note Switch"},
      {[](Preset& p) { p.buttons[63]->channel = -1; },
       "Button 8: channel 0 is outside 1-16 and Global"},
      {[](Preset& p) { p.global->globalOctaveTransposition = 9; },
       "global settings: octave transposition is none of 0, +1 to +4, -1 to -4"},
      {[](Preset& p) { p.buttons[3]->buttonID = 10; }, "Knob 4 has BtnID 10 instead of 3"},
      {[](Preset& p) { p.global->globalMIDIChannel = 16; },
       "global settings: MIDI channel 17 is outside 1-16"},
      {[](Preset& p) { p.buttons[5] = nullptr; }, "Knob 6 is missing"},
      {[](Preset& p) { p.global = nullptr; }, "the global settings are missing"},
      // The first problem is the one named.
      {[](Preset& p) { p.buttons[40]->max = 200, p.buttons[9]->min = -5; },
       "Pad 2: min -5 is outside 0-127"},
  };
  for (const auto& [change, message] : cases) {
    Preset preset = test::samplePreset();
    change(preset);
    EXPECT_EQ(checkPreset(preset).message(), message);
  }
}

// Generated presets, every field anywhere in its range (both ends often),
// come back equal from their document, as XML and as a binary property list.
TEST(PresetDocument, EveryPresetWithinItsRangesComesBackEqual) {
  std::mt19937 random(38);
  const auto pick = [&](Range range) {
    const int how = std::uniform_int_distribution(0, 3)(random);
    return how == 0   ? range.low
           : how == 1 ? range.high
                      : std::uniform_int_distribution(range.low, range.high)(random);
  };
  for (int n = 0; n < 200; ++n) {
    Preset preset = test::samplePreset();
    for (int i = 0; i < kControlCount; ++i)
      for (const ControlFieldInfo& row : kControlFields)
        (*preset.buttons[i]).*row.member = pick(rangeOf(row, isPadControl(i)));
    for (const GlobalFieldInfo& row : kGlobalFields)
      (*preset.global).*row.member = pick(rangeOf(row));
    ASSERT_TRUE(checkPreset(preset)) << n;
    const std::string xml = presetToXml(preset.buttons, *preset.global);
    for (const std::string& document : {xml, test::binaryOf(xml)}) {
      const PresetRead back = parsePreset(document);
      ASSERT_TRUE(back) << n << back.message();
      EXPECT_TRUE(test::sameValues(*back, preset)) << n;
    }
  }
}

}  // namespace
}  // namespace padkbd
