#include "editor/Language.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
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

LocaleEnvironment LocaleEnvironment::current() {
  const auto value = [](const char* name) { return qEnvironmentVariable(name); };
  return {value("LANGUAGE"), value("LC_ALL"), value("LC_MESSAGES"), value("LANG")};
}

namespace {

// "zh_CN.UTF-8@modifier" -> "zh_CN".
QString bareLocale(const QString& name) {
  QString bare = name.section(QLatin1Char('@'), 0, 0).section(QLatin1Char('.'), 0, 0);
  return bare.replace(QLatin1Char('-'), QLatin1Char('_'));
}

// A translation serves a locale of its own language and territory; one
// without a territory ("en") serves every territory, and a locale without one
// ("zh") takes any translation of its language. zh_TW is not served by zh_CN.
QString translationFor(const QString& locale, const QStringList& shipped) {
  const QString wanted = bareLocale(locale);
  const QString language = wanted.section(QLatin1Char('_'), 0, 0);
  if (language.isEmpty()) return {};
  for (const QString& translation : shipped) {
    const QString its = translation.section(QLatin1Char('_'), 0, 0);
    if (translation == wanted || (translation == its && its == language) ||
        (wanted == language && its == language)) {
      return translation;
    }
  }
  return {};
}

}  // namespace

QString desktopLanguage(const LocaleEnvironment& environment, const QStringList& shipped) {
  QString locale = environment.all;
  if (locale.isEmpty()) locale = environment.messages;
  if (locale.isEmpty()) locale = environment.lang;
  const QString bare = bareLocale(locale);
  // Under the C locale gettext ignores LANGUAGE too: the texts as written.
  if (bare.isEmpty() || bare == QLatin1String("C") || bare == QLatin1String("POSIX")) {
    return QStringLiteral("source");
  }
  QStringList preferred = environment.language.split(QLatin1Char(':'), Qt::SkipEmptyParts);
  preferred << locale;
  for (const QString& entry : preferred) {
    const QString translation = translationFor(entry, shipped);
    if (!translation.isEmpty()) return translation;
  }
  return QStringLiteral("en");
}

bool useLanguage(const QString& language, QString* why) {
  if (language.isEmpty()) {
    return useLanguage(desktopLanguage(LocaleEnvironment::current(), shippedLanguages()), why);
  }
  auto ours = std::make_unique<QTranslator>();
  const bool source = language == QLatin1String("source");
  if (!source && !ours->load(QStringLiteral(":/i18n/padkbd_%1.qm").arg(language))) {
    if (why != nullptr) {
      *why = QStringLiteral("no translation for \"%1\" (there are: %2)")
                 .arg(language, shippedLanguages().join(QStringLiteral(", ")));
    }
    return false;
  }
  installed().clear();  // a translator takes itself out when it goes
  // Dates and numbers as the desktop writes them; in the window's language
  // when the desktop speaks another.
  const QLocale desktop = QLocale::system();
  QLocale::setDefault(
      source || QLocale(language).language() == desktop.language() ? desktop : QLocale(language));
  if (source) return true;
  QCoreApplication::installTranslator(ours.get());
  installed().push_back(std::move(ours));
  // Qt's own dialogs (buttons of message boxes, the colour dialog), where
  // the system has their translation; Qt's own texts are English already.
  if (language.startsWith(QLatin1String("en"))) return true;
  auto qt = std::make_unique<QTranslator>();
  if (qt->load(QStringLiteral("qtbase_%1").arg(language),
               QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QCoreApplication::installTranslator(qt.get());
    installed().push_back(std::move(qt));
  }
  return true;
}

}  // namespace padkbd::editor
