// The commands of the padkbd tool, as one table: each entry names a command,
// says what it reaches, declares its options and runs it. The parser, the
// help, the usage errors and the dispatch (Cli.cpp) all walk the table, so a
// new command is an entry in Commands.cpp and its run function.
#pragma once

#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "cli/Cli.h"
#include "cli/Console.h"
#include "keyboard/Options.h"
#include "model/Outcome.h"
#include "storage/Settings.h"

namespace CLI {
class App;
class Validator;
}  // namespace CLI

namespace padkbd {
class History;
}  // namespace padkbd

namespace padkbd::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

// What the command line gave: the tool's options and every command's own
// words, each command reading its own.
struct Args {
  bool quiet = false;
  bool verbose = false;
  // --simulate[=STATEFILE], --device, --manufacturer, --port, --midi-api.
  KeyboardArgs keyboard;
  bool trace = false;  // --trace
  LinkFactory link;    // when set, makes the link instead of USB or --simulate

  std::vector<std::string> files;        // check
  std::string file, second;              // send, show, diff
  std::string output;                    // read, default
  bool json = false;                     // show
  std::optional<int> slot;               // send
  std::vector<int> gains;                // gains
  std::string useIds;                    // use
  bool reset = false;                    // use
  std::string udevIds;                   // devices
  std::string topic;                     // help
  bool dryRun = false;                   // send
  std::optional<int> limit;              // history
  std::string kind;                      // history
  std::string verb;                      // history: "", "show", "diff" or "note"
  std::string note;                      // history note
  std::int64_t entryId = 0;              // history show, diff; restore
  std::string play;                      // monitor --play
  std::string tag;                       // library list --tag
  std::string search;                    // library list --search
  bool favourites = false;               // library list --favourites
  std::vector<std::string> tags;         // library add --tag; library tag +TAG, --add
  std::vector<std::string> untags;       // library tag -TAG, --remove
  std::vector<std::string> plus, minus;  // library tag +TAG -TAG, taken before the parser
  std::optional<std::string> notes;      // library tag --notes
  bool favourite = false;                // library tag --favourite
  bool notFavourite = false;             // library tag --not-favourite
  std::string addFolder;                 // library folders --add
  std::string removeFolder;              // library folders --remove
  std::vector<std::string> slotNames;    // set make N=NAME ...
  std::string only;                      // set send --only
  bool skipWritten = false;              // set send --skip-written
  std::string midnam;                    // export --midnam
};

struct Context {
  Console& console;
  std::filesystem::path resourceDir;
  SettingsFile settings;
  KeyboardSettings commandLine;  // --device, --manufacturer, --port
  ReachOptions reach;            // --simulate[=STATEFILE], --midi-api
  const CLI::App* parser;        // for help
  History& history;              // every read and send
};

// How a command ended. The exit status follows from its code in one place
// (Cli.cpp): 0 done, 128 + the signal's number when cancelled, 2 a usage
// error, else `failedStatus`; a failure's message is its line on standard
// error (none when empty: the command said what it had to).
struct Ending {
  // Not explicit: a command returns its outcome as it is.
  Ending(Outcome outcome, int failedStatus = kExitFailed)
      : outcome(std::move(outcome)), failedStatus(failedStatus) {}
  Outcome outcome;
  int failedStatus;  // 1; diff: 1 different, 2 unreadable
};

// The exit status of an ending, by its code, after its message (if any) went
// to the console as the one error line.
int exitStatus(Console& console, const Ending& ending);

// What a command needs, which decides the device options it takes.
enum class Needs {
  Files,     // documents only: no device option
  Settings,  // the settings file: the keyboard's ids (--device, --manufacturer, --port)
  History,   // the history: --simulate[=FILE] picks the simulated keyboard's entries
  Keyboard,  // the keyboard: every device option, named in its help
};

struct Command {
  const char* name;
  const char* help;
  Needs needs;
  void (*options)(CLI::App& command, Args& args);  // none: the command takes no words
  // A usage error the parser cannot see (two options that exclude each
  // other), or ""; none: nothing to check.
  std::string (*refuse)(const Args& args);
  Ending (*run)(Context& context, const Args& args);
};

// Every command, in the order the help lists them.
std::span<const Command> commands();
std::vector<std::string> commandNames();

// The first device option given that a command which `needs` that much does
// not take (a command that stores the keyboard's ids takes those, one that
// reads the history --simulate); none when there is none.
const char* deviceOptionGiven(const Args& args, Needs needs);

// Checks a USB vendor:product id in hexadecimal (--device, and the commands' ids).
CLI::Validator usbIdsValidator();
// A check whose refusal is only the value, quoted; the usage error says what
// the option wants.
CLI::Validator accepting(bool (*ok)(const std::string& value));
// "12" and "-3"; none for anything else.
std::optional<long long> wholeNumber(const std::string& text);
bool isSlot(const std::string& text);     // a memory slot 1-9
bool isEntryId(const std::string& text);  // a history entry, 1 or more
// "-" or a name that is no option: "-o --simulate" would else write "--simulate".
bool isFileName(const std::string& text);

}  // namespace padkbd::cli
