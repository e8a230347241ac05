#include "history/History.h"

#include <fmt/chrono.h>
#include <fmt/format.h>
#include <sqlite3.h>
#include <zlib.h>

#include <SQLiteCpp/SQLiteCpp.h>
#include <ctime>
#include <thread>
#include <utility>

#include "model/Log.h"
#include "storage/FileAction.h"

namespace padkbd {
namespace {

constexpr int kSchemaVersion = 1;

constexpr const char* kSchema = R"(
CREATE TABLE entries(
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  at INTEGER NOT NULL,
  keyboard TEXT NOT NULL,
  firmware TEXT NOT NULL,
  kind TEXT NOT NULL CHECK (kind IN ('read', 'sent', 'stopped')),
  slot INTEGER NOT NULL,
  written INTEGER NOT NULL,
  total INTEGER NOT NULL,
  source TEXT NOT NULL,
  preset BLOB NOT NULL,
  size INTEGER NOT NULL);
CREATE INDEX entries_by_slot ON entries(keyboard, slot, id);
PRAGMA user_version = 1;
)";

constexpr const char* kColumns = "id, at, keyboard, firmware, kind, slot, written, total, source";

// Errors of the file itself, which a new database mends. Anything else (a
// full disk, a newer padkbd's database) is told and leaves the file alone.
bool isDamage(int code) {
  switch (code & 0xFF) {
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
    case SQLITE_CANTOPEN:
    case SQLITE_READONLY:
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
    case SQLITE_IOERR:
    case SQLITE_PERM:
    case SQLITE_FORMAT:
      return true;
    default:
      return false;
  }
}

// A problem found by padkbd itself rather than by SQLite.
struct Damaged : std::runtime_error {
  using std::runtime_error::runtime_error;
};
struct Refused : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// The preset documents are some 30 KB of XML that differ in few values: kept
// compressed, a history of thousands of entries stays a few MiB.
std::string compress(const std::string& text) {
  uLongf size = compressBound(static_cast<uLong>(text.size()));
  std::string packed(size, '\0');
  if (compress2(reinterpret_cast<Bytef*>(packed.data()), &size,
                reinterpret_cast<const Bytef*>(text.data()), static_cast<uLong>(text.size()),
                Z_BEST_SPEED) != Z_OK) {
    throw Refused("the preset could not be compressed");
  }
  packed.resize(size);
  return packed;
}

Result<std::string> expand(const void* packed, int packedSize, std::int64_t size) {
  if (size < 0 || static_cast<std::uintmax_t>(size) > kMaxPresetFileBytes || packedSize < 0) {
    return Result<std::string>::failure("its preset has an impossible size");
  }
  std::string text(static_cast<std::size_t>(size), '\0');
  uLongf length = static_cast<uLongf>(size);
  if (uncompress(reinterpret_cast<Bytef*>(text.data()), &length, static_cast<const Bytef*>(packed),
                 static_cast<uLong>(packedSize)) != Z_OK ||
      length != static_cast<uLongf>(size)) {
    return Result<std::string>::failure("its preset is damaged");
  }
  return text;
}

std::int64_t millis(HistoryClock::time_point at) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(at.time_since_epoch()).count();
}

HistoryEntry entryFrom(SQLite::Statement& row) {
  HistoryEntry entry;
  entry.id = row.getColumn(0).getInt64();
  entry.at = HistoryClock::time_point(std::chrono::milliseconds(row.getColumn(1).getInt64()));
  entry.keyboard = row.getColumn(2).getString();
  entry.firmware = row.getColumn(3).getString();
  entry.kind = parseKind(row.getColumn(4).getString()).value_or(EntryKind::Read);
  entry.slot = row.getColumn(5).getInt();
  entry.written = row.getColumn(6).getInt();
  entry.total = row.getColumn(7).getInt();
  entry.source = row.getColumn(8).getString();
  return entry;
}

