#include "editor/MainWindowController.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QShowEvent>
#include <QTimer>

#include "editor/About.h"
#include "editor/DeviceWorker.h"
#include "editor/DocumentActions.h"
#include "editor/HistoryDialog.h"
#include "editor/KeyboardActions.h"
#include "editor/KeyboardController.h"
#include "editor/LibraryPane.h"
#include "editor/MemorySlotsDialog.h"
#include "editor/PlayController.h"
#include "editor/SelectorSurface.h"
#include "editor/SetView.h"
#include "editor/ViewController.h"
#include "editor/Words.h"
#include "model/Log.h"
#include "padkbd/BuildConfig.h"
#include "session/EditSession.h"
#include "ui_Main.h"

namespace padkbd::editor {

namespace {

// The surface is the keyboard's dark body in any theme; everything else
// takes its colours from the palette, so light and dark themes both fit.
const char* const kWindowStyle = R"(
#surface {
  background-color: #24272d;
  border-radius: 14px;
}
#surface QToolButton {
  color: #d6dae0;
  border: none;
  border-radius: 6px;
  padding: 2px 4px;
}
#surface QToolButton:hover { background-color: rgba(255, 255, 255, 24); }
#firmware, #controlName { background: palette(window); }
#message {
  border: none;
  border-top: 1px solid palette(mid);
  background: transparent;
  padding-top: 4px;
}
#sendToKeyboardButton { font-weight: 600; padding: 5px 22px; }
)";

// The size of a window never closed before: what its contents want at the
// usual font size, as far as the screen has room.
constexpr QSize kFirstSize(1180, 720);
// What a window manager's frame and title bar take around the window.
constexpr QSize kFrame(16, 40);

QSize roomOn(const QScreen* screen) {
  return screen ? screen->availableGeometry().size() - kFrame : kFirstSize;
}

// The buttons and the status line stay in sight under what scrolls, as tall
// as they are; a window too narrow for them scrolls them sideways, with room
// for the scroll bar only then.
class BarHeight : public QObject {
 public:
  explicit BarHeight(QScrollArea* bar) : QObject(bar), bar_(bar) {
    bar->installEventFilter(this);
    bar->widget()->installEventFilter(this);
    fit();
  }
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Resize || event->type() == QEvent::LayoutRequest) fit();
    return false;
  }

 private:
  void fit() {
    const QSize wants = bar_->widget()->minimumSizeHint();
    const int scrollBar = bar_->horizontalScrollBar()->sizeHint().height();
    bar_->setFixedHeight(wants.height() + (wants.width() > bar_->width() ? scrollBar : 0));
  }
  QScrollArea* bar_;
};

}  // namespace

MainWindowController::MainWindowController(DeviceWorker& worker, FileAction& files,
                                           const ResolvedKeyboard& keyboard, SettingsFile settings,
                                           QWidget* parent, Build build)
    : QMainWindow(parent),
      ui_(std::make_unique<Ui::MainWindow>()),
      worker_(worker),
      keyboard_(keyboard),
      settings_(std::move(settings)),
      files_(files) {
  if (build == Build::Now) {
    this->build();
    return;
  }
  // The frame alone: the size the contents will want, where it was last.
  setWindowTitle(QStringLiteral("padkbd"));
  restoreWindowGeometry();
}

void MainWindowController::build() {
  if (built_) return;
  built_ = true;
  // A frame shown before its contents keeps the size and place it has.
  const bool framed = testAttribute(Qt::WA_Resized);
  const QSize frame = size();
  ui_->setupUi(this);
  new BarHeight(ui_->barScroll);
  setStyleSheet(QString::fromLatin1(kWindowStyle));
  buildSelectorSurface(ui_->selectorGrid);
  viewController_ = new ViewController(ui_->centralwidget, worker_, files_, settings_, this);
  viewController_->settingsWarning = keyboard_.damage ? sentence(*keyboard_.damage) : QString();
  play_ = new PlayController(this, *viewController_, worker_, ui_->actionMonitor,
                             ui_->actionChooseByPlaying);
  ui_->chooseByPlayingButton->setDefaultAction(ui_->actionChooseByPlaying);
  saveToLibrary_ = new QAction(tr("Save to &Library…"), this);
  saveToLibrary_->setObjectName(QStringLiteral("actionSaveToLibrary"));
  ui_->menuFile->insertAction(ui_->actionDefault, saveToLibrary_);
  windowDidLoad();
  connectMenus();
  viewController_->viewDidLoad();
  showEditState();
  if (framed) {
    resize(frame);
  } else {
    restoreWindowGeometry();
  }
}

