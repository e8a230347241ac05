#include "cli/Usage.h"

#include <fmt/format.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

namespace padkbd::cli {

std::size_t editDistance(std::string_view a, std::string_view b) {
  // Three rows: the one before last is what a swap steps back to.
  std::vector<std::size_t> before(b.size() + 1), last(b.size() + 1), row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::swap(before, last);
    std::swap(last, row);
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      row[j] =
          std::min({last[j] + 1, row[j - 1] + 1, last[j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1)});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
        row[j] = std::min(row[j], before[j - 2] + 1);
      }
    }
  }
  return row[b.size()];
}

std::string joined(const std::vector<std::string>& words, const char* last) {
  std::string text;
  for (std::size_t i = 0; i < words.size(); ++i) {
    text += (i == 0 ? "" : i + 1 == words.size() ? last : ", ") + words[i];
  }
  return text;
}

// What an option or argument wants, by its name: the same name wants the same
// thing in every command.
static std::string wanted(std::string_view name) {
  static constexpr std::pair<std::string_view, std::string_view> kWanted[] = {
      {"--slot", "a memory slot 1-9"},
      {"--limit", "a number of entries, 1 or more"},
      {"--kind", "read, sent or stopped"},
      {"--output", "a file name"},
      {"--midnam", "a file name"},
      {"PRESET", "a preset document"},
      {"--preset", "a preset document"},
      {"FILE", "a preset document"},
      {"A", "two preset documents"},
      {"B", "a second preset document"},
      {"ID", "the number of a history entry, as padkbd history lists them"},
      {"GAINS", "only gains 0-127"},
      {"--only", "memory slots 1-9, like 1,3,5-7"},
      {"NAME", "a preset of the library, by its name"},
      {"SETFILE", "a set of presets (.padkbdset)"},
      {"SLOTS", "SLOT=NAME for each memory slot the set fills, like 1=intro 3=drums"},
      {"--play",
       "strikes like \"pad 1, pad 5, knob 3 +4\" (pads 1-48, buttons 1-8, knobs 1-8 turned by "
       "a step of -127 to +127)"},
  };
  // The keyboard's options want the same in the window.
  if (const auto keyboard = wantedValue(name)) return english(Text(*keyboard));
  for (const auto& [key, what] : kWanted) {
    if (key == name) return std::string(what);
  }
  return "a value";
}

// "send", "history show".
static std::string commandPath(const CLI::App& command) {
  const CLI::App* parent = command.get_parent();
  if (parent == nullptr || parent->get_parent() == nullptr) return command.get_name();
  return commandPath(*parent) + " " + command.get_name();
}

// The name of `option` as it was typed ("-o" rather than "--output").
static std::string typedName(const CLI::Option& option, const std::vector<std::string>& words) {
  for (const std::string& word : words) {
    const std::string name = word.substr(0, word.find('='));
    if (name.size() > 1 && name[0] == '-' && option.check_name(name)) return name;
  }
  return option.get_name();
}

// How a command is used with `option`: "padkbd send FILE --slot N".
static std::string synopsis(const CLI::App& command, const CLI::Option* option,
                            const std::string& typed) {
  std::string text = "padkbd";
  if (command.get_parent() != nullptr) text += " " + commandPath(command);
  for (const CLI::Option* each : command.get_options()) {
    if (!each->get_positional()) continue;
    const bool optional = !each->get_required() && each->get_name() != "GAINS";
    text += fmt::format(" {}{}{}", optional ? "[" : "", each->get_type_name(), optional ? "]" : "");
  }
  if (option != nullptr && !option->get_positional()) {
    text += fmt::format(" {} {}", typed, option->get_type_name());
  }
  if (command.get_parent() == nullptr) text += " COMMAND";
  return text;
}

