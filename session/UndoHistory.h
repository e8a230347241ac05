// The steps that undo and redo walk. A step is a list of field changes, or a
// replacement of the whole preset (Default, Load, a read) with where it came
// from; either is applied to the preset by `apply`. A new step drops what
// could have been redone, and the oldest steps go first beyond kMaxSteps.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "model/Records.h"
#include "model/Text.h"
#include "session/KeyboardPreset.h"
#include "storage/PresetCheck.h"

namespace padkbd {

// Where the preset shown came from, for the window's title.
struct Origin {
  enum class Kind { Keyboard, Sent, Default, Document, History };
  Kind kind = Kind::Default;
  std::string detail;  // firmware version, memory slot (1-9), document name, or history entry id
  // Where the settings first came from in the history's words ("from the
  // keyboard", "live.padkbd"; a send keeps its preset's), and what they were
  // then: a send records the first, and whether they were edited since.
  std::string source = {};
  std::shared_ptr<const PresetValues> given = {};
};

class UndoHistory {
 public:
  static constexpr std::size_t kMaxSteps = 5000;
  // A change's control for the global settings.
  static constexpr std::int32_t kGlobalBlock = -1;

  struct Change {
    std::int32_t control;  // control index, or kGlobalBlock
    int field;             // a ControlField, or a GlobalField for kGlobalBlock
    std::int32_t before;
    std::int32_t after;
  };
  struct Step {
    Text label;  // what the Edit menu says: "Pad 6 colour", "Default"
    std::vector<Change> changes = {};
    // A replacement of the whole preset: the records before and after.
    std::optional<Preset> before = {};
    std::optional<Preset> after = {};
    Origin originBefore = {};
    Origin originAfter = {};
  };

  // Puts the step's values into `preset` (forward) or takes them back. True
  // when the preset's records were replaced, not changed in place.
  static bool apply(const Step& step, bool forward, Preset& preset, Origin& origin);

  // A step that was just applied.
  void add(Step step);
  bool canUndo() const { return done_ > 0; }
  bool canRedo() const { return done_ < steps_.size(); }
  // What Undo and Redo would change; empty when there is nothing to.
  Text undoLabel() const { return canUndo() ? steps_[done_ - 1].label : Text(); }
  Text redoLabel() const { return canRedo() ? steps_[done_].label : Text(); }
  // The step to apply backward (undo) or forward (redo), or none.
  const Step* undo() { return canUndo() ? &steps_[--done_] : nullptr; }
  const Step* redo() { return canRedo() ? &steps_[done_++] : nullptr; }

 private:
  std::vector<Step> steps_;
  std::size_t done_ = 0;  // steps that are done (the rest can be redone)
};

}  // namespace padkbd
