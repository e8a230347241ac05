#include "history/History.h"

#include <fmt/chrono.h>
#include <fmt/format.h>
#include <sqlite3.h>
#include <zlib.h>

#include <SQLiteCpp/SQLiteCpp.h>
#include <ctime>
#include <thread>
#include <utility>

#include "history/Database.h"
#include "model/Log.h"
#include "storage/FileAction.h"

namespace padkbd {
namespace {

using historydb::Problem;
using historydb::Trouble;

// The preset documents are some 30 KB of XML that differ in few values: kept
// compressed, a history of thousands of entries stays a few MiB.
std::string compress(const std::string& text) {
  uLongf size = compressBound(static_cast<uLong>(text.size()));
  std::string packed(size, '\0');
  if (compress2(reinterpret_cast<Bytef*>(packed.data()), &size,
                reinterpret_cast<const Bytef*>(text.data()), static_cast<uLong>(text.size()),
                Z_BEST_SPEED) != Z_OK) {
    throw Problem(Trouble::Other, "the preset could not be compressed");
  }
  packed.resize(size);
  return packed;
}

Result<std::string> expand(const void* packed, int packedSize, std::int64_t size) {
  if (size < 0 || static_cast<std::uintmax_t>(size) > kMaxPresetFileBytes || packedSize < 0) {
    return Result<std::string>::failure(Text(TextId::PresetImpossibleSize));
  }
  std::string text(static_cast<std::size_t>(size), '\0');
  uLongf length = static_cast<uLongf>(size);
  if (uncompress(reinterpret_cast<Bytef*>(text.data()), &length, static_cast<const Bytef*>(packed),
                 static_cast<uLong>(packedSize)) != Z_OK ||
      length != static_cast<uLongf>(size)) {
    return Result<std::string>::failure(Text(TextId::PresetDamaged));
  }
  return text;
}

std::int64_t millis(HistoryClock::time_point at) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(at.time_since_epoch()).count();
}

// Columns by name: what a newer padkbd adds or moves does not shift them.
HistoryEntry entryFrom(SQLite::Statement& row) {
  HistoryEntry entry;
  entry.id = row.getColumn("id").getInt64();
  entry.at = HistoryClock::time_point(std::chrono::milliseconds(row.getColumn("at").getInt64()));
  entry.keyboard = row.getColumn("keyboard").getString();
  entry.keyboardKind = parseKeyboardKind(row.getColumn("keyboard_kind").getString())
                           .value_or(keyboardKindOf(entry.keyboard));
  entry.firmware = row.getColumn("firmware").getString();
  entry.kind = parseKind(row.getColumn("kind").getString()).value_or(EntryKind::Read);
  entry.slot = row.getColumn("slot").getInt();
  entry.written = row.getColumn("written").getInt();
  entry.total = row.getColumn("total").getInt();
  entry.source = row.getColumn("source").getString();
  entry.note = row.getColumn("note").getString();
  return entry;
}

constexpr const char* kColumns =
    "id, at, keyboard, keyboard_kind, firmware, kind, slot, written, total, source, note";

}  // namespace

struct History::Db {
  historydb::Opened opened;
  SQLite::Database& db() { return *opened.db; }
};

std::filesystem::path History::defaultPath() {
  return xdgDirectory("XDG_STATE_HOME", ".local/state") / "history.sqlite";
}

History::History(std::filesystem::path path, int keep, std::chrono::milliseconds busyTimeout)
    : path_(std::move(path)), keep_(keep), busyTimeout_(busyTimeout) {}

History::~History() = default;

std::optional<Text> History::takeNoticeText() {
  return std::exchange(notice_, std::nullopt);
}

std::string History::takeNotice() {
  const std::optional<Text> notice = takeNoticeText();
  return notice ? english(*notice) : std::string();
}

void History::open() {
  if (db_) return;
  std::error_code ec;
  // Without its folder there is nothing to set aside: the folder is what is wrong.
  if (std::filesystem::create_directories(path_.parent_path(), ec); ec) {
    throw Problem(Trouble::Other, fmt::format("its folder {} cannot be made ({})",
                                              path_.parent_path().string(), ec.message()));
  }
  auto db = std::make_unique<Db>(Db{historydb::open(path_, busyTimeout_, kSchemaVersion)});
  if (!db->opened.backup.empty()) {
    notice_ = Text(TextId::HistoryUpgraded, {db->opened.backup.string()});
    log::diag("history: %s", english(*notice_));
  }
  db_ = std::move(db);
}

