#include <sys/stat.h>

#include <algorithm>
#include <map>
#include <set>
#include <unordered_map>

#include "library/LibraryIndex.h"
#include "storage/FileAction.h"
#include "storage/Files.h"

namespace padkbd {
namespace {

namespace fs = std::filesystem;
using namespace libraryindex;

// Deeper than any folder of presets: a loop of bind mounts stops here.
constexpr int kMaxDepth = 24;

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

}  // namespace

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

}  // namespace padkbd
