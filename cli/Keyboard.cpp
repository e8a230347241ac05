#include "cli/Keyboard.h"

#include <fmt/format.h>

#include "storage/TempFiles.h"

namespace padkbd::cli {
namespace {

// Outlives every command: a signal that comes after the exchange, while
// the tool says how it went or exits, must find a flag, not end the program
// with another status than the one told. (A second signal ends it at once.)
std::atomic<bool>& signalFlag() {
  static std::atomic<bool> flag{false};
  return flag;
}

// The tool's words for a keyboard that is not there.
std::string absenceText(const Absence& absence) {
  if (absence.usbUnavailable) {
    return fmt::format("USB is not available on this machine ({})",
                       english(*absence.usbUnavailable));
  }
  if (absence.way == Way::Port) {
    const MidiPortListing& listing = absence.ports;
    std::string names;
    for (const MidiPort& port : listing.ports) names += (names.empty() ? "" : ", ") + port.name;
    return fmt::format(
        "no MIDI port whose name contains \"{}\" ({}: \"padkbd devices\" lists them, \"padkbd "
        "use --port NAME\" chooses another)",
        absence.keyboard.port,
        !listing.listed ? "the MIDI ports cannot be listed: " + listing.listed.message()
        : names.empty() ? std::string("there are no MIDI ports")
                        : "the ports are " + names);
  }
  return fmt::format(
      "no keyboard found with USB id {}: is it plugged in? (\"padkbd devices\" lists the USB "
      "MIDI devices, \"padkbd use VID:PID\" chooses another)",
      formatUsbIds(absence.keyboard.usb));
}

// The tool's words for what the history said of an exchange.
void tell(Console& console, const HistoryNote& note) {
  if (note.notice) console.warning(english(*note.notice));
  if (!note.notKept) {
    console.warning(fmt::format("the {} was not recorded in the history: {}",
                                note.kind == EntryKind::Read ? "read" : "send",
                                note.notKept.message()));
  }
}

}  // namespace

ResolvedKeyboard keyboardInForce(Context& context) {
  ResolvedKeyboard resolved = resolveKeyboard(context.settings.read(), context.commandLine);
  if (!resolved.warning.empty()) context.console.warning(resolved.warning);
  return resolved;
}

bool Keyboard::cancelled() const {
  return signalFlag().load();
}

const std::atomic<bool>& Keyboard::cancelFlag() const {
  return signalFlag();
}

Outcome Keyboard::failed(const Outcome& exchange, const std::string& what, const char* joiner) {
  // The protocol words a cancel whole ("cancelled after 212 of 598 settings…").
  if (exchange.wasCancelled()) {
    return Outcome::cancelled(exchange.message().empty() ? std::string("cancelled")
                                                         : exchange.message());
  }
  const Advice advice = service.advice(exchange);
  switch (advice.kind) {
    case Advice::Kind::PlugIn:
      return Outcome::failure(exchange.code(), absenceText(advice.absence));
    case Advice::Kind::AllowAccess:
      return Outcome::failure(
          exchange.code(),
          fmt::format("no permission to open the keyboard (USB id {0}): \"padkbd devices\" "
                      "prints the udev rule that allows it and how to install it",
                      formatUsbIds(reach.keyboard().usb)));
    case Advice::Kind::CloseOther:
      return Outcome::failure(
          exchange.code(),
          "the keyboard's interface is busy: another program holds it (close the padkbd editor "
          "or any other program using the keyboard, then try again)");
    case Advice::Kind::None:
      break;
  }
  const std::string& detail = exchange.message();
  return Outcome::failure(exchange.code(),
                          detail.empty() ? what : fmt::format("{}{}{}", what, joiner, detail));
}

Outcome withKeyboard(Context& context, const Args& args,
                     const std::function<Outcome(Keyboard&)>& body) {
  const ResolvedKeyboard inForce = keyboardInForce(context);
  ReachOptions options = context.reach;
  options.makeLink = args.link;
  padkbd::Reach reach(options, inForce.id);
  TraceLink trace(reach, context.console, args.trace);
  KeyboardService service(reach, trace, context.resourceDir, &context.history);
  // Ctrl+C stops an exchange cleanly: the interface goes back to the system.
  signalFlag() = false;
  service.setCancelFlag(&signalFlag());
  tempfiles::cancelOnSignal(&signalFlag());
  service.setHistoryNotes([&context](const HistoryNote& note) { tell(context.console, note); });
  // Waits for another run that uses the state file, and loads it.
  if (Outcome begun = reach.begin(); !begun) return begun;
  Keyboard keyboard{reach, trace, service, inForce};
  Outcome done = body(keyboard);
  if (Outcome saved = reach.end(); !saved) {
    if (!done.message().empty()) context.console.error(done.message());
    return saved;
  }
  // Whatever failed once a signal asked to stop (the output, the check of
  // what was read) ends as the stop.
  if (!done && !done.wasCancelled() && keyboard.cancelled()) {
    return Outcome::failure(Code::Cancelled, done.text());
  }
  return done;
}

}  // namespace padkbd::cli
