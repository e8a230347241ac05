#include "cli/Cli.h"

#include <fmt/format.h>
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "history/History.h"

#include "cli/Commands.h"
#include "cli/Console.h"
#include "cli/LibraryCommands.h"
#include "cli/Usage.h"
#include "padkbd/BuildConfig.h"
#include "storage/FileAction.h"
#include "storage/TempFiles.h"

namespace padkbd::cli {
namespace {

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
  if (const char* name = deviceOptionGiven(args, command.needs)) {
    throw UsageError{fmt::format("{}: {} applies to the device commands only", command.name, name),
                     command.name};
  }
}

// One line on standard error, with the help that tells more.
int usageError(const UsageError& error) {
  const std::string help =
      error.command.empty() || error.command == "help" ? "" : " " + error.command;
  std::fprintf(stderr, "padkbd: %s (see padkbd help%s)\n", error.reason.c_str(), help.c_str());
  return kExitUsage;
}

}  // namespace

const char* deviceOptionGiven(const Args& args, Needs needs) {
  const bool ids = needs == Needs::Settings;
  const bool simulated = needs == Needs::History;
  const KeyboardArgs& keyboard = args.keyboard;
  const std::pair<bool, const char*> given[] = {
      {(keyboard.simulate || !keyboard.stateFile.empty()) && !simulated, "--simulate"},
      {args.trace, "--trace"},
      {!keyboard.device.empty() && !ids, "--device"},
      {!keyboard.manufacturer.empty() && !ids, "--manufacturer"},
      {!keyboard.port.empty() && !ids, "--port"},
      {!keyboard.midiApi.empty(), "--midi-api"},
  };
  for (const auto& [present, name] : given) {
    if (present) return name;
  }
  return nullptr;
}

// The one place a command's ending becomes the exit status, by its code.
int exitStatus(Console& console, const Ending& ending) {
  const Outcome& outcome = ending.outcome;
  if (outcome) return kExitOk;
  if (!outcome.message().empty()) console.error(outcome.message());
  switch (outcome.code()) {
    case Code::Cancelled:
      // A signal that stopped the command: 130, 143, 129; a cancel without
      // one is told as Ctrl+C's.
      return 128 + (tempfiles::cancellingSignal() != 0 ? tempfiles::cancellingSignal() : SIGINT);
    case Code::Usage:
      return kExitUsage;
    default:
      return ending.failedStatus;
  }
}

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
    words = takeTagChanges(*taken, args);
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
