// The window's library: the Library pane (find, filter, open, compare, keep,
// import, add a folder) and the Set view (presets dropped onto slots, a set
// sent whole, cancelled part-way and sent again skipping what was written,
// and refused when a preset changed).
#include <QCheckBox>
#include <QDropEvent>
#include <QListView>
#include <QMimeData>
#include <QPushButton>

#include "editor/LibraryModel.h"
#include "editor/LibraryPane.h"
#include "editor/MemorySlotsDialog.h"
#include "editor/SetView.h"
#include "editor/Words.h"
#include "storage/Files.h"
#include "tests/editor/EditorHarness.h"

using namespace padkbd;
using namespace padkbd::editor;
using test::EditorHarness;
namespace fs = std::filesystem;

namespace {

// A preset document whose pads are all lit in red `red`, in `folder` as `name`.padkbd.
fs::path writePreset(EditorHarness& editor, const fs::path& folder, const std::string& name,
                     int red) {
  Preset preset = copyOf(editor.files().defaultPreset());
  for (int pad = kFirstPadControl; pad <= kLastPadControl; ++pad) {
    auto& record = *preset.buttons[static_cast<std::size_t>(pad)];
    std::tie(record.CR, record.CG, record.CB) = std::tuple(red, 0, 0);
  }
  fs::create_directories(folder);
  const fs::path file = folder / (name + ".padkbd");
  test::writeAll(file, presetToXml(preset.buttons, *preset.global));
  return file;
}

// What the grid shows, in order.
QStringList shown(LibraryPane& pane) {
  QStringList names;
  for (int row = 0; row < pane.model().rowCount(); ++row)
    names << pane.model().index(row).data().toString();
  return names;
}

bool look(LibraryPane& pane) {
  pane.look();
  return QTest::qWaitFor([&] { return pane.idle(); }, 20000);
}

}  // namespace

class LibraryTest : public QObject {
  Q_OBJECT

