// The window's language. The texts in the code are the source texts and
// the default; a translation shipped with the program (English, Chinese)
// replaces them, Qt's own dialogs included where Qt has one.
#pragma once

#include <QString>
#include <QStringList>

namespace padkbd::editor {

// The languages shipped ("en", "zh_CN").
QStringList shippedLanguages();

// The desktop's language as the environment tells it (LANGUAGE, then LC_ALL,
// LC_MESSAGES, LANG, as gettext reads them), matched against `shipped`:
// the first the user prefers that has a translation; "source" under the C
// locale; "en" when none of them has one.
struct LocaleEnvironment {
  QString language, all, messages, lang;
  static LocaleEnvironment current();
};
QString desktopLanguage(const LocaleEnvironment& environment, const QStringList& shipped);
// Uses `language` from now on ("": the desktop's; "source": the source texts). False,
// with the reason in `why`, when there is no such translation; the texts
// stay as they were then.
bool useLanguage(const QString& language, QString* why = nullptr);

}  // namespace padkbd::editor
