#include "model/ValueAction.h"

#include <gtest/gtest.h>

#include <vector>

#include "model/CurrentPreset.h"
#include "model/Fields.h"

namespace padkbd {
namespace {

using namespace ValueAction;

// Every setting's list position gives back itself through its device byte,
// on pads and on other controls: no two entries of a table share a byte.
TEST(ValueAction, EveryConversionRoundTrips) {
  std::vector<Conversion> all;
  for (const ControlFieldInfo& row : kControlFields)
    all.insert(all.end(), {row.onPad, row.onOther});
  for (const GlobalFieldInfo& row : kGlobalFields) all.push_back(row.conversion);
  all.push_back({GetButtonIDCharFromIndex, GetButtonIDIndexFromChar, kControlCount});
  for (std::size_t n = 0; n < all.size(); ++n)
    for (std::int32_t i = 0; i < all[n].entries; ++i)
      ASSERT_EQ(all[n].toIndex(all[n].toByte(i)), i) << "conversion " << n;
}

TEST(ValueAction, UnknownBytesAndIndicesFallBackToEntryZero) {
  // A byte in no entry reads as position 0; identity fields take every byte, signed.
  EXPECT_EQ(GetChannelIndexFromChar(0x10), 0);
  EXPECT_EQ(GetButtonIDIndexFromChar(0x0F), 0);
  EXPECT_EQ(GetGlobalKnobRelativeModeIndexFromChar(0x00), 0);
  EXPECT_EQ(GetValueIndexFromChar(static_cast<Byte>(0xFF)), -1);
  EXPECT_EQ(GetModeOptionIndexFromChar(0x05), 5);
  // A position outside its table gives entry 0, never a read outside it.
  EXPECT_EQ(GetGlobalKnobRelativeModeCharFromIndex(2), 0x01);
  EXPECT_EQ(GetButtonIDCharFromIndex(-1), 0x30);
  EXPECT_EQ(GetPadModeCharFromIndex(INT32_MIN), 0x00);
  EXPECT_EQ(GetValueCharFromIndex(128), 0x00);
}

TEST(CurrentPreset, HandsOutItsOwnRecordsAndNoneOutsideTheList) {
  CurrentPreset preset;
  EXPECT_EQ(preset.GetButtonValueWithID(0), nullptr);
  ButtonValueList list;
  for (int i = 0; i < kControlCount; ++i) list.push_back(std::make_shared<ButtonValue>());
  preset.replace(list, std::make_shared<PadValue>());
  EXPECT_EQ(preset.GetButtonValueWithID(63), list[63]);
  for (int outside : {-1, 64, INT32_MIN}) EXPECT_EQ(preset.GetButtonValueWithID(outside), nullptr);
}

}  // namespace
}  // namespace padkbd
