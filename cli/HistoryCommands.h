// The tool's side of the history: what each memory slot holds (`slots`),
// every read and send (`history`, `history show`, `history diff`), and the
// entries the keyboard commands leave behind.
#pragma once

#include "cli/Commands.h"
#include "cli/Keyboard.h"
#include "history/History.h"

namespace padkbd::cli {

// One entry with its document; a damaged database is told as a warning.
Result<HistoryEntry> historyEntry(Context& context, std::int64_t id);
// The nine slots of the keyboard the session found (or looks for).
Result<SlotStates> slotStates(Context& context, KeyboardService& service);

void addHistoryOptions(CLI::App& command, Args& args);
Ending runHistory(Context& context, const Args& args);
Ending runSlots(Context& context, const Args& args);

}  // namespace padkbd::cli
