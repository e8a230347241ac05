// The keyboard's workflow as both programs use it: the way chosen from their
// common options, each exchange against a simulated keyboard that behaves
// like hardware, what the history keeps of it, and the advice each failure
// gets.
#include <gtest/gtest.h>

#include "keyboard/Options.h"
#include "keyboard/Service.h"
#include "sim/SimulatedController.h"
#include "tests/storage/StorageFixtures.h"

namespace padkbd {
namespace {

namespace fs = std::filesystem;
using Faults = SimulatedController::Faults;

// The words of a command line, as either program takes them.
Result<KeyboardChoice> chosen(std::vector<std::string> words) {
  KeyboardArgs args;
  words.insert(words.begin(), "padkbd");
  const Result<std::vector<std::string>> taken = takeSimulateState(words, args.stateFile);
  if (!taken) return taken.outcome();
  for (std::size_t i = 1; i < taken->size(); ++i) {
    const std::string& word = (*taken)[i];
    const std::string value = i + 1 < taken->size() ? (*taken)[i + 1] : "";
    if (word == "--simulate") args.simulate = true;
    if (word == "--manufacturer") args.manufacturer = value;
    if (word == "--port") args.port = value;
    if (word == "--midi-api") args.midiApi = value;
  }
  return keyboardChoice(args);
}

TEST(KeyboardOptions, TheSameWordsChooseTheSameWayAndRefuseTheSameValues) {
  const KeyboardId builtIn = builtInKeyboard();
  const KeyboardId onPort{builtIn.usb, builtIn.manufacturer, "Pads MIDI"};
  struct Case {
    std::vector<std::string> words;
    KeyboardId keyboard;
    Way way;  // raw USB on its own way only
    std::string key;
  };
  // (A state file's key: the tool's "slots --json", CliTest.)
  const Case cases[] = {
      {{}, builtIn, Way::Usb, "usb 1209:0001"},
      {{"--port", "Pads"}, onPort, Way::Port, "port Pads MIDI"},
      {{"--simulate"}, builtIn, Way::Simulated, "simulated"},
  };
  for (const Case& c : cases) {
    const Result<KeyboardChoice> choice = chosen(c.words);
    ASSERT_TRUE(choice) << choice.message();
    Reach reach(choice->reach, c.keyboard);
    EXPECT_EQ(reach.way(), c.way) << c.key;
    EXPECT_EQ(reach.rawUsb(), c.way == Way::Usb) << c.key;
    EXPECT_EQ(reach.simulated() != nullptr, c.way == Way::Simulated) << c.key;
    EXPECT_EQ(reach.historyKey(), c.key);
  }
  // (The ids given reaching the settings: the tool's "use" and "info --device", CliTest, and its
  // "--port", MidiPortTest; their forms: Settings.IdsAreParsedStrictly.)
  EXPECT_EQ(chosen({"--midi-api", "alsa"})->reach.midiApi, MidiApi::Alsa);
  // What a value must be, as both programs say it (--device, --midi-api and --simulate=: CliTest's
  // usage errors and the editor's program_test.sh); "--" ends the options.
  const Result<KeyboardChoice> refused = chosen({"--manufacturer", "80206b"});
  EXPECT_EQ(refused.message(),
            "--manufacturer takes three hex bytes 00-7f (like 00206b), not \"80206b\"");
  EXPECT_EQ(refused.code(), Code::Usage);
  EXPECT_FALSE(chosen({"--", "--simulate=x"})->reach.simulate);

  // The way follows the keyboard chosen later (the window's Keyboard dialog).
  Reach reach({}, builtIn);
  for (const KeyboardId& keyboard : {onPort, builtIn, onPort}) {
    reach.useKeyboard(keyboard);
    EXPECT_EQ(reach.way(), keyboard.port.empty() ? Way::Usb : Way::Port);
    EXPECT_FALSE(reach.isOpen());
  }
}

class KeyboardServiceTest : public ::testing::Test {
 protected:
  KeyboardServiceTest() {
    sim_.faults() = Faults::hardwareLike();
    ReachOptions standIn;
    standIn.standIn = &sim_;
    reach_ = std::make_unique<Reach>(standIn, builtInKeyboard());
    service_ = std::make_unique<KeyboardService>(*reach_, *reach_, fs::path(), &history_);
    service_->setHistoryNotes([this](const HistoryNote& note) { notes_.push_back(note); });
  }
  Preset toSlot(int slot) {
    Preset preset = test::samplePreset();
    preset.global->mem = slot - 1;
    return preset;
  }

