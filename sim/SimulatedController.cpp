#include "sim/SimulatedController.h"

#include <fmt/format.h>
#include <fmt/printf.h>

#include <algorithm>
#include <charconv>
#include <fstream>
#include <iterator>
#include <sstream>
#include <system_error>
#include <thread>

#include "model/ValueAction.h"
#include "storage/FileAction.h"

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

namespace padkbd {
namespace {

namespace VA = ValueAction;

constexpr std::uint8_t kSysExEnd = 0xF7;
constexpr std::array<std::uint8_t, 8> kHandshakeRequest = {0x04, 0xF0, 0x7E, 0x7F,
                                                           0x07, 0x0A, 0x0B, 0xF7};
constexpr std::uint8_t kCommandRead = 0x01;
constexpr std::uint8_t kCommandWrite = 0x02;
constexpr std::uint8_t kGainSlot = 0x40;
constexpr std::uint8_t kGainParameter = 0x34;
constexpr std::uint8_t kFirstGainTarget = 0x70;
constexpr std::size_t kMaxStateFileSize = 4 * 1024 * 1024;
constexpr const char* kStateHeader = "padkbd-sim-state";

// Control parameters: PP 00-06 for every control, then red, green, blue.
constexpr std::uint8_t kValue = 0x00, kMode = 0x01, kChannel = 0x02, kMidiNumber = 0x03,
                       kMin = 0x04, kMax = 0x05, kModeOption = 0x06, kGreen = 0x07, kRed = 0x08,
                       kBlue = 0x09;
constexpr std::uint8_t kGlobalGroupA = 0x40, kGlobalGroupB = 0x41;

std::uint8_t u8(VA::Byte b) {
  return static_cast<std::uint8_t>(b);
}
VA::Byte s8(std::uint8_t b) {
  return static_cast<VA::Byte>(b);
}

std::uint8_t controlId(int index) {
  return u8(VA::kButtonIDTable.bytes[static_cast<std::size_t>(index)]);
}

// Control index of a control ID, or -1.
int controlIndexOf(std::uint8_t ww) {
  for (int i = 0; i < kControlCount; ++i) {
    if (controlId(i) == ww) return i;
  }
  return -1;
}

std::string hexBytes(const std::vector<std::uint8_t>& bytes) {
  std::string text;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (i != 0) text += ' ';
    text += fmt::format("{:02x}", bytes[i]);
  }
  return text;
}

bool hasHeader(const std::vector<std::uint8_t>& b, const ManufacturerId& m) {
  return b.size() >= 9 && b[0] == 0x04 && b[1] == 0xF0 && b[2] == m[0] && b[3] == m[1] &&
         b[4] == 0x04 && b[5] == m[2] && b[6] == 0x7F && b[7] == 0x42 && b[8] == 0x04;
}

// Exactly two hex digits.
bool parseHexByte(const std::string& token, std::uint8_t& out) {
  if (token.size() != 2) return false;
  unsigned value = 0;
  auto [ptr, ec] = std::from_chars(token.data(), token.data() + token.size(), value, 16);
  if (ec != std::errc() || ptr != token.data() + token.size()) return false;
  out = static_cast<std::uint8_t>(value);
  return true;
}

bool parseSmallInt(const std::string& token, int max, int& out) {
  if (token.empty() || token.size() > 3) return false;
  int value = 0;
  auto [ptr, ec] = std::from_chars(token.data(), token.data() + token.size(), value, 10);
  if (ec != std::errc() || ptr != token.data() + token.size() || value < 0 || value > max) {
    return false;
  }
  out = value;
  return true;
}

constexpr std::size_t kPacketBytes = 4;
constexpr std::size_t kFullPacket = 64;

// What a player and a running clock put on the pipe: a note on cable 0, a
// controller change on cable 1, polyphonic pressure, and a clock byte.
const std::vector<std::uint8_t> kNoteOn = {0x09, 0x90, 0x3C, 0x64};
const std::vector<std::uint8_t> kControlChange = {0x1B, 0xB1, 0x01, 0x40};
const std::vector<std::uint8_t> kPressure = {0x0A, 0xA0, 0x3C, 0x20};
const std::vector<std::uint8_t> kClock = {0x0F, 0xF8, 0x00, 0x00};

void append(std::vector<std::uint8_t>& to, const std::vector<std::uint8_t>& bytes) {
  to.insert(to.end(), bytes.begin(), bytes.end());
}

// A colour wheel over the 48 pads, in the 0-127 range of the colour bytes.
std::array<std::uint8_t, 3> rainbow(int position) {
  const int h = ((position % 48) + 48) % 48;
  const int sector = h / 8;
  const int rise = (h % 8) * 127 / 8;
  const int fall = 127 - rise;
  switch (sector) {
    case 0:
      return {127, static_cast<std::uint8_t>(rise), 0};
    case 1:
      return {static_cast<std::uint8_t>(fall), 127, 0};
    case 2:
      return {0, 127, static_cast<std::uint8_t>(rise)};
    case 3:
      return {0, static_cast<std::uint8_t>(fall), 127};
    case 4:
      return {static_cast<std::uint8_t>(rise), 0, 127};
    default:
      return {127, 0, static_cast<std::uint8_t>(fall)};
  }
}

}  // namespace

