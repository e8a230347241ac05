#include "cli/Usage.h"

#include <fmt/format.h>

#include <algorithm>

#include "cli/Commands.h"
#include "model/KeyboardId.h"

namespace padkbd::cli {
namespace {

std::string oneLine(std::string text) {
  for (char& c : text) {
    if (c == '\n' || c == '\r') c = ' ';
  }
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

// Edit distance, for "did you mean".
std::size_t distance(std::string_view a, std::string_view b) {
  std::vector<std::size_t> row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diagonal = row[0];
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

std::string joined(const std::vector<std::string>& words) {
  std::string text;
  for (const std::string& word : words) text += (text.empty() ? "" : ", ") + word;
  return text;
}

// The long and short names of every option `command` (and the tool itself)
// takes, for suggestions.
std::vector<std::string> optionNames(const CLI::App& app, const CLI::App* command) {
  std::vector<std::string> names;
  for (const CLI::App* scope : {&app, command}) {
    if (scope == nullptr) continue;
    for (const CLI::Option* option : scope->get_options()) {
      if (option->get_group().empty()) continue;  // hidden
      for (const std::string& name : option->get_lnames()) names.push_back("--" + name);
      for (const std::string& name : option->get_snames()) names.push_back("-" + name);
    }
  }
  return names;
}

}  // namespace

std::string suggestion(std::string_view typed, const std::vector<std::string>& candidates) {
  const std::string* best = nullptr;
  std::size_t bestDistance = 0;
  for (const std::string& candidate : candidates) {
    const std::size_t d = distance(typed, candidate);
    if (best == nullptr || d < bestDistance) {
      best = &candidate;
      bestDistance = d;
    }
  }
  const std::size_t allowed = std::max<std::size_t>(2, typed.size() / 3);
  if (best == nullptr || bestDistance > allowed) return {};
  return fmt::format("; did you mean \"{}\"?", *best);
}

std::string unknownCommand(const std::string& word) {
  const std::vector<std::string> names = commandNames();
  return fmt::format("unknown command \"{}\"{} (commands: {})", word, suggestion(word, names),
                     joined(names));
}

std::string commandRequired() {
  return fmt::format("a command is required (commands: {})", joined(commandNames()));
}

std::string usageReason(CLI::App& app, const std::vector<std::string>& args,
                        const CLI::ParseError& error) {
  const auto chosen = app.get_subcommands();
  if (chosen.empty()) {
    // The first word that is not an option names the command.
    for (std::size_t i = 1; i < args.size(); ++i) {
      const std::string& word = args[i];
      if (!word.empty() && word[0] != '-') return unknownCommand(word);
    }
    return commandRequired();
  }
  const std::string name = chosen.front()->get_name();
  std::string reason = oneLine(error.what());
  // CLI11 names an option it could not check by a blank when it has no group.
  for (std::size_t at; (at = reason.find(": : ")) != std::string::npos;) reason.erase(at, 2);
  if (reason.rfind(": ", 0) == 0) reason.erase(0, 2);
  if (reason.rfind(name + ":", 0) != 0) reason = name + ": " + reason;
  return reason;
}

void refuseExtras(CLI::App& app, CLI::App* command) {
  const std::vector<std::string> extras = app.remaining(true);
  if (extras.empty()) return;
  const std::string& word = extras.front();
  const std::string where = command != nullptr ? command->get_name() + ": " : std::string();
  if (word.size() > 1 && word[0] == '-') {
    const std::string name = word.substr(0, word.find('='));
    throw UsageError{fmt::format("{}unknown option \"{}\"{}", where, name,
                                 suggestion(name, optionNames(app, command)))};
  }
  if (command == nullptr) throw UsageError{unknownCommand(word)};
  throw UsageError{fmt::format("{}unexpected argument \"{}\"", where, word)};
}

CLI::Validator usbIdsValidator() {
  return CLI::Validator(
      [](const std::string& text) {
        return parseUsbIds(text) ? std::string()
                                 : fmt::format("\"{}\" is not VID:PID in hexadecimal", text);
      },
      "");  // the option's type name says it already
}

}  // namespace padkbd::cli
