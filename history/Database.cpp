#include "history/Database.h"

#include <fcntl.h>
#include <fmt/chrono.h>
#include <fmt/format.h>
#include <sqlite3.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <ctime>
#include <string_view>

namespace padkbd::historydb {
namespace {

// The newest schema, for a database made now.
constexpr const char* kSchema = R"(
CREATE TABLE entries(
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  at INTEGER NOT NULL,
  keyboard TEXT NOT NULL,
  keyboard_kind TEXT NOT NULL DEFAULT 'usb' CHECK (keyboard_kind IN ('usb', 'port', 'simulated')),
  firmware TEXT NOT NULL,
  kind TEXT NOT NULL CHECK (kind IN ('read', 'sent', 'stopped')),
  slot INTEGER NOT NULL,
  written INTEGER NOT NULL,
  total INTEGER NOT NULL,
  source TEXT NOT NULL,
  preset BLOB NOT NULL,
  size INTEGER NOT NULL,
  note TEXT NOT NULL DEFAULT '');
CREATE INDEX entries_by_slot ON entries(keyboard, slot, id);
)";

// Step n takes a database of version n to version n + 1.
struct Step {
  int from;
  const char* sql;
};
constexpr std::array kSteps{
    // How the keyboard was reached gets a column of its own (a simulated
    // keyboard was recorded under the USB ids before), and entries a note.
    Step{1, R"(
ALTER TABLE entries ADD COLUMN keyboard_kind TEXT NOT NULL DEFAULT 'usb'
  CHECK (keyboard_kind IN ('usb', 'port', 'simulated'));
UPDATE entries SET keyboard_kind = 'port' WHERE keyboard LIKE 'port %';
ALTER TABLE entries ADD COLUMN note TEXT NOT NULL DEFAULT '';
)"},
};

int versionOf(SQLite::Database& db) {
  return db.execAndGet("PRAGMA user_version").getInt();
}

void setVersion(SQLite::Database& db, int version) {
  db.exec(fmt::format("PRAGMA user_version = {}", version));
}

// A copy of the database as it is, whole (its write-ahead log included),
// kept beside it; one already there from an upgrade cut short stays.
std::filesystem::path keepCopy(SQLite::Database& db, const std::filesystem::path& path,
                               int version) {
  const std::filesystem::path backup = fmt::format("{}.v{}-backup", path.string(), version);
  std::error_code ec;
  if (std::filesystem::exists(backup, ec)) return backup;
  SQLite::Statement copy(db, "VACUUM INTO ?");
  copy.bind(1, backup.string());
  copy.exec();
  return backup;
}

}  // namespace

Trouble troubleOf(int sqliteCode) {
  switch (sqliteCode & 0xFF) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      return Trouble::Busy;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
      return Trouble::Damage;
    case SQLITE_READONLY:
      return Trouble::ReadOnly;
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
    case SQLITE_AUTH:
    case SQLITE_IOERR:
      return Trouble::Unreadable;
    default:
      return Trouble::Other;
  }
}

Opened open(const std::filesystem::path& path, std::chrono::milliseconds busyTimeout, int version) {
  std::error_code ec;
  if (std::filesystem::exists(path, ec) && !std::filesystem::is_regular_file(path, ec)) {
    throw Problem(Trouble::Damage, "it is not a file");
  }
  Opened opened;
  opened.db = std::make_unique<SQLite::Database>(path, SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE,
                                                 static_cast<int>(busyTimeout.count()));
  SQLite::Database& db = *opened.db;
  // A database SQLite could only open for reading says so at its first write.
  const bool writable = sqlite3_db_readonly(db.getHandle(), "main") == 0;
  if (writable) {
    db.exec("PRAGMA journal_mode = WAL");
    db.exec("PRAGMA synchronous = NORMAL");
  }
  const int found = versionOf(db);
  if (found > version) {
    opened.newer = true;
  } else if (found == 0) {
    SQLite::Transaction create(db, SQLite::TransactionBehavior::IMMEDIATE);
    // Another run may have made it meanwhile.
    if (versionOf(db) == 0) {
      if (db.execAndGet("SELECT count(*) FROM sqlite_master").getInt() != 0) {
        throw Problem(Trouble::Other, "it holds something other than padkbd's history");
      }
      db.exec(kSchema);
      setVersion(db, version);
    }
    create.commit();
  } else if (found < version) {
    opened.backup = keepCopy(db, path, found);
    for (const Step& step : kSteps) {
      if (step.from < found || step.from >= version) continue;
      SQLite::Transaction upgrade(db, SQLite::TransactionBehavior::IMMEDIATE);
      // Another run may have taken this step meanwhile.
      if (versionOf(db) == step.from) {
        db.exec(step.sql);
        setVersion(db, step.from + 1);
      }
      upgrade.commit();
    }
  }
  // The columns this padkbd reads, by name: a newer padkbd's database that
  // lacks one is told, not misread.
  db.exec(
      "SELECT id, at, keyboard, keyboard_kind, firmware, kind, slot, written, total, source, "
      "preset, size, note FROM entries LIMIT 0");
  return opened;
}

bool inUse(const std::filesystem::path& path) {
  // Open-file-description locks conflict with SQLite's record locks, this
  // process's own included.
  for (const std::string& file : {path.string(), path.string() + "-shm", path.string() + "-wal"}) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) continue;
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    const bool held = ::fcntl(fd, F_OFD_GETLK, &lock) == 0 && lock.l_type != F_UNLCK;
    ::close(fd);
    if (held) return true;
  }
  return false;
}

SetAside moveAside(const std::filesystem::path& path) {
  if (inUse(path)) return {{}, true, {}};
  std::tm tm{};
  const std::time_t t = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
  localtime_r(&t, &tm);
  const std::string stem = fmt::format("{}.damaged-{:%Y-%m-%d-%H%M%S}", path.string(), tm);
  std::filesystem::path aside = stem;
  std::error_code ec;
  for (int n = 2; std::filesystem::exists(aside, ec) || std::filesystem::is_symlink(aside, ec);
       ++n) {
    aside = fmt::format("{}-{}", stem, n);
  }
  std::filesystem::rename(path, aside, ec);
  if (ec) return {{}, false, ec.message()};
  // Its log holds committed entries too: it goes with it.
  for (const char* suffix : {"-wal", "-shm"}) {
    std::error_code ignored;
    std::filesystem::rename(path.string() + suffix, aside.string() + suffix, ignored);
  }
  return {aside, false, {}};
}

}  // namespace padkbd::historydb