SimulatedController::Faults SimulatedController::Faults::hardwareLike(Traffic traffic) {
  Faults faults;
  faults.traffic = traffic;
  faults.padTransfers = true;
  faults.otherUnexaminedBytes = true;
  faults.foreignSysEx = true;
  return faults;
}

SimulatedController::SimulatedController(KeyboardId keyboard)
    : keyboard_(keyboard), slots_(initialSlots()), gains_(initialGains()) {}

// --- Settings ----------------------------------------------------------------

bool SimulatedController::isValidAddress(std::uint8_t pp, std::uint8_t ww) {
  if (pp == kGlobalGroupA) return ww == 0x02 || ww == 0x03 || ww == 0x06;
  if (pp == kGlobalGroupB) return ww == 0x01 || ww == 0x03 || ww == 0x04;
  const int index = controlIndexOf(ww);
  if (index < 0) return false;
  if (pp <= kModeOption) return true;
  return pp <= kBlue && isPadControl(index);
}

std::vector<SimulatedController::Address> SimulatedController::addresses() {
  std::vector<Address> all;
  for (int pp = 0; pp <= 0x7F; ++pp) {
    for (int ww = 0; ww <= 0x7F; ++ww) {
      const auto p = static_cast<std::uint8_t>(pp), w = static_cast<std::uint8_t>(ww);
      if (isValidAddress(p, w)) all.emplace_back(p, w);
    }
  }
  return all;
}

std::array<SimulatedController::Slot, SimulatedController::kSlotCount>
SimulatedController::initialSlots() {
  // Deliberately unlike a factory preset: pads in a rainbow, modes, channels
  // and curves varied, every byte one the code tables know. Each slot is
  // shifted a little so that slots can be told apart.
  std::array<Slot, kSlotCount> slots;
  for (int s = 0; s < kSlotCount; ++s) {
    Slot& slot = slots[static_cast<std::size_t>(s)];
    for (int i = 0; i < kControlCount; ++i) {
      const std::uint8_t ww = controlId(i);
      const bool pad = isPadControl(i);
      const auto at = [](const auto& table, int n) {
        return u8(table.bytes[static_cast<std::size_t>(n % table.size())]);
      };
      slot[{kValue, ww}] = static_cast<std::uint8_t>((i * 13 + s * 7) % 128);
      slot[{kMode, ww}] = pad ? at(VA::kPadModeTable, i + s) : at(VA::kOtherModeTable, i + s);
      slot[{kChannel, ww}] = at(VA::kChannelTable, i + s + 1);
      // Pads climb in whole tones from 40, so no pad has the note a
      // chromatic layout from 36 would give it.
      slot[{kMidiNumber, ww}] = static_cast<std::uint8_t>(
          pad ? (40 + 2 * (i - kFirstPadControl) + s) % 128 : (20 + i + s));
      slot[{kMin, ww}] = static_cast<std::uint8_t>((i + s) % 16);
      slot[{kMax, ww}] = static_cast<std::uint8_t>(127 - (i + s) % 16);
      slot[{kModeOption, ww}] = at(VA::kCurveTable, i + s + 1);
      if (pad) {
        const auto rgb = rainbow(i - kFirstPadControl + s * 6);
        slot[{kRed, ww}] = rgb[0];
        slot[{kGreen, ww}] = rgb[1];
        slot[{kBlue, ww}] = rgb[2];
      }
    }
    const auto at = [](const auto& table, int n) {
      return u8(table.bytes[static_cast<std::size_t>(n % table.size())]);
    };
    slot[{kGlobalGroupA, 0x02}] = at(VA::kKnobRelativeModeTable, 1 + s);
    slot[{kGlobalGroupA, 0x03}] = at(VA::kOctaveTranspositionTable, 5 + s);
    slot[{kGlobalGroupA, 0x06}] = at(VA::kGlobalChannelTable, 9 + s);
    slot[{kGlobalGroupB, 0x01}] = at(VA::kCurveTable, 2 + s);
    slot[{kGlobalGroupB, 0x03}] = at(VA::kCurveTable, 1 + s);
    slot[{kGlobalGroupB, 0x04}] = at(VA::kKnobAccelerationTable, 2 + s);
  }
  return slots;
}

std::array<std::uint8_t, SimulatedController::kGainCount> SimulatedController::initialGains() {
  return {100, 90, 80, 70, 60, 50, 40, 30};
}

void SimulatedController::setFirmwareVersion(std::uint8_t major, std::uint8_t minor) {
  std::lock_guard lock(mutex_);
  versionMajor_ = major;
  versionMinor_ = minor;
}

void SimulatedController::setKeyboard(const KeyboardId& keyboard) {
  std::lock_guard lock(mutex_);
  keyboard_ = keyboard;
}

KeyboardId SimulatedController::keyboard() const {
  std::lock_guard lock(mutex_);
  return keyboard_;
}

void SimulatedController::resetSettings() {
  std::lock_guard lock(mutex_);
  slots_ = initialSlots();
  gains_ = initialGains();
}

