// The editor window, part one: start-up, selection, editing, the window itself,
// unsaved edits, the Keyboard dialog, the platform's dialogs and the translations.
#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <fstream>

#include "editor/KeyboardController.h"
#include "editor/Language.h"
#include "editor/SelectorSurface.h"
#include "tests/editor/EditorHarness.h"

using padkbd::ButtonValue;
using padkbd::PadValue;
using padkbd::SimulatedController;
using namespace padkbd::test;
namespace fs = std::filesystem;

namespace {

padkbd::editor::KeyboardController* openKeyboard(EditorHarness& editor) {
  editor.action("actionKeyboard")->trigger();
  editor.waitForKeyboard();  // the bus is listed on the device worker
  return editor.window().keyboardDialog();
}

QList<QPair<QComboBox*, std::int32_t PadValue::*>> globalMenus(padkbd::editor::ViewController& vc) {
  return {{vc.globalC, &PadValue::globalMIDIChannel},
          {vc.globalO, &PadValue::globalOctaveTransposition},
          {vc.globalPVC, &PadValue::globalPadVelocityCurve},
          {vc.globalKA, &PadValue::globalKnobAccelerationCurve},
          {vc.globalVC, &PadValue::globalVelocityCurve},
          {vc.mem, &PadValue::mem}};
}

void checkGlobalMenus(EditorHarness& editor, const PadValue& expected) {
  for (const auto& [menu, field] : globalMenus(editor.vc()))
    QVERIFY2(menu->currentIndex() == expected.*field, qPrintable(menu->objectName()));
}

void writeSettings(const char* text) {
  const auto path = padkbd::SettingsFile::defaultPath();
  std::filesystem::create_directories(path.parent_path());
  std::ofstream(path) << text;
}

}  // namespace

class WindowTest : public QObject {
  Q_OBJECT

 private slots:
  // While the keyboard is read, the window shows the default preset, says so
  // and how far the read has come, and edits nothing; then it shows the read.
  void startsWithController() {
    PadValue globals;
    globals.globalMIDIChannel = 9;
    globals.globalOctaveTransposition = 6;
    EditorHarness editor(
        [&](SimulatedController& sim) {
          sim.setFirmwareVersion(0x02, 0x1a);
          sim.setGlobalsInSlot(0, globals);
        },
        EditorHarness::Start::AtOnce);
    auto& vc = editor.vc();
    QCOMPARE(editor.status(), QStringLiteral("加载ing……"));
    checkGlobalMenus(editor, *editor.files().defaultPreset().global);
    QVERIFY(!vc.globalC->isEnabled() && !vc.DefaultButton->isEnabled() &&
            !vc.sendToKeyboardButton->isEnabled());
    QVERIFY(!editor.window().findChild<QWidget*>(QStringLiteral("selectorGrid"))->isEnabled());
    QStringList seen;
    QObject::connect(&editor.worker(), &padkbd::editor::DeviceWorker::progress, &vc,
                     [&] { seen << editor.progressText(); });
    QVERIFY(editor.waitForKeyboard());
    QCOMPARE(seen.last(), QStringLiteral("Reading from the keyboard… 598/598"));
    QCOMPARE(editor.progressText(), QString());  // the panel is gone
    QVERIFY(vc.globalC->isEnabled() && vc.sendToKeyboardButton->isEnabled());
    QCOMPARE(editor.status(), kReadSucceeded);
    QCOMPARE(vc.firmware->text(), QStringLiteral("02.1a"));
    checkGlobalMenus(editor, globals);
    QVERIFY(editor.selectedTags().isEmpty() && !vc.session().current());
  }

