// The one place that offers every PadAction operation by name: the current
// preset, the default preset and the working copy, the handshake and the
// controller synchronisation, and the choice lists. Each is short and
// delegates to the layer that does the work.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/CurrentPreset.h"
#include "model/Outcome.h"
#include "model/PopUpValue.h"
#include "storage/FileAction.h"
#include "usb/InterfaceAction.h"

namespace padkbd {

class PadAction {
 public:
  // Handshake attempts in all before an exchange gives up.
  static constexpr int kHandshakeAttempts = 5;

  PadAction(InterfaceAction& interfaceAction, FileAction& fileAction);

  // Current preset.
  ButtonValuePtr GetButtonValueWithID(std::int32_t index) const;
  PadValuePtr getPadValue() const;
  const CurrentPreset& currentPreset() const;

  // Default preset and working copy; only a usable preset replaces the current one.
  Outcome GetDefaultValue();
  Outcome GetTempValue();
  Outcome WriteButtonValuesToTemp();

  // Handshake and synchronisation.
  bool HandshakeOperation();
  bool ReadPadValueFromDevice();
  bool OpenInterface();
  bool WritePadValueToDevice();
  // The firmware version of the last successful handshake, if any ("01.02").
  const std::optional<std::string>& deviceVersion() const;
  // Why the last ReadPadValueFromDevice/OpenInterface/WritePadValueToDevice failed.
  const std::string& lastError() const;

  // Choice lists.
  PopUpValue InitializePopUp() const;
  static StringList GetPadModeOptionWithModeIndex(std::int32_t mode);
  static StringList GetOtherModeOptionWithModeIndex(std::int32_t mode);

  InterfaceAction& interfaceAction();
  FileAction& fileAction();
};

}  // namespace padkbd
