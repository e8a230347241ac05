// Standard error of the tool: diagnostic lines, errors and the progress line
// share it, and none may garble another.
#include "cli/Console.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "model/Log.h"

namespace padkbd::cli {
namespace {

// A FILE* whose contents the test can read back.
class Captured {
 public:
  Captured() : file_(std::tmpfile()) {}
  ~Captured() { std::fclose(file_); }
  std::FILE* file() { return file_; }
  std::string text() {
    std::fflush(file_);
    std::rewind(file_);
    std::string text;
    for (int c; (c = std::fgetc(file_)) != EOF;) text.push_back(static_cast<char>(c));
    return text;
  }

 private:
  std::FILE* file_;
};

TEST(Console, ProgressIsClearedBeforeEachLineAndRedrawnAfter) {
  Captured err;
  {
    Console console(err.file(), Verbosity::Verbose, true);
    console.progress("reading", 1, 598);
    console.diagnostic("Read 16 bytes from bulk endpoint");
    console.progress("reading", 2, 598);
    console.endProgress();
  }
  EXPECT_EQ(err.text(),
            "reading 1/598\r\x1b[KRead 16 bytes from bulk endpoint\nreading 1/598"
            "\r\x1b[Kreading 2/598\r\x1b[K");
}

TEST(Console, EachVerbosityShowsItsOwnLinesAndErrorsAlwaysShow) {
  const auto run = [](Verbosity verbosity, bool terminal) {
    Captured err;
    {
      Console console(err.file(), verbosity, terminal);
      console.captureLog();
      console.progress("reading", 1, 598);
      log::diag("handshake yes");
      console.warning("2 settings replaced");
      console.note("sent");
      console.error("no controller found");
      console.endProgress();
    }
    return err.text();
  };
  EXPECT_EQ(run(Verbosity::Verbose, false),
            "handshake yes\npadkbd: warning: 2 settings replaced\nsent\npadkbd: no controller found\n");
  EXPECT_EQ(run(Verbosity::Normal, false),
            "padkbd: warning: 2 settings replaced\nsent\npadkbd: no controller found\n");
  EXPECT_EQ(run(Verbosity::Quiet, true), "padkbd: no controller found\n");
  // Below -v nothing of the log is even formatted; the log is back on after.
  {
    Captured err;
    Console console(err.file(), Verbosity::Normal, false);
    console.captureLog();
    EXPECT_FALSE(log::enabled(log::Channel::Diagnostic));
    EXPECT_FALSE(log::enabled(log::Channel::Output));
  }
  EXPECT_TRUE(log::enabled(log::Channel::Diagnostic));
}

TEST(Console, TransportTextIsJoinedIntoWholeLinesOnStandardError) {
  Captured err;
  {
    Console console(err.file(), Verbosity::Verbose, false);
    console.captureLog();
    log::out("PipeRef %d: ", 1);
    log::out("direction %s, ", "in");
    log::out("transfer type %s, maxPacketSize %d\n", "bulk", 64);
    log::diag("handshake yes");
    log::out("Wrote %d bytes to bulk endpoint\nunfinished", 8);
  }
  EXPECT_EQ(err.text(),
            "PipeRef 1: direction in, transfer type bulk, maxPacketSize 64\nhandshake yes\n"
            "Wrote 8 bytes to bulk endpoint\nunfinished\n");
  // The log module is back to its own sink afterwards.
  log::Capture capture;
  log::diag("after");
  EXPECT_EQ(capture.count("after"), 1u);
}

}  // namespace
}  // namespace padkbd::cli
