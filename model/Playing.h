// What a control sends when it is played, as its settings say: which
// messages its mode makes, on which channel, which note or controller. The
// simulated keyboard plays by these rules, and the matching of played
// messages to controls reads them the other way round.
//
// Modes by the control's kind (positions in its mode list):
//   pad     0 Note, 1 CC, 2 CC Switch, 3 Note Switch (switches: option 0
//           Toggle, 1 Gate)
//   other   0 Note, 1 CC (option 0 Absolute, 1-3 Relative #1-#3),
//           2 NRPN / RPN (option 0 NRPN, 1 RPN)
// Notes move by the global octave transposition; a control set to the
// "Global" channel sends on the global MIDI channel.
#pragma once

#include <cstdint>
#include <optional>

#include "model/Records.h"

namespace padkbd::playing {

// Knobs 1-8 are turned, pads 1-48 struck (with a velocity) and held,
// buttons 1-8 pressed and held.
enum class Kind { Knob, Pad, Button };
Kind kindOf(std::int32_t index);

// What the mode makes a control send.
enum class Sends { Notes, Controller, NRPN, RPN };
Sends sendsOf(std::int32_t index, const ButtonValue& control);

// A pad in a switch mode: each strike toggles between on and off (Toggle),
// or it is on while held (Gate).
bool isSwitch(std::int32_t index, const ButtonValue& control);
bool toggles(std::int32_t index, const ButtonValue& control);

// How a knob's controller value encodes a turn: absolute, or a relative
// step (pads and buttons are always absolute).
enum class Relative { Absolute, TwosComplement, BinaryOffset, SignMagnitude };
Relative relativeOf(std::int32_t index, const ButtonValue& control);
// The value that carries a step of `step` (+1, -3) in a relative encoding,
// and the step a value carries; the absolute encoding carries none (0).
std::uint8_t stepValue(Relative encoding, int step);
int stepOf(Relative encoding, std::uint8_t value);

// The channel (0-15) the control sends on.
int channelOf(const ButtonValue& control, const PadValue& global);
// Semitones the global octave transposition moves notes by (-48 to +48).
int transposition(const PadValue& global);
// The note a control in a note mode plays, transposed; none when the
// transposition takes it outside 0-127.
std::optional<int> noteOf(const ButtonValue& control, const PadValue& global);

// NRPN and RPN select their parameter with two controllers (MSB, LSB) and
// send the value with the data entry controller.
inline constexpr std::uint8_t kNrpnMsb = 99, kNrpnLsb = 98;
inline constexpr std::uint8_t kRpnMsb = 101, kRpnLsb = 100;
inline constexpr std::uint8_t kDataEntry = 6;

}  // namespace padkbd::playing
