#include "library/Library.h"

#include <fcntl.h>
#include <fmt/chrono.h>
#include <fmt/format.h>
#include <sqlite3.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>
#include <xxhash.h>

#include <SQLiteCpp/SQLiteCpp.h>
#include <algorithm>
#include <cctype>
#include <cstring>
#include <ctime>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <thread>
#include <unordered_map>
#include <utility>

#include "history/Database.h"
#include "model/Log.h"
#include "storage/FileAction.h"
#include "storage/Files.h"
#include "storage/TempFiles.h"

namespace padkbd {
namespace {

namespace fs = std::filesystem;
using historydb::Problem;
using historydb::Trouble;
using Json = nlohmann::json;

constexpr const char* kSchema = R"(
CREATE TABLE presets(
  id INTEGER PRIMARY KEY,
  path TEXT NOT NULL UNIQUE,
  folder TEXT NOT NULL,
  name TEXT NOT NULL,
  size INTEGER NOT NULL,
  mtime INTEGER NOT NULL,
  hash TEXT NOT NULL,
  refused TEXT,
  pads BLOB,
  added INTEGER NOT NULL,
  changed INTEGER NOT NULL,
  notes TEXT NOT NULL DEFAULT '',
  favourite INTEGER NOT NULL DEFAULT 0,
  missing INTEGER NOT NULL DEFAULT 0);
CREATE INDEX presets_by_hash ON presets(hash);
CREATE INDEX presets_by_folder ON presets(folder);
CREATE TABLE tags(
  preset INTEGER NOT NULL,
  tag TEXT NOT NULL COLLATE NOCASE,
  PRIMARY KEY (preset, tag));
CREATE INDEX tags_by_tag ON tags(tag);
CREATE VIRTUAL TABLE search USING fts5(name, tags, notes, tokenize = 'unicode61 remove_diacritics 2');
)";

constexpr const char* kColumns =
    "p.id, p.path, p.folder, p.name, p.size, p.hash, p.refused, p.pads, p.added, p.changed, "
    "p.notes, p.favourite, p.missing, (SELECT group_concat(tag, char(10)) FROM (SELECT tag FROM "
    "tags WHERE preset = p.id ORDER BY tag COLLATE NOCASE)) AS tag_list";

// Pads are the controls 8 to 55.
constexpr int kFirstPad = 8;
// Deeper than any folder of presets: a loop of bind mounts stops here.
constexpr int kMaxDepth = 24;

std::int64_t millis(LibraryClock::time_point at) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(at.time_since_epoch()).count();
}
LibraryClock::time_point fromMillis(std::int64_t ms) {
  return LibraryClock::time_point(std::chrono::milliseconds(ms));
}

// A refusal is kept as its catalogue pattern and values, so that each face
// words it again; a pattern this padkbd does not know is kept in English.
Json textJson(const Text& text) {
  Json args = Json::array();
  for (const TextArg& arg : text.args) {
    std::visit(
        [&](const auto& value) {
          using V = std::decay_t<decltype(value)>;
          if constexpr (std::is_same_v<V, std::string>) {
            args.push_back({{"s", value}});
          } else if constexpr (std::is_same_v<V, std::int64_t>) {
            args.push_back({{"n", value}});
          } else if constexpr (std::is_same_v<V, TextClock::time_point>) {
            args.push_back({{"t", millis(value)}});
          } else {
            args.push_back({{"x", textJson(*value)}});
          }
        },
        arg.value());
  }
  return {{"p", catalogueEntry(text.id).pattern}, {"e", english(text)}, {"a", std::move(args)}};
}

Text textFrom(const Json& json) {
  const std::string pattern = json.value("p", "");
  const std::string words = json.value("e", "");
  for (std::size_t n = 0; n < static_cast<std::size_t>(TextId::Count); ++n) {
    const auto id = static_cast<TextId>(n);
    if (pattern != catalogueEntry(id).pattern) continue;
    std::vector<TextArg> args;
    for (const Json& arg : json.value("a", Json::array())) {
      if (arg.contains("s") && arg["s"].is_string()) {
        args.emplace_back(arg["s"].get<std::string>());
      } else if (arg.contains("n") && arg["n"].is_number_integer()) {
        args.emplace_back(arg["n"].get<long long>());
      } else if (arg.contains("t") && arg["t"].is_number_integer()) {
        args.emplace_back(fromMillis(arg["t"].get<std::int64_t>()));
      } else if (arg.contains("x") && arg["x"].is_object()) {
        args.emplace_back(textFrom(arg["x"]));
      } else {
        return Text(TextId::Plain, {words});
      }
    }
    return Text(id, std::move(args));
  }
  return Text(TextId::Plain, {words});
}

