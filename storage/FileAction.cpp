#include "storage/FileAction.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <fmt/format.h>

#include "model/Log.h"
#include "model/ValueAction.h"
#include "storage/PlistShape.h"
#include "storage/PresetDictionary.h"
#include "storage/TempFiles.h"

namespace padkbd {

namespace fs = std::filesystem;

namespace {

// ---- Ranges of the fields: the sizes of their code tables. ----

struct Range {
  std::int32_t low;
  std::int32_t high;
  bool contains(std::int32_t v) const { return v >= low && v <= high; }
};

template <std::size_t N>
constexpr Range rangeOf(const ValueAction::CodeTable<N>& table) {
  return {0, table.size() - 1};
}

// In the order of kButtonKeys.
Range controlRange(std::size_t key, bool pad) {
  using namespace ValueAction;
  constexpr Range k127 = rangeOf(k127Table);
  // An other control has no colour; a read from the controller leaves -1 there.
  constexpr Range kOtherColour{-1, k127.high};
  switch (key) {
    case 2:  // Mode
      return pad ? rangeOf(kPadModeTable) : rangeOf(kOtherModeTable);
    case 3:  // Channel
      return rangeOf(kChannelTable);
    case 7:  // ModeOption: sent through the curve table
      return rangeOf(kCurveTable);
    case 8:   // CR
    case 9:   // CG
    case 10:  // CB
      return pad ? k127 : kOtherColour;
    default:  // Value, MIDInumb, Min, Max
      return k127;
  }
}

// In the order of kPadKeys.
constexpr std::array<Range, 7> kGlobalRanges{{
    rangeOf(ValueAction::kKnobRelativeModeTable),
    rangeOf(ValueAction::kOctaveTranspositionTable),
    rangeOf(ValueAction::kGlobalChannelTable),
    rangeOf(ValueAction::kCurveTable),
    rangeOf(ValueAction::kCurveTable),
    rangeOf(ValueAction::kKnobAccelerationTable),
    rangeOf(ValueAction::kMemTable),
}};
static_assert(kGlobalRanges.size() == kPadKeys.size());

std::string outside(std::int32_t value, Range range) {
  return fmt::format("{} is outside {}\u2013{}", value, range.low, range.high);
}

Outcome checkControl(std::size_t index, const ButtonValue& button) {
  if (button.buttonID != static_cast<std::int32_t>(index)) {
    return Outcome::failure(fmt::format("control {} has BtnID {}", index, button.buttonID));
  }
  const bool pad = isPadControl(static_cast<std::int32_t>(index));
  for (std::size_t k = 1; k < kButtonKeys.size(); ++k) {
    const std::int32_t value = button.*kButtonKeys[k].field;
    const Range range = controlRange(k, pad);
    if (!range.contains(value)) {
      return Outcome::failure(
          fmt::format("control {}: {} {}", index, kButtonKeys[k].key, outside(value, range)));
    }
  }
  return Outcome::success();
}

Outcome checkGlobal(const PadValue& pad) {
  for (std::size_t k = 0; k < kPadKeys.size(); ++k) {
    const std::int32_t value = pad.*kPadKeys[k].field;
    if (!kGlobalRanges[k].contains(value)) {
      return Outcome::failure(
          fmt::format("global settings: {} {}", kPadKeys[k].key, outside(value, kGlobalRanges[k])));
    }
  }
  return Outcome::success();
}

// ---- Property-list structure. ----

const char* kindName(plist_t node) {
  switch (plist_get_node_type(node)) {
    case PLIST_ARRAY:
      return "an array";
    case PLIST_DICT:
      return "a dictionary";
    case PLIST_DATE:
      return "a date";
    case PLIST_DATA:
      return "data";
    default:
      return "a value of no number kind";
  }
}

// The first known key whose value has no integer value, if any.
template <typename Keys>
std::optional<std::string> wrongKind(plist_t dic, const Keys& keys) {
  for (const auto& key : keys) {
    plist_t value = plist_dict_get_item(dic, key.key);
    if (value != nullptr && !hasIntegerKind(value)) {
      return fmt::format("\"{}\" holds {}, not a number", key.key, kindName(value));
    }
  }
  return std::nullopt;
}

PresetRead refused(std::string message) {
  PresetRead read;
  read.outcome = Outcome::failure(std::move(message));
  return read;
}

// Converts a parsed root into a preset, refusing it at its first problem.
PresetRead presetFromRoot(plist_t root) {
  if (root == nullptr || plist_get_node_type(root) != PLIST_DICT) {
    return refused("the file is not a preset dictionary");
  }
  plist_t array = plist_dict_get_item(root, kButtonArrayKey);
  if (array == nullptr) return refused("the preset has no \"ButtonArray\"");
  if (plist_get_node_type(array) != PLIST_ARRAY) return refused("\"ButtonArray\" is not an array");
  const std::uint32_t count = plist_array_get_size(array);
  if (count != kControlCount) {
    return refused(
        fmt::format("\"ButtonArray\" has {} controls instead of {}", count, kControlCount));
  }
  PresetRead read;
  read.preset.buttons.reserve(count);
  for (std::uint32_t i = 0; i < count; ++i) {
    plist_t element = plist_array_get_item(array, i);
    if (plist_get_node_type(element) != PLIST_DICT) {
      return refused(fmt::format("control {} is not a dictionary", i));
    }
    if (auto problem = wrongKind(element, kButtonKeys)) {
      return refused(fmt::format("control {}: {}", i, *problem));
    }
    ButtonValuePtr button = ButtonAction::GetButtonValueFromDic(element);
    if (Outcome ok = checkControl(i, *button); !ok) return refused(ok.message());
    read.preset.buttons.push_back(std::move(button));
  }
  // A preset without global settings is allowed: they read as all zeros.
  plist_t global = plist_dict_get_item(root, kGlobalValueKey);
  if (global != nullptr) {
    if (plist_get_node_type(global) != PLIST_DICT) {
      return refused("\"GlobalValue\" is not a dictionary");
    }
    if (auto problem = wrongKind(global, kPadKeys)) {
      return refused(fmt::format("global settings: {}", *problem));
    }
  }
  read.preset.global = ButtonAction::GetPadValueFromDic(global);
  if (Outcome ok = checkGlobal(*read.preset.global); !ok) return refused(ok.message());
  return read;
}

bool isBinaryPlist(std::string_view bytes) {
  return bytes.size() >= 8 && bytes.substr(0, 6) == "bplist";
}

bool isUtf8(std::string_view text) {
  std::size_t i = 0;
  const std::size_t n = text.size();
  while (i < n) {
    const auto c = static_cast<unsigned char>(text[i]);
    std::size_t extra;
    std::uint32_t cp;
    if (c < 0x80) {
      ++i;
      continue;
    } else if ((c & 0xE0) == 0xC0) {
      extra = 1;
      cp = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
      extra = 2;
      cp = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
      extra = 3;
      cp = c & 0x07;
    } else {
      return false;
    }
    if (n - i <= extra) return false;
    for (std::size_t k = 1; k <= extra; ++k) {
      const auto cc = static_cast<unsigned char>(text[i + k]);
      if ((cc & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (cc & 0x3F);
    }
    // Overlong forms, surrogates and code points past U+10FFFF are not UTF-8.
    static constexpr std::uint32_t kMinimum[] = {0, 0x80, 0x800, 0x10000};
    if (cp < kMinimum[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    i += extra + 1;
  }
  return true;
}

// Parses without any check of the content; an unusable input gives no node.
PlistNode parsePlist(std::string_view bytes, std::string* problem) {
  auto fail = [&](std::string message) {
    if (problem != nullptr) *problem = std::move(message);
    return PlistNode();
  };
  if (bytes.empty()) return fail("the file is empty");
  if (bytes.size() > kMaxPresetFileBytes) {
    return fail(fmt::format("the file is too large for a preset ({} bytes, at most {})",
                            bytes.size(), kMaxPresetFileBytes));
  }
  if (!isBinaryPlist(bytes) && !isUtf8(bytes)) {
    return fail("the file is neither a binary property list nor UTF-8 text");
  }
  // The library recurses as deep as the input nests: its shape is checked first.
  if (auto shape = isBinaryPlist(bytes) ? plistshape::binaryProblem(bytes)
                                        : plistshape::xmlProblem(bytes)) {
    return fail(std::move(*shape));
  }
  plist_t root = nullptr;
  plist_from_memory(bytes.data(), static_cast<std::uint32_t>(bytes.size()), &root);
  if (root == nullptr) return fail("the file is not a property list");
  return PlistNode(root);
}

struct FileBytes {
  Outcome outcome = Outcome::success();
  std::string bytes;
};

std::string errorText(int error) {
  return std::strerror(error);
}

// Reads a whole regular file of at most kMaxPresetFileBytes. Opening does not
// block (a FIFO chosen by mistake is refused, not waited on).
FileBytes readFileLimited(const fs::path& path) {
  FileBytes result;
  auto fail = [&](std::string message) {
    result.outcome = Outcome::failure(std::move(message));
    result.bytes.clear();
    return result;
  };
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return fail(fmt::format("cannot open it ({})", errorText(errno)));
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return fail("it is not a regular file");
  }
  if (static_cast<std::uintmax_t>(info.st_size) > kMaxPresetFileBytes) {
    ::close(fd);
    return fail(fmt::format("the file is too large for a preset ({} bytes, at most {})",
                            static_cast<std::uintmax_t>(info.st_size), kMaxPresetFileBytes));
  }
  // Read one byte more than allowed, in case the file grew since fstat.
  result.bytes.resize(kMaxPresetFileBytes + 1);
  std::size_t total = 0;
  while (total < result.bytes.size()) {
    const ssize_t got = ::read(fd, result.bytes.data() + total, result.bytes.size() - total);
    if (got < 0) {
      if (errno == EINTR) continue;
      const int error = errno;
      ::close(fd);
      return fail(fmt::format("cannot read it ({})", errorText(error)));
    }
    if (got == 0) break;
    total += static_cast<std::size_t>(got);
  }
  ::close(fd);
  if (total > kMaxPresetFileBytes) {
    return fail(
        fmt::format("the file is too large for a preset (at most {} bytes)", kMaxPresetFileBytes));
  }
  result.bytes.resize(total);
  return result;
}

// The root of a property-list file, unchecked; no node when unreadable.
PlistNode readPlistFile(const fs::path& path) {
  FileBytes file = readFileLimited(path);
  if (!file.outcome) return PlistNode();
  return parsePlist(file.bytes, nullptr);
}

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

std::string describeForLog(std::string_view bytes) {
  if (isBinaryPlist(bytes)) return fmt::format("<binary property list, {} bytes>", bytes.size());
  if (!isUtf8(bytes)) return fmt::format("<{} bytes that are not UTF-8 text>", bytes.size());
  return std::string(bytes);
}

}  // namespace

// ---- Checks and files. ----

Outcome checkPreset(const Preset& preset) {
  if (preset.buttons.size() != static_cast<std::size_t>(kControlCount)) {
    return Outcome::failure(fmt::format("\"ButtonArray\" has {} controls instead of {}",
                                        preset.buttons.size(), kControlCount));
  }
  for (std::size_t i = 0; i < preset.buttons.size(); ++i) {
    if (!preset.buttons[i]) return Outcome::failure(fmt::format("control {} is missing", i));
    if (Outcome ok = checkControl(i, *preset.buttons[i]); !ok) return ok;
  }
  if (!preset.global) return Outcome::failure("the global settings are missing");
  return checkGlobal(*preset.global);
}

PresetRead parsePreset(std::string_view bytes) {
  std::string problem;
  PlistNode root = parsePlist(bytes, &problem);
  if (!root) return refused(problem);
  return presetFromRoot(root.get());
}

PresetRead readPresetFile(const fs::path& path) {
  FileBytes file = readFileLimited(path);
  if (!file.outcome) return refused(file.outcome.message());
  return parsePreset(file.bytes);
}

std::string presetToXml(const ButtonValueList& buttons, const PadValue& global) {
  return ButtonAction::GetDicFromPreset(buttons, global).toXml();
}

Outcome writePresetFile(const fs::path& path, const ButtonValueList& buttons,
                        const PadValue& global) {
  return writeFileAtomically(path, presetToXml(buttons, global));
}

Outcome writeFileAtomically(const fs::path& path, std::string_view bytes) {
  static std::atomic<unsigned> counter{0};
  const fs::path name = path.filename();
  auto fail = [&](const std::string& why) {
    return Outcome::failure(fmt::format("Could not write {}: {}", path.string(), why));
  };
  if (name.empty() || name == "." || name == "..") return fail("that is not a file name");
  const fs::path dir = path.parent_path().empty() ? fs::path(".") : path.parent_path();

  // What a run killed in the middle of writing this file left beside it.
  tempfiles::removeStale(dir / name);
  fs::path temporary;
  int fd = -1;
  int registered = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temporary = tempfiles::siblingFor(dir / name, counter++);
    // Registered first: a signal between the creation and the rename removes it.
    registered = tempfiles::add(temporary);
    fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd < 0) {
      const int error = errno;
      tempfiles::remove(registered);
      if (error != EEXIST) return fail(errorText(error));
    }
  }
  if (fd < 0) return fail("no free name for a temporary file beside it");

  auto abandon = [&](int error) {
    if (fd >= 0) ::close(fd);
    ::unlink(temporary.c_str());
    tempfiles::remove(registered);
    return fail(errorText(error));
  };
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t wrote = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (wrote < 0) {
      if (errno == EINTR) continue;
      return abandon(errno);
    }
    done += static_cast<std::size_t>(wrote);
  }
  if (::fsync(fd) != 0) return abandon(errno);
  const int closed = ::close(fd);
  fd = -1;
  if (closed != 0) return abandon(errno);
  if (::rename(temporary.c_str(), path.c_str()) != 0) return abandon(errno);
  tempfiles::remove(registered);
  // Make the rename itself durable; the data is safe either way.
  const int dirFd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirFd >= 0) {
    ::fsync(dirFd);
    ::close(dirFd);
  }
  return Outcome::success();
}

