#include "cli/LibraryCommands.h"

#include <fmt/chrono.h>
#include <fmt/format.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <nlohmann/json.hpp>
#include <set>

#include "cli/Documents.h"
#include "cli/HistoryCommands.h"
#include "cli/Keyboard.h"
#include "cli/Usage.h"
#include "keyboard/SetSend.h"
#include "library/PresetSet.h"

namespace padkbd::cli {
namespace {

namespace fs = std::filesystem;
using Json = nlohmann::ordered_json;

std::vector<fs::path> libraryFolders(const Context& context) {
  std::vector<fs::path> folders{Library::defaultFolder()};
  for (fs::path& folder : context.settings.libraryFolders()) folders.push_back(std::move(folder));
  return folders;
}

void tell(Context& context, Library& library) {
  if (const std::optional<Text> notice = library.takeNotice()) {
    context.console.warning(english(*notice));
  }
}

// The library looked at anew: what changed in its folders since is indexed.
Outcome look(Context& context, Library& library) {
  const Result<ScanReport> report = library.scan(nullptr, [&](const ScanProgress& progress) {
    context.console.progress("indexing the library", static_cast<std::size_t>(progress.done),
                             static_cast<std::size_t>(progress.total));
  });
  context.console.endProgress();
  tell(context, library);
  if (!report) return report.outcome();
  for (const fs::path& folder : report->missingFolders) {
    context.console.warning(fmt::format(
        "library folder {} is not there: its presets are kept, marked missing, until it returns",
        folder.string()));
  }
  return Outcome::success();
}

// A name the library does not know, or knows twice, is the user's slip.
template <typename T>
Result<T> asUsage(Context& context, Library& library, Result<T> result, std::string_view name) {
  if (result ||
      (result.code() != Code::LibraryNoPreset && result.code() != Code::LibraryAmbiguous)) {
    return result;
  }
  std::string reason = result.message();
  if (result.code() == Code::LibraryNoPreset) {
    if (const Result<std::vector<std::string>> names = library.names(); names) {
      reason += suggestion(name, *names);
    }
  } else {
    reason += " (name it by its path inside its library folder)";
  }
  tell(context, library);
  return Result<T>(Outcome::failure(Code::Usage, reason));
}

std::string isoTime(LibraryClock::time_point at) {
  return fmt::format("{:%Y-%m-%dT%H:%M:%SZ}",
                     std::chrono::time_point_cast<std::chrono::seconds>(at));
}

std::string joinedTags(const std::vector<std::string>& tags) {
  std::string text;
  for (const std::string& tag : tags) text += (text.empty() ? "" : ", ") + tag;
  return text;
}

// The paths of the presets with the same contents.
std::vector<std::string> samePaths(const std::vector<LibraryPreset>& all,
                                   const LibraryPreset& preset) {
  std::vector<std::string> paths;
  for (const LibraryPreset& other : all) {
    if (std::find(preset.sameAs.begin(), preset.sameAs.end(), other.id) != preset.sameAs.end()) {
      paths.push_back(other.path.string());
    }
  }
  return paths;
}

Json presetJson(const LibraryPreset& preset, const std::vector<LibraryPreset>& all) {
  Json json = Json::object();
  json["name"] = preset.name;
  json["path"] = preset.path.string();
  json["folder"] = preset.folder.string();
  json["tags"] = preset.tags;
  json["notes"] = preset.notes;
  json["favourite"] = preset.favourite;
  json["missing"] = preset.missing;
  json["hash"] = preset.hash;
  json["size"] = preset.size;
  json["added"] = isoTime(preset.added);
  json["changed"] = isoTime(preset.changed);
  json["refused"] = preset.refused ? Json(english(*preset.refused)) : Json(nullptr);
  json["refused_code"] =
      preset.refused ? Json(codeName(Outcome::failure(*preset.refused).code())) : Json(nullptr);
  json["same_as"] = samePaths(all, preset);
  Json pads = Json::array();
  for (const PadColour& pad : preset.pads) pads.push_back({pad.red, pad.green, pad.blue});
  json["pads"] = std::move(pads);
  return json;
}

Outcome printJson(const Json& json) {
  return printResult(json.dump(2, ' ', false, Json::error_handler_t::replace) + "\n");
}

Ending runList(Context& context, const Args& args, Library& library) {
  LibraryFilter filter;
  filter.tag = args.tag;
  filter.search = args.search;
  filter.favourites = args.favourites;
  // Filtered lists are of presets; the whole list also names what is not one.
  filter.refused = args.tag.empty() && args.search.empty() && !args.favourites;
  const Result<std::vector<LibraryPreset>> presets = library.list(filter);
  tell(context, library);
  if (!presets) return presets.outcome();
  if (args.json) {
    Json list = Json::array();
    for (const LibraryPreset& preset : *presets) list.push_back(presetJson(preset, *presets));
    return printJson(list);
  }
  std::size_t width = 0;
  for (const LibraryPreset& preset : *presets) width = std::max(width, preset.name.size());
  std::string text;
  for (const LibraryPreset& preset : *presets) {
    std::string line = fmt::format("{:<{}}", preset.name, width);
    if (preset.refused) {
      line += fmt::format("  not a preset: {}", english(*preset.refused));
    } else {
      if (!preset.tags.empty()) line += "  [" + joinedTags(preset.tags) + "]";
      if (preset.favourite) line += "  favourite";
      if (!preset.sameAs.empty()) {
        line += fmt::format("  same as {}", samePaths(*presets, preset).empty()
                                                ? std::to_string(preset.sameAs.size()) + " other"
                                                : joined(samePaths(*presets, preset)));
      }
    }
    if (preset.missing) line += "  (its folder is missing)";
    while (!line.empty() && line.back() == ' ') line.pop_back();
    text += line + "\n";
  }
  if (presets->empty()) {
    text = filter.refused ? fmt::format(
                                "The library is empty: padkbd library add FILE… copies "
                                "presets into {}.\n",
                                library.folders().front().string())
                          : "No preset matches.\n";
  }
  return printResult(text);
}

Ending runShowPreset(Context& context, const Args& args, Library& library) {
  const Result<LibraryPreset> preset =
      asUsage(context, library, library.find(args.file), args.file);
  if (!preset) return preset.outcome();
  const Result<std::vector<LibraryPreset>> all = library.list();
  std::string text = fmt::format("name: {}\npath: {}\n", preset->name, preset->path.string());
  if (preset->refused) text += fmt::format("not a preset: {}\n", english(*preset->refused));
  text += fmt::format("tags: {}\nnotes: {}\nfavourite: {}\n", joinedTags(preset->tags),
                      preset->notes, preset->favourite ? "yes" : "no");
  text += fmt::format("added: {}\nchanged: {}\nsize: {} bytes\nhash: {}\n", whenText(preset->added),
                      whenText(preset->changed), preset->size, preset->hash);
  if (all && !preset->sameAs.empty()) text += "same as: " + joined(samePaths(*all, *preset)) + "\n";
  if (preset->missing) text += "its folder is missing\n";
  return printResult(text);
}

Ending runTag(Context& context, const Args& given, Library& library) {
  Args args = given;
  args.tags.insert(args.tags.end(), given.plus.begin(), given.plus.end());
  args.untags.insert(args.untags.end(), given.minus.begin(), given.minus.end());
  for (const auto* tags : {&args.tags, &args.untags}) {
    for (const std::string& tag : *tags) {
      if (!cleanTag(tag))
        return Outcome::failure(Code::Usage, english(Text(TextId::LibraryBadTag, {tag})));
    }
  }
  const Result<LibraryPreset> preset =
      asUsage(context, library, library.find(args.file), args.file);
  if (!preset) return preset.outcome();
  MarkChange change{args.tags, args.untags, args.notes, std::nullopt};
  if (args.favourite) change.favourite = true;
  if (args.notFavourite) change.favourite = false;
  if (Outcome marked = library.mark(preset->id, change); !marked) return marked;
  const Result<LibraryPreset> now = library.find(preset->path.string());
  if (!now) return now.outcome();
  context.console.note(fmt::format(
      "{}: {}", now->name, now->tags.empty() ? std::string("no tags") : joinedTags(now->tags)));
  return Outcome::success();
}

Ending runAdd(Context& context, const Args& args, Library& library) {
  for (const std::string& tag : args.tags) {
    if (!cleanTag(tag))
      return Outcome::failure(Code::Usage, english(Text(TextId::LibraryBadTag, {tag})));
  }
  Outcome all = Outcome::success();
  for (const std::string& file : args.files) {
    const Result<LibraryPreset> added = library.add(file);
    tell(context, library);
    if (!added) {
      context.console.error(added.message());
      all = Outcome::failure(added.code(), "");
      continue;
    }
    if (Outcome marked = library.mark(added->id, {args.tags, {}, std::nullopt, std::nullopt});
        !marked) {
      return marked;
    }
    context.console.note(fmt::format("added {} as {}", file, added->name));
  }
  return all;
}

Ending runFolders(Context& context, const Args& args) {
  std::vector<fs::path> added = context.settings.libraryFolders();
  const fs::path own = Library::defaultFolder();
  if (!args.addFolder.empty() || !args.removeFolder.empty()) {
    std::error_code ec;
    const std::string& given = args.addFolder.empty() ? args.removeFolder : args.addFolder;
    const fs::path folder = fs::absolute(given, ec).lexically_normal();
    const fs::path clean = folder.has_filename() ? folder : folder.parent_path();
    const bool known = clean == own || std::find(added.begin(), added.end(), clean) != added.end();
    if (!args.addFolder.empty()) {
      if (!fs::is_directory(clean, ec))
        return Outcome::failure(Text(TextId::LibraryNotFolder, {given}));
      if (known) return Outcome::failure(Text(TextId::LibraryFolderKnown, {clean.string()}));
      added.push_back(clean);
    } else {
      if (clean == own)
        return Outcome::failure(Text(TextId::LibraryFolderDefault, {clean.string()}));
      if (!known) return Outcome::failure(Text(TextId::LibraryFolderUnknown, {given}));
      added.erase(std::find(added.begin(), added.end(), clean));
    }
    if (Outcome stored = context.settings.storeLibraryFolders(added); !stored) return stored;
    context.console.note(
        fmt::format("{} {}", args.addFolder.empty() ? "removed" : "added", clean.string()));
    return Outcome::success();
  }
  std::string text;
  std::error_code ec;
  text += own.string() + "  (the library's own)\n";
  for (const fs::path& folder : added) {
    text += folder.string() + (fs::is_directory(folder, ec) ? "\n" : "  (missing)\n");
  }
  return printResult(text);
}

// "1,3,5-7": the slots named; none when the text is not that.
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

std::vector<std::string> takeTagChanges(const std::vector<std::string>& words, Args& args) {
  std::vector<std::string> kept;
  std::size_t tagAt = words.size();
  for (std::size_t i = 1; i + 1 < words.size(); ++i) {
    if (words[i] == "library" && words[i + 1] == "tag") {
      tagAt = i + 1;
      break;
    }
  }
  bool ended = false;
  for (std::size_t i = 0; i < words.size(); ++i) {
    const std::string& word = words[i];
    ended = ended || word == "--";
    const bool change = i > tagAt && !ended && word.size() > 1 &&
                        (word[0] == '+' || (word[0] == '-' && word[1] != '-' && word != "-q" &&
                                            word != "-v" && word != "-h"));
    if (!change) {
      kept.push_back(word);
    } else {
      (word[0] == '+' ? args.plus : args.minus).push_back(word.substr(1));
    }
  }
  return kept;
}

void addLibraryOptions(CLI::App& command, Args& args) {
  // The listing is the default: its options also go without the word "list".
  const auto addListOptions = [&args](CLI::App& listing) {
    listing.add_option("--tag", args.tag, "Only the presets with tag T")->type_name("T");
    listing
        .add_option("--search", args.search,
                    "Only the presets whose name, tags or notes hold WORDS")
        ->type_name("WORDS");
    listing.add_flag("--favourites", args.favourites, "Only the favourites");
    listing.add_flag("--json", args.json, "Print one JSON array");
  };
  addListOptions(command);
  CLI::App* list = command.add_subcommand("list", "List the presets of the library (the default)");
  addListOptions(*list);
  list->parse_complete_callback([&args] { args.verb = "list"; });
  CLI::App* add = command.add_subcommand(
      "add", "Copy preset documents into the library's own folder (never over another file)");
  add->add_option("FILE", args.files, "Preset documents")->required()->type_name("FILE");
  add->add_option("--tag", args.tags, "Give each the tag T (repeatable)")->type_name("T");
  add->parse_complete_callback([&args] { args.verb = "add"; });
  CLI::App* tag = command.add_subcommand(
      "tag", "Add (+TAG) and remove (-TAG) tags of preset NAME; also its notes and favourite mark");
  tag->add_option("NAME", args.file, "A preset of the library")->required()->type_name("NAME");
  tag->add_option("--add", args.tags, "Add tag T (as +T)")->type_name("T");
  tag->add_option("--remove", args.untags, "Remove tag T (as -T)")->type_name("T");
  tag->add_option("--notes", args.notes, "Its notes (\"\" removes them)")->type_name("TEXT");
  tag->add_flag("--favourite", args.favourite, "Mark it a favourite");
  tag->add_flag("--not-favourite", args.notFavourite, "Take the favourite mark away");
  tag->parse_complete_callback([&args] { args.verb = "tag"; });
  CLI::App* show = command.add_subcommand("show", "Say what the library keeps of preset NAME");
  show->add_option("NAME", args.file, "A preset of the library")->required()->type_name("NAME");
  show->parse_complete_callback([&args] { args.verb = "show"; });
  CLI::App* folders = command.add_subcommand(
      "folders", "List the library's folders, or add or remove one (its files stay)");
  folders->add_option("--add", args.addFolder, "Add folder DIR")->type_name("DIR");
  folders->add_option("--remove", args.removeFolder, "Remove folder DIR")->type_name("DIR");
  folders->parse_complete_callback([&args] { args.verb = "folders"; });
  for (CLI::App* sub : {list, add, tag, show, folders}) sub->fallthrough()->group("Commands");
  command.require_subcommand(0, 1);
}

Ending runLibrary(Context& context, const Args& args) {
  if (args.verb == "folders") return runFolders(context, args);
  Library library(Library::defaultIndexPath(), libraryFolders(context));
  if (Outcome looked = look(context, library); !looked) return looked;
  if (args.verb == "add") return runAdd(context, args, library);
  if (args.verb == "tag") return runTag(context, args, library);
  if (args.verb == "show") return runShowPreset(context, args, library);
  return runList(context, args, library);
}

std::string refuseLibrary(const Args& args) {
  if (args.favourite && args.notFavourite) {
    return "library tag: --favourite or --not-favourite, not both";
  }
  if (!args.addFolder.empty() && !args.removeFolder.empty()) {
    return "library folders: --add or --remove, not both";
  }
  return "";
}

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
