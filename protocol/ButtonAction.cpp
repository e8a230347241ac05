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
  std::int32_t entries;  // the size of the setting's list
};

// One setting on the wire: where it goes and how its field converts.
template <typename Record>
struct Exchange {
  std::uint8_t parameter = 0;
  std::uint8_t target = 0;
  std::int32_t Record::*field = nullptr;
  ConversionPair pair{};
  const char* name = "";
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
  const char* name;
};

template <std::size_t N>
constexpr ConversionPair pair(Byte (*toByte)(std::int32_t), std::int32_t (*toIndex)(Byte),
                              const va::CodeTable<N>& table) {
  return {toByte, toIndex, table.size()};
}

constexpr ConversionPair kValue = pair(va::GetValueCharFromIndex, va::GetValueIndexFromChar,
                                       va::k127Table);
constexpr ConversionPair kPadMode = pair(va::GetPadModeCharFromIndex, va::GetPadModeIndexFromChar,
                                         va::kPadModeTable);
constexpr ConversionPair kOtherMode = pair(va::GetOtherModeCharFromIndex,
                                           va::GetOtherModeIndexFromChar, va::kOtherModeTable);
constexpr ConversionPair kChannel = pair(va::GetChannelCharFromIndex, va::GetChannelIndexFromChar,
                                         va::kChannelTable);
constexpr ConversionPair kMIDInumb = pair(va::GetMIDInumbCharFromIndex,
                                          va::GetMIDInumbIndexFromChar, va::k127Table);
constexpr ConversionPair kMin = pair(va::GetMinCharFromIndex, va::GetMinIndexFromChar,
                                     va::k127Table);
constexpr ConversionPair kMax = pair(va::GetMaxCharFromIndex, va::GetMaxIndexFromChar,
                                     va::k127Table);
constexpr ConversionPair kModeOption = pair(va::GetModeOptionCharFromIndex,
                                            va::GetModeOptionIndexFromChar, va::kCurveTable);
constexpr ConversionPair kCR = pair(va::GetCRCharFromIndex, va::GetCRIndexFromChar, va::k127Table);
constexpr ConversionPair kCG = pair(va::GetCGCharFromIndex, va::GetCGIndexFromChar, va::k127Table);
constexpr ConversionPair kCB = pair(va::GetCBCharFromIndex, va::GetCBIndexFromChar, va::k127Table);

// clang-format off
constexpr std::array<ControlParameter, 10> kControlParameters = {{
    {0x00, &ButtonValue::value,      kValue,      kValue,      false, "value"},
    {0x01, &ButtonValue::mode,       kPadMode,    kOtherMode,  false, "mode"},
    {0x02, &ButtonValue::channel,    kChannel,    kChannel,    false, "channel"},
    {0x03, &ButtonValue::MIDInumb,   kMIDInumb,   kMIDInumb,   false, "MIDI number"},
    {0x04, &ButtonValue::min,        kMin,        kMin,        false, "min"},
    {0x05, &ButtonValue::max,        kMax,        kMax,        false, "max"},
    {0x06, &ButtonValue::modeOption, kModeOption, kModeOption, false, "mode option"},
    {0x08, &ButtonValue::CR,         kCR,         kCR,         true,  "red"},
    {0x07, &ButtonValue::CG,         kCG,         kCG,         true,  "green"},
    {0x09, &ButtonValue::CB,         kCB,         kCB,         true,  "blue"},
}};

