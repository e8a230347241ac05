// The Library pane's ways in: a favourite marked, a folder added, documents
// imported, and a preset kept from the window or the history under a name
// with its tags and notes.
#include <QDockWidget>

#include "editor/LibraryPane.h"
#include "editor/ViewController.h"
#include "editor/Words.h"
#include "session/EditSession.h"
#include "storage/Files.h"

namespace padkbd::editor {

namespace {

QString q(const std::string& text) {
  return QString::fromStdString(text);
}

}  // namespace

void LibraryPane::toggleFavourite() {
  const LibraryPreset* preset = chosen();
  if (!preset) return;
  MarkChange change;
  change.favourite = !preset->favourite;
  if (Outcome marked = library_->mark(preset->id, change); !marked) {
    setStatus(sentence(marked));
    return;
  }
  reload();
}

void LibraryPane::addFolder() {
  const DialogSeams& dialogs = view_.dialogs;
  const QString chosen = dialogs.chooseFolder ? dialogs.chooseFolder(dock_->window()) : QString();
  if (chosen.isEmpty()) return;
  const std::filesystem::path folder = std::filesystem::absolute(chosen.toStdString());
  std::vector<std::filesystem::path> added = settings_.libraryFolders();
  const std::vector<std::filesystem::path> all = folders();
  if (std::find(all.begin(), all.end(), folder) != all.end()) {
    setStatus(tr("%1 is in the library already.").arg(chosen));
    return;
  }
  added.push_back(folder);
  if (Outcome stored = settings_.storeLibraryFolders(added); !stored) {
    setStatus(sentence(stored));
    return;
  }
  library_ = std::make_unique<Library>(Library::defaultIndexPath(), folders());
  // The index lists only what lies in the library's folders: the queries'
  // own Library learns of the new one on their thread, before the next question.
  queries_.start([this, all = folders()] {
    queryLibrary_ = std::make_unique<Library>(Library::defaultIndexPath(), all);
  });
  look();
}

void LibraryPane::importDocuments() {
  const DialogSeams& dialogs = view_.dialogs;
  const QStringList files =
      dialogs.chooseDocuments ? dialogs.chooseDocuments(dock_->window()) : QStringList();
  if (files.isEmpty()) return;
  QStringList refused;
  int added = 0;
  for (const QString& file : files) {
    const Result<LibraryPreset> kept = library_->add(file.toStdString());
    if (kept) {
      ++added;
    } else {
      refused << sentence(kept.outcome());
    }
  }
  reload();
  setStatus(tr("%n presets imported.", nullptr, added));
  if (!refused.isEmpty() && dialogs.showProblem) {
    dialogs.showProblem(dock_->window(), tr("Some files were not imported"),
                        refused.join(QLatin1Char('\n')));
  }
}

Result<LibraryPreset> LibraryPane::keepAs(const std::string& document, const QString& name,
                                          const QString& tags, const QString& notes) {
  // The library never writes over another file of that name.
  Result<LibraryPreset> kept = library_->add(document, name.toStdString() + ".padkbd");
  if (!kept) return kept;
  MarkChange change;
  for (const QString& tag : tags.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
    if (const auto clean = cleanTag(tag.toStdString())) change.addTags.push_back(*clean);
  }
  if (!notes.trimmed().isEmpty()) change.notes = notes.trimmed().toStdString();
  if (Outcome marked = library_->mark(kept->id, change); !marked) return marked;
  reload();
  return kept;
}

QString LibraryPane::keep(QWidget* parent, const std::string& document, const QString& offered) {
  const DialogSeams& dialogs = view_.dialogs;
  const auto answer = dialogs.askLibraryEntry ? dialogs.askLibraryEntry(parent, offered)
                                              : std::optional<LibraryEntryAnswer>();
  if (!answer) return {};
  // A name is a file's name in the library's own folder.
  const QString name = answer->name.trimmed();
  if (name.isEmpty() || name.startsWith(QLatin1Char('.')) || name.contains(QLatin1Char('/'))) {
    return tr("A preset's name cannot be empty, start with a dot or hold a /.");
  }
  const Result<LibraryPreset> kept = keepAs(document, name, answer->tags, answer->notes);
  return kept ? tr("Kept in the library as %1.").arg(q(kept->name)) : sentence(kept.outcome());
}

void LibraryPane::saveToLibraryAction() {
  const Preset shown = view_.session().copyOfPreset();
  const QString said =
      keep(dock_->window(), presetToXml(shown.buttons, *shown.global), tr("New preset"));
  if (said.isEmpty()) return;
  setStatus(said);
  dock_->show();
}

}  // namespace padkbd::editor
