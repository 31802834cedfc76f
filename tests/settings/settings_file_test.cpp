// Loading and saving the settings file: key order, field widths, device records, fallbacks.
#include "settings/settings_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "settings/settings_test_support.h"

namespace settings_test {
namespace {

using SettingsFileTest = SettingsTest;

TEST_F(SettingsFileTest, PathIsBesideTheLibraryAndFitsIn260BytesWithItsTerminator) {
  const std::string fits = "/" + std::string(245, 'd') + "/";  // + "Vevirur2.ini" + NUL = 260
  const std::string one_over = "/" + std::string(246, 'd') + "/";
  const struct {
    std::string library;  // "" for none
    std::string path;     // "" when there is none
  } cases[] = {
      {"C:\\Program Files\\Winamp\\Plugins\\vis_vevirur2.dll",
       "C:\\Program Files\\Winamp\\Plugins\\Vevirur2.ini"},
      {"/opt/vevirur/libvis.so", "/opt/vevirur/Vevirur2.ini"},
      {"vis_vevirur2.dll", "Vevirur2.ini"},
      {"", ""},
      {fits + "x.dll", fits + "Vevirur2.ini"},
      {one_over + "x.dll", ""},
      {"/" + std::string(300, 'n'), ""},  // a library name that does not fit itself
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.library);
    char path[platform::kMaxPathBytes] = "junk";
    platform::SetModuleFileName(c.library.empty() ? nullptr : c.library.c_str());
    EXPECT_EQ(SettingsFilePath(nullptr, path), !c.path.empty());
    EXPECT_EQ(std::string(path), c.path);
  }
}

TEST_F(SettingsFileTest, TooLongPathNeitherReadsNorWrites) {
  std::string dir = dir_;
  while (dir.size() < 260) dir += "/" + std::string(60, 'l');
  std::filesystem::create_directories(dir);
  WriteFile(dir + "/Vevirur2.ini", "[Vevirur 2]\nScreen_x=100\n");
  UseLibraryIn(dir);
  // The device fallback runs all the same: the stored device does not exist, so the first one
  // of the list, with its mode, takes its place.
  PluginSettings.fs_guid = MakeGuid(0x1234u);
  AddDevice(MakeGuid(0x5678u), 1024, 768, 75, 32);
  LoadSettings(nullptr);
  EXPECT_EQ(PluginSettings.Screen_x, 50);
  EXPECT_TRUE(SameGuid(PluginSettings.fs_guid, MakeGuid(0x5678u)));
  EXPECT_EQ(PluginSettings.fs_width, 1024);
  EXPECT_EQ(PluginSettings.fs_height, 768);
  EXPECT_EQ(PluginSettings.fs_refresh, 75);
  EXPECT_EQ(PluginSettings.fs_bits, 32);
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
  const PluginSettingsRecord saved{-1, 2147483647, 320, 200, 256, 0, 85, 1024, 768, 16, chosen};
  PluginSettings = saved;
  SaveSettings(nullptr);

  ClearDevices();
  AddDevice(MakeGuid(1));
  DisplayDevice* device = AddDevice(chosen);  // back at 640 x 480, 60 Hz
  PluginSettings = PluginSettingsRecord{};
  LoadSettings(nullptr);
  EXPECT_EQ(Describe(PluginSettings), Describe(saved));
  EXPECT_EQ(device->width, 1024u);
  EXPECT_EQ(device->height, 768u);
  EXPECT_EQ(device->refreshRate, 85u);
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

TEST_F(SettingsFileTest, AStoredDeviceKeepsItsModeAnUnknownOneFallsBackToTheFirstDevice) {
  const DeviceGuid first = MakeGuid(5);
  AddDevice(first, 800, 600, 72, 16);
  AddDevice(Data1Guid(6));
  WriteFile(SettingsPath(),
            "[Vevirur 2]\nfs_width=1280\nfs_height=1024\nfs_refresh=75\nfs_bits=16\nfs_data1=6\n");
  LoadSettings(nullptr);
  EXPECT_EQ(
      Describe(PluginSettings),
      Describe({.fs_refresh = 75, .fs_width = 1280, .fs_height = 1024, .fs_guid = Data1Guid(6)}));

  WriteFile(SettingsPath(),
            "[Vevirur 2]\nfs_width=1280\nfs_height=1024\nfs_refresh=75\nfs_bits=32\nfs_data1=77\n");
  LoadSettings(nullptr);
  EXPECT_EQ(Describe(PluginSettings),
            Describe({.fs_refresh = 72, .fs_width = 800, .fs_height = 600, .fs_guid = first}));

  ClearDevices();
  LoadSettings(nullptr);  // no device known at all
  EXPECT_EQ(Describe(PluginSettings), Describe({}));
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
