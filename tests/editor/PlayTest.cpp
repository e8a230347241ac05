// Playing the keyboard with the window open: listening, the surface's
// lights, the Monitor pane, choosing by playing, Ctrl with the mouse on the
// simulated keyboard. What slot 0 of a fresh simulated keyboard plays: Pad 1 note E0
// on channel 10, Pad 6 controller 50 on channel 15, Knob 8 controller 27
// (absolute) on channel 9, Button 2 note F3.
#include <QDockWidget>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QWheelEvent>

#include "editor/PlayController.h"
#include "editor/SelectorSurface.h"
#include "tests/editor/EditorHarness.h"

using namespace padkbd;
using namespace padkbd::test;
using namespace padkbd::editor;

namespace {

const QString kPad1On = QStringLiteral("Pad 1 · note on E0 · velocity 100 · channel 10");
const QString kPad1Off = QStringLiteral("Pad 1 · note off E0 · channel 10");
const QString kKnob8 = QStringLiteral("Knob 8 · controller 27 · value %1 · channel 9");
const QString kTimes = QStringLiteral("^\\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d  ");
const int kPad1 = 8, kPad6 = 13, kKnob8Index = 7, kButton2 = 57;

// The monitor's lines, each checked for its time and shown without it.
QStringList heard(EditorHarness& editor) {
  QStringList lines;
  for (const QString& line : editor.window().play().lines())
    lines << (QRegularExpression(kTimes).match(line).hasMatch() ? line.mid(14)
                                                                : "no time: " + line);
  return lines;
}

}  // namespace

class PlayTest : public QObject {
  Q_OBJECT

 private slots:
  // A pad lights while held (and a moment after), a knob for a moment; each
  // message is listed; one these settings do not make is greyed.
  void listensAndLights() {
    EditorHarness editor;
    editor.action("actionMonitor")->trigger();
    QVERIFY(editor.window().play().listening() &&
            !editor.part<QDockWidget>("monitorDock")->isHidden());
    QCOMPARE(editor.part<QLabel>("monitorNote")->text(), "Listening: play the keyboard.");
    QStringList expected;
    editor.sim().press(kPad1);
    QTRY_VERIFY(litOf(editor.element(9)));
    QCOMPARE(litValueOf(editor.element(9)), QStringLiteral("100"));
    expected << kPad1On;
    QTRY_COMPARE(heard(editor), expected);
    QTest::qWait(editor::PlayController::kFlashMs + 150);
    QVERIFY(litOf(editor.element(9)) && !litOf(editor.element(10)));  // held
    editor.sim().release(kPad1);
    expected << kPad1Off;
    QTRY_COMPARE(heard(editor), expected);
    QTRY_VERIFY(!litOf(editor.element(9)));
    editor.sim().turn(kKnob8Index, 40);
    QTRY_VERIFY(litOf(editor.element(8)));
    QCOMPARE(litValueOf(editor.element(8)), QStringLiteral("40"));
    QTRY_VERIFY(!litOf(editor.element(8)));
    QCOMPARE(heard(editor), expected << kKnob8.arg(40));  // one line
    // With the second bank the white selector of Pad 1 lights too; the knob has none.
    QTest::mouseClick(editor.vc().bankSwitch, Qt::LeftButton);
    editor.sim().press(kPad1);
    QTRY_VERIFY(litOf(editor.element(1)) && litOf(editor.element(9)));
    editor.sim().release(kPad1);
    // Pad 1 shown with another note: what it plays is not from these settings.
    editor.click(9);
    editor.choose("CCnum", editor.menu("CCnum")->currentIndex() + 1);
    QTRY_VERIFY(!litOf(editor.element(9)));
    editor.sim().press(kPad1);
    // Its words: PlayMatchTest, and choosesByPlaying's status.
    QTRY_COMPARE(heard(editor).size(), expected.size() + 3);
    auto* list = editor.part<QListWidget>("monitorList");
    QCOMPARE(list->item(list->count() - 1)->foreground().color(),
             list->palette().color(QPalette::PlaceholderText));
    QVERIFY(list->item(0)->foreground().style() == Qt::NoBrush);
    QTest::qWait(editor::PlayController::kFlashMs + 50);
    QVERIFY(!litOf(editor.element(9)));
  }

