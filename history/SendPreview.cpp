#include "history/SendPreview.h"

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
  preview.changes = slot.changeTexts(preset, lists);
  return preview;
}

Text slotText(const SlotState& state) {
  if (state.kind == SlotState::Kind::Unknown || !state.entry) {
    return Text(TextId::SlotUnknown, {state.slot});
  }
  const HistoryEntry& entry = *state.entry;
  if (state.kind == SlotState::Kind::Mix) {
    return Text(TextId::SlotMix,
                {state.slot, entry.at, sourceText(entry.source), entry.written, entry.total});
  }
  return Text(TextId::SlotHolds, {state.slot, entry.at, sourceText(entry.source)});
}

Text changesText(std::size_t count) {
  if (count == 0) return Text(TextId::NothingChanges);
  if (count == 1) return Text(TextId::OneSettingChanges);
  return Text(TextId::SettingsChange, {static_cast<unsigned long>(count)});
}

Text previewText(const SendPreview& preview) {
  const SlotState& state = preview.state;
  Text slot = slotText(state);
  if (state.kind == SlotState::Kind::Unknown || !state.entry) {
    return Text(TextId::PreviewUnknown, {std::move(slot), exchangeCount()});
  }
  if (state.kind == SlotState::Kind::Mix) {
    return Text(TextId::PreviewMix, {std::move(slot), exchangeCount()});
  }
  return Text(TextId::PreviewChanges, {std::move(slot), changesText(preview.changes.size())});
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
