#include "storage/Midnam.h"

#include <gtest/gtest.h>

#include <regex>
#include <sstream>

namespace padkbd {
namespace {

// Every control sends nothing nameable (controller -1) but those given.
Preset presetOf(std::initializer_list<ButtonValue> controls, PadValue global) {
  Preset preset{{}, std::make_shared<PadValue>(global)};
  for (int i = 0; i < kControlCount; ++i) {
    preset.buttons.push_back(std::make_shared<ButtonValue>(ButtonValue{i, 0, 1, 0, -1}));
  }
  for (const ButtonValue& control : controls) *preset.buttons[control.buttonID] = control;
  return preset;
}

// The document's lines that name something, and how often `what` is in it.
std::string keyLines(const std::string& document) {
  std::string lines, line;
  for (std::istringstream in(document); std::getline(in, line);) {
    if (std::regex_search(
            line, std::regex("DOCTYPE|Model|Uses|NameSet=\"Channel|List Name|<Note |<Control "))) {
      lines += line.substr(line.find('<')) + "\n";
    }
  }
  return lines;
}
std::size_t count(const std::string& document, const std::string& what) {
  return (document.size() - std::regex_replace(document, std::regex(what), "").size()) /
         what.size();
}

TEST(Midnam, NamesEachNoteAndControllerChannelByChannel) {
  // {id, value, mode, channel, number, min, max, option}; notes move up an
  // octave, "Global" (16) sends on channel 10. Knob 1 NRPN 5; Knob 2 CC 128
  // and Pad 2 note 132, left out; Knob 3 CC 20; Pad 1 CC Switch 64 on the
  // global channel; Pad 6 and Pad 14 note 52; Button 1 RPN 0; Button 2 CC 20.
  // clang-format off
  const Preset preset = presetOf({{0, 0, 2, 0, 5, 0, 0, 0}, {1, 0, 1, 0, 128}, {2, 0, 1, 0, 20},
                                  {8, 0, 2, 16, 64}, {9, 0, 0, 9, 120}, {13, 0, 0, 9, 40},
                                  {21, 0, 3, 9, 40}, {56, 0, 2, 0, 0, 0, 0, 1}, {57, 0, 1, 0, 20}},
                                 PadValue{0, 1, 9, 0, 0, 0, 0, ""});
  // clang-format on
  // Names by index; the ones not given are the controls' own.
  const std::string document =
      midnamDocument(preset, {"", "", "Cut & <Res> \"Q\" 'x'"}, "live & loud");
  EXPECT_EQ(
      keyLines(document),
      R"(<!DOCTYPE MIDINameDocument PUBLIC "-//MIDI Manufacturers Association//DTD MIDINameDocument 1.0//EN" "http://www.midi.org/dtds/MIDINameDocument10.dtd">
<Model>Pad Keyboard (live &amp; loud)</Model>
<ChannelNameSetAssign Channel="1" NameSet="Channel 1"/>
<ChannelNameSetAssign Channel="10" NameSet="Channel 10"/>
<UsesControlNameList Name="Channel 1 Controls"/>
<UsesNoteNameList Name="Channel 10 Notes"/>
<UsesControlNameList Name="Channel 10 Controls"/>
<NoteNameList Name="Channel 10 Notes">
<Note Number="52" Name="Pad 6 / Pad 14"/>
<ControlNameList Name="Channel 1 Controls">
<Control Type="7bit" Number="20" Name="Cut &amp; &lt;Res&gt; &quot;Q&quot; &apos;x&apos; / Button 2"/>
<Control Type="NRPN" Number="5" Name="Knob 1"/>
<Control Type="RPN" Number="0" Name="Button 1"/>
<ControlNameList Name="Channel 10 Controls">
<Control Type="7bit" Number="64" Name="Pad 1"/>
)");
  // The other 14 channels share one set; every channel is available in one.
  EXPECT_EQ(count(document, "NameSet=\"Other Channels\""), 14u);
  EXPECT_EQ(count(document, "Available=\"true\""), 16u);
  // Nothing nameable at all (a missing record or global block gives nothing):
  // no list, and the model's name alone.
  Preset holes = presetOf({}, PadValue{});
  holes.buttons[0] = nullptr;
  const std::string none = midnamDocument(holes, {}, "");
  EXPECT_EQ(midnamDocument(Preset{holes.buttons, nullptr}, {}, ""), none);
  EXPECT_EQ(keyLines(none).substr(keyLines(none).find('\n') + 1), "<Model>Pad Keyboard</Model>\n");
  // A note on every channel: no set for the rest, and no controller list.
  Preset full = presetOf({}, PadValue{});
  for (int i = 0; i < 16; ++i) *full.buttons[i] = ButtonValue{i, 0, 0, i, i};
  EXPECT_EQ(keyLines(midnamDocument(full, {}, "")).find("Control"), std::string::npos);
  EXPECT_EQ(count(midnamDocument(full, {}, ""), "Other Channels"), 0u);
}

TEST(Midnam, TextXmlCannotCarryIsReplaced) {
  const std::pair<std::string, std::string> cases[] = {
      {"旋钮 3", "旋钮 3"},                    // UTF-8 as it is
      {"a\037b\tc\n", "a b c "},               // controls
      {"x\xEF\xBF\xBFy\xEF\xBF\xBE", "x?y?"},  // no XML characters
      {"\x80\xC3\xA9<", "???&lt;"},            // not UTF-8: every byte past ASCII
  };
  for (const auto& [text, escaped] : cases) EXPECT_EQ(xmlEscaped(text), escaped) << text;
}

}  // namespace
}  // namespace padkbd
