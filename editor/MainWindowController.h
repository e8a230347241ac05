// The editor window: loads the layout "Main", builds the controller surface,
// hands the view to its ViewController and binds the menus. The title names
// what is shown and marks unsaved changes; closing the window quits, after
// asking when edits would be lost.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <memory>

#include "session/EditSession.h"
#include "storage/Settings.h"

namespace Ui {
class MainWindow;
}

namespace padkbd {
class FileAction;
}

namespace padkbd::editor {

class DeviceWorker;
class HistoryDialog;
class KeyboardController;
class MemorySlotsDialog;
class LibraryPane;
class PlayController;
class SetView;
class ViewController;

class MainWindowController : public QMainWindow {
  Q_OBJECT

 public:
  // Loads the view, which shows the default preset and starts reading the
  // keyboard on `worker`. `keyboard` is the keyboard resolved at start; a
  // damaged settings file (its warning) is told once the window is up. The
  // Keyboard dialog stores a choice in `settings`.
  //
  // With `Build::OnShow` (the program) only the frame is made now, so that
  // the window is on the screen at once; its contents are built when it is
  // first shown, before its first paint.
  enum class Build { Now, OnShow };
  MainWindowController(DeviceWorker& worker, FileAction& files, const ResolvedKeyboard& keyboard,
                       SettingsFile settings = SettingsFile(), QWidget* parent = nullptr,
                       Build build = Build::Now);
  ~MainWindowController() override;

  ViewController& viewController() const { return *viewController_; }
  // Listening, the surface's lights, the Monitor pane and choosing by playing.
  PlayController& play() const { return *play_; }
  // The Library pane (View → Library).
  // (both made when first needed, at the latest once the window is up)
  LibraryPane& library();
  // The Set view (View → Set): a set of nine sent in one go.
  SetView& setView();
  // The Keyboard, Memory Slots and History dialogs, once opened.
  KeyboardController* keyboardDialog() const;
  MemorySlotsDialog* memorySlotsDialog() const;
  HistoryDialog* historyDialog() const;

 public slots:
  void closeApplication();
  void showKeyboardAction();
  void showMemorySlotsAction();
  void showHistoryAction();
  void showAboutAction();
  void openLogFolderAction();
  // Help → Detailed log: every exchange's lines in the log, or not; kept for the next start.
  void detailedLogAction(bool detailed);

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void build();
  // The window is on the screen with its contents: start-up read, warnings.
  void appeared();
  void windowDidLoad();
  void restoreWindowGeometry();
  void connectMenus();
  // Title, and the Edit menu's texts and states, after the preset changed.
  void showEditState();
  static QString originText(const Origin& origin);

  std::unique_ptr<Ui::MainWindow> ui_;
  ViewController* viewController_ = nullptr;
  PlayController* play_ = nullptr;
  LibraryPane* library_ = nullptr;
  SetView* setView_ = nullptr;
  QAction* saveToLibrary_ = nullptr;
  DeviceWorker& worker_;
  ResolvedKeyboard keyboard_;
  SettingsFile settings_;
  QPointer<KeyboardController> keyboardDialog_;
  QPointer<MemorySlotsDialog> memorySlotsDialog_;
  QPointer<HistoryDialog> historyDialog_;
  bool warned_ = false;
  FileAction& files_;
  bool built_ = false;
};

}  // namespace padkbd::editor
