#include "cli/Keyboard.h"

#include <fmt/format.h>

namespace padkbd::cli {

ResolvedKeyboard keyboardInForce(Context& context) {
  ResolvedKeyboard resolved = resolveKeyboard(context.settings.read(), context.commandLine);
  if (!resolved.warning.empty()) context.console.warning(resolved.warning);
  return resolved;
}

Outcome Keyboard::connect() {
  if (Outcome found = session.find(); !found) return found;
  if (Outcome opened = session.pad().OpenInterface(); !opened) {
    return failed(opened, "opening the controller failed");
  }
  return Outcome::success();
}

Outcome Keyboard::failed(const Outcome& exchange, const std::string& what) const {
  const std::string& detail = exchange.message();
  // The protocol words a cancel whole ("cancelled after 212 of 598 settings…").
  if (exchange.wasCancelled()) {
    return Outcome::cancelled(detail.empty() ? std::string("cancelled") : detail);
  }
  if (!session.transport().hasDevice()) return Outcome::failure(session.notFoundReason());
  return Outcome::failure(
      session.explain(detail.empty() ? what : fmt::format("{}: {}", what, detail)));
}

Outcome withKeyboard(Context& context, const Args& args,
                     const std::function<Outcome(Keyboard&)>& body) {
  const ResolvedKeyboard inForce = keyboardInForce(context);
  DeviceSession session(args.device, inForce.id, context.resourceDir, context.console);
  if (Outcome started = session.start(); !started) return started;
  Keyboard keyboard{session, inForce};
  Outcome done = body(keyboard);
  // Saved whatever happened: what a failed send wrote is in the slots now.
  if (Outcome saved = session.finish(); !saved) {
    if (!done.message().empty()) context.console.error(done.message());
    return saved;
  }
  // Whatever failed once a signal asked to stop (the output, the check of
  // what was read) ends as the stop.
  if (!done && !done.wasCancelled() && session.cancelled()) {
    return Outcome::cancelled(done.message());
  }
  return done;
}

}  // namespace padkbd::cli
