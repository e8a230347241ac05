// Runs the built padkbd program as a user would and looks at its exit status,
// standard output, standard error and the files it leaves.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <nlohmann/json.hpp>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "model/KeyboardId.h"
#include "padkbd/BuildConfig.h"
#include "sim/SimulatedController.h"
#include "storage/FileAction.h"
#include "tests/support/TempDir.h"

namespace padkbd {
namespace {

namespace fs = std::filesystem;

struct Result {
  int status = -1;
  std::string out;
  std::string err;

  std::vector<std::string> errLines() const { return lines(err); }
  std::vector<std::string> outLines() const { return lines(out); }
  static std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) result.push_back(line);
    return result;
  }
};

std::string readFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeFile(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
}

class Cli : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(tmp_.path() / "xdg");
    fs::create_directories(tmp_.path() / "config");
    fs::create_directories(tmp_.path() / "tmp");
    fs::create_directories(tmp_.path() / "io");
  }

  void TearDown() override {
    // The editor's working copy is never touched, and the tool's private
    // working copy is gone when it ends.
    EXPECT_TRUE(fs::is_empty(tmp_.path() / "xdg"));
    EXPECT_TRUE(fs::is_empty(tmp_.path() / "tmp"));
  }

  fs::path path(const std::string& name) const { return tmp_.path() / name; }

  // Runs padkbd with `args`, feeding `input` on standard input. With a
  // signal, sends it `after` the start.
  Result run(const std::vector<std::string>& args, const std::string& input = {}, int signal = 0,
             std::chrono::microseconds after = {}, std::string exe = PADKBD_CLI_EXE) {
    // Files of their own, so that runs may go on side by side.
    const std::string n = std::to_string(runs_++);
    const fs::path in = tmp_.path() / "io" / ("stdin" + n);
    const fs::path out = tmp_.path() / "io" / ("stdout" + n);
    const fs::path err = tmp_.path() / "io" / ("stderr" + n);
    writeFile(in, input);
    const std::string xdg = (tmp_.path() / "xdg").string();
    const std::string config = (tmp_.path() / "config").string();
    const std::string tmpdir = (tmp_.path() / "tmp").string();
    const pid_t pid = ::fork();
    if (pid == 0) {
      const int inFd = ::open(in.c_str(), O_RDONLY);
      const int outFd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      const int errFd = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      if (inFd < 0 || outFd < 0 || errFd < 0) ::_exit(127);
      ::dup2(inFd, 0);
      ::dup2(outFd, 1);
      ::dup2(errFd, 2);
      ::setenv("XDG_DATA_HOME", xdg.c_str(), 1);
      ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
      ::setenv("TMPDIR", tmpdir.c_str(), 1);
      ::unsetenv("PADKBD_RESOURCE_DIR");
      std::vector<char*> argv;
      argv.push_back(exe.data());
      std::vector<std::string> copy = args;
      for (std::string& arg : copy) argv.push_back(arg.data());
      argv.push_back(nullptr);
      ::execv(exe.c_str(), argv.data());
      ::_exit(127);
    }
    Result result;
    if (signal != 0 && pid > 0) {
      std::this_thread::sleep_for(after);
      ::kill(pid, signal);
    }
    int status = 0;
    if (pid > 0 && ::waitpid(pid, &status, 0) == pid) {
      if (WIFEXITED(status)) result.status = WEXITSTATUS(status);
      if (WIFSIGNALED(status)) result.status = 128 + WTERMSIG(status);
    }
    result.out = readFile(out);
    result.err = readFile(err);
    return result;
  }

  // Runs padkbd with its device commands on a simulated controller that has
  // `fault` (see FaultyPadkbd.cpp).
  Result faulty(const std::string& fault, std::vector<std::string> args, int signal = 0,
                std::chrono::microseconds after = {}) {
    args.insert(args.begin(), fault);
    return run(args, {}, signal, after, PADKBD_FAULTY_EXE);
  }

  // The shipped default preset, as the program writes it.
  Preset defaultPreset() {
    const Result result = run({"default"});
    EXPECT_EQ(result.status, 0) << result.err;
    PresetRead read = parsePreset(result.out);
    EXPECT_TRUE(read.outcome.ok()) << read.outcome.message();
    return read.preset;
  }

  static Preset copyOf(const Preset& preset) {
    return parsePreset(presetToXml(preset.buttons, *preset.global)).preset;
  }

  void save(const fs::path& file, const Preset& preset) {
    ASSERT_TRUE(writePresetFile(file, preset.buttons, *preset.global).ok());
  }

  test::TempDir tmp_;
  std::atomic<int> runs_{0};
};

