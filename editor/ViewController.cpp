#include "editor/ViewController.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QWidget>

#include "editor/KeyboardActions.h"
#include "editor/SelectorSurface.h"
#include "editor/StatusTexts.h"
#include "model/Log.h"
#include "model/NoteNames.h"
#include "storage/FileAction.h"

namespace padkbd::editor {

namespace {

QString q(const std::string& text) {
  return QString::fromStdString(text);
}

void fill(QComboBox* menu, const StringList& items) {
  QStringList labels;
  for (const auto& item : items) labels << q(item);
  menu->addItems(labels);
  menu->setCurrentIndex(-1);
}

// Selects the item at `position`; a position without an item leaves the menu
// with no item chosen (the -1 colour of an other control, an empty option list).
void choose(QComboBox* menu, std::int32_t position) {
  menu->setCurrentIndex(position >= 0 && position < menu->count() ? position : -1);
}

int tagOf(const QObject* element) {
  bool ok = false;
  const int tag = element != nullptr ? element->property("tag").toInt(&ok) : -1;
  return ok ? tag : -1;
}

}  // namespace

ViewController::ViewController(QWidget* view, DeviceWorker& worker, FileAction& files,
                               SettingsFile settings, QObject* parent)
    : QObject(parent),
      dialogs(platformDialogs(settings)),
      view_(view),
      files_(files),
      keyboard_(new KeyboardActions(*this, worker, std::move(settings))) {
  globalC = outlet<QComboBox>("globalC");
  globalO = outlet<QComboBox>("globalO");
  globalPVC = outlet<QComboBox>("globalPVC");
  globalKA = outlet<QComboBox>("globalKA");
  globalVC = outlet<QComboBox>("globalVC");
  mem = outlet<QComboBox>("mem");
  firmware = outlet<QLineEdit>("firmware");
  controlName = outlet<QLineEdit>("controlName");
  mode = outlet<QComboBox>("mode");
  modeOption = outlet<QComboBox>("modeOption");
  val = outlet<QComboBox>("val");
  channel = outlet<QComboBox>("channel");
  CCnum = outlet<QComboBox>("CCnum");
  min = outlet<QComboBox>("min");
  max = outlet<QComboBox>("max");
  cr = outlet<QComboBox>("cr");
  cg = outlet<QComboBox>("cg");
  cb = outlet<QComboBox>("cb");
  message = outlet<QLineEdit>("message");
  sendToKeyboardButton = outlet<QPushButton>("sendToKeyboardButton");
  DefaultButton = outlet<QPushButton>("DefaultButton");
  LoadButton = outlet<QPushButton>("LoadButton");
  SaveButton = outlet<QPushButton>("SaveButton");
  BulkButton = outlet<QPushButton>("BulkButton");
  gainsButton = outlet<QPushButton>("gainsButton");
  globalView = outlet<QWidget>("globalView");
  selectedView = outlet<QWidget>("selectedView");
  bankSwitch = outlet<QAbstractButton>("bankSwitch");
  messageView = outlet<QWidget>("messageView");
  colourSwatch = outlet<QAbstractButton>("colourSwatch");
  bulkCount = outlet<QLabel>("bulkCount");
  bulkAllButton = outlet<QPushButton>("bulkAllButton");
  bulkCancelButton = outlet<QPushButton>("bulkCancelButton");
  connectElements();
}

ViewController::~ViewController() {
  // The message window borrows messageView; give it back before the window goes.
  if (MessageController* window = messageWindow()) window->returnView();
}

template <typename T>
T* ViewController::outlet(const char* name) const {
  T* element = view_->findChild<T*>(QString::fromLatin1(name));
  if (element == nullptr) qFatal("The editor window has no element \"%s\".", name);
  return element;
}

void ViewController::connectElements() {
  for (QAbstractButton* element : view_->findChildren<QAbstractButton*>()) {
    const QString selector = element->property("selector").toString();
    if (selector == QLatin1String("black")) {
      connect(element, &QAbstractButton::clicked, this,
              [this, element] { blackButtonAction(element); });
    } else if (selector == QLatin1String("white")) {
      connect(element, &QAbstractButton::clicked, this,
              [this, element] { whiteButtonAction(element); });
    } else if (selector == QLatin1String("other")) {
      connect(element, &QAbstractButton::clicked, this,
              [this, element] { otherButtonAction(element); });
    } else if (selector == QLatin1String("bank")) {
      connect(element, &QAbstractButton::clicked, this,
              [this, element] { changePadAction(element); });
    }
  }
  // `activated` comes from the user only, so showing a record never writes it back.
  const std::pair<QComboBox*, void (ViewController::*)(int)> menus[] = {
      {globalC, &ViewController::changeGlobalCAction},
      {globalO, &ViewController::changeGlobalOAction},
      {globalPVC, &ViewController::changeGlobalPVCAction},
      {globalKA, &ViewController::changeGlobalKAAction},
      {globalVC, &ViewController::changeGlobalVCAction},
      {mem, &ViewController::changeMemoryAction},
      {channel, &ViewController::changeChannelAction},
      {mode, &ViewController::changeModeAction},
      {modeOption, &ViewController::changeModeOptionAction},
      {val, &ViewController::changeValueAction},
      {CCnum, &ViewController::changeCCnumAction},
      {min, &ViewController::changeMinAction},
      {max, &ViewController::changeMaxAction},
      {cr, &ViewController::changeCRAction},
      {cg, &ViewController::changeCGAction},
      {cb, &ViewController::changeCBAction},
  };
  for (const auto& [menu, action] : menus) connect(menu, &QComboBox::activated, this, action);
  connect(BulkButton, &QPushButton::clicked, this, &ViewController::bulkChange);
  connect(sendToKeyboardButton, &QPushButton::clicked, this, &ViewController::sendToKeyboardAction);
  connect(DefaultButton, &QPushButton::clicked, this, &ViewController::changeToDefaultAction);
  connect(LoadButton, &QPushButton::clicked, this, &ViewController::loadAction);
  connect(SaveButton, &QPushButton::clicked, this, &ViewController::saveAction);
  connect(gainsButton, &QPushButton::clicked, this, &ViewController::showGainsAction);
  connect(colourSwatch, &QAbstractButton::clicked, this, &ViewController::pickColourAction);
  connect(bulkAllButton, &QPushButton::clicked, this, &ViewController::chooseAllPadsAction);
  connect(bulkCancelButton, &QPushButton::clicked, this, &ViewController::cancelBulkAction);
  for (QAbstractButton* header : rowHeaders()) {
    const int row = header->property("row").toInt();
    connect(header, &QAbstractButton::clicked, this, [this, row] { chooseRowAction(row); });
  }
  // Esc leaves bulk mode without applying it.
  auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), view_->window());
  connect(escape, &QShortcut::activated, this, &ViewController::cancelBulkAction);
}

