#include "library/PresetSet.h"

#include <fmt/format.h>

#include <algorithm>
#include <cctype>

#include "storage/Files.h"

namespace padkbd {
namespace {

namespace fs = std::filesystem;

bool isHash(std::string_view text) {
  return text.size() == 32 && std::all_of(text.begin(), text.end(), [](char c) {
           return std::isxdigit(static_cast<unsigned char>(c)) &&
                  !std::isupper(static_cast<unsigned char>(c));
         });
}

// Relative, and never out of its folder.
bool insideFolder(const fs::path& path) {
  if (path.empty() || path.is_absolute()) return false;
  return std::none_of(path.begin(), path.end(),
                      [](const fs::path& part) { return part == ".." || part == "."; });
}

Result<PresetSet> lineFailure(int line, Text why) {
  return Result<PresetSet>::failure(Text(TextId::SetLine, {line, std::move(why)}));
}

}  // namespace

Result<PresetSet> parseSet(std::string_view text) {
  PresetSet set;
  bool header = false;
  int number = 0;
  for (std::size_t start = 0; start < text.size();) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    start = end + 1;
    ++number;
    if (line.find('\0') != std::string_view::npos)
      return lineFailure(number, Text(TextId::StateNul));
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
    if (line.empty() || line.front() == '#') continue;
    if (!header) {
      if (line != kSetHeader)
        return lineFailure(number, Text(TextId::SetExpectedHeader, {kSetHeader}));
      header = true;
      continue;
    }
    // slot N HASH PATH (the path to the end of the line: it may hold spaces)
    if (line.substr(0, 5) != "slot " || line.size() < 7 || line[6] != ' ') {
      return lineFailure(number, Text(TextId::SetExpectedSlot));
    }
    const char digit = line[5];
    if (digit < '1' || digit > '9') return lineFailure(number, Text(TextId::SetSlotNumber));
    const std::string_view rest = line.substr(7);
    const std::size_t space = rest.find(' ');
    if (space == std::string_view::npos) return lineFailure(number, Text(TextId::SetExpectedSlot));
    const std::string_view hash = rest.substr(0, space);
    if (!isHash(hash)) return lineFailure(number, Text(TextId::SetHash));
    const fs::path path(std::string(rest.substr(space + 1)));
    if (!insideFolder(path)) return lineFailure(number, Text(TextId::SetPath));
    const int slot = digit - '0';
    if (std::any_of(set.filled.begin(), set.filled.end(),
                    [&](const SetSlot& s) { return s.slot == slot; })) {
      return lineFailure(number, Text(TextId::SetSlotTwice, {slot}));
    }
    set.filled.push_back({slot, std::string(hash), path});
  }
  if (!header) return Result<PresetSet>::failure(Text(TextId::SetExpectedHeader, {kSetHeader}));
  if (set.filled.empty()) return Result<PresetSet>::failure(Text(TextId::SetEmpty));
  std::sort(set.filled.begin(), set.filled.end(),
            [](const SetSlot& a, const SetSlot& b) { return a.slot < b.slot; });
  return set;
}

std::string setText(const PresetSet& set) {
  std::string text = std::string(kSetHeader) + "\n";
  for (const SetSlot& slot : set.filled) {
    text += fmt::format("slot {} {} {}\n", slot.slot, slot.hash, slot.path.string());
  }
  return text;
}

Result<PresetSet> readSet(const fs::path& file) {
  const FileBytes bytes = readFileLimited(file);
  if (!bytes) return bytes.outcome().as(TextId::Because, {file.string()});
  Result<PresetSet> set = parseSet(*bytes);
  if (!set) return set.outcome().as(TextId::SetNotASet, {file.string()});
  return set;
}

Outcome writeSet(const fs::path& file, const PresetSet& set) {
  return writeFileAtomically(file, setText(set));
}

