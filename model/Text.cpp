#include "model/Text.h"

#include <fmt/chrono.h>
#include <fmt/format.h>

#include <array>
#include <ctime>

namespace padkbd {
namespace {

std::tm localTime(TextClock::time_point at) {
  const std::time_t t = TextClock::to_time_t(at);
  std::tm tm{};
  localtime_r(&t, &tm);
  return tm;
}

}  // namespace

TextArg::TextArg(Text text) : value_(std::make_shared<const Text>(std::move(text))) {}

Domain domainOf(Code code) {
  switch (code) {
    case Code::Ok:
    case Code::Cancelled:
      return Domain::None;
    case Code::LinkNotFound:
    case Code::LinkDenied:
    case Code::LinkBusy:
    case Code::LinkGone:
    case Code::LinkFailed:
    case Code::LinkUnavailable:
      return Domain::Link;
    case Code::KeyboardSilent:
    case Code::KeyboardMisbehaved:
      return Domain::Keyboard;
    case Code::FileMissing:
    case Code::FileUnreadable:
    case Code::FileDamaged:
    case Code::FileInvalid:
    case Code::FileTooLarge:
    case Code::FileUnwritable:
      return Domain::File;
    case Code::HistoryBusy:
    case Code::HistoryReadOnly:
    case Code::HistoryUnreadable:
    case Code::HistoryDamaged:
    case Code::HistoryNewer:
    case Code::HistoryNoEntry:
    case Code::HistoryFailed:
      return Domain::History;
    case Code::LibraryBusy:
    case Code::LibraryDamaged:
    case Code::LibraryFailed:
    case Code::LibraryNoPreset:
    case Code::LibraryAmbiguous:
    case Code::LibraryExists:
    case Code::LibrarySetChanged:
      return Domain::Library;
    case Code::Usage:
      return Domain::Usage;
    case Code::Other:
      break;
  }
  return Domain::Other;
}

std::string_view codeName(Code code) {
  static constexpr std::array<std::string_view, static_cast<std::size_t>(Code::Other) + 1> kNames{
      "ok",           "cancelled",       "link-not-found",   "link-denied",
      "link-busy",    "link-gone",       "link-failed",      "link-unavailable",
      "keyboard-silent", "keyboard-misbehaved", "file-missing", "file-unreadable",
      "file-damaged", "file-invalid",    "file-too-large",   "file-unwritable",
      "history-busy", "history-read-only", "history-unreadable", "history-damaged",
      "history-newer", "history-no-entry", "history-failed", "library-busy",
      "library-damaged", "library-failed", "library-no-preset", "library-ambiguous",
      "library-exists", "library-set-changed", "usage",
      "other"};
  const auto n = static_cast<std::size_t>(code);
  return n < kNames.size() ? kNames[n] : "other";
}

Text labelText(std::string shown, std::string listed) {
  if (listed.empty() || listed == shown) return Text(TextId::ListLabel, {std::move(shown)});
  return Text(TextId::ListLabel, {std::move(shown), std::move(listed)});
}

Text joined(const std::vector<Text>& names) {
  if (names.empty()) return Text(TextId::Plain, {std::string()});
  Text all = names.front();
  for (std::size_t i = 1; i < names.size(); ++i) all = Text(TextId::Also, {all, names[i]});
  return all;
}

std::string fillPattern(std::string_view pattern, const std::vector<std::string>& values) {
  std::string text;
  text.reserve(pattern.size() + 16);
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const char c = pattern[i];
    if (c != '%' || i + 1 >= pattern.size()) {
      text += c;
      continue;
    }
    const char next = pattern[i + 1];
    if (next == '%') {
      text += '%';
      ++i;
    } else if (next >= '1' && next <= '9' &&
               static_cast<std::size_t>(next - '1') < values.size()) {
      text += values[static_cast<std::size_t>(next - '1')];
      ++i;
    } else {
      text += c;
    }
  }
  return text;
}

std::string whenText(TextClock::time_point at, TextClock::time_point now) {
  const std::tm tm = localTime(at);
  const bool thisYear = tm.tm_year == localTime(now).tm_year;
  return thisYear ? fmt::format("{:%e %b} at {:%H:%M}", tm, tm).substr(tm.tm_mday < 10 ? 1 : 0)
                  : fmt::format("{:%e %b %Y} at {:%H:%M}", tm, tm).substr(tm.tm_mday < 10 ? 1 : 0);
}

std::string english(const Text& text, TextClock::time_point now) {
  std::vector<std::string> values;
  values.reserve(text.args.size());
  for (const TextArg& arg : text.args) {
    std::visit(
        [&values, now](const auto& value) {
          using T = std::decay_t<decltype(value)>;
          if constexpr (std::is_same_v<T, std::string>) {
            values.push_back(value);
          } else if constexpr (std::is_same_v<T, std::int64_t>) {
            values.push_back(std::to_string(value));
          } else if constexpr (std::is_same_v<T, TextClock::time_point>) {
            values.push_back(whenText(value, now));
          } else {
            values.push_back(value ? english(*value, now) : std::string());
          }
        },
        arg.value());
  }
  return fillPattern(catalogueEntry(text.id).pattern, values);
}

}  // namespace padkbd
