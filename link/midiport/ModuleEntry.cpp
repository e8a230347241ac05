// The MIDI-port module's one exported function (see ModuleAbi.h).
#include <RtMidi.h>

#include "link/midiport/MidiPortLink.h"
#include "link/midiport/ModuleAbi.h"
#include "model/Log.h"

namespace padkbd::portmodule {
namespace {

std::unique_ptr<Link> makeLink(MidiApi api) {
  return std::make_unique<MidiPortLink>(api);
}

MidiPortListing listPorts(MidiApi api) {
  return MidiPortLink::listPorts(api);
}

std::string rtmidiVersion() {
  return RtMidi::getVersion();
}

}  // namespace

const Operations* operations(DiagLine diag) {
  static const std::string id = build();
  static const Operations table{id.c_str(), makeLink, listPorts, rtmidiVersion};
  // The module keeps a log of its own: its lines go on to the program's.
  log::setSink([diag](log::Channel channel, std::string_view line) {
    if (channel == log::Channel::Diagnostic && diag != nullptr) diag(line);
  });
  return &table;
}

}  // namespace padkbd::portmodule

extern "C" __attribute__((visibility("default"))) const padkbd::portmodule::Operations*
padkbd_midiport_operations(padkbd::portmodule::DiagLine diag) {
  return padkbd::portmodule::operations(diag);
}
