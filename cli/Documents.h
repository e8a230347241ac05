// Preset documents in and out of the tool: a file, or "-" for standard input
// or output.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "cli/Commands.h"
#include "session/PresetReport.h"
#include "storage/FileAction.h"

namespace padkbd::cli {

inline constexpr const char* kStdio = "-";

// Reads a preset document and checks it.
Result<Preset> readDocument(const std::string& file);
// The file's name for the user: "standard input" for "-".
std::string nameOf(const std::string& file);

// Writes a preset as a document: to standard output for "" or "-", else
// atomically to the file; a failure names where.
Outcome writeDocument(const std::string& output, const ButtonValueList& buttons,
                      const PadValue& global);
// The same for a document's text as it is.
Outcome writeText(const std::string& output, std::string_view text);
// Writes a command's result to standard output. A failure has no message:
// there is nothing more to say than the status.
Outcome printResult(std::string_view text);

// The labels of the settings' choices; numbers (and a diagnostic line) when
// the resource directory has none.
ChoiceLists choiceLists(Context& context);
// The controls' names by index, as the window gives them ("Pad 6"); empty
// when the resource directory has none.
std::vector<std::string> controlNames(Context& context);

}  // namespace padkbd::cli