std::string padBlob(const Preset& preset) {
  std::string blob(kLibraryPads * 3, '\xff');
  for (int pad = 0; pad < kLibraryPads; ++pad) {
    const std::size_t index = static_cast<std::size_t>(kFirstPad + pad);
    if (index >= preset.buttons.size() || !preset.buttons[index]) continue;
    const ButtonValue& b = *preset.buttons[index];
    const int parts[] = {b.CR, b.CG, b.CB};
    for (int i = 0; i < 3; ++i) {
      blob[static_cast<std::size_t>(pad * 3 + i)] =
          parts[i] >= 0 && parts[i] <= 127 ? static_cast<char>(parts[i]) : '\xff';
    }
  }
  return blob;
}

PadColours padsFrom(const void* data, int size) {
  PadColours pads{};
  if (data == nullptr || size != kLibraryPads * 3) return pads;
  const auto* bytes = static_cast<const unsigned char*>(data);
  const auto part = [&](int i) { return bytes[i] <= 127 ? int(bytes[i]) : -1; };
  for (int pad = 0; pad < kLibraryPads; ++pad) {
    pads[static_cast<std::size_t>(pad)] = {part(pad * 3), part(pad * 3 + 1), part(pad * 3 + 2)};
  }
  return pads;
}

struct Stat {
  std::int64_t size = 0;
  std::int64_t mtime = 0;  // nanoseconds
};

std::optional<Stat> statOf(const fs::path& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
  return Stat{
      static_cast<std::int64_t>(info.st_size),
      static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec};
}

// A file as a look found it.
struct Found {
  fs::path path;
  std::string folder;
  Stat stat;
};

// What reading a file anew gave.
struct Indexed {
  Found file;
  std::string hash;
  std::optional<Text> refused;
  std::string pads;
};

Indexed indexFile(const Found& file) {
  Indexed indexed{file, {}, {}, {}};
  const FileBytes bytes = readFileLimited(file.path);
  if (!bytes) {
    indexed.refused = bytes.outcome().text();
    return indexed;
  }
  indexed.hash = contentHash(*bytes);
  const PresetRead preset = parsePreset(*bytes);
  if (!preset) {
    indexed.refused = preset.outcome().text();
  } else {
    indexed.pads = padBlob(*preset);
  }
  return indexed;
}

bool hidden(const fs::path& path) {
  const std::string name = path.filename().string();
  return !name.empty() && name.front() == '.';
}

// Every file of a library folder but hidden ones (temporary files among
// them) and sets; folders linked in are not followed.
void walk(const fs::path& folder, std::vector<Found>& found, const std::atomic<bool>* cancel) {
  std::error_code ec;
  fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec);
  for (const fs::recursive_directory_iterator end; !ec && it != end; it.increment(ec)) {
    if (cancel != nullptr && cancel->load()) return;
    const fs::path& path = it->path();
    std::error_code typeError;
    if (hidden(path) || it.depth() > kMaxDepth) {
      if (it->is_directory(typeError)) it.disable_recursion_pending();
      continue;
    }
    if (it->is_directory(typeError) || path.extension() == ".padkbdset") continue;
    // A FIFO or a device is listed as what it is when read.
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) continue;
    Stat stat{
        static_cast<std::int64_t>(info.st_size),
        static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec};
    if (S_ISLNK(info.st_mode)) {
      const std::optional<Stat> target = statOf(path);
      if (!target) continue;  // a dangling link or one to a folder
      stat = *target;
    }
    found.push_back({path, folder.string(), stat});
  }
}

