// The editor window, part two: bulk change, colours, send and read, cancelling,
// the keyboard coming and going, Default, Load and Save.
#include <QProgressBar>
#include <QPushButton>

#include "editor/SelectorSurface.h"
#include "editor/Words.h"
#include "storage/Midnam.h"
#include "tests/editor/EditorHarness.h"

using namespace padkbd::editor;
using namespace padkbd::test;
namespace fs = std::filesystem;
using Stage = padkbd::PadAction::Progress::Stage;

namespace {

// What a send that stopped part-way adds to its fixed text.
QString mixIn(int written) {
  const QString of = QStringLiteral(" %1 of %2").arg(written).arg(padkbd::PadAction::kFullExchange);
  return of + " settings reached memory slot 1, which now holds a mix of old and new settings.";
}

}  // namespace

class ActionsTest : public QObject {
  Q_OBJECT

 private slots:
  // Pads are chosen one by one, by row, all at once or by Shift-click (other
  // controls not at all); leaving copies the bulk record's mode, option and
  // colour onto them; Cancel copies nothing.
  void bulkChange() {
    EditorHarness editor;
    auto& vc = editor.vc();
    auto& window = editor.window();
    const auto before = editor.snapshot();
    auto* header = window.findChild<QAbstractButton*>(QStringLiteral("rowHeader2"));
    QTest::mouseClick(vc.BulkButton, Qt::LeftButton);
    QVERIFY(vc.session().current()->buttonID == padkbd::EditSession::kBulkRecordId);
    // What every chosen pad gets unless changed (channel 16, maximum 127, colours 100); no Send.
    QVERIFY_SHOWN(editor, "bulk-entered");
    editor.click(9);
    editor.click(9);  // the same pad twice: out again
    QVERIFY(editor.selectedTags().isEmpty());
    // The header stands at the start of its row, whose first pad is Pad 9.
    QVERIFY(editor.showActive());
    QTest::mouseClick(header, Qt::LeftButton);  // Pad 9 to 16
    QVERIFY_SHOWN(editor, "bulk-row-chosen");
    QTest::mouseClick(vc.bulkAllButton, Qt::LeftButton);  // the rest too
    QCOMPARE(vc.bulkCount->text(), QStringLiteral("Pads chosen: 48"));
    QTest::mouseClick(vc.bulkAllButton, Qt::LeftButton);  // all chosen already: none
    editor.click(9);
    editor.click(12, Qt::ShiftModifier);  // Pad 1 to 4
    editor.click(60);
    editor.click(2);
    QCOMPARE(editor.selectedTags(), (QStringList{"9", "10", "11", "12"}));
    for (auto [menu, position] :
         {std::pair{"mode", 1}, {"modeOption", 2}, {"cr", 10}, {"cg", 20}, {"cb", 30}})
      editor.choose(menu, position);
    QVERIFY(editor.snapshot() == before);  // nothing copied before leaving
    QTest::mouseClick(vc.BulkButton, Qt::LeftButton);
    QVERIFY(!vc.session().inBulk() && !vc.session().current());
    auto after = before;
    for (std::size_t i = 8; i <= 11; ++i)
      std::tie(after[i].mode, after[i].modeOption, after[i].CR, after[i].CG, after[i].CB) =
          std::tuple(1, 2, 10, 20, 30);
    QVERIFY(editor.snapshot() == after);
    QVERIFY_SHOWN(editor, "bulk-left");  // the four pads lit in their new colour
    // Cancel copies nothing (Esc: bulkModeHoldsUndoAndEsc).
    QTest::mouseClick(vc.BulkButton, Qt::LeftButton);
    QCOMPARE(editor.menu("cr")->currentIndex(), 10);  // the last pass's values
    editor.click(13);
    editor.choose("cr", 5);
    QTest::mouseClick(vc.bulkCancelButton, Qt::LeftButton);
    QVERIFY(!vc.session().inBulk() && editor.snapshot() == after);
    vc.undoAction();  // the whole pass is one step
    QVERIFY(editor.snapshot() == before);
  }

