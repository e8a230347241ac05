#include "model/ValueAction.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "model/CurrentPreset.h"
#include "model/Fields.h"
#include "model/Log.h"
#include "model/NoteNames.h"
#include "model/Playing.h"

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
  // A byte in no entry reads as position 0 (every table is searched alike);
  // identity fields take every byte, signed.
  EXPECT_EQ(GetChannelIndexFromChar(0x10), 0);
  EXPECT_EQ(GetValueIndexFromChar(static_cast<Byte>(0xFF)), -1);
  EXPECT_EQ(GetModeOptionIndexFromChar(0x05), 5);
  // A position outside its table, one past either end, gives entry 0, never a
  // read outside it.
  EXPECT_EQ(GetGlobalKnobRelativeModeCharFromIndex(2), 0x01);
  EXPECT_EQ(GetButtonIDCharFromIndex(-1), 0x30);
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

// Every step a knob can take (up to 63 either way) comes back from the value
// of each relative encoding; the absolute one carries none. Every field has
// its row.
TEST(Playing, EveryStepComesBackFromItsValueInEachEncoding) {
  using namespace playing;
  for (const Relative encoding :
       {Relative::TwosComplement, Relative::BinaryOffset, Relative::SignMagnitude}) {
    for (int step = -63; step <= 63; ++step) {
      if (step != 0) {
        ASSERT_EQ(stepOf(encoding, stepValue(encoding, step)), step);
      }
    }
  }
  EXPECT_EQ(stepValue(Relative::Absolute, 5) + stepOf(Relative::Absolute, 5), 0);
  ButtonValue control{.MIDInumb = 128};
  EXPECT_FALSE(noteOf(control, PadValue{}));
  // The octave steps up, then down; a step outside the list (a simulated
  // keyboard's state file may hold one) transposes nothing.
  for (const auto& [step, semitones] :
       {std::pair{-1, 0}, {0, 0}, {1, 12}, {4, 48}, {5, -12}, {8, -48}, {9, 0}, {127, 0}}) {
    PadValue global;
    global.globalOctaveTransposition = step;
    EXPECT_EQ(transposition(global), semitones) << step;
  }
  for (const ControlFieldInfo& row : kControlFields) EXPECT_EQ(info(row.field).field, row.field);
  for (const GlobalFieldInfo& row : kGlobalFields) EXPECT_EQ(info(row.field).field, row.field);
}

// A number's label gets its note only when the label starts with that whole
// number; texts fill their values, "%%" being "%".
TEST(Words, NoteNamesGoOnlyWithTheirNumberAndPatternsFillTheirValues) {
  const std::tuple<const char*, int, const char*> labels[] = {
      {"36 Foot Controller", 36, "36 C1 · Foot Controller"},
      {"36", 36, "36 C1"},
      {"360", 36, "360"},
      {"12 Foot", 36, "12 Foot"},
      {"128", 128, "128"}};
  for (const auto& [label, number, shown] : labels) EXPECT_EQ(withNoteName(label, number), shown);
  EXPECT_EQ(fillPattern("%1 of %2 at 100%% %3", {"3", "9"}), "3 of 9 at 100% %3");
  EXPECT_EQ(english(joined({})), "");
  // Before a program gives the log a place: diagnostics to standard error, output to standard output.
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  log::diag("line %d", 1);
  log::out("text");
  EXPECT_EQ(testing::internal::GetCapturedStdout() + testing::internal::GetCapturedStderr(),
            "textline 1\n");
}

// Every test program runs in a home of its own (see tests/support/PrivateHome.cpp).
TEST(PrivateHome, EveryTestProgramHasAHomeOfItsOwn) {
  const char* home = std::getenv("PADKBD_PRIVATE_HOME");
  ASSERT_NE(home, nullptr);
  for (const auto& [variable, folder] : {std::pair{"HOME", "/home"},
                                         {"XDG_STATE_HOME", "/state"},
                                         {"XDG_CONFIG_HOME", "/config"},
                                         {"XDG_DATA_HOME", "/data"}})
    EXPECT_EQ(std::string(std::getenv(variable)), home + std::string(folder)) << variable;
}

}  // namespace
}  // namespace padkbd
