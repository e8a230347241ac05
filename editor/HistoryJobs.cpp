// The window's questions to the history, as jobs of the device worker's
// thread: they wait for an exchange under way (so they see its entry) and
// never keep the window waiting for the database.
#include "editor/DeviceWorker.h"

namespace padkbd::editor {

void DeviceWorker::slotStates(QObject* context, HistoryDone done) {
  ask(context, std::move(done), [](History& history, HistoryAnswer& answer) {
    Result<SlotStates> states = history.slotStates(answer.keyboard);
    answer.outcome = states.outcome();
    for (int n = 0; n < kSlotCount; ++n) answer.states[std::size_t(n)].slot = n + 1;
    if (states) answer.states = std::move(*states);
  });
}

void DeviceWorker::listHistory(HistoryFilter filter, QObject* context, HistoryDone done) {
  ask(context, std::move(done), [filter](History& history, HistoryAnswer& answer) {
    Result<std::vector<HistoryEntry>> entries = history.list(filter);
    answer.outcome = entries.outcome();
    if (entries) answer.entries = std::move(*entries);
  });
}

void DeviceWorker::historyEntry(std::int64_t id, QObject* context, HistoryDone done) {
  ask(context, std::move(done), [id](History& history, HistoryAnswer& answer) {
    Result<HistoryEntry> entry = history.entry(id);
    answer.outcome = entry.outcome();
    if (entry) answer.entries.push_back(std::move(*entry));
  });
}

void DeviceWorker::setHistoryNote(std::int64_t id, std::string note, QObject* context,
                                  HistoryDone done) {
  ask(context, std::move(done), [id, note = std::move(note)](History& history, HistoryAnswer& answer) {
    answer.outcome = history.setNote(id, note);
  });
}


}  // namespace padkbd::editor