std::vector<QAbstractButton*> ViewController::rowHeaders() const {
  std::vector<QAbstractButton*> headers;
  for (QAbstractButton* element : view_->findChildren<QAbstractButton*>()) {
    if (element->property("row").isValid()) headers.push_back(element);
  }
  return headers;
}

// ---------------------------------------------------------------------------
// Loading and showing the view

void ViewController::viewDidLoad() {
  // The default preset is shown until the start-up read ends.
  Preset shown = files_.defaultPreset();
  if (shown.global) shown.global->version = "未连接";
  session_ = std::make_unique<EditSession>(files_, std::move(shown), Origin{});
  setUI();
  getItem();
  showPadValue();
  showColourSwatch();
  keyboard_->readAtStart(*session_);
}

void ViewController::viewDidAppear() {
  // Frame the two panels in the theme's own line colour.
  const QString frame =
      QStringLiteral("#%1 { border: 2px solid palette(mid); border-radius: 8px; }");
  globalView->setStyleSheet(frame.arg(globalView->objectName()));
  selectedView->setStyleSheet(frame.arg(selectedView->objectName()));
}

void ViewController::setUI() {
  controlName->setReadOnly(true);
  firmware->setReadOnly(true);
  initButtonImage();
}

void ViewController::initButtonImage() {
  for (QAbstractButton* element : taggedElements()) setImage(element, QStringLiteral("unselected"));
}

void ViewController::showPadValue() {
  const PadValuePtr& pad = session_->global();
  choose(globalC, pad->globalMIDIChannel);
  choose(globalO, pad->globalOctaveTransposition);
  choose(globalPVC, pad->globalPadVelocityCurve);
  choose(globalKA, pad->globalKnobAccelerationCurve);
  choose(globalVC, pad->globalVelocityCurve);
  choose(mem, pad->mem);
  // The record says "未连接" without a keyboard; the window says it in its language.
  firmware->setText(pad->version == "未连接" ? Status::notConnected() : q(pad->version));
  showPadLights();
}

