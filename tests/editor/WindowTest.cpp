// The editor window, part one: start-up, selection, editing, the window
// itself, unsaved edits, the Edit menu and the title.
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include "editor/KeyboardController.h"
#include "editor/SelectorSurface.h"
#include "tests/editor/EditorHarness.h"

using namespace padkbd;
using namespace padkbd::test;

namespace {

// The global settings' pop-ups, by outlet name, and the fields they show.
// clang-format off
const std::pair<const char*, std::int32_t PadValue::*> kGlobalMenus[] = {
    {"globalC", &PadValue::globalMIDIChannel}, {"globalO", &PadValue::globalOctaveTransposition},
    {"globalPVC", &PadValue::globalPadVelocityCurve},
    {"globalKA", &PadValue::globalKnobAccelerationCurve},
    {"globalVC", &PadValue::globalVelocityCurve}, {"mem", &PadValue::mem}};
// clang-format on

void writeSettings(const char* text) {
  const auto path = padkbd::SettingsFile::defaultPath();
  std::filesystem::create_directories(path.parent_path());
  writeAll(path, text);
}

}  // namespace

class WindowTest : public QObject {
  Q_OBJECT

 private slots:
  // While the keyboard is read, the window shows the default preset, says so
  // and how far the read has come, and edits nothing; then it shows the read.
  void startsWithController() {
    PadValue globals;
    globals.globalOctaveTransposition = 6;
    globals.globalMIDIChannel = 9;
    EditorHarness editor(
        [&](SimulatedController& sim) {
          sim.setFirmwareVersion(0x02, 0x1a);
          sim.setGlobalsInSlot(0, globals);
        },
        EditorHarness::Start::AtOnce);
    auto& vc = editor.vc();
    QCOMPARE(editor.status(), QStringLiteral("加载ing……"));
    for (const auto& [name, field] : kGlobalMenus)  // the default preset's
      QVERIFY2(
          editor.menu(name)->currentIndex() == editor.files().defaultPreset().global.get()->*field,
          name);
    // While it reads, nothing that edits, loads or sends can be used.
    for (QWidget* off : std::initializer_list<QWidget*>{
             editor.menu("globalC"), vc.DefaultButton, vc.LoadButton, vc.BulkButton,
             vc.sendToKeyboardButton, vc.gainsButton, editor.part("selectorGrid")})
      QVERIFY2(!off->isEnabled(), qPrintable(off->objectName()));
    QStringList seen;
    auto* bar = editor.part<QProgressBar>("progressBar");
    QObject::connect(&editor.worker(), &padkbd::editor::DeviceWorker::progress, &vc, [&] {
      seen << editor.progressText() +
                  QStringLiteral(" %1/%2").arg(bar->value()).arg(bar->maximum());
    });
    QVERIFY(editor.waitForKeyboard());
    QCOMPARE(seen.last(), QStringLiteral("Reading from the keyboard… %1/%1 %1/%1")
                              .arg(padkbd::PadAction::kFullExchange));
    // The progress panel gone, the read shown (channel 10, octave -2, firmware 02.1a), nothing
    // chosen yet.
    QVERIFY_SHOWN(editor, "read-at-start");
  }

