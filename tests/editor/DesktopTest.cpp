// The window as a desktop program: its language follows the desktop's and
// then speaks only that one; its diagnostics go to a rotating log, not to
// standard error; Help tells what runs and where its files are.
#include <fmt/format.h>
#include <unistd.h>
#include <QGroupBox>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTreeWidget>

#include <cstdio>
#include <optional>

#include "editor/EditorLog.h"
#include "editor/GainController.h"
#include "editor/HistoryDialog.h"
#include "editor/KeyboardController.h"
#include "editor/Language.h"
#include "editor/MemorySlotsDialog.h"
#include "editor/PlayController.h"
#include "editor/Words.h"
#include "model/Log.h"
#include "padkbd/BuildConfig.h"
#include "protocol/PadAction.h"
#include "tests/editor/EditorHarness.h"

using namespace padkbd::test;
namespace fs = std::filesystem;
namespace ed = padkbd::editor;

namespace {

// Every text the window and the dialogs and panes it holds show: titles,
// labels, buttons, menus, items, list rows and headers, tooltips.
QStringList textsOf(QWidget* window) {
  QStringList texts;
  QList<QWidget*> widgets = window->findChildren<QWidget*>();
  for (QWidget* widget : widgets << window) {
    texts << widget->toolTip();
    if (widget->isWindow()) texts << widget->windowTitle();
    if (auto* label = qobject_cast<QLabel*>(widget)) texts << label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) texts << button->text();
    if (auto* box = qobject_cast<QGroupBox*>(widget)) texts << box->title();
    if (auto* menu = qobject_cast<QComboBox*>(widget)) texts << itemsOf(menu);
    if (auto* line = qobject_cast<QLineEdit*>(widget))
      texts << line->text() << line->placeholderText();
    if (auto* edit = qobject_cast<QPlainTextEdit*>(widget)) texts << edit->toPlainText();
    if (auto* list = qobject_cast<QListWidget*>(widget))
      for (int row = 0; row < list->count(); ++row) texts << list->item(row)->text();
    if (auto* tree = qobject_cast<QTreeWidget*>(widget)) {
      QList<QTreeWidgetItem*> rows{tree->headerItem()};
      for (int row = 0; row < tree->topLevelItemCount(); ++row) rows << tree->topLevelItem(row);
      for (const QTreeWidgetItem* item : rows)
        for (int column = 0; column < tree->columnCount(); ++column)
          texts << item->text(column) << item->toolTip(column);
    }
  }
  for (QAction* action : window->findChildren<QAction*>())
    texts << action->text() << action->toolTip();
  texts.removeAll(QString());
  return texts;
}

// The texts with an English word in them. Names pass (paths, files, the
// simulated keyboard's product name, notes, ports), and so do numbers and
// the words that are names of things.
QStringList withEnglish(const QStringList& texts) {
  static const QRegularExpression names(
      QStringLiteral("\\S*/\\S*|\\S+\\.(padkbd|txt|toml|sqlite)\\b|padkbd simulated controller"));
  static const QRegularExpression word(QStringLiteral("[A-Za-z]{2,}"));
  static const QStringList allowed{"padkbd", "USB",    "MIDI",     "ALSA",  "JACK",   "RtMidi",
                                   "Qt",     "libusb", "libplist", "NRPN",  "RPN",    "CC",
                                   "LSB",    "MSB",    "Ctrl",     "Shift", "Return", "Esc",
                                   "VID",    "PID",    "ID",       "udev"};
  QStringList found;
  for (const QString& text : texts) {
    QRegularExpressionMatchIterator words = word.globalMatch(QString(text).remove(names));
    while (words.hasNext()) {
      if (!allowed.contains(words.next().captured())) {
        found << text;
        break;
      }
    }
  }
  return found;
}

QStringList withChinese(const QStringList& texts) {
  static const QRegularExpression han(QStringLiteral("[\\x{3000}-\\x{9fff}\\x{ff00}-\\x{ffef}]"));
  return texts.filter(han);
}

}  // namespace

class DesktopTest : public QObject {
  Q_OBJECT

 private slots:
  // Each test leaves the texts as built, whatever language it used.
  void cleanup() { QVERIFY(ed::useLanguage(QStringLiteral("source"))); }

