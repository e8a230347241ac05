// What the window does with documents: Default, Load, Save and Export
// Names, never dropping edits without asking first. Save writes the preset
// the window showed when it was chosen (leaving it in the working copy too,
// as the editor always did). A refused document is told in a message box and
// changes nothing.
#pragma once

#include <QObject>
#include <QString>
#include <string>

#include "model/Outcome.h"

namespace padkbd::editor {

class ViewController;

class DocumentActions : public QObject {
  Q_OBJECT

 public:
  explicit DocumentActions(ViewController& view);

  // Whether edits may be dropped: asks first when there are unsaved ones
  // (Save / Discard / Cancel); `what` says what would drop them.
  bool mayDropEdits(const QString& what);

 public slots:
  void changeToDefaultAction();
  void loadAction();
  void saveAction();
  // Writes the names of what the shown preset's controls send as a MIDNAM
  // document, for DAWs.
  void exportNamesAction();

 private:
  bool save();
  void showProblem(const QString& title, const Outcome& failed);

  ViewController& view_;
};

}  // namespace padkbd::editor
