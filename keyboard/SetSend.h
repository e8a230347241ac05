// Sending a set of nine: the slots of a plan (library/PresetSet.h) written
// one after another through the keyboard service, each recorded in the
// history as its own entry, with one progress for the whole and one cancel
// (the service's cancel flag), stopping at the first slot that fails.
#pragma once

#include <functional>
#include <optional>
#include <vector>

#include "keyboard/Service.h"
#include "library/PresetSet.h"

namespace padkbd {

// "Memory 4 of 6 · 212 of 598": the 4th of the 6 slots sent, 212 of its
// 598 settings written.
struct SetProgress {
  int index = 0;  // 1-based, among the slots sent
  int count = 0;  // slots sent
  int slot = 0;   // the memory slot, 1-9
  int done = 0;   // settings of this slot written
  int total = 0;
};
Text progressText(const SetProgress& progress);

struct SetSendResult {
  std::vector<int> written;  // slots written whole, in order
  // The slot the send stopped in (cancelled or failed), and how many of its
  // settings reached it; none when every slot was written.
  std::optional<int> stoppedAt;
  int stoppedWritten = 0;
  std::vector<int> notSent;  // slots after the stop
  Outcome outcome = Outcome::success();
};

// Sends the Ready slots of `plan` (all of them must be Ready: a set with a
// changed or missing preset sends nothing), skipping the slots in `skip`.
// The service's progress callback is its own while it runs, and none after.
// `source` names each history entry's preset: the set's file name and the
// preset's ("tonight.padkbdset: intro.padkbd").
SetSendResult sendSet(KeyboardService& service, const std::vector<SetSlotPlan>& plan,
                      const std::vector<int>& skip, const std::string& setName,
                      const std::function<void(const SetProgress&)>& progress = {});

}  // namespace padkbd
