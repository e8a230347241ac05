// The history of every read and send, kept in an SQLite database under
// $XDG_STATE_HOME/padkbd/, and from it what padkbd knows of each of a
// keyboard's nine memory slots. The keyboard cannot read a slot back: this
// record is the only way to see what a slot holds, to get back what a send
// replaced, or to send an old slot again.
//
// One transaction an entry, in write-ahead-log mode with a busy timeout, so
// that the editor and the tool can write at once and a run killed half-way
// leaves the entry whole or absent. Nothing about the database ever stops a
// read or a send:
// - a database another program holds is waited for, and if it stays busy
//   the entry is not kept and the failure says so; nothing is moved;
// - a read-only or unreadable one is told and left alone;
// - only a damaged one (corrupt, not a database, not a file) is moved aside
//   (history.sqlite.damaged-<date>) and a new one started, and takeNotice()
//   says so, once; never while another program has it open;
// - an older one is upgraded step by step after a copy of it is kept beside
//   it (history.sqlite.v1-backup); a newer padkbd's is read but not written.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "model/KeyboardId.h"
#include "model/Outcome.h"
#include "storage/PresetCheck.h"
#include "storage/Settings.h"

namespace padkbd {

enum class EntryKind { Read, Sent, Stopped };
// "read", "sent", "stopped": the words the database and the tool use.
const char* kindName(EntryKind kind);
std::optional<EntryKind> parseKind(std::string_view name);

// How the keyboard was reached: "usb", "port", "simulated".
enum class KeyboardKind { Usb, Port, Simulated };
const char* kindName(KeyboardKind kind);
std::optional<KeyboardKind> parseKeyboardKind(std::string_view name);

using HistoryClock = std::chrono::system_clock;

struct HistoryEntry {
  std::int64_t id = 0;
  HistoryClock::time_point at{};
  // Which keyboard (keyboardKey), how it was reached (from its key) and its
  // firmware version ("" when unknown).
  std::string keyboard;
  KeyboardKind keyboardKind = KeyboardKind::Usb;
  std::string firmware;
  EntryKind kind = EntryKind::Read;
  int slot = 0;     // 1-9 for a send; 0 for a read
  int written = 0;  // the settings that reached the keyboard
  int total = 0;    // of a whole exchange
  // Where the preset came from: a document's name, "from the keyboard",
  // "default preset", "history entry 12".
  std::string source;
  // The preset as a property-list document, byte for byte as recorded;
  // empty in listings.
  std::string document;
  // What the user wrote about it ("before the festival"), "" when nothing.
  std::string note;
};

// Which keyboard an entry is about: "usb 1209:0001", "usb 1209:0001 serial
// AB12" or "port Pad Keyboard MIDI 1". Slots are kept per keyboard.
std::string keyboardKey(const KeyboardId& keyboard, const std::string& serial);
// The simulated keyboard's: "simulated", or "simulated /path/state" when it
// keeps its slots in a state file. Never a real keyboard's, whatever ids it
// answers with.
std::string simulatedKey(const std::filesystem::path& stateFile = {});
KeyboardKind keyboardKindOf(std::string_view key);
// The same in words: "USB 1209:0001, serial AB12", "MIDI port Pad Keyboard
// MIDI 1", "simulated keyboard", "simulated keyboard, state file /path/state".
Text keyboardText(const std::string& key);

// "sent to memory slot 3", "read", "stopped after 120 of 598 settings to memory slot 3".
Text whatText(const HistoryEntry& entry);

// Where a preset came from as the database keeps it, in the words the tool
// shows ("from the keyboard", "default preset", "history entry 12", a
// document's name, each maybe followed by ", edited"), as a text each face
// words.
Text sourceText(std::string_view source);

// What padkbd knows of one memory slot of one keyboard.
struct SlotState {
  enum class Kind {
    Unknown,  // padkbd never wrote it (on this computer, in the entries kept)
    Holds,    // `entry` is the send that wrote it whole
    Mix,      // `entry` is a send that stopped part-way: old and new settings
  };
  int slot = 0;  // 1-9
  Kind kind = Kind::Unknown;
  std::optional<HistoryEntry> entry;  // with its document
};

inline constexpr int kSlotCount = 9;
using SlotStates = std::array<SlotState, kSlotCount>;

struct HistoryFilter {
  std::optional<int> slot{};
  std::optional<EntryKind> kind{};
  std::optional<std::string> keyboard{};
  int limit = 0;  // 0: all
};

class History {
 public:
  static constexpr int kDefaultKeep = SettingsFile::kDefaultHistoryKeep;
  // Long enough for another program's write (a backup tool, a database
  // browser, the editor in the middle of one).
  static constexpr std::chrono::milliseconds kDefaultBusyTimeout{10000};
  // The version of the database this padkbd writes.
  static constexpr int kSchemaVersion = 2;

  // $XDG_STATE_HOME/padkbd/history.sqlite (~/.local/state/padkbd/).
  static std::filesystem::path defaultPath();

  // Nothing is opened until first used. `keep`: entries beyond the newest
  // `keep` are pruned, except the newest of every slot.
  explicit History(std::filesystem::path path, int keep = kDefaultKeep,
                   std::chrono::milliseconds busyTimeout = kDefaultBusyTimeout);
  ~History();
  History(const History&) = delete;
  History& operator=(const History&) = delete;

  const std::filesystem::path& path() const { return path_; }

  // Adds an entry (its id and document are taken as given, its id ignored);
  // the new entry's id.
  Result<std::int64_t> record(const HistoryEntry& entry);
  // Newest first, without documents.
  Result<std::vector<HistoryEntry>> list(const HistoryFilter& filter = {});
  // One entry with its document; a failure names the id when there is none.
  Result<HistoryEntry> entry(std::int64_t id);
  // The nine slots of `keyboard`.
  Result<SlotStates> slotStates(const std::string& keyboard);
  // Writes the user's note on entry `id` ("" removes it).
  Outcome setNote(std::int64_t id, const std::string& note);

  // What happened to a damaged database the first time it was met (where
  // it went), or that an older one was upgraded (where its copy is); none
  // afterwards and when nothing happened.
  std::optional<Text> takeNoticeText();
  // The same in the tool's words; empty when nothing happened.
  std::string takeNotice();

 private:
  struct Db;
  // Runs `work` on an open database; a damaged one is set aside and `work`
  // tried once more on a new one. `writes`: refused on a newer padkbd's.
  template <typename Work>
  auto withDatabase(bool writes, Work work) -> decltype(work(std::declval<Db&>()));
  void open();
  // Sets a damaged database aside; what went wrong when it cannot be.
  std::optional<Text> setAside(const std::string& why);

  std::filesystem::path path_;
  int keep_;
  std::chrono::milliseconds busyTimeout_;
  std::unique_ptr<Db> db_;
  std::optional<Text> notice_;
};

// The preset of an entry, parsed and checked.
Result<Preset> presetOf(const HistoryEntry& entry);

}  // namespace padkbd