  // Unplugged while listening: listening stops and the window says why.
  void keyboardGoesAway() {
    EditorHarness editor;
    editor.action("actionMonitor")->trigger();
    for (int round = 0; round < 2; ++round) {
      // Back, the keyboard is read at once; listening goes on after it.
      QTRY_COMPARE(editor.keyboardState(), kConnected);
      QVERIFY(editor.waitForKeyboard());
      QTRY_VERIFY(editor.sim().isClaimed());
      editor.sim().changeFaults([](auto& f) { f.unplugAfter = 0; });
      QTRY_VERIFY(!editor.window().play().listening());
      QCOMPARE(editor.status(), QStringLiteral("Listening stopped: the keyboard went away"));
      QTRY_COMPARE(editor.keyboardState(), kNoKeyboard);
      editor.sim().replug();
      editor.part<QPushButton>("monitorListen")->click();
    }
    // Through raw USB only Listen takes the keyboard, and the pane says so.
    editor.worker().setStriker({});
    editor.action("actionMonitor")->trigger();  // closed while listening
    editor.action("actionMonitor")->trigger();  // opened: not listening
    QVERIFY(!editor.window().play().listening());
    QVERIFY_SHOWN(editor, "monitor-by-usb-waits", editor.part("monitorDock"));  // press Listen
    editor.part<QPushButton>("monitorListen")->click();
    QVERIFY_SHOWN(editor, "monitor-listening-by-usb", editor.part("monitorDock"));  // until stopped
  }

  // The next control struck becomes current, once; in bulk mode pads are
  // chosen and unchosen until the action is turned off.
  void choosesByPlaying() {
    EditorHarness editor;
    QAction* choose = editor.action("actionChooseByPlaying");
    editor.action("actionMonitor")->trigger();  // keeps listening after each choice
    QTest::mouseClick(editor.vc().bankSwitch, Qt::LeftButton);
    // Pad 1 leaves the bank as it is; Knob 8 has no selector but with the first bank.
    const std::tuple<int, int, const char*> strikes[] = {{kPad1, 9, "Pad 1"},
                                                         {kKnob8Index, 8, "Knob 8"}};
    for (const auto& [index, tag, name] : strikes) {
      editor.part<QAbstractButton>("chooseByPlayingButton")->click();
      QVERIFY(choose->isChecked());
      QCOMPARE(editor.status(), "Play a control on the keyboard to choose it; Esc stops.");
      index == kKnob8Index ? editor.sim().turn(index, 40) : editor.sim().strike(index);
      QTRY_COMPARE(editor.status(), QStringLiteral("%1 chosen by playing it.").arg(name));
      QCOMPARE(editor.selectedTags(), QStringList{QString::number(tag)});
      QVERIFY(!choose->isChecked());
      QCOMPARE(editor.vc().session().secondBank(), index == kPad1);
      const int lines = heard(editor).size();
      editor.sim().strike(kPad6);
      QTRY_COMPARE(heard(editor).size(), lines + 2);
      QCOMPARE(editor.vc().controlName->text(), QString::fromLatin1(name));
    }
    // What these settings do not make chooses nothing; the action again disarms.
    editor.click(9);
    editor.choose("CCnum", editor.menu("CCnum")->currentIndex() + 1);
    choose->trigger();
    editor.sim().strike(kPad1);
    QTRY_COMPARE(editor.status(),
                 "Not chosen: note on E0 · velocity 100 · channel 10 · not from these settings: "
                 "the keyboard may hold others");
    choose->trigger();
    QVERIFY(!choose->isChecked() && editor.vc().controlName->text() == "Pad 1");
    QTest::mouseClick(editor.vc().BulkButton, Qt::LeftButton);
    choose->trigger();
    const auto chosen = [&] { return editor.vc().session().bulkSelection().size(); };
    for (std::size_t expected : {1u, 0u, 1u}) {
      editor.sim().strike(kPad1 + 1);
      QTRY_COMPARE(chosen(), expected);
      QCOMPARE(editor.selectedTags(), expected ? QStringList{"10"} : QStringList{});
      QCOMPARE(editor.status(), expected ? "Pad 2 chosen." : "Pad 2 no longer chosen.");
    }
    editor.sim().strike(kButton2);
    QTRY_COMPARE(editor.status(), "Button 2 is not a pad: bulk mode chooses pads only.");
    QVERIFY(choose->isChecked() && chosen() == 1);
    QVERIFY(editor.showActive());
    QTest::keyClick(&editor.window(), Qt::Key_Escape);  // disarms, still in bulk mode
    QVERIFY(!choose->isChecked() && editor.vc().session().inBulk());
    choose->trigger();  // and so does the end of listening
    editor.part<QPushButton>("monitorListen")->click();
    QVERIFY(!choose->isChecked() && !editor.window().play().listening());
    QTest::keyClick(&editor.window(), Qt::Key_Escape);
    QVERIFY(!editor.vc().session().inBulk());
  }

