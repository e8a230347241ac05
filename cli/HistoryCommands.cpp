#include "cli/HistoryCommands.h"

#include <fmt/chrono.h>
#include <fmt/format.h>

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include "cli/Documents.h"
#include "history/SendPreview.h"

namespace padkbd::cli {
namespace {

using Json = nlohmann::ordered_json;

// "2026-12-06T20:03:00Z": for programs, in UTC.
std::string isoTime(HistoryClock::time_point at) {
  return fmt::format("{:%Y-%m-%dT%H:%M:%SZ}",
                     std::chrono::time_point_cast<std::chrono::seconds>(at));
}

Json entryJson(const HistoryEntry& entry) {
  Json json = Json::object();
  json["id"] = entry.id;
  json["at"] = isoTime(entry.at);
  json["keyboard"] = entry.keyboard;
  json["keyboard_kind"] = kindName(entry.keyboardKind);
  json["firmware"] = entry.firmware;
  json["kind"] = kindName(entry.kind);
  json["slot"] = entry.kind == EntryKind::Read ? Json(nullptr) : Json(entry.slot);
  json["written"] = entry.written;
  json["total"] = entry.total;
  json["source"] = entry.source;
  json["note"] = entry.note;
  return json;
}

Outcome printJson(const Json& json) {
  // Sources are names users gave: never let a bad byte in one abort the output.
  return printResult(json.dump(2, ' ', false, Json::error_handler_t::replace) + "\n");
}

// The history's own words when it is damaged, said once, as a warning.
template <typename Answer>
Answer told(Context& context, Answer result) {
  if (std::string notice = context.history.takeNotice(); !notice.empty()) {
    context.console.warning(notice);
  }
  return result;
}

// "12" names an entry; anything else is a document.
std::optional<std::int64_t> entryId(const std::string& word) {
  if (word.empty() || word.size() > 18 ||
      word.find_first_not_of("0123456789") != std::string::npos) {
    return std::nullopt;
  }
  return std::stoll(word);
}

// The entry before `entry` of the same keyboard and slot (for a read: the
// read before it): what a send replaced.
Result<HistoryEntry> previousOf(Context& context, const HistoryEntry& entry) {
  HistoryFilter filter;
  filter.keyboard = entry.keyboard;
  if (entry.kind == EntryKind::Read) {
    filter.kind = EntryKind::Read;
  } else {
    filter.slot = entry.slot;
  }
  const Result<std::vector<HistoryEntry>> entries = told(context, context.history.list(filter));
  if (!entries) return entries.outcome();
  for (const HistoryEntry& each : *entries) {
    if (each.id < entry.id && (entry.kind == EntryKind::Read || each.kind != EntryKind::Read)) {
      return historyEntry(context, each.id);
    }
  }
  return Result<HistoryEntry>::failure(
      entry.kind == EntryKind::Read
          ? fmt::format("entry {} is the first read kept: there is nothing to compare it with",
                        entry.id)
          : fmt::format("entry {} is the first send to memory slot {} kept: there is nothing to "
                        "compare it with",
                        entry.id, entry.slot));
}

Ending runHistoryShow(Context& context, const Args& args) {
  const Result<HistoryEntry> entry = historyEntry(context, args.entryId);
  if (!entry) return entry.outcome();
  return writeText(args.output, entry->document);
}

// 0 the same, 1 different, 2 unreadable: as diff.
Ending runHistoryDiff(Context& context, const Args& args) {
  const Result<HistoryEntry> first = historyEntry(context, args.entryId);
  if (!first) return {first.outcome(), kExitUsage};
  Result<Preset> before = presetOf(*first);
  Result<Preset> after = Result<Preset>::failure("");
  if (args.second.empty()) {
    // What the entry replaced, then the entry.
    const Result<HistoryEntry> previous = previousOf(context, *first);
    if (!previous) return {previous.outcome(), kExitUsage};
    after = std::move(before);
    before = presetOf(*previous);
  } else if (const auto id = entryId(args.second)) {
    const Result<HistoryEntry> second = historyEntry(context, *id);
    if (!second) return {second.outcome(), kExitUsage};
    after = presetOf(*second);
  } else {
    after = readDocument(args.second);
    if (!after) {
      return {after.outcome().as(TextId::Because, {nameOf(args.second)}), kExitUsage};
    }
  }
  if (!before) return {before.outcome(), kExitUsage};
  if (!after) return {after.outcome(), kExitUsage};
  const std::vector<Text> differences = presetDifferences(*before, *after, choiceLists(context));
  std::string text;
  for (const Text& line : differences) text += english(line) + "\n";
  if (Outcome printed = printResult(text); !printed) return {printed, kExitUsage};
  return differences.empty() ? Outcome::success() : Outcome::failure("");
}

}  // namespace

Result<HistoryEntry> historyEntry(Context& context, std::int64_t id) {
  return told(context, context.history.entry(id));
}

Result<SlotStates> slotStates(Context& context, KeyboardService& service) {
  return told(context, context.history.slotStates(service.historyKey()));
}

void addHistoryOptions(CLI::App& command, Args& args) {
  command.add_option("--slot", args.slot, "Only the entries of memory slot 1-9")
      ->type_name("N")
      ->check(accepting(isSlot));
  command.add_option("--limit", args.limit, "At most K entries, the newest")
      ->type_name("K")
      ->check(accepting(isEntryId));
  command.add_option("--kind", args.kind, "Only reads, sends or stopped sends")
      ->type_name("KIND")
      ->check(accepting([](const std::string& text) {
        return text == "read" || text == "sent" || text == "stopped";
      }));
  command.add_flag("--json", args.json, "Print one JSON array");
  // Each subcommand names its entry by the number the list shows.
  const auto addEntryId = [&args](CLI::App* sub) {
    sub->add_option("ID", args.entryId, "History entry")
        ->required()
        ->type_name("ID")
        ->check(accepting(isEntryId));
  };
  CLI::App* show = command.add_subcommand(
      "show", "Write the preset of entry ID as a document (default or -: standard output)");
  addEntryId(show);
  show->add_option("-o,--output", args.output, "Document to write")
      ->type_name("FILE")
      ->check(accepting(isFileName));
  show->parse_complete_callback([&args] { args.verb = "show"; });
  CLI::App* diff = command.add_subcommand(
      "diff",
      "Print every setting that differs between entry ID and another entry or a document "
      "(without one: what the entry replaced, the entry before it of the same memory slot)");
  addEntryId(diff);
  diff->add_option("OTHER", args.second, "Another entry's ID, or a preset document")
      ->type_name("ID|FILE");
  diff->parse_complete_callback([&args] { args.verb = "diff"; });
  CLI::App* note = command.add_subcommand(
      "note", "Write a note on entry ID (\"before the festival\"); an empty TEXT removes it");
  addEntryId(note);
  note->add_option("TEXT", args.note, "The note")->required()->type_name("TEXT");
  note->parse_complete_callback([&args] { args.verb = "note"; });
  for (CLI::App* sub : {show, diff, note}) sub->fallthrough()->group("Commands");
  command.require_subcommand(0, 1);
}

Ending runHistory(Context& context, const Args& args) {
  if (args.verb == "show") return runHistoryShow(context, args);
  if (args.verb == "diff") return runHistoryDiff(context, args);
  if (args.verb == "note") {
    if (Outcome written = told(context, context.history.setNote(args.entryId, args.note));
        !written) {
      return written;
    }
    context.console.note(args.note.empty() ? fmt::format("entry {}: note removed", args.entryId)
                                           : fmt::format("entry {}: note kept", args.entryId));
    return Outcome::success();
  }
  HistoryFilter filter;
  filter.slot = args.slot;
  filter.kind = parseKind(args.kind);
  filter.limit = args.limit.value_or(0);
  // As the device commands take it: the simulated keyboard is a keyboard of its own.
  if (args.keyboard.simulate || !args.keyboard.stateFile.empty()) {
    filter.keyboard = simulatedKey(args.keyboard.stateFile);
  }
  const Result<std::vector<HistoryEntry>> entries = told(context, context.history.list(filter));
  if (!entries) return entries.outcome();
  if (args.json) {
    Json list = Json::array();
    for (const HistoryEntry& entry : *entries) list.push_back(entryJson(entry));
    return printJson(list);
  }
  std::string text;
  for (const HistoryEntry& entry : *entries) {
    const std::string firmware = entry.firmware.empty() ? "" : ", firmware " + entry.firmware;
    const std::string note = entry.note.empty() ? "" : fmt::format("  ({})", entry.note);
    text += fmt::format("{:>5}  {}  {}  \"{}\"  {}{}{}\n", entry.id, whenText(entry.at),
                        english(whatText(entry)), entry.source,
                        english(keyboardText(entry.keyboard)), firmware, note);
  }
  if (entries->empty()) text = "No reads or sends recorded yet.\n";
  return printResult(text);
}

Ending runSlots(Context& context, const Args& args) {
  return withKeyboard(context, args, [&](Keyboard& keyboard) -> Outcome {
    // Found, not opened: its serial number tells it from others of its ids.
    (void)keyboard.reach.find();
    const Result<SlotStates> states = slotStates(context, keyboard.service);
    if (!states) return states.outcome();
    if (args.json) {
      Json slots = Json::array();
      for (const SlotState& state : *states) {
        Json json = Json::object();
        json["slot"] = state.slot;
        json["state"] = state.kind == SlotState::Kind::Unknown ? "unknown"
                        : state.kind == SlotState::Kind::Holds ? "holds"
                                                               : "mix";
        if (state.entry) {
          const Json entry = entryJson(*state.entry);
          for (const auto& [key, value] : entry.items()) {
            if (key != "slot" && key != "kind" && key != "keyboard") json[key] = value;
          }
        }
        slots.push_back(std::move(json));
      }
      Json root = Json::object();
      root["keyboard"] = keyboard.service.historyKey();
      root["slots"] = std::move(slots);
      return printJson(root);
    }
    std::string text;
    for (const SlotState& state : *states) {
      text += english(slotText(state));
      text += state.entry ? fmt::format(" (entry {})\n", state.entry->id) : "\n";
    }
    return printResult(text);
  });
}

}  // namespace padkbd::cli
