// Runs the built padkbd program as a user would, in a folder of its own, and looks at its exit
// status, standard output, standard error and the files it leaves.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <map>
#include <nlohmann/json.hpp>
#include <regex>
#include <set>
#include <sstream>

#include "history/SendPreview.h"
#include "model/Fields.h"
#include "model/KeyboardId.h"
#include "padkbd/BuildConfig.h"
#include "sim/SimulatedController.h"
#include "storage/Midnam.h"
#include "tests/storage/StorageFixtures.h"

namespace padkbd {
namespace {

namespace fs = std::filesystem;
using std::string;
using test::readAll;
using test::writeAll;
const string kAny = "[\\s\\S]*";  // for a pattern: anything at all

// A text as a pattern that matches it alone.
string lit(const string& text) {
  return std::regex_replace(text, std::regex(R"([.^$|()\[\]{}*+?\\])"), R"(\$&)");
}

std::vector<string> split(const string& text, char separator) {
  std::vector<string> parts;
  std::istringstream in(text);
  for (string part; std::getline(in, part, separator);) parts.push_back(part);
  return parts;
}

// What a terminal shows of `text`: each line as its last carriage return and line clear left it.
string screen(const string& text) {
  string shown;
  for (string line : split(text, '\n')) {
    line = line.substr(0, line.find_last_not_of('\r') + 1);  // a terminal's own line end
    if (const std::size_t back = line.rfind('\r'); back != string::npos) line.erase(0, back + 1);
    shown += std::regex_replace(line, std::regex("\x1b\\[K"), "") + "\n";
  }
  return shown;
}

struct Result {
  int status = -1;
  string out, err;
  bool operator==(const Result&) const = default;
  friend void PrintTo(const Result& r, std::ostream* os) {
    *os << r.status << "|" << r.out << "|" << r.err;
  }
};

// A command line, the status it ends with, and patterns that its standard
// output and standard error match whole; then its standard input.
struct Case {
  string command;
  int status;
  string out = kAny, err = "", in = "";
};

class Cli : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* folder : {"xdg", "config", "tmp", "io", "history"})
      fs::create_directories(dir_ / folder);
    save("p", test::samplePreset());  // the preset several tests send
  }
  void TearDown() override {
    // The editor's working copy is never touched; no temporary file outlives the tool.
    EXPECT_TRUE(fs::is_empty(dir_ / "xdg"));
    EXPECT_TRUE(fs::is_empty(dir_ / "tmp"));
  }
  fs::path at(const string& name) const { return dir_ / name; }

  // Runs `exe` with the words of `command` and `input` on standard input; with a signal, sends
  // it once standard error shows `seen` (a busy machine may start the program late). The faulty
  // program takes a fault first (see FaultyPadkbd.cpp).
  Result run(const string& command, const string& input = {}, const char* exe = PADKBD_CLI_EXE,
             int signal = 0, const string& seen = "") {
    const string n = std::to_string(runs_++);  // files of its own for each run
    const string in = at("io/in" + n), out = at("io/out" + n), err = at("io/err" + n);
    writeAll(in, input);
    string shell = "cd '" + dir_.path().string() + "'; '" + exe + "' " + command + " <'" + in +
                   "' >'" + out + "' 2>'" + err + "'";
    const string wait = "for i in $(seq 2000); do grep -qF -- '" + seen + "' '" + err +
                        "' && break; sleep 0.01; done";
    if (signal != 0) shell += " & " + wait + "; kill -" + std::to_string(signal) + " $!; wait $!";
    return {WEXITSTATUS(std::system(shell.c_str())), readAll(out), readAll(err)};
  }
  void expect(const std::vector<Case>& cases, const char* exe = PADKBD_CLI_EXE) {
    for (const Case& c : cases) {
      const Result r = run(c.command, c.in, exe);
      EXPECT_EQ(r.status, c.status) << c.command << "\n" << r.err;
      // (A pattern that takes anything is not matched: long texts overflow std::regex.)
      EXPECT_TRUE(c.out == kAny || std::regex_match(r.out, std::regex(c.out))) << c.command << "\n"
                                                                               << r.out;
      EXPECT_TRUE(c.err == kAny || std::regex_match(r.err, std::regex(c.err))) << c.command << "\n"
                                                                               << r.err;
    }
  }

  // Runs the commands of tests/cli/transcripts/NAME.txt in turn ("$ padkbd …", "$ faulty …" for
  // the program that takes a fault first, "$ tty padkbd …" on a terminal, "$ cat FILE" for a file
  // it wrote) and compares what they
  // print, whole, with what the file says: standard output, then standard error ("! " before each
  // line), then a status other than 0 ("[exit N]"). The test's folder reads <dir>, a day and time
  // <when>. With PADKBD_SAVE_SHOWN set the file is written anew from what they printed (read the
  // difference before committing it).
  void transcript(const string& name) {
    const fs::path file = fs::path(PADKBD_TRANSCRIPTS) / (name + ".txt");
    string told;
    for (const string& line : split(readAll(file), '\n')) {
      if (line.starts_with("$ cat ")) told += line + "\n" + readAll(at(line.substr(6)));
      if (!line.starts_with("$ ") || line.starts_with("$ cat ")) continue;
      string command = line.substr(line.starts_with("$ tty ") ? 6 : 2);  // "padkbd …"
      const char* exe = command.starts_with("faulty") ? PADKBD_FAULTY_EXE : PADKBD_CLI_EXE;
      const std::size_t word = command.find(' ');
      command = word == string::npos ? "" : command.substr(word + 1);
      // On a terminal (standard output and error both): what the screen shows at the end.
      const Result r =
          line.starts_with("$ tty ")
              ? run("-qec \"'" + string(exe) + "' " + command + "\" /dev/null", "", "script")
              : run(command, "", exe);
      told += line + "\n" + (line.starts_with("$ tty ") ? screen(r.out) : r.out);
      for (const string& said : split(r.err, '\n')) told += "! " + said + "\n";
      if (r.status != 0) told += "[exit " + std::to_string(r.status) + "]\n";
    }
    for (std::size_t at; (at = told.find(dir_.path().string())) != string::npos;)
      told.replace(at, dir_.path().string().size(), "<dir>");
    told = std::regex_replace(
        told, std::regex("[0-9]{1,2} [A-Z][a-z]{2} at [0-9]{2}:[0-9]{2}|[0-9-]{10}T[0-9:]{8}Z"),
        "<when>");
    if (std::getenv("PADKBD_SAVE_SHOWN") != nullptr) return writeAll(file, told);
    EXPECT_EQ(told, readAll(file)) << name;
  }

  void save(const string& name, const Preset& p) {
    writeAll(at(name), presetToXml(p.buttons, *p.global));
  }

  test::TempDir dir_;
  // clang-format off
  test::ScopedEnv env_[5] = {{"XDG_DATA_HOME", at("xdg")}, {"XDG_CONFIG_HOME", at("config")},
      {"TMPDIR", at("tmp")}, {"PADKBD_RESOURCE_DIR", ""}, {"XDG_STATE_HOME", at("history")}};
  // clang-format on
  int runs_ = 0;
};

