#include "link/midiport/MidiPortLink.h"

#include <RtMidi.h>
#include <alsa/asoundlib.h>
#include <jack/jack.h>

#include <algorithm>
#include <cctype>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include "link/UsbMidi.h"
#include "link/midiport/RtMidiOutput.h"
#include "model/Log.h"
#include "model/Outcome.h"

namespace padkbd {

namespace {

constexpr std::chrono::microseconds kSpacing{1000};  // between messages sent
constexpr std::size_t kMaxQueued = 4096;             // messages received, not yet read
// Our own ports (JACK shows them to everyone) must never be taken for the keyboard.
constexpr const char* kClient = "padkbd transport";

std::string lower(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return out;
}

bool isOurs(const std::string& name) {
  return lower(name).rfind(lower(kClient), 0) == 0;
}

// RtMidi, ALSA and JACK print their complaints to the terminal; here they
// go to the diagnostics, and a service that is not there is never tried (it
// would print before it fails).
void warn(RtMidiError::Type, const std::string& text, void*) {
  log::diag("MIDI: %s", text);
}

void quietAlsa(const char*, int, const char*, int, const char*, ...) {}
void quietJack(const char* text) {
  log::diag("JACK: %s", text);
}

void silenceLibraries() {
  static std::once_flag once;
  std::call_once(once, [] {
    snd_lib_error_set_handler(quietAlsa);
    jack_set_error_function(quietJack);
    jack_set_info_function(quietJack);
  });
}

bool alsaSequencer() {
  snd_seq_t* seq = nullptr;
  if (snd_seq_open(&seq, "default", SND_SEQ_OPEN_DUPLEX, SND_SEQ_NONBLOCK) < 0) return false;
  snd_seq_close(seq);
  return true;
}

// A busy server may refuse a client now and then; asked for JACK by name,
// padkbd tries again before it says there is none.
bool jackServer(int attempts) {
  for (int attempt = 0; attempt < attempts; ++attempt) {
    if (attempt > 0) std::this_thread::sleep_for(std::chrono::milliseconds(100));
    jack_status_t status;
    if (jack_client_t* client = jack_client_open("padkbd probe", JackNoStartServer, &status)) {
      jack_client_close(client);
      return true;
    }
  }
  return false;
}

// The service asked for: on Linux the ALSA sequencer, and JACK where the
// sequencer cannot be opened.
Result<RtMidi::Api> chooseApi(MidiApi api) {
  silenceLibraries();
  const bool alsa = api != MidiApi::Jack && alsaSequencer();
  if (alsa) return RtMidi::LINUX_ALSA;
  if (api == MidiApi::Alsa) {
    return Result<RtMidi::Api>::failure(Text(TextId::AlsaUnavailable));
  }
  if (jackServer(api == MidiApi::Jack ? 3 : 1)) return RtMidi::UNIX_JACK;
  return Result<RtMidi::Api>::failure(
      Text(api == MidiApi::Jack ? TextId::JackUnavailable : TextId::NoMidiService));
}

template <typename Port>
std::unique_ptr<Port> openService(RtMidi::Api which) {
  auto port = std::make_unique<Port>(which, kClient);
  port->setErrorCallback(warn, nullptr);
  return port;
}

template <typename Port>
std::unique_ptr<Port> openService(MidiApi api) {
  const Result<RtMidi::Api> which = chooseApi(api);
  if (!which) throw RtMidiError(which.message(), RtMidiError::DRIVER_ERROR);
  return openService<Port>(*which);
}

std::optional<unsigned> indexOf(RtMidi& ports, const std::string& wanted) {
  for (unsigned i = 0; i < ports.getPortCount(); ++i) {
    const std::string name = ports.getPortName(i);
    if (!isOurs(name) && portNameMatches(name, wanted)) return i;
  }
  return std::nullopt;
}

}  // namespace

// A wait for the keyboard looks at the cancel flag this often.
constexpr std::chrono::milliseconds kWaitSlice{50};

struct MidiPortLink::Impl {
  MidiApi api;
  // For looking the ports up; the keyboard's own pair while it is open.
  std::unique_ptr<RtMidiIn> probeIn;
  std::unique_ptr<RtMidiOut> probeOut;
  std::unique_ptr<RtMidiIn> in;
  std::unique_ptr<RtMidiOut> out;

  std::mutex mutex;  // guards what RtMidi's thread hands over
  std::condition_variable arrived;
  std::deque<std::vector<std::uint8_t>> messages;
  std::vector<std::uint8_t> packets;  // converted, not yet read
  usbmidi::SysExAssembler outgoing;
  std::chrono::steady_clock::time_point lastSent;

  static void received(double, std::vector<unsigned char>* message, void* self) {
    auto* impl = static_cast<Impl*>(self);
    {
      std::lock_guard lock(impl->mutex);
      // A flood of notes nobody reads (a stuck controller) must not grow
      // without end; the oldest go first.
      if (impl->messages.size() >= kMaxQueued) impl->messages.pop_front();
      impl->messages.emplace_back(message->begin(), message->end());
    }
    impl->arrived.notify_one();
  }

  bool probe() {
    try {
      if (!probeIn) probeIn = openService<RtMidiIn>(api);
      if (!probeOut) probeOut = openService<RtMidiOut>(api);
      return true;
    } catch (const RtMidiError& e) {
      log::diag("MIDI: %s", e.getMessage());
      return false;
    }
  }

