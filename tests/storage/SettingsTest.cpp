// The settings file: what a user or `padkbd use` writes, damaged files, and
// which value is in force.
#include "storage/Settings.h"

#include <gmock/gmock.h>

#include "tests/storage/StorageFixtures.h"

namespace padkbd {
namespace {

using test::readAll;
using testing::HasSubstr;

TEST(Settings, StoredValuesComeBackAndOtherContentsStay) {
  test::TempDir dir;
  const SettingsFile file(dir / "padkbd" / "settings.toml");
  EXPECT_TRUE(file.read());  // no file: nothing set, no complaint
  ASSERT_TRUE(file.storeKeyboard({UsbIds{0x1234, 0xABCD}, std::nullopt}));
  ASSERT_TRUE(file.storeKeyboard({std::nullopt, ManufacturerId{0x00, 0x20, 0x6B}}));
  EXPECT_EQ(file.read().value(),
            (KeyboardSettings{UsbIds{0x1234, 0xABCD}, ManufacturerId{0x00, 0x20, 0x6B}}));

  // A user's own table survives a store and a reset.
  test::writeAll(file.path(), readAll(file.path()) + "\n[editor]\ntheme = \"dark\"\n");
  ASSERT_TRUE(file.storeKeyboard({UsbIds{0x0001, 0x0002}, std::nullopt}));
  ASSERT_TRUE(file.forgetKeyboard());
  EXPECT_EQ(file.read().value(), KeyboardSettings{});
  EXPECT_THAT(readAll(file.path()), HasSubstr("theme = 'dark'"));
  // Sends are confirmed until the user says otherwise, and again when asked; the log is
  // detailed only when asked for.
  EXPECT_TRUE(file.confirmsSend());
  EXPECT_FALSE(file.detailedLog());
  for (const bool confirm : {false, true}) {
    ASSERT_TRUE(file.storeConfirmsSend(confirm) && file.storeDetailedLog(!confirm));
    EXPECT_EQ(file.confirmsSend(), confirm);
    EXPECT_EQ(file.detailedLog(), !confirm);
  }
}

TEST(Settings, DamagedFilesAreReportedAndNeverOverwritten) {
  test::TempDir dir;
  const SettingsFile file(dir / "settings.toml");
  for (const auto& [text, why, code] : std::vector<std::tuple<std::string, std::string, Code>>{
           {"[keyboard\n", "line 1: Error while parsing table header: expected ']', saw '\\n'",
            Code::FileDamaged},
           {"[keyboard]\ndevice = 1234\n", "keyboard.device is not \"VID:PID\" in hexadecimal",
            Code::FileInvalid},
           {"[keyboard]\nmanufacturer = \"00 80 00\"\n",
            "keyboard.manufacturer is not three bytes 00-7f in hexadecimal (\"00 20 6b\")",
            Code::FileInvalid},
           {"keyboard = 3\n", "\"keyboard\" is not a table", Code::FileInvalid},
           {"[keyboard]\nport = \"\"\n", "keyboard.port is not a port name", Code::FileInvalid},
           {std::string(70 * 1024, '#'), "too large (71680 bytes)", Code::FileTooLarge}}) {
    SCOPED_TRACE(why);
    test::writeAll(file.path(), text);
    const SettingsRead settings = file.read();
    EXPECT_EQ(settings.message(), file.path().string() + ": " + why);  // a failure
    EXPECT_EQ(settings.code(), code);
    EXPECT_TRUE(file.confirmsSend()) << "a damaged file asks before every send";
    EXPECT_FALSE(file.detailedLog());
    EXPECT_EQ(file.storeKeyboard({UsbIds{1, 2}, std::nullopt}).message(),
              settings.message() + "; mend it, or forget it with \"padkbd use --reset\"");
    EXPECT_FALSE(file.storeConfirmsSend(false));
    EXPECT_EQ(readAll(file.path()), text);
    ASSERT_TRUE(file.forgetKeyboard());  // which clears the damage
    EXPECT_TRUE(file.read());
  }
  std::filesystem::create_directory(dir / "folder.toml");
  EXPECT_EQ(SettingsFile(dir / "folder.toml").read().code(), Code::FileDamaged);
  // Nothing to forget is no failure; a folder that cannot be made is named.
  EXPECT_TRUE(SettingsFile(dir / "none.toml").forgetKeyboard());
  test::writeAll(dir / "plain", "");
  EXPECT_EQ(SettingsFile(dir / "plain" / "x" / "s.toml").storeConfirmsSend(false).message(),
            "Could not create " + (dir / "plain" / "x").string() + ": Not a directory");
}

// A window's place is taken at both ends of its ranges and not one past:
// positions to ±100000, sizes from 1.
TEST(Settings, AWindowPlaceIsTakenOnlyWithinItsRanges) {
  test::TempDir dir;
  const SettingsFile file(dir / "settings.toml");
  EXPECT_FALSE(file.windowGeometry());
  for (const auto& [place, kept] :
       std::vector<std::pair<std::array<int, 4>, bool>>{{{-100000, 100000, 1, 100000}, true},
                                                        {{-100001, 0, 10, 10}, false},
                                                        {{0, 100001, 10, 10}, false},
                                                        {{0, 0, 0, 10}, false},
                                                        {{0, 0, 10, 100001}, false}}) {
    ASSERT_TRUE(file.storeWindowGeometry(place));
    EXPECT_EQ(file.windowGeometry(), kept ? std::optional(place) : std::nullopt) << place[0];
  }
  // (The other sources' names: the tool's "use", CliTest.)
  EXPECT_EQ(sourceName(SettingSource::CommandLine), "command line");
}

TEST(Settings, CommandLineOverSettingsFileOverBuild) {
  const SettingsRead stored(
      KeyboardSettings{UsbIds{0x1234, 0xABCD}, ManufacturerId{0x00, 0x20, 0x6B}});
  // (The settings file over the build: the tool's tests.)
  const ResolvedKeyboard mixed = resolveKeyboard(stored, {UsbIds{0x0AAA, 0x0BBB}, std::nullopt});
  EXPECT_EQ(std::tuple(mixed.id, mixed.usbSource, mixed.manufacturerSource),
            std::tuple(KeyboardId{{0x0AAA, 0x0BBB}, {0x00, 0x20, 0x6B}}, SettingSource::CommandLine,
                       SettingSource::SettingsFile));
  const ResolvedKeyboard bytes = resolveKeyboard(stored, {std::nullopt, ManufacturerId{1, 2, 3}});
  EXPECT_EQ(std::tuple(bytes.id, bytes.usbSource, bytes.manufacturerSource),
            std::tuple(KeyboardId{{0x1234, 0xABCD}, {1, 2, 3}}, SettingSource::SettingsFile,
                       SettingSource::CommandLine));
}

TEST(Settings, IdsAreParsedStrictly) {
  EXPECT_EQ(parseUsbIds("0x1209:0X00a1"), (UsbIds{0x1209, 0x00A1}));
  for (const char* bad : {"1209", "1209:", ":0001", "12345:1", "12g9:0001", "1209:0001:2", ""})
    EXPECT_FALSE(parseUsbIds(bad)) << bad;
  EXPECT_EQ(parseManufacturerId(" 00 20:6b"), (ManufacturerId{0x00, 0x20, 0x6B}));
  for (const char* bad : {"00206", "00206B0", "0 0206B", "00 20 8B", "00-20-6B", "zz206b"})
    EXPECT_FALSE(parseManufacturerId(bad)) << bad;
}

}  // namespace
}  // namespace padkbd
