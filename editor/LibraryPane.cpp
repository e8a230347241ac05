#include "editor/LibraryPane.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDockWidget>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMainWindow>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QVBoxLayout>
#include <set>

#include "editor/EntryDialog.h"
#include "editor/LibraryModel.h"
#include "editor/ViewController.h"
#include "editor/Words.h"
#include "model/Log.h"
#include "session/EditSession.h"
#include "storage/Files.h"

namespace padkbd::editor {

namespace {

constexpr int kTypingPauseMs = 150;

QString q(const std::string& text) {
  return QString::fromStdString(text);
}

QPushButton* button(QWidget* parent, const QString& text, const char* name) {
  auto* made = new QPushButton(text, parent);
  made->setObjectName(QString::fromLatin1(name));
  return made;
}

}  // namespace

void makeRoomFor(QDockWidget* dock) {
  // Once: after that the user sizes the window.
  QObject::connect(
      dock, &QDockWidget::visibilityChanged, dock, [dock, made = false](bool visible) mutable {
        QWidget* window = dock->parentWidget();
        if (made || !visible || dock->isFloating() || !window || !window->isVisible() ||
            (window->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen))) {
          return;
        }
        made = true;
        const QRect free = window->screen()->availableGeometry();
        const int grow =
            std::min(dock->sizeHint().width(), free.right() - window->frameGeometry().right());
        if (grow > 0) window->resize(window->width() + grow, window->height());
      });
}

LibraryPane::LibraryPane(QMainWindow* window, ViewController& view, SettingsFile settings)
    : QObject(window),
      view_(view),
      settings_(std::move(settings)),
      library_(std::make_unique<Library>(Library::defaultIndexPath(), folders())),
      queryLibrary_(std::make_unique<Library>(Library::defaultIndexPath(), folders())),
      model_(new LibraryModel(this)) {
  pool_.setMaxThreadCount(1);
  queries_.setMaxThreadCount(1);
  buildDock(window);
}

LibraryPane::~LibraryPane() {
  // A look under way stops at its next file; what it wrote stays.
  cancel_ = true;
  pool_.waitForDone();
  queries_.waitForDone();
}

std::vector<std::filesystem::path> LibraryPane::folders() const {
  std::vector<std::filesystem::path> all{Library::defaultFolder()};
  for (const auto& folder : settings_.libraryFolders()) all.push_back(folder);
  return all;
}

QAction* LibraryPane::toggleAction() const {
  return dock_->toggleViewAction();
}

QString LibraryPane::status() const {
  return status_->text();
}

QString LibraryPane::count() const {
  return count_->text();
}

void LibraryPane::setStatus(const QString& text) {
  status_->setText(text);
}

