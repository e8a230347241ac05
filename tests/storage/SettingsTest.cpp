// The settings file: what a user or `padkbd use` writes, damaged files, and
// which value is in force.
#include "storage/Settings.h"

#include <gtest/gtest.h>

#include <fstream>

#include "tests/support/TempDir.h"

namespace padkbd {
namespace {

void write(const std::filesystem::path& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
}

std::string read(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

TEST(Settings, StoredValuesComeBackAndOtherContentsStay) {
  test::TempDir dir;
  const SettingsFile file(dir / "padkbd" / "settings.toml");
  EXPECT_TRUE(file.read().outcome);  // no file: nothing set, no complaint
  EXPECT_EQ(file.read().keyboard, KeyboardSettings{});

  ASSERT_TRUE(file.storeKeyboard({UsbIds{0x1234, 0xABCD}, std::nullopt}));
  ASSERT_TRUE(file.storeKeyboard({std::nullopt, ManufacturerId{0x00, 0x20, 0x6B}}));
  const KeyboardSettings both{UsbIds{0x1234, 0xABCD}, ManufacturerId{0x00, 0x20, 0x6B}};
  EXPECT_EQ(file.read().keyboard, both);

  // A user's own table survives a store and a reset.
  write(file.path(), read(file.path()) + "\n[editor]\ntheme = \"dark\"\n");
  ASSERT_TRUE(file.storeKeyboard({UsbIds{0x0001, 0x0002}, std::nullopt}));
  EXPECT_NE(read(file.path()).find("theme = 'dark'"), std::string::npos) << read(file.path());
  ASSERT_TRUE(file.forgetKeyboard());
  EXPECT_EQ(file.read().keyboard, KeyboardSettings{});
  EXPECT_NE(read(file.path()).find("theme"), std::string::npos);
}

TEST(Settings, DamagedFilesAreReportedAndNeverOverwritten) {
  test::TempDir dir;
  const std::vector<std::pair<std::string, std::string>> damaged = {
      {"[keyboard\n", "line 1"},
      {"[keyboard]\ndevice = 1234\n", "keyboard.device"},
      {"[keyboard]\ndevice = \"12345:1\"\n", "keyboard.device"},
      {"[keyboard]\nmanufacturer = \"00 80 00\"\n", "keyboard.manufacturer"},
      {"keyboard = 3\n", "not a table"},
      {std::string(70 * 1024, '#'), "too large"},
  };
  for (const auto& [text, why] : damaged) {
    SCOPED_TRACE(text.substr(0, 40));
    const SettingsFile file(dir / "settings.toml");
    write(file.path(), text);
    const SettingsRead settings = file.read();
    EXPECT_FALSE(settings.outcome);
    EXPECT_NE(settings.outcome.message().find(why), std::string::npos) << settings.outcome.message();
    EXPECT_EQ(settings.keyboard, KeyboardSettings{});
    EXPECT_FALSE(file.storeKeyboard({UsbIds{1, 2}, std::nullopt}));
    EXPECT_EQ(read(file.path()), text);

    const ResolvedKeyboard resolved = resolveKeyboard(settings, {});
    EXPECT_EQ(resolved.id, builtInKeyboard());
    EXPECT_NE(resolved.warning.find("damaged"), std::string::npos);
    // Forgetting the keyboard clears the damage.
    ASSERT_TRUE(file.forgetKeyboard());
    EXPECT_TRUE(file.read().outcome);
  }
  std::filesystem::create_directory(dir / "folder.toml");
  EXPECT_FALSE(SettingsFile(dir / "folder.toml").read().outcome);
}

TEST(Settings, CommandLineOverSettingsFileOverBuild) {
  SettingsRead stored;
  stored.keyboard = {UsbIds{0x1234, 0xABCD}, ManufacturerId{0x00, 0x20, 0x6B}};
  const ResolvedKeyboard fromFile = resolveKeyboard(stored, {});
  EXPECT_EQ(fromFile.id, (KeyboardId{{0x1234, 0xABCD}, {0x00, 0x20, 0x6B}}));
  EXPECT_EQ(fromFile.usbSource, SettingSource::SettingsFile);
  EXPECT_TRUE(fromFile.warning.empty());

  const ResolvedKeyboard mixed = resolveKeyboard(stored, {UsbIds{0x0AAA, 0x0BBB}, std::nullopt});
  EXPECT_EQ(mixed.id.usb, (UsbIds{0x0AAA, 0x0BBB}));
  EXPECT_EQ(mixed.usbSource, SettingSource::CommandLine);
  EXPECT_EQ(mixed.manufacturerSource, SettingSource::SettingsFile);

  const ResolvedKeyboard none = resolveKeyboard({}, {});
  EXPECT_EQ(none.id, builtInKeyboard());
  EXPECT_EQ(none.manufacturerSource, SettingSource::BuiltIn);
}

TEST(Settings, IdsAreParsedStrictly) {
  EXPECT_EQ(parseUsbIds("0x1209:0X00a1"), (UsbIds{0x1209, 0x00A1}));
  for (const char* bad : {"1209", "1209:", ":0001", "12345:1", "12g9:0001", "1209:0001:2", ""}) {
    EXPECT_FALSE(parseUsbIds(bad)) << bad;
  }
  EXPECT_EQ(parseManufacturerId("00206B"), (ManufacturerId{0x00, 0x20, 0x6B}));
  EXPECT_EQ(parseManufacturerId(" 00 20:6b"), (ManufacturerId{0x00, 0x20, 0x6B}));
  for (const char* bad : {"00206", "00206B0", "0 0206B", "00 20 8B", "00-20-6B", "zz206b"}) {
    EXPECT_FALSE(parseManufacturerId(bad)) << bad;
  }
  EXPECT_EQ(formatManufacturerId({0x00, 0x20, 0x6B}), "00 20 6b");
}

}  // namespace
}  // namespace padkbd
