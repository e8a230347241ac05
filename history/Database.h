// The history's database file as SQLite sees it: made, upgraded from an
// older padkbd's, told apart from a newer one's, and what each of SQLite's
// failures means for the file. The history and the library's index use it.
#pragma once

#include <SQLiteCpp/SQLiteCpp.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>

#include "model/Outcome.h"

namespace padkbd::historydb {

// What a failure says of the file.
enum class Trouble {
  Busy,        // another program holds it: wait, then give up on this entry
  Damage,      // corrupt or not a database: set aside, start anew
  ReadOnly,    // may be read, not written
  Unreadable,  // cannot be opened or read (permissions, I/O)
  Other,       // nothing wrong with the file (a full disk, a bad value)
};
Trouble troubleOf(int sqliteCode);

// A problem padkbd finds itself, of the kind it names.
struct Problem : std::runtime_error {
  Problem(Trouble trouble, const std::string& what) : std::runtime_error(what), trouble(trouble) {}
  Trouble trouble;
};

struct Opened {
  std::unique_ptr<SQLite::Database> db;
  // Written by a newer padkbd: read, never written.
  bool newer = false;
  // Upgraded from an older version just now: where the copy of the old file is.
  std::filesystem::path backup;
};

// Opens the database at `path`, making it when it is missing and upgrading
// an older one step by step, each step in its own transaction, after a
// copy of the old file is kept beside it (`path`.v1-backup). Throws
// SQLite::Exception or Problem.
Opened open(const std::filesystem::path& path, std::chrono::milliseconds busyTimeout, int version);

// Whether a program other than this connection has the database open:
// SQLite keeps a lock on its files while it does (in write-ahead-log mode,
// for as long as the connection lives).
bool inUse(const std::filesystem::path& path);

// What setting a damaged database aside gave: where it went, or that it
// stays (another program has it open, or it could not be moved, and why).
struct SetAside {
  std::filesystem::path aside;
  bool inUse = false;
  std::string failure;
};
// Moves `path`, and its log with it, to `path`.damaged-<local time>[-N],
// unless another program has it open.
SetAside moveAside(const std::filesystem::path& path);

// Runs `attempt` (which opens the database and works on it) until it gives
// its value: a database another program holds is waited for up to
// `busyTimeout`; a damaged one is set aside once (`setAside` says why it
// could not be) and tried anew; any other trouble fails as `failure` words
// it. `drop` closes the connection after each attempt that failed.
template <typename Value, typename Attempt, typename Drop, typename SetAside, typename Failure>
Value retrying(std::chrono::milliseconds busyTimeout, Attempt attempt, Drop drop, SetAside setAside,
               Failure failure) {
  const auto start = std::chrono::steady_clock::now();
  for (bool setAsideOnce = false;;) {
    Trouble trouble = Trouble::Other;
    std::string why;
    try {
      return attempt();
    } catch (const SQLite::Exception& e) {
      trouble = troubleOf(e.getErrorCode());
      why = e.what();
    } catch (const Problem& e) {
      trouble = e.trouble;
      why = e.what();
    }
    drop();
    // SQLite gives up at once where waiting could deadlock (two runs
    // making the database at the same moment): only a lock that outlasts
    // the busy timeout is one that stays.
    if (trouble == Trouble::Busy && std::chrono::steady_clock::now() - start < busyTimeout) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
      continue;
    }
    if (trouble != Trouble::Damage || setAsideOnce) {
      return Value(Outcome::failure(failure(trouble, why)));
    }
    if (std::optional<Text> failed = setAside(why)) return Value(Outcome::failure(*failed));
    setAsideOnce = true;
  }
}

}  // namespace padkbd::historydb
