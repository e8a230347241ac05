#include "editor/SelectorSurface.h"

#include <QAccessible>
#include <QCoreApplication>
#include <QGridLayout>

#include "editor/ListLabels.h"
#include "editor/SurfaceAccess.h"
#include "model/NoteNames.h"
#include "model/Playing.h"

namespace padkbd::editor {

namespace {

constexpr int kColumns = 8;
constexpr int kPadRows = 6;

// The shipped control names call controls 0 to 7 knobs and 56 to 63 buttons,
// so the white selectors are drawn as knobs and the last black row as buttons.
constexpr Look kWhiteLook = Look::Knob;
constexpr Look kOtherLook = Look::Button;

SurfaceElement* makeElement(SelectorGrid* grid, const QString& name, Handler handler, Look look,
                            int tag) {
  auto* element = new SurfaceElement(grid, look, handler, tag);
  element->setObjectName(name);
  return element;
}

}  // namespace

void buildSelectorSurface(SelectorGrid* grid) {
  installSurfaceAccessibility();
  grid->setFocusPolicy(Qt::StrongFocus);
  grid->setAccessibleName(QCoreApplication::translate("SelectorSurface", "Keyboard controls"));
  auto* layout = new QGridLayout(grid);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setHorizontalSpacing(4);
  layout->setVerticalSpacing(4);

  // Row 0: the bank switch and the eight white selectors (controls 0-7, or
  // 8-15 with the second bank). They sit in columns 1-8 like every row.
  auto* bank = makeElement(grid, QStringLiteral("bankSwitch"), Handler::Bank, Look::Button, -1);
  bank->setText(QCoreApplication::translate("SelectorSurface", "Bank 2"));
  bank->setToolTip(QCoreApplication::translate(
      "SelectorSurface", "Bank switch: the top row edits Pad 1-8 while it is lit"));
  layout->addWidget(bank, 0, 0);
  for (int n = 0; n < kWhiteButtonCount; ++n) {
    const int tag = n + 1;
    layout->addWidget(
        makeElement(grid, QStringLiteral("white%1").arg(tag), Handler::White, kWhiteLook, tag), 0,
        n + 1);
  }
  // A little air between the controls row and the pads.
  layout->setRowMinimumHeight(1, 6);
  // Rows 2-7: the 48 pads, tags 9-56 (controls 8-55), in reading order; in
  // column 0 a header per row, for choosing a whole row in bulk mode.
  for (int row = 0; row < kPadRows; ++row) {
    auto* header = new RowHeader(grid, row);
    header->setObjectName(QStringLiteral("rowHeader%1").arg(row + 1));
    header->setText(QCoreApplication::translate("SelectorSurface", "Row %1 ▸").arg(row + 1));
    header->setToolTip(
        QCoreApplication::translate("SelectorSurface", "Choose every pad of this row"));
    header->setFocusPolicy(Qt::NoFocus);
    header->hide();  // bulk mode shows them
    layout->addWidget(header, 2 + row, 0, Qt::AlignCenter);
    layout->setRowStretch(2 + row, 1);
  }
  for (int n = 0; n < kPadRows * kColumns; ++n) {
    const int tag = 9 + n;
    layout->addWidget(
        makeElement(grid, QStringLiteral("pad%1").arg(n + 1), Handler::Black, Look::Pad, tag),
        2 + n / kColumns, 1 + n % kColumns);
  }
  layout->setRowMinimumHeight(8, 6);
  // Row 9: the eight other controls 56-63, tags 57-64.
  for (int n = 0; n < kColumns; ++n) {
    const int tag = 57 + n;
    layout->addWidget(
        makeElement(grid, QStringLiteral("other%1").arg(n + 1), Handler::Black, kOtherLook, tag), 9,
        1 + n);
  }
  for (int column = 1; column <= kColumns; ++column) layout->setColumnStretch(column, 1);
}

void setImage(QAbstractButton* element, const QString& name) {
  SurfaceElement* shown = asElement(element);
  if (shown == nullptr || imageOf(element) == name) return;
  shown->state().selected = name == QLatin1String("selected");
  element->update();
  // Assistive technology hears it as current (selected) or chosen (checked).
  QAccessible::State changed;
  changed.selected = changed.checked = true;
  QAccessibleStateChangeEvent event(element, changed);
  QAccessible::updateAccessibility(&event);
}

QString imageOf(const QObject* element) {
  const SurfaceElement* shown = asElement(element);
  if (shown == nullptr) return {};
  return shown->state().selected ? QStringLiteral("selected") : QStringLiteral("unselected");
}

void setLight(QAbstractButton* element, const QColor& colour) {
  SurfaceElement* shown = asElement(element);
  if (shown == nullptr || !shown->state().hasLight) return;
  shown->state().light = colour;
  shown->state().lightShown = true;
  element->update();
}

void hideLight(QAbstractButton* element) {
  SurfaceElement* shown = asElement(element);
  if (shown == nullptr || !shown->state().hasLight) return;
  shown->state().lightShown = false;
  element->update();
}

std::optional<QColor> lightOf(const QObject* element) {
  const SurfaceElement* shown = asElement(element);
  if (shown == nullptr || !shown->state().lightShown) return std::nullopt;
  return shown->state().light;
}

void setNote(QAbstractButton* element, const QString& note) {
  SurfaceElement* shown = asElement(element);
  if (shown == nullptr || shown->state().look != Look::Pad || shown->state().note == note) return;
  shown->state().note = note;
  element->update();
}

QString noteOf(const QObject* element) {
  const SurfaceElement* shown = asElement(element);
  return shown == nullptr ? QString() : shown->state().note;
}

void setLit(QAbstractButton* element, bool lit, const QString& value) {
  SurfaceElement* shown = asElement(element);
  // Struck again while lit, it shows the new value.
  if (shown == nullptr || (shown->state().lit == lit && shown->state().litValue == value)) return;
  shown->state().lit = lit;
  shown->state().litValue = lit ? value : QString();
  element->update();
}

bool litOf(const QObject* element) {
  const SurfaceElement* shown = asElement(element);
  return shown != nullptr && shown->state().lit;
}

QString litValueOf(const QObject* element) {
  const SurfaceElement* shown = asElement(element);
  return shown == nullptr ? QString() : shown->state().litValue;
}

Qt::KeyboardModifiers clickModifiers(const QObject* element) {
  const SurfaceElement* shown = asElement(element);
  return shown == nullptr ? Qt::NoModifier : shown->state().modifiers;
}

void forgetClickModifiers(QAbstractButton* element) {
  if (SurfaceElement* shown = asElement(element)) shown->state().modifiers = Qt::NoModifier;
}

int tagOf(const QObject* element) {
  const SurfaceElement* shown = asElement(element);
  return shown == nullptr ? -1 : shown->state().tag;
}

QAbstractButton* selectorWithTag(const QWidget* view, int tag) {
  for (SurfaceElement* element : view->findChildren<SurfaceElement*>()) {
    if (element->state().tag == tag) return element;
  }
  return nullptr;
}

std::vector<QAbstractButton*> selectorElements(const QWidget* view) {
  std::vector<QAbstractButton*> elements;
  for (int tag = kFirstTag; tag <= kLastTag; ++tag) {
    if (QAbstractButton* element = selectorWithTag(view, tag)) elements.push_back(element);
  }
  return elements;
}

std::vector<QAbstractButton*> rowHeaders(const QWidget* view) {
  const QList<RowHeader*> headers = view->findChildren<RowHeader*>();
  return {headers.begin(), headers.end()};
}

int rowOf(const QObject* header) {
  const auto* row = qobject_cast<const RowHeader*>(header);
  return row == nullptr ? -1 : row->row();
}

std::optional<Handler> handlerOf(const QObject* element) {
  const SurfaceElement* shown = asElement(element);
  if (shown == nullptr) return std::nullopt;
  return shown->state().handler;
}

std::int32_t controlOf(const EditSession& session, const QObject* element) {
  const Selector kind = handlerOf(element) == Handler::White ? Selector::White : Selector::Black;
  return session.indexOf(kind, tagOf(element));
}

void labelSelectors(const QWidget* view, const EditSession& session) {
  for (QAbstractButton* element : selectorElements(view)) {
    element->setText(listLabel(session.controlName(controlOf(session, element))));
  }
}

void showPadLights(const QWidget* view, const EditSession& session) {
  for (QAbstractButton* element : selectorElements(view)) {
    const std::int32_t index = controlOf(session, element);
    const ButtonValuePtr record = isPadControl(index) ? session.control(index) : nullptr;
    if (record) {
      setLight(element, padColour(*record));
    } else {
      hideLight(element);
    }
    // The note it plays: moved by the octave transposition, none when moved out of range.
    const std::optional<int> note =
        record && session.global() && playing::sendsOf(index, *record) == playing::Sends::Notes
            ? playing::noteOf(*record, *session.global())
            : std::nullopt;
    setNote(element, note ? QString::fromStdString(noteName(*note)) : QString());
    const ButtonValuePtr control = session.control(index);
    element->setAccessibleDescription(
        control && session.global() ? describeControl(session, index, *control) : QString());
  }
}

}  // namespace padkbd::editor
