// Listening on the device worker's thread, between jobs: each message the
// keyboard plays is matched with a copy of the preset shown and handed to the
// window in batches. The keyboard is given back whenever a job comes.
#include <QDateTime>
#include <QMetaObject>

#include "editor/DeviceWorker.h"
#include "editor/Words.h"

namespace padkbd::editor {

void DeviceWorker::listenSlice(std::unique_lock<std::mutex>& lock) {
  // Cleared under the lock: a job queued from now on sets it again.
  interrupt_ = false;
  const int generation = listenWantedGeneration_;
  lock.unlock();
  QString why;
  const bool wasOn = service_.listening();
  if (Outcome started = service_.startListening(); !started) {
    why = tr("Listening could not start: %1").arg(words(started));
  } else if (Outcome heard = service_.listen(LinkClock::now() + kListenSlice, &interrupt_,
                                             [this](const auto& message) { hear(message); });
             !heard) {
    why = heard.code() == Code::LinkGone ? tr("Listening stopped: the keyboard went away")
                                         : tr("Listening stopped: %1").arg(words(heard));
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
  } else if (!reach_.waits()) {
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
  QString text = words(heardText(heard, names_));
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

void DeviceWorker::strike(int index, Touch touch, int amount) {
  if (striker_)
    queueJob([striker = striker_, index, touch, amount] { striker(index, touch, amount); });
}

}  // namespace padkbd::editor
