#include "storage/Midnam.h"

#include <fmt/format.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/support/TempDir.h"

namespace padkbd {
namespace {

// Every control sends nothing nameable (number -1) but those set.
Preset presetOf(std::initializer_list<ButtonValue> controls, PadValue global) {
  Preset preset;
  for (int i = 0; i < kControlCount; ++i) {
    preset.buttons.push_back(std::make_shared<ButtonValue>(ButtonValue{i, 0, 0, 0, -1}));
  }
  for (const ButtonValue& control : controls) *preset.buttons[control.buttonID] = control;
  preset.global = std::make_shared<PadValue>(global);
  return preset;
}

bool wellFormed(const std::string& document) {
  const test::TempDir dir;
  test::writeAll(dir / "names.midnam", document);
  const std::string command = "xmllint --nonet --noout " + (dir / "names.midnam").string();
  return std::system(command.c_str()) == 0;
}

// The lines of channels `first` to `last` (1-16) that nothing sends on.
std::string others(int first, int last, const char* line) {
  std::string lines;
  for (int channel = first; channel <= last; ++channel)
    lines += fmt::format(fmt::runtime(line), channel);
  return lines;
}

TEST(Midnam, NamesEachNoteAndControllerChannelByChannel) {
  // {id, value, mode, channel, number, min, max, option}; notes move up an
  // octave, "Global" (16) sends on channel 10.
  const Preset preset = presetOf({{0, 0, 2, 0, 5, 0, 0, 0},  // Knob 1: NRPN 5
                                  {1, 0, 1, 0, 128},         // Knob 2: CC 128, left out
                                  {2, 0, 1, 0, 20},          // Knob 3: CC 20
                                  {8, 0, 2, 16, 64},  // Pad 1: CC Switch 64 on the global channel
                                  {9, 0, 0, 9, 120},  // Pad 2: note 132, left out
                                  {13, 0, 0, 9, 40},  // Pad 6: note 52
                                  {21, 0, 3, 9, 40},  // Pad 14: the same note
                                  {56, 0, 2, 0, 0, 0, 0, 1},  // Button 1: RPN 0
                                  {57, 0, 1, 0, 20}},         // Button 2: CC 20 as Knob 3
                                 PadValue{0, 1, 9, 0, 0, 0, 0, ""});
  const std::string assign =
      "        <ChannelNameSetAssign Channel=\"{}\" NameSet=\"Other Channels\"/>\n";
  const std::string available = "        <AvailableChannel Channel=\"{}\" Available=\"true\"/>\n";
  const std::string expected =
      R"(<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE MIDINameDocument PUBLIC "-//MIDI Manufacturers Association//DTD MIDINameDocument 1.0//EN" "http://www.midi.org/dtds/MIDINameDocument10.dtd">
<MIDINameDocument>
  <Author>padkbd</Author>
  <MasterDeviceNames>
    <Manufacturer>padkbd</Manufacturer>
    <Model>Pad Keyboard (live &amp; loud)</Model>
    <CustomDeviceMode Name="Default">
      <ChannelNameSetAssignments>
        <ChannelNameSetAssign Channel="1" NameSet="Channel 1"/>
)" + others(2, 9, assign.c_str()) +
      "        <ChannelNameSetAssign Channel=\"10\" NameSet=\"Channel 10\"/>\n" +
      others(11, 16, assign.c_str()) + R"(      </ChannelNameSetAssignments>
    </CustomDeviceMode>
    <ChannelNameSet Name="Channel 1">
      <AvailableForChannels>
        <AvailableChannel Channel="1" Available="true"/>
      </AvailableForChannels>
      <UsesControlNameList Name="Channel 1 Controls"/>
    </ChannelNameSet>
    <ChannelNameSet Name="Channel 10">
      <AvailableForChannels>
        <AvailableChannel Channel="10" Available="true"/>
      </AvailableForChannels>
      <UsesNoteNameList Name="Channel 10 Notes"/>
      <UsesControlNameList Name="Channel 10 Controls"/>
    </ChannelNameSet>
    <ChannelNameSet Name="Other Channels">
      <AvailableForChannels>
)" + others(2, 9, available.c_str()) +
      others(11, 16, available.c_str()) + R"(      </AvailableForChannels>
    </ChannelNameSet>
    <NoteNameList Name="Channel 10 Notes">
      <Note Number="52" Name="Pad 6 / Pad 14"/>
    </NoteNameList>
    <ControlNameList Name="Channel 1 Controls">
      <Control Type="7bit" Number="20" Name="Cut &amp; &lt;Res&gt; &quot;Q&quot; &apos;x&apos; / Button 2"/>
      <Control Type="NRPN" Number="5" Name="Knob 1"/>
      <Control Type="RPN" Number="0" Name="Button 1"/>
    </ControlNameList>
    <ControlNameList Name="Channel 10 Controls">
      <Control Type="7bit" Number="64" Name="Pad 1"/>
    </ControlNameList>
  </MasterDeviceNames>
</MIDINameDocument>
)";
  // Names by index; the ones not given are the controls' own.
  const std::string document =
      midnamDocument(preset, {"", "", "Cut & <Res> \"Q\" 'x'"}, "live & loud");
  EXPECT_EQ(document, expected);
  EXPECT_TRUE(wellFormed(document));
}

TEST(Midnam, TextXmlCannotCarryIsReplacedAndTheDocumentStaysWellFormed) {
  const std::pair<std::string, std::string> cases[] = {
      {"旋钮 3", "旋钮 3"},  // UTF-8 as it is
      {"a\x01"
       "b\tc\n",
       "a b c "},                              // controls
      {"x\xEF\xBF\xBFy\xEF\xBF\xBE", "x?y?"},  // no XML characters
      {"\xFF\xC3\xA9<", "???&lt;"},            // not UTF-8: every byte past ASCII
      {"]]>", "]]&gt;"},
  };
  std::vector<std::string> names;
  for (const auto& [text, escaped] : cases) {
    EXPECT_EQ(xmlEscaped(text), escaped) << text;
    names.push_back(text);
  }
  const Preset preset = presetOf(
      {{0, 0, 1, 3, 7}, {1, 0, 1, 3, 8}, {2, 0, 0, 3, 60}, {3, 0, 0, 3, 61}, {4, 0, 0, 3, 62}},
      PadValue{});
  EXPECT_TRUE(wellFormed(midnamDocument(preset, names, "\xFF&\x02")));
  // Nothing nameable at all: every channel in the one set of the rest.
  const std::string none = midnamDocument(presetOf({}, PadValue{}), {}, "");
  EXPECT_NE(none.find("<Model>Pad Keyboard</Model>"), std::string::npos);
  EXPECT_NE(
      none.find(others(1, 16, "        <AvailableChannel Channel=\"{}\" Available=\"true\"/>\n")),
      std::string::npos);
  EXPECT_EQ(none.find("NameList"), std::string::npos);
  EXPECT_TRUE(wellFormed(none));
}

}  // namespace
}  // namespace padkbd
