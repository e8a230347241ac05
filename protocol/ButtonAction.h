// The device half of ButtonAction: reads and writes the 64 controls, the
// global block and the gains, one request and reply (or one write) per
// setting. Every function talks through the InterfaceAction it is given and
// keeps nothing between calls.
//
// A read that fails, times out or delivers too few bytes to hold a value ends
// the read at once: the caller gets no record rather than one built from bytes
// an earlier reply left in the receive buffer. A write that fails ends a
// multi-message write at once and reports false.
//
// A reply byte outside its setting's list becomes the list's first entry, as
// a byte no table contains always has; such a replacement is never silent: it
// gets a diagnostic line and, when the caller asks, a Replacement entry.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/Records.h"
#include "usb/InterfaceAction.h"

namespace padkbd::ButtonAction {

// Where an exchange stopped and why, for the message the user reads.
struct ExchangeError {
  static constexpr std::int32_t kGlobalBlock = -1;
  static constexpr std::int32_t kGains = -2;

  std::int32_t control = kGlobalBlock;  // control index, or one of the two above
  std::uint8_t parameter = 0;
  std::uint8_t target = 0;
  // "no reply (timeout)", "a short reply (8 bytes)", "the write failed (no device)", ...
  std::string reason;

  // "control 12, parameter 03", "global settings, parameter 40, target 03", "gain 5".
  std::string where() const;
};

// A setting whose reply byte was outside its list and became entry 0.
struct Replacement {
  std::int32_t control = ExchangeError::kGlobalBlock;  // control index, or the global block
  std::string setting;                                 // "mode", "velocity curve", ...
  std::uint8_t byte = 0;

  // "control 12: mode byte 0c", "global settings: velocity curve byte 07".
  std::string describe() const;
};
using Replacements = std::vector<Replacement>;

// One control read from the controller: 7 requests, or 10 on a pad control
// (red 08, green 07, blue 09). `index` decides the kind; `ww` is the target.
// An other control's colours are -1. Empty when a read failed.
ButtonValuePtr GetButtonValueWithWW(InterfaceAction& io, std::int8_t ww, std::int32_t index,
                                    ExchangeError* error = nullptr,
                                    Replacements* replaced = nullptr);
// The 64 controls in control-index order (592 exchanges); empty when a read failed.
std::optional<ButtonValueList> GetButtonValues(InterfaceAction& io, ExchangeError* error = nullptr,
                                               Replacements* replaced = nullptr);
// Writes one control with slot byte `yy`; the target is the record's buttonID
// and the kind follows `index`. False at the first failed write.
bool SetDeviceWithButtonValue(InterfaceAction& io, const ButtonValue& record, std::int8_t yy,
                              std::int32_t index, ExchangeError* error = nullptr);

// The global block (6 exchanges); mem stays 0 and version empty. Empty when a
// read failed.
PadValuePtr GetPadValue(InterfaceAction& io, ExchangeError* error = nullptr,
                        Replacements* replaced = nullptr);
// Writes the six global settings with slot byte `yy`. False at the first failed write.
bool SetDeviceWithPadValue(InterfaceAction& io, const PadValue& pad, std::int8_t yy,
                           ExchangeError* error = nullptr);

// The full write: every control of the list, then the global block, all with
// the slot byte of `pad.mem` (598 messages for 64 controls). Sends nothing and
// returns false when mem is outside 0-8; stops at the first failed write.
bool SetDeviceWithArray(InterfaceAction& io, const ButtonValueList& list, const PadValue& pad,
                        ExchangeError* error = nullptr);

inline constexpr std::size_t kGainCount = 8;
inline constexpr std::int32_t kGainMaximum = 127;

// Sends the first eight gains. Returns 1 when all eight were written; 0 when
// the list is shorter than eight or a gain lies outside 0-127 (nothing is
// sent then), or when a write failed (the rest is not sent).
std::uint8_t setGainWithArray(InterfaceAction& io, const std::vector<std::int32_t>& gains,
                              ExchangeError* error = nullptr);

}  // namespace padkbd::ButtonAction
