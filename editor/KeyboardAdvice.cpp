#include "editor/KeyboardAdvice.h"

#include <QCoreApplication>

#include "editor/Words.h"

namespace padkbd::editor {
namespace {

// The texts keep the context they were first translated in.
QString tr(const char* text) {
  return QCoreApplication::translate("padkbd::editor::DeviceWorker", text);
}

QString q(const std::string& text) {
  return QString::fromStdString(text);
}

}  // namespace

QString adviceText(const Advice& advice) {
  const KeyboardId& keyboard = advice.absence.keyboard;
  switch (advice.kind) {
    case Advice::Kind::AllowAccess:
      return tr("This user may not open the keyboard (USB id %1). Keyboard → Keyboard… shows "
                "the udev rule that allows it and how to install it; then plug the keyboard "
                "in again.")
          .arg(q(formatUsbIds(keyboard.usb)));
    case Advice::Kind::CloseOther:
      return tr(
          "Another program holds the keyboard: close it (or another padkbd), then try "
          "again.");
    case Advice::Kind::PlugIn:
      if (!keyboard.port.empty()) {
        return tr("No MIDI port named \"%1\" was found. Is the keyboard plugged in? Keyboard → "
                  "Keyboard… lists the MIDI ports and chooses another.")
            .arg(q(keyboard.port));
      }
      return tr("No keyboard with USB id %1 was found. Is it plugged in? Keyboard → Keyboard… "
                "lists the USB MIDI devices and chooses another.")
          .arg(q(formatUsbIds(keyboard.usb)));
    case Advice::Kind::None:
      break;
  }
  return {};
}

QString historyNoteText(const HistoryNote& note) {
  QString text = words(note.notice);
  if (!note.notKept) {
    if (!text.isEmpty()) text += QLatin1Char('\n');
    text += (note.kind == EntryKind::Read ? tr("The history could not keep this read: %1.")
                                          : tr("The history could not keep this send: %1."))
                .arg(words(note.notKept));
  }
  return text;
}

QString whyItFailed(const DeviceWorker::Report& result) {
  const QString advice = adviceText(result.advice);
  return advice.isEmpty() ? words(result.outcome) : advice;
}

QString historyNotes(const DeviceWorker::Report& result) {
  QStringList notes;
  for (const HistoryNote& note : result.history) notes << historyNoteText(note);
  return notes.join(QLatin1Char('\n'));
}

}  // namespace padkbd::editor
