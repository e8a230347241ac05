// Hearing what the keyboard plays, through the link of the keyboard in use.
// Through a MIDI port this takes nothing from anyone: a music program keeps
// playing the keyboard. Through raw USB listening claims the keyboard's
// interface, so the kernel's MIDI driver lets go of it meanwhile: it is
// taken only while listening is on, and given back by stop() (before a read
// or a send, which take it themselves, and at the end).
#pragma once

#include <atomic>
#include <chrono>
#include <functional>

#include "link/InterfaceAction.h"
#include "link/Link.h"
#include "link/UsbMidi.h"
#include "model/Outcome.h"

namespace padkbd {

class Listener {
 public:
  // How often a silent keyboard is looked for.
  static constexpr std::chrono::milliseconds kLookEvery{1000};

  using Heard = std::function<void(const usbmidi::ChannelMessage&)>;

  // `io` must outlive the listener; nothing else may use it while listening.
  explicit Listener(InterfaceAction& io) : io_(io) {}
  // Gives the keyboard back.
  ~Listener() { stop(); }
  Listener(const Listener&) = delete;
  Listener& operator=(const Listener&) = delete;

  // Finds and takes the keyboard for listening; says why not.
  Outcome start();
  // Gives the keyboard back (raw USB: to its kernel driver).
  void stop();
  bool listening() const { return on_; }

  // Hands each channel message played until `deadline` (or until `stop` is
  // `cancel` is set) to `heard`, as it comes. A keyboard that went away fails the
  // listening (kGone) and ends it. With a link that does not wait (the
  // simulated keyboard) it returns once nothing more has come.
  Outcome listen(Link::Deadline deadline, const std::atomic<bool>* cancel, const Heard& heard);

 private:
  InterfaceAction& io_;
  usbmidi::ChannelReader reader_;
  bool on_ = false;
  Link::Deadline nextLook_{};
};

}  // namespace padkbd
