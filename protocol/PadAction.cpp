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

void PadAction::GetDefaultValue() {
  Preset preset = files_.defaultPreset();
  preset_.replace(std::move(preset.buttons), std::move(preset.global));
}

Outcome PadAction::GetTempValue() {
  PresetRead read = files_.readTempPreset();
  // A damaged working copy leaves the current preset in force.
  if (!read) return read.outcome();
  preset_.replace(std::move(read->buttons), std::move(read->global));
  return Outcome::success();
}

Outcome PadAction::usePreset(Preset preset) {
  if (Outcome usable = checkPreset(preset); !usable) return usable;
  preset_.replace(std::move(preset.buttons), std::move(preset.global));
  return Outcome::success();
}

Outcome PadAction::WriteButtonValuesToTemp() {
  if (!preset_.currentPadValue) return Outcome::failure(Text(TextId::NoSettingsToSave));
  return files_.WriteButtonValuesToTempWithData(preset_.buttonValueArray, *preset_.currentPadValue);
}

Outcome PadAction::HandshakeOperation() {
  interface_.openInterface();
  // The read that follows decides; a failed write is kept only to say why.
  const Outcome written = interface_.WriteToDeviceWithChar(
      messages::kHandshakeRequest.data(),
      static_cast<std::int32_t>(messages::kHandshakeRequest.size()));
  handshakeWriteFailure_.reset();
  if (!written) handshakeWriteFailure_ = written;
  // Transfers that start no SysEx message (a note played, clock) are passed
  // by inside the read, within the one read limit of the request.
  Result<std::array<std::string, 11>> reply =
      interface_.ReadVersionFromDevice(messages::kHandshakeReplyMinimum);
  if (!reply) {
    log::diag("handshake no: %s", reply.message());
    return reply.outcome();
  }
  const std::array<std::string, 11>& r = *reply;
  log::diag("version    %s %s %s %s %s %s %s %s %s %s %s", r[0], r[1], r[2], r[3], r[4], r[5], r[6],
            r[7], r[8], r[9], r[10]);
  std::size_t matches = 0;
  for (std::size_t i = 0; i < r.size(); ++i) {
    if (r[i] == messages::kHandshakePattern[i]) ++matches;
  }
  if (matches != messages::kHandshakeMatches) {
    log::diag("handshake no");
    return Outcome::failure(Text(TextId::NotTheHandshake));
  }
  log::diag("handshake yes");
  deviceVersion_ =
      fmt::format("{}.{}", r[messages::kVersionMajorElement], r[messages::kVersionMinorElement]);
  return Outcome::success();
}

void PadAction::report(const Progress& progress) const {
  if (progress_) progress_(progress);
}

void PadAction::countWrites(Progress::Stage stage) {
  written_ = 0;
  // 0 of N: the interface is open, the handshake done, the exchange starts.
  report({stage, 0, kFullExchange});
  interface_.setOnWrite([this, stage] { report({stage, ++written_, kFullExchange}); });
}

bool PadAction::handshakeWithRetry() {
  interface_.drainInput();
  report({Progress::Stage::Handshake, 1, kHandshakeAttempts});
  bool ok = HandshakeOperation().ok();
  // After a failed write the interface is gone: there is nothing to retry on.
  for (int attempts = 1;
       !ok && attempts < kHandshakeAttempts && !handshakeWriteFailure_ && !interface_.cancelled();
       ++attempts) {
    log::diag("do HandshakeOperation");
    interface_.closeInterface();
    report({Progress::Stage::Handshake, attempts + 1, kHandshakeAttempts});
    ok = HandshakeOperation().ok();
  }
  return ok;
}

void PadAction::fallBackToDefault() {
  log::diag("加载默认数据");
  GetDefaultValue();
  preset_.currentPadValue->version = "未连接";
}

Outcome PadAction::handshakeFailure() const {
  if (interface_.cancelled()) return Outcome::failure(Text(TextId::CancelledWaiting));
  if (handshakeWriteFailure_) return handshakeWriteFailure_->as(TextId::HandshakeNotTaken);
  return Outcome::failure(Text(TextId::HandshakeUnanswered, {kHandshakeAttempts}));
}

