#include <gmock/gmock.h>
#include <pwd.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <set>
#include <vector>

#include "storage/TempFiles.h"
#include "tests/storage/StorageFixtures.h"
#include "tests/support/HostilePlists.h"

namespace padkbd {
namespace {

namespace fs = std::filesystem;
using test::readAll;
using test::writeAll;

std::size_t entriesIn(const fs::path& dir) {
  return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir), {}));
}

// A FileAction over a private copy of the shipped resources, with the sample
// preset in its working copy under a temporary XDG_DATA_HOME.
class FileActionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::copy(PADKBD_TEST_RESOURCE_DIR, resources_, fs::copy_options::recursive);
    ASSERT_TRUE(files_.WriteButtonValuesToTempWithData(sample_.buttons, *sample_.global));
  }
  const fs::path& workingCopy() const { return files_.workingCopyPath(); }

  test::TempDir tmp_;
  test::ScopedEnv xdg_{"XDG_DATA_HOME", (tmp_ / "data").string()};
  fs::path resources_ = tmp_ / "resources";
  FileAction files_{resources_, FileAction::defaultWorkingCopyPath()};
  const Preset sample_ = test::samplePreset();
};

TEST_F(FileActionTest, WorkingCopyIsSeededOnceAndReplacedWhole) {
  EXPECT_TRUE(test::sameValues(files_.readTempPreset().value(), sample_));  // not reseeded
  const Preset defaults = files_.defaultPreset();
  ASSERT_TRUE(files_.WriteButtonValuesToTempWithData(defaults.buttons, *defaults.global));
  EXPECT_EQ(readAll(workingCopy()), presetToXml(defaults.buttons, *defaults.global));

  // Seeded when first needed from the shipped working copy, else the default preset.
  FileAction fresh(resources_, tmp_ / "fresh" / "temp.plist");
  ASSERT_TRUE(fresh.readTempPreset());
  EXPECT_EQ(readAll(fresh.workingCopyPath()), readAll(resources_ / "temp.plist"));
  fs::remove(resources_ / "temp.plist");
  FileAction unshipped(resources_, tmp_ / "unshipped" / "temp.plist");
  EXPECT_TRUE(test::sameValues(unshipped.readTempPreset().value(), defaults));
}

constexpr int kRoot = -1, kGlobal = -2;

// The sample preset's document with `key` of a control, of the global
// settings or of the root set to `value` (removed when none); with no key,
// the control itself is replaced, removed, or (at 64) one is added.
std::string edited(int where, const char* key, plist_t value) {
  const Preset sample = test::samplePreset();
  PlistNode root = ButtonAction::GetDicFromPreset(sample.buttons, *sample.global);
  plist_t controls = plist_dict_get_item(root.get(), kButtonArrayKey);
  plist_t dic = where == kRoot     ? root.get()
                : where == kGlobal ? plist_dict_get_item(root.get(), kGlobalValueKey)
                                   : plist_array_get_item(controls, where);
  if (key != nullptr && value != nullptr) plist_dict_set_item(dic, key, value);
  if (key != nullptr && value == nullptr) plist_dict_remove_item(dic, key);
  if (key == nullptr && value == nullptr) plist_array_remove_item(controls, where);
  if (key == nullptr && value != nullptr)
    where == kControlCount ? plist_array_append_item(controls, value)
                           : plist_array_set_item(controls, value, where);
  return root.toXml();
}

