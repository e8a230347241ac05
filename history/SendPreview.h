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
  std::vector<Text> changes;
};

SendPreview previewSend(const SlotState& state, const Preset& preset, const ChoiceLists& lists);

// What padkbd knows of a slot, and no more (another program, or the keyboard
// itself, may have written it since): "Memory 3: last sent by padkbd on 7 Dec
// at 10:52, live.padkbd", "Memory 4: a send by padkbd on 7 Dec at 10:52,
// set.padkbd, stopped after 120 of 598 settings", "Memory 5: not sent by
// padkbd on this computer".
Text slotText(const SlotState& state);

// The slot's text and what the send does against it: "…, live.padkbd;
// against that, 2 settings change", "…, so what it holds is unknown; all 598
// settings will be written", "…, stopped after 120 of 598 settings; all 598
// settings will be written".
Text previewText(const SendPreview& preview);
// "nothing changes", "1 setting changes", "2 settings change".
Text changesText(std::size_t count);

// The entry of a read that just ended.
HistoryEntry readEntry(const std::string& keyboard, const std::optional<std::string>& firmware,
                       const Preset& preset);
// The entry of a send into `slot` (1-9) that got `written` settings of a
// whole exchange into it; none when nothing reached the keyboard.
std::optional<HistoryEntry> sendEntry(const std::string& keyboard,
                                      const std::optional<std::string>& firmware, int slot,
                                      int written, const Preset& preset, std::string source);

}  // namespace padkbd
