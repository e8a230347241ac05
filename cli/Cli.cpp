#include "cli/Cli.h"

#include <fmt/format.h>
#include <unistd.h>

#include <CLI/CLI.hpp>
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

namespace padkbd::cli {
namespace {

constexpr const char* kSimulateState = "--simulate-state";

// "--simulate=STATE" takes its value only with "=": a separate word after
// --simulate stays what it is (a document, a gain). CLI11 cannot say that of
// one option, so the word is split into a flag and a hidden option here.
std::vector<std::string> splitSimulate(int argc, char** argv) {
  std::vector<std::string> args;
  bool optionsEnded = false;
  for (int i = 0; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--") optionsEnded = true;
    if (!optionsEnded && i > 0 && arg.rfind("--simulate=", 0) == 0) {
      if (arg.size() == 11) throw CLI::ValidationError("--simulate=STATEFILE needs a file name");
      args.emplace_back("--simulate");
      args.push_back(std::string(kSimulateState) + "=" + arg.substr(11));
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

struct DeviceFlags {
  DeviceOptions options;
  std::string ids;
  bool stateGiven = false;
};

void addDeviceOptions(CLI::App* command, DeviceFlags& flags) {
  command->add_flag("--simulate", flags.options.simulate,
                    "Use the simulated controller instead of USB. --simulate=STATEFILE keeps its "
                    "memory slots and gains in STATEFILE between runs");
  command
      ->add_option_function<std::string>(
          kSimulateState,
          [&flags](const std::string& state) {
            flags.options.stateFile = state;
            flags.stateGiven = true;
          },
          "")
      ->group("");
  command->add_option("--device", flags.ids, "Look for this USB vendor:product id (hex)")
      ->type_name("VID:PID")
      ->check([](const std::string& text) {
        return parseUsbIds(text) ? std::string()
                                 : fmt::format("\"{}\" is not VID:PID in hexadecimal", text);
      });
  command->add_flag("--trace", flags.options.trace,
                    "Write every USB transfer as hexadecimal to standard error");
  // Test switch: makes the simulated controller misbehave.
  command->add_option("--simulate-fault", flags.options.fault, "")
      ->group("")
      ->check([](const std::string& fault) { return checkFault(fault); });
}

std::string oneLine(std::string text) {
  for (char& c : text) {
    if (c == '\n' || c == '\r') c = ' ';
  }
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

std::string names(const std::vector<CLI::App*>& commands) {
  std::string text;
  for (const CLI::App* command : commands) {
    text += (text.empty() ? "" : ", ") + command->get_name();
  }
  return text;
}

// The one line a usage error gets: which command it concerns and why.
std::string usageReason(CLI::App& app, int argc, char** argv, const CLI::ParseError& error) {
  const auto commands = app.get_subcommands([](CLI::App*) { return true; });
  const auto chosen = app.get_subcommands();
  if (chosen.empty()) {
    // The first word that is not an option names the command.
    for (int i = 1; i < argc; ++i) {
      const std::string word = argv[i];
      if (word.empty() || word[0] == '-') continue;
      for (const CLI::App* command : commands) {
        if (command->get_name() == word) return oneLine(error.what());
      }
      return fmt::format("unknown command \"{}\" (commands: {})", word, names(commands));
    }
    return fmt::format("a command is required (commands: {})", names(commands));
  }
  const std::string name = chosen.front()->get_name();
  std::string reason = oneLine(error.what());
  if (reason.rfind(name + ":", 0) != 0) reason = name + ": " + reason;
  return reason;
}

}  // namespace

int run(int argc, char** argv) {
  CLI::App app{"Reads, sends, checks and compares the presets of the keyboard controller.",
               "padkbd"};
  app.footer(
      "Device commands (info, read, send, gains) also take --simulate[=STATEFILE], --device "
      "VID:PID and --trace; every command takes -q.\n"
      "Exit status: 0 done, 1 refused or failed (diff: different), 2 usage error (diff: "
      "unreadable preset).");
  app.set_version_flag("--version", fmt::format("padkbd {}", config::kVersion));
  app.require_subcommand(1, 1);
  app.fallthrough();
  bool quiet = false;
  app.add_flag("-q,--quiet", quiet, "Silence the diagnostic lines");

  DeviceFlags device;
  std::vector<std::string> checkFiles;
  std::string file;
  std::string second;
  std::string output;
  bool json = false;
  std::optional<int> slot;
  std::vector<int> gains;

  auto* info = app.add_subcommand("info", "Find the controller and print its firmware version");
  addDeviceOptions(info, device);

  auto* read =
      app.add_subcommand("read", "Read the whole controller and write it as a preset document");
  read->add_option("-o,--output", output, "Document to write (default or -: standard output)")
      ->type_name("FILE");
  addDeviceOptions(read, device);

  auto* send =
      app.add_subcommand("send", "Check a preset document and write it into a memory slot");
  send->add_option("FILE", file, "Preset document (-: standard input)")
      ->required()
      ->type_name("FILE");
  send->add_option("--slot", slot, "Memory slot 0-8 (default: the document's)")
      ->type_name("N")
      ->check(CLI::Range(0, 8));
  addDeviceOptions(send, device);

  auto* gainsCommand = app.add_subcommand("gains", "Send eight gains, each 0-127");
  gainsCommand->add_option("gains", gains, "G1 ... G8")
      ->required()
      ->expected(8)
      ->type_name("G")
      ->check(CLI::Range(0, 127));
  addDeviceOptions(gainsCommand, device);

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

  try {
    const std::vector<std::string> args = splitSimulate(argc, argv);
    std::vector<const char*> pointers;
    for (const std::string& arg : args) pointers.push_back(arg.c_str());
    app.parse(static_cast<int>(pointers.size()), pointers.data());
    if (device.stateGiven && device.options.stateFile.empty()) {
      throw CLI::ValidationError("--simulate=STATEFILE needs a file name");
    }
    if (!device.ids.empty()) device.options.ids = parseUsbIds(device.ids);
    if (!device.options.fault.empty() && !device.options.simulate) {
      throw CLI::ValidationError("--simulate-fault needs --simulate");
    }
  } catch (const CLI::Success& e) {
    return app.exit(e);  // --help, --version: to standard output, status 0
  } catch (const CLI::ParseError& e) {
    std::fprintf(stderr, "padkbd: %s (see padkbd --help)\n",
                 usageReason(app, argc, argv, e).c_str());
    return kExitUsage;
  }

  Console console(stderr, quiet, ::isatty(STDERR_FILENO) == 1);
  console.captureLog();
  Context context{console, FileAction::findResourceDir(executablePath(argv[0]))};

  if (*info) return runInfo(context, device.options);
  if (*read) return runRead(context, device.options, output);
  if (*send) return runSend(context, device.options, file, slot);
  if (*gainsCommand) return runGains(context, device.options, gains);
  if (*check) return runCheck(context, checkFiles);
  if (*show) return runShow(context, file, json);
  if (*diff) return runDiff(context, file, second);
  if (*defaults) return runDefault(context, output);
  return kExitUsage;
}

}  // namespace padkbd::cli