// Words for SQLite's full-text search: each a phrase, its last word a prefix.
std::string matchQuery(std::string_view words) {
  std::string query;
  std::size_t i = 0;
  while (i < words.size()) {
    while (i < words.size() && std::isspace(static_cast<unsigned char>(words[i]))) ++i;
    std::size_t j = i;
    while (j < words.size() && !std::isspace(static_cast<unsigned char>(words[j]))) ++j;
    if (j > i) {
      std::string word;
      for (char c : words.substr(i, j - i))
        word += c == '"' ? std::string("\"\"") : std::string(1, c);
      query += (query.empty() ? "\"" : " \"") + word + "\"*";
    }
    i = j;
  }
  return query;
}

void refreshSearch(SQLite::Database& db, std::int64_t id) {
  SQLite::Statement drop(db, "DELETE FROM search WHERE rowid = ?");
  drop.bind(1, id);
  drop.exec();
  SQLite::Statement add(db,
                        "INSERT INTO search(rowid, name, tags, notes) SELECT id, name, (SELECT "
                        "group_concat(tag, ' ') FROM tags WHERE preset = ?1), notes FROM presets "
                        "WHERE id = ?1");
  add.bind(1, id);
  add.exec();
}

LibraryPreset presetFrom(SQLite::Statement& row) {
  LibraryPreset preset;
  preset.id = row.getColumn(0).getInt64();
  preset.path = row.getColumn(1).getString();
  preset.folder = row.getColumn(2).getString();
  preset.name = row.getColumn(3).getString();
  preset.size = static_cast<std::uintmax_t>(row.getColumn(4).getInt64());
  preset.hash = row.getColumn(5).getString();
  if (!row.getColumn(6).isNull()) {
    const Json json = Json::parse(row.getColumn(6).getString(), nullptr, false);
    preset.refused = json.is_object() ? textFrom(json) : Text(TextId::Plain, {"?"});
  }
  preset.pads = padsFrom(row.getColumn(7).getBlob(), row.getColumn(7).getBytes());
  preset.added = fromMillis(row.getColumn(8).getInt64());
  preset.changed = fromMillis(row.getColumn(9).getInt64());
  preset.notes = row.getColumn(10).getString();
  preset.favourite = row.getColumn(11).getInt() != 0;
  preset.missing = row.getColumn(12).getInt() != 0;
  const std::string tags = row.getColumn(13).getString();
  for (std::size_t start = 0; start < tags.size();) {
    const std::size_t end = std::min(tags.find('\n', start), tags.size());
    preset.tags.push_back(tags.substr(start, end - start));
    start = end + 1;
  }
  return preset;
}

Text troubleText(Trouble trouble, const fs::path& path, const std::string& why) {
  switch (trouble) {
    case Trouble::Busy:
      return Text(TextId::LibraryBusy, {path.string()});
    case Trouble::ReadOnly:
    case Trouble::Unreadable:
      return Text(TextId::LibraryUnopenable, {path.string(), why});
    case Trouble::Damage:
    case Trouble::Other:
      break;
  }
  return Text(TextId::LibraryFailed, {why});
}

Outcome cancelled() {
  return Outcome::cancelled(Text(TextId::Cancelled));
}

}  // namespace

std::string contentHash(std::string_view bytes) {
  const XXH128_hash_t hash = XXH3_128bits(bytes.data(), bytes.size());
  return fmt::format("{:016x}{:016x}", hash.high64, hash.low64);
}

fs::path LibraryPreset::relative() const {
  return path.lexically_relative(folder);
}

std::optional<std::string> cleanTag(std::string_view tag) {
  while (!tag.empty() && std::isspace(static_cast<unsigned char>(tag.front())))
    tag.remove_prefix(1);
  while (!tag.empty() && std::isspace(static_cast<unsigned char>(tag.back()))) tag.remove_suffix(1);
  if (tag.empty() || tag.size() > 64 || tag.front() == '+' || tag.front() == '-') {
    return std::nullopt;
  }
  for (char c : tag) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f || c == ',') return std::nullopt;
  }
  return std::string(tag);
}

struct Library::Db {
  std::unique_ptr<SQLite::Database> db;
  bool newer = false;
};

fs::path Library::defaultIndexPath() {
  return xdgDirectory("XDG_DATA_HOME", ".local/share") / "library.sqlite";
}