  // How the start went is told in the status field, and why in its tooltip.
  void startupIsTold() {
    {
      EditorHarness editor(EditorHarness::noKeyboard);
      QCOMPARE(editor.status(), kConnectFailed);
      QCOMPARE(editor.vc().firmware->text(), QStringLiteral("未连接"));
      checkGlobalMenus(editor, *editor.files().defaultPreset().global);
    }
    {  // Settings outside their lists: counted, the first named as the window names them.
      EditorHarness editor([](SimulatedController& sim) {
        for (const auto& [pp, ww] : SimulatedController::addresses())
          if (pp == 0x07) sim.setRawValue(0, 0x01, ww, 0x0C);  // green: pads only
        sim.setRawValue(0, 0x41, 0x01, 0x07);
      });
      QVERIFY(editor.status().endsWith(
          QStringLiteral("! (49 settings from the keyboard were "
                         "outside their lists and set to the first entry)")));
      QStringList tip{QStringLiteral("Set to the first entry of their lists:")};
      for (int pad = 1; pad <= 12; ++pad) tip << QStringLiteral("Pad %1: mode byte 0c").arg(pad);
      QCOMPARE(editor.vc().message->toolTip(), (tip << QStringLiteral("and 37 more")).join('\n'));
    }
    // A damaged settings file: the built-in keyboard is used, a message says
    // so once, and the Keyboard dialog will not overwrite the file.
    EditorHarness editor(
        [](SimulatedController&) { writeSettings("[keyboard]\ndevice = \"12:34:56\"\n"); });
    const QString why =
        QStringLiteral("%1: keyboard.device is not \"VID:PID\" in hexadecimal")
            .arg(QString::fromStdString(padkbd::SettingsFile::defaultPath().string()));
    const QString damaged =
        QStringLiteral("The settings file is damaged (%1); using the built-in keyboard.").arg(why);
    QCOMPARE(editor.vc().message->toolTip(), damaged);
    editor.window().show();
    QTRY_COMPARE(editor.problems.size(), 1);
    QCOMPARE(editor.problems.first(),
             damaged +
                 "\n\nTo choose another keyboard, mend or delete the file, then open "
                 "Keyboard → Keyboard… in the menu.");
    editor.window().showKeyboardAction();
    auto* dialog = editor.window().keyboardDialog();
    dialog->usbIdsEdit->setText(QStringLiteral("1209:7a01"));
    QVERIFY(!dialog->useKeyboardAction());
    QCOMPARE(dialog->status(),
             QStringLiteral("The choice was not stored, and the editor still uses "
                            "%1: %2; mend it, or forget it with \"padkbd use "
                            "--reset\"")
                 .arg(QString::fromStdString(padkbd::formatUsbIds(padkbd::builtInKeyboard().usb)))
                 .arg(why));
    QVERIFY(editor.worker().keyboard() == padkbd::builtInKeyboard());
  }

  // Black tags 9-64 are controls 8-63, white ones 1-8 follow the bank, the
  // bank switch takes the current control to its partner, an other tag t is
  // control t + 7; the lists and the values shown follow the control.
  void selectorsChooseTheControl() {
    EditorHarness editor;
    auto& vc = editor.vc();
    enum Act { Click, Bank, Other };
    const struct {
      Act act;
      int tag, current;
      QStringList lit;
    } steps[] = {{Bank, 0, 8, {}},        {Bank, 0, 0, {}},     {Click, 9, 8, {"9"}},
                 {Click, 60, 59, {"60"}}, {Click, 1, 0, {"1"}}, {Bank, 0, 8, {"1"}},
                 {Click, 3, 10, {"3"}},   {Bank, 0, 2, {"3"}},  {Click, 21, 20, {"21"}},
                 {Bank, 0, 20, {"21"}},   {Other, 1, 8, {}},    {Other, 56, 63, {}},
                 {Other, 57, 63, {}}};
    for (const auto& step : steps) {
      QObject other;  // not in the window
      other.setProperty("tag", step.tag);
      if (step.act == Click) editor.click(step.tag);
      if (step.act == Other) vc.otherButtonAction(&other);
      if (step.act == Bank) QTest::mouseClick(vc.bankSwitch, Qt::LeftButton);
      const auto record = editor.record(step.current);
      const bool pad = padkbd::isPadControl(step.current);
      QVERIFY(vc.session().current() == record);
      QVERIFY(vc.session().padLists() == pad && vc.cr->isEnabled() == pad);
      QCOMPARE(itemsOf(vc.mode), toQStringList(pad ? vc.pu.padModeArray : vc.pu.otherModeArray));
      QCOMPARE(editor.selectedTags(), step.lit);
      QCOMPARE(padkbd::editor::imageOf(vc.bankSwitch) == QStringLiteral("selected"),
               vc.session().secondBank());
      QCOMPARE(vc.controlName->text(), QString::fromStdString(vc.pu.nameArray[step.current]));
      QVERIFY(vc.val->currentIndex() == record->value &&
              vc.CCnum->currentIndex() == record->MIDInumb);
      QCOMPARE(vc.cr->currentIndex(), record->CR);  // -1: nothing shown
    }
    QCOMPARE(vc.session().secondBank(), true);
    // A ring shows which one is chosen, as it is drawn.
    for (int tag : {1, 9}) {
      const QImage unchosen = editor.element(tag)->grab().toImage();
      editor.click(tag);
      QVERIFY(editor.element(tag)->grab().toImage() != unchosen);
    }
  }