void SimulatedController::resetCounters() {
  std::lock_guard lock(mutex_);
  transferCount_ = 0;
  replies_ = 0;
  handshakes_ = 0;
  readRequests_ = 0;
  stored_ = 0;
}

void SimulatedController::replug() {
  std::lock_guard lock(mutex_);
  presentLocked();  // an unplug not yet noticed is counted first
  faults_.unplugAfter.reset();
  unplugged_ = false;
  handles_.clear();  // handles do not survive an unplug
  pending_.clear();
  late_.clear();
  presentLocked();
}

std::optional<std::uint8_t> SimulatedController::rawValue(int slot, std::uint8_t pp,
                                                          std::uint8_t ww) const {
  std::lock_guard lock(mutex_);
  if (slot < 0 || slot >= kSlotCount) return std::nullopt;
  const Slot& s = slots_[static_cast<std::size_t>(slot)];
  const auto it = s.find({pp, ww});
  if (it == s.end()) return std::nullopt;
  return it->second;
}

bool SimulatedController::setRawValue(int slot, std::uint8_t pp, std::uint8_t ww,
                                      std::uint8_t value) {
  std::lock_guard lock(mutex_);
  if (slot < 0 || slot >= kSlotCount || !isValidAddress(pp, ww)) return false;
  slots_[static_cast<std::size_t>(slot)][{pp, ww}] = value;
  return true;
}

ButtonValue SimulatedController::controlLocked(int slot, int index) const {
  ButtonValue v;
  if (slot < 0 || slot >= kSlotCount || index < 0 || index >= kControlCount) return v;
  const Slot& s = slots_[static_cast<std::size_t>(slot)];
  const std::uint8_t ww = controlId(index);
  const auto byte = [&](std::uint8_t pp) { return s8(s.at({pp, ww})); };
  const bool pad = isPadControl(index);
  v.buttonID = VA::GetButtonIDIndexFromChar(s8(ww));
  v.value = VA::GetValueIndexFromChar(byte(kValue));
  v.mode =
      pad ? VA::GetPadModeIndexFromChar(byte(kMode)) : VA::GetOtherModeIndexFromChar(byte(kMode));
  v.channel = VA::GetChannelIndexFromChar(byte(kChannel));
  v.MIDInumb = VA::GetMIDInumbIndexFromChar(byte(kMidiNumber));
  v.min = VA::GetMinIndexFromChar(byte(kMin));
  v.max = VA::GetMaxIndexFromChar(byte(kMax));
  v.modeOption = VA::GetModeOptionIndexFromChar(byte(kModeOption));
  if (pad) {
    v.CR = VA::GetCRIndexFromChar(byte(kRed));
    v.CG = VA::GetCGIndexFromChar(byte(kGreen));
    v.CB = VA::GetCBIndexFromChar(byte(kBlue));
  } else {
    v.CR = v.CG = v.CB = -1;
  }
  return v;
}

ButtonValue SimulatedController::controlInSlot(int slot, int index) const {
  std::lock_guard lock(mutex_);
  return controlLocked(slot, index);
}

PadValue SimulatedController::globalsInSlot(int slot) const {
  std::lock_guard lock(mutex_);
  PadValue v;
  if (slot < 0 || slot >= kSlotCount) return v;
  const Slot& s = slots_[static_cast<std::size_t>(slot)];
  const auto byte = [&](std::uint8_t pp, std::uint8_t ww) { return s8(s.at({pp, ww})); };
  v.globalKnobRelativeMode = VA::GetGlobalKnobRelativeModeIndexFromChar(byte(kGlobalGroupA, 0x02));
  v.globalOctaveTransposition =
      VA::GetGlobalOctaveTranspositionIndexFromChar(byte(kGlobalGroupA, 0x03));
  v.globalMIDIChannel = VA::GetGlobalMIDIChannelIndexFromChar(byte(kGlobalGroupA, 0x06));
  v.globalVelocityCurve = VA::GetGlobalVelocityCurveIndexFromChar(byte(kGlobalGroupB, 0x01));
  v.globalPadVelocityCurve = VA::GetGlobalPadVelocityCurveIndexFromChar(byte(kGlobalGroupB, 0x03));
  v.globalKnobAccelerationCurve =
      VA::GetGlobalKnobAccelerationCurveIndexFromChar(byte(kGlobalGroupB, 0x04));
  v.mem = slot;
  return v;
}

void SimulatedController::setControlLocked(int slot, int index, const ButtonValue& v) {
  if (slot < 0 || slot >= kSlotCount || index < 0 || index >= kControlCount) return;
  Slot& s = slots_[static_cast<std::size_t>(slot)];
  const std::uint8_t ww = controlId(index);
  const bool pad = isPadControl(index);
  s[{kValue, ww}] = u8(VA::GetValueCharFromIndex(v.value));
  s[{kMode, ww}] =
      u8(pad ? VA::GetPadModeCharFromIndex(v.mode) : VA::GetOtherModeCharFromIndex(v.mode));
  s[{kChannel, ww}] = u8(VA::GetChannelCharFromIndex(v.channel));
  s[{kMidiNumber, ww}] = u8(VA::GetMIDInumbCharFromIndex(v.MIDInumb));
  s[{kMin, ww}] = u8(VA::GetMinCharFromIndex(v.min));
  s[{kMax, ww}] = u8(VA::GetMaxCharFromIndex(v.max));
  s[{kModeOption, ww}] = u8(VA::GetModeOptionCharFromIndex(v.modeOption));
  if (pad) {
    s[{kRed, ww}] = u8(VA::GetCRCharFromIndex(v.CR));
    s[{kGreen, ww}] = u8(VA::GetCGCharFromIndex(v.CG));
    s[{kBlue, ww}] = u8(VA::GetCBCharFromIndex(v.CB));
  }
}

