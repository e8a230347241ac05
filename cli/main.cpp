// padkbd: the command-line tool over the same core as the editor.
#include "cli/Cli.h"

int main(int argc, char** argv) {
  return padkbd::cli::run(argc, argv);
}
