#include "protocol/ButtonAction.h"

#include <array>
#include <span>

#include "model/Fields.h"
#include "model/Log.h"
#include "model/NoteNames.h"
#include "model/ValueAction.h"
#include "protocol/Messages.h"

namespace padkbd::ButtonAction {
namespace {

namespace va = ValueAction;
using va::Byte;

// One setting on the wire: where it goes and how its field converts.
template <typename Record>
struct Exchange {
  std::uint8_t parameter = 0;
  std::uint8_t target = 0;
  std::int32_t Record::*field = nullptr;
  Conversion pair{};
  const char* name = "";
};

// The global block: group (parameter) and setting within it (target). The
// memory slot and the version are never exchanged.
constexpr std::array<Exchange<PadValue>, 6> globalExchanges() {
  std::array<Exchange<PadValue>, 6> rows{};
  std::size_t n = 0;
  for (const GlobalFieldInfo& f : kGlobalFields) {
    if (f.exchanged) rows[n++] = {f.parameter, f.target, f.member, f.conversion, f.name};
  }
  return rows;
}
constexpr std::array<Exchange<PadValue>, 6> kGlobalParameters = globalExchanges();

// The exchanges of one control: 7 on an other control, 10 on a pad control.
struct ControlExchanges {
  std::array<Exchange<ButtonValue>, kControlFields.size()> rows{};
  std::size_t count = 0;
  std::span<const Exchange<ButtonValue>> span() const { return {rows.data(), count}; }
};

ControlExchanges controlExchanges(std::int32_t index, std::uint8_t target) {
  const bool pad = isPadControl(index);
  ControlExchanges out;
  for (const ControlFieldInfo& f : kControlFields) {
    if (f.padsOnly && !pad) continue;
    out.rows[out.count++] = {f.parameter, target, f.member, pad ? f.onPad : f.onOther, f.name};
  }
  return out;
}

// "Pad 5 (min)", "global settings (MIDI channel)", "gain 5": by the names the
// user knows, not the bytes.
std::string where(std::int32_t control, std::uint8_t parameter, std::uint8_t target) {
  if (control == kGains) return fmt::format("gain {}", target - messages::kGainTargets[0] + 1);
  if (control == kGlobalBlock) {
    for (const GlobalFieldInfo& f : kGlobalFields) {
      if (f.exchanged && f.parameter == parameter && f.target == target) {
        return fmt::format("global settings ({})", f.name);
      }
    }
    return "global settings";
  }
  for (const ControlFieldInfo& f : kControlFields) {
    if (f.parameter == parameter) return fmt::format("{} ({})", controlName(control), f.name);
  }
  return controlName(control);
}

// The failure `why` at the setting it happened to: "Pad 5 (min): no reply (timed out)".
Outcome failure(std::int32_t control, std::uint8_t parameter, std::uint8_t target,
                const Outcome& why) {
  return why.as(TextId::Because, {where(control, parameter, target)});
}

template <std::size_t N>
Outcome send(InterfaceAction& io, const std::array<std::uint8_t, N>& message,
             std::int32_t control) {
  const Outcome written = io.WriteToDeviceWithChar(message.data(), static_cast<std::int32_t>(N));
  if (written) return written;
  return failure(control, message[messages::kParameterOffset], message[messages::kTargetOffset],
                 written);
}

// The list index of a reply byte. A byte the list does not hold (its index
// would not give the byte back) becomes entry 0, and the caller hears of it.
std::int32_t indexOfReply(const Conversion& pair, Byte byte, std::int32_t control,
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
Outcome readExchanges(InterfaceAction& io, Record& record, std::span<const Exchange<Record>> rows,
                      std::int32_t control, Replacements* replaced) {
  auto request = messages::addressed(messages::kReadRequest, io.keyboard().manufacturer);
  for (const Exchange<Record>& row : rows) {
    request[messages::kParameterOffset] = row.parameter;
    request[messages::kTargetOffset] = row.target;
    if (Outcome sent = send(io, request, control); !sent) return sent;
    const Result<Byte> value = io.ReadValueFromDevice();
    if (!value) return failure(control, row.parameter, row.target, value.outcome());
    record.*row.field = indexOfReply(row.pair, *value, control, row.name, replaced);
  }
  return Outcome::success();
}

// The one write loop: a message per exchange with the field's device byte.
template <typename Record>
Outcome writeExchanges(InterfaceAction& io, const Record& record,
                       std::span<const Exchange<Record>> rows, std::uint8_t slot,
                       std::int32_t control) {
  auto message = messages::addressed(messages::kWriteMessage, io.keyboard().manufacturer);
  message[messages::kSlotOffset] = slot;
  for (const Exchange<Record>& row : rows) {
    message[messages::kParameterOffset] = row.parameter;
    message[messages::kTargetOffset] = row.target;
    message[messages::kValueOffset] = static_cast<std::uint8_t>(row.pair.toByte(record.*row.field));
    if (Outcome sent = send(io, message, control); !sent) return sent;
  }
  return Outcome::success();
}

}  // namespace

std::string Replacement::describe() const {
  const std::string where =
      control == kGlobalBlock ? std::string("global settings") : controlName(control);
  return fmt::format("{}: {} byte {:02x}", where, setting, byte);
}

Result<ButtonValuePtr> GetButtonValueWithWW(InterfaceAction& io, std::int8_t ww, std::int32_t index,
                                            Replacements* replaced) {
  auto record = std::make_shared<ButtonValue>();
  record->buttonID = va::GetButtonIDIndexFromChar(ww);
  const ControlExchanges rows = controlExchanges(index, static_cast<std::uint8_t>(ww));
  if (Outcome read = readExchanges<ButtonValue>(io, *record, rows.span(), index, replaced); !read) {
    return read;
  }
  if (!isPadControl(index)) {
    // Other controls have no colour; -1 marks it in the record and in presets.
    record->CR = -1;
    record->CG = -1;
    record->CB = -1;
  }
  return record;
}

Result<ButtonValueList> GetButtonValues(InterfaceAction& io, Replacements* replaced) {
  ButtonValueList list;
  list.reserve(kControlCount);
  for (std::int32_t i = 0; i < kControlCount; ++i) {
    Result<ButtonValuePtr> record =
        GetButtonValueWithWW(io, va::GetButtonIDCharFromIndex(i), i, replaced);
    if (!record) return record.outcome();
    list.push_back(std::move(*record));
  }
  return list;
}

Outcome SetDeviceWithButtonValue(InterfaceAction& io, const ButtonValue& record, std::int8_t yy,
                                 std::int32_t index) {
  const auto target = static_cast<std::uint8_t>(va::GetButtonIDCharFromIndex(record.buttonID));
  const ControlExchanges rows = controlExchanges(index, target);
  return writeExchanges<ButtonValue>(io, record, rows.span(), static_cast<std::uint8_t>(yy), index);
}

Result<PadValuePtr> GetPadValue(InterfaceAction& io, Replacements* replaced) {
  auto pad = std::make_shared<PadValue>();
  if (Outcome read = readExchanges<PadValue>(io, *pad, kGlobalParameters, kGlobalBlock, replaced);
      !read) {
    return read;
  }
  return pad;
}

Outcome SetDeviceWithPadValue(InterfaceAction& io, const PadValue& pad, std::int8_t yy) {
  return writeExchanges<PadValue>(io, pad, kGlobalParameters, static_cast<std::uint8_t>(yy),
                                  kGlobalBlock);
}

Outcome SetDeviceWithArray(InterfaceAction& io, const ButtonValueList& list, const PadValue& pad) {
  if (!va::kMemTable.contains(pad.mem)) {
    // A slot byte from outside the table would write into a slot that does
    // not exist; send nothing at all.
    log::diag("memory slot %d is outside 0-8: nothing sent", pad.mem);
    return Outcome::failure(Text(TextId::SlotOutside, {pad.mem + 1}));
  }
  const Byte yy = va::GetMemCharFromIndex(pad.mem);
  log::diag("YY------->%02x", static_cast<unsigned>(static_cast<std::uint8_t>(yy)));
  for (std::size_t i = 0; i < list.size(); ++i) {
    const auto index = static_cast<std::int32_t>(i);
    if (!list[i]) {
      return Outcome::failure(Text(TextId::ControlHasNoRecord, {controlName(index)}));
    }
    if (Outcome sent = SetDeviceWithButtonValue(io, *list[i], yy, index); !sent) return sent;
  }
  return SetDeviceWithPadValue(io, pad, yy);
}

Outcome setGainWithArray(InterfaceAction& io, const std::vector<std::int32_t>& gains) {
  if (gains.size() < kGainCount) {
    log::diag("gain list has %d entries, 8 needed: nothing sent", static_cast<int>(gains.size()));
    return Outcome::failure(Text(TextId::GainCount, {gains.size()}));
  }
  for (std::size_t n = 0; n < kGainCount; ++n) {
    if (gains[n] < 0 || gains[n] > kGainMaximum) {
      log::diag("gain %d is %d, outside 0-127: nothing sent", static_cast<int>(n), gains[n]);
      return Outcome::failure(Text(TextId::GainOutside, {n + 1, gains[n]}));
    }
  }
  auto message = messages::addressed(messages::kWriteMessage, io.keyboard().manufacturer);
  message[messages::kSlotOffset] = messages::kGainSlot;
  message[messages::kParameterOffset] = messages::kGainParameter;
  for (std::size_t n = 0; n < kGainCount; ++n) {
    message[messages::kTargetOffset] = messages::kGainTargets[n];
    message[messages::kValueOffset] =
        static_cast<std::uint8_t>(va::GetValueCharFromIndex(gains[n]));
    if (Outcome sent = send(io, message, kGains); !sent) return sent;
  }
  return Outcome::success();
}

}  // namespace padkbd::ButtonAction