fs::path Library::defaultFolder() {
  return xdgDirectory("XDG_DATA_HOME", ".local/share") / "library";
}

Library::Library(fs::path index, std::vector<fs::path> folders,
                 std::chrono::milliseconds busyTimeout)
    : index_(std::move(index)), busyTimeout_(busyTimeout) {
  for (fs::path& folder : folders) {
    fs::path clean = folder.lexically_normal();
    if (clean.has_filename() == false && clean.has_parent_path() && clean != clean.root_path()) {
      clean = clean.parent_path();
    }
    if (std::find(folders_.begin(), folders_.end(), clean) == folders_.end()) {
      folders_.push_back(std::move(clean));
    }
  }
}

Library::~Library() = default;

std::optional<Text> Library::takeNotice() {
  return std::exchange(notice_, std::nullopt);
}

void Library::open() {
  if (db_) return;
  std::error_code ec;
  if (fs::create_directories(index_.parent_path(), ec); ec) {
    throw Problem(Trouble::Other, fmt::format("its folder {} cannot be made ({})",
                                              index_.parent_path().string(), ec.message()));
  }
  if (fs::exists(index_, ec) && !fs::is_regular_file(index_, ec)) {
    throw Problem(Trouble::Damage, "it is not a file");
  }
  auto db = std::make_unique<Db>();
  db->db = std::make_unique<SQLite::Database>(index_, SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE,
                                              static_cast<int>(busyTimeout_.count()));
  SQLite::Database& sql = *db->db;
  sql.exec("PRAGMA journal_mode = WAL");
  sql.exec("PRAGMA synchronous = NORMAL");
  const int version = sql.execAndGet("PRAGMA user_version").getInt();
  if (version > kSchemaVersion) {
    db->newer = true;
  } else if (version == 0) {
    SQLite::Transaction create(sql, SQLite::TransactionBehavior::IMMEDIATE);
    // Another program may have made it meanwhile.
    if (sql.execAndGet("PRAGMA user_version").getInt() == 0) {
      if (sql.execAndGet("SELECT count(*) FROM sqlite_master").getInt() != 0) {
        throw Problem(Trouble::Damage, "it holds something other than padkbd's library index");
      }
      sql.exec(kSchema);
      sql.exec(fmt::format("PRAGMA user_version = {}", kSchemaVersion));
    }
    create.commit();
  }
  // The columns read by name: one missing is damage, not a misreading.
  sql.exec(fmt::format("SELECT {} FROM presets p LIMIT 0", kColumns));
  sql.exec("SELECT rowid FROM search LIMIT 0");
  db_ = std::move(db);
}

std::optional<Text> Library::setAside(const std::string& why) {
  db_.reset();
  if (historydb::inUse(index_)) return Text(TextId::LibraryDamagedInUse, {index_.string(), why});
  std::tm tm{};
  const std::time_t t = LibraryClock::to_time_t(LibraryClock::now());
  localtime_r(&t, &tm);
  const std::string stem = fmt::format("{}.damaged-{:%Y-%m-%d-%H%M%S}", index_.string(), tm);
  fs::path aside = stem;
  std::error_code ec;
  for (int n = 2; fs::exists(aside, ec) || fs::is_symlink(aside, ec); ++n) {
    aside = fmt::format("{}-{}", stem, n);
  }
  fs::rename(index_, aside, ec);
  if (ec) return Text(TextId::LibraryDamagedStays, {index_.string(), why, ec.message()});
  for (const char* suffix : {"-wal", "-shm"}) {
    std::error_code ignored;
    fs::rename(index_.string() + suffix, aside.string() + suffix, ignored);
  }
  notice_ = Text(TextId::LibraryDamagedMoved, {why, aside.string()});
  log::diag("library: %s", english(*notice_));
  return std::nullopt;
}

template <typename Work>
auto Library::withIndex(Work work) -> decltype(work(std::declval<Db&>())) {
  using Value = decltype(work(std::declval<Db&>()));
  return historydb::retrying<Value>(
      busyTimeout_,
      [&]() -> Value {
        open();
        if (db_->newer)
          return Value(Outcome::failure(Text(TextId::LibraryNewer, {index_.string()})));
        return work(*db_);
      },
      [this] { db_.reset(); }, [this](const std::string& why) { return setAside(why); },
      [this](Trouble trouble, const std::string& why) {
        return troubleText(trouble, index_, why);
      });
}

