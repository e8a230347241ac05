// What makes a preset usable: every field within the range of its list, 64
// controls each on its own index, and property-list bytes that the parser
// can take without harm. Nothing here touches a file.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "model/Outcome.h"
#include "model/Records.h"

namespace padkbd {

class PlistNode;

// Files larger than this are refused unread: a preset is some 30 KB, and a
// huge or hostile file must not stall the program.
inline constexpr std::uintmax_t kMaxPresetFileBytes = 1024 * 1024;

struct Preset {
  ButtonValueList buttons;
  PadValuePtr global;
};

// A checked read: a usable preset, or the first problem.
using PresetRead = Result<Preset>;

// The same settings in records of their own (missing ones stay missing):
// edits of the copy reach nobody else's records.
Preset copyOf(const Preset& preset);

// Checks a preset: 64 controls, element i with buttonID i, every value within
// its list's range (the -1 colour of an other control allowed).
Outcome checkPreset(const Preset& preset);

// Parses property-list bytes (XML or binary) into a checked preset.
PresetRead parsePreset(std::string_view bytes);
// Whether property-list bytes are in the binary form (else XML).
bool isBinaryPlist(std::string_view bytes);

// A failed read saying why, of the kind its text names.
PresetRead refused(Text text);
// Parses without any check of the content; an unusable input gives no node
// and, when `problem` is given, the reason there.
PlistNode parsePlist(std::string_view bytes, Text* problem);
// Whether the bytes are UTF-8 (no overlong forms, surrogates or code points
// past U+10FFFF).
bool isUtf8(std::string_view text);
// The bytes as a log shows them: text as it is, anything else described.
std::string describeForLog(std::string_view bytes);

}  // namespace padkbd
