#include "storage/Settings.h"

#include <algorithm>

#include <toml++/toml.h>
#include <fstream>
#include <iterator>
#include <sstream>
#include <system_error>

#include "storage/FileAction.h"
#include "storage/Files.h"

namespace padkbd {

namespace fs = std::filesystem;

namespace {

// A settings file is a few lines; anything much larger is not one.
constexpr std::uintmax_t kMaxSettingsBytes = 64 * 1024;
constexpr const char* kHeader = "# padkbd settings; `padkbd use` writes this file.\n";

struct Parsed {
  Outcome outcome = Outcome::success();
  toml::table table;
  bool exists = false;
};

Parsed parseFile(const fs::path& path) {
  Parsed parsed;
  std::error_code ec;
  const auto status = fs::status(path, ec);
  if (ec || status.type() == fs::file_type::not_found) return parsed;
  parsed.exists = true;
  const auto damaged = [&](Code code, TextArg why) {
    parsed.outcome = Outcome::failure(code, Text(TextId::Because, {path.string(), std::move(why)}));
    return parsed;
  };
  if (status.type() != fs::file_type::regular) {
    return damaged(Code::FileDamaged, Text(TextId::SettingsNotRegular));
  }
  const auto size = fs::file_size(path, ec);
  if (ec) return damaged(Code::FileUnreadable, ec.message());
  if (size > kMaxSettingsBytes) {
    return damaged(Code::FileTooLarge,
                   Text(TextId::SettingsTooLarge, {static_cast<unsigned long>(size)}));
  }
  std::ifstream in(path, std::ios::binary);
  const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (!in.good() && !in.eof())
    return damaged(Code::FileUnreadable, Text(TextId::SettingsCannotRead));
  try {
    parsed.table = toml::parse(text, path.string());
  } catch (const toml::parse_error& error) {
    return damaged(Code::FileDamaged, Text(TextId::SettingsLine,
                                           {static_cast<unsigned long>(error.source().begin.line),
                                            std::string(error.description())}));
  }
  return parsed;
}

// The [keyboard] table's values, checked.
Outcome keyboardOf(const toml::table& table, KeyboardSettings& keyboard) {
  const toml::node* node = table.get("keyboard");
  if (node == nullptr) return Outcome::success();
  const toml::table* section = node->as_table();
  if (section == nullptr) return Outcome::failure(Text(TextId::KeyboardNotTable));
  if (const toml::node* device = section->get("device")) {
    const auto text = device->value<std::string>();
    const auto ids = text ? parseUsbIds(*text) : std::nullopt;
    if (!ids) return Outcome::failure(Text(TextId::DeviceNotIds));
    keyboard.usb = ids;
  }
  if (const toml::node* maker = section->get("manufacturer")) {
    const auto text = maker->value<std::string>();
    const auto id = text ? parseManufacturerId(*text) : std::nullopt;
    if (!id) {
      return Outcome::failure(Text(TextId::ManufacturerNotBytes));
    }
    keyboard.manufacturer = id;
  }
  if (const toml::node* port = section->get("port")) {
    const auto name = port->value<std::string>();
    if (!name || name->empty()) return Outcome::failure(Text(TextId::PortNotName));
    keyboard.port = name;
  }
  return Outcome::success();
}

Outcome writeTable(const fs::path& path, const toml::table& table) {
  std::error_code ec;
  if (!path.parent_path().empty()) fs::create_directories(path.parent_path(), ec);
  if (ec) {
    return Outcome::failure(
        Text(TextId::CouldNotCreate, {path.parent_path().string(), ec.message()}));
  }
  std::ostringstream text;
  text << kHeader << table << '\n';
  return writeFileAtomically(path, text.str());
}

}  // namespace

SettingsFile::SettingsFile(fs::path path) : path_(std::move(path)) {}

fs::path SettingsFile::defaultPath() {
  return xdgDirectory("XDG_CONFIG_HOME", ".config") / "settings.toml";
}

SettingsRead SettingsFile::read() const {
  Parsed parsed = parseFile(path_);
  if (!parsed.outcome) return parsed.outcome;
  KeyboardSettings keyboard;
  if (Outcome checked = keyboardOf(parsed.table, keyboard); !checked) {
    return checked.because(Text(TextId::Plain, {path_.string()}));
  }
  return keyboard;
}

namespace {

// Changes the file's contents with `change` and writes it back. What cannot
// be read is not rewritten: it may hold what the user meant.
template <typename Change>
Outcome update(const SettingsFile& file, Change change) {
  if (const SettingsRead current = file.read(); !current) {
    return Outcome::failure(current.code(), Text(TextId::MendOrForget, {current.outcome().text()}));
  }
  Parsed parsed = parseFile(file.path());
  if (!parsed.outcome) return parsed.outcome;
  change(parsed.table);
  return writeTable(file.path(), parsed.table);
}

// The table under `key`, made when missing.
toml::table& section(toml::table& table, const char* key) {
  if (table[key].as_table() == nullptr) table.insert_or_assign(key, toml::table{});
  return *table[key].as_table();
}

}  // namespace

Outcome SettingsFile::storeKeyboard(const KeyboardSettings& keyboard) const {
  return update(*this, [&](toml::table& table) {
    toml::table& kb = section(table, "keyboard");
    if (keyboard.usb) kb.insert_or_assign("device", formatUsbIds(*keyboard.usb));
    if (keyboard.manufacturer) {
      kb.insert_or_assign("manufacturer", formatManufacturerId(*keyboard.manufacturer));
    }
    // Ids alone choose raw USB again; a port chooses the port.
    if (keyboard.port) {
      kb.insert_or_assign("port", *keyboard.port);
    } else if (keyboard.usb) {
      kb.erase("port");
    }
  });
}

Outcome SettingsFile::forgetKeyboard() const {
  Parsed parsed = parseFile(path_);
  if (!parsed.exists) return Outcome::success();
  if (!parsed.outcome) {
    // A damaged file holds nothing usable: it goes.
    std::error_code ec;
    fs::remove(path_, ec);
    if (ec) return Outcome::failure(Text(TextId::CouldNotRemove, {path_.string(), ec.message()}));
    return Outcome::success();
  }
  parsed.table.erase("keyboard");
  return writeTable(path_, parsed.table);
}

bool SettingsFile::editorSwitch(const char* key, bool unset) const {
  const Parsed parsed = parseFile(path_);
  if (!parsed.outcome) return unset;
  return parsed.table["editor"][key].value_or(unset);
}

Outcome SettingsFile::storeEditorSwitch(const char* key, bool on) const {
  return update(*this,
                [&](toml::table& table) { section(table, "editor").insert_or_assign(key, on); });
}

bool SettingsFile::confirmsSend() const {
  return editorSwitch("confirm_send", true);
}

Outcome SettingsFile::storeConfirmsSend(bool confirm) const {
  return storeEditorSwitch("confirm_send", confirm);
}

bool SettingsFile::detailedLog() const {
  return editorSwitch("detailed_log", false);
}

Outcome SettingsFile::storeDetailedLog(bool detailed) const {
  return storeEditorSwitch("detailed_log", detailed);
}

int SettingsFile::historyKeep() const {
  const Parsed parsed = parseFile(path_);
  const std::int64_t keep =
      parsed.outcome ? parsed.table["history"]["keep"].value_or(std::int64_t{kDefaultHistoryKeep})
                     : kDefaultHistoryKeep;
  // Fewer than one entry would keep nothing but the slots' newest.
  return static_cast<int>(std::clamp<std::int64_t>(keep, 1, 1'000'000));
}

std::string SettingsFile::language() const {
  const Parsed parsed = parseFile(path_);
  if (!parsed.outcome) return {};
  return parsed.table["editor"]["language"].value_or(std::string());
}

std::optional<std::array<int, 4>> SettingsFile::windowGeometry() const {
  const Parsed parsed = parseFile(path_);
  const toml::array* stored =
      parsed.outcome ? parsed.table["editor"]["window"].as_array() : nullptr;
  if (stored == nullptr || stored->size() != 4) return std::nullopt;
  std::array<int, 4> geometry{};
  for (std::size_t n = 0; n < 4; ++n) {
    const std::optional<std::int64_t> value = (*stored)[n].value<std::int64_t>();
    // Positions may be negative (a screen left of the first); sizes not.
    const std::int64_t low = n < 2 ? -100000 : 1;
    if (!value || *value < low || *value > 100000) return std::nullopt;
    geometry[n] = static_cast<int>(*value);
  }
  return geometry;
}

Outcome SettingsFile::storeWindowGeometry(const std::array<int, 4>& geometry) const {
  return update(*this, [&](toml::table& table) {
    toml::array stored;
    for (int value : geometry) stored.push_back(value);
    section(table, "editor").insert_or_assign("window", std::move(stored));
  });
}

std::string SettingsFile::lastFolder() const {
  const Parsed parsed = parseFile(path_);
  if (!parsed.outcome) return {};
  return parsed.table["editor"]["last_folder"].value_or(std::string());
}

Outcome SettingsFile::storeLastFolder(const std::string& folder) const {
  return update(*this, [&](toml::table& table) {
    section(table, "editor").insert_or_assign("last_folder", folder);
  });
}

std::vector<std::filesystem::path> SettingsFile::libraryFolders() const {
  std::vector<std::filesystem::path> folders;
  const Parsed parsed = parseFile(path_);
  if (!parsed.outcome) return folders;
  if (const toml::array* list = parsed.table["library"]["folders"].as_array()) {
    for (const toml::node& each : *list) {
      // Only absolute paths: a relative one would change with the working folder.
      if (const auto folder = each.value<std::string>();
          folder && !folder->empty() && folder->front() == '/') {
        folders.emplace_back(*folder);
      }
    }
  }
  return folders;
}

Outcome SettingsFile::storeLibraryFolders(const std::vector<std::filesystem::path>& folders) const {
  return update(*this, [&](toml::table& table) {
    toml::array stored;
    for (const std::filesystem::path& folder : folders) stored.push_back(folder.string());
    section(table, "library").insert_or_assign("folders", std::move(stored));
  });
}

Text sourceText(SettingSource source) {
  switch (source) {
    case SettingSource::BuiltIn:
      break;
    case SettingSource::SettingsFile:
      return Text(TextId::SourceSettingsFile);
    case SettingSource::CommandLine:
      return Text(TextId::SourceCommandLine);
  }
  return Text(TextId::SourceBuiltIn);
}

std::string sourceName(SettingSource source) {
  return english(sourceText(source));
}

ResolvedKeyboard resolveKeyboard(const SettingsRead& settings,
                                 const KeyboardSettings& commandLine) {
  ResolvedKeyboard resolved;
  resolved.id = builtInKeyboard();
  static const KeyboardSettings kNone;
  const KeyboardSettings& stored = settings ? *settings : kNone;
  if (!settings) {
    resolved.damage = Text(TextId::SettingsDamaged, {settings.outcome().text()});
    resolved.warning = english(*resolved.damage);
  }
  if (stored.usb) {
    resolved.id.usb = *stored.usb;
    resolved.usbSource = SettingSource::SettingsFile;
  }
  if (stored.manufacturer) {
    resolved.id.manufacturer = *stored.manufacturer;
    resolved.manufacturerSource = SettingSource::SettingsFile;
  }
  if (commandLine.usb) {
    resolved.id.usb = *commandLine.usb;
    resolved.usbSource = SettingSource::CommandLine;
  }
  if (commandLine.manufacturer) {
    resolved.id.manufacturer = *commandLine.manufacturer;
    resolved.manufacturerSource = SettingSource::CommandLine;
  }
  // A port reaches the keyboard instead of its USB ids; ids given on the
  // command line mean raw USB whatever the file says.
  if (stored.port && !commandLine.usb) {
    resolved.id.port = *stored.port;
    resolved.portSource = SettingSource::SettingsFile;
  }
  if (commandLine.port) {
    resolved.id.port = *commandLine.port;
    resolved.portSource = SettingSource::CommandLine;
  }
  return resolved;
}

}  // namespace padkbd
