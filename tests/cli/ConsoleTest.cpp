// Standard error of the tool: diagnostic lines, errors and the progress line
// share it, and none may garble another; how a command ended decides the
// exit status and the one error line.
#include "cli/Console.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "cli/Usage.h"
#include "model/Log.h"

namespace padkbd::cli {
namespace {

// What `write` puts on a console, with the console given to it.
template <typename Write>
std::string shown(Verbosity verbosity, bool terminal, Write write) {
  std::FILE* file = std::tmpfile();
  {
    Console console(file, verbosity, terminal);
    write(console);
  }
  std::rewind(file);
  std::string text;
  for (int c; (c = std::fgetc(file)) != EOF;) text.push_back(static_cast<char>(c));
  std::fclose(file);
  return text;
}

// What a console writes while it shows progress and gets every kind of line.
std::string written(Verbosity verbosity, bool terminal) {
  return shown(verbosity, terminal, [&](Console& console) {
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
  });
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

// Every code, whatever status the command gives its failures: success is 0
// and silent; a cancel is 128 + its signal (Ctrl+C's without one); a usage
// error 2; any other failure the command's status. The message, if any, is
// the one line said, even under -q.
TEST(Ending, EveryCodeGivesItsStatusAndOneLine) {
  for (int c = 0; c <= static_cast<int>(Code::Other); ++c) {
    const Code code = static_cast<Code>(c);
    // Its domain is the first word of its name; success and a cancel have none.
    const std::string name(codeName(code));
    const char* const domains[] = {"",        "link",    "keyboard", "file",
                                   "history", "library", "usage",    "other"};
    EXPECT_EQ(domains[static_cast<int>(domainOf(code))],
              c <= static_cast<int>(Code::Cancelled) ? "" : name.substr(0, name.find('-')));
    for (const int failed : {kExitFailed, kExitUsage}) {
      for (const std::string message : {"", "the keyboard went away"}) {
        SCOPED_TRACE(testing::Message() << codeName(code) << ", " << failed << ", " << message);
        const Ending ending(code == Code::Ok ? Outcome::success() : Outcome::failure(code, message),
                            failed);
        int status = -1;
        const std::string said = shown(Verbosity::Quiet, false, [&](Console& console) {
          status = exitStatus(console, ending);
        });
        const int wanted = code == Code::Ok          ? kExitOk
                           : code == Code::Cancelled ? 128 + SIGINT
                           : code == Code::Usage     ? kExitUsage
                                                     : failed;
        EXPECT_EQ(status, wanted);
        EXPECT_EQ(said, code == Code::Ok || message.empty() ? "" : "padkbd: " + message + "\n");
      }
    }
  }
  const Code unknown = static_cast<Code>(static_cast<int>(Code::Other) + 1);  // one past
  EXPECT_EQ(std::string(codeName(unknown)) + " " + std::to_string(int(domainOf(unknown))),
            "other 7");
}

}  // namespace
}  // namespace padkbd::cli