  // How the start went is told in the status field, and why in its tooltip.
  void startupIsTold() {
    {
      EditorHarness editor(EditorHarness::noKeyboard);
      QVERIFY_SHOWN(editor, "no-keyboard-at-start");  // what failed, and what to do in its tip
    }
    {  // Settings outside their lists: counted, the first named as the window names them.
      EditorHarness editor([](SimulatedController& sim) {
        for (const auto& [pp, ww] : SimulatedController::addresses())
          if (pp == 0x07) sim.setRawValue(0, 0x01, ww, 0x0C);  // green: pads only
        sim.setRawValue(0, 0x41, 0x01, 0x07);
      });
      QVERIFY_SHOWN(editor, "read-outside-lists");  // 49, the first 12 named in the tip
      EditorHarness one([](SimulatedController& sim) { sim.setRawValue(0, 0x41, 0x01, 0x07); });
      QVERIFY_SHOWN(one, "read-one-outside");
    }
    // A damaged settings file: the built-in keyboard is used, a message says
    // so once, and the Keyboard dialog will not overwrite the file.
    EditorHarness editor(
        [](SimulatedController&) { writeSettings("[keyboard]\ndevice = \"12:34:56\"\n"); });
    const QString why = QString::fromStdString(SettingsFile::defaultPath().string()) +
                        ": keyboard.device is not \"VID:PID\" in hexadecimal";
    const QString damaged =
        QStringLiteral("The settings file is damaged (%1); using the built-in keyboard.").arg(why);
    QCOMPARE(editor.vc().message->toolTip(), damaged);
    editor.window().show();
    QTRY_COMPARE(editor.problems.size(), 1);
    editor.window().hide();
    editor.window().show();  // told once, not at each showing
    QTest::qWait(20);
    QCOMPARE(editor.problems,
             QStringList{damaged + "\n\nTo choose another keyboard, mend or delete the "
                                   "file, then open Keyboard → Keyboard… in the menu."});
    editor.window().showKeyboardAction();
    auto* dialog = editor.window().keyboardDialog();
    dialog->usbIdsEdit->setText(QStringLiteral("1209:7a01"));
    QVERIFY(!dialog->useKeyboardAction());
    const QString usb = QString::fromStdString(formatUsbIds(builtInKeyboard().usb));
    QCOMPARE(dialog->status(), "The choice was not stored, and the editor still uses " + usb +
                                   ": " + why +
                                   "; mend it, or forget it with \"padkbd use --reset\"");
  }

  // Black tags 9-64 are controls 8-63, white ones 1-8 follow the bank, the
  // bank switch takes the current control to its partner, an other tag t is
  // control t + 7; the lists and the values shown follow the control.
  void selectorsChooseTheControl() {
    EditorHarness editor;
    auto& vc = editor.vc();
    enum Act { Click, Bank, Other };
    // What is done, the tag it is done to, the current control after, the tags lit.
    const std::tuple<Act, int, int, QStringList> steps[] = {
        {Bank, 0, 8, {}},      {Bank, 0, 0, {}},      {Click, 9, 8, {"9"}}, {Click, 1, 0, {"1"}},
        {Bank, 0, 8, {"1"}},   {Click, 3, 10, {"3"}}, {Bank, 0, 2, {"3"}},  {Click, 21, 20, {"21"}},
        {Bank, 0, 20, {"21"}}, {Other, 1, 8, {}},     {Other, 56, 63, {}},  {Other, 57, 63, {}}};
    editor::SelectorGrid spare;  // its elements are not in the window
    editor::buildSelectorSurface(&spare);
    for (const auto& [act, tag, current, lit] : steps) {
      if (act == Click) editor.click(tag);
      if (act == Other) vc.otherButtonAction(editor::selectorWithTag(&spare, tag));
      if (act == Bank) QTest::mouseClick(vc.bankSwitch, Qt::LeftButton);
      const auto record = editor.record(current);
      const bool pad = padkbd::isPadControl(current);
      QCOMPARE(editor.menu("cr")->isEnabled(), pad);
      const auto& lists = vc.session().lists();
      QCOMPARE(itemsOf(editor.menu("mode")),
               toQStringList(lists.at(pad ? "selectPadMod" : "selectOtherMod")));
      QCOMPARE(editor.selectedTags(), lit);
      QCOMPARE(padkbd::editor::imageOf(vc.bankSwitch) == "selected", vc.session().secondBank());
      QCOMPARE(vc.controlName->text(), QString::fromStdString(lists.at("buttonName")[current]));
      QVERIFY(editor.menu("val")->currentIndex() == record->value &&
              editor.menu("CCnum")->currentIndex() == record->MIDInumb);
      QCOMPARE(editor.menu("cr")->currentIndex(), record->CR);  // -1: nothing shown
    }
    QCOMPARE(vc.session().secondBank(), true);
    QVERIFY_SHOWN(editor, "second-bank-chosen");
  }

