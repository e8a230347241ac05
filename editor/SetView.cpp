#include "editor/SetView.h"

#include <QAction>
#include <QDockWidget>
#include <QDragEnterEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMainWindow>
#include <QMimeData>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "editor/KeyboardActions.h"
#include "editor/KeyboardAdvice.h"
#include "editor/LibraryModel.h"
#include "editor/LibraryPane.h"
#include "editor/MessageController.h"
#include "editor/ViewController.h"
#include "editor/Words.h"
#include "model/Log.h"
#include "session/EditSession.h"

namespace padkbd::editor {

namespace {

enum Column { kSlotColumn, kPresetColumn, kSentColumn };
// The rows' pictures: half the grid's.
constexpr PadGeometry kRowPads{3, 1, 2};

QString q(const std::string& text) {
  return QString::fromStdString(text);
}

bool carriesPreset(const QMimeData* data) {
  return data && data->hasFormat(QString::fromLatin1(LibraryModel::kMimeType));
}

}  // namespace

void SetRows::dragEnterEvent(QDragEnterEvent* event) {
  if (carriesPreset(event->mimeData())) event->acceptProposedAction();
}

void SetRows::dragMoveEvent(QDragMoveEvent* event) {
  if (carriesPreset(event->mimeData()) && itemAt(event->position().toPoint())) {
    event->acceptProposedAction();
  } else {
    event->ignore();
  }
}

void SetRows::dropEvent(QDropEvent* event) {
  QTreeWidgetItem* row = itemAt(event->position().toPoint());
  if (!carriesPreset(event->mimeData()) || !row) return event->ignore();
  event->acceptProposedAction();
  emit dropped(
      indexOfTopLevelItem(row) + 1,
      QString::fromUtf8(event->mimeData()->data(QString::fromLatin1(LibraryModel::kMimeType))));
}

SetView::SetView(QMainWindow* window, ViewController& view, DeviceWorker& worker,
                 LibraryPane& library)
    : QObject(window), view_(view), worker_(worker), library_(library) {
  buildDock(window);
  connect(&worker_, &DeviceWorker::setProgress, this, &SetView::showSetProgress);
  // What a send (of the window, or of the set) leaves in the history shows in the rows.
  connect(&view_.keyboard(), &KeyboardActions::historyChanged, this, &SetView::refresh);
  connect(&library_, &LibraryPane::looked, this, &SetView::refresh);
  connect(dock_, &QDockWidget::visibilityChanged, this, [this](bool visible) {
    if (visible) refresh();
  });
}

QAction* SetView::toggleAction() const {
  return dock_->toggleViewAction();
}

QString SetView::status() const {
  return status_->text();
}

void SetView::setStatus(const QString& text) {
  status_->setText(text);
}

void SetView::buildDock(QMainWindow* window) {
  dock_ = new QDockWidget(tr("Set"), window);
  dock_->setObjectName(QStringLiteral("setDock"));
  auto* pane = new QWidget(dock_);
  auto* layout = new QVBoxLayout(pane);
  layout->setContentsMargins(8, 4, 8, 8);
  title_ = new QLabel(pane);
  title_->setObjectName(QStringLiteral("setTitle"));
  layout->addWidget(title_);
  rows_ = new SetRows(pane);
  rows_->setObjectName(QStringLiteral("setRows"));
  rows_->setHeaderLabels({tr("Memory"), tr("Preset"), tr("Last sent there")});
  rows_->setRootIsDecorated(false);
  rows_->setUniformRowHeights(true);
  rows_->setIconSize(kRowPads.size());
  rows_->setAcceptDrops(true);
  rows_->viewport()->setAcceptDrops(true);
  rows_->setDragDropMode(QAbstractItemView::DropOnly);
  rows_->setDropIndicatorShown(true);
  rows_->setSelectionMode(QAbstractItemView::SingleSelection);
  rows_->header()->setStretchLastSection(true);
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    new QTreeWidgetItem(rows_, {tr("Memory %1").arg(slot)});
  }
  // All nine rows in sight, each as tall as its picture.
  rows_->topLevelItem(0)->setSizeHint(kPresetColumn, kRowPads.size() + QSize(0, 4));
  rows_->setMinimumHeight(rows_->header()->sizeHint().height() +
                          kSlotCount * (kRowPads.size().height() + 6) + 2 * rows_->frameWidth());
  layout->addWidget(rows_, 1);
  // The set's file, then what is done with its slots: two rows, for a narrow pane.
  auto* files = new QHBoxLayout();
  auto* actions = new QHBoxLayout();
  const auto button = [pane](QHBoxLayout* row, const QString& text, const char* name) {
    auto* made = new QPushButton(text, pane);
    made->setObjectName(QString::fromLatin1(name));
    row->addWidget(made);
    return made;
  };
  QPushButton* fresh = button(files, tr("New"), "setNew");
  QPushButton* open = button(files, tr("Open…"), "setOpen");
  QPushButton* save = button(files, tr("Save…"), "setSave");
  files->addStretch(1);
  QPushButton* clearSlot = button(actions, tr("Clear Slot"), "setClear");
  actions->addStretch(1);
  send_ = button(actions, tr("Send Set…"), "setSend");
  layout->addLayout(files);
  layout->addLayout(actions);
  status_ = new QLabel(pane);
  status_->setObjectName(QStringLiteral("setStatus"));
  status_->setWordWrap(true);
  status_->setForegroundRole(QPalette::PlaceholderText);
  status_->setText(tr("Drop presets from the library onto the memory slots they go to."));
  layout->addWidget(status_);
  dock_->setWidget(pane);
  window->addDockWidget(Qt::RightDockWidgetArea, dock_);
  dock_->hide();
  makeRoomFor(dock_);
  toggleAction()->setObjectName(QStringLiteral("actionSet"));
  toggleAction()->setText(tr("&Set"));