QAbstractButton* ViewController::viewWithTag(int tag) const {
  for (QAbstractButton* element : view_->findChildren<QAbstractButton*>()) {
    if (tagOf(element) == tag) return element;
  }
  return nullptr;
}

std::vector<QAbstractButton*> ViewController::taggedElements() const {
  std::vector<QAbstractButton*> elements;
  for (int tag = kFirstTag; tag <= kLastTag; ++tag) {
    if (QAbstractButton* element = viewWithTag(tag)) elements.push_back(element);
  }
  return elements;
}

void ViewController::setStatus(const QString& text, const QString& why) {
  message->setText(text);
  message->setToolTip(why);
}

QString ViewController::originText() const {
  const Origin& origin = session_->origin();
  switch (origin.kind) {
    case Origin::Kind::Keyboard:
      return tr("from the keyboard (firmware %1)").arg(q(origin.detail));
    case Origin::Kind::Sent:
      return tr("sent to memory slot %1").arg(q(origin.detail));
    case Origin::Kind::Document:
      return q(origin.detail);
    case Origin::Kind::Default:
      break;
  }
  return tr("default preset");
}

// ---------------------------------------------------------------------------
// Choice lists

void ViewController::getItem() {
  pu = popUpValueFrom(session_->lists());
  pu.modeOptionArray.clear();
  const std::pair<QComboBox*, const StringList*> lists[] = {{globalC, &pu.globalCArray},
                                                            {globalO, &pu.globalOArray},
                                                            {globalPVC, &pu.globalPVCArray},
                                                            {globalKA, &pu.globalKAArray},
                                                            {globalVC, &pu.globalVCArray},
                                                            {mode, &pu.padModeArray},
                                                            {modeOption, &pu.modeOptionArray},
                                                            {val, &pu.valArray},
                                                            {channel, &pu.channelArray},
                                                            {CCnum, &pu.CCnumArray},
                                                            {min, &pu.minArray},
                                                            {max, &pu.maxArray},
                                                            {mem, &pu.memArray},
                                                            {cr, &pu.crArray},
                                                            {cg, &pu.cgArray},
                                                            {cb, &pu.cbArray}};
  for (const auto& [menu, items] : lists) {
    menu->clear();
    fill(menu, *items);
  }
  // Numbers that are notes for a pad in a note mode read as notes too.
  for (int n = 0; n < CCnum->count(); ++n) {
    CCnum->setItemText(n, q(withNoteName(CCnum->itemText(n).toStdString(), n)));
  }
  labelSelectors();
}

std::int32_t ViewController::controlIndexOf(const QObject* element) const {
  const QString selector = element->property("selector").toString();
  const Selector kind = selector == QLatin1String("white")   ? Selector::White
                        : selector == QLatin1String("other") ? Selector::Other
                                                             : Selector::Black;
  return session_->indexOf(kind, tagOf(element));
}

// Each selector element is labelled with the name of the control it selects now.
void ViewController::labelSelectors() {
  for (QAbstractButton* element : taggedElements()) {
    element->setText(q(session_->controlName(controlIndexOf(element))));
  }
}

// Each element that stands for a pad shows that pad's colour in the current
// preset, so the colour scheme reads at a glance; the others show no light.
void ViewController::showPadLights() {
  for (QAbstractButton* element : taggedElements()) {
    const std::int32_t index = controlIndexOf(element);
    const ButtonValuePtr record = isPadControl(index) ? session_->control(index) : nullptr;
    if (record) {
      setLight(element, padColour(record->CR, record->CG, record->CB));
    } else {
      hideLight(element);
    }
    setNote(element,
            record && isNoteMode(record->mode) ? q(noteName(record->MIDInumb)) : QString());
  }
}

// ---------------------------------------------------------------------------
// Selection

void ViewController::fillMode() {
  mode->clear();
  fill(mode, session_->padLists() ? pu.padModeArray : pu.otherModeArray);
}

void ViewController::press(Selector selector, QObject* element) {
  // Shift-click in bulk mode chooses the pads from the last one clicked.
  const bool range = session_->inBulk() && selector == Selector::Black &&
                     (element->property("modifiers").toInt() & Qt::ShiftModifier) != 0;
  if (range ? !session_->chooseRangeForBulk(controlIndexOf(element))
            : !session_->press(selector, tagOf(element))) {
    return;
  }
  auto* button = qobject_cast<QAbstractButton*>(element);
  if (session_->inBulk()) {
    showBulkSelection();
  } else {
    initButtonImage();
    setImage(button, QStringLiteral("selected"));
    showButtonValue();
  }
  emit editStateChanged();  // what can be copied or pasted follows the selection
}

