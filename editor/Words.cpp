#include "editor/Words.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QLocale>
#include <QRegularExpression>
#include <algorithm>

#include "editor/ListLabels.h"

namespace padkbd::editor {

namespace {

// Puts `values` into a translated pattern for %1 … %9 in one pass, so that a
// value holding "%1" stays as it is.
QString fill(const QString& pattern, const QStringList& values) {
  QString text;
  text.reserve(pattern.size() + 16);
  for (qsizetype i = 0; i < pattern.size(); ++i) {
    const QChar c = pattern[i];
    if (c != QLatin1Char('%') || i + 1 >= pattern.size()) {
      text += c;
      continue;
    }
    const QChar next = pattern[i + 1];
    if (next == QLatin1Char('%')) {
      text += c;
      ++i;
    } else if (next >= QLatin1Char('1') && next <= QLatin1Char('9') &&
               next.unicode() - '1' < values.size()) {
      text += values[next.unicode() - '1'];
      ++i;
    } else {
      text += c;
    }
  }
  return text;
}

QString valueWords(const TextArg& arg) {
  return std::visit(
      [](const auto& value) -> QString {
        using T = std::decay_t<decltype(value)>;
        if constexpr (std::is_same_v<T, std::string>) {
          return QString::fromStdString(value);
        } else if constexpr (std::is_same_v<T, std::int64_t>) {
          return QString::number(value);
        } else if constexpr (std::is_same_v<T, TextClock::time_point>) {
          return whenWords(value);
        } else {
          return value ? words(*value) : QString();
        }
      },
      arg.value());
}

// The locale's long date without the weekday, its month abbreviated, and
// without the year when `withYear` is false.
QString dateFormat(const QLocale& locale, bool withYear) {
  QString format = locale.dateFormat(QLocale::LongFormat);
  static const QRegularExpression weekday(QStringLiteral("[\\s,]*dddd?[\\s,]*"));
  static const QRegularExpression longMonth(QStringLiteral("MMMM"));
  format.replace(weekday, QString());
  format.replace(longMonth, QStringLiteral("MMM"));
  if (!withYear) {
    // The year and what joins it to the rest: "yyyy年", ", yyyy", " 'de' yyyy".
    static const QRegularExpression leading(QStringLiteral("^y+[年년]?[\\s,./-]*"));
    static const QRegularExpression trailing(QStringLiteral("(\\s*'[^']*')?[\\s,./-]*y+[年년.]?"));
    format.replace(leading, QString());
    format.replace(trailing, QString());
  }
  return format.trimmed();
}

}  // namespace

QString whenWords(TextClock::time_point at, TextClock::time_point now) {
  const auto millis = [](TextClock::time_point t) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(t.time_since_epoch()).count();
  };
  const QDateTime when = QDateTime::fromMSecsSinceEpoch(millis(at));
  const QDateTime today = QDateTime::fromMSecsSinceEpoch(millis(now));
  const QLocale locale;  // the desktop's (Language sets it)
  const bool thisYear = when.date().year() == today.date().year();
  // Minutes are enough to tell the entries of an evening apart.
  static const QRegularExpression seconds(QStringLiteral("[:.]ss"));
  const QString time = locale.timeFormat(QLocale::ShortFormat).remove(seconds);
  return locale.toString(when.date(), dateFormat(locale, !thisYear)) + QLatin1Char(' ') +
         locale.toString(when.time(), time);
}

QString words(const Text& text) {
  // A list's label is shown as the window's lists show it.
  if (text.id == TextId::ListLabel && !text.args.empty()) {
    const TextArg& listed = text.args.size() > 1 ? text.args[1] : text.args[0];
    if (const auto* label = std::get_if<std::string>(&listed.value())) return listLabel(*label);
  }
  QStringList values;
  values.reserve(static_cast<qsizetype>(text.args.size()));
  for (const TextArg& arg : text.args) values << valueWords(arg);
  return fill(QCoreApplication::translate(kTextContext, catalogueEntry(text.id).pattern), values);
}

QString words(const Outcome& outcome) {
  return outcome ? QString() : words(outcome.text());
}

QString sentence(const Text& text) {
  return sentence(words(text));
}

QString sentence(const QString& text) {
  QString said = text.trimmed();
  if (said.isEmpty()) return said;
  said[0] = said[0].toUpper();
  // A text in Chinese ends in its own full stop.
  const bool han = std::any_of(said.cbegin(), said.cend(),
                               [](QChar c) { return c.script() == QChar::Script_Han; });
  const QChar last = said.back();
  if (last == QLatin1Char('.') || last == QChar(0x3002) || last == QChar(0xFF01)) return said;
  said += han ? QChar(0x3002) : QLatin1Char('.');
  return said;
}

QString sentence(const Outcome& outcome) {
  return outcome ? QString() : sentence(outcome.text());
}

QString words(const std::optional<Text>& text) {
  return text ? words(*text) : QString();
}

}  // namespace padkbd::editor
