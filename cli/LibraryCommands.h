// The tool's side of the preset library (`library list|add|tag|show|folders`)
// and of sets of nine (`set make|show|send`).
#pragma once

#include <string>
#include <vector>

#include "cli/Commands.h"

namespace padkbd::cli {

void addLibraryOptions(CLI::App& command, Args& args);
std::string refuseLibrary(const Args& args);
Ending runLibrary(Context& context, const Args& args);
void addSetOptions(CLI::App& command, Args& args);
std::string refuseSet(const Args& args);
Ending runSet(Context& context, const Args& args);

// `library tag NAME +TAG -TAG`: the +TAG and -TAG words, which the parser
// would take for options, are taken out of the words first. -q, -v and -h
// stay options (--remove q removes a tag "q").
std::vector<std::string> takeTagChanges(const std::vector<std::string>& words, Args& args);

}  // namespace padkbd::cli
