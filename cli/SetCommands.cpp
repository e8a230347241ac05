// The tool's sets of nine: `set make|show|send`.
#include <fmt/format.h>

#include <CLI/CLI.hpp>
#include <algorithm>

#include "cli/Documents.h"
#include "cli/HistoryCommands.h"
#include "cli/Keyboard.h"
#include "cli/LibraryCommands.h"
#include "cli/Usage.h"
#include "keyboard/SetSend.h"
#include "library/PresetSet.h"

namespace padkbd::cli {
namespace {

namespace fs = std::filesystem;

std::optional<std::vector<int>> slotList(const std::string& text) {
  std::vector<int> slots;
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t end = std::min(text.find(',', start), text.size());
    const std::string part = text.substr(start, end - start);
    const std::size_t dash = part.find('-');
    const auto first = wholeNumber(part.substr(0, dash));
    const auto last = dash == std::string::npos ? first : wholeNumber(part.substr(dash + 1));
    if (!first || !last || *first < 1 || *last > 9 || *first > *last) return std::nullopt;
    for (long long slot = *first; slot <= *last; ++slot) slots.push_back(static_cast<int>(slot));
    start = end + 1;
  }
  std::sort(slots.begin(), slots.end());
  slots.erase(std::unique(slots.begin(), slots.end()), slots.end());
  return slots;
}

std::string slotsText(const std::vector<int>& slots) {
  std::vector<std::string> words;
  for (int slot : slots) words.push_back(std::to_string(slot));
  return joined(words, " and ");
}

Ending runSetMake(Context& context, const Args& args, Library& library) {
  std::vector<std::pair<int, std::string>> slots;
  for (const std::string& word : args.slotNames) {
    const std::size_t equals = word.find('=');
    if (equals == std::string::npos || !isSlot(word.substr(0, equals)) ||
        equals + 1 == word.size()) {
      return Outcome::failure(
          Code::Usage, fmt::format("set make: \"{}\" is not SLOT=NAME (like 3=intro)", word));
    }
    const std::string name = word.substr(equals + 1);
    const Result<LibraryPreset> found = asUsage(context, library, library.find(name), name);
    if (!found) return found.outcome();
    slots.emplace_back(static_cast<int>(*wholeNumber(word.substr(0, equals))), name);
  }
  const Result<PresetSet> set = makeSet(library, slots);
  if (!set)
    return set.outcome().code() == Code::FileDamaged
               ? Outcome::failure(Code::Usage, "set make: " + set.message())
               : set.outcome();
  if (Outcome written = writeSet(args.file, *set); !written) return written;
  context.console.note(fmt::format("{}: {} memory slot{}", args.file, set->filled.size(),
                                   set->filled.size() == 1 ? "" : "s"));
  return Outcome::success();
}

// The set's slots as they stand against what the keyboard's slots hold.
Result<std::vector<SetSlotPlan>> planOf(Context& context, Keyboard& keyboard, Library& library,
                                        const PresetSet& set) {
  (void)keyboard.reach.find();  // its serial number, if it is there
  const Result<SlotStates> states = slotStates(context, keyboard.service);
  if (!states) return states.outcome();
  Result<std::vector<SetSlotPlan>> plan = planSet(library, set, *states, choiceLists(context));
  tell(context, library);
  return plan;
}

std::string presetName(const SetSlotPlan& slot) {
  return (slot.preset ? slot.preset->relative() : slot.named.path).string();
}

Ending runSetShow(Context& context, const Args& args, const PresetSet& set, Library& library) {
  return withKeyboard(context, args, [&](Keyboard& keyboard) -> Outcome {
    const Result<std::vector<SetSlotPlan>> plan = planOf(context, keyboard, library, set);
    if (!plan) return plan.outcome();
    std::string text;
    for (const SetSlotPlan& slot : *plan) {
      text += fmt::format("{} → {}{}\n", presetName(slot), english(slotText(slot.preview.state)),
                          slot.written ? " (it holds this preset)" : "");
      if (slot.problem) text += "    " + english(*slot.problem) + "\n";
    }
    return printResult(text);
  });
}

Ending runSetSend(Context& context, const Args& args, const PresetSet& set, Library& library) {
  std::vector<int> only;
  if (!args.only.empty()) {
    only = *slotList(args.only);  // checked by the parser
    for (int slot : only) {
      if (std::none_of(set.filled.begin(), set.filled.end(),
                       [&](const SetSlot& s) { return s.slot == slot; })) {
        return Outcome::failure(Code::Usage,
                                fmt::format("set send: the set fills no memory slot {}", slot));
      }
    }
  }
  const std::string setName = fs::path(args.file).filename().string();
  return withKeyboard(context, args, [&](Keyboard& keyboard) -> Outcome {
    const Result<std::vector<SetSlotPlan>> plan = planOf(context, keyboard, library, set);
    if (!plan) return plan.outcome();
    if (!planReady(*plan)) {
      for (const SetSlotPlan& slot : *plan) {
        if (slot.problem) context.console.error(english(*slot.problem));
      }
      return Outcome::failure(Code::LibrarySetChanged,
                              "nothing sent: make the set again (padkbd set make) to send the "
                              "presets as they are now");
    }
    std::vector<int> skip;
    for (const SetSlotPlan& slot : *plan) {
      const bool left =
          !only.empty() && std::find(only.begin(), only.end(), slot.named.slot) == only.end();
      if (left || (args.skipWritten && slot.written)) skip.push_back(slot.named.slot);
    }
    // The one confirmation: what each slot gets, against what it holds.
    std::string summary;
    std::vector<int> heldAlready;
    for (const SetSlotPlan& slot : *plan) {
      const bool skipped = std::find(skip.begin(), skip.end(), slot.named.slot) != skip.end();
      summary += fmt::format("{} → {}{}\n", presetName(slot), english(previewText(slot.preview)),
                             skipped ? " (skipped)" : "");
      if (args.dryRun && !skipped) {
        for (const Text& line : slot.preview.changes) summary += "      " + english(line) + "\n";
      }
      if (slot.written && !skipped) heldAlready.push_back(slot.named.slot);
    }
    if (!heldAlready.empty()) {
      summary += fmt::format(
          "Memory {} already hold{} this set's preset, written whole: --skip-written leaves "
          "{} out\n",
          slotsText(heldAlready), heldAlready.size() == 1 ? "s" : "",
          heldAlready.size() == 1 ? "it" : "them");
    }
    if (args.dryRun) return printResult(summary);
    if (skip.size() == plan->size()) {
      context.console.note(summary + "nothing to send: every slot of the set is left out");
      return Outcome::success();
    }
    if (!summary.empty()) summary.pop_back();
    context.console.note(summary);
    const SetSendResult sent =
        sendSet(keyboard.service, *plan, skip, setName, [&](const SetProgress& progress) {
          context.console.progress(english(progressText(progress)));
        });
    context.console.endProgress();
    for (int slot : sent.written) {
      const auto it = std::find_if(plan->begin(), plan->end(),
                                   [&](const SetSlotPlan& s) { return s.named.slot == slot; });
      context.console.note(fmt::format("sent {} to memory slot {}", presetName(*it), slot));
    }
    if (sent.outcome) return Outcome::success();
    std::string after = sent.written.empty()
                            ? std::string("no slot was written whole")
                            : fmt::format("memory {} written whole", slotsText(sent.written));
    if (!sent.notSent.empty())
      after += fmt::format("; memory {} not sent", slotsText(sent.notSent));
    context.console.error(fmt::format(
        "{}; {}; padkbd set send {} --skip-written sends the rest",
        keyboard
            .failed(sent.outcome,
                    fmt::format("sending memory slot {} failed", sent.stoppedAt.value_or(0)))
            .message(),
        after, args.file));
    return sent.outcome.wasCancelled() ? Outcome::cancelled("")
                                       : Outcome::failure(sent.outcome.code(), "");
  });
}

}  // namespace

