// Sets of nine: a small text file (.padkbdset) that names, for each memory
// slot it fills, a preset of the library by its path inside a library folder
// and its content hash:
//
//   padkbdset 1
//   # tonight's show
//   slot 1 0f3c…(32 hex digits) live/intro.padkbd
//   slot 3 9a71… drums.padkbd
//
// and what sending one would do: each slot's preset found (by its path, or
// by its hash when it moved), checked against the hash the set names, and
// compared with what padkbd last sent to that slot.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "history/SendPreview.h"
#include "library/Library.h"

namespace padkbd {

inline constexpr std::string_view kSetHeader = "padkbdset 1";
inline constexpr std::string_view kSetExtension = ".padkbdset";

struct SetSlot {
  int slot = 0;  // 1-9
  std::string hash;
  std::filesystem::path path;  // inside a library folder
  bool operator==(const SetSlot&) const = default;
};

struct PresetSet {
  // The slots it fills, in order, each once (not "slots": a word Qt takes).
  std::vector<SetSlot> filled;
  bool operator==(const PresetSet&) const = default;
};

// The set a text holds; the failure names the line and what is wrong there.
Result<PresetSet> parseSet(std::string_view text);
std::string setText(const PresetSet& set);
// The same from and to a file (at most a preset's size; written atomically).
Result<PresetSet> readSet(const std::filesystem::path& file);
Outcome writeSet(const std::filesystem::path& file, const PresetSet& set);

// A set of the library's presets found by name (see Library::find), for the
// slots given; a slot named twice, or a file that is no usable preset, fails.
Result<PresetSet> makeSet(Library& library, const std::vector<std::pair<int, std::string>>& slots);

struct SetSlotPlan {
  enum class Status {
    Ready,     // found, unchanged: `document` is what goes
    Changed,   // its file holds other contents than the set named
    Missing,   // neither its path nor its contents are in the library
    Unusable,  // its contents are no longer a usable preset
  };
  SetSlot named;
  Status status = Status::Missing;
  std::optional<LibraryPreset> preset;  // where it is now, when found
  std::optional<Preset> document;       // Ready: the preset, its memory slot set to the slot
  std::optional<Text> problem;          // why not Ready
  SendPreview preview;                  // against what padkbd last sent there
  // The slot already holds this very preset, written whole: a send stopped
  // part-way and tried again can skip it.
  bool written = false;
};

// Each slot of `set` as it stands, against `slots` (the history's states of
// the keyboard's slots), in slot order. Fails only when the index cannot be used.
Result<std::vector<SetSlotPlan>> planSet(Library& library, const PresetSet& set,
                                         const SlotStates& slots, const ChoiceLists& lists);
// Whether every slot of a plan is Ready.
bool planReady(const std::vector<SetSlotPlan>& plan);

}  // namespace padkbd
