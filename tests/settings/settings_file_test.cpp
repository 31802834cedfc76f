// Loading and saving the settings file: key order, field widths, device records, fallbacks.
#include "settings/settings_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "settings/settings_test_support.h"

namespace settings_test {
namespace {

using SettingsFileTest = SettingsTest;

TEST_F(SettingsFileTest, PathIsBesideTheLibrary) {
  char path[platform::kMaxPathBytes];
  platform::SetModuleFileName("C:\\Program Files\\Winamp\\Plugins\\vis_vevirur2.dll");
  ASSERT_TRUE(SettingsFilePath(nullptr, path));
  EXPECT_STREQ(path, "C:\\Program Files\\Winamp\\Plugins\\Vevirur2.ini");
  platform::SetModuleFileName("/opt/vevirur/libvis.so");
  ASSERT_TRUE(SettingsFilePath(nullptr, path));
  EXPECT_STREQ(path, "/opt/vevirur/Vevirur2.ini");
  platform::SetModuleFileName("vis_vevirur2.dll");
  ASSERT_TRUE(SettingsFilePath(nullptr, path));
  EXPECT_STREQ(path, "Vevirur2.ini");
  platform::SetModuleFileName(nullptr);
  EXPECT_FALSE(SettingsFilePath(nullptr, path));
  EXPECT_STREQ(path, "");
}

TEST_F(SettingsFileTest, PathMustFitIn260BytesWithItsTerminator) {
  char path[platform::kMaxPathBytes];
  // 247 bytes of directory + "Vevirur2.ini" + terminator = 260.
  std::string dir = "/" + std::string(245, 'd') + "/";
  platform::SetModuleFileName((dir + "x.dll").c_str());
  ASSERT_TRUE(SettingsFilePath(nullptr, path));
  EXPECT_EQ(std::string(path), dir + "Vevirur2.ini");
  dir = "/" + std::string(246, 'd') + "/";
  platform::SetModuleFileName((dir + "x.dll").c_str());
  EXPECT_FALSE(SettingsFilePath(nullptr, path));
  EXPECT_STREQ(path, "");
  // A library name that does not fit itself.
  platform::SetModuleFileName(("/" + std::string(300, 'n')).c_str());
  EXPECT_FALSE(SettingsFilePath(nullptr, path));
}

TEST_F(SettingsFileTest, TooLongPathNeitherReadsNorWrites) {
  std::string dir = dir_;
  while (dir.size() < 260) dir += "/" + std::string(60, 'l');
  std::filesystem::create_directories(dir);
  WriteFile(dir + "/Vevirur2.ini", "[Vevirur 2]\nScreen_x=100\n");
  UseLibraryIn(dir);
  LoadSettings(nullptr);
  EXPECT_EQ(PluginSettings.Screen_x, 50);
  PluginSettings.Screen_x = 7;
  SaveSettings(nullptr);
  EXPECT_EQ(ReadFile(dir + "/Vevirur2.ini"), "[Vevirur 2]\nScreen_x=100\n");
}

TEST_F(SettingsFileTest, SavesEveryKeyInOrderAsDecimals) {
  PluginSettings.Screen_x = -20;
  PluginSettings.fs_guid = MakeGuid(0x80000001u, 200);
  AddDevice(MakeGuid(0xFFFFFFFFu), 800, 600, 0, 16);
  SaveSettings(nullptr);
  EXPECT_EQ(ReadFile(SettingsPath()),
            "[Vevirur 2]\r\n"
            "Screen_x=-20\r\nScreen_y=50\r\nScreen_width=640\r\nScreen_height=480\r\n"
            "DDGammaRamp=200\r\nfs_current_monitor=1\r\n"
            "fs_width=640\r\nfs_height=480\r\nfs_refresh=60\r\nfs_bits=16\r\n"
            "fs_data1=-2147483647\r\nfs_data2=3\r\nfs_data3=48879\r\n"
            "fs_data41=200\r\nfs_data42=217\r\nfs_data43=234\r\nfs_data44=251\r\n"
            "fs_data45=12\r\nfs_data46=29\r\nfs_data47=46\r\nfs_data48=63\r\n"
            "fs_width_0=800\r\nfs_height_0=600\r\nfs_refresh_0=0\r\nfs_bits_0=16\r\n"
            "fs_data1_0=-1\r\nfs_data2_0=65533\r\nfs_data3_0=48879\r\n"
            "fs_data41_0=0\r\nfs_data42_0=17\r\nfs_data43_0=34\r\nfs_data44_0=51\r\n"
            "fs_data45_0=68\r\nfs_data46_0=85\r\nfs_data47_0=102\r\nfs_data48_0=119\r\n"
            "guid_exists_0=1324\r\n");
}

TEST_F(SettingsFileTest, RoundTripKeepsEveryValueAndTheTopBitOfTheGuid) {
  DeviceGuid chosen = MakeGuid(0x80000000u, 9);
  AddDevice(MakeGuid(1));
  AddDevice(chosen, 1024, 768, 85, 16);
  PluginSettingsRecord saved;
  saved.Screen_x = -1;
  saved.Screen_y = 2147483647;
  saved.Screen_width = 320;
  saved.Screen_height = 200;
  saved.DDGammaRamp = 256;
  saved.fs_current_monitor = 0;
  saved.fs_refresh = 85;
  saved.fs_width = 1024;
  saved.fs_height = 768;
  saved.fs_bits = 16;
  saved.fs_guid = chosen;
  PluginSettings = saved;
  SaveSettings(nullptr);

  ClearDevices();
  AddDevice(MakeGuid(1));
  DisplayDevice* device = AddDevice(chosen);  // back at 640 x 480, 60 Hz
  PluginSettings = PluginSettingsRecord{};
  LoadSettings(nullptr);
  EXPECT_EQ(std::memcmp(&PluginSettings, &saved, sizeof(saved)), 0);
  EXPECT_EQ(device->width, 1024u);
  EXPECT_EQ(device->height, 768u);
  EXPECT_EQ(device->refreshRate, 85u);
  EXPECT_EQ(PluginSettings.fs_guid.data1, 0x80000000u);
}

TEST_F(SettingsFileTest, OnlyScreenXInTheFileLeavesTheOtherDefaults) {
  std::filesystem::copy_file(DataFile("only_screen_x.ini"), SettingsPath());
  LoadSettings(nullptr);
  PluginSettingsRecord expected;
  expected.Screen_x = 100;
  EXPECT_EQ(std::memcmp(&PluginSettings, &expected, sizeof(expected)), 0);
}

TEST_F(SettingsFileTest, GuidPartsKeepTheirLowBits) {
  std::filesystem::copy_file(DataFile("field_widths.ini"), SettingsPath());
  DeviceGuid expected{};
  expected.data2 = 4464;   // 70000 mod 65536
  expected.data4[0] = 44;  // 300 mod 256
  AddDevice(expected);     // so the stored identity stays
  LoadSettings(nullptr);
  EXPECT_TRUE(SameGuid(PluginSettings.fs_guid, expected));
}

TEST_F(SettingsFileTest, DeviceRecordsStopAtTheFirstGap) {
  std::filesystem::copy_file(DataFile("records_with_gap.ini"), SettingsPath());
  DeviceGuid guid;
  EXPECT_EQ(ReadDeviceRecord(SettingsPath().c_str(), 1, &guid), 1);
  EXPECT_EQ(guid.data1, 2u);
  EXPECT_EQ(ReadDeviceRecord(SettingsPath().c_str(), 2, &guid), 0);
  EXPECT_TRUE(SameGuid(guid, DeviceGuid{}));

  DeviceGuid g1 = Data1Guid(1), g2 = Data1Guid(2), g3 = Data1Guid(3);
  DisplayDevice* first = AddDevice(g1);
  DisplayDevice* second = AddDevice(g2);
  DisplayDevice* third = AddDevice(g3);
  LoadSettings(nullptr);
  EXPECT_EQ(first->width, 800u);
  EXPECT_EQ(first->refreshRate, 70u);
  EXPECT_EQ(second->width, 1024u);
  EXPECT_EQ(second->height, 768u);
  EXPECT_EQ(third->width, 640u);  // record 3 is never reached
  EXPECT_EQ(third->refreshRate, 60u);
}

TEST_F(SettingsFileTest, SavingWritesEachDeviceOverItsOwnRecordOrTheFirstFreeOne) {
  DeviceGuid a = MakeGuid(0xA), b = MakeGuid(0xB);
  // The file holds record 0 = B and record 1 = A.
  ClearDevices();
  AddDevice(b, 800, 600, 60);
  AddDevice(a, 1024, 768, 70);
  SaveSettings(nullptr);
  // Now list order A, B with new modes.
  ClearDevices();
  AddDevice(a, 1280, 1024, 75);
  AddDevice(b, 1600, 1200, 85);
  SaveSettings(nullptr);
  std::string path = SettingsPath();
  DeviceGuid guid;
  ASSERT_EQ(ReadDeviceRecord(path.c_str(), 0, &guid), 1);
  EXPECT_TRUE(SameGuid(guid, b));
  ASSERT_EQ(ReadDeviceRecord(path.c_str(), 1, &guid), 1);
  EXPECT_TRUE(SameGuid(guid, a));
  ASSERT_EQ(ReadDeviceRecord(path.c_str(), 2, &guid), 1);
  EXPECT_TRUE(SameGuid(guid, b));
  EXPECT_EQ(ReadDeviceRecord(path.c_str(), 3, &guid), 0);
  std::string text = ReadFile(path);
  EXPECT_NE(text.find("fs_width_0=800\r\n"), std::string::npos);   // old B stays
  EXPECT_NE(text.find("fs_width_1=1280\r\n"), std::string::npos);  // A over its own record
  EXPECT_NE(text.find("fs_width_2=1600\r\n"), std::string::npos);  // B as a new record

  ClearDevices();
  DisplayDevice* readA = AddDevice(a);
  DisplayDevice* readB = AddDevice(b);
  LoadSettings(nullptr);
  EXPECT_EQ(readA->width, 1280u);
  EXPECT_EQ(readB->width, 1600u);  // record 2 overrides record 0
  EXPECT_EQ(readB->refreshRate, 85u);
}

TEST_F(SettingsFileTest, UnknownStoredDeviceFallsBackToTheFirstDevice) {
  WriteFile(SettingsPath(),
            "[Vevirur 2]\nfs_width=1280\nfs_height=1024\nfs_refresh=75\nfs_bits=32\nfs_data1=77\n");
  DeviceGuid first = MakeGuid(5);
  AddDevice(first, 800, 600, 72, 16);
  AddDevice(MakeGuid(6));
  LoadSettings(nullptr);
  EXPECT_EQ(PluginSettings.fs_width, 800);
  EXPECT_EQ(PluginSettings.fs_height, 600);
  EXPECT_EQ(PluginSettings.fs_refresh, 72);
  EXPECT_EQ(PluginSettings.fs_bits, 16);
  EXPECT_TRUE(SameGuid(PluginSettings.fs_guid, first));

  ClearDevices();
  LoadSettings(nullptr);  // no device known at all
  EXPECT_EQ(PluginSettings.fs_width, 640);
  EXPECT_EQ(PluginSettings.fs_height, 480);
  EXPECT_EQ(PluginSettings.fs_refresh, 60);
  EXPECT_EQ(PluginSettings.fs_bits, 16);
  EXPECT_TRUE(SameGuid(PluginSettings.fs_guid, DeviceGuid{}));
}

TEST_F(SettingsFileTest, KnownStoredDeviceKeepsTheStoredMode) {
  WriteFile(SettingsPath(),
            "[Vevirur 2]\nfs_width=1280\nfs_height=1024\nfs_refresh=75\nfs_bits=16\nfs_data1=6\n");
  AddDevice(MakeGuid(5));
  AddDevice(Data1Guid(6));
  LoadSettings(nullptr);
  EXPECT_EQ(PluginSettings.fs_width, 1280);
  EXPECT_EQ(PluginSettings.fs_refresh, 75);
  EXPECT_EQ(PluginSettings.fs_guid.data1, 6u);
}

TEST_F(SettingsFileTest, SavingKeepsOtherSectionsAndLineEndings) {
  std::string other =
      "; kept\n[Other]\nScreen_x=999\n\n[Vevirur 2]\nScreen_x=1\nextra=5\n[Tail]\nk=v\n";
  WriteFile(SettingsPath(), other);
  SaveSettings(nullptr);
  std::string text = ReadFile(SettingsPath());
  EXPECT_EQ(text.find("\r"), std::string::npos);
  EXPECT_EQ(text.rfind("; kept\n[Other]\nScreen_x=999\n\n[Vevirur 2]\nScreen_x=50\nextra=5\n", 0),
            0u);
  EXPECT_NE(text.find("fs_data48=0\n[Tail]\nk=v\n"), std::string::npos);
}

}  // namespace
}  // namespace settings_test