  // Each menu changes its field of the current control or of the global
  // settings, and nothing before a control is chosen; a new mode refills the
  // option list and starts at its first option; nothing is sent.
  void editsReachTheCurrentPreset() {
    EditorHarness editor;
    const std::vector<ButtonValue> untouched = editor.snapshot();
    for (const char* menu : {"val", "channel", "CCnum", "min", "max", "cr", "mode"})
      emit editor.menu(menu)->activated(3);
    QVERIFY(editor.snapshot() == untouched);
    editor.click(21);  // control 20, a pad
    // clang-format off
    const std::tuple<const char*, std::int32_t ButtonValue::*, int> fields[] = {
        {"val", &ButtonValue::value, 101},     {"channel", &ButtonValue::channel, 16},
        {"CCnum", &ButtonValue::MIDInumb, 64}, {"min", &ButtonValue::min, 90},
        {"max", &ButtonValue::max, 10},  // below min: stored as chosen
        {"cr", &ButtonValue::CR, 5},           {"mode", &ButtonValue::mode, 2},
        {"modeOption", &ButtonValue::modeOption, 1}};
    // clang-format on
    ButtonValue expected = *editor.record(20);
    for (const auto& [menu, field, position] : fields) {
      editor.choose(menu, position);
      expected.*field = position;
      if (field == &ButtonValue::mode) expected.modeOption = 0;
      QCOMPARE(*editor.record(20), expected);
    }
    const QStringList relative{"Absolute", "Rleative #1", "Rleative #2", "Rleative #3"};
    for (auto [mode, options] : {std::pair{1, relative}, {0, QStringList()}}) {
      editor.choose("mode", mode);
      QVERIFY(itemsOf(editor.menu("modeOption")) == options && editor.record(20)->modeOption == 0);
      QCOMPARE(editor.menu("modeOption")->currentIndex(), options.isEmpty() ? -1 : 0);
    }
    editor.click(2);  // control 1, not a pad
    editor.choose("mode", 2);
    QCOMPARE(itemsOf(editor.menu("modeOption")), (QStringList{"NRPN", "RPN"}));

    PadValue global = *editor.vc().session().global();
    for (const auto& [name, field] : kGlobalMenus) {
      QComboBox* menu = editor.menu(name);
      activate(menu, (global.*field + 1) % menu->count());
      global.*field = menu->currentIndex();
      QCOMPARE((*editor.vc().session().global()).*field, global.*field);
    }
    QCOMPARE(editor.sim().writeCount(), 0);
    QVERIFY_SHOWN(editor, "edited-pad-and-globals");
  }

  // At twice the scale (which doubles every size) it fits a 1920x1080
  // screen with a taskbar. File → Quit closes it, which stores where it was
  // and quits; the next start puts it there, as large as the screen allows.
  void windowFitsAndRemembersItsPlace() {
    EditorHarness editor({}, EditorHarness::Start::Shown);
    auto& window = editor.window();
    const QSize least = window.minimumSizeHint();
    QVERIFY2(least.width() * 2 <= 1920 && least.height() * 2 <= 1080 - 80,
             qPrintable(QStringLiteral("%1x%2").arg(least.width()).arg(least.height())));
    window.resize(100, 100);
    QTRY_COMPARE(window.size(), least);
    QVERIFY_SHOWN(editor, "least-size");
    window.resize(1234, 701);
    QTimer::singleShot(0, &window, [&] { editor.action("actionQuit")->trigger(); });
    QTimer::singleShot(5000, [] { QCoreApplication::exit(7); });  // the close did not quit
    QCOMPARE(QCoreApplication::exec(), 0);
    const auto stored = SettingsFile().windowGeometry();
    QVERIFY(stored && (*stored)[2] == 1234 && (*stored)[3] == 701);
    const QSize room = window.screen()->availableGeometry().size() - QSize(16, 40);
    for (const QSize stored : {room - QSize(100, 50), room + QSize(450, 90)}) {
      EditorHarness again([stored](SimulatedController&) {
        writeSettings(qPrintable(QStringLiteral("[editor]\nwindow = [10, 20, %1, %2]\n")
                                     .arg(stored.width())
                                     .arg(stored.height())));
      });
      QCOMPARE(again.window().size(), stored.boundedTo(room));
    }
  }