TEST_F(Cli, DefaultPipedIntoShowListsEveryControlThenTheGlobals) {
  const string def = run("default").out;
  // A full disk under standard output is a failure, never a success.
  const string full =
      "'" + string(PADKBD_CLI_EXE) + "' default >/dev/full 2>'" + at("full").string() + "'";
  EXPECT_EQ(WEXITSTATUS(std::system(full.c_str())), 1);
  EXPECT_EQ(readAll(at("full")), "padkbd: standard output could not be written\n");
  const auto shown = split(run("show -", def).out, '\n');
  ASSERT_EQ(shown.size(), 65u);
  // Labels from the lists, colours on pads only, the globals last.
  // The window's words: a note by its name in a note mode, a controller by its name, options
  // by their labels (spelt right), channels 1-16 and Global.
  EXPECT_EQ(shown[0] + "\n" + shown[12] + "\n" + shown[64],
            "Knob 1: value 0, mode CC, channel Channel 1, MIDI number 70 Sound Variation, min 0, "
            "max 127, mode option Absolute\nPad 5: value 0, mode Note, channel Channel 1, MIDI "
            "number 40 E1, min 0, max 127, mode option none, red 127, green 16, blue 16\nglobal: "
            "knob relative mode 0, octave transposition 0, MIDI channel Channel 1, velocity curve "
            "Curve 1, pad velocity curve Curve 1, knob acceleration Curve 1, memory slot Memory 1");
  Preset edited = parsePreset(def).value();
  edited.buttons[2]->modeOption = 1;
  edited.buttons[13]->mode = 1;
  edited.buttons[13]->MIDInumb = 36;
  edited.buttons[13]->channel = 16;
  save("edited", edited);
  const auto lines = split(run("show edited").out, '\n');
  ASSERT_EQ(lines.size(), 65u);
  EXPECT_EQ(lines[2] + "\n" + lines[13],
            "Knob 3: value 0, mode CC, channel Channel 1, MIDI number 72 Release Time, min 0, "
            "max 127, mode option Relative #1\nPad 6: value 0, mode CC, channel Global, MIDI "
            "number 36 Foot Controller LSB, min 0, max 127, mode option Absolute, red 127, green "
            "16, blue 16");
  const auto doc = nlohmann::json::parse(run("show --json -", def).out);
  EXPECT_EQ(doc["controls"][12]["kind"], "pad");
  EXPECT_EQ(doc["controls"][12]["red"], nlohmann::json::parse(R"({"index": 127, "label": "127"})"));
  EXPECT_FALSE(doc["controls"][0].contains("red"));
  EXPECT_TRUE(doc.at("global").contains("mem"));

  // -o writes the same document; a destination that cannot be written gets
  // one line, and the old file stays whole.
  expect({{"default -o d", 0, ""},
          {"default -o d/x", 1, "", "padkbd: Could not write d/x: Not a directory\n"}});
  EXPECT_EQ(readAll(at("d")), def);
}

