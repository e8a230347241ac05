#include "editor/MemorySlotsDialog.h"

#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "editor/KeyboardActions.h"
#include "editor/SelectorSurface.h"
#include "editor/ViewController.h"
#include "editor/Words.h"

namespace padkbd::editor {

namespace {

// Long document names end in "…" in the narrow column; the tooltip has them whole.
constexpr int kNameWidth = 220;

}  // namespace

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
    row.open = namedButton(this, tr("Open"), QStringLiteral("slotOpen") + n);
    row.sendAgain = namedButton(this, tr("Send Again"), QStringLiteral("slotSendAgain") + n);
    row.compare = namedButton(this, tr("Compare"), QStringLiteral("slotCompare") + n);
    row.saveAs = namedButton(this, tr("Save As…"), QStringLiteral("slotSaveAs") + n);
    row.keep = namedButton(this, tr("Keep in Library…"), QStringLiteral("slotKeep") + n);
    int column = 1;
    for (QWidget* part :
         std::initializer_list<QWidget*>{row.name, row.when, row.pads, row.open, row.sendAgain,
                                         row.compare, row.saveAs, row.keep}) {
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
    connect(row.keep, &QPushButton::clicked, this, [with] { with(&MemorySlotsDialog::keepEntry); });
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
                               .arg(words(padkbd::keyboardText(answer.keyboard))));
  for (int slot = 1; slot <= kSlotCount; ++slot) {
    const Row& row = rows_[static_cast<std::size_t>(slot - 1)];
    const SlotState& state = states_[static_cast<std::size_t>(slot - 1)];
    const HistoryEntry* entry = entryOf(slot);
    const bool mix = entry && state.kind == SlotState::Kind::Mix;
    const QString source = entry ? words(sourceText(entry->source)) : QString();
    const QString name = !entry ? tr("unknown")
                         : mix  ? tr("send stopped (%1/%2)").arg(entry->written).arg(entry->total)
                                : source;
    QFont font = row.name->font();
    font.setItalic(!entry || mix);  // not a name: what padkbd knows of the slot
    row.name->setFont(font);
    row.name->setText(QFontMetrics(font).elidedText(name, Qt::ElideMiddle, kNameWidth));
    row.name->setToolTip(mix ? tr("A send of %1 stopped after %2 of %3 settings.")
                                   .arg(source)
                                   .arg(entry->written)
                                   .arg(entry->total)
                             : name);
    row.when->setText(entry ? whenWords(entry->at) : QString());
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
    for (QPushButton* button : {row.open, row.compare, row.saveAs, row.keep})
      button->setEnabled(known);
    row.sendAgain->setEnabled(known && free);
  }
}

}  // namespace padkbd::editor
