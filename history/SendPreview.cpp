#include "history/SendPreview.h"

#include <fmt/format.h>

#include "model/Fields.h"
#include "session/KeyboardPreset.h"
#include "storage/Files.h"

namespace padkbd {

SendPreview previewSend(const SlotState& state, const Preset& preset, const ChoiceLists& lists) {
  SendPreview preview{state, {}};
  if (state.kind != SlotState::Kind::Holds || !state.entry) return preview;
  Result<Preset> held = presetOf(*state.entry);
  if (!held) {
    // What cannot be read back is not known.
    preview.state.kind = SlotState::Kind::Unknown;
    return preview;
  }
  KeyboardPreset slot(std::nullopt);
  slot.sent(valuesOf(*held));
  preview.changes = slot.changes(preset, lists);
  return preview;
}

std::string slotText(const SlotState& state, HistoryClock::time_point now) {
  if (state.kind == SlotState::Kind::Unknown || !state.entry) {
    return fmt::format("Memory {}: not sent by padkbd on this computer", state.slot);
  }
  const HistoryEntry& entry = *state.entry;
  const std::string when = whenText(entry.at, now);
  if (state.kind == SlotState::Kind::Mix) {
    return fmt::format("Memory {}: a send by padkbd on {}, {}, stopped after {} of {} settings",
                       state.slot, when, entry.source, entry.written, entry.total);
  }
  return fmt::format("Memory {}: last sent by padkbd on {}, {}", state.slot, when, entry.source);
}

std::string previewText(const SendPreview& preview, HistoryClock::time_point now) {
  const SlotState& state = preview.state;
  const std::string slot = slotText(state, now);
  if (state.kind == SlotState::Kind::Unknown || !state.entry) {
    return fmt::format("{}, so what it holds is unknown; all {} settings will be written", slot,
                       exchangeCount());
  }
  if (state.kind == SlotState::Kind::Mix) {
    return fmt::format("{}; all {} settings will be written", slot, exchangeCount());
  }
  const std::size_t count = preview.changes.size();
  const std::string changes = count == 0   ? std::string("nothing changes")
                              : count == 1 ? std::string("1 setting changes")
                                           : fmt::format("{} settings change", count);
  return fmt::format("{}; against that, {}", slot, changes);
}

namespace {

HistoryEntry entryOf(const std::string& keyboard, const std::optional<std::string>& firmware,
                     const Preset& preset) {
  HistoryEntry entry;
  entry.at = HistoryClock::now();
  entry.keyboard = keyboard;
  entry.firmware = firmware.value_or("");
  entry.total = exchangeCount();
  entry.document = presetToXml(preset.buttons, *preset.global);
  return entry;
}

}  // namespace

HistoryEntry readEntry(const std::string& keyboard, const std::optional<std::string>& firmware,
                       const Preset& preset) {
  HistoryEntry entry = entryOf(keyboard, firmware, preset);
  entry.kind = EntryKind::Read;
  entry.written = entry.total;
  entry.source = "from the keyboard";
  return entry;
}

std::optional<HistoryEntry> sendEntry(const std::string& keyboard,
                                      const std::optional<std::string>& firmware, int slot,
                                      int written, const Preset& preset, std::string source) {
  if (written <= 0) return std::nullopt;
  HistoryEntry entry = entryOf(keyboard, firmware, preset);
  entry.kind = written >= entry.total ? EntryKind::Sent : EntryKind::Stopped;
  entry.slot = slot;
  entry.written = written;
  entry.source = std::move(source);
  return entry;
}

}  // namespace padkbd