TEST_F(Cli, CheckShowAndDiffTellEachDocumentsProblemAndDifferences) {
  const string xml = run("default").out;
  writeAll(at("good"), xml);
  Preset b = parsePreset(xml).value();
  b.buttons[12]->channel = 9;
  b.buttons[12]->CR = 5;
  b.global->mem = 8;
  save("b", b);
  b.buttons[12]->channel = -1;
  save("range", b);
  writeAll(at("truncated"), xml.substr(0, xml.size() / 2));
  // Each document gets its line and its reason; channels as the user counts them: 0 is outside.
  transcript("documents");
  expect({{"check -", 0, "-: ok\n", "", xml}});
}

// Slot n's lines of a state file, without the slot number.
string slotIn(const string& state, int n) {
  string text;
  const string prefix = "slot " + std::to_string(n) + " ";
  for (const string& line : split(state, '\n'))
    if (line.rfind(prefix, 0) == 0) text += line.substr(prefix.size()) + "\n";
  return text;
}

TEST_F(Cli, SendLandsInTheChosenSlotOnlyAndReadsBackTheSame) {
  const string initial = SimulatedController().stateText();
  Preset preset = test::samplePreset();
  preset.global->mem = 0;  // the slot a read reads
  save("sent", preset);
  preset.global->mem = 5;
  save("p", preset);
  preset.buttons[3]->mode = 7;
  save("bad", preset);
  // Slots are numbered 1-9 on the command line, as on the keyboard: 9 is index 8. Without --slot
  // the document's own slot is used, said before writing; a refused document sends nothing.
  expect({{"send p --slot 9 --simulate=state", 0, "", "sent p to memory slot 9\n"},
          {"send p --simulate=state --slot 1", 0, "", "sent p to memory slot 1\n"},
          {"send p --simulate=state", 0, "",
           "writing memory slot 6 \\(the document's slot; --slot N chooses another\\)\n"
           "sent p to memory slot 6\n"},
          {"send p --simulate=state -q", 0, "", ""},
          {"send bad --simulate=state", 1, "", "padkbd: bad: .*; nothing sent\n"}});
  const string after = readAll(at("state"));
  EXPECT_NE(slotIn(after, 5), slotIn(initial, 5));
  for (int n = 0; n < SimulatedController::kSlotCount; ++n)  // 0, 5 and 8 were sent to
    EXPECT_EQ(slotIn(after, n), n % 8 == 0 || n == 5 ? slotIn(after, 5) : slotIn(initial, n)) << n;
  EXPECT_EQ(readPresetFile(at("p")).value().global->mem, 5) << "the document is left as it was";

  // What was sent reads back the same through the state file; without one
  // every run starts afresh and the send is forgotten.
  writeAll(at("fresh"), run("read --simulate").out);
  expect({{"send sent --simulate=state -q", 0, "", ""},
          {"read --simulate=state -q -o read", 0, "", ""},
          {"diff sent read", 0, ""},
          {"diff sent fresh", 1}});
}

