// The padkbd command line: parses the arguments and runs one command.
#pragma once

#include <functional>
#include <memory>

#include "link/Link.h"
#include "model/KeyboardId.h"

namespace padkbd::cli {

// Makes the link the device commands talk through, for the keyboard in force.
using LinkFactory = std::function<std::unique_ptr<Link>(const KeyboardId&)>;

// Returns the process exit status: 0 done, 1 refused or failed, 2 a usage
// error (one line on standard error) or, for `diff`, an unreadable preset.
// With `link` the device commands use what it makes instead of USB or the
// simulated controller of --simulate; a state file of --simulate=STATEFILE
// still applies when it makes a simulated controller.
int run(int argc, char** argv, const LinkFactory& link = {});

}  // namespace padkbd::cli
