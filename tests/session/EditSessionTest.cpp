// The editing rules without a window: fields, Default, Load and Save, undo and
// redo, unsaved changes, and what each rule refuses. (Selection, bulk change,
// copy and paste, the gains and what a send would change are tested through
// the window.)
#include "session/EditSession.h"

#include <gtest/gtest.h>

#include "model/Log.h"
#include "tests/support/TempDir.h"

namespace padkbd {
namespace {

class EditSessionTest : public ::testing::Test {
 protected:
  // The session starts on what the keyboard gave: the default preset with
  // pad 1 (control 8) red.
  static Preset fromKeyboard(FileAction& files) {
    Preset preset = files.defaultPreset();
    std::tie(preset.buttons[8]->CR, preset.buttons[8]->CG, preset.buttons[8]->CB) =
        std::tuple(127, 0, 0);
    return preset;
  }

  std::vector<ButtonValue> values() const {
    std::vector<ButtonValue> all;
    for (const auto& record : session.preset().buttons) all.push_back(*record);
    return all;
  }

  log::Capture quiet;
  test::TempDir tmp;
  FileAction files{PADKBD_TEST_RESOURCE_DIR, tmp / "temp.plist"};
  EditSession session{files, fromKeyboard(files), Origin{Origin::Kind::Keyboard, "01.02"}, "01.02"};
};

TEST_F(EditSessionTest, FieldEditsChangeTheRecordsAndUndoStepByStep) {
  const auto start = values();
  session.press(Selector::Black, 14);  // control 13: Pad 6
  // (Each field reaching its record: the window's tests.)
  session.setField(ControlField::CG, 55);
  session.setField(ControlField::Mode, 1);
  session.setField(ControlField::ModeOption, 3);
  session.setField(ControlField::Mode, 2);  // a new mode starts at its first option
  session.setGlobal(GlobalField::OctaveTransposition, 6);
  EXPECT_EQ(session.undoText(), "octave transposition");

  session.undo();
  session.undo();  // the mode and its option come back together
  EXPECT_EQ(std::pair(session.control(13)->mode, session.control(13)->modeOption), std::pair(1, 3));
  EXPECT_EQ(session.redoText(), "Pad 6 mode");
  session.redo();
  EXPECT_EQ(session.control(13)->modeOption, 0);
  // A new edit drops what could have been redone: the octave step is gone.
  session.setField(ControlField::Value, 9);
  EXPECT_FALSE(session.canRedo());
  session.undo();
  EXPECT_EQ(session.undoText(), "Pad 6 mode");
  while (session.canUndo()) session.undo();

  EXPECT_EQ(values(), start);
  EXPECT_FALSE(session.modified());

  // History goes back a long way, not for ever.
  for (std::size_t n = 0; n <= EditSession::kMaxSteps; ++n)
    session.setField(ControlField::Value, static_cast<std::int32_t>((n + 1) % 128));
  std::size_t undone = 0;
  for (; session.canUndo(); ++undone) session.undo();
  EXPECT_EQ(undone, EditSession::kMaxSteps);
  EXPECT_EQ(session.control(13)->value, 1);  // the first edit is the one forgotten
}

TEST_F(EditSessionTest, DefaultLoadAndReadReplaceTheRecordsAndUndoBringsThemBack) {
  session.press(Selector::Black, 9);
  const ButtonValuePtr before = session.current();
  ASSERT_TRUE(session.useDefault());
  // (The current control following its index, and where the preset came from: the window's tests.)
  EXPECT_NE(session.current(), before) << "new records";
  EXPECT_EQ(session.control(8)->CR, files.defaultPreset().buttons[8]->CR);
  EXPECT_EQ(session.global()->version, "01.02")
      << "the firmware field keeps what the keyboard said";
  EXPECT_TRUE(session.modified());
  session.undo();
  EXPECT_EQ(session.current(), before) << "the very records of before";
  EXPECT_FALSE(session.modified());

  // Save, then Load: the document named.
  session.setField(ControlField::Value, 77);
  ASSERT_TRUE(session.saveDocument(tmp / "mine.padkbd"));
  EXPECT_FALSE(session.modified());
  session.setField(ControlField::Value, 78);
  EXPECT_TRUE(session.modified());
  // (The loaded values: ActionsTest::saveDefaultAndLoad.)
  ASSERT_TRUE(session.loadDocument(tmp / "mine.padkbd"));
  EXPECT_FALSE(session.modified());
  EXPECT_EQ(session.undoText(), "Load mine.padkbd");
  EXPECT_FALSE(session.loadDocument(tmp / "missing.padkbd"));
  EXPECT_EQ(session.undoText(), "Load mine.padkbd") << "a refused document changes nothing";
  session.undo();
  EXPECT_EQ(session.current()->value, 78);

  // What the keyboard gives is what it holds: no changes to send.
  Preset read = fromKeyboard(files);
  read.buttons[20]->MIDInumb = 5;
  session.useKeyboardPreset(std::move(read), "1a.05");
  EXPECT_EQ(session.global()->version, "1a.05");
  EXPECT_FALSE(session.modified());
  EXPECT_TRUE(session.changesOnKeyboard().empty());
}

TEST_F(EditSessionTest, AHistoryEntryOpensAsOneUnsavedStepAndASendNamesWhereItCameFrom) {
  const auto start = values();
  EXPECT_EQ(session.sendSource(), "from the keyboard");
  Preset held = files.defaultPreset();
  held.buttons[20]->value = 9;
  // (Its values, one unsaved step named for it: DialogsTest::memorySlotsAndHistory.)
  session.useHistoryEntry(std::move(held), 12);
  EXPECT_EQ(session.sendSource(), "history entry 12");
  session.press(Selector::Black, 21);
  session.setField(ControlField::Value, 10);
  session.sentToKeyboard(session.copyOfPreset());
  EXPECT_EQ(session.sendSource(), "history entry 12, edited") << "a send keeps where it came from";
  session.undo();
  EXPECT_EQ(session.sendSource(), "history entry 12");
  session.undo();
  EXPECT_EQ(values(), start);
  EXPECT_EQ(session.sendSource(), "from the keyboard");
  EXPECT_TRUE(session.useDefault());
  EXPECT_TRUE(session.modified());
  EXPECT_EQ(session.sendSource(), "default preset") << "unsaved, yet not edited";
}

// Without the choice lists (no "basic" resource) controls are numbered.
// The other side of each rule: bulk actions outside bulk mode do nothing and
// choose no control that is not a pad; the bank takes each knob and pad of
// the first row to its partner and leaves the rest; nothing to copy or paste
// without a control. (The oldest undo steps going beyond the limit:
// FieldEditsChangeTheRecordsAndUndoStepByStep.)
TEST_F(EditSessionTest, EachRuleRefusesWhatItDoesNotCover) {
  const auto start = values();
  EXPECT_FALSE(session.chooseForBulk({8}) || session.chooseRangeForBulk(8));
  session.leaveBulk();
  session.cancelBulk();
  EXPECT_FALSE(session.copyControl() || session.paste());
  session.enterBulk();
  EXPECT_FALSE(session.chooseForBulk({0, 7, 56, 64}) || session.chooseRangeForBulk(0));
  EXPECT_TRUE(session.chooseForBulk({8, 0}) && session.bulkSelection().size() == 1u);
  session.cancelBulk();
  EXPECT_TRUE(values() == start && !session.inBulk());
  for (const auto& [tag, current, partner] :
       {std::tuple{1, 0, 8}, {8, 7, 15}, {9, 8, 0}, {16, 15, 7}, {17, 16, 16}, {64, 63, 63}}) {
    session.press(Selector::Black, tag);
    ASSERT_EQ(session.current()->buttonID, current) << tag;
    session.toggleBank();
    EXPECT_EQ(session.current()->buttonID, partner) << tag;
    EXPECT_EQ(session.padLists(), isPadControl(partner)) << tag;
  }
}

TEST(EditSessionBare, WithoutTheirNamesControlsAreNumbered) {
  log::Capture quiet;
  test::TempDir empty;
  FileAction files{empty.path(), empty / "temp.plist"};
  EditSession session{files, files.defaultPreset(), Origin{Origin::Kind::Default, ""}};
  EXPECT_EQ(session.controlName(64), "Control 65");
}

}  // namespace
}  // namespace padkbd
