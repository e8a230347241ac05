#include "editor/DeviceWorker.h"

#include <QDateTime>
#include <QMetaObject>
#include <QPointer>
#include <mutex>
#include <utility>

#include "protocol/ButtonAction.h"

namespace padkbd::editor {

namespace {

// With hot-plug news the bus is looked at this often for them;
// without one, the keyboard is looked for every kPresencePollMs.
constexpr int kHotplugPollMs = 200;

std::mutex& handOffMutex() {
  static std::mutex m;
  return m;
}

}  // namespace

DeviceWorker::DeviceWorker(Reach& reach, const std::filesystem::path& resourceDir, History& history)
    : reach_(reach),
      service_(reach, reach, resourceDir, &history),
      keyboard_(reach.keyboard()),
      history_(history) {
  qRegisterMetaType<PadAction::Progress>();
  service_.setCancelFlag(&cancel_);
  service_.setProgress(
      [this](const PadAction::Progress& p) { post([this, p] { emit progress(p); }); });
  service_.setHistoryNotes([this](const HistoryNote& note) { notes_.push_back(note); });
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
  reach_.watchForChanges({});
}

void DeviceWorker::loop() {
  // Discovery's news come inside pollEvents, where the bus must not be
  // searched: they only mark that it is worth a look.
  const bool hotplug = reach_.watchForChanges([this] { busChanged_ = true; });
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
    if (service_.listening()) {
      lock.unlock();
      service_.stopListening();  // turned off: the keyboard is given back at once
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
      reach_.pollEvents();
      if (std::exchange(busChanged_, false)) checkPresence();
    }
    lock.lock();
  }
  lock.unlock();
  service_.stopListening();
}

void DeviceWorker::queueJob(std::function<void()> job) {
  {
    std::lock_guard lock(mutex_);
    jobs_.push_back(std::move(job));
    interrupt_ = true;  // listening gives way at once
  }
  wake_.notify_one();
}

void DeviceWorker::checkPresence() {
  showPresent(service_.present());
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
    if (exchange) service_.stopListening();
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

void DeviceWorker::ask(QObject* context, HistoryDone done,
                       std::function<void(History&, HistoryAnswer&)> question) {
  run<HistoryAnswer>(
      context,
      [this, question = std::move(question)] {
        HistoryAnswer answer;
        answer.keyboard = service_.historyKey();
        question(history_, answer);
        answer.note = history_.takeNoticeText();
        return answer;
      },
      std::move(done), false);
}

DeviceWorker::Report DeviceWorker::finish(const Outcome& outcome) {
  Report result;
  result.outcome = outcome;
  result.history = std::exchange(notes_, {});
  if (!outcome && !outcome.wasCancelled()) result.advice = service_.advice(outcome);
  return result;
}

void DeviceWorker::read(QObject* context, Done done) {
  run<Report>(
      context,
      [this] {
        Result<KeyboardRead> read = service_.read();
        Report result = finish(read.outcome());
        if (read) {
          result.preset = std::move(read->preset);
          result.firmware = std::move(read->firmware);
          result.replaced = std::move(read->replaced);
        }
        return result;
      },
      std::move(done));
}

void DeviceWorker::send(Preset preset, std::string source, QObject* context, Done done) {
  run<Report>(
      context,
      [this, preset = std::move(preset), source = std::move(source)]() mutable {
        const Outcome sent = service_.send(std::move(preset), std::move(source));
        Report result = finish(sent);
        result.written = service_.written();
        return result;
      },
      std::move(done));
}

void DeviceWorker::sendGains(std::vector<std::int32_t> gains, QObject* context, Done done) {
  run<Report>(
      context, [this, gains = std::move(gains)] { return finish(service_.sendGains(gains)); },
      std::move(done));
}

void DeviceWorker::sendSet(std::vector<SetSlotPlan> plan, std::vector<int> skip,
                           std::string setName, QObject* context, Done done) {
  run<Report>(
      context,
      [this, plan = std::move(plan), skip = std::move(skip), setName = std::move(setName)] {
        SetSendResult sent =
            padkbd::sendSet(service_, plan, skip, setName, [this](const SetProgress& progress) {
              post([this, progress] { emit setProgress(progress); });
            });
        Report result = finish(sent.outcome);
        result.written = sent.stoppedWritten;
        result.set = std::move(sent);
        return result;
      },
      std::move(done));
}

void DeviceWorker::listDevices(QObject* context, std::function<void(MidiDeviceListing)> done) {
  run<MidiDeviceListing>(
      context, [this] { return reach_.listMidiDevices(); }, std::move(done));
}

void DeviceWorker::listPorts(QObject* context, std::function<void(MidiPortListing)> done) {
  run<MidiPortListing>(
      context, [this] { return reach_.listPorts(); }, std::move(done));
}

void DeviceWorker::setKeyboard(const KeyboardId& keyboard, QObject* context,
                               std::function<void(bool)> done) {
  keyboard_ = keyboard;
  run<bool>(
      context, [this, keyboard] { return service_.useKeyboard(keyboard); }, std::move(done));
}

}  // namespace padkbd::editor
