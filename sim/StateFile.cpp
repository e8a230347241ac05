// State file format (text, UTF-8 or plain ASCII, one entry per line):
//
//   # comments and blank lines are ignored
//   padkbd-sim-state 1            <- required first entry: name and format version
//   usb VVVV:PPPP                 <- optional: the USB ids the keyboard is found by
//   manufacturer M1 M2 M3         <- optional: the manufacturer bytes it answers to
//   gain N VV                     <- N: gain 0-7 (decimal), VV: value byte, two hex digits
//   slot S PP WW VV               <- S: memory slot 0-8 (decimal); PP WW: a valid address,
//                                    VV: value byte 00-7F; all three two hex digits
//
// Entries not in the file keep the controller's initial settings, so a file
// may list only what a test or a demonstration cares about. saveState writes
// every entry.

#include <fmt/format.h>

#include <algorithm>
#include <charconv>
#include <fstream>
#include <iterator>
#include <string_view>
#include <system_error>
#include <vector>

#include "sim/SimulatedController.h"
#include "storage/Files.h"

namespace padkbd {
namespace {

constexpr std::size_t kMaxStateFileSize = 4 * 1024 * 1024;
constexpr const char* kStateHeader = "padkbd-sim-state";

// The words of a line, split at blanks as `>>` splits them, into `out`.
void splitWords(std::string_view line, std::vector<std::string_view>& out) {
  constexpr std::string_view kBlanks = " \t\n\v\f\r";
  out.clear();
  for (std::size_t at = line.find_first_not_of(kBlanks); at != std::string_view::npos;
       at = line.find_first_not_of(kBlanks, at)) {
    const std::size_t end = std::min(line.find_first_of(kBlanks, at), line.size());
    out.push_back(line.substr(at, end - at));
    at = end;
  }
}

// Exactly two hex digits.
bool parseHexByte(std::string_view token, std::uint8_t& out) {
  if (token.size() != 2) return false;
  unsigned value = 0;
  auto [ptr, ec] = std::from_chars(token.data(), token.data() + token.size(), value, 16);
  if (ec != std::errc() || ptr != token.data() + token.size()) return false;
  out = static_cast<std::uint8_t>(value);
  return true;
}

bool parseSmallInt(std::string_view token, int max, int& out) {
  if (token.empty() || token.size() > 3) return false;
  int value = 0;
  auto [ptr, ec] = std::from_chars(token.data(), token.data() + token.size(), value, 10);
  if (ec != std::errc() || ptr != token.data() + token.size() || value < 0 || value > max) {
    return false;
  }
  out = value;
  return true;
}

}  // namespace

Outcome SimulatedController::loadState(const std::filesystem::path& path) {
  const std::string name = path.string();
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) {
    return Outcome::failure(Text(TextId::StateMissing, {name}));
  }
  const auto size = std::filesystem::file_size(path, ec);
  if (ec) return Outcome::failure(Text(TextId::StateUnreadable, {name}));
  if (size > kMaxStateFileSize) {
    return Outcome::failure(Text(TextId::StateTooLarge, {name, static_cast<unsigned long>(size)}));
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) return Outcome::failure(Text(TextId::StateUnopenable, {name}));
  const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (in.bad()) return Outcome::failure(Text(TextId::StateUnreadable, {name}));
  return loadStateText(text, name);
}

