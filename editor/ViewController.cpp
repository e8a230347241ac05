#include "editor/ViewController.h"

#include <QAbstractButton>
#include <QComboBox>
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
  // Esc stops the keyboard's work under way, else leaves bulk mode without
  // applying it.
  auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), view_->window());
  connect(escape, &QShortcut::activated, this, [this] {
    if (deviceBusy() != DeviceBusy::No) return keyboard_->cancel();
    if (!this->escape || !this->escape()) cancelBulkAction();
  });
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
