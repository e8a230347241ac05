#include "editor/Language.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>
#include <memory>
#include <vector>

namespace padkbd::editor {

namespace {

// The translators in force, so that another choice can take them out.
std::vector<std::unique_ptr<QTranslator>>& installed() {
  static std::vector<std::unique_ptr<QTranslator>> translators;
  return translators;
}

}  // namespace

QStringList shippedLanguages() {
  QStringList languages;
  for (const QString& file :
       QDir(QStringLiteral(":/i18n")).entryList({QStringLiteral("padkbd_*.qm")})) {
    languages << file.mid(7, file.size() - 10);  // padkbd_<language>.qm
  }
  return languages;
}

bool useLanguage(const QString& language, QString* why) {
  auto ours = std::make_unique<QTranslator>();
  const bool source = language.isEmpty() || language == QLatin1String("source");
  if (!source && !ours->load(QStringLiteral(":/i18n/padkbd_%1.qm").arg(language))) {
    if (why != nullptr) {
      *why = QStringLiteral("no translation for \"%1\" (there are: %2)")
                 .arg(language, shippedLanguages().join(QStringLiteral(", ")));
    }
    return false;
  }
  installed().clear();  // a translator takes itself out when it goes
  if (source) return true;
  QCoreApplication::installTranslator(ours.get());
  installed().push_back(std::move(ours));
  // Qt's own dialogs (buttons of message boxes, the colour dialog), where
  // the system has their translation.
  auto qt = std::make_unique<QTranslator>();
  if (qt->load(QStringLiteral("qtbase_%1").arg(language),
               QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QCoreApplication::installTranslator(qt.get());
    installed().push_back(std::move(qt));
  }
  return true;
}

}  // namespace padkbd::editor