  // Bulk mode is a mode: Undo and Redo are off in it, as actions and as calls, and
  // on again however it is left (applied, or cancelled by Esc); Esc over an
  // open list only closes the list.
  void bulkModeHoldsUndoAndEsc() {
    EditorHarness editor({}, EditorHarness::Start::Shown);
    auto& vc = editor.vc();
    auto& window = editor.window();
    QAction* undo = editor.action("actionUndo");
    QAction* redo = editor.action("actionRedo");
    editor.choose("globalC", 5);
    editor.choose("globalC", 6);
    undo->trigger();  // something to undo and something to redo
    const auto pad2 = editor.record(9)->CR;
    QVERIFY(pad2 != 7);
    for (bool apply : {false, true}) {
      QTest::mouseClick(vc.BulkButton, Qt::LeftButton);
      QVERIFY(!undo->isEnabled() && !redo->isEnabled());
      vc.undoAction();  // called past the disabled actions, as a shortcut cannot
      QCOMPARE(vc.session().global()->globalMIDIChannel, 5);
      vc.redoAction();
      QCOMPARE(vc.session().global()->globalMIDIChannel, 5);
      editor.click(10);  // Pad 2
      editor.menu("mode")->showPopup();
      QTRY_VERIFY(QApplication::activePopupWidget() != nullptr);
      QTest::keyClick(window.windowHandle(), Qt::Key_Escape);  // where a desktop delivers it
      QTRY_VERIFY(QApplication::activePopupWidget() == nullptr);
      QVERIFY(vc.session().inBulk() && editor.selectedTags() == QStringList{"10"});
      editor.choose("cr", 7);
      QApplication::setActiveWindow(&window);  // offscreen, a closed list leaves no window active
      // No list open, Esc leaves as Cancel does.
      apply ? QTest::mouseClick(vc.BulkButton, Qt::LeftButton)
            : QTest::keyClick(&window, Qt::Key_Escape);
      QVERIFY(!vc.session().inBulk() && editor.record(9)->CR == (apply ? 7 : pad2));
      QCOMPARE(undo->text(), apply ? "&Undo bulk change of 1 pads" : "&Undo MIDI channel");
      QVERIFY(undo->isEnabled() && redo->isEnabled() == !apply);  // a new step drops the redo
    }
    QTest::keySequence(&window, undo->shortcut());
    QVERIFY(editor.record(9)->CR == pad2 && vc.session().global()->globalMIDIChannel == 5);
  }

  // The pads light in their colours, in both banks; the swatch's colour
  // dialog maps onto 0-127 in one step; numbers read as notes.
  void coloursAndNotes() {
    EditorHarness editor;
    auto& vc = editor.vc();
    for (int c = 0; c <= 127; ++c) QCOMPARE(toComponent(toChannel(c)), c);
    QTest::mouseClick(vc.bankSwitch, Qt::LeftButton);
    editor.click(2);  // Pad 2 on the top row
    editor.choose("cr", 127);
    QVERIFY_SHOWN(editor, "second-bank-lit");
    QTest::mouseClick(vc.bankSwitch, Qt::LeftButton);
    QVERIFY_SHOWN(editor, "first-bank-lit");  // white buttons show no light

    vc.dialogs.pickColour = [](QWidget*, const QColor&) { return QColor(255, 128, 0); };
    editor.click(14);  // Pad 6
    const auto pad6 = editor.record(13);
    const QColor was = padColour(*pad6);
    QTest::mouseClick(vc.colourSwatch, Qt::LeftButton);
    QVERIFY(pad6->CR == 127 && pad6->CG == 64 && pad6->CB == 0 &&
            editor.menu("cg")->currentIndex() == 64);
    vc.undoAction();
    QCOMPARE(*lightOf(editor.element(14)), was);

    QCOMPARE(editor.menu("CCnum")->itemText(60), QStringLiteral("60 C3"));
    editor.choose("mode", 0);  // Note
    // The note it plays: the keyboard's octave is -1; at +4 the top notes play none; a CC none.
    const std::tuple<const char*, int, const char*> notes[] = {
        {"CCnum", 61, "C#2"}, {"globalO", 0, "C#3"}, {"CCnum", 79, "G4"},
        {"globalO", 4, "G8"}, {"CCnum", 80, ""},     {"mode", 1, ""}};
    for (const auto& [menu, position, note] : notes) {
      editor.choose(menu, position);
      QCOMPARE(noteOf(editor.element(14)), QString::fromLatin1(note));
    }
    QVERIFY_SHOWN(editor, "pad-colour-and-note");
  }

