// The history against a real SQLite database in a folder of its own: what
// comes back, what each slot holds, what the send confirmation says, what
// pruning keeps, and every kind of damaged database.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <ctime>
#include <thread>

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

// Runs `sql` on the database at `path` as another program would.
void execute(const fs::path& path, const char* sql) {
  sqlite3* db = nullptr;
  sqlite3_open(path.c_str(), &db);
  sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
  sqlite3_close(db);
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
  void TearDown() override { tzset(); }

  HistoryEntry sendTo(int slot, int written, const Preset& preset, const std::string& source,
                      const std::string& keyboard = "usb 1209:0001") {
    HistoryEntry entry = *sendEntry(keyboard, "01.02", slot, written, preset, source);
    entry.at = kEvening;
    return entry;
  }
  std::int64_t count(const fs::path& path) { return History(path).list()->size(); }

  test::ScopedEnv tz_{"TZ", "UTC"};
  test::TempDir dir_;
  fs::path path_ = dir_ / "state/padkbd/history.sqlite";
  Preset preset_ = test::samplePreset();
};

TEST_F(HistoryTest, EntriesComeBackByteForByteAndSlotsFollowTheSends) {
  const int all = exchangeCount();
  std::int64_t stopped = 0;
  {
    History history(path_);
    ASSERT_EQ(*history.record(sendTo(3, all, preset_, "live.padkbd")), 1);
    ASSERT_EQ(*history.record(readEntry("usb 1209:0001", std::nullopt, preset_)), 2);
    stopped = *history.record(sendTo(4, 120, preset_, "set.padkbd"));
    ASSERT_TRUE(history.record(sendTo(5, all, preset_, "other", "port Pads MIDI 1")));
    // Nothing written: nothing happened to the slot.
    EXPECT_FALSE(sendEntry("usb 1209:0001", "01.02", 6, 0, preset_, "x"));
  }
  History history(path_);  // another run, as the editor after the tool
  const Result<SlotStates> slots = history.slotStates("usb 1209:0001");
  ASSERT_TRUE(slots) << slots.message();
  // Slot 5 went to another keyboard. (What each kind of slot shows: the tool's "slots".)
  EXPECT_EQ(slots->at(4).kind, SlotState::Kind::Unknown);
  const HistoryEntry& held = *(*slots)[2].entry;
  EXPECT_EQ(held.document, presetToXml(preset_.buttons, *preset_.global));
  EXPECT_TRUE(test::sameValues(*presetOf(held), preset_));
  EXPECT_EQ(held.at, kEvening);
  EXPECT_EQ((*slots)[3].entry->id, stopped);
  EXPECT_EQ(whatText(*(*slots)[3].entry),
            "stopped after 120 of " + std::to_string(all) + " settings to memory slot 4");
  EXPECT_EQ(history.slotStates("port Pads MIDI 1")->at(4).kind, SlotState::Kind::Holds);

  // Newest first; filters by keyboard; a limit. (By slot and kind:
  // DialogsTest::memorySlotsAndHistory.)
  EXPECT_EQ(ids(history), (Ids{4, 3, 2, 1}));
  EXPECT_EQ(ids(history, {.keyboard = "port Pads MIDI 1"}), (Ids{4}));
  EXPECT_EQ(ids(history, {.limit = 2}), (Ids{4, 3}));
  EXPECT_EQ(history.takeNotice(), "");

  // An entry tampered with is refused alone, and says nothing of its slot.
  execute(path_,
          "UPDATE entries SET size = 1e12 WHERE id = 1; "
          "UPDATE entries SET preset = x'00' WHERE id = 3");
  EXPECT_EQ(history.entry(1).message(),
            "history entry 1 cannot be used: its preset has an impossible size");
  EXPECT_EQ(history.entry(3).message(), "history entry 3 cannot be used: its preset is damaged");
  EXPECT_EQ(history.slotStates("usb 1209:0001")->at(2).kind, SlotState::Kind::Unknown);
  EXPECT_TRUE(history.entry(2));
  EXPECT_EQ(history.takeNotice(), "");
}

