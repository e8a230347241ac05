#include "cli/MonitorCommand.h"

#include <fmt/format.h>
#include <CLI/CLI.hpp>

#include <algorithm>
#include <array>
#include <cstdio>
#include <optional>
#include <string_view>
#include <thread>
#include <vector>

#include "cli/Documents.h"
#include "cli/HistoryCommands.h"
#include "cli/Keyboard.h"
#include "history/SendPreview.h"
#include "link/Listener.h"
#include "model/Playing.h"
#include "session/PlayMatch.h"
#include "sim/SimulatedController.h"

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

// One touch of --play: a pad or button struck (pressed and released), or a
// knob turned by `step`.
struct Strike {
  int index = 0;
  int step = 0;
};

// "pad 1, pad 5, knob 3 +4, button 2"; none when a part is not one of those.
std::optional<std::vector<Strike>> strikesOf(std::string_view text) {
  static constexpr struct {
    std::string_view word;
    int first, count;
  } kKinds[] = {{"knob", 0, 8}, {"pad", kFirstPadControl, 48}, {"button", 56, 8}};
  std::vector<Strike> strikes;
  for (bool more = true; more;) {
    const std::size_t comma = text.find(',');
    more = comma != std::string_view::npos;
    std::vector<std::string> words;
    std::string word;
    for (const char c : text.substr(0, comma)) {
      if (c != ' ') word += c;
      if (c == ' ' && !word.empty()) words.push_back(std::exchange(word, {}));
    }
    if (!word.empty()) words.push_back(word);
    text = more ? text.substr(comma + 1) : std::string_view();
    if (words.size() < 2) return std::nullopt;
    const auto kind = std::find_if(std::begin(kKinds), std::end(kKinds),
                                   [&](const auto& each) { return each.word == words[0]; });
    const std::optional<long long> number = wholeNumber(words[1]);
    if (kind == std::end(kKinds) || !number || *number < 1 || *number > kind->count) {
      return std::nullopt;
    }
    Strike strike{kind->first + static_cast<int>(*number) - 1, 0};
    // A knob is turned by a signed step; the others take no more words.
    const bool knob = kind->first == 0;
    if (words.size() != (knob ? 3u : 2u)) return std::nullopt;
    if (knob) {
      const std::optional<long long> step = wholeNumber(words[2].substr(words[2][0] == '+'));
      if (!step || (words[2][0] != '+' && words[2][0] != '-') || *step == 0 || *step < -127 ||
          *step > 127) {
        return std::nullopt;
      }
      strike.step = static_cast<int>(*step);
    }
    strikes.push_back(strike);
  }
  return strikes;
}

bool isStrikeList(const std::string& text) {
  return strikesOf(text).has_value();
}

// Plays `strikes` on the simulated keyboard as its settings say. An absolute
// knob moves its value (from 0) by the step, a relative one sends the step.
void play(SimulatedController& sim, const std::vector<Strike>& strikes) {
  std::array<int, kFirstPadControl> knobs{};
  for (const Strike& strike : strikes) {
    if (playing::kindOf(strike.index) != playing::Kind::Knob) {
      sim.strike(strike.index);
      continue;
    }
    const ButtonValue control = sim.controlInSlot(0, strike.index);
    if (playing::relativeOf(strike.index, control) != playing::Relative::Absolute) {
      sim.turn(strike.index, strike.step);
      continue;
    }
    int& value = knobs[static_cast<std::size_t>(strike.index)];
    value = std::clamp(value + strike.step, 0, 127);
    sim.turn(strike.index, value);
  }
}

}  // namespace

void addMonitorOptions(CLI::App& command, Args& args) {
  command
      .add_option("--preset", args.file,
                  "Name the controls by this document's settings instead of reading the keyboard")
      ->type_name("FILE")
      ->check(accepting(isFileName));
  command.add_flag("--json", args.json, "Print one JSON object a message");
  command
      .add_option("--play", args.play,
                  "With --simulate: the simulated keyboard plays these once listening, then the "
                  "monitor ends (\"pad 1, pad 5, knob 3 +4, button 2\")")
      ->type_name("STRIKES")
      ->check(accepting(isStrikeList));
}

Ending runMonitor(Context& context, const Args& args) {
  const std::vector<std::string> names = controlNames(context);
  if (!args.play.empty() && !args.keyboard.simulate && args.keyboard.stateFile.empty()) {
    return Outcome::failure(Code::Usage,
                            "monitor: --play plays the simulated keyboard: give --simulate too");
  }
  return withKeyboard(context, args, [&](Keyboard& keyboard) -> Outcome {
    KeyboardService& service = keyboard.service;
    Result<Preset> settings = settingsToMatch(args, keyboard);
    if (!settings) return settings.outcome();
    if (keyboard.cancelled()) return Outcome::success();
    if (Outcome started = service.startListening(); !started) {
      return keyboard.failed(started, "listening to the keyboard failed");
    }
    const std::optional<std::vector<Strike>> strikes =
        args.play.empty() ? std::nullopt : strikesOf(args.play);
    SimulatedController* simulated = keyboard.reach.simulated();
    context.console.note(strikes ? "listening; the simulated keyboard plays " + args.play
                         : keyboard.reach.rawUsb()
                             ? "listening; other programs cannot use the keyboard until Ctrl+C"
                             : "listening; Ctrl+C stops");
    if (strikes && simulated != nullptr) play(*simulated, *strikes);
    PlayMatcher matcher(std::move(*settings));
    bool printed = true;
    std::size_t lines = 0;
    const auto heard = [&](const usbmidi::ChannelMessage& message) {
      if (!printed) return;
      ++lines;
      const Heard match = matcher.match(message);
      const std::string line =
          (args.json ? heardJson(match, names) : english(heardText(match, names))) + "\n";
      // Each line as it comes, even into a pipe; a reader that went away ends it.
      printed = std::fputs(line.c_str(), stdout) >= 0 && std::fflush(stdout) == 0;
    };
    while (!keyboard.cancelled()) {
      const Outcome listened =
          service.listen(LinkClock::now() + kSlice, &keyboard.cancelFlag(), heard);
      if (!printed) return Outcome::failure("");
      if (!listened) {
        const bool gone = listened.code() == Code::LinkGone;
        return Outcome::failure(listened.code(),
                                fmt::format("listening stopped: {}",
                                            gone ? "the keyboard went away" : listened.message()));
      }
      // What was played has all been heard once a wait brings nothing more.
      if (strikes && std::exchange(lines, 0) == 0) break;
      // A link that does not wait returns at once when nothing came.
      if (!keyboard.reach.waits()) std::this_thread::sleep_for(kSlice / 10);
    }
    // Ctrl+C is how listening ends: the keyboard goes back to the system.
    service.stopListening();
    return Outcome::success();
  });
}

}  // namespace padkbd::cli
