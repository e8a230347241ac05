#include "link/Listener.h"

#include <algorithm>
#include <array>

#include "model/Log.h"

namespace padkbd {

Outcome Listener::start() {
  if (on_ && io_.hasInterface()) return Outcome::success();
  if (Outcome found = io_.FindDevice(); !found) return found;
  if (Outcome opened = io_.CreateInterface(); !opened) return opened;
  reader_.reset();
  nextLook_ = LinkClock::now() + kLookEvery;
  on_ = true;
  log::diag("listening to the keyboard");
  return Outcome::success();
}

void Listener::stop() {
  if (!on_) return;
  on_ = false;
  io_.KillInterface();
  log::diag("stopped listening to the keyboard");
}

Outcome Listener::listen(Link::Deadline deadline, const std::atomic<bool>* cancel,
                         const Heard& heard) {
  if (!on_) return Outcome::failure(linkreason::kGone);
  Link& link = io_.link();
  std::array<std::uint8_t, 1024> transfer;
  const std::span<std::uint8_t> into(transfer.data(),
                                     std::min(transfer.size(), link.transferSize()));
  for (;;) {
    if (cancel != nullptr && cancel->load()) return Outcome::success();
    const Result<std::size_t> received = link.receive(into, deadline, cancel);
    if (!received) {
      if (received.outcome().wasCancelled()) return Outcome::success();
      // The keyboard went away (or its pipe broke): nothing more will come.
      stop();
      return received.outcome();
    }
    if (*received == 0) {
      // Nothing came by the deadline, or (a link that does not wait) nothing
      // is there. A MIDI port whose keyboard left just falls silent: it is
      // looked for now and then.
      if (LinkClock::now() >= nextLook_) {
        nextLook_ = LinkClock::now() + kLookEvery;
        if (link.find().empty()) {
          stop();
          return Outcome::failure(linkreason::kGone);
        }
      }
      return Outcome::success();
    }
    reader_.feed(std::span<const std::uint8_t>(transfer.data(), *received), heard);
  }
}

}  // namespace padkbd