// Every byte of a read, a send and the gains, as --trace shows them; a read of a keyboard being
// played, or sending each packet alone, reads the same; what a state file keeps.
TEST_F(Cli, TracedExchangesAreByteForByte) {
  transcript("trace");
}

TEST_F(Cli, QuietByDefaultTraceAndVerboseOnRequest) {
  // (That the document is one: SendLandsInTheChosenSlotOnlyAndReadsBackTheSame diffs it.)
  const Result plain = run("read --simulate");
  EXPECT_EQ(plain.err, "");
  // The document alone on standard output (its transfers: TracedExchangesAreByteForByte).
  EXPECT_EQ(run("--trace read --simulate -q").out, plain.out);
  // -v adds the transport's and the synchronisation's lines.
  const Result chatty = run("read -v --simulate");
  EXPECT_EQ(chatty.out, plain.out);
  EXPECT_GT(split(chatty.err, '\n').size(), 2u * exchangeCount());
  EXPECT_NE(chatty.err.find("\nhandshake yes\n"), string::npos);
}

TEST_F(Cli, UsageErrorsExitTwoWithOneLineAndHelpZero) {
  // Grouped by what is wrong: the command, an option (before its command, of another command,
  // unknown: close, far), a missing value or argument or a word too many, a value outside what
  // is wanted (each range at one past both ends). Every error is one whole line in the tool's
  // words, naming the fix. Then the help of the tool and of each command, on standard output.
  transcript("usage");
  // `help CMD` is `CMD --help`.
  EXPECT_EQ(run("help"), run("--help"));
  for (const string& command :
       split("info read send restore slots history library set monitor gains export "
             "check show diff default use devices help",
             ' '))
    EXPECT_EQ(run("help " + command), run(command + " --help")) << command;
  EXPECT_EQ(run("--version"), (Result{0, string("padkbd ") + config::kVersion + "\n", ""}));
}

TEST_F(Cli, DeviceCommandsReportAFailingKeyboardWithItsReason) {
  // Each failing keyboard: status 1 and one line that says why (the two refusals a real system
  // gives name their fix); a failed read writes no document, not even the default. A word after a
  // bare --simulate is no state file; a damaged state file is refused, left alone.
  writeAll(at("damaged"), "not a state file\n");
  transcript("failing");
  expect({{"access-denied devices", 0, kAny + "sudo tee /etc/udev/rules.d/70-padkbd-" + kAny, kAny}},
         PADKBD_FAULTY_EXE);
  EXPECT_FALSE(fs::exists(at("backup")));
  SimulatedController sim;
  ASSERT_TRUE(sim.loadState(at("state")).ok());
  EXPECT_EQ(sim.gains(), (std::array<std::uint8_t, 8>{0, 1, 2, 64, 100, 125, 126, 127}));
  EXPECT_EQ(readAll(at("damaged")), "not a state file\n");
}

