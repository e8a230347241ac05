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

class Console {
 public:
  // `quiet` silences diagnostic and transport lines (errors and an explicitly
  // requested trace still show). Progress is drawn only on a terminal.
  Console(std::FILE* err, bool quiet, bool terminal);
  ~Console();
  Console(const Console&) = delete;
  Console& operator=(const Console&) = delete;

  // Routes the log module (both of its channels) to this console until
  // destruction.
  void captureLog();

  // One line, always shown ("padkbd: " is prefixed to errors by the caller).
  void line(std::string_view text);
  void error(std::string_view text);
  // A diagnostic line: hidden under -q.
  void diagnostic(std::string_view text);

  // Progress, redrawn in place: "reading 312/598". Ignored off a terminal and
  // under -q. endProgress() clears it.
  void progress(std::string_view what, std::size_t done, std::size_t total);
  void endProgress();

  bool quiet() const { return quiet_; }
  bool showsProgress() const { return terminal_ && !quiet_; }

 private:
  void clearProgress();
  void redrawProgress();
  void onLog(log::Channel channel, std::string_view text);

  std::FILE* err_;
  bool quiet_;
  bool terminal_;
  bool capturing_ = false;
  log::Sink previous_;
  std::string progressText_;  // shown on the last line while non-empty
  bool progressShown_ = false;
  std::string pendingOutput_;  // the transport's text up to its next line feed
};

}  // namespace padkbd::cli
