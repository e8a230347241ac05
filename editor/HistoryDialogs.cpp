#include "editor/HistoryDialogs.h"

#include <fmt/format.h>

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "editor/KeyboardActions.h"
#include "editor/KeyboardController.h"
#include "editor/SelectorSurface.h"
#include "editor/ViewController.h"
#include "session/PresetReport.h"
#include "storage/Files.h"

namespace padkbd::editor {

namespace {

QString q(const std::string& text) {
  return QString::fromStdString(text);
}

// Long document names end in "…" in the narrow column; the tooltip has them whole.
constexpr int kNameWidth = 220;
// The History list's last column: the user's note.
constexpr int kNoteColumn = 5;

QPushButton* rowButton(QWidget* parent, const QString& text, const QString& name) {
  auto* button = new QPushButton(text, parent);
  button->setObjectName(name);
  return button;
}

QDialogButtonBox* closeBox(QDialog* dialog) {
  auto* box = new QDialogButtonBox(QDialogButtonBox::Close, dialog);
  QPushButton* close = box->button(QDialogButtonBox::Close);
  close->setObjectName(QStringLiteral("closeButton"));
  close->setDefault(true);
  QObject::connect(box, &QDialogButtonBox::rejected, dialog, &QDialog::close);
  return box;
}

}  // namespace

// ---------------------------------------------------------------------------
// What both dialogs do with an entry

EntryDialog::EntryDialog(ViewController& view, DeviceWorker& worker, QWidget* parent)
    : QDialog(parent), view_(view), worker_(worker), status_(new QLabel(this)) {
  status_->setObjectName(QStringLiteral("historyStatus"));
  status_->setWordWrap(true);
  status_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  // A read or send that ends while the dialog is open shows in it.
  connect(&view_.keyboard(), &KeyboardActions::historyChanged, this, [this] {
    if (isVisible()) refresh();
  });
}

QString EntryDialog::status() const {
  return status_->text();
}

void EntryDialog::setStatus(const QString& text, const std::string& note) {
  QStringList lines{q(note), text};
  lines.removeAll(QString());
  status_->setText(lines.join(QLatin1Char('\n')));
}

void EntryDialog::showOutcome(const DeviceWorker::HistoryAnswer& answer) {
  if (!answer.outcome) {
    setStatus(asSentence(answer.outcome.message()), answer.note);
  } else if (!answer.note.empty()) {
    setStatus(QString(), answer.note);
  }
}

void EntryDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  refresh();
}

std::optional<Preset> EntryDialog::presetFor(const HistoryEntry& entry, const QString& title) {
  Result<Preset> preset = presetOf(entry);
  if (preset) return std::move(*preset);
  if (view_.dialogs.showProblem)
    view_.dialogs.showProblem(this, title, asSentence(preset.message()));
  return std::nullopt;
}

void EntryDialog::openEntry(const HistoryEntry& entry, const QString& what) {
  // A read under way would replace it, and bulk mode edits no preset.
  if (view_.deviceBusy() == ViewController::DeviceBusy::Reading || view_.session().inBulk()) {
    setStatus(tr("Nothing can be opened while the keyboard is read or in bulk mode."));
    return;
  }
  std::optional<Preset> preset = presetFor(entry, tr("The preset was not opened"));
  if (!preset) return;
  view_.session().useHistoryEntry(std::move(*preset), entry.id);
  view_.showAll();
  setStatus(tr("Opened %1 in the window; Undo brings back what was there.").arg(what));
}

void EntryDialog::compareEntry(const HistoryEntry& entry, const QString& what) {
  std::optional<Preset> preset = presetFor(entry, tr("The presets were not compared"));
  if (!preset || !view_.dialogs.showDifferences) return;
  const EditSession& session = view_.session();
  const std::vector<std::string> lines =
      presetDifferences(*preset, session.preset(), session.lists());
  const QString text =
      lines.empty() ? tr("No difference between %1 and the preset shown.").arg(what)
      : lines.size() == 1
          ? tr("1 setting differs between %1 and the preset shown (%1 → shown).").arg(what)
          : tr("%1 settings differ between %2 and the preset shown (%2 → shown).")
                .arg(lines.size())
                .arg(what);
  QStringList details;
  for (const std::string& line : lines) details << q(line);
  view_.dialogs.showDifferences(this, tr("Compare %1").arg(what), text,
                                details.join(QLatin1Char('\n')));
}

void EntryDialog::saveEntry(const HistoryEntry& entry, const QString& what) {
  const DialogSeams& dialogs = view_.dialogs;
  const QString path = dialogs.saveDocumentPath ? dialogs.saveDocumentPath(this) : QString();
  if (path.isEmpty()) return;
  // The document as it was recorded, byte for byte.
  if (Outcome written = writeFileAtomically(path.toStdString(), entry.document); !written) {
    if (dialogs.showProblem) {
      dialogs.showProblem(this, tr("The preset was not saved"), asSentence(written.message()));
    }
    return;
  }
  setStatus(tr("Saved %1 as %2.").arg(what, QFileInfo(path).fileName()));
}

// ---------------------------------------------------------------------------
// Memory Slots