Outcome SimulatedController::loadStateText(std::string_view text, const std::string& name) {
  if (text.size() > kMaxStateFileSize) {
    return Outcome::failure(
        Text(TextId::StateTooLarge, {name, static_cast<unsigned long>(text.size())}));
  }
  // Parse into copies; the controller changes only when the whole file is good.
  std::array<Slot, kSlotCount> slots;
  std::array<std::uint8_t, kGainCount> gains{};
  KeyboardId keyboard;
  {
    std::lock_guard lock(mutex_);
    slots = initialSlots();
    gains = initialGains();
    keyboard = keyboard_;
  }
  const auto error = [&](int line, Text why) {
    return Outcome::failure(Text(TextId::StateDamagedLine, {name, line, std::move(why)}));
  };

  int number = 0;
  bool sawHeader = false;
  std::vector<std::string_view> tokens;  // of the current line; kept to spare an allocation a line
  for (std::size_t next = 0; next < text.size();) {
    const std::size_t end = std::min(text.find('\n', next), text.size());
    std::string_view line = text.substr(next, end - next);
    next = end + 1;
    ++number;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.find('\0') != std::string_view::npos) return error(number, Text(TextId::StateNul));
    splitWords(line, tokens);
    if (tokens.empty() || tokens[0][0] == '#') continue;
    if (!sawHeader) {
      if (tokens.size() != 2 || tokens[0] != kStateHeader) {
        return error(number, Text(TextId::StateExpectedHeader, {kStateHeader}));
      }
      if (tokens[1] != "1") {
        return error(number, Text(TextId::StateVersion, {tokens[1]}));
      }
      sawHeader = true;
      continue;
    }
    if (tokens[0] == "usb") {
      const auto ids = tokens.size() == 2 ? parseUsbIds(tokens[1]) : std::nullopt;
      if (!ids) return error(number, Text(TextId::StateExpectedUsb));
      keyboard.usb = *ids;
    } else if (tokens[0] == "manufacturer") {
      // Its bytes as words: a tab between them or CRLF's CR after them is a blank as elsewhere.
      std::string bytes;
      for (std::size_t t = 1; t < tokens.size(); ++t) {
        bytes.append(t > 1 ? " " : "").append(tokens[t]);
      }
      const auto id = parseManufacturerId(bytes);
      if (!id) return error(number, Text(TextId::StateExpectedManufacturer));
      keyboard.manufacturer = *id;
    } else if (tokens[0] == "gain") {
      int n = 0;
      std::uint8_t value = 0;
      if (tokens.size() != 3) return error(number, Text(TextId::StateExpectedGain));
      if (!parseSmallInt(tokens[1], kGainCount - 1, n)) {
        return error(number, Text(TextId::StateGainNumber));
      }
      if (!parseHexByte(tokens[2], value) || value > 0x7F) {
        return error(number, Text(TextId::StateGainValue));
      }
      gains[static_cast<std::size_t>(n)] = value;
    } else if (tokens[0] == "slot") {
      int s = 0;
      std::uint8_t pp = 0, ww = 0, value = 0;
      if (tokens.size() != 5) return error(number, Text(TextId::StateExpectedSlot));
      if (!parseSmallInt(tokens[1], kSlotCount - 1, s)) {
        return error(number, Text(TextId::StateSlotNumber));
      }
      if (!parseHexByte(tokens[2], pp) || !parseHexByte(tokens[3], ww)) {
        return error(number, Text(TextId::StateHexPair));
      }
      if (!isValidAddress(pp, ww)) {
        return error(number, Text(TextId::StateNoSetting,
                                  {fmt::format("{:02x}", pp), fmt::format("{:02x}", ww)}));
      }
      if (!parseHexByte(tokens[4], value) || value > 0x7F) {
        return error(number, Text(TextId::StateValue));
      }
      slots[static_cast<std::size_t>(s)][{pp, ww}] = value;
    } else {
      return error(number, Text(TextId::StateUnknownEntry, {tokens[0].substr(0, 40)}));
    }
  }
  if (!sawHeader) {
    return Outcome::failure(Text(TextId::StateNoHeader, {name, kStateHeader}));
  }

  std::lock_guard lock(mutex_);
  slots_ = std::move(slots);
  gains_ = gains;
  keyboard_ = keyboard;
  return Outcome::success();
}

std::string SimulatedController::stateText() const {
  std::string text = fmt::format(
      "# Simulated controller: nine memory slots and eight gains.\n"
      "# gain N VV; slot S PP WW VV (N, S decimal; PP, WW, VV hex)\n"
      "{} 1\n",
      kStateHeader);
  {
    std::lock_guard lock(mutex_);
    text += fmt::format("usb {}\nmanufacturer {}\n", formatUsbIds(keyboard_.usb),
                        formatManufacturerId(keyboard_.manufacturer));
    for (int n = 0; n < kGainCount; ++n) {
      text += fmt::format("gain {} {:02x}\n", n, gains_[static_cast<std::size_t>(n)]);
    }
    for (int s = 0; s < kSlotCount; ++s) {
      for (const auto& [address, value] : slots_[static_cast<std::size_t>(s)]) {
        text +=
            fmt::format("slot {} {:02x} {:02x} {:02x}\n", s, address.first, address.second, value);
      }
    }
  }
  return text;
}

Outcome SimulatedController::saveState(const std::filesystem::path& path) const {
  const std::string text = stateText();
  // Written as documents are: a temporary file of its own, then a rename; a
  // failed save leaves the old file whole, and no symlink is followed.
  return writeFileAtomically(path, text);
}

}  // namespace padkbd
