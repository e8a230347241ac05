// `padkbd monitor`: what the keyboard plays, one line a message, named by
// the controls of its settings (read from it, or taken from a document).
#pragma once

#include "cli/Commands.h"

namespace padkbd::cli {

void addMonitorOptions(CLI::App& command, Args& args);
Ending runMonitor(Context& context, const Args& args);

}  // namespace padkbd::cli
