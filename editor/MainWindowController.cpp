#include "editor/MainWindowController.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QShowEvent>

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

MainWindowController::MainWindowController(PadAction& padAction, QWidget* parent)
    : QMainWindow(parent), ui_(std::make_unique<Ui::MainWindow>()) {
  initEditorResources();
  ui_->setupUi(this);
  setWindowTitle(QStringLiteral("padkbd %1").arg(QString::fromLatin1(config::kVersion)));
  setStyleSheet(QString::fromLatin1(kWindowStyle));
  buildSelectorSurface(ui_->selectorGrid);
  viewController_ = new ViewController(ui_->centralwidget, padAction, this);
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

void MainWindowController::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  viewController_->viewDidAppear();
}

void MainWindowController::closeEvent(QCloseEvent* event) {
  event->accept();
  closeApplication();
}

}  // namespace padkbd::editor