void ViewController::blackButtonAction(QObject* element) {
  press(Selector::Black, element);
}

void ViewController::whiteButtonAction(QObject* element) {
  press(Selector::White, element);
}

void ViewController::otherButtonAction(QObject* element) {
  press(Selector::Other, element);
}

void ViewController::changePadAction(QObject* element) {
  setImage(qobject_cast<QAbstractButton*>(element),
           session_->secondBank() ? QStringLiteral("unselected") : QStringLiteral("selected"));
  session_->toggleBank();
  labelSelectors();
  showPadLights();
  showButtonValue();
  emit editStateChanged();
}

// ---------------------------------------------------------------------------
// Showing the current control

void ViewController::showButtonValue() {
  const ButtonValuePtr& btn = session_->current();
  if (!btn) return;
  log::diag("showButtonValue---------->%d", btn->buttonID);
  controlName->setText(session_->inBulk() ? tr("批量参数")
                                          : q(session_->controlName(btn->buttonID)));
  choose(channel, btn->channel);
  choose(CCnum, btn->MIDInumb);
  choose(val, btn->value);
  changeModeOptionWithModeIndex();
  fillMode();
  choose(mode, btn->mode);
  choose(modeOption, btn->modeOption);
  choose(min, btn->min);
  choose(max, btn->max);
  choose(cr, btn->CR);
  choose(cg, btn->CG);
  choose(cb, btn->CB);
  enableElements();
  showColourSwatch();
}

void ViewController::showColourSwatch() {
  const ButtonValuePtr& btn = session_->current();
  const bool colour = btn && (session_->inBulk() || isPadControl(btn->buttonID));
  const QColor shown = colour ? padColour(btn->CR, btn->CG, btn->CB) : QColor();
  colourSwatch->setStyleSheet(
      shown.isValid()
          ? QStringLiteral("background-color: rgb(%1, %2, %3); border: 1px solid palette(mid); "
                           "border-radius: 5px;")
                .arg(shown.red())
                .arg(shown.green())
                .arg(shown.blue())
          : QStringLiteral("border: 1px dashed palette(mid); border-radius: 5px;"));
}

void ViewController::changeModeOptionWithModeIndex() {
  pu.modeOptionArray = session_->modeOptions();
  modeOption->clear();
  fill(modeOption, pu.modeOptionArray);
}

// Everything shown, after the preset changed under the window (undo, paste,
// Default, Load, a read).
void ViewController::showAll() {
  showPadValue();
  if (session_->current()) {
    showButtonValue();
  } else {
    clearControlPanel();
  }
  emit editStateChanged();
}

// ---------------------------------------------------------------------------
// Edits

void ViewController::setField(ControlField field, int position) {
  session_->setField(field, position);
  showPadLights();  // a pad's colour, mode or note shows on the surface
  emit editStateChanged();
}

void ViewController::setGlobal(GlobalField field, int position) {
  session_->setGlobal(field, position);
  emit editStateChanged();
}

void ViewController::changeGlobalCAction(int position) {
  setGlobal(GlobalField::MIDIChannel, position);
}
void ViewController::changeGlobalOAction(int position) {
  setGlobal(GlobalField::OctaveTransposition, position);
}
void ViewController::changeGlobalPVCAction(int position) {
  setGlobal(GlobalField::PadVelocityCurve, position);
}
void ViewController::changeGlobalKAAction(int position) {
  setGlobal(GlobalField::KnobAccelerationCurve, position);
}
void ViewController::changeGlobalVCAction(int position) {
  setGlobal(GlobalField::VelocityCurve, position);
}
void ViewController::changeMemoryAction(int position) {
  setGlobal(GlobalField::MemorySlot, position);
}
void ViewController::changeChannelAction(int position) {
  setField(ControlField::Channel, position);
}
void ViewController::changeModeAction(int position) {
  setField(ControlField::Mode, position);
  changeModeOptionWithModeIndex();
  choose(modeOption, 0);
}
void ViewController::changeModeOptionAction(int position) {
  setField(ControlField::ModeOption, position);
}
void ViewController::changeValueAction(int position) {
  setField(ControlField::Value, position);
}
void ViewController::changeCCnumAction(int position) {
  setField(ControlField::MIDInumb, position);
}
void ViewController::changeMinAction(int position) {
  setField(ControlField::Min, position);
}
void ViewController::changeMaxAction(int position) {
  setField(ControlField::Max, position);
}
void ViewController::changeCRAction(int position) {
  setColour(ControlField::CR, position);
}
void ViewController::changeCGAction(int position) {
  setColour(ControlField::CG, position);
}
void ViewController::changeCBAction(int position) {
  setColour(ControlField::CB, position);
}