// "; did you mean "read"?" when one candidate is closest and close enough, else
// "": two equally close are a guess the tool does not make.
std::string suggestion(std::string_view typed, const std::vector<std::string>& candidates) {
  const std::string* best = nullptr;
  bool tied = false;
  std::size_t bestDistance = 0;
  for (const std::string& candidate : candidates) {
    if (candidate == typed || (best != nullptr && candidate == *best)) continue;
    const std::size_t d = editDistance(typed, candidate);
    if (best == nullptr || d < bestDistance) {
      best = &candidate;
      bestDistance = d;
      tied = false;
    } else if (d == bestDistance) {
      tied = true;
    }
  }
  // A letter or two is too little to guess from ("-x" is not "-h").
  const std::size_t allowed = std::max<std::size_t>(2, typed.size() / 3);
  if (best == nullptr || tied || bestDistance > allowed ||
      typed.find_first_not_of('-') + 2 >= typed.size()) {
    return {};
  }
  return fmt::format("; did you mean \"{}\"?", *best);
}

// The long and short names of every option of `scopes`, for suggestions.
static std::vector<std::string> optionNames(std::initializer_list<const CLI::App*> scopes) {
  std::vector<std::string> names;
  for (const CLI::App* scope : scopes) {
    if (scope == nullptr) continue;
    for (const CLI::Option* option : scope->get_options()) {
      if (option->get_group().empty()) continue;  // hidden
      for (const std::string& name : option->get_lnames()) names.push_back("--" + name);
      for (const std::string& name : option->get_snames()) names.push_back("-" + name);
    }
  }
  return names;
}

// The line for a word that names no command, and for no command at all.
std::string unknownCommand(const std::string& word) {
  const std::vector<std::string> names = commandNames();
  return fmt::format("unknown command \"{}\"{} (commands: {})", word, suggestion(word, names),
                     joined(names));
}

std::string commandRequired() {
  return fmt::format("a command is required (commands: {})", joined(commandNames()));
}

// The command the words chose, the innermost ("show" of "history show"); none
// when they chose none.
CLI::App* chosenCommand(CLI::App& app) {
  CLI::App* command = nullptr;
  for (auto chosen = app.get_subcommands(); !chosen.empty(); chosen = command->get_subcommands()) {
    command = chosen.front();
  }
  return command;
}

// The option a message of CLI11 names first, looked for from `command` out.
static const CLI::Option* namedOption(const CLI::App& app, const CLI::App* command,
                                      const std::string& name) {
  for (const CLI::App* scope = command; scope != nullptr; scope = scope->get_parent()) {
    if (const CLI::Option* option = scope->get_option_no_throw(name)) return option;
  }
  return app.get_option_no_throw(name);
}

// The one line for a usage error CLI11 found, in our words: what was given,
// what is wanted and how the command is used.
std::string usageReason(CLI::App& app, const std::vector<std::string>& args,
                        const CLI::ParseError& error) {
  CLI::App* command = chosenCommand(app);
  const std::string what = error.what();
  // Every kind of error names its option: "--slot: "0"" (our checks quote the value),
  // "FILE is required", "Could not convert: --limit = 99999999999" (too large).
  std::string name = what.substr(0, std::min(what.find(": "), what.find(" is required")));
  std::string value;
  if (dynamic_cast<const CLI::ValidationError*>(&error) != nullptr) {
    value = what.substr(name.size() + 2);
  } else if (const std::string convert = "Could not convert: "; what.rfind(convert, 0) == 0) {
    const std::size_t equals = what.find(" = ");
    name = what.substr(convert.size(), equals - convert.size());
    if (equals != std::string::npos) value = '"' + what.substr(equals + 3) + '"';
  }
  const CLI::Option* option = namedOption(app, command, name);
  if (command == nullptr && (option == nullptr || option->get_positional())) {
    // The first word that is not an option names the command.
    for (std::size_t i = 1; i < args.size(); ++i) {
      const std::string& word = args[i];
      if (!word.empty() && word[0] != '-') return unknownCommand(word);
    }
    return commandRequired();
  }
  const std::string where = command != nullptr ? commandPath(*command) : std::string();
  const std::string prefix = where.empty() ? std::string() : where + ": ";
  if (option == nullptr) {
    // Nothing a user can do names no option (excludes and needs are never declared).
    return prefix + what;
  }
  const CLI::App& scope = command != nullptr ? *command : app;
  const std::string typed = typedName(*option, args);
  const std::string wants = wanted(option->get_name());
  if (option->get_expected_max() == 0) return fmt::format("{}{} takes no value", prefix, typed);
  if (what.find(": At Most ") != std::string::npos) {
    return fmt::format("{}{} is given more than once", prefix, typed);
  }
  if (!value.empty()) {
    if (option->get_positional()) {
      return fmt::format("{} takes {}, not {}", where, wants, value);
    }
    return fmt::format("{}{} takes {}, not {}", prefix, typed, wants, value);
  }
  if (option->get_positional()) {
    return fmt::format("{} needs {}: {}", where, wants, synopsis(scope, option, typed));
  }
  if (where.empty()) {
    return fmt::format("{} needs {}: {}", typed, wants, synopsis(scope, option, typed));
  }
  return fmt::format("{} needs {} after {}: {}", where, wants, typed,
                     synopsis(scope, option, typed));
}

