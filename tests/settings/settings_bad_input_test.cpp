// Damaged, odd and unreachable settings files: loading keeps every sane value it can read,
// saving never takes other keys with it, and neither crashes nor hangs.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "settings/settings_file.h"
#include "settings/settings_test_support.h"

namespace settings_test {
namespace {

using SettingsBadInputTest = SettingsTest;

// Each file is read with one device known whose mode differs from the defaults: a stored
// identity that matches it keeps the file's own mode, so unreadable mode values show.
TEST_F(SettingsBadInputTest, EachFixtureLoadsToExactlyTheseValues) {
  const DeviceGuid stored{0xFFFFFFFFu, 4660, 22136, {1, 2, 3, 4, 5, 6, 7, 255}};
  const PluginSettingsRecord from_stored{11, 22, 333, 444, 128, 0, 75, 800, 600, 16, stored};
  const DeviceGuid wide{0, 0xFFFF, 0, {}};
  const DeviceGuid low_bits{0, 4464, 0, {44}};  // 70000 mod 65536, 300 mod 256
  const struct Case {
    const char* file;  // nullptr: no file at all
    DeviceGuid device;
    PluginSettingsRecord expected;
  } cases[] = {
      {nullptr, {}, {}},
      {"empty.ini", {}, {}},
      {"only_screen_x.ini", {}, {.Screen_x = 100}},
      {"crlf.ini", stored, from_stored},
      {"lf.ini", stored, from_stored},
      // "1\02" is no number and "Screen_\0y" no key.
      {"nul_byte.ini", {}, {.Screen_width = 320, .Screen_height = 240}},
      // The first value wins, also one found in a repeated section.
      {"repeated_key.ini", {}, {.Screen_x = 10, .Screen_y = 40}},
      // Keys before any section or in others are not read; names ignore case; "[Vevirur 2" is
      // no header, so its line belongs to the section above.
      {"other_sections.ini", {}, {.Screen_y = 77, .Screen_height = 5}},
      // Quotes around a value go, as do the blanks inside them: " 85 " is 85.
      {"non_numeric.ini", {}, {.DDGammaRamp = 150, .fs_refresh = 85}},
      // Beyond 32 bits is refused; 4294967295 is 32 bits, kept to 16 in a GUID part.
      {"beyond_32_bits.ini", wide, {.Screen_width = INT32_MIN, .DDGammaRamp = -1, .fs_guid = wide}},
      {"field_widths.ini", low_bits, {.fs_guid = low_bits}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file ? c.file : "no file");
    std::filesystem::remove(SettingsPath());
    ClearDevices();
    PluginSettings = PluginSettingsRecord{};
    DisplayDevice* device = AddDevice(c.device, 1024, 768, 85);
    if (c.file) std::filesystem::copy_file(DataFile(c.file), SettingsPath());
    LoadSettings(nullptr);
    EXPECT_EQ(Describe(PluginSettings), Describe(c.expected));
    EXPECT_EQ(device->width, 1024u);  // no device records in these files
  }
}

TEST_F(SettingsBadInputTest, ADirectoryInPlaceOfTheFileIsLeftAlone) {
  std::filesystem::create_directory(SettingsPath());
  LoadSettings(nullptr);
  EXPECT_EQ(PluginSettings.Screen_x, 50);
  PluginSettings.Screen_x = 1;
  AddDevice(MakeGuid(1));
  SaveSettings(nullptr);
  EXPECT_TRUE(std::filesystem::is_directory(SettingsPath()));
  EXPECT_TRUE(std::filesystem::is_empty(SettingsPath()));
}

TEST_F(SettingsBadInputTest, ReadOnlyFileSystemIgnoresTheWrites) {
  AddDevice(MakeGuid(1));
  // /proc takes no new files, even from root.
  UseLibraryIn("/proc");
  SaveSettings(nullptr);
  EXPECT_FALSE(std::filesystem::exists("/proc/Vevirur2.ini"));
  LoadSettings(nullptr);
  EXPECT_EQ(PluginSettings.Screen_x, 50);
}

TEST_F(SettingsBadInputTest, ReadOnlyDirectoryIgnoresTheWrites) {
  AddDevice(MakeGuid(1));
  chmod(dir_.c_str(), 0555);
  if (access(dir_.c_str(), W_OK) == 0) GTEST_SKIP() << "root writes into read-only folders";
  SaveSettings(nullptr);
  EXPECT_FALSE(std::filesystem::exists(SettingsPath()));
}

TEST_F(SettingsBadInputTest, UnreadableFileIsNeverOverwritten) {
  WriteFile(SettingsPath(), "[Other]\nkeep=1\n");
  chmod(SettingsPath().c_str(), 0200);
  if (access(SettingsPath().c_str(), R_OK) == 0) GTEST_SKIP() << "root reads every file";
  SaveSettings(nullptr);
  chmod(SettingsPath().c_str(), 0600);
  EXPECT_EQ(ReadFile(SettingsPath()), "[Other]\nkeep=1\n");
}

TEST_F(SettingsBadInputTest, TenThousandDeviceRecords) {
  constexpr int kRecords = 10000;
  std::string text = "[Vevirur 2]\r\n";
  for (int n = 0; n < kRecords; ++n) {
    std::string k = "_" + std::to_string(n) + "=";
    text += "fs_width" + k + std::to_string(n) + "\r\nfs_height" + k + "480\r\nfs_refresh" + k +
            "60\r\nfs_bits" + k + "16\r\nfs_data1" + k + std::to_string(n + 1) + "\r\n";
    for (const char* part : {"fs_data2", "fs_data3", "fs_data41", "fs_data42", "fs_data43",
                             "fs_data44", "fs_data45", "fs_data46", "fs_data47", "fs_data48"}) {
      text += part + k + "0\r\n";
    }
    text += "guid_exists" + k + "1324\r\n";
  }
  WriteFile(SettingsPath(), text);
  DisplayDevice* early = AddDevice(Data1Guid(1));
  DisplayDevice* late = AddDevice(Data1Guid(kRecords));
  DisplayDevice* fresh = AddDevice(Data1Guid(kRecords + 1), 1024, 768);
  LoadSettings(nullptr);
  EXPECT_EQ(early->width, 0u);
  EXPECT_EQ(late->width, static_cast<uint32_t>(kRecords - 1));
  EXPECT_EQ(fresh->width, 1024u);

  late->width = 800;
  SaveSettings(nullptr);
  std::string saved = ReadFile(SettingsPath());
  EXPECT_NE(saved.find("fs_width_9999=800\r\n"), std::string::npos);
  EXPECT_NE(saved.find("fs_width_10000=1024\r\nfs_height_10000=768\r\n"), std::string::npos);
  EXPECT_NE(saved.find("guid_exists_10000=1324\r\n"), std::string::npos);
  DeviceGuid guid;
  EXPECT_EQ(ReadDeviceRecord(SettingsPath().c_str(), 10000, &guid), 1);
  EXPECT_EQ(guid.data1, static_cast<uint32_t>(kRecords + 1));
}

}  // namespace
}  // namespace settings_test
