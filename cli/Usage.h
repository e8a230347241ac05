// Usage errors in the tool's words: one line that says what was given, what
// is wanted and how the command is used, with a suggestion for a slip.
#pragma once

#include <CLI/CLI.hpp>
#include <string>
#include <string_view>
#include <vector>

#include "cli/Commands.h"

namespace padkbd::cli {

// A usage error of our own making, with the one line that says why, and the
// command whose help tells more ("" for the tool's).
struct UsageError {
  std::string reason;
  std::string command;
};

// Edit distance for "did you mean": a letter left out, added or changed, or two
// neighbours swapped, is one slip each (optimal string alignment).
std::size_t editDistance(std::string_view a, std::string_view b);
// "a, b and c" (`last` joins the last two).
std::string joined(const std::vector<std::string>& words, const char* last = ", ");
// "; did you mean "read"?" when one candidate is closest and close enough, else
// "": two equally close are a guess the tool does not make.
std::string suggestion(std::string_view typed, const std::vector<std::string>& candidates);
// The line for a word that names no command, and for no command at all.
std::string unknownCommand(const std::string& word);
std::string commandRequired();
// The command the words chose, the innermost ("show" of "history show"); none
// when they chose none.
CLI::App* chosenCommand(CLI::App& app);
// The one line for a usage error CLI11 found, in our words.
std::string usageReason(CLI::App& app, const std::vector<std::string>& args,
                        const CLI::ParseError& error);
// Throws UsageError for words nobody took: an option of another command, or
// given before its own command's word; an unknown option; a word too many.
void refuseExtras(CLI::App& app, CLI::App* command);

}  // namespace padkbd::cli
