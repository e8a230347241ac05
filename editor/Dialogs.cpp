#include "editor/Dialogs.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QUrl>

namespace padkbd::editor {

DialogSeams platformDialogs(const SettingsFile& settings) {
  DialogSeams seams;
  // Each file dialog opens where the last document was saved or loaded.
  const auto fileDialog = [settings](QWidget* parent, const QString& title, bool save) {
    QFileDialog dialog(parent, title);
    const QString folder = QString::fromStdString(settings.lastFolder());
    if (!folder.isEmpty() && QFileInfo(folder).isDir()) dialog.setDirectory(folder);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilters({QCoreApplication::translate("Dialogs", "padkbd presets (*.padkbd)"),
                           QCoreApplication::translate("Dialogs", "All files (*)")});
    if (save) {
      dialog.setDefaultSuffix(QStringLiteral("padkbd"));
      dialog.selectFile(QCoreApplication::translate("Dialogs", "Untitle.padkbd"));
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
    return dialog.selectedFiles().constFirst();
  };
  seams.rememberFolder = [settings](const QString& path) {
    // Not being able to remember the folder is no reason to fail what worked.
    (void)settings.storeLastFolder(QFileInfo(path).absolutePath().toStdString());
  };
  seams.openDocumentPath = [fileDialog](QWidget* parent) {
    return fileDialog(parent, QCoreApplication::translate("Dialogs", "Load a preset"), false);
  };
  seams.saveDocumentPath = [fileDialog](QWidget* parent) {
    return fileDialog(
        parent, QCoreApplication::translate("Dialogs", "Choose the path to save the document"),
        true);
  };
  seams.saveTextPath = [settings](QWidget* parent) {
    const QString folder = QString::fromStdString(settings.lastFolder());
    return QFileDialog::getSaveFileName(
        parent, QCoreApplication::translate("Dialogs", "Save the monitor's lines"),
        QFileInfo(folder).isDir() ? folder + QStringLiteral("/monitor.txt")
                                  : QStringLiteral("monitor.txt"),
        QCoreApplication::translate("Dialogs", "Text files (*.txt);;All files (*)"));
  };
  seams.saveNamesPath = [settings](QWidget* parent, const QString& suggested) {
    QFileDialog dialog(parent, QCoreApplication::translate("Dialogs", "Export the names"));
    const QString folder = QString::fromStdString(settings.lastFolder());
    if (!folder.isEmpty() && QFileInfo(folder).isDir()) dialog.setDirectory(folder);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters({QCoreApplication::translate("Dialogs", "MIDNAM documents (*.midnam)"),
                           QCoreApplication::translate("Dialogs", "All files (*)")});
    dialog.setDefaultSuffix(QStringLiteral("midnam"));
    dialog.selectFile(suggested);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
    return dialog.selectedFiles().constFirst();
  };
  seams.showProblem = [](QWidget* parent, const QString& title, const QString& text) {
    QMessageBox::warning(parent, title, text);
  };
  seams.askUnsaved = [](QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Warning, QCoreApplication::translate("Dialogs", "Unsaved changes"),
                    text, QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, parent);
    box.setObjectName(QStringLiteral("unsavedQuestion"));
    box.setInformativeText(
        QCoreApplication::translate("Dialogs", "Save them as a preset document first?"));
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
    QMessageBox box(QMessageBox::Question,
                    QCoreApplication::translate("Dialogs", "Send to keyboard"), text,
                    QMessageBox::Ok | QMessageBox::Cancel, parent);
    box.setObjectName(QStringLiteral("sendConfirmation"));
    box.button(QMessageBox::Ok)->setText(QCoreApplication::translate("Dialogs", "Send"));
    if (!details.isEmpty()) box.setDetailedText(details);
    auto* again = new QCheckBox(QCoreApplication::translate("Dialogs", "Don't ask again"), &box);
    box.setCheckBox(again);
    const bool send = box.exec() == QMessageBox::Ok;
    dontAskAgain = again->isChecked();
    return send;
  };
  seams.pickColour = [](QWidget* parent, const QColor& initial) {
    return QColorDialog::getColor(initial, parent,
                                  QCoreApplication::translate("Dialogs", "Pad colour"));
  };
  seams.askReadArrived = [](QWidget* parent) {
    QMessageBox box(
        QMessageBox::Question, QCoreApplication::translate("Dialogs", "Keyboard plugged in"),
        QCoreApplication::translate("Dialogs",
                                    "The keyboard was plugged in. Read its settings in place of "
                                    "the ones shown?"),
        QMessageBox::NoButton, parent);
    box.setObjectName(QStringLiteral("readArrivedQuestion"));
    box.setInformativeText(
        QCoreApplication::translate("Dialogs", "Undo brings the ones shown back."));
    QPushButton* read =
        box.addButton(QCoreApplication::translate("Dialogs", "Read"), QMessageBox::AcceptRole);
    box.addButton(QCoreApplication::translate("Dialogs", "Keep my edits"), QMessageBox::RejectRole);
    box.setDefaultButton(read);
    box.exec();
    return box.clickedButton() == read;
  };
  seams.showDifferences = [](QWidget* parent, const QString& title, const QString& text,
                             const QString& details) {
    QMessageBox box(QMessageBox::Information, title, text, QMessageBox::Close, parent);
    box.setObjectName(QStringLiteral("differences"));
    if (!details.isEmpty()) box.setDetailedText(details);
    box.exec();
  };
  seams.showAbout = [](QWidget* parent, const QString& title, const QString& text) {
    QMessageBox::about(parent, title, text);
  };
  seams.askText = [](QWidget* parent, const QString& title, const QString& label,
                     const QString& text) -> std::optional<QString> {
    bool ok = false;
    QString answer = QInputDialog::getText(parent, title, label, QLineEdit::Normal, text, &ok);
    if (!ok) return std::nullopt;
    return answer;
  };
  seams.openFolder = [](const QString& folder) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
  };
  seams.chooseFolder = [](QWidget* parent) {
    return QFileDialog::getExistingDirectory(
        parent, QCoreApplication::translate("Dialogs", "Add a folder to the library"));
  };
  seams.chooseDocuments = [settings](QWidget* parent) {
    const QString folder = QString::fromStdString(settings.lastFolder());
    return QFileDialog::getOpenFileNames(
        parent, QCoreApplication::translate("Dialogs", "Import presets into the library"),
        QFileInfo(folder).isDir() ? folder : QString(),
        QCoreApplication::translate("Dialogs", "padkbd presets (*.padkbd);;All files (*)"));
  };
  seams.askSkipWritten = [](QWidget* parent, const QString& text) -> std::optional<bool> {
    QMessageBox box(QMessageBox::Question, QCoreApplication::translate("Dialogs", "Send Set"), text,
                    QMessageBox::NoButton, parent);
    box.setObjectName(QStringLiteral("skipWrittenQuestion"));
    QPushButton* skip =
        box.addButton(QCoreApplication::translate("Dialogs", "Skip Them"), QMessageBox::AcceptRole);
    QPushButton* all = box.addButton(QCoreApplication::translate("Dialogs", "Send All"),
                                     QMessageBox::DestructiveRole);
    box.addButton(QMessageBox::Cancel);
    box.setDefaultButton(skip);
    box.exec();
    if (box.clickedButton() == skip) return true;
    if (box.clickedButton() == all) return false;
    return std::nullopt;
  };
  const auto setDialog = [settings](QWidget* parent, const QString& title, bool save) {
    const QString folder = QString::fromStdString(settings.lastFolder());
    const QString start = QFileInfo(folder).isDir() ? folder : QString();
    const QString filter = QCoreApplication::translate("Dialogs", "Sets of nine (*.padkbdset)");
    QString path = save ? QFileDialog::getSaveFileName(parent, title, start, filter)
                        : QFileDialog::getOpenFileName(parent, title, start, filter);
    if (save && !path.isEmpty() && !path.endsWith(QLatin1String(".padkbdset"))) {
      path += QLatin1String(".padkbdset");
    }
    return path;
  };
  seams.openSetPath = [setDialog](QWidget* parent) {
    return setDialog(parent, QCoreApplication::translate("Dialogs", "Open a set of nine"), false);
  };
  seams.saveSetPath = [setDialog](QWidget* parent) {
    return setDialog(parent, QCoreApplication::translate("Dialogs", "Save the set of nine"), true);
  };
  seams.askLibraryEntry = [](QWidget* parent,
                             const QString& name) -> std::optional<LibraryEntryAnswer> {
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("libraryEntryDialog"));
    dialog.setWindowTitle(QCoreApplication::translate("Dialogs", "Save to Library"));
    auto* form = new QFormLayout(&dialog);
    auto* nameEdit = new QLineEdit(name, &dialog);
    auto* tags = new QLineEdit(&dialog);
    tags->setPlaceholderText(QCoreApplication::translate("Dialogs", "live, drums, studio"));
    auto* notes = new QPlainTextEdit(&dialog);
    notes->setTabChangesFocus(true);
    form->addRow(QCoreApplication::translate("Dialogs", "Name:"), nameEdit);
    form->addRow(QCoreApplication::translate("Dialogs", "Tags:"), tags);
    form->addRow(QCoreApplication::translate("Dialogs", "Notes:"), notes);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Save | QDialogButtonBox::Cancel);
    form->addRow(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return LibraryEntryAnswer{nameEdit->text(), tags->text(), notes->toPlainText()};
  };
  return seams;
}

}  // namespace padkbd::editor
