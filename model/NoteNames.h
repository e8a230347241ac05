// MIDI note names as most music software shows them: middle C (60) is C3,
// so 0 is C-2 and 127 is G8.
#pragma once

#include <cstdint>
#include <string>

namespace padkbd {

// "C3" for 60, "F#1" for 42; empty outside 0-127.
std::string noteName(std::int32_t number);
// A number list label with the note name put in after the number:
// "36 Foot Controller LSB" -> "36 C1 · Foot Controller LSB", "3" -> "3 D#-2".
// A label that does not start with `number` is left as it is.
std::string withNoteName(const std::string& label, std::int32_t number);

// A control by the name printed on the keyboard: "Knob 1" (index 0), "Pad 6"
// (13), "Button 2" (57); "control N" past the last. For texts that have no
// choice lists at hand.
std::string controlName(std::int32_t index);

}  // namespace padkbd
