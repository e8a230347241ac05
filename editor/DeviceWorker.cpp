#include "editor/DeviceWorker.h"

#include <QDateTime>
#include <QMetaObject>
#include <QPointer>
#include <mutex>
#include <utility>

#include "protocol/ButtonAction.h"

namespace padkbd::editor {

namespace {

// Records of the worker's own, copied so that the window gets records the
// worker never touches again.
Preset copyOf(const CurrentPreset& preset) {
  return padkbd::copyOf(Preset{preset.buttonValueArray, preset.currentPadValue});
}

// With hot-plug news the bus is looked at this often for them;
// without one, the keyboard is looked for every kPresencePollMs.
constexpr int kHotplugPollMs = 200;

std::mutex& handOffMutex() {
  static std::mutex m;
  return m;
}

}  // namespace

DeviceWorker::DeviceWorker(Link& link, Discovery& discovery, const KeyboardId& keyboard,
                           const std::filesystem::path& resourceDir, History& history)
    : discovery_(discovery), keyboard_(keyboard), history_(history) {
  qRegisterMetaType<PadAction::Progress>();
  io_ = std::make_unique<InterfaceAction>(link, keyboard);
  // No working copy: the window's edit session keeps its own.
  files_ = std::make_unique<FileAction>(resourceDir, std::filesystem::path());
  pad_ = std::make_unique<PadAction>(*io_, *files_);
  listener_ = std::make_unique<Listener>(*io_);
  io_->setCancelFlag(&cancel_);
  pad_->setProgress(
      [this](const PadAction::Progress& p) { post([this, p] { emit progress(p); }); });
  thread_ = std::thread([this] { loop(); });
}

DeviceWorker::~DeviceWorker() {
  cancel();
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
    interrupt_ = true;
  }
  wake_.notify_one();
  thread_.join();
  // Discovery keeps no news function of a worker that is gone.
  discovery_.watchForChanges({});
}

void DeviceWorker::loop() {
  // Discovery's news come inside pollEvents, where the bus must not be
  // searched: they only mark that it is worth a look.
  const bool hotplug = discovery_.watchForChanges([this] { busChanged_ = true; });
  const auto interval = std::chrono::milliseconds(hotplug ? kHotplugPollMs : kPresencePollMs);
  checkPresence();
  auto nextLook = std::chrono::steady_clock::now() + interval;
  std::unique_lock lock(mutex_);
  while (!stopping_) {
    if (!jobs_.empty()) {
      std::function<void()> job = std::move(jobs_.front());
      jobs_.pop_front();
      lock.unlock();
      job();
      lock.lock();
      continue;
    }
    if (listenWanted_) {
      // The listener looks for a silent keyboard itself: no presence checks meanwhile.
      listenSlice(lock);
      continue;
    }
    if (listener_->listening()) {
      lock.unlock();
      listener_->stop();  // turned off: the keyboard is given back at once
      lock.lock();
      continue;
    }
    wake_.wait_until(lock, nextLook,
                     [this] { return stopping_ || !jobs_.empty() || listenWanted_; });
    if (stopping_ || !jobs_.empty() || listenWanted_) continue;
    nextLook = std::chrono::steady_clock::now() + interval;
    lock.unlock();
    if (!hotplug) {
      checkPresence();
    } else {
      discovery_.pollEvents();
      if (std::exchange(busChanged_, false)) checkPresence();
    }
    lock.lock();
  }
  lock.unlock();
  listener_->stop();
}