  // Send asks first, against what the history says the slot holds, then
  // writes the chosen slot, records it and says so in a message window of
  // its own; "don't ask again" is kept. (A send that finds no keyboard:
  // DialogsTest::damagedHistory; the question after a send cut short, and
  // what the history keeps of each exchange: HistoryTest and
  // KeyboardServiceTest.)
  void sendConfirmsAndWritesTheSlot() {
    EditorHarness editor;
    auto& vc = editor.vc();
    bool send = false;
    const auto keep = vc.dialogs.confirmSend;  // the harness's, which keeps the questions
    vc.dialogs.confirmSend = [&](QWidget* parent, const QString& t, const QString& d, bool& again) {
      again = editor.sendQuestions.size() >= 4;  // "Don't ask again" ticked from the third on
      return keep(parent, t, d, again) && send;
    };
    editor.click(14);  // Pad 6, control 13
    editor.choose("mem", 4);
    QVERIFY(editor.send());
    QCOMPARE(editor.sendQuestions.first(),
             "Memory 5: not sent by padkbd on this computer, so what it holds is unknown; all 598 "
             "settings will be written");
    QVERIFY(editor.sim().writeCount() == 0 && !vc.messageWindow());  // cancelled

    // "发送中……" only once the handshake, retried twice here, is done.
    send = true;
    editor.sim().changeFaults([](auto& faults) { faults.handshakeFailures = 2; });
    QStringList whileSending;
    QObject::connect(&editor.worker(), &DeviceWorker::progress, &vc,
                     [&](const padkbd::PadAction::Progress& p) {
                       if (vc.messageWindow() && (p.stage != Stage::Sending || p.done <= 1))
                         whileSending << vc.messageWindow()->text() + '|' +
                                             vc.messageWindow()->detail() + '|' + editor.status();
                     });
    QVERIFY(editor.send());
    const QString before = QStringLiteral("|Looking for the keyboard…|从设备读取参数成功!");
    const QString sending = QStringLiteral("发送中……||发送中……");
    QCOMPARE(whileSending, QStringList({before, before, sending, sending}));
    QVERIFY(vc.messageWindow()->text() == sentTo(5) && editor.status() == sentTo(5));
    QVERIFY(vc.session().changesOnKeyboard().empty());  // the slot now holds what is shown
    QCOMPARE(editor.sim().controlInSlot(4, 13), *editor.record(13));
    QVERIFY(!editor.sim().isClaimed());
    const auto sent = padkbd::History(padkbd::History::defaultPath()).entry(2);
    editor.choose("channel", 3);
    QVERIFY(editor.send());
    QCOMPARE(editor.sendQuestions.mid(4),
             (QStringList{QStringLiteral("Memory 5: last sent by padkbd on %1, from the keyboard, "
                                         "edited; against that, 1 setting changes")
                              .arg(padkbd::editor::whenWords(sent->at)),
                          "Pad 6: channel Channel 15 → Channel 4"}));
    QVERIFY(editor.send());
    QCOMPARE(editor.sendQuestions.size(), 6);  // not asked again
    QVERIFY_SHOWN(editor, "sent-with-message");
  }