Outcome PadAction::fail(const Outcome& failed) const {
  log::diag("%s", failed.message());
  // Whatever an exchange ran into once the user asked to stop is the stop.
  if (interface_.cancelled() && !failed.wasCancelled()) {
    return Outcome::failure(Code::Cancelled, failed.text());
  }
  return failed;
}

Outcome PadAction::ReadPadValueFromDevice() {
  replacements_.clear();
  preset_.replace({}, std::make_shared<PadValue>());
  // Whatever fails, the default preset is what there is to show.
  const auto failed = [this](const Outcome& why) {
    interface_.setOnWrite(nullptr);  // the next exchange's handshake is no reading
    interface_.KillInterface();
    fallBackToDefault();
    return fail(why);
  };
  try {
    if (Outcome opened = OpenInterface(); !opened) return failed(opened);
    log::diag("读取buttonValue");
    ButtonAction::Replacements replaced;
    countWrites(Progress::Stage::Reading);
    Result<ButtonValueList> buttons = ButtonAction::GetButtonValues(interface_, &replaced);
    Result<PadValuePtr> pad = buttons ? ButtonAction::GetPadValue(interface_, &replaced)
                                      : Result<PadValuePtr>(buttons.outcome());
    interface_.setOnWrite(nullptr);
    if (!pad) {
      // Nothing read so far becomes the current preset: a half-read set of
      // controls would mix the controller's settings with the defaults.
      return failed(interface_.cancelled() ? Outcome::failure(Text(TextId::ReadCancelled))
                                           : pad.outcome().as(TextId::ReadStopped));
    }
    log::diag("读取buttonValue完毕");
    (*pad)->version = deviceVersion_.value_or(std::string());
    preset_.replace(std::move(*buttons), std::move(*pad));
    replacements_ = std::move(replaced);
    interface_.KillInterface();
    return Outcome::success();
  } catch (const std::exception& e) {
    // What the standard library or fmt throw (memory, formats) ends the read.
    return failed(Outcome::failure(Text(TextId::ReadFailedBecause, {e.what()})));
  }
}

Outcome PadAction::OpenInterface() {
  // Keyboards are plugged in and out: the one found before may be gone, or
  // be back under another address.
  if (Outcome found = interface_.FindDevice(); !found) return fail(found);
  if (Outcome created = interface_.CreateInterface(); !created) return fail(created);
  if (!handshakeWithRetry()) {
    interface_.KillInterface();
    return fail(handshakeFailure());
  }
  return Outcome::success();
}

Outcome PadAction::WritePadValueToDevice() {
  written_ = 0;
  Outcome sent = Outcome::success();
  try {
    const PadValuePtr& pad = preset_.currentPadValue;
    if (!pad) {
      sent = fail(Outcome::failure(Text(TextId::NoSettingsToSend)));
    } else if (!ValueAction::kMemTable.contains(pad->mem)) {
      // A slot outside the table would write into a slot that does not exist.
      sent = fail(Outcome::failure(Text(TextId::SlotOutsideNothingSent, {pad->mem + 1})));
    } else {
      countWrites(Progress::Stage::Sending);
      sent = ButtonAction::SetDeviceWithArray(interface_, preset_.buttonValueArray, *pad);
      if (!sent && interface_.cancelled()) {
        sent = fail(Outcome::failure(
            Text(TextId::SendCancelledAfter, {written_, kFullExchange, pad->mem + 1})));
      } else if (!sent) {
        sent = fail(sent.as(TextId::SendStopped));
      }
    }
  } catch (const std::exception& e) {
    // What the standard library or fmt throw (memory, formats) ends the send.
    sent = fail(Outcome::failure(Text(TextId::SendFailedBecause, {e.what()})));
  }
  interface_.setOnWrite(nullptr);
  interface_.closeInterface();
  return sent;
}

const std::optional<std::string>& PadAction::deviceVersion() const {
  return deviceVersion_;
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
