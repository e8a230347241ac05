// The padkbd command line: parses the arguments and runs one command.
#pragma once

namespace padkbd::cli {

// Returns the process exit status: 0 done, 1 refused or failed, 2 a usage
// error (one line on standard error) or, for `diff`, an unreadable preset.
int run(int argc, char** argv);

}  // namespace padkbd::cli
