// The simulated keyboard played: each touch of a control makes the messages
// its settings in slot 0 say, queued for the reader as a keyboard sends them.
#include <algorithm>

#include "link/UsbMidi.h"
#include "model/Playing.h"
#include "sim/SimWire.h"
#include "sim/SimulatedController.h"

namespace padkbd {
namespace {

namespace p = playing;
using Message = std::vector<std::uint8_t>;

Message controller(int channel, int number, int value) {
  return {static_cast<std::uint8_t>(0xB0 | channel), static_cast<std::uint8_t>(number & 0x7F),
          static_cast<std::uint8_t>(std::clamp(value, 0, 127))};
}

// An NRPN or RPN parameter selected (MSB 0, LSB the control's number) and its value sent.
std::vector<Message> parameterMessages(bool rpn, int channel, int number, int value) {
  return {controller(channel, rpn ? p::kRpnMsb : p::kNrpnMsb, 0),
          controller(channel, rpn ? p::kRpnLsb : p::kNrpnLsb, number),
          controller(channel, p::kDataEntry, value)};
}

// A value kept within the control's range, whichever way round it is set.
int within(const ButtonValue& control, int value) {
  const int low = std::min(control.min, control.max), high = std::max(control.min, control.max);
  return std::clamp(value, std::max(low, 0), std::min(high, 127));
}

}  // namespace

void SimulatedController::press(int index, int amount) {
  std::lock_guard lock(mutex_);
  playLocked(index, Touch::Press, amount);
}

void SimulatedController::release(int index) {
  std::lock_guard lock(mutex_);
  playLocked(index, Touch::Release, 0);
}

void SimulatedController::turn(int index, int amount) {
  std::lock_guard lock(mutex_);
  playLocked(index, Touch::Turn, amount);
}

void SimulatedController::strike(int index, int amount) {
  std::lock_guard lock(mutex_);
  if (p::kindOf(index) == p::Kind::Knob) {
    playLocked(index, Touch::Turn, amount);
    return;
  }
  playLocked(index, Touch::Press, amount);
  playLocked(index, Touch::Release, 0);
}

void SimulatedController::turnBy(int index, int steps) {
  std::lock_guard lock(mutex_);
  if (index < 0 || index >= kControlCount || p::kindOf(index) != p::Kind::Knob) return;
  const ButtonValue control = controlLocked(0, index);
  if (p::relativeOf(index, control) != p::Relative::Absolute) {
    playLocked(index, Touch::Turn, steps);
    return;
  }
  int& at = knobAt_[static_cast<std::size_t>(index)];
  at = within(control, at + steps);
  playLocked(index, Touch::Turn, at);
}

void SimulatedController::touch(int index, Touch touch, int amount) {
  switch (touch) {
    case Touch::Press:
      return press(index, 100);
    case Touch::Release:
      return release(index);
    case Touch::Turn:
      return turnBy(index, amount);
  }
}

std::vector<std::vector<std::uint8_t>> SimulatedController::takePending() {
  std::lock_guard lock(mutex_);
  return std::exchange(pending_, {});
}

void SimulatedController::playLocked(int index, Touch touch, int amount) {
  if (index < 0 || index >= kControlCount || unpluggedLocked()) return;
  const ButtonValue control = controlLocked(0, index);
  const PadValue global = globalsLocked(0);
  const int channel = p::channelOf(control, global);
  const p::Sends sends = p::sendsOf(index, control);
  const bool pad = p::kindOf(index) == p::Kind::Pad;
  bool on = touch != Touch::Release;
  if (p::toggles(index, control)) {
    // A toggle changes at each press; its release sends nothing.
    if (touch == Touch::Release) return;
    bool& state = switchedOn_[static_cast<std::size_t>(index)];
    state = !state;
    on = state;
  }
  // Pads are struck with a velocity; knobs and buttons send their maximum
  // when pressed, a knob its new value when turned.
  const int level = !on                           ? control.min
                    : pad || touch == Touch::Turn ? within(control, amount)
                                                  : control.max;
  std::vector<Message> messages;
  switch (sends) {
    case p::Sends::Notes: {
      const std::optional<int> note = p::noteOf(control, global);
      if (!note) return;
      const auto n = static_cast<std::uint8_t>(*note);
      if (on) {
        const int velocity = std::clamp(pad ? amount : level, 1, 127);
        messages.push_back(
            {static_cast<std::uint8_t>(0x90 | channel), n, static_cast<std::uint8_t>(velocity)});
      } else {
        messages.push_back({static_cast<std::uint8_t>(0x80 | channel), n, 0x40});
      }
      break;
    }
    case p::Sends::Controller: {
      const p::Relative relative = p::relativeOf(index, control);
      if (relative != p::Relative::Absolute) {
        if (touch != Touch::Turn) return;  // a relative knob only turns
        messages.push_back(controller(channel, control.MIDInumb, p::stepValue(relative, amount)));
      } else {
        messages.push_back(controller(channel, control.MIDInumb, level));
      }
      break;
    }
    case p::Sends::NRPN:
    case p::Sends::RPN:
      messages = parameterMessages(sends == p::Sends::RPN, channel, control.MIDInumb, level);
      break;
  }
  std::vector<std::uint8_t> transfer;
  for (const Message& message : messages) {
    const std::vector<std::uint8_t> packets = usbmidi::packetsFromMessage(message);
    transfer.insert(transfer.end(), packets.begin(), packets.end());
  }
  if (faults_.padTransfers && transfer.size() < simwire::kFullPacket) {
    transfer.resize(simwire::kFullPacket, 0x00);
  }
  pending_.push_back(std::move(transfer));
  arrived_.notify_all();
}

}  // namespace padkbd