void addSetOptions(CLI::App& command, Args& args) {
  CLI::App* make = command.add_subcommand(
      "make", "Write SETFILE naming a preset of the library for each memory slot given");
  make->add_option("SETFILE", args.file, "The set (.padkbdset)")->required()->type_name("SETFILE");
  make->add_option("SLOTS", args.slotNames, "SLOT=NAME for each slot it fills (3=intro)")
      ->required()
      ->type_name("SLOT=NAME");
  make->parse_complete_callback([&args] { args.verb = "make"; });
  CLI::App* show = command.add_subcommand(
      "show", "Say, for each slot of SETFILE, its preset and what padkbd last sent there");
  show->add_option("SETFILE", args.file, "The set")->required()->type_name("SETFILE");
  show->parse_complete_callback([&args] { args.verb = "show"; });
  CLI::App* send = command.add_subcommand(
      "send", "Send every preset of SETFILE into its memory slot, one after another");
  send->add_option("SETFILE", args.file, "The set")->required()->type_name("SETFILE");
  send->add_flag("--dry-run", args.dryRun, "Send nothing: say what each slot would get");
  send->add_option("--only", args.only, "Only these slots (1,3,5-7)")
      ->type_name("SLOTS")
      ->check(accepting([](const std::string& text) { return slotList(text).has_value(); }));
  send->add_flag("--skip-written", args.skipWritten,
                 "Leave out the slots that already hold their preset, written whole (a set "
                 "stopped part-way)");
  send->parse_complete_callback([&args] { args.verb = "send"; });
  for (CLI::App* sub : {make, show, send}) sub->fallthrough()->group("Commands");
  command.require_subcommand(0, 1);
}

std::string refuseSet(const Args& args) {
  return args.verb.empty() ? "set: say make, show or send (padkbd set make SETFILE 1=NAME …)" : "";
}

Ending runSet(Context& context, const Args& args) {
  Library library(Library::defaultIndexPath(), libraryFolders(context));
  if (Outcome looked = look(context, library); !looked) return looked;
  if (args.verb == "make") return runSetMake(context, args, library);
  const Result<PresetSet> set = readSet(args.file);
  if (!set) return set.outcome();
  if (args.verb == "show") return runSetShow(context, args, *set, library);
  return runSetSend(context, args, *set, library);
}

}  // namespace padkbd::cli
