#include "cli/Cli.h"

#include <fmt/format.h>
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "history/History.h"

#include "cli/Commands.h"
#include "cli/Console.h"
#include "padkbd/BuildConfig.h"
#include "storage/FileAction.h"
#include "storage/TempFiles.h"

namespace padkbd::cli {
namespace {

// A usage error of our own making, with the one line that says why.
struct UsageError {
  std::string reason;
};

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

// "; did you mean "read"?" when one candidate is close enough, else "".
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

// The line for a word that names no command, and for no command at all.
std::string unknownCommand(const std::string& word) {
  const std::vector<std::string> names = commandNames();
  return fmt::format("unknown command \"{}\"{} (commands: {})", word, suggestion(word, names),
                     joined(names));
}

std::string commandRequired() {
  return fmt::format("a command is required (commands: {})", joined(commandNames()));
}

// The one line a usage error CLI11 found gets: which command it concerns and why.
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

// Words nobody took: an unknown option (with the closest known one) or a
// word too many.
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

// "--simulate=STATE" takes its value only with "=": a separate word after
// --simulate stays what it is (a document, a gain). CLI11 cannot say that of
// one option, so the value is taken off here and --simulate left as a flag.
std::vector<std::string> takeSimulateState(int argc, char** argv, std::string& state) {
  std::vector<std::string> args;
  bool optionsEnded = false;
  for (int i = 0; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--") optionsEnded = true;
    if (!optionsEnded && i > 0 && arg.rfind("--simulate=", 0) == 0) {
      state = arg.substr(11);
      if (state.empty()) throw UsageError{"--simulate=STATEFILE needs a file name"};
      args.emplace_back("--simulate");
    } else {
      args.push_back(std::move(arg));
    }
  }
  return args;
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
  app.add_flag("--simulate", args.device.simulate,
               "Use the simulated keyboard instead of USB; --simulate=STATEFILE keeps its "
               "memory slots and gains in STATEFILE between runs");
  app.add_option("--device", args.deviceIds,
                 "Use the keyboard with this USB vendor:product id (hex)")
      ->type_name("VID:PID")
      ->check(usbIdsValidator());
  app.add_option("--manufacturer", args.manufacturer,
                 "The keyboard's three SysEx manufacturer bytes, hex (\"00206b\", \"00 20 6b\")")
      ->type_name("M1M2M3")
      ->check(CLI::Validator(
          [](const std::string& text) {
            return parseManufacturerId(text)
                       ? std::string()
                       : fmt::format("\"{}\" is not three hex bytes 00-7f", text);
          },
          ""));
  app.add_option("--port", args.port,
                 "Reach the keyboard through the MIDI port whose name contains NAME (any case) "
                 "instead of raw USB")
      ->type_name("NAME");
  app.add_option("--midi-api", args.midiApi, "The MIDI service for --port: alsa or jack")
      ->type_name("API")
      ->check(CLI::IsMember({"alsa", "jack"}));
  app.add_flag("--trace", args.device.trace,
               "Write every USB transfer as hexadecimal to standard error");
}

// Options that only a keyboard makes sense of, on a command without one (a
// command that stores the keyboard's ids takes those).
void refuseDeviceOptions(const Command& command, const Args& args) {
  if (command.reach == Reach::Keyboard) return;
  const bool ids = command.reach == Reach::Settings;
  const std::pair<bool, const char*> given[] = {
      {args.device.simulate, "--simulate"},
      {args.device.trace, "--trace"},
      {!args.deviceIds.empty() && !ids, "--device"},
      {!args.manufacturer.empty() && !ids, "--manufacturer"},
      {!args.port.empty() && !ids, "--port"},
      {!args.midiApi.empty(), "--midi-api"},
  };
  for (const auto& [present, name] : given) {
    if (present) {
      throw UsageError{
          fmt::format("{}: {} applies to the device commands only", command.name, name)};
    }
  }
}

// The one place a command's ending becomes the exit status.
int exitStatus(Console& console, const Ending& ending) {
  const Outcome& outcome = ending.outcome;
  if (outcome) return kExitOk;
  if (!outcome.message().empty()) console.error(outcome.message());
  // A signal that stopped the command: 130, 143, 129.
  if (outcome.wasCancelled()) return 128 + tempfiles::cancellingSignal();
  return ending.failedStatus;
}

}  // namespace

int run(int argc, char** argv, const LinkFactory& link) {
  // Ctrl+C or a kill in the middle of a write leaves no temporary file.
  tempfiles::removeOnSignals();
  std::string keyboardCommands;
  for (const Command& command : commands()) {
    if (command.reach != Reach::Keyboard) continue;
    keyboardCommands += (keyboardCommands.empty() ? "" : ", ") + std::string(command.name);
  }
  CLI::App app{"Reads, sends, checks and compares the presets of the pad keyboard.", "padkbd"};
  app.footer(fmt::format(
      "The options above go before or after the command word. Device commands ({}) use the "
      "keyboard chosen with \"padkbd use\", or the one built in; by raw USB unless it is named "
      "by a MIDI port (--port).\nExit status: 0 done, 1 refused or failed (diff: different), 2 "
      "usage error (diff: unreadable preset).",
      keyboardCommands));
  app.set_version_flag("--version", fmt::format("padkbd {}", config::kVersion));
  app.require_subcommand(0, 1);
  app.fallthrough();
  app.allow_extras();

  Args args;
  args.device.link = link;
  addToolOptions(app, args);
  for (const Command& command : commands()) {
    CLI::App* sub = app.add_subcommand(command.name, command.help);
    if (command.options) command.options(*sub, args);
    sub->allow_extras();
    if (command.reach == Reach::Keyboard) {
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
    words = takeSimulateState(argc, argv, stateFile);
    std::vector<const char*> pointers;
    for (const std::string& word : words) pointers.push_back(word.c_str());
    app.parse(static_cast<int>(pointers.size()), pointers.data());
    const auto chosen = app.get_subcommands();
    refuseExtras(app, chosen.empty() ? nullptr : chosen.front());
    if (chosen.empty()) throw UsageError{commandRequired()};
    for (const Command& each : commands()) {
      if (chosen.front()->get_name() == each.name) command = &each;
    }
    if (!stateFile.empty()) args.device.stateFile = stateFile;
    refuseDeviceOptions(*command, args);
    if (const std::string why = command->refuse ? command->refuse(args) : ""; !why.empty()) {
      throw UsageError{why};
    }
    // help's topic is a command of the table.
    const std::vector<std::string> names = commandNames();
    if (!args.topic.empty() && std::find(names.begin(), names.end(), args.topic) == names.end()) {
      throw UsageError{
          fmt::format("help: unknown command \"{}\"{}", args.topic, suggestion(args.topic, names))};
    }
  } catch (const CLI::Success& e) {
    return app.exit(e);  // --help, --version: to standard output, status 0
  } catch (const CLI::ParseError& e) {
    std::fprintf(stderr, "padkbd: %s (see padkbd help)\n", usageReason(app, words, e).c_str());
    return kExitUsage;
  } catch (const UsageError& e) {
    std::fprintf(stderr, "padkbd: %s (see padkbd help)\n", e.reason.c_str());
    return kExitUsage;
  }

  const Verbosity verbosity = args.quiet     ? Verbosity::Quiet
                              : args.verbose ? Verbosity::Verbose
                                             : Verbosity::Normal;
  Console console(stderr, verbosity, ::isatty(STDERR_FILENO) == 1);
  console.captureLog();
  KeyboardSettings commandLine;
  if (!args.deviceIds.empty()) commandLine.usb = parseUsbIds(args.deviceIds);
  if (!args.manufacturer.empty()) commandLine.manufacturer = parseManufacturerId(args.manufacturer);
  if (!args.port.empty()) commandLine.port = args.port;
  if (!args.midiApi.empty()) args.device.midiApi = *parseMidiApi(args.midiApi);
  SettingsFile settings;
  History history(History::defaultPath(), settings.historyKeep());
  Context context{console,  FileAction::findResourceDir(executablePath(argv[0])),
                  settings, commandLine,
                  &app,     history};
  return exitStatus(console, command->run(context, args));
}

}  // namespace padkbd::cli
