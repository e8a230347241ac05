// The system's MIDI ports as the programs reach them: the MIDI-port link
// (RtMidi, and with it JACK and ALSA) lives in a module of its own,
// libpadkbd-midiport.so, loaded at the first use of a port, so a program
// that uses none starts without those libraries.
//
// The module is looked for beside the program: in <program's folder>/../lib/padkbd,
// which is <prefix>/lib/padkbd for an installed program and <build>/lib/padkbd
// for one in a folder of the build tree. Once loaded it stays. When it cannot
// be loaded, each operation fails with Code::LinkUnavailable and says why.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "link/Discovery.h"
#include "link/Link.h"
#include "model/Outcome.h"

namespace padkbd::portmodule {

inline constexpr const char* kFileName = "libpadkbd-midiport.so";

// Looks in `folder` instead (tests); an empty path restores the default.
void useFolder(std::filesystem::path folder);
// The folder the module is looked for in.
std::filesystem::path folder();

// Loads the module unless it is loaded: success, or why it cannot be.
Outcome load();

// A link to the keyboard through a MIDI port of `api`; without the module,
// a link that finds nothing and fails every exchange with load()'s reason.
std::unique_ptr<Link> makeLink(MidiApi api);
// The system's MIDI ports; without the module, `listed` says why not.
MidiPortListing listPorts(MidiApi api);
// The RtMidi the module runs with ("6.0.0").
Result<std::string> rtmidiVersion();

}  // namespace padkbd::portmodule
