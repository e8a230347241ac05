// The keyboard through the system's MIDI ports (RtMidi: the ALSA sequencer
// or JACK on Linux, CoreMIDI and WinMM elsewhere) instead of raw USB. To the
// transport above it looks like a USB MIDI device whose MIDI streaming
// interface is the keyboard's pair of ports: what is written as USB-MIDI
// event packets goes out as MIDI messages, and every message that comes in
// is handed back as packets. So the protocol does not know which way it
// talks, and nothing is detached: music programs keep the keyboard's port
// meanwhile.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "usb/UsbBackend.h"

class RtMidiOut;

namespace padkbd {

// The system's MIDI service: on Linux the ALSA sequencer, or JACK where the
// sequencer cannot be opened; either one forced.
enum class MidiApi { Default, Alsa, Jack };
std::optional<MidiApi> parseMidiApi(std::string_view name);  // "alsa", "jack"

// Whether a port's name names the keyboard: it contains `wanted`, in any case.
bool portNameMatches(std::string_view name, std::string_view wanted);

// Closes and destroys an output port safely under every service.
void closeOutput(std::unique_ptr<RtMidiOut>& out);

struct MidiPort {
  std::string name;
  bool input = false;   // the keyboard can be heard on it
  bool output = false;  // it can be talked to
};

struct MidiPortListing {
  UsbStatus status = UsbStatus::Success;
  std::string reason;  // why the ports could not be listed
  std::string api;     // "ALSA", "JACK"
  std::vector<MidiPort> ports;
};

class MidiPortBackend final : public UsbBackend {
 public:
  // The keyboard is the pair of ports whose names contain `port`, ignoring case.
  explicit MidiPortBackend(std::string port, MidiApi api = MidiApi::Default);
  ~MidiPortBackend() override;
  MidiPortBackend(const MidiPortBackend&) = delete;
  MidiPortBackend& operator=(const MidiPortBackend&) = delete;

  static MidiPortListing listPorts(MidiApi api = MidiApi::Default);
  void setPort(std::string port);

  std::vector<UsbDevice> findDevices(std::uint16_t vendorId, std::uint16_t productId) override;
  std::vector<UsbInterfaceInfo> listInterfaces(const UsbDevice& device) override;
  UsbStatus createInterface(const UsbDevice& device, int interfaceNumber,
                            UsbInterfaceHandle& handle) override;
  UsbStatus openInterface(UsbInterfaceHandle handle) override;
  UsbStatus closeInterface(UsbInterfaceHandle handle) override;
  void releaseInterface(UsbInterfaceHandle handle) override;
  UsbStatus numEndpoints(UsbInterfaceHandle handle, int& count) override;
  UsbStatus pipeProperties(UsbInterfaceHandle handle, int pipe,
                           UsbPipeProperties& properties) override;
  UsbStatus writePipe(UsbInterfaceHandle handle, int pipe, const std::uint8_t* data,
                      std::size_t size) override;
  UsbStatus readPipe(UsbInterfaceHandle handle, int pipe, std::uint8_t* data, std::size_t capacity,
                     std::size_t& received, std::chrono::milliseconds timeout) override;
  MidiDeviceListing listMidiDevices() override;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace padkbd