Result<ScanReport> Library::scan(const std::atomic<bool>* cancel,
                                 const std::function<void(const ScanProgress&)>& progress) {
  const auto stop = [cancel] { return cancel != nullptr && cancel->load(); };
  std::error_code ec;
  if (!folders_.empty()) fs::create_directories(folders_.front(), ec);
  ScanReport report;
  std::vector<Found> found;
  std::vector<std::string> present;
  for (const fs::path& folder : folders_) {
    if (!fs::is_directory(folder, ec)) {
      report.missingFolders.push_back(folder);
      continue;
    }
    present.push_back(folder.string());
    walk(folder, found, cancel);
    if (stop()) return cancelled();
  }
  // A folder added inside another is walked twice: each file counts once,
  // in the first folder that holds it.
  {
    std::set<fs::path> once;
    found.erase(std::remove_if(found.begin(), found.end(),
                               [&](const Found& file) { return !once.insert(file.path).second; }),
                found.end());
  }
  report.files = static_cast<int>(found.size());

  struct Known {
    std::int64_t id;
    std::string folder;
    Stat stat;
    std::string hash;
  };
  const Result<std::unordered_map<std::string, Known>> loaded =
      withIndex([&](Db& db) -> Result<std::unordered_map<std::string, Known>> {
        std::unordered_map<std::string, Known> known;
        SQLite::Statement rows(*db.db, "SELECT id, path, folder, size, mtime, hash FROM presets");
        while (rows.executeStep()) {
          known.emplace(rows.getColumn(1).getString(),
                        Known{rows.getColumn(0).getInt64(),
                              rows.getColumn(2).getString(),
                              {rows.getColumn(3).getInt64(), rows.getColumn(4).getInt64()},
                              rows.getColumn(5).getString()});
        }
        return known;
      });
  if (!loaded) return loaded.outcome();
  const auto& known = *loaded;

  // New or changed files, to read; the rest is as indexed.
  std::vector<const Found*> toRead;
  std::set<std::string> seen;
  for (const Found& file : found) {
    seen.insert(file.path.string());
    const auto it = known.find(file.path.string());
    if (it == known.end() || it->second.stat.size != file.stat.size ||
        it->second.stat.mtime != file.stat.mtime || it->second.folder != file.folder) {
      toRead.push_back(&file);
    }
  }
  // Gone from a folder that is there: moved (found again by hash) or removed.
  std::multimap<std::string, std::pair<std::int64_t, std::string>> gone;
  std::vector<std::pair<std::int64_t, std::string>> dropped;
  for (const auto& [path, row] : known) {
    if (seen.count(path) != 0) continue;
    const bool inLibrary = std::find_if(folders_.begin(), folders_.end(), [&](const fs::path& f) {
                             return f.string() == row.folder;
                           }) != folders_.end();
    const bool folderThere = std::find(present.begin(), present.end(), row.folder) != present.end();
    if (!inLibrary) {
      dropped.emplace_back(row.id, path);
    } else if (folderThere) {
      gone.emplace(row.hash, std::make_pair(row.id, path));
    }
  }

  const std::int64_t now = millis(LibraryClock::now());
  ScanProgress told{0, static_cast<int>(toRead.size())};
  for (std::size_t first = 0; first < toRead.size(); first += kBatch) {
    if (stop()) return cancelled();
    std::vector<Indexed> batch;
    const std::size_t last = std::min(toRead.size(), first + kBatch);
    for (std::size_t i = first; i < last; ++i) {
      batch.push_back(indexFile(*toRead[i]));
      ++told.done;
      if (progress) progress(told);
      if (stop()) break;
    }
    const Outcome written = withIndex([&](Db& db) -> Outcome {
      SQLite::Database& sql = *db.db;
      SQLite::Transaction transaction(sql, SQLite::TransactionBehavior::IMMEDIATE);
      for (const Indexed& file : batch) {
        const std::string path = file.file.path.string();
        const std::string refused = file.refused ? textJson(*file.refused).dump() : std::string();
        std::int64_t id = 0;
        // Found again under another name: the same entry, its marks kept.
        if (const auto it = known.find(path); it == known.end() && !file.refused) {
          const auto range = gone.equal_range(file.hash);
          for (auto match = range.first; match != range.second && id == 0; ++match) {
            SQLite::Statement move(sql,
                                   "UPDATE OR REPLACE presets SET path = ?, folder = ?, name = ?, "
                                   "size = ?, mtime = ?, missing = 0 WHERE id = ? AND path = ?");
            move.bind(1, path);
            move.bind(2, file.file.folder);
            move.bind(3, file.file.path.stem().string());
            move.bind(4, file.file.stat.size);
            move.bind(5, file.file.stat.mtime);
            move.bind(6, match->second.first);
            move.bind(7, match->second.second);
            if (move.exec() == 1) id = match->second.first;
            gone.erase(match);
            if (id != 0) ++report.moved;
            break;
          }
        }
        if (id == 0) {
          SQLite::Statement upsert(
              sql,
              "INSERT INTO presets(path, folder, name, size, mtime, hash, refused, pads, added, "
              "changed) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10) ON CONFLICT(path) DO "
              "UPDATE SET folder = ?2, name = ?3, size = ?4, mtime = ?5, hash = ?6, refused = ?7, "
              "pads = ?8, changed = ?10, missing = 0 RETURNING id");
          upsert.bind(1, path);
          upsert.bind(2, file.file.folder);
          upsert.bind(3, file.file.path.stem().string());
          upsert.bind(4, file.file.stat.size);
          upsert.bind(5, file.file.stat.mtime);
          upsert.bind(6, file.hash);
          if (file.refused) {
            upsert.bind(7, refused);
            upsert.bind(8);
          } else {
            upsert.bind(7);
            upsert.bind(8, file.pads.data(), static_cast<int>(file.pads.size()));
          }
          upsert.bind(9, now);
          upsert.bind(10, file.file.stat.mtime / 1'000'000);
          if (upsert.executeStep()) id = upsert.getColumn(0).getInt64();
        }
        ++report.indexed;
        if (file.refused) ++report.refused;
        refreshSearch(sql, id);
      }
      transaction.commit();
      return Outcome::success();
    });
    if (!written) return written;
  }
  if (stop()) return cancelled();

  const Outcome tidied = withIndex([&](Db& db) -> Outcome {
    SQLite::Database& sql = *db.db;
    SQLite::Transaction transaction(sql, SQLite::TransactionBehavior::IMMEDIATE);
    std::vector<std::pair<std::int64_t, std::string>> remove = dropped;
    for (const auto& [hash, row] : gone) remove.push_back(row);
    for (const auto& [id, path] : remove) {
      SQLite::Statement drop(sql, "DELETE FROM presets WHERE id = ? AND path = ?");
      drop.bind(1, id);
      drop.bind(2, path);
      if (drop.exec() == 0) continue;
      if (std::find(dropped.begin(), dropped.end(), std::make_pair(id, path)) == dropped.end()) {
        ++report.removed;
      }
      for (const char* sqlText :
           {"DELETE FROM tags WHERE preset = ?", "DELETE FROM search WHERE rowid = ?"}) {
        SQLite::Statement also(sql, sqlText);
        also.bind(1, id);
        also.exec();
      }
    }
    for (const fs::path& folder : folders_) {
      const bool there =
          std::find(present.begin(), present.end(), folder.string()) != present.end();
      SQLite::Statement missing(sql,
                                "UPDATE presets SET missing = ? WHERE folder = ? AND missing != ?");
      missing.bind(1, there ? 0 : 1);
      missing.bind(2, folder.string());
      missing.bind(3, there ? 0 : 1);
      missing.exec();
    }
    transaction.commit();
    return Outcome::success();
  });
  if (!tidied) return tidied;
  return report;
}