  test::TempDir dir_;
  SimulatedController sim_;
  History history_{dir_ / "history.sqlite"};
  std::unique_ptr<Reach> reach_;
  std::unique_ptr<KeyboardService> service_;
  std::vector<HistoryNote> notes_;
};

// Each exchange is recorded once, with what reached the keyboard; a send
// that wrote nothing leaves no entry and no count from the send before.
TEST_F(KeyboardServiceTest, EachExchangeIsRecordedOnceWithWhatReachedTheSlot) {
  const Result<KeyboardRead> read = service_->read();
  ASSERT_TRUE(read) << read.message();
  ASSERT_TRUE(service_->send(toSlot(3), "live.padkbd"));
  sim_.resetCounters();
  sim_.changeFaults([](Faults& f) { f.writeFailureAfter = 300; });
  const Outcome stopped = service_->send(toSlot(6), "live.padkbd");
  EXPECT_EQ(stopped.code(), Code::LinkFailed);
  const int written = service_->written();  // some, not all: the entry below is a stopped one
  sim_.changeFaults([](Faults& f) {
    f.writeFailureAfter.reset();
    f.absent = true;
  });
  EXPECT_EQ(service_->send(toSlot(7), "x").code(), Code::LinkNotFound);
  EXPECT_EQ(service_->written(), 0);
  EXPECT_EQ(service_->sendGains(std::vector<std::int32_t>(8, 64)).code(), Code::LinkNotFound);

  const std::vector<HistoryEntry> kept = *history_.list();
  ASSERT_EQ(kept.size(), 3u);
  EXPECT_EQ(std::make_tuple(kept[2].kind, kept[2].keyboard, kept[2].written),
            std::make_tuple(EntryKind::Read, std::string("usb 1209:0001"), kept[2].total));
  EXPECT_EQ(std::make_tuple(kept[1].kind, kept[1].slot, kept[1].source),
            std::make_tuple(EntryKind::Sent, 3, std::string("live.padkbd")));
  EXPECT_EQ(std::make_tuple(kept[0].kind, kept[0].slot, kept[0].written),
            std::make_tuple(EntryKind::Stopped, 6, written));
  EXPECT_TRUE(notes_.empty());

  // A history that cannot keep an entry says so once; the exchange goes on.
  sim_.changeFaults([](Faults& f) { f.absent = false; });
  test::writeAll(dir_ / "in the way", "");
  History blocked(dir_ / "in the way" / "history.sqlite");
  KeyboardService unkept(*reach_, *reach_, fs::path(), &blocked);
  std::vector<HistoryNote> told;
  unkept.setHistoryNotes([&told](const HistoryNote& note) { told.push_back(note); });
  EXPECT_TRUE(unkept.send(toSlot(2), "a"));
  ASSERT_EQ(told.size(), 1u);
  EXPECT_EQ(told[0].kind, EntryKind::Sent);
  EXPECT_EQ(told[0].notKept.message().rfind("the history could not be used: its folder ", 0), 0u)
      << told[0].notKept.message();
}

// What the user can do follows the failure's code, never its words.
TEST_F(KeyboardServiceTest, EachFailureGetsTheAdviceOfItsCode) {
  // The fault, the code it gives, the advice, and whether the advice names the keyboard's ids.
  const std::tuple<void (*)(Faults&), Code, Advice::Kind, bool> cases[] = {
      {[](Faults& f) { f.absent = true; }, Code::LinkNotFound, Advice::Kind::PlugIn, true},
      {[](Faults& f) { f.refuseAccess = true; }, Code::LinkDenied, Advice::Kind::AllowAccess, true},
      {[](Faults& f) { f.busy = true; }, Code::LinkBusy, Advice::Kind::CloseOther, false},
      {[](Faults& f) { f.handshakeFailures = 5; }, Code::KeyboardSilent, Advice::Kind::None, false},
  };
  for (const auto& [arm, code, kind, named] : cases) {
    sim_.replug();
    sim_.faults() = Faults::hardwareLike();
    sim_.resetCounters();
    arm(sim_.faults());
    const Result<KeyboardRead> read = service_->read();
    EXPECT_EQ(read.code(), code) << read.message();
    const Advice advice = service_->advice(read.outcome());
    EXPECT_EQ(advice.kind, kind) << read.message();
    EXPECT_EQ(advice.absence.keyboard.usb, named ? builtInKeyboard().usb : UsbIds{});
  }
  EXPECT_TRUE(history_.list()->empty());
  // Through a MIDI port: the ports there are, or why they cannot be listed.
  KeyboardId onPort = builtInKeyboard();
  onPort.port = "no such port";
  Reach port({}, onPort);
  KeyboardService overPort(port, port, fs::path(), nullptr);
  // (Its words: MidiPort.ASilentKeyboardTimesOutAndAPortNobodyHasIsNamed.)
  const Result<std::string> none = overPort.firmware();
  const Advice advice = overPort.advice(none.outcome());
  EXPECT_EQ(std::make_tuple(advice.kind, advice.absence.way, advice.absence.keyboard.port),
            std::make_tuple(Advice::Kind::PlugIn, Way::Port, std::string("no such port")));
}

// Two programs on one state file take turns: what one sent, the other reads.
TEST(KeyboardStateFile, TwoProgramsShareASimulatedKeyboardInTurns) {
  test::TempDir dir;
  ReachOptions options;
  options.simulate = true;
  options.stateFile = dir / "state";
  Reach window(options, builtInKeyboard()), tool(options, builtInKeyboard());
  KeyboardService sends(window, window, fs::path(), nullptr);
  KeyboardService reads(tool, tool, fs::path(), nullptr);
  Preset preset = test::samplePreset();
  preset.global->mem = 0;  // the slot a read reads
  ASSERT_TRUE(sends.send(copyOf(preset), "live.padkbd"));
  const Result<KeyboardRead> read = reads.read();
  ASSERT_TRUE(read) << read.message();
  EXPECT_TRUE(test::sameValues(read->preset, preset));
  // (A damaged state file refused with its name and left alone: CliTest's
  // DeviceCommandsReportAFailingKeyboardWithItsReason.)
}

}  // namespace
}  // namespace padkbd
