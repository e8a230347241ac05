// The Set view (View → Set, a dock beside the library): a set of nine shows
// as nine rows, one for each memory slot, with the preset of the library it
// fills that slot with (dropped onto the row from the Library pane) and what
// padkbd last sent there. Send Set checks every preset against the set
// first (a changed one stops everything), asks once with what changes in
// each slot, offers to skip the slots a stopped send already wrote whole,
// and writes the slots one after another with one progress and one Cancel;
// each slot is a history entry of its own.
#pragma once

#include <QObject>
#include <QPointer>
#include <QTreeWidget>
#include <filesystem>
#include <optional>

#include "editor/DeviceWorker.h"
#include "library/PresetSet.h"

class QAction;
class QDockWidget;
class QLabel;
class QMainWindow;
class QPushButton;

namespace padkbd::editor {

class LibraryPane;
class MessageController;
class ViewController;

// The rows take presets dragged from the library's grid.
class SetRows : public QTreeWidget {
  Q_OBJECT

 public:
  using QTreeWidget::QTreeWidget;

 signals:
  // A preset of the library (its path) dropped onto the row of `slot` (1-9).
  void dropped(int slot, const QString& path);

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
};

class SetView : public QObject {
  Q_OBJECT

 public:
  SetView(QMainWindow* window, ViewController& view, DeviceWorker& worker, LibraryPane& library);

  QAction* toggleAction() const;
  const PresetSet& set() const { return set_; }
  SetRows* rows() const { return rows_; }
  QString status() const;

  // The preset of the library at `path` fills `slot` (1-9); false, said, when
  // it is no usable preset of the library.
  bool fill(int slot, const QString& path);
  void clear(int slot);
  // Shows `set`, read from `file` (none: a new set).
  void show(PresetSet set, std::optional<std::filesystem::path> file);
  void openAction();
  void saveAction();
  void sendAction();

 private:
  void buildDock(QMainWindow* window);
  // The rows again, with what the history says of each slot.
  void refresh();
  void showRows(const SlotStates& states);
  void showSetProgress(const SetProgress& progress);
  // Asked, with the slots' states from the history: what sending would do.
  void confirmAndSend(const SlotStates& states);
  void sent(const DeviceWorker::Report& report, const std::vector<int>& skipped);
  void setStatus(const QString& text);
  QString setName() const;

  ViewController& view_;
  DeviceWorker& worker_;
  LibraryPane& library_;
  PresetSet set_;
  std::optional<std::filesystem::path> file_;
  QDockWidget* dock_ = nullptr;
  SetRows* rows_ = nullptr;
  QLabel* title_ = nullptr;
  QLabel* status_ = nullptr;
  QPushButton* send_ = nullptr;
  QPointer<MessageController> message_;
  bool sending_ = false;
};

}  // namespace padkbd::editor
