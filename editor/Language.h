// The window's language. The texts in the code are the source texts and
// the default; a translation shipped with the program (English, Chinese)
// replaces them, Qt's own dialogs included where Qt has one.
#pragma once

#include <QString>
#include <QStringList>

namespace padkbd::editor {

// The languages shipped ("en", "zh_CN").
QStringList shippedLanguages();
// Uses `language` from now on ("" or "source": the source texts). False,
// with the reason in `why`, when there is no such translation; the texts
// stay as they were then.
bool useLanguage(const QString& language, QString* why = nullptr);

}  // namespace padkbd::editor