  void close() {
    in.reset();
    closeOutput(out);
    std::lock_guard lock(mutex);
    messages.clear();
    packets.clear();
    outgoing.reset();
  }
};

MidiPortLink::MidiPortLink(MidiApi api) : impl_(std::make_unique<Impl>()) {
  impl_->api = api;
}

MidiPortLink::~MidiPortLink() {
  impl_->close();
}

MidiPortListing MidiPortLink::listPorts(MidiApi api) {
  MidiPortListing listing;
  // Which service is missing is told as the catalogue words it.
  const Result<RtMidi::Api> which = chooseApi(api);
  if (!which) {
    listing.listed = which.outcome();
    return listing;
  }
  try {
    const auto in = openService<RtMidiIn>(*which);
    const auto out = openService<RtMidiOut>(*which);
    listing.api = RtMidi::getApiDisplayName(in->getCurrentApi());
    // One entry for a port's two sides. Under JACK each side may belong to
    // a client of its own ("kbd:MIDI 1", "kbd-01:MIDI 1"): then the entry
    // shows the port's own name, which matches both.
    const auto portPart = [](const std::string& name) {
      const std::size_t colon = name.find(':');
      return colon == std::string::npos ? name : name.substr(colon + 1);
    };
    const auto add = [&](const std::string& name, bool input) {
      if (isOurs(name)) return;
      auto it = std::find_if(listing.ports.begin(), listing.ports.end(), [&](const MidiPort& p) {
        return p.name == name || portPart(p.name) == portPart(name);
      });
      if (it == listing.ports.end()) {
        it = listing.ports.insert(listing.ports.end(), {name});
      } else if (it->name != name) {
        it->name = portPart(name);
      }
      (input ? it->input : it->output) = true;
    };
    for (unsigned i = 0; i < in->getPortCount(); ++i) add(in->getPortName(i), true);
    for (unsigned i = 0; i < out->getPortCount(); ++i) add(out->getPortName(i), false);
  } catch (const RtMidiError& e) {
    listing.listed = Outcome::failure(Code::LinkUnavailable, e.getMessage());
  }
  return listing;
}

std::vector<std::string> MidiPortLink::find() {
  if (port_.empty() || !impl_->probe()) return {};
  const auto in = indexOf(*impl_->probeIn, port_);
  const auto out = indexOf(*impl_->probeOut, port_);
  if (!in || !out) return {};
  return {impl_->probeOut->getPortName(*out)};
}

Outcome MidiPortLink::open() {
  const auto failed = [this](const Text& why) {
    impl_->close();
    return openingFailed(OpeningStep::Opened, why);
  };
  impl_->close();
  try {
    impl_->in = openService<RtMidiIn>(impl_->api);
    impl_->out = openService<RtMidiOut>(impl_->api);
    const auto in = indexOf(*impl_->in, port_);
    const auto out = indexOf(*impl_->out, port_);
    if (!in || !out) return failed(linkreason::kGone);
    // SysEx is what the keyboard answers with; clock and active sensing are
    // only traffic.
    impl_->in->ignoreTypes(false, true, true);
    impl_->in->setCallback(&Impl::received, impl_.get());
    impl_->in->openPort(*in, "keyboard in");
    impl_->out->openPort(*out, "keyboard out");
  } catch (const RtMidiError& e) {
    log::diag("MIDI: %s", e.getMessage());
    return failed(linkreason::kIoError);
  }
  return Outcome::success();
}

void MidiPortLink::close() {
  impl_->close();
}

bool MidiPortLink::isOpen() const {
  return impl_->in != nullptr;
}

Outcome MidiPortLink::send(std::span<const std::uint8_t> packets) {
  if (!impl_->out) return Outcome::failure(linkreason::kGone);
  try {
    impl_->outgoing.forEachMessage(packets, [this](std::span<const std::uint8_t> message) {
      // A port has no back-pressure (JACK drops what does not fit in one
      // cycle's buffer, 256 bytes at 64 frames): a send's burst of writes
      // goes out one message a millisecond at most, which any buffer takes;
      // a read waits for each reply and is not slowed.
      std::this_thread::sleep_until(impl_->lastSent + kSpacing);
      impl_->out->sendMessage(message.data(), message.size());
      impl_->lastSent = std::chrono::steady_clock::now();
    });
  } catch (const RtMidiError& e) {
    log::diag("MIDI: %s", e.getMessage());
    impl_->close();
    return Outcome::failure(linkreason::kIoError);
  }
  return Outcome::success();
}

Result<std::size_t> MidiPortLink::receive(std::span<std::uint8_t> into, Deadline deadline,
                                          const std::atomic<bool>* cancel) {
  if (!impl_->in) return Outcome::failure(linkreason::kGone);
  std::unique_lock lock(impl_->mutex);
  const auto waiting = [this] { return impl_->messages.empty() && impl_->packets.empty(); };
  for (;;) {
    if (cancel != nullptr && cancel->load()) return Outcome::failure(linkreason::kInterrupted);
    const std::chrono::milliseconds left = until(deadline);
    if (!waiting() || left.count() == 0) break;
    impl_->arrived.wait_for(lock, std::min(left, kWaitSlice), [&] { return !waiting(); });
  }
  // Whole packets only, as a USB pipe hands them out.
  const std::size_t room = into.size() / usbmidi::kPacketSize * usbmidi::kPacketSize;
  while (impl_->packets.size() < room && !impl_->messages.empty()) {
    const std::vector<std::uint8_t> packets = usbmidi::packetsFromMessage(impl_->messages.front());
    impl_->messages.pop_front();
    impl_->packets.insert(impl_->packets.end(), packets.begin(), packets.end());
  }
  const std::size_t received = std::min(room, impl_->packets.size());
  std::copy_n(impl_->packets.begin(), received, into.begin());
  impl_->packets.erase(impl_->packets.begin(),
                       impl_->packets.begin() + static_cast<long>(received));
  return received;
}

}  // namespace padkbd
