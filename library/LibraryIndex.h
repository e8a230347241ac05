// What the library's three parts (its index and stored forms, the look
// through its folders, and the questions and marks) share. Not for callers.
#pragma once

#include <SQLiteCpp/SQLiteCpp.h>
#include <filesystem>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>

#include "history/Database.h"
#include "library/Library.h"
#include "storage/PresetCheck.h"

namespace padkbd {

struct Library::Db {
  std::unique_ptr<SQLite::Database> db;
  bool newer = false;
};

namespace libraryindex {

inline constexpr const char* kColumns =
    "p.id, p.path, p.folder, p.name, p.size, p.hash, p.refused, p.pads, p.added, p.changed, "
    "p.notes, p.favourite, p.missing, (SELECT group_concat(tag, char(10)) FROM (SELECT tag FROM "
    "tags WHERE preset = p.id ORDER BY tag COLLATE NOCASE)) AS tag_list";

std::int64_t millis(LibraryClock::time_point at);
LibraryClock::time_point fromMillis(std::int64_t ms);
// A refusal is kept as its catalogue pattern and values, so that each face
// words it again; a pattern this padkbd does not know is kept in English.
nlohmann::json textJson(const Text& text);
Text textFrom(const nlohmann::json& json);
// The pads' colours as 48 × 3 bytes, 0xff where a part is unset.
std::string padBlob(const Preset& preset);
PadColours padsFrom(const void* data, int size);
void refreshSearch(SQLite::Database& db, std::int64_t id);
Text troubleText(historydb::Trouble trouble, const std::filesystem::path& path,
                 const std::string& why);
bool hidden(const std::filesystem::path& path);
Outcome cancelled();

}  // namespace libraryindex

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
      [this](historydb::Trouble trouble, const std::string& why) {
        return libraryindex::troubleText(trouble, index_, why);
      });
}

}  // namespace padkbd
