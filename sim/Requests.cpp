// What the simulated keyboard makes of each write: handshakes, value reads
// and stores, the replies it queues for the read pipe, and the log of it all.
#include <fmt/format.h>

#include <algorithm>

#include "link/UsbMidi.h"
#include "sim/SimWire.h"
#include "sim/SimulatedController.h"

namespace padkbd {
namespace {

using simwire::kClock;
using simwire::kFullPacket;
using simwire::kPacketBytes;

constexpr std::uint8_t kSysExEnd = 0xF7;
constexpr std::array<std::uint8_t, 8> kHandshakeRequest = {0x04, 0xF0, 0x7E, 0x7F,
                                                           0x07, 0x0A, 0x0B, 0xF7};
constexpr std::uint8_t kCommandRead = 0x01;
constexpr std::uint8_t kCommandWrite = 0x02;
constexpr std::uint8_t kGainSlot = 0x40;
constexpr std::uint8_t kGainParameter = 0x34;
constexpr std::uint8_t kFirstGainTarget = 0x70;

std::string hexBytes(const std::vector<std::uint8_t>& bytes) {
  std::string text;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (i != 0) text += ' ';
    text += fmt::format("{:02x}", bytes[i]);
  }
  return text;
}

bool hasHeader(const std::vector<std::uint8_t>& b, const ManufacturerId& m) {
  return b.size() >= 9 && b[0] == 0x04 && b[1] == 0xF0 && b[2] == m[0] && b[3] == m[1] &&
         b[4] == 0x04 && b[5] == m[2] && b[6] == 0x7F && b[7] == 0x42 && b[8] == 0x04;
}

// What a player puts on the pipe besides the clock: a note on cable 0, a
// controller change on cable 1, polyphonic pressure.
const std::vector<std::uint8_t> kNoteOn = {0x09, 0x90, 0x3C, 0x64};
const std::vector<std::uint8_t> kControlChange = {0x1B, 0xB1, 0x01, 0x40};
const std::vector<std::uint8_t> kPressure = {0x0A, 0xA0, 0x3C, 0x20};

void append(std::vector<std::uint8_t>& to, const std::vector<std::uint8_t>& bytes) {
  to.insert(to.end(), bytes.begin(), bytes.end());
}

}  // namespace

SimulatedController::Faults SimulatedController::Faults::hardwareLike(Traffic traffic) {
  Faults faults;
  faults.traffic = traffic;
  faults.padTransfers = true;
  faults.otherUnexaminedBytes = true;
  faults.foreignSysEx = true;
  return faults;
}

void SimulatedController::setFirmwareVersion(std::uint8_t major, std::uint8_t minor) {
  std::lock_guard lock(mutex_);
  versionMajor_ = major;
  versionMinor_ = minor;
}

void SimulatedController::resetCounters() {
  std::lock_guard lock(mutex_);
  transferCount_ = 0;
  replies_ = 0;
  handshakes_ = 0;
  readRequests_ = 0;
  stored_ = 0;
}

std::vector<SimulatedController::Transfer> SimulatedController::transfers() const {
  std::lock_guard lock(mutex_);
  return log_;
}

std::vector<std::vector<std::uint8_t>> SimulatedController::writes() const {
  std::lock_guard lock(mutex_);
  std::vector<std::vector<std::uint8_t>> out;
  for (const Transfer& t : log_) {
    if (t.direction == Direction::Out) out.push_back(t.bytes);
  }
  return out;
}

int SimulatedController::handshakeCount() const {
  std::lock_guard lock(mutex_);
  return handshakes_;
}

int SimulatedController::readRequestCount() const {
  std::lock_guard lock(mutex_);
  return readRequests_;
}

int SimulatedController::writeCount() const {
  std::lock_guard lock(mutex_);
  return stored_;
}

std::vector<std::string> SimulatedController::protocolErrors() const {
  std::lock_guard lock(mutex_);
  return errors_;
}

void SimulatedController::setLogTransfers(bool on) {
  std::lock_guard lock(mutex_);
  logTransfers_ = on;
}

void SimulatedController::clearLog() {
  std::lock_guard lock(mutex_);
  log_.clear();
  errors_.clear();
}

void SimulatedController::protocolError(const std::string& what,
                                        const std::vector<std::uint8_t>& bytes) {
  errors_.push_back(fmt::format("{} ({} bytes): {}", what, bytes.size(), hexBytes(bytes)));
}

bool SimulatedController::repliesToHandshake() const {
  return !faults_.noReplyAfter || *faults_.noReplyAfter > 0;
}

bool SimulatedController::repliesToRead() const {
  return !faults_.noReplyAfter || readRequests_ <= *faults_.noReplyAfter;
}