void SimulatedController::setControlInSlot(int slot, int index, const ButtonValue& value) {
  std::lock_guard lock(mutex_);
  setControlLocked(slot, index, value);
}

void SimulatedController::setGlobalsInSlot(int slot, const PadValue& v) {
  std::lock_guard lock(mutex_);
  if (slot < 0 || slot >= kSlotCount) return;
  Slot& s = slots_[static_cast<std::size_t>(slot)];
  s[{kGlobalGroupA, 0x02}] =
      u8(VA::GetGlobalKnobRelativeModeCharFromIndex(v.globalKnobRelativeMode));
  s[{kGlobalGroupA, 0x03}] =
      u8(VA::GetGlobalOctaveTranspositionCharFromIndex(v.globalOctaveTransposition));
  s[{kGlobalGroupA, 0x06}] = u8(VA::GetGlobalMIDIChannelCharFromIndex(v.globalMIDIChannel));
  s[{kGlobalGroupB, 0x01}] = u8(VA::GetGlobalVelocityCurveCharFromIndex(v.globalVelocityCurve));
  s[{kGlobalGroupB, 0x03}] =
      u8(VA::GetGlobalPadVelocityCurveCharFromIndex(v.globalPadVelocityCurve));
  s[{kGlobalGroupB, 0x04}] =
      u8(VA::GetGlobalKnobAccelerationCurveCharFromIndex(v.globalKnobAccelerationCurve));
}

std::array<std::uint8_t, SimulatedController::kGainCount> SimulatedController::gains() const {
  std::lock_guard lock(mutex_);
  return gains_;
}

void SimulatedController::setGain(int n, std::uint8_t value) {
  std::lock_guard lock(mutex_);
  if (n >= 0 && n < kGainCount) gains_[static_cast<std::size_t>(n)] = value;
}

// --- State file --------------------------------------------------------------

Outcome SimulatedController::loadState(const std::filesystem::path& path) {
  const std::string name = path.string();
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) {
    return Outcome::failure(
        fmt::format("Simulator state file {} does not exist or is not a file", name));
  }
  const auto size = std::filesystem::file_size(path, ec);
  if (ec) return Outcome::failure(fmt::format("Cannot read simulator state file {}", name));
  if (size > kMaxStateFileSize) {
    return Outcome::failure(
        fmt::format("Simulator state file {} is too large ({} bytes)", name, size));
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) return Outcome::failure(fmt::format("Cannot open simulator state file {}", name));
  const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (in.bad()) return Outcome::failure(fmt::format("Cannot read simulator state file {}", name));
  return loadStateText(text, name);
}