  // Save, Default and Load: the preset comes back whole, the current control
  // follows to the new records; cancelled or refused, nothing changes; a
  // working copy that cannot be written stops the save before its dialog.
  void saveDefaultAndLoad() {
    EditorHarness editor;
    auto& vc = editor.vc();
    editor.answerFiles(editor.dir() / "mine.padkbd");
    editor.click(21);  // control 20
    editor.choose("val", 42);
    editor.choose("globalO", 2);
    const auto saved = editor.snapshot();
    vc.documents().saveAction();
    vc.documents().changeToDefaultAction();
    QVERIFY(editor.snapshot() != saved && vc.session().current() == editor.record(20));
    QCOMPARE(editor.menu("val")->currentIndex(), editor.record(20)->value);
    QCOMPARE(vc.firmware->text(), QStringLiteral("01.02"));  // what the keyboard said
    editor.action("actionLoad")->trigger();
    QVERIFY(editor.problems.isEmpty() && editor.snapshot() == saved);
    QVERIFY(editor.menu("globalO")->currentIndex() == 2 &&
            vc.session().current() == editor.record(20));  // edits reach the loaded record
    QVERIFY_SHOWN(editor, "loaded-document");

    const auto before = editor.snapshot();
    editor.answerFiles({});  // cancelled
    vc.documents().loadAction();
    writeAll(editor.dir() / "damaged.padkbd", "<?xml version=\"1.0\"?><plist><dict>");
    editor.answerFiles(editor.dir() / "damaged.padkbd");
    vc.documents().loadAction();
    QVERIFY(editor.problems.size() == 1 && editor.snapshot() == before);
    vc.bulkChange();  // bulk mode keeps the bulk record current through a replacement
    vc.documents().changeToDefaultAction();
    QCOMPARE(vc.session().current()->buttonID, padkbd::EditSession::kBulkRecordId);
    vc.bulkChange();

    const fs::path folder = editor.files().workingCopyPath().parent_path();
    fs::remove_all(folder);
    writeAll(folder, "in the way");
    editor.answerFiles(editor.dir() / "never.padkbd");
    vc.documents().saveAction();
    QVERIFY(editor.problems.size() == 2 && !fs::exists(editor.dir() / "never.padkbd"));
  }

  // Export Names writes the names of the preset shown (named as the window
  // names the controls, as controlName does), after its document if it has
  // one; a target that cannot be written is told; off in bulk mode.
  void exportNamesWritesTheShownPresetsNames() {
    EditorHarness editor;
    auto& vc = editor.vc();
    QStringList asked;
    const auto exportTo = [&](const std::string& target) {
      vc.dialogs.saveNamesPath = [&, target](QWidget*, const QString& suggested) {
        asked << suggested;
        return QString::fromStdString((editor.dir() / target).string());
      };
      editor.action("actionExportNames")->trigger();
      return readAll(editor.dir() / target);
    };
    QCOMPARE(exportTo("read.midnam"), padkbd::midnamDocument(vc.session().preset(), {}, ""));
    editor.answerFiles(editor.dir() / "live.padkbd");
    vc.documents().saveAction();
    editor.choose("globalO", 1);
    QCOMPARE(exportTo("live.midnam"), padkbd::midnamDocument(vc.session().preset(), {}, "live"));
    exportTo("live.padkbd/x");
    QCOMPARE(asked, QStringList({"padkbd.midnam", "live.midnam", "live.midnam"}));
    QCOMPARE(editor.problems, QStringList{QString::fromStdString(
                                  "Could not write " + (editor.dir() / "live.padkbd/x").string() +
                                  ": Not a directory")});
    vc.bulkChange();
    QVERIFY(!editor.action("actionExportNames")->isEnabled());
  }

