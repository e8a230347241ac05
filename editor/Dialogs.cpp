#include "editor/Dialogs.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace padkbd::editor {

DialogSeams platformDialogs() {
  DialogSeams seams;
  const auto fileDialog = [](QWidget* parent, const QString& title, bool save) {
    QFileDialog dialog(parent, title);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilters(
        {QStringLiteral("padkbd presets (*.padkbd)"), QStringLiteral("All files (*)")});
    if (save) {
      dialog.setDefaultSuffix(QStringLiteral("padkbd"));
      dialog.selectFile(QStringLiteral("Untitle.padkbd"));
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
    return dialog.selectedFiles().constFirst();
  };
  seams.openDocumentPath = [fileDialog](QWidget* parent) {
    return fileDialog(parent, QStringLiteral("Load a preset"), false);
  };
  seams.saveDocumentPath = [fileDialog](QWidget* parent) {
    return fileDialog(parent, QStringLiteral("Choose the path to save the document"), true);
  };
  seams.showProblem = [](QWidget* parent, const QString& title, const QString& text) {
    QMessageBox::warning(parent, title, text);
  };
  seams.askUnsaved = [](QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Unsaved changes"), text,
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, parent);
    box.setObjectName(QStringLiteral("unsavedQuestion"));
    box.setInformativeText(QStringLiteral("Save them as a preset document first?"));
    box.setDefaultButton(QMessageBox::Save);
    switch (box.exec()) {
      case QMessageBox::Save:
        return DialogSeams::Unsaved::Save;
      case QMessageBox::Discard:
        return DialogSeams::Unsaved::Discard;
      default:
        return DialogSeams::Unsaved::Cancel;
    }
  };
  seams.confirmSend = [](QWidget* parent, const QString& text, const QString& details,
                         bool& dontAskAgain) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("Send to keyboard"), text,
                    QMessageBox::Ok | QMessageBox::Cancel, parent);
    box.setObjectName(QStringLiteral("sendConfirmation"));
    box.button(QMessageBox::Ok)->setText(QStringLiteral("Send"));
    if (!details.isEmpty()) box.setDetailedText(details);
    auto* again = new QCheckBox(QStringLiteral("Don't ask again"), &box);
    box.setCheckBox(again);
    const bool send = box.exec() == QMessageBox::Ok;
    dontAskAgain = again->isChecked();
    return send;
  };
  seams.askReadArrived = [](QWidget* parent) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("Keyboard plugged in"),
                    QStringLiteral("The keyboard was plugged in. Read its settings in place of "
                                   "the ones shown?"),
                    QMessageBox::NoButton, parent);
    box.setObjectName(QStringLiteral("readArrivedQuestion"));
    box.setInformativeText(QStringLiteral("Undo brings the ones shown back."));
    QPushButton* read = box.addButton(QStringLiteral("Read"), QMessageBox::AcceptRole);
    box.addButton(QStringLiteral("Keep my edits"), QMessageBox::RejectRole);
    box.setDefaultButton(read);
    box.exec();
    return box.clickedButton() == read;
  };
  return seams;
}

}  // namespace padkbd::editor