// Documents, and what their refusal says (empty: accepted).
std::vector<std::pair<std::string, std::string>> documents() {
  const std::string valid = edited(kRoot, "Comment", plist_new_array());
  plist_t flags = plist_new_array();  // <true/> ten times: empty elements nest nothing
  for (int n = 0; n < 10; ++n) plist_array_append_item(flags, plist_new_bool(1));
  std::string notUtf8 = valid;
  notUtf8.insert(notUtf8.find("<key>ButtonArray"), "<key>\xff\xfe</key><string>x</string>");
  std::string cdata = valid;  // what a CDATA section holds is text, nested nine deep or not
  cdata.insert(cdata.find("<key>ButtonArray"),
               "<key>N</key><string><![CDATA[<a><a><a><a><a><a><a><a><a>]]></string>");
  std::string brokenTrailer = test::hostile::deepBinary(3);
  brokenTrailer.back() = '\x7F';  // the offset table lies outside the file
  // An array holding object 1 (at 10, two bytes) before the offset table (at
  // 12): object 1 made a length that runs into the table, each way.
  const auto pastTheObjects = [](std::initializer_list<std::pair<std::size_t, char>> bytes) {
    std::string made = test::hostile::deepBinary(1);
    for (const auto& [at, byte] : bytes) made[at] = byte;
    return made;
  };
  const std::string past = "the binary property list is broken: object 1 runs past the objects";
  namespace hostile = test::hostile;
  const char* const kDeep =
      "the property list is nested deeper than a preset can be (more than 8 levels)";
  return {
      {valid, ""},
      {test::binaryOf(edited(kRoot, "Saved", plist_new_date(700000000, 0))), ""},  // and a date
      {edited(kRoot, kGlobalValueKey, nullptr), ""},
      {cdata, ""},
      {edited(kRoot, "Flags", flags), ""},
      // Text in every width of UTF-8: 2, 3 and 4 bytes (é, ♪, 🎹).
      {edited(kRoot, "Comment", plist_new_string("caf\xc3\xa9 \xe2\x99\xaa \xf0\x9f\x8e\xb9")), ""},
      {"", "the file is empty"},
      {std::string(valid).replace(valid.find("<plist"), 6, "<!--"),
       "the file is not a property list"},
      {std::string(10 << 20, ' ') + valid,
       "the file is too large for a preset (10517513 bytes, at most 1048576)"},
      {notUtf8, "the file is neither a binary property list nor UTF-8 text"},
      {edited(kRoot, kButtonArrayKey, nullptr), "the preset has no \"ButtonArray\""},
      {edited(kRoot, kButtonArrayKey, plist_new_dict()), "\"ButtonArray\" is not an array"},
      {edited(63, nullptr, nullptr), "\"ButtonArray\" has 63 controls instead of 64"},
      {edited(64, nullptr, plist_new_dict()), "\"ButtonArray\" has 65 controls instead of 64"},
      {edited(5, nullptr, plist_new_string("0")), "Knob 6 is not a dictionary"},
      {edited(4, "Mode", plist_new_array()), "Knob 5: \"Mode\" holds an array, not a number"},
      {edited(30, "CG", plist_new_string("-1")), "Pad 23: green -1 is outside 0-127"},
      {edited(kRoot, kGlobalValueKey, plist_new_string("")), "\"GlobalValue\" is not a dictionary"},
      {edited(kGlobal, "mem", plist_new_data("", 0)),
       "global settings: \"mem\" holds data, not a number"},
      // Entities are never expanded, and documents made to exhaust the
      // parser's stack, time or memory are refused before it sees them.
      {"<?xml version=\"1.0\"?><!DOCTYPE plist [<!ENTITY a \"haha\"><!ENTITY b \"&a;&a;&a;\">]>"
       "<plist version=\"1.0\"><dict><key>ButtonArray</key><string>&b;</string></dict></plist>",
       "the property list declares its own document type, which no preset does"},
      // A quoted attribute value may hold what ends a tag elsewhere.
      {hostile::deepXml(40000, "<array a=\"/>\">"), kDeep},
      {hostile::deepBinary(100000),
       "the property list has 100001 objects, far more than a preset (at most 4096)"},
      // Eight levels are the most a document may nest, in either form.
      {hostile::deepXml(6), "the file is not a preset dictionary"},
      {hostile::deepXml(7), kDeep},
      // A document type just before the root, with nothing between them, still counts the root.
      {[] {
         std::string d = hostile::deepXml(7);
         return d.insert(d.find("<plist"), "<!DOCTYPE plist>");
       }(),
       kDeep},
      {hostile::deepBinary(7), "the file is not a preset dictionary"},
      {hostile::deepBinary(8), kDeep},
      {hostile::sharedBinary(6, 10000),
       "the property list holds more than 16384 values, far more than a preset"},
      {hostile::cyclicBinary(), "the binary property list is broken: an object contains itself"},
      {hostile::wideXml(kMaxPresetFileBytes),
       "the property list holds more than 16384 elements, far more than a preset"},
      {brokenTrailer, "the binary property list is broken: its offset table lies outside the file"},
      {pastTheObjects({{11, '\x5F'}, {13, '\x0B'}}), past},  // its length's marker missing
      {pastTheObjects({{10, '\x5F'}, {11, '\x13'}}), past},  // its 8-byte length cut off
      {pastTheObjects({{10, '\xA5'}}), past},                // five references, room for one
      {pastTheObjects({{10, '\x33'}}), past},                // a date: eight bytes after it
      {pastTheObjects({{21, '\x09'}}),                       // references of nine bytes
       "the binary property list is broken: its trailer gives impossible sizes"},
  };
}

