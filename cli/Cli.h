// The padkbd command line: parses the arguments and runs one command.
#pragma once

#include <functional>
#include <memory>

#include "keyboard/Reach.h"

namespace padkbd::cli {

// Returns the process exit status: 0 done, 1 refused or failed, 2 a usage
// error (one line on standard error) or, for `diff`, an unreadable preset.
// With `link` the device commands use what it makes instead of USB or the
// simulated controller of --simulate; a state file of --simulate=STATEFILE
// still applies when it makes a simulated controller.
int run(int argc, char** argv, const LinkFactory& link = {});

using padkbd::LinkFactory;

}  // namespace padkbd::cli