  // Two windows over one working copy: each saves, byte for byte, what it
  // showed when Save was chosen, while the other loads in the middle.
  void eachWindowSavesWhatItShows() {
    EditorHarness editor;
    auto& vc = editor.vc();
    padkbd::FileAction files(PADKBD_TEST_RESOURCE_DIR, editor.files().workingCopyPath());
    padkbd::EditSession other(files, files.defaultPreset(), padkbd::Origin{});
    const fs::path theirs = editor.dir() / "theirs.padkbd", mine = editor.dir() / "mine.padkbd";
    QVERIFY(other.saveDocument(theirs));
    editor.choose("globalO", 2);
    const std::string myXml =
        padkbd::presetToXml(vc.session().preset().buttons, *vc.session().global());
    QVERIFY(myXml != readAll(theirs));
    vc.dialogs.saveDocumentPath = [&](QWidget*) {  // the other loads while the dialog is open
      return other.loadDocument(theirs) ? QString::fromStdString(mine.string()) : QString();
    };
    vc.documents().saveAction();
    QVERIFY(editor.problems.isEmpty() && readAll(mine) == myXml);
    QVERIFY(!editor.window().isWindowModified());
    vc.dialogs.saveDocumentPath = [&](QWidget*) {  // as a read arriving meanwhile would
      vc.session().setGlobal(padkbd::GlobalField::OctaveTransposition, 3);
      return QString::fromStdString(mine.string());
    };
    vc.documents().saveAction();
    QVERIFY(readAll(mine) == myXml && editor.window().isWindowModified());
  }

  // Cut short: a cancelled read leaves what is shown as it was; a send that
  // fails or is cancelled part-way (by its message window's Cancel; Esc
  // there calls the same reject()) says how much reached the slot, and what the keyboard holds is
  // no longer taken as known; a silent keyboard stops being waited for.
  void deviceWorkCutShort() {
    EditorHarness editor({}, EditorHarness::Start::Shown);
    auto& vc = editor.vc();
    padkbd::PadAction::Progress last;
    QObject::connect(&editor.worker(), &padkbd::editor::DeviceWorker::progress, &vc,
                     [&](const padkbd::PadAction::Progress& progress) { last = progress; });
    // Cancel in `window` (none: the message window) by Esc or the button named `how`.
    const auto cancelAt = [&](Stage stage, int done, QWidget* window, const char* how) {
      QTRY_VERIFY(last.stage == stage && last.done >= done);
      if (!window) window = vc.messageWindow();
      how == QLatin1String("Esc")
          ? QTest::keyClick(window, Qt::Key_Escape)
          : QTest::mouseClick(window->findChild<QPushButton*>(how), Qt::LeftButton);
      QVERIFY(editor.waitForKeyboard());
    };
    const QString readCancelled = QStringLiteral("Reading cancelled; nothing changed.");
    editor.sim().changeFaults([](auto& faults) { faults.pace = std::chrono::microseconds(300); });
    editor.click(1);  // Knob 1, control 0: among the first read
    editor.choose("val", editor.menu("val")->currentIndex() ^ 1);
    const auto edited = editor.snapshot();
    editor.action("actionRead")->trigger();
    QVERIFY(!editor.menu("val")->isEnabled() && !editor.action("actionUndo")->isEnabled());
    cancelAt(Stage::Reading, 100, &editor.window(), "Esc");
    QVERIFY(editor.snapshot() == edited && vc.session().knowsKeyboard());
    QVERIFY_SHOWN(editor, "read-cancelled");

    editor.sim().resetCounters();
    editor.sim().changeFaults([](auto& faults) { faults.writeFailureAfter = 200; });
    QVERIFY(editor.send() && editor.sim().writeCount() > 100 && !editor.sim().isClaimed());
    QCOMPARE(vc.messageWindow()->text(), kConnectFailed + mixIn(editor.sim().writeCount()));
    QVERIFY(editor.status() == vc.messageWindow()->text() && !vc.session().knowsKeyboard());
    // Sends from a fresh count, the last send's progress forgotten.
    const auto sendAgain = [&] {
      editor.sim().resetCounters();
      last = {};
      vc.keyboard().sendAction();
    };
    editor.sim().changeFaults([](auto& faults) { faults.writeFailureAfter.reset(); });
    sendAgain();
    QTRY_VERIFY(last.stage == Stage::Sending && last.done >= 100);
    const auto* progress = vc.messageWindow()->findChild<QLabel*>("messageProgressText");
    QVERIFY(progress->text().startsWith(QStringLiteral("Sending to memory slot 1… ")));
    cancelAt(Stage::Sending, 100, nullptr, "messageCancelButton");
    const int written = editor.sim().writeCount();
    QVERIFY(written >= 100 && written < padkbd::PadAction::kFullExchange &&
            !editor.sim().isClaimed());
    QCOMPARE(editor.status(), QStringLiteral("Sending cancelled.") + mixIn(written));
    QVERIFY(vc.messageWindow()->text() == editor.status() && progress->isHidden() &&
            vc.messageWindow()->findChild<QPushButton*>("messageCloseButton")->isVisible());
    vc.messageWindow()->close();
    // A cancel holds though more work is asked for before the send sees it.
    sendAgain();
    QTRY_VERIFY(last.stage == Stage::Sending && last.done >= 50);
    editor.worker().cancel();
    editor.worker().sendGains(std::vector<std::int32_t>(8, 64), &vc, [](auto) {});
    QVERIFY(editor.waitForKeyboard());
    QVERIFY(editor.status().startsWith(QStringLiteral("Sending cancelled.")));
    vc.messageWindow()->close();

    editor.sim().resetCounters();
    editor.sim().changeFaults([](auto& faults) {
      faults.noReplyAfter = 0;
      faults.waitOnSilence = true;
    });
    editor.action("actionRead")->trigger();
    QTRY_COMPARE(editor.progressText(), QStringLiteral("Waiting for the keyboard, attempt 1 of 5"));
    QCOMPARE(editor.part<QProgressBar>("progressBar")->maximum(), 0);  // busy: no fraction yet
    cancelAt(Stage::Handshake, 1, &editor.window(), "cancelButton");
    QVERIFY(editor.sim().handshakeCount() <= 2 && editor.snapshot() == edited);
    QCOMPARE(editor.status(), readCancelled);
  }