std::optional<Text> History::setAside(const std::string& why) {
  db_.reset();
  const historydb::SetAside moved = historydb::moveAside(path_);
  if (moved.inUse) return Text(TextId::HistoryDamagedInUse, {path_.string(), why});
  if (!moved.failure.empty()) {
    return Text(TextId::HistoryDamagedStays, {path_.string(), why, moved.failure});
  }
  notice_ = Text(TextId::HistoryDamagedMoved, {why, moved.aside.string()});
  log::diag("history: %s", english(*notice_));
  return std::nullopt;
}

namespace {

// Why the history could not be used, in words for the user.
Text troubleText(Trouble trouble, const std::filesystem::path& path, const std::string& why) {
  switch (trouble) {
    case Trouble::Busy:
      return Text(TextId::HistoryBusy, {path.string()});
    case Trouble::ReadOnly:
      return Text(TextId::HistoryReadOnly, {path.string(), why});
    case Trouble::Unreadable:
      return Text(TextId::HistoryUnopenable, {path.string(), why});
    case Trouble::Damage:
    case Trouble::Other:
      break;
  }
  return Text(TextId::HistoryFailed, {why});
}

}  // namespace

template <typename Work>
auto History::withDatabase(bool writes, Work work) -> decltype(work(std::declval<Db&>())) {
  using Value = decltype(work(std::declval<Db&>()));
  return historydb::retrying<Value>(
      busyTimeout_,
      [&]() -> Value {
        open();
        if (writes && db_->opened.newer) {
          return Value(Outcome::failure(Text(TextId::HistoryNewer, {path_.string()})));
        }
        return work(*db_);
      },
      [this] { db_.reset(); }, [this](const std::string& why) { return setAside(why); },
      [this](Trouble trouble, const std::string& why) { return troubleText(trouble, path_, why); });
}

Result<std::int64_t> History::record(const HistoryEntry& entry) {
  return withDatabase(true, [&](Db& db) -> Result<std::int64_t> {
    SQLite::Database& d = db.db();
    SQLite::Transaction transaction(d, SQLite::TransactionBehavior::IMMEDIATE);
    SQLite::Statement insert(
        d,
        "INSERT INTO entries(at, keyboard, keyboard_kind, firmware, kind, slot, written, total, "
        "source, preset, size, note) VALUES (:at, :keyboard, :keyboard_kind, :firmware, :kind, "
        ":slot, :written, :total, :source, :preset, :size, :note)");
    const std::string packed = compress(entry.document);
    insert.bind(":at", static_cast<int64_t>(millis(entry.at)));
    insert.bindNoCopy(":keyboard", entry.keyboard);
    insert.bind(":keyboard_kind", kindName(keyboardKindOf(entry.keyboard)));
    insert.bindNoCopy(":firmware", entry.firmware);
    insert.bind(":kind", kindName(entry.kind));
    insert.bind(":slot", entry.kind == EntryKind::Read ? 0 : entry.slot);
    insert.bind(":written", entry.written);
    insert.bind(":total", entry.total);
    insert.bindNoCopy(":source", entry.source);
    insert.bindNoCopy(":preset", packed.data(), static_cast<int>(packed.size()));
    insert.bind(":size", static_cast<int64_t>(entry.document.size()));
    insert.bindNoCopy(":note", entry.note);
    insert.exec();
    const std::int64_t id = d.getLastInsertRowid();
    // Beyond the newest `keep`, except the last send to each slot.
    SQLite::Statement prune(d,
                            "DELETE FROM entries WHERE id <= (SELECT id FROM entries ORDER BY id "
                            "DESC LIMIT 1 OFFSET :keep) AND id NOT IN (SELECT max(id) FROM "
                            "entries WHERE kind != 'read' GROUP BY keyboard, slot)");
    prune.bind(":keep", keep_);
    prune.exec();
    transaction.commit();
    return id;
  });
}

