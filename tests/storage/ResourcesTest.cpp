#include <gtest/gtest.h>

#include <fmt/printf.h>

#include <map>
#include <string>

#include "storage/FileAction.h"
#include "tests/storage/StorageFixtures.h"

namespace padkbd {
namespace {

namespace fs = std::filesystem;

// Every leaf of a shipped preset is the "%d" string of what it reads as.
void expectDecimalStrings(const fs::path& file) {
  const std::string xml = test::readAll(file);
  plist_t raw = nullptr;
  plist_from_memory(xml.data(), static_cast<std::uint32_t>(xml.size()), &raw);
  PlistNode root(raw);
  ASSERT_TRUE(root);
  auto expectDic = [&](plist_t dic, std::size_t keys, const std::string& where) {
    ASSERT_EQ(plist_get_node_type(dic), PLIST_DICT) << where;
    EXPECT_EQ(plist_dict_get_size(dic), keys) << where;
    for (const auto& [key, text] : test::entries(dic)) {
      EXPECT_EQ(text, fmt::sprintf("%d", integerOf(plist_dict_get_item(dic, key.c_str()))))
          << where << " " << key;
    }
  };
  for (std::uint32_t i = 0; i < kControlCount; ++i) {
    expectDic(test::controlDic(root, i), kButtonKeys.size(), fmt::format("control {}", i));
  }
  expectDic(plist_dict_get_item(root.get(), kGlobalValueKey), kPadKeys.size(), "global");
}

TEST(ShippedResources, DefaultAndTempArePresetsByTheRules) {
  for (const char* name : {"default.plist", "temp.plist"}) {
    SCOPED_TRACE(name);
    const fs::path file = test::sourceResourceDir() / name;
    const PresetRead read = readPresetFile(file);
    ASSERT_TRUE(read.outcome) << read.outcome.message();
    ASSERT_EQ(read.preset.buttons.size(), 64u);
    for (int i = 0; i < kControlCount; ++i) {
      const ButtonValue& b = *read.preset.buttons[static_cast<std::size_t>(i)];
      EXPECT_EQ(b.buttonID, i);
      if (!isPadControl(i)) {
        EXPECT_EQ(b.CR, -1) << i;
        EXPECT_EQ(b.CG, -1) << i;
        EXPECT_EQ(b.CB, -1) << i;
      } else {
        EXPECT_EQ(b.MIDInumb, 36 + i - 8) << "pads play consecutive notes from 36";
      }
    }
    EXPECT_EQ(read.preset.global->globalOctaveTransposition, 0);
    expectDecimalStrings(file);
    // The build tree carries the same file.
    EXPECT_EQ(test::readAll(test::shippedResourceDir() / name), test::readAll(file));
  }
}

TEST(ShippedResources, BasicHasTheTwelveListsWithTheirItemCounts) {
  const FileAction files(test::shippedResourceDir(), "unused");
  const auto lists = files.readChoiceLists();
  const std::map<std::string, std::size_t> counts{
      {"globalChannel", 16},  {"globalOctave", 9},        {"globalPadVelCurve", 4},
      {"globalKnobAccel", 3}, {"globalVelocityCurve", 4}, {"buttonName", 64},
      {"selectPadMod", 4},    {"selectOtherMod", 3},      {"select127", 128},
      {"selectChannel", 17},  {"selectCCNumber", 128},    {"mem", 9}};
  EXPECT_EQ(lists.size(), counts.size());
  for (const auto& [key, count] : counts) {
    SCOPED_TRACE(key);
    ASSERT_EQ(lists.count(key), 1u);
    const auto& items = lists.at(key);
    EXPECT_EQ(items.size(), count);
    for (const auto& item : items) EXPECT_FALSE(item.empty());
  }
  EXPECT_EQ(lists.at("select127")[127], "127");
  EXPECT_EQ(lists.at("selectChannel")[16], "Global");
  EXPECT_EQ(lists.at("globalOctave")[0], "0");  // bytes 00-04 are 0..+4, 41-44 are -1..-4
  EXPECT_EQ(lists.at("globalOctave")[5], "-1");
  EXPECT_EQ(lists.at("buttonName")[8], "Pad 1");

  // No resource, no lists.
  const FileAction none(test::sourceResourceDir() / "missing", "unused");
  EXPECT_TRUE(none.readChoiceLists().empty());
}

}  // namespace
}  // namespace padkbd