  // The keyboard comes and goes: the window says so, reads a keyboard that
  // arrives while nothing of the user's would be lost, asks over edits (not
  // in bulk mode), ends a read cut short by an unplug, and polls where the
  // platform tells nothing.
  void keyboardComesAndGoes() {
    EditorHarness editor(EditorHarness::noKeyboard);
    editor.plug(true);
    QTRY_COMPARE(editor.vc().firmware->text(), QStringLiteral("01.02"));  // read at once
    QCOMPARE(editor.status(), kReadSucceeded);
    const int unplugAt = static_cast<int>(editor.sim().transferCount()) + 300;
    editor.sim().changeFaults([unplugAt](auto& faults) {
      faults.pace = std::chrono::microseconds(200);
      faults.unplugAfter = unplugAt;
    });
    QVERIFY(editor.read());
    QVERIFY(editor.status() == kConnectFailed && editor.keyboardState() == kNoKeyboard);
    editor.sim().replug();
    QTRY_COMPARE(editor.status(), kReadSucceeded);

    editor.vc().bulkChange();  // in bulk mode nothing is read, nothing asked
    editor.plug(false);
    editor.plug(true);
    QVERIFY(!editor.worker().busy());
    editor.vc().bulkChange();
    editor.click(14);  // Pad 6
    editor.choose("cr", 5);
    editor.plug(false);
    editor.plug(true);
    QTRY_COMPARE(editor.readQuestions, 1);
    QVERIFY(!editor.worker().busy() && editor.record(13)->CR == 5);

    EditorHarness polled([](auto& sim) {
      sim.faults().absent = true;
      sim.faults().noHotplug = true;
    });
    polled.plug(true);
  }
};

QTEST_MAIN(ActionsTest)
#include "ActionsTest.moc"
