// The one place that offers every PadAction operation by name: the current
// preset, the default preset and the working copy, the handshake and the
// controller synchronisation, and the choice lists. Each is short and
// delegates to the layer that does the work.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/CurrentPreset.h"
#include "model/Outcome.h"
#include "model/PopUpValue.h"
#include "protocol/ButtonAction.h"
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
  // Makes a preset the current one, if it passes the check (a document the
  // command-line tool sends, kept in memory only).
  Outcome usePreset(Preset preset);

  // Handshake and synchronisation.
  bool HandshakeOperation();
  bool ReadPadValueFromDevice();
  bool OpenInterface();
  bool WritePadValueToDevice();
  // The firmware version of the last successful handshake, if any ("01.02").
  const std::optional<std::string>& deviceVersion() const;
  // Why the last ReadPadValueFromDevice/OpenInterface/WritePadValueToDevice failed.
  const std::string& lastError() const;
  // The settings the last ReadPadValueFromDevice found outside their lists
  // (each became its list's first entry).
  const ButtonAction::Replacements& lastReplacements() const;

  // Choice lists.
  PopUpValue InitializePopUp() const;
  static StringList GetPadModeOptionWithModeIndex(std::int32_t mode);
  static StringList GetOtherModeOptionWithModeIndex(std::int32_t mode);

  InterfaceAction& interfaceAction();
  FileAction& fileAction();

 private:
  // Handshakes until one succeeds or kHandshakeAttempts were made, closing
  // the interface between attempts. Leaves the interface as the last
  // attempt left it. Input left in the pipe from before is drained first,
  // so that no old reply answers a new request.
  bool handshakeWithRetry();
  // The reply strings of one read; all empty when the read failed or was too
  // short to be a reply, so bytes an earlier reply left behind never match.
  std::array<std::string, 11> readHandshakeReply();
  // Without the controller: the default preset, version "未连接".
  void fallBackToDefault();
  void fail(std::string message);
  // Why handshakeWithRetry gave up, for lastError.
  std::string handshakeFailure() const;

  InterfaceAction& interface_;
  FileAction& files_;
  CurrentPreset preset_;
  std::optional<std::string> deviceVersion_;
  std::string lastError_;
  ButtonAction::Replacements replacements_;
  // The status of the last handshake's write when it failed.
  std::optional<UsbStatus> handshakeWriteFailure_;
};

}  // namespace padkbd
