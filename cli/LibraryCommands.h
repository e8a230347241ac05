// The tool's side of the preset library (`library list|add|tag|show|folders`)
// and of sets of nine (`set make|show|send`).
#pragma once

#include <string>
#include <vector>

#include "cli/Commands.h"
#include "cli/Usage.h"
#include "library/Library.h"

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

// What the library's and the sets' commands share: the library's folders
// (its own, then those added), a damaged index told, the library looked at
// anew before it is used.
std::vector<std::filesystem::path> libraryFolders(const Context& context);
void tell(Context& context, Library& library);
Outcome look(Context& context, Library& library);

// A name the library does not know, or knows twice, is the user's slip.
template <typename T>
Result<T> asUsage(Context& context, Library& library, Result<T> result, std::string_view name) {
  if (result ||
      (result.code() != Code::LibraryNoPreset && result.code() != Code::LibraryAmbiguous)) {
    return result;
  }
  std::string reason = result.message();
  if (result.code() == Code::LibraryNoPreset) {
    if (const Result<std::vector<std::string>> names = library.names(); names) {
      reason += suggestion(name, *names);
    }
  } else {
    reason += " (name it by its path inside its library folder)";
  }
  tell(context, library);
  return Result<T>(Outcome::failure(Code::Usage, reason));
}

}  // namespace padkbd::cli
