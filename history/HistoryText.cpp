// The history's words: kinds, keyboards and times as the tool and the
// database name them.
#include <fmt/format.h>


#include "history/History.h"

namespace padkbd {
namespace {

constexpr std::string_view kPortPrefix = "port ";
constexpr std::string_view kSimulated = "simulated";

}  // namespace

const char* kindName(EntryKind kind) {
  switch (kind) {
    case EntryKind::Read:
      return "read";
    case EntryKind::Sent:
      return "sent";
    case EntryKind::Stopped:
      return "stopped";
  }
  return "read";
}

std::optional<EntryKind> parseKind(std::string_view name) {
  for (EntryKind kind : {EntryKind::Read, EntryKind::Sent, EntryKind::Stopped}) {
    if (name == kindName(kind)) return kind;
  }
  return std::nullopt;
}

const char* kindName(KeyboardKind kind) {
  switch (kind) {
    case KeyboardKind::Usb:
      return "usb";
    case KeyboardKind::Port:
      return "port";
    case KeyboardKind::Simulated:
      return "simulated";
  }
  return "usb";
}

std::optional<KeyboardKind> parseKeyboardKind(std::string_view name) {
  for (KeyboardKind kind : {KeyboardKind::Usb, KeyboardKind::Port, KeyboardKind::Simulated}) {
    if (name == kindName(kind)) return kind;
  }
  return std::nullopt;
}

std::string keyboardKey(const KeyboardId& keyboard, const std::string& serial) {
  if (!keyboard.port.empty()) return std::string(kPortPrefix) + keyboard.port;
  std::string key = "usb " + formatUsbIds(keyboard.usb);
  if (!serial.empty()) key += " serial " + serial;
  return key;
}

std::string simulatedKey(const std::filesystem::path& stateFile) {
  if (stateFile.empty()) return std::string(kSimulated);
  // The same file named from another folder is the same keyboard.
  std::error_code ec;
  std::filesystem::path absolute = std::filesystem::absolute(stateFile, ec);
  if (ec) absolute = stateFile;
  return fmt::format("{} {}", kSimulated, absolute.lexically_normal().string());
}

KeyboardKind keyboardKindOf(std::string_view key) {
  if (key.starts_with(kPortPrefix)) return KeyboardKind::Port;
  if (key == kSimulated || key.starts_with(std::string(kSimulated) + " ")) {
    return KeyboardKind::Simulated;
  }
  return KeyboardKind::Usb;
}

std::string keyboardLabel(const std::string& key) {
  switch (keyboardKindOf(key)) {
    case KeyboardKind::Port:
      return "MIDI port " + key.substr(kPortPrefix.size());
    case KeyboardKind::Simulated:
      return key == kSimulated ? "simulated keyboard"
                               : "simulated keyboard, state file " + key.substr(kSimulated.size() + 1);
    case KeyboardKind::Usb:
      break;
  }
  if (!key.starts_with("usb ")) return key;
  std::string label = "USB " + key.substr(4);
  if (const auto at = label.find(" serial "); at != std::string::npos) label.replace(at, 1, ", ");
  return label;
}

std::string whatText(const HistoryEntry& entry) {
  switch (entry.kind) {
    case EntryKind::Read:
      return "read";
    case EntryKind::Sent:
      return fmt::format("sent to memory slot {}", entry.slot);
    case EntryKind::Stopped:
      return fmt::format("stopped after {} of {} settings to memory slot {}", entry.written,
                         entry.total, entry.slot);
  }
  return "";
}

}  // namespace padkbd