// A preset that differs from the default in every kind of field, with the
// other controls' colours at -1 as a read from the keyboard leaves them.
Preset changed(Preset preset) {
  for (std::size_t i = 0; i < preset.buttons.size(); ++i) {
    ButtonValue& b = *preset.buttons[i];
    b.value = static_cast<int>((i * 7) % 128);
    b.MIDInumb = static_cast<int>((i * 5 + 3) % 128);
    b.channel = static_cast<int>(i % 17);
    b.min = 1;
    b.max = 126;
    if (isPadControl(static_cast<int>(i))) {
      b.mode = 1;
      b.modeOption = 3;
      b.CR = static_cast<int>(i);
      b.CG = 127 - static_cast<int>(i);
      b.CB = 64;
    } else {
      b.mode = 2;
      b.modeOption = 1;
      b.CR = b.CG = b.CB = -1;
    }
  }
  preset.global->globalKnobRelativeMode = 1;
  preset.global->globalOctaveTransposition = 6;
  preset.global->globalMIDIChannel = 9;
  preset.global->globalVelocityCurve = 2;
  preset.global->globalPadVelocityCurve = 3;
  preset.global->globalKnobAccelerationCurve = 1;
  preset.global->mem = 0;
  return preset;
}

TEST_F(Cli, DefaultPipedIntoShowListsEveryControlThenTheGlobals) {
  const Result def = run({"default"});
  ASSERT_EQ(def.status, 0) << def.err;

  const Result show = run({"show", "-"}, def.out);
  ASSERT_EQ(show.status, 0) << show.err;
  const auto lines = show.outLines();
  ASSERT_EQ(lines.size(), 65u);
  const std::regex control(
      R"(^control (\d+) \([^)]+\): value .*, mode .*, channel .*, MIDI number .*, min .*, max .*, mode option .*$)");
  for (int i = 0; i < 64; ++i) {
    std::smatch m;
    ASSERT_TRUE(std::regex_match(lines[i], m, control)) << lines[i];
    EXPECT_EQ(std::stoi(m[1]), i);
    // Colours belong to pad controls only.
    EXPECT_EQ(lines[i].find(", red ") != std::string::npos, isPadControl(i)) << lines[i];
  }
  EXPECT_EQ(lines[64].rfind("global: knob relative mode ", 0), 0u) << lines[64];
  EXPECT_NE(lines[64].find(", memory slot "), std::string::npos);

  const Result json = run({"show", "--json", "-"}, def.out);
  ASSERT_EQ(json.status, 0) << json.err;
  const auto doc = nlohmann::json::parse(json.out);
  ASSERT_EQ(doc.at("controls").size(), 64u);
  EXPECT_EQ(doc["controls"][12]["index"], 12);
  EXPECT_EQ(doc["controls"][12]["kind"], "pad");
  EXPECT_TRUE(doc["controls"][12]["red"].contains("label"));
  EXPECT_FALSE(doc["controls"][0].contains("red"));
  EXPECT_TRUE(doc["controls"][0]["channel"].contains("index"));
  EXPECT_TRUE(doc.at("global").contains("mem"));

  // -o writes the same document to a file.
  const Result toFile = run({"default", "-o", path("default.padkbd").string()});
  ASSERT_EQ(toFile.status, 0) << toFile.err;
  EXPECT_TRUE(toFile.out.empty());
  EXPECT_EQ(readFile(path("default.padkbd")), def.out);

  // A destination that cannot be written: one line, and the old file whole.
  const Result blocked = run({"default", "-o", (path("default.padkbd") / "x").string()});
  EXPECT_EQ(blocked.status, 1);
  EXPECT_EQ(blocked.errLines().size(), 1u) << blocked.err;
  EXPECT_EQ(readFile(path("default.padkbd")), def.out);
}

