// The simulated keyboard as a UsbBackend: finding it, its interfaces and
// pipes, the transfers themselves, unplugging and hot-plug news.
#include <fmt/format.h>

#include <algorithm>
#include <thread>

#include "sim/SimWire.h"
#include "sim/SimulatedController.h"

namespace padkbd {

using simwire::kClock;
using simwire::kFullPacket;

bool SimulatedController::unpluggedLocked() {
  if (!unplugged_ && faults_.unplugAfter &&
      transferCount_ >= static_cast<std::size_t>(std::max(0, *faults_.unplugAfter))) {
    unplugged_ = true;
    handles_.clear();
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
  handles_.clear();  // handles do not survive an unplug
  pending_.clear();
  late_.clear();
  presentLocked();
}

std::size_t SimulatedController::transferCount() const {
  std::lock_guard lock(mutex_);
  return transferCount_;
}

bool SimulatedController::isInterfaceOpen() const {
  std::lock_guard lock(mutex_);
  return std::any_of(handles_.begin(), handles_.end(),
                     [](const auto& entry) { return entry.second.open; });
}

std::size_t SimulatedController::openHandleCount() const {
  std::lock_guard lock(mutex_);
  return handles_.size();
}

std::vector<UsbDevice> SimulatedController::findDevices(std::uint16_t vendorId,
                                                        std::uint16_t productId) {
  std::lock_guard lock(mutex_);
  if (faults_.absent || unpluggedLocked() || vendorId != keyboard_.usb.vendorId ||
      productId != keyboard_.usb.productId) {
    return {};
  }
  return {UsbDevice{kDeviceId, kDeviceName}};
}

MidiDeviceListing SimulatedController::listMidiDevices() {
  std::lock_guard lock(mutex_);
  MidiDeviceListing listing;
  if (faults_.absent || unpluggedLocked()) return listing;
  listing.devices.push_back(
      MidiDeviceInfo{keyboard_.usb, kDeviceName, "padkbd", 1, "1-1",
                     faults_.refuseAccess ? UsbStatus::AccessDenied : UsbStatus::Success});
  return listing;
}

std::vector<UsbInterfaceInfo> SimulatedController::listInterfaces(const UsbDevice& device) {
  std::lock_guard lock(mutex_);
  if (faults_.absent || unpluggedLocked() || device.id != kDeviceId) return {};
  // Audio control, then MIDI streaming (the one the editor talks through).
  std::vector<UsbInterfaceInfo> interfaces = {{0, 1, 1}};
  if (!faults_.oneInterfaceOnly) interfaces.push_back({kMidiInterface, 1, 3});
  return interfaces;
}

UsbStatus SimulatedController::createInterface(const UsbDevice& device, int interfaceNumber,
                                               UsbInterfaceHandle& handle) {
  std::lock_guard lock(mutex_);
  handle = 0;
  if (faults_.absent || unpluggedLocked() || device.id != kDeviceId) return UsbStatus::NoDevice;
  const int interfaces = faults_.oneInterfaceOnly ? 1 : 2;
  if (interfaceNumber < 0 || interfaceNumber >= interfaces) return UsbStatus::NotFound;
  if (faults_.refuseAccess) return UsbStatus::AccessDenied;
  handle = nextHandle_++;
  handles_[handle] = Handle{interfaceNumber, false};
  return UsbStatus::Success;
}

UsbStatus SimulatedController::openInterface(UsbInterfaceHandle handle) {
  std::lock_guard lock(mutex_);
  if (unpluggedLocked()) return UsbStatus::NoDevice;
  const auto it = handles_.find(handle);
  if (it == handles_.end()) return UsbStatus::InvalidParameter;
  if (faults_.busy && it->second.interfaceNumber == kMidiInterface) return UsbStatus::Busy;
  // One claim per interface: a second handle on the same interface is refused.
  for (const auto& [other, state] : handles_) {
    if (other != handle && state.open && state.interfaceNumber == it->second.interfaceNumber) {
      return UsbStatus::Busy;
    }
  }
  it->second.open = true;
  return UsbStatus::Success;
}

UsbStatus SimulatedController::closeInterface(UsbInterfaceHandle handle) {
  std::lock_guard lock(mutex_);
  if (unpluggedLocked()) return UsbStatus::NoDevice;
  const auto it = handles_.find(handle);
  if (it == handles_.end()) return UsbStatus::InvalidParameter;
  if (!it->second.open) return UsbStatus::NotFound;
  it->second.open = false;
  return UsbStatus::Success;
}

void SimulatedController::releaseInterface(UsbInterfaceHandle handle) {
  std::lock_guard lock(mutex_);
  handles_.erase(handle);
}

UsbStatus SimulatedController::numEndpoints(UsbInterfaceHandle handle, int& count) {
  std::lock_guard lock(mutex_);
  count = 0;
  if (unpluggedLocked()) return UsbStatus::NoDevice;
  const auto it = handles_.find(handle);
  if (it == handles_.end()) return UsbStatus::InvalidParameter;
  count = it->second.interfaceNumber == kMidiInterface ? 2 : 0;
  return UsbStatus::Success;
}

UsbStatus SimulatedController::pipeProperties(UsbInterfaceHandle handle, int pipe,
                                              UsbPipeProperties& properties) {
  std::lock_guard lock(mutex_);
  properties = {};
  if (unpluggedLocked()) return UsbStatus::NoDevice;
  const auto it = handles_.find(handle);
  if (it == handles_.end()) return UsbStatus::InvalidParameter;
  if (it->second.interfaceNumber != kMidiInterface || pipe < 1 || pipe > 2) {
    return UsbStatus::NotFound;
  }
  // Pipe 1: bulk IN endpoint 0x81; pipe 2: bulk OUT endpoint 0x02.
  properties.direction = pipe == 1 ? 1 : 0;
  properties.number = pipe;
  properties.transferType = 2;
  properties.maxPacketSize = 64;
  properties.interval = 0;
  return UsbStatus::Success;
}

UsbStatus SimulatedController::writePipe(UsbInterfaceHandle handle, int pipe,
                                         const std::uint8_t* data, std::size_t size) {
  std::unique_lock lock(mutex_);
  if (faults_.pace.count() > 0) {
    // A real keyboard takes its time over each transfer, writes included.
    const auto pace = faults_.pace;
    lock.unlock();
    std::this_thread::sleep_for(pace);
    lock.lock();
  }
  const std::size_t before = transferCount_;
  std::vector<std::uint8_t> bytes;
  if (data != nullptr) bytes.assign(data, data + size);
  const auto record = [&](UsbStatus status) {
    if (logTransfers_) log_.push_back(Transfer{Direction::Out, pipe, bytes, status});
    return status;
  };
  const bool gone = unpluggedLocked();
  ++transferCount_;
  if (gone) return record(UsbStatus::NoDevice);
  const auto it = handles_.find(handle);
  if (it == handles_.end()) return record(UsbStatus::InvalidParameter);
  if (it->second.interfaceNumber != kMidiInterface || pipe != 2) {
    protocolError(fmt::format("write to pipe {} of interface {}", pipe, it->second.interfaceNumber),
                  bytes);
    return record(UsbStatus::InvalidParameter);
  }
  if (!it->second.open) {
    protocolError("write on an interface that is not claimed", bytes);
    return record(UsbStatus::IoError);
  }
  if (faults_.writeFailureAfter &&
      before >= static_cast<std::size_t>(std::max(0, *faults_.writeFailureAfter))) {
    return record(UsbStatus::IoError);
  }
  record(UsbStatus::Success);
  handleRequest(bytes);
  return UsbStatus::Success;
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

bool SimulatedController::waitsForTimeouts() const {
  std::lock_guard lock(mutex_);
  return faults_.waitOnSilence || faults_.pace.count() > 0;
}

UsbStatus SimulatedController::readPipe(UsbInterfaceHandle handle, int pipe, std::uint8_t* data,
                                        std::size_t capacity, std::size_t& received,
                                        std::chrono::milliseconds timeout) {
  std::unique_lock lock(mutex_);
  received = 0;
  const auto record = [&](UsbStatus status, std::vector<std::uint8_t> bytes = {}) {
    if (logTransfers_) log_.push_back(Transfer{Direction::In, pipe, std::move(bytes), status});
    return status;
  };
  const bool gone = unpluggedLocked();
  ++transferCount_;
  if (gone) return record(UsbStatus::NoDevice);
  const auto it = handles_.find(handle);
  if (it == handles_.end()) return record(UsbStatus::InvalidParameter);
  if (it->second.interfaceNumber != kMidiInterface || pipe != 1) {
    protocolError(
        fmt::format("read from pipe {} of interface {}", pipe, it->second.interfaceNumber), {});
    return record(UsbStatus::InvalidParameter);
  }
  if (!it->second.open) {
    protocolError("read on an interface that is not claimed", {});
    return record(UsbStatus::IoError);
  }
  if (!late_.empty()) {
    // The reader gives up before the late reply comes; it is there for the next read.
    for (auto& transfer : late_) pending_.push_back(std::move(transfer));
    late_.clear();
    return record(UsbStatus::Timeout);
  }
  if (pending_.empty() && faults_.endlessClock) {
    pending_.push_back(kClock);
    if (faults_.padTransfers) pending_.back().resize(kFullPacket, 0x00);
  }
  if (faults_.waitOnSilence || faults_.pace.count() > 0) {
    // As a device: the read waits for what is on its way, or its time out.
    const auto limit = std::chrono::steady_clock::now() + timeout;
    const auto wake = pending_.empty() ? limit : std::min(due_, limit);
    lock.unlock();
    std::this_thread::sleep_until(wake);
    lock.lock();
    if (pending_.empty() || due_ > std::chrono::steady_clock::now()) {
      return record(UsbStatus::Timeout);
    }
  }
  if (pending_.empty()) return record(UsbStatus::Timeout);
  std::vector<std::uint8_t> reply = std::move(pending_.front());
  pending_.erase(pending_.begin());
  // A reply longer than the reader's buffer is cut, as a real bulk read would.
  const bool overflow = reply.size() > capacity;
  const std::size_t n = data != nullptr ? std::min(capacity, reply.size()) : 0;
  std::copy_n(reply.begin(), n, data);
  received = n;
  reply.resize(n);
  return record(overflow ? UsbStatus::Overflow : UsbStatus::Success, std::move(reply));
}

}  // namespace padkbd
