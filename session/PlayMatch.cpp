#include "session/PlayMatch.h"

#include <fmt/format.h>

#include <nlohmann/json.hpp>

#include "model/NoteNames.h"
#include "model/Playing.h"

namespace padkbd {

namespace {

using Json = nlohmann::ordered_json;
namespace p = playing;

constexpr std::uint8_t kNoteOff = 0x80, kNoteOn = 0x90, kPolyPressure = 0xA0, kController = 0xB0,
                       kProgram = 0xC0, kChannelPressure = 0xD0, kPitchBend = 0xE0;
constexpr int kNull = 127;  // RPN 127/127: no parameter selected

bool isNoteOff(const ChannelMessage& m) {
  return m.type() == kNoteOff || (m.type() == kNoteOn && m.data2 == 0);
}

// What kind of message it is, as the JSON names it.
const char* kindWord(const ChannelMessage& m) {
  switch (m.type()) {
    case kNoteOn:
      return m.data2 == 0 ? "note off" : "note on";
    case kNoteOff:
      return "note off";
    case kPolyPressure:
      return "pressure";
    case kController:
      return "controller";
    case kProgram:
      return "program change";
    case kChannelPressure:
      return "channel pressure";
    default:
      return "pitch bend";
  }
}

int bend(const ChannelMessage& m) {
  return (m.data1 | (m.data2 << 7)) - 8192;
}

Text nameText(std::int32_t index, const std::vector<std::string>& names) {
  if (index >= 0 && static_cast<std::size_t>(index) < names.size() && !names[index].empty()) {
    return Text(TextId::Plain, {names[index]});
  }
  return Text(TextId::HeardControl, {index});
}

std::string nameOf(std::int32_t index, const std::vector<std::string>& names) {
  return english(nameText(index, names));
}

std::string hexBytes(const ChannelMessage& m) {
  if (dataBytes(m.status) == 1) return fmt::format("{:02x} {:02x}", m.status, m.data1);
  return fmt::format("{:02x} {:02x} {:02x}", m.status, m.data1, m.data2);
}

}  // namespace

void PlayMatcher::setPreset(Preset preset) {
  preset_ = std::move(preset);
}

Heard PlayMatcher::match(const ChannelMessage& message) {
  Heard heard{message, {}, Touch::Move, std::nullopt, std::nullopt, false};
  if (!preset_.global) return heard;
  const PadValue& global = *preset_.global;
  const int channel = message.channel();
  switch (message.type()) {
    case kNoteOn:
    case kNoteOff:
    case kPolyPressure: {
      const bool pressure = message.type() == kPolyPressure;
      heard.touch = pressure ? Touch::Move : isNoteOff(message) ? Touch::Release : Touch::Press;
      for (std::size_t i = 0; i < preset_.buttons.size(); ++i) {
        const ButtonValuePtr& control = preset_.buttons[i];
        const auto index = static_cast<std::int32_t>(i);
        if (!control || p::sendsOf(index, *control) != p::Sends::Notes) continue;
        if (pressure && !isPadControl(index)) continue;  // only pads feel pressure
        if (p::channelOf(*control, global) != channel) continue;
        if (p::noteOf(*control, global) != message.data1) continue;
        heard.controls.push_back(index);
      }
      break;
    }
    case kController:
      matchController(message, heard);
      break;
    default:
      break;  // programs, channel pressure and pitch bend come from no control's settings
  }
  return heard;
}

void PlayMatcher::matchController(const ChannelMessage& message, Heard& heard) {
  const PadValue& global = *preset_.global;
  const int channel = message.channel();
  const std::uint8_t number = message.data1;
  const std::uint8_t value = message.data2;
  Selection& selection = selected_[static_cast<std::size_t>(channel)];
  const bool msb = number == p::kNrpnMsb || number == p::kRpnMsb;
  const bool lsb = number == p::kNrpnLsb || number == p::kRpnLsb;
  const bool rpn = number == p::kRpnMsb || number == p::kRpnLsb;
  if (msb || lsb) {
    if (selection.rpn != rpn) selection = {-1, -1, rpn};
    (msb ? selection.msb : selection.lsb) = value;
  }
  const bool entry = number == p::kDataEntry && selection.lsb >= 0 && selection.msb == 0;
  bool pressed = false, released = false, allRelative = true;
  for (std::size_t i = 0; i < preset_.buttons.size(); ++i) {
    const ButtonValuePtr& control = preset_.buttons[i];
    const auto index = static_cast<std::int32_t>(i);
    if (!control || p::channelOf(*control, global) != channel) continue;
    const p::Sends sends = p::sendsOf(index, *control);
    bool matched = false;
    if (sends == p::Sends::Controller) {
      matched = control->MIDInumb == number;
      if (matched) {
        const p::Relative relative = p::relativeOf(index, *control);
        allRelative = allRelative && relative != p::Relative::Absolute;
        if (allRelative) heard.step = p::stepOf(relative, value);
        if (p::kindOf(index) != p::Kind::Knob) (value == control->min ? released : pressed) = true;
      }
    } else if (sends == p::Sends::NRPN || sends == p::Sends::RPN) {
      // Each step of the sequence that selects this control's parameter (MSB
      // 0, LSB its number; the MSB comes first, so any LSB may follow), and
      // the data entry once it is selected.
      if ((sends == p::Sends::RPN) != selection.rpn) continue;
      if (msb) {
        matched = value == 0;
      } else if (lsb) {
        matched = value == control->MIDInumb && selection.msb <= 0;
      } else if (entry) {
        matched = selection.lsb == control->MIDInumb;
      }
      if (matched && entry) {
        heard.parameter = control->MIDInumb;
        heard.rpn = selection.rpn;
      }
    }
    if (matched) heard.controls.push_back(index);
  }
  if (!allRelative || heard.controls.empty()) heard.step.reset();
  if (rpn && selection.msb == kNull && selection.lsb == kNull) selection = {};
  heard.touch = pressed ? Touch::Press : released ? Touch::Release : Touch::Move;
}

Text heardText(const Heard& heard, const std::vector<std::string>& names) {
  const ChannelMessage& m = heard.message;
  const int channel = m.channel() + 1;
  Text what;
  switch (m.type()) {
    case kNoteOn:
    case kNoteOff:
      what = isNoteOff(m) ? Text(TextId::HeardNoteOff, {noteName(m.data1), channel})
                          : Text(TextId::HeardNoteOn, {noteName(m.data1), m.data2, channel});
      break;
    case kPolyPressure:
      what = Text(TextId::HeardPressure, {noteName(m.data1), m.data2, channel});
      break;
    case kController:
      if (heard.parameter) {
        what = Text(heard.rpn ? TextId::HeardRpn : TextId::HeardNrpn,
                    {*heard.parameter, m.data2, channel});
      } else if (heard.step) {
        what = Text(TextId::HeardStep, {m.data1, fmt::format("{:+}", *heard.step), channel});
      } else {
        what = Text(TextId::HeardController, {m.data1, m.data2, channel});
      }
      break;
    case kProgram:
      what = Text(TextId::HeardProgram, {m.data1, channel});
      break;
    case kChannelPressure:
      what = Text(TextId::HeardChannelPressure, {m.data1, channel});
      break;
    default:
      what = Text(TextId::HeardPitchBend, {fmt::format("{:+}", bend(m)), channel});
      break;
  }
  if (heard.controls.empty()) return Text(TextId::HeardUnmatched, {std::move(what)});
  std::vector<Text> who;
  for (std::int32_t index : heard.controls) who.push_back(nameText(index, names));
  return Text(TextId::HeardFrom, {joined(who), std::move(what)});
}

std::string heardJson(const Heard& heard, const std::vector<std::string>& names) {
  const ChannelMessage& m = heard.message;
  Json json = Json::object();
  Json controls = Json::array();
  for (std::int32_t index : heard.controls) {
    controls.push_back({{"index", index}, {"name", nameOf(index, names)}});
  }
  json["controls"] = controls;
  if (heard.controls.empty()) json["unmatched"] = kNotFromTheseSettings;
  json["message"] = kindWord(m);
  json["channel"] = m.channel() + 1;
  switch (m.type()) {
    case kNoteOn:
    case kNoteOff:
    case kPolyPressure:
      json["note"] = m.data1;
      json["noteName"] = noteName(m.data1);
      json[m.type() == kPolyPressure ? "pressure" : "velocity"] = m.data2;
      break;
    case kController:
      json["controller"] = m.data1;
      json["value"] = m.data2;
      if (heard.step) json["step"] = *heard.step;
      if (heard.parameter) json[heard.rpn ? "rpn" : "nrpn"] = *heard.parameter;
      break;
    case kProgram:
      json["program"] = m.data1;
      break;
    case kChannelPressure:
      json["pressure"] = m.data1;
      break;
    default:
      json["bend"] = bend(m);
      break;
  }
  json["bytes"] = hexBytes(m);
  return json.dump();
}

}  // namespace padkbd