void DeviceWorker::listenSlice(std::unique_lock<std::mutex>& lock) {
  // Cleared under the lock: a job queued from now on sets it again.
  interrupt_ = false;
  const int generation = listenWantedGeneration_;
  lock.unlock();
  QString why;
  const bool wasOn = listener_->listening();
  if (Outcome started = listener_->start(); !started) {
    why = tr("Listening could not start: %1").arg(QString::fromStdString(started.message()));
  } else if (Outcome heard = listener_->listen(LinkClock::now() + kListenSlice, &interrupt_,
                                               [this](const auto& message) { hear(message); });
             !heard) {
    why = heard.message() == linkreason::kGone
              ? tr("Listening stopped: the keyboard went away")
              : tr("Listening stopped: %1").arg(QString::fromStdString(heard.message()));
  }
  if (why.isEmpty() && !wasOn) showPresent(true);  // listening found it
  if (!why.isEmpty()) {
    checkPresence();
    post([this, generation, why] {
      if (generation != listenGeneration_ || !listening_) return;
      listening_ = false;
      // A copy: the call may turn listening on or off, which replaces it.
      const std::function<void(QString)> stopped = stoppedTo_;
      if (listenContext_ && stopped) stopped(why);
    });
  }
  lock.lock();
  if (!why.isEmpty()) {
    if (generation == listenWantedGeneration_) listenWanted_ = false;
  } else if (!io_->link().waits()) {
    // A link that does not wait has told all it holds: rest until the slice
    // ends, unless a job (a strike) comes first.
    wake_.wait_for(lock, kListenSlice,
                   [this] { return stopping_ || !jobs_.empty() || !listenWanted_; });
  }
}

void DeviceWorker::hear(const usbmidi::ChannelMessage& message) {
  const qint64 at = QDateTime::currentMSecsSinceEpoch();
  bool first = false;
  {
    std::lock_guard lock(playMutex_);
    if (nextPreset_) {
      matcher_.setPreset(std::move(nextPreset_->first));
      names_ = std::move(nextPreset_->second);
      nextPreset_.reset();
    }
  }
  Heard heard = matcher_.match(message);
  if (!words_) words_ = monitorWords();
  QString text = QString::fromStdString(heardText(heard, names_, *words_));
  {
    std::lock_guard lock(playMutex_);
    first = played_.empty();
    played_.push_back({std::move(heard), std::move(text), at});
  }
  // One call on its way to the window takes everything heard until it runs,
  // so a flood of messages is a few calls, not one each.
  if (first) post([this] { deliverPlayed(); });
}

void DeviceWorker::deliverPlayed() {
  std::vector<Played> batch;
  {
    std::lock_guard lock(playMutex_);
    batch.swap(played_);
  }
  const HeardDone heard = heardTo_;  // the call may turn listening off, which replaces it
  if (listening_ && listenContext_ && heard) heard(std::move(batch));
}

void DeviceWorker::setListening(bool on, QObject* context, HeardDone heard,
                                std::function<void(QString)> stopped) {
  listening_ = on;
  listenContext_ = context;
  heardTo_ = std::move(heard);
  stoppedTo_ = std::move(stopped);
  ++listenGeneration_;
  {
    std::lock_guard lock(mutex_);
    listenWanted_ = on;
    listenWantedGeneration_ = listenGeneration_;
    interrupt_ = true;
  }
  wake_.notify_one();
}

void DeviceWorker::setPlayPreset(Preset preset, std::vector<std::string> names) {
  std::lock_guard lock(playMutex_);
  nextPreset_.emplace(std::move(preset), std::move(names));
}

void DeviceWorker::queueJob(std::function<void()> job) {
  {
    std::lock_guard lock(mutex_);
    jobs_.push_back(std::move(job));
    interrupt_ = true;  // listening gives way at once
  }
  wake_.notify_one();
}

void DeviceWorker::strike(int index) {
  if (striker_) queueJob([striker = striker_, index] { striker(index); });
}

void DeviceWorker::checkPresence() {
  // Looking takes nothing: an exchange later opens what it finds anew.
  showPresent(!io_->link().find().empty());
}

void DeviceWorker::showPresent(bool now) {
  if (now == present_.exchange(now)) return;
  post([this, now] { emit presenceChanged(now); });
}

void DeviceWorker::post(std::function<void()> call) {
  // The mutex is held while Qt queues the call and taken again before the
  // call runs: Qt already orders the two, but with futexes that thread
  // checkers cannot see; this shows them the same order.
  std::lock_guard queued(handOffMutex());
  QMetaObject::invokeMethod(
      this,
      [call = std::move(call)] {
        { std::lock_guard received(handOffMutex()); }
        call();
      },
      Qt::QueuedConnection);
}