Result<std::vector<LibraryPreset>> Library::list(const LibraryFilter& filter) {
  return withIndex([&](Db& db) -> Result<std::vector<LibraryPreset>> {
    SQLite::Database& sql = *db.db;
    std::string where = "p.folder IN (";
    for (std::size_t i = 0; i < folders_.size(); ++i) where += i == 0 ? "?" : ", ?";
    where += ")";
    if (!filter.refused) where += " AND p.refused IS NULL";
    if (filter.favourites) where += " AND p.favourite = 1";
    if (!filter.tag.empty()) {
      where += " AND EXISTS (SELECT 1 FROM tags t WHERE t.preset = p.id AND t.tag = :tag)";
    }
    const std::string match = matchQuery(filter.search);
    if (!match.empty())
      where += " AND p.id IN (SELECT rowid FROM search WHERE search MATCH :match)";
    SQLite::Statement rows(sql, fmt::format("SELECT {} FROM presets p WHERE {} ORDER BY p.name "
                                            "COLLATE NOCASE, p.path",
                                            kColumns, where));
    int n = 1;
    for (const fs::path& folder : folders_) rows.bind(n++, folder.string());
    if (!filter.tag.empty()) rows.bind(":tag", filter.tag);
    if (!match.empty()) rows.bind(":match", match);
    std::vector<LibraryPreset> presets;
    while (rows.executeStep()) presets.push_back(presetFrom(rows));
    // Identical contents, among usable presets: for a few (a search), each
    // looked up by its hash; for many, all groups at once.
    std::map<std::string, std::vector<std::int64_t>> byHash;
    const auto collect = [&](SQLite::Statement& same) {
      while (same.executeStep()) {
        byHash[same.getColumn(0).getString()].push_back(same.getColumn(1).getInt64());
      }
    };
    if (presets.size() <= 64) {
      SQLite::Statement same(sql,
                             "SELECT hash, id FROM presets WHERE refused IS NULL AND hash = ? "
                             "ORDER BY id");
      for (const LibraryPreset& preset : presets) {
        if (preset.refused || byHash.count(preset.hash) != 0) continue;
        same.reset();
        same.bind(1, preset.hash);
        collect(same);
      }
    } else {
      SQLite::Statement same(sql,
                             "SELECT hash, id FROM presets WHERE refused IS NULL AND hash IN "
                             "(SELECT hash FROM presets WHERE refused IS NULL GROUP BY hash "
                             "HAVING count(*) > 1) ORDER BY id");
      collect(same);
    }
    for (LibraryPreset& preset : presets) {
      if (preset.refused) continue;
      const auto it = byHash.find(preset.hash);
      if (it == byHash.end()) continue;
      for (std::int64_t id : it->second) {
        if (id != preset.id) preset.sameAs.push_back(id);
      }
    }
    return presets;
  });
}

