// The preset library against real folders and a real SQLite index: what a
// look finds as files come, change, move and go; marks, search and
// duplicates; hostile files and folders; two programs at once; a damaged
// index; and sets of nine, sent to the simulated keyboard.
#include <fmt/format.h>
#include <fmt/ranges.h>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "keyboard/SetSend.h"
#include "library/PresetSet.h"
#include "model/Fields.h"
#include "sim/SimulatedController.h"
#include "tests/storage/StorageFixtures.h"

namespace padkbd {
namespace {

namespace fs = std::filesystem;

// A preset told apart by the red of its first pad.
void writePreset(const fs::path& path, int red) {
  fs::create_directories(path.parent_path());
  Preset preset = test::samplePreset();
  preset.buttons[8]->CR = red;
  test::writeAll(path, presetToXml(preset.buttons, *preset.global));
}

// What the index holds: the library's list as a value.
std::vector<LibraryPreset> listed(Library& library, const LibraryFilter& filter = {}) {
  Result<std::vector<LibraryPreset>> presets = library.list(filter);
  EXPECT_TRUE(presets) << presets.message();
  return presets ? std::move(*presets) : std::vector<LibraryPreset>();
}

// A file's time moved on, as an editor saving it a second later leaves it.
void touchLater(const fs::path& path) {
  fs::last_write_time(path, fs::last_write_time(path) + std::chrono::seconds(2));
}

class LibraryTest : public ::testing::Test {
 protected:
  Library open() { return Library(dir_ / "library.sqlite", {own_, shared_}); }
  // Everything listed, a line each: its path in its folder, its first pad's red, its tags, and
  // whether its folder is missing.
  std::string seen(Library& library) {
    std::string all;
    for (const LibraryPreset& p : listed(library)) {
      all += fmt::format("{} {} [{}]{}\n", p.relative().string(), p.pads[0].red,
                         fmt::join(p.tags, ", "), p.missing ? " missing" : "");
    }
    return all;
  }
  ScanReport scan(Library& library) {
    const Result<ScanReport> report = library.scan();
    EXPECT_TRUE(report) << report.message();
    return report ? *report : ScanReport{};
  }

