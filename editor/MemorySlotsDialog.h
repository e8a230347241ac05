// Keyboard → Memory Slots…: what each of the nine memory slots of the
// keyboard in use holds, as far as padkbd knows from its history.
#pragma once

#include <array>

#include "editor/EntryDialog.h"

class QPushButton;

namespace padkbd::editor {

class PadPicture;

class MemorySlotsDialog : public EntryDialog {
  Q_OBJECT

 public:
  MemorySlotsDialog(ViewController& view, DeviceWorker& worker, QWidget* parent = nullptr);
  void refresh() override;

  // A slot's row; `slot` 1-9.
  struct Row {
    QLabel* name = nullptr;  // the entry's source, "unknown" or "holds a mix"
    QLabel* when = nullptr;
    PadPicture* pads = nullptr;
    QPushButton* open = nullptr;
    QPushButton* sendAgain = nullptr;
    QPushButton* compare = nullptr;
    QPushButton* saveAs = nullptr;
    QPushButton* keep = nullptr;
  };
  const Row& row(int slot) const { return rows_[static_cast<std::size_t>(slot - 1)]; }
  QString keyboardText() const;

 private:
  void showAnswer(DeviceWorker::HistoryAnswer answer);
  void enableButtons();
  // The entry of `slot`, if padkbd knows one.
  const HistoryEntry* entryOf(int slot) const;

  std::array<Row, kSlotCount> rows_;
  SlotStates states_{};
  QLabel* keyboard_;
};

}  // namespace padkbd::editor
