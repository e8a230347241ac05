// Usage errors: the one line that says what is wrong with a command line,
// with the closest name for a near miss.
#pragma once

#include <CLI/CLI.hpp>
#include <string>
#include <string_view>
#include <vector>

namespace padkbd::cli {

// A usage error of our own making, with the one line that says why.
struct UsageError {
  std::string reason;
};

// "; did you mean "read"?" when one candidate is close enough, else "".
std::string suggestion(std::string_view typed, const std::vector<std::string>& candidates);

// "unknown command "WORD"; did you mean ... (commands: ...)", and the line
// for no command at all.
std::string unknownCommand(const std::string& word);
std::string commandRequired();

// The line for an error CLI11 found: which command it concerns and why.
std::string usageReason(CLI::App& app, const std::vector<std::string>& args,
                        const CLI::ParseError& error);

// Throws a UsageError for a word nobody took: an unknown option (with the
// closest known one) or a word too many.
void refuseExtras(CLI::App& app, CLI::App* command);

// Checks a USB vendor:product id in hexadecimal.
CLI::Validator usbIdsValidator();

}  // namespace padkbd::cli