std::tm localTime(HistoryClock::time_point at) {
  const std::time_t t = HistoryClock::to_time_t(at);
  std::tm tm{};
  localtime_r(&t, &tm);
  return tm;
}

}  // namespace

struct History::Db {
  explicit Db(const std::filesystem::path& path, std::chrono::milliseconds busyTimeout)
      : db(path, SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE,
           static_cast<int>(busyTimeout.count())) {}
  SQLite::Database db;
};

const char* kindName(EntryKind kind) {
  switch (kind) {
    case EntryKind::Read:
      return "read";
    case EntryKind::Sent:
      return "sent";
    case EntryKind::Stopped:
      return "stopped";
  }
  return "read";
}

std::optional<EntryKind> parseKind(std::string_view name) {
  for (EntryKind kind : {EntryKind::Read, EntryKind::Sent, EntryKind::Stopped}) {
    if (name == kindName(kind)) return kind;
  }
  return std::nullopt;
}

std::string keyboardKey(const KeyboardId& keyboard, const std::string& serial) {
  if (!keyboard.port.empty()) return "port " + keyboard.port;
  std::string key = "usb " + formatUsbIds(keyboard.usb);
  if (!serial.empty()) key += " serial " + serial;
  return key;
}

std::string keyboardLabel(const std::string& key) {
  if (key.starts_with("port ")) return "MIDI port " + key.substr(5);
  if (!key.starts_with("usb ")) return key;
  std::string label = "USB " + key.substr(4);
  if (const auto at = label.find(" serial "); at != std::string::npos) label.replace(at, 1, ", ");
  return label;
}

std::string whenText(HistoryClock::time_point at, HistoryClock::time_point now) {
  const std::tm tm = localTime(at);
  const bool thisYear = tm.tm_year == localTime(now).tm_year;
  return thisYear ? fmt::format("{:%e %b} at {:%H:%M}", tm, tm).substr(tm.tm_mday < 10 ? 1 : 0)
                  : fmt::format("{:%e %b %Y} at {:%H:%M}", tm, tm).substr(tm.tm_mday < 10 ? 1 : 0);
}

std::string whatText(const HistoryEntry& entry) {
  switch (entry.kind) {
    case EntryKind::Read:
      return "read";
    case EntryKind::Sent:
      return fmt::format("sent to memory slot {}", entry.slot);
    case EntryKind::Stopped:
      return fmt::format("stopped after {} of {} settings to memory slot {}", entry.written,
                         entry.total, entry.slot);
  }
  return "";
}

std::filesystem::path History::defaultPath() {
  return xdgDirectory("XDG_STATE_HOME", ".local/state") / "history.sqlite";
}

History::History(std::filesystem::path path, int keep, std::chrono::milliseconds busyTimeout)
    : path_(std::move(path)), keep_(keep), busyTimeout_(busyTimeout) {}

History::~History() = default;

std::string History::takeNotice() {
  return std::exchange(notice_, std::string());
}

Outcome History::open() {
  if (db_) return Outcome::success();
  std::error_code ec;
  // Without its folder there is nothing to set aside: the folder is what is wrong.
  if (std::filesystem::create_directories(path_.parent_path(), ec); ec) {
    throw Refused(fmt::format("its folder {} cannot be made ({})", path_.parent_path().string(),
                              ec.message()));
  }
  if (std::filesystem::exists(path_, ec) && !std::filesystem::is_regular_file(path_, ec)) {
    throw Damaged("it is not a file");
  }
  auto db = std::make_unique<Db>(path_, busyTimeout_);
  SQLite::Database& d = db->db;
  d.exec("PRAGMA journal_mode = WAL");
  d.exec("PRAGMA synchronous = NORMAL");
  const int version = d.execAndGet("PRAGMA user_version").getInt();
  if (version > kSchemaVersion) {
    throw Refused(fmt::format("{} was written by a newer padkbd", path_.string()));
  }
  if (version < kSchemaVersion) {
    SQLite::Transaction create(d, SQLite::TransactionBehavior::IMMEDIATE);
    // Another run may have made it meanwhile.
    if (d.execAndGet("PRAGMA user_version").getInt() < kSchemaVersion) {
      if (d.execAndGet("SELECT count(*) FROM sqlite_master").getInt() != 0) {
        throw Damaged("it holds something other than padkbd's history");
      }
      d.exec(kSchema);
    }
    create.commit();
  }
  // The columns are the ones this padkbd knows.
  SQLite::Statement check(d, fmt::format("SELECT {}, preset, size FROM entries LIMIT 0", kColumns));
  db_ = std::move(db);
  return Outcome::success();
}

