// A private JACK server with the dummy driver, and the simulated keyboard on
// a pair of its MIDI ports, as a class-compliant USB keyboard shows through
// the system's MIDI service: what comes in goes to the simulated controller
// as USB-MIDI packets, what it sends comes out as MIDI messages. For the
// tests and the benchmark of the MIDI-port transport.
#pragma once

#include <sys/types.h>

#include <memory>
#include <mutex>
#include <string>

#include "link/UsbMidi.h"
#include "sim/SimulatedController.h"

class RtMidiIn;
class RtMidiOut;

namespace padkbd::test {

// Started under a name of its own, which this process (and every program it
// starts) then uses; stopped when it goes. Nothing outside is touched.
class JackServer {
 public:
  JackServer();
  ~JackServer();
  bool running() const { return running_; }

 private:
  pid_t pid_ = -1;
  bool running_ = false;
};

class KeyboardStandIn {
 public:
  static constexpr const char* kPort = "pad keyboard stand-in";

  explicit KeyboardStandIn(SimulatedController& sim, const std::string& port = kPort);
  ~KeyboardStandIn();

  // A control of the simulated keyboard held down, and let go: what it plays goes out.
  void press(int index, int amount = 100);
  void release(int index);

 private:
  static void received(double, std::vector<unsigned char>* message, void* self);
  // Sends whatever the keyboard has to say now (replies, traffic, playing).
  void forward();

  SimulatedController& sim_;
  std::unique_ptr<RtMidiIn> in_;
  std::unique_ptr<RtMidiOut> out_;
  std::mutex mutex_;  // JACK's thread answers, the test's strikes
  usbmidi::SysExAssembler replies_;
};

}  // namespace padkbd::test
