// The editor's dialogs: the Keyboard dialog, the gains, the platform's file
// dialogs and questions, the memory slots and the history.
#include <map>

#include <QCheckBox>
#include <QClipboard>
#include <QFileDialog>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <QTreeWidget>

#include "editor/GainController.h"
#include "editor/HistoryDialog.h"
#include "editor/KeyboardController.h"
#include "editor/MemorySlotsDialog.h"
#include "editor/SelectorSurface.h"
#include "editor/SetView.h"
#include "editor/Words.h"
#include "tests/editor/EditorHarness.h"

using namespace padkbd::test;
using namespace padkbd::editor;
namespace fs = std::filesystem;

namespace {

// The texts of a list's rows: the column `column`, or every column of one row.
QStringList column(const QTreeWidget* list, int column) {
  QStringList texts;
  for (int row = 0; row < list->topLevelItemCount(); ++row)
    texts << list->topLevelItem(row)->text(column);
  return texts;
}

}  // namespace

class DialogsTest : public QObject {
  Q_OBJECT

 private slots:
  // The Keyboard dialog refuses malformed ids, stores a choice (with a MIDI
  // port or none) and makes the window look for that keyboard; a device this
  // user may not open shows its udev rule.
  void keyboardDialog() {
    EditorHarness editor;
    auto& worker = editor.worker();
    const padkbd::KeyboardId builtIn = padkbd::builtInKeyboard();
    const padkbd::SettingsFile settings;
    auto* dialog = editor.open<KeyboardController>("actionKeyboard");
    auto use = [&](const QString& ids, const QString& bytes) {
      dialog->usbIdsEdit->setText(ids);
      dialog->manufacturerEdit->setText(bytes);
      dialog->useKeyboardAction();
      QVERIFY(editor.waitForKeyboard());
    };
    use(QStringLiteral("1209:7a01"), QStringLiteral("7d 80 01"));  // a byte above 7f
    QVERIFY_SHOWN(editor, "keyboard-bytes-refused", dialog);
    QVERIFY(!fs::exists(settings.path()) && worker.keyboard() == builtIn && worker.present());
    // The settings file is named, and said not to be there yet.
    const auto* named = dialog->findChild<QLabel*>(QStringLiteral("settingsPath"));
    const QString path = QString::fromStdString(settings.path().string());
    QCOMPARE(named->text(), path + QStringLiteral(" (none yet)"));
    use(QStringLiteral(" 1209:7A01 "), QStringLiteral("7d:00:01"));  // not plugged in
    const padkbd::KeyboardId other{{0x1209, 0x7a01}, {0x7d, 0x00, 0x01}};
    QCOMPARE(settings.read().value(), (padkbd::KeyboardSettings{other.usb, other.manufacturer}));
    QCOMPARE(named->text(), path);
    QVERIFY(worker.keyboard() == other && !worker.present() &&
            editor.keyboardState() == kNoKeyboard);
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
    QCOMPARE(settings.read()->port, std::optional<std::string>("kbd:MIDI 1"));
    QCOMPARE(worker.keyboard().port, std::string("kbd:MIDI 1"));
    dialog->portEdit->clear();  // raw USB again
    use(dialog->usbIdsEdit->text(), dialog->manufacturerEdit->text());
    QVERIFY(!settings.read()->port && worker.keyboard() == builtIn);

    EditorHarness locked([](auto& sim) { sim.faults().refuseAccess = true; });
    QCOMPARE(locked.vc().message->toolTip(),  // the failed read says what to do
             "This user may not open the keyboard (USB id 1209:0001). Keyboard → Keyboard… "
             "shows the udev rule that allows it and how to install it; then plug the keyboard "
             "in again.");
    dialog = locked.open<KeyboardController>("actionKeyboard");
    QVERIFY(dialog->udevCommands->isVisibleTo(dialog) && dialog->udevCommands->isReadOnly());
    QCOMPARE(dialog->udevCommands->toPlainText(),
             QString::fromStdString(padkbd::udevInstallCommands(builtIn.usb)));
    const auto list = [&](const padkbd::MidiDeviceListing& listing) {
      dialog->listDevices = [listing](const auto& done) { done(listing); };
      dialog->refresh();
    };
    using padkbd::LinkAccess;
    // The keyboard in use is gone: the device that needs a rule is the one shown.
    list({padkbd::Outcome::success(),
          {{{0x1209, 0x7a01}, "A", "", 1, "2", LinkAccess::Granted, ""},
           {{0x1209, 0x7a02}, "B", "", 1, "3", LinkAccess::Denied, "access denied"},
           {{0x1209, 0x7a03}, "C", "us", 1, "4", LinkAccess::Busy, "busy"}}});
    QVERIFY_SHOWN(locked, "keyboard-needs-rule", dialog);
    dialog->deviceList->setCurrentItem(dialog->deviceList->topLevelItem(2));
    QVERIFY_SHOWN(locked, "keyboard-device-held", dialog);  // by another program
    list({padkbd::Outcome::failure("no USB here"), {}});  // a bus that cannot be listed says why
    QVERIFY_SHOWN(locked, "keyboard-bus-not-listed", dialog);  // why, and no udev rule
  }