// Where the window was last, as long as some screen still shows that place,
// else the first size; never larger than the screen it opens on, whose room
// the contents scroll in.
void MainWindowController::restoreWindowGeometry() {
  const std::optional<std::array<int, 4>> stored = settings_.windowGeometry();
  if (!stored) {
    resize(kFirstSize.boundedTo(roomOn(screen())));
    return;
  }
  const auto [x, y, width, height] = *stored;
  for (const QScreen* place : QGuiApplication::screens()) {
    if (place->availableGeometry().intersects(QRect(x, y, width, height))) {
      resize(QSize(width, height).boundedTo(roomOn(place)));
      move(x, y);
      return;
    }
  }
  resize(QSize(width, height).boundedTo(roomOn(screen())));
}

void MainWindowController::connectMenus() {
  ViewController* vc = viewController_;
  DocumentActions* documents = &vc->documents();
  KeyboardActions* keyboard = &vc->keyboard();
  connect(ui_->actionLoad, &QAction::triggered, documents, &DocumentActions::loadAction);
  connect(ui_->actionSave, &QAction::triggered, documents, &DocumentActions::saveAction);
  connect(saveToLibrary_, &QAction::triggered, this, [this] { library().saveToLibraryAction(); });
  connect(ui_->actionExportNames, &QAction::triggered, documents,
          &DocumentActions::exportNamesAction);
  connect(ui_->actionDefault, &QAction::triggered, documents,
          &DocumentActions::changeToDefaultAction);
  connect(ui_->actionRead, &QAction::triggered, keyboard, &KeyboardActions::readAction);
  connect(ui_->actionSend, &QAction::triggered, keyboard, &KeyboardActions::sendAction);
  connect(ui_->actionGains, &QAction::triggered, keyboard, &KeyboardActions::showGainsAction);
  const std::pair<QAction*, void (ViewController::*)()> actions[] = {
      {ui_->actionUndo, &ViewController::undoAction},
      {ui_->actionRedo, &ViewController::redoAction},
      {ui_->actionCopy, &ViewController::copyAction},
      {ui_->actionPaste, &ViewController::pasteAction},
  };
  for (const auto& [action, slot] : actions) connect(action, &QAction::triggered, vc, slot);
  connect(ui_->actionQuit, &QAction::triggered, this, &QWidget::close);
  connect(ui_->actionKeyboard, &QAction::triggered, this,
          &MainWindowController::showKeyboardAction);
  connect(ui_->actionMemorySlots, &QAction::triggered, this,
          &MainWindowController::showMemorySlotsAction);
  connect(ui_->actionHistory, &QAction::triggered, this, &MainWindowController::showHistoryAction);
  connect(vc, &ViewController::editStateChanged, this, &MainWindowController::showEditState);
  connect(ui_->actionAbout, &QAction::triggered, this, &MainWindowController::showAboutAction);
  connect(ui_->actionOpenLogFolder, &QAction::triggered, this,
          &MainWindowController::openLogFolderAction);
  // The log took the stored choice when it started (EditorLog).
  ui_->menuHelp->setToolTipsVisible(true);
  ui_->actionDetailedLog->setChecked(settings_.detailedLog());
  connect(ui_->actionDetailedLog, &QAction::toggled, this,
          &MainWindowController::detailedLogAction);
}

void MainWindowController::detailedLogAction(bool detailed) {
  log::setDetailed(detailed);
  log::diag("detailed log %s", detailed ? "on" : "off");
  if (Outcome stored = settings_.storeDetailedLog(detailed); !stored) {
    log::diag("detailed log: %s", stored.message());
  }
}

void MainWindowController::showAboutAction() {
  auto& dialogs = viewController_->dialogs;
  if (dialogs.showAbout) dialogs.showAbout(this, tr("About padkbd"), aboutText());
}

// The folder is made first: before anything was logged it may not be there.
void MainWindowController::openLogFolderAction() {
  auto& dialogs = viewController_->dialogs;
  const QString folder = logFolder();
  QDir().mkpath(folder);
  if (dialogs.openFolder && dialogs.openFolder(folder)) return;
  if (dialogs.showProblem) {
    dialogs.showProblem(this, tr("The log folder cannot be shown"),
                        tr("No file manager opened the folder. The log is in %1.").arg(folder));
  }
}