Result<std::vector<HistoryEntry>> History::list(const HistoryFilter& filter) {
  return withDatabase(false, [&](Db& db) -> Result<std::vector<HistoryEntry>> {
    SQLite::Statement query(
        db.db(), fmt::format("SELECT {} FROM entries WHERE (:slot IS NULL OR slot = :slot) AND "
                             "(:kind IS NULL OR kind = :kind) AND (:keyboard IS NULL OR keyboard "
                             "= :keyboard) ORDER BY id DESC LIMIT :limit",
                             kColumns));
    if (filter.slot) query.bind(":slot", *filter.slot);
    if (filter.kind) query.bind(":kind", kindName(*filter.kind));
    if (filter.keyboard) query.bind(":keyboard", *filter.keyboard);
    query.bind(":limit", filter.limit > 0 ? filter.limit : -1);
    std::vector<HistoryEntry> entries;
    while (query.executeStep()) entries.push_back(entryFrom(query));
    return entries;
  });
}

Outcome History::setNote(std::int64_t id, const std::string& note) {
  const Result<bool> written = withDatabase(true, [&](Db& db) -> Result<bool> {
    SQLite::Statement update(db.db(), "UPDATE entries SET note = :note WHERE id = :id");
    update.bind(":note", note);
    update.bind(":id", static_cast<int64_t>(id));
    if (update.exec() == 0) {
      return Result<bool>::failure(Text(TextId::NoHistoryEntry, {static_cast<long long>(id)}));
    }
    return true;
  });
  return written.outcome();
}

namespace {

Result<HistoryEntry> withDocument(SQLite::Statement& row) {
  HistoryEntry entry = entryFrom(row);
  const SQLite::Column packed = row.getColumn("preset");
  Result<std::string> document =
      expand(packed.getBlob(), packed.getBytes(), row.getColumn("size").getInt64());
  if (!document) {
    return Result<HistoryEntry>::failure(
        Text(TextId::EntryUnusable, {static_cast<long long>(entry.id), document.outcome().text()}));
  }
  entry.document = std::move(*document);
  return entry;
}

}  // namespace

Result<HistoryEntry> History::entry(std::int64_t id) {
  return withDatabase(false, [&](Db& db) -> Result<HistoryEntry> {
    SQLite::Statement query(
        db.db(), fmt::format("SELECT {}, preset, size FROM entries WHERE id = :id", kColumns));
    query.bind(":id", static_cast<int64_t>(id));
    if (!query.executeStep()) {
      return Result<HistoryEntry>::failure(
          Text(TextId::NoHistoryEntry, {static_cast<long long>(id)}));
    }
    return withDocument(query);
  });
}

Result<SlotStates> History::slotStates(const std::string& keyboard) {
  return withDatabase(false, [&](Db& db) -> Result<SlotStates> {
    SQLite::Statement query(
        db.db(), fmt::format("SELECT {}, preset, size FROM entries WHERE keyboard = :keyboard AND "
                             "slot = :slot AND kind != 'read' ORDER BY id DESC LIMIT 1",
                             kColumns));
    SlotStates states;
    for (int slot = 1; slot <= kSlotCount; ++slot) {
      SlotState& state = states[static_cast<std::size_t>(slot - 1)];
      state.slot = slot;
      query.reset();
      query.bind(":keyboard", keyboard);
      query.bind(":slot", slot);
      if (!query.executeStep()) continue;
      Result<HistoryEntry> entry = withDocument(query);
      // An entry that cannot be read says nothing of the slot.
      if (!entry) {
        log::diag("history: %s", entry.message());
        continue;
      }
      state.kind = entry->kind == EntryKind::Sent ? SlotState::Kind::Holds : SlotState::Kind::Mix;
      state.entry = std::move(*entry);
    }
    return states;
  });
}

Result<Preset> presetOf(const HistoryEntry& entry) {
  PresetRead preset = parsePreset(entry.document);
  if (!preset) {
    return Result<Preset>::failure(
        Text(TextId::EntryUnusable, {static_cast<long long>(entry.id), preset.outcome().text()}));
  }
  return preset;
}

}  // namespace padkbd
