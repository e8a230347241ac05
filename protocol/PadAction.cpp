#include "protocol/PadAction.h"

#include <exception>
#include <utility>

#include "model/Log.h"
#include "model/ValueAction.h"
#include "padkbd/BuildConfig.h"
#include "protocol/ButtonAction.h"
#include "protocol/Messages.h"

namespace padkbd {

PadAction::PadAction(InterfaceAction& interfaceAction, FileAction& fileAction)
    : interface_(interfaceAction), files_(fileAction) {}

ButtonValuePtr PadAction::GetButtonValueWithID(std::int32_t index) const {
  return preset_.GetButtonValueWithID(index);
}

PadValuePtr PadAction::getPadValue() const {
  return preset_.getPadValue();
}

const CurrentPreset& PadAction::currentPreset() const {
  return preset_;
}

Outcome PadAction::GetDefaultValue() {
  Preset preset = files_.defaultPreset();
  preset_.replace(std::move(preset.buttons), std::move(preset.global));
  return Outcome::success();
}

Outcome PadAction::GetTempValue() {
  PresetRead read = files_.readTempPreset();
  // A damaged working copy leaves the current preset in force.
  if (!read.outcome) return read.outcome;
  preset_.replace(std::move(read.preset.buttons), std::move(read.preset.global));
  return Outcome::success();
}

Outcome PadAction::usePreset(Preset preset) {
  if (Outcome usable = checkPreset(preset); !usable) return usable;
  preset_.replace(std::move(preset.buttons), std::move(preset.global));
  return Outcome::success();
}

Outcome PadAction::WriteButtonValuesToTemp() {
  if (!preset_.currentPadValue) return Outcome::failure("there are no settings to save yet");
  return files_.WriteButtonValuesToTempWithData(preset_.buttonValueArray, *preset_.currentPadValue);
}

std::array<std::string, 11> PadAction::readHandshakeReply() {
  std::array<std::string, 11> reply = interface_.ReadVersionFromDevice();
  const ReadResult& read = interface_.lastRead();
  if (!read.ok() || read.count < messages::kHandshakeReplyMinimum) {
    for (std::string& element : reply) element.clear();
  }
  return reply;
}

bool PadAction::HandshakeOperation() {
  interface_.openInterface();
  // The read that follows decides; a failed write is kept only to say why.
  const UsbStatus written = interface_.WriteToDeviceWithChar(
      messages::kHandshakeRequest.data(),
      static_cast<std::int32_t>(messages::kHandshakeRequest.size()));
  handshakeWriteFailure_.reset();
  if (written != UsbStatus::Success) handshakeWriteFailure_ = written;
  // Transfers that start no SysEx message (a note played, clock) are passed
  // by inside the read, within the one read limit of the request.
  const std::array<std::string, 11> reply = readHandshakeReply();
  log::diag("version    %s %s %s %s %s %s %s %s %s %s %s", reply[0], reply[1], reply[2], reply[3],
            reply[4], reply[5], reply[6], reply[7], reply[8], reply[9], reply[10]);
  std::size_t matches = 0;
  for (std::size_t i = 0; i < reply.size(); ++i) {
    if (reply[i] == messages::kHandshakePattern[i]) ++matches;
  }
  if (matches != messages::kHandshakeMatches) {
    log::diag("handshake no");
    return false;
  }
  log::diag("handshake yes");
  deviceVersion_ = fmt::format("{}.{}", reply[messages::kVersionMajorElement],
                               reply[messages::kVersionMinorElement]);
  return true;
}

void PadAction::report(const Progress& progress) const {
  if (progress_) progress_(progress);
}

void PadAction::countWrites(Progress::Stage stage) {
  written_ = 0;
  interface_.setOnWrite([this, stage] { report({stage, ++written_, kFullExchange}); });
}

bool PadAction::handshakeWithRetry() {
  interface_.drainInput();
  report({Progress::Stage::Handshake, 1, kHandshakeAttempts});
  bool ok = HandshakeOperation();
  // After a failed write the interface is gone: there is nothing to retry on.
  for (int attempts = 1;
       !ok && attempts < kHandshakeAttempts && !handshakeWriteFailure_ && !interface_.cancelled();
       ++attempts) {
    log::diag("do HandshakeOperation");
    interface_.closeInterface();
    report({Progress::Stage::Handshake, attempts + 1, kHandshakeAttempts});
    ok = HandshakeOperation();
  }
  return ok;
}

void PadAction::fallBackToDefault() {
  log::diag("加载默认数据");
  GetDefaultValue();
  preset_.currentPadValue->version = "未连接";
}

std::string PadAction::handshakeFailure() const {
  if (interface_.cancelled()) return "cancelled while waiting for the keyboard";
  if (handshakeWriteFailure_ && *handshakeWriteFailure_ != UsbStatus::Interrupted) {
    return fmt::format("the keyboard did not take the handshake: {}",
                       usbStatusName(*handshakeWriteFailure_));
  }
  return fmt::format("the controller did not answer the handshake after {} attempts",
                     kHandshakeAttempts);
}

void PadAction::fail(std::string message) {
  lastError_ = std::move(message);
  log::diag("%s", lastError_);
}

bool PadAction::ReadPadValueFromDevice() {
  lastError_.clear();
  replacements_.clear();
  cancelled_ = false;
  preset_.replace({}, std::make_shared<PadValue>());
  try {
    if (!interface_.FindDevice()) {
      fail(fmt::format("no controller found (USB {})", formatUsbIds(interface_.keyboard().usb)));
      fallBackToDefault();
      return false;
    }
    if (!interface_.CreateInterface()) {
      fail("the controller was found but its interface could not be opened");
      fallBackToDefault();
      return false;
    }
    if (!handshakeWithRetry()) {
      interface_.KillInterface();
      cancelled_ = interface_.cancelled();
      fail(handshakeFailure());
      fallBackToDefault();
      return false;
    }
    ButtonAction::ExchangeError error;
    log::diag("读取buttonValue");
    ButtonAction::Replacements replaced;
    countWrites(Progress::Stage::Reading);
    std::optional<ButtonValueList> buttons =
        ButtonAction::GetButtonValues(interface_, &error, &replaced);
    PadValuePtr pad;
    if (buttons) {
      log::diag("读取buttonValue完毕");
      pad = ButtonAction::GetPadValue(interface_, &error, &replaced);
    }
    interface_.setOnWrite(nullptr);
    if (!pad) {
      // Nothing read so far becomes the current preset: a half-read set of
      // controls would mix the controller's settings with the defaults.
      interface_.KillInterface();
      cancelled_ = interface_.cancelled();
      fail(cancelled_ ? std::string("the read was cancelled")
                      : fmt::format("the controller stopped answering during the read ({}): {}",
                                    error.where(), error.reason));
      fallBackToDefault();
      return false;
    }
    pad->version = deviceVersion_.value_or(std::string());
    preset_.replace(std::move(*buttons), std::move(pad));
    replacements_ = std::move(replaced);
    interface_.KillInterface();
    return true;
  } catch (const std::exception& e) {
    interface_.KillInterface();
    fail(fmt::format("reading the controller failed: {}", e.what()));
    fallBackToDefault();
    return false;
  } catch (...) {
    interface_.KillInterface();
    fail("reading the controller failed");
    fallBackToDefault();
    return false;
  }
}

bool PadAction::OpenInterface() {
  lastError_.clear();
  cancelled_ = false;
  // Keyboards are plugged in and out: the one found before may be gone, or
  // be back under another address.
  if (!interface_.FindDevice()) {
    fail(fmt::format("no controller found (USB {})", formatUsbIds(interface_.keyboard().usb)));
    return false;
  }
  if (!interface_.CreateInterface()) {
    fail("the controller's interface could not be opened");
    return false;
  }
  if (!handshakeWithRetry()) {
    interface_.KillInterface();
    cancelled_ = interface_.cancelled();
    fail(handshakeFailure());
    return false;
  }
  return true;
}

bool PadAction::WritePadValueToDevice() {
  lastError_.clear();
  written_ = 0;
  bool ok = false;
  try {
    const PadValuePtr& pad = preset_.currentPadValue;
    if (!pad) {
      fail("there are no settings to send yet");
    } else if (!ValueAction::kMemTable.contains(pad->mem)) {
      // A slot outside the table would write into a slot that does not exist.
      fail(fmt::format("memory slot index {} is outside 0-8; nothing was sent", pad->mem));
    } else {
      ButtonAction::ExchangeError error;
      countWrites(Progress::Stage::Sending);
      ok = ButtonAction::SetDeviceWithArray(interface_, preset_.buttonValueArray, *pad, &error);
      cancelled_ = !ok && interface_.cancelled();
      if (cancelled_) {
        fail(fmt::format("cancelled after {} of {} settings: memory slot {} now holds some of the "
                         "new settings and some of the old",
                         written_, kFullExchange, pad->mem + 1));
      } else if (!ok) {
        fail(fmt::format("the send stopped ({}): {}", error.where(), error.reason));
      }
    }
  } catch (const std::exception& e) {
    ok = false;
    fail(fmt::format("the send failed: {}", e.what()));
  } catch (...) {
    ok = false;
    fail("the send failed");
  }
  interface_.setOnWrite(nullptr);
  interface_.closeInterface();
  return ok;
}

const std::optional<std::string>& PadAction::deviceVersion() const {
  return deviceVersion_;
}

const std::string& PadAction::lastError() const {
  return lastError_;
}

const ButtonAction::Replacements& PadAction::lastReplacements() const {
  return replacements_;
}

PopUpValue PadAction::InitializePopUp() const {
  return popUpValueFrom(files_.readChoiceLists());
}

StringList PadAction::GetPadModeOptionWithModeIndex(std::int32_t mode) {
  switch (mode) {
    case 1:
      return {"Absolute", "Rleative #1", "Rleative #2", "Rleative #3"};
    case 2:
    case 3:
      return {"Toggle", "Gate"};
    default:
      return {};
  }
}

StringList PadAction::GetOtherModeOptionWithModeIndex(std::int32_t mode) {
  switch (mode) {
    case 1:
      return {"Absolute", "Rleative #1", "Rleative #2", "Rleative #3"};
    case 2:
      return {"NRPN", "RPN"};
    default:
      return {};
  }
}

InterfaceAction& PadAction::interfaceAction() {
  return interface_;
}

FileAction& PadAction::fileAction() {
  return files_;
}

}  // namespace padkbd
