// The keyboard's workflow, written once for the window and the tool: each
// exchange (read, send, gains, the firmware) looks for the keyboard anew,
// takes a simulated keyboard's state file in turns, reports its progress,
// stops at a cancel, and is recorded in the history; listening hears what
// the keyboard plays between exchanges. Failures carry codes; what to do
// about one (Advice) is decided here and worded by each face.
//
// Synchronous, on one thread: the tool's main thread, the window's device
// worker.
#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "history/History.h"
#include "keyboard/Reach.h"
#include "link/InterfaceAction.h"
#include "link/Listener.h"
#include "protocol/ButtonAction.h"
#include "protocol/PadAction.h"
#include "storage/FileAction.h"

namespace padkbd {

// What the history said of an exchange it recorded.
struct HistoryNote {
  EntryKind kind = EntryKind::Read;  // of the exchange
  // The history's notice (a damaged database set aside, an upgrade), if any.
  std::optional<Text> notice;
  // Why the exchange was not kept, or success.
  Outcome notKept = Outcome::success();
};

// What the user can do about a failure, by its code.
struct Advice {
  enum class Kind {
    None,
    PlugIn,       // no keyboard with its ids, or no port of its name: Absence says more
    AllowAccess,  // this user may not open it: a udev rule
    CloseOther,   // another program holds it
  };
  Kind kind = Kind::None;
  Absence absence;  // PlugIn
};

struct KeyboardRead {
  Preset preset;
  std::optional<std::string> firmware;
  // The settings that came outside their lists (each became its list's first entry).
  ButtonAction::Replacements replaced;
};

class KeyboardService {
 public:
  // `through` is the link the exchanges use: `reach` itself, or a link in
  // front of it (the tool's trace). Both, and `history` (none: nothing is
  // recorded), must outlive the service.
  KeyboardService(Reach& reach, Link& through, const std::filesystem::path& resourceDir,
                  History* history);
  ~KeyboardService();
  KeyboardService(const KeyboardService&) = delete;
  KeyboardService& operator=(const KeyboardService&) = delete;

  // Set by another thread (or a signal) to stop the exchange under way.
  void setCancelFlag(const std::atomic<bool>* flag);
  // Told at each handshake attempt and each setting read or sent; gives
  // back who was told before.
  std::function<void(const PadAction::Progress&)> setProgress(
      std::function<void(const PadAction::Progress&)> progress);
  // Told what the history said of each exchange recorded.
  void setHistoryNotes(std::function<void(const HistoryNote&)> told);

  // Finds the keyboard, opens it, completes a handshake and gives it back:
  // its firmware version.
  Result<std::string> firmware();
  // Reads every setting; recorded.
  Result<KeyboardRead> read();
  // Writes `preset` into the memory slot it names; whatever reached the slot
  // is recorded, a part as much as the whole, with `source` (a document's
  // name, "history entry 12"). written() says how much.
  Outcome send(Preset preset, std::string source);
  int written() const;
  Outcome sendGains(const std::vector<std::int32_t>& gains);

  // Listening: takes the keyboard (raw USB: from the system's driver),
  // hands each channel message played to `heard` until `deadline` or until
  // `stop` is set, gives it back. A keyboard that goes away fails with LinkGone.
  Outcome startListening();
  Outcome listen(Link::Deadline deadline, const std::atomic<bool>* stop,
                 const Listener::Heard& heard);
  void stopListening();
  bool listening() const;

  // Looks for the keyboard without taking it: whether it is there.
  bool present();
  // Talks to another keyboard from now on: whether it is there.
  bool useKeyboard(const KeyboardId& keyboard);
  // What the user can do about `failed`.
  Advice advice(const Outcome& failed);
  // The history's key of the keyboard reached (see Reach::historyKey).
  std::string historyKey();

  Reach& reach() { return reach_; }
  InterfaceAction& io() { return *io_; }
  PadAction& pad() { return *pad_; }

 private:
  // Runs `exchange` between the state file's begin and end; a failure to
  // save the state after a success is the outcome.
  template <typename Exchange>
  auto inTurn(Exchange exchange) -> decltype(exchange());
  void record(const std::optional<HistoryEntry>& entry);

  Reach& reach_;
  History* history_;
  std::unique_ptr<InterfaceAction> io_;
  std::unique_ptr<FileAction> files_;
  std::unique_ptr<PadAction> pad_;
  std::unique_ptr<Listener> listener_;
  std::function<void(const HistoryNote&)> told_;
  int written_ = 0;
};

}  // namespace padkbd
