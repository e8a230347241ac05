// How padkbd reaches the keyboard, decided in this one place for the window
// and the tool alike: raw USB by its ids (libusb), the system's MIDI port it
// is named by (RtMidi), or the simulated keyboard (keeping its memory slots
// and gains in a state file between runs, when given one). Reach is the
// link of the way in force, and what lists the devices.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "link/Discovery.h"
#include "link/ForwardingLink.h"
#include "model/KeyboardId.h"
#include "model/Outcome.h"
#include "storage/FileLock.h"

namespace padkbd {

class LibusbBackend;
class SimulatedController;
class UsbLink;

// Makes the link for a keyboard in place of the ones below (tests: a
// keyboard that misbehaves); a simulated keyboard it makes still keeps the
// state file.
using LinkFactory = std::function<std::unique_ptr<Link>(const KeyboardId&)>;

// The options that choose the way, the same in both programs.
struct ReachOptions {
  bool simulate = false;               // --simulate
  std::filesystem::path stateFile;     // --simulate=FILE; empty: forgotten at the end
  MidiApi midiApi = MidiApi::Default;  // --midi-api, for a keyboard on a MIDI port
  LinkFactory makeLink;
  // A simulated keyboard, not owned, standing in for a real one (the
  // window's tests): reached, found and listed as that keyboard.
  SimulatedController* standIn = nullptr;
};

enum class Way { Usb, Port, Simulated };

// What there is to say when the keyboard is not there: what was looked
// for, and what is there instead. The faces word it.
struct Absence {
  Way way = Way::Usb;
  KeyboardId keyboard;
  // Raw USB cannot be used on this machine at all (why), or none.
  std::optional<Text> usbUnavailable;
  // A MIDI port: the ports there are, or why they could not be listed.
  MidiPortListing ports;
};

class Reach final : public ForwardingLink, public Discovery {
 public:
  Reach(ReachOptions options, const KeyboardId& keyboard);
  ~Reach() override;
  Reach(const Reach&) = delete;
  Reach& operator=(const Reach&) = delete;

  Way way() const;
  // Whether the keyboard is reached through raw USB, which takes it from the
  // system's MIDI driver while it is open (a stand-in is reached as the real
  // keyboard it stands for).
  bool rawUsb() const;
  const KeyboardId& keyboard() const { return keyboard_; }
  // The keyboard looked for from now on: raw USB or its port follows it
  // (the simulated keyboard stays the one reached).
  void useKeyboard(const KeyboardId& keyboard) override;
  // The simulated keyboard, to play it; none when a real one is reached.
  SimulatedController* simulated() { return simulated_; }

  // Around each exchange: a simulated keyboard's state file is taken in
  // turns with other programs, loaded first and saved after.
  Outcome begin();
  Outcome end();

  // The keyboard as the history knows it: its ids or port, and the serial
  // number of the one last found (an unplugged keyboard's slots stay its
  // own); the simulated keyboard's own key, never a real one's.
  std::string historyKey();
  // What was looked for and what is there instead.
  Absence absence();

  MidiDeviceListing listMidiDevices() override;
  bool watchForChanges(std::function<void()> changed) override;
  void pollEvents() override;
  // The system's MIDI ports, through the service of --midi-api.
  MidiPortListing listPorts() const;

 protected:
  Link& target() override;

 private:
  LibusbBackend& libusb();

  ReachOptions options_;
  KeyboardId keyboard_;
  std::unique_ptr<Link> made_;  // the simulated keyboard, or what makeLink made
  Link* fixed_ = nullptr;       // that, or the stand-in: the link whatever the keyboard
  SimulatedController* simulated_ = nullptr;
  std::unique_ptr<LibusbBackend> libusb_;
  std::unique_ptr<UsbLink> usb_;
  std::unique_ptr<Link> port_;  // from the MIDI-port module, made at first use
  FileLock stateLock_;
  int turns_ = 0;  // begin() without its end(): the state file is taken once
  std::function<void()> changed_;
  bool usbNews_ = false;  // libusb tells of devices coming and going
  KeyboardId serialOf_;
  std::string serial_;
};

// The version of libusb as the program runs with it ("1.0.26"); RtMidi's
// is the MIDI-port module's (link/midiport/PortModule.h).
std::string libusbVersion();

}  // namespace padkbd
