// An editor window over the simulated controller, with its working copy and
// settings file in a temporary folder: the whole program as main.cpp composes
// it, minus USB.
#pragma once

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QStringList>
#include <QTest>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include "editor/DeviceWorker.h"
#include "editor/DocumentActions.h"
#include "editor/KeyboardActions.h"
#include "editor/MainWindowController.h"
#include "editor/ViewController.h"
#include "history/History.h"
#include "sim/SimulatedController.h"
#include "storage/FileAction.h"
#include "storage/Settings.h"
#include "tests/support/TempDir.h"

namespace padkbd::test {

// An environment variable set for an object's life through Qt: Qt's own
// threads (the test watchdog among them) read the environment under Qt's
// lock, and a plain setenv beside them can free the array they are reading.
class QtScopedEnv {
 public:
  QtScopedEnv(const char* name, const std::string& value)
      : name_(name), old_(qgetenv(name)), had_(qEnvironmentVariableIsSet(name)) {
    qputenv(name, QByteArray::fromStdString(value));
  }
  ~QtScopedEnv() { had_ ? qputenv(name_, old_) : qunsetenv(name_); }
  QtScopedEnv(const QtScopedEnv&) = delete;
  QtScopedEnv& operator=(const QtScopedEnv&) = delete;

 private:
  const char* name_;
  QByteArray old_;
  bool had_;
};

// Chooses an item of a menu as the user does: the menu shows it and sends activated.
void activate(QComboBox* menu, int position);

class EditorHarness {
 public:
  enum class Start { AfterRead, AtOnce, Shown };

  // `prepare` sets the controller up (faults, settings) before the start-up
  // read; the settings file it may write is SettingsFile()'s default path,
  // the history History::defaultPath() (both in the temporary folder).
  // The harness returns when the start-up read has ended, or at once; Shown:
  // after the read, with the window shown and active (see showActive).
  explicit EditorHarness(const std::function<void(SimulatedController&)>& prepare = {},
                         Start start = Start::AfterRead);
  ~EditorHarness();
  // A `prepare` for a start without a keyboard.
  static void noKeyboard(SimulatedController& sim) { sim.faults().absent = true; }

  // The controller is used on the worker's thread: change its faults with
  // changeFaults while the window runs.
  SimulatedController& sim() { return sim_; }
  FileAction& files() { return *files_; }
  editor::DeviceWorker& worker() { return *worker_; }
  // Runs the event loop until the device worker has nothing left to do,
  // the history's questions included; false if that took longer than `seconds`.
  bool waitForKeyboard(int seconds = 20);
  // Plugs the keyboard in or out, and waits until the window says so.
  void plug(bool in);
  // What the window says of the keyboard ("● Keyboard connected").
  QString keyboardState() { return part<QLabel>("keyboardState")->text(); }
  // The device progress panel's text, while it is shown; empty otherwise.
  QString progressText();
  editor::MainWindowController& window() { return *window_; }
  // Shows the window and makes it the active one, so that it has a keyboard
  // focus; false if it never became active.
  bool showActive();
  // A part of the window by its object name ("monitorDock").
  template <typename T = QWidget>
  T* part(const char* name) {
    return window_->findChild<T*>(QString::fromLatin1(name));
  }
  // The dialog that the menu's `action` opens, once the device worker has
  // done what opening it asked (listed the bus, asked the history).
  template <typename Dialog>
  Dialog* open(const char* action) {
    this->action(action)->trigger();
    waitForKeyboard();
    return window_->findChild<Dialog*>();
  }
  editor::ViewController& vc() { return window_->viewController(); }
  const TempDir& dir() const { return dir_; }