void SimulatedController::queueReply(std::vector<std::uint8_t> packets, bool value) {
  ++replies_;
  std::vector<std::vector<std::uint8_t>> transfers;
  if (faults_.foreignSysEx && value) {
    // Another maker's message, shaped like a value reply.
    const std::uint8_t other = keyboard_.manufacturer[0] == 0x43 ? 0x44 : 0x43;
    transfers.push_back({0x04, 0xF0, other, keyboard_.manufacturer[1], 0x04,
                         keyboard_.manufacturer[2], 0x7F, 0x42, 0x04, 0x02, 0x00, 0x00, 0x07, 0x30,
                         0x55, 0xF7});
  }
  if (faults_.bytePackets) {
    std::vector<std::uint8_t> bytes;
    // The handshake's reply ends in a packet cut short after its F7.
    for (std::size_t at = 0; at < packets.size(); at += kPacketBytes) {
      const std::size_t carried =
          std::min(usbmidi::bytesCarried(usbmidi::codeIndex(packets[at])), packets.size() - at - 1);
      for (std::size_t i = 1; i <= carried; ++i) append(bytes, {0x0F, packets[at + i], 0, 0});
    }
    packets = std::move(bytes);
  }
  std::vector<std::uint8_t> reply;
  switch (faults_.traffic) {
    case Faults::Traffic::None:
      reply = std::move(packets);
      break;
    case Faults::Traffic::OwnTransfer:
      transfers.push_back(kNoteOn);
      append(transfers.back(), kControlChange);
      reply = std::move(packets);
      break;
    case Faults::Traffic::SameTransfer: {
      // A clock byte between the reply's first and second packets.
      const std::size_t split = std::min(packets.size(), kPacketBytes);
      reply = kNoteOn;
      reply.insert(reply.end(), packets.begin(), packets.begin() + split);
      append(reply, kClock);
      reply.insert(reply.end(), packets.begin() + split, packets.end());
      if (reply.size() % kPacketBytes == 0) append(reply, kPressure);
      break;
    }
  }
  transfers.push_back(std::move(reply));
  if (faults_.packetPerTransfer) {
    std::vector<std::vector<std::uint8_t>> split;
    for (const auto& transfer : transfers) {
      for (std::size_t at = 0; at < transfer.size(); at += kPacketBytes) {
        const std::size_t end = std::min(transfer.size(), at + kPacketBytes);
        split.emplace_back(transfer.begin() + at, transfer.begin() + end);
      }
    }
    transfers = std::move(split);
  }
  if (faults_.padTransfers) {
    for (auto& transfer : transfers) {
      if (transfer.size() < kFullPacket) transfer.resize(kFullPacket, 0x00);
    }
  }
  due_ = std::chrono::steady_clock::now() + faults_.pace;
  auto& queue = faults_.lateReply && replies_ == *faults_.lateReply ? late_ : pending_;
  for (auto& transfer : transfers) queue.push_back(std::move(transfer));
}

void SimulatedController::handleRequest(const std::vector<std::uint8_t>& request) {
  // A keyboard reads whole packets: a read request whose last packet (two
  // bytes, CIN 6) comes whole, as a MIDI driver sends it, has one byte of
  // padding after the F7.
  const bool padded = request.size() == 16 && request[12] == 0x06 && request[14] == kSysExEnd;
  const std::vector<std::uint8_t> b(request.begin(), request.end() - (padded ? 1 : 0));
  if (std::equal(b.begin(), b.end(), kHandshakeRequest.begin(), kHandshakeRequest.end())) {
    ++handshakes_;
    if (!repliesToHandshake()) return;
    std::vector<std::uint8_t> reply = {0x04, 0xF0,          0x7E, 0x0A,          0x04, 0x01,
                                       0x03, versionMajor_, 0x06, versionMinor_, 0xF7};
    if (handshakes_ <= faults_.handshakeFailures) reply[3] = 0x0B;
    queueReply(std::move(reply), false);
    return;
  }

  if (b.size() == 15 && hasHeader(b, keyboard_.manufacturer) && b[9] == kCommandRead &&
      b[10] == 0x00 && b[12] == 0x06 && b[14] == kSysExEnd) {
    const std::uint8_t pp = b[11], ww = b[13];
    if (!isValidAddress(pp, ww)) {
      protocolError(fmt::format("read request for unknown parameter {:02x} target {:02x}", pp, ww),
                    b);
      return;
    }
    ++readRequests_;
    if (!repliesToRead()) return;
    std::vector<std::uint8_t> reply(b.begin(), b.begin() + 12);
    reply.insert(reply.end(), {0x07, ww, slots_[0].at({pp, ww}), kSysExEnd});
    if (faults_.otherUnexaminedBytes) {
      // Offsets 6 7 | 9 10 11 | 13: 7F 42, command, slot, parameter, target.
      for (std::size_t offset : {6, 7, 9, 10, 11, 13}) reply[offset] ^= 0x15;
    }
    if (faults_.wrongReply == Faults::WrongReply::OtherManufacturer &&
        readRequests_ > faults_.wrongReplyAfter) {
      reply[2] ^= 0x01;
    }
    if (faults_.shortReply != 0 && readRequests_ > faults_.shortReplyAfter &&
        faults_.shortReply < reply.size()) {
      reply.resize(faults_.shortReply);
    }
    queueReply(std::move(reply), true);
    return;
  }

  if (b.size() == 16 && hasHeader(b, keyboard_.manufacturer) && b[9] == kCommandWrite &&
      b[12] == 0x07 && b[15] == kSysExEnd) {
    const std::uint8_t yy = b[10], pp = b[11], ww = b[13], vv = b[14];
    if (vv > 0x7F) {
      protocolError(fmt::format("write with value byte {:02x} outside 00-7f", vv), b);
      return;
    }
    if (yy < kSlotCount && isValidAddress(pp, ww)) {
      slots_[yy][{pp, ww}] = vv;
      ++stored_;
      return;
    }
    if (yy == kGainSlot && pp == kGainParameter && ww >= kFirstGainTarget &&
        ww < kFirstGainTarget + kGainCount) {
      gains_[static_cast<std::size_t>(ww - kFirstGainTarget)] = vv;
      ++stored_;
      return;
    }
    protocolError(
        fmt::format("write to unknown slot {:02x} parameter {:02x} target {:02x}", yy, pp, ww), b);
    return;
  }

  protocolError("unknown request", b);
}

}  // namespace padkbd
