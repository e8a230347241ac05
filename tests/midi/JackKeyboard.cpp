#include "tests/midi/JackKeyboard.h"

#include <RtMidi.h>
#include <jack/jack.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>

#include "link/midiport/RtMidiOutput.h"

extern char** environ;

namespace padkbd::test {

JackServer::JackServer() {
  const std::string name = "padkbd-test-" + std::to_string(::getpid());
  ::setenv("JACK_DEFAULT_SERVER", name.c_str(), 1);
  ::setenv("JACK_NO_AUDIO_RESERVATION", "1", 1);
  // A short period, so that a round trip costs a few milliseconds; the
  // server waits for a late client (-S, -t) instead of dropping the cycle's
  // MIDI, since the tests share a busy machine and have no realtime rights.
  // The shell gives way to the server (exec), whose output goes nowhere.
  const std::string command =
      "exec jackd -n " + name + " -r -S -t 2000 -d dummy -r 48000 -p 64 >/dev/null 2>&1";
  const char* argv[] = {"sh", "-c", command.c_str(), nullptr};
  const bool spawned =
      ::posix_spawnp(&pid_, "sh", nullptr, nullptr, const_cast<char**>(argv), environ) == 0;
  jack_set_error_function([](const char*) {});
  for (int tries = 0; spawned && tries < 100 && !running_; ++tries) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    jack_status_t status;
    if (jack_client_t* client = jack_client_open("probe", JackNoStartServer, &status)) {
      jack_client_close(client);
      running_ = true;
    }
  }
}

JackServer::~JackServer() {
  if (pid_ <= 0) return;
  ::kill(pid_, SIGTERM);
  int status = 0;
  ::waitpid(pid_, &status, 0);
}

KeyboardStandIn::KeyboardStandIn(SimulatedController& sim, const std::string& port) : sim_(sim) {
  sim_.useKeyboard(sim.keyboard());
  sim_.find();
  if (!sim_.open()) throw std::runtime_error("the simulated keyboard cannot be opened");
  in_ = std::make_unique<RtMidiIn>(RtMidi::UNIX_JACK, "stand-in");
  out_ = std::make_unique<RtMidiOut>(RtMidi::UNIX_JACK, "stand-in");
  in_->ignoreTypes(false, false, false);
  in_->setCallback(&KeyboardStandIn::received, this);
  in_->openVirtualPort(port);
  out_->openVirtualPort(port);
}

KeyboardStandIn::~KeyboardStandIn() {
  in_.reset();
  closeOutput(out_);
  sim_.close();
}

// Called on JACK's one MIDI thread.
void KeyboardStandIn::received(double, std::vector<unsigned char>* message, void* self) {
  KeyboardStandIn& s = *static_cast<KeyboardStandIn*>(self);
  // A message the simulated keyboard refuses is one it records as refused.
  (void)s.sim_.send(usbmidi::packetsFromMessage(*message));
  s.forward();
}

void KeyboardStandIn::press(int index, int amount) {
  sim_.press(index, amount);
  forward();
}

void KeyboardStandIn::release(int index) {
  sim_.release(index);
  forward();
}

void KeyboardStandIn::forward() {
  std::lock_guard lock(mutex_);
  std::array<std::uint8_t, 64> transfer;
  for (Result<std::size_t> received = 0;
       (received = sim_.receive(transfer, LinkClock::now(), nullptr)) && *received > 0;) {
    replies_.forEachMessage({transfer.data(), *received}, [this](std::span<const std::uint8_t> m) {
      out_->sendMessage(m.data(), m.size());
    });
  }
}

}  // namespace padkbd::test
