#include "storage/FileAction.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

#include <fmt/format.h>

#include "model/Log.h"
#include "storage/PresetDictionary.h"

namespace padkbd {

namespace fs = std::filesystem;

namespace {

// The last resort when even the built-in default is unusable: every control
// on its own index, everything else at the first entry of its list.
Preset neutralPreset() {
  Preset preset;
  for (std::int32_t i = 0; i < kControlCount; ++i) {
    auto button = std::make_shared<ButtonValue>();
    button->buttonID = i;
    if (!isPadControl(i)) button->CR = button->CG = button->CB = -1;
    preset.buttons.push_back(std::move(button));
  }
  preset.global = std::make_shared<PadValue>();
  return preset;
}

}  // namespace

FileAction::FileAction(fs::path resourceDir, fs::path workingCopy)
    : resourceDir_(std::move(resourceDir)), workingCopy_(std::move(workingCopy)) {}

fs::path xdgDirectory(const char* variable, const fs::path& fallback) {
  // Only an absolute path counts; a relative one is to be ignored.
  if (const char* xdg = std::getenv(variable); xdg != nullptr && xdg[0] == '/') {
    return fs::path(xdg) / "padkbd";
  }
  fs::path home;
  if (const char* env = std::getenv("HOME"); env != nullptr && env[0] != '\0') {
    home = env;
  } else if (const passwd* user = ::getpwuid(::getuid()); user != nullptr && user->pw_dir) {
    home = user->pw_dir;
  } else {
    std::error_code ec;
    home = fs::temp_directory_path(ec);
  }
  return home / fallback / "padkbd";
}

fs::path FileAction::defaultWorkingCopyPath() {
  return xdgDirectory("XDG_DATA_HOME", fs::path(".local") / "share") / "temp.plist";
}

fs::path FileAction::findResourceDir(const fs::path& executable) {
  if (const char* env = std::getenv("PADKBD_RESOURCE_DIR"); env != nullptr && env[0] != '\0') {
    return fs::path(env);
  }
  std::error_code ec;
  fs::path exe = fs::absolute(executable, ec);
  if (ec) exe = executable;
  const fs::path dir = exe.parent_path();
  const fs::path installed = (dir.parent_path() / "share" / "padkbd").lexically_normal();
  // A program at <build>/<x>, or in a folder of the build tree like
  // <build>/editor, or installed in <prefix>/bin.
  for (const fs::path& candidate :
       {dir / "resources", dir.parent_path() / "resources", installed}) {
    if (fs::is_regular_file(candidate / "basic.plist", ec) ||
        fs::is_regular_file(candidate / "default.plist", ec)) {
      return candidate.lexically_normal();
    }
  }
  return installed;
}

const fs::path& FileAction::resourceDir() const {
  return resourceDir_;
}
const fs::path& FileAction::workingCopyPath() const {
  return workingCopy_;
}

std::optional<fs::path> FileAction::pathForResource(std::string_view name,
                                                    std::string_view type) const {
  // A resource is a plain file name: nothing may lead out of the directory.
  if (name.empty() || name.find('/') != std::string_view::npos ||
      type.find('/') != std::string_view::npos || name == "." || name == "..") {
    return std::nullopt;
  }
  std::string file(name);
  if (!type.empty()) file += "." + std::string(type);
  fs::path path = resourceDir_ / file;
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) return std::nullopt;
  return path;
}

Outcome FileAction::WriteButtonValuesToTempWithData(const ButtonValueList& buttons,
                                                    const PadValue& global) {
  const std::string xml = presetToXml(buttons, global);
  log::detailDiag("write--->%s", xml);
  std::error_code ec;
  fs::create_directories(workingCopy_.parent_path(), ec);
  if (ec) {
    return Outcome::failure(
        Text(TextId::WorkingCopyFolder, {workingCopy_.parent_path().string(), ec.message()}));
  }
  Outcome written = writeFileAtomically(workingCopy_, xml);
  if (!written) log::diag("%s", written.message());
  return written;
}

Preset FileAction::defaultPreset() const {
  std::string why;
  if (const auto path = pathForResource("default", "plist")) {
    PresetRead read = readPresetFile(*path);
    if (read) return std::move(*read);
    why =
        fmt::format("the shipped default preset {} is refused: {}", path->string(), read.message());
  } else {
    why = fmt::format("the shipped default preset default.plist is missing from {}",
                      resourceDir_.string());
  }
  log::diag("%s; the built-in default preset is used instead", why);
  // The built-in copy never changes: it is parsed once.
  static const PresetRead builtin = parsePreset(builtinDefaultPresetXml());
  // Callers edit the records of the preset they get: each gets its own.
  if (builtin) return copyOf(*builtin);
  log::diag("the built-in default preset is refused too (%s); a neutral preset is used",
            builtin.message());
  return neutralPreset();
}