void LibraryPane::buildDock(QMainWindow* window) {
  dock_ = new QDockWidget(tr("Library"), window);
  dock_->setObjectName(QStringLiteral("libraryDock"));
  auto* pane = new QWidget(dock_);
  auto* layout = new QVBoxLayout(pane);
  layout->setContentsMargins(8, 4, 8, 8);
  search_ = new QLineEdit(pane);
  search_->setObjectName(QStringLiteral("librarySearch"));
  search_->setPlaceholderText(tr("Search names, tags and notes"));
  search_->setClearButtonEnabled(true);
  layout->addWidget(search_);
  auto* filters = new QHBoxLayout();
  tag_ = new QComboBox(pane);
  tag_->setObjectName(QStringLiteral("libraryTag"));
  tag_->addItem(tr("All tags"));
  favourites_ = new QCheckBox(tr("Favourites"), pane);
  favourites_->setObjectName(QStringLiteral("libraryFavourites"));
  order_ = new QComboBox(pane);
  order_->setObjectName(QStringLiteral("libraryOrder"));
  order_->addItems({tr("By name"), tr("By date")});
  filters->addWidget(tag_, 1);
  filters->addWidget(favourites_);
  filters->addWidget(order_);
  layout->addLayout(filters);
  grid_ = makeGrid(pane, model_);
  layout->addWidget(grid_, 1);
  // What is done with the chosen preset, then what brings presets in: two
  // rows, so that the pane stays narrow beside the window.
  auto* actions = new QHBoxLayout();
  open_ = button(pane, tr("Open"), "libraryOpen");
  compare_ = button(pane, tr("Compare"), "libraryCompare");
  favourite_ = button(pane, tr("Favourite"), "libraryFavourite");
  favourite_->setCheckable(true);
  auto* addFolder = button(pane, tr("Add Folder…"), "libraryAddFolder");
  auto* import = button(pane, tr("Import Files…"), "libraryImport");
  for (QPushButton* part : {open_, compare_, favourite_}) actions->addWidget(part);
  actions->addStretch(1);
  layout->addLayout(actions);
  auto* sources = new QHBoxLayout();
  for (QPushButton* part : {addFolder, import}) sources->addWidget(part);
  sources->addStretch(1);
  layout->addLayout(sources);
  // How many are shown, and what came of the last thing done.
  count_ = new QLabel(pane);
  count_->setObjectName(QStringLiteral("libraryCount"));
  status_ = new QLabel(pane);
  status_->setObjectName(QStringLiteral("libraryStatus"));
  status_->setWordWrap(true);
  for (QLabel* label : {count_, status_}) {
    label->setForegroundRole(QPalette::PlaceholderText);
    layout->addWidget(label);
  }
  dock_->setWidget(pane);
  window->addDockWidget(Qt::RightDockWidgetArea, dock_);
  dock_->hide();
  makeRoomFor(dock_);
  toggleAction()->setObjectName(QStringLiteral("actionLibrary"));
  toggleAction()->setText(tr("&Library"));

  typing_ = new QTimer(this);
  typing_->setSingleShot(true);
  typing_->setInterval(kTypingPauseMs);
  connect(typing_, &QTimer::timeout, this, &LibraryPane::refresh);
  connect(search_, &QLineEdit::textChanged, typing_, qOverload<>(&QTimer::start));
  connect(tag_, &QComboBox::currentIndexChanged, this, &LibraryPane::refresh);
  connect(favourites_, &QCheckBox::toggled, this, &LibraryPane::refresh);
  connect(order_, &QComboBox::currentIndexChanged, this, &LibraryPane::refresh);
  connect(grid_, &QListView::doubleClicked, this, &LibraryPane::open);
  connect(open_, &QPushButton::clicked, this, [this] { open(grid_->currentIndex()); });
  connect(compare_, &QPushButton::clicked, this, &LibraryPane::compare);
  connect(favourite_, &QPushButton::clicked, this, &LibraryPane::toggleFavourite);
  connect(addFolder, &QPushButton::clicked, this, &LibraryPane::addFolder);
  connect(import, &QPushButton::clicked, this, &LibraryPane::importDocuments);
  connect(grid_->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] {
    const LibraryPreset* preset = chosen();
    const bool usable = preset && !preset->refused && !preset->missing;
    open_->setEnabled(usable);
    compare_->setEnabled(usable);
    favourite_->setEnabled(preset != nullptr);
    favourite_->setChecked(preset && preset->favourite);
  });
  for (QPushButton* part : {open_, compare_, favourite_}) part->setEnabled(false);
}

QListView* LibraryPane::makeGrid(QWidget* parent, LibraryModel* model) {
  auto* grid = new QListView(parent);
  grid->setObjectName(QStringLiteral("libraryGrid"));
  grid->setViewMode(QListView::IconMode);
  grid->setMovement(QListView::Static);
  grid->setResizeMode(QListView::Adjust);
  grid->setUniformItemSizes(true);
  grid->setWordWrap(true);
  grid->setIconSize(LibraryModel::kThumbnail);
  grid->setGridSize(LibraryModel::kThumbnail + QSize(24, 36));
  grid->setSelectionMode(QAbstractItemView::SingleSelection);
  grid->setDragEnabled(true);
  grid->setDragDropMode(QAbstractItemView::DragOnly);
  // Ten thousand presets lay out a batch at a time; only what is in view is drawn.
  grid->setLayoutMode(QListView::Batched);
  grid->setBatchSize(500);
  grid->setMinimumWidth(3 * grid->gridSize().width() + 24);
  grid->setModel(model);
  return grid;
}

void LibraryPane::look() {
  if (looking_) {
    lookAgain_ = true;
    return;
  }
  looking_ = true;
  cancel_ = false;
  setStatus(tr("Looking at the library's folders…"));
  const std::filesystem::path index = library_->indexPath();
  const std::vector<std::filesystem::path> folders = library_->folders();
  pool_.start([this, index, folders] {
    // SQLite takes the index from this thread through a connection of its own.
    Library library(index, folders);
    int told = 0;
    const auto report = std::make_shared<Result<ScanReport>>(
        library.scan(&cancel_, [this, &told](const ScanProgress& progress) {
          if (progress.done - told < 200 && progress.done != progress.total) return;
          told = progress.done;
          QMetaObject::invokeMethod(
              this,
              [this, progress] {
                setStatus(tr("Looking at the library's folders… %1 of %2")
                              .arg(progress.done)
                              .arg(progress.total));
              },
              Qt::QueuedConnection);
        }));
    const std::optional<Text> notice = library.takeNotice();
    QMetaObject::invokeMethod(
        this, [this, report, notice] { lookDone(*report, notice); }, Qt::QueuedConnection);
  });
}

