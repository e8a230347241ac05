// Which control of a preset played a message: each channel message the
// keyboard sends is matched with every control whose settings make it (by
// mode, number and channel, notes transposed by the global octave), and told
// in one line for the user ("Pad 6 · note on E1 · velocity 100 · channel 10")
// or as one JSON object.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/ChannelMessage.h"
#include "storage/PresetCheck.h"

namespace padkbd {

// Said of a message no control of the preset sends.
inline constexpr const char* kNotFromTheseSettings =
    "not from these settings: the keyboard may hold others";

// What a message did to the controls it came from: pressed (a note on, a
// pad or button sending more than its minimum), released, or moved (a knob,
// pressure, one part of an NRPN sequence).
enum class Touch { Press, Release, Move };

struct Heard {
  ChannelMessage message;
  // Every control of the preset that sends this message, in index order.
  std::vector<std::int32_t> controls;
  Touch touch = Touch::Move;
  // A relative controller's step (+1, -3), when every control matched is relative.
  std::optional<int> step;
  // Data entry: the NRPN or RPN parameter selected on its channel.
  std::optional<int> parameter;
  bool rpn = false;
};

class PlayMatcher {
 public:
  PlayMatcher() = default;
  // The matcher keeps the records it is given: pass a copy another thread
  // does not change.
  explicit PlayMatcher(Preset preset) : preset_(std::move(preset)) {}
  void setPreset(Preset preset);
  const Preset& preset() const { return preset_; }

  Heard match(const ChannelMessage& message);

 private:
  // The NRPN or RPN parameter a channel selected last (-1: none yet).
  struct Selection {
    int msb = -1;
    int lsb = -1;
    bool rpn = false;
  };
  void matchController(const ChannelMessage& message, Heard& heard);

  Preset preset_;
  std::array<Selection, 16> selected_{};
};

// One line: who played it (every control matched, or what says none did),
// what it was and its channel (1-16). `names` gives the controls' names by
// index ("Pad 6", as the face calls them); a control without one is
// "control N".
Text heardText(const Heard& heard, const std::vector<std::string>& names);
// The same as one JSON object on one line.
std::string heardJson(const Heard& heard, const std::vector<std::string>& names);

}  // namespace padkbd
