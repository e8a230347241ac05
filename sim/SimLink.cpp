// The simulated keyboard's link and discovery: finding it, opening it, the
// transfers themselves, unplugging and hot-plug news.

#include <algorithm>
#include <thread>

#include "sim/SimWire.h"
#include "sim/SimulatedController.h"

namespace padkbd {

using simwire::kClock;
using simwire::kFullPacket;

// A wait for the next transfer looks at the cancel flag this often.
constexpr std::chrono::milliseconds kWaitSlice{50};

bool SimulatedController::unpluggedLocked() {
  if (!unplugged_ && faults_.unplugAfter &&
      transferCount_ >= static_cast<std::size_t>(std::max(0, *faults_.unplugAfter))) {
    unplugged_ = true;
    open_ = claimed_ = false;
    pending_.clear();
    late_.clear();
    if (wasPresent_ && !faults_.absent) ++comings_;
    wasPresent_ = false;
  }
  return unplugged_;
}

void SimulatedController::replug() {
  std::lock_guard lock(mutex_);
  presentLocked();  // an unplug not yet noticed is counted first
  faults_.unplugAfter.reset();
  unplugged_ = false;
  open_ = claimed_ = false;  // an open link does not survive an unplug
  pending_.clear();
  late_.clear();
  presentLocked();
}

std::size_t SimulatedController::transferCount() const {
  std::lock_guard lock(mutex_);
  return transferCount_;
}

bool SimulatedController::isClaimed() const {
  std::lock_guard lock(mutex_);
  return claimed_;
}

void SimulatedController::useKeyboard(const KeyboardId& keyboard) {
  std::lock_guard lock(mutex_);
  wanted_ = keyboard.usb;
}

std::vector<std::string> SimulatedController::find() {
  std::lock_guard lock(mutex_);
  found_ = !faults_.absent && !unpluggedLocked() && wanted_ == keyboard_.usb;
  if (!found_) return {};
  return {kDeviceName};
}

MidiDeviceListing SimulatedController::listMidiDevices() {
  std::lock_guard lock(mutex_);
  MidiDeviceListing listing;
  if (faults_.absent || unpluggedLocked()) return listing;
  MidiDeviceInfo info{keyboard_.usb, kDeviceName, "padkbd", 1, "1-1", LinkAccess::Granted, {}};
  if (faults_.refuseAccess) {
    info.access = LinkAccess::Denied;
    info.accessProblem = "access denied";
  }
  listing.devices.push_back(std::move(info));
  return listing;
}

Outcome SimulatedController::open() {
  std::lock_guard lock(mutex_);
  open_ = claimed_ = false;
  if (!found_ || faults_.absent || unpluggedLocked()) {
    return openingFailed(OpeningStep::Opened, linkreason::kGone);
  }
  if (faults_.refuseAccess) return openingFailed(OpeningStep::Opened, Text(TextId::UsbAccessDenied));
  if (faults_.busy) return openingFailed(OpeningStep::Claimed, Text(TextId::UsbBusy));
  open_ = claimed_ = true;
  return Outcome::success();
}

void SimulatedController::close() {
  std::lock_guard lock(mutex_);
  open_ = claimed_ = false;
}

bool SimulatedController::isOpen() const {
  std::lock_guard lock(mutex_);
  return open_;
}

void SimulatedController::pause() {
  std::lock_guard lock(mutex_);
  claimed_ = false;
}

void SimulatedController::resume() {
  std::lock_guard lock(mutex_);
  if (open_ && !unpluggedLocked()) claimed_ = true;
}

std::string SimulatedController::serial() const {
  std::lock_guard lock(mutex_);
  return found_ ? serial_ : std::string();
}

void SimulatedController::setSerial(std::string serial) {
  std::lock_guard lock(mutex_);
  serial_ = std::move(serial);
}

Outcome SimulatedController::send(std::span<const std::uint8_t> packets) {
  std::unique_lock lock(mutex_);
  if (faults_.pace.count() > 0) {
    // A real keyboard takes its time over each transfer, writes included.
    const auto pace = faults_.pace;
    lock.unlock();
    std::this_thread::sleep_for(pace);
    lock.lock();
  }
  const std::size_t before = transferCount_;
  std::vector<std::uint8_t> bytes(packets.begin(), packets.end());
  const auto record = [&](const Text* failure) {
    if (logTransfers_) log_.push_back(Transfer{Direction::Out, bytes, failure != nullptr});
    // A failed send closes the link, as a lost or broken pipe does.
    if (failure != nullptr) open_ = claimed_ = false;
    return failure == nullptr ? Outcome::success() : Outcome::failure(*failure);
  };
  const bool gone = unpluggedLocked();
  ++transferCount_;
  if (gone || !open_) return record(&linkreason::kGone);
  if (!claimed_) {
    protocolError("write while the keyboard is not taken", bytes);
    return record(&linkreason::kIoError);
  }
  if (faults_.writeFailureAfter &&
      before >= static_cast<std::size_t>(std::max(0, *faults_.writeFailureAfter))) {
    return record(&linkreason::kIoError);
  }
  // Logged before the replies it brings.
  const Outcome taken = record(nullptr);
  handleRequest(bytes);
  return taken;
}

void SimulatedController::changeFaults(const std::function<void(Faults&)>& change) {
  std::lock_guard lock(mutex_);
  change(faults_);
  presentLocked();
}

bool SimulatedController::presentLocked() {
  const bool present = !faults_.absent && !unpluggedLocked();
  if (present != wasPresent_) ++comings_;
  wasPresent_ = present;
  return present;
}

bool SimulatedController::watchForChanges(std::function<void()> changed) {
  std::lock_guard lock(mutex_);
  changed_ = faults_.noHotplug ? nullptr : std::move(changed);
  if (!changed_) return false;
  presentLocked();
  told_ = comings_;
  return true;
}

void SimulatedController::pollEvents() {
  std::function<void()> tell;
  {
    std::lock_guard lock(mutex_);
    presentLocked();
    if (!changed_ || told_ == comings_) return;
    told_ = comings_;
    tell = changed_;
  }
  tell();  // outside the lock: it may look at the bus
}

bool SimulatedController::waits() const {
  std::lock_guard lock(mutex_);
  return faults_.waitOnSilence || faults_.pace.count() > 0;
}

Result<std::size_t> SimulatedController::receive(std::span<std::uint8_t> into, Deadline deadline,
                                                 const std::atomic<bool>* cancel) {
  std::unique_lock lock(mutex_);
  const auto record = [&](const Text* failure, std::vector<std::uint8_t> bytes = {}) {
    if (logTransfers_) {
      log_.push_back(Transfer{Direction::In, std::move(bytes), failure != nullptr});
    }
  };
  const auto fail = [&](const Text& why) -> Result<std::size_t> {
    record(&why);
    return Outcome::failure(why);
  };
  const bool gone = unpluggedLocked();
  ++transferCount_;
  if (gone || !open_) return fail(linkreason::kGone);
  if (!claimed_) {
    protocolError("read while the keyboard is not taken", {});
    return fail(linkreason::kIoError);
  }
  if (!late_.empty()) {
    // The reader gives up before the late reply comes; it is there for the next read.
    for (auto& transfer : late_) pending_.push_back(std::move(transfer));
    late_.clear();
    record(nullptr);
    return std::size_t{0};
  }
  if (pending_.empty() && faults_.endlessClock) {
    pending_.push_back(kClock);
    if (faults_.padTransfers) pending_.back().resize(kFullPacket, 0x00);
  }
  if (faults_.waitOnSilence || faults_.pace.count() > 0) {
    // As a device: the receive waits for what is on its way, or its
    // deadline, looking at the cancel flag now and then.
    const auto limit = std::chrono::steady_clock::now() + until(deadline);
    for (;;) {
      if (cancel != nullptr && cancel->load()) {
        record(&linkreason::kInterrupted);
        return Outcome::failure(linkreason::kInterrupted);
      }
      const auto now = std::chrono::steady_clock::now();
      if (!pending_.empty() && due_ <= now) break;
      if (now >= limit) {
        record(nullptr);
        return std::size_t{0};
      }
      const auto wake = std::min({pending_.empty() ? limit : due_, limit, now + kWaitSlice});
      // A touch of a control (another thread) wakes the wait at once.
      arrived_.wait_until(lock, wake);
      if (unpluggedLocked() || !open_) return fail(linkreason::kGone);
    }
  }
  if (pending_.empty()) {
    record(nullptr);
    return std::size_t{0};
  }
  std::vector<std::uint8_t> reply = std::move(pending_.front());
  pending_.erase(pending_.begin());
  // A transfer longer than the reader's buffer is cut, as a real bulk read would.
  const std::size_t n = std::min(into.size(), reply.size());
  std::copy_n(reply.begin(), n, into.begin());
  reply.resize(n);
  record(nullptr, std::move(reply));
  return n;
}

}  // namespace padkbd