  test::TempDir dir_;
  fs::path own_ = dir_ / "library";
  fs::path shared_ = dir_ / "shared";
};

TEST_F(LibraryTest, AFileKeepsItsMarksWhenRenamedMovedOrChangedAndOnlyTheIndexIsLost) {
  writePreset(own_ / "intro.padkbd", 1);
  writePreset(own_ / "drums.padkbd", 2);
  writePreset(shared_ / "keys.padkbd", 3);
  // (A first look's counts: HostileFilesAreListedWithWhyAndNeverStopTheLook.)
  Library library = open();
  scan(library);
  const LibraryPreset intro = *library.find("intro");
  ASSERT_TRUE(library.mark(intro.id, {{"Live", "show"}, {}, "opens the set", true}));

  struct Step {
    const char* what;
    int indexed, moved, removed;
    std::size_t missingFolders;
    const char* after;
    std::function<void()> change;
  };
  // (A look with no file changed: "and back", and
  // TwoProgramsLookAtOnceAndAStopLeavesTheIndexWhole.)
  const Step steps[] = {
      {"renamed", 1, 1, 0, 0, "drums.padkbd 2 []\nkeys.padkbd 3 []\nopener.padkbd 1 [Live, show]\n",
       [&] { fs::rename(own_ / "intro.padkbd", own_ / "opener.padkbd"); }},
      {"moved to another folder", 1, 1, 0, 0,
       "drums.padkbd 2 []\nkeys.padkbd 3 []\nlive/opener.padkbd 1 [Live, show]\n",
       [&] {
         fs::create_directories(shared_ / "live");
         fs::rename(own_ / "opener.padkbd", shared_ / "live/opener.padkbd");
       }},
      {"changed outside padkbd", 1, 0, 0, 0,
       "drums.padkbd 2 []\nkeys.padkbd 3 []\nlive/opener.padkbd 9 [Live, show]\n",
       [&] {
         writePreset(shared_ / "live/opener.padkbd", 9);
         touchLater(shared_ / "live/opener.padkbd");
       }},
      {"deleted", 0, 0, 1, 0, "keys.padkbd 3 []\nlive/opener.padkbd 9 [Live, show]\n",
       [&] { fs::remove(own_ / "drums.padkbd"); }},
      {"the shared folder unplugged", 0, 0, 0, 1,
       "keys.padkbd 3 [] missing\nlive/opener.padkbd 9 [Live, show] missing\n",
       [&] { fs::rename(shared_, dir_ / "away"); }},
      {"and back", 0, 0, 0, 0, "keys.padkbd 3 []\nlive/opener.padkbd 9 [Live, show]\n",
       [&] { fs::rename(dir_ / "away", shared_); }},
  };
  for (const Step& step : steps) {
    step.change();
    const ScanReport report = scan(library);
    EXPECT_EQ(
        std::make_tuple(report.indexed, report.moved, report.removed, report.missingFolders.size()),
        std::make_tuple(step.indexed, step.moved, step.removed, step.missingFolders))
        << step.what;
    EXPECT_EQ(seen(library), step.after) << step.what;
  }
  const LibraryPreset opener = *library.find("opener");
  EXPECT_EQ(std::make_tuple(opener.id, opener.notes, opener.favourite),
            std::make_tuple(intro.id, std::string("opens the set"), true));

  // Without its index the library is all there, without marks.
  fs::remove(dir_ / "library.sqlite");
  Library anew = open();
  scan(anew);
  EXPECT_EQ(seen(anew), "keys.padkbd 3 []\nlive/opener.padkbd 9 []\n");
}

TEST_F(LibraryTest, TagsFavouritesAndSearchFindTheirPresetsAndIdenticalOnesAreShown) {
  for (const auto& [name, red] :
       {std::pair{"intro", 1}, {"Intro Jazz", 2}, {"bass line", 3}, {"copy of bass", 3}}) {
    writePreset(own_ / (std::string(name) + ".padkbd"), red);
  }
  Library library = open();
  scan(library);
  const auto id = [&](const char* name) { return library.find(name)->id; };
  ASSERT_TRUE(library.mark(id("intro"), {{"live", "Drums"}, {}, "for the festival", true}));
  ASSERT_TRUE(library.mark(id("bass line"), {{"LIVE"}, {}, std::nullopt, std::nullopt}));
  // Tags compare without case; removing one that is not there changes nothing.
  ASSERT_TRUE(library.mark(id("intro"), {{"Live"}, {"drums", "none"}, std::nullopt, std::nullopt}));
  const auto names = [&](LibraryFilter filter) {
    std::vector<std::string> found;
    for (const LibraryPreset& p : listed(library, filter)) found.push_back(p.name);
    return found;
  };
  using Names = std::vector<std::string>;
  // Tag, search words, favourites only: the names found. (A tag and the start of a name together:
  // LibraryCli's "library list --tag show --search dru".)
  const std::tuple<std::string, std::string, bool, Names> cases[] = {
      {"", "", false, {"bass line", "copy of bass", "intro", "Intro Jazz"}},
      {"live", "", false, {"bass line", "intro"}},
      {"Drums", "", false, {}},
      {"", "", true, {"intro"}},
      {"", "jazz intro", false, {"Intro Jazz"}},
      {"", "festiv", false, {"intro"}},
      {"", "LIVE bass", false, {"bass line"}},
      {"", "\"quoted\" *", false, {}},
  };
  for (const auto& [tag, search, favourites, expected] : cases) {
    EXPECT_EQ(names({.tag = tag, .search = search, .favourites = favourites}), expected)
        << tag << "|" << search;
  }
  const LibraryPreset bass = *library.find("bass line");
  EXPECT_EQ(bass.tags, (std::vector<std::string>{"LIVE"}));
  EXPECT_EQ(bass.sameAs, std::vector<std::int64_t>{id("copy of bass")});
  EXPECT_EQ(library.mark(id("intro"), {{"+live"}, {}, {}, {}}).code(), Code::Usage);
  EXPECT_EQ(library.mark(9999, {{"x"}, {}, {}, {}}).code(), Code::LibraryNoPreset);

  const std::string longest(64, 't');
  const std::pair<std::string, std::optional<std::string>> tags[] = {
      {"  live ", "live"},    {"a b", "a b"},       {"", std::nullopt},
      {"-x", std::nullopt},   {"+x", std::nullopt}, {"a,b", std::nullopt},
      {"a\nb", std::nullopt}, {longest, longest},   {longest + "t", std::nullopt}};
  for (const auto& [given, clean] : tags) EXPECT_EQ(cleanTag(given), clean) << given;
}

TEST_F(LibraryTest, NamesPathsAndCopiesInNeverReplaceAnotherFile) {
  writePreset(own_ / "intro.padkbd", 1);
  writePreset(shared_ / "live/intro.padkbd", 2);
  writePreset(shared_ / "keys.padkbd", 3);
  Library library = open();
  scan(library);
  // (Found by its name: each test here.)
  EXPECT_EQ(library.find("live/intro")->pads[0].red, 2);
  EXPECT_EQ(library.find("intro.padkbd")->pads[0].red, 1);
  EXPECT_EQ(library.find((shared_ / "live/intro.padkbd").string())->pads[0].red, 2);
  const Result<LibraryPreset> both = library.find("intro");
  EXPECT_EQ(both.code(), Code::LibraryAmbiguous);
  EXPECT_EQ(both.message(), "\"intro\" names more than one preset of the library: " +
                                (own_ / "intro.padkbd").string() + ", " +
                                (shared_ / "live/intro.padkbd").string());
  // (A name that is not there, in its words: LibraryCli's "library show intor".)
  EXPECT_EQ(*library.names(), (std::vector<std::string>{"intro", "keys"}));

  writePreset(dir_ / "in/new.padkbd", 4);
  writePreset(dir_ / "other/new.padkbd", 5);
  test::writeAll(dir_ / "in/notes.padkbd", "not a preset");
  const Result<LibraryPreset> added = library.add(dir_ / "in/new.padkbd");
  ASSERT_TRUE(added) << added.message();
  EXPECT_EQ(std::make_pair(added->path, added->pads[0].red),
            std::make_pair(own_ / "new.padkbd", 4));
  EXPECT_EQ(library.add(dir_ / "in/new.padkbd")->id, added->id);  // the same file again
  const std::string before = test::readAll(own_ / "new.padkbd");
  EXPECT_EQ(library.add(dir_ / "other/new.padkbd").code(), Code::LibraryExists);
  EXPECT_EQ(library.add(dir_ / "in/notes.padkbd").code(), Code::FileDamaged);
  EXPECT_EQ(test::readAll(own_ / "new.padkbd"), before);
  EXPECT_FALSE(fs::exists(own_ / "notes.padkbd"));
  // A document saved into the library by name: a name, never a path.
  const std::string bytes = test::readAll(dir_ / "other/new.padkbd");
  EXPECT_EQ(library.add(bytes, "saved.padkbd")->pads[0].red, 5);
  for (const char* name : {"../up.padkbd", "sub/x.padkbd", ".hidden", ""})
    EXPECT_EQ(library.add(bytes, name).code(), Code::FileUnwritable) << name;
}

TEST_F(LibraryTest, HostileFilesAreListedWithWhyAndNeverStopTheLook) {
  writePreset(own_ / "good.padkbd", 1);
  test::writeAll(own_ / "damaged.padkbd", test::readAll(own_ / "good.padkbd").substr(0, 500));
  test::writeAll(own_ / "readme.txt", "my presets\n");
  test::writeAll(own_ / "empty.padkbd", "");
  test::writeAll(own_ / "huge.padkbd", "x");
  fs::resize_file(own_ / "huge.padkbd", 64 << 20);
  ASSERT_EQ(::mkfifo((own_ / "pipe.padkbd").c_str(), 0600), 0);
  test::writeAll(own_ / ".hidden.padkbd", "ignored");
  test::writeAll(own_ / "tonight.padkbdset", "ignored");
  ::symlink("nowhere", (own_ / "dangling.padkbd").c_str());
  // Links are followed to files only.
  ::symlink("/dev/null", (own_ / "null.padkbd").c_str());
  ::symlink((own_ / "good.padkbd").c_str(), (own_ / "linked.padkbd").c_str());
  Library library = open();
  const ScanReport report = scan(library);
  EXPECT_EQ(std::make_tuple(report.files, report.indexed, report.refused),
            std::make_tuple(7, 7, 5));
  std::string why;
  for (const LibraryPreset& p : listed(library)) {
    why += p.name + " " +
           (p.refused ? std::string(codeName(Outcome::failure(*p.refused).code())) : "ok") + "\n";
  }
  EXPECT_EQ(why,
            "damaged file-damaged\nempty file-damaged\ngood ok\nhuge file-too-large\nlinked ok\n"
            "pipe file-unreadable\nreadme file-damaged\n");
  // The reason comes back in the catalogue's words, each face wording it.
  EXPECT_EQ(english(*library.find("huge")->refused),
            english(readFileLimited(own_ / "huge.padkbd").outcome().text()));
  LibraryFilter presetsOnly;
  presetsOnly.refused = false;
  EXPECT_EQ(library.list(presetsOnly)->size(), 2u);
  // A folder added inside another: its files count once, in the outer one.
  writePreset(own_ / "inner/deep.padkbd", 5);
  Library nested(dir_ / "nested.sqlite", {own_, own_ / "inner"});
  EXPECT_EQ(scan(nested).files, 8);
  EXPECT_EQ(nested.find("deep")->folder, own_);
}

TEST_F(LibraryTest, TwoProgramsLookAtOnceAndAStopLeavesTheIndexWhole) {
  for (int i = 0; i < 300; ++i) writePreset(own_ / fmt::format("p{:03}.padkbd", i), i % 128);
  // Two programs, each with a connection of its own, look at the same time.
  std::vector<pid_t> programs;
  for (int n = 0; n < 2; ++n) {
    if (const pid_t pid = ::fork(); pid == 0) {
      Library own = open();
      ::_exit(own.scan() ? 0 : 1);
    } else {
      programs.push_back(pid);
    }
  }
  for (const pid_t pid : programs) {
    int status = -1;
    ::waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  }
  Library library = open();
  EXPECT_EQ(library.list()->size(), 300u);
  // Among many, identical ones found all at once: p000, p128 and p256 have the same red.
  EXPECT_EQ(library.find("p000")->sameAs,
            (std::vector<std::int64_t>{library.find("p128")->id, library.find("p256")->id}));
  EXPECT_EQ(scan(library).indexed, 0);

  // A stop part-way keeps what was read; the next look ends the work.
  fs::remove(dir_ / "library.sqlite");
  Library stopped = open();
  std::atomic<bool> cancel{false};
  const auto told = [&](const ScanProgress& p) { cancel = p.done == Library::kBatch + 3; };
  EXPECT_TRUE(stopped.scan(&cancel, told).wasCancelled());
  EXPECT_EQ(stopped.list()->size(), std::size_t(Library::kBatch + 3));
  EXPECT_EQ(scan(stopped).indexed, 300 - Library::kBatch - 3);
}

// Runs `sql` on the index as another program would.
void execute(const fs::path& path, const char* sql) {
  sqlite3* db = nullptr;
  sqlite3_open(path.c_str(), &db);
  sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
  sqlite3_close(db);
}

TEST_F(LibraryTest, ADamagedIndexIsSetAsideAndMadeAnewAndANewerOneLeftAlone) {
  writePreset(own_ / "intro.padkbd", 1);
  const fs::path index = dir_ / "library.sqlite";
  const std::function<void()> damage[] = {
      [&] { test::writeAll(index, "not a database at all"); },
      [&] { execute(index, "CREATE TABLE mine(x)"); },  // another program's database
  };
  for (std::size_t n = 0; n < std::size(damage); ++n) {
    fs::remove(index);
    damage[n]();
    Library library = open();
    scan(library);
    EXPECT_EQ(library.list()->size(), 1u) << n;
    EXPECT_EQ(library.takeNotice().value_or(Text()).id, TextId::LibraryDamagedMoved) << n;
    EXPECT_FALSE(library.takeNotice());
  }
  int aside = 0;
  for (const auto& entry : fs::directory_iterator(dir_.path()))
    aside += entry.path().filename().string().starts_with("library.sqlite.damaged-");
  EXPECT_EQ(aside, 2);

  // A refusal in words this padkbd does not know, or with values of the wrong
  // kind, is kept as it was said.
  const std::string known = catalogueEntry(TextId::CouldNotWrite).pattern;
  const std::pair<std::string, std::string> stored[] = {{"gone %1", "[]"},
                                                        {known, R"([{"s": "f"}, {"n": "x"}])"},
                                                        {known, R"([{"s": 1}, {"s": "why"}])"},
                                                        {known, R"([{"t": 1.5}, {}])"}};
  for (const auto& [pattern, args] : stored) {
    const std::string json = R"({"p": ")" + pattern + R"(", "e": "old words", "a": )" + args + "}";
    execute(index, ("UPDATE presets SET refused = '" + json + "'").c_str());
    EXPECT_EQ(english(*open().find("intro")->refused), "old words") << json;
  }
  // A newer padkbd's index is neither read nor changed.
  execute(index, "PRAGMA user_version = 99");
  const std::string before = test::readAll(index);
  Library library = open();
  EXPECT_EQ(library.scan().message(), "the library's index " + index.string() +
                                          " was written by a newer padkbd, which this one does "
                                          "not write to");
  EXPECT_EQ(library.list().code(), Code::LibraryFailed);
  EXPECT_EQ(test::readAll(index), before);
}

TEST(PresetSetText, SetsRoundTripAndEveryBadLineIsNamed) {
  const std::string hash(32, 'a'), one = "padkbdset 1\nslot 1 ";
  const PresetSet set{{{1, hash, "live/intro.padkbd"}, {9, std::string(32, '0'), "my set.padkbd"}}};
  EXPECT_EQ(*parseSet(setText(set)), set);
  EXPECT_EQ(*parseSet("# tonight\r\npadkbdset 1\r\n\n  slot 9 " + std::string(32, '0') +
                      " my set.padkbd\nslot 1 " + hash + " live/intro.padkbd\n"),
            set);
  const std::pair<std::string, std::string> bad[] = {
      {"", "expected \"padkbdset 1\" first"},
      {"padkbdset 2\n", "line 1: expected \"padkbdset 1\" first"},
      {"padkbdset 1\n", "it fills no memory slot"},
      {"padkbdset 1\nslot 0 " + hash + " a\n", "line 2: the memory slot must be 1 to 9"},
      {"padkbdset 1\nslot 10 " + hash + " a\n", "line 2: expected \"slot N HASH PATH\""},
      {one + hash + "\n", "line 2: expected \"slot N HASH PATH\""},
      {one + std::string(32, 'A') + " a\n", "line 2: the hash must be 32 hexadecimal digits"},
      {one + hash.substr(1) + " a\n", "line 2: the hash must be 32 hexadecimal digits"},
      {one + hash + " /etc/passwd\n", "line 2: the path must be relative, inside a library folder"},
      {one + hash + " a/../../b\n", "line 2: the path must be relative, inside a library folder"},
      {one + hash + " a\nslot 1 " + hash + " b\n", "line 3: memory 1 is named twice"},
      {std::string("padkbdset 1\n\0", 13), "line 2: contains a NUL byte"},
  };
  for (const auto& [text, why] : bad) EXPECT_EQ(parseSet(text).message(), why) << text;
}

// A set of three sent to the simulated keyboard: whole, stopped after its
// second slot and sent again without the slots written, and refused whole
// when a preset changed since the set named it.
class SetSendTest : public LibraryTest {
 protected:
  SetSendTest() {
    ReachOptions standIn;
    standIn.standIn = &sim_;
    reach_ = std::make_unique<Reach>(standIn, builtInKeyboard());
    service_ = std::make_unique<KeyboardService>(*reach_, *reach_, fs::path(), &history_);
    service_->setCancelFlag(&cancel_);
  }
  std::vector<SetSlotPlan> plan() {
    const Result<std::vector<SetSlotPlan>> planned =
        planSet(library_, set_, *history_.slotStates(service_->historyKey()), {});
    EXPECT_TRUE(planned) << planned.message();
    return *planned;
  }
  std::vector<int> writtenSlots(const std::vector<SetSlotPlan>& plan) {
    std::vector<int> slots;
    for (const SetSlotPlan& slot : plan)
      if (slot.written) slots.push_back(slot.named.slot);
    return slots;
  }