std::string History::setAside(const std::string& why) {
  db_.reset();
  const std::tm tm = localTime(HistoryClock::now());
  const std::string stem = fmt::format("{}.damaged-{:%Y-%m-%d-%H%M%S}", path_.string(), tm);
  std::filesystem::path aside = stem;
  std::error_code ec;
  for (int n = 2; std::filesystem::exists(aside, ec) || std::filesystem::is_symlink(aside, ec);
       ++n) {
    aside = fmt::format("{}-{}", stem, n);
  }
  std::filesystem::rename(path_, aside, ec);
  if (ec) {
    return fmt::format("the history database {} is damaged ({}) and cannot be moved aside: {}",
                       path_.string(), why, ec.message());
  }
  // Its log holds committed entries too: it goes with it.
  for (const char* suffix : {"-wal", "-shm"}) {
    std::error_code ignored;
    std::filesystem::rename(path_.string() + suffix, aside.string() + suffix, ignored);
  }
  notice_ = fmt::format(
      "The history database was damaged ({}); it was moved to {} and a new one started.", why,
      aside.string());
  log::diag("history: %s", notice_);
  return {};
}

template <typename Work>
auto History::withDatabase(Work work) -> decltype(work(std::declval<Db&>())) {
  using Value = decltype(work(std::declval<Db&>()));
  const auto start = std::chrono::steady_clock::now();
  for (int attempt = 0;; ++attempt) {
    std::string why;
    try {
      open();
      return work(*db_);
    } catch (const SQLite::Exception& e) {
      db_.reset();
      // SQLite gives up at once where waiting could deadlock (two runs
      // making the database at the same moment): only a lock that outlasts
      // the busy timeout is one that never goes.
      const int code = e.getErrorCode() & 0xFF;
      if ((code == SQLITE_BUSY || code == SQLITE_LOCKED) &&
          std::chrono::steady_clock::now() - start < busyTimeout_) {
        --attempt;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        continue;
      }
      if (!isDamage(e.getErrorCode())) {
        return Value(Outcome::failure(fmt::format("the history could not be used: {}", e.what())));
      }
      why = e.what();
    } catch (const Damaged& e) {
      why = e.what();
    } catch (const Refused& e) {
      db_.reset();
      return Value(Outcome::failure(fmt::format("the history could not be used: {}", e.what())));
    }
    if (attempt > 0) {
      return Value(Outcome::failure(fmt::format("the history could not be used: {}", why)));
    }
    if (std::string failed = setAside(why); !failed.empty()) {
      return Value(Outcome::failure(failed));
    }
  }
}

