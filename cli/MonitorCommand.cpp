#include "cli/MonitorCommand.h"

#include <fmt/format.h>
#include <CLI/CLI.hpp>

#include <cstdio>
#include <thread>

#include "cli/Documents.h"
#include "cli/HistoryCommands.h"
#include "cli/Keyboard.h"
#include "history/SendPreview.h"
#include "link/Listener.h"
#include "session/PlayMatch.h"

namespace padkbd::cli {

namespace {

// How long one wait for the keyboard lasts; Ctrl+C ends it at once.
constexpr std::chrono::milliseconds kSlice{250};

// The settings the played messages are matched with: the document's, or
// the keyboard's own, read first (and recorded as any read).
Result<Preset> settingsToMatch(const Args& args, Keyboard& keyboard) {
  if (!args.file.empty()) {
    Result<Preset> read = readDocument(args.file);
    if (!read) return read.outcome().as(TextId::Because, {nameOf(args.file)});
    return read;
  }
  Result<KeyboardRead> read = keyboard.service.read();
  if (!read) return keyboard.failed(read.outcome(), "reading the controller failed");
  return std::move(read->preset);
}

}  // namespace

void addMonitorOptions(CLI::App& command, Args& args) {
  command
      .add_option("--preset", args.file,
                  "Name the controls by this document's settings instead of reading the keyboard")
      ->type_name("FILE")
      ->check(accepting(isFileName));
  command.add_flag("--json", args.json, "Print one JSON object a message");
}

Ending runMonitor(Context& context, const Args& args) {
  const ChoiceLists lists = choiceLists(context);
  const auto names = lists.find("buttonName");
  const std::vector<std::string> controlNames =
      names == lists.end() ? std::vector<std::string>() : names->second;
  return withKeyboard(context, args, [&](Keyboard& keyboard) -> Outcome {
    KeyboardService& service = keyboard.service;
    Result<Preset> settings = settingsToMatch(args, keyboard);
    if (!settings) return settings.outcome();
    if (keyboard.cancelled()) return Outcome::success();
    if (Outcome started = service.startListening(); !started) {
      return keyboard.failed(started, "listening to the keyboard failed");
    }
    context.console.note(keyboard.reach.rawUsb()
                             ? "listening; other programs cannot use the keyboard until Ctrl+C"
                             : "listening; Ctrl+C stops");
    PlayMatcher matcher(std::move(*settings));
    bool printed = true;
    const auto heard = [&](const usbmidi::ChannelMessage& message) {
      if (!printed) return;
      const Heard match = matcher.match(message);
      const std::string line =
          (args.json ? heardJson(match, controlNames) : english(heardText(match, controlNames))) + "\n";
      // Each line as it comes, even into a pipe; a reader that went away ends it.
      printed = std::fputs(line.c_str(), stdout) >= 0 && std::fflush(stdout) == 0;
    };
    while (!keyboard.cancelled()) {
      const Outcome listened =
          service.listen(LinkClock::now() + kSlice, &keyboard.cancelFlag(), heard);
      if (!printed) return Outcome::failure("");
      if (!listened) {
        const bool gone = listened.code() == Code::LinkGone;
        return Outcome::failure(
            listened.code(), fmt::format("listening stopped: {}",
                                         gone ? "the keyboard went away" : listened.message()));
      }
      // A link that does not wait returns at once when nothing came.
      if (!keyboard.reach.waits()) std::this_thread::sleep_for(kSlice / 10);
    }
    // Ctrl+C is how listening ends: the keyboard goes back to the system.
    service.stopListening();
    return Outcome::success();
  });
}

}  // namespace padkbd::cli
