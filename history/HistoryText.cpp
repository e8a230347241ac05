// The history's words: kinds, keyboards and sources as the database keeps
// them, and as texts for the faces to word.
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

Text keyboardText(const std::string& key) {
  switch (keyboardKindOf(key)) {
    case KeyboardKind::Port:
      return Text(TextId::KeyboardPort, {key.substr(kPortPrefix.size())});
    case KeyboardKind::Simulated:
      return key == kSimulated
                 ? Text(TextId::KeyboardSimulated)
                 : Text(TextId::KeyboardSimulatedFile, {key.substr(kSimulated.size() + 1)});
    case KeyboardKind::Usb:
      break;
  }
  if (!key.starts_with("usb ")) return Text(TextId::Plain, {key});
  const std::string ids = key.substr(4);
  if (const auto at = ids.find(" serial "); at != std::string::npos) {
    return Text(TextId::KeyboardUsbSerial, {ids.substr(0, at), ids.substr(at + 8)});
  }
  return Text(TextId::KeyboardUsb, {ids});
}

Text whatText(const HistoryEntry& entry) {
  switch (entry.kind) {
    case EntryKind::Read:
      break;
    case EntryKind::Sent:
      return Text(TextId::EntrySent, {entry.slot});
    case EntryKind::Stopped:
      return Text(TextId::EntryStopped, {entry.written, entry.total, entry.slot});
  }
  return Text(TextId::EntryRead);
}

namespace {

constexpr std::string_view kFromKeyboard = "from the keyboard";
constexpr std::string_view kDefaultPreset = "default preset";
constexpr std::string_view kEntryPrefix = "history entry ";
constexpr std::string_view kEdited = ", edited";

}  // namespace

Text sourceText(std::string_view source) {
  if (source.ends_with(kEdited)) {
    return Text(TextId::SourceEdited,
                {sourceText(source.substr(0, source.size() - kEdited.size()))});
  }
  if (source == kFromKeyboard) return Text(TextId::SourceKeyboard);
  if (source == kDefaultPreset) return Text(TextId::SourceDefault);
  if (source.starts_with(kEntryPrefix)) {
    const std::string_view id = source.substr(kEntryPrefix.size());
    if (!id.empty() && id.size() < 19 &&
        id.find_first_not_of("0123456789") == std::string_view::npos) {
      return Text(TextId::SourceEntry, {std::string(id)});
    }
  }
  // A document's name.
  return Text(TextId::Plain, {source});
}

}  // namespace padkbd
