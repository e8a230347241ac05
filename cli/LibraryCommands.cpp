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

namespace fs = std::filesystem;

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

namespace {

namespace fs = std::filesystem;
using Json = nlohmann::ordered_json;

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

}  // namespace padkbd::cli