  // LANGUAGE first, then LC_ALL over LC_MESSAGES over LANG; the C locale
  // keeps the texts as built; no translation of the language: English.
  void languageFollowsTheDesktop() {
    const QStringList shipped{"en", "zh_CN"};
    // clang-format off
    const std::pair<ed::LocaleEnvironment, const char*> cases[] = {
        {{"", "", "", "en_US.UTF-8"}, "en"},           {{"", "", "", "zh_TW.UTF-8"}, "en"},
        {{"", "", "", "POSIX"}, "source"},             {{"", "", "", ""}, "source"},
        {{"zh_CN:en", "", "", "C"}, "source"},         {{"fr", "", "", "zh_CN.UTF-8"}, "zh_CN"},
        {{"de:zh:en", "", "", "en_GB.UTF-8"}, "zh_CN"}, {{"", "", "de_AT", "zh_CN.UTF-8"}, "en"},
        {{"", "zh_CN.UTF-8", "en_US.UTF-8", "en_US.UTF-8"}, "zh_CN"},
        {{"", "", "zh_CN.UTF-8@pinyin", "en_US.UTF-8"}, "zh_CN"}};
    // clang-format on
    for (const auto& [environment, language] : cases)
      QCOMPARE(ed::desktopLanguage(environment, shipped), QString::fromLatin1(language));
  }

  // In English every text is English, bulk mode and the lists included; in
  // Chinese every window speaks Chinese (below). A language not shipped is
  // refused.
  void oneLanguageAtATime() {
    QVERIFY(!ed::useLanguage(QStringLiteral("xx")));
    QVERIFY(ed::useLanguage(QStringLiteral("en")));
    {
      EditorHarness editor;
      QVERIFY(editor.send());
      QCOMPARE(editor.vc().messageWindow()->text(),
               QStringLiteral("Sent to the keyboard. Written to memory slot 1."));
      editor.click(1);  // Knob 1
      editor.choose("mode", 1);
      QCOMPARE(itemsOf(editor.menu("modeOption")),
               QStringList({"Absolute", "Relative #1", "Relative #2", "Relative #3"}));
      editor.action("actionMonitor")->trigger();
      editor.sim().turn(0, 3);
      QVERIFY(QTest::qWaitFor([&] { return !editor.window().play().lines().isEmpty(); }));
      QCOMPARE(withChinese(textsOf(&editor.window())), QStringList());
      editor.window().findChild<QAbstractButton*>(QStringLiteral("BulkButton"))->click();
      QVERIFY(editor.vc().session().inBulk());
      QCOMPARE(withChinese(textsOf(&editor.window())), QStringList());
    }
    QVERIFY(ed::useLanguage(QStringLiteral("zh_CN")));
  }