TEST_F(Cli, MonitorListensUntilCtrlCOrUntilTheKeyboardGoesAway) {
  // Nothing played: no line, and Ctrl+C is how it ends, well.
  EXPECT_EQ(run("monitor --simulate --preset p", "", PADKBD_CLI_EXE, SIGINT, "Ctrl+C"),
            (Result{0, "", "listening; Ctrl+C stops\n"}));
  // Unplugged while listening, after the read, or during it; a document that is not there.
  const string gone = "padkbd: listening stopped: the keyboard went away\n";
  expect(
      {{"unplug=1250 monitor", 1, "", lit("listening; Ctrl+C stops\n" + gone)},
       {"unplug=1250 monitor -q", 1, "", lit(gone)},
       {"unplug=600 monitor", 1, "", "padkbd: reading the controller failed: .*unplugged\\)\\)\n"},
       {"absent monitor --preset p", 1, "", "padkbd: no keyboard found .*\n"}},
      PADKBD_FAULTY_EXE);
  expect({{"monitor --simulate --preset missing", 1, "",
           lit("padkbd: missing: cannot open it (No such file or directory)\n")},
          {"monitor --play 'pad 1'", 2, "",
           "padkbd: monitor: --play plays the simulated keyboard: give --simulate too\n"}});
  // Played by the simulated keyboard, then done: an absolute knob moves from 0 step by step,
  // within its range (2-127 here); pad 48's note is transposed below the lowest: no sound.
  const string knob3 =
      "Knob 3 · controller 99 · value 0 · channel 4\n"
      "Knob 3 · controller 98 · value 22 · channel 4\n";
  const string play = "pad 1, pad 48, knob 3 +4, knob 3 -1, knob 3 -5, button 8";
  EXPECT_EQ(run("monitor --simulate --play '" + play + "'"),
            (Result{0,
                    "Pad 1 · note on E0 · velocity 100 · channel 10\n"
                    "Pad 1 · note off E0 · channel 10\n" +
                        knob3 + "Knob 3 · NRPN 22 · value 4 · channel 4\n" + knob3 +
                        "Knob 3 · NRPN 22 · value 3 · channel 4\n" + knob3 +
                        "Knob 3 · NRPN 22 · value 2 · channel 4\n"
                        "Button 8 · note on B3 · velocity 112 · channel 14\n"
                        "Button 8 · note off B3 · channel 14\n",
                    "listening; the simulated keyboard plays " + play + "\n"}));
}

// A document's names, named after it, well-formed; the keyboard's own
// without one; an unwritable target, a missing --midnam, a device option
// beside a document: one line each.
// Every control played in the modes of a preset: each message named as the window names it.
TEST_F(Cli, MonitorNamesWhatEachControlPlays) {
  transcript("monitor");
}

TEST_F(Cli, ExportWritesTheNamesOfADocumentOrOfTheKeyboard) {
  Preset preset = parsePreset(run("default").out).value();
  preset.buttons[13]->channel = 9;
  save("a&b.padkbd", preset);
  expect({{"export --midnam out.midnam 'a&b.padkbd'", 0, "", ""},
          {"--simulate export --midnam kb.midnam", 0, "", ""},
          {"export --midnam 'a&b.padkbd/x' 'a&b.padkbd'", 1, "",
           lit("padkbd: Could not write a&b.padkbd/x: Not a directory\n")},
          {"export 'a&b.padkbd'", 2, "",
           lit("padkbd: export needs a file name after --midnam: padkbd export [PRESET] --midnam "
               "FILE (see padkbd help export)\n")},
          {"--device 1234:5678 export --midnam o 'a&b.padkbd'", 2, "",
           lit("padkbd: export: --device applies to the keyboard's own settings, not to PRESET "
               "(see padkbd help export)\n")}});
  // Named as the window names the controls (as controlName does).
  EXPECT_EQ(readAll(at("out.midnam")), midnamDocument(preset, {}, "a&b"));
  EXPECT_EQ(std::system(("xmllint --nonet --noout " + at("out.midnam").string()).c_str()), 0);
  // From standard input to standard output: no document's name.
  EXPECT_EQ(run("export --midnam - -", readAll(at("a&b.padkbd"))).out,
            midnamDocument(preset, {}, ""));
  const Preset held = parsePreset(run("--simulate read").out).value();
  EXPECT_EQ(readAll(at("kb.midnam")), midnamDocument(held, {}, ""));
}