  // Each menu changes its field of the current control or of the global
  // settings, and nothing before a control is chosen; a new mode refills the
  // option list and starts at its first option; nothing is sent.
  void editsReachTheCurrentPreset() {
    EditorHarness editor;
    auto& vc = editor.vc();
    const std::vector<ButtonValue> untouched = editor.snapshot();
    for (QComboBox* menu : {vc.val, vc.channel, vc.CCnum, vc.min, vc.max, vc.cr, vc.mode})
      emit menu->activated(3);
    QVERIFY(editor.snapshot() == untouched);
    editor.click(21);  // control 20, a pad
    // clang-format off
    const struct {
      QComboBox* menu;
      std::int32_t ButtonValue::*field;
      int position;
    } fields[] = {{vc.val, &ButtonValue::value, 101},     {vc.channel, &ButtonValue::channel, 16},
                  {vc.CCnum, &ButtonValue::MIDInumb, 64}, {vc.min, &ButtonValue::min, 90},
                  {vc.max, &ButtonValue::max, 10},  // below min: stored as chosen
                  {vc.cr, &ButtonValue::CR, 5},           {vc.cg, &ButtonValue::CG, 6},
                  {vc.cb, &ButtonValue::CB, 7},           {vc.mode, &ButtonValue::mode, 2},
                  {vc.modeOption, &ButtonValue::modeOption, 1}};
    // clang-format on
    ButtonValue expected = *editor.record(20);
    for (const auto& [menu, field, position] : fields) {
      activate(menu, position);
      expected.*field = position;
      if (menu == vc.mode) expected.modeOption = 0;
      QCOMPARE(*editor.record(20), expected);
    }
    const QStringList relative{"Absolute", "Rleative #1", "Rleative #2", "Rleative #3"};
    for (auto [mode, options] :
         {std::pair{1, relative}, {3, QStringList{"Toggle", "Gate"}}, {0, QStringList()}}) {
      activate(vc.mode, mode);
      QVERIFY(itemsOf(vc.modeOption) == options && editor.record(20)->modeOption == 0);
      QCOMPARE(vc.modeOption->currentIndex(), options.isEmpty() ? -1 : 0);
    }
    editor.click(2);  // control 1, not a pad
    activate(vc.mode, 2);
    QCOMPARE(itemsOf(vc.modeOption), (QStringList{"NRPN", "RPN"}));

    PadValue global = *vc.session().global();
    for (const auto& [menu, field] : globalMenus(vc)) {
      activate(menu, (global.*field + 1) % menu->count());
      global.*field = menu->currentIndex();
      QCOMPARE((*vc.session().global()).*field, global.*field);
    }
    QCOMPARE(editor.sim().writeCount(), 0);
  }