void ViewController::setColour(ControlField field, int position) {
  setField(field, position);
  showColourSwatch();
}

// ---------------------------------------------------------------------------
// Bulk change

void ViewController::bulkChange() {
  if (!session_->inBulk()) {
    session_->enterBulk();
    initButtonImage();
    BulkButton->setText(tr("退出批量模式"));
    showButtonValue();
    showBulkSelection();
    enableElements();
    emit editStateChanged();
    return;
  }
  session_->leaveBulk();
  leftBulk();
}

void ViewController::cancelBulkAction() {
  if (!session_->inBulk()) return;
  session_->cancelBulk();
  initButtonImage();
  leftBulk();
}

void ViewController::leftBulk() {
  enableElements();
  BulkButton->setText(tr("批量改变红色/绿色/蓝色"));
  showBulkSelection();
  showAll();
}

void ViewController::chooseAllPadsAction() {
  std::vector<std::int32_t> pads;
  for (std::int32_t index = kFirstPadControl; index <= kLastPadControl; ++index) {
    pads.push_back(index);
  }
  if (session_->chooseForBulk(pads)) showBulkSelection();
}

void ViewController::chooseRowAction(int row) {
  std::vector<std::int32_t> pads;
  for (int column = 0; column < 8; ++column) pads.push_back(kFirstPadControl + row * 8 + column);
  if (session_->chooseForBulk(pads)) showBulkSelection();
}

// The chosen pads ringed, their count, and the bulk controls shown only in bulk mode.
void ViewController::showBulkSelection() {
  const bool bulk = session_->inBulk();
  for (QWidget* part :
       std::initializer_list<QWidget*>{bulkCount, bulkAllButton, bulkCancelButton}) {
    part->setVisible(bulk);
  }
  for (QAbstractButton* header : rowHeaders()) header->setVisible(bulk);
  if (!bulk) return;
  bulkCount->setText(tr("Pads chosen: %1").arg(session_->bulkSelection().size()));
  for (QAbstractButton* element : taggedElements()) {
    const bool chosen = element->property("selector").toString() == QLatin1String("black") &&
                        session_->inBulkSelection(controlIndexOf(element));
    setImage(element, chosen ? QStringLiteral("selected") : QStringLiteral("unselected"));
  }
}

void ViewController::pickColourAction() {
  const ButtonValuePtr& btn = session_->current();
  if (!btn || !(session_->inBulk() || isPadControl(btn->buttonID)) || !dialogs.pickColour) return;
  const QColor picked = dialogs.pickColour(view_->window(), padColour(btn->CR, btn->CG, btn->CB));
  if (!picked.isValid()) return;
  session_->setColour(toComponent(picked.red()), toComponent(picked.green()),
                      toComponent(picked.blue()));
  for (auto [menu, value] :
       {std::pair{cr, btn->CR}, std::pair{cg, btn->CG}, std::pair{cb, btn->CB}}) {
    choose(menu, value);
  }
  showColourSwatch();
  showPadLights();
  emit editStateChanged();
}

void ViewController::clearControlPanel() {
  controlName->clear();
  modeOption->clear();
  pu.modeOptionArray.clear();
  for (QComboBox* menu : {mode, val, channel, CCnum, min, max, cr, cg, cb}) choose(menu, -1);
  showColourSwatch();
}

// ---------------------------------------------------------------------------
// The keyboard

void ViewController::setDeviceBusy(DeviceBusy busy) {
  busy_ = busy;
  enableElements();
  emit editStateChanged();
}