template <typename Value>
void DeviceWorker::run(QObject* context, std::function<Value()> work,
                       std::function<void(Value)> deliver, bool exchange) {
  int& count = exchange ? busy_ : questions_;
  if (exchange && busy_ == 0) cancel_ = false;
  ++count;
  QPointer<QObject> guard(context);
  queueJob([this, guard, work = std::move(work), deliver = std::move(deliver), &count, exchange] {
    // An exchange takes the keyboard itself: listening gives it back first
    // and takes it again after the job.
    if (exchange) listener_->stop();
    Value value = work();
    // A question to the history says nothing new of the bus.
    if (exchange) checkPresence();
    // Back on the window's thread, where this object lives; the context
    // may be gone by then.
    post([guard, value = std::move(value), deliver, &count]() mutable {
      --count;
      if (guard) deliver(std::move(value));
    });
  });
}

std::string DeviceWorker::historyKey() {
  if (!fixedKey_.empty()) return fixedKey_;
  const std::string serial = io_->link().serial();
  if (!serial.empty() || !(io_->keyboard() == serialOf_)) {
    serialOf_ = io_->keyboard();
    serial_ = serial;
  }
  return keyboardKey(io_->keyboard(), serial_);
}

std::string DeviceWorker::record(const HistoryEntry& entry) {
  const Result<std::int64_t> recorded = history_.record(entry);
  std::string note = history_.takeNotice();
  if (!recorded) {
    if (!note.empty()) note += "\n";
    const QString why = QString::fromStdString(recorded.message());
    note += (entry.kind == EntryKind::Read ? tr("The history could not keep this read: %1.")
                                           : tr("The history could not keep this send: %1."))
                .arg(why)
                .toStdString();
  }
  return note;
}

void DeviceWorker::ask(QObject* context, HistoryDone done,
                       std::function<void(History&, HistoryAnswer&)> question) {
  run<HistoryAnswer>(
      context,
      [this, question = std::move(question)] {
        HistoryAnswer answer;
        answer.keyboard = historyKey();
        question(history_, answer);
        answer.note = history_.takeNotice();
        return answer;
      },
      std::move(done), false);
}

void DeviceWorker::slotStates(QObject* context, HistoryDone done) {
  ask(context, std::move(done), [](History& history, HistoryAnswer& answer) {
    Result<SlotStates> states = history.slotStates(answer.keyboard);
    answer.outcome = states.outcome();
    for (int n = 0; n < kSlotCount; ++n) answer.states[std::size_t(n)].slot = n + 1;
    if (states) answer.states = std::move(*states);
  });
}

void DeviceWorker::listHistory(HistoryFilter filter, QObject* context, HistoryDone done) {
  ask(context, std::move(done), [filter](History& history, HistoryAnswer& answer) {
    Result<std::vector<HistoryEntry>> entries = history.list(filter);
    answer.outcome = entries.outcome();
    if (entries) answer.entries = std::move(*entries);
  });
}

void DeviceWorker::historyEntry(std::int64_t id, QObject* context, HistoryDone done) {
  ask(context, std::move(done), [id](History& history, HistoryAnswer& answer) {
    Result<HistoryEntry> entry = history.entry(id);
    answer.outcome = entry.outcome();
    if (entry) answer.entries.push_back(std::move(*entry));
  });
}

void DeviceWorker::setHistoryNote(std::int64_t id, std::string note, QObject* context,
                                  HistoryDone done) {
  ask(context, std::move(done), [id, note = std::move(note)](History& history, HistoryAnswer& answer) {
    answer.outcome = history.setNote(id, note);
  });
}

DeviceWorker::Report DeviceWorker::finish(const Outcome& outcome) const {
  Report result;
  result.outcome = outcome;
  if (!outcome && !outcome.wasCancelled()) result.advice = advice();
  return result;
}

