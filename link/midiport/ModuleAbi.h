// Between the programs and the MIDI-port module (libpadkbd-midiport.so): the
// one symbol the module exports and the table of operations it hands back.
// C++ objects cross (links, listings, outcomes), so both sides must come from
// the same build: the loader refuses a module whose build() differs.
#pragma once

#include <fmt/format.h>

#include <memory>
#include <string>
#include <string_view>

#include "link/Discovery.h"
#include "link/Link.h"
#include "model/Outcome.h"
#include "padkbd/BuildConfig.h"

namespace padkbd::portmodule {

// The version, and the sizes of what crosses: enough to tell another
// release, or a build of other sources, from this one.
inline std::string build() {
  return fmt::format("padkbd {} ({} {} {} {})", config::kVersion, sizeof(Outcome), sizeof(Text),
                     sizeof(MidiPortListing), sizeof(MidiPort));
}

// The program's diagnostic log, which the module's lines go to.
using DiagLine = void (*)(std::string_view line);

struct Operations {
  const char* build;  // first, so that any build can read it: build() of the module
  std::unique_ptr<Link> (*makeLink)(MidiApi api);
  MidiPortListing (*listPorts)(MidiApi api);
  std::string (*rtmidiVersion)();
};

inline constexpr const char* kEntry = "padkbd_midiport_operations";
using Entry = const Operations* (*)(DiagLine diag);

}  // namespace padkbd::portmodule