void MainWindowController::showEditState() {
  if (!viewController_->hasSession()) return;
  const EditSession& session = viewController_->session();
  using Busy = ViewController::DeviceBusy;
  const Busy busy = viewController_->deviceBusy();
  const bool reading = busy == Busy::Reading;
  setWindowTitle(tr("%1[*] — padkbd").arg(originText(session.origin())));
  setWindowModified(session.modified());
  const bool bulk = session.inBulk();
  ui_->actionUndo->setEnabled(session.canUndo() && !reading);
  ui_->actionUndo->setText(session.canUndo() ? tr("&Undo %1").arg(words(session.undoLabel()))
                                             : tr("&Undo"));
  ui_->actionRedo->setEnabled(session.canRedo() && !reading);
  ui_->actionRedo->setText(session.canRedo() ? tr("&Redo %1").arg(words(session.redoLabel()))
                                             : tr("&Redo"));
  ui_->actionCopy->setEnabled(session.current() && !bulk);
  ui_->actionPaste->setEnabled(session.canPaste() && !reading);
  // What bulk mode and the device worker disable in the window, they disable
  // in the menus.
  for (QAction* action : {ui_->actionLoad, ui_->actionDefault}) {
    action->setEnabled(!bulk && !reading);
  }
  for (QAction* action : {ui_->actionSave, ui_->actionExportNames, saveToLibrary_}) {
    action->setEnabled(!bulk);
  }
  for (QAction* action : {ui_->actionRead, ui_->actionSend}) {
    action->setEnabled(!bulk && busy == Busy::No);
  }
  ui_->actionGains->setEnabled(busy == Busy::No);
}

// What the title says the preset shown is: "from the keyboard (firmware 01.02)".
QString MainWindowController::originText(const Origin& origin) {
  switch (origin.kind) {
    case Origin::Kind::Keyboard:
      return tr("from the keyboard (firmware %1)").arg(QString::fromStdString(origin.detail));
    case Origin::Kind::Sent:
      return tr("sent to memory slot %1").arg(QString::fromStdString(origin.detail));
    case Origin::Kind::Document:
      return QString::fromStdString(origin.detail);
    case Origin::Kind::History:
      return tr("history entry %1").arg(QString::fromStdString(origin.detail));
    case Origin::Kind::Default:
      break;
  }
  return tr("default preset");
}

MainWindowController::~MainWindowController() = default;

LibraryPane& MainWindowController::library() {
  // Made once the window is up, off the path to its first frame.
  if (!library_) {
    library_ = new LibraryPane(this, *viewController_, settings_);
    setView_ = new SetView(this, *viewController_, worker_, *library_);
    ui_->menuView->addAction(library_->toggleAction());
    ui_->menuView->addAction(setView_->toggleAction());
  }
  return *library_;
}

SetView& MainWindowController::setView() {
  library();
  return *setView_;
}

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

namespace {

// Shown and brought to the front; each showing asks the history anew.
void bringUp(QDialog* dialog) {
  if (dialog->isVisible()) dialog->hide();
  dialog->show();
  dialog->raise();
  dialog->activateWindow();
}

}  // namespace

MemorySlotsDialog* MainWindowController::memorySlotsDialog() const {
  return memorySlotsDialog_;
}

HistoryDialog* MainWindowController::historyDialog() const {
  return historyDialog_;
}

void MainWindowController::showMemorySlotsAction() {
  if (!memorySlotsDialog_) {
    memorySlotsDialog_ = new MemorySlotsDialog(*viewController_, worker_, this);
    memorySlotsDialog_->setLibrary(&library());
  }
  bringUp(memorySlotsDialog_);
}

void MainWindowController::showHistoryAction() {
  if (!historyDialog_) {
    historyDialog_ = new HistoryDialog(*viewController_, worker_, this);
    historyDialog_->setLibrary(&library());
  }
  bringUp(historyDialog_);
}

void MainWindowController::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (built_) {
    appeared();
    return;
  }
  // Posted: the frame reaches the screen first, the contents follow on the
  // event loop's first turn.
  QTimer::singleShot(0, this, [this] {
    build();
    appeared();
  });
}

void MainWindowController::appeared() {
  viewController_->viewDidAppear();
  // The library is looked at once the window is up, off the GUI thread.
  if (!library_) {
    QTimer::singleShot(0, this, [this] { library().look(); });
  }
  // A damaged settings file is told once, over the window, so that it is seen
  // before anything is sent to the built-in keyboard.
  if (warned_ || !keyboard_.damage) return;
  warned_ = true;
  QTimer::singleShot(0, this, [this] {
    auto& dialogs = viewController_->dialogs;
    if (!dialogs.showProblem) return;
    dialogs.showProblem(
        this, tr("The settings file is damaged"),
        viewController_->settingsWarning + tr("\n\nTo choose another keyboard, mend or delete the "
                                              "file, then open Keyboard → Keyboard… in the menu."));
  });
}

void MainWindowController::closeEvent(QCloseEvent* event) {
  if (built_ && !viewController_->documents().mayDropEdits(tr("Closing the window"))) {
    event->ignore();
    return;
  }
  // An exchange under way stops; the worker's thread ends with the program.
  worker_.cancel();
  if (Outcome stored = settings_.storeWindowGeometry({x(), y(), width(), height()}); !stored) {
    log::diag("window: %s", stored.message());
  }
  event->accept();
  closeApplication();
}

}  // namespace padkbd::editor