Result<PresetSet> makeSet(Library& library, const std::vector<std::pair<int, std::string>>& slots) {
  PresetSet set;
  for (const auto& [slot, name] : slots) {
    if (slot < 1 || slot > kSlotCount)
      return Result<PresetSet>::failure(Text(TextId::SetSlotNumber));
    if (std::any_of(set.filled.begin(), set.filled.end(),
                    [&](const SetSlot& s) { return s.slot == slot; })) {
      return Result<PresetSet>::failure(Text(TextId::SetSlotTwice, {slot}));
    }
    const Result<LibraryPreset> preset = library.find(name);
    if (!preset) return preset.outcome();
    if (preset->refused) {
      return Result<PresetSet>::failure(
          Text(TextId::SetUnusable, {slot, preset->path.string(), *preset->refused}));
    }
    set.filled.push_back({slot, preset->hash, preset->relative()});
  }
  if (set.filled.empty()) return Result<PresetSet>::failure(Text(TextId::SetEmpty));
  std::sort(set.filled.begin(), set.filled.end(),
            [](const SetSlot& a, const SetSlot& b) { return a.slot < b.slot; });
  return set;
}

Result<std::vector<SetSlotPlan>> planSet(Library& library, const PresetSet& set,
                                         const SlotStates& slots, const ChoiceLists& lists) {
  const Result<std::vector<LibraryPreset>> presets = library.list();
  if (!presets) return presets.outcome();
  std::vector<SetSlotPlan> plan;
  for (const SetSlot& named : set.filled) {
    SetSlotPlan slot;
    slot.named = named;
    const SlotState& state = slots[static_cast<std::size_t>(named.slot - 1)];
    slot.preview.state = state;
    const LibraryPreset* atPath = nullptr;
    const LibraryPreset* byHash = nullptr;
    for (const LibraryPreset& preset : *presets) {
      if (preset.missing) continue;
      if (preset.relative() == named.path && atPath == nullptr) atPath = &preset;
      if (preset.hash == named.hash && !preset.refused && byHash == nullptr) byHash = &preset;
    }
    // Where it was, unchanged; else wherever its contents went.
    const LibraryPreset* found = atPath != nullptr && atPath->hash == named.hash ? atPath : byHash;
    const std::string shown = named.path.string();
    if (found == nullptr) {
      slot.status = atPath != nullptr ? SetSlotPlan::Status::Changed : SetSlotPlan::Status::Missing;
      slot.preset = atPath != nullptr ? std::optional<LibraryPreset>(*atPath) : std::nullopt;
      slot.problem =
          Text(atPath != nullptr ? TextId::SetChanged : TextId::SetMissing, {named.slot, shown});
      plan.push_back(std::move(slot));
      continue;
    }
    slot.preset = *found;
    // The file itself decides, not what the index last saw of it.
    const FileBytes bytes = readFileLimited(found->path);
    if (!bytes && bytes.code() == Code::FileMissing) {
      slot.status = SetSlotPlan::Status::Missing;
      slot.problem = Text(TextId::SetMissing, {named.slot, shown});
      plan.push_back(std::move(slot));
      continue;
    }
    if (bytes && contentHash(*bytes) != named.hash) {
      slot.status = SetSlotPlan::Status::Changed;
      slot.problem = Text(TextId::SetChanged, {named.slot, shown});
      plan.push_back(std::move(slot));
      continue;
    }
    PresetRead read = bytes ? parsePreset(*bytes) : PresetRead(bytes.outcome());
    if (!read) {
      slot.status = SetSlotPlan::Status::Unusable;
      slot.problem = Text(TextId::SetUnusable, {named.slot, shown, read.outcome().text()});
      plan.push_back(std::move(slot));
      continue;
    }
    Preset document = copyOf(*read);
    document.global->mem = named.slot - 1;
    slot.status = SetSlotPlan::Status::Ready;
    slot.preview = previewSend(state, document, lists);
    slot.written = state.kind == SlotState::Kind::Holds && slot.preview.changes.empty();
    slot.document = std::move(document);
    plan.push_back(std::move(slot));
  }
  return plan;
}

bool planReady(const std::vector<SetSlotPlan>& plan) {
  return std::all_of(plan.begin(), plan.end(), [](const SetSlotPlan& slot) {
    return slot.status == SetSlotPlan::Status::Ready;
  });
}

}  // namespace padkbd
