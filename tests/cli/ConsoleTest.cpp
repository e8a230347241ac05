// Standard error of the tool: diagnostic lines, errors and the progress line
// share it, and none may garble another.
#include "cli/Console.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "model/Log.h"

namespace padkbd::cli {
namespace {

// What a console writes while it shows progress and gets every kind of line.
std::string written(Verbosity verbosity, bool terminal) {
  std::FILE* file = std::tmpfile();
  {
    Console console(file, verbosity, terminal);
    console.captureLog();
    console.progress("reading", 1, 598);
    log::out("PipeRef %d: ", 1);  // the transport prints a line in pieces
    log::out("direction %s\n", "in");
    log::out("two\nlines\n");
    log::diag("handshake yes");
    console.warning("2 settings replaced");
    console.note("sent");
    console.error("no keyboard found");
    log::out("unfinished");
    // Below -v nothing of the log is even formatted.
    EXPECT_EQ(log::enabled(log::Channel::Diagnostic), verbosity == Verbosity::Verbose);
    EXPECT_EQ(log::enabled(log::Channel::Output), verbosity == Verbosity::Verbose);
  }
  std::rewind(file);
  std::string text;
  for (int c; (c = std::fgetc(file)) != EOF;) text.push_back(static_cast<char>(c));
  std::fclose(file);
  return text;
}

TEST(Console, EachVerbosityShowsItsLinesWholeAndTheProgressLineAroundThem) {
  // On a terminal the progress line is cleared before each line and drawn again after.
  std::string progress = "reading 1/598";
  for (const char* line : {"PipeRef 1: direction in", "two", "lines", "handshake yes",
                           "padkbd: warning: 2 settings replaced", "sent",
                           "padkbd: no keyboard found", "unfinished"}) {
    progress += std::string("\r\x1b[K") + line + "\nreading 1/598";
  }
  EXPECT_EQ(written(Verbosity::Verbose, true), progress + "\r\x1b[K");
  EXPECT_EQ(written(Verbosity::Normal, false),
            "padkbd: warning: 2 settings replaced\nsent\npadkbd: no keyboard found\n");
  EXPECT_EQ(written(Verbosity::Quiet, true), "padkbd: no keyboard found\n");
  EXPECT_TRUE(log::enabled(log::Channel::Diagnostic)) << "given back afterwards";
}

}  // namespace
}  // namespace padkbd::cli
