#include "storage/Midnam.h"

#include <fmt/format.h>

#include <map>
#include <utility>

#include "model/NoteNames.h"
#include "model/Playing.h"

namespace padkbd {
namespace {

namespace p = playing;

constexpr int kChannels = 16;

// The format's control types, in the order a list gives them.
enum class ControlType { SevenBit, Nrpn, Rpn };

const char* typeWord(ControlType type) {
  switch (type) {
    case ControlType::Nrpn:
      return "NRPN";
    case ControlType::Rpn:
      return "RPN";
    case ControlType::SevenBit:
      break;
  }
  return "7bit";
}

// What one channel's controls send, each note and controller with the names
// of every control that sends it.
struct ChannelNames {
  std::map<int, std::string> notes;
  std::map<std::pair<ControlType, int>, std::string> controls;
};

void addName(std::string& names, const std::string& name) {
  names += (names.empty() ? "" : " / ") + name;
}

// The channel's lists, channel by channel (0-15); a channel nothing sends on is absent.
std::map<int, ChannelNames> namesByChannel(const Preset& preset,
                                           const std::vector<std::string>& names) {
  std::map<int, ChannelNames> channels;
  if (!preset.global) return channels;
  const PadValue& global = *preset.global;
  for (std::size_t i = 0; i < preset.buttons.size(); ++i) {
    const ButtonValuePtr& control = preset.buttons[i];
    if (!control) continue;
    const auto index = static_cast<std::int32_t>(i);
    const std::string name = i < names.size() && !names[i].empty() ? names[i] : controlName(index);
    ChannelNames& channel = channels[p::channelOf(*control, global)];
    const p::Sends sends = p::sendsOf(index, *control);
    if (sends == p::Sends::Notes) {
      if (const std::optional<int> note = p::noteOf(*control, global)) {
        addName(channel.notes[*note], name);
      }
      continue;
    }
    if (control->MIDInumb < 0 || control->MIDInumb > 127) continue;
    const ControlType type = sends == p::Sends::Controller ? ControlType::SevenBit
                             : sends == p::Sends::NRPN     ? ControlType::Nrpn
                                                           : ControlType::Rpn;
    addName(channel.controls[{type, control->MIDInumb}], name);
  }
  std::erase_if(channels, [](const auto& each) {
    return each.second.notes.empty() && each.second.controls.empty();
  });
  return channels;
}

}  // namespace

std::string xmlEscaped(std::string_view text) {
  const bool utf8 = isUtf8(text);
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    // U+FFFE and U+FFFF are UTF-8 but no XML character.
    const std::string_view three = text.substr(i, 3);
    if (utf8 && (three == "\xEF\xBF\xBE" || three == "\xEF\xBF\xBF")) {
      out += '?';
      i += 2;
    } else if (c >= 0x80 && !utf8) {
      out += '?';
    } else if (c < 0x20) {
      out += ' ';
    } else if (c == '&') {
      out += "&amp;";
    } else if (c == '<') {
      out += "&lt;";
    } else if (c == '>') {
      out += "&gt;";
    } else if (c == '"') {
      out += "&quot;";
    } else if (c == '\'') {
      out += "&apos;";
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

std::string midnamDocument(const Preset& preset, const std::vector<std::string>& names,
                           std::string_view presetName) {
  const std::map<int, ChannelNames> channels = namesByChannel(preset, names);
  const std::string model =
      presetName.empty() ? kMidnamModel : fmt::format("{} ({})", kMidnamModel, presetName);
  std::string doc =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<!DOCTYPE MIDINameDocument PUBLIC \"-//MIDI Manufacturers Association//DTD "
      "MIDINameDocument 1.0//EN\" \"http://www.midi.org/dtds/MIDINameDocument10.dtd\">\n"
      "<MIDINameDocument>\n";
  // Ardour reads no document without an author.
  doc += fmt::format(
      "  <Author>padkbd</Author>\n  <MasterDeviceNames>\n    <Manufacturer>{}</Manufacturer>\n"
      "    <Model>{}</Model>\n    <CustomDeviceMode Name=\"Default\">\n"
      "      <ChannelNameSetAssignments>\n",
      kMidnamManufacturer, xmlEscaped(model));
  // Every channel has its set; those nothing sends on share one.
  const auto setName = [&](int channel) {
    return channels.contains(channel) ? fmt::format("Channel {}", channel + 1)
                                      : std::string("Other Channels");
  };
  for (int channel = 0; channel < kChannels; ++channel) {
    doc += fmt::format("        <ChannelNameSetAssign Channel=\"{}\" NameSet=\"{}\"/>\n",
                       channel + 1, setName(channel));
  }
  doc += "      </ChannelNameSetAssignments>\n    </CustomDeviceMode>\n";
  const auto available = [](int channel) {
    return fmt::format("        <AvailableChannel Channel=\"{}\" Available=\"true\"/>\n",
                       channel + 1);
  };
  for (const auto& [channel, lists] : channels) {
    doc += fmt::format("    <ChannelNameSet Name=\"{}\">\n      <AvailableForChannels>\n{}",
                       setName(channel), available(channel));
    doc += "      </AvailableForChannels>\n";
    if (!lists.notes.empty()) {
      doc += fmt::format("      <UsesNoteNameList Name=\"{} Notes\"/>\n", setName(channel));
    }
    if (!lists.controls.empty()) {
      doc += fmt::format("      <UsesControlNameList Name=\"{} Controls\"/>\n", setName(channel));
    }
    doc += "    </ChannelNameSet>\n";
  }
  if (channels.size() < kChannels) {
    doc += "    <ChannelNameSet Name=\"Other Channels\">\n      <AvailableForChannels>\n";
    for (int channel = 0; channel < kChannels; ++channel) {
      if (!channels.contains(channel)) doc += available(channel);
    }
    doc += "      </AvailableForChannels>\n    </ChannelNameSet>\n";
  }
  for (const auto& [channel, lists] : channels) {
    if (lists.notes.empty()) continue;
    doc += fmt::format("    <NoteNameList Name=\"{} Notes\">\n", setName(channel));
    for (const auto& [note, name] : lists.notes) {
      doc += fmt::format("      <Note Number=\"{}\" Name=\"{}\"/>\n", note, xmlEscaped(name));
    }
    doc += "    </NoteNameList>\n";
  }
  for (const auto& [channel, lists] : channels) {
    if (lists.controls.empty()) continue;
    doc += fmt::format("    <ControlNameList Name=\"{} Controls\">\n", setName(channel));
    for (const auto& [key, name] : lists.controls) {
      doc += fmt::format("      <Control Type=\"{}\" Number=\"{}\" Name=\"{}\"/>\n",
                         typeWord(key.first), key.second, xmlEscaped(name));
    }
    doc += "    </ControlNameList>\n";
  }
  doc += "  </MasterDeviceNames>\n</MIDINameDocument>\n";
  return doc;
}

}  // namespace padkbd