  // Pause holds the list, Clear empties it, Save writes it; a save that
  // fails names the file and why.
  void monitorPane() {
    EditorHarness editor;
    QAction* monitor = editor.action("actionMonitor");
    monitor->trigger();
    auto* pause = editor.part<QPushButton>("monitorPause");
    pause->click();
    editor.sim().strike(kPad1);
    QTRY_VERIFY(litOf(editor.element(9)));
    QTest::qWait(50);
    QCOMPARE(heard(editor), QStringList());
    pause->click();
    QCOMPARE(heard(editor), (QStringList{kPad1On, kPad1Off}));
    const auto path = editor.dir().path() / "monitor.txt";
    editor.answerFiles(path);
    editor.part<QPushButton>("monitorSave")->click();
    QCOMPARE(QString::fromStdString(readAll(path)),
             editor.window().play().lines().join('\n') + '\n');
    QCOMPARE(editor.status(),
             QStringLiteral("2 line(s) saved in %1.").arg(QString::fromStdString(path.string())));
    QVERIFY_SHOWN(editor, "monitor-saved", editor.part("monitorDock"));
    editor.part<QPushButton>("monitorClear")->click();
    QCOMPARE(heard(editor), QStringList());
    // A flood: the list keeps the last kMonitorLines, the oldest dropped.
    for (int n = 0; n <= editor::PlayController::kMonitorLines; ++n)
      editor.sim().turn(kKnob8Index, n % 128);
    QTRY_COMPARE(heard(editor).value(editor::PlayController::kMonitorLines - 1),
                 kKnob8.arg(editor::PlayController::kMonitorLines % 128));
    QCOMPARE(heard(editor).size(), editor::PlayController::kMonitorLines);
    QCOMPARE(heard(editor).first(), kKnob8.arg(7));  // its minimum: turns below send that
    const auto blocked = editor.dir().path() / "monitor.txt" / "inside.txt";
    editor.answerFiles(blocked);
    editor.part<QPushButton>("monitorSave")->click();
    QCOMPARE(editor.problems, QStringList{QStringLiteral("Could not write %1: Not a directory")
                                              .arg(QString::fromStdString(blocked.string()))});
    // Closing the pane unchecks the menu's action and stops listening.
    QVERIFY(editor.showActive());
    editor.part<QDockWidget>("monitorDock")->close();
    QVERIFY(!monitor->isChecked() && !editor.window().play().listening());
  }

  // With the simulated keyboard a control pressed with Ctrl held sounds (and
  // shows lit) until the mouse button is let go, listening turned on for it;
  // Ctrl and the wheel turn a knob from where it stands, within its range,
  // a Ctrl press ten steps; a plain click still selects.
  void ctrlPlays() {
    EditorHarness editor;
    QVERIFY(!editor.window().play().listening());
    for (int round = 0; round < 2; ++round) {
      QTest::mousePress(editor.element(9), Qt::LeftButton, Qt::ControlModifier);
      QTRY_VERIFY(litOf(editor.element(9)));
      QTest::qWait(editor::PlayController::kFlashMs + 100);
      QVERIFY(litOf(editor.element(9)) && editor.window().play().listening());
      QTest::mouseRelease(editor.element(9), Qt::LeftButton);
      QTRY_VERIFY(!litOf(editor.element(9)));
    }
    editor.action("actionMonitor")->trigger();
    editor.part<QPushButton>("monitorClear")->click();
    editor.click(9, Qt::ControlModifier);
    const auto wheel = [&](int delta, Qt::KeyboardModifiers keys) {
      const QPointF at = editor.element(8)->rect().center();
      QWheelEvent turn(at, editor.element(8)->mapToGlobal(at), {}, {0, delta}, Qt::NoButton, keys,
                       Qt::NoScrollPhase, false);
      QApplication::sendEvent(editor.element(8), &turn);
    };
    for (const int delta : {120, 240, 30, -30, -360, -120}) wheel(delta, Qt::ControlModifier);
    wheel(120, Qt::NoModifier);
    editor.click(8, Qt::ControlModifier);
    QTRY_COMPARE(heard(editor),
                 (QStringList{kPad1On, kPad1Off, kKnob8.arg(7), kKnob8.arg(9), kKnob8.arg(10),
                              kKnob8.arg(9), kKnob8.arg(7), kKnob8.arg(7), kKnob8.arg(17)}));
    // Played, neither was clicked: none is chosen or left looking pressed.
    QVERIFY(editor.selectedTags().isEmpty());
    QVERIFY(!editor.element(8)->isDown() && !editor.element(9)->isDown());
    editor.click(9);
    QCOMPARE(editor.selectedTags(), QStringList{"9"});
  }
};

QTEST_MAIN(PlayTest)
#include "PlayTest.moc"
