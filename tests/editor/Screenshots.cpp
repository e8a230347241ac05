// Takes screenshots of the editor window for people to look at (run under
// Xvfb by the `gui` test): the default preset and the simulated keyboard with
// a pad chosen, the second bank, bulk mode, the message window after a send,
// a dark theme, English and Chinese, the window while a paced keyboard is
// read and sent to, the Edit menu, the
// questions before edits are lost and before a send, the gains and the
// Keyboard dialog.
// Usage: editor_screenshots OUTPUT_FOLDER
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPalette>
#include <QPushButton>
#include <QScreen>
#include <QStyleFactory>
#include <QTest>
#include <QTextStream>
#include <QTimer>
#include <QTreeWidget>
#include <cstdio>
#include <functional>

#include "editor/GainController.h"
#include "editor/KeyboardController.h"
#include "editor/Language.h"
#include "editor/MessageController.h"
#include "tests/editor/EditorHarness.h"

namespace {

bool save(QWidget* widget, const QDir& folder, const QString& name) {
  widget->show();
  if (!QTest::qWaitForWindowExposed(widget)) {
    std::fprintf(stderr, "screenshots: %s was never shown\n", qPrintable(name));
    return false;
  }
  QTest::qWait(150);  // let the window settle (layouts, style sheets)
  const QString path = folder.filePath(name);
  if (!widget->grab().save(path)) {
    std::fprintf(stderr, "screenshots: cannot write %s\n", qPrintable(path));
    return false;
  }
  std::printf("screenshot %s\n", qPrintable(path));
  return true;
}

// What the screen shows over `area` (a menu opened from the window, say).
bool saveScreen(QWidget* window, const QRect& area, const QDir& folder, const QString& name) {
  const QString path = folder.filePath(name);
  const QPixmap shot =
      window->screen()->grabWindow(0, area.x(), area.y(), area.width(), area.height());
  if (shot.isNull() || !shot.save(path)) {
    std::fprintf(stderr, "screenshots: cannot write %s\n", qPrintable(path));
    return false;
  }
  std::printf("screenshot %s\n", qPrintable(path));
  return true;
}

// Grabs the modal dialog that `act` opens, then closes it with `answer`.
bool saveModal(const QDir& folder, const QString& name, const std::function<void()>& act,
               const std::function<void(QWidget*)>& answer) {
  bool saved = false;
  QTimer::singleShot(300, [&] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr) return;
    saved = save(modal, folder, name);
    answer(modal);
  });
  act();
  if (!saved) std::fprintf(stderr, "screenshots: %s never opened\n", qPrintable(name));
  return saved;
}

