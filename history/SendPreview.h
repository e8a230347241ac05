// What a send is about to do to a memory slot, from what padkbd remembers of
// it, and the entries an exchange leaves in the history. The editor's send
// confirmation and the tool's `send --dry-run` say the same.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "history/History.h"
#include "session/PresetReport.h"

namespace padkbd {

struct SendPreview {
  SlotState state;
  // Against what the slot holds (Holds only), one line each, the memory
  // slot itself left out.
  std::vector<std::string> changes;
};

SendPreview previewSend(const SlotState& state, const Preset& preset, const ChoiceLists& lists);

// "Memory 3 holds what you sent on 6 Dec at 21:03 ("live.padkbd"): 2 settings change",
// "padkbd has not written Memory 3 on this computer: what it holds is unknown; all
// 598 settings will be written", and the same for a slot that holds a mix.
std::string previewText(const SendPreview& preview,
                        HistoryClock::time_point now = HistoryClock::now());

// The entry of a read that just ended.
HistoryEntry readEntry(const std::string& keyboard, const std::optional<std::string>& firmware,
                       const Preset& preset);
// The entry of a send into `slot` (1-9) that got `written` settings of a
// whole exchange into it; none when nothing reached the keyboard.
std::optional<HistoryEntry> sendEntry(const std::string& keyboard,
                                      const std::optional<std::string>& firmware, int slot,
                                      int written, const Preset& preset, std::string source);

}  // namespace padkbd
