// Takes screenshots of the editor window for people to look at (run under
// Xvfb by the `gui` test): the default preset and the simulated keyboard with
// a pad chosen, the second bank, bulk mode, the message window after a send,
// the File menu, a dark theme, English and Chinese, the window (and the message window)
// while a paced keyboard is read and sent to, the questions before edits are
// lost and before a send, the gains, the Keyboard dialog, the Memory Slots
// and the History dialogs, and the Monitor pane while the keyboard is played.
//
// Usage: editor_screenshots OUTPUT_FOLDER [fit SCREEN_NAME]
// (fit: the first start on the screen it runs on, named by it and the scale)
#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyleFactory>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <cstdio>

#include "editor/GainController.h"
#include "editor/HistoryDialog.h"
#include "editor/KeyboardController.h"
#include "editor/Language.h"
#include "editor/LibraryPane.h"
#include "editor/MemorySlotsDialog.h"
#include "editor/PlayController.h"
#include "editor/SetView.h"
#include "tests/editor/EditorHarness.h"
#include "tools/Screenshots.h"

using padkbd::test::EditorHarness;

namespace screenshots {

QDir folder;
bool ok = true;

void save(QWidget* widget, const QString& name) {
  widget->show();
  const bool shown = QTest::qWaitForWindowExposed(widget);
  QTest::qWait(150);  // let the window settle (layouts, style sheets)
  const QString path = folder.filePath(name);
  const bool saved = shown && widget->grab().save(path);
  std::printf("%s %s\n", saved ? "screenshot" : "screenshots: cannot write", qPrintable(path));
  ok &= saved;
}

void saveModal(const QString& name, const std::function<void()>& act) {
  bool saved = false;
  QTimer::singleShot(300, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) return;
    save(box, name);
    saved = true;
    box->reject();
  });
  act();
  if (!saved) std::fprintf(stderr, "screenshots: %s never opened\n", qPrintable(name));
  ok &= saved;
}

}  // namespace screenshots

namespace {

using namespace screenshots;

// What a dark desktop theme gives the window.
QPalette darkPalette() {
  QPalette dark(QColor(55, 58, 64), QColor(45, 47, 52));  // button, window
  dark.setColor(QPalette::Base, QColor(33, 35, 39));
  dark.setColor(QPalette::Highlight, QColor(61, 142, 201));
  for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
    dark.setColor(QPalette::Active, role, QColor(228, 230, 235));
    dark.setColor(QPalette::Inactive, role, QColor(228, 230, 235));
    dark.setColor(QPalette::Disabled, role, QColor(120, 123, 130));
  }
  return dark;
}