TEST_F(Cli, AStateFileIsSharedInTurnsAndAStoppedExchangeLeavesNothingBehind) {
  // A keyboard answering in 2 ms: an exchange takes more than a second. The
  // signal comes once a settings message went out (the trace shows it); the last line says why.
  const std::tuple<const char*, int, const char*> stopped[] = {
      {"pace=2000 read -o backup --simulate=state --trace", SIGINT,
       "padkbd: the read was cancelled"},
      {"pace=2000 send p --simulate=state --trace", SIGTERM,
       "padkbd: cancelled after [0-9]+ of 598 settings: memory slot 9 now holds some of the new "
       "settings and some of the old"}};
  for (const auto& [command, signal, says] : stopped) {
    const Result r = run(command, "", PADKBD_FAULTY_EXE, signal, " 7f 42 04 0");
    EXPECT_EQ(r.status, 128 + signal) << r.err;
    EXPECT_TRUE(std::regex_match(split(r.err, '\n').back(), std::regex(says))) << r.err;
  }
  EXPECT_FALSE(fs::exists(at("backup")));
  EXPECT_TRUE(fs::exists(at("state")));

  // The next runs work, and leave nothing of their own behind.
  expect({{"read --simulate=state -o backup", 0, ""}, {"send p --simulate=state", 0, "", kAny}});
  std::set<string> left;
  for (const auto& file : fs::directory_iterator(dir_.path())) left.insert(file.path().filename());
  EXPECT_EQ(left, (std::set<string>{"backup", "config", "history", "io", "p", "state", "state.lock",
                                    "tmp", "xdg"}));

  // A symlink where a careless writer puts its temporary file is not followed.
  writeAll(at("victim"), "precious");
  fs::create_symlink(at("victim"), at("state.tmp"));
  ASSERT_EQ(run("gains 1 2 3 4 5 6 7 8 --simulate=state").status, 0);
  EXPECT_EQ(readAll(at("victim")), "precious");
}

TEST_F(Cli, AKeyboardWithOtherIdsIsFoundListedChosenAndRead) {
  // The simulated keyboard of a state file written by hand has other ids than the built-in ones
  // and one setting outside its list (the mode byte 0c of Pad 1); the rest is as it starts.
  writeAll(at("state"),
           "# by hand\r\n\npadkbd-sim-state 1\r\nusb 1234:5678\nmanufacturer 00 20 6b\n"
           "slot 0 01 50 0c\n");
  const string builtIn = formatUsbIds(builtInKeyboard().usb);
  const string keyboard = "keyboard       ";
  expect({
      {"read --simulate=state", 1, "",
       "padkbd: no keyboard found with USB id " + builtIn + ": .*\"padkbd devices\".*\n"},
      {"--simulate=state devices", 0,
       "1234:5678  padkbd simulated controller.*\n .*; can be opened\n"
       "None of them is the keyboard in use \\(" +
           builtIn + ", built in\\)" + kAny},
      {"use 1234:5678 --manufacturer 00:20:6B", 0,
       keyboard +
           "1234:5678  \\(settings file\\)\nmanufacturer   00 20 6b   \\(settings file\\)\n" +
           kAny},
      {"devices --simulate=state", 0, ".*\n .*; in use; can be opened\n" + kAny},
      // The read works now; the replaced setting is named.
      {"read --simulate=state -o read", 0, "",
       "padkbd: warning: 1 setting from the keyboard was outside its list.*Pad 1: mode byte "
       "0c.*\n"},
      // The command line goes over the settings file.
      {"info --simulate=state --device 0abc:0001", 1, "", ".*0abc:0001.*\n"},
      {"use --device 0abc:0001", 0, keyboard + "0abc:0001  \\(settings file\\)\n" + kAny},
      {"info --simulate=state --device 1234:5678", 0, "firmware 01.02\n"},
      {"use --reset", 0, keyboard + builtIn + "  \\(built in\\)\n" + kAny},
      {"devices --udev-rule 1234:5678", 0,
       "SUBSYSTEM==\"usb\", ATTRS\\{idVendor\\}==\"1234\", ATTRS\\{idProduct\\}==\"5678\", "
       "TAG\\+=\"uaccess\"\n"},
  });

  // A damaged settings file: a clear warning and the built-in keyboard; it is not overwritten.
  writeAll(at("config/padkbd/settings.toml"), "[keyboard\ndevice = 12\n");
  expect({{"use", 0, keyboard + builtIn + "  \\(built in\\)\n" + kAny,
           "padkbd: warning: .*settings file is damaged.*\n"},
          {"use 1234:5678", 1, "", ".*mend it, or forget it.*\n"}});
  EXPECT_EQ(readAll(at("config/padkbd/settings.toml")), "[keyboard\ndevice = 12\n");
}