Outcome SimulatedController::loadStateText(std::string_view text, const std::string& name) {
  if (text.size() > kMaxStateFileSize) {
    return Outcome::failure(
        fmt::format("Simulator state file {} is too large ({} bytes)", name, text.size()));
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
  const auto error = [&](int line, const std::string& why) {
    return Outcome::failure(
        fmt::format("Simulator state file {} is damaged (line {}): {}", name, line, why));
  };

  std::istringstream lines{std::string(text)};
  std::string line;
  int number = 0;
  bool sawHeader = false;
  while (std::getline(lines, line)) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.find('\0') != std::string::npos) return error(number, "contains a NUL byte");
    std::istringstream fields(line);
    std::vector<std::string> tokens;
    for (std::string t; fields >> t;) tokens.push_back(t);
    if (tokens.empty() || tokens[0][0] == '#') continue;
    if (!sawHeader) {
      if (tokens.size() != 2 || tokens[0] != kStateHeader) {
        return error(number, fmt::format("expected \"{} 1\" first", kStateHeader));
      }
      if (tokens[1] != "1") return error(number, "unknown format version " + tokens[1]);
      sawHeader = true;
      continue;
    }
    if (tokens[0] == "usb") {
      const auto ids = tokens.size() == 2 ? parseUsbIds(tokens[1]) : std::nullopt;
      if (!ids) return error(number, "expected \"usb VVVV:PPPP\"");
      keyboard.usb = *ids;
    } else if (tokens[0] == "manufacturer") {
      const std::size_t at = line.find("manufacturer") + std::string_view("manufacturer").size();
      const auto id = parseManufacturerId(line.substr(at));
      if (!id) return error(number, "expected \"manufacturer M1 M2 M3\" (hex, 00-7f)");
      keyboard.manufacturer = *id;
    } else if (tokens[0] == "gain") {
      int n = 0;
      std::uint8_t value = 0;
      if (tokens.size() != 3) return error(number, "expected \"gain N VV\"");
      if (!parseSmallInt(tokens[1], kGainCount - 1, n)) {
        return error(number, "gain number must be 0 to 7");
      }
      if (!parseHexByte(tokens[2], value) || value > 0x7F) {
        return error(number, "gain value must be two hex digits, 00 to 7f");
      }
      gains[static_cast<std::size_t>(n)] = value;
    } else if (tokens[0] == "slot") {
      int s = 0;
      std::uint8_t pp = 0, ww = 0, value = 0;
      if (tokens.size() != 5) return error(number, "expected \"slot S PP WW VV\"");
      if (!parseSmallInt(tokens[1], kSlotCount - 1, s)) {
        return error(number, "slot must be 0 to 8");
      }
      if (!parseHexByte(tokens[2], pp) || !parseHexByte(tokens[3], ww)) {
        return error(number, "PP and WW must be two hex digits each");
      }
      if (!isValidAddress(pp, ww)) {
        return error(number,
                     fmt::format("no setting has parameter {:02x} and target {:02x}", pp, ww));
      }
      if (!parseHexByte(tokens[4], value) || value > 0x7F) {
        return error(number, "value must be two hex digits, 00 to 7f");
      }
      slots[static_cast<std::size_t>(s)][{pp, ww}] = value;
    } else {
      return error(number, "unknown entry \"" + tokens[0].substr(0, 40) + "\"");
    }
  }
  if (!sawHeader) {
    return Outcome::failure(fmt::format(
        "Simulator state file {} is damaged: it has no \"{} 1\" line", name, kStateHeader));
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

// --- Inspection --------------------------------------------------------------

std::vector<SimulatedController::Transfer> SimulatedController::transfers() const {
  std::lock_guard lock(mutex_);
  return log_;
}

std::vector<std::vector<std::uint8_t>> SimulatedController::writes() const {
  std::lock_guard lock(mutex_);
  std::vector<std::vector<std::uint8_t>> out;
  for (const Transfer& t : log_) {
    if (t.direction == Direction::Out) out.push_back(t.bytes);
  }
  return out;
}

std::size_t SimulatedController::transferCount() const {
  std::lock_guard lock(mutex_);
  return transferCount_;
}

int SimulatedController::handshakeCount() const {
  std::lock_guard lock(mutex_);
  return handshakes_;
}

int SimulatedController::readRequestCount() const {
  std::lock_guard lock(mutex_);
  return readRequests_;
}

int SimulatedController::writeCount() const {
  std::lock_guard lock(mutex_);
  return stored_;
}

std::vector<std::string> SimulatedController::protocolErrors() const {
  std::lock_guard lock(mutex_);
  return errors_;
}

std::size_t SimulatedController::pendingReplies() const {
  std::lock_guard lock(mutex_);
  return pending_.size();
}

bool SimulatedController::isUnplugged() const {
  std::lock_guard lock(mutex_);
  return unplugged_;
}

bool SimulatedController::isInterfaceOpen() const {
  std::lock_guard lock(mutex_);
  return std::any_of(handles_.begin(), handles_.end(),
                     [](const auto& entry) { return entry.second.open; });
}

std::size_t SimulatedController::openHandleCount() const {
  std::lock_guard lock(mutex_);
  return handles_.size();
}

void SimulatedController::setLogTransfers(bool on) {
  std::lock_guard lock(mutex_);
  logTransfers_ = on;
}

void SimulatedController::clearLog() {
  std::lock_guard lock(mutex_);
  log_.clear();
  errors_.clear();
}

// --- Requests ----------------------------------------------------------------

void SimulatedController::protocolError(const std::string& what,
                                        const std::vector<std::uint8_t>& bytes) {
  errors_.push_back(fmt::format("{} ({} bytes): {}", what, bytes.size(), hexBytes(bytes)));
}

bool SimulatedController::repliesToHandshake() const {
  return !faults_.noReplyAfter || *faults_.noReplyAfter > 0;
}

bool SimulatedController::repliesToRead() const {
  return !faults_.noReplyAfter || readRequests_ <= *faults_.noReplyAfter;
}

void SimulatedController::queueReply(std::vector<std::uint8_t> packets, bool value) {
  ++replies_;
  std::vector<std::vector<std::uint8_t>> transfers;
  if (faults_.foreignSysEx && value) {
    // Another maker's message, shaped like a value reply.
    const std::uint8_t other = keyboard_.manufacturer[0] == 0x43 ? 0x44 : 0x43;
    transfers.push_back({0x04, 0xF0, other, keyboard_.manufacturer[1], 0x04,
                         keyboard_.manufacturer[2], 0x7F, 0x42, 0x04, 0x02, 0x00, 0x00, 0x07, 0x30,
                         0x55, 0xF7});
  }
  std::vector<std::uint8_t> reply;
  switch (faults_.traffic) {
    case Faults::Traffic::None:
      reply = std::move(packets);
      break;
    case Faults::Traffic::OwnTransfer:
      transfers.push_back(kNoteOn);
      append(transfers.back(), kControlChange);
      reply = std::move(packets);
      break;
    case Faults::Traffic::SameTransfer: {
      // A clock byte between the reply's first and second packets.
      const std::size_t split = std::min(packets.size(), kPacketBytes);
      reply = kNoteOn;
      reply.insert(reply.end(), packets.begin(), packets.begin() + split);
      append(reply, kClock);
      reply.insert(reply.end(), packets.begin() + split, packets.end());
      if (reply.size() % kPacketBytes == 0) append(reply, kPressure);
      break;
    }
  }
  transfers.push_back(std::move(reply));
  if (faults_.packetPerTransfer) {
    std::vector<std::vector<std::uint8_t>> split;
    for (const auto& transfer : transfers) {
      for (std::size_t at = 0; at < transfer.size(); at += kPacketBytes) {
        const std::size_t end = std::min(transfer.size(), at + kPacketBytes);
        split.emplace_back(transfer.begin() + at, transfer.begin() + end);
      }
    }
    transfers = std::move(split);
  }
  if (faults_.padTransfers) {
    for (auto& transfer : transfers) {
      if (transfer.size() < kFullPacket) transfer.resize(kFullPacket, 0x00);
    }
  }
  due_ = std::chrono::steady_clock::now() + faults_.pace;
  auto& queue = faults_.lateReply && replies_ == *faults_.lateReply ? late_ : pending_;
  for (auto& transfer : transfers) queue.push_back(std::move(transfer));
}

void SimulatedController::handleRequest(const std::vector<std::uint8_t>& b) {
  if (std::equal(b.begin(), b.end(), kHandshakeRequest.begin(), kHandshakeRequest.end())) {
    ++handshakes_;
    if (!repliesToHandshake()) return;
    std::vector<std::uint8_t> reply = {0x04, 0xF0,          0x7E, 0x0A,          0x04, 0x01,
                                       0x03, versionMajor_, 0x06, versionMinor_, 0xF7};
    if (handshakes_ <= faults_.handshakeFailures) reply[3] = 0x0B;
    queueReply(std::move(reply), false);
    return;
  }

  if (b.size() == 15 && hasHeader(b, keyboard_.manufacturer) && b[9] == kCommandRead &&
      b[10] == 0x00 && b[12] == 0x06 && b[14] == kSysExEnd) {
    const std::uint8_t pp = b[11], ww = b[13];
    if (!isValidAddress(pp, ww)) {
      protocolError(fmt::format("read request for unknown parameter {:02x} target {:02x}", pp, ww),
                    b);
      return;
    }
    ++readRequests_;
    if (!repliesToRead()) return;
    std::vector<std::uint8_t> reply(b.begin(), b.begin() + 12);
    reply.insert(reply.end(), {0x07, ww, slots_[0].at({pp, ww}), kSysExEnd});
    if (faults_.otherUnexaminedBytes) {
      // Offsets 6 7 | 9 10 11 | 13: 7F 42, command, slot, parameter, target.
      for (std::size_t offset : {6, 7, 9, 10, 11, 13}) reply[offset] ^= 0x15;
    }
    if (faults_.wrongReply != Faults::WrongReply::None && readRequests_ > faults_.wrongReplyAfter) {
      if (faults_.wrongReply == Faults::WrongReply::ChangedValue) reply[14] ^= 0x01;
      if (faults_.wrongReply == Faults::WrongReply::OtherManufacturer) reply[2] ^= 0x01;
    }
    if (faults_.shortReply != 0 && readRequests_ > faults_.shortReplyAfter &&
        faults_.shortReply < reply.size()) {
      reply.resize(faults_.shortReply);
    }
    queueReply(std::move(reply), true);
    return;
  }

  if (b.size() == 16 && hasHeader(b, keyboard_.manufacturer) && b[9] == kCommandWrite &&
      b[12] == 0x07 && b[15] == kSysExEnd) {
    const std::uint8_t yy = b[10], pp = b[11], ww = b[13], vv = b[14];
    if (vv > 0x7F) {
      protocolError(fmt::format("write with value byte {:02x} outside 00-7f", vv), b);
      return;
    }
    if (yy < kSlotCount && isValidAddress(pp, ww)) {
      slots_[yy][{pp, ww}] = vv;
      ++stored_;
      return;
    }
    if (yy == kGainSlot && pp == kGainParameter && ww >= kFirstGainTarget &&
        ww < kFirstGainTarget + kGainCount) {
      gains_[static_cast<std::size_t>(ww - kFirstGainTarget)] = vv;
      ++stored_;
      return;
    }
    protocolError(
        fmt::format("write to unknown slot {:02x} parameter {:02x} target {:02x}", yy, pp, ww), b);
    return;
  }

  protocolError("unknown request", b);
}

// --- UsbBackend --------------------------------------------------------------

bool SimulatedController::unpluggedLocked() {
  if (!unplugged_ && faults_.unplugAfter &&
      transferCount_ >= static_cast<std::size_t>(std::max(0, *faults_.unplugAfter))) {
    unplugged_ = true;
    handles_.clear();
    pending_.clear();
    late_.clear();
    if (wasPresent_ && !faults_.absent) ++comings_;
    wasPresent_ = false;
  }
  return unplugged_;
}

std::vector<UsbDevice> SimulatedController::findDevices(std::uint16_t vendorId,
                                                        std::uint16_t productId) {
  std::lock_guard lock(mutex_);
  if (faults_.absent || unpluggedLocked() || vendorId != keyboard_.usb.vendorId ||
      productId != keyboard_.usb.productId) {
    return {};
  }
  return {UsbDevice{kDeviceId, kDeviceName}};
}

MidiDeviceListing SimulatedController::listMidiDevices() {
  std::lock_guard lock(mutex_);
  MidiDeviceListing listing;
  if (faults_.absent || unpluggedLocked()) return listing;
  listing.devices.push_back(
      MidiDeviceInfo{keyboard_.usb, kDeviceName, "padkbd", 1, "1-1",
                     faults_.refuseAccess ? UsbStatus::AccessDenied : UsbStatus::Success});
  return listing;
}

std::vector<UsbInterfaceInfo> SimulatedController::listInterfaces(const UsbDevice& device) {
  std::lock_guard lock(mutex_);
  if (faults_.absent || unpluggedLocked() || device.id != kDeviceId) return {};
  // Audio control, then MIDI streaming (the one the editor talks through).
  std::vector<UsbInterfaceInfo> interfaces = {{0, 1, 1}};
  if (!faults_.oneInterfaceOnly) interfaces.push_back({kMidiInterface, 1, 3});
  return interfaces;
}

UsbStatus SimulatedController::createInterface(const UsbDevice& device, int interfaceNumber,
                                               UsbInterfaceHandle& handle) {
  std::lock_guard lock(mutex_);
  handle = 0;
  if (faults_.absent || unpluggedLocked() || device.id != kDeviceId) return UsbStatus::NoDevice;
  const int interfaces = faults_.oneInterfaceOnly ? 1 : 2;
  if (interfaceNumber < 0 || interfaceNumber >= interfaces) return UsbStatus::NotFound;
  if (faults_.refuseAccess) return UsbStatus::AccessDenied;
  handle = nextHandle_++;
  handles_[handle] = Handle{interfaceNumber, false};
  return UsbStatus::Success;
}

UsbStatus SimulatedController::openInterface(UsbInterfaceHandle handle) {
  std::lock_guard lock(mutex_);
  if (unpluggedLocked()) return UsbStatus::NoDevice;
  const auto it = handles_.find(handle);
  if (it == handles_.end()) return UsbStatus::InvalidParameter;
  if (faults_.busy && it->second.interfaceNumber == kMidiInterface) return UsbStatus::Busy;
  // One claim per interface: a second handle on the same interface is refused.
  for (const auto& [other, state] : handles_) {
    if (other != handle && state.open && state.interfaceNumber == it->second.interfaceNumber) {
      return UsbStatus::Busy;
    }
  }
  it->second.open = true;
  return UsbStatus::Success;
}

UsbStatus SimulatedController::closeInterface(UsbInterfaceHandle handle) {
  std::lock_guard lock(mutex_);
  if (unpluggedLocked()) return UsbStatus::NoDevice;
  const auto it = handles_.find(handle);
  if (it == handles_.end()) return UsbStatus::InvalidParameter;
  if (!it->second.open) return UsbStatus::NotFound;
  it->second.open = false;
  return UsbStatus::Success;
}

void SimulatedController::releaseInterface(UsbInterfaceHandle handle) {
  std::lock_guard lock(mutex_);
  handles_.erase(handle);
}

UsbStatus SimulatedController::numEndpoints(UsbInterfaceHandle handle, int& count) {
  std::lock_guard lock(mutex_);
  count = 0;
  if (unpluggedLocked()) return UsbStatus::NoDevice;
  const auto it = handles_.find(handle);
  if (it == handles_.end()) return UsbStatus::InvalidParameter;
  count = it->second.interfaceNumber == kMidiInterface ? 2 : 0;
  return UsbStatus::Success;
}

UsbStatus SimulatedController::pipeProperties(UsbInterfaceHandle handle, int pipe,
                                              UsbPipeProperties& properties) {
  std::lock_guard lock(mutex_);
  properties = {};
  if (unpluggedLocked()) return UsbStatus::NoDevice;
  const auto it = handles_.find(handle);
  if (it == handles_.end()) return UsbStatus::InvalidParameter;
  if (it->second.interfaceNumber != kMidiInterface || pipe < 1 || pipe > 2) {
    return UsbStatus::NotFound;
  }
  // Pipe 1: bulk IN endpoint 0x81; pipe 2: bulk OUT endpoint 0x02.
  properties.direction = pipe == 1 ? 1 : 0;
  properties.number = pipe;
  properties.transferType = 2;
  properties.maxPacketSize = 64;
  properties.interval = 0;
  return UsbStatus::Success;
}

UsbStatus SimulatedController::writePipe(UsbInterfaceHandle handle, int pipe,
                                         const std::uint8_t* data, std::size_t size) {
  std::unique_lock lock(mutex_);
  if (faults_.pace.count() > 0) {
    // A real keyboard takes its time over each transfer, writes included.
    const auto pace = faults_.pace;
    lock.unlock();
    std::this_thread::sleep_for(pace);
    lock.lock();
  }
  const std::size_t before = transferCount_;
  std::vector<std::uint8_t> bytes;
  if (data != nullptr) bytes.assign(data, data + size);
  const auto record = [&](UsbStatus status) {
    if (logTransfers_) log_.push_back(Transfer{Direction::Out, pipe, bytes, status});
    return status;
  };
  const bool gone = unpluggedLocked();
  ++transferCount_;
  if (gone) return record(UsbStatus::NoDevice);
  const auto it = handles_.find(handle);
  if (it == handles_.end()) return record(UsbStatus::InvalidParameter);
  if (it->second.interfaceNumber != kMidiInterface || pipe != 2) {
    protocolError(fmt::format("write to pipe {} of interface {}", pipe, it->second.interfaceNumber),
                  bytes);
    return record(UsbStatus::InvalidParameter);
  }
  if (!it->second.open) {
    protocolError("write on an interface that is not claimed", bytes);
    return record(UsbStatus::IoError);
  }
  if (faults_.writeFailureAfter &&
      before >= static_cast<std::size_t>(std::max(0, *faults_.writeFailureAfter))) {
    return record(UsbStatus::IoError);
  }
  record(UsbStatus::Success);
  handleRequest(bytes);
  return UsbStatus::Success;
}

void SimulatedController::changeFaults(const std::function<void(Faults&)>& change) {
  std::lock_guard lock(mutex_);
  change(faults_);
  presentLocked();
}

bool SimulatedController::presentLocked() {
  const bool present = !faults_.absent && !unpluggedLocked();
  if (present != wasPresent_) ++comings_;
  wasPresent_ = present;
  return present;
}

bool SimulatedController::watchForChanges(std::function<void()> changed) {
  std::lock_guard lock(mutex_);
  changed_ = faults_.noHotplug ? nullptr : std::move(changed);
  if (!changed_) return false;
  presentLocked();
  told_ = comings_;
  return true;
}

void SimulatedController::pollEvents() {
  std::function<void()> tell;
  {
    std::lock_guard lock(mutex_);
    presentLocked();
    if (!changed_ || told_ == comings_) return;
    told_ = comings_;
    tell = changed_;
  }
  tell();  // outside the lock: it may look at the bus
}

bool SimulatedController::waitsForTimeouts() const {
  std::lock_guard lock(mutex_);
  return faults_.waitOnSilence || faults_.pace.count() > 0;
}

UsbStatus SimulatedController::readPipe(UsbInterfaceHandle handle, int pipe, std::uint8_t* data,
                                        std::size_t capacity, std::size_t& received,
                                        std::chrono::milliseconds timeout) {
  std::unique_lock lock(mutex_);
  received = 0;
  const auto record = [&](UsbStatus status, std::vector<std::uint8_t> bytes = {}) {
    if (logTransfers_) log_.push_back(Transfer{Direction::In, pipe, std::move(bytes), status});
    return status;
  };
  const bool gone = unpluggedLocked();
  ++transferCount_;
  if (gone) return record(UsbStatus::NoDevice);
  const auto it = handles_.find(handle);
  if (it == handles_.end()) return record(UsbStatus::InvalidParameter);
  if (it->second.interfaceNumber != kMidiInterface || pipe != 1) {
    protocolError(
        fmt::format("read from pipe {} of interface {}", pipe, it->second.interfaceNumber), {});
    return record(UsbStatus::InvalidParameter);
  }
  if (!it->second.open) {
    protocolError("read on an interface that is not claimed", {});
    return record(UsbStatus::IoError);
  }
  if (!late_.empty()) {
    // The reader gives up before the late reply comes; it is there for the next read.
    for (auto& transfer : late_) pending_.push_back(std::move(transfer));
    late_.clear();
    return record(UsbStatus::Timeout);
  }
  if (pending_.empty() && faults_.endlessClock) {
    pending_.push_back(kClock);
    if (faults_.padTransfers) pending_.back().resize(kFullPacket, 0x00);
  }
  if (faults_.waitOnSilence || faults_.pace.count() > 0) {
    // As a device: the read waits for what is on its way, or its time out.
    const auto limit = std::chrono::steady_clock::now() + timeout;
    const auto wake = pending_.empty() ? limit : std::min(due_, limit);
    lock.unlock();
    std::this_thread::sleep_until(wake);
    lock.lock();
    if (pending_.empty() || due_ > std::chrono::steady_clock::now()) {
      return record(UsbStatus::Timeout);
    }
  }
  if (pending_.empty()) return record(UsbStatus::Timeout);
  std::vector<std::uint8_t> reply = std::move(pending_.front());
  pending_.erase(pending_.begin());
  // A reply longer than the reader's buffer is cut, as a real bulk read would.
  const bool overflow = reply.size() > capacity;
  const std::size_t n = data != nullptr ? std::min(capacity, reply.size()) : 0;
  std::copy_n(reply.begin(), n, data);
  received = n;
  reply.resize(n);
  return record(overflow ? UsbStatus::Overflow : UsbStatus::Success, std::move(reply));
}

}  // namespace padkbd
