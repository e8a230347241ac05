// The dialogs the editor's actions open: file choosers, problems, the
// question before edits are dropped, the confirmation before a send, and
// the differences between two presets.
// They are replaceable so that tests can answer them.
#pragma once

#include <QColor>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "storage/Settings.h"

class QWidget;

namespace padkbd::editor {

// What Save to Library… asks: the preset's name, its tags (separated by
// commas) and its notes.
struct LibraryEntryAnswer {
  QString name;
  QString tags;
  QString notes;
};

// An empty path means the user cancelled.
struct DialogSeams {
  enum class Unsaved { Save, Discard, Cancel };
  std::function<QString(QWidget* parent)> openDocumentPath;
  std::function<QString(QWidget* parent)> saveDocumentPath;
  // A document was saved to or loaded from `path`: the next file dialog opens in its folder.
  std::function<void(const QString& path)> rememberFolder;
  // Where File → Export Names… writes the MIDNAM document, `suggested` its name.
  std::function<QString(QWidget* parent, const QString& suggested)> saveNamesPath;
  // Where the monitor's lines go, as text.
  std::function<QString(QWidget* parent)> saveTextPath;
  std::function<void(QWidget* parent, const QString& title, const QString& text)> showProblem;
  // "… would drop the changes": Save, Discard or Cancel.
  std::function<Unsaved(QWidget* parent, const QString& text)> askUnsaved;
  // What a send changes; true to send. `dontAskAgain` comes back checked or not.
  std::function<bool(QWidget* parent, const QString& text, const QString& details,
                     bool& dontAskAgain)>
      confirmSend;
  // The colour dialog, starting at `initial`; invalid when cancelled.
  std::function<QColor(QWidget* parent, const QColor& initial)> pickColour;
  // The keyboard was plugged in while other settings are shown: true to read it.
  std::function<bool(QWidget* parent)> askReadArrived;
  // A comparison of two presets: how many settings differ, and each one in the details.
  std::function<void(QWidget* parent, const QString& title, const QString& text,
                     const QString& details)>
      showDifferences;
  // Help → About: what is running and where its files are.
  std::function<void(QWidget* parent, const QString& title, const QString& text)> showAbout;
  // A line of text, starting with `text`; none when cancelled.
  std::function<std::optional<QString>(QWidget* parent, const QString& title, const QString& label,
                                       const QString& text)>
      askText;
  // Shows a folder in the desktop's file manager; false when none opened it.
  std::function<bool(const QString& folder)> openFolder;
  // The library: a folder to add, documents to import (empty when cancelled),
  // and the name, tags and notes of a preset kept in it (none when cancelled).
  std::function<QString(QWidget* parent)> chooseFolder;
  std::function<QStringList(QWidget* parent)> chooseDocuments;
  std::function<std::optional<LibraryEntryAnswer>(QWidget* parent, const QString& name)>
      askLibraryEntry;
  // A set of nine stopped part-way is sent again: true to skip the slots it
  // wrote whole, false to send them all; none when cancelled.
  std::function<std::optional<bool>(QWidget* parent, const QString& text)> askSkipWritten;
  // Where a set of nine is read from and written to (empty when cancelled).
  std::function<QString(QWidget* parent)> openSetPath;
  std::function<QString(QWidget* parent)> saveSetPath;
};

// The platform's own dialogs; the file dialogs open in the folder of the last
// document saved or loaded, which `settings` keeps.
DialogSeams platformDialogs(const SettingsFile& settings = SettingsFile());

}  // namespace padkbd::editor
