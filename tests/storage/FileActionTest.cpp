#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include "model/Log.h"
#include "storage/FileAction.h"
#include "storage/TempFiles.h"
#include "tests/storage/StorageFixtures.h"
#include "tests/support/HostilePlists.h"
#include "tests/support/TempDir.h"

namespace padkbd {
namespace {

namespace fs = std::filesystem;
using test::readAll;
using test::writeAll;

bool anyStartsWith(const std::vector<std::string>& lines, std::string_view prefix) {
  for (const auto& line : lines) {
    if (line.rfind(prefix, 0) == 0) return true;
  }
  return false;
}

std::size_t entriesIn(const fs::path& dir) {
  return static_cast<std::size_t>(
      std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
}

// A FileAction over a private copy of the shipped resources and a working
// copy under a temporary XDG_DATA_HOME.
class FileActionTest : public ::testing::Test {
 protected:
  FileActionTest()
      : xdg_("XDG_DATA_HOME", (tmp_ / "data").string()),
        resourceDir_(tmp_ / "resources"),
        files_(resourceDir_, FileAction::defaultWorkingCopyPath()) {
    fs::copy(test::shippedResourceDir(), resourceDir_, fs::copy_options::recursive);
  }

  const fs::path& workingCopy() const { return files_.workingCopyPath(); }

  // Puts a known, valid preset in the working copy.
  void writeSampleWorkingCopy() {
    const Preset sample = test::samplePreset();
    ASSERT_TRUE(files_.WriteButtonValuesToTempWithData(sample.buttons, *sample.global));
  }

  test::TempDir tmp_;
  test::ScopedEnv xdg_;
  fs::path resourceDir_;
  FileAction files_;
};

TEST_F(FileActionTest, WorkingCopyPathFollowsXdgDataHomeOrHome) {
  EXPECT_EQ(workingCopy(), tmp_.path() / "data" / "padkbd" / "temp.plist");
  test::ScopedEnv home("HOME", tmp_.path().string());
  {
    test::ScopedEnv empty("XDG_DATA_HOME", "");
    EXPECT_EQ(FileAction::defaultWorkingCopyPath(),
              tmp_.path() / ".local" / "share" / "padkbd" / "temp.plist");
  }
  test::ScopedEnv relative("XDG_DATA_HOME", "relative/dir");
  EXPECT_EQ(FileAction::defaultWorkingCopyPath(),
            tmp_.path() / ".local" / "share" / "padkbd" / "temp.plist");
}

TEST_F(FileActionTest, WorkingCopyIsSeededFromTheShippedOneWhenFirstNeeded) {
  ASSERT_FALSE(fs::exists(workingCopy()));
  const PresetRead read = files_.readTempPreset();
  ASSERT_TRUE(read.outcome) << read.outcome.message();
  EXPECT_EQ(readAll(workingCopy()), readAll(resourceDir_ / "temp.plist"));
  EXPECT_EQ(read.preset.buttons.size(), 64u);
  // The shipped copy is left as it was, and a second read does not reseed.
  writeSampleWorkingCopy();
  EXPECT_TRUE(test::sameValues(files_.readTempPreset().preset, test::samplePreset()));

  // Without a shipped temp.plist the default preset seeds it.
  test::TempDir other;
  test::ScopedEnv xdg("XDG_DATA_HOME", other.path().string());
  fs::remove(resourceDir_ / "temp.plist");
  FileAction fresh(resourceDir_, FileAction::defaultWorkingCopyPath());
  log::Capture capture;
  const PresetRead seeded = fresh.readTempPreset();
  ASSERT_TRUE(seeded.outcome) << seeded.outcome.message();
  EXPECT_TRUE(test::sameValues(seeded.preset, fresh.defaultPreset()));
  EXPECT_TRUE(anyStartsWith(capture.diagnostics(), "the shipped working copy temp.plist"));
}

TEST_F(FileActionTest, WriteThenReadGivesTheSamePreset) {
  log::Capture capture;
  const Preset sample = test::samplePreset();
  ASSERT_TRUE(files_.WriteButtonValuesToTempWithData(sample.buttons, *sample.global));
  ASSERT_EQ(capture.diagnostics().size(), 1u);
  const std::string line = capture.diagnostics()[0];
  EXPECT_EQ(line, "write--->" + presetToXml(sample.buttons, *sample.global));
  EXPECT_NE(line.find("<key>ButtonArray</key>"), std::string::npos);

  const PresetRead read = files_.readTempPreset();
  ASSERT_TRUE(read.outcome) << read.outcome.message();
  EXPECT_TRUE(test::sameValues(read.preset, sample));
  EXPECT_TRUE(read.preset.global->version.empty());
  EXPECT_NE(read.preset.buttons[0], sample.buttons[0]);  // new objects

  // A second write replaces the first whole, leaving nothing beside it.
  const Preset defaults = files_.defaultPreset();
  ASSERT_TRUE(files_.WriteButtonValuesToTempWithData(defaults.buttons, *defaults.global));
  EXPECT_EQ(readAll(workingCopy()), presetToXml(defaults.buttons, *defaults.global));
  EXPECT_EQ(entriesIn(workingCopy().parent_path()), 1u);
}

struct DamageCase {
  std::string name;
  std::string bytes;
  bool accepted;
  std::string message;  // part of the refusal
};

std::string xmlWith(void (*change)(PlistNode&)) {
  PlistNode root = test::presetDic(test::samplePreset());
  change(root);
  return root.toXml();
}

std::vector<DamageCase> damageCases() {
  const std::string valid = xmlWith([](PlistNode&) {});
  std::vector<DamageCase> cases;
  cases.push_back({"valid XML", valid, true, ""});
  cases.push_back(
      {"truncated XML", valid.substr(0, valid.size() / 2), false, "not a property list"});
  {
    PlistNode root = test::presetDic(test::samplePreset());
    char* bin = nullptr;
    std::uint32_t length = 0;
    plist_to_bin(root.get(), &bin, &length);
    cases.push_back({"binary plist", std::string(bin, length), true, ""});
    plist_to_bin_free(bin);
  }
  {
    std::string bad = valid;
    bad.insert(bad.find("<key>ButtonArray</key>"), "<key>note \xff\xfe</key><string>x</string>");
    cases.push_back({"non-UTF-8 bytes", bad, false, "neither a binary property list nor UTF-8"});
  }
  cases.push_back({"63 controls", xmlWith([](PlistNode& r) {
                     plist_array_remove_item(plist_dict_get_item(r.get(), kButtonArrayKey), 63);
                   }),
                   false, "\"ButtonArray\" has 63 controls instead of 64"});
  cases.push_back({"65 controls", xmlWith([](PlistNode& r) {
                     plist_array_append_item(
                         plist_dict_get_item(r.get(), kButtonArrayKey),
                         ButtonAction::GetDicFromButtonValue(ButtonValue{}).release());
                   }),
                   false, "\"ButtonArray\" has 65 controls instead of 64"});
  cases.push_back({"wrong BtnID", xmlWith([](PlistNode& r) {
                     plist_dict_set_item(test::controlDic(r, 3), "BtnID", plist_new_string("10"));
                   }),
                   false, "control 3 has BtnID 10"});
  cases.push_back({"mode out of range", xmlWith([](PlistNode& r) {
                     plist_dict_set_item(test::controlDic(r, 12), "Mode", plist_new_string("7"));
                   }),
                   false, "control 12: Mode 7 is outside 0\u20133"});
  cases.push_back({"pad colour -1", xmlWith([](PlistNode& r) {
                     plist_dict_set_item(test::controlDic(r, 30), "CG", plist_new_string("-1"));
                   }),
                   false, "control 30: CG -1 is outside 0\u2013127"});
  cases.push_back({"global out of range", xmlWith([](PlistNode& r) {
                     plist_dict_set_item(plist_dict_get_item(r.get(), kGlobalValueKey),
                                         "globalOctaveTransposition", plist_new_string("9"));
                   }),
                   false, "global settings: globalOctaveTransposition 9 is outside 0\u20138"});
  cases.push_back({"value of array kind", xmlWith([](PlistNode& r) {
                     plist_dict_set_item(test::controlDic(r, 4), "Mode", plist_new_array());
                   }),
                   false, "control 4: \"Mode\" holds an array, not a number"});
  cases.push_back({"global value of data kind", xmlWith([](PlistNode& r) {
                     plist_dict_set_item(plist_dict_get_item(r.get(), kGlobalValueKey), "mem",
                                         plist_new_data("\x01", 1));
                   }),
                   false, "global settings: \"mem\" holds data, not a number"});
  cases.push_back({"element not a dictionary", xmlWith([](PlistNode& r) {
                     plist_array_set_item(plist_dict_get_item(r.get(), kButtonArrayKey),
                                          plist_new_string("0"), 5);
                   }),
                   false, "control 5 is not a dictionary"});
  cases.push_back({"GlobalValue not a dictionary", xmlWith([](PlistNode& r) {
                     plist_dict_set_item(r.get(), kGlobalValueKey, plist_new_string("0"));
                   }),
                   false, "\"GlobalValue\" is not a dictionary"});
  cases.push_back({"no ButtonArray",
                   xmlWith([](PlistNode& r) { plist_dict_remove_item(r.get(), kButtonArrayKey); }),
                   false, "no \"ButtonArray\""});
  cases.push_back({"ButtonArray not an array", xmlWith([](PlistNode& r) {
                     plist_dict_set_item(r.get(), kButtonArrayKey, plist_new_dict());
                   }),
                   false, "\"ButtonArray\" is not an array"});
  cases.push_back({"root is an array",
                   "<?xml version=\"1.0\" encoding=\"UTF-8\"?><plist version=\"1.0\">"
                   "<array/></plist>",
                   false, "not a preset dictionary"});
  cases.push_back({"missing GlobalValue",
                   xmlWith([](PlistNode& r) { plist_dict_remove_item(r.get(), kGlobalValueKey); }),
                   true, ""});
  cases.push_back({"integers, extra keys and letters", xmlWith([](PlistNode& r) {
                     plist_dict_set_item(test::controlDic(r, 0), "Value", plist_new_uint(0));
                     plist_dict_set_item(test::controlDic(r, 1), "Value", plist_new_string(" 1x"));
                     plist_dict_set_item(r.get(), "Comment", plist_new_array());
                   }),
                   true, ""});
  cases.push_back({"empty file", "", false, "empty"});
  cases.push_back({"10 MB file", std::string(10 * 1024 * 1024, ' ') + valid, false, "too large"});
  {
    // Entities are never expanded: a document declaring any is refused.
    std::string laughs =
        "<?xml version=\"1.0\"?><!DOCTYPE plist [<!ENTITY a \"haha\">"
        "<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\"><!ENTITY c "
        "\"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\">"
        "<!ENTITY d \"&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;\"><!ENTITY e "
        "\"&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;\">"
        "<!ENTITY f \"&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;\"><!ENTITY g "
        "\"&f;&f;&f;&f;&f;&f;&f;&f;&f;&f;\">"
        "<!ENTITY h \"&g;&g;&g;&g;&g;&g;&g;&g;&g;&g;\"><!ENTITY i "
        "\"&h;&h;&h;&h;&h;&h;&h;&h;&h;&h;\">]>"
        "<plist version=\"1.0\"><dict><key>ButtonArray</key><string>&i;</string></dict></plist>";
    cases.push_back({"entity expansion", laughs, false, "declares its own document type"});
  }
  // Files made to exhaust the parser's stack, time or memory, all under the
  // size limit: refused before the property-list library sees them.
  namespace hostile = test::hostile;
  cases.push_back({"arrays nested 40,000 deep", hostile::deepXml(40000), false, "nested deeper"});
  cases.push_back({"binary arrays nested 100,000 deep", hostile::deepBinary(100000), false,
                   "objects, far more"});
  cases.push_back({"binary arrays nested 9 deep", hostile::deepBinary(9), false, "nested deeper"});
  cases.push_back({"binary objects shared 10^24 times", hostile::sharedBinary(6, 10000), false,
                   "more than 16384 values"});
  cases.push_back({"binary array holding itself", hostile::cyclicBinary(), false,
                   "contains itself"});
  cases.push_back({"a megabyte of values", hostile::wideXml(kMaxPresetFileBytes), false,
                   "more than 16384 elements"});
  {
    // A binary file whose trailer points outside it.
    std::string broken = test::hostile::deepBinary(3);
    broken[broken.size() - 1] = '\x7F';
    cases.push_back({"offset table outside the file", broken, false, "offset table"});
    cases.push_back({"unclosed comment", std::string(valid).replace(valid.find("<plist"), 6, "<!--"),
                     false, "not a property list"});
  }
  return cases;
}

TEST_F(FileActionTest, DamagedDocumentsAreRefusedAndLeaveTheWorkingCopyAlone) {
  writeSampleWorkingCopy();
  const std::string before = readAll(workingCopy());
  const fs::path document = tmp_ / "document.padkbd";
  for (const DamageCase& c : damageCases()) {
    SCOPED_TRACE(c.name);
    writeAll(document, c.bytes);
    // Start each case from the known working copy.
    writeAll(workingCopy(), before);

    const PresetRead parsed = parsePreset(c.bytes);
    EXPECT_EQ(static_cast<bool>(parsed.outcome), c.accepted) << parsed.outcome.message();
    EXPECT_NE(parsed.outcome.message().find(c.message), std::string::npos)
        << parsed.outcome.message();

    const Outcome imported = files_.importDocument(document);
    EXPECT_EQ(static_cast<bool>(imported), c.accepted) << imported.message();
    if (c.accepted) {
      // Written as XML, whatever the document's syntax, and readable as a preset.
      const std::string now = readAll(workingCopy());
      EXPECT_EQ(now.rfind("<?xml", 0), 0u);
      EXPECT_EQ(now, presetToXml(parsed.preset.buttons, *parsed.preset.global));
      EXPECT_TRUE(files_.readTempPreset().outcome);
    } else {
      EXPECT_NE(imported.message().find(document.string()), std::string::npos);
      EXPECT_NE(imported.message().find(c.message), std::string::npos) << imported.message();
      EXPECT_EQ(readAll(workingCopy()), before);
    }
  }
  // Nothing was left beside the working copy.
  EXPECT_EQ(entriesIn(workingCopy().parent_path()), 1u);
}

TEST_F(FileActionTest, ImportLogsAndHandlesUnreadableDocuments) {
  writeSampleWorkingCopy();
  const std::string before = readAll(workingCopy());

  log::Capture capture;
  const fs::path document = tmp_ / "doc.padkbd";
  const Preset defaults = files_.defaultPreset();
  ASSERT_TRUE(writePresetFile(document, defaults.buttons, *defaults.global));
  ASSERT_TRUE(files_.importDocument(document));
  EXPECT_EQ(capture.count("path---->" + document.string()), 1u);
  EXPECT_EQ(capture.count("fileContext---->" + readAll(document)), 1u);
  EXPECT_TRUE(test::sameValues(files_.readTempPreset().preset, defaults));

  writeAll(workingCopy(), before);
  EXPECT_FALSE(files_.importDocument(tmp_ / "does-not-exist.padkbd"));
  EXPECT_FALSE(files_.importDocument(tmp_.path()));  // a folder
  EXPECT_EQ(readAll(workingCopy()), before);

  // Binary documents are logged by size, not as raw bytes.
  capture.clear();
  char* bin = nullptr;
  std::uint32_t length = 0;
  PlistNode root = test::presetDic(defaults);
  plist_to_bin(root.get(), &bin, &length);
  writeAll(document, std::string(bin, length));
  plist_to_bin_free(bin);
  ASSERT_TRUE(files_.importDocument(document));
  EXPECT_TRUE(anyStartsWith(capture.diagnostics(), "fileContext----><binary property list, "));
}

TEST_F(FileActionTest, ExportCopiesTheWorkingCopyAtomically) {
  writeSampleWorkingCopy();
  log::Capture capture;
  const fs::path document = tmp_ / "Untitle.padkbd";
  ASSERT_TRUE(files_.exportWorkingCopy(document));
  EXPECT_EQ(readAll(document), readAll(workingCopy()));
  EXPECT_EQ(capture.count("save path--->" + document.string()), 1u);
  EXPECT_EQ(capture.count("dicdata--->" + readAll(workingCopy())), 1u);

  // A second save replaces the first whole.
  const Preset defaults = files_.defaultPreset();
  ASSERT_TRUE(files_.WriteButtonValuesToTempWithData(defaults.buttons, *defaults.global));
  ASSERT_TRUE(files_.exportWorkingCopy(document));
  EXPECT_TRUE(test::sameValues(readPresetFile(document).preset, defaults));
  EXPECT_EQ(entriesIn(tmp_.path()), 3u);  // data, resources, the document: nothing beside it
}

TEST_F(FileActionTest, FailedSavesAreReportedAndTheOldDocumentStaysWhole) {
  writeSampleWorkingCopy();
  const fs::path document = tmp_ / "old.padkbd";
  writeAll(document, "the old document");

  // A destination below a regular file cannot be written.
  const Outcome below = files_.exportWorkingCopy(document / "new.padkbd");
  EXPECT_FALSE(below);
  EXPECT_NE(below.message().find("Could not write"), std::string::npos) << below.message();
  EXPECT_EQ(readAll(document), "the old document");

  // A destination that is a folder stays a folder.
  fs::create_directory(tmp_ / "folder.padkbd");
  writeAll(tmp_ / "folder.padkbd" / "inside", "x");
  EXPECT_FALSE(files_.exportWorkingCopy(tmp_ / "folder.padkbd"));
  EXPECT_EQ(readAll(tmp_ / "folder.padkbd" / "inside"), "x");

  // A write that fails part way (file size limit) leaves the old document
  // whole and nothing beside it.
  {
    struct rlimit old {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    auto previous = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 1000;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const Outcome partial = files_.exportWorkingCopy(document);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);
    EXPECT_FALSE(partial);
    EXPECT_NE(partial.message().find(document.string()), std::string::npos);
  }
  EXPECT_EQ(readAll(document), "the old document");
  for (const auto& entry : fs::directory_iterator(tmp_.path())) {
    EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos)
        << entry.path().filename();
  }

  // An unusable working copy is never copied into the document, and a
  // missing one is not replaced by the shipped copy.
  writeAll(workingCopy(), "damaged");
  EXPECT_FALSE(files_.exportWorkingCopy(document));
  fs::remove(workingCopy());
  const Outcome missing = files_.exportWorkingCopy(document);
  EXPECT_FALSE(missing);
  EXPECT_NE(missing.message().find("working copy"), std::string::npos);
  EXPECT_FALSE(fs::exists(workingCopy()));
  EXPECT_EQ(readAll(document), "the old document");

  // A working copy whose folder cannot be made is reported too.
  writeAll(tmp_ / "plain-file", "x");
  FileAction blocked(resourceDir_, tmp_ / "plain-file" / "padkbd" / "temp.plist");
  const Preset sample = test::samplePreset();
  EXPECT_FALSE(blocked.WriteButtonValuesToTempWithData(sample.buttons, *sample.global));
  EXPECT_FALSE(blocked.readTempPreset().outcome);
}

TEST_F(FileActionTest, NoTemporaryFileOutlivesItsProgram) {
  const fs::path document = tmp_ / "doc.padkbd";
  // A signal that ends the program removes a file being written, and the
  // program ends with 128 + the signal's number.
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
    const pid_t child = ::fork();
    if (child == 0) {
      const fs::path temporary = tempfiles::siblingFor(document, 7);
      tempfiles::removeOnSignals();
      tempfiles::add(temporary);
      writeAll(temporary, "half a document");
      ::raise(signal);
      ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 128 + signal);
    EXPECT_EQ(entriesIn(tmp_.path()), 1u);  // resources only: the file is gone
  }

