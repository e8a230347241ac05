// What the history's two dialogs (Memory Slots, History) share: what they do
// with an entry of the history. The device worker keeps the history, so both
// ask it and show the answer when it comes; neither is modal, and an
// exchange may run while they are open (they show its entry when it ends).
#pragma once

#include <QDialog>
#include <QPointer>
#include <optional>

#include "editor/DeviceWorker.h"
#include "history/History.h"

class QDialogButtonBox;
class QLabel;
class QPushButton;

namespace padkbd::editor {

class LibraryPane;
class ViewController;

// What both dialogs do with an entry (with its document), `what` naming it
// ("Memory 3", "history entry 12"): put its preset into the window, compare
// it with the window's, save it as a document. What came of it is shown in
// the dialog's status line.
class EntryDialog : public QDialog {
  Q_OBJECT

 public:
  QString status() const;
  // Shows how `preset` differs from the window's, `what` naming it ("Memory 3").
  static void showComparison(ViewController& view, QWidget* parent, const Preset& preset,
                             const QString& what);
  // Where "Keep in Library…" keeps an entry's preset.
  void setLibrary(LibraryPane* library);

 protected:
  EntryDialog(ViewController& view, DeviceWorker& worker, QWidget* parent);
  void openEntry(const HistoryEntry& entry, const QString& what);
  void compareEntry(const HistoryEntry& entry, const QString& what);
  void saveEntry(const HistoryEntry& entry, const QString& what);
  void keepEntry(const HistoryEntry& entry, const QString& what);
  // The status line, and a note of the history's (a damaged database set aside) before it.
  void setStatus(const QString& text, const std::optional<Text>& note = {});
  // What a history answer says when it failed or has a note; the status stays otherwise.
  void showOutcome(const DeviceWorker::HistoryAnswer& answer);
  void showEvent(QShowEvent* event) override;
  // Asks the worker again; the answer replaces what is shown.
  virtual void refresh() = 0;

  // A button of a row or of the dialog, found by its name.
  static QPushButton* namedButton(QWidget* parent, const QString& text, const QString& name);
  // The Close button that closes `dialog`.
  static QDialogButtonBox* closeBox(QDialog* dialog);

  ViewController& view_;
  DeviceWorker& worker_;
  QLabel* status_;
  QPointer<LibraryPane> library_;

 private:
  // The preset of `entry`, or none after saying why.
  std::optional<Preset> presetFor(const HistoryEntry& entry, const QString& title);
};

}  // namespace padkbd::editor