  // In Chinese every window, dialog and pane speaks Chinese after real use:
  // the main window, Memory Slots (a stopped send among them), History (a
  // note), Compare (an edit), the send confirmation (its details), Monitor
  // (a pad, a knob, a button), About, Keyboard (its devices), Gains (after
  // a send) and the message window.
  void everyWindowInChinese() {
    QVERIFY(ed::useLanguage(QStringLiteral("zh_CN")));
    // Times as a Chinese desktop writes them, the year only when not this one's.
    const padkbd::TextClock::time_point at(std::chrono::milliseconds(
        QDateTime(QDate(2025, 12, 7), QTime(10, 52)).toMSecsSinceEpoch()));
    QCOMPARE(ed::whenWords(at, at + std::chrono::hours(24 * 24)), "12月7日 10:52");
    QCOMPARE(ed::whenWords(at, at + std::chrono::hours(24 * 25)), "2025年12月7日 10:52");
    EditorHarness editor;
    auto& dialogs = editor.vc().dialogs;
    QStringList about;  // what the About box was given
    dialogs.showAbout = [&](QWidget*, const QString& title, const QString& text) {
      about << title << text;
    };
    dialogs.askText = [](QWidget*, const QString&, const QString&, const QString&) {
      return std::optional<QString>(QStringLiteral("音乐节之前"));
    };
    editor.sim().changeFaults([](auto& faults) { faults.writeFailureAfter = 200; });
    editor.choose("mem", 3);
    QVERIFY(editor.send());
    editor.sim().changeFaults([](auto& faults) { faults.writeFailureAfter.reset(); });
    editor.choose("mem", 2);
    QVERIFY(editor.send());
    editor.click(14);  // Pad 6
    editor.choose("cr", 5);
    QVERIFY(editor.send() && editor.sendQuestions.size() == 6);
    editor.choose("cr", 7);
    editor.open<ed::MemorySlotsDialog>("actionMemorySlots")->row(3).compare->click();
    auto* history = editor.open<ed::HistoryDialog>("actionHistory");
    history->entryList->setCurrentItem(history->entryList->topLevelItem(0));
    history->noteButton->click();
    QTRY_COMPARE(history->entryList->topLevelItem(0)->text(6), QStringLiteral("音乐节之前"));
    QVERIFY_SHOWN(editor, "history-in-chinese", history);
    editor.action("actionMonitor")->trigger();
    for (const int control : {8, 56}) editor.sim().press(control);
    editor.sim().turn(0, 3);
    QTRY_COMPARE(editor.window().play().lines().size(), 5);  // a pad on and off, a button, a knob
    QVERIFY_SHOWN(editor, "monitor-in-chinese", editor.part("monitorDock"));
    editor.action("actionAbout")->trigger();
    editor.open<ed::KeyboardController>("actionKeyboard");
    auto* gains = editor.open<ed::GainController>("actionGains");
    editor.part<QPushButton>("gainApplyButton")->click();
    QVERIFY(editor.waitForKeyboard() && editor.sendQuestions.size() == 6 &&
            editor.compared.size() == 3 && about.size() == 2);
    QVERIFY_SHOWN(editor, "gains-in-chinese", gains);
    const QStringList texts = textsOf(&editor.window())
                              << editor.sendQuestions << editor.compared << about;
    QCOMPARE(withEnglish(texts).join(QLatin1Char('\n')), QString());
  }

  // Diagnostics and Qt's messages go to the file at once, not to standard
  // error; the file turns over at its size and the newest are kept.
  void logRotatesAndStaysOffStandardError() {
    const padkbd::test::TempDir dir;
    const fs::path path = dir.path() / "state" / "editor.log";
    std::fflush(stderr);
    const fs::path errors = dir.path() / "stderr";
    const int saved = ::dup(2);
    std::FILE* redirected = std::freopen(errors.c_str(), "w", stderr);
    QVERIFY(redirected != nullptr);
    {
      const ed::EditorLog log(path, false, 4096);
      padkbd::log::diag("readversion %02x", 0x0a);
      padkbd::log::out("Wrote %d bytes to bulk endpoint\n", 15);
      qWarning("a font is missing");
      const std::string first = padkbd::test::readAll(path);  // each line reaches the file at once
      QVERIFY(first.find(" padkbd-editor " + std::string(padkbd::config::kVersion) +
                         " started\n") != std::string::npos);
      for (const char* line : {" readversion 0a\n", " Wrote 15 bytes to bulk endpoint\n",
                               " qt warning: a font is missing\n"})
        QVERIFY2(first.find(line) != std::string::npos, line);
      for (int n = 0; n < 800; ++n) padkbd::log::diag("line %d of many", n);
    }
    std::fflush(stderr);
    ::dup2(saved, 2);
    ::close(saved);
    QCOMPARE(padkbd::test::readAll(errors), std::string());
    // Turned over at the size asked for, the newest files kept.
    QCOMPARE(std::distance(fs::directory_iterator(path.parent_path()), {}),
             std::ptrdiff_t(ed::EditorLog::kFiles));
    QVERIFY(
        fs::file_size(path) <= 4096 &&
        fs::exists(path.parent_path() / fmt::format("editor.{}.log", ed::EditorLog::kFiles - 1)));

    // A folder that cannot be made: said, and nothing breaks.
    padkbd::test::writeAll(dir.path() / "file", "x");
    const ed::EditorLog broken(dir.path() / "file" / "editor.log", false);
    QVERIFY(broken.problem().starts_with("the log cannot be written to " +
                                         (dir.path() / "file" / "editor.log").string() + ": "));
    padkbd::log::diag("nowhere to go");
  }