// The elements bulk mode and the device worker leave enabled.
void ViewController::enableElements() {
  const bool reading = busy_ == DeviceBusy::Reading;
  const bool free = busy_ == DeviceBusy::No;
  const bool bulk = session_ && session_->inBulk();
  for (QWidget* element :
       std::initializer_list<QWidget*>{globalC, globalO, globalPVC, globalKA, globalVC, val,
                                       channel, CCnum, min, max, mem, DefaultButton, LoadButton}) {
    element->setEnabled(!bulk && !reading);
  }
  SaveButton->setEnabled(!bulk);
  for (QWidget* element : std::initializer_list<QWidget*>{mode, modeOption, BulkButton}) {
    element->setEnabled(!reading);
  }
  const bool colour = !reading && session_ && session_->current() &&
                      (bulk || isPadControl(session_->current()->buttonID));
  for (QComboBox* menu : {cr, cg, cb}) menu->setEnabled(colour);
  outlet<QWidget>("selectorGrid")->setEnabled(!reading);
  sendToKeyboardButton->setEnabled(!bulk && free);
  gainsButton->setEnabled(free);
}

void ViewController::sendToKeyboardAction() {
  if (session_->inBulk() || busy_ != DeviceBusy::No) return;
  keyboard_->send(*session_);
  emit editStateChanged();
}

void ViewController::readFromKeyboardAction() {
  if (session_->inBulk() || busy_ != DeviceBusy::No ||
      !mayDropEdits(tr("Reading from the keyboard"))) {
    return;
  }
  keyboard_->read(*session_);
}

MessageController* ViewController::messageWindow() const {
  return keyboard_->messageWindow();
}

void ViewController::upgradeFirmwareAction() {
  // The editor offers no firmware upgrade.
}

void ViewController::showGainsAction() {
  // Each opening starts from the default gains (a new dialog starts there).
  if (gainDialog_) {
    gainDialog_->viewDidLoad();
  } else {
    gainDialog_ = new GainController(*keyboard_, *session_, view_->window());
  }
  gainDialog_->show();
  gainDialog_->raise();
  gainDialog_->activateWindow();
}

// ---------------------------------------------------------------------------
// Default, load and save; the Edit menu

void ViewController::showPresetProblem(const QString& title, const std::string& reason) {
  log::diag("%s: %s", title.toStdString(), reason);
  if (dialogs.showProblem) dialogs.showProblem(view_->window(), title, q(reason));
}

bool ViewController::mayDropEdits(const QString& what) {
  if (!session_ || !session_->modified() || !dialogs.askUnsaved) return true;
  const QString text = tr("%1 would drop the changes made since the preset was "
                          "last loaded, saved, read or sent.")
                           .arg(what);
  switch (dialogs.askUnsaved(view_->window(), text)) {
    case DialogSeams::Unsaved::Save:
      return save();
    case DialogSeams::Unsaved::Discard:
      return true;
    case DialogSeams::Unsaved::Cancel:
      break;
  }
  return false;
}

void ViewController::changeToDefaultAction() {
  if (!mayDropEdits(tr("The default preset"))) return;
  if (Outcome used = session_->useDefault(); !used) {
    showPresetProblem(tr("The default preset was not loaded"), used.message());
  }
  showAll();
}

void ViewController::loadAction() {
  if (!mayDropEdits(tr("Loading a preset"))) return;
  const QString path =
      dialogs.openDocumentPath ? dialogs.openDocumentPath(view_->window()) : QString();
  if (path.isEmpty()) return;
  if (Outcome loaded = session_->loadDocument(path.toStdString()); !loaded) {
    showPresetProblem(tr("The preset was not loaded"), loaded.message());
    return;
  }
  showAll();
}

bool ViewController::save() {
  // The working copy is written first; only then is a document chosen.
  if (Outcome written = session_->writeWorkingCopy(); !written) {
    showPresetProblem(tr("The preset was not saved"), written.message());
    return false;
  }
  const QString path =
      dialogs.saveDocumentPath ? dialogs.saveDocumentPath(view_->window()) : QString();
  if (path.isEmpty()) return false;
  if (Outcome saved = session_->exportDocument(path.toStdString()); !saved) {
    showPresetProblem(tr("The preset was not saved"), saved.message());
    return false;
  }
  emit editStateChanged();
  return true;
}

void ViewController::saveAction() {
  save();
}

void ViewController::undoAction() {
  session_->undo();
  showAll();
}

void ViewController::redoAction() {
  session_->redo();
  showAll();
}

void ViewController::copyAction() {
  session_->copyControl();
  emit editStateChanged();
}

void ViewController::pasteAction() {
  if (session_->paste()) showAll();
}

}  // namespace padkbd::editor