  // It fits a 1280x720 screen with a taskbar, cannot shrink below that, and
  // grows its pads when enlarged, none on top of another.
  void windowFitsAndGrows() {
    EditorHarness editor;
    auto& window = editor.window();
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QSize least = window.minimumSizeHint();
    QVERIFY(least.width() <= 1100 && least.height() <= 660);
    window.resize(400, 300);
    QTRY_COMPARE(window.size(), least);
    const int padAtLeast = editor.element(9)->width();
    window.resize(1600, 1000);
    QTRY_VERIFY(editor.element(9)->width() > padAtLeast + 20);
    const auto placed = [&](int tag) {
      return QRect(editor.element(tag)->mapTo(&window, QPoint(0, 0)), editor.element(tag)->size());
    };
    QVERIFY(window.rect().contains(placed(64)) && !placed(9).intersects(placed(10)) &&
            !placed(9).intersects(placed(17)));
    // The bank switch stands in the top row, as tall as the selectors beside it.
    const QRect bank(editor.vc().bankSwitch->mapTo(&window, QPoint(0, 0)),
                     editor.vc().bankSwitch->size());
    QVERIFY(bank.right() < placed(1).left() && bank.height() == placed(1).height());
  }

  // Load, Default, a read and closing the window ask before edits are lost.
  void unsavedEditsAreAskedAbout() {
    EditorHarness editor;
    auto& vc = editor.vc();
    using Unsaved = padkbd::editor::DialogSeams::Unsaved;
    QStringList asked;
    Unsaved answer = Unsaved::Cancel;
    vc.dialogs.askUnsaved = [&](QWidget*, const QString& text) {
      asked << text;
      return answer;
    };
    editor.answerFiles(editor.dir() / "kept.padkbd");
    vc.changeToDefaultAction();  // nothing edited: nothing asked
    editor.click(30);
    activate(vc.val, 3);
    const auto edited = editor.snapshot();
    vc.loadAction();
    vc.changeToDefaultAction();
    editor.action("actionRead")->trigger();
    QCOMPARE(asked.size(), 3);
    const QString drops = QStringLiteral(
        " would drop the changes made since the preset was last loaded, saved, read or sent.");
    QCOMPARE(asked, (QStringList{"Loading a preset" + drops, "The default preset" + drops,
                                 "Reading from the keyboard" + drops}));
    QVERIFY(editor.snapshot() == edited && !editor.worker().busy());
    editor.window().show();
    QVERIFY(!editor.window().close());  // cancelled
    answer = Unsaved::Save;             // saved first, then closed
    QVERIFY(editor.window().close());
    QCOMPARE(padkbd::readPresetFile(editor.dir() / "kept.padkbd").preset.buttons[29]->value, 3);
  }

