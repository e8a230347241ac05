// The user's settings: which keyboard padkbd talks to. A small TOML file,
// $XDG_CONFIG_HOME/padkbd/settings.toml (~/.config/padkbd/settings.toml):
//
//   [keyboard]
//   device = "1209:0001"          # USB vendor:product id, hexadecimal
//   manufacturer = "00 20 6b"     # the three SysEx manufacturer bytes
//   port = "pad keyboard"         # through this MIDI port instead of raw USB
//   [editor]
//   confirm_send = false          # send without listing what will change
//   language = "en"               # the window's language ("" = the desktop's)
//   window = [40, 30, 1180, 700]  # where the window was last: x, y, width, height
//   last_folder = "/home/me/sets" # where documents were last opened or saved
//   detailed_log = true           # every exchange with the keyboard in the log
//   [history]
//   keep = 2000                   # entries kept, besides each memory slot's newest
//   [library]
//   folders = ["/media/me/shared/presets"]  # library folders besides the library's own
//
// Each value in force comes, highest first, from the command line, the
// settings file, or the build. A damaged file is reported and the built-in
// values are used; it is never rewritten behind the user's back.
#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "model/KeyboardId.h"
#include "model/Outcome.h"

namespace padkbd {

struct KeyboardSettings {
  std::optional<UsbIds> usb;
  std::optional<ManufacturerId> manufacturer;
  // A MIDI port name: the keyboard is reached through that port. Storing ids
  // without a port goes back to raw USB.
  std::optional<std::string> port{};
  bool operator==(const KeyboardSettings&) const = default;
};

// The stored keyboard, or why the file is damaged (where and how). A
// missing file is a success with no settings.
using SettingsRead = Result<KeyboardSettings>;

class SettingsFile {
 public:
  explicit SettingsFile(std::filesystem::path path = defaultPath());
  static std::filesystem::path defaultPath();
  const std::filesystem::path& path() const { return path_; }

  SettingsRead read() const;
  // Stores the keyboard (only the values given replace the stored ones;
  // other tables and keys of the file are kept). Refuses to overwrite a
  // damaged file. Atomic.
  Outcome storeKeyboard(const KeyboardSettings& keyboard) const;
  // Forgets the stored keyboard (the other contents stay).
  Outcome forgetKeyboard() const;

  // Whether the editor asks before a send ([editor] confirm_send; yes unless
  // the file says no).
  bool confirmsSend() const;
  Outcome storeConfirmsSend(bool confirm) const;

  // How many entries the history keeps ([history] keep), besides the newest
  // of every memory slot.
  static constexpr int kDefaultHistoryKeep = 2000;
  int historyKeep() const;

  // The window's language ([editor] language; empty when not set).
  std::string language() const;
  // Where the window was last (x, y, width, height); nothing when not
  // stored or not four sensible numbers.
  std::optional<std::array<int, 4>> windowGeometry() const;
  Outcome storeWindowGeometry(const std::array<int, 4>& geometry) const;
  // The folder documents were last opened from or saved to; empty if none.
  std::string lastFolder() const;
  Outcome storeLastFolder(const std::string& folder) const;
  // Whether the editor's log gets every exchange's lines ([editor] detailed_log; no unless the
  // file says yes).
  bool detailedLog() const;
  Outcome storeDetailedLog(bool detailed) const;

  // The folders the user added to the library ([library] folders), absolute
  // paths only; the library's own folder is not among them.
  std::vector<std::filesystem::path> libraryFolders() const;
  Outcome storeLibraryFolders(const std::vector<std::filesystem::path>& folders) const;

 private:
  // An [editor] switch: its value, `unset` when it is not there or the file
  // is damaged; and storing it.
  bool editorSwitch(const char* key, bool unset) const;
  Outcome storeEditorSwitch(const char* key, bool on) const;
  std::filesystem::path path_;
};

enum class SettingSource { BuiltIn, SettingsFile, CommandLine };
// "built in", "settings file", "command line".
Text sourceText(SettingSource source);
std::string sourceName(SettingSource source);

// The keyboard in force and where each of its two parts came from.
struct ResolvedKeyboard {
  KeyboardId id;
  SettingSource usbSource = SettingSource::BuiltIn;
  SettingSource manufacturerSource = SettingSource::BuiltIn;
  SettingSource portSource = SettingSource::BuiltIn;
  // When the settings file is damaged: what is wrong with it and that the
  // built-in values are used instead; `warning` says it in the tool's words
  // (empty otherwise).
  std::optional<Text> damage;
  std::string warning;
};

// Command line over settings file over build.
ResolvedKeyboard resolveKeyboard(const SettingsRead& settings, const KeyboardSettings& commandLine);

}  // namespace padkbd
