#include "cli/Documents.h"

#include <fmt/format.h>

#include <cstdio>
#include <utility>

namespace padkbd::cli {
namespace {

bool writeStdout(std::string_view text) {
  const bool written = std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
  return std::fflush(stdout) == 0 && written && !std::ferror(stdout);
}

}  // namespace

Result<Preset> readDocument(const std::string& file) {
  if (file != kStdio) return readPresetFile(file);
  std::string bytes;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, stdin)) > 0;) {
    bytes.append(buffer, n);
    if (bytes.size() > kMaxPresetFileBytes) {
      return Result<Preset>::failure(
          fmt::format("more than {} bytes: not a preset document", kMaxPresetFileBytes));
    }
  }
  if (std::ferror(stdin)) return Result<Preset>::failure("standard input could not be read");
  return parsePreset(bytes);
}

std::string nameOf(const std::string& file) {
  return file == kStdio ? std::string("standard input") : file;
}

Outcome writeDocument(const std::string& output, const ButtonValueList& buttons,
                      const PadValue& global) {
  return writeText(output, presetToXml(buttons, global));
}

Outcome writeText(const std::string& output, std::string_view text) {
  if (output.empty() || output == kStdio) {
    if (!writeStdout(text)) return Outcome::failure("standard output could not be written");
    return Outcome::success();
  }
  // The message names the file.
  return writeFileAtomically(output, text);
}

Outcome printResult(std::string_view text) {
  return writeStdout(text) ? Outcome::success() : Outcome::failure("");
}

ChoiceLists choiceLists(Context& context) {
  FileAction files(context.resourceDir, {});
  ChoiceLists lists = files.readChoiceLists();
  if (lists.empty()) {
    context.console.diagnostic(
        fmt::format("choice labels not found (basic.plist in {}): showing numbers",
                    context.resourceDir.string()));
  }
  return lists;
}

std::vector<std::string> controlNames(Context& context) {
  const ChoiceLists lists = choiceLists(context);
  const auto names = lists.find("buttonName");
  return names == lists.end() ? std::vector<std::string>() : names->second;
}

}  // namespace padkbd::cli