Result<std::int64_t> History::record(const HistoryEntry& entry) {
  return withDatabase([&](Db& db) -> Result<std::int64_t> {
    SQLite::Database& d = db.db;
    SQLite::Transaction transaction(d, SQLite::TransactionBehavior::IMMEDIATE);
    SQLite::Statement insert(d,
                             "INSERT INTO entries(at, keyboard, firmware, kind, slot, written, "
                             "total, source, preset, size) VALUES (?,?,?,?,?,?,?,?,?,?)");
    const std::string packed = compress(entry.document);
    insert.bind(1, static_cast<int64_t>(millis(entry.at)));
    insert.bindNoCopy(2, entry.keyboard);
    insert.bindNoCopy(3, entry.firmware);
    insert.bind(4, kindName(entry.kind));
    insert.bind(5, entry.kind == EntryKind::Read ? 0 : entry.slot);
    insert.bind(6, entry.written);
    insert.bind(7, entry.total);
    insert.bindNoCopy(8, entry.source);
    insert.bindNoCopy(9, packed.data(), static_cast<int>(packed.size()));
    insert.bind(10, static_cast<int64_t>(entry.document.size()));
    insert.exec();
    const std::int64_t id = d.getLastInsertRowid();
    // Beyond the newest `keep`, except what some slot holds.
    SQLite::Statement prune(d,
                            "DELETE FROM entries WHERE id <= (SELECT id FROM entries ORDER BY id "
                            "DESC LIMIT 1 OFFSET ?) AND id NOT IN (SELECT max(id) FROM entries "
                            "WHERE kind != 'read' GROUP BY keyboard, slot)");
    prune.bind(1, keep_);
    prune.exec();
    transaction.commit();
    return id;
  });
}

Result<std::vector<HistoryEntry>> History::list(const HistoryFilter& filter) {
  return withDatabase([&](Db& db) -> Result<std::vector<HistoryEntry>> {
    SQLite::Statement query(db.db,
                            fmt::format("SELECT {} FROM entries WHERE (?1 IS NULL OR "
                                        "slot = ?1) AND (?2 IS NULL OR kind = ?2) AND (?3 "
                                        "IS NULL OR keyboard = ?3) ORDER BY id DESC LIMIT ?4",
                                        kColumns));
    if (filter.slot) query.bind(1, *filter.slot);
    if (filter.kind) query.bind(2, kindName(*filter.kind));
    if (filter.keyboard) query.bind(3, *filter.keyboard);
    query.bind(4, filter.limit > 0 ? filter.limit : -1);
    std::vector<HistoryEntry> entries;
    while (query.executeStep()) entries.push_back(entryFrom(query));
    return entries;
  });
}

namespace {

Result<HistoryEntry> withDocument(SQLite::Statement& row) {
  HistoryEntry entry = entryFrom(row);
  const SQLite::Column packed = row.getColumn(9);
  Result<std::string> document =
      expand(packed.getBlob(), packed.getBytes(), row.getColumn(10).getInt64());
  if (!document) {
    return Result<HistoryEntry>::failure(
        fmt::format("history entry {} cannot be used: {}", entry.id, document.message()));
  }
  entry.document = std::move(*document);
  return entry;
}

}  // namespace

Result<HistoryEntry> History::entry(std::int64_t id) {
  return withDatabase([&](Db& db) -> Result<HistoryEntry> {
    SQLite::Statement query(
        db.db, fmt::format("SELECT {}, preset, size FROM entries WHERE id = ?", kColumns));
    query.bind(1, static_cast<int64_t>(id));
    if (!query.executeStep()) {
      return Result<HistoryEntry>::failure(fmt::format("there is no history entry {}", id));
    }
    return withDocument(query);
  });
}

Result<SlotStates> History::slotStates(const std::string& keyboard) {
  return withDatabase([&](Db& db) -> Result<SlotStates> {
    SQLite::Statement query(
        db.db, fmt::format("SELECT {}, preset, size FROM entries WHERE keyboard = ? AND slot = ? "
                           "AND kind != 'read' ORDER BY id DESC LIMIT 1",
                           kColumns));
    SlotStates states;
    for (int slot = 1; slot <= kSlotCount; ++slot) {
      SlotState& state = states[static_cast<std::size_t>(slot - 1)];
      state.slot = slot;
      query.reset();
      query.bind(1, keyboard);
      query.bind(2, slot);
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
        fmt::format("history entry {} cannot be used: {}", entry.id, preset.message()));
  }
  return preset;
}

}  // namespace padkbd