  // The Keyboard dialog refuses malformed ids, stores a choice (with a MIDI
  // port or none) and makes the window look for that keyboard; a device this
  // user may not open shows its udev rule.
  void keyboardDialog() {
    EditorHarness editor;
    auto& worker = editor.worker();
    const padkbd::KeyboardId builtIn = padkbd::builtInKeyboard();
    const padkbd::SettingsFile settings;
    auto* dialog = openKeyboard(editor);
    auto use = [&](const QString& ids, const QString& bytes) {
      dialog->usbIdsEdit->setText(ids);
      dialog->manufacturerEdit->setText(bytes);
      dialog->useKeyboardAction();
      QVERIFY(editor.waitForKeyboard());
    };
    use(QStringLiteral("1209:7a01"), QStringLiteral("7d 80 01"));  // a byte above 7f
    QCOMPARE(dialog->status(), QStringLiteral("“7d 80 01” are not three manufacturer bytes: "
                                              "write six hexadecimal digits, each byte 00 to 7f."));
    QVERIFY(!fs::exists(settings.path()) && worker.keyboard() == builtIn && worker.present());
    use(QStringLiteral(" 1209:7A01 "), QStringLiteral("7d:00:01"));  // not plugged in
    const padkbd::KeyboardId other{{0x1209, 0x7a01}, {0x7d, 0x00, 0x01}};
    QCOMPARE(settings.read().keyboard, (padkbd::KeyboardSettings{other.usb, other.manufacturer}));
    QVERIFY(worker.keyboard() == other && !worker.present() &&
            editor.keyboardState() == kNoKeyboard);
    QVERIFY(editor.send() && editor.sim().writeCount() == 0);
    dialog->deviceList->setCurrentItem(nullptr);
    dialog->deviceList->setCurrentItem(dialog->deviceList->topLevelItem(0));  // the listed one
    dialog->listPorts = [](const std::function<void(padkbd::MidiPortListing)>& done) {
      done({padkbd::Outcome::success(), "JACK", {{"kbd:MIDI 1", true, true}}});
    };
    dialog->refresh();
    dialog->portList->setCurrentItem(dialog->portList->topLevelItem(0));
    use(dialog->usbIdsEdit->text(),
        QString::fromStdString(padkbd::formatManufacturerId(builtIn.manufacturer)));
    QVERIFY(worker.present() && editor.keyboardState() == kConnected);
    QCOMPARE(settings.read().keyboard.port, std::optional<std::string>("kbd:MIDI 1"));
    QCOMPARE(worker.keyboard().port, std::string("kbd:MIDI 1"));
    dialog->portEdit->clear();  // raw USB again
    use(dialog->usbIdsEdit->text(), dialog->manufacturerEdit->text());
    QVERIFY(!settings.read().keyboard.port && worker.keyboard() == builtIn);

    EditorHarness locked([](auto& sim) { sim.faults().refuseAccess = true; });
    dialog = openKeyboard(locked);
    const QString rule = QString::fromStdString(padkbd::udevRule(builtIn.usb));
    QVERIFY(dialog->udevCommands->isVisibleTo(dialog) && dialog->udevCommands->isReadOnly());
    QVERIFY(dialog->udevCommands->toPlainText().startsWith(
        QStringLiteral("echo '%1' | sudo tee /etc/udev/").arg(rule)));
    const auto list = [&](const padkbd::MidiDeviceListing& listing) {
      dialog->listDevices = [listing](const auto& done) { done(listing); };
      dialog->refresh();
    };
    using padkbd::LinkAccess;
    // The keyboard in use is gone: the device that needs a rule is the one shown.
    list({padkbd::Outcome::success(),
          {{{0x1209, 0x7a01}, "A", "", 1, "2", LinkAccess::Granted, ""},
           {{0x1209, 0x7a02}, "B", "", 1, "3", LinkAccess::Denied, "access denied"}}});
    QCOMPARE(dialog->deviceList->currentItem(), dialog->deviceList->topLevelItem(1));
    QVERIFY(dialog->udevCommands->isVisibleTo(dialog));
    list({padkbd::Outcome::failure("no USB here"), {}});  // a bus that cannot be listed says why
    QCOMPARE(dialog->deviceNote->text(),
             QStringLiteral("The USB devices cannot be listed: no USB here."));
    QVERIFY(!dialog->udevCommands->isVisibleTo(dialog));
  }