  SimulatedController sim_;
  History history_{dir_ / "history.sqlite"};
  std::unique_ptr<Reach> reach_;
  std::unique_ptr<KeyboardService> service_;
  std::atomic<bool> cancel_{false};
  Library library_ = open();
  PresetSet set_;
};

TEST_F(SetSendTest, ASetIsSentWholeStoppedResumedAndRefusedWhenAPresetChanged) {
  writePreset(own_ / "intro.padkbd", 1);
  writePreset(own_ / "drums.padkbd", 2);
  writePreset(shared_ / "keys.padkbd", 3);
  scan(library_);
  const Result<PresetSet> made = makeSet(library_, {{4, "keys"}, {1, "intro"}, {2, "drums"}});
  ASSERT_TRUE(made) << made.message();
  set_ = *made;
  // (A slot named twice: the tool's "set make", LibraryCli. What each slot names: where each
  // preset lands, below.)

  std::vector<std::string> told;
  const auto progress = [&](const SetProgress& p) {
    if (p.done == 1) told.push_back(english(progressText(p)));
    cancel_ = p.index == 3 && p.done == 200;
  };
  const int all = exchangeCount();
  SetSendResult sent = sendSet(*service_, plan(), {}, "tonight.padkbdset", progress);
  EXPECT_TRUE(sent.outcome.wasCancelled()) << sent.outcome.message();
  EXPECT_EQ(std::make_tuple(sent.written, sent.stoppedAt, sent.stoppedWritten),
            std::make_tuple(std::vector<int>{1, 2}, std::optional<int>(4), 200));
  const std::string n = std::to_string(all);
  EXPECT_EQ(told,
            (std::vector<std::string>{"Memory 1 of 3 · 1 of " + n, "Memory 2 of 3 · 1 of " + n,
                                      "Memory 3 of 3 · 1 of " + n}));
  // (Each send kept as sent or stopped: KeyboardServiceTest; those written whole: just below.)
  EXPECT_EQ(history_.list()->back().source, "tonight.padkbdset: intro.padkbd");

  // Sent again: the two written whole are known as such and skipped.
  cancel_ = false;
  const std::vector<SetSlotPlan> again = plan();
  EXPECT_EQ(writtenSlots(again), (std::vector<int>{1, 2}));
  sent = sendSet(*service_, again, writtenSlots(again), "tonight.padkbdset");
  EXPECT_TRUE(sent.outcome) << sent.outcome.message();
  EXPECT_EQ(sent.written, std::vector<int>{4});
  for (int slot : {1, 2, 4})
    EXPECT_EQ(sim_.controlInSlot(slot - 1, 8).CR, slot == 4 ? 3 : slot) << slot;

  // A slot holding another preset is not written: what changes is said.
  const PresetSet whole = set_;
  set_ = *makeSet(library_, {{1, "drums"}});
  const std::vector<SetSlotPlan> other = plan();
  EXPECT_EQ(std::make_pair(other[0].preview.changes.size(), other[0].written),
            std::make_pair(std::size_t{1}, false));
  set_ = whole;

  // A preset changed since: told, and nothing at all is sent.
  writePreset(own_ / "drums.padkbd", 7);
  touchLater(own_ / "drums.padkbd");
  fs::rename(shared_ / "keys.padkbd", shared_ / "gone.txt");
  test::writeAll(shared_ / "gone.txt", "changed too");
  scan(library_);
  const std::vector<SetSlotPlan> changed = plan();
  EXPECT_FALSE(planReady(changed));
  std::vector<std::string> problems;
  for (const SetSlotPlan& slot : changed)
    problems.push_back(slot.problem ? english(*slot.problem) : "");
  EXPECT_EQ(problems, (std::vector<std::string>{
                          "", "Memory 2: drums.padkbd has changed since the set named it",
                          "Memory 4: keys.padkbd is no longer in the library"}));
  sent = sendSet(*service_, changed, {}, "tonight.padkbdset");
  EXPECT_EQ(sent.outcome.code(), Code::LibrarySetChanged);
  EXPECT_TRUE(sent.written.empty());
  // One that cannot be read any more is told with why.
  fs::remove(own_ / "intro.padkbd");
  fs::create_directory(own_ / "intro.padkbd");
  const auto unreadable = plan().at(0).problem;
  EXPECT_EQ(unreadable ? english(*unreadable) : "",
            "Memory 1: intro.padkbd cannot be sent: it is not a regular file");
}

}  // namespace
}  // namespace padkbd
