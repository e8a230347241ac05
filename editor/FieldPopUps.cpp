#include "editor/FieldPopUps.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QStringList>
#include <algorithm>

#include "editor/ListLabels.h"
#include "editor/Outlets.h"
#include "model/NoteNames.h"
#include "session/EditSession.h"

namespace padkbd::editor {

namespace {

std::vector<std::string> listOf(const EditSession& session, const char* key) {
  const auto found = key != nullptr ? session.lists().find(key) : session.lists().end();
  return found != session.lists().end() ? found->second : std::vector<std::string>();
}

// The list a control's pop-up shows for what the session has current.
std::vector<std::string> listOf(const EditSession& session, const ControlFieldInfo& row) {
  switch (row.labels) {
    case Labels::Mode:
      return listOf(session, session.padLists() ? row.listKey : row.otherListKey);
    case Labels::ModeOption:
      return session.modeOptions();
    case Labels::List:
    case Labels::Colour:
      break;
  }
  return listOf(session, row.listKey);
}

void fill(QComboBox* menu, const std::vector<std::string>& items, bool noteNames = false) {
  QStringList labels;
  for (const std::string& item : items) {
    const int n = static_cast<int>(labels.size());
    // Translated first: the note name goes in after the number.
    const QString label = listLabel(item);
    labels << (noteNames ? QString::fromStdString(withNoteName(label.toStdString(), n)) : label);
  }
  menu->clear();
  menu->addItems(labels);
  menu->setCurrentIndex(-1);
}

// Selects the item at `position`; a position without an item leaves the menu
// with no item chosen (the -1 colour of an other control, an empty option list).
void choose(QComboBox* menu, std::int32_t position) {
  menu->setCurrentIndex(position >= 0 && position < menu->count() ? position : -1);
}

// A pop-up turns with the wheel only once the user has focused it; over
// one that is not, the wheel scrolls what holds it.
class WheelGuard : public QObject {
 public:
  using QObject::QObject;
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::Wheel || static_cast<QWidget*>(watched)->hasFocus()) return false;
    event->ignore();  // passed on to the parent
    return true;
  }
};

// Esc over an open list closes the list and nothing else. Qt closes it while
// asking whether the key is a shortcut, and then lets the window's Esc
// shortcut (leave bulk mode) have it too: answered here first, the key stops.
class EscapeGuard : public QObject {
 public:
  explicit EscapeGuard(QComboBox* menu) : QObject(menu), menu_(menu) {}
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() != QEvent::ShortcutOverride ||
        !static_cast<QKeyEvent*>(event)->matches(QKeySequence::Cancel)) {
      return false;
    }
    menu_->hidePopup();
    event->accept();
    return true;
  }

 private:
  QComboBox* menu_;
};

QComboBox* guarded(QComboBox* menu) {
  menu->setFocusPolicy(Qt::StrongFocus);
  menu->installEventFilter(new WheelGuard(menu));
  // After the list's own filter (made with the view), so that it runs first.
  menu->view()->installEventFilter(new EscapeGuard(menu));
  return menu;
}

}  // namespace

FieldPopUps::FieldPopUps(const QWidget* view) {
  for (const ControlPopUp& row : kControlPopUps) {
    controls_.emplace_back(row, guarded(findOutlet<QComboBox>(view, row.outlet)));
  }
  for (const GlobalPopUp& row : kGlobalPopUps) {
    globals_.emplace_back(row, guarded(findOutlet<QComboBox>(view, row.outlet)));
  }
}

void FieldPopUps::fillLists(const EditSession& session) {
  for (const auto& [popUp, menu] : controls_) {
    const ControlFieldInfo& row = info(popUp.field);
    // Before any control is shown the mode list is the pads' one.
    fill(menu,
         row.labels == Labels::ModeOption ? std::vector<std::string>()
                                          : listOf(session, row.listKey),
         popUp.noteNames);
  }
  for (const auto& [popUp, menu] : globals_) {
    fill(menu, listOf(session, info(popUp.field).listKey));
  }
}

void FieldPopUps::showGlobal(const EditSession& session) {
  for (const auto& [popUp, menu] : globals_)
    choose(menu, (*session.global()).*info(popUp.field).member);
}

void FieldPopUps::showControl(const EditSession& session) {
  const ButtonValuePtr& record = session.current();
  if (!record) return;
  for (const auto& [popUp, menu] : controls_) {
    const ControlFieldInfo& row = info(popUp.field);
    if (row.labels == Labels::Mode || row.labels == Labels::ModeOption) {
      fill(menu, listOf(session, row), popUp.noteNames);
    }
    choose(menu, (*record).*row.member);
  }
}

void FieldPopUps::showModeOptions(const EditSession& session) {
  const ButtonValuePtr& record = session.current();
  for (const auto& [popUp, menu] : controls_) {
    const ControlFieldInfo& row = info(popUp.field);
    if (row.labels != Labels::ModeOption) continue;
    fill(menu, listOf(session, row), popUp.noteNames);
    choose(menu, record ? (*record).*row.member : -1);
  }
}

void FieldPopUps::clearControl() {
  for (const auto& [popUp, menu] : controls_) {
    if (info(popUp.field).labels == Labels::ModeOption) {
      menu->clear();
    } else {
      choose(menu, -1);
    }
  }
}

void FieldPopUps::enable(const EditSession* session, bool reading) {
  const bool bulk = session != nullptr && session->inBulk();
  const ButtonValuePtr current = session != nullptr ? session->current() : nullptr;
  const bool pad = bulk || (current && isPadControl(current->buttonID));
  for (const auto& [popUp, menu] : controls_) {
    const ControlFieldInfo& row = info(popUp.field);
    menu->setEnabled(!reading && (!bulk || EditSession::takesBulk(popUp.field)) &&
                     (!row.padsOnly || pad));
  }
  for (const auto& [popUp, menu] : globals_) menu->setEnabled(!bulk && !reading);
}

}  // namespace padkbd::editor