TEST_F(Cli, CheckReportsEveryFileAndItsFirstProblem) {
  const Preset good = defaultPreset();
  save(path("good.padkbd"), good);

  Preset short63 = copyOf(good);
  short63.buttons.pop_back();
  writeFile(path("short.padkbd"), presetToXml(short63.buttons, *short63.global));
  Preset outOfRange = copyOf(good);
  outOfRange.buttons[12]->channel = 99;
  writeFile(path("range.padkbd"), presetToXml(outOfRange.buttons, *outOfRange.global));
  const std::string xml = readFile(path("good.padkbd"));
  writeFile(path("truncated.padkbd"), xml.substr(0, xml.size() / 2));
  writeFile(path("noise.padkbd"), std::string("\x01\x02garbage\xff", 11));
  fs::create_directories(path("folder.padkbd"));

  const Result ok = run({"check", path("good.padkbd").string()});
  EXPECT_EQ(ok.status, 0) << ok.err;
  EXPECT_EQ(ok.out, path("good.padkbd").string() + ": ok\n");

  const std::vector<std::string> bad = {"short.padkbd", "range.padkbd",  "truncated.padkbd",
                                        "noise.padkbd", "folder.padkbd", "missing.padkbd"};
  std::vector<std::string> args = {"check", path("good.padkbd").string()};
  for (const auto& name : bad) args.push_back(path(name).string());
  const Result mixed = run(args);
  EXPECT_EQ(mixed.status, 1);
  const auto lines = mixed.outLines();
  ASSERT_EQ(lines.size(), bad.size() + 1) << mixed.out;
  EXPECT_EQ(lines[0], path("good.padkbd").string() + ": ok");
  for (std::size_t i = 0; i < bad.size(); ++i) {
    const std::string prefix = path(bad[i]).string() + ": ";
    ASSERT_EQ(lines[i + 1].rfind(prefix, 0), 0u) << lines[i + 1];
    EXPECT_GT(lines[i + 1].size(), prefix.size() + 3) << "no reason given: " << lines[i + 1];
  }
  // The problem with the 13th control is named.
  EXPECT_NE(lines[2].find("12"), std::string::npos) << lines[2];

  // Standard input works too; a refused preset is not shown.
  EXPECT_EQ(run({"check", "-"}, xml).status, 0);
  const Result show = run({"show", path("range.padkbd").string()});
  EXPECT_EQ(show.status, 1);
  EXPECT_TRUE(show.out.empty());
  ASSERT_EQ(show.errLines().size(), 1u) << show.err;
  EXPECT_EQ(show.err.rfind("padkbd: " + path("range.padkbd").string() + ": ", 0), 0u);
}

TEST_F(Cli, DiffListsEachDifferingFieldAndTellsSameDifferentUnreadable) {
  const Preset a = defaultPreset();
  Preset b = copyOf(a);
  b.buttons[12]->channel = a.buttons[12]->channel == 9 ? 2 : 9;
  b.buttons[12]->CR = a.buttons[12]->CR == 5 ? 6 : 5;
  b.global->mem = a.global->mem == 4 ? 5 : 4;
  save(path("a.padkbd"), a);
  save(path("b.padkbd"), b);

  const Result same = run({"diff", path("a.padkbd").string(), path("a.padkbd").string()});
  EXPECT_EQ(same.status, 0) << same.err;
  EXPECT_TRUE(same.out.empty()) << same.out;

  const Result different = run({"diff", path("a.padkbd").string(), path("b.padkbd").string()});
  EXPECT_EQ(different.status, 1) << different.err;
  const auto lines = different.outLines();
  ASSERT_EQ(lines.size(), 3u) << different.out;
  EXPECT_TRUE(std::regex_match(lines[0], std::regex(R"(^control 12 \(.+\): channel .+ → .+$)")))
      << lines[0];
  EXPECT_TRUE(std::regex_match(lines[1], std::regex(R"(^control 12 \(.+\): red .+ → .+$)")))
      << lines[1];
  EXPECT_TRUE(std::regex_match(lines[2], std::regex(R"(^global: memory slot .+ → .+$)")))
      << lines[2];

  writeFile(path("broken.padkbd"), "<plist><dict>");
  const Result unreadable =
      run({"diff", path("a.padkbd").string(), path("broken.padkbd").string()});
  EXPECT_EQ(unreadable.status, 2);
  EXPECT_TRUE(unreadable.out.empty());
  EXPECT_EQ(unreadable.errLines().size(), 1u) << unreadable.err;
  EXPECT_EQ(run({"diff", path("missing.padkbd").string(), path("a.padkbd").string()}).status, 2);
}

