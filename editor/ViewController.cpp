#include "editor/ViewController.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QWidget>

#include "editor/DocumentActions.h"
#include "editor/KeyboardActions.h"
#include "editor/ListLabels.h"
#include "editor/Outlets.h"
#include "editor/SelectorSurface.h"
#include "editor/StatusTexts.h"
#include "model/Log.h"
#include "storage/FileAction.h"

namespace padkbd::editor {

namespace {

QString q(const std::string& text) {
  return QString::fromStdString(text);
}

}  // namespace

ViewController::ViewController(QWidget* view, DeviceWorker& worker, FileAction& files,
                               SettingsFile settings, QObject* parent)
    : QObject(parent),
      dialogs(platformDialogs(settings)),
      view_(view),
      files_(files),
      popUps_(view),
      keyboard_(new KeyboardActions(*this, worker, std::move(settings))),
      documents_(new DocumentActions(*this)) {
  firmware = findOutlet<QLineEdit>(view, "firmware");
  controlName = findOutlet<QLineEdit>(view, "controlName");
  message = findOutlet<QLineEdit>(view, "message");
  sendToKeyboardButton = findOutlet<QPushButton>(view, "sendToKeyboardButton");
  DefaultButton = findOutlet<QPushButton>(view, "DefaultButton");
  LoadButton = findOutlet<QPushButton>(view, "LoadButton");
  SaveButton = findOutlet<QPushButton>(view, "SaveButton");
  BulkButton = findOutlet<QPushButton>(view, "BulkButton");
  gainsButton = findOutlet<QPushButton>(view, "gainsButton");
  globalView = findOutlet<QWidget>(view, "globalView");
  selectedView = findOutlet<QWidget>(view, "selectedView");
  bankSwitch = findOutlet<QAbstractButton>(view, "bankSwitch");
  surface = findOutlet<SelectorGrid>(view, "selectorGrid");
  messageView = findOutlet<QWidget>(view, "messageView");
  colourSwatch = findOutlet<QAbstractButton>(view, "colourSwatch");
  bulkCount = findOutlet<QLabel>(view, "bulkCount");
  bulkAllButton = findOutlet<QPushButton>(view, "bulkAllButton");
  bulkCancelButton = findOutlet<QPushButton>(view, "bulkCancelButton");
  connectElements();
}

ViewController::~ViewController() {
  // The message window borrows messageView; give it back before the window goes.
  if (MessageController* window = messageWindow()) window->returnView();
}

void ViewController::connectElements() {
  const std::pair<Handler, void (ViewController::*)(QObject*)> handlers[] = {
      {Handler::Black, &ViewController::blackButtonAction},
      {Handler::White, &ViewController::whiteButtonAction},
      {Handler::Bank, &ViewController::changePadAction}};
  for (QAbstractButton* element : view_->findChildren<QAbstractButton*>()) {
    for (const auto& [handler, action] : handlers) {
      if (handlerOf(element) != handler) continue;
      connect(element, &QAbstractButton::clicked, this,
              [this, element, action = action] { (this->*action)(element); });
    }
  }
  // `activated` comes from the user only, so showing a record never writes it back.
  for (const auto& [row, menu] : popUps_.controls()) {
    connect(menu, &QComboBox::activated, this,
            [this, field = row.field](int position) { changeFieldAction(field, position); });
  }
  for (const auto& [row, menu] : popUps_.globals()) {
    connect(menu, &QComboBox::activated, this,
            [this, field = row.field](int position) { changeGlobalAction(field, position); });
  }
  connect(BulkButton, &QPushButton::clicked, this, &ViewController::bulkChange);
  connect(sendToKeyboardButton, &QPushButton::clicked, keyboard_, &KeyboardActions::sendAction);
  connect(gainsButton, &QPushButton::clicked, keyboard_, &KeyboardActions::showGainsAction);
  connect(DefaultButton, &QPushButton::clicked, documents_,
          &DocumentActions::changeToDefaultAction);
  connect(LoadButton, &QPushButton::clicked, documents_, &DocumentActions::loadAction);
  connect(SaveButton, &QPushButton::clicked, documents_, &DocumentActions::saveAction);
  connect(colourSwatch, &QAbstractButton::clicked, this, &ViewController::pickColourAction);
  connect(bulkAllButton, &QPushButton::clicked, this, &ViewController::chooseAllPadsAction);
  connect(bulkCancelButton, &QPushButton::clicked, this, &ViewController::cancelBulkAction);
  for (QAbstractButton* header : rowHeaders(view_)) {
    const int row = rowOf(header);
    connect(header, &QAbstractButton::clicked, this, [this, row] { chooseRowAction(row); });
  }
  surface->installEventFilter(this);
  // Esc leaves bulk mode without applying it.
  auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), view_->window());
  connect(escape, &QShortcut::activated, this, [this] {
    if (!this->escape || !this->escape()) cancelBulkAction();
  });
}

bool ViewController::eventFilter(QObject* watched, QEvent* event) {
  if (watched != surface) return false;
  if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
    // Focused, the cursor starts on the ringed control (the current one), or on Knob 1.
    if (focusedElement(surface) == nullptr) {
      QAbstractButton* start = viewWithTag(kFirstTag);
      for (QAbstractButton* element : selectorElements(view_)) {
        if (imageOf(element) == QLatin1String("selected")) start = element;
      }
      setFocusedElement(start);
    }
    focusedElement(surface)->update();
    return false;
  }
  if (event->type() != QEvent::KeyPress) return false;
  const auto* key = static_cast<QKeyEvent*>(event);
  return (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier && surfaceKey(key->key());
}

