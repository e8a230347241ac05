// The history in the window: Keyboard → Memory Slots… (what each of the
// nine memory slots of the keyboard in use holds, as far as padkbd knows)
// and File → History… (every read and send). The device worker keeps the
// history, so both ask it and show the answer when it comes; neither is
// modal, and an exchange may run while they are open (they show its entry
// when it ends).
#pragma once

#include <QDialog>
#include <array>
#include <functional>

#include "editor/DeviceWorker.h"
#include "history/History.h"
#include "history/SendPreview.h"

class QComboBox;
class QLabel;
class QPushButton;
class QTreeWidget;

namespace padkbd::editor {

class PadPicture;
class ViewController;

// What both dialogs do with an entry (with its document), `what` naming it
// ("Memory 3", "history entry 12"): put its preset into the window, compare
// it with the window's, save it as a document. What came of it is shown in
// the dialog's status line.
class EntryDialog : public QDialog {
  Q_OBJECT

 public:
  QString status() const;

 protected:
  EntryDialog(ViewController& view, DeviceWorker& worker, QWidget* parent);
  void openEntry(const HistoryEntry& entry, const QString& what);
  void compareEntry(const HistoryEntry& entry, const QString& what);
  void saveEntry(const HistoryEntry& entry, const QString& what);
  // The status line, and a note of the history's (a damaged database set aside) before it.
  void setStatus(const QString& text, const std::string& note = {});
  // What a history answer says when it failed or has a note; the status stays otherwise.
  void showOutcome(const DeviceWorker::HistoryAnswer& answer);
  void showEvent(QShowEvent* event) override;
  // Asks the worker again; the answer replaces what is shown.
  virtual void refresh() = 0;

  ViewController& view_;
  DeviceWorker& worker_;
  QLabel* status_;

 private:
  // The preset of `entry`, or none after saying why.
  std::optional<Preset> presetFor(const HistoryEntry& entry, const QString& title);
};

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

 private:
  void showAnswer(DeviceWorker::HistoryAnswer answer);
  // Asks for the chosen entry's note and keeps it.
  void editNote();
  // Fetches the chosen entry's document, then does `act` with it.
  void withChosen(std::function<void(const HistoryEntry&, const QString& what)> act);
  void enableButtons();
};

}  // namespace padkbd::editor