TEST_F(FileActionTest, DocumentsAreCheckedBeforeTheyReachTheWorkingCopy) {
  const std::string before = readAll(workingCopy());
  const fs::path document = tmp_ / "document.padkbd";
  for (const auto& [bytes, refusal] : documents()) {
    SCOPED_TRACE(refusal);
    writeAll(document, bytes);
    writeAll(workingCopy(), before);
    const PresetRead parsed = parsePreset(bytes);
    EXPECT_EQ(parsed.message(), refusal);  // (and the code below says whether it is a failure)
    const std::string why = refusal.empty() ? "" : ": " + parsed.message();
    const PresetRead imported = files_.importDocument(document);
    EXPECT_EQ(imported.message(), why.empty() ? "" : "Could not load " + document.string() + why);
    // Of the kind its reason names: too large, values a preset cannot hold, or damaged.
    const auto says = [&refusal](const char* words) {
      return refusal.find(words) != std::string::npos;
    };
    const Code code = refusal.empty()                                  ? Code::Ok
                      : says("too large")                              ? Code::FileTooLarge
                      : says("is outside") || says("controls instead") ? Code::FileInvalid
                                                                       : Code::FileDamaged;
    EXPECT_EQ(std::pair(parsed.code(), imported.code()), std::pair(code, code));
    EXPECT_TRUE(!parsed || test::sameValues(imported.value(), *parsed));
    // An XML document as it is (its own keys and integers kept), a binary one as XML.
    const std::string expected = !refusal.empty() ? before
                                 : isBinaryPlist(bytes)
                                     ? presetToXml(parsed->buttons, *parsed->global)
                                     : bytes;
    EXPECT_EQ(readAll(workingCopy()), expected);
  }
  EXPECT_EQ(files_.importDocument(tmp_ / "missing.padkbd").code(), Code::FileMissing);
  EXPECT_EQ(files_.importDocument(tmp_.path()).code(), Code::FileUnreadable);  // a folder
  EXPECT_EQ(readAll(workingCopy()), before);
  EXPECT_EQ(entriesIn(workingCopy().parent_path()), 1u);
}

