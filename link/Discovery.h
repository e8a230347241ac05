// Beside the links: what could be opened (the USB MIDI devices on the bus,
// the system's MIDI ports) and news of keyboards coming and going. Listing
// never claims, detaches or opens anything for good.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "link/Link.h"
#include "model/KeyboardId.h"
#include "model/Outcome.h"

namespace padkbd {

// A device with a MIDI streaming interface (audio class 1, subclass 3), as a
// listing of the bus shows it.
struct MidiDeviceInfo {
  UsbIds ids;
  std::string product;       // empty where it cannot be read
  std::string manufacturer;  // empty where it cannot be read
  int bus = 0;
  std::string port;  // "1-4.2": the bus, then the ports from the root hub down
  LinkAccess access = LinkAccess::Granted;  // Denied: no udev rule
  std::string accessProblem;                // why not, when access is Other or Busy
};

struct MidiDeviceListing {
  Outcome listed = Outcome::success();  // or why the bus could not be listed at all
  std::vector<MidiDeviceInfo> devices;
};

// The system's MIDI service: on Linux the ALSA sequencer, or JACK where the
// sequencer cannot be opened; either one forced.
enum class MidiApi { Default, Alsa, Jack };
std::optional<MidiApi> parseMidiApi(std::string_view name);  // "alsa", "jack"

// Whether a port's name names the keyboard: it contains `wanted`, in any case.
bool portNameMatches(std::string_view name, std::string_view wanted);

struct MidiPort {
  std::string name;
  bool input = false;   // the keyboard can be heard on it
  bool output = false;  // it can be talked to
};

struct MidiPortListing {
  Outcome listed = Outcome::success();  // or why the ports could not be listed
  std::string api;                      // "ALSA", "JACK"
  std::vector<MidiPort> ports;
};

class Discovery {
 public:
  virtual ~Discovery() = default;
  // Every USB device with a MIDI streaming interface, in bus order.
  virtual MidiDeviceListing listMidiDevices() = 0;
  // Hot-plug news: `changed` is called (from within pollEvents) when a
  // device comes or goes. False when the platform cannot tell; then callers
  // look. An empty function stops the news.
  virtual bool watchForChanges(std::function<void()> changed) {
    (void)changed;
    return false;
  }
  virtual void pollEvents() {}
};

}  // namespace padkbd