 private slots:
  // Each preset as the grid tells it (its marks, its tip, whether it can go
  // into a set), the newest first when sorted by date, and nothing past the last.
  void modelTellsEachPresetAndSortsByDate() {
    const auto preset = [](std::int64_t id, const std::string& name, int minute) {
      LibraryPreset made;
      std::tie(made.id, made.name, made.path) = std::tuple(id, name, "/l/" + name + ".padkbd");
      made.changed = LibraryClock::time_point(std::chrono::minutes(minute));
      return made;
    };
    LibraryPreset a = preset(1, "a", 2), b = preset(2, "b", 3), c = preset(3, "c", 1);
    std::tie(a.tags, a.notes, a.favourite, a.sameAs) = std::tuple(
        std::vector<std::string>{"live", "Show"}, "opener", true, std::vector<std::int64_t>{2});
    b.sameAs = {1};
    std::tie(c.refused, c.missing) = std::tuple(Text(TextId::Plain, {"damaged"}), true);
    LibraryModel model;
    const auto rows = [&](int role) {
      QStringList all;
      for (int row = 0; row <= model.rowCount(); ++row)
        all << model.index(row).data(role).toString();
      return all;
    };
    model.setPresets({a, b, c}, LibraryModel::Order::Name, {{1, "a"}, {2, "b"}});
    QCOMPARE(rows(Qt::DisplayRole), (QStringList{"★ a =", "b =", "c", ""}));
    model.setPresets({a, b, c}, LibraryModel::Order::Date, {{1, "a"}, {2, "b"}});
    QCOMPARE(rows(Qt::DisplayRole), (QStringList{"b =", "★ a =", "c", ""}));
    QCOMPARE(rows(Qt::ToolTipRole),
             (QStringList{"b\n/l/b.padkbd\nThe same preset as a",
                          "a\n/l/a.padkbd\nTags: live, Show\nopener\nThe same preset as b",
                          "c\n/l/c.padkbd\nDamaged.\nIts folder is not there now.", ""}));
    QVERIFY(model.flags(model.index(0)).testFlag(Qt::ItemIsDragEnabled));
    QCOMPARE(model.flags(model.index(2)), Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    QCOMPARE(model.flags(model.index(3)), Qt::NoItemFlags);
    QVERIFY(model.at(-1) == nullptr && model.at(3) == nullptr && model.at(2)->name == "c");
    QVERIFY(model.mimeData({}) == nullptr);
  }

  void paneFindsOpensComparesAndKeeps() {
    EditorHarness editor;
    LibraryPane& pane = editor.window().library();
    const fs::path own = Library::defaultFolder();
    const fs::path intro = writePreset(editor, own, "intro", 100);
    writePreset(editor, own, "drums", 20);
    fs::copy_file(intro, own / "intro-copy.padkbd");
    test::writeAll(own / "broken.padkbd", "<?xml version=\"1.0\"?><plist><dict>");
    QVERIFY(look(pane));
    QVERIFY_SHOWN(editor, "library-found", editor.part("libraryDock"));
    const LibraryPreset broken = *pane.model().at(0);  // a copy: the grid is filled anew
    QVERIFY(broken.refused);

    // Found by name; as a favourite; by tag and notes once kept with them.
    editor.part<QLineEdit>("librarySearch")->setText(QStringLiteral("dru"));
    QTRY_COMPARE(shown(pane), QStringList{"drums"});
    QCOMPARE(pane.count(), QStringLiteral("1 of 4 presets"));
    editor.part<QLineEdit>("librarySearch")->clear();
    QTRY_COMPARE(shown(pane).size(), 4);
    auto* grid = editor.part<QListView>("libraryGrid");
    grid->setCurrentIndex(pane.model().index(2));
    editor.part<QPushButton>("libraryFavourite")->click();
    editor.part<QCheckBox>("libraryFavourites")->setChecked(true);
    QTRY_COMPARE(shown(pane), QStringList{"★ intro ="});
    editor.part<QCheckBox>("libraryFavourites")->setChecked(false);
    std::optional<LibraryEntryAnswer> answer =
        LibraryEntryAnswer{"mine", " live, encore ,", "for the last song"};
    editor.vc().dialogs.askLibraryEntry = [&](QWidget*, const QString&) { return answer; };
    editor.click(14);  // Pad 6
    editor.choose("cr", 77);
    editor.action("actionSaveToLibrary")->trigger();
    QCOMPARE(pane.status(), QStringLiteral("Kept in the library as mine."));
    QCOMPARE(readPresetFile(own / "mine.padkbd")->global->mem, editor.vc().session().global()->mem);
    auto* tag = editor.part<QComboBox>("libraryTag");
    QTRY_COMPARE(test::itemsOf(tag), (QStringList{"All tags", "encore", "live"}));
    tag->setCurrentIndex(2);
    QTRY_COMPARE(shown(pane), QStringList{"mine"});
    QVERIFY_SHOWN(editor, "library-by-tag", editor.part("libraryDock"));
    tag->setCurrentIndex(0);
    // Kept again under that name with other contents, or under no name: refused.
    editor.choose("cr", 78);
    editor.action("actionSaveToLibrary")->trigger();
    QCOMPARE(pane.status(), QString::fromStdString((own / "mine.padkbd").string()) +
                                " is already in the library, with other contents.");
    for (const char* name : {" ", ".hidden", "a/b"}) {
      answer->name = QString::fromLatin1(name);
      editor.action("actionSaveToLibrary")->trigger();
      QCOMPARE(pane.status(), "A preset's name cannot be empty, start with a dot or hold a /.");
    }
    answer.reset();
    editor.action("actionSaveToLibrary")->trigger();  // cancelled: nothing said
    QCOMPARE(pane.status(), "A preset's name cannot be empty, start with a dot or hold a /.");

    // Opened by a double-click; compared with what is shown.
    QTRY_COMPARE(shown(pane).size(), 5);
    emit grid->doubleClicked(pane.model().index(2));
    QCOMPARE(pane.status(), "Opened intro in the window; Undo brings back what was there.");
    QCOMPARE(editor.record(13)->CR, 100);
    grid->setCurrentIndex(pane.model().index(1));
    editor.part<QPushButton>("libraryCompare")->click();
    // The 48 pads' red; the lines themselves: DialogsTest::memorySlotsAndHistory.
    QCOMPARE(
        editor.compared.mid(0, 2),
        (QStringList{"Compare drums",
                     "48 settings differ between drums and the preset shown (drums → shown)."}));
    grid->setCurrentIndex(pane.model().index(0));
    QVERIFY(!editor.part<QPushButton>("libraryOpen")->isEnabled());
    emit grid->doubleClicked(pane.model().index(0));  // no preset: said, nothing opened
    QCOMPARE(pane.status(), sentence(*broken.refused));

    // Imported files and an added folder join the library; a damaged one is told.
    const fs::path elsewhere = editor.dir() / "elsewhere";
    const QString outside = QString::fromStdString(writePreset(editor, elsewhere, "ballad", 5));
    test::writeAll(elsewhere / "junk.padkbd", "junk");
    editor.vc().dialogs.chooseDocuments = [&](QWidget*) {
      return QStringList{outside, QString::fromStdString((elsewhere / "junk.padkbd").string())};
    };
    editor.part<QPushButton>("libraryImport")->click();
    QCOMPARE(pane.status(), QStringLiteral("1 presets imported."));
    QVERIFY(fs::exists(own / "ballad.padkbd") && editor.problems.size() == 1);
    QTRY_VERIFY(pane.idle() && shown(pane).contains("ballad"));  // in the grid at once
    const fs::path shared = editor.dir() / "shared";
    writePreset(editor, shared, "encore", 60);
    editor.answerFiles(shared);
    editor.part<QPushButton>("libraryAddFolder")->click();
    QTRY_VERIFY(pane.idle() && shown(pane).contains("encore"));
    QCOMPARE(SettingsFile().libraryFolders(), std::vector<fs::path>{shared});
    editor.part<QPushButton>("libraryAddFolder")->click();
    QVERIFY_SHOWN(editor, "library-grown", editor.part("libraryDock"));
    fs::remove_all(shared);  // a folder gone: its presets stay, told as missing
    QVERIFY(look(editor.window().library()));
    QVERIFY_SHOWN(editor, "library-folder-gone", editor.part("libraryDock"));
    // Widened, the grid lays its presets out again: from several rows to one.
    QVERIFY(editor.showActive());
    const int last = pane.model().rowCount() - 1;
    const auto top = [&](int row) { return grid->visualRect(pane.model().index(row)).top(); };
    QVERIFY(top(last) > top(0));
    grid->resize((last + 2) * grid->gridSize().width(), grid->height());
    QTRY_COMPARE(top(last), top(0));
  }

  // An empty set is not sent; a set file is saved and opened again, and one
  // that cannot be written or read is told, the set in the view kept.
  void setFilesAreSavedOpenedAndRefusedWithWhy() {
    EditorHarness editor;
    SetView& set = editor.window().setView();
    set.toggleAction()->trigger();
    QVERIFY(editor.showActive());
    set.sendAction();
    QCOMPARE(set.status(), "The set is empty: drop presets from the library onto its rows.");
    writePreset(editor, Library::defaultFolder(), "p1", 10);
    QVERIFY(look(editor.window().library()) && set.fill(2, "p1"));
    QString path;
    editor.vc().dialogs.saveSetPath =
        editor.vc().dialogs.openSetPath = [&](QWidget*) { return path; };
    const fs::path folder = Library::defaultFolder();
    for (const fs::path& where : {fs::path(), folder, folder / "live.padkbdset"}) {
      path = QString::fromStdString(where.string());
      editor.part<QPushButton>("setSave")->click();
    }
    const QString library = QString::fromStdString(folder.string());
    QCOMPARE(editor.problems, QStringList{"Could not write " + library + ": Is a directory."});
    QCOMPARE(set.status(), "Saved as live.padkbdset.");
    set.clear(2);
    for (const fs::path& where : {fs::path(), folder / "p1.padkbd", folder / "live.padkbdset"}) {
      path = QString::fromStdString(where.string());
      editor.part<QPushButton>("setOpen")->click();
    }
    QCOMPARE(editor.problems.size(), 2);
    QCOMPARE(
        editor.problems.last(),
        library + "/p1.padkbd is not a set of presets: line 1: expected \"padkbdset 1\" first.");
    QTRY_COMPARE(set.rows()->topLevelItem(1)->text(1), QStringLiteral("p1"));
    QVERIFY_SHOWN(editor, "set-opened");
    fs::remove(folder / "p1.padkbd");  // a preset the set names, gone from the library
    QVERIFY(look(editor.window().library()));
    QTRY_COMPARE(set.rows()->topLevelItem(1)->text(1), "p1.padkbd (not in the library)");
  }

  void setsAreDroppedTogetherAndSentInOneGo() {
    EditorHarness editor;
    LibraryPane& pane = editor.window().library();
    SetView& set = editor.window().setView();
    set.toggleAction()->trigger();
    QVERIFY(editor.showActive());
    const fs::path own = Library::defaultFolder();
    const std::pair<int, int> presets[] = {{1, 10}, {3, 30}, {5, 50}};
    for (const auto& [slot, red] : presets)
      writePreset(editor, own, "p" + std::to_string(slot), red);
    QVERIFY(look(pane));
    // Dropped from the grid onto the first row; the others filled and one cleared.
    QMimeData* dragged = pane.model().mimeData({pane.model().index(0)});
    const QPoint row1 = set.rows()->visualItemRect(set.rows()->topLevelItem(0)).center();
    QDragEnterEvent enter(row1, Qt::CopyAction, dragged, Qt::LeftButton, Qt::NoModifier);
    QDragMoveEvent move(row1, Qt::CopyAction, dragged, Qt::LeftButton, Qt::NoModifier);
    QDropEvent drop(row1, Qt::CopyAction, dragged, Qt::LeftButton, Qt::NoModifier);
    for (QEvent* event : std::initializer_list<QEvent*>{&enter, &move, &drop})
      QApplication::sendEvent(set.rows()->viewport(), event);
    delete dragged;
    QVERIFY(set.fill(3, "p3") && set.fill(9, "p5") && !set.fill(4, "missing"));
    set.clear(9);
    QVERIFY(set.fill(5, "p5"));
    QCOMPARE(set.set().filled[0].path, fs::path("p1.padkbd"));
    QTRY_COMPARE(set.rows()->topLevelItem(2)->text(1), QStringLiteral("p3"));

    std::optional<bool> skip;
    QStringList skipAsked;
    editor.vc().dialogs.askSkipWritten = [&](QWidget*, const QString& text) {
      skipAsked << text;
      return skip;
    };
    // Cancelled in its third slot (Memory 5): Memory 1 and 3 are written whole.
    editor.sim().changeFaults([](auto& faults) { faults.pace = std::chrono::microseconds(200); });
    bool cancel = true;
    QObject::connect(&editor.worker(), &DeviceWorker::setProgress, &set, [&](const SetProgress& p) {
      if (p.index == 3 && p.done == 20 && std::exchange(cancel, false)) editor.worker().cancel();
    });
    set.sendAction();
    QVERIFY(editor.waitForKeyboard(60));
    // One line of details for each slot (their words: ActionsTest, HistoryTest).
    QCOMPARE(editor.sendQuestions[0], "Send the new set to 3 memory slots?");
    QCOMPARE(editor.sendQuestions[1].count(QStringLiteral("\nMemory ")), 2);
    QVERIFY(set.status().startsWith("Sending the set was cancelled. Memory 5 got 2") &&
            set.status().endsWith(
                " settings and holds a mix of old and new. Written whole: Memory 1, Memory 3; "
                "sending the set again offers to skip them."));
    // Sent again: asked whether to skip the two; skipped, only Memory 5 is written.
    skip = true;
    editor.sim().resetCounters();
    set.sendAction();
    QVERIFY(editor.waitForKeyboard(60));
    QCOMPARE(skipAsked, QStringList{"Memory 1, Memory 3 already hold their presets of this set, "
                                    "written whole. Skip them?"});
    QCOMPARE(set.status(), "The set was sent: Memory 5. Skipped: Memory 1, Memory 3.");
    QCOMPARE(editor.sim().writeCount(), PadAction::kFullExchange);
    // All written whole: nothing to skip, nothing asked.
    set.sendAction();
    QVERIFY(editor.waitForKeyboard(60));
    QCOMPARE(skipAsked.size(), 1);
    QVERIFY_SHOWN(editor, "set-sent");
    // The window's own sends are followed as before.
    int told = 0;
    QObject::connect(&editor.worker(), &DeviceWorker::progress, &set, [&] { ++told; });
    QVERIFY(editor.send() && told > PadAction::kFullExchange);

    // A preset changed since the set named it: told, and nothing is sent.
    writePreset(editor, own, "p3", 31);
    set.sendAction();
    QVERIFY(editor.waitForKeyboard());
    QVERIFY_SHOWN(editor, "set-refused-changed");  // "Nothing was sent."
    QVERIFY(editor.problems.last().startsWith(
        "Nothing was sent: the set names presets that changed or are gone since it was made.\n\n"
        "Memory 3: "));

    // What a slot holds, kept in the library from Memory Slots.
    editor.vc().dialogs.askLibraryEntry = [](QWidget*, const QString& name) {
      return std::optional<LibraryEntryAnswer>({name + "-kept", "", ""});
    };
    auto* memory = editor.open<MemorySlotsDialog>("actionMemorySlots");
    memory->row(5).keep->click();
    QCOMPARE(readPresetFile(own / "p5-kept.padkbd")->buttons[kFirstPadControl]->CR, 50);
    QVERIFY_SHOWN(editor, "memory-slots-kept", memory);
  }
};

QTEST_MAIN(LibraryTest)
#include "LibraryTest.moc"
