// Damaged, odd and unreachable settings files: loading keeps every sane value it can read,
// saving never takes other keys with it, and neither crashes nor hangs.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>

#include "settings/settings_file.h"
#include "settings/settings_test_support.h"

namespace settings_test {
namespace {

using SettingsBadInputTest = SettingsTest;

PluginSettingsRecord LoadFixture(SettingsTest& test, const std::string& name,
                                 const std::string& path) {
  std::filesystem::copy_file(DataFile(name), path);
  LoadSettings(nullptr);
  return PluginSettings;
}

TEST_F(SettingsBadInputTest, MissingAndEmptyFilesKeepTheDefaults) {
  LoadSettings(nullptr);
  PluginSettingsRecord defaults;
  EXPECT_EQ(std::memcmp(&PluginSettings, &defaults, sizeof(defaults)), 0);
  LoadFixture(*this, "empty.ini", SettingsPath());
  EXPECT_EQ(std::memcmp(&PluginSettings, &defaults, sizeof(defaults)), 0);
}

TEST_F(SettingsBadInputTest, CrlfAndLfFilesReadAlike) {
  for (const char* name : {"crlf.ini", "lf.ini"}) {
    SCOPED_TRACE(name);
    std::filesystem::remove(SettingsPath());
    PluginSettings = PluginSettingsRecord{};
    DeviceGuid stored{0xFFFFFFFFu, 4660, 22136, {1, 2, 3, 4, 5, 6, 7, 255}};
    DisplayDevice* device = AddDevice(stored);
    PluginSettingsRecord s = LoadFixture(*this, name, SettingsPath());
    EXPECT_EQ(s.Screen_x, 11);
    EXPECT_EQ(s.Screen_y, 22);
    EXPECT_EQ(s.Screen_width, 333);
    EXPECT_EQ(s.Screen_height, 444);
    EXPECT_EQ(s.DDGammaRamp, 128);
    EXPECT_EQ(s.fs_current_monitor, 0);
    EXPECT_EQ(s.fs_width, 800);
    EXPECT_EQ(s.fs_height, 600);
    EXPECT_EQ(s.fs_refresh, 75);
    EXPECT_TRUE(SameGuid(s.fs_guid, stored));
    EXPECT_EQ(device->width, 640u);  // no device records in these files
    ClearDevices();
  }
}

TEST_F(SettingsBadInputTest, NulBytesSpoilOnlyTheirOwnLines) {
  PluginSettingsRecord s = LoadFixture(*this, "nul_byte.ini", SettingsPath());
  EXPECT_EQ(s.Screen_x, 50);  // "1\02" is no number
  EXPECT_EQ(s.Screen_y, 50);
  EXPECT_EQ(s.Screen_width, 320);
  EXPECT_EQ(s.Screen_height, 240);
}

TEST_F(SettingsBadInputTest, RepeatedKeysAndSectionsGiveTheFirstValue) {
  PluginSettingsRecord s = LoadFixture(*this, "repeated_key.ini", SettingsPath());
  EXPECT_EQ(s.Screen_x, 10);
  EXPECT_EQ(s.Screen_y, 40);  // found in the repeated section
}

TEST_F(SettingsBadInputTest, KeysOfOtherSectionsAreNotRead) {
  PluginSettingsRecord s = LoadFixture(*this, "other_sections.ini", SettingsPath());
  EXPECT_EQ(s.Screen_x, 50);
  EXPECT_EQ(s.fs_bits, 16);
  EXPECT_EQ(s.Screen_width, 640);  // before any section
  EXPECT_EQ(s.Screen_y, 77);       // section and key names ignore case
  EXPECT_EQ(s.Screen_height, 5);   // "[Vevirur 2" is no header: still the section above
  EXPECT_EQ(s.DDGammaRamp, 200);
}

TEST_F(SettingsBadInputTest, NonNumericValuesKeepTheDefaults) {
  PluginSettingsRecord s = LoadFixture(*this, "non_numeric.ini", SettingsPath());
  EXPECT_EQ(s.Screen_x, 50);
  EXPECT_EQ(s.Screen_y, 50);
  EXPECT_EQ(s.Screen_width, 640);
  EXPECT_EQ(s.Screen_height, 480);
  EXPECT_EQ(s.fs_bits, 16);
  EXPECT_EQ(s.fs_width, 640);
  EXPECT_EQ(s.DDGammaRamp, 150);
}

TEST_F(SettingsBadInputTest, ValuesBeyond32BitsKeepTheDefaults) {
  AddDevice(DeviceGuid{0, 0xFFFF, 0, {}});
  PluginSettingsRecord s = LoadFixture(*this, "beyond_32_bits.ini", SettingsPath());
  EXPECT_EQ(s.Screen_x, 50);
  EXPECT_EQ(s.Screen_y, 50);
  EXPECT_EQ(s.fs_guid.data1, 0u);
  EXPECT_EQ(s.fs_guid.data2, 0xFFFF);  // 4294967295 is 32 bits, kept to 16
  EXPECT_EQ(s.DDGammaRamp, -1);
  EXPECT_EQ(s.Screen_width, INT32_MIN);
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