// The simulated keyboard: a pad chosen, the second bank (the top row stands
// for Pad 1 to 8), bulk mode, a send, the questions, the gains, the Keyboard
// dialog, Memory Slots, Compare, History and the Monitor, each picture's
// name beginning with `prefix`.
void dialogsIn(const QString& prefix) {
  const auto name = [&prefix](const char* what) { return prefix + QString::fromLatin1(what); };
  EditorHarness editor;
  auto& vc = editor.vc();
  QTest::mouseClick(vc.bankSwitch, Qt::LeftButton);
  editor.click(3);
  save(&editor.window(), name("bank-2.png"));
  QTest::mouseClick(vc.bankSwitch, Qt::LeftButton);
  if (auto* file = editor.window().findChild<QMenu*>(QStringLiteral("menuFile"))) {
    file->popup(editor.window().mapToGlobal(QPoint(0, 0)));
    save(file, name("file-menu.png"));
    file->close();
  }
  QTest::mouseClick(vc.BulkButton, Qt::LeftButton);
  for (int tag : {9, 10, 11, 12, 17, 18, 19, 20}) editor.click(tag);
  editor.choose("mode", 1);
  save(&editor.window(), name("bulk-mode.png"));
  QTest::mouseClick(vc.BulkButton, Qt::LeftButton);
  ok &= editor.send() && vc.messageWindow() != nullptr;
  if (auto* message = vc.messageWindow()) {
    save(message, name("message-after-send.png"));
    message->close();
  }
  // Listening: what the keyboard plays is what was sent.
  editor.action("actionMonitor")->trigger();
  for (int index : {8, 13}) editor.sim().strike(index, 90);
  editor.sim().turn(1, 3);
  editor.sim().strike(57, 127);
  ok &= QTest::qWaitFor([&] { return editor.window().play().lines().size() >= 4; });
  QTest::qWait(400);
  save(&editor.window(), name("monitor-pane.png"));
  editor.action("actionMonitor")->trigger();

  // The questions asked before edits are lost and before a send, as the
  // platform shows them.
  editor.click(9 + 5);
  editor.choose("cr", 5);
  const padkbd::editor::DialogSeams platform = padkbd::editor::platformDialogs();
  vc.dialogs.askUnsaved = platform.askUnsaved;
  vc.dialogs.confirmSend = platform.confirmSend;
  saveModal(name("unsaved-question.png"), [&] { vc.documents().loadAction(); });
  vc.dialogs.showAbout = platform.showAbout;
  saveModal(name("about.png"), [&] { editor.action("actionAbout")->trigger(); });
  editor.choose("channel", 3);
  saveModal(name("send-confirmation.png"), [&] {
    // The list of changes shown, as a user who asks for it sees it.
    QTimer::singleShot(100, [] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      for (QAbstractButton* button : box ? box->buttons() : QList<QAbstractButton*>()) {
        if (box->buttonRole(button) == QMessageBox::ActionRole) button->click();
      }
    });
    vc.keyboard().sendAction();
    editor.waitForKeyboard();  // the slot is looked up in the history before the question
  });

  vc.keyboard().showGainsAction();
  auto* gains = editor.window().findChild<padkbd::editor::GainController*>();
  gains->sliders[2]->setValue(100);
  gains->sliders[5]->setValue(20);
  save(gains, name("gains.png"));
  gains->close();

  // The Keyboard dialog: the simulated keyboard in use and a second device
  // this user may not open, picked to show its udev rule.
  editor.action("actionKeyboard")->trigger();
  editor.waitForKeyboard();  // the first listing, before the one shown here
  auto* keyboard = editor.window().keyboardDialog();
  keyboard->listDevices = [&editor](const std::function<void(padkbd::MidiDeviceListing)>& done) {
    padkbd::MidiDeviceListing listing = editor.sim().listMidiDevices();
    listing.devices.push_back({{0x1209, 0x7a01},
                               "USB MIDI Interface",
                               "Example Audio",
                               3,
                               "3-2",
                               padkbd::LinkAccess::Denied,
                               "access denied"});
    done(listing);
  };
  keyboard->listPorts = [](const std::function<void(padkbd::MidiPortListing)>& done) {
    done({padkbd::Outcome::success(),
          "ALSA",
          {{"Midi Through:Midi Through Port-0 14:0", true, true},
           {"Pad Keyboard:Pad Keyboard MIDI 1 24:0", true, true}}});
  };
  keyboard->refresh();
  keyboard->deviceList->setCurrentItem(keyboard->deviceList->topLevelItem(1));
  save(keyboard, name("keyboard.png"));
  keyboard->close();

  // The history after a few sends: a document, the default preset, a send
  // stopped part-way; Memory Slots and History.
  vc.dialogs.confirmSend = [](QWidget*, const QString&, const QString&, bool&) { return true; };
  vc.dialogs.askUnsaved = [](QWidget*, const QString&) {
    return padkbd::editor::DialogSeams::Unsaved::Discard;
  };
  const auto sendTo = [&](int slot) {
    editor.choose("mem", slot - 1);
    ok &= editor.send();
    if (auto* message = vc.messageWindow()) message->close();
  };
  editor.answerFiles(editor.dir() / "Live set.padkbd");
  editor.choose("mem", 2);
  vc.documents().saveAction();
  sendTo(3);
  vc.documents().changeToDefaultAction();
  sendTo(5);
  editor.sim().resetCounters();
  editor.sim().changeFaults([](auto& faults) { faults.writeFailureAfter = 300; });
  sendTo(7);
  editor.sim().changeFaults([](auto& faults) { faults.writeFailureAfter.reset(); });
  ok &= padkbd::History(padkbd::History::defaultPath())
            .setNote(2, prefix.contains(QLatin1String("zh")) ? "音乐节之前" : "before the festival")
            .ok();
  editor.action("actionMemorySlots")->trigger();
  editor.waitForKeyboard();
  save(editor.window().memorySlotsDialog(), name("memory-slots.png"));
  editor.action("actionHistory")->trigger();
  editor.waitForKeyboard();
  auto* history = editor.window().historyDialog();
  history->entryList->setCurrentItem(history->entryList->topLevelItem(1));
  save(history, name("history.png"));
  // Compare a slot with the window's preset after an edit, as the platform shows it.
  editor.choose("cr", 9);
  vc.dialogs.showDifferences = padkbd::editor::platformDialogs().showDifferences;
  saveModal(name("compare.png"), [&] {
    QTimer::singleShot(100, [] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      for (QAbstractButton* button : box ? box->buttons() : QList<QAbstractButton*>()) {
        if (box->buttonRole(button) == QMessageBox::ActionRole) button->click();
      }
    });
    editor.window().memorySlotsDialog()->row(3).compare->click();
  });
  history->close();
  editor.window().memorySlotsDialog()->close();
}

