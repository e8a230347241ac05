// The history against a real SQLite database in a folder of its own: what
// comes back, what each slot holds, what the send confirmation says, what
// pruning keeps, and every kind of damaged database.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <ctime>
#include <random>
#include <set>
#include <thread>
#include <tuple>

#include "history/SendPreview.h"
#include "model/Fields.h"
#include "tests/storage/StorageFixtures.h"

namespace padkbd {
namespace {

namespace fs = std::filesystem;
using std::chrono::hours;
using std::chrono::minutes;

// 6 Dec 2026 21:03 UTC, and the tests' clock in UTC.
const HistoryClock::time_point kEvening =
    HistoryClock::from_time_t(1'796'590'980);  // 2026-12-06T21:03:00Z

// Runs `sql` on the database at `path` as another program would: the rows it gives, a line each
// with their values between "|", or else its error.
std::string execute(const fs::path& path, const std::string& sql) {
  sqlite3* db = nullptr;
  sqlite3_open(path.c_str(), &db);
  std::string rows;
  char* error = nullptr;
  const auto row = [](void* rows, int n, char** values, char**) {
    std::string& text = *static_cast<std::string*>(rows);
    for (int i = 0; i < n; ++i) text += std::string(values[i]) + (i + 1 < n ? "|" : "\n");
    return 0;
  };
  if (sqlite3_exec(db, sql.c_str(), row, &rows, &error) != SQLITE_OK) rows = error;
  sqlite3_free(error);
  sqlite3_close(db);
  return rows;
}

// The ids of the entries listed, which come without their documents.
using Ids = std::vector<std::int64_t>;
Ids ids(History& history, const HistoryFilter& filter = {}) {
  Ids found;
  const auto listed = history.list(filter);
  for (const HistoryEntry& e : *listed) {
    EXPECT_TRUE(e.document.empty());
    found.push_back(e.id);
  }
  return found;
}

class HistoryTest : public ::testing::Test {
 protected:
  void SetUp() override { tzset(); }

  HistoryEntry sendTo(int slot, int written, const Preset& preset, const std::string& source,
                      const std::string& keyboard = "usb 1209:0001") {
    HistoryEntry entry = *sendEntry(keyboard, "01.02", slot, written, preset, source);
    entry.at = kEvening;
    return entry;
  }

  test::ScopedEnv tz_{"TZ", "UTC"};
  test::TempDir dir_;
  fs::path path_ = dir_ / "state/padkbd/history.sqlite";
  Preset preset_ = test::samplePreset();
};

TEST_F(HistoryTest, EntriesComeBackByteForByteAndSlotsFollowTheSends) {
  const int all = exchangeCount();
  {
    History history(path_);
    ASSERT_EQ(*history.record(sendTo(3, all, preset_, "live.padkbd")), 1);
    ASSERT_EQ(*history.record(readEntry("usb 1209:0001", std::nullopt, preset_)), 2);
    ASSERT_TRUE(history.record(sendTo(4, 120, preset_, "set.padkbd")));
    ASSERT_TRUE(history.record(sendTo(5, all, preset_, "other", "port Pads MIDI 1")));
    // Nothing written: nothing happened to the slot.
    EXPECT_FALSE(sendEntry("usb 1209:0001", "01.02", 6, 0, preset_, "x"));
  }
  History history(path_);  // another run, as the editor after the tool
  const Result<SlotStates> slots = history.slotStates("usb 1209:0001");
  ASSERT_TRUE(slots) << slots.message();
  // Slot 5 went to another keyboard. (What each kind of slot shows: the tool's "slots"; the
  // entries' fields and documents: EveryEntryComesBackAsRecorded.)
  EXPECT_EQ(slots->at(4).kind, SlotState::Kind::Unknown);
  // Only the stopped entry went to slot 4, stopped after 120.
  EXPECT_EQ(english(whatText(*(*slots)[3].entry)),
            "stopped after 120 of " + std::to_string(all) + " settings to memory slot 4");
  EXPECT_EQ(history.slotStates("port Pads MIDI 1")->at(4).kind, SlotState::Kind::Holds);

  // Newest first; a limit. (By slot and kind: DialogsTest::memorySlotsAndHistory; by keyboard:
  // the tool's "history --simulate", CliTest's
  // TheHistoryRemembersWhatEachSlotHoldsAndSendsItAgain.)
  EXPECT_EQ(ids(history), (Ids{4, 3, 2, 1}));
  EXPECT_EQ(ids(history, {.limit = 2}), (Ids{4, 3}));

  // An entry tampered with is refused alone, and says nothing of its slot.
  execute(path_,
          "UPDATE entries SET size = 1e12 WHERE id = 1; "
          "UPDATE entries SET preset = x'00' WHERE id = 3");
  EXPECT_EQ(history.entry(1).message(),
            "history entry 1 cannot be used: its preset has an impossible size");
  EXPECT_EQ(history.entry(3).message(), "history entry 3 cannot be used: its preset is damaged");
  EXPECT_EQ(history.entry(3).code(), Code::HistoryDamaged);
  EXPECT_EQ(history.slotStates("usb 1209:0001")->at(2).kind, SlotState::Kind::Unknown);
  EXPECT_TRUE(history.entry(2));
  EXPECT_EQ(history.takeNotice(), "");
}

TEST_F(HistoryTest, TheSlotsAndTheConfirmationSayWhatPadkbdSentAndWhatChanges) {
  const ChoiceLists lists;
  SlotState state{3, SlotState::Kind::Holds, sendTo(3, exchangeCount(), preset_, "live.padkbd")};
  Preset edited = copyOf(preset_);
  edited.global->mem = 6;  // where it goes is no change of the slot
  EXPECT_EQ(english(previewText(previewSend(state, edited, lists)), kEvening + hours(1)),
            "Memory 3: last sent by padkbd on 6 Dec at 21:03, live.padkbd; against that, nothing "
            "changes");
  edited.buttons[12]->channel = 9;
  edited.buttons[12]->CR = 5;
  const SendPreview two = previewSend(state, edited, lists);
  ASSERT_EQ(two.changes.size(), 2u);
  EXPECT_EQ(english(two.changes[0]) + "; " + english(two.changes[1]),
            "Pad 5: channel 12 → 9; Pad 5: red 12 → 5");
  // Another year is named; a day below 10 has no padding.
  EXPECT_EQ(english(previewText(two), kEvening + hours(24 * 400)),
            "Memory 3: last sent by padkbd on 6 Dec 2026 at 21:03, live.padkbd; against that, 2 "
            "settings change");
  // Days on both sides of ten, this year and another.
  const std::pair<int, const char*> daysBefore[] = {
      {5, "1 Dec at 21:03"},   {369, "2 Dec 2025 at 21:03"}, {27, "9 Nov at 21:03"},
      {26, "10 Nov at 21:03"}, {392, "9 Nov 2025 at 21:03"}, {391, "10 Nov 2025 at 21:03"}};
  for (const auto& [days, text] : daysBefore)
    EXPECT_EQ(whenText(kEvening - hours(24 * days), kEvening), text);

  // A send cut short: everything is written. (A slot padkbd never sent to: the tool's dry run,
  // CliTest's TheHistoryRemembersWhatEachSlotHoldsAndSendsItAgain.)
  const SlotState mix{4, SlotState::Kind::Mix, sendTo(4, 120, preset_, "set.padkbd")};
  EXPECT_EQ(english(previewText(previewSend(mix, edited, lists)), kEvening),
            "Memory 4: a send by padkbd on 6 Dec at 21:03, set.padkbd, stopped after 120 of 598 "
            "settings; all 598 settings will be written");

  // A held entry whose preset cannot be read back is not known.
  state.entry->document = "garbage";
  EXPECT_EQ(previewSend(state, edited, lists).state.kind, SlotState::Kind::Unknown);
}

// Entries of every kind, with generated values, come back as they were
// recorded, whether listed or asked for one by one.
TEST_F(HistoryTest, EveryEntryComesBackAsRecorded) {
  std::mt19937 random(34);
  const auto pick = [&](int low, int high) {
    return std::uniform_int_distribution(low, high)(random);
  };
  const std::string keyboards[] = {"usb 1209:0001", "usb 1209:0001 serial ÄB12", "port Pads MIDI 1",
                                   simulatedKey(), simulatedKey(dir_ / "state")};
  const std::string words[] = {"", "live.padkbd", "café ♪ 🎹", "a \"quoted\" name", "x\ny"};
  History history(path_);
  std::vector<HistoryEntry> recorded;
  for (int n = 0; n < 60; ++n) {
    const int written = pick(1, exchangeCount());
    HistoryEntry entry =
        n % 3 == 0 ? readEntry(keyboards[pick(0, 4)],
                               n % 2 ? std::optional<std::string>("01.02") : std::nullopt, preset_)
                   : *sendEntry(keyboards[pick(0, 4)], "0" + std::to_string(pick(0, 9)) + ".02",
                                pick(1, 9), written, preset_, words[pick(0, 4)]);
    entry.at = kEvening - minutes(pick(0, 100000));
    entry.note = words[pick(0, 4)];
    entry.id = *history.record(entry);
    recorded.push_back(entry);
  }
  const auto listed = history.list();
  ASSERT_EQ(listed->size(), recorded.size());
  for (std::size_t n = 0; n < recorded.size(); ++n) {
    const HistoryEntry& want = recorded[n];
    const HistoryEntry& got = (*listed)[recorded.size() - 1 - n];
    const HistoryEntry one = *history.entry(want.id);
    for (const HistoryEntry* each : {&got, &one}) {
      EXPECT_EQ(std::tie(each->id, each->at, each->keyboard, each->firmware, each->kind, each->slot,
                         each->written, each->total, each->source, each->note),
                std::tie(want.id, want.at, want.keyboard, want.firmware, want.kind, want.slot,
                         want.written, want.total, want.source, want.note))
          << n;
      EXPECT_EQ(each->keyboardKind, keyboardKindOf(want.keyboard)) << n;
    }
    EXPECT_EQ(one.document, want.document) << n;
  }
}

// Each way to a keyboard has its key and is told by it (a simulated one's state file: the tool's
// history, CliTest); each kind's name reads back as that kind, another name as none.
TEST(HistoryKeys, EachKeyboardIsKeyedAndToldByItsKind) {
  KeyboardId keyboard = builtInKeyboard();
  const std::string usb = keyboardKey(keyboard, ""), serial = keyboardKey(keyboard, "ÄB12");
  keyboard.port = "Pads MIDI 1";
  const std::pair<std::string, std::string> told[] = {
      {usb, "USB 1209:0001"},
      {serial, "USB 1209:0001, serial ÄB12"},
      {keyboardKey(keyboard, "ÄB12"), "MIDI port Pads MIDI 1"},
      {simulatedKey(), "simulated keyboard"},
      {"usb", "usb"}};
  for (const auto& [key, words] : told) EXPECT_EQ(english(keyboardText(key)), words) << key;
  EXPECT_EQ(parseKeyboardKind("serial"), std::nullopt);
  // Where an entry came from, in words the window translates; a name, or an
  // entry number that is none or too long, as it is.
  const std::pair<const char*, TextId> sources[] = {
      {"from the keyboard", TextId::SourceKeyboard}, {"default preset", TextId::SourceDefault},
      {"history entry 123456789012345678", TextId::SourceEntry}, {"live, edited", TextId::SourceEdited},
      {"history entry 1234567890123456789", TextId::Plain}, {"history entry 1x", TextId::Plain},
      {"history entry ", TextId::Plain}};
  for (const auto& [source, id] : sources)
    EXPECT_TRUE(sourceText(source).id == id && english(sourceText(source)) == source) << source;
  EXPECT_EQ(english(changesText(1)), "1 setting changes");
}

TEST_F(HistoryTest, PruningKeepsTheNewestEntriesAndTheNewestOfEverySlot) {
  History history(path_, 3);
  ASSERT_TRUE(history.record(sendTo(1, exchangeCount(), preset_, "one")));
  ASSERT_TRUE(history.record(sendTo(2, 10, preset_, "two")));
  ASSERT_TRUE(history.record(sendTo(2, exchangeCount(), preset_, "two again")));
  for (int n = 0; n < 6; ++n)
    ASSERT_TRUE(history.record(readEntry("usb 1209:0001", "01.02", preset_)));
  EXPECT_EQ(ids(history), (Ids{9, 8, 7, 3, 1}));
  EXPECT_EQ(history.slotStates("usb 1209:0001")->at(1).entry->source, "two again");
}

// The files in the history's folder, by name.
std::set<std::string> filesIn(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& file : fs::directory_iterator(folder)) names.insert(file.path().filename());
  return names;
}

// A database damaged each way: the record still succeeds, in a new database,
// and the notice says once where the old one went; never while another
// program has the damaged file open.
TEST_F(HistoryTest, ADamagedDatabaseIsMovedAsideAndANewOneStarted) {
  const auto damage = [&](const std::string& how) {
    fs::remove_all(path_.parent_path());
    fs::create_directories(path_.parent_path());
    { ASSERT_TRUE(History(path_).record(sendTo(1, 5, preset_, "old"))); }
    if (how == "directory") {
      fs::remove(path_);
      fs::create_directories(path_ / "inside");
    } else if (how == "garbage") {
      test::writeAll(path_, std::string(8192, 'x'));
      fs::remove(path_.string() + "-wal");
    } else if (how == "truncated") {
      History big(path_);
      for (int n = 0; n < 40; ++n) ASSERT_TRUE(big.record(sendTo(1 + n % 9, 5, preset_, "old")));
      ASSERT_TRUE(big.list());
      execute(path_, "PRAGMA wal_checkpoint(TRUNCATE)");
      fs::resize_file(path_, fs::file_size(path_) / 2);
    }
  };
  for (const std::string how : {"directory", "garbage", "truncated"}) {
    damage(how);
    History history(path_);
    const Result<std::int64_t> recorded = history.record(sendTo(2, 5, preset_, "new"));
    ASSERT_TRUE(recorded) << how << ": " << recorded.message();
    const std::string notice = history.takeNotice();
    std::vector<std::string> aside;
    for (const std::string& name : filesIn(path_.parent_path())) {
      const bool log = name.ends_with("-wal") || name.ends_with("-shm");
      if (name.find(".damaged-") != std::string::npos && !log) aside.push_back(name);
    }
    ASSERT_EQ(aside.size(), 1u) << how;
    EXPECT_TRUE(notice.starts_with("The history database was damaged (")) << notice;
    EXPECT_TRUE(notice.ends_with("); it was moved to " + (path_.parent_path() / aside[0]).string() +
                                 " and a new one started."))
        << notice;
    EXPECT_EQ(history.takeNotice(), "") << "said once";
    EXPECT_EQ(History(path_).list()->size(), 1u) << how;
  }

  // Damaged, but another program has it open (it holds a lock on it, as
  // SQLite does): left where it is, and said so; set aside once it is closed.
  damage("garbage");
  const int other = ::open(path_.c_str(), O_RDWR);
  struct flock lock {};
  lock.l_type = F_RDLCK;
  ASSERT_EQ(::fcntl(other, F_OFD_SETLK, &lock), 0);
  History history(path_);
  EXPECT_EQ(history.record(sendTo(2, 5, preset_, "new")).message(),
            "the history database " + path_.string() +
                " is damaged (file is not a database), and another program has it open: it is "
                "left as it is until that program is closed");
  EXPECT_EQ(filesIn(path_.parent_path()), std::set<std::string>{"history.sqlite"});
  ::close(other);
  EXPECT_TRUE(history.record(sendTo(2, 5, preset_, "new")));
  EXPECT_TRUE(history.takeNotice().starts_with("The history database was damaged"));
}

// Another program writing for longer than the busy timeout: this entry is
// not kept, nothing is moved, and the history is whole when it is done.
TEST_F(HistoryTest, ABusyDatabaseIsWaitedForAndNeverMoved) {
  { ASSERT_TRUE(History(path_).record(sendTo(1, 5, preset_, "old"))); }
  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open(path_.c_str(), &other), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
  History history(path_, History::kDefaultKeep, std::chrono::milliseconds(200));
  EXPECT_EQ(history.record(sendTo(2, 5, preset_, "new")).message(),
            "another program is using the history (" + path_.string() + ")");
  EXPECT_EQ(ids(history), (Ids{1})) << "read meanwhile";
  // Given back within the wait: the entry is kept.
  std::thread release([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
  });
  EXPECT_TRUE(History(path_, History::kDefaultKeep, std::chrono::seconds(5))
                  .record(sendTo(2, 5, preset_, "new")));
  release.join();
  sqlite3_close(other);
  EXPECT_EQ(ids(history), (Ids{2, 1})) << "the same database: nothing was moved";
}

// For a user who is not root (a child process's): a write-protected
// database is read but not written, an unreadable one told; a foreign
// database is told. None is moved.
TEST_F(HistoryTest, AReadOnlyUnreadableOrForeignDatabaseIsToldAndLeftAlone) {
  { ASSERT_TRUE(History(path_).record(sendTo(1, 5, preset_, "old"))); }
  for (const auto& file : fs::recursive_directory_iterator(dir_.path()))
    ASSERT_EQ(::chown(file.path().c_str(), 65534, 65534), 0);
  ASSERT_EQ(::chown(dir_.path().c_str(), 65534, 65534), 0);
  const auto asUser = [&](mode_t mode, const std::string& expected) {
    ::chmod(path_.c_str(), mode);
    const pid_t child = fork();
    if (child == 0) {
      if (setgid(65534) != 0 || setuid(65534) != 0) _exit(3);
      History user(path_);
      const std::string why = user.record(sendTo(2, 5, preset_, "new")).message();
      const bool listed = user.list().ok();
      // No notice: nothing was set aside.
      _exit(why == expected && listed == (mode != 0) && user.takeNotice().empty() ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_EQ(WEXITSTATUS(status), 0) << expected;
  };
  asUser(0444, "the history database " + path_.string() +
                   " is read-only (attempt to write a readonly database)");
  asUser(0, "the history database " + path_.string() +
                " cannot be opened (unable to open database file)");

  fs::remove_all(path_.parent_path());
  fs::create_directories(path_.parent_path());
  execute(path_, "CREATE TABLE songs(name TEXT)");
  EXPECT_EQ(History(path_).record(sendTo(2, 5, preset_, "new")).message(),
            "the history could not be used: it holds something other than padkbd's history");
  EXPECT_EQ(filesIn(path_.parent_path()), std::set<std::string>{"history.sqlite"});
}

// A database of the first version, made from its SQL as that padkbd made
// it: every entry is found after the upgrade, the copy of the old file is
// beside it, and notes can be written. A newer padkbd's is read, never written.
TEST_F(HistoryTest, AnOlderDatabaseIsUpgradedAndANewerOneLeftUnwritten) {
  const std::string document = presetToXml(preset_.buttons, *preset_.global);
  std::string packed(compressBound(document.size()), '\0');
  uLongf size = packed.size();
  compress2(reinterpret_cast<Bytef*>(packed.data()), &size,
            reinterpret_cast<const Bytef*>(document.data()), document.size(), 1);
  packed.resize(size);
  std::string blob;  // as SQL writes bytes
  for (const unsigned char c : packed)
    blob += {"0123456789abcdef"[c >> 4], "0123456789abcdef"[c & 15]};
  fs::create_directories(path_.parent_path());
  ASSERT_EQ(execute(path_, R"(
    PRAGMA journal_mode = WAL;
    CREATE TABLE entries(
      id INTEGER PRIMARY KEY AUTOINCREMENT, at INTEGER NOT NULL, keyboard TEXT NOT NULL,
      firmware TEXT NOT NULL, kind TEXT NOT NULL CHECK (kind IN ('read', 'sent', 'stopped')),
      slot INTEGER NOT NULL, written INTEGER NOT NULL, total INTEGER NOT NULL,
      source TEXT NOT NULL, preset BLOB NOT NULL, size INTEGER NOT NULL);
    CREATE INDEX entries_by_slot ON entries(keyboard, slot, id);
    PRAGMA user_version = 1;
    INSERT INTO entries VALUES (1, 1796590980000, 'usb 1209:0001', '01.02', 'sent', 3, 598, 598,
                                'live.padkbd', x')" +
                               blob + "', " + std::to_string(document.size()) + R"();
    INSERT INTO entries VALUES (2, 1796590990000, 'port Pads MIDI 1', '', 'read', 0, 598, 598,
                                'from the keyboard', x'00', 0);
    INSERT INTO entries VALUES (3, 1796591000000, 'usb 1209:0001', '01.02', 'stopped', 4, 120,
                                598, 'set.padkbd', x'00', 0);)"),
            "wal\n");

  History history(path_);
  const auto listed = history.list();
  ASSERT_TRUE(listed) << listed.message();
  ASSERT_EQ(ids(history), (Ids{3, 2, 1}));
  const fs::path backup = path_.string() + ".v1-backup";
  EXPECT_EQ(history.takeNotice(),
            "The history database was upgraded for this padkbd; a copy of it as it was is kept "
            "in " +
                backup.string() + ".");
  EXPECT_EQ(
      std::make_tuple((*listed)[1].keyboardKind, (*listed)[0].keyboardKind, (*listed)[0].written),
      std::make_tuple(KeyboardKind::Port, KeyboardKind::Usb, 120));
  EXPECT_EQ(history.entry(1)->document, document);
  EXPECT_EQ(history.slotStates("usb 1209:0001")->at(2).entry->source, "live.padkbd");
  ASSERT_TRUE(history.setNote(1, "before the festival"));
  EXPECT_EQ(history.entry(1)->note, "before the festival");
  EXPECT_EQ(*History(path_).record(sendTo(5, 598, preset_, "new")), 4);
  // The copy is the old database, as it was.
  EXPECT_EQ(execute(backup, "SELECT user_version, count(*) FROM pragma_user_version, entries"),
            "1|3\n");

  // A newer padkbd's database, with a column of its own.
  execute(path_, "ALTER TABLE entries ADD COLUMN colour TEXT; PRAGMA user_version = 3");
  History older(path_);
  const std::string refused = "the history database " + path_.string() +
                              " was written by a newer padkbd, which this one does not write to";
  EXPECT_EQ(older.record(sendTo(5, 598, preset_, "new")).message(), refused);
  EXPECT_EQ(older.setNote(1, "x").message(), refused);
  EXPECT_EQ(ids(older), (Ids{4, 3, 2, 1}));
  EXPECT_EQ(older.takeNotice(), "");
}

// Both make the database at the same moment, then take turns; neither takes
// the other's lock for damage.
TEST_F(HistoryTest, TwoWritersAtOnceLoseNothing) {
  for (int round = 0; round < 30; ++round) {
    fs::remove_all(path_.parent_path());
    const auto write = [&] {
      History history(path_);
      for (int n = 0; n < 10; ++n) EXPECT_TRUE(history.record(sendTo(1 + n % 9, 5, preset_, "w")));
      EXPECT_EQ(history.takeNotice(), "");
    };
    std::thread a(write), b(write);
    a.join();
    b.join();
    EXPECT_EQ(History(path_).list()->size(), 20u);
  }
}

}  // namespace
}  // namespace padkbd