  // A start (which reads), a read and a send keep the log small; Help → Detailed log adds every
  // exchange's lines, and is kept for the next start.
  void logKeepsTheEveningAndDetailOnRequest() {
    std::optional<ed::EditorLog> log;
    const auto lines = [&](const char* part) {
      return int(QString::fromStdString(padkbd::test::readAll(log->path())).count(part));
    };
    constexpr int kExchanges = padkbd::PadAction::kFullExchange;
    {
      EditorHarness editor([&](auto&) { log.emplace(ed::EditorLog::defaultPath(), false); });
      QAction* detailed = editor.action("actionDetailedLog");
      QVERIFY(!detailed->isChecked() && !padkbd::log::detailed());
      editor.action("actionRead")->trigger();
      QVERIFY(editor.waitForKeyboard() && editor.send());
      QVERIFY(fs::file_size(log->path()) <= ed::EditorLog::kStartSize);
      QVERIFY(lines(" handshake yes\n") == 3 && lines("bulk endpoint") == 0);
      detailed->trigger();
      QVERIFY(padkbd::SettingsFile().detailedLog() && padkbd::log::detailed());
      editor.action("actionRead")->trigger();
      QVERIFY(editor.waitForKeyboard());
      QCOMPARE(lines(" Wrote 15 bytes to bulk endpoint\n"), kExchanges);
      QCOMPARE(lines("\n\n"), 0);  // a line each, none empty
      QVERIFY(fs::file_size(log->path()) <= ed::EditorLog::kDetailedStartSize);
      detailed->trigger();
      QVERIFY(!padkbd::SettingsFile().detailedLog() && !padkbd::log::detailed());
      QVERIFY(editor.send());
      QCOMPARE(lines("bulk endpoint"), 2 * kExchanges + 2);  // handshake's included
    }
    log.reset();
    EditorHarness again([&](auto&) {
      QVERIFY(padkbd::SettingsFile().storeDetailedLog(true));
      log.emplace(ed::EditorLog::defaultPath(), false);
    });
    QVERIFY(again.action("actionDetailedLog")->isChecked() && padkbd::log::detailed());
    QVERIFY(lines(" Wrote 15 bytes to bulk endpoint\n") >= kExchanges);
  }

  // The program's window reaches the screen before its contents, which are
  // built when it is first shown; then it reads.
  void frameFirstThenContents() {
    EditorHarness editor;
    ed::MainWindowController window(editor.worker(), editor.files(), {}, padkbd::SettingsFile(),
                                    nullptr, ed::MainWindowController::Build::OnShow);
    QCOMPARE(window.findChild<QComboBox*>(QStringLiteral("mem")), nullptr);
    window.show();
    QVERIFY(QTest::qWaitFor([&] { return window.findChild<QComboBox*>("mem") != nullptr; }));
    QVERIFY(editor.waitForKeyboard());
    QCOMPARE(window.windowTitle(), editor.window().windowTitle());
    QCOMPARE(window.viewController().message->text(), QStringLiteral("从设备读取参数成功!"));
  }

  // About names the version and the folders; Open Log Folder
  // makes the folder and shows it, or says where it is.
  void aboutAndLogFolder() {
    EditorHarness editor;
    auto& dialogs = editor.vc().dialogs;
    QString title, text;
    dialogs.showAbout = [&](QWidget*, const QString& t, const QString& x) { title = t, text = x; };
    editor.action("actionAbout")->trigger();
    const QStringList lines = text.split(QLatin1Char('\n'));
    QCOMPARE(lines[0], QStringLiteral("padkbd %1").arg(padkbd::config::kVersion));
    const QString root = QString::fromStdString(editor.dir().path().string());
    QCOMPARE(lines.mid(5), QStringList({"Settings: " + root + "/config/padkbd/settings.toml",
                                        "Data: " + root + "/data/padkbd",
                                        "Log and history: " + root + "/state/padkbd"}));
    QStringList opened;
    bool opens = false;
    dialogs.openFolder = [&](const QString& folder) { return opened << folder, opens; };
    editor.action("actionOpenLogFolder")->trigger();
    opens = true;
    editor.action("actionOpenLogFolder")->trigger();
    QCOMPARE(opened, QStringList(2, root + "/state/padkbd"));
    QVERIFY(fs::is_directory(editor.dir().path() / "state" / "padkbd"));
    QCOMPARE(editor.problems, QStringList(1, "No file manager opened the folder. The log is in " +
                                                 root + "/state/padkbd."));
  }
};

QTEST_MAIN(DesktopTest)
#include "DesktopTest.moc"
