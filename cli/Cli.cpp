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

#include "cli/Commands.h"
#include "cli/Console.h"
#include "cli/Device.h"
#include "padkbd/BuildConfig.h"
#include "storage/FileAction.h"
#include "storage/TempFiles.h"

namespace padkbd::cli {
namespace {

// A usage error of our own making, with the one line that says why.
struct UsageError {
  std::string reason;
};

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

std::vector<std::string> commandNames(const CLI::App& app) {
  std::vector<std::string> names;
  for (const CLI::App* command : app.get_subcommands([](const CLI::App*) { return true; })) {
    names.push_back(command->get_name());
  }
  return names;
}

CLI::App* commandNamed(CLI::App& app, const std::string& name) {
  for (CLI::App* command : app.get_subcommands([](const CLI::App*) { return true; })) {
    if (command->get_name() == name) return command;
  }
  return nullptr;
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

// The one line a usage error gets: which command it concerns and why.
std::string usageReason(CLI::App& app, const std::vector<std::string>& args,
                        const CLI::ParseError& error) {
  const auto chosen = app.get_subcommands();
  if (chosen.empty()) {
    // The first word that is not an option names the command.
    for (std::size_t i = 1; i < args.size(); ++i) {
      const std::string& word = args[i];
      if (word.empty() || word[0] == '-') continue;
      return fmt::format("unknown command \"{}\"{} (commands: {})", word,
                         suggestion(word, commandNames(app)), joined(commandNames(app)));
    }
    return fmt::format("a command is required (commands: {})", joined(commandNames(app)));
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
  if (command == nullptr) {
    throw UsageError{fmt::format("unknown command \"{}\"{} (commands: {})", word,
                                 suggestion(word, commandNames(app)), joined(commandNames(app)))};
  }
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

}  // namespace

int run(int argc, char** argv, const LinkFactory& link) {
  // Ctrl+C or a kill in the middle of a write leaves no temporary file.
  tempfiles::removeOnSignals();
  CLI::App app{"Reads, sends, checks and compares the presets of the pad keyboard.", "padkbd"};
  app.footer(
      "The options above go before or after the command word. Device commands (info, read, "
      "send, gains, devices) use the keyboard chosen with \"padkbd use\", or the one built "
      "in; by raw USB unless it is named by a MIDI port (--port).\nExit status: 0 done, 1 refused "
      "or failed (diff: different), 2 usage error (diff: "
      "unreadable preset).");
  app.set_version_flag("--version", fmt::format("padkbd {}", config::kVersion));
  app.require_subcommand(0, 1);
  app.fallthrough();
  app.allow_extras();

  bool quiet = false;
  bool verbose = false;
  DeviceOptions device;
  device.link = link;
  std::string deviceIds;
  std::string manufacturer;
  std::string port;
  std::string midiApi;
  app.add_flag("-q,--quiet", quiet, "Show errors only");
  app.add_flag("-v,--verbose", verbose, "Also show the USB transport's and the protocol's lines");
  app.add_flag("--simulate", device.simulate,
               "Use the simulated keyboard instead of USB; --simulate=STATEFILE keeps its "
               "memory slots and gains in STATEFILE between runs");
  app.add_option("--device", deviceIds, "Use the keyboard with this USB vendor:product id (hex)")
      ->type_name("VID:PID")
      ->check(usbIdsValidator());
  app.add_option("--manufacturer", manufacturer,
                 "The keyboard's three SysEx manufacturer bytes, hex (\"00206b\", \"00 20 6b\")")
      ->type_name("M1M2M3")
      ->check(CLI::Validator(
          [](const std::string& text) {
            return parseManufacturerId(text)
                       ? std::string()
                       : fmt::format("\"{}\" is not three hex bytes 00-7f", text);
          },
          ""));
  app.add_option("--port", port,
                 "Reach the keyboard through the MIDI port whose name contains NAME (any case) "
                 "instead of raw USB")
      ->type_name("NAME");
  app.add_option("--midi-api", midiApi, "The MIDI service for --port: alsa or jack")
      ->type_name("API")
      ->check(CLI::IsMember({"alsa", "jack"}));
  app.add_flag("--trace", device.trace,
               "Write every USB transfer as hexadecimal to standard error");

  std::vector<std::string> checkFiles;
  std::string file;
  std::string second;
  std::string output;
  bool json = false;
  std::optional<int> slot;
  std::vector<int> gains;
  std::string useIds;
  bool reset = false;
  std::string udevIds;
  std::string helpTopic;

  auto* info = app.add_subcommand("info", "Find the keyboard and print its firmware version");
  auto* read =
      app.add_subcommand("read", "Read the whole keyboard and write it as a preset document");
  read->add_option("-o,--output", output, "Document to write (default or -: standard output)")
      ->type_name("FILE");
  auto* send =
      app.add_subcommand("send", "Check a preset document and write it into a memory slot");
  send->add_option("FILE", file, "Preset document (-: standard input)")
      ->required()
      ->type_name("FILE");
  send->add_option("--slot", slot, "Memory slot 1-9 (default: the document's)")
      ->type_name("N")
      ->check(CLI::Range(1, 9));
  auto* gainsCommand = app.add_subcommand("gains", "Send eight gains, each 0-127");
  gainsCommand->add_option("gains", gains, "G1 ... G8")
      ->required()
      ->expected(8)
      ->type_name("G")
      ->check(CLI::Range(0, 127));
  auto* check = app.add_subcommand("check", "Check preset documents");
  check->add_option("FILE", checkFiles, "Preset documents (-: standard input)")
      ->required()
      ->type_name("FILE");
  auto* show = app.add_subcommand("show", "Print a preset in readable form");
  show->add_option("FILE", file, "Preset document (-: standard input)")
      ->required()
      ->type_name("FILE");
  show->add_flag("--json", json, "Print one JSON object");
  auto* diff = app.add_subcommand("diff", "Print every setting that differs between two presets");
  diff->add_option("A", file, "First preset document")->required()->type_name("A");
  diff->add_option("B", second, "Second preset document")->required()->type_name("B");
  auto* defaults = app.add_subcommand("default", "Write the shipped default preset");
  defaults->add_option("-o,--output", output, "Document to write (default or -: standard output)")
      ->type_name("FILE");
  auto* use = app.add_subcommand(
      "use", "Choose the keyboard (stored in the settings file), or show the one in force");
  use->add_option("VID:PID", useIds, "The keyboard's USB vendor:product id (hex)")
      ->type_name("VID:PID")
      ->check(usbIdsValidator());
  use->add_flag("--reset", reset, "Forget the stored keyboard: use the built-in one");
  auto* devices = app.add_subcommand(
      "devices", "List the USB MIDI devices, which one is in use and whether it can be opened");
  devices->add_option("--udev-rule", udevIds, "Print only the udev rule for this device")
      ->type_name("VID:PID")
      ->check(usbIdsValidator());
  auto* help = app.add_subcommand("help", "Show the help of padkbd or of one command");
  help->add_option("COMMAND", helpTopic, "A command")->type_name("COMMAND");
  for (CLI::App* command : app.get_subcommands([](const CLI::App*) { return true; })) {
    command->allow_extras();
  }
  const std::vector<CLI::App*> deviceCommands = {info, read, send, gainsCommand, devices};
  for (CLI::App* command : deviceCommands) {
    // The device options belong to the tool, so a command's own help names them.
    command->footer(
        "Device options (before or after the command word): --simulate[=STATEFILE], --device "
        "VID:PID, --manufacturer M1M2M3, --trace; also -q, -v. See padkbd --help.");
  }

  std::vector<std::string> args;
  std::string stateFile;
  try {
    args = takeSimulateState(argc, argv, stateFile);
    std::vector<const char*> pointers;
    for (const std::string& arg : args) pointers.push_back(arg.c_str());
    app.parse(static_cast<int>(pointers.size()), pointers.data());
    const auto chosen = app.get_subcommands();
    CLI::App* command = chosen.empty() ? nullptr : chosen.front();
    refuseExtras(app, command);
    if (command == nullptr) {
      throw UsageError{
          fmt::format("a command is required (commands: {})", joined(commandNames(app)))};
    }
    if (!stateFile.empty()) device.stateFile = stateFile;
    const bool deviceCommand =
        std::find(deviceCommands.begin(), deviceCommands.end(), command) != deviceCommands.end();
    if (!deviceCommand) {
      // Options that only a keyboard makes sense of, on a command without one
      // (`use` stores ids, so it takes those).
      const bool storesIds = command == use;
      const std::pair<bool, const char*> given[] = {
          {device.simulate, "--simulate"},
          {device.trace, "--trace"},
          {!deviceIds.empty() && !storesIds, "--device"},
          {!manufacturer.empty() && !storesIds, "--manufacturer"},
          {!port.empty() && !storesIds, "--port"},
          {!midiApi.empty(), "--midi-api"},
      };
      for (const auto& [present, name] : given) {
        if (present) {
          throw UsageError{
              fmt::format("{}: {} applies to the device commands only", command->get_name(), name)};
        }
      }
    }
    if (command == use && reset &&
        (!useIds.empty() || !deviceIds.empty() || !manufacturer.empty() || !port.empty())) {
      throw UsageError{"use: --reset forgets the stored keyboard; give no ids with it"};
    }
    if (command == help && !helpTopic.empty() && commandNamed(app, helpTopic) == nullptr) {
      throw UsageError{fmt::format("help: unknown command \"{}\"{}", helpTopic,
                                   suggestion(helpTopic, commandNames(app)))};
    }
  } catch (const CLI::Success& e) {
    return app.exit(e);  // --help, --version: to standard output, status 0
  } catch (const CLI::ParseError& e) {
    std::fprintf(stderr, "padkbd: %s (see padkbd help)\n", usageReason(app, args, e).c_str());
    return kExitUsage;
  } catch (const UsageError& e) {
    std::fprintf(stderr, "padkbd: %s (see padkbd help)\n", e.reason.c_str());
    return kExitUsage;
  }

  if (*help) {
    CLI::App* topic = helpTopic.empty() ? nullptr : commandNamed(app, helpTopic);
    // The root's own help: app.help() would describe the help command itself.
    const std::string text =
        topic != nullptr
            ? topic->help()
            : app.get_formatter()->make_help(&app, app.get_name(), CLI::AppFormatMode::Normal);
    std::fputs(text.c_str(), stdout);
    return kExitOk;
  }

  const Verbosity verbosity = quiet     ? Verbosity::Quiet
                              : verbose ? Verbosity::Verbose
                                        : Verbosity::Normal;
  Console console(stderr, verbosity, ::isatty(STDERR_FILENO) == 1);
  console.captureLog();
  KeyboardSettings commandLine;
  if (!deviceIds.empty()) commandLine.usb = parseUsbIds(deviceIds);
  if (!manufacturer.empty()) commandLine.manufacturer = parseManufacturerId(manufacturer);
  if (!port.empty()) commandLine.port = port;
  if (!midiApi.empty()) device.midiApi = *parseMidiApi(midiApi);
  Context context{console, FileAction::findResourceDir(executablePath(argv[0])), SettingsFile(),
                  commandLine};

  if (*info) return runInfo(context, device);
  if (*read) return runRead(context, device, output);
  if (*send) return runSend(context, device, file, slot);
  if (*gainsCommand) return runGains(context, device, gains);
  if (*check) return runCheck(context, checkFiles);
  if (*show) return runShow(context, file, json);
  if (*diff) return runDiff(context, file, second);
  if (*defaults) return runDefault(context, output);
  if (*use) {
    if (!useIds.empty()) context.commandLine.usb = parseUsbIds(useIds);
    return runUse(context, reset);
  }
  if (*devices) {
    if (!udevIds.empty()) return runUdevRule(context, *parseUsbIds(udevIds));
    return runDevices(context, device);
  }
  return kExitUsage;
}

}  // namespace padkbd::cli
