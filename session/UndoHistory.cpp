#include "session/UndoHistory.h"

#include "model/Fields.h"

namespace padkbd {

bool UndoHistory::apply(const Step& step, bool forward, Preset& preset, Origin& origin) {
  if (step.before && step.after) {
    preset = forward ? *step.after : *step.before;
    origin = forward ? step.originAfter : step.originBefore;
    return true;
  }
  for (const Change& change : step.changes) {
    const std::int32_t value = forward ? change.after : change.before;
    if (change.control == kGlobalBlock) {
      if (preset.global)
        (*preset.global).*info(static_cast<GlobalField>(change.field)).member = value;
    } else if (change.control >= 0 &&
               static_cast<std::size_t>(change.control) < preset.buttons.size()) {
      if (const ButtonValuePtr& target = preset.buttons[static_cast<std::size_t>(change.control)]) {
        (*target).*info(static_cast<ControlField>(change.field)).member = value;
      }
    }
  }
  return false;
}

void UndoHistory::add(Step step) {
  steps_.resize(done_);  // a new step drops what could have been redone
  steps_.push_back(std::move(step));
  if (steps_.size() > kMaxSteps) steps_.erase(steps_.begin());
  done_ = steps_.size();
}

}  // namespace padkbd
