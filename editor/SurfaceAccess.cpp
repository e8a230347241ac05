#include "editor/SurfaceAccess.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QCoreApplication>

#include "editor/PadColours.h"
#include "editor/SelectorSurface.h"
#include "editor/SurfaceElement.h"
#include "model/NoteNames.h"
#include "model/Playing.h"
#include "session/EditSession.h"

namespace padkbd::editor {

namespace {

// A selector to assistive technology: a button named after its control,
// described by what it sends; current (selected) outside bulk mode, chosen
// (checked) in it; the bank switch checked while the second bank is on.
class ElementAccessible : public QAccessibleWidget {
 public:
  explicit ElementAccessible(QWidget* element) : QAccessibleWidget(element, QAccessible::Button) {}

  QString text(QAccessible::Text kind) const override {
    const auto* element = static_cast<const QAbstractButton*>(widget());
    if (kind == QAccessible::Name && element->accessibleName().isEmpty()) return element->text();
    return QAccessibleWidget::text(kind);
  }

  QAccessible::State state() const override {
    QAccessible::State state = QAccessibleWidget::state();
    const auto* element = static_cast<const SurfaceElement*>(widget());
    const auto* surface = qobject_cast<const SelectorGrid*>(element->parentWidget());
    state.focusable = true;
    state.focused = surface && surface->hasFocus() && focusedElement(surface) == element;
    const bool ringed = element->state().selected;
    if (element->state().handler == Handler::Bank || (surface && surface->bulk())) {
      state.checkable = true;
      state.checked = ringed;
    } else {
      state.selectable = true;
      state.selected = ringed;
    }
    return state;
  }

  QStringList actionNames() const override { return {pressAction()}; }
  void doAction(const QString& name) override {
    if (name == pressAction()) clickElement(static_cast<QAbstractButton*>(widget()));
  }
};

// The surface itself: its focus is on the element under its cursor.
class SurfaceAccessible : public QAccessibleWidget {
 public:
  explicit SurfaceAccessible(QWidget* surface)
      : QAccessibleWidget(surface, QAccessible::Grouping) {}
  QAccessibleInterface* focusChild() const override {
    QAbstractButton* element = focusedElement(static_cast<const SelectorGrid*>(widget()));
    return widget()->hasFocus() && element ? QAccessible::queryAccessibleInterface(element)
                                           : QAccessibleWidget::focusChild();
  }
};

QAccessibleInterface* surfaceAccessible(const QString&, QObject* object) {
  auto* widget = qobject_cast<QWidget*>(object);
  if (widget == nullptr) return nullptr;
  if (asElement(widget) != nullptr) return new ElementAccessible(widget);
  if (qobject_cast<SelectorGrid*>(widget) != nullptr) return new SurfaceAccessible(widget);
  return nullptr;
}

}  // namespace

void installSurfaceAccessibility() {
  static const bool installed = (QAccessible::installFactory(surfaceAccessible), true);
  Q_UNUSED(installed);
}

QString describeControl(const EditSession& session, std::int32_t index, const ButtonValue& record) {
  QString sends;
  switch (playing::sendsOf(index, record)) {
    case playing::Sends::Notes: {
      const std::optional<int> note = playing::noteOf(record, *session.global());
      sends = note ? QCoreApplication::translate("SelectorSurface", "note %1")
                         .arg(QString::fromStdString(noteName(*note)))
                   : QCoreApplication::translate("SelectorSurface", "no note");
      break;
    }
    case playing::Sends::Controller:
      sends = QCoreApplication::translate("SelectorSurface", "controller %1").arg(record.MIDInumb);
      break;
    case playing::Sends::NRPN:
      sends = QCoreApplication::translate("SelectorSurface", "NRPN %1").arg(record.MIDInumb);
      break;
    case playing::Sends::RPN:
      sends = QCoreApplication::translate("SelectorSurface", "RPN %1").arg(record.MIDInumb);
      break;
  }
  // The global channel by the name its pop-up gives it.
  const auto channels = session.lists().find("selectChannel");
  const bool named = record.channel >= 16 && channels != session.lists().end() &&
                     static_cast<std::size_t>(record.channel) < channels->second.size();
  const QString channel =
      named ? QString::fromStdString(channels->second[static_cast<std::size_t>(record.channel)])
            : QString::number(record.channel + 1);
  if (!isPadControl(index))
    return QCoreApplication::translate("SelectorSurface", "%1, channel %2").arg(sends, channel);
  return QCoreApplication::translate("SelectorSurface", "%1, channel %2, %3")
      .arg(sends, channel, colourWord(padColour(record)));
}

}  // namespace padkbd::editor
