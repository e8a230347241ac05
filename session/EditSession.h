// The preset being edited and everything the editor does to it, without a
// window: the current control, the bank, bulk change, the fields, Default,
// Load and Save, copy and paste, undo and redo, whether there are unsaved
// changes, and what a send would change on the keyboard. The window binds
// its widgets to this; the command-line tool uses it to send a document.
//
// Records are shared: the current control is a record of the preset itself,
// and edits change it in place. Default, Load and a read from the keyboard
// put new records in place of the old ones.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "model/Fields.h"
#include "model/Outcome.h"
#include "model/Records.h"
#include "session/KeyboardPreset.h"
#include "session/UndoHistory.h"
#include "storage/FileAction.h"

namespace padkbd {

// The three kinds of selector in the window, and their tags: white 1-8 (the
// knobs, or pads 1-8 with the second bank), black 9-64 (controls 8-63, pads
// and buttons), other (controls tag + 7).
enum class Selector { White, Black, Other };

class EditSession {
 public:
  static constexpr int kGainCount = 8;
  static constexpr int kDefaultGain = 64;
  // The bulk record's own id: it stands for no control.
  static constexpr std::int32_t kBulkRecordId = 100;
  // Steps kept for undo; the oldest go first beyond this.
  static constexpr std::size_t kMaxSteps = UndoHistory::kMaxSteps;

  // `files` gives the default preset, the working copy and documents; the
  // session starts on `preset` (what the start-up read gave) as saved.
  EditSession(FileAction& files, Preset preset, Origin origin,
              std::optional<std::string> firmware = std::nullopt);

  // --- The preset -------------------------------------------------------
  const Preset& preset() const { return preset_; }
  ButtonValuePtr control(std::int32_t index) const;
  const PadValuePtr& global() const { return preset_.global; }
  // A copy with records of its own, for another thread or the keyboard.
  Preset copyOfPreset() const;
  const Origin& origin() const { return origin_; }
  // The firmware version the keyboard last gave; none: no keyboard answered.
  const std::optional<std::string>& firmware() const { return keyboard_.firmware(); }
  // Choice-list labels: control names ("Pad 6"), and the rest by list key.
  const std::map<std::string, std::vector<std::string>>& lists() const { return lists_; }
  std::string controlName(std::int32_t index) const;

  // --- Selection ----------------------------------------------------------
  // The control a selector stands for now (the white ones follow the bank).
  std::int32_t indexOf(Selector selector, int tag) const;
  // A click on a selector. Outside bulk mode it makes that control current;
  // in bulk mode a black selector of a pad adds or removes it (white and
  // other selectors, and black ones of buttons, do nothing there).
  // True when something changed.
  bool press(Selector selector, int tag);
  // The current control: a record of the preset, the bulk record in bulk
  // mode, or none (at the start, and after bulk mode was left).
  const ButtonValuePtr& current() const { return current_; }
  // Whether the pad lists (modes, options) are in force for the current
  // control; they follow its kind, or are always on in bulk mode.
  bool padLists() const { return padLists_; }
  bool secondBank() const { return secondBank_; }
  // The bank switch: the current control follows to its partner (knob n to
  // pad n and back).
  void toggleBank();

  // --- Fields -----------------------------------------------------------
  // Sets a field of the current control; a new mode resets the mode option
  // to its first entry. One undo step (none in bulk mode, where only the
  // bulk record changes).
  // The three colour components at once (the colour dialog): one undo step.
  void setColour(std::int32_t red, std::int32_t green, std::int32_t blue);
  void setField(ControlField field, std::int32_t position);
  void setGlobal(GlobalField field, std::int32_t position);
  // The option list of the current control's mode.
  std::vector<std::string> modeOptions() const;

  // --- Bulk change ------------------------------------------------------
  // The fields a bulk pass gives every chosen pad (the only ones bulk mode edits).
  static constexpr std::array<ControlField, 5> kBulkFields = {
      ControlField::Mode, ControlField::ModeOption, ControlField::CR, ControlField::CG,
      ControlField::CB};
  static constexpr bool takesBulk(ControlField field) {
    return std::find(kBulkFields.begin(), kBulkFields.end(), field) != kBulkFields.end();
  }
  bool inBulk() const { return bulk_; }
  void enterBulk();
  // Gives every chosen pad the bulk record's mode, option and colour (one
  // undo step), then leaves; afterwards no control is current.
  void leaveBulk();
  // Leaves bulk mode without changing any pad.
  void cancelBulk();
  // Chooses the pads among `indices` at once; when all of them are chosen
  // already, unchooses them instead. True when something changed.
  bool chooseForBulk(const std::vector<std::int32_t>& indices);
  // Shift-click: the pads from the last one clicked to the one at `index`,
  // in reading order, are chosen.
  bool chooseRangeForBulk(std::int32_t index);
  const std::vector<ButtonValuePtr>& bulkSelection() const { return bulkSelection_; }
  bool inBulkSelection(std::int32_t index) const;