TEST_F(Cli, SendThenReadThroughOneStateFileGivesTheSamePreset) {
  const Preset sent = changed(defaultPreset());
  save(path("sent.padkbd"), sent);
  const std::string state = "--simulate=" + path("state").string();

  const Result send = run({"send", path("sent.padkbd").string(), state, "-q"});
  ASSERT_EQ(send.status, 0) << send.err;
  EXPECT_TRUE(send.out.empty());
  EXPECT_TRUE(send.err.empty()) << send.err;  // -q
  ASSERT_TRUE(fs::exists(path("state")));

  const Result read = run({"read", state, "-q", "-o", path("read.padkbd").string()});
  ASSERT_EQ(read.status, 0) << read.err;
  EXPECT_TRUE(read.out.empty());
  const Result diff = run({"diff", path("sent.padkbd").string(), path("read.padkbd").string()});
  EXPECT_EQ(diff.status, 0) << diff.out;

  // Without a state file every run starts from the simulated controller's
  // own settings: the send is forgotten.
  const Result fresh = run({"read", "--simulate", "-q"});
  ASSERT_EQ(fresh.status, 0) << fresh.err;
  writeFile(path("fresh.padkbd"), fresh.out);
  EXPECT_EQ(run({"diff", path("sent.padkbd").string(), path("fresh.padkbd").string()}).status, 1);
}

TEST_F(Cli, SendLandsInTheChosenSlotOnly) {
  SimulatedController initial;
  ASSERT_TRUE(initial.saveState(path("state")).ok());
  Preset preset = changed(defaultPreset());
  const std::string state = "--simulate=" + path("state").string();

  // A slot's settings, its number aside, and those of the preset.
  auto slotOf = [](const SimulatedController& sim, int slot) {
    std::vector<ButtonValue> controls;
    for (int i = 0; i < kControlCount; ++i) controls.push_back(sim.controlInSlot(slot, i));
    PadValue global = sim.globalsInSlot(slot);
    global.mem = 0;
    return std::make_pair(controls, global);
  };
  std::vector<ButtonValue> controls;
  for (const auto& record : preset.buttons) controls.push_back(*record);
  const auto sent = std::make_pair(controls, *preset.global);  // memory slot 0, as slotOf gives
  preset.global->mem = 5;
  save(path("p.padkbd"), preset);

  // Slots are numbered 1-9 on the command line, as on the keyboard: 4 is index 3.
  const Result send = run({"send", path("p.padkbd").string(), "--slot", "4", state});
  ASSERT_EQ(send.status, 0) << send.err;
  EXPECT_EQ(send.err, "sent " + path("p.padkbd").string() + " to memory slot 4\n");
  SimulatedController after;
  ASSERT_TRUE(after.loadState(path("state")).ok());
  EXPECT_TRUE(slotOf(after, 3) == sent);
  for (int slot = 0; slot < SimulatedController::kSlotCount; ++slot) {
    EXPECT_TRUE(slot == 3 || slotOf(after, slot) == slotOf(initial, slot)) << "slot " << slot;
  }
  // The document itself is left as it was.
  EXPECT_EQ(readPresetFile(path("p.padkbd")).preset.global->mem, 5);

  // Without --slot the document's own slot is used.
  ASSERT_EQ(run({"send", path("p.padkbd").string(), state, "-q"}).status, 0);
  SimulatedController later;
  ASSERT_TRUE(later.loadState(path("state")).ok());
  EXPECT_TRUE(slotOf(later, 5) == sent);
  EXPECT_TRUE(slotOf(later, 3) == slotOf(after, 3));
  EXPECT_TRUE(slotOf(later, 0) == slotOf(initial, 0));

  // A refused document sends nothing and leaves the state file as it was.
  const std::string before = readFile(path("state"));
  Preset bad = copyOf(preset);
  bad.buttons[3]->mode = 7;
  writeFile(path("bad.padkbd"), presetToXml(bad.buttons, *bad.global));
  const Result refused = run({"send", path("bad.padkbd").string(), state});
  EXPECT_EQ(refused.status, 1);
  ASSERT_EQ(refused.errLines().size(), 1u) << refused.err;
  EXPECT_NE(refused.err.find("nothing sent"), std::string::npos) << refused.err;
  EXPECT_EQ(readFile(path("state")), before);
}