TEST_F(Cli, TheHistoryRemembersWhatEachSlotHoldsAndSendsItAgain) {
  Preset preset = test::samplePreset();
  save("live.padkbd", preset);
  // What a slot holds after a send, a send stopped part-way and a read; the history's notes,
  // entries, documents and differences; a send again; another simulated keyboard, or a real
  // one with the same ids, is another keyboard.
  transcript("history");
  preset.global->mem = 2;
  EXPECT_EQ(readAll(at("got")), presetToXml(preset.buttons, *preset.global));
  const auto listed = nlohmann::json::parse(run("history --json --slot 4 --kind sent").out);
  ASSERT_EQ(listed.size(), 1u);
  EXPECT_EQ(listed[0]["source"], "history entry 1");
  EXPECT_EQ(listed[0]["keyboard"], "simulated " + at("state").string());
  EXPECT_EQ(listed[0]["keyboard_kind"], "simulated");
  auto slotsJson = nlohmann::json::parse(run("slots --json --simulate=state").out);
  EXPECT_EQ(slotsJson["slots"][5]["state"], "mix");
  EXPECT_TRUE(slotsJson["slots"][2]["at"].get<string>().ends_with("Z"));
  slotsJson["slots"][2].erase("at");
  EXPECT_EQ(slotsJson["slots"][2], nlohmann::json::parse(R"({"slot": 3, "state": "holds", "id": 1,
      "keyboard_kind": "simulated", "firmware": "01.02", "written": 598, "total": 598,
      "source": "live.padkbd", "note": "before the festival"})"));
  EXPECT_EQ(slotsJson["slots"][0], nlohmann::json::parse(R"({"slot": 1, "state": "unknown"})"));
}

// The library and sets of nine as a new user meets them: three presets added
// with tags, one found by its tag, a set of three made and sent to the
// simulated keyboard, a send stopped part-way and finished, and a set whose
// preset changed since.
class LibraryCli : public Cli {
 protected:
  fs::path library(const string& name) const { return at("data/padkbd/library") / name; }
  test::ScopedEnv data_{"XDG_DATA_HOME", at("data")};
};

TEST_F(LibraryCli, PresetsAreAddedTaggedFoundAndSentAsASet) {
  for (const auto& [name, red] : {std::pair{"intro", 1}, {"drums", 2}, {"keys", 3}}) {
    Preset p = test::samplePreset();
    p.buttons[8]->CR = red;
    save(string(name) + ".padkbd", p);
  }
  writeAll(at("notes.padkbd"), "not a preset");
  fs::create_directory(at("other"));
  // Added, tagged, found, refused; a set made, stopped in its second slot, then finished
  // without the slot written whole.
  transcript("library-sets");
  // A preset changed since the set named it: said, and nothing sent.
  save("drums2.padkbd", test::samplePreset());
  fs::copy_file(at("drums2.padkbd"), library("drums.padkbd"), fs::copy_options::overwrite_existing);
  fs::last_write_time(library("drums.padkbd"),
                      fs::last_write_time(library("drums.padkbd")) + std::chrono::seconds(2));
  // A file in the library that is no preset is listed and shown with why.
  writeAll(library("junk.padkbd"), "junk");
  transcript("library-changed");
}

// A history that cannot be written: each exchange still goes, and says what was not recorded.
TEST_F(Cli, WhatTheHistoryCannotKeepIsSaid) {
  transcript("unrecorded");
}

// The library, sets of nine, the slots and the keyboard's own commands, each said whole.
TEST_F(LibraryCli, SaysWhatItDidAndKnows) {
  transcript("library");
}

}  // namespace
}  // namespace padkbd
