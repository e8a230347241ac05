// The editor window, part one: start-up, choice lists, selection and editing.
#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>

#include "editor/KeyboardController.h"
#include "editor/SelectorSurface.h"
#include "model/Log.h"
#include "tests/editor/EditorHarness.h"

using padkbd::ButtonValue;
using padkbd::PadValue;
using padkbd::SimulatedController;
using padkbd::test::activate;
using padkbd::test::EditorHarness;
using padkbd::test::itemsOf;
using padkbd::test::toQStringList;

namespace {

// A tagged object that is not in the window, for otherButtonAction (the
// layout has no other buttons: no tag is left for them).
struct OtherButton : QObject {
  explicit OtherButton(int tag) { setProperty("tag", tag); }
};

void checkGlobalMenus(EditorHarness& editor, const PadValue& expected) {
  auto& vc = editor.vc();
  QCOMPARE(vc.globalC->currentIndex(), expected.globalMIDIChannel);
  QCOMPARE(vc.globalO->currentIndex(), expected.globalOctaveTransposition);
  QCOMPARE(vc.globalPVC->currentIndex(), expected.globalPadVelocityCurve);
  QCOMPARE(vc.globalKA->currentIndex(), expected.globalKnobAccelerationCurve);
  QCOMPARE(vc.globalVC->currentIndex(), expected.globalVelocityCurve);
  QCOMPARE(vc.mem->currentIndex(), expected.mem);
}

void checkStartState(EditorHarness& editor) {
  auto& vc = editor.vc();
  // Tags 1 to 64 each on exactly one element, none above; all unselected.
  const auto elements = vc.taggedElements();
  QCOMPARE(elements.size(), std::size_t{64});
  for (int tag = 1; tag <= 64; ++tag) {
    int carriers = 0;
    for (QAbstractButton* element : vc.view()->findChildren<QAbstractButton*>()) {
      if (element->property("tag").toInt() == tag) ++carriers;
    }
    QCOMPARE(carriers, 1);
  }
  QVERIFY(editor.selectedTags().isEmpty());
  QCOMPARE(padkbd::editor::imageOf(vc.bankSwitch), QStringLiteral("unselected"));
  QVERIFY(vc.firmware->isReadOnly());
  QVERIFY(vc.controlName->isReadOnly());
  QVERIFY(!vc.session().current());
  QVERIFY(!vc.session().padLists());
  QVERIFY(!vc.session().secondBank());
  QVERIFY(!vc.session().inBulk());
  QCOMPARE(itemsOf(vc.mode), toQStringList(vc.pu.padModeArray));
  QCOMPARE(vc.modeOption->count(), 0);
  QCOMPARE(vc.val->currentIndex(), -1);  // no record shown yet
  QVERIFY(vc.session().global() != nullptr);
}

}  // namespace

class WindowTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    // The transport's lines would drown the test output.
    padkbd::log::setSink([](padkbd::log::Channel, std::string_view) {});
  }

  void startsWithController() {
    PadValue globals;
    globals.globalMIDIChannel = 9;
    globals.globalOctaveTransposition = 6;
    globals.globalPadVelocityCurve = 2;
    globals.globalKnobAccelerationCurve = 1;
    globals.globalVelocityCurve = 3;
    // While the keyboard is read, the window shows the default preset, says
    // so and how far the read has come, and edits nothing.
    EditorHarness editor(
        [&](SimulatedController& sim) {
          sim.setFirmwareVersion(0x02, 0x1a);
          sim.setGlobalsInSlot(0, globals);
        },
        EditorHarness::Start::AtOnce);
    auto& vc = editor.vc();
    QCOMPARE(vc.message->text(), QStringLiteral("加载ing……"));
    QCOMPARE(vc.firmware->text(), QStringLiteral("未连接"));
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
    QCOMPARE(vc.message->text(), QStringLiteral("从设备读取参数成功!"));
    QCOMPARE(vc.firmware->text(), QStringLiteral("02.1a"));
    QCOMPARE(editor.sim().readRequestCount(), 598);
    globals.mem = 0;  // never read from the keyboard
    checkGlobalMenus(editor, globals);
    checkStartState(editor);
  }

  void startsWithoutController() {
    EditorHarness editor([](SimulatedController& sim) { sim.faults().absent = true; });
    auto& vc = editor.vc();
    QCOMPARE(vc.message->text(), QStringLiteral("连接到设备失败."));
    QCOMPARE(vc.firmware->text(), QStringLiteral("未连接"));
    const padkbd::Preset shipped = editor.files().defaultPreset();
    PadValue expected = *shipped.global;
    checkGlobalMenus(editor, expected);
    checkStartState(editor);
    QCOMPARE(*editor.record(30), *shipped.buttons[30]);
  }

  // Settings the keyboard sent outside their lists: the status keeps its text,
  // says how many, and its tooltip lists the first of them.
  void startupReportsReplacedSettings() {
    EditorHarness editor([](SimulatedController& sim) {
      for (const auto& [pp, ww] : SimulatedController::addresses()) {
        if (pp == 0x07) sim.setRawValue(0, 0x01, ww, 0x0C);  // green: pads only
      }
      sim.setRawValue(0, 0x41, 0x01, 0x07);
    });
    auto& vc = editor.vc();
    QCOMPARE(vc.message->text(),
             QStringLiteral("从设备读取参数成功! (49 settings from the keyboard were outside their "
                            "lists and set to the first entry)"));
    const QString tip = vc.message->toolTip();
    // Under the names the window gives the controls: control 8 is Pad 1.
    QVERIFY(tip.contains(QStringLiteral("Pad 1: mode byte 0c")));
    QVERIFY(tip.contains(QStringLiteral("Pad 12: mode byte 0c")));
    QVERIFY(!tip.contains(QStringLiteral("Pad 13: mode byte 0c")));
    QVERIFY(tip.contains(QStringLiteral("and 37 more")));
  }

  // A damaged settings file: the built-in keyboard is used, the status texts
  // stay, a message says so once, and the Keyboard dialog will not overwrite it.
  void damagedSettingsFileIsTold() {
    EditorHarness editor([](SimulatedController&) {
      const auto path = padkbd::SettingsFile::defaultPath();
      std::filesystem::create_directories(path.parent_path());
      std::ofstream(path) << "[keyboard]\ndevice = \"12:34:56\"\n";
    });
    auto& vc = editor.vc();
    QCOMPARE(vc.message->text(), QStringLiteral("从设备读取参数成功!"));
    QVERIFY(editor.worker().keyboard() == padkbd::builtInKeyboard());
    QVERIFY(vc.message->toolTip().contains(QStringLiteral("keyboard.device")));

    QStringList told;
    vc.dialogs.showProblem = [&](QWidget*, const QString&, const QString& text) { told << text; };
    editor.window().show();
    QTRY_COMPARE(told.size(), 1);
    QVERIFY(told.first().startsWith(QStringLiteral("The settings file is damaged")));

    editor.window().showKeyboardAction();
    auto* dialog = editor.window().keyboardDialog();
    QVERIFY(dialog->findChild<QLabel*>(QStringLiteral("settingsWarning"))->isVisibleTo(dialog));
    dialog->usbIdsEdit->setText(QStringLiteral("1209:7a01"));
    QVERIFY(!dialog->useKeyboardAction());
    QVERIFY(dialog->status().contains(QStringLiteral("not stored")));
    QVERIFY(editor.worker().keyboard() == padkbd::builtInKeyboard());
  }

  void choiceListsFilledOnceEach() {
    EditorHarness editor;
    auto& vc = editor.vc();
    const QList<QPair<QComboBox*, int>> counts = {
        {vc.globalC, 16}, {vc.globalO, 9}, {vc.globalPVC, 4},  {vc.globalKA, 3},
        {vc.globalVC, 4}, {vc.mode, 4},    {vc.modeOption, 0}, {vc.val, 128},
        {vc.channel, 17}, {vc.CCnum, 128}, {vc.min, 128},      {vc.max, 128},
        {vc.mem, 9},      {vc.cr, 128},    {vc.cg, 128},       {vc.cb, 128}};
    for (int round = 0; round < 2; ++round) {
      for (const auto& [menu, count] : counts) QCOMPARE(menu->count(), count);
      QCOMPARE(vc.pu.nameArray.size(), std::size_t{64});
      vc.getItem();
    }
    QCOMPARE(itemsOf(vc.val), toQStringList(vc.pu.valArray));
    QCOMPARE(itemsOf(vc.cb), toQStringList(vc.pu.cbArray));
    QCOMPARE(itemsOf(vc.globalC), toQStringList(vc.pu.globalCArray));
  }

  void selectsByEachKindOfButton() {
    EditorHarness editor;
    auto& vc = editor.vc();
    padkbd::log::Capture log;

    // A black button of a pad: pad lists, colours usable, by a real click.
    QTest::mouseClick(editor.element(9), Qt::LeftButton);
    QVERIFY(vc.session().current() == editor.record(8));
    QVERIFY(vc.session().padLists());
    QCOMPARE(itemsOf(vc.mode), toQStringList(vc.pu.padModeArray));
    QVERIFY(vc.cr->isEnabled() && vc.cg->isEnabled() && vc.cb->isEnabled());
    QCOMPARE(vc.cr->currentIndex(), editor.record(8)->CR);
    QCOMPARE(vc.controlName->text(), QString::fromStdString(vc.pu.nameArray[8]));
    QCOMPARE(editor.selectedTags(), QStringList{"9"});
    QCOMPARE(log.count("btn.id------>8"), std::size_t{1});
    QCOMPARE(log.count(fmt::sprintf("btn.modeOption------>%d", editor.record(8)->modeOption)),
             std::size_t{1});
    QCOMPARE(log.count("showButtonValue---------->8"), std::size_t{1});
    QCOMPARE(vc.val->currentIndex(), editor.record(8)->value);
    QCOMPARE(vc.channel->currentIndex(), editor.record(8)->channel);
    QCOMPARE(vc.CCnum->currentIndex(), editor.record(8)->MIDInumb);
    QCOMPARE(vc.max->currentIndex(), editor.record(8)->max);

    // A black button of an other control: the other lists (its kind decides),
    // colour menus disabled and showing nothing for the -1 colours.
    QTest::mouseClick(editor.element(60), Qt::LeftButton);
    QVERIFY(vc.session().current() == editor.record(59));
    QCOMPARE(editor.record(59)->CR, -1);
    QVERIFY(!vc.session().padLists());
    QCOMPARE(itemsOf(vc.mode), toQStringList(vc.pu.otherModeArray));
    QVERIFY(!vc.cr->isEnabled() && !vc.cg->isEnabled() && !vc.cb->isEnabled());
    QCOMPARE(vc.cr->currentIndex(), -1);
    QCOMPARE(vc.cg->currentIndex(), -1);
    QCOMPARE(vc.cb->currentIndex(), -1);
    QCOMPARE(editor.selectedTags(), QStringList{"60"});

    // A white button, first bank: control 0, other lists.
    QTest::mouseClick(editor.element(1), Qt::LeftButton);
    QVERIFY(vc.session().current() == editor.record(0));
    QVERIFY(!vc.session().padLists());
    QCOMPARE(itemsOf(vc.mode), toQStringList(vc.pu.otherModeArray));
    QVERIFY(!vc.cr->isEnabled());
    QCOMPARE(editor.selectedTags(), QStringList{"1"});

    // Second bank: the same white button is control 8, a pad.
    QTest::mouseClick(vc.bankSwitch, Qt::LeftButton);
    QVERIFY(vc.session().secondBank());
    QVERIFY(vc.session().current() == editor.record(8));  // the bank switch moved 0 to 8
    QTest::mouseClick(editor.element(3), Qt::LeftButton);
    QVERIFY(vc.session().current() == editor.record(10));
    QVERIFY(vc.session().padLists());
    QCOMPARE(itemsOf(vc.mode), toQStringList(vc.pu.padModeArray));
    QVERIFY(vc.cr->isEnabled());
    QCOMPARE(editor.element(3)->text(), QString::fromStdString(vc.pu.nameArray[10]));
    QCOMPARE(editor.selectedTags(), QStringList{"3"});
    QCOMPARE(padkbd::editor::imageOf(vc.bankSwitch), QStringLiteral("selected"));

    // Other buttons: tag t is control t + 7; the mode list follows the kind.
    OtherButton first(1);
    vc.otherButtonAction(&first);
    QVERIFY(vc.session().current() == editor.record(8));
    QVERIFY(vc.session().padLists());
    QVERIFY(editor.selectedTags().isEmpty());  // the clicked object is not in the window
    OtherButton last(56);
    vc.otherButtonAction(&last);
    QVERIFY(vc.session().current() == editor.record(63));
    QVERIFY(!vc.session().padLists());
    QVERIFY(!vc.cr->isEnabled());
    QCOMPARE(itemsOf(vc.mode), toQStringList(vc.pu.otherModeArray));

    // A tag that names no control changes nothing.
    OtherButton outside(57);
    vc.otherButtonAction(&outside);
    QVERIFY(vc.session().current() == editor.record(63));
  }

  void bankSwitchPairsTheBanks() {
    {  // Before any selection the switch counts index 0 and makes 8 current.
      EditorHarness editor;
      auto& vc = editor.vc();
      padkbd::log::Capture log;
      vc.changePadAction(vc.bankSwitch);
      QVERIFY(vc.session().current() == editor.record(8));
      QVERIFY(vc.session().secondBank());
      QVERIFY(vc.session().padLists());
      QCOMPARE(log.count("btn.buttonID----->0"), std::size_t{1});
      QVERIFY(editor.selectedTags().isEmpty());
      QCOMPARE(padkbd::editor::imageOf(vc.bankSwitch), QStringLiteral("selected"));
    }
    EditorHarness editor;
    auto& vc = editor.vc();
    QTest::mouseClick(editor.element(8), Qt::LeftButton);  // white 8: control 7
    QVERIFY(vc.session().current() == editor.record(7));
    padkbd::log::Capture log;
    QTest::mouseClick(vc.bankSwitch, Qt::LeftButton);
    QVERIFY(vc.session().current() == editor.record(15));
    QVERIFY(vc.session().padLists());
    QCOMPARE(itemsOf(vc.mode), toQStringList(vc.pu.padModeArray));
    QCOMPARE(vc.controlName->text(), QString::fromStdString(vc.pu.nameArray[15]));
    QCOMPARE(editor.selectedTags(), QStringList{"8"});  // no image but the switch's own
    QCOMPARE(log.count("btn.buttonID----->7"), std::size_t{1});
    QTest::mouseClick(vc.bankSwitch, Qt::LeftButton);
    QVERIFY(vc.session().current() == editor.record(7));
    QVERIFY(!vc.session().secondBank());
    QVERIFY(!vc.session().padLists());
    QCOMPARE(itemsOf(vc.mode), toQStringList(vc.pu.otherModeArray));
    QCOMPARE(padkbd::editor::imageOf(vc.bankSwitch), QStringLiteral("unselected"));

    QTest::mouseClick(editor.element(21), Qt::LeftButton);  // control 20
    QTest::mouseClick(vc.bankSwitch, Qt::LeftButton);
    QVERIFY(vc.session().current() == editor.record(20));
    QVERIFY(vc.session().secondBank());
    QCOMPARE(editor.selectedTags(), QStringList{"21"});
    QCOMPARE(padkbd::editor::imageOf(vc.bankSwitch), QStringLiteral("selected"));
  }

  void modeChangeRefillsOptions() {
    EditorHarness editor;
    auto& vc = editor.vc();
    QTest::mouseClick(editor.element(12), Qt::LeftButton);  // control 11, a pad
    auto record = editor.record(11);
    record->modeOption = 1;
    padkbd::log::Capture log;
    activate(vc.mode, 1);
    QCOMPARE(record->mode, 1);
    QCOMPARE(record->modeOption, 0);
    QCOMPARE(itemsOf(vc.modeOption),
             (QStringList{"Absolute", "Rleative #1", "Rleative #2", "Rleative #3"}));
    QCOMPARE(vc.modeOption->currentIndex(), 0);
    QCOMPARE(log.count("btn.mode------>1"), std::size_t{1});
    for (int pos : {2, 3}) {
      record->modeOption = 1;
      vc.changeModeAction(pos);
      QCOMPARE(itemsOf(vc.modeOption), (QStringList{"Toggle", "Gate"}));
      QCOMPARE(record->modeOption, 0);
    }
    record->modeOption = 1;
    vc.changeModeAction(0);
    QCOMPARE(vc.modeOption->count(), 0);
    QCOMPARE(vc.modeOption->currentIndex(), -1);
    QCOMPARE(record->modeOption, 0);
    QCOMPARE(record->mode, 0);

    QTest::mouseClick(editor.element(2), Qt::LeftButton);  // control 1, an other control
    vc.changeModeAction(2);
    QCOMPARE(itemsOf(vc.modeOption), (QStringList{"NRPN", "RPN"}));
    QCOMPARE(editor.record(1)->mode, 2);
    vc.changeModeOptionAction(1);
    QCOMPARE(editor.record(1)->modeOption, 1);
  }

  void editsReachTheCurrentPreset() {
    EditorHarness editor;
    auto& vc = editor.vc();
    const auto before = *editor.record(20);
    // Before any selection, control edits change nothing.
    const std::vector<ButtonValue> untouched = editor.snapshot();
    for (QComboBox* menu : {vc.val, vc.channel, vc.CCnum, vc.min, vc.max, vc.cr, vc.mode}) {
      emit menu->activated(3);
    }
    for (std::size_t i = 0; i < untouched.size(); ++i) {
      QCOMPARE(*editor.record(static_cast<int>(i)), untouched[i]);
    }

    QTest::mouseClick(editor.element(21), Qt::LeftButton);  // control 20
    activate(vc.val, 101);
    activate(vc.channel, 16);
    activate(vc.CCnum, 64);
    activate(vc.min, 90);  // above max: stored as chosen
    activate(vc.max, 10);
    activate(vc.cr, 5);
    activate(vc.cg, 6);
    activate(vc.cb, 7);
    activate(vc.mode, 2);
    activate(vc.modeOption, 1);
    const auto& list = vc.session().preset().buttons;
    const ButtonValue& edited = *list[20];
    QCOMPARE(edited.value, 101);
    QCOMPARE(edited.channel, 16);
    QCOMPARE(edited.MIDInumb, 64);
    QCOMPARE(edited.min, 90);
    QCOMPARE(edited.max, 10);
    QCOMPARE(edited.CR, 5);
    QCOMPARE(edited.CG, 6);
    QCOMPARE(edited.CB, 7);
    QCOMPARE(edited.mode, 2);
    QCOMPARE(edited.modeOption, 1);
    QCOMPARE(edited.buttonID, before.buttonID);
    // The previous record keeps its edits after another selection.
    QTest::mouseClick(editor.element(22), Qt::LeftButton);
    QCOMPARE(list[20]->value, 101);

    activate(vc.globalC, 4);
    activate(vc.globalO, 8);
    activate(vc.globalPVC, 3);
    activate(vc.globalKA, 2);
    activate(vc.globalVC, 1);
    activate(vc.mem, 7);
    const PadValue& global = *vc.session().global();
    QCOMPARE(global.globalMIDIChannel, 4);
    QCOMPARE(global.globalOctaveTransposition, 8);
    QCOMPARE(global.globalPadVelocityCurve, 3);
    QCOMPARE(global.globalKnobAccelerationCurve, 2);
    QCOMPARE(global.globalVelocityCurve, 1);
    QCOMPARE(global.mem, 7);
    // Nothing reached the keyboard.
    QCOMPARE(editor.sim().writeCount(), 0);
  }

  // The window shown as a user sees it: every part laid out inside it, none
  // on top of another.
  void windowIsLaidOutAndShown() {
    EditorHarness editor;
    auto& window = editor.window();
    auto& vc = editor.vc();
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const auto placed = [&](QWidget* widget) {
      return QRect(widget->mapTo(&window, QPoint(0, 0)), widget->size());
    };
    const QList<QWidget*> parts = {window.menuBar(),      vc.globalView,     vc.selectedView,
                                   vc.message,            vc.BulkButton,     vc.sendToKeyboardButton,
                                   static_cast<QWidget*>(editor.element(1)),
                                   static_cast<QWidget*>(editor.element(9)),
                                   static_cast<QWidget*>(editor.element(64))};
    for (QWidget* part : parts) {
      QVERIFY2(part->isVisible(), qPrintable(part->objectName()));
      QVERIFY2(!part->size().isEmpty(), qPrintable(part->objectName()));
      QVERIFY2(window.rect().contains(placed(part)), qPrintable(part->objectName()));
    }
    QVERIFY(!placed(vc.globalView).intersects(placed(vc.selectedView)));
    QVERIFY(!placed(editor.element(9)).intersects(placed(editor.element(10))));
    QVERIFY(!placed(editor.element(9)).intersects(placed(editor.element(17))));

    // It fits a 1280x720 screen with a taskbar, cannot shrink below that,
    // and grows its pads when enlarged.
    const QSize least = window.minimumSizeHint();
    QVERIFY2(least.width() <= 1100 && least.height() <= 660,
             qPrintable(QStringLiteral("%1x%2").arg(least.width()).arg(least.height())));
    window.resize(400, 300);
    QTRY_COMPARE(window.size(), least);
    const int padAtLeast = editor.element(9)->width();
    window.resize(1600, 1000);
    QTRY_VERIFY(editor.element(9)->width() > padAtLeast + 20);
  }

  // Closing stores where the window was; the next start puts it there.
  void windowRemembersItsPlace() {
    {
      EditorHarness editor;
      editor.window().resize(1234, 701);
      editor.window().close();
      const auto stored = padkbd::SettingsFile().windowGeometry();
      QVERIFY(stored.has_value());
      QCOMPARE((*stored)[2], 1234);
      QCOMPARE((*stored)[3], 701);
    }
    EditorHarness editor([](SimulatedController&) {
      const auto path = padkbd::SettingsFile::defaultPath();
      std::filesystem::create_directories(path.parent_path());
      std::ofstream(path) << "[editor]\nwindow = [10, 20, 1250, 690]\n";
    });
    QCOMPARE(editor.window().size(), QSize(1250, 690));
  }

  void closingTheWindowQuits() {
    EditorHarness editor;
    editor.window().show();
    QTimer::singleShot(0, &editor.window(), [&] { editor.window().close(); });
    // Should the close not quit, this ends the loop with a failure code.
    QTimer::singleShot(5000, [] { QCoreApplication::exit(7); });
    QCOMPARE(QCoreApplication::exec(), 0);
  }
};

QTEST_MAIN(WindowTest)
#include "WindowTest.moc"