TEST_F(Cli, QuietByDefaultTraceAndVerboseOnRequest) {
  // By default a successful read says nothing besides the document.
  const Result plain = run({"read", "--simulate"});
  ASSERT_EQ(plain.status, 0) << plain.err;
  EXPECT_TRUE(plain.err.empty()) << plain.err;
  EXPECT_TRUE(parsePreset(plain.out).outcome.ok());

  const Result traced = run({"--trace", "read", "--simulate", "-q"});
  ASSERT_EQ(traced.status, 0) << traced.err;
  const auto lines = traced.errLines();
  // Old input drained first (nothing there), then the handshake and its
  // reply, then 598 requests and their replies.
  ASSERT_EQ(lines.size(), 1u + 2u + 1196u);
  EXPECT_EQ(lines[0], "< (nothing)  [timed out]");
  EXPECT_EQ(lines[1], "> 04 f0 7e 7f 07 0a 0b f7");
  const std::regex transfer(R"(^[<>]( [0-9a-f]{2})+$)");
  std::size_t out = 0;
  for (std::size_t i = 1; i < lines.size(); ++i) {
    EXPECT_TRUE(std::regex_match(lines[i], transfer)) << lines[i];
    if (lines[i][0] == '>') ++out;
  }
  EXPECT_EQ(out, 599u);
  EXPECT_EQ(traced.out, plain.out);

  // -v adds the transport's and the synchronisation's lines, on standard
  // error; standard output still holds the document alone.
  const Result chatty = run({"read", "-v", "--simulate"});
  ASSERT_EQ(chatty.status, 0) << chatty.err;
  EXPECT_GT(chatty.errLines().size(), 2u * 598u);
  EXPECT_NE(chatty.err.find("handshake yes"), std::string::npos);
  EXPECT_EQ(chatty.out, plain.out);
}

