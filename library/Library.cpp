#include <fcntl.h>
#include <fmt/format.h>
#include <stdio.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>

#include "library/LibraryIndex.h"
#include "storage/FileAction.h"
#include "storage/Files.h"
#include "storage/TempFiles.h"

namespace padkbd {
namespace {

namespace fs = std::filesystem;
using namespace libraryindex;
using Json = nlohmann::json;

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

}  // namespace

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
