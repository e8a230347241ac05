#include "editor/DocumentActions.h"

#include <QWidget>
#include <filesystem>
#include <vector>

#include "editor/ViewController.h"
#include "editor/Words.h"
#include "model/Log.h"
#include "storage/Files.h"
#include "storage/Midnam.h"

namespace padkbd::editor {

DocumentActions::DocumentActions(ViewController& view) : QObject(&view), view_(view) {}

void DocumentActions::showProblem(const QString& title, const Outcome& failed) {
  log::diag("%s: %s", title.toStdString(), failed.message());
  const DialogSeams& dialogs = view_.dialogs;
  if (dialogs.showProblem) dialogs.showProblem(view_.view()->window(), title, words(failed));
}

bool DocumentActions::mayDropEdits(const QString& what) {
  const DialogSeams& dialogs = view_.dialogs;
  if (!view_.hasSession() || !view_.session().modified() || !dialogs.askUnsaved) return true;
  const QString text = tr("%1 would drop the changes made since the preset was "
                          "last loaded, saved, read or sent.")
                           .arg(what);
  switch (dialogs.askUnsaved(view_.view()->window(), text)) {
    case DialogSeams::Unsaved::Save:
      return save();
    case DialogSeams::Unsaved::Discard:
      return true;
    case DialogSeams::Unsaved::Cancel:
      break;
  }
  return false;
}

void DocumentActions::changeToDefaultAction() {
  if (!mayDropEdits(tr("The default preset"))) return;
  if (Outcome used = view_.session().useDefault(); !used) {
    showProblem(tr("The default preset was not loaded"), used);
  }
  view_.showAll();
}

void DocumentActions::loadAction() {
  if (!mayDropEdits(tr("Loading a preset"))) return;
  const DialogSeams& dialogs = view_.dialogs;
  const QString path =
      dialogs.openDocumentPath ? dialogs.openDocumentPath(view_.view()->window()) : QString();
  if (path.isEmpty()) return;
  if (Outcome loaded = view_.session().loadDocument(path.toStdString()); !loaded) {
    showProblem(tr("The preset was not loaded"), loaded);
    return;
  }
  if (dialogs.rememberFolder) dialogs.rememberFolder(path);
  view_.showAll();
}

bool DocumentActions::save() {
  // What the window shows now is what is saved, whatever happens while the
  // dialog is open (another window loading over the working copy included).
  const Preset shown = view_.session().copyOfPreset();
  // The working copy is written first; only then is a document chosen.
  if (Outcome written = view_.session().writeWorkingCopy(); !written) {
    showProblem(tr("The preset was not saved"), written);
    return false;
  }
  const DialogSeams& dialogs = view_.dialogs;
  const QString path =
      dialogs.saveDocumentPath ? dialogs.saveDocumentPath(view_.view()->window()) : QString();
  if (path.isEmpty()) return false;
  if (Outcome saved = view_.session().exportDocument(path.toStdString(), shown); !saved) {
    showProblem(tr("The preset was not saved"), saved);
    return false;
  }
  if (dialogs.rememberFolder) dialogs.rememberFolder(path);
  emit view_.editStateChanged();
  return true;
}

void DocumentActions::saveAction() {
  save();
}

void DocumentActions::exportNamesAction() {
  const EditSession& session = view_.session();
  const Preset shown = session.copyOfPreset();
  std::vector<std::string> names;
  for (std::int32_t index = 0; index < kControlCount; ++index) {
    names.push_back(session.controlName(index));
  }
  // A document's name tells its names apart in the DAW.
  const Origin& origin = session.origin();
  const std::string name = origin.kind == Origin::Kind::Document
                               ? std::filesystem::path(origin.detail).stem().string()
                               : std::string();
  const DialogSeams& dialogs = view_.dialogs;
  const QString suggested = QString::fromStdString(name.empty() ? "padkbd" : name) + ".midnam";
  const QString path =
      dialogs.saveNamesPath ? dialogs.saveNamesPath(view_.view()->window(), suggested) : QString();
  if (path.isEmpty()) return;
  const Outcome written =
      writeFileAtomically(path.toStdString(), midnamDocument(shown, names, name));
  if (!written) {
    showProblem(tr("The names were not exported"), written);
    return;
  }
  if (dialogs.rememberFolder) dialogs.rememberFolder(path);
}

}  // namespace padkbd::editor
