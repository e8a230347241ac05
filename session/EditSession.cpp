#include "session/EditSession.h"

#include <fmt/format.h>

#include <algorithm>

#include "model/Log.h"
#include "protocol/PadAction.h"

namespace padkbd {
namespace {

constexpr std::int32_t kGlobalControl = UndoHistory::kGlobalBlock;

std::string sourceName(const Origin& origin) {
  switch (origin.kind) {
    case Origin::Kind::Keyboard:
      return "from the keyboard";
    case Origin::Kind::Document:
      return origin.detail;
    case Origin::Kind::History:
      return "history entry " + origin.detail;
    case Origin::Kind::Sent:
      return origin.source;
    case Origin::Kind::Default:
      break;
  }
  return "default preset";
}

}  // namespace

EditSession::EditSession(FileAction& files, Preset preset, Origin origin,
                         std::optional<std::string> firmware)
    : files_(files),
      preset_(std::move(preset)),
      origin_(std::move(origin)),
      keyboard_(std::move(firmware)),
      lists_(files.readChoiceLists()),
      gains_(kGainCount, kDefaultGain) {
  if (!preset_.global) preset_.global = std::make_shared<PadValue>();
  // The bulk record: what every chosen pad gets unless it is changed.
  bulkRecord_ = std::make_shared<ButtonValue>();
  bulkRecord_->buttonID = kBulkRecordId;
  bulkRecord_->channel = 16;
  bulkRecord_->max = 127;
  bulkRecord_->CR = 100;
  bulkRecord_->CG = 100;
  bulkRecord_->CB = 100;
  saved_ = valuesOf(preset_);
  if (origin_.kind == Origin::Kind::Keyboard) keyboard_.sent(saved_);
  origin_ = cameFrom(std::move(origin_), preset_);
}

Origin EditSession::cameFrom(Origin origin, const Preset& preset) {
  origin.source = sourceName(origin);
  origin.given = std::make_shared<const PresetValues>(valuesOf(preset));
  return origin;
}

// --- The preset --------------------------------------------------------------

ButtonValuePtr EditSession::control(std::int32_t index) const {
  if (index < 0 || static_cast<std::size_t>(index) >= preset_.buttons.size()) return nullptr;
  return preset_.buttons[static_cast<std::size_t>(index)];
}

Preset EditSession::copyOfPreset() const {
  return copyOf(preset_);
}

std::string EditSession::controlName(std::int32_t index) const {
  const auto names = lists_.find("buttonName");
  if (names != lists_.end() && index >= 0 &&
      static_cast<std::size_t>(index) < names->second.size()) {
    return names->second[static_cast<std::size_t>(index)];
  }
  return fmt::format("Control {}", index + 1);
}

// --- Selection -----------------------------------------------------------------

std::int32_t EditSession::indexOf(Selector selector, int tag) const {
  switch (selector) {
    case Selector::White:
      return secondBank_ ? tag + 7 : tag - 1;
    case Selector::Other:
      return tag + 7;
    case Selector::Black:
      return tag - 1;
  }
  return -1;
}

bool EditSession::press(Selector selector, int tag) {
  const std::int32_t index = indexOf(selector, tag);
  if (bulk_) {
    // Only pads can take the bulk record's pad mode and colour.
    if (selector != Selector::Black || !isPadControl(index)) return false;
    ButtonValuePtr record = control(index);
    if (!record) return false;
    padLists_ = true;
    bulkAnchor_ = index;
    const auto member = std::find(bulkSelection_.begin(), bulkSelection_.end(), record);
    if (member != bulkSelection_.end()) {
      bulkSelection_.erase(member);
    } else {
      bulkSelection_.push_back(record);
    }
    return true;
  }
  ButtonValuePtr record = control(index);
  if (!record) {
    log::diag("no control at index %d", index);
    return false;
  }
  // The lists follow the control's kind, whatever kind of selector was clicked.
  padLists_ = isPadControl(index);
  current_ = std::move(record);
  log::diag("btn.id------>%d", current_->buttonID);
  log::diag("btn.modeOption------>%d", current_->modeOption);
  return true;
}

void EditSession::toggleBank() {
  secondBank_ = !secondBank_;
  // With no control current the knob of index 0 stands in, as it always did.
  const std::int32_t index = current_ ? current_->buttonID : 0;
  log::diag("btn.buttonID----->%d", index);
  ButtonValuePtr partner;
  if (index >= 0 && index <= 7) partner = control(index + 8);
  if (index >= 8 && index <= 15) partner = control(index - 8);
  if (partner) current_ = std::move(partner);
  if (current_ && !bulk_) padLists_ = isPadControl(current_->buttonID);
}

// --- Fields ----------------------------------------------------------------------

std::int32_t& EditSession::field(ButtonValue& record, ControlField f) {
  return record.*info(f).member;
}

std::int32_t& EditSession::field(PadValue& global, GlobalField f) {
  return global.*info(f).member;
}

Text EditSession::fieldLabel(std::int32_t control, int f) const {
  if (control == kGlobalControl) return Text(nameText(static_cast<GlobalField>(f)));
  return Text(TextId::UndoSetting,
              {labelText(controlName(control)), Text(nameText(static_cast<ControlField>(f)))});
}

void EditSession::setField(ControlField f, std::int32_t position) {
  if (!current_) return;
  if (bulk_) {
    // The bulk record is no part of the preset: nothing to undo until it is applied.
    field(*current_, f) = position;
    if (f == ControlField::Mode) current_->modeOption = 0;
    return;
  }
  const std::int32_t index = current_->buttonID;
  Step step;
  step.label = fieldLabel(index, static_cast<int>(f));
  step.changes.push_back({index, static_cast<int>(f), field(*current_, f), position});
  if (f == ControlField::Mode) {
    log::diag("btn.mode------>%d", position);
    step.changes.push_back(
        {index, static_cast<int>(ControlField::ModeOption), current_->modeOption, 0});
  }
  record(std::move(step));
}

void EditSession::setColour(std::int32_t red, std::int32_t green, std::int32_t blue) {
  if (!current_) return;
  const std::pair<ControlField, std::int32_t> components[] = {
      {ControlField::CR, red}, {ControlField::CG, green}, {ControlField::CB, blue}};
  Step step;
  step.label = Text(TextId::UndoColour, {labelText(controlName(current_->buttonID))});
  for (const auto& [f, value] : components) {
    if (bulk_) {
      field(*current_, f) = value;
    } else if (field(*current_, f) != value) {
      step.changes.push_back({current_->buttonID, static_cast<int>(f), field(*current_, f), value});
    }
  }
  if (!step.changes.empty()) record(std::move(step));
}

void EditSession::setGlobal(GlobalField f, std::int32_t position) {
  if (!preset_.global) return;
  const int column = static_cast<int>(f);
  record({.label = fieldLabel(kGlobalControl, column),
          .changes = {{kGlobalControl, column, field(*preset_.global, f), position}}});
}

std::vector<std::string> EditSession::modeOptions() const {
  if (!current_) return {};
  return padLists_ ? PadAction::GetPadModeOptionWithModeIndex(current_->mode)
                   : PadAction::GetOtherModeOptionWithModeIndex(current_->mode);
}

// --- Default, Load, Save -------------------------------------------------------------

void EditSession::replace(Preset preset, Origin origin, Text label) {
  // The firmware field keeps telling what the keyboard said.
  if (preset.global) preset.global->version = keyboard_.versionText();
  origin = cameFrom(std::move(origin), preset);
  record({.label = std::move(label),
          .before = preset_,
          .after = std::move(preset),
          .originBefore = origin_,
          .originAfter = std::move(origin)});
}

Outcome EditSession::useDefault() {
  replace(files_.defaultPreset(), Origin{Origin::Kind::Default, {}}, Text(TextId::UndoDefault));
  return Outcome::success();
}

Outcome EditSession::loadDocument(const std::filesystem::path& path) {
  PresetRead read = files_.importDocument(path);
  if (!read) return read.outcome();
  useDocument(std::move(*read), path.filename().string());
  return Outcome::success();
}

void EditSession::useDocument(Preset preset, const std::string& name) {
  replace(std::move(preset), Origin{Origin::Kind::Document, name}, Text(TextId::UndoLoad, {name}));
  saved_ = valuesOf(preset_);
}

void EditSession::useHistoryEntry(Preset preset, std::int64_t id) {
  const std::string detail = std::to_string(id);
  replace(std::move(preset), Origin{Origin::Kind::History, detail},
          Text(TextId::UndoOpenEntry, {id}));
}

Outcome EditSession::writeWorkingCopy() {
  return files_.WriteButtonValuesToTempWithData(preset_.buttons, *preset_.global);
}

Outcome EditSession::exportDocument(const std::filesystem::path& path, const Preset& shown) {
  if (Outcome exported = files_.exportPreset(shown, path); !exported) return exported;
  saved_ = valuesOf(shown);
  origin_ = cameFrom(Origin{Origin::Kind::Document, path.filename().string()}, shown);
  return Outcome::success();
}

Outcome EditSession::saveDocument(const std::filesystem::path& path) {
  if (Outcome written = writeWorkingCopy(); !written) return written;
  return exportDocument(path, preset_);
}

void EditSession::useKeyboardPreset(Preset preset, std::optional<std::string> firmware) {
  const std::string detail = firmware.value_or("");
  keyboard_.read(std::move(firmware), valuesOf(preset));
  replace(std::move(preset), Origin{Origin::Kind::Keyboard, detail}, Text(TextId::UndoRead));
  saved_ = valuesOf(preset_);
}

void EditSession::startWith(Preset preset, std::optional<std::string> firmware) {
  keyboard_.read(std::move(firmware), valuesOf(preset));
  if (preset.global) preset.global->version = keyboard_.versionText();
  origin_ = cameFrom(Origin{Origin::Kind::Keyboard, keyboard_.firmware().value_or("")}, preset);
  preset_ = std::move(preset);
  followCurrent();
  saved_ = valuesOf(preset_);
}

void EditSession::sentToKeyboard(const Preset& sent) {
  saved_ = valuesOf(sent);
  keyboard_.sent(saved_);
  origin_ = Origin{Origin::Kind::Sent, std::to_string(sent.global->mem + 1), origin_.source,
                   origin_.given};
}

// --- Copy and paste ----------------------------------------------------------------

bool EditSession::copyControl() {
  if (!current_ || bulk_) return false;
  clipboard_ = *current_;
  clipboardIndex_ = current_->buttonID;
  return true;
}

bool EditSession::canPaste() const {
  // Pad settings go to pads, knob and button settings to knobs and buttons.
  return clipboard_ && current_ && !bulk_ &&
         isPadControl(current_->buttonID) == isPadControl(clipboardIndex_) &&
         current_->buttonID != clipboardIndex_;
}

bool EditSession::paste() {
  if (!canPaste()) return false;
  Step step;
  step.label = Text(TextId::UndoPaste, {labelText(controlName(current_->buttonID))});
  for (const ControlFieldInfo& row : kControlFields) {
    const ControlField f = row.field;
    const std::int32_t now = field(*current_, f);
    const std::int32_t wanted = field(*clipboard_, f);
    if (now != wanted) {
      step.changes.push_back({current_->buttonID, static_cast<int>(f), now, wanted});
    }
  }
  if (!step.changes.empty()) record(std::move(step));
  return true;
}

// --- Undo --------------------------------------------------------------------------

void EditSession::record(Step step) {
  apply(step, true);
  history_.add(std::move(step));
}

void EditSession::apply(const Step& step, bool forward) {
  if (UndoHistory::apply(step, forward, preset_, origin_)) followCurrent();
}

void EditSession::undo() {
  if (!canUndo()) return;
  if (const Step* step = history_.undo()) apply(*step, false);
}

void EditSession::redo() {
  if (!canRedo()) return;
  if (const Step* step = history_.redo()) apply(*step, true);
}

void EditSession::followCurrent() {
  if (bulk_) {
    // The chosen pads are records of the preset that is gone.
    std::vector<ButtonValuePtr> chosen;
    for (const ButtonValuePtr& old : bulkSelection_) {
      if (ButtonValuePtr now = control(old->buttonID)) chosen.push_back(std::move(now));
    }
    bulkSelection_ = std::move(chosen);
    return;
  }
  if (!current_) return;
  if (ButtonValuePtr now = control(current_->buttonID)) {
    current_ = std::move(now);
    padLists_ = isPadControl(current_->buttonID);
  }
}

// --- What is saved, what is on the keyboard ------------------------------------

bool EditSession::modified() const {
  // A preset of the history is kept nowhere else until it is saved or sent.
  return origin_.kind == Origin::Kind::History || valuesOf(preset_) != saved_;
}

std::string EditSession::sendSource() const {
  const bool edited = !origin_.given || *origin_.given != valuesOf(preset_);
  return edited ? origin_.source + ", edited" : origin_.source;
}

}  // namespace padkbd