// The window the program opens on a first start fits the screen, and
// grows no larger than it; what does not fit scrolls.
bool fitsTheScreen(const QString& screenName) {
  EditorHarness editor;
  using padkbd::editor::MainWindowController;
  MainWindowController window(editor.worker(), editor.files(), {}, padkbd::SettingsFile(), nullptr,
                              MainWindowController::Build::OnShow);
  window.show();
  if (!QTest::qWaitForWindowExposed(&window) ||
      !QTest::qWaitFor([&] { return window.findChild<QScrollArea*>() != nullptr; }) ||
      !editor.waitForKeyboard()) {
    return false;
  }
  window.viewController().viewWithTag(9 + 5)->click();
  QTest::qWait(300);
  QScreen* screen = window.screen();
  const QRect room = screen->availableGeometry();
  const QString name =
      QStringLiteral("fit-%1-%2").arg(screenName).arg(qRound(screen->devicePixelRatio() * 100));
  bool fits = room.contains(window.frameGeometry()) &&
              window.minimumSizeHint().width() <= room.width() &&
              window.minimumSizeHint().height() <= room.height();
  if (!fits) {
    std::fprintf(stderr, "screenshots: %s: the window is larger than the screen\n",
                 qPrintable(name));
  }
  const auto grab = [&](const QString& file) {
    const QString path = folder.filePath(file);
    const bool saved = screen->grabWindow(0).save(path);
    std::printf("%s %s\n", saved ? "screenshot" : "screenshots: cannot write", qPrintable(path));
    return saved;
  };
  fits &= grab(name + QStringLiteral(".png"));
  for (QScrollArea* scroll : window.findChildren<QScrollArea*>()) {  // to their ends
    for (QScrollBar* bar : {scroll->horizontalScrollBar(), scroll->verticalScrollBar()}) {
      bar->setValue(bar->maximum());
    }
  }
  QTest::qWait(150);
  return grab(name + QStringLiteral("-scrolled.png")) && fits;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  // One style for every screenshot, whatever the machine's default.
  QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  folder.setPath(argc < 2 ? QString() : QString::fromLocal8Bit(argv[1]));
  if (argc < 2 || !folder.mkpath(QStringLiteral("."))) {
    std::fprintf(stderr, "usage: editor_screenshots OUTPUT_FOLDER (a folder it can create)\n");
    return 2;
  }
  // The screen as the program's first start leaves it, at the screen's size
  // and scale (QT_SCALE_FACTOR), and scrolled to the end.
  if (argc > 2 && argv[2] == std::string("fit")) {
    padkbd::editor::useLanguage(QStringLiteral("en"));
    return fitsTheScreen(QString::fromLocal8Bit(argc > 3 ? argv[3] : "screen")) ? 0 : 1;
  }
  {  // No keyboard: the default preset, Pad 14 chosen.
    EditorHarness editor(EditorHarness::noKeyboard);
    editor.click(9 + 13);
    save(&editor.window(), QStringLiteral("editor-default-preset.png"));
  }
  // A dark desktop theme, and the window in English, in Chinese and under
  // the C locale (the texts as built).
  for (const char* look : {"dark", "en", "zh_CN", "source"}) {
    const QPalette light = QApplication::palette();
    const bool dark = look == std::string("dark");  // in English
    if (dark) QApplication::setPalette(darkPalette());
    if (!padkbd::editor::useLanguage(QString::fromLatin1(dark ? "en" : look))) {
      std::fprintf(stderr, "screenshots: no %s translation\n", look);
      ok = false;
    }
    EditorHarness editor;
    editor.click(9 + 5);
    save(&editor.window(), QStringLiteral("editor-%1.png").arg(QString::fromLatin1(look)));
    QApplication::setPalette(light);
  }
  padkbd::editor::useLanguage(QStringLiteral("source"));
  {  // Listening: the Monitor pane lists what was played; Pad 6 is held down.
    EditorHarness editor;
    editor.action("actionMonitor")->trigger();
    editor.window().show();
    for (int index : {8, 9, 12}) editor.sim().strike(index, 90);
    editor.sim().turn(7, 64);
    editor.sim().turn(1, 3);
    editor.sim().press(13, 112);
    ok &= QTest::qWaitFor([&] { return editor.window().play().lines().size() >= 9; });
    QTest::qWait(400);  // the strikes' moment is over; the held pad stays lit
    save(&editor.window(), QStringLiteral("editor-monitor.png"));
  }
  {  // A keyboard paced like a real one: the window during a read and a send.
    EditorHarness editor(
        [](padkbd::SimulatedController& sim) { sim.faults().pace = std::chrono::milliseconds(1); },
        EditorHarness::Start::AtOnce);
    editor.window().show();
    QTest::qWait(400);
    save(&editor.window(), QStringLiteral("editor-reading.png"));
    ok &= editor.waitForKeyboard();
    editor.vc().keyboard().sendAction();
    QTest::qWait(400);
    save(&editor.window(), QStringLiteral("editor-sending.png"));
    ok &= editor.waitForKeyboard();
    editor.vc().keyboard().sendAction();  // again, its message window half-way
    ok &= QTest::qWaitFor([&] {
      auto* message = editor.vc().messageWindow();
      return message && message->running() &&
             message->findChild<QLabel*>("messageProgressText")->text().contains(QLatin1Char('/'));
    });
    if (auto* message = editor.vc().messageWindow()) {
      save(message, QStringLiteral("editor-message-sending.png"));
    }
    ok &= editor.waitForKeyboard();
    if (auto* message = editor.vc().messageWindow()) message->close();
  }
  dialogsIn(QStringLiteral("editor-"));
  libraryIn(QStringLiteral("editor-"));
  // The same in Chinese, the Monitor pane included.
  padkbd::editor::useLanguage(QStringLiteral("zh_CN"));
  dialogsIn(QStringLiteral("editor-zh_CN-"));
  libraryIn(QStringLiteral("editor-zh_CN-"));
  padkbd::editor::useLanguage(QStringLiteral("source"));
  return ok ? 0 : 1;
}
