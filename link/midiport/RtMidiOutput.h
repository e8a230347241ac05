// Closing an RtMidi output, for the MIDI-port link and the tests' stand-in
// keyboard, which speaks RtMidi directly.
#pragma once

#include <RtMidi.h>

#include <chrono>
#include <memory>
#include <thread>

namespace padkbd {

// Closes and destroys an output port safely under every service.
inline void closeOutput(std::unique_ptr<RtMidiOut>& out) {
  if (!out) return;
  out->closePort();
  // RtMidi's JACK output frees its buffer before it stops its client, so a
  // process cycle still running would read freed memory: let it end first.
  if (out->getCurrentApi() == RtMidi::UNIX_JACK) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  out.reset();
}

}  // namespace padkbd
