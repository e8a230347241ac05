// The preset library: ordinary preset documents in folders the user owns
// (the library's own, $XDG_DATA_HOME/padkbd/library/, and any added), and an
// SQLite index beside them ($XDG_DATA_HOME/padkbd/library.sqlite) that keeps
// for each file what finding, grouping and drawing it needs: its name, tags,
// notes, favourite mark, when it was added and changed, its size, time and
// content hash, and its 48 pad colours.
//
// The index is a cache plus the user's marks: deleting it loses no preset,
// only tags, notes and favourite marks. A look (scan) reads again only the
// files whose size or time changed; a file renamed or moved inside the
// library keeps its marks (found again by its hash); a file that is not a
// usable preset is listed with the reason and never stops the look; the
// entries of a folder that is gone (an unplugged drive) stay, marked missing,
// until it returns.
//
// One transaction per batch of files, in write-ahead-log mode with a busy
// timeout: a run killed half-way leaves the index whole, and two programs
// may look at once. A damaged index is set aside (library.sqlite.damaged-
// <date>) and made anew, as the history does with its database.
//
// A Library is used from one thread at a time (a window looks on a worker
// thread with a Library of its own: SQLite lets both use the file).
#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/Outcome.h"

namespace padkbd {

using LibraryClock = std::chrono::system_clock;

inline constexpr int kLibraryPads = 48;
// A pad's colour, each part 0-127; -1 when the pad has none.
struct PadColour {
  int red = -1, green = -1, blue = -1;
  bool operator==(const PadColour&) const = default;
};
using PadColours = std::array<PadColour, kLibraryPads>;

// The content hash of a file's bytes: 32 hexadecimal digits (XXH3, 128 bits).
std::string contentHash(std::string_view bytes);

struct LibraryPreset {
  std::int64_t id = 0;
  // The file's name without its extension: how the tool names it.
  std::string name;
  std::filesystem::path path;
  std::filesystem::path folder;  // the library folder it lies in
  std::string hash;              // "" when the file could not be read
  std::uintmax_t size = 0;
  LibraryClock::time_point added{};    // first indexed
  LibraryClock::time_point changed{};  // the file's time when last indexed
  std::vector<std::string> tags;       // sorted, without case
  std::string notes;
  bool favourite = false;
  bool missing = false;  // its folder is gone
  // Why it is not a usable preset (damaged, huge, unreadable, another
  // kind of file); none for a preset.
  std::optional<Text> refused;
  PadColours pads{};
  // The other entries with the same contents (presets only).
  std::vector<std::int64_t> sameAs;

  // The path inside its library folder ("live/intro.padkbd").
  std::filesystem::path relative() const;
};

struct LibraryFilter {
  std::string tag;     // only presets with this tag (without case)
  std::string search;  // words found in the name, tags or notes (prefixes match)
  bool favourites = false;
  bool refused = true;  // also the files that are not usable presets
};

struct ScanProgress {
  int done = 0;   // files looked at
  int total = 0;  // files found
};

struct ScanReport {
  int files = 0;    // found in the folders present
  int indexed = 0;  // read anew: new or changed
  int moved = 0;    // found again by their hash under another name or folder
  int removed = 0;  // gone from a folder that is there
  int refused = 0;  // not usable presets, among those read anew
  std::vector<std::filesystem::path> missingFolders;
};

// What changes in a preset's marks; nothing given changes nothing.
struct MarkChange {
  std::vector<std::string> addTags, removeTags;
  std::optional<std::string> notes;
  std::optional<bool> favourite;
};

// A tag as the user gave it: trimmed; none when it is no tag (empty, over 64
// bytes, a control character or comma, or a leading + or -).
std::optional<std::string> cleanTag(std::string_view tag);

class Library {
 public:
  static constexpr std::chrono::milliseconds kDefaultBusyTimeout{10000};
  static constexpr int kSchemaVersion = 1;
  // Files written to the index in one transaction.
  static constexpr int kBatch = 256;

  // $XDG_DATA_HOME/padkbd/library.sqlite and $XDG_DATA_HOME/padkbd/library/.
  static std::filesystem::path defaultIndexPath();
  static std::filesystem::path defaultFolder();

  // `folders`: the library's own folder first (made when needed, and where
  // add() copies to), then those added. Nothing is opened until first used.
  Library(std::filesystem::path index, std::vector<std::filesystem::path> folders,
          std::chrono::milliseconds busyTimeout = kDefaultBusyTimeout);
  ~Library();
  Library(const Library&) = delete;
  Library& operator=(const Library&) = delete;

  const std::filesystem::path& indexPath() const { return index_; }
  const std::vector<std::filesystem::path>& folders() const { return folders_; }

  // Looks at every folder and brings the index up to date. `cancel` is
  // checked between files (what was written stays); `progress` is told
  // after each file read anew.
  Result<ScanReport> scan(const std::atomic<bool>* cancel = nullptr,
                          const std::function<void(const ScanProgress&)>& progress = {});
  // What the index holds, by name then path, without looking at the folders.
  Result<std::vector<LibraryPreset>> list(const LibraryFilter& filter = {});
  // The preset a name gives: its name, its path inside a library folder
  // (with or without the extension), or its full path. LibraryNoPreset,
  // LibraryAmbiguous (the paths named) otherwise.
  Result<LibraryPreset> find(std::string_view name);
  // Every preset's name, once each, sorted (for suggestions).
  Result<std::vector<std::string>> names();
  Outcome mark(std::int64_t id, const MarkChange& change);
  // Copies `file` into the library's own folder under its file name (atomic,
  // never over another file: the same contents there already are that
  // preset, other contents are LibraryExists), indexes it and gives it.
  Result<LibraryPreset> add(const std::filesystem::path& file);
  // The same for a document's bytes (the window's Save to Library, Keep in
  // Library), as `fileName` ("intro.padkbd", no folder) in the library's own folder.
  Result<LibraryPreset> add(std::string_view document, const std::filesystem::path& fileName);

  // What happened to a damaged index the first time it was met; none after.
  std::optional<Text> takeNotice();

 private:
  struct Db;
  template <typename Work>
  auto withIndex(Work work) -> decltype(work(std::declval<Db&>()));
  void open();
  std::optional<Text> setAside(const std::string& why);
  Result<LibraryPreset> add(std::string_view bytes, const std::filesystem::path& fileName,
                            const std::string& shown);

  std::filesystem::path index_;
  std::vector<std::filesystem::path> folders_;
  std::chrono::milliseconds busyTimeout_;
  std::unique_ptr<Db> db_;
  std::optional<Text> notice_;
};

}  // namespace padkbd
