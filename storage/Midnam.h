// A preset's names for other programs: a MIDNAM document (the MIDI
// Manufacturers Association's XML format for note and controller names, which
// DAWs read) naming each note and controller the preset's controls send,
// channel by channel, so a piano roll shows "Pad 6" rather than "E1" and an
// automation lane "Knob 3" rather than "CC 20".
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "storage/PresetCheck.h"

namespace padkbd {

// The device the document names: the program's own names for the keyboard.
inline constexpr const char* kMidnamManufacturer = "padkbd";
inline constexpr const char* kMidnamModel = "Pad Keyboard";

// The whole document. `names` gives the controls' names by index ("Pad 6",
// as the faces call them); a control without one takes controlName(). A
// preset's name (a document's file name, or "") is added to the model's:
// a DAW keeps only the first document of a model, so presets exported side
// by side must differ there. A control whose note or number is outside
// 0-127 sends nothing a DAW can name and is left out; controls that send the
// same note or controller on the same channel share one entry, their names
// joined ("Pad 6 / Pad 14").
std::string midnamDocument(const Preset& preset, const std::vector<std::string>& names,
                           std::string_view presetName);

// Text fit for XML: markup characters escaped, characters XML cannot carry
// made spaces (controls) or "?" (bytes that are not UTF-8).
std::string xmlEscaped(std::string_view text);

}  // namespace padkbd