  connect(rows_, &SetRows::dropped, this,
          [this](int slot, const QString& path) { fill(slot, path); });
  connect(fresh, &QPushButton::clicked, this, [this] { show({}, std::nullopt); });
  connect(open, &QPushButton::clicked, this, &SetView::openAction);
  connect(save, &QPushButton::clicked, this, &SetView::saveAction);
  connect(clearSlot, &QPushButton::clicked, this, [this] {
    if (QTreeWidgetItem* row = rows_->currentItem()) clear(rows_->indexOfTopLevelItem(row) + 1);
  });
  connect(send_, &QPushButton::clicked, this, &SetView::sendAction);
  showRows({});
}

QString SetView::setName() const {
  return file_ ? q(file_->filename().string()) : tr("the new set");
}

bool SetView::fill(int slot, const QString& path) {
  if (slot < 1 || slot > kSlotCount) return false;
  const Result<LibraryPreset> found = library_.library().find(path.toStdString());
  if (!found || found->refused || found->missing) {
    setStatus(!found           ? sentence(found.outcome())
              : found->refused ? sentence(*found->refused)
                               : tr("Its folder is not there now."));
    return false;
  }
  std::erase_if(set_.filled, [slot](const SetSlot& s) { return s.slot == slot; });
  set_.filled.push_back({slot, found->hash, found->relative()});
  std::sort(set_.filled.begin(), set_.filled.end(),
            [](const SetSlot& a, const SetSlot& b) { return a.slot < b.slot; });
  setStatus(tr("Memory %1: %2.").arg(slot).arg(q(found->name)));
  refresh();
  return true;
}

void SetView::clear(int slot) {
  std::erase_if(set_.filled, [slot](const SetSlot& s) { return s.slot == slot; });
  refresh();
}

void SetView::show(PresetSet set, std::optional<std::filesystem::path> file) {
  set_ = std::move(set);
  file_ = std::move(file);
  dock_->show();
  refresh();
}

void SetView::openAction() {
  const DialogSeams& dialogs = view_.dialogs;
  const QString path = dialogs.openSetPath ? dialogs.openSetPath(dock_->window()) : QString();
  if (path.isEmpty()) return;
  Result<PresetSet> read = readSet(path.toStdString());
  if (!read) {
    if (dialogs.showProblem) {
      dialogs.showProblem(dock_->window(), tr("The set was not opened"), sentence(read.outcome()));
    }
    return;
  }
  show(std::move(*read), std::filesystem::path(path.toStdString()));
}

void SetView::saveAction() {
  const DialogSeams& dialogs = view_.dialogs;
  const QString path = dialogs.saveSetPath ? dialogs.saveSetPath(dock_->window()) : QString();
  if (path.isEmpty()) return;
  if (Outcome written = writeSet(path.toStdString(), set_); !written) {
    if (dialogs.showProblem) {
      dialogs.showProblem(dock_->window(), tr("The set was not saved"), sentence(written));
    }
    return;
  }
  file_ = std::filesystem::path(path.toStdString());
  setStatus(tr("Saved as %1.").arg(setName()));
  refresh();
}

void SetView::refresh() {
  // The history is asked only for a view in sight: what it has to tell (a
  // damaged database set aside) goes to whoever asked, once.
  if (!dock_->isVisible()) return;
  worker_.slotStates(this, [this](DeviceWorker::HistoryAnswer answer) {
    showRows(answer.states);
    if (!answer.outcome || answer.note)
      setStatus(sentence(answer.note ? *answer.note : answer.outcome.text()));
  });
}

void SetView::showRows(const SlotStates& states) {
  title_->setText(set_.filled.empty() ? tr("An empty set") : tr("Set: %1").arg(setName()));
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    QTreeWidgetItem* row = rows_->topLevelItem(slot - 1);
    const auto named = std::find_if(set_.filled.begin(), set_.filled.end(),
                                    [slot](const SetSlot& s) { return s.slot == slot; });
    QString name = tr("empty");
    QIcon picture;
    if (named != set_.filled.end()) {
      const Result<LibraryPreset> found = library_.library().find(named->path.string());
      if (!found) {
        name = tr("%1 (not in the library)").arg(q(named->path.filename().string()));
      } else {
        picture = QIcon(LibraryModel::thumbnail(*found, kRowPads));
        name = found->hash == named->hash
                   ? q(found->name)
                   : tr("%1 (changed since the set named it)").arg(q(found->name));
      }
    }
    row->setText(kPresetColumn, name);
    row->setIcon(kPresetColumn, picture);
    const SlotState& state = states[static_cast<std::size_t>(slot - 1)];
    const bool known = state.kind != SlotState::Kind::Unknown && state.entry;
    row->setText(kSentColumn, !known ? tr("unknown")
                                     : tr("%1, %2")
                                           .arg(state.kind == SlotState::Kind::Mix
                                                    ? tr("send stopped (%1/%2)")
                                                          .arg(state.entry->written)
                                                          .arg(state.entry->total)
                                                    : words(sourceText(state.entry->source)))
                                           .arg(whenWords(state.entry->at)));
  }
  for (int column : {kSlotColumn, kPresetColumn}) rows_->resizeColumnToContents(column);
  send_->setEnabled(!set_.filled.empty() && !sending_);
}

}  // namespace padkbd::editor
