#include "cli/Cli.h"

#include <fmt/format.h>
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "history/History.h"

#include "cli/Commands.h"
#include "cli/Console.h"
#include "padkbd/BuildConfig.h"
#include "storage/FileAction.h"
#include "storage/TempFiles.h"

namespace padkbd::cli {
namespace {

// A usage error of our own making, with the one line that says why, and the
// command whose help tells more ("" for the tool's).
struct UsageError {
  std::string reason;
  std::string command;
};

// Edit distance for "did you mean": a letter left out, added or changed, or two
// neighbours swapped, is one slip each (optimal string alignment).
std::size_t distance(std::string_view a, std::string_view b) {
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

std::string joined(const std::vector<std::string>& words, const char* last = ", ") {
  std::string text;
  for (std::size_t i = 0; i < words.size(); ++i) {
    text += (i == 0 ? "" : i + 1 == words.size() ? last : ", ") + words[i];
  }
  return text;
}

// What an option or argument wants, by its name: the same name wants the same
// thing in every command.
std::string wanted(std::string_view name) {
  static constexpr std::pair<std::string_view, std::string_view> kWanted[] = {
      {"--slot", "a memory slot 1-9"},
      {"--limit", "a number of entries, 1 or more"},
      {"--kind", "read, sent or stopped"},
      {"--output", "a file name"},
      {"--preset", "a preset document"},
      {"FILE", "a preset document"},
      {"A", "two preset documents"},
      {"B", "a second preset document"},
      {"ID", "the number of a history entry, as padkbd history lists them"},
      {"GAINS", "only gains 0-127"},
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
std::string commandPath(const CLI::App& command) {
  const CLI::App* parent = command.get_parent();
  if (parent == nullptr || parent->get_parent() == nullptr) return command.get_name();
  return commandPath(*parent) + " " + command.get_name();
}

// The name of `option` as it was typed ("-o" rather than "--output").
std::string typedName(const CLI::Option& option, const std::vector<std::string>& words) {
  for (const std::string& word : words) {
    const std::string name = word.substr(0, word.find('='));
    if (name.size() > 1 && name[0] == '-' && option.check_name(name)) return name;
  }
  return option.get_name();
}

// How a command is used with `option`: "padkbd send FILE --slot N".
std::string synopsis(const CLI::App& command, const CLI::Option* option, const std::string& typed) {
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
    const std::size_t d = distance(typed, candidate);
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
std::vector<std::string> optionNames(std::initializer_list<const CLI::App*> scopes) {
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
const CLI::Option* namedOption(const CLI::App& app, const CLI::App* command,
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

std::filesystem::path executablePath(const char* argv0) {
  std::error_code ec;
  std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (!ec && !self.empty()) return self;
  return argv0 != nullptr ? std::filesystem::path(argv0) : std::filesystem::path();
}

// The tool's options, which belong to no command.
void addToolOptions(CLI::App& app, Args& args) {
  app.add_flag("-q,--quiet", args.quiet, "Show errors only");
  app.add_flag("-v,--verbose", args.verbose,
               "Also show the USB transport's and the protocol's lines");
  // The keyboard's options, as the window takes them too.
  const auto help = [](const char* name) {
    for (const KeyboardOption& option : keyboardOptions()) {
      if (std::string_view(option.name) == name) return english(Text(option.help));
    }
    return std::string();
  };
  app.add_flag("--simulate", args.keyboard.simulate, help("--simulate"));
  app.add_option("--device", args.keyboard.device, help("--device"))
      ->type_name("VID:PID")
      ->check(usbIdsValidator());
  app.add_option("--manufacturer", args.keyboard.manufacturer, help("--manufacturer"))
      ->type_name("M1M2M3")
      ->check(
          accepting([](const std::string& text) { return parseManufacturerId(text).has_value(); }));
  app.add_option("--port", args.keyboard.port, help("--port"))->type_name("NAME");
  app.add_option("--midi-api", args.keyboard.midiApi, help("--midi-api"))
      ->type_name("API")
      ->check(accepting([](const std::string& text) { return parseMidiApi(text).has_value(); }));
  app.add_flag("--trace", args.trace, "Write every USB transfer as hexadecimal to standard error");
}

// Options that only a keyboard makes sense of, on a command without one (a
// command that stores the keyboard's ids takes those).
void refuseDeviceOptions(const Command& command, const Args& args) {
  if (command.needs == Needs::Keyboard) return;
  const bool ids = command.needs == Needs::Settings;
  const bool simulated = command.needs == Needs::History;
  const std::pair<bool, const char*> given[] = {
      {(args.keyboard.simulate || !args.keyboard.stateFile.empty()) && !simulated, "--simulate"},
      {args.trace, "--trace"},
      {!args.keyboard.device.empty() && !ids, "--device"},
      {!args.keyboard.manufacturer.empty() && !ids, "--manufacturer"},
      {!args.keyboard.port.empty() && !ids, "--port"},
      {!args.keyboard.midiApi.empty(), "--midi-api"},
  };
  for (const auto& [present, name] : given) {
    if (present) {
      throw UsageError{
          fmt::format("{}: {} applies to the device commands only", command.name, name),
          command.name};
    }
  }
}

// One line on standard error, with the help that tells more.
int usageError(const UsageError& error) {
  const std::string help =
      error.command.empty() || error.command == "help" ? "" : " " + error.command;
  std::fprintf(stderr, "padkbd: %s (see padkbd help%s)\n", error.reason.c_str(), help.c_str());
  return kExitUsage;
}

// The one place a command's ending becomes the exit status, by its code.
int exitStatus(Console& console, const Ending& ending) {
  const Outcome& outcome = ending.outcome;
  if (outcome) return kExitOk;
  if (!outcome.message().empty()) console.error(outcome.message());
  switch (outcome.code()) {
    case Code::Cancelled:
      // A signal that stopped the command: 130, 143, 129.
      return 128 + tempfiles::cancellingSignal();
    case Code::Usage:
      return kExitUsage;
    default:
      return ending.failedStatus;
  }
}

}  // namespace

int run(int argc, char** argv, const LinkFactory& link) {
  // Ctrl+C or a kill in the middle of a write leaves no temporary file.
  tempfiles::removeOnSignals();
  std::string keyboardCommands;
  for (const Command& command : commands()) {
    if (command.needs != Needs::Keyboard) continue;
    keyboardCommands += (keyboardCommands.empty() ? "" : ", ") + std::string(command.name);
  }
  CLI::App app{"Reads, sends, checks and compares the presets of the pad keyboard.", "padkbd"};
  app.footer(fmt::format(
      "The options above go before or after the command word. Device commands ({}) use the "
      "keyboard chosen with \"padkbd use\", or the one built in; by raw USB unless it is named "
      "by a MIDI port (--port).\nExit status: 0 done, 1 refused or failed (diff: different), 2 "
      "usage error (diff: unreadable preset).",
      keyboardCommands));
  // The help speaks of commands, as the rest of the tool does.
  app.get_formatter()->label("SUBCOMMAND", "COMMAND");
  app.get_formatter()->label("Positionals", "Arguments");
  app.set_version_flag("--version", fmt::format("padkbd {}", config::kVersion));
  app.require_subcommand(0, 1);
  app.fallthrough();
  app.allow_extras();

  Args args;
  args.link = link;
  addToolOptions(app, args);
  for (const Command& command : commands()) {
    CLI::App* sub = app.add_subcommand(command.name, command.help)->group("Commands");
    if (command.options) command.options(*sub, args);
    sub->allow_extras();
    if (command.needs == Needs::Keyboard) {
      // The device options belong to the tool, so a command's own help names them.
      sub->footer(
          "Device options (before or after the command word): --simulate[=STATEFILE], --device "
          "VID:PID, --manufacturer M1M2M3, --trace; also -q, -v. See padkbd --help.");
    }
  }

  std::vector<std::string> words;
  const Command* command = nullptr;
  try {
    std::string stateFile;
    Result<std::vector<std::string>> taken =
        takeSimulateState(std::vector<std::string>(argv, argv + argc), stateFile);
    if (!taken) throw UsageError{taken.message(), ""};
    words = std::move(*taken);
    std::vector<const char*> pointers;
    for (const std::string& word : words) pointers.push_back(word.c_str());
    app.parse(static_cast<int>(pointers.size()), pointers.data());
    const auto chosen = app.get_subcommands();
    refuseExtras(app, chosenCommand(app));
    if (chosen.empty()) throw UsageError{commandRequired(), ""};
    for (const Command& each : commands()) {
      if (chosen.front()->get_name() == each.name) command = &each;
    }
    if (!stateFile.empty()) args.keyboard.stateFile = stateFile;
    refuseDeviceOptions(*command, args);
    if (const std::string why = command->refuse ? command->refuse(args) : ""; !why.empty()) {
      throw UsageError{why, command->name};
    }
    // help's topic is a command of the table.
    const std::vector<std::string> names = commandNames();
    if (!args.topic.empty() && std::find(names.begin(), names.end(), args.topic) == names.end()) {
      throw UsageError{fmt::format("help: unknown command \"{}\"{} (commands: {})", args.topic,
                                   suggestion(args.topic, names), joined(names)),
                       ""};
    }
  } catch (const CLI::Success& e) {
    return app.exit(e);  // --help, --version: to standard output, status 0
  } catch (const CLI::ParseError& e) {
    const auto chosen = app.get_subcommands();
    return usageError({usageReason(app, words, e), chosen.empty() ? "" : chosen[0]->get_name()});
  } catch (const UsageError& e) {
    return usageError(e);
  }

  const Verbosity verbosity = args.quiet     ? Verbosity::Quiet
                              : args.verbose ? Verbosity::Verbose
                                             : Verbosity::Normal;
  Console console(stderr, verbosity, ::isatty(STDERR_FILENO) == 1);
  console.captureLog();
  // The values were checked by the parser.
  const Result<KeyboardChoice> choice = keyboardChoice(args.keyboard);
  if (!choice) return usageError({choice.message(), ""});
  SettingsFile settings;
  History history(History::defaultPath(), settings.historyKeep());
  Context context{console,       FileAction::findResourceDir(executablePath(argv[0])),
                  settings,      choice->commandLine,
                  choice->reach, &app,
                  history};
  return exitStatus(console, command->run(context, args));
}

}  // namespace padkbd::cli
