#include "editor/MainWindowController.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QShowEvent>
#include <QTimer>

#include "editor/KeyboardController.h"
#include "editor/SelectorSurface.h"
#include "editor/ViewController.h"
#include "padkbd/BuildConfig.h"
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

MainWindowController::MainWindowController(PadAction& padAction, const ResolvedKeyboard& keyboard,
                                           SettingsFile settings, QWidget* parent)
    : QMainWindow(parent),
      ui_(std::make_unique<Ui::MainWindow>()),
      padAction_(padAction),
      keyboard_(keyboard),
      settings_(std::move(settings)) {
  initEditorResources();
  ui_->setupUi(this);
  setWindowTitle(QStringLiteral("padkbd %1").arg(QString::fromLatin1(config::kVersion)));
  setStyleSheet(QString::fromLatin1(kWindowStyle));
  buildSelectorSurface(ui_->selectorGrid);
  viewController_ = new ViewController(ui_->centralwidget, padAction, this);
  viewController_->settingsWarning = asSentence(keyboard_.warning);
  connect(ui_->actionKeyboard, &QAction::triggered, this,
          &MainWindowController::showKeyboardAction);
  windowDidLoad();
  viewController_->viewDidLoad();
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
    keyboardDialog_ = new KeyboardController(padAction_, keyboard_, settings_, this);
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
  event->accept();
  closeApplication();
}

}  // namespace padkbd::editor
