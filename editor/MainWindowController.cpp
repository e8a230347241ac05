#include "editor/MainWindowController.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QShowEvent>
#include <QTimer>

#include "editor/DeviceWorker.h"
#include "editor/KeyboardController.h"
#include "editor/SelectorSurface.h"
#include "editor/ViewController.h"
#include "padkbd/BuildConfig.h"
#include "session/EditSession.h"
#include "ui_Main.h"

// Resources of a static library must be registered by name, outside any namespace.
static void initEditorResources() {
  Q_INIT_RESOURCE(editor);
}

namespace padkbd::editor {

namespace {

const char* const kWindowStyle = R"(
#surface {
  background-color: #24272d;
  border-radius: 14px;
}
#surface QToolButton {
  color: #d6dae0;
  font-size: 8pt;
  border: none;
  border-radius: 8px;
  padding: 2px;
}
#surface QToolButton:hover { background-color: rgba(255, 255, 255, 20); }
#surface QToolButton:pressed { background-color: rgba(255, 255, 255, 36); }
#firmware, #controlName { background: palette(window); }
#message {
  border: none;
  border-top: 1px solid rgb(214, 214, 214);
  background: transparent;
  padding-top: 6px;
  font-size: 10pt;
}
#hint { color: #6b7079; }
#sendToKeyboardButton { font-weight: 600; padding: 5px 22px; }
)";

}  // namespace

MainWindowController::MainWindowController(DeviceWorker& worker, FileAction& files,
                                           const ResolvedKeyboard& keyboard, SettingsFile settings,
                                           QWidget* parent)
    : QMainWindow(parent),
      ui_(std::make_unique<Ui::MainWindow>()),
      worker_(worker),
      keyboard_(keyboard),
      settings_(std::move(settings)) {
  initEditorResources();
  ui_->setupUi(this);
  setStyleSheet(QString::fromLatin1(kWindowStyle));
  buildSelectorSurface(ui_->selectorGrid);
  viewController_ = new ViewController(ui_->centralwidget, worker, files, settings_, this);
  viewController_->settingsWarning = asSentence(keyboard_.warning);
  windowDidLoad();
  connectMenus();
  viewController_->viewDidLoad();
  showEditState();
}

void MainWindowController::connectMenus() {
  ViewController* vc = viewController_;
  const std::pair<QAction*, void (ViewController::*)()> actions[] = {
      {ui_->actionLoad, &ViewController::loadAction},
      {ui_->actionSave, &ViewController::saveAction},
      {ui_->actionDefault, &ViewController::changeToDefaultAction},
      {ui_->actionUndo, &ViewController::undoAction},
      {ui_->actionRedo, &ViewController::redoAction},
      {ui_->actionCopy, &ViewController::copyAction},
      {ui_->actionPaste, &ViewController::pasteAction},
      {ui_->actionRead, &ViewController::readFromKeyboardAction},
      {ui_->actionSend, &ViewController::sendToKeyboardAction},
      {ui_->actionGains, &ViewController::showGainsAction},
  };
  for (const auto& [action, slot] : actions) connect(action, &QAction::triggered, vc, slot);
  connect(ui_->actionQuit, &QAction::triggered, this, &QWidget::close);
  connect(ui_->actionKeyboard, &QAction::triggered, this,
          &MainWindowController::showKeyboardAction);
  connect(vc, &ViewController::editStateChanged, this, &MainWindowController::showEditState);
}

void MainWindowController::showEditState() {
  if (!viewController_->hasSession()) return;
  const EditSession& session = viewController_->session();
  using Busy = ViewController::DeviceBusy;
  const Busy busy = viewController_->deviceBusy();
  const bool reading = busy == Busy::Reading;
  setWindowTitle(QStringLiteral("%1[*] — padkbd").arg(viewController_->originText()));
  setWindowModified(session.modified());
  const bool bulk = session.inBulk();
  ui_->actionUndo->setEnabled(session.canUndo() && !reading);
  ui_->actionUndo->setText(session.canUndo()
                               ? QStringLiteral("&Undo %1").arg(QString::fromStdString(session.undoText()))
                               : QStringLiteral("&Undo"));
  ui_->actionRedo->setEnabled(session.canRedo() && !reading);
  ui_->actionRedo->setText(session.canRedo()
                               ? QStringLiteral("&Redo %1").arg(QString::fromStdString(session.redoText()))
                               : QStringLiteral("&Redo"));
  ui_->actionCopy->setEnabled(session.current() && !bulk);
  ui_->actionPaste->setEnabled(session.canPaste() && !reading);
  // What bulk mode and the device worker disable in the window, they disable
  // in the menus.
  for (QAction* action : {ui_->actionLoad, ui_->actionDefault}) {
    action->setEnabled(!bulk && !reading);
  }
  ui_->actionSave->setEnabled(!bulk);
  for (QAction* action : {ui_->actionRead, ui_->actionSend}) {
    action->setEnabled(!bulk && busy == Busy::No);
  }
  ui_->actionGains->setEnabled(busy == Busy::No);
}

MainWindowController::~MainWindowController() = default;

void MainWindowController::windowDidLoad() {
  // Closing the window ends the program: closeEvent calls closeApplication.
  setAttribute(Qt::WA_QuitOnClose, true);
}

void MainWindowController::closeApplication() {
  QCoreApplication::quit();
}

KeyboardController* MainWindowController::keyboardDialog() const {
  return keyboardDialog_;
}

void MainWindowController::showKeyboardAction() {
  if (!keyboardDialog_) {
    keyboardDialog_ = new KeyboardController(worker_, keyboard_, settings_, this);
  } else {
    keyboardDialog_->refresh();
  }
  keyboardDialog_->show();
  keyboardDialog_->raise();
  keyboardDialog_->activateWindow();
}

void MainWindowController::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  viewController_->viewDidAppear();
  // A damaged settings file is told once, over the window, so that it is seen
  // before anything is sent to the built-in keyboard.
  if (warned_ || keyboard_.warning.empty()) return;
  warned_ = true;
  QTimer::singleShot(0, this, [this] {
    auto& dialogs = viewController_->dialogs;
    if (!dialogs.showProblem) return;
    dialogs.showProblem(this, QStringLiteral("The settings file is damaged"),
                        viewController_->settingsWarning +
                            QStringLiteral("\n\nTo choose another keyboard, mend or delete the "
                                           "file, then open Keyboard → Keyboard… in the menu."));
  });
}

void MainWindowController::closeEvent(QCloseEvent* event) {
  if (!viewController_->mayDropEdits(QStringLiteral("Closing the window"))) {
    event->ignore();
    return;
  }
  // An exchange under way stops; the worker's thread ends with the program.
  worker_.cancel();
  event->accept();
  closeApplication();
}

}  // namespace padkbd::editor