// What a dark desktop theme gives the window.
QPalette darkPalette() {
  QPalette dark;
  dark.setColor(QPalette::Window, QColor(45, 47, 52));
  dark.setColor(QPalette::WindowText, QColor(228, 230, 235));
  dark.setColor(QPalette::Base, QColor(33, 35, 39));
  dark.setColor(QPalette::AlternateBase, QColor(45, 47, 52));
  dark.setColor(QPalette::Text, QColor(228, 230, 235));
  dark.setColor(QPalette::Button, QColor(55, 58, 64));
  dark.setColor(QPalette::ButtonText, QColor(228, 230, 235));
  dark.setColor(QPalette::Mid, QColor(85, 88, 96));
  dark.setColor(QPalette::Highlight, QColor(61, 142, 201));
  dark.setColor(QPalette::HighlightedText, Qt::white);
  dark.setColor(QPalette::PlaceholderText, QColor(150, 154, 162));
  for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
    dark.setColor(QPalette::Disabled, role, QColor(120, 123, 130));
  }
  return dark;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  // One style for every screenshot, whatever the machine's default.
  QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  if (argc < 2) {
    std::fprintf(stderr, "usage: editor_screenshots OUTPUT_FOLDER\n");
    return 2;
  }
  QDir folder(QString::fromLocal8Bit(argv[1]));
  if (!folder.mkpath(QStringLiteral("."))) {
    std::fprintf(stderr, "screenshots: cannot create %s\n", argv[1]);
    return 1;
  }
  bool ok = true;

  {  // No keyboard: the default preset, Pad 14 chosen.
    padkbd::test::EditorHarness editor(
        [](padkbd::SimulatedController& sim) { sim.faults().absent = true; });
    QTest::mouseClick(editor.element(9 + 13), Qt::LeftButton);
    ok &= save(&editor.window(), folder, QStringLiteral("editor-default-preset.png"));
  }
  {  // A dark desktop theme, and the window in English and in Chinese.
    const QPalette light = QApplication::palette();
    QApplication::setPalette(darkPalette());
    {
      padkbd::test::EditorHarness editor;
      QTest::mouseClick(editor.element(9 + 5), Qt::LeftButton);
      ok &= save(&editor.window(), folder, QStringLiteral("editor-dark.png"));
    }
    QApplication::setPalette(light);
    for (const char* language : {"en", "zh_CN"}) {
      if (!padkbd::editor::useLanguage(QString::fromLatin1(language))) {
        std::fprintf(stderr, "screenshots: no %s translation\n", language);
        ok = false;
        continue;
      }
      padkbd::test::EditorHarness editor;
      QTest::mouseClick(editor.element(9 + 5), Qt::LeftButton);
      ok &= save(&editor.window(), folder, QStringLiteral("editor-%1.png").arg(language));
    }
    padkbd::editor::useLanguage(QString());
  }
  {  // A keyboard paced like a real one: the window during a read and a send.
    padkbd::test::EditorHarness editor(
        [](padkbd::SimulatedController& sim) { sim.faults().pace = std::chrono::milliseconds(1); },
        padkbd::test::EditorHarness::Start::AtOnce);
    editor.window().show();
    QTest::qWait(400);
    ok &= save(&editor.window(), folder, QStringLiteral("editor-reading.png"));
    ok &= editor.waitForKeyboard();
    editor.vc().sendToKeyboardAction();
    QTest::qWait(400);
    ok &= save(&editor.window(), folder, QStringLiteral("editor-sending.png"));
    ok &= editor.waitForKeyboard();
    if (auto* message = editor.vc().messageWindow()) message->close();
  }
  {  // The simulated keyboard: a pad chosen, then bulk mode, a send, the gains.
    padkbd::test::EditorHarness editor;
    auto& vc = editor.vc();
    QTest::mouseClick(editor.element(9 + 5), Qt::LeftButton);
    ok &= save(&editor.window(), folder, QStringLiteral("editor-simulate.png"));

    // The second bank: the top row stands for Pad 1 to 8.
    QTest::mouseClick(vc.bankSwitch, Qt::LeftButton);
    QTest::mouseClick(editor.element(3), Qt::LeftButton);
    ok &= save(&editor.window(), folder, QStringLiteral("editor-bank-2.png"));
    QTest::mouseClick(vc.bankSwitch, Qt::LeftButton);

    QTest::mouseClick(vc.BulkButton, Qt::LeftButton);
    for (int tag : {9, 10, 11, 12, 17, 18, 19, 20}) {
      QTest::mouseClick(editor.element(tag), Qt::LeftButton);
    }
    padkbd::test::activate(vc.mode, 1);
    ok &= save(&editor.window(), folder, QStringLiteral("editor-bulk-mode.png"));
    QTest::mouseClick(vc.BulkButton, Qt::LeftButton);

    QTest::mouseClick(vc.sendToKeyboardButton, Qt::LeftButton);
    editor.waitForKeyboard();
    if (auto* message = vc.messageWindow()) {
      ok &= save(message, folder, QStringLiteral("editor-message-after-send.png"));
      ok &= save(&editor.window(), folder, QStringLiteral("editor-after-send.png"));
      message->close();
    } else {
      std::fprintf(stderr, "screenshots: the send opened no message window\n");
      ok = false;
    }

    // The Edit menu after a colour edit, and the questions asked before edits
    // are lost and before a send, as the platform shows them.
    QTest::mouseClick(editor.element(9 + 5), Qt::LeftButton);
    padkbd::test::activate(vc.cr, 5);
    auto* edit = editor.window().findChild<QMenu*>(QStringLiteral("menuEdit"));
    editor.window().menuBar()->setActiveAction(edit->menuAction());
    QTest::qWait(300);
    ok &= saveScreen(
        &editor.window(),
        editor.window().frameGeometry().united(edit->geometry()).intersected(QRect(0, 0, 700, 400)),
        folder, QStringLiteral("editor-edit-menu.png"));
    edit->close();
    const padkbd::editor::DialogSeams platform = padkbd::editor::platformDialogs();
    vc.dialogs.askUnsaved = platform.askUnsaved;
    vc.dialogs.confirmSend = platform.confirmSend;
    ok &= saveModal(
        folder, QStringLiteral("editor-unsaved-question.png"), [&] { vc.loadAction(); },
        [](QWidget* box) { qobject_cast<QMessageBox*>(box)->reject(); });
    padkbd::test::activate(vc.channel, 3);
    ok &= saveModal(
        folder, QStringLiteral("editor-send-confirmation.png"),
        [&] {
          // The list of changes shown, as a user who asks for it sees it.
          QTimer::singleShot(100, [] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            for (QAbstractButton* button : box ? box->buttons() : QList<QAbstractButton*>()) {
              if (box->buttonRole(button) == QMessageBox::ActionRole) button->click();
            }
          });
          vc.sendToKeyboardAction();
        },
        [](QWidget* box) { qobject_cast<QMessageBox*>(box)->reject(); });

    QTest::mouseClick(vc.gainsButton, Qt::LeftButton);
    auto* gains = editor.window().findChild<padkbd::editor::GainController*>();
    if (gains != nullptr) {
      gains->sliders[2]->setValue(100);
      gains->sliders[5]->setValue(20);
      ok &= save(gains, folder, QStringLiteral("editor-gains.png"));
    } else {
      std::fprintf(stderr, "screenshots: no gain dialog\n");
      ok = false;
    }
    gains->close();

    // The Keyboard dialog: the simulated keyboard in use and a second device
    // this user may not open, picked to show its udev rule.
    editor.window().findChild<QAction*>(QStringLiteral("actionKeyboard"))->trigger();
    editor.waitForKeyboard();  // the first listing, before the one shown here
    auto* keyboard = editor.window().keyboardDialog();
    keyboard->listDevices = [&editor](const std::function<void(padkbd::MidiDeviceListing)>& done) {
      padkbd::MidiDeviceListing listing = editor.sim().listMidiDevices();
      padkbd::MidiDeviceInfo locked;
      locked.ids = {0x1209, 0x7a01};
      locked.product = "USB MIDI Interface";
      locked.manufacturer = "Example Audio";
      locked.bus = 3;
      locked.port = "3-2";
      locked.access = padkbd::UsbStatus::AccessDenied;
      listing.devices.push_back(locked);
      done(listing);
    };
    keyboard->listPorts = [](const std::function<void(padkbd::MidiPortListing)>& done) {
      done({padkbd::UsbStatus::Success,
            "",
            "ALSA",
            {{"Midi Through:Midi Through Port-0 14:0", true, true},
             {"Pad Keyboard:Pad Keyboard MIDI 1 24:0", true, true}}});
    };
    keyboard->refresh();
    keyboard->deviceList->setCurrentItem(keyboard->deviceList->topLevelItem(1));
    ok &= save(keyboard, folder, QStringLiteral("editor-keyboard.png"));
  }
  return ok ? 0 : 1;
}
