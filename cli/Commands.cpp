#include "cli/Commands.h"

#include <fmt/format.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <charconv>
#include <cstdio>

#include "cli/Documents.h"
#include "cli/ExportCommand.h"
#include "cli/HistoryCommands.h"
#include "cli/Keyboard.h"
#include "cli/LibraryCommands.h"
#include "cli/MonitorCommand.h"
#include "cli/SetupCommands.h"
#include "history/SendPreview.h"
#include "link/Discovery.h"
#include "protocol/ButtonAction.h"
#include "session/EditSession.h"
#include "session/PresetReport.h"

namespace padkbd::cli {
namespace {

// The progress of a full read or write counts the protocol's exchanges.
constexpr auto kFullExchange = static_cast<std::size_t>(PadAction::kFullExchange);
constexpr std::size_t kReadRequestSize = 15;
constexpr std::size_t kWriteMessageSize = 16;

// Files: documents in, a listing or a document out.

Ending runCheck(Context&, const Args& args) {
  bool usable = true;
  std::string report;
  for (const std::string& file : args.files) {
    const Result<Preset> read = readDocument(file);
    report += read ? fmt::format("{}: ok\n", file) : fmt::format("{}: {}\n", file, read.message());
    usable = usable && read.ok();
  }
  if (Outcome printed = printResult(report); !printed) return printed;
  // The report names what is wrong.
  return usable ? Outcome::success() : Outcome::failure("");
}

Ending runShow(Context& context, const Args& args) {
  const Result<Preset> read = readDocument(args.file);
  if (!read) return read.outcome().as(TextId::Because, {nameOf(args.file)});
  const ChoiceLists lists = choiceLists(context);
  std::string text;
  if (args.json) {
    text = presetJson(*read, lists);
  } else {
    for (const std::string& line : presetLines(*read, lists)) text += line + "\n";
  }
  return printResult(text);
}

// 0 the same, 1 different (the differences are the output), 2 unreadable.
Ending runDiff(Context& context, const Args& args) {
  if (args.file == kStdio && args.second == kStdio) {
    return Outcome::failure(Code::Usage,
                            "only one of the two presets can come from standard input");
  }
  const Result<Preset> a = readDocument(args.file);
  const Result<Preset> b = readDocument(args.second);
  const auto unreadable = [](const std::string& file, const Result<Preset>& read) {
    return read.outcome().as(TextId::Because, {nameOf(file)});
  };
  if (!a && !b) context.console.error(unreadable(args.file, a).message());
  if (!a || !b) return {b ? unreadable(args.file, a) : unreadable(args.second, b), kExitUsage};
  const std::vector<Text> differences = presetDifferences(*a, *b, choiceLists(context));
  std::string text;
  for (const Text& line : differences) text += english(line) + "\n";
  if (Outcome printed = printResult(text); !printed) return {printed, kExitUsage};
  return differences.empty() ? Outcome::success() : Outcome::failure("");
}

Ending runDefault(Context& context, const Args& args) {
  const Preset preset = FileAction(context.resourceDir, {}).defaultPreset();
  return writeDocument(args.output, preset.buttons, *preset.global);
}

// The keyboard.

Ending runInfo(Context& context, const Args& args) {
  return withKeyboard(context, args, [](Keyboard& keyboard) {
    const Result<std::string> version = keyboard.service.firmware();
    if (!version) return keyboard.failed(version.outcome(), "opening the controller failed");
    return printResult(fmt::format("firmware {}\n", version->empty() ? "unknown" : *version));
  });
}

Ending runRead(Context& context, const Args& args) {
  return withKeyboard(context, args, [&](Keyboard& keyboard) {
    keyboard.trace.expectMessages("reading", kReadRequestSize, kFullExchange);
    const Result<KeyboardRead> read = keyboard.service.read();
    keyboard.trace.endMessages();
    // Without the controller the editor falls back to the default preset; a
    // backup must not: nothing is written then.
    if (!read) return keyboard.failed(read.outcome(), "reading the controller failed");
    const Preset& preset = read->preset;
    if (const auto& replaced = read->replaced; !replaced.empty()) {
      const bool one = replaced.size() == 1;
      std::string list;
      for (const auto& replacement : replaced) {
        list += (list.empty() ? "" : "; ") + replacement.describe();
      }
      context.console.warning(fmt::format(
          "{} {} from the keyboard {} outside {} list and {} set to the first entry: {}",
          replaced.size(), one ? "setting" : "settings", one ? "was" : "were",
          one ? "its" : "their", one ? "was" : "were", list));
    }
    if (Outcome usable = checkPreset(preset); !usable) {
      return Outcome::failure(
          fmt::format("the controller sent settings outside their lists ({}); nothing written",
                      usable.message()));
    }
    // Read whole: a Ctrl+C from now on changes nothing of what was read.
    return writeDocument(args.output, preset.buttons, *preset.global);
  });
}

// Writes `document` into the memory slot --slot names (else its own), or
// with --dry-run says what that would change; `source` is what the history
// says it came from.
Outcome sendPreset(Context& context, const Args& args, Preset document, const std::string& name,
                   const std::string& source) {
  return withKeyboard(context, args, [&](Keyboard& keyboard) -> Outcome {
    // The document is edited as the editor edits one, in memory only: the
    // file itself is left as it is. Slots are numbered 1-9 on the command
    // line, as the keyboard and the editor show them.
    FileAction files(context.resourceDir, {});
    EditSession edit(files, document, Origin{Origin::Kind::Document, name});
    if (args.slot) edit.setGlobal(GlobalField::MemorySlot, *args.slot - 1);
    const Preset sent = edit.copyOfPreset();
    if (Outcome usable = checkPreset(sent); !usable) {
      return Outcome::failure(usable.code(),
                              fmt::format("{}: {}; nothing sent", name, usable.message()));
    }
    const int target = edit.global()->mem;
    if (args.dryRun) {
      (void)keyboard.reach.find();  // its serial number, if it is there
      const Result<SlotStates> states = slotStates(context, keyboard.service);
      if (!states) return states.outcome();
      const SendPreview preview =
          previewSend((*states)[static_cast<std::size_t>(target)], sent, choiceLists(context));
      std::string text = english(previewText(preview)) + "\n";
      for (const Text& line : preview.changes) text += english(line) + "\n";
      return printResult(text);
    }
    // Chosen by the document, not the user: said before anything is written.
    if (!args.slot) {
      context.console.note(fmt::format(
          "writing memory slot {} (the document's slot; --slot N chooses another)", target + 1));
    }
    keyboard.trace.expectMessages("writing", kWriteMessageSize, kFullExchange);
    const Outcome written = keyboard.service.send(copyOf(sent), source);
    keyboard.trace.endMessages();
    if (!written || keyboard.trace.failedWrites() != 0) {
      return keyboard.failed(written, "sending to the controller failed");
    }
    context.console.note(fmt::format("sent {} to memory slot {}", name, target + 1));
    return Outcome::success();
  });
}

Ending runSend(Context& context, const Args& args) {
  const std::string name = nameOf(args.file);
  const Result<Preset> document = readDocument(args.file);
  if (!document)
    return Outcome::failure(fmt::format("{}: {}; nothing sent", name, document.message()));
  return sendPreset(context, args, *document, name,
                    std::filesystem::path(name).filename().string());
}

// Sends a history entry's preset again, into --slot or the slot it was sent to.
Ending runRestore(Context& context, const Args& args) {
  const Result<HistoryEntry> entry = historyEntry(context, args.entryId);
  if (!entry) return Outcome::failure(fmt::format("{}; nothing sent", entry.message()));
  if (!args.slot && entry->kind == EntryKind::Read) {
    return Outcome::failure(Code::Usage,
                            fmt::format("restore: entry {} is a read: say which memory slot it "
                                        "goes to with --slot N",
                                        entry->id));
  }
  const Result<Preset> preset = presetOf(*entry);
  if (!preset) return Outcome::failure(fmt::format("{}; nothing sent", preset.message()));
  Args into = args;
  if (!into.slot) into.slot = entry->slot;
  const std::string source = fmt::format("history entry {}", entry->id);
  return sendPreset(context, into, *preset, source, source);
}

Ending runGains(Context& context, const Args& args) {
  return withKeyboard(context, args, [&](Keyboard& keyboard) {
    const std::vector<std::int32_t> values(args.gains.begin(), args.gains.end());
    const Outcome sent = keyboard.service.sendGains(values);
    if (sent) return sent;
    if (sent.wasCancelled()) {
      return Outcome::cancelled(
          "cancelled while sending the gains: some may have reached the keyboard");
    }
    return keyboard.failed(sent, "sending the gains failed", " at ");
  });
}

Ending runHelp(Context& context, const Args& args) {
  const CLI::App& app = *context.parser;
  // The root's own help: app.help() would describe the help command itself.
  const std::string text =
      args.topic.empty()
          ? app.get_formatter()->make_help(&app, app.get_name(), CLI::AppFormatMode::Normal)
          : app.get_subcommand(args.topic)->help(app.get_name());  // as CMD --help says it
  std::fputs(text.c_str(), stdout);
  return Outcome::success();
}

// Options two commands share.
void addOutput(CLI::App& command, Args& args) {
  command
      .add_option("-o,--output", args.output, "Document to write (default or -: standard output)")
      ->type_name("FILE")
      ->check(accepting(isFileName));
}
void addFile(CLI::App& command, Args& args) {
  command.add_option("FILE", args.file, "Preset document (-: standard input)")
      ->required()
      ->type_name("FILE");
}

constexpr Command kCommands[] = {
    {"info", "Find the keyboard and print its firmware version", Needs::Keyboard, nullptr, nullptr,
     runInfo},
    {"read", "Read the whole keyboard and write it as a preset document", Needs::Keyboard,
     addOutput, nullptr, runRead},
    {"send", "Check a preset document and write it into a memory slot", Needs::Keyboard,
     [](CLI::App& command, Args& args) {
       addFile(command, args);
       command.add_option("--slot", args.slot, "Memory slot 1-9 (default: the document's)")
           ->type_name("N")
           ->check(accepting(isSlot));
       command.add_flag("--dry-run", args.dryRun,
                        "Send nothing: say what the slot holds and what would change");
     },
     nullptr, runSend},
    {"restore", "Send a history entry's preset again, into the slot it went to or --slot",
     Needs::Keyboard,
     [](CLI::App& command, Args& args) {
       command.add_option("ID", args.entryId, "History entry (see padkbd history)")
           ->required()
           ->type_name("ID")
           ->check(accepting(isEntryId));
       command.add_option("--slot", args.slot, "Memory slot 1-9 (default: the entry's)")
           ->type_name("N")
           ->check(accepting(isSlot));
     },
     nullptr, runRestore},
    {"slots", "Say what padkbd knows each of the keyboard's nine memory slots holds",
     Needs::Keyboard,
     [](CLI::App& command, Args& args) {
       command.add_flag("--json", args.json, "Print one JSON object");
     },
     nullptr, runSlots},
    {"history",
     "List the reads and sends recorded, newest first (with --simulate: the simulated "
     "keyboard's); show or compare an entry",
     Needs::History, addHistoryOptions, nullptr, runHistory},
    {"library",
     "List, search, add and tag the presets of the library (its folders: padkbd library folders)",
     Needs::Files, addLibraryOptions, refuseLibrary, runLibrary},
    {"set", "Make, show or send a set of nine: a library preset for each memory slot it fills",
     Needs::Keyboard, addSetOptions, refuseSet, runSet},
    {"monitor",
     "Print what the keyboard plays, a line a message, named by the controls of its settings",
     Needs::Keyboard, addMonitorOptions, nullptr, runMonitor},
    {"gains", "Send eight gains, each 0-127", Needs::Keyboard,
     [](CLI::App& command, Args& args) {
       // Any count: a wrong one is told with the count (see below).
       command.add_option("GAINS", args.gains, "G1 ... G8, each 0-127")
           ->expected(0, CLI::detail::expected_max_vector_size)
           ->type_name("G")
           ->check(accepting([](const std::string& text) {
             const auto gain = wholeNumber(text);
             return gain && *gain >= 0 && *gain <= 127;
           }));
     },
     [](const Args& args) {
       return args.gains.size() == 8
                  ? std::string()
                  : fmt::format(
                        "gains needs 8 gains, each 0-127, and got {}: padkbd gains G1 G2 "
                        "G3 G4 G5 G6 G7 G8",
                        args.gains.size());
     },
     runGains},
    {"export",
     "Write the names of the notes and controllers a preset's controls send, for DAWs (without "
     "PRESET: the keyboard's own settings)",
     Needs::Keyboard, addExportOptions, refuseExport, runExport},
    {"check", "Check preset documents", Needs::Files,
     [](CLI::App& command, Args& args) {
       command.add_option("FILE", args.files, "Preset documents (-: standard input)")
           ->required()
           ->type_name("FILE");
     },
     nullptr, runCheck},
    {"show", "Print a preset in readable form", Needs::Files,
     [](CLI::App& command, Args& args) {
       addFile(command, args);
       command.add_flag("--json", args.json, "Print one JSON object");
     },
     nullptr, runShow},
    {"diff", "Print every setting that differs between two presets", Needs::Files,
     [](CLI::App& command, Args& args) {
       command.add_option("A", args.file, "First preset document")->required()->type_name("A");
       command.add_option("B", args.second, "Second preset document")->required()->type_name("B");
     },
     nullptr, runDiff},
    {"default", "Write the shipped default preset", Needs::Files, addOutput, nullptr, runDefault},
    {"use", "Choose the keyboard (stored in the settings file), or show the one in force",
     Needs::Settings,
     [](CLI::App& command, Args& args) {
       command.add_option("VID:PID", args.useIds, "The keyboard's USB vendor:product id (hex)")
           ->type_name("VID:PID")
           ->check(usbIdsValidator());
       command.add_flag("--reset", args.reset, "Forget the stored keyboard: use the built-in one");
     },
     [](const Args& args) {
       const bool ids = !args.useIds.empty() || !args.keyboard.device.empty() ||
                        !args.keyboard.manufacturer.empty() || !args.keyboard.port.empty();
       return std::string(args.reset && ids
                              ? "use: --reset forgets the stored keyboard; give no ids with it"
                              : "");
     },
     runUse},
    {"devices", "List the USB MIDI devices, which one is in use and whether it can be opened",
     Needs::Keyboard,
     [](CLI::App& command, Args& args) {
       command.add_option("--udev-rule", args.udevIds, "Print only the udev rule for this device")
           ->type_name("VID:PID")
           ->check(usbIdsValidator());
     },
     nullptr, runDevices},
    {"help", "Show the help of padkbd or of one command", Needs::Files,
     [](CLI::App& command, Args& args) {
       command.add_option("COMMAND", args.topic, "A command")->type_name("COMMAND");
     },
     nullptr, runHelp},
};

}  // namespace

CLI::Validator usbIdsValidator() {
  return accepting([](const std::string& text) { return parseUsbIds(text).has_value(); });
}

CLI::Validator accepting(bool (*ok)(const std::string& value)) {
  // The value refused, quoted, is all the message: Cli.cpp says what was wanted.
  return CLI::Validator(
      [ok](const std::string& text) { return ok(text) ? std::string() : '"' + text + '"'; }, "");
}

std::optional<long long> wholeNumber(const std::string& text) {
  long long number = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, number);
  if (text.empty() || error != std::errc() || stop != end) return std::nullopt;
  return number;
}

bool isSlot(const std::string& text) {
  const auto slot = wholeNumber(text);
  return slot && *slot >= 1 && *slot <= 9;
}

bool isFileName(const std::string& text) {
  return text == kStdio || (!text.empty() && text[0] != '-');
}

bool isEntryId(const std::string& text) {
  const auto id = wholeNumber(text);
  return id && *id >= 1;
}

std::span<const Command> commands() {
  return kCommands;
}

std::vector<std::string> commandNames() {
  std::vector<std::string> names;
  for (const Command& command : commands()) names.emplace_back(command.name);
  return names;
}

}  // namespace padkbd::cli