// The same advice the tool gives, in the window's words: the Keyboard dialog
// lists the devices and ports, and shows the udev rule.
QString DeviceWorker::advice() const {
  switch (io_->link().access()) {
    case LinkAccess::Denied:
      return tr("This user may not open the keyboard (USB id %1). Keyboard → Keyboard… shows "
                "the udev rule that allows it and how to install it; then plug the keyboard "
                "in again.")
          .arg(QString::fromStdString(formatUsbIds(io_->keyboard().usb)));
    case LinkAccess::Busy:
      return tr(
          "Another program holds the keyboard: close it (or another padkbd), then try "
          "again.");
    case LinkAccess::Granted:
    case LinkAccess::Other:
      break;
  }
  if (io_->found()) return {};
  if (!io_->keyboard().port.empty()) {
    return tr("No MIDI port named \"%1\" was found. Is the keyboard plugged in? Keyboard → "
              "Keyboard… lists the MIDI ports and chooses another.")
        .arg(QString::fromStdString(io_->keyboard().port));
  }
  return tr("No keyboard with USB id %1 was found. Is it plugged in? Keyboard → Keyboard… "
            "lists the USB MIDI devices and chooses another.")
      .arg(QString::fromStdString(formatUsbIds(io_->keyboard().usb)));
}

void DeviceWorker::read(QObject* context, Done done) {
  run<Report>(
      context,
      [this] {
        const Outcome read = pad_->ReadPadValueFromDevice();
        Report result = finish(read);
        if (read) {
          result.preset = copyOf(pad_->currentPreset());
          result.firmware = pad_->deviceVersion();
          result.replaced = pad_->lastReplacements();
          result.history = record(readEntry(historyKey(), result.firmware, result.preset));
        }
        return result;
      },
      std::move(done));
}

void DeviceWorker::send(Preset preset, std::string source, QObject* context, Done done) {
  run<Report>(
      context,
      [this, preset = std::move(preset), source = std::move(source)]() mutable {
        if (Outcome taken = pad_->usePreset(std::move(preset)); !taken) {
          return finish(taken);
        }
        if (Outcome opened = pad_->OpenInterface(); !opened) {
          return finish(opened);
        }
        const Outcome written = pad_->WritePadValueToDevice();
        Report result = finish(written);
        result.written = pad_->lastWritten();
        const CurrentPreset& sent = pad_->currentPreset();
        // Nothing written leaves the slot as it was: no entry.
        if (auto entry = sendEntry(historyKey(), pad_->deviceVersion(),
                                   sent.currentPadValue->mem + 1, result.written,
                                   Preset{sent.buttonValueArray, sent.currentPadValue}, source)) {
          result.history = record(*entry);
        }
        return result;
      },
      std::move(done));
}

void DeviceWorker::sendGains(std::vector<std::int32_t> gains, QObject* context, Done done) {
  run<Report>(
      context,
      [this, gains = std::move(gains)] {
        if (Outcome opened = pad_->OpenInterface(); !opened) {
          return finish(opened);
        }
        const Outcome sent = ButtonAction::setGainWithArray(*io_, gains);
        io_->KillInterface();
        return finish(sent);
      },
      std::move(done));
}

void DeviceWorker::listDevices(QObject* context, std::function<void(MidiDeviceListing)> done) {
  run<MidiDeviceListing>(
      context, [this] { return discovery_.listMidiDevices(); }, std::move(done));
}

void DeviceWorker::listPorts(QObject* context, std::function<void(MidiPortListing)> done) {
  run<MidiPortListing>(
      context, [api = midiApi] { return portmodule::listPorts(api); }, std::move(done));
}

void DeviceWorker::setKeyboard(const KeyboardId& keyboard, QObject* context,
                               std::function<void(bool)> done) {
  keyboard_ = keyboard;
  run<bool>(
      context,
      [this, keyboard] {
        // A handle on the keyboard used so far would outlive the switch.
        io_->KillInterface();
        io_->setKeyboard(keyboard);
        return io_->FindDevice().ok();
      },
      std::move(done));
}

}  // namespace padkbd::editor