  // What a run killed outright left is removed by the next write of the same
  // file; files of running processes and of other files stay.
  const pid_t gone = ::fork();
  if (gone == 0) ::_exit(0);
  ::waitpid(gone, nullptr, 0);
  const auto name = [&](const std::string& file, long pid) {
    return tmp_ / ("." + file + "." + std::to_string(pid) + "-3.tmp");
  };
  for (const fs::path& path : {name("doc.padkbd", gone), name("doc.padkbd", ::getpid()),
                               name("doc.padkbd", 1), name("other.padkbd", gone)}) {
    writeAll(path, "left");
  }
  ASSERT_TRUE(writeFileAtomically(document, "new"));
  EXPECT_FALSE(fs::exists(name("doc.padkbd", gone)));
  EXPECT_TRUE(fs::exists(name("doc.padkbd", ::getpid())));
  EXPECT_TRUE(fs::exists(name("doc.padkbd", 1)));
  EXPECT_TRUE(fs::exists(name("other.padkbd", gone)));
  EXPECT_EQ(readAll(document), "new");
}

TEST_F(FileActionTest, DefaultPresetFallsBackToTheBuiltInCopy) {
  const PresetRead shipped = readPresetFile(resourceDir_ / "default.plist");
  ASSERT_TRUE(shipped.outcome) << shipped.outcome.message();
  {
    log::Capture capture;
    EXPECT_TRUE(test::sameValues(files_.defaultPreset(), shipped.preset));
    EXPECT_TRUE(capture.diagnostics().empty());
  }
  const PresetRead builtin = parsePreset(builtinDefaultPresetXml());
  ASSERT_TRUE(builtin.outcome) << builtin.outcome.message();
  EXPECT_TRUE(test::sameValues(builtin.preset, shipped.preset));

  // Damaged: refused, built-in used, reason logged.
  writeAll(resourceDir_ / "default.plist", "<?xml version=\"1.0\"?><plist><dict>");
  {
    log::Capture capture;
    const Preset preset = files_.defaultPreset();
    EXPECT_TRUE(test::sameValues(preset, builtin.preset));
    ASSERT_EQ(capture.diagnostics().size(), 1u);
    EXPECT_NE(capture.diagnostics()[0].find("is refused"), std::string::npos);
    EXPECT_NE(capture.diagnostics()[0].find("built-in"), std::string::npos);
  }
  // Valid property list, but a value out of range.
  PlistNode root = test::presetDic(shipped.preset);
  plist_dict_set_item(test::controlDic(root, 60), "Channel", plist_new_string("40"));
  writeAll(resourceDir_ / "default.plist", root.toXml());
  EXPECT_TRUE(test::sameValues(files_.defaultPreset(), builtin.preset));

  // Missing.
  fs::remove(resourceDir_ / "default.plist");
  log::Capture capture;
  const Preset preset = files_.defaultPreset();
  EXPECT_EQ(preset.buttons.size(), 64u);
  EXPECT_TRUE(test::sameValues(preset, builtin.preset));
  EXPECT_NE(capture.diagnostics().at(0).find("missing"), std::string::npos);
}

TEST_F(FileActionTest, ResourceLookupByNameAndType) {
  EXPECT_EQ(files_.pathForResource("default", "plist"), resourceDir_ / "default.plist");
  EXPECT_EQ(files_.pathForResource("basic", "plist"), resourceDir_ / "basic.plist");
  EXPECT_FALSE(files_.pathForResource("selected", "png"));
  EXPECT_FALSE(fs::exists(resourceDir_ / "selected.png"));  // never created
  EXPECT_FALSE(files_.pathForResource("../resources/default", "plist"));
  EXPECT_FALSE(files_.pathForResource("", "plist"));
  fs::create_directory(resourceDir_ / "folder.plist");
  EXPECT_FALSE(files_.pathForResource("folder", "plist"));
}

TEST_F(FileActionTest, FindsTheResourceDirectoryOfBuiltAndInstalledPrograms) {
  test::ScopedEnv noOverride("PADKBD_RESOURCE_DIR", "");
  const fs::path build = tmp_ / "build";
  fs::create_directories(build / "resources");
  fs::create_directories(build / "editor");
  writeAll(build / "resources" / "basic.plist", "x");
  EXPECT_EQ(FileAction::findResourceDir(build / "editor" / "padkbd-editor"), build / "resources");
  EXPECT_EQ(FileAction::findResourceDir(build / "padkbd"), build / "resources");

  const fs::path prefix = tmp_ / "prefix";
  fs::create_directories(prefix / "bin");
  fs::create_directories(prefix / "share" / "padkbd");
  writeAll(prefix / "share" / "padkbd" / "default.plist", "x");
  EXPECT_EQ(FileAction::findResourceDir(prefix / "bin" / "padkbd"), prefix / "share" / "padkbd");
  // Nothing found: the installed place, where lookups simply fail.
  EXPECT_EQ(FileAction::findResourceDir(tmp_ / "elsewhere" / "bin" / "padkbd"),
            tmp_ / "elsewhere" / "share" / "padkbd");

  test::ScopedEnv overrideDir("PADKBD_RESOURCE_DIR", (tmp_ / "mine").string());
  EXPECT_EQ(FileAction::findResourceDir(build / "editor" / "padkbd-editor"), tmp_ / "mine");
}

}  // namespace
}  // namespace padkbd
