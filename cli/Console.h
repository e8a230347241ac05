// Standard error of the command-line tool. Everything that is not the
// command's result goes here: diagnostic lines, the transport's printed lines,
// the transfer trace, progress and errors. Standard output is left to the
// result alone (a document, JSON, a listing), so it can be piped.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "model/Log.h"

namespace padkbd::cli {

// How much goes to standard error besides the result and errors: -q keeps
// errors alone; by default warnings and progress show too; -v adds the
// diagnostic lines of the transport and the synchronisation.
enum class Verbosity { Quiet, Normal, Verbose };

class Console {
 public:
  // Progress is drawn only on a terminal. An explicitly requested trace
  // shows whatever the verbosity.
  Console(std::FILE* err, Verbosity verbosity, bool terminal);
  ~Console();
  Console(const Console&) = delete;
  Console& operator=(const Console&) = delete;

  // Routes the log module (both of its channels) to this console until
  // destruction; below Verbose the log is switched off, so its lines are not
  // even formatted.
  void captureLog();

  // One line, always shown.
  void line(std::string_view text);
  // "padkbd: TEXT", always shown.
  void error(std::string_view text);
  // "padkbd: warning: TEXT", hidden under -q.
  void warning(std::string_view text);
  // What a command did ("sent ... to memory slot 3"), hidden under -q.
  void note(std::string_view text);
  // A diagnostic line: shown only with -v.
  void diagnostic(std::string_view text);

  // Progress, redrawn in place: "reading 312/598". Ignored off a terminal and
  // under -q. endProgress() clears it.
  void progress(std::string_view what, std::size_t done, std::size_t total);
  // The same with a line of its own ("Memory 4 of 6 · 212 of 598").
  void progress(std::string_view text);
  void endProgress();

  bool verbose() const { return verbosity_ == Verbosity::Verbose; }
  bool showsProgress() const { return terminal_ && verbosity_ != Verbosity::Quiet; }

 private:
  void clearProgress();
  void redrawProgress();
  void onLog(log::Channel channel, std::string_view text);

  std::FILE* err_;
  Verbosity verbosity_;
  bool terminal_;
  bool capturing_ = false;
  log::Sink previous_;
  bool previousDiagnostics_ = true;
  bool previousOutput_ = true;
  std::string progressText_;  // shown on the last line while non-empty
  bool progressShown_ = false;
  std::string pendingOutput_;  // the transport's text up to its next line feed
};

}  // namespace padkbd::cli