MemorySlotsDialog::MemorySlotsDialog(ViewController& view, DeviceWorker& worker, QWidget* parent)
    : EntryDialog(view, worker, parent), keyboard_(new QLabel(this)) {
  setObjectName(QStringLiteral("memorySlotsDialog"));
  setWindowTitle(tr("Memory Slots"));
  auto* layout = new QVBoxLayout(this);
  layout->setSizeConstraint(QLayout::SetMinimumSize);  // nothing cut off
  layout->setContentsMargins(18, 16, 18, 14);
  layout->setSpacing(10);
  keyboard_->setObjectName(QStringLiteral("slotsKeyboard"));
  layout->addWidget(keyboard_);

  auto* grid = new QGridLayout;
  grid->setHorizontalSpacing(10);
  grid->setVerticalSpacing(6);
  const QStringList headers{tr("Memory"), tr("Name"), tr("Sent"), tr("Pads")};
  for (int column = 0; column < headers.size(); ++column) {
    auto* header = new QLabel(QStringLiteral("<b>%1</b>").arg(headers[column].toHtmlEscaped()));
    grid->addWidget(header, 0, column);
  }
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    Row& row = rows_[static_cast<std::size_t>(slot - 1)];
    const QString n = QString::number(slot);
    grid->addWidget(new QLabel(tr("Memory %1").arg(slot), this), slot, 0);
    row.name = new QLabel(this);
    row.name->setObjectName(QStringLiteral("slotName") + n);
    row.name->setMinimumWidth(kNameWidth);
    row.when = new QLabel(this);
    row.when->setObjectName(QStringLiteral("slotWhen") + n);
    row.pads = new PadPicture(this);
    row.pads->setObjectName(QStringLiteral("slotPads") + n);
    row.open = rowButton(this, tr("Open"), QStringLiteral("slotOpen") + n);
    row.sendAgain = rowButton(this, tr("Send Again"), QStringLiteral("slotSendAgain") + n);
    row.compare = rowButton(this, tr("Compare"), QStringLiteral("slotCompare") + n);
    row.saveAs = rowButton(this, tr("Save As…"), QStringLiteral("slotSaveAs") + n);
    int column = 1;
    for (QWidget* part : std::initializer_list<QWidget*>{row.name, row.when, row.pads, row.open,
                                                         row.sendAgain, row.compare, row.saveAs}) {
      grid->addWidget(part, slot, column++, Qt::AlignVCenter);
    }
    const QString what = tr("Memory %1").arg(slot);
    const auto with = [this, slot,
                       what](void (EntryDialog::*act)(const HistoryEntry&, const QString&)) {
      if (const HistoryEntry* entry = entryOf(slot)) (this->*act)(*entry, what);
    };
    connect(row.open, &QPushButton::clicked, this, [with] { with(&MemorySlotsDialog::openEntry); });
    connect(row.compare, &QPushButton::clicked, this,
            [with] { with(&MemorySlotsDialog::compareEntry); });
    connect(row.saveAs, &QPushButton::clicked, this,
            [with] { with(&MemorySlotsDialog::saveEntry); });
    connect(row.sendAgain, &QPushButton::clicked, this, [this, slot] {
      if (const HistoryEntry* entry = entryOf(slot)) view_.keyboard().sendAgain(*entry);
    });
  }
  grid->setColumnStretch(1, 1);
  layout->addLayout(grid);
  layout->addWidget(status_);
  layout->addWidget(closeBox(this));
  // Send Again waits while the keyboard is busy, as Send does.
  connect(&view_, &ViewController::editStateChanged, this, &MemorySlotsDialog::enableButtons);
  showAnswer({});
}

QString MemorySlotsDialog::keyboardText() const {
  return keyboard_->text();
}

const HistoryEntry* MemorySlotsDialog::entryOf(int slot) const {
  const SlotState& state = states_[static_cast<std::size_t>(slot - 1)];
  return state.kind == SlotState::Kind::Unknown || !state.entry ? nullptr : &*state.entry;
}

void MemorySlotsDialog::refresh() {
  worker_.slotStates(this,
                     [this](DeviceWorker::HistoryAnswer answer) { showAnswer(std::move(answer)); });
}

void MemorySlotsDialog::showAnswer(DeviceWorker::HistoryAnswer answer) {
  states_ = std::move(answer.states);
  keyboard_->setText(answer.keyboard.empty()
                         ? QString()
                         : tr("What padkbd sent to the memory slots of the keyboard %1:")
                               .arg(q(keyboardLabel(answer.keyboard))));
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    const Row& row = rows_[static_cast<std::size_t>(slot - 1)];
    const SlotState& state = states_[static_cast<std::size_t>(slot - 1)];
    const HistoryEntry* entry = entryOf(slot);
    const bool mix = entry && state.kind == SlotState::Kind::Mix;
    const QString name = !entry ? tr("unknown")
                         : mix  ? tr("send stopped (%1/%2)").arg(entry->written).arg(entry->total)
                                : q(entry->source);
    QFont font = row.name->font();
    font.setItalic(!entry || mix);  // not a name: what padkbd knows of the slot
    row.name->setFont(font);
    row.name->setText(QFontMetrics(font).elidedText(name, Qt::ElideMiddle, kNameWidth));
    row.name->setToolTip(mix ? tr("A send of %1 stopped after %2 of %3 settings.")
                                   .arg(q(entry->source))
                                   .arg(entry->written)
                                   .arg(entry->total)
                             : name);
    row.when->setText(entry ? q(whenText(entry->at)) : QString());
    // What a slot holds after a send cut short is partly the old: no picture of it.
    std::optional<Preset> preset;
    if (entry && !mix) {
      if (Result<Preset> held = presetOf(*entry)) preset = std::move(*held);
    }
    row.pads->setPreset(preset ? &*preset : nullptr);
  }
  enableButtons();
  showOutcome(answer);
}