  QAbstractButton* element(int tag) { return vc().viewWithTag(tag); }
  // A pop-up of the window by its outlet name ("cr", "globalC").
  QComboBox* menu(const char* name) {
    return window_->findChild<QComboBox*>(QString::fromLatin1(name));
  }
  // Chooses an item of a pop-up as the user does.
  void choose(const char* name, int position) { activate(menu(name), position); }
  void click(int tag, Qt::KeyboardModifiers keys = Qt::NoModifier) {
    QTest::mouseClick(element(tag), Qt::LeftButton, keys);
  }
  QAction* action(const char* name) {
    return window_->findChild<QAction*>(QString::fromLatin1(name));
  }
  // The status field's text.
  QString status() { return vc().message->text(); }
  // Send (or Read) from the window, and wait until it has ended.
  bool send() {
    vc().keyboard().sendAction();
    return waitForKeyboard();
  }
  bool read() {
    vc().keyboard().readAction();
    return waitForKeyboard();
  }
  // The file and folder dialogs (documents, texts, library folders) answer
  // `path`; an empty one cancels.
  void answerFiles(const std::filesystem::path& path);
  // What the window told as problems (its message boxes).
  QStringList problems;
  // The questions before sends, each its text then its details; all answered Send.
  QStringList sendQuestions;
  // The questions before unsaved edits are lost, answered `unsavedAnswer`.
  QStringList unsavedQuestions;
  editor::DialogSeams::Unsaved unsavedAnswer = editor::DialogSeams::Unsaved::Discard;
  // How often the window asked whether to read a keyboard that arrived (answered no).
  int readQuestions = 0;
  // What Compare showed, each its title, text and details.
  QStringList compared;
  // Names of the elements tagged 1 to 72 that show "selected".
  QStringList selectedTags();
  // The record at control index i of the preset being edited.
  ButtonValuePtr record(int index) { return vc().session().control(index); }
  // Copies of every record of the current preset, to compare later.
  std::vector<ButtonValue> snapshot();
  // What the window (or `root`) shows, as the free shownAs below tells it.
  QStringList shownAs(const char* name, QWidget* root = nullptr);

 private:
  TempDir dir_;
  QtScopedEnv xdg_;
  QtScopedEnv xdgConfig_;
  QtScopedEnv xdgState_;
  SimulatedController sim_;
  ResolvedKeyboard keyboard_;
  std::unique_ptr<FileAction> files_;
  std::unique_ptr<History> history_;
  std::unique_ptr<Reach> reach_;
  std::unique_ptr<editor::DeviceWorker> worker_;
  std::unique_ptr<editor::MainWindowController> window_;
};

// What the window says of the keyboard and in its status field.
inline const QString kConnected = QStringLiteral("● Keyboard connected");
inline const QString kNoKeyboard = QStringLiteral("○ No keyboard");
inline const QString kSendSucceeded = QStringLiteral("成功发送到设备!");
// What a send that went whole says: the fixed text, then the slot.
inline QString sentTo(int slot) {
  return kSendSucceeded + QStringLiteral(" Written to memory slot %1.").arg(slot);
}
inline const QString kConnectFailed = QStringLiteral("连接到设备失败.");
inline const QString kReadSucceeded = QStringLiteral("从设备读取参数成功!");

// What `root` shows, a line for each widget it shows (kind, name, place, whether it can be used,
// its texts and choices, every row of its lists) and for each of its actions; the test's folder,
// days and times masked, as they change from run to run.
QString shown(QWidget* root, const std::filesystem::path& dir, bool places = true);
// What `root` shows, as lines (see shown); with PADKBD_SAVE_SHOWN set, saved as
// tests/editor/shown/NAME.txt instead, for a change to the window that is meant (read the
// difference before committing it).
QStringList shownAs(const char* name, QWidget* root, const std::filesystem::path& dir = {});
// What was saved as NAME (nothing while saving).
QStringList savedShown(const char* name, QWidget* root = nullptr);
// What is shown is what was saved as `name`: the first line that differs fails the test.
#define QVERIFY_SHOWN(editor, ...) \
  QCOMPARE((editor).shownAs(__VA_ARGS__), padkbd::test::savedShown(__VA_ARGS__))

// The items of a menu, in order.
QStringList itemsOf(const QComboBox* menu);
// The items of a choice list, as a QStringList.
QStringList toQStringList(const std::vector<std::string>& list);

}  // namespace padkbd::test