bool ViewController::surfaceKey(int key) {
  QAbstractButton* at = focusedElement(surface);
  if (at == nullptr || session_ == nullptr) return false;
  switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down: {
      QAbstractButton* next = neighbour(at, key);
      if (next == at) return true;  // an edge
      setFocusedElement(next);
      // Outside bulk mode the control moved to is current, as clicked; the
      // bank switch only switches when chosen.
      if (!session_->inBulk() && next != bankSwitch) clickElement(next);
      return true;
    }
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
      clickElement(at);
      return true;
    default:
      return false;
  }
}

// ---------------------------------------------------------------------------
// Loading and showing the view

void ViewController::viewDidLoad() {
  // The default preset is shown until the start-up read ends.
  Preset shown = files_.defaultPreset();
  if (shown.global) shown.global->version = KeyboardPreset::kNotConnected;
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
  for (QAbstractButton* element : selectorElements(view_))
    setImage(element, QStringLiteral("unselected"));
}

void ViewController::showPadValue() {
  popUps_.showGlobal(*session_);
  // Without a keyboard the window says so in its own language.
  const std::optional<std::string>& version = session_->firmware();
  firmware->setText(version ? q(*version) : Status::notConnected());
  showPadLights(view_, *session_);
}

void ViewController::setStatus(const QString& text, const QString& why) {
  message->setText(text);
  message->setToolTip(why);
}

// ---------------------------------------------------------------------------
// Choice lists

void ViewController::getItem() {
  popUps_.fillLists(*session_);
  labelSelectors(view_, *session_);
}

// ---------------------------------------------------------------------------
// Selection

void ViewController::press(Selector selector, QObject* element) {
  if (strike && (clickModifiers(element) & Qt::ControlModifier) != 0) {
    strike(controlOf(*session_, element));
    return;
  }
  // Shift-click in bulk mode chooses the pads from the last one clicked.
  const bool range = session_->inBulk() && selector == Selector::Black &&
                     (clickModifiers(element) & Qt::ShiftModifier) != 0;
  if (range ? !session_->chooseRangeForBulk(controlOf(*session_, element))
            : !session_->press(selector, tagOf(element))) {
    return;
  }
  auto* button = qobject_cast<QAbstractButton*>(element);
  if (button != nullptr) setFocusedElement(button);  // chosen by playing too
  if (session_->inBulk()) {
    showBulkSelection();
  } else {
    initButtonImage();
    setImage(button, QStringLiteral("selected"));
    showButtonValue();
  }
  emit editStateChanged();  // what can be copied or pasted follows the selection
}

void ViewController::chooseControl(std::int32_t index) {
  if (index < 0 || index >= kControlCount) return;
  // The knobs have no selector but the white ones with the first bank.
  if (index < kWhiteButtonCount && !session_->inBulk() && session_->secondBank()) {
    changePadAction(bankSwitch);
  }
  // White tag n stands for control n - 1 with the first bank, black tag n always.
  QAbstractButton* element = viewWithTag(index + 1);
  forgetClickModifiers(element);  // not the last click's
  press(index < kWhiteButtonCount ? Selector::White : Selector::Black, element);
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
  labelSelectors(view_, *session_);
  showPadLights(view_, *session_);
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
                                          : listLabel(session_->controlName(btn->buttonID)));
  popUps_.showControl(*session_);
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

void ViewController::changeFieldAction(ControlField field, int position) {
  session_->setField(field, position);
  const ControlFieldInfo& row = info(field);
  // A new mode brings its own option list, at its first option.
  if (row.labels == Labels::Mode) popUps_.showModeOptions(*session_);
  if (row.padsOnly) showColourSwatch();
  showPadLights(view_, *session_);  // a pad's colour, mode or note shows on the surface
  emit editStateChanged();
}

void ViewController::changeGlobalAction(GlobalField field, int position) {
  session_->setGlobal(field, position);
  // The octave moves the notes the pads show.
  if (field == GlobalField::OctaveTransposition) showPadLights(view_, *session_);
  emit editStateChanged();
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
  surface->setBulk(bulk);  // what its elements' rings mean
  for (QWidget* part :
       std::initializer_list<QWidget*>{bulkCount, bulkAllButton, bulkCancelButton}) {
    part->setVisible(bulk);
  }
  for (QAbstractButton* header : rowHeaders(view_)) header->setVisible(bulk);
  if (!bulk) return;
  bulkCount->setText(tr("Pads chosen: %1").arg(session_->bulkSelection().size()));
  for (QAbstractButton* element : selectorElements(view_)) {
    const bool chosen = handlerOf(element) == Handler::Black &&
                        session_->inBulkSelection(controlOf(*session_, element));
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
  popUps_.showControl(*session_);
  showColourSwatch();
  showPadLights(view_, *session_);
  emit editStateChanged();
}

void ViewController::clearControlPanel() {
  controlName->clear();
  popUps_.clearControl();
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
  popUps_.enable(session_.get(), reading);
  for (QWidget* element : std::initializer_list<QWidget*>{DefaultButton, LoadButton}) {
    element->setEnabled(!bulk && !reading);
  }
  SaveButton->setEnabled(!bulk);
  BulkButton->setEnabled(!reading);
  surface->setEnabled(!reading);
  sendToKeyboardButton->setEnabled(!bulk && free);
  gainsButton->setEnabled(free);
}

MessageController* ViewController::messageWindow() const {
  return keyboard_->messageWindow();
}

// ---------------------------------------------------------------------------
// The Edit menu

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