  // The platform's dialogs: the save dialog opens in the folder remembered
  // and saves; the open dialog opens where that was.
  void platformDialogsAsTheUserSeesThem() {
    EditorHarness editor;
    auto& vc = editor.vc();
    vc.dialogs = padkbd::editor::platformDialogs();
    const fs::path remembered = editor.dir() / "sets";
    fs::create_directories(remembered);
    QVERIFY(padkbd::SettingsFile().storeLastFolder(remembered.string()));
    const QString folder = QString::fromStdString(editor.dir().path().string());
    // Answers the dialog that `act` opens; what it showed is checked after.
    const auto answer = [&](const std::function<void()>& act) {
      QStringList seen;
      QTimer::singleShot(0, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        if (dialog == nullptr) return;
        seen << dialog->directory().absolutePath() << dialog->defaultSuffix();
        dialog->setDirectory(folder);
        dialog->selectFile(QStringLiteral("Untitle.padkbd"));
        // Save is answered; Open is cancelled, its folder is all that is looked at.
        QDialog* asked = dialog;  // QFileDialog hides accept()
        dialog->acceptMode() == QFileDialog::AcceptSave ? asked->accept() : asked->reject();
      });
      act();
      return seen;
    };
    const QStringList saved = answer([&] { vc.saveAction(); });
    QCOMPARE(saved, (QStringList{QString::fromStdString(remembered.string()), "padkbd"}));
    QVERIFY(fs::exists(editor.dir() / "Untitle.padkbd"));
    QCOMPARE(answer([&] { vc.loadAction(); }).value(0), folder);
  }

  // The platform's questions: each button, and Esc, gives its answer; "Don't
  // ask again" comes back as it was left.
  void platformQuestionsTakeEveryAnswer() {
    const auto dialogs = padkbd::editor::platformDialogs();
    using Unsaved = padkbd::editor::DialogSeams::Unsaved;
    constexpr int kEsc = -1, kAccept = QMessageBox::AcceptRole, kReject = QMessageBox::RejectRole;
    // Answers the next question with the button of `role`, its box ticked or not.
    const auto answer = [](int role, bool tick = false) {
      QTimer::singleShot(0, [=] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) return;
        if (box->checkBox() != nullptr) box->checkBox()->setChecked(tick);
        for (QAbstractButton* button : box->buttons())
          if (box->buttonRole(button) == role) return button->click();
        QTest::keyClick(box, Qt::Key_Escape);
      });
    };
    for (const auto& [role, expected] : {std::pair{kAccept, Unsaved::Save},
                                         {int(QMessageBox::DestructiveRole), Unsaved::Discard},
                                         {kReject, Unsaved::Cancel},
                                         {kEsc, Unsaved::Cancel}}) {
      answer(role);
      QCOMPARE(dialogs.askUnsaved(nullptr, QStringLiteral("Loading drops them.")), expected);
    }
    for (const auto& [role, tick] :
         {std::pair{kAccept, true}, {kAccept, false}, {kReject, true}, {kEsc, false}}) {
      answer(role, tick);
      bool again = !tick;
      QCOMPARE(dialogs.confirmSend(nullptr, QStringLiteral("2 settings"), "a\nb", again),
               role == kAccept);
      QCOMPARE(again, tick);
    }
    for (const int role : {kAccept, kReject, kEsc}) {
      answer(role);
      QCOMPARE(dialogs.askReadArrived(nullptr), role == kAccept);
    }
  }

  // The shipped translations reach the window and the Keyboard dialog (whose
  // source texts are English).
  void translationsReachEveryWindow() {
    QVERIFY(!padkbd::editor::useLanguage(QStringLiteral("xx")));
    QVERIFY(padkbd::editor::useLanguage(QStringLiteral("en")));
    EditorHarness editor;
    QCOMPARE(editor.status(), QStringLiteral("Settings read from the keyboard."));
    QVERIFY(editor.send());
    QCOMPARE(editor.vc().messageWindow()->text(), QStringLiteral("Sent to the keyboard."));
    QVERIFY(padkbd::editor::useLanguage(QStringLiteral("zh_CN")));
    QCOMPARE(openKeyboard(editor)->windowTitle(), QStringLiteral("键盘"));
    QVERIFY(padkbd::editor::useLanguage(QString()));
  }

  // File → Quit closes the window, which stores where it was and quits; the
  // next start puts it there.
  void windowRemembersItsPlaceAndQuits() {
    {
      EditorHarness editor;
      editor.window().resize(1234, 701);
      editor.window().show();
      QTimer::singleShot(0, &editor.window(), [&] { editor.action("actionQuit")->trigger(); });
      QTimer::singleShot(5000, [] { QCoreApplication::exit(7); });  // the close did not quit
      QCOMPARE(QCoreApplication::exec(), 0);
      const auto stored = padkbd::SettingsFile().windowGeometry();
      QVERIFY(stored && (*stored)[2] == 1234 && (*stored)[3] == 701);
    }
    EditorHarness editor(
        [](SimulatedController&) { writeSettings("[editor]\nwindow = [10, 20, 1250, 690]\n"); });
    QCOMPARE(editor.window().size(), QSize(1250, 690));
  }
};

QTEST_MAIN(WindowTest)
#include "WindowTest.moc"
