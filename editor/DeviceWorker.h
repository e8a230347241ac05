// The thread the keyboard's workflow (keyboard/, the same as the tool's)
// runs on for the window, so that the window never waits for USB: its
// queue of jobs, and between jobs a look at the bus for the keyboard coming
// and going, or listening. Each request is a job that calls the workflow
// and hands its answer back; what a read finds reaches the window as
// records the worker no longer holds, and a send works on a copy.
//
// Every request names a context object (the window's) and a function run on
// that object's thread when the work is done. Cancel is a flag the workflow
// checks between transfers and while it waits for a reply.
//
// The workflow records each exchange in the history on this thread, and the
// window's questions about the history are jobs as well (HistoryJobs.cpp),
// so the window never waits for the database. Listening (Listening.cpp)
// matches each message the keyboard plays with a copy of the preset shown;
// an exchange gives the keyboard back first and listening goes on after it.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "editor/ListLabels.h"
#include "history/History.h"
#include "history/SendPreview.h"
#include "keyboard/Service.h"
#include "keyboard/SetSend.h"
#include "session/PlayMatch.h"
#include "sim/SimulatedController.h"

namespace padkbd::editor {

class DeviceWorker : public QObject {
  Q_OBJECT

 public:
  struct Report {
    // Success, or why it failed (for the user) and whether it was cancelled.
    Outcome outcome = Outcome::success();
    // A read: the keyboard's settings, its firmware (none: no keyboard
    // answered) and the settings it sent outside their lists.
    Preset preset;
    std::optional<std::string> firmware;
    ButtonAction::Replacements replaced;
    // A send, whether or not it ended well: the settings that reached the keyboard.
    int written = 0;
    // What the history had to say: a damaged database set aside, or why
    // the exchange could not be recorded. Never a reason the exchange failed.
    std::vector<HistoryNote> history;
    // What to do about a failure: a keyboard not found, not allowed or held
    // by another program.
    Advice advice;
    // A set of nine: the slots written whole, and where it stopped.
    SetSendResult set;
  };
  using Done = std::function<void(Report)>;

  // An answer from the history; on failure the values are empty.
  struct HistoryAnswer {
    Outcome outcome = Outcome::success();
    std::string keyboard;  // the key of the keyboard in use
    SlotStates states{};   // slotStates(): its nine memory slots
    // listHistory(): newest first, without documents; historyEntry(): the one, with it.
    std::vector<HistoryEntry> entries;
    std::optional<Text> note;  // a damaged database set aside, an upgrade
  };
  using HistoryDone = std::function<void(HistoryAnswer)>;

  // How often the keyboard's presence is checked when nothing else runs.
  static constexpr int kPresencePollMs = 1000;
  // Listening gives way to a job at the latest after this long.
  static constexpr std::chrono::milliseconds kListenSlice{100};

  // A message heard while listening: who played it in the preset shown, its
  // line for the monitor, and when it arrived (ms since the epoch).
  struct Played {
    Heard heard;
    QString text;
    qint64 at = 0;
  };
  using HeardDone = std::function<void(std::vector<Played>)>;

  // `reach` and `history` must outlive the worker and are used on its
  // thread only.
  DeviceWorker(Reach& reach, const std::filesystem::path& resourceDir, History& history);
  ~DeviceWorker() override;

  void read(QObject* context, Done done);
  // `source` is where the preset came from, for the history ("live.padkbd").
  void send(Preset preset, std::string source, QObject* context, Done done);
  void sendGains(std::vector<std::int32_t> gains, QObject* context, Done done);
  // A set of nine: the Ready slots of `plan` but those in `skip`, one after
  // another, each recorded as its own entry; `setProgress` tells how far.
  void sendSet(std::vector<SetSlotPlan> plan, std::vector<int> skip, std::string setName,
               QObject* context, Done done);
  void listDevices(QObject* context, std::function<void(MidiDeviceListing)> done);
  // The system's MIDI ports, through the service the keyboard's port is
  // reached by.
  void listPorts(QObject* context, std::function<void(MidiPortListing)> done);
  // Talks to another keyboard from now on; `done` says whether it is there.
  void setKeyboard(const KeyboardId& keyboard, QObject* context, std::function<void(bool)> done);

  // The history's questions. They need no keyboard: the worker does not
  // count as busy for them, though they wait for an exchange under way.
  void slotStates(QObject* context, HistoryDone done);
  void listHistory(HistoryFilter filter, QObject* context, HistoryDone done);
  void historyEntry(std::int64_t id, QObject* context, HistoryDone done);
  void setHistoryNote(std::int64_t id, std::string note, QObject* context, HistoryDone done);