void LibraryPane::lookDone(const Result<ScanReport>& report, const std::optional<Text>& notice) {
  looking_ = false;
  reload();
  if (!report) {
    log::diag("library: %s", report.message());
    setStatus(sentence(report.outcome()));
  } else if (notice) {
    setStatus(sentence(*notice));
  } else if (!report->missingFolders.empty()) {
    QStringList missing;
    for (const auto& folder : report->missingFolders) missing << q(folder.string());
    setStatus(tr("Not there now, its presets kept: %1").arg(missing.join(QStringLiteral(", "))));
  } else {
    setStatus(QString());
  }
  emit looked();
  if (lookAgain_) {
    lookAgain_ = false;
    look();
  }
}

void LibraryPane::reload() {
  query(true);
}

void LibraryPane::refresh() {
  query(false);
}

void LibraryPane::query(bool everything) {
  LibraryFilter filter;
  filter.search = search_->text().trimmed().toStdString();
  if (tag_->currentIndex() > 0) filter.tag = tag_->currentText().toStdString();
  filter.favourites = favourites_->isChecked();
  // Ten thousand presets take a while to list: the index is asked off the
  // GUI thread, and only the answer to the latest question is shown.
  const int asked = ++asked_;
  // A question that replaces one for everything asks for everything too.
  wantAll_ = wantAll_ || everything;
  everything = wantAll_;
  using Listed = Result<std::vector<LibraryPreset>>;
  queries_.start([this, filter, everything, asked] {
    const auto all = std::make_shared<std::optional<Listed>>();
    if (everything) *all = queryLibrary_->list();
    const auto shown = std::make_shared<Listed>(queryLibrary_->list(filter));
    QMetaObject::invokeMethod(
        this,
        [this, all, shown, asked] {
          if (asked != asked_) return;
          answered_ = asked;
          if (*all) {
            wantAll_ = false;
            showAll(**all);
          }
          show(*shown);
        },
        Qt::QueuedConnection);
  });
}

void LibraryPane::showAll(const Result<std::vector<LibraryPreset>>& all) {
  if (!all) return;
  names_.clear();
  std::set<std::string> tags;
  for (const LibraryPreset& preset : *all) {
    names_.emplace(preset.id, q(preset.name));
    tags.insert(preset.tags.begin(), preset.tags.end());
  }
  const QString kept = tag_->currentIndex() > 0 ? tag_->currentText() : QString();
  const QSignalBlocker quiet(tag_);
  tag_->clear();
  tag_->addItem(tr("All tags"));
  for (const std::string& tag : tags) tag_->addItem(q(tag));
  tag_->setCurrentIndex(std::max(0, tag_->findText(kept)));
}

void LibraryPane::show(const Result<std::vector<LibraryPreset>>& shown) {
  if (!shown) {
    setStatus(sentence(shown.outcome()));
    return;
  }
  const qint64 was = grid_->currentIndex().data(LibraryModel::IdRole).toLongLong();
  const std::size_t count = shown->size();
  model_->setPresets(
      *shown, order_->currentIndex() == 1 ? LibraryModel::Order::Date : LibraryModel::Order::Name,
      names_);
  for (int row = 0; row < model_->rowCount(); ++row) {
    if (model_->at(row)->id == was) grid_->setCurrentIndex(model_->index(row));
  }
  count_->setText(count == names_.size()
                      ? tr("%n presets", nullptr, int(count))
                      : tr("%1 of %n presets", nullptr, int(names_.size())).arg(count));
  emit shownChanged();
}

const LibraryPreset* LibraryPane::chosen() const {
  return model_->at(grid_->currentIndex().row());
}

void LibraryPane::open(const QModelIndex& index) {
  const LibraryPreset* preset = model_->at(index.row());
  if (!preset) return;
  if (preset->refused || preset->missing) {
    setStatus(preset->refused ? sentence(*preset->refused) : tr("Its folder is not there now."));
    return;
  }
  // A read under way would replace it, and bulk mode edits no preset.
  if (view_.deviceBusy() == ViewController::DeviceBusy::Reading || view_.session().inBulk()) {
    setStatus(tr("Nothing can be opened while the keyboard is read or in bulk mode."));
    return;
  }
  const QString name = q(preset->name);
  if (Outcome loaded = view_.session().loadDocument(preset->path); !loaded) {
    setStatus(sentence(loaded));
    return;
  }
  view_.showAll();
  emit view_.editStateChanged();
  setStatus(tr("Opened %1 in the window; Undo brings back what was there.").arg(name));
}

void LibraryPane::compare() {
  const LibraryPreset* preset = chosen();
  if (!preset) return;
  const PresetRead read = readPresetFile(preset->path);
  if (!read) {
    setStatus(sentence(read.outcome()));
    return;
  }
  EntryDialog::showComparison(view_, dock_->window(), *read, q(preset->name));
}

}  // namespace padkbd::editor
