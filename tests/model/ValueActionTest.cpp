#include "model/ValueAction.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>

#include "model/Log.h"
#include "model/Records.h"

namespace padkbd {
namespace {

using namespace ValueAction;

constexpr Byte b(int v) {
  return static_cast<Byte>(v);
}

TEST(ValueAction, ControlIdTableBothWays) {
  // The rows the editor and the wire depend on.
  EXPECT_EQ(GetButtonIDCharFromIndex(0), 0x30);
  EXPECT_EQ(GetButtonIDCharFromIndex(8), 0x50);
  EXPECT_EQ(GetButtonIDCharFromIndex(11), 0x53);
  EXPECT_EQ(GetButtonIDCharFromIndex(55), 0x7F);
  EXPECT_EQ(GetButtonIDCharFromIndex(56), 0x33);
  EXPECT_EQ(GetButtonIDCharFromIndex(63), 0x08);
  EXPECT_EQ(GetButtonIDIndexFromChar(0x7F), 55);
  EXPECT_EQ(GetButtonIDIndexFromChar(0x33), 56);
  EXPECT_EQ(GetButtonIDIndexFromChar(0x08), 63);
  EXPECT_EQ(GetButtonIDIndexFromChar(0x30), 0);
  EXPECT_EQ(GetButtonIDIndexFromChar(0x0F), 0);  // in no row

  std::set<int> seen;
  for (int i = 0; i < kControlCount; ++i) {
    const Byte id = GetButtonIDCharFromIndex(i);
    seen.insert(id);
    EXPECT_EQ(GetButtonIDIndexFromChar(id), i) << "index " << i;
    if (isPadControl(i)) {
      EXPECT_EQ(id, i + 0x48) << "pad control " << i;
    }
  }
  EXPECT_EQ(seen.size(), 64u);
}

TEST(ValueAction, KindTestSplitsPadsFromOtherControls) {
  EXPECT_FALSE(isPadControl(7));
  EXPECT_TRUE(isPadControl(8));
  EXPECT_TRUE(isPadControl(55));
  EXPECT_FALSE(isPadControl(56));
  EXPECT_FALSE(isPadControl(-1));
  EXPECT_FALSE(isPadControl(INT32_MIN));
  EXPECT_FALSE(isPadControl(INT32_MAX));
  int pads = 0;
  for (int i = 0; i < kControlCount; ++i) pads += isPadControl(i);
  EXPECT_EQ(pads, kPadControlCount);
}

struct SearchCase {
  const char* name;
  std::int32_t (*toIndex)(Byte);
  int byte;
  std::int32_t index;
};

TEST(ValueAction, SearchConversionsTakeFirstMatchOrZero) {
  const SearchCase cases[] = {
      {"channel 41", GetChannelIndexFromChar, 0x41, 16},
      {"channel 10 unknown", GetChannelIndexFromChar, 0x10, 0},
      {"octave 44", GetGlobalOctaveTranspositionIndexFromChar, 0x44, 8},
      {"octave 05 unknown", GetGlobalOctaveTranspositionIndexFromChar, 0x05, 0},
      {"knob relative 7F", GetGlobalKnobRelativeModeIndexFromChar, 0x7F, 1},
      {"knob relative 01", GetGlobalKnobRelativeModeIndexFromChar, 0x01, 0},
      {"knob relative 00 unknown", GetGlobalKnobRelativeModeIndexFromChar, 0x00, 0},
      {"pad mode 08", GetPadModeIndexFromChar, 0x08, 2},
      {"pad mode 09", GetPadModeIndexFromChar, 0x09, 3},
      {"pad mode 04 unknown", GetPadModeIndexFromChar, 0x04, 0},
      {"other mode 04", GetOtherModeIndexFromChar, 0x04, 2},
      {"other mode 08 unknown", GetOtherModeIndexFromChar, 0x08, 0},
      {"mem 08", GetMemIndexFromChar, 0x08, 8},
      {"mem 09 unknown", GetMemIndexFromChar, 0x09, 0},
      {"global channel 0F", GetGlobalMIDIChannelIndexFromChar, 0x0F, 15},
      {"global channel 41 unknown", GetGlobalMIDIChannelIndexFromChar, 0x41, 0},
      {"knob accel 02", GetGlobalKnobAccelerationCurveIndexFromChar, 0x02, 2},
      {"knob accel 03 unknown", GetGlobalKnobAccelerationCurveIndexFromChar, 0x03, 0},
      {"velocity curve 03", GetGlobalVelocityCurveIndexFromChar, 0x03, 3},
      {"pad velocity curve FF unknown", GetGlobalPadVelocityCurveIndexFromChar, 0xFF, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.toIndex(b(c.byte)), c.index) << c.name;
  }
}

TEST(ValueAction, IdentityConversionsAcceptEveryByteAsSigned) {
  for (auto toIndex :
       {GetValueIndexFromChar, GetMIDInumbIndexFromChar, GetMinIndexFromChar, GetMaxIndexFromChar,
        GetModeOptionIndexFromChar, GetCRIndexFromChar, GetCGIndexFromChar, GetCBIndexFromChar}) {
    EXPECT_EQ(toIndex(b(0x00)), 0);
    EXPECT_EQ(toIndex(b(0x7F)), 127);
    EXPECT_EQ(toIndex(b(0x80)), -128);
    EXPECT_EQ(toIndex(b(0xFF)), -1);
  }
  EXPECT_EQ(GetModeOptionIndexFromChar(b(0x05)), 5);  // no table consulted
}

TEST(ValueAction, IndexToByteForCalledOutEntries) {
  EXPECT_EQ(GetChannelCharFromIndex(16), 0x41);
  EXPECT_EQ(GetChannelCharFromIndex(15), 0x0F);
  EXPECT_EQ(GetGlobalOctaveTranspositionCharFromIndex(4), 0x04);
  EXPECT_EQ(GetGlobalOctaveTranspositionCharFromIndex(5), 0x41);
  EXPECT_EQ(GetGlobalOctaveTranspositionCharFromIndex(8), 0x44);
  EXPECT_EQ(GetGlobalKnobRelativeModeCharFromIndex(0), 0x01);
  EXPECT_EQ(GetGlobalKnobRelativeModeCharFromIndex(1), 0x7F);
  EXPECT_EQ(GetPadModeCharFromIndex(2), 0x08);
  EXPECT_EQ(GetPadModeCharFromIndex(3), 0x09);
  EXPECT_EQ(GetOtherModeCharFromIndex(2), 0x04);
  EXPECT_EQ(GetMemCharFromIndex(8), 0x08);
  for (int i = 0; i < 128; ++i) {
    EXPECT_EQ(GetFrom127WithIndex(i), i);
    for (auto toByte :
         {GetValueCharFromIndex, GetMIDInumbCharFromIndex, GetMinCharFromIndex, GetMaxCharFromIndex,
          GetCRCharFromIndex, GetCGCharFromIndex, GetCBCharFromIndex}) {
      ASSERT_EQ(toByte(i), i);
    }
  }
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(GetGlobalVelocityCurveCharFromIndex(i), GetGlobalPadVelocityCurveCharFromIndex(i));
    EXPECT_EQ(GetModeOptionIndexFromChar(GetModeOptionCharFromIndex(i)), i);
  }
}

TEST(ValueAction, SearchTablesRoundTripEveryEntry) {
  for (int i = 0; i < kChannelTable.size(); ++i)
    EXPECT_EQ(GetChannelIndexFromChar(GetChannelCharFromIndex(i)), i);
  for (int i = 0; i < kOctaveTranspositionTable.size(); ++i)
    EXPECT_EQ(
        GetGlobalOctaveTranspositionIndexFromChar(GetGlobalOctaveTranspositionCharFromIndex(i)), i);
  for (int i = 0; i < kMemTable.size(); ++i)
    EXPECT_EQ(GetMemIndexFromChar(GetMemCharFromIndex(i)), i);
  for (int i = 0; i < kGlobalChannelTable.size(); ++i)
    EXPECT_EQ(GetGlobalMIDIChannelIndexFromChar(GetGlobalMIDIChannelCharFromIndex(i)), i);
}

TEST(ValueAction, IndexOutsideItsTableGivesEntryZeroAndOneDiagnostic) {
  struct Case {
    Byte (*toByte)(std::int32_t);
    std::int32_t index;
    Byte entry0;
    const char* table;
  };
  const Case cases[] = {
      {GetChannelCharFromIndex, 17, 0x00, "channel table"},
      {GetChannelCharFromIndex, -1, 0x00, "channel table"},
      {GetGlobalKnobRelativeModeCharFromIndex, 2, 0x01, "knob relative mode table"},
      {GetButtonIDCharFromIndex, 64, 0x30, "control ID table"},
      {GetMemCharFromIndex, 9, 0x00, "memory slot table"},
      {GetValueCharFromIndex, 128, 0x00, "0-127 table"},
      {GetCRCharFromIndex, -1, 0x00, "0-127 table"},
      {GetModeOptionCharFromIndex, 4, 0x00, "curve table"},
      {GetPadModeCharFromIndex, INT32_MIN, 0x00, "pad-mode table"},
      {GetOtherModeCharFromIndex, INT32_MAX, 0x00, "other-mode table"},
  };
  for (const auto& c : cases) {
    log::Capture capture;
    EXPECT_EQ(c.toByte(c.index), c.entry0) << c.table << " " << c.index;
    const auto lines = capture.diagnostics();
    ASSERT_EQ(lines.size(), 1u) << c.table;
    EXPECT_THAT(lines[0], testing::HasSubstr(c.table));
    EXPECT_THAT(lines[0], testing::HasSubstr(std::to_string(c.index)));
  }
  log::Capture quiet;
  EXPECT_EQ(GetChannelCharFromIndex(16), 0x41);
  EXPECT_TRUE(quiet.diagnostics().empty());
}

// The tables are usable at compile time, where an index outside them cannot compile.
static_assert(GetChannelCharFromIndex(16) == 0x41);
static_assert(GetButtonIDIndexFromChar(0x7F) == 55);

}  // namespace
}  // namespace padkbd
