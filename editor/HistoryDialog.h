// File → History…: every read and send, filtered by slot and kind, with
// the user's notes.
#pragma once

#include <functional>

#include "editor/EntryDialog.h"

class QAction;
class QComboBox;
class QPushButton;
class QTreeWidget;

namespace padkbd::editor {

class HistoryDialog : public EntryDialog {
  Q_OBJECT

 public:
  HistoryDialog(ViewController& view, DeviceWorker& worker, QWidget* parent = nullptr);
  void refresh() override;

  QComboBox* slotFilter;  // All, Memory 1-9
  QComboBox* kindFilter;  // All, read, sent, stopped
  QTreeWidget* entryList;
  QPushButton* openButton;
  QPushButton* compareButton;
  QPushButton* saveAsButton;
  QPushButton* noteButton;
  QPushButton* keepButton;
  // Copies the chosen entry's number (the list's menu, Ctrl+C).
  QAction* copyNumberAction;

 private:
  void showAnswer(DeviceWorker::HistoryAnswer answer);
  // Asks for the chosen entry's note and keeps it.
  void editNote();
  // Fetches the chosen entry's document, then does `act` with it.
  void withChosen(std::function<void(const HistoryEntry&, const QString& what)> act);
  void enableButtons();
  void copyNumber();
};

}  // namespace padkbd::editor
