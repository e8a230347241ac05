// `padkbd export --midnam FILE [PRESET]`: the names of the notes and
// controllers a preset's controls send, as a MIDNAM document for DAWs; without
// a document, of the keyboard's own settings (read first, as monitor does).
#pragma once

#include <string>

#include "cli/Commands.h"

namespace padkbd::cli {

void addExportOptions(CLI::App& command, Args& args);
// A device option beside PRESET: the keyboard is not read then.
std::string refuseExport(const Args& args);
Ending runExport(Context& context, const Args& args);

}  // namespace padkbd::cli
