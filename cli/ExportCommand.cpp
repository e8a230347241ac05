#include "cli/ExportCommand.h"

#include <fmt/format.h>

#include <CLI/CLI.hpp>
#include <filesystem>

#include "cli/Documents.h"
#include "cli/Keyboard.h"
#include "storage/Midnam.h"

namespace padkbd::cli {

void addExportOptions(CLI::App& command, Args& args) {
  command.add_option("PRESET", args.file, "Preset document (-: standard input)")
      ->type_name("PRESET");
  command.add_option("--midnam", args.midnam, "MIDNAM document to write (-: standard output)")
      ->required()
      ->type_name("FILE")
      ->check(accepting(isFileName));
}

std::string refuseExport(const Args& args) {
  const char* name = args.file.empty() ? nullptr : deviceOptionGiven(args, Needs::Files);
  if (name == nullptr) return std::string();
  return fmt::format("export: {} applies to the keyboard's own settings, not to PRESET", name);
}

Ending runExport(Context& context, const Args& args) {
  const std::vector<std::string> names = controlNames(context);
  if (!args.file.empty()) {
    const Result<Preset> read = readDocument(args.file);
    if (!read) return read.outcome().as(TextId::Because, {nameOf(args.file)});
    const std::string name =
        args.file == kStdio ? "" : std::filesystem::path(args.file).stem().string();
    return writeText(args.midnam, midnamDocument(*read, names, name));
  }
  return withKeyboard(context, args, [&](Keyboard& keyboard) -> Outcome {
    const Result<KeyboardRead> read = keyboard.service.read();
    if (!read) return keyboard.failed(read.outcome(), "reading the controller failed");
    return writeText(args.midnam, midnamDocument(read->preset, names, ""));
  });
}

}  // namespace padkbd::cli
