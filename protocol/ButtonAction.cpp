#include "protocol/ButtonAction.h"

#include <array>
#include <span>

#include "model/Log.h"
#include "model/ValueAction.h"
#include "protocol/Messages.h"

namespace padkbd::ButtonAction {
namespace {

namespace va = ValueAction;
using va::Byte;

struct ConversionPair {
  Byte (*toByte)(std::int32_t index);
  std::int32_t (*toIndex)(Byte byte);
};

// One setting on the wire: where it goes and how its field converts.
template <typename Record>
struct Exchange {
  std::uint8_t parameter = 0;
  std::uint8_t target = 0;
  std::int32_t Record::*field = nullptr;
  ConversionPair pair{};
};

// A control's parameters in the order they are exchanged. The colours are
// exchanged by pad controls only, red 08, green 07, blue 09 in that order; the
// mode converts through the table of the control's kind.
struct ControlParameter {
  std::uint8_t parameter;
  std::int32_t ButtonValue::*field;
  ConversionPair onPad;
  ConversionPair onOther;
  bool padsOnly;
};

constexpr ConversionPair kValue{va::GetValueCharFromIndex, va::GetValueIndexFromChar};
constexpr ConversionPair kPadMode{va::GetPadModeCharFromIndex, va::GetPadModeIndexFromChar};
constexpr ConversionPair kOtherMode{va::GetOtherModeCharFromIndex, va::GetOtherModeIndexFromChar};
constexpr ConversionPair kChannel{va::GetChannelCharFromIndex, va::GetChannelIndexFromChar};
constexpr ConversionPair kMIDInumb{va::GetMIDInumbCharFromIndex, va::GetMIDInumbIndexFromChar};
constexpr ConversionPair kMin{va::GetMinCharFromIndex, va::GetMinIndexFromChar};
constexpr ConversionPair kMax{va::GetMaxCharFromIndex, va::GetMaxIndexFromChar};
constexpr ConversionPair kModeOption{va::GetModeOptionCharFromIndex,
                                     va::GetModeOptionIndexFromChar};
constexpr ConversionPair kCR{va::GetCRCharFromIndex, va::GetCRIndexFromChar};
constexpr ConversionPair kCG{va::GetCGCharFromIndex, va::GetCGIndexFromChar};
constexpr ConversionPair kCB{va::GetCBCharFromIndex, va::GetCBIndexFromChar};

// clang-format off
constexpr std::array<ControlParameter, 10> kControlParameters = {{
    {0x00, &ButtonValue::value,      kValue,      kValue,      false},
    {0x01, &ButtonValue::mode,       kPadMode,    kOtherMode,  false},
    {0x02, &ButtonValue::channel,    kChannel,    kChannel,    false},
    {0x03, &ButtonValue::MIDInumb,   kMIDInumb,   kMIDInumb,   false},
    {0x04, &ButtonValue::min,        kMin,        kMin,        false},
    {0x05, &ButtonValue::max,        kMax,        kMax,        false},
    {0x06, &ButtonValue::modeOption, kModeOption, kModeOption, false},
    {0x08, &ButtonValue::CR,         kCR,         kCR,         true},
    {0x07, &ButtonValue::CG,         kCG,         kCG,         true},
    {0x09, &ButtonValue::CB,         kCB,         kCB,         true},
}};

// The global block: group (parameter) and setting within it (target). mem and
// version are never exchanged.
constexpr std::array<Exchange<PadValue>, 6> kGlobalParameters = {{
    {0x40, 0x02, &PadValue::globalKnobRelativeMode,
     {va::GetGlobalKnobRelativeModeCharFromIndex, va::GetGlobalKnobRelativeModeIndexFromChar}},
    {0x40, 0x03, &PadValue::globalOctaveTransposition,
     {va::GetGlobalOctaveTranspositionCharFromIndex, va::GetGlobalOctaveTranspositionIndexFromChar}},
    {0x40, 0x06, &PadValue::globalMIDIChannel,
     {va::GetGlobalMIDIChannelCharFromIndex, va::GetGlobalMIDIChannelIndexFromChar}},
    {0x41, 0x01, &PadValue::globalVelocityCurve,
     {va::GetGlobalVelocityCurveCharFromIndex, va::GetGlobalVelocityCurveIndexFromChar}},
    {0x41, 0x03, &PadValue::globalPadVelocityCurve,
     {va::GetGlobalPadVelocityCurveCharFromIndex, va::GetGlobalPadVelocityCurveIndexFromChar}},
    {0x41, 0x04, &PadValue::globalKnobAccelerationCurve,
     {va::GetGlobalKnobAccelerationCurveCharFromIndex,
      va::GetGlobalKnobAccelerationCurveIndexFromChar}},
}};
// clang-format on

// The exchanges of one control: 7 on an other control, 10 on a pad control.
struct ControlExchanges {
  std::array<Exchange<ButtonValue>, kControlParameters.size()> rows{};
  std::size_t count = 0;
  std::span<const Exchange<ButtonValue>> span() const { return {rows.data(), count}; }
};

ControlExchanges controlExchanges(std::int32_t index, std::uint8_t target) {
  const bool pad = isPadControl(index);
  ControlExchanges out;
  for (const ControlParameter& p : kControlParameters) {
    if (p.padsOnly && !pad) continue;
    out.rows[out.count++] = {p.parameter, target, p.field, pad ? p.onPad : p.onOther};
  }
  return out;
}

void report(ExchangeError* error, std::int32_t control, std::uint8_t parameter, std::uint8_t target,
            std::string reason) {
  if (!error) return;
  error->control = control;
  error->parameter = parameter;
  error->target = target;
  error->reason = std::move(reason);
}

template <std::size_t N>
bool send(InterfaceAction& io, const std::array<std::uint8_t, N>& message, std::int32_t control,
          ExchangeError* error) {
  const UsbStatus status = io.WriteToDeviceWithChar(message.data(), static_cast<std::int32_t>(N));
  if (status == UsbStatus::Success) return true;
  report(error, control, message[messages::kParameterOffset], message[messages::kTargetOffset],
         fmt::format("the write failed ({})", usbStatusName(status)));
  return false;
}

// A value reply is laid out as the write message: the device header, then
// the parameter and target of the request it answers. Anything else (another
// sender, or the answer to some other request) holds no value for this field.
bool answers(const std::array<std::uint8_t, 15>& request,
             const std::array<std::uint8_t, InterfaceAction::kReceiveBufferSize>& reply) {
  for (std::size_t i = 0; i < messages::kHeaderSize; ++i) {
    if (reply[i] != request[i]) return false;
  }
  return reply[messages::kParameterOffset] == request[messages::kParameterOffset] &&
         reply[messages::kTargetOffset] == request[messages::kTargetOffset];
}

// The one read loop: a request per exchange, its reply converted into the
// field. A reply that did not arrive whole is not a value: the loop stops
// and the record is dropped by the caller.
template <typename Record>
bool readExchanges(InterfaceAction& io, Record& record, std::span<const Exchange<Record>> rows,
                   std::int32_t control, ExchangeError* error) {
  auto request = messages::kReadRequest;
  for (const Exchange<Record>& row : rows) {
    request[messages::kParameterOffset] = row.parameter;
    request[messages::kTargetOffset] = row.target;
    if (!send(io, request, control, error)) return false;
    const Byte value = io.ReadValueFromDevice();
    const ReadResult& read = io.lastRead();
    if (!read.ok()) {
      report(error, control, row.parameter, row.target,
             fmt::format("no reply ({})", usbStatusName(read.status)));
      return false;
    }
    if (read.count < messages::kValueReplyMinimum) {
      report(error, control, row.parameter, row.target,
             fmt::format("a short reply ({} bytes)", read.count));
      return false;
    }
    if (!answers(request, io.receiveBuffer())) {
      report(error, control, row.parameter, row.target, "a reply to a different request");
      return false;
    }
    record.*row.field = row.pair.toIndex(value);
  }
  return true;
}

// The one write loop: a message per exchange with the field's device byte.
template <typename Record>
bool writeExchanges(InterfaceAction& io, const Record& record,
                    std::span<const Exchange<Record>> rows, std::uint8_t slot, std::int32_t control,
                    ExchangeError* error) {
  auto message = messages::kWriteMessage;
  message[messages::kSlotOffset] = slot;
  for (const Exchange<Record>& row : rows) {
    message[messages::kParameterOffset] = row.parameter;
    message[messages::kTargetOffset] = row.target;
    message[messages::kValueOffset] = static_cast<std::uint8_t>(row.pair.toByte(record.*row.field));
    if (!send(io, message, control, error)) return false;
  }
  return true;
}

}  // namespace

std::string ExchangeError::where() const {
  if (control == kGains) return fmt::format("gain {}", target - messages::kGainTargets[0]);
  if (control == kGlobalBlock) {
    return fmt::format("global settings, parameter {:02x}, target {:02x}", parameter, target);
  }
  return fmt::format("control {}, parameter {:02x}", control, parameter);
}

ButtonValuePtr GetButtonValueWithWW(InterfaceAction& io, std::int8_t ww, std::int32_t index,
                                    ExchangeError* error) {
  auto record = std::make_shared<ButtonValue>();
  record->buttonID = va::GetButtonIDIndexFromChar(ww);
  const ControlExchanges rows = controlExchanges(index, static_cast<std::uint8_t>(ww));
  if (!readExchanges<ButtonValue>(io, *record, rows.span(), index, error)) return nullptr;
  if (!isPadControl(index)) {
    // Other controls have no colour; -1 marks it in the record and in presets.
    record->CR = -1;
    record->CG = -1;
    record->CB = -1;
  }
  return record;
}

std::optional<ButtonValueList> GetButtonValues(InterfaceAction& io, ExchangeError* error) {
  ButtonValueList list;
  list.reserve(kControlCount);
  for (std::int32_t i = 0; i < kControlCount; ++i) {
    ButtonValuePtr record = GetButtonValueWithWW(io, va::GetButtonIDCharFromIndex(i), i, error);
    if (!record) return std::nullopt;
    list.push_back(std::move(record));
  }
  return list;
}

bool SetDeviceWithButtonValue(InterfaceAction& io, const ButtonValue& record, std::int8_t yy,
                              std::int32_t index, ExchangeError* error) {
  const auto target = static_cast<std::uint8_t>(va::GetButtonIDCharFromIndex(record.buttonID));
  const ControlExchanges rows = controlExchanges(index, target);
  return writeExchanges<ButtonValue>(io, record, rows.span(), static_cast<std::uint8_t>(yy), index,
                                     error);
}

PadValuePtr GetPadValue(InterfaceAction& io, ExchangeError* error) {
  auto pad = std::make_shared<PadValue>();
  if (!readExchanges<PadValue>(io, *pad, kGlobalParameters, ExchangeError::kGlobalBlock, error)) {
    return nullptr;
  }
  return pad;
}

bool SetDeviceWithPadValue(InterfaceAction& io, const PadValue& pad, std::int8_t yy,
                           ExchangeError* error) {
  return writeExchanges<PadValue>(io, pad, kGlobalParameters, static_cast<std::uint8_t>(yy),
                                  ExchangeError::kGlobalBlock, error);
}

bool SetDeviceWithArray(InterfaceAction& io, const ButtonValueList& list, const PadValue& pad,
                        ExchangeError* error) {
  if (!va::kMemTable.contains(pad.mem)) {
    // A slot byte from outside the table would write into a slot that does
    // not exist; send nothing at all.
    log::diag("memory slot %d is outside 0-8: nothing sent", pad.mem);
    report(error, ExchangeError::kGlobalBlock, 0, 0,
           fmt::format("memory slot {} is outside 0-8", pad.mem));
    return false;
  }
  const Byte yy = va::GetMemCharFromIndex(pad.mem);
  log::diag("YY------->%02x", static_cast<unsigned>(static_cast<std::uint8_t>(yy)));
  for (std::size_t i = 0; i < list.size(); ++i) {
    const ButtonValuePtr& record = list[i];
    if (!record) {
      report(error, static_cast<std::int32_t>(i), 0, 0, "the control has no record");
      return false;
    }
    if (!SetDeviceWithButtonValue(io, *record, yy, static_cast<std::int32_t>(i), error)) {
      return false;
    }
  }
  return SetDeviceWithPadValue(io, pad, yy, error);
}

std::uint8_t setGainWithArray(InterfaceAction& io, const std::vector<std::int32_t>& gains,
                              ExchangeError* error) {
  if (gains.size() < kGainCount) {
    log::diag("gain list has %d entries, 8 needed: nothing sent", static_cast<int>(gains.size()));
    report(error, ExchangeError::kGains, messages::kGainParameter, messages::kGainTargets[0],
           fmt::format("the gain list has {} entries, 8 are needed", gains.size()));
    return 0;
  }
  for (std::size_t n = 0; n < kGainCount; ++n) {
    if (gains[n] < 0 || gains[n] > kGainMaximum) {
      log::diag("gain %d is %d, outside 0-127: nothing sent", static_cast<int>(n), gains[n]);
      report(error, ExchangeError::kGains, messages::kGainParameter, messages::kGainTargets[n],
             fmt::format("gain {} is {}, outside 0-127", n, gains[n]));
      return 0;
    }
  }
  auto message = messages::kWriteMessage;
  message[messages::kSlotOffset] = messages::kGainSlot;
  message[messages::kParameterOffset] = messages::kGainParameter;
  for (std::size_t n = 0; n < kGainCount; ++n) {
    message[messages::kTargetOffset] = messages::kGainTargets[n];
    message[messages::kValueOffset] =
        static_cast<std::uint8_t>(va::GetValueCharFromIndex(gains[n]));
    if (!send(io, message, ExchangeError::kGains, error)) return 0;
  }
  return 1;
}

}  // namespace padkbd::ButtonAction