Outcome FileAction::ensureWorkingCopy() {
  std::error_code ec;
  if (fs::exists(workingCopy_, ec)) return Outcome::success();
  fs::create_directories(workingCopy_.parent_path(), ec);
  if (ec) {
    return Outcome::failure(
        Text(TextId::WorkingCopyFolder, {workingCopy_.parent_path().string(), ec.message()}));
  }
  std::string seed;
  if (const auto shipped = pathForResource("temp", "plist")) {
    FileBytes file = readFileLimited(*shipped);
    if (file) seed = std::move(*file);
  }
  if (seed.empty()) {
    // Without the shipped copy the working copy starts as the default preset.
    log::diag(
        "the shipped working copy temp.plist is missing or unreadable in %s; "
        "the default preset seeds the working copy",
        resourceDir_.string());
    const Preset preset = defaultPreset();
    seed = presetToXml(preset.buttons, *preset.global);
  }
  Outcome written = writeFileAtomically(workingCopy_, seed);
  if (!written) log::diag("%s", written.message());
  return written;
}

PresetRead FileAction::readTempPreset() {
  if (Outcome ready = ensureWorkingCopy(); !ready) return ready;
  PresetRead read = readPresetFile(workingCopy_);
  if (!read) {
    return read.outcome().because(Text(TextId::WorkingCopyUnusable, {workingCopy_.string()}));
  }
  return read;
}

PresetRead FileAction::importDocument(const fs::path& document) {
  log::diag("path---->%s", document.string());
  const Text loading(TextId::CouldNotLoad, {document.string()});
  FileBytes file = readFileLimited(document);
  if (!file) return file.outcome().because(loading);
  log::detailDiag("fileContext---->%s", describeForLog(*file));
  PresetRead read = parsePreset(*file);
  if (!read) return read.outcome().because(loading);
  // Only a checked preset reaches the working copy, and always as XML: an
  // XML document as its own text (keys of its own and integer values kept),
  // a binary one in its XML form.
  std::error_code ec;
  fs::create_directories(workingCopy_.parent_path(), ec);
  Outcome written = writeFileAtomically(
      workingCopy_, isBinaryPlist(*file) ? presetToXml(read->buttons, *read->global) : *file);
  if (!written) return written.because(loading);
  return read;
}

Outcome FileAction::exportPreset(const Preset& preset, const fs::path& document) {
  log::diag("save path--->%s", document.string());
  if (Outcome usable = checkPreset(preset); !usable) {
    return usable.because(Text(TextId::CouldNotSave, {document.string()}));
  }
  const std::string xml = presetToXml(preset.buttons, *preset.global);
  log::detailDiag("dicdata--->%s", xml);
  Outcome written = writeFileAtomically(document, xml);
  if (!written) log::diag("%s", written.message());
  return written;
}

std::map<std::string, std::vector<std::string>> FileAction::readChoiceLists() const {
  std::map<std::string, std::vector<std::string>> lists;
  const auto path = pathForResource("basic", "plist");
  if (!path) return lists;
  PlistNode root = readPlistFile(*path);
  if (!root || plist_get_node_type(root.get()) != PLIST_DICT) return lists;
  plist_dict_iter iter = nullptr;
  plist_dict_new_iter(root.get(), &iter);
  if (iter == nullptr) return lists;
  for (;;) {
    char* key = nullptr;
    plist_t value = nullptr;
    plist_dict_next_item(root.get(), iter, &key, &value);
    if (key == nullptr) break;
    std::string name(key);
    std::free(key);
    if (value == nullptr || plist_get_node_type(value) != PLIST_ARRAY) continue;
    std::vector<std::string> items;
    const std::uint32_t count = plist_array_get_size(value);
    items.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) {
      // An item's meaning is its position, so a non-string keeps its place.
      plist_t item = plist_array_get_item(value, i);
      std::uint64_t length = 0;
      const char* text =
          plist_get_node_type(item) == PLIST_STRING ? plist_get_string_ptr(item, &length) : nullptr;
      items.emplace_back(text != nullptr ? std::string(text, length) : std::string());
    }
    lists.emplace(std::move(name), std::move(items));
  }
  std::free(iter);
  return lists;
}

}  // namespace padkbd
