// The one place that offers every PadAction operation by name: the current
// preset, the default preset and the working copy, the handshake and the
// controller synchronisation, and the choice lists. Each is short and
// delegates to the layer that does the work.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "link/InterfaceAction.h"
#include "model/CurrentPreset.h"
#include "model/Fields.h"
#include "model/Outcome.h"
#include "model/PopUpValue.h"
#include "protocol/ButtonAction.h"
#include "storage/FileAction.h"

namespace padkbd {

class PadAction {
 public:
  // Handshake attempts in all before an exchange gives up.
  static constexpr int kHandshakeAttempts = 5;
  // The exchanges of a full read or write, as the field tables say.
  static constexpr int kFullExchange = exchangeCount();

  // How far a long exchange has come: the handshake's attempt (of
  // kHandshakeAttempts), or the settings read or sent (of kFullExchange).
  struct Progress {
    enum class Stage { Handshake, Reading, Sending };
    Stage stage = Stage::Handshake;
    int done = 0;
    int total = 0;
  };

  PadAction(InterfaceAction& interfaceAction, FileAction& fileAction);

  // Current preset.
  ButtonValuePtr GetButtonValueWithID(std::int32_t index) const;
  PadValuePtr getPadValue() const;
  const CurrentPreset& currentPreset() const;

  // The default preset (the built-in copy where the shipped one is missing
  // or damaged: it never fails); the working copy, which only replaces the
  // current preset when it is usable.
  void GetDefaultValue();
  Outcome GetTempValue();
  Outcome WriteButtonValuesToTemp();
  // Makes a preset the current one, if it passes the check (a document the
  // command-line tool sends, kept in memory only).
  Outcome usePreset(Preset preset);

  // Handshake and synchronisation; a failure says why. One handshake
  // attempt (a reply that is missing, short or not the handshake fails).
  Outcome HandshakeOperation();
  Outcome ReadPadValueFromDevice();
  // Looks for the keyboard anew (it may have been plugged in or out since),
  // opens its interface and completes a handshake.
  Outcome OpenInterface();
  Outcome WritePadValueToDevice();
  // The firmware version of the last successful handshake, if any ("01.02").
  const std::optional<std::string>& deviceVersion() const;
  // The settings the last ReadPadValueFromDevice found outside their lists
  // (each became its list's first entry).
  const ButtonAction::Replacements& lastReplacements() const;
  // The settings the last WritePadValueToDevice got into the keyboard.
  int lastWritten() const { return written_; }

  // Told at each handshake attempt and each setting read or sent; gives
  // back who was told before.
  std::function<void(const Progress&)> setProgress(std::function<void(const Progress&)> progress) {
    return std::exchange(progress_, std::move(progress));
  }

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
  // Without the controller: the default preset, version "未连接".
  void fallBackToDefault();
  // Counts the writes of a long exchange into its progress.
  void countWrites(Progress::Stage stage);
  void report(const Progress& progress) const;
  // Logs the reason and returns the failure, cancelled when the exchange
  // was stopped.
  Outcome fail(const Outcome& failed) const;
  // Why handshakeWithRetry gave up.
  Outcome handshakeFailure() const;

  InterfaceAction& interface_;
  FileAction& files_;
  CurrentPreset preset_;
  std::optional<std::string> deviceVersion_;
  ButtonAction::Replacements replacements_;
  std::function<void(const Progress&)> progress_;
  int written_ = 0;
  // Why the last handshake's write failed, if it did.
  std::optional<Outcome> handshakeWriteFailure_;
};

}  // namespace padkbd
