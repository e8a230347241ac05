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
// the keyboard's own, read first.
Result<Preset> settingsToMatch(Context& context, const Args& args, Keyboard& keyboard) {
  if (!args.file.empty()) {
    Result<Preset> read = readDocument(args.file);
    if (!read) return Outcome::failure(fmt::format("{}: {}", nameOf(args.file), read.message()));
    return read;
  }
  DeviceSession& session = keyboard.session;
  if (Outcome connected = keyboard.connect(); !connected) return connected;
  const Outcome read = session.pad().ReadPadValueFromDevice();
  if (!read) return keyboard.failed(read, "reading the controller failed");
  const CurrentPreset& current = session.pad().currentPreset();
  Preset preset{current.buttonValueArray, current.currentPadValue};
  remember(context, readEntry(session.historyKey(), session.pad().deviceVersion(), preset));
  return preset;
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
    DeviceSession& session = keyboard.session;
    Result<Preset> settings = settingsToMatch(context, args, keyboard);
    if (!settings) return settings.outcome();
    if (session.cancelled()) return Outcome::success();
    Listener listener(session.transport());
    if (Outcome started = listener.start(); !started) {
      if (!session.transport().hasDevice()) return Outcome::failure(session.notFoundReason());
      return keyboard.failed(started, "listening to the keyboard failed");
    }
    context.console.note(session.rawUsb()
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
    while (!session.cancelled()) {
      const Outcome listened =
          listener.listen(LinkClock::now() + kSlice, &session.cancelFlag(), heard);
      if (!printed) return Outcome::failure("");
      if (!listened) {
        const bool gone = listened.message() == linkreason::kGone;
        return Outcome::failure(fmt::format("listening stopped: {}",
                                            gone ? "the keyboard went away" : listened.message()));
      }
      // A link that does not wait returns at once when nothing came.
      if (!session.transport().link().waits()) std::this_thread::sleep_for(kSlice / 10);
    }
    // Ctrl+C is how listening ends: the keyboard goes back to the system.
    listener.stop();
    return Outcome::success();
  });
}

}  // namespace padkbd::cli
