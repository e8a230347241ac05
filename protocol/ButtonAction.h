// The device half of ButtonAction: reads and writes the 64 controls, the
// global block and the gains, one request and reply (or one write) per
// setting. Every function talks through the InterfaceAction it is given and
// keeps nothing between calls.
//
// A read that fails, times out or delivers too few bytes to hold a value ends
// the read at once: the caller gets no record rather than one built from bytes
// an earlier reply left in the receive buffer. A write that fails ends a
// multi-message write at once. A failure says where it stopped and why:
// "control 12, parameter 03: no reply (timeout)", "global settings,
// parameter 40, target 03: …", "gain 5: …".
//
// A reply byte outside its setting's list becomes the list's first entry, as
// a byte no table contains always has; such a replacement is never silent: it
// gets a diagnostic line and, when the caller asks, a Replacement entry.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "link/InterfaceAction.h"
#include "model/Outcome.h"
#include "model/Records.h"

namespace padkbd::ButtonAction {

// Who an exchange is for, besides a control index (0-63).
inline constexpr std::int32_t kGlobalBlock = -1;
inline constexpr std::int32_t kGains = -2;

struct Replacement {
  std::int32_t control = kGlobalBlock;  // control index, or the global block
  std::string setting;                  // "mode", "velocity curve", ...
  std::uint8_t byte = 0;

  // "control 12: mode byte 0c", "global settings: velocity curve byte 07".
  std::string describe() const;
};
using Replacements = std::vector<Replacement>;

// One control read from the controller: 7 requests, or 10 on a pad control
// (red 08, green 07, blue 09). `index` decides the kind; `ww` is the target.
// An other control's colours are -1.
Result<ButtonValuePtr> GetButtonValueWithWW(InterfaceAction& io, std::int8_t ww, std::int32_t index,
                                            Replacements* replaced = nullptr);
// The 64 controls in control-index order (every control setting).
Result<ButtonValueList> GetButtonValues(InterfaceAction& io, Replacements* replaced = nullptr);
// Writes one control with slot byte `yy`; the target is the record's buttonID
// and the kind follows `index`. Stops at the first failed write.
Outcome SetDeviceWithButtonValue(InterfaceAction& io, const ButtonValue& record, std::int8_t yy,
                                 std::int32_t index);

// The global block (6 exchanges); mem stays 0 and version empty.
Result<PadValuePtr> GetPadValue(InterfaceAction& io, Replacements* replaced = nullptr);
// Writes the six global settings with slot byte `yy`. Stops at the first failed write.
Outcome SetDeviceWithPadValue(InterfaceAction& io, const PadValue& pad, std::int8_t yy);

// The full write: every control of the list, then the global block, all with
// the slot byte of `pad.mem` (PadAction::kFullExchange messages). Sends nothing
// when mem is outside 0-8; stops at the first failed write.
Outcome SetDeviceWithArray(InterfaceAction& io, const ButtonValueList& list, const PadValue& pad);

inline constexpr std::size_t kGainCount = 8;
inline constexpr std::int32_t kGainMaximum = 127;

// Sends the first eight gains. Nothing is sent when the list is shorter than
// eight or a gain lies outside 0-127; a failed write stops the rest.
Outcome setGainWithArray(InterfaceAction& io, const std::vector<std::int32_t>& gains);

}  // namespace padkbd::ButtonAction