// The global block: group (parameter) and setting within it (target). mem and
// version are never exchanged.
constexpr std::array<Exchange<PadValue>, 6> kGlobalParameters = {{
    {0x40, 0x02, &PadValue::globalKnobRelativeMode,
     pair(va::GetGlobalKnobRelativeModeCharFromIndex, va::GetGlobalKnobRelativeModeIndexFromChar,
          va::kKnobRelativeModeTable), "knob relative mode"},
    {0x40, 0x03, &PadValue::globalOctaveTransposition,
     pair(va::GetGlobalOctaveTranspositionCharFromIndex,
          va::GetGlobalOctaveTranspositionIndexFromChar, va::kOctaveTranspositionTable),
     "octave transposition"},
    {0x40, 0x06, &PadValue::globalMIDIChannel,
     pair(va::GetGlobalMIDIChannelCharFromIndex, va::GetGlobalMIDIChannelIndexFromChar,
          va::kGlobalChannelTable), "MIDI channel"},
    {0x41, 0x01, &PadValue::globalVelocityCurve,
     pair(va::GetGlobalVelocityCurveCharFromIndex, va::GetGlobalVelocityCurveIndexFromChar,
          va::kCurveTable), "velocity curve"},
    {0x41, 0x03, &PadValue::globalPadVelocityCurve,
     pair(va::GetGlobalPadVelocityCurveCharFromIndex, va::GetGlobalPadVelocityCurveIndexFromChar,
          va::kCurveTable), "pad velocity curve"},
    {0x41, 0x04, &PadValue::globalKnobAccelerationCurve,
     pair(va::GetGlobalKnobAccelerationCurveCharFromIndex,
          va::GetGlobalKnobAccelerationCurveIndexFromChar, va::kKnobAccelerationTable),
     "knob acceleration"},
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
    out.rows[out.count++] = {p.parameter, target, p.field, pad ? p.onPad : p.onOther, p.name};
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

// The list index of a reply byte. A byte the list does not hold (its index
// would not give the byte back) becomes entry 0, and the caller hears of it.
std::int32_t indexOfReply(const ConversionPair& pair, Byte byte, std::int32_t control,
                          const char* setting, Replacements* replaced) {
  const std::int32_t index = pair.toIndex(byte);
  if (index >= 0 && index < pair.entries && pair.toByte(index) == byte) return index;
  Replacement replacement{control, setting, static_cast<std::uint8_t>(byte)};
  log::diag("%s is not in its list: set to the first entry", replacement.describe());
  if (replaced) replaced->push_back(std::move(replacement));
  return 0;
}

// The one read loop: a request per exchange, its reply converted into the
// field. A read that found no reply in time holds no value: the loop stops
// and the record is dropped by the caller. (A reply that is found always
// reaches byte 14: the transport takes nothing shorter.)
template <typename Record>
bool readExchanges(InterfaceAction& io, Record& record, std::span<const Exchange<Record>> rows,
                   std::int32_t control, ExchangeError* error, Replacements* replaced) {
  auto request = messages::addressed(messages::kReadRequest, io.keyboard().manufacturer);
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
    record.*row.field = indexOfReply(row.pair, value, control, row.name, replaced);
  }
  return true;
}

// The one write loop: a message per exchange with the field's device byte.
template <typename Record>
bool writeExchanges(InterfaceAction& io, const Record& record,
                    std::span<const Exchange<Record>> rows, std::uint8_t slot, std::int32_t control,
                    ExchangeError* error) {
  auto message = messages::addressed(messages::kWriteMessage, io.keyboard().manufacturer);
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

std::string Replacement::describe() const {
  const std::string where = control == ExchangeError::kGlobalBlock
                                ? std::string("global settings")
                                : fmt::format("control {}", control);
  return fmt::format("{}: {} byte {:02x}", where, setting, byte);
}

ButtonValuePtr GetButtonValueWithWW(InterfaceAction& io, std::int8_t ww, std::int32_t index,
                                    ExchangeError* error, Replacements* replaced) {
  auto record = std::make_shared<ButtonValue>();
  record->buttonID = va::GetButtonIDIndexFromChar(ww);
  const ControlExchanges rows = controlExchanges(index, static_cast<std::uint8_t>(ww));
  if (!readExchanges<ButtonValue>(io, *record, rows.span(), index, error, replaced)) {
    return nullptr;
  }
  if (!isPadControl(index)) {
    // Other controls have no colour; -1 marks it in the record and in presets.
    record->CR = -1;
    record->CG = -1;
    record->CB = -1;
  }
  return record;
}

std::optional<ButtonValueList> GetButtonValues(InterfaceAction& io, ExchangeError* error,
                                               Replacements* replaced) {
  ButtonValueList list;
  list.reserve(kControlCount);
  for (std::int32_t i = 0; i < kControlCount; ++i) {
    ButtonValuePtr record =
        GetButtonValueWithWW(io, va::GetButtonIDCharFromIndex(i), i, error, replaced);
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

PadValuePtr GetPadValue(InterfaceAction& io, ExchangeError* error, Replacements* replaced) {
  auto pad = std::make_shared<PadValue>();
  if (!readExchanges<PadValue>(io, *pad, kGlobalParameters, ExchangeError::kGlobalBlock, error,
                               replaced)) {
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
  auto message = messages::addressed(messages::kWriteMessage, io.keyboard().manufacturer);
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
