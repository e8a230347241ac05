// The window's wording of the core's texts: each catalogue entry's English
// pattern through Qt's translations (context padkbd::Texts), its values put
// in: names and numbers as they are, list labels as the window's lists show
// them, nested texts worded the same way, times in the desktop's format.
#pragma once

#include <QString>
#include <optional>

#include "model/Outcome.h"

namespace padkbd::editor {

QString words(const Text& text);
// What went wrong, in the window's words; empty on success.
QString words(const Outcome& outcome);
// A text that may not be there (a notice); empty when none.
QString words(const std::optional<Text>& text);
// A moment as the desktop writes it (in the window's language when the
// desktop speaks another), short, with the year only when it is
// not this year's: "7 Dec 10:52", "12月7日 10:52", "2024年12月7日 10:52".
QString whenWords(TextClock::time_point at, TextClock::time_point now = TextClock::now());
// As a sentence: the first letter capital, a full stop at the end (in
// Chinese, "。"), for texts shown on their own.
QString sentence(const Text& text);
QString sentence(const Outcome& outcome);
QString sentence(const QString& text);

}  // namespace padkbd::editor