// Words nobody took: an option of another command, or given before its own
// command's word; an unknown option (with the closest known one); a word too
// many.
void refuseExtras(CLI::App& app, CLI::App* command) {
  const std::vector<std::string> extras = app.remaining(true);
  if (extras.empty()) return;
  const std::string& word = extras.front();
  const std::string path = command != nullptr ? commandPath(*command) : std::string();
  const std::string where = path.empty() ? std::string() : path + ": ";
  const std::string top = command != nullptr ? app.get_subcommands().front()->get_name() : "";
  if (word.size() > 1 && word[0] == '-') {
    const std::string name = word.substr(0, word.find('='));
    // The commands that take it, and the one the words chose first.
    std::vector<std::string> takers;
    const CLI::App* taker = nullptr;
    for (const CLI::App* each : app.get_subcommands({})) {
      const CLI::App* scope = each;
      if (command != nullptr && each->get_name() == top) scope = command;
      if (scope->get_option_no_throw(name) == nullptr || name == "-h" || name == "--help") continue;
      takers.push_back(commandPath(*scope));
      if (taker == nullptr || scope == command) taker = scope;
    }
    if (taker == command && taker != nullptr) {
      // Its own option, before the command word: where it belongs.
      throw UsageError{fmt::format("{} belongs to {}: {}", name, path,
                                   synopsis(*command, command->get_option_no_throw(name), name)),
                       top};
    }
    if (taker != nullptr) {
      const std::string owners = joined(takers, " and ");
      if (command != nullptr) {
        throw UsageError{fmt::format("{}{} belongs to {}, not to {}", where, name, owners, path),
                         top};
      }
      throw UsageError{fmt::format("{} belongs to {}: {}", name, owners,
                                   synopsis(*taker, taker->get_option_no_throw(name), name)),
                       ""};
    }
    throw UsageError{fmt::format("{}unknown option \"{}\"{}", where, name,
                                 suggestion(name, optionNames({&app, command}))),
                     top};
  }
  if (command == nullptr) throw UsageError{unknownCommand(word), ""};
  if (const auto inner = command->get_subcommands({}); !inner.empty()) {
    std::vector<std::string> names;
    for (const CLI::App* each : inner) names.push_back(each->get_name());
    throw UsageError{fmt::format("{}\"{}\" is not {}{}", where, word, joined(names, " or "),
                                 suggestion(word, names)),
                     top};
  }
  throw UsageError{fmt::format("{}\"{}\" is one word too many: {}", where, word,
                               synopsis(*command, nullptr, "")),
                   top};
}

}  // namespace padkbd::cli