  // Load, Default, a read and closing the window ask before edits are lost.
  void unsavedEditsAreAskedAbout() {
    EditorHarness editor;
    using Unsaved = padkbd::editor::DialogSeams::Unsaved;
    editor.unsavedAnswer = Unsaved::Cancel;
    editor.answerFiles(editor.dir() / "kept.padkbd");
    editor.vc().documents().changeToDefaultAction();  // nothing edited: nothing asked
    editor.click(30);
    editor.choose("val", 3);
    const auto edited = editor.snapshot();
    editor.vc().documents().loadAction();
    editor.vc().documents().changeToDefaultAction();
    editor.action("actionRead")->trigger();
    const QString drops = QStringLiteral(
        " would drop the changes made since the preset was last loaded, saved, read or sent.");
    QCOMPARE(editor.unsavedQuestions,
             (QStringList{"Loading a preset" + drops, "The default preset" + drops,
                          "Reading from the keyboard" + drops}));
    QVERIFY(editor.snapshot() == edited && !editor.worker().busy());
    editor.window().show();
    QVERIFY(!editor.window().close());     // cancelled
    editor.unsavedAnswer = Unsaved::Save;  // saved first, then closed
    QVERIFY(editor.window().close());
    QCOMPARE(padkbd::readPresetFile(editor.dir() / "kept.padkbd")->buttons[29]->value, 3);
  }

  // The Edit menu undoes and redoes, copies and pastes; the title says where
  // the preset shown comes from and marks unsaved changes.
  void editMenuAndTitle() {
    EditorHarness editor;
    auto& window = editor.window();
    const auto title = [&] { return window.windowTitle().chopped(12); };  // "[*] — padkbd"
    QCOMPARE(title(), QStringLiteral("from the keyboard (firmware 01.02)"));
    QVERIFY(!window.isWindowModified() && !editor.action("actionUndo")->isEnabled());
    editor.click(14);  // Pad 6
    const int red = editor.record(13)->CR;
    editor.choose("cr", 5);
    QVERIFY(window.isWindowModified());
    QCOMPARE(editor.action("actionUndo")->text(), QStringLiteral("&Undo Pad 6 red"));
    editor.action("actionUndo")->trigger();
    QVERIFY(editor.record(13)->CR == red && editor.menu("cr")->currentIndex() == red);
    QVERIFY(!window.isWindowModified() && editor.action("actionRedo")->isEnabled());
    editor.action("actionRedo")->trigger();
    QVERIFY(!editor.action("actionRedo")->isEnabled());
    editor.action("actionCopy")->trigger();
    editor.click(15);  // Pad 7
    editor.action("actionPaste")->trigger();
    QVERIFY(editor.record(14)->CR == 5 && editor.menu("cr")->currentIndex() == 5 &&
            editor.record(14)->buttonID == 14);
    editor.click(1);  // a knob takes no pad's settings
    QVERIFY(!editor.action("actionPaste")->isEnabled());
    QVERIFY_SHOWN(editor, "knob-after-paste");

    editor.answerFiles(editor.dir() / "live set.padkbd");
    editor.action("actionDefault")->trigger();
    QVERIFY(title() == QStringLiteral("default preset") && editor.status() == kReadSucceeded);
    editor.action("actionSave")->trigger();
    QCOMPARE(title(), QStringLiteral("live set.padkbd"));
    QVERIFY_SHOWN(editor, "saved-as-document");
    editor.choose("mem", 2);
    QVERIFY(editor.send());
    QVERIFY(title() == QStringLiteral("sent to memory slot 3") && !window.isWindowModified());
    QVERIFY(editor.read());
    QCOMPARE(title(), QStringLiteral("from the keyboard (firmware 01.02)"));
  }
};

QTEST_MAIN(WindowTest)
#include "WindowTest.moc"
