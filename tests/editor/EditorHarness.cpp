#include "tests/editor/EditorHarness.h"

#include <QAccessible>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDockWidget>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QRegularExpression>
#include <QScrollArea>
#include <QThread>
#include <QTreeView>

#include "editor/SelectorSurface.h"
#include "link/midiport/PortModule.h"
#include "model/Log.h"

namespace padkbd::test {

EditorHarness::EditorHarness(const std::function<void(SimulatedController&)>& prepare, Start start)
    : xdg_("XDG_DATA_HOME", (dir_.path() / "data").string()),
      xdgConfig_("XDG_CONFIG_HOME", (dir_.path() / "config").string()),
      xdgState_("XDG_STATE_HOME", (dir_.path() / "state").string()) {
  log::setSink(
      [](log::Channel, std::string_view) {});  // the transport's lines would drown the output
  // The MIDI-port module, which the programs find beside themselves.
  portmodule::useFolder(PADKBD_TEST_MODULE_DIR);
  if (prepare) prepare(sim_);
  keyboard_ = resolveKeyboard(SettingsFile().read(), {});
  files_ =
      std::make_unique<FileAction>(PADKBD_TEST_RESOURCE_DIR, FileAction::defaultWorkingCopyPath());
  history_ = std::make_unique<History>(History::defaultPath());
  ReachOptions standIn;
  standIn.standIn = &sim_;
  reach_ = std::make_unique<Reach>(standIn, keyboard_.id);
  worker_ = std::make_unique<editor::DeviceWorker>(*reach_, PADKBD_TEST_RESOURCE_DIR, *history_);
  // As with --simulate: Ctrl with the mouse plays the control.
  worker_->setStriker([this](int index, SimulatedController::Touch touch, int amount) {
    sim_.touch(index, touch, amount);
  });
  window_ = std::make_unique<editor::MainWindowController>(*worker_, *files_, keyboard_);
  // The questions are kept and get the answer that lets a test go on.
  vc().dialogs.askUnsaved = [this](QWidget*, const QString& text) {
    unsavedQuestions << text;
    return unsavedAnswer;
  };
  vc().dialogs.confirmSend = [this](QWidget*, const QString& text, const QString& details, bool&) {
    sendQuestions << text << details;
    return true;
  };
  vc().dialogs.showDifferences = [this](QWidget*, const QString& title, const QString& text,
                                        const QString& details) {
    compared << title << text << details;
  };
  vc().dialogs.askReadArrived = [this](QWidget*) { return ++readQuestions, false; };
  vc().dialogs.showProblem = [this](QWidget*, const QString&, const QString& text) {
    problems << text;
  };
  if (start != Start::AtOnce) waitForKeyboard();
  if (start == Start::Shown) QVERIFY(showActive());
}

EditorHarness::~EditorHarness() {
  window_.reset();
  worker_.reset();  // its thread ends before the controller goes
}

bool EditorHarness::waitForKeyboard(int seconds) {
  const QDeadlineTimer deadline{std::chrono::seconds(seconds)};
  while (!worker_->idle()) {
    if (deadline.hasExpired()) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QThread::msleep(1);
  }
  QCoreApplication::processEvents();  // what the last result set off
  return true;
}

bool EditorHarness::showActive() {
  window_->show();
  QApplication::setActiveWindow(window_.get());
  return QTest::qWaitForWindowActive(window_.get());
}

void EditorHarness::plug(bool in) {
  sim_.changeFaults([in](auto& faults) { faults.absent = !in; });
  QTRY_COMPARE(keyboardState(), in ? kConnected : kNoKeyboard);
}

QString EditorHarness::progressText() {
  if (!part("deviceProgress")->isVisibleTo(window_.get())) return {};
  return part<QLabel>("progressText")->text();
}

void EditorHarness::answerFiles(const std::filesystem::path& path) {
  const QString answer = QString::fromStdString(path.string());
  auto& dialogs = vc().dialogs;
  dialogs.openDocumentPath = [answer](QWidget*) { return answer; };
  dialogs.saveDocumentPath = dialogs.saveTextPath = dialogs.chooseFolder = dialogs.openDocumentPath;
}

QStringList EditorHarness::selectedTags() {
  QStringList tags;
  for (QAbstractButton* element : vc().taggedElements()) {
    if (editor::imageOf(element) == QLatin1String("selected"))
      tags << QString::number(editor::tagOf(element));
  }
  return tags;
}

QStringList itemsOf(const QComboBox* menu) {
  QStringList items;
  for (int i = 0; i < menu->count(); ++i) items << menu->itemText(i);
  return items;
}

QStringList toQStringList(const std::vector<std::string>& list) {
  QStringList items;
  for (const auto& item : list) items << QString::fromStdString(item);
  return items;
}

QStringList EditorHarness::shownAs(const char* name, QWidget* root) {
  return test::shownAs(name, root != nullptr ? root : window_.get(), dir_.path());
}

QStringList shownAs(const char* name, QWidget* root, const std::filesystem::path& dir) {
  const QString now = shown(root, dir);
  if (!qEnvironmentVariableIsSet("PADKBD_SAVE_SHOWN")) return now.split(QLatin1Char('\n'));
  QFile file(QStringLiteral(PADKBD_SHOWN_DIR "/%1.txt").arg(QLatin1String(name)));
  if (file.open(QIODevice::WriteOnly)) file.write(now.toUtf8());
  return {};
}

std::vector<ButtonValue> EditorHarness::snapshot() {
  std::vector<ButtonValue> all;
  for (const auto& r : vc().session().preset().buttons) all.push_back(*r);
  return all;
}

void activate(QComboBox* menu, int position) {
  menu->setCurrentIndex(position);
  emit menu->activated(position);
}

namespace {

// One widget as the user sees it: kind, name, place in the window, whether it
// can be used, and what it says or holds.
QString describeOne(QWidget* w, QWidget* root, bool places) {
  QString line = QString::fromLatin1(w->metaObject()->className()) + '#' + w->objectName();
  // Places are told where layouts have placed the widgets: in a window that is shown.
  if (places) {
    const QPoint at = w->mapTo(root, QPoint());
    line +=
        QStringLiteral(" @%1,%2 %3x%4").arg(at.x()).arg(at.y()).arg(w->width()).arg(w->height());
  }
  if (!w->isEnabled()) line += QStringLiteral(" off");
  QStringList says;
  if (auto* label = qobject_cast<QLabel*>(w)) says << label->text();
  if (auto* button = qobject_cast<QAbstractButton*>(w)) {
    says << button->text();
    if (button->isCheckable()) says << (button->isChecked() ? "on" : "off");
  }
  if (auto* menu = qobject_cast<QComboBox*>(w)) {
    QStringList items;  // every choice, told by a checksum: some lists are long
    for (int n = 0; n < menu->count(); ++n) items << menu->itemText(n);
    const QByteArray all = items.join('\n').toUtf8();
    says << menu->currentText() << QString::number(menu->count())
         << QString::number(qChecksum(QByteArrayView(all)), 16);
  }
  if (auto* edit = qobject_cast<QLineEdit*>(w)) says << edit->text();
  if (auto* text = qobject_cast<QPlainTextEdit*>(w)) says << text->toPlainText();
  if (auto* bar = qobject_cast<QProgressBar*>(w))
    says << QStringLiteral("%1/%2").arg(bar->value()).arg(bar->maximum());
  if (auto* slider = qobject_cast<QAbstractSlider*>(w))
    says << QStringLiteral("%1/%2").arg(slider->value()).arg(slider->maximum());
  if (auto* group = qobject_cast<QGroupBox*>(w)) says << group->title();
  if (auto* dock = qobject_cast<QDockWidget*>(w)) says << dock->windowTitle();
  if (auto* view = qobject_cast<QAbstractItemView*>(w); view && view->model()) {
    const QAbstractItemModel& model = *view->model();
    for (int row = 0; row < model.rowCount(); ++row) {
      QStringList cells;
      for (int column = 0; column < model.columnCount(); ++column) {
        // A cell's text, and whatever it shows beyond: a tip, bold, a colour.
        const QModelIndex cell = model.index(row, column);
        const QString text = cell.data().toString(), tip = cell.data(Qt::ToolTipRole).toString();
        const QVariant font = cell.data(Qt::FontRole), colour = cell.data(Qt::ForegroundRole);
        const QString says = cell.data(Qt::AccessibleTextRole).toString();
        cells << text + (tip.isEmpty() ? "" : tip == text ? " (tip)" : " (tip: " + tip + ")") +
                     (says.isEmpty() || says == text ? "" : " (says: " + says + ")") +
                     (cell.data(Qt::DecorationRole).isValid() ? " (picture)" : "") +
                     (font.isValid() && font.value<QFont>().bold() ? " (bold)" : "") +
                     (colour.isValid() ? " (" + colour.value<QBrush>().color().name() + ")" : "");
      }
      says << (view->currentIndex().row() == row ? "> " : "  ") + cells.join(QStringLiteral(" | "));
    }
    // A column's room beside its texts (the texts' own width changes with the day shown).
    if (auto* tree = qobject_cast<QTreeView*>(view); tree && root->isVisible()) {
      const int last = model.columnCount() - 1;  // the last one takes the room left
      for (int column = 0; column < last; ++column)
        says << QString::number(
            tree->columnWidth(column) -
            std::max(view->sizeHintForColumn(column), tree->header()->sectionSizeHint(column)));
    }
  }
  if (editor::tagOf(w) >= 0 || editor::rowOf(w) >= 0) {
    const std::optional<QColor> light = editor::lightOf(w);
    says << editor::imageOf(w) << (light ? light->name() : QStringLiteral("no light"))
         << editor::noteOf(w) << editor::litValueOf(w) << (editor::litOf(w) ? "lit" : "");
    if (QAccessibleInterface* spoken = QAccessible::queryAccessibleInterface(w))  // read aloud
      says << spoken->text(QAccessible::Name) + ": " + spoken->text(QAccessible::Description);
  }
  if (!w->toolTip().isEmpty()) says << QStringLiteral("tip: ") + w->toolTip();
  if (!w->accessibleDescription().isEmpty())
    says << QStringLiteral("tells: ") + w->accessibleDescription();
  if (!says.isEmpty()) line += QStringLiteral(": ") + says.join(QStringLiteral(" ¦ "));
  return line;
}

// Widgets whose insides are Qt's own are told whole.
bool toldWhole(QWidget* w) {
  return qobject_cast<QComboBox*>(w) || qobject_cast<QLineEdit*>(w) ||
         (qobject_cast<QAbstractScrollArea*>(w) && !qobject_cast<QScrollArea*>(w));
}

void describeAll(QWidget* w, QWidget* root, bool places, int depth, QStringList& lines) {
  lines << QString(depth * 2, QLatin1Char(' ')) + describeOne(w, root, places);
  if (toldWhole(w)) return;
  if (auto* area = qobject_cast<QScrollArea*>(w); area && area->widget()) {
    describeAll(area->widget(), root, places, depth + 1, lines);
    return;
  }
  for (QObject* child : w->children()) {
    auto* widget = qobject_cast<QWidget*>(child);
    // Qt's own parts are left out, but for what a message box says.
    const QString name = widget ? widget->objectName() : QString();
    if (widget && widget->isVisibleTo(root) && !widget->isWindow() &&
        (!name.startsWith(QLatin1String("qt_")) || name.startsWith(QLatin1String("qt_msgbox"))))
      describeAll(widget, root, places, depth + 1, lines);
  }
}

}  // namespace

QString shown(QWidget* root, const std::filesystem::path& dir, bool places) {
  QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);  // places as they settle
  QStringList lines{root->windowTitle()};
  for (QAction* action : root->findChildren<QAction*>()) {
    if (action->text().isEmpty()) continue;
    lines << QStringLiteral("action %1%2%3")
                 .arg(action->text(), action->isEnabled() ? "" : " off",
                      !action->isCheckable() ? ""
                      : action->isChecked()  ? " on"
                                             : " unchecked");
  }
  describeAll(root, root, places, 0, lines);
  QString all = lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
  // What changes from run to run: the test's own folder, the day and the time.
  if (!dir.empty()) all.replace(QString::fromStdString(dir.string()), QStringLiteral("<dir>"));
  // (A day and time as the window writes them; a time to the millisecond as the Monitor does.)
  static const QRegularExpression when(QStringLiteral(
      R"(\b(\d{1,2} [A-Z][a-z]{2}|[A-Z][a-z]{2} \d{1,2})( \d{4})? \d{1,2}[:.]\d{2}( ?[AP]M)?|)"
      R"(\b\d{2}:\d{2}:\d{2}\.\d{3}\b|(\d{4}年)?\d{1,2}月\d{1,2}日 \d{1,2}:\d{2})"));
  all.replace(when, QStringLiteral("<when>"));
  // Places are told where layouts have placed the widgets (a window shown), and no day is shown:
  // its width moves what stands beside it.
  if (places && (!root->isVisible() || all.contains(QLatin1String("<when>"))))
    return shown(root, dir, false);
  return all;
}

QStringList savedShown(const char* name, QWidget*) {
  QFile file(QStringLiteral(PADKBD_SHOWN_DIR "/%1.txt").arg(QLatin1String(name)));
  if (qEnvironmentVariableIsSet("PADKBD_SAVE_SHOWN")) return {};
  if (!file.open(QIODevice::ReadOnly)) return {file.fileName() + QStringLiteral(" is missing")};
  return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
}

}  // namespace padkbd::test
