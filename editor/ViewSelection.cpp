// The view controller's half that chooses: which control is current, from a
// click, the surface's keys or the bank switch, and which pads bulk mode
// changes. ViewController.cpp shows and edits what is chosen.
#include "editor/ViewController.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

#include "editor/SelectorSurface.h"

namespace padkbd::editor {

// ---------------------------------------------------------------------------
// The surface's keys

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
    if (event->type() == QEvent::FocusIn) bringIntoView(focusedElement(surface));
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
// Selection

void ViewController::press(Selector selector, QObject* element) {
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

}  // namespace padkbd::editor