TEST_F(FileActionTest, SavesReplaceTheDocumentWholeOrLeaveItAlone) {
  // Byte for byte what the working copy holds for the preset, which is never
  // read back: whatever another window left there does not matter.
  const fs::path document = tmp_ / "old.padkbd";
  const std::string old = readAll(workingCopy());
  writeAll(workingCopy(), "damaged");
  ASSERT_TRUE(files_.exportPreset(sample_, document));
  EXPECT_EQ(readAll(document), old);

  // Below a regular file, or over a folder (which stays one).
  fs::create_directories(tmp_ / "folder.padkbd" / "inside");
  for (const fs::path& bad : {document / "new.padkbd", tmp_ / "folder.padkbd"}) {
    EXPECT_THAT(files_.exportPreset(sample_, bad).message(),
                testing::StartsWith("Could not write " + bad.string() + ": "));
  }
  EXPECT_TRUE(fs::is_directory(tmp_ / "folder.padkbd" / "inside"));

  // A write that fails part way (file size limit).
  rlimit limit{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &limit), 0);
  const auto previous = std::signal(SIGXFSZ, SIG_IGN);
  const rlimit small{1000, limit.rlim_max};
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const Outcome partial = files_.exportPreset(sample_, document);
  setrlimit(RLIMIT_FSIZE, &limit);
  std::signal(SIGXFSZ, previous);
  EXPECT_FALSE(partial);
  EXPECT_EQ(entriesIn(tmp_.path()), 4u);  // data, resources, the two documents: no temporary
  // Each write that failed gave its temporary file's registration back.
  EXPECT_EQ(tempfiles::add(document), 0);
  tempfiles::remove(0);

  // An unusable preset never reaches the document.
  Preset unusable = copyOf(sample_);
  unusable.buttons[13]->channel = 99;
  EXPECT_EQ(files_.exportPreset(unusable, document).message(),
            "Could not save " + document.string() + ": " + checkPreset(unusable).message());
  EXPECT_EQ(readAll(document), old);

  // A working copy whose folder cannot be made.
  FileAction blocked(resources_, document / "padkbd" / "temp.plist");
  EXPECT_FALSE(blocked.WriteButtonValuesToTempWithData(sample_.buttons, *sample_.global));
  EXPECT_FALSE(blocked.readTempPreset());
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
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 128 + signal) << status;
    EXPECT_EQ(entriesIn(tmp_.path()), 2u);  // data and resources only
  }

  // Registering: a path too long for a slot, or none left, is refused (the
  // next write removes such a file, as if killed); a slot given back is free.
  EXPECT_EQ(tempfiles::add(std::string(4096, 'x')), -1);
  std::vector<int> slots;
  for (int n = 0; n < 16; ++n) slots.push_back(tempfiles::add(document));
  EXPECT_EQ(std::set<int>(slots.begin(), slots.end()).size(), 16u);
  EXPECT_EQ(tempfiles::add(document), -1);
  for (int outside : {-1, 16}) tempfiles::remove(outside);
  tempfiles::remove(slots[3]);
  EXPECT_EQ(tempfiles::add(document), slots[3]);
  for (int slot : slots) tempfiles::remove(slot);

  // What a run killed outright left is removed by the next write of the same
  // file; files of running processes and of other (like-named) files stay.
  const pid_t gone = ::fork();
  if (gone == 0) ::_exit(0);
  ::waitpid(gone, nullptr, 0);
  const auto left = [&](const std::string& file, long pid) {
    const fs::path path = tmp_ / ("." + file + "." + std::to_string(pid) + "-3.tmp");
    writeAll(path, "left");
    return path;
  };
  const fs::path stale = left("doc.padkbd", gone);
  const std::vector<fs::path> kept = {left("doc.padkbd", ::getpid()), left("doc.padkbd", 1),
                                      left("dot.padkbd", gone)};
  ASSERT_TRUE(writeFileAtomically(document, "new"));
  EXPECT_FALSE(fs::exists(stale));
  for (const fs::path& path : kept) EXPECT_TRUE(fs::exists(path)) << path;
  EXPECT_EQ(readAll(document), "new");
}