Result<LibraryPreset> Library::find(std::string_view name) {
  LibraryFilter all;
  const Result<std::vector<LibraryPreset>> presets = list(all);
  if (!presets) return presets.outcome();
  const fs::path given(name);
  std::vector<const LibraryPreset*> found;
  for (const LibraryPreset& preset : *presets) {
    const fs::path relative = preset.relative();
    fs::path bare = relative;
    bare.replace_extension();
    fs::path full = preset.path;
    full.replace_extension();
    if (preset.name == name || relative == given || bare == given || preset.path == given ||
        full == given) {
      found.push_back(&preset);
    }
  }
  if (found.size() == 1) return *found.front();
  if (found.empty()) return Result<LibraryPreset>::failure(Text(TextId::LibraryNoPreset, {name}));
  std::vector<Text> paths;
  for (const LibraryPreset* preset : found)
    paths.push_back(Text(TextId::Plain, {preset->path.string()}));
  return Result<LibraryPreset>::failure(Text(TextId::LibraryAmbiguous, {name, joined(paths)}));
}

Result<std::vector<std::string>> Library::names() {
  return withIndex([&](Db& db) -> Result<std::vector<std::string>> {
    std::string where;
    for (std::size_t i = 0; i < folders_.size(); ++i) where += i == 0 ? "?" : ", ?";
    SQLite::Statement rows(*db.db, fmt::format("SELECT DISTINCT name FROM presets WHERE folder "
                                               "IN ({}) ORDER BY name",
                                               where));
    int n = 1;
    for (const fs::path& folder : folders_) rows.bind(n++, folder.string());
    std::vector<std::string> names;
    while (rows.executeStep()) names.push_back(rows.getColumn(0).getString());
    return names;
  });
}

