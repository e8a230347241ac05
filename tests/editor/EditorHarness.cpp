#include "tests/editor/EditorHarness.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

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

std::vector<ButtonValue> EditorHarness::snapshot() {
  std::vector<ButtonValue> all;
  for (const auto& r : vc().session().preset().buttons) all.push_back(*r);
  return all;
}

void activate(QComboBox* menu, int position) {
  menu->setCurrentIndex(position);
  emit menu->activated(position);
}

}  // namespace padkbd::test