TEST_F(FileActionTest, ShippedPresetsAreValidAndTheDefaultIsBuiltIn) {
  // In the very form the program writes, and the same in the build tree.
  for (const char* name : {"default.plist", "temp.plist"}) {
    const fs::path file = fs::path(PADKBD_SOURCE_RESOURCE_DIR) / name;
    const PresetRead read = readPresetFile(file);
    ASSERT_TRUE(read) << name << ": " << read.message();
    EXPECT_EQ(readAll(file), presetToXml(read->buttons, *read->global)) << name;
    EXPECT_EQ(readAll(resources_ / name), readAll(file)) << name;
  }
  EXPECT_EQ(builtinDefaultPresetXml(), readAll(resources_ / "default.plist"));

  // An out-of-range (as any refused) or missing default.plist: the built-in copy.
  const Preset builtin = files_.defaultPreset();
  for (const std::string& damaged :
       {edited(60, "Channel", plist_new_string("40")), std::string()}) {
    damaged.empty() ? void(fs::remove(resources_ / "default.plist"))
                    : writeAll(resources_ / "default.plist", damaged);
    files_.defaultPreset().buttons[0]->value += 1;  // each caller edits records of its own
    EXPECT_TRUE(test::sameValues(files_.defaultPreset(), builtin));
  }

  // Choice lists: a list that is no array is left out; a file that is no
  // dictionary gives none. (No file: EditSessionBare.WithoutTheirNamesControlsAreNumbered.)
  writeAll(resources_ / "basic.plist",
           "<plist><dict><key>mem</key><string>1</string><key>select127</key>"
           "<array><string>0</string></array></dict></plist>");
  EXPECT_EQ(files_.readChoiceLists(),
            (std::map<std::string, std::vector<std::string>>{{"select127", {"0"}}}));
  writeAll(resources_ / "basic.plist", "<plist><array/></plist>");
  EXPECT_TRUE(files_.readChoiceLists().empty());
}

TEST_F(FileActionTest, TheWorkingCopyFollowsXdgDataHomeAndResourcesAreFoundBesideTheProgram) {
  EXPECT_EQ(workingCopy(), tmp_ / "data" / "padkbd" / "temp.plist");
  {  // Without HOME, the user's home from the system.
    test::ScopedEnv none("HOME", ""), xdg("XDG_DATA_HOME", "");
    EXPECT_EQ(FileAction::defaultWorkingCopyPath(),
              fs::path(::getpwuid(::getuid())->pw_dir) / ".local/share/padkbd/temp.plist");
  }
  test::ScopedEnv home("HOME", tmp_.path().string());
  for (const char* ignored : {"", "relative/dir"}) {
    test::ScopedEnv xdg("XDG_DATA_HOME", ignored);
    EXPECT_EQ(FileAction::defaultWorkingCopyPath(), tmp_ / ".local/share/padkbd/temp.plist");
  }
  EXPECT_EQ(files_.pathForResource("basic", "plist"), resources_ / "basic.plist");
  fs::create_directory(resources_ / "folder.plist");
  for (const char* name : {"selected", "../resources/default", "", "folder"})
    EXPECT_FALSE(files_.pathForResource(name, "plist")) << name;

  // Built: resources/ beside the program or its folder; installed: share/padkbd beside bin/.
  test::ScopedEnv noOverride("PADKBD_RESOURCE_DIR", "");
  EXPECT_EQ(FileAction::findResourceDir(tmp_ / "editor" / "padkbd-editor"), resources_);
  EXPECT_EQ(FileAction::findResourceDir(tmp_ / "padkbd"), resources_);
  fs::create_directories(tmp_ / "usr" / "share" / "padkbd");
  writeAll(tmp_ / "usr" / "share" / "padkbd" / "default.plist", "x");
  EXPECT_EQ(FileAction::findResourceDir(tmp_ / "usr/bin/padkbd"), tmp_ / "usr/share/padkbd");
  // Nothing found: the installed place, where lookups simply fail.
  EXPECT_EQ(FileAction::findResourceDir(tmp_ / "elsewhere" / "bin" / "padkbd"),
            tmp_ / "elsewhere" / "share" / "padkbd");
  test::ScopedEnv overrideDir("PADKBD_RESOURCE_DIR", (tmp_ / "mine").string());
  EXPECT_EQ(FileAction::findResourceDir(tmp_ / "padkbd"), tmp_ / "mine");
}

}  // namespace
}  // namespace padkbd
