// The Library pane (View → Library, a dock): the presets of the library's
// folders as a grid of thumbnails with their names, found by name, tag and
// notes, filtered by tag and favourites, sorted by name or date. A
// double-click opens a preset (one undo step); Compare shows how it differs
// from the window's. The index is brought up to date off the GUI thread once
// the window is up, and again after Add Folder… and Import Files…; the grid
// is drawn from the index alone.
#pragma once

#include <QObject>
#include <QThreadPool>
#include <atomic>
#include <memory>
#include <optional>
#include <unordered_map>

#include "library/Library.h"
#include "storage/Settings.h"

class QAction;
class QCheckBox;
class QComboBox;
class QDockWidget;
class QLabel;
class QLineEdit;
class QListView;
class QMainWindow;
class QModelIndex;
class QPushButton;
class QTimer;
class QWidget;

namespace padkbd::editor {

// A dock opened beside the window takes its room from the window's contents;
// the window grows by as much of it as its screen has free.
void makeRoomFor(QDockWidget* dock);

class LibraryModel;
class ViewController;

class LibraryPane : public QObject {
  Q_OBJECT

 public:
  LibraryPane(QMainWindow* window, ViewController& view, SettingsFile settings);
  ~LibraryPane() override;

  // View → Library: shows and hides the dock.
  QAction* toggleAction() const;
  // Looks at the folders again, off the GUI thread; `looked` when done.
  void look();
  bool looking() const { return looking_; }
  // Nothing looked at or asked of the index that the pane does not show yet.
  bool idle() const { return !looking_ && answered_ == asked_; }
  QString status() const;
  // How many presets the grid shows: "12 presets", "3 of 12 presets".
  QString count() const;
  LibraryModel& model() const { return *model_; }
  Library& library() const { return *library_; }

  // The grid of thumbnails over `model`, as the pane shows it.
  static QListView* makeGrid(QWidget* parent, LibraryModel* model);

  // File → Save to Library…: the preset shown, with the name, tags and notes asked for.
  void saveToLibraryAction();
  // "Keep in Library" of the history's dialogs: `document` as recorded, under
  // a name asked for (`name` offered). What came of it, for their status line;
  // empty when cancelled.
  QString keep(QWidget* parent, const std::string& document, const QString& name);

 signals:
  void looked();
  // The grid shows the answer to the latest question.
  void shownChanged();

 private:
  void buildDock(QMainWindow* window);
  // The index's presets again: every name and tag, then those the filters let through.
  void reload();
  void refresh();
  // Asks the index (off the GUI thread) for the presets the filters let
  // through, and with `everything` for all of them (their names and tags).
  void query(bool everything);
  void showAll(const Result<std::vector<LibraryPreset>>& all);
  void show(const Result<std::vector<LibraryPreset>>& shown);
  void lookDone(const Result<ScanReport>& report, const std::optional<Text>& notice);
  const LibraryPreset* chosen() const;
  void open(const QModelIndex& index);
  void compare();
  void toggleFavourite();
  void addFolder();
  void importDocuments();
  // Puts `document` into the library's own folder as `name`, with its marks.
  Result<LibraryPreset> keepAs(const std::string& document, const QString& name,
                               const QString& tags, const QString& notes);
  void setStatus(const QString& text);
  std::vector<std::filesystem::path> folders() const;

  ViewController& view_;
  SettingsFile settings_;
  std::unique_ptr<Library> library_;
  // Used only by the queries' thread.
  std::unique_ptr<Library> queryLibrary_;
  LibraryModel* model_;
  QDockWidget* dock_ = nullptr;
  QLineEdit* search_ = nullptr;
  QComboBox* tag_ = nullptr;
  QCheckBox* favourites_ = nullptr;
  QComboBox* order_ = nullptr;
  QListView* grid_ = nullptr;
  QPushButton* open_ = nullptr;
  QPushButton* compare_ = nullptr;
  QPushButton* favourite_ = nullptr;
  QLabel* status_ = nullptr;
  QLabel* count_ = nullptr;
  QTimer* typing_ = nullptr;
  std::unordered_map<std::int64_t, QString> names_;
  // The look runs on a thread of its own with a Library of its own.
  QThreadPool pool_;
  QThreadPool queries_;
  int asked_ = 0;         // the latest question to the index
  int answered_ = 0;      // the latest answer shown
  bool wantAll_ = false;  // every preset's name and tag is wanted with the next answer
  std::atomic<bool> cancel_{false};
  bool looking_ = false;
  bool lookAgain_ = false;
};

}  // namespace padkbd::editor