TEST_F(Cli, UsageErrorsExitTwoWithOneLine) {
  const std::vector<std::vector<std::string>> cases = {
      {},
      {"frobnicate"},
      {"gains", "1", "2", "3", "4", "5", "6", "7"},
      {"gains", "1", "2", "3", "4", "5", "6", "7", "128", "--simulate"},
      {"gains", "1", "2", "3", "4", "5", "6", "7", "x", "--simulate"},
      {"gains", "1", "2", "3", "4", "5", "6", "7", "8", "9", "--simulate"},
      {"send", "p.padkbd", "--slot", "0", "--simulate"},
      {"send", "p.padkbd", "--slot", "10", "--simulate"},
      {"send", "--simulate"},
      {"read", "--device", "12345:1"},
      {"read", "--device", "nonsense"},
      {"read", "--simulate="},
      {"info", "--simulate", "--simulate-fault", "absent"},
      {"check"},
      {"diff", "a"},
      {"show", "a", "--bogus"},
      {"check", "x.padkbd", "--simulate"},
      {"use", "--reset", "1234:5678"},
      {"use", "12:34:56"},
      {"read", "--manufacturer", "00 80 00"},
      {"help", "nothing"},
  };
  for (const auto& args : cases) {
    const Result result = run(args);
    std::string joined;
    for (const auto& a : args) joined += a + " ";
    EXPECT_EQ(result.status, 2) << joined << "\n" << result.err;
    EXPECT_TRUE(result.out.empty()) << joined;
    ASSERT_EQ(result.errLines().size(), 1u) << joined << "\n" << result.err;
    EXPECT_EQ(result.err.rfind("padkbd: ", 0), 0u) << result.err;
  }
  // A mistyped command or option suggests the closest one.
  EXPECT_NE(run({"reed"}).err.find("did you mean \"read\""), std::string::npos);
  EXPECT_NE(run({"send", "p.padkbd", "--slott", "3"}).err.find("did you mean \"--slot\""),
            std::string::npos);

  // Help goes to standard output with status 0.
  const std::pair<std::vector<std::string>, const char*> helps[] = {
      {{"--help"}, "send"},
      {{"send", "--help"}, "--slot"},
      {{"send", "--help"}, "--simulate"},
      {{"help", "send"}, "--slot"},
      {{"help"}, "devices"}};
  for (const auto& [args, text] : helps) {
    const Result r = run(args);
    EXPECT_EQ(r.status, 0) << args[0];
    EXPECT_NE(r.out.find(text), std::string::npos) << r.out;
  }
  EXPECT_EQ(run({"--version"}).out, std::string("padkbd ") + config::kVersion + "\n");
}

TEST_F(Cli, DeviceCommandsReportAFailingControllerWithItsReason) {
  const Result info = run({"info", "--simulate", "-q"});
  EXPECT_EQ(info.status, 0) << info.err;
  EXPECT_EQ(info.out, "firmware 01.02\n");

  const std::string p = path("p.padkbd").string();
  save(p, defaultPreset());
  // Each failing controller: status 1, nothing on standard output and one
  // line that says why; a failed read writes no document, not even the default.
  const std::tuple<const char*, std::vector<std::string>, std::vector<std::string>> failing[] = {
      {"absent", {"info", "-q"}, {"no keyboard found"}},
      {"no-reply=100", {"read", "-q", "-o", path("backup.padkbd").string()}, {}},
      {"no-reply", {"read", "-q"}, {}},
      {"write-failure=40", {"send", p, "-q"}, {}},
      {"one-interface", {"gains", "1", "2", "3", "4", "5", "6", "7", "8", "-q"}, {}},
      // The two refusals a real system gives name their fix.
      {"access-denied", {"info", "-q"}, {"permission", "\"padkbd devices\" prints the udev rule"}},
      {"busy", {"send", p, "-q"}, {"another program holds it"}},
  };
  for (const auto& [fault, args, says] : failing) {
    const Result r = faulty(fault, args);
    EXPECT_EQ(r.status, 1) << fault;
    EXPECT_TRUE(r.out.empty()) << fault;
    ASSERT_EQ(r.errLines().size(), 1u) << fault << "\n" << r.err;
    for (const auto& text : says) EXPECT_NE(r.err.find(text), std::string::npos) << r.err;
  }
  EXPECT_FALSE(fs::exists(path("backup.padkbd")));
  EXPECT_NE(faulty("access-denied", {"devices"}).out.find("sudo tee /etc/udev/rules.d/70-padkbd-"),
            std::string::npos);

  // A word after a bare --simulate is not its state file.
  const Result plainSimulate = run({"send", "--simulate", p, "-q"});
  EXPECT_EQ(plainSimulate.status, 0) << plainSimulate.err;
  EXPECT_EQ(readPresetFile(p).outcome.ok(), true);

  // Gains go through, and a damaged state file is refused and left alone.
  const std::string state = "--simulate=" + path("state").string();
  const Result gains = run({"gains", "0", "1", "2", "64", "100", "125", "126", "127", state, "-q"});
  ASSERT_EQ(gains.status, 0) << gains.err;
  SimulatedController sim;
  ASSERT_TRUE(sim.loadState(path("state")).ok());
  EXPECT_EQ(sim.gains(), (std::array<std::uint8_t, 8>{0, 1, 2, 64, 100, 125, 126, 127}));

  writeFile(path("damaged"), "not a state file\n");
  const Result damaged = run({"info", "--simulate=" + path("damaged").string(), "-q"});
  EXPECT_EQ(damaged.status, 1);
  ASSERT_EQ(damaged.errLines().size(), 1u) << damaged.err;
  EXPECT_EQ(readFile(path("damaged")), "not a state file\n");
}