Outcome Library::mark(std::int64_t id, const MarkChange& change) {
  for (const auto* tags : {&change.addTags, &change.removeTags}) {
    for (const std::string& tag : *tags) {
      if (!cleanTag(tag)) return Outcome::failure(Text(TextId::LibraryBadTag, {tag}));
    }
  }
  return withIndex([&](Db& db) -> Outcome {
    SQLite::Database& sql = *db.db;
    SQLite::Transaction transaction(sql, SQLite::TransactionBehavior::IMMEDIATE);
    SQLite::Statement exists(sql, "SELECT count(*) FROM presets WHERE id = ?");
    exists.bind(1, id);
    if (!exists.executeStep() || exists.getColumn(0).getInt() == 0) {
      return Outcome::failure(Text(TextId::LibraryNoPreset, {std::to_string(id)}));
    }
    for (const std::string& tag : change.removeTags) {
      SQLite::Statement drop(sql, "DELETE FROM tags WHERE preset = ? AND tag = ?");
      drop.bind(1, id);
      drop.bind(2, *cleanTag(tag));
      drop.exec();
    }
    for (const std::string& tag : change.addTags) {
      SQLite::Statement add(sql, "INSERT OR IGNORE INTO tags(preset, tag) VALUES (?, ?)");
      add.bind(1, id);
      add.bind(2, *cleanTag(tag));
      add.exec();
    }
    if (change.notes) {
      SQLite::Statement notes(sql, "UPDATE presets SET notes = ? WHERE id = ?");
      notes.bind(1, *change.notes);
      notes.bind(2, id);
      notes.exec();
    }
    if (change.favourite) {
      SQLite::Statement favourite(sql, "UPDATE presets SET favourite = ? WHERE id = ?");
      favourite.bind(1, *change.favourite ? 1 : 0);
      favourite.bind(2, id);
      favourite.exec();
    }
    refreshSearch(sql, id);
    transaction.commit();
    return Outcome::success();
  });
}

Result<LibraryPreset> Library::add(const fs::path& file) {
  const FileBytes bytes = readFileLimited(file);
  if (!bytes) return bytes.outcome().as(TextId::LibraryNotPreset, {file.string()});
  return add(*bytes, file.filename(), file.string());
}

Result<LibraryPreset> Library::add(std::string_view document, const fs::path& fileName) {
  return add(document, fileName, fileName.string());
}

Result<LibraryPreset> Library::add(std::string_view bytes, const fs::path& fileName,
                                   const std::string& shown) {
  if (const PresetRead preset = parsePreset(bytes); !preset) {
    return preset.outcome().as(TextId::LibraryNotPreset, {shown});
  }
  const fs::path name = fileName.filename();
  if (name.empty() || name != fileName || hidden(name)) {
    return Outcome::failure(
        Text(TextId::CouldNotWrite, {fileName.string(), Text(TextId::NotAFileName)}));
  }
  const fs::path target = folders_.front() / name;
  std::error_code ec;
  fs::create_directories(folders_.front(), ec);
  // Written beside under a hidden name, then moved in without replacing: a
  // file another program put there meanwhile stays (a folder whose file
  // system cannot move so gets a hard link instead).
  const fs::path temporary = tempfiles::siblingFor(target, 0xadd);
  if (Outcome written = writeFileAtomically(temporary, bytes); !written) {
    return written;
  }
  bool placed =
      ::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0;
  int error = errno;
  if (!placed && error == EINVAL) {
    placed = ::link(temporary.c_str(), target.c_str()) == 0;
    error = errno;
  }
  fs::remove(temporary, ec);
  if (!placed) {
    if (error != EEXIST) {
      return Outcome::failure(Text(TextId::CouldNotWrite, {target.string(), std::strerror(error)}));
    }
    const FileBytes there = readFileLimited(target);
    if (!there || contentHash(*there) != contentHash(bytes)) {
      return Outcome::failure(Text(TextId::LibraryExists, {target.string()}));
    }
  }
  const Result<ScanReport> scanned = scan();
  if (!scanned) return scanned.outcome();
  return find(target.string());
}

}  // namespace padkbd