TEST_F(HistoryTest, TheConfirmationSaysWhatTheSlotHoldsAndWhatChanges) {
  const ChoiceLists lists;
  // (The texts of an unknown slot, of one change and of a mix: the tool's and the editor's tests.)
  SlotState state{3, SlotState::Kind::Holds, sendTo(3, exchangeCount(), preset_, "live.padkbd")};
  Preset edited = copyOf(preset_);
  edited.global->mem = 6;  // where it goes is no change of the slot
  EXPECT_EQ(previewText(previewSend(state, edited, lists), kEvening + hours(1)),
            "Memory 3 holds what you sent on 6 Dec at 21:03 (\"live.padkbd\"): nothing changes");
  edited.buttons[12]->channel = 9;
  edited.buttons[12]->CR = 5;
  const SendPreview two = previewSend(state, edited, lists);
  EXPECT_EQ(two.changes, (std::vector<std::string>{"Pad 5: channel 12 → 9", "Pad 5: red 12 → 5"}));
  // Another year is named; a day below 10 has no padding.
  EXPECT_EQ(previewText(two, kEvening + hours(24 * 400)),
            "Memory 3 holds what you sent on 6 Dec 2026 at 21:03 (\"live.padkbd\"): 2 settings "
            "change");
  EXPECT_EQ(whenText(kEvening - hours(24 * 5), kEvening), "1 Dec at 21:03");

  // A held entry whose preset cannot be read back is not known.
  state.entry->document = "garbage";
  EXPECT_EQ(previewSend(state, edited, lists).state.kind, SlotState::Kind::Unknown);
}

TEST_F(HistoryTest, PruningKeepsTheNewestEntriesAndTheNewestOfEverySlot) {
  History history(path_, 3);
  history.record(sendTo(1, exchangeCount(), preset_, "one"));
  history.record(sendTo(2, 10, preset_, "two"));
  history.record(sendTo(2, exchangeCount(), preset_, "two again"));
  for (int n = 0; n < 6; ++n) history.record(readEntry("usb 1209:0001", "01.02", preset_));
  EXPECT_EQ(ids(history), (Ids{9, 8, 7, 3, 1}));
  EXPECT_EQ(history.slotStates("usb 1209:0001")->at(1).entry->source, "two again");
}

// A database damaged each way: the record still succeeds, in a new database,
// and the notice says once where the old one went.
TEST_F(HistoryTest, ADamagedDatabaseIsMovedAsideAndANewOneStarted) {
  const auto damage = [&](const std::string& how) {
    fs::remove_all(path_.parent_path());
    fs::create_directories(path_.parent_path());
    { History(path_).record(sendTo(1, 5, preset_, "old")); }
    if (how == "directory") {
      fs::remove(path_);
      fs::create_directories(path_ / "inside");
    } else if (how == "garbage") {
      test::writeAll(path_, std::string(8192, 'x'));
      fs::remove(path_.string() + "-wal");
    } else if (how == "truncated") {
      History big(path_);
      for (int n = 0; n < 40; ++n) big.record(sendTo(1 + n % 9, 5, preset_, "old"));
      big.list();
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
    std::vector<fs::path> aside;
    for (const auto& file : fs::directory_iterator(path_.parent_path())) {
      if (file.path().filename().string().find(".damaged-") != std::string::npos &&
          !file.path().string().ends_with("-wal") && !file.path().string().ends_with("-shm")) {
        aside.push_back(file.path());
      }
    }
    ASSERT_EQ(aside.size(), 1u) << how;
    EXPECT_TRUE(notice.starts_with("The history database was damaged (")) << notice;
    EXPECT_TRUE(
        notice.ends_with("); it was moved to " + aside[0].string() + " and a new one started."))
        << notice;
    EXPECT_EQ(history.takeNotice(), "") << "said once";
    EXPECT_EQ(count(path_), 1) << how;
  }
}

TEST_F(HistoryTest, ALockedOrReadOnlyDatabaseIsSetAsideAfterTheBusyTimeout) {
  { History(path_).record(sendTo(1, 5, preset_, "old")); }
  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open(path_.c_str(), &other), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
  History history(path_, History::kDefaultKeep, std::chrono::milliseconds(50));
  EXPECT_TRUE(history.record(sendTo(2, 5, preset_, "new")));
  EXPECT_TRUE(
      history.takeNotice().starts_with("The history database was damaged (database is "
                                       "locked); it was moved to "));
  sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(other);

  // Write-protected, for a user who is not root: the user of a child process.
  fs::remove_all(path_.parent_path());
  { History(path_).record(sendTo(1, 5, preset_, "old")); }
  for (const auto& file : fs::recursive_directory_iterator(dir_.path()))
    ASSERT_EQ(::chown(file.path().c_str(), 65534, 65534), 0);
  ASSERT_EQ(::chown(dir_.path().c_str(), 65534, 65534), 0);
  ::chmod(path_.c_str(), 0444);
  const pid_t child = fork();
  if (child == 0) {
    if (setgid(65534) != 0 || setuid(65534) != 0) _exit(3);
    History user(path_);
    const bool recorded = user.record(sendTo(2, 5, preset_, "new")).ok();
    _exit(recorded && user.takeNotice().find("readonly") != std::string::npos ? 0 : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(History(path_).list()->at(0).source, "new");
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
    EXPECT_EQ(count(path_), 20);
  }
}

}  // namespace
}  // namespace padkbd