TEST_F(Cli, InterruptedRunsLeaveNothingBehind) {
  save(path("p.padkbd"), changed(defaultPreset()));
  const std::string state = "--simulate=" + path("state").string();
  // Killed at moments spread over a run: outright, or by a signal it handles.
  for (int n = 0; n < 40; ++n) {
    const int signal = n % 3 == 0 ? SIGKILL : n % 3 == 1 ? SIGTERM : SIGINT;
    const auto after = std::chrono::microseconds(500 * n);
    const Result r =
        n % 2 == 0 ? run({"read", state, "-o", path("backup.padkbd").string()}, {}, signal, after)
                   : run({"send", path("p.padkbd").string(), state, "-q"}, {}, signal, after);
    // Handled, a signal ends the run with its own status, unless the run was done.
    EXPECT_TRUE(signal == SIGKILL || r.status == 0 || r.status == 128 + signal) << r.err;
  }
  // The next runs clean up what the killed ones left, and work.
  ASSERT_EQ(run({"read", state, "-o", path("backup.padkbd").string()}).status, 0);
  ASSERT_EQ(run({"send", path("p.padkbd").string(), state}).status, 0);
  std::vector<std::string> left;
  for (const auto& e : fs::directory_iterator(tmp_.path())) left.push_back(e.path().filename());
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (std::vector<std::string>{"backup.padkbd", "config", "io", "p.padkbd", "state",
                                            "state.lock", "tmp", "xdg"}));
  EXPECT_TRUE(readPresetFile(path("backup.padkbd")).outcome);
}

TEST_F(Cli, CtrlCStopsAnExchangeCleanly) {
  save(path("p.padkbd"), changed(defaultPreset()));
  const std::string state = "--simulate=" + path("state").string();
  // A keyboard answering in 2 ms: an exchange takes more than a second.
  const std::tuple<std::vector<std::string>, int, const char*> stopped[] = {
      {{"read", "-o", path("backup.padkbd").string(), state}, SIGINT, "cancelled"},
      {{"send", path("p.padkbd").string(), state}, SIGTERM, "now holds some of the new settings"},
  };
  for (const auto& [args, signal, says] : stopped) {
    const Result r = faulty("pace=2000", args, signal, std::chrono::milliseconds(300));
    EXPECT_EQ(r.status, 128 + signal) << r.err;
    EXPECT_NE(r.err.find(says), std::string::npos) << r.err;
  }
  EXPECT_FALSE(fs::exists(path("backup.padkbd")));
  EXPECT_TRUE(fs::exists(path("state")));  // kept for the injected controller too
}

TEST_F(Cli, TheStateFileIsWrittenSafelyAndSharedInTurns) {
  // A symlink where a careless writer puts its temporary file is not followed.
  writeFile(path("victim"), "precious");
  fs::create_symlink(path("victim"), path("state.tmp"));
  const std::string state = "--simulate=" + path("state").string();
  ASSERT_EQ(run({"gains", "1", "2", "3", "4", "5", "6", "7", "8", state}).status, 0);
  EXPECT_EQ(readFile(path("victim")), "precious");
  fs::remove(path("state.tmp"));

  // Runs that share the state file take turns: none fails, and the last
  // write is whole.
  std::vector<std::thread> runs;
  std::vector<int> statuses(8, -1);
  for (int n = 0; n < 8; ++n) {
    runs.emplace_back([&, n] {
      const std::string g = std::to_string(n);
      statuses[static_cast<std::size_t>(n)] = run({"gains", g, g, g, g, g, g, g, g, state}).status;
    });
  }
  for (auto& t : runs) t.join();
  EXPECT_EQ(statuses, std::vector<int>(8, 0));
  SimulatedController sim;
  ASSERT_TRUE(sim.loadState(path("state")));
  const auto gains = sim.gains();
  EXPECT_TRUE(std::all_of(gains.begin(), gains.end(), [&](auto g) { return g == gains[0]; }));
}

