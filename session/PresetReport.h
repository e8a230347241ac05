// A preset in readable form, for people (one line per control, then the
// global settings), for programs (one JSON object), and as a comparison of
// two presets (one line per differing field). Labels come from the choice
// lists of the "basic" resource; an item without a label shows its number.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "model/Records.h"
#include "model/Text.h"
#include "storage/FileAction.h"

namespace padkbd {

using ChoiceLists = std::map<std::string, std::vector<std::string>>;

// One line per control ("Pad 5: value 0, mode Note, MIDI number 36 C1, ..."), then
// one line of global settings ("global: octave ..., memory slot ...").
std::vector<std::string> presetLines(const Preset& preset, const ChoiceLists& lists);

// The same as one JSON object, pretty-printed, ending in a line feed.
std::string presetJson(const Preset& preset, const ChoiceLists& lists);

// Every field that differs between `a` and `b`, one line each:
// "Pad 5: channel Channel 3 → Channel 10" (control names and values as
// list labels, for the window to give in its language). Empty when the
// presets are equal.
std::vector<Text> presetDifferences(const Preset& a, const Preset& b, const ChoiceLists& lists);

}  // namespace padkbd
