// What every keyboard command does around its own work, written once: the
// keyboard in force, the session over it (a simulated controller's state file
// loaded and saved), finding the keyboard and the handshake, the words for a
// keyboard that is missing or fails, and a stop asked for by a signal.
#pragma once

#include <functional>
#include <string>

#include "cli/Commands.h"
#include "cli/Device.h"

namespace padkbd::cli {

// The keyboard in force: command line, then the settings file, then the
// build. A damaged settings file is a warning, and the built-in ids are used.
ResolvedKeyboard keyboardInForce(Context& context);

// The keyboard as a command's body gets it.
struct Keyboard {
  DeviceSession& session;
  const ResolvedKeyboard& inForce;

  // Finds the keyboard, opens its interface and completes a handshake.
  Outcome connect();
  // A failed exchange in the user's words: cancelled when a signal stopped
  // it, the missing keyboard when it is gone, a refused access with its fix,
  // else "what: the core's reason".
  Outcome failed(const Outcome& exchange, const std::string& what) const;
};

// Runs `body` on a session with the keyboard in force, then saves the
// simulated controller's state; a failure after a signal asked to stop is a
// cancel.
Outcome withKeyboard(Context& context, const Args& args,
                     const std::function<Outcome(Keyboard&)>& body);

}  // namespace padkbd::cli