TEST_F(Cli, AKeyboardWithOtherIdsIsFoundListedChosenAndRead) {
  // The simulated keyboard has other ids than the built-in ones, and one
  // setting outside its list (pad mode byte 0c of control 8).
  writeFile(path("state"),
            "padkbd-sim-state 1\nusb 1234:5678\nmanufacturer 00 20 6b\nslot 0 01 50 0c\n");
  const std::string state = "--simulate=" + path("state").string();

  const Result before = run({"read", state});
  EXPECT_EQ(before.status, 1);
  EXPECT_NE(before.err.find(formatUsbIds(builtInKeyboard().usb)), std::string::npos) << before.err;
  EXPECT_NE(before.err.find("padkbd devices"), std::string::npos) << before.err;

  const Result listed = run({state, "devices"});
  ASSERT_EQ(listed.status, 0) << listed.err;
  EXPECT_EQ(listed.out.rfind("1234:5678  padkbd simulated controller", 0), 0u) << listed.out;
  EXPECT_NE(listed.out.find("can be opened"), std::string::npos);
  EXPECT_NE(listed.out.find("None of them is the keyboard in use"), std::string::npos);

  const Result chosen = run({"use", "1234:5678", "--manufacturer", "00:20:6B"});
  ASSERT_EQ(chosen.status, 0) << chosen.err;
  EXPECT_NE(chosen.out.find("keyboard       1234:5678  (settings file)"), std::string::npos)
      << chosen.out;
  EXPECT_NE(chosen.out.find("manufacturer   00 20 6b   (settings file)"), std::string::npos);
  EXPECT_NE(run({"devices", state}).out.find("; in use;"), std::string::npos);

  // The read works now; the replaced setting is named, and the document saved.
  const Result read = run({"read", state, "-o", path("read.padkbd").string()});
  ASSERT_EQ(read.status, 0) << read.err;
  EXPECT_NE(read.err.find("warning: 1 setting from the keyboard was outside its list"),
            std::string::npos)
      << read.err;
  EXPECT_NE(read.err.find("control 8: mode byte 0c"), std::string::npos) << read.err;
  EXPECT_TRUE(readPresetFile(path("read.padkbd")).outcome.ok());
  EXPECT_TRUE(run({"read", state, "-q"}).err.empty());
  // The command line goes over the settings file.
  EXPECT_NE(run({"use", "--device", "0abc:0001"}).out.find("0abc:0001  (settings file)"),
            std::string::npos);
  EXPECT_NE(run({"info", state, "--device", "1234:5678"}).out.find("firmware"), std::string::npos);

  // A damaged settings file: a clear warning and the built-in keyboard.
  const fs::path settings = path("config") / "padkbd" / "settings.toml";
  writeFile(settings, "[keyboard\ndevice = 12\n");
  const Result damaged = run({"use"});
  EXPECT_EQ(damaged.status, 0);
  EXPECT_NE(damaged.err.find("settings file is damaged"), std::string::npos) << damaged.err;
  EXPECT_NE(damaged.out.find(formatUsbIds(builtInKeyboard().usb) + "  (built in)"),
            std::string::npos);
  EXPECT_EQ(run({"use", "1234:5678"}).status, 1) << "a damaged file is not overwritten";
  EXPECT_EQ(readFile(settings), "[keyboard\ndevice = 12\n");
  ASSERT_EQ(run({"use", "--reset"}).status, 0);
  EXPECT_NE(run({"use"}).out.find("(built in)"), std::string::npos);
  EXPECT_EQ(run({"devices", "--udev-rule", "1234:5678"}).out,
            "SUBSYSTEM==\"usb\", ATTRS{idVendor}==\"1234\", ATTRS{idProduct}==\"5678\", "
            "TAG+=\"uaccess\"\n");
}

}  // namespace
}  // namespace padkbd
