// The keyboard through the system's MIDI ports (RtMidi: the ALSA sequencer
// or JACK on Linux, CoreMIDI and WinMM elsewhere) instead of raw USB. What
// is sent as USB-MIDI event packets goes out as MIDI messages, and every
// message that comes in is handed back as packets. Nothing is detached:
// music programs keep the keyboard's port meanwhile.
//
// Built into the MIDI-port module only: the programs reach it through
// link/midiport/PortModule.h.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "link/Discovery.h"
#include "link/Link.h"

namespace padkbd {

class MidiPortLink final : public Link {
 public:
  // The keyboard is the pair of ports whose names contain the keyboard's
  // port name, ignoring case.
  explicit MidiPortLink(MidiApi api = MidiApi::Default);
  ~MidiPortLink() override;
  MidiPortLink(const MidiPortLink&) = delete;
  MidiPortLink& operator=(const MidiPortLink&) = delete;

  static MidiPortListing listPorts(MidiApi api = MidiApi::Default);

  void useKeyboard(const KeyboardId& keyboard) override { port_ = keyboard.port; }
  std::vector<std::string> find() override;
  Outcome open() override;
  void close() override;
  bool isOpen() const override;
  Outcome send(std::span<const std::uint8_t> packets) override;
  Result<std::size_t> receive(std::span<std::uint8_t> into, Deadline deadline,
                              const std::atomic<bool>* cancel) override;

 private:
  struct Impl;
  std::string port_;
  std::unique_ptr<Impl> impl_;
};

}  // namespace padkbd