  // Listening (window's thread). While on, what the keyboard plays reaches
  // `heard` in batches; `stopped` says why listening ended by itself (it
  // could not start, the keyboard went away).
  void setListening(bool on, QObject* context, HeardDone heard,
                    std::function<void(QString)> stopped);
  bool listening() const { return listening_; }
  // The preset (a copy of the shown one) and the control names messages are matched with.
  void setPlayPreset(Preset preset, std::vector<std::string> names);
  // Through raw USB listening takes the keyboard from the system's driver.
  bool takesKeyboard() const { return !striker_ && reach_.rawUsb(); }
  // The simulated keyboard, when it is the one reached (to be played).
  SimulatedController* simulated() { return reach_.simulated(); }
  // The simulated keyboard can be played from the window: `striker` plays a
  // control (by index) on it, as a job of this thread: a press, a release or
  // a turn by `amount` steps.
  using Touch = SimulatedController::Touch;
  using Striker = std::function<void(int index, Touch touch, int amount)>;
  void setStriker(Striker striker) { striker_ = std::move(striker); }
  bool canStrike() const { return static_cast<bool>(striker_); }
  void strike(int index, Touch touch, int amount = 0);

  // Stops the exchange that runs (from any thread).
  void cancel() { cancel_ = true; }
  // Whether an exchange was asked for and has not ended (window's thread).
  bool busy() const { return busy_ > 0; }
  // Whether nothing at all was asked for that has not ended, questions to
  // the history included (window's thread).
  bool idle() const { return busy_ == 0 && questions_ == 0; }
  const KeyboardId& keyboard() const { return keyboard_; }
  // Whether the keyboard was there when last looked for.
  bool present() const { return present_.load(); }

 signals:
  // Queued to the window: how far the exchange has come.
  void progress(padkbd::PadAction::Progress progress);
  // Queued to the window: how far a set's send has come.
  void setProgress(padkbd::SetProgress progress);
  // The keyboard came or went.
  void presenceChanged(bool present);

 private:
  // Runs `work` on the worker's thread, then `deliver` with its result on
  // the context's thread.
  template <typename Value>
  void run(QObject* context, std::function<Value()> work, std::function<void(Value)> deliver,
           bool exchange = true);
  // Worker's thread: the report of an exchange that ended so.
  Report finish(const Outcome& outcome);
  void ask(QObject* context, HistoryDone done,
           std::function<void(History&, HistoryAnswer&)> question);
  // The worker's thread: jobs in order, and between them a look at the bus.
  void loop();
  void checkPresence();
  void showPresent(bool present);
  // Listens for a slice (the lock held on entry and on return).
  void listenSlice(std::unique_lock<std::mutex>& lock);
  void hear(const usbmidi::ChannelMessage& message);
  void deliverPlayed();
  void queueJob(std::function<void()> job);
  // Runs `call` on the window's thread, later.
  void post(std::function<void()> call);

  Reach& reach_;
  KeyboardService service_;
  // What the history said of the exchange under way (worker's thread).
  std::vector<HistoryNote> notes_;
  std::atomic<bool> cancel_{false};
  int busy_ = 0;
  int questions_ = 0;
  KeyboardId keyboard_;  // the window's copy
  std::atomic<bool> present_{false};
  bool busChanged_ = false;  // discovery saw a device come or go (worker's thread)
  History& history_;         // worker's thread

  // Listening: the window's side.
  bool listening_ = false;
  int listenGeneration_ = 0;
  QPointer<QObject> listenContext_;
  HeardDone heardTo_;
  std::function<void(QString)> stoppedTo_;
  Striker striker_;
  // The worker's side.
  PlayMatcher matcher_;
  std::vector<std::string> names_;
  // In the window's language, taken when first needed: the language is
  // chosen after the worker starts.
  std::atomic<bool> interrupt_{false};  // a job waits, or listening ends
  std::mutex playMutex_;                // guards the two below
  std::optional<std::pair<Preset, std::vector<std::string>>> nextPreset_;
  std::vector<Played> played_;  // heard, not yet handed to the window

  std::mutex mutex_;  // guards jobs_, stopping_ and the two below
  std::condition_variable wake_;
  std::deque<std::function<void()>> jobs_;
  bool stopping_ = false;
  bool listenWanted_ = false;
  int listenWantedGeneration_ = 0;
  std::thread thread_;  // last: starts when everything above is there
};

}  // namespace padkbd::editor

Q_DECLARE_METATYPE(padkbd::PadAction::Progress)
