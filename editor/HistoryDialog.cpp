#include "editor/HistoryDialog.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "editor/ViewController.h"
#include "editor/Words.h"

namespace padkbd::editor {

namespace {

// The list's first column: the entry's number, which `padkbd history show` takes.
constexpr int kNumberColumn = 0;
// The list's last column: the user's note.
constexpr int kNoteColumn = 6;

}  // namespace

HistoryDialog::HistoryDialog(ViewController& view, DeviceWorker& worker, QWidget* parent)
    : EntryDialog(view, worker, parent),
      slotFilter(new QComboBox(this)),
      kindFilter(new QComboBox(this)),
      entryList(new QTreeWidget(this)),
      openButton(namedButton(this, tr("Open"), QStringLiteral("historyOpen"))),
      compareButton(namedButton(this, tr("Compare"), QStringLiteral("historyCompare"))),
      saveAsButton(namedButton(this, tr("Save As…"), QStringLiteral("historySaveAs"))),
      noteButton(namedButton(this, tr("Note…"), QStringLiteral("historyNote"))),
      keepButton(namedButton(this, tr("Keep in Library…"), QStringLiteral("historyKeep"))),
      copyNumberAction(new QAction(tr("&Copy Entry Number"), this)) {
  setObjectName(QStringLiteral("historyDialog"));
  setWindowTitle(tr("History"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(18, 16, 18, 14);
  layout->setSpacing(10);

  auto* filters = new QHBoxLayout;
  slotFilter->setObjectName(QStringLiteral("slotFilter"));
  slotFilter->addItem(tr("All"), 0);
  for (int slot = 1; slot <= kSlotCount; ++slot)
    slotFilter->addItem(tr("Memory %1").arg(slot), slot);
  kindFilter->setObjectName(QStringLiteral("kindFilter"));
  kindFilter->addItem(tr("All"), -1);
  kindFilter->addItem(tr("read"), static_cast<int>(EntryKind::Read));
  kindFilter->addItem(tr("sent"), static_cast<int>(EntryKind::Sent));
  kindFilter->addItem(tr("stopped"), static_cast<int>(EntryKind::Stopped));
  for (const auto& [text, filter] :
       {std::pair{tr("&Slot:"), slotFilter}, {tr("&Kind:"), kindFilter}}) {
    auto* label = new QLabel(text, this);
    label->setBuddy(filter);
    filters->addWidget(label);
    filters->addWidget(filter);
    filters->addSpacing(12);
    connect(filter, &QComboBox::currentIndexChanged, this, &HistoryDialog::refresh);
  }
  filters->addStretch(1);
  layout->addLayout(filters);

  entryList->setObjectName(QStringLiteral("entryList"));
  entryList->setHeaderLabels({tr("No."), tr("When"), tr("What"), tr("Keyboard"), tr("Source"),
                              tr("Firmware"), tr("Note")});
  entryList->setRootIsDecorated(false);
  entryList->setUniformRowHeights(true);
  entryList->setMinimumSize(980, 280);
  entryList->header()->setStretchLastSection(false);
  entryList->header()->setSectionResizeMode(kNoteColumn, QHeaderView::Stretch);
  // The chosen entry's number, for the tool: from the list's menu or Ctrl+C.
  copyNumberAction->setObjectName(QStringLiteral("historyCopyNumber"));
  copyNumberAction->setShortcut(QKeySequence::Copy);
  copyNumberAction->setShortcutContext(Qt::WidgetShortcut);
  copyNumberAction->setStatusTip(
      tr("Copies the chosen entry's number, which padkbd history show takes."));
  entryList->addAction(copyNumberAction);
  entryList->setContextMenuPolicy(Qt::ActionsContextMenu);
  connect(copyNumberAction, &QAction::triggered, this, &HistoryDialog::copyNumber);
  layout->addWidget(entryList, 1);
  layout->addWidget(status_);

  auto* buttons = new QHBoxLayout;
  for (QPushButton* button : {openButton, compareButton, saveAsButton, keepButton, noteButton}) {
    buttons->addWidget(button);
  }
  buttons->addStretch(1);
  buttons->addWidget(closeBox(this));
  layout->addLayout(buttons);

  connect(entryList, &QTreeWidget::currentItemChanged, this, &HistoryDialog::enableButtons);
  connect(openButton, &QPushButton::clicked, this,
          [this] { withChosen([this](auto& entry, auto& what) { openEntry(entry, what); }); });
  connect(compareButton, &QPushButton::clicked, this,
          [this] { withChosen([this](auto& entry, auto& what) { compareEntry(entry, what); }); });
  connect(saveAsButton, &QPushButton::clicked, this,
          [this] { withChosen([this](auto& entry, auto& what) { saveEntry(entry, what); }); });
  connect(keepButton, &QPushButton::clicked, this,
          [this] { withChosen([this](auto& entry, auto& what) { keepEntry(entry, what); }); });
  connect(noteButton, &QPushButton::clicked, this, &HistoryDialog::editNote);
  enableButtons();
}

void HistoryDialog::refresh() {
  HistoryFilter filter;
  if (const int slot = slotFilter->currentData().toInt(); slot > 0) filter.slot = slot;
  if (const int kind = kindFilter->currentData().toInt(); kind >= 0) {
    filter.kind = static_cast<EntryKind>(kind);
  }
  worker_.listHistory(
      filter, this, [this](DeviceWorker::HistoryAnswer answer) { showAnswer(std::move(answer)); });
}

void HistoryDialog::showAnswer(DeviceWorker::HistoryAnswer answer) {
  const QVariant chosen =
      entryList->currentItem() ? entryList->currentItem()->data(0, Qt::UserRole) : QVariant();
  entryList->clear();
  for (const HistoryEntry& entry : answer.entries) {
    auto* item = new QTreeWidgetItem(
        entryList, {QString::number(entry.id), whenWords(entry.at), words(whatText(entry)),
                    words(keyboardText(entry.keyboard)), words(sourceText(entry.source)),
                    QString::fromStdString(entry.firmware), QString::fromStdString(entry.note)});
    item->setData(0, Qt::UserRole, QVariant::fromValue<qint64>(entry.id));
    item->setTextAlignment(kNumberColumn, Qt::AlignRight | Qt::AlignVCenter);
    if (item->data(0, Qt::UserRole) == chosen) entryList->setCurrentItem(item);
  }
  // Each column as wide as its texts, with room between them.
  for (int column = 0; column < kNoteColumn; ++column) {
    entryList->resizeColumnToContents(column);
    entryList->setColumnWidth(column, entryList->columnWidth(column) + 16);
  }
  enableButtons();
  showOutcome(answer);
}

void HistoryDialog::enableButtons() {
  const bool chosen = entryList->currentItem() != nullptr;
  for (QPushButton* button : {openButton, compareButton, saveAsButton, keepButton, noteButton}) {
    button->setEnabled(chosen);
  }
  copyNumberAction->setEnabled(chosen);
}

void HistoryDialog::copyNumber() {
  const QTreeWidgetItem* item = entryList->currentItem();
  if (item == nullptr) return;
  QGuiApplication::clipboard()->setText(item->text(kNumberColumn));
  setStatus(tr("Copied the number of history entry %1.").arg(item->text(kNumberColumn)));
}

void HistoryDialog::editNote() {
  const QTreeWidgetItem* item = entryList->currentItem();
  if (item == nullptr) return;
  const qint64 id = item->data(0, Qt::UserRole).toLongLong();
  const std::optional<QString> note =
      view_.dialogs.askText(this, tr("Note on History Entry %1").arg(id),
                            tr("A note on this entry (\"before the festival\"); empty removes it:"),
                            item->text(kNoteColumn));
  if (!note) return;
  worker_.setHistoryNote(
      id, note->trimmed().toStdString(), this, [this, id](DeviceWorker::HistoryAnswer answer) {
        if (!answer.outcome) {
          setStatus(sentence(answer.outcome), answer.note);
          return;
        }
        setStatus(tr("The note on history entry %1 was kept.").arg(id), answer.note);
        refresh();
      });
}

void HistoryDialog::withChosen(std::function<void(const HistoryEntry&, const QString&)> act) {
  const QTreeWidgetItem* item = entryList->currentItem();
  if (item == nullptr) return;
  const qint64 id = item->data(0, Qt::UserRole).toLongLong();
  worker_.historyEntry(id, this, [this, id, act](DeviceWorker::HistoryAnswer answer) {
    if (!answer.outcome || answer.entries.empty()) {
      setStatus(sentence(answer.outcome), answer.note);
      return;
    }
    if (answer.note) setStatus(QString(), answer.note);
    act(answer.entries.front(), tr("history entry %1").arg(id));
  });
}

}  // namespace padkbd::editor
