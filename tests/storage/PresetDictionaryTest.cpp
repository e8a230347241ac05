#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "storage/PresetDictionary.h"
#include "tests/storage/StorageFixtures.h"

namespace padkbd {
namespace {

constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

using test::entries;

PlistNode parseXml(const std::string& xml) {
  plist_t node = nullptr;
  plist_from_memory(xml.data(), static_cast<std::uint32_t>(xml.size()), &node);
  return PlistNode(node);
}

std::int32_t readChannel(plist_t value) {
  PlistNode dic(plist_new_dict());
  plist_dict_set_item(dic.get(), "Channel", value);
  return ButtonAction::GetButtonValueFromDic(dic.get())->channel;
}

TEST(PresetDictionary, WritesEveryKeyInTableOrderAsDecimalString) {
  PlistNode zero = ButtonAction::GetDicFromButtonValue(ButtonValue{});
  const auto zeroEntries = entries(zero.get());
  ASSERT_EQ(zeroEntries.size(), 11u);
  for (std::size_t i = 0; i < kButtonKeys.size(); ++i) {
    EXPECT_EQ(zeroEntries[i].first, kButtonKeys[i].key);
    EXPECT_EQ(zeroEntries[i].second, "0");
  }

  ButtonValue other{63, 5, 1, 16, 100, 0, 127, 3, -1, -1, -1};
  const auto e = entries(ButtonAction::GetDicFromButtonValue(other).get());
  EXPECT_EQ(e[0].second, "63");
  EXPECT_EQ(e[3].second, "16");
  EXPECT_EQ(e[8].second, "-1");
  EXPECT_EQ(e[10].second, "-1");
  other.CR = 127;
  other.value = kMin;
  const auto e2 = entries(ButtonAction::GetDicFromButtonValue(other).get());
  EXPECT_EQ(e2[8].second, "127");
  EXPECT_EQ(e2[1].second, "-2147483648");

  PadValue pad{1, 8, 15, 3, 2, 2, 8, "01.02"};
  const auto p = entries(ButtonAction::GetDicFromPadValue(pad).get());
  ASSERT_EQ(p.size(), 7u);  // no version
  const char* expected[] = {"1", "8", "15", "3", "2", "2", "8"};
  for (std::size_t i = 0; i < kPadKeys.size(); ++i) {
    EXPECT_EQ(p[i].first, kPadKeys[i].key);
    EXPECT_EQ(p[i].second, expected[i]);
  }
}

TEST(PresetDictionary, RecordsRoundTripAndVersionIsLost) {
  const ButtonValue button{17, kMax, kMin, 16, 127, 0, 127, 3, 1, 2, -1};
  PlistNode dic = ButtonAction::GetDicFromButtonValue(button);
  EXPECT_EQ(*ButtonAction::GetButtonValueFromDic(dic.get()), button);

  const PadValue pad{1, 8, 15, 3, 2, 2, 8, "01.02"};
  PadValuePtr back = ButtonAction::GetPadValueFromDic(ButtonAction::GetDicFromPadValue(pad).get());
  EXPECT_TRUE(back->version.empty());
  PadValue expected = pad;
  expected.version.clear();
  EXPECT_EQ(*back, expected);

  // Through XML text as well, the way files carry them.
  const Preset preset = test::samplePreset();
  PlistNode root = parseXml(presetToXml(preset.buttons, *preset.global));
  ASSERT_TRUE(root);
  EXPECT_EQ(*ButtonAction::GetButtonValueFromDic(test::controlDic(root, 40)), *preset.buttons[40]);
}

TEST(PresetDictionary, LeadingIntegerParseOfStrings) {
  EXPECT_EQ(leadingInteger(" 7"), 7);
  EXPECT_EQ(leadingInteger("\t\n\r 42"), 42);
  EXPECT_EQ(leadingInteger("12abc"), 12);
  EXPECT_EQ(leadingInteger("12 3"), 12);
  EXPECT_EQ(leadingInteger("abc"), 0);
  EXPECT_EQ(leadingInteger(""), 0);
  EXPECT_EQ(leadingInteger("   "), 0);
  EXPECT_EQ(leadingInteger("-3"), -3);
  EXPECT_EQ(leadingInteger("+5"), 5);
  EXPECT_EQ(leadingInteger("-"), 0);
  EXPECT_EQ(leadingInteger("- 3"), 0);
  EXPECT_EQ(leadingInteger("+-3"), 0);
  EXPECT_EQ(leadingInteger("007"), 7);
  EXPECT_EQ(leadingInteger("1e5"), 1);
  EXPECT_EQ(leadingInteger("3.9"), 3);
  EXPECT_EQ(leadingInteger("2147483647"), kMax);
  EXPECT_EQ(leadingInteger("2147483648"), kMax);
  EXPECT_EQ(leadingInteger("-2147483648"), kMin);
  EXPECT_EQ(leadingInteger("-2147483649"), kMin);
  EXPECT_EQ(leadingInteger("99999999999999999999999999999"), kMax);
  EXPECT_EQ(leadingInteger("-99999999999999999999999999999x"), kMin);
  EXPECT_EQ(leadingInteger(std::string_view("4\0"
                                            "2",
                                            3)),
            4);

  // And as values in a dictionary.
  EXPECT_EQ(readChannel(plist_new_string(" 7")), 7);
  EXPECT_EQ(readChannel(plist_new_string("12 letters")), 12);
  EXPECT_EQ(readChannel(plist_new_string("letters")), 0);
  EXPECT_EQ(readChannel(plist_new_string("-3")), -3);
}

TEST(PresetDictionary, NumbersBooleansAndOtherKinds) {
  EXPECT_EQ(readChannel(plist_new_uint(5)), 5);
  EXPECT_EQ(readChannel(plist_new_uint(1ull << 40)), kMax);
  EXPECT_EQ(readChannel(plist_new_real(3.9)), 3);
  EXPECT_EQ(readChannel(plist_new_real(-3.9)), -3);
  EXPECT_EQ(readChannel(plist_new_real(std::nan(""))), 0);
  EXPECT_EQ(readChannel(plist_new_real(1e20)), kMax);
  EXPECT_EQ(readChannel(plist_new_real(-1e20)), kMin);
  EXPECT_EQ(readChannel(plist_new_real(-INFINITY)), kMin);
  EXPECT_EQ(readChannel(plist_new_bool(1)), 1);
  EXPECT_EQ(readChannel(plist_new_bool(0)), 0);
  EXPECT_EQ(readChannel(plist_new_array()), 0);
  EXPECT_EQ(readChannel(plist_new_dict()), 0);
  EXPECT_EQ(readChannel(plist_new_data("\x05", 1)), 0);
  EXPECT_EQ(readChannel(plist_new_date(100, 0)), 0);

  // Negative and out-of-range integers as a file carries them.
  PlistNode root = parseXml(
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?><plist version=\"1.0\"><dict>"
      "<key>Mode</key><integer>5</integer><key>Value</key><integer>-3</integer>"
      "<key>Min</key><integer>-99999999999</integer><key>Max</key><integer>99999999999</integer>"
      "<key>CR</key><real>126.99</real><key>CG</key><true/><key>CB</key><false/>"
      "</dict></plist>");
  ASSERT_TRUE(root);
  const ButtonValuePtr b = ButtonAction::GetButtonValueFromDic(root.get());
  EXPECT_EQ(b->mode, 5);
  EXPECT_EQ(b->value, -3);
  EXPECT_EQ(b->min, kMin);
  EXPECT_EQ(b->max, kMax);
  EXPECT_EQ(b->CR, 126);
  EXPECT_EQ(b->CG, 1);
  EXPECT_EQ(b->CB, 0);
}

TEST(PresetDictionary, MissingAndExtraKeys) {
  const ButtonValue full{9, 1, 2, 3, 4, 5, 6, 3, 7, 8, 9};
  PlistNode dic = ButtonAction::GetDicFromButtonValue(full);
  plist_dict_remove_item(dic.get(), "Max");
  ButtonValue expected = full;
  expected.max = 0;
  EXPECT_EQ(*ButtonAction::GetButtonValueFromDic(dic.get()), expected);

  plist_dict_set_item(dic.get(), "Extra", plist_new_string("99"));
  plist_dict_set_item(dic.get(), "btnid", plist_new_string("99"));
  EXPECT_EQ(*ButtonAction::GetButtonValueFromDic(dic.get()), expected);

  EXPECT_EQ(*ButtonAction::GetButtonValueFromDic(nullptr), ButtonValue{});
  PlistNode notDic(plist_new_string("7"));
  EXPECT_EQ(*ButtonAction::GetButtonValueFromDic(notDic.get()), ButtonValue{});
  EXPECT_EQ(*ButtonAction::GetPadValueFromDic(nullptr), PadValue{});
  EXPECT_EQ(*ButtonAction::GetPadValueFromDic(notDic.get()), PadValue{});

  PlistNode pad = ButtonAction::GetDicFromPadValue(PadValue{1, 2, 3, 3, 2, 1, 8, {}});
  plist_dict_remove_item(pad.get(), "mem");
  EXPECT_EQ(*ButtonAction::GetPadValueFromDic(pad.get()), (PadValue{1, 2, 3, 3, 2, 1, 0, {}}));
}

TEST(PresetDictionary, WrongBtnIdConvertsAsIsAndTheCheckRefusesIt) {
  const Preset sample = test::samplePreset();
  PlistNode root = test::presetDic(sample);
  plist_dict_set_item(test::controlDic(root, 3), "BtnID", plist_new_string("10"));

  // Lenient conversion keeps what the file says...
  EXPECT_EQ(ButtonAction::GetButtonValueFromDic(test::controlDic(root, 3))->buttonID, 10);
  Preset converted = sample;
  converted.buttons[3] = ButtonAction::GetButtonValueFromDic(test::controlDic(root, 3));
  // ...and the check is what refuses it.
  const Outcome check = checkPreset(converted);
  EXPECT_FALSE(check);
  EXPECT_EQ(check.message(), "control 3 has BtnID 10");
  EXPECT_EQ(parsePreset(root.toXml()).outcome.message(), "control 3 has BtnID 10");
}

TEST(PresetCheck, RangesComeFromTheCodeTables) {
  auto refusal = [](auto change) {
    Preset preset = test::samplePreset();
    change(preset);
    return checkPreset(preset).message();
  };
  EXPECT_TRUE(checkPreset(test::samplePreset()));
  EXPECT_EQ(refusal([](Preset& p) { p.buttons[12]->mode = 7; }),
            "control 12: Mode 7 is outside 0\u20133");
  EXPECT_EQ(refusal([](Preset& p) { p.buttons[7]->mode = 3; }),
            "control 7: Mode 3 is outside 0\u20132");
  EXPECT_EQ(refusal([](Preset& p) { p.buttons[0]->channel = 17; }),
            "control 0: Channel 17 is outside 0\u201316");
  EXPECT_EQ(refusal([](Preset& p) { p.buttons[8]->CR = -1; }),
            "control 8: CR -1 is outside 0\u2013127");
  EXPECT_EQ(refusal([](Preset& p) { p.buttons[56]->CB = -2; }),
            "control 56: CB -2 is outside -1\u2013127");
  EXPECT_EQ(refusal([](Preset& p) { p.buttons[63]->modeOption = 4; }),
            "control 63: ModeOption 4 is outside 0\u20133");
  EXPECT_EQ(refusal([](Preset& p) { p.buttons[20]->value = 128; }),
            "control 20: Value 128 is outside 0\u2013127");
  EXPECT_EQ(refusal([](Preset& p) { p.global->globalMIDIChannel = 16; }),
            "global settings: globalMIDIChannel 16 is outside 0\u201315");
  EXPECT_EQ(refusal([](Preset& p) { p.global->mem = 9; }),
            "global settings: mem 9 is outside 0\u20138");
  EXPECT_EQ(refusal([](Preset& p) { p.global->globalKnobAccelerationCurve = -1; }),
            "global settings: globalKnobAccelerationCurve -1 is outside 0\u20132");
  EXPECT_EQ(refusal([](Preset& p) { p.buttons.pop_back(); }),
            "\"ButtonArray\" has 63 controls instead of 64");
  EXPECT_EQ(refusal([](Preset& p) { p.buttons[5] = nullptr; }), "control 5 is missing");
  EXPECT_EQ(refusal([](Preset& p) { p.global = nullptr; }), "the global settings are missing");
  // The first problem is the one named.
  EXPECT_EQ(refusal([](Preset& p) {
              p.buttons[40]->max = 200;
              p.buttons[9]->min = -5;
            }),
            "control 9: Min -5 is outside 0\u2013127");
}

}  // namespace
}  // namespace padkbd