// ---- FileAction. ----

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
  log::diag("write--->%s", xml);
  std::error_code ec;
  fs::create_directories(workingCopy_.parent_path(), ec);
  if (ec) {
    return Outcome::failure(fmt::format("Could not create the folder of the working copy {}: {}",
                                        workingCopy_.parent_path().string(), ec.message()));
  }
  Outcome written = writeFileAtomically(workingCopy_, xml);
  if (!written) log::diag("%s", written.message());
  return written;
}

Preset FileAction::defaultPreset() const {
  std::string why;
  if (const auto path = pathForResource("default", "plist")) {
    PresetRead read = readPresetFile(*path);
    if (read.outcome) return std::move(read.preset);
    why = fmt::format("the shipped default preset {} is refused: {}", path->string(),
                      read.outcome.message());
  } else {
    why = fmt::format("the shipped default preset default.plist is missing from {}",
                      resourceDir_.string());
  }
  log::diag("%s; the built-in default preset is used instead", why);
  PresetRead builtin = parsePreset(builtinDefaultPresetXml());
  if (builtin.outcome) return std::move(builtin.preset);
  log::diag("the built-in default preset is refused too (%s); a neutral preset is used",
            builtin.outcome.message());
  return neutralPreset();
}

Outcome FileAction::ensureWorkingCopy() {
  std::error_code ec;
  if (fs::exists(workingCopy_, ec)) return Outcome::success();
  fs::create_directories(workingCopy_.parent_path(), ec);
  if (ec) {
    return Outcome::failure(fmt::format("Could not create the folder of the working copy {}: {}",
                                        workingCopy_.parent_path().string(), ec.message()));
  }
  std::string seed;
  if (const auto shipped = pathForResource("temp", "plist")) {
    FileBytes file = readFileLimited(*shipped);
    if (file.outcome) seed = std::move(file.bytes);
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
  if (Outcome ready = ensureWorkingCopy(); !ready) return refused(ready.message());
  PresetRead read = readPresetFile(workingCopy_);
  if (!read.outcome) {
    read.outcome = Outcome::failure(fmt::format("The working copy {} is unusable: {}",
                                                workingCopy_.string(), read.outcome.message()));
  }
  return read;
}

Outcome FileAction::importDocument(const fs::path& document) {
  log::diag("path---->%s", document.string());
  FileBytes file = readFileLimited(document);
  if (!file.outcome) {
    return Outcome::failure(
        fmt::format("Could not load {}: {}", document.string(), file.outcome.message()));
  }
  log::diag("fileContext---->%s", describeForLog(file.bytes));
  PresetRead read = parsePreset(file.bytes);
  if (!read.outcome) {
    return Outcome::failure(
        fmt::format("Could not load {}: {}", document.string(), read.outcome.message()));
  }
  // Only a checked preset reaches the working copy, and always as XML.
  std::error_code ec;
  fs::create_directories(workingCopy_.parent_path(), ec);
  Outcome written =
      writeFileAtomically(workingCopy_, presetToXml(read.preset.buttons, *read.preset.global));
  if (!written) {
    return Outcome::failure(
        fmt::format("Could not load {}: {}", document.string(), written.message()));
  }
  return Outcome::success();
}

Outcome FileAction::exportWorkingCopy(const fs::path& document) {
  log::diag("save path--->%s", document.string());
  // No seeding here: a missing working copy means the save before this failed,
  // and the shipped copy must not end up in the user's document.
  PresetRead read = readPresetFile(workingCopy_);
  if (!read.outcome) {
    return Outcome::failure(fmt::format("Could not save {}: the working copy {} is unusable: {}",
                                        document.string(), workingCopy_.string(),
                                        read.outcome.message()));
  }
  const std::string xml = presetToXml(read.preset.buttons, *read.preset.global);
  log::diag("dicdata--->%s", xml);
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
