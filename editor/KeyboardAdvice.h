// The window's words for what the user can do about a failed exchange (the
// workflow decides which advice; the tool says the same in its own words):
// the Keyboard dialog lists the devices and ports, and shows the udev rule.
#pragma once

#include <QString>

#include "editor/DeviceWorker.h"
#include "keyboard/Service.h"

namespace padkbd::editor {

// Empty when there is nothing to advise.
QString adviceText(const Advice& advice);

// What the history said of an exchange, one note each.
QString historyNoteText(const HistoryNote& note);

// What to do about a failed exchange where there is something to do, else what happened.
QString whyItFailed(const DeviceWorker::Report& result);
// What the history said of the exchange, one note after the other.
QString historyNotes(const DeviceWorker::Report& result);

}  // namespace padkbd::editor