void MemorySlotsDialog::enableButtons() {
  const bool free = view_.deviceBusy() == ViewController::DeviceBusy::No;
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    const Row& row = rows_[static_cast<std::size_t>(slot - 1)];
    const bool known = entryOf(slot) != nullptr;
    for (QPushButton* button : {row.open, row.compare, row.saveAs}) button->setEnabled(known);
    row.sendAgain->setEnabled(known && free);
  }
}

// ---------------------------------------------------------------------------
// History

HistoryDialog::HistoryDialog(ViewController& view, DeviceWorker& worker, QWidget* parent)
    : EntryDialog(view, worker, parent),
      slotFilter(new QComboBox(this)),
      kindFilter(new QComboBox(this)),
      entryList(new QTreeWidget(this)),
      openButton(rowButton(this, tr("Open"), QStringLiteral("historyOpen"))),
      compareButton(rowButton(this, tr("Compare"), QStringLiteral("historyCompare"))),
      saveAsButton(rowButton(this, tr("Save As…"), QStringLiteral("historySaveAs"))),
      noteButton(rowButton(this, tr("Note…"), QStringLiteral("historyNote"))) {
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
  entryList->setHeaderLabels(
      {tr("When"), tr("What"), tr("Keyboard"), tr("Source"), tr("Firmware"), tr("Note")});
  entryList->setRootIsDecorated(false);
  entryList->setUniformRowHeights(true);
  entryList->setMinimumSize(980, 280);
  entryList->header()->setStretchLastSection(false);
  entryList->header()->setSectionResizeMode(kNoteColumn, QHeaderView::Stretch);
  layout->addWidget(entryList, 1);
  layout->addWidget(status_);

  auto* buttons = new QHBoxLayout;
  for (QPushButton* button : {openButton, compareButton, saveAsButton, noteButton}) {
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
        entryList, {q(whenText(entry.at)), q(whatText(entry)), q(keyboardLabel(entry.keyboard)),
                    q(entry.source), q(entry.firmware), q(entry.note)});
    item->setData(0, Qt::UserRole, QVariant::fromValue<qint64>(entry.id));
    if (item->data(0, Qt::UserRole) == chosen) entryList->setCurrentItem(item);
  }
  // Each column as wide as its texts, with room between them.
  for (int column : {0, 1, 2, 3, 4}) {
    entryList->resizeColumnToContents(column);
    entryList->setColumnWidth(column, entryList->columnWidth(column) + 16);
  }
  enableButtons();
  showOutcome(answer);
}

void HistoryDialog::enableButtons() {
  const bool chosen = entryList->currentItem() != nullptr;
  for (QPushButton* button : {openButton, compareButton, saveAsButton, noteButton}) {
    button->setEnabled(chosen);
  }
}

void HistoryDialog::editNote() {
  const QTreeWidgetItem* item = entryList->currentItem();
  if (item == nullptr) return;
  const qint64 id = item->data(0, Qt::UserRole).toLongLong();
  const std::optional<QString> note = view_.dialogs.askText(
      this, tr("Note on History Entry %1").arg(id),
      tr("A note on this entry (\"before the festival\"); empty removes it:"),
      item->text(kNoteColumn));
  if (!note) return;
  worker_.setHistoryNote(id, note->trimmed().toStdString(), this,
                         [this, id](DeviceWorker::HistoryAnswer answer) {
                           if (!answer.outcome) {
                             setStatus(asSentence(answer.outcome.message()), answer.note);
                             return;
                           }
                           setStatus(tr("The note on history entry %1 was kept.").arg(id),
                                     answer.note);
                           refresh();
                         });
}

void HistoryDialog::withChosen(std::function<void(const HistoryEntry&, const QString&)> act) {
  const QTreeWidgetItem* item = entryList->currentItem();
  if (item == nullptr) return;
  const qint64 id = item->data(0, Qt::UserRole).toLongLong();
  worker_.historyEntry(id, this, [this, id, act](DeviceWorker::HistoryAnswer answer) {
    if (!answer.outcome || answer.entries.empty()) {
      setStatus(asSentence(answer.outcome.message()), answer.note);
      return;
    }
    if (!answer.note.empty()) setStatus(QString(), answer.note);
    act(answer.entries.front(), tr("history entry %1").arg(id));
  });
}

}  // namespace padkbd::editor
