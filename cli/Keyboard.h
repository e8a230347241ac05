// What every keyboard command does around its own work, written once: the
// keyboard in force, the way to it and the workflow over it (keyboard/),
// the tool's trace in front of it, Ctrl+C as a cancel, and the English
// words for a keyboard that is missing, refused or fails.
#pragma once

#include <functional>
#include <string>

#include "cli/Commands.h"
#include "cli/TraceLink.h"
#include "keyboard/Service.h"

namespace padkbd::cli {

// The keyboard in force: command line, then the settings file, then the
// build. A damaged settings file is a warning, and the built-in ids are used.
ResolvedKeyboard keyboardInForce(Context& context);

// The keyboard as a command's body gets it.
struct Keyboard {
  Reach& reach;
  TraceLink& trace;
  KeyboardService& service;
  const ResolvedKeyboard& inForce;

  // Whether Ctrl+C (or SIGTERM, SIGHUP) asked to stop.
  bool cancelled() const;
  const std::atomic<bool>& cancelFlag() const;
  // A failed exchange in the user's words: the cancel as the protocol says
  // it, the missing keyboard with what is there instead, a refused or held
  // keyboard with its fix, else "what: the core's reason".
  Outcome failed(const Outcome& exchange, const std::string& what, const char* joiner = ": ");
};

// Runs `body` with the keyboard in force, its simulated keyboard's state
// file taken for the whole command; a failure after a signal asked to stop
// is a cancel.
Outcome withKeyboard(Context& context, const Args& args,
                     const std::function<Outcome(Keyboard&)>& body);

}  // namespace padkbd::cli
