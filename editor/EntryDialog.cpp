#include "editor/EntryDialog.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>

#include "editor/KeyboardActions.h"
#include "editor/LibraryPane.h"
#include "editor/ViewController.h"
#include "editor/Words.h"
#include "session/PresetReport.h"
#include "storage/Files.h"

namespace padkbd::editor {

QPushButton* EntryDialog::namedButton(QWidget* parent, const QString& text, const QString& name) {
  auto* button = new QPushButton(text, parent);
  button->setObjectName(name);
  return button;
}

QDialogButtonBox* EntryDialog::closeBox(QDialog* dialog) {
  auto* box = new QDialogButtonBox(QDialogButtonBox::Close, dialog);
  QPushButton* close = box->button(QDialogButtonBox::Close);
  close->setObjectName(QStringLiteral("closeButton"));
  close->setDefault(true);
  QObject::connect(box, &QDialogButtonBox::rejected, dialog, &QDialog::close);
  return box;
}

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

void EntryDialog::setStatus(const QString& text, const std::optional<Text>& note) {
  QStringList lines{words(note), text};
  lines.removeAll(QString());
  status_->setText(lines.join(QLatin1Char('\n')));
}

void EntryDialog::showOutcome(const DeviceWorker::HistoryAnswer& answer) {
  if (!answer.outcome) {
    setStatus(sentence(answer.outcome), answer.note);
  } else if (answer.note) {
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
  if (view_.dialogs.showProblem) view_.dialogs.showProblem(this, title, sentence(preset.outcome()));
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

void EntryDialog::showComparison(ViewController& view, QWidget* parent, const Preset& preset,
                                 const QString& what) {
  if (!view.dialogs.showDifferences) return;
  const EditSession& session = view.session();
  const std::vector<Text> lines = presetDifferences(preset, session.preset(), session.lists());
  const QString text =
      lines.empty() ? tr("No difference between %1 and the preset shown.").arg(what)
      : lines.size() == 1
          ? tr("1 setting differs between %1 and the preset shown (%1 → shown).").arg(what)
          : tr("%1 settings differ between %2 and the preset shown (%2 → shown).")
                .arg(lines.size())
                .arg(what);
  QStringList details;
  for (const Text& line : lines) details << words(line);
  view.dialogs.showDifferences(parent, tr("Compare %1").arg(what), text,
                               details.join(QLatin1Char('\n')));
}

void EntryDialog::compareEntry(const HistoryEntry& entry, const QString& what) {
  std::optional<Preset> preset = presetFor(entry, tr("The presets were not compared"));
  if (preset) showComparison(view_, this, *preset, what);
}

void EntryDialog::saveEntry(const HistoryEntry& entry, const QString& what) {
  const DialogSeams& dialogs = view_.dialogs;
  const QString path = dialogs.saveDocumentPath ? dialogs.saveDocumentPath(this) : QString();
  if (path.isEmpty()) return;
  // The document as it was recorded, byte for byte.
  if (Outcome written = writeFileAtomically(path.toStdString(), entry.document); !written) {
    if (dialogs.showProblem) {
      dialogs.showProblem(this, tr("The preset was not saved"), sentence(written));
    }
    return;
  }
  if (dialogs.rememberFolder) dialogs.rememberFolder(path);
  setStatus(tr("Saved %1 as %2.").arg(what, QFileInfo(path).fileName()));
}

void EntryDialog::setLibrary(LibraryPane* library) {
  library_ = library;
}

void EntryDialog::keepEntry(const HistoryEntry& entry, const QString& what) {
  if (!library_) return;
  // A document's own name is offered; what the window read or sent is named by its slot.
  const QString source = words(sourceText(entry.source));
  const QFileInfo file(source);
  const QString offered = file.suffix() == QLatin1String("padkbd") ? file.completeBaseName() : what;
  const QString said = library_->keep(this, entry.document, offered);
  if (!said.isEmpty()) setStatus(said);
}

}  // namespace padkbd::editor