  // The platform's dialogs open in the folder of the last document saved or
  // loaded; a save that failed moves nothing.
  void platformDialogsAsTheUserSeesThem() {
    EditorHarness editor;
    auto& vc = editor.vc();
    const auto problem = vc.dialogs.showProblem;  // the harness's, which keeps what it says
    vc.dialogs = padkbd::editor::platformDialogs();
    vc.dialogs.showProblem = problem;
    const fs::path remembered = editor.dir() / "sets";
    fs::create_directories(remembered);
    QVERIFY(padkbd::SettingsFile().storeLastFolder(remembered.string()));
    const QString folder = QString::fromStdString(editor.dir().path().string());
    // Answers the dialog that Save (or Load) opens with `name` in `folder`; what it showed is
    // checked after.
    const auto answer = [&](bool save, const QString& name = {}) {
      QStringList seen;
      QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) return;
        seen << dialog->directory().absolutePath() << dialog->defaultSuffix();
        dialog->setDirectory(folder);
        dialog->selectFile(name);
        // Save is answered; Open is cancelled, its folder is all that is looked at.
        QDialog* asked = dialog;  // QFileDialog hides accept()
        dialog->acceptMode() == QFileDialog::AcceptSave ? asked->accept() : asked->reject();
      });
      save ? vc.documents().saveAction() : vc.documents().loadAction();
      return seen;
    };
    const QString there = QString::fromStdString(remembered.string());
    // A name the folder cannot take (its temporary file's is too long) fails the save.
    QCOMPARE(answer(true, QString(240, 'x') + ".padkbd"), (QStringList{there, "padkbd"}));
    QCOMPARE(editor.problems.size(), 1);
    QCOMPARE(answer(false).value(0), there);
    QCOMPARE(answer(true, "Untitle.padkbd"), (QStringList{there, "padkbd"}));
    // Saved, its folder is remembered (only a save that worked moves it).
    QCOMPARE(answer(false).value(0), folder);
  }

  // The platform's questions: each button, and Esc, gives its answer; "Don't
  // ask again" comes back as it was left.
  void platformQuestionsTakeEveryAnswer() {
    const auto dialogs = padkbd::editor::platformDialogs();
    using Unsaved = padkbd::editor::DialogSeams::Unsaved;
    constexpr int kEsc = -1, kAccept = QMessageBox::AcceptRole, kReject = QMessageBox::RejectRole;
    // Answers the next question with the button of `role`, its box ticked or not; what each box
    // says is kept the first time it asks.
    std::map<QString, QStringList> asked;
    const auto answer = [&asked](int role, bool tick = false) {
      QTimer::singleShot(0, [=, &asked] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) return;
        const QString name = box->objectName();
        if (!asked.count(name)) asked[name] = padkbd::test::shownAs(qPrintable(name), box);
        if (box->checkBox() != nullptr) box->checkBox()->setChecked(tick);
        for (QAbstractButton* button : box->buttons())
          if (box->buttonRole(button) == role) return button->click();
        QTest::keyClick(box, Qt::Key_Escape);
      });
    };
    // (Cancel and Esc both end in the same default case.)
    for (const auto& [role, expected] : {std::pair{kAccept, Unsaved::Save},
                                         {int(QMessageBox::DestructiveRole), Unsaved::Discard},
                                         {kEsc, Unsaved::Cancel}}) {
      answer(role);
      QCOMPARE(dialogs.askUnsaved(nullptr, QStringLiteral("Loading drops them.")), expected);
    }
    for (const auto& [role, tick] :
         {std::pair{kAccept, true}, {kAccept, false}, {kReject, true}, {kEsc, false}}) {
      answer(role, tick);
      bool again = !tick;
      QCOMPARE(dialogs.confirmSend(nullptr, "2 settings", "a\nb", again), role == kAccept);
      QCOMPARE(again, tick);
    }
    for (const int role : {kAccept, kReject, kEsc}) {
      answer(role);
      QCOMPARE(dialogs.askReadArrived(nullptr), role == kAccept);
    }
    for (const char* name : {"unsavedQuestion", "sendConfirmation", "readArrivedQuestion"})
      QCOMPARE(asked[name], padkbd::test::savedShown(name));
  }

  // Memory Slots: a slot sent to shows its source, time and pads, the others
  // "unknown" with nothing to do; Compare, Save As, Open (one undo step,
  // unsaved) and Send Again (recorded as a resend). History lists every
  // entry, by slot and kind. (Its Open calls the same openEntry as the
  // slots' Open.)
  void memorySlotsAndHistory() {
    EditorHarness editor([](auto& sim) { sim.setSerial("AB12"); });
    auto& vc = editor.vc();
    editor.choose("mem", 2);
    QVERIFY(editor.send());
    const auto sent = padkbd::History(padkbd::History::defaultPath()).entry(2);
    editor.plug(false);  // an unplugged keyboard's slots stay its own
    auto* memory = editor.open<MemorySlotsDialog>("actionMemorySlots");
    QVERIFY_SHOWN(editor, "memory-slots-unplugged", memory);  // 9 unknown, Open and Send off
    const auto& row = memory->row(3);
    QCOMPARE(row.when->text(), padkbd::editor::whenWords(sent->at));
    for (int pad = 0; pad < 48; ++pad)
      QCOMPARE(row.pads->colours()[pad], padkbd::editor::padColour(*editor.record(pad + 8)));
    QVERIFY(memory->row(9).pads->colours().empty());  // as slot 1: no send there
    editor.click(14);
    editor.choose("cr", 5);
    row.compare->click();
    editor.answerFiles(editor.dir() / "m3.padkbd");
    row.saveAs->click();
    QCOMPARE(memory->status(), QStringLiteral("Saved Memory 3 as m3.padkbd."));
    QVERIFY(readAll(editor.dir() / "m3.padkbd") == sent->document);
    row.open->click();
    row.compare->click();
    QCOMPARE(editor.compared,
             (QStringList{"Compare Memory 3",
                          "1 setting differs between Memory 3 and the preset shown (Memory 3 → "
                          "shown).",
                          "Pad 6: red 127 → 5", "Compare Memory 3",
                          "No difference between Memory 3 and the preset shown.", ""}));
    QVERIFY(vc.session().modified() && vc.session().undoText() == "Open history entry 2");
    vc.undoAction();
    QVERIFY(editor.record(13)->CR == 5 && vc.session().undoText() == "Pad 6 red");

    editor.plug(true);
    row.sendAgain->click();
    QVERIFY(editor.waitForKeyboard() && editor.status() == sentTo(3));
    QCOMPARE(editor.record(13)->CR, 5);  // the window keeps its own
    QCOMPARE(editor.sim().controlInSlot(2, 13).CR, 127);
    QVERIFY_SHOWN(editor, "memory-slots-sent-again", memory);

    auto* history = editor.open<HistoryDialog>("actionHistory");
    auto* list = history->entryList;
    QVERIFY_SHOWN(editor, "history-all", history);
    const auto filter = [&](int slot, int kind) {
      history->slotFilter->setCurrentIndex(slot);
      history->kindFilter->setCurrentIndex(kind);
      editor.waitForKeyboard();
      return column(list, 4);
    };
    QCOMPARE(filter(3, 0), (QStringList{"history entry 2", "from the keyboard, edited"}));
    QVERIFY_SHOWN(editor, "history-slot-3", history);
    // The chosen entry's number is copied (from the list's menu, or Ctrl+C).
    QVERIFY(!history->copyNumberAction->isEnabled());
    list->setCurrentItem(list->topLevelItem(1), 2);  // whichever column was clicked
    history->copyNumberAction->trigger();
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("2"));
    QCOMPARE(history->status(), QStringLiteral("Copied the number of history entry 2."));
    // A note written, kept across a refresh, then removed; a cancel changes nothing.
    const auto note = [&](const std::optional<QString>& answer) {
      vc.dialogs.askText = [answer](QWidget*, const QString&, const QString&, const QString&) {
        return answer;
      };
      history->noteButton->click();
      editor.waitForKeyboard();
      return column(list, 6);
    };
    list->setCurrentItem(list->topLevelItem(1));
    QCOMPARE(note("  before the festival "), (QStringList{"", "before the festival"}));
    QCOMPARE(history->status(), QStringLiteral("The note on history entry 2 was kept."));
    QCOMPARE(note(std::nullopt), (QStringList{"", "before the festival"}));
    QCOMPARE(note(QString()), (QStringList{"", ""}));
    QCOMPARE(filter(3, 1), QStringList());  // reads go to no slot
    QCOMPARE(filter(0, 1), QStringList{"from the keyboard"});
    QVERIFY(filter(1, 0).isEmpty() && filter(9, 0).isEmpty() && !history->openButton->isEnabled());
  }

  // A damaged database is set aside: the exchanges go on, and the window
  // says once where it went, whether a read or the question before a send
  // met it first.
  void damagedHistory() {
    const auto damage = [](auto&) { fs::create_directories(padkbd::History::defaultPath()); };
    // What the window says, naming the database set aside (only one is:
    // HistoryTest.ADamagedDatabaseIsMovedAsideAndANewOneStarted).
    const auto notice = [] {
      for (const auto& file : fs::directory_iterator(padkbd::History::defaultPath().parent_path()))
        if (file.path().filename().string().starts_with("history.sqlite.damaged-"))
          return "The history database was damaged (it is not a file); it was moved to " +
                 QString::fromStdString(file.path().string()) + " and a new one started.";
      return QString();
    };
    EditorHarness editor(damage);
    QCOMPARE(editor.vc().message->toolTip(), notice());
    QVERIFY(editor.send() && editor.status() == sentTo(1));
    QCOMPARE(editor.vc().message->toolTip(), QString());
    EditorHarness offline([&](auto& sim) {
      damage(sim);
      EditorHarness::noKeyboard(sim);
    });
    QVERIFY(offline.send() && offline.status() == kConnectFailed);
    QCOMPARE(offline.vc().message->toolTip(),  // what to do, then where the database went
             "No keyboard with USB id 1209:0001 was found. Is it plugged in? Keyboard → "
             "Keyboard… lists the USB MIDI devices and chooses another.\n\n" +
                 notice());
    EditorHarness blocked([](auto&) {
      fs::create_directories(padkbd::History::defaultPath().parent_path().parent_path());
      writeAll(padkbd::History::defaultPath().parent_path(), "in the way");
    });
    // Nothing can be kept: each outcome says so once, and a send still goes.
    const QString why =
        QStringLiteral("the history could not be used: its folder %1 cannot be made (")
            .arg(QString::fromStdString(padkbd::History::defaultPath().parent_path().string()));
    QVERIFY(
        blocked.vc().message->toolTip().startsWith("The history could not keep this read: " + why));
    QVERIFY(blocked.send() && blocked.status() == sentTo(1));
    const QString told = blocked.vc().message->toolTip();
    QVERIFY(told.startsWith("The history could not keep this send: " + why) &&
            told.count(why) == 1);
    // The History dialog says why it lists nothing.
    auto* history = blocked.open<HistoryDialog>("actionHistory");
    blocked.window().setView().toggleAction()->trigger();  // and so does the Set view
    QVERIFY(blocked.showActive());
    const QString cannot = "T" + why.mid(1) + "Not a directory).";
    QTRY_COMPARE(history->status(), cannot);
    QTRY_COMPARE(blocked.window().setView().status(), cannot);
  }

  // Apply sends the eight gains and keeps the dialog open, Default puts them
  // back, OK closes once they went out and stays open when they did not;
  // Esc stops them. The outcome goes once a slider moves, Default
  // is pressed or the dialog is opened again.
  void gainDialog() {
    EditorHarness editor;
    auto* gains = editor.open<GainController>("actionGains");
    gains->sliders[2]->setValue(100);
    gains->sliders[7]->setValue(0);
    gains->doApplyAction();
    QVERIFY(editor.waitForKeyboard());
    QVERIFY((editor.sim().gains() == std::array<std::uint8_t, 8>{64, 64, 100, 64, 64, 64, 64, 0}));
    QVERIFY_SHOWN(editor, "gains-applied", gains);
    gains->sliders[0]->setValue(1);
    gains->doDefaultAction();
    QVERIFY(gains->sliders[2]->value() == 64 && gains->status().isEmpty());
    for (QLabel* label : gains->labels) QCOMPARE(label->text(), QStringLiteral("64/127"));
    gains->doApplyAction();
    QVERIFY(editor.waitForKeyboard() && gains->status() == kSendSucceeded);
    gains->sliders[0]->setValue(1);
    QCOMPARE(gains->status(), QString());
    gains->doOKAction();
    QVERIFY(editor.waitForKeyboard() && editor.sim().gains()[0] == 1 && !gains->isVisible());
    // Each opening starts at the default.
    QCOMPARE(editor.open<GainController>("actionGains")->sliders[0]->value(), 64);
    EditorHarness offline(EditorHarness::noKeyboard);
    gains = offline.open<GainController>("actionGains");
    gains->doOKAction();
    QVERIFY(offline.waitForKeyboard() && gains->status() == kConnectFailed && gains->isVisible());
    QCOMPARE(offline.open<GainController>("actionGains")->status(), QString());

    // A silent keyboard is waited for until Esc stops the send (the Cancel
    // button calls the same reject()).
    editor.sim().changeFaults([](auto& faults) {
      faults.noReplyAfter = 0;
      faults.waitOnSilence = true;
    });
    gains = editor.open<GainController>("actionGains");
    auto* cancel = gains->findChild<QPushButton*>(QStringLiteral("gainCancelButton"));
    gains->doApplyAction();
    QVERIFY(cancel->isVisible() && !gains->sliders[0]->isEnabled());
    QTest::keyClick(gains, Qt::Key_Escape);
    QVERIFY(editor.waitForKeyboard());
    QVERIFY(gains->isVisible());
    QCOMPARE(editor.sim().gains()[0], 1);
    QVERIFY_SHOWN(editor, "gains-cancelled", gains);
  }
};

QTEST_MAIN(DialogsTest)
#include "DialogsTest.moc"