  // --- Default, Load, Save ----------------------------------------------
  // Each replaces the preset with new records (one undo step); the current
  // control becomes the record at the same index.
  Outcome useDefault();
  // The document's preset, also left in the working copy as the editor
  // always did; its file name is shown.
  Outcome loadDocument(const std::filesystem::path& path);
  // A preset already read and checked (a document the command-line tool sends).
  void useDocument(Preset preset, const std::string& name);
  // The preset of history entry `id` (one undo step); unsaved until saved or sent.
  void useHistoryEntry(Preset preset, std::int64_t id);
  // Save, first half: the preset into the working copy.
  Outcome writeWorkingCopy();
  // Save, second half: `shown` (a copy of the preset taken when Save was
  // chosen) into the document, which is then what it was last saved as;
  // edits made since stay unsaved. The working copy is not read back.
  Outcome exportDocument(const std::filesystem::path& path, const Preset& shown);
  // Both halves, with the preset as it is.
  Outcome saveDocument(const std::filesystem::path& path);
  // What the keyboard gave (a read): replaces the preset, one undo step, and
  // is what the keyboard holds from now on.
  void useKeyboardPreset(Preset preset, std::optional<std::string> firmware);
  // The same for the read the editor starts with: nothing to undo yet.
  void startWith(Preset preset, std::optional<std::string> firmware);
  // `sent` (a copy of the preset, taken when the send began) was written
  // into the keyboard's memory slot; edits made since stay unsaved.
  void sentToKeyboard(const Preset& sent);
  // A send that stopped part-way: what the keyboard holds is not known now.
  void sendInterrupted() { keyboard_.forget(); }

  // --- Copy and paste ---------------------------------------------------
  bool copyControl();
  bool canPaste() const;
  // Onto the current control, if it is of the copied kind. One undo step.
  bool paste();

  // --- Undo ---------------------------------------------------------------
  // Both are off in bulk mode: a step undone there would change settings
  // bulk mode holds still (the global block, the pads' other fields).
  bool canUndo() const { return !bulk_ && history_.canUndo(); }
  bool canRedo() const { return !bulk_ && history_.canRedo(); }
  // What they would undo or redo: "Pad 6 colour", "Default".
  // Undo's and Redo's labels, as the window words them and in the tool's words.
  Text undoLabel() const { return history_.undoLabel(); }
  Text redoLabel() const { return history_.redoLabel(); }
  std::string undoText() const { return history_.canUndo() ? english(undoLabel()) : std::string(); }
  std::string redoText() const { return history_.canRedo() ? english(redoLabel()) : std::string(); }
  void undo();
  void redo();

  // --- What is saved, what is on the keyboard ---------------------------
  // Whether the preset differs from what was last loaded, saved, read from
  // or sent to the keyboard, or came from the history since.
  bool modified() const;
  // Where the preset came from, as a send records it: "live.padkbd", "from
  // the keyboard", "default preset", "history entry 12", with ", edited"
  // when it was changed since.
  std::string sendSource() const;
  // Whether anything is known of what the keyboard holds.
  bool knowsKeyboard() const { return keyboard_.known(); }
  // Every setting that a send would change, against what was last read from
  // or sent to the keyboard, one line each (the memory slot left out).
  std::vector<std::string> changesOnKeyboard() const { return keyboard_.changes(preset_, lists_); }

  // --- Gains --------------------------------------------------------------
  const std::vector<std::int32_t>& gains() const { return gains_; }
  void setGain(int n, std::int32_t value) {
    if (n >= 0 && n < kGainCount) gains_[static_cast<std::size_t>(n)] = value;
  }
  void resetGains() { gains_.assign(kGainCount, kDefaultGain); }

 private:
  using Step = UndoHistory::Step;

  static std::int32_t& field(ButtonValue& record, ControlField f);
  static std::int32_t& field(PadValue& global, GlobalField f);
  void record(Step step);
  void apply(const Step& step, bool forward);
  void replace(Preset preset, Origin origin, Text label);
  // `origin` with its source named and `preset`'s values as given.
  static Origin cameFrom(Origin origin, const Preset& preset);
  // After the records changed: the current control is the record at its index.
  void followCurrent();
  Text fieldLabel(std::int32_t control, int field) const;

  FileAction& files_;
  Preset preset_;
  Origin origin_;
  KeyboardPreset keyboard_;
  std::map<std::string, std::vector<std::string>> lists_;
  ButtonValuePtr current_;
  bool padLists_ = false;
  bool secondBank_ = false;
  bool bulk_ = false;
  std::vector<ButtonValuePtr> bulkSelection_;
  std::int32_t bulkAnchor_ = -1;  // the pad last clicked in bulk mode
  ButtonValuePtr bulkRecord_;
  std::optional<ButtonValue> clipboard_;
  std::int32_t clipboardIndex_ = -1;
  UndoHistory history_;
  PresetValues saved_;  // what the preset was last loaded, saved, read or sent as
  std::vector<std::int32_t> gains_;
};

}  // namespace padkbd
