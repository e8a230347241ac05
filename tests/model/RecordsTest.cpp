#include <gtest/gtest.h>

#include "model/CurrentPreset.h"
#include "model/Records.h"

namespace padkbd {
namespace {

TEST(Records, NewRecordsAreAllZeroWithNoVersion) {
  const ButtonValue button;
  EXPECT_EQ(button, (ButtonValue{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
  const PadValue pad;
  EXPECT_EQ(pad.mem, 0);
  EXPECT_EQ(pad.globalKnobRelativeMode, 0);
  EXPECT_TRUE(pad.version.empty());
}

TEST(Records, VersionKeepsItsOwnCopy) {
  PadValue pad;
  std::string text = "01.02";
  pad.version = text;
  text[0] = '9';
  EXPECT_EQ(pad.version, "01.02");
}

CurrentPreset makePreset() {
  CurrentPreset preset;
  ButtonValueList list;
  for (int i = 0; i < kControlCount; ++i) {
    auto record = std::make_shared<ButtonValue>();
    record->buttonID = i;
    list.push_back(record);
  }
  preset.replace(std::move(list), std::make_shared<PadValue>());
  return preset;
}

TEST(CurrentPreset, HandsOutTheRecordsThemselves) {
  CurrentPreset preset = makePreset();
  preset.GetButtonValueWithID(12)->channel = 9;
  EXPECT_EQ(preset.buttonValueArray[12]->channel, 9);
  preset.getPadValue()->mem = 3;
  EXPECT_EQ(preset.currentPadValue->mem, 3);
  EXPECT_EQ(preset.GetButtonValueWithID(12).get(), preset.buttonValueArray[12].get());
}

TEST(CurrentPreset, IndexOutsideTheListYieldsNoRecord) {
  CurrentPreset empty;
  EXPECT_EQ(empty.GetButtonValueWithID(0), nullptr);
  EXPECT_EQ(empty.getPadValue(), nullptr);
  CurrentPreset preset = makePreset();
  EXPECT_EQ(preset.GetButtonValueWithID(-1), nullptr);
  EXPECT_EQ(preset.GetButtonValueWithID(64), nullptr);
  EXPECT_EQ(preset.GetButtonValueWithID(INT32_MIN), nullptr);
  EXPECT_NE(preset.GetButtonValueWithID(63), nullptr);
}

TEST(CurrentPreset, RecordTakenBeforeAReplacementIsDetached) {
  CurrentPreset preset = makePreset();
  ButtonValuePtr old = preset.GetButtonValueWithID(5);
  PadValuePtr oldPad = preset.getPadValue();
  old->max = 100;

  CurrentPreset fresh = makePreset();
  preset.replace(fresh.buttonValueArray, fresh.currentPadValue);
  old->max = 7;
  oldPad->mem = 8;
  EXPECT_EQ(old->max, 7);  // the old record keeps living and changing
  EXPECT_EQ(preset.GetButtonValueWithID(5)->max, 0);
  EXPECT_EQ(preset.getPadValue()->mem, 0);
  EXPECT_NE(preset.GetButtonValueWithID(5).get(), old.get());
}

}  // namespace
}  // namespace padkbd
