#include "library/LibraryIndex.h"

#include <fmt/chrono.h>
#include <fmt/format.h>
#include <xxhash.h>

#include <algorithm>
#include <cctype>
#include <ctime>
#include <utility>

#include "model/Log.h"
#include "storage/FileAction.h"
#include "storage/Files.h"

namespace padkbd {
namespace {

namespace fs = std::filesystem;
using historydb::Problem;
using historydb::Trouble;

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

// Pads are the controls 8 to 55.
constexpr int kFirstPad = 8;

}  // namespace

namespace libraryindex {

using Json = nlohmann::json;

std::int64_t millis(LibraryClock::time_point at) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(at.time_since_epoch()).count();
}
LibraryClock::time_point fromMillis(std::int64_t ms) {
  return LibraryClock::time_point(std::chrono::milliseconds(ms));
}

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

bool hidden(const fs::path& path) {
  const std::string name = path.filename().string();
  return !name.empty() && name.front() == '.';
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

}  // namespace libraryindex

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
  sql.exec(fmt::format("SELECT {} FROM presets p LIMIT 0", libraryindex::kColumns));
  sql.exec("SELECT rowid FROM search LIMIT 0");
  db_ = std::move(db);
}

std::optional<Text> Library::setAside(const std::string& why) {
  db_.reset();
  const historydb::SetAside moved = historydb::moveAside(index_);
  if (moved.inUse) return Text(TextId::LibraryDamagedInUse, {index_.string(), why});
  if (!moved.failure.empty()) {
    return Text(TextId::LibraryDamagedStays, {index_.string(), why, moved.failure});
  }
  notice_ = Text(TextId::LibraryDamagedMoved, {why, moved.aside.string()});
  log::diag("library: %s", english(*notice_));
  return std::nullopt;
}

}  // namespace padkbd
