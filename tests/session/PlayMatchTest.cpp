// Which control played a message: every mode of both kinds of control, own
// and global channel, octave transposition, several controls and none, and
// the line and JSON the user reads.
#include <gtest/gtest.h>

#include <memory>

#include "session/PlayMatch.h"

namespace padkbd {
namespace {

std::vector<std::string> names() {
  std::vector<std::string> n;
  for (int i = 0; i < 8; ++i) n.push_back("Knob " + std::to_string(i + 1));
  for (int i = 0; i < 48; ++i) n.push_back("Pad " + std::to_string(i + 1));
  for (int i = 0; i < 8; ++i) n.push_back("Button " + std::to_string(i + 1));
  return n;
}

// Every control a CC on channel 16 with a number of its own (64 + index),
// so that only the controls a case sets up match its messages.
struct Fixture {
  Preset preset{{}, std::make_shared<PadValue>()};
  Fixture() {
    for (int i = 0; i < kControlCount; ++i)
      preset.buttons.push_back(std::make_shared<ButtonValue>(
          ButtonValue{.buttonID = i, .mode = 1, .channel = 15, .MIDInumb = 64 + i, .max = 127}));
  }
  ButtonValue& at(int i) { return *preset.buttons[static_cast<std::size_t>(i)]; }
  void set(int i, int mode, int channel, int number, int option = 0) {
    std::tie(at(i).mode, at(i).channel, at(i).MIDInumb, at(i).modeOption) =
        std::tuple(mode, channel, number, option);
  }
};

ChannelMessage msg(std::uint8_t status, std::uint8_t a, std::uint8_t b = 0) {
  return {status, a, b, 0};
}

std::string line(PlayMatcher& m, const ChannelMessage& message) {
  return english(heardText(m.match(message), names()));
}

TEST(PlayMatch, NotesOfPadsAndButtonsOnTheirOwnOrTheGlobalChannelTransposed) {
  Fixture f;
  f.set(13, 0, 9, 40);      // Pad 6: Note, channel 10, E1
  f.set(14, 3, 16, 41, 1);  // Pad 7: Note Switch (gate), Global
  f.set(56, 0, 0, 40);      // Button 1: Note, channel 1
  f.preset.global->globalMIDIChannel = 3;
  PlayMatcher m(f.preset);

  const Heard on = m.match(msg(0x99, 40, 100));
  EXPECT_EQ(on.touch, Touch::Press);
  EXPECT_EQ(english(heardText(on, names())), "Pad 6 · note on E1 · velocity 100 · channel 10");
  const Heard off = m.match(msg(0x89, 40, 64));
  EXPECT_EQ(off.touch, Touch::Release);
  EXPECT_EQ(english(heardText(off, names())), "Pad 6 · note off E1 · channel 10");
  // A note on of velocity 0 is a note off.
  EXPECT_EQ(m.match(msg(0x99, 40, 0)).touch, Touch::Release);
  EXPECT_EQ(line(m, msg(0xA9, 40, 48)), "Pad 6 · pressure E1 · 48 · channel 10");
  // Only pads feel pressure.
  EXPECT_EQ(m.match(msg(0xA0, 40, 48)).controls, std::vector<std::int32_t>{});
  EXPECT_EQ(line(m, msg(0x90, 40, 1)), "Button 1 · note on E1 · velocity 1 · channel 1");

  // "Global" follows the global channel (index 3: channel 4) at both ends.
  EXPECT_EQ(line(m, msg(0x93, 41, 127)), "Pad 7 · note on F1 · velocity 127 · channel 4");
  EXPECT_TRUE(m.match(msg(0x92, 41, 127)).controls.empty());
  const auto global = [&](std::int32_t PadValue::*field, int value) {
    f.preset.global.get()->*field = value;
    m.setPreset(f.preset);
  };
  for (int channel : {15, 0}) {
    global(&PadValue::globalMIDIChannel, channel);
    EXPECT_EQ(m.match(msg(0x90 | channel, 41, 127)).controls, std::vector<std::int32_t>{14});
  }

  // Octave steps: index 4 is +4 (48 semitones up), 8 is -4. (Every index's semitones:
  // Playing.EveryStepComesBackFromItsValueInEachEncoding.)
  global(&PadValue::globalOctaveTransposition, 4);
  EXPECT_EQ(line(m, msg(0x99, 88, 5)), "Pad 6 · note on E5 · velocity 5 · channel 10");
  EXPECT_TRUE(m.match(msg(0x99, 40, 5)).controls.empty());
  // Moved below note 0 it plays nothing: no note matches it.
  global(&PadValue::globalOctaveTransposition, 8);
  for (int note : {0, 40 - 48 + 128})
    EXPECT_TRUE(m.match(msg(0x99, static_cast<std::uint8_t>(note & 0x7F), 5)).controls.empty());
}

TEST(PlayMatch, ControllersAbsoluteRelativeAndSwitchedSayWhatTheTouchDid) {
  Fixture f;
  f.set(1, 1, 0, 7);      // Knob 2: CC absolute
  f.set(2, 1, 0, 10, 1);  // Knob 3: relative #1 (two's complement)
  f.set(3, 1, 0, 11, 2);  // Knob 4: relative #2 (binary offset)
  f.set(4, 1, 0, 12, 3);  // Knob 5: relative #3 (sign and magnitude)
  f.set(8, 2, 2, 20, 0);  // Pad 1: CC Switch (toggle), channel 3
  f.at(8).min = 5;
  PlayMatcher m(f.preset);

  const Heard knob = m.match(msg(0xB0, 7, 100));
  EXPECT_EQ(knob.touch, Touch::Move);
  EXPECT_EQ(english(heardText(knob, names())), "Knob 2 · controller 7 · value 100 · channel 1");
  EXPECT_EQ(line(m, msg(0xB0, 10, 127)), "Knob 3 · controller 10 · step -1 · channel 1");
  EXPECT_EQ(line(m, msg(0xB0, 10, 1)), "Knob 3 · controller 10 · step +1 · channel 1");
  EXPECT_EQ(line(m, msg(0xB0, 11, 63)), "Knob 4 · controller 11 · step -1 · channel 1");
  EXPECT_EQ(line(m, msg(0xB0, 11, 70)), "Knob 4 · controller 11 · step +6 · channel 1");
  EXPECT_EQ(line(m, msg(0xB0, 12, 65)), "Knob 5 · controller 12 · step -1 · channel 1");
  EXPECT_EQ(line(m, msg(0xB0, 12, 3)), "Knob 5 · controller 12 · step +3 · channel 1");

  // A pad (as a button) is pressed above its minimum and let go at it.
  EXPECT_EQ(m.match(msg(0xB2, 20, 6)).touch, Touch::Press);
  EXPECT_EQ(m.match(msg(0xB2, 20, 5)).touch, Touch::Release);
  // The same number on another channel is another controller.
  EXPECT_TRUE(m.match(msg(0xB1, 20, 6)).controls.empty());

  // An absolute and a relative control on one controller: a value, no step.
  f.set(5, 1, 0, 10);
  m.setPreset(f.preset);
  EXPECT_EQ(line(m, msg(0xB0, 10, 1)), "Knob 3, Knob 6 · controller 10 · value 1 · channel 1");
}

TEST(PlayMatch, NrpnAndRpnSequencesNameTheirControlAndTheDataEntryItsParameter) {
  Fixture f;
  f.set(2, 2, 0, 14, 0);  // Knob 3: NRPN 14
  f.set(3, 2, 0, 15, 0);  // Knob 4: NRPN 15
  f.set(4, 2, 0, 14, 1);  // Knob 5: RPN 14
  f.set(5, 1, 0, 6);      // Knob 6: CC 6, the data entry's own number
  PlayMatcher m(f.preset);

  // Data entry before any selection: the CC 6 control alone.
  EXPECT_EQ(line(m, msg(0xB0, 6, 9)), "Knob 6 · controller 6 · value 9 · channel 1");
  // The MSB could start either NRPN; the LSB picks one.
  EXPECT_EQ(m.match(msg(0xB0, 99, 0)).controls, (std::vector<std::int32_t>{2, 3}));
  EXPECT_EQ(m.match(msg(0xB0, 98, 14)).controls, std::vector<std::int32_t>{2});
  EXPECT_EQ(line(m, msg(0xB0, 6, 100)), "Knob 3, Knob 6 · NRPN 14 · value 100 · channel 1");
  // The selection stays: the next value goes to the same parameter, and
  // another controller is no part of it.
  EXPECT_EQ(m.match(msg(0xB0, 6, 101)).controls, (std::vector<std::int32_t>{2, 5}));
  EXPECT_TRUE(m.match(msg(0xB0, 71, 5)).controls.empty());
  // Another channel has a selection of its own (none).
  EXPECT_EQ(m.match(msg(0xB1, 6, 1)).controls, std::vector<std::int32_t>{});

  // An RPN sequence: the RPN control, never the NRPN ones.
  EXPECT_EQ(m.match(msg(0xB0, 101, 0)).controls, std::vector<std::int32_t>{4});
  EXPECT_EQ(m.match(msg(0xB0, 100, 14)).controls, std::vector<std::int32_t>{4});
  EXPECT_EQ(line(m, msg(0xB0, 6, 0)), "Knob 5, Knob 6 · RPN 14 · value 0 · channel 1");
  // RPN 127/127 selects nothing: data entry is the CC 6 control's again.
  m.match(msg(0xB0, 101, 127));
  m.match(msg(0xB0, 100, 127));
  EXPECT_EQ(m.match(msg(0xB0, 6, 3)).controls, std::vector<std::int32_t>{5});
  // An MSB other than 0 selects no parameter these controls have.
  m.match(msg(0xB0, 99, 1));
  EXPECT_TRUE(m.match(msg(0xB0, 98, 14)).controls.empty());
}

TEST(PlayMatch, SeveralControlsAreAllNamedAndNoneIsSaidSo) {
  Fixture f;
  f.set(8, 0, 0, 36);
  f.set(55, 0, 0, 36);
  PlayMatcher m(f.preset);
  EXPECT_EQ(line(m, msg(0x90, 36, 90)), "Pad 1, Pad 48 · note on C1 · velocity 90 · channel 1");
  const std::string none = " · not from these settings: the keyboard may hold others";
  EXPECT_EQ(line(m, msg(0x90, 37, 90)), "note on C#1 · velocity 90 · channel 1" + none);
  EXPECT_EQ(line(m, msg(0xC4, 5)), "program change 5 · channel 5" + none);
  EXPECT_EQ(line(m, msg(0xDF, 64)), "channel pressure 64 · channel 16" + none);
  EXPECT_EQ(line(m, msg(0xE0, 127, 127)), "pitch bend +8191 · channel 1" + none);
  EXPECT_EQ(line(m, msg(0xE0, 0, 0)), "pitch bend -8192 · channel 1" + none);
  // Without a preset nothing matches; a control without a name is numbered.
  PlayMatcher empty;
  EXPECT_TRUE(empty.match(msg(0x90, 36, 90)).controls.empty());
  Heard heard = m.match(msg(0x90, 36, 90));
  EXPECT_EQ(english(heardText(heard, {})),
            "control 8, control 55 · note on C1 · velocity 90 · channel 1");
}

TEST(PlayMatch, JsonHasEveryFieldOfTheMessage) {
  Fixture f;
  f.set(13, 0, 9, 40);
  f.set(2, 1, 0, 10, 1);
  PlayMatcher m(f.preset);
  EXPECT_EQ(heardJson(m.match(msg(0x99, 40, 100)), names()),
            R"({"controls":[{"index":13,"name":"Pad 6"}],"message":"note on","channel":10,)"
            R"("note":40,"noteName":"E1","velocity":100,"bytes":"99 28 64"})");
  EXPECT_EQ(heardJson(m.match(msg(0xB0, 10, 126)), names()),
            R"({"controls":[{"index":2,"name":"Knob 3"}],"message":"controller","channel":1,)"
            R"("controller":10,"value":126,"step":-2,"bytes":"b0 0a 7e"})");
  EXPECT_EQ(heardJson(m.match(msg(0xC0, 5)), names()),
            R"({"controls":[],"unmatched":"not from these settings: the keyboard may hold )"
            R"(others","message":"program change","channel":1,"program":5,"bytes":"c0 05"})");
  // Every other kind of message, each with the fields of its own. (Other bends, both ends:
  // SeveralControlsAreAllNamedAndNoneIsSaidSo.)
  const std::pair<ChannelMessage, const char*> kinds[] = {
      {msg(0x82, 40, 64), R"("note off","channel":3,"note":40,"noteName":"E1","velocity":64,)"},
      {msg(0x92, 40, 0), R"("note off","channel":3,"note":40,"noteName":"E1","velocity":0,)"},
      {msg(0xA2, 40, 7), R"("pressure","channel":3,"note":40,"noteName":"E1","pressure":7,)"},
      {msg(0xD2, 9), R"("channel pressure","channel":3,"pressure":9,)"},
      {msg(0xEF, 0x7F, 0x7F), R"("pitch bend","channel":16,"bend":8191,)"}};
  for (const auto& [message, fields] : kinds) {
    const std::string json = heardJson(m.match(message), names());
    const std::size_t at = json.find(R"("message":)") + 10;
    EXPECT_EQ(json.substr(at, json.find(R"("bytes")") - at), fields) << json;
  }
}

}  // namespace
}  // namespace padkbd
