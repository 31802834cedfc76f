// The settings file: key order, round trip, device records and fallbacks, and damaged, odd or
// unreachable files, from which loading keeps every sane value it can read and to which saving
// never loses other keys.
#include "settings/settings_file.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <tuple>
#include <vector>

#include "settings/plugin_settings.h"

namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// An identity that differs from zero in its first field only.
DeviceGuid Guid(uint32_t data1) {
  return DeviceGuid{data1, 0, 0, {}};
}

// Every field of a record, so that a mismatch shows which values differ.
auto Fields(const PluginSettingsRecord& s) {
  const DeviceGuid& g = s.fs_guid;
  return std::tuple(s.Screen_x, s.Screen_y, s.Screen_width, s.Screen_height, s.DDGammaRamp,
                    s.fs_current_monitor, s.fs_width, s.fs_height, s.fs_refresh, s.fs_bits, g.data1,
                    g.data2, g.data3, std::vector<int>(g.data4, g.data4 + 8));
}

// Each test gets an empty folder that holds the "library" and so the settings file, default
// settings and no display devices.
class SettingsFileTest : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = (std::filesystem::temp_directory_path() / "vv-settings-XXXXXX").string();
    ASSERT_NE(mkdtemp(dir_.data()), nullptr);
    Library(dir_);
    PluginSettings = PluginSettingsRecord{};
  }
  void TearDown() override {
    DisplayDeviceList = nullptr;
    platform::SetModuleFileName(nullptr);
    std::filesystem::remove_all(dir_);
  }

  static void Library(const std::string& dir) {
    platform::SetModuleFileName((dir + "/vis_vevirur2.so").c_str());
  }
  void ClearDevices() {
    devices_.clear();
    DisplayDeviceList = nullptr;
  }
  // Appends a device with the given chosen mode to the list.
  DisplayDevice* AddDevice(const DeviceGuid& guid, uint32_t width = 640, uint32_t height = 480,
                           uint32_t refresh = 60) {
    DisplayDevice* device = &devices_.emplace_back(
        DisplayDevice{guid, "", nullptr, refresh, width, height, 16, nullptr});
    (devices_.size() > 1 ? devices_[devices_.size() - 2].next : DisplayDeviceList) = device;
    return device;
  }

  std::string Path() const { return dir_ + "/Vevirur2.ini"; }

  std::string dir_;
  std::deque<DisplayDevice> devices_;
};

TEST_F(SettingsFileTest, PathIsBesideTheLibraryAndFitsIn260BytesWithItsTerminator) {
  const std::string fits = "/" + std::string(245, 'd') + "/";  // + "Vevirur2.ini" + NUL = 260
  for (const auto& [library, path] : std::vector<std::pair<std::string, std::string>>{
           {"C:\\Program Files\\Winamp\\Plugins\\vis_vevirur2.dll",
            "C:\\Program Files\\Winamp\\Plugins\\Vevirur2.ini"},
           {"vis_vevirur2.dll", "Vevirur2.ini"},
           {"", ""},  // no library name: no path
           {fits + "x.dll", fits + "Vevirur2.ini"},
           {"/" + std::string(246, 'd') + "/x.dll", ""},  // one byte too many
           {"/" + std::string(300, 'n'), ""}}) {          // a library name that does not fit itself
    char buffer[platform::kMaxPathBytes] = "junk";
    platform::SetModuleFileName(library.c_str());
    EXPECT_EQ(SettingsFilePath(nullptr, buffer), !path.empty()) << library;
    EXPECT_EQ(std::string(buffer), path) << library;
  }
}

// Without a usable path nothing is read or written, but the stored device must still exist:
// with no device known, none at 640 x 480, 16 bits, 60 Hz.
TEST_F(SettingsFileTest, TooLongAPathNeitherReadsNorWritesButTheDeviceStillFallsBack) {
  std::string dir = dir_;
  while (dir.size() < 260) dir += "/" + std::string(60, 'l');
  std::filesystem::create_directories(dir);
  std::ofstream(dir + "/Vevirur2.ini") << "[Vevirur 2]\nScreen_x=100\n";
  Library(dir);
  PluginSettings = {.fs_width = 1024, .fs_guid = Guid(77)};  // a device that has gone
  LoadSettings(nullptr);
  EXPECT_EQ(Fields(PluginSettings), Fields({}));
  SaveSettings(nullptr);
  EXPECT_EQ(ReadFile(dir + "/Vevirur2.ini"), "[Vevirur 2]\nScreen_x=100\n");
}

TEST_F(SettingsFileTest, SavesEveryKeyInOrderAsDecimals) {
  PluginSettings.Screen_x = -20;
  PluginSettings.fs_guid = {0x80000001u, 3, 48879, {200, 217, 234, 251, 12, 29, 46, 63}};
  AddDevice({0xFFFFFFFFu, 65533, 48879, {0, 17, 34, 51, 68, 85, 102, 119}}, 800, 600, 0);
  SaveSettings(nullptr);
  EXPECT_EQ(ReadFile(Path()),
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

// Records stay numbered without gaps: each device is saved over its own earlier record when
// that comes first, else to the first free number; on loading a later record of a device
// overrides an earlier one.
TEST_F(SettingsFileTest, RoundTripKeepsEveryValueAndEachDevicesOwnRecord) {
  const DeviceGuid a{0x80000000u, 65535, 1, {255, 1, 2, 3, 4, 5, 6, 128}}, b = Guid(0xB);
  AddDevice(b, 800, 600);  // the file holds record 0 = B and record 1 = A
  AddDevice(a, 1024, 768);
  SaveSettings(nullptr);
  ClearDevices();
  AddDevice(a, 1280, 1024);  // now A, B with new modes
  AddDevice(b, 1600, 1200, 85);
  const PluginSettingsRecord saved{-1, 2147483647, 320, 200, 256, 0, 85, 1024, 768, 16, a};
  PluginSettings = saved;
  SaveSettings(nullptr);
  const std::string text = ReadFile(Path());
  EXPECT_NE(text.find("fs_width_0=800\r\n"), std::string::npos);   // old B stays
  EXPECT_NE(text.find("fs_width_1=1280\r\n"), std::string::npos);  // A over its own record
  EXPECT_NE(text.find("fs_width_2=1600\r\n"), std::string::npos);  // B as a new record
  EXPECT_EQ(text.find("_3="), std::string::npos);
  ClearDevices();
  const DisplayDevice* readA = AddDevice(a);
  const DisplayDevice* readB = AddDevice(b);
  PluginSettings = PluginSettingsRecord{};
  LoadSettings(nullptr);
  EXPECT_EQ(Fields(PluginSettings), Fields(saved));
  EXPECT_EQ((std::vector<uint32_t>{readA->width, readA->height, readB->width, readB->refreshRate}),
            (std::vector<uint32_t>{1280, 1024, 1600, 85}));
}

TEST_F(SettingsFileTest, SavingKeepsOtherSectionsKeysAndLineEndings) {
  std::ofstream(Path())
      << "; kept\n[Other]\nScreen_x=999\n\n[Vevirur 2]\nScreen_x=1\nextra=5\n[Tail]\nk=v\n";
  SaveSettings(nullptr);
  const std::string text = ReadFile(Path());
  EXPECT_EQ(text.find("\r"), std::string::npos);
  EXPECT_EQ(text.rfind("; kept\n[Other]\nScreen_x=999\n\n[Vevirur 2]\nScreen_x=50\nextra=5\n", 0),
            0u);
  EXPECT_NE(text.find("fs_data48=0\n[Tail]\nk=v\n"), std::string::npos);
}

// Each file is read with one device known whose mode differs from the defaults: a stored
// identity that matches it keeps the file's own mode, so unreadable mode values show.
TEST_F(SettingsFileTest, EachFixtureLoadsToExactlyTheseValues) {
  const DeviceGuid stored{0xFFFFFFFFu, 4660, 22136, {1, 2, 3, 4, 5, 6, 7, 255}};
  const PluginSettingsRecord from_stored{11, 22, 333, 444, 128, 0, 75, 800, 600, 16, stored};
  const DeviceGuid wide{0, 0xFFFF, 0, {}};
  const DeviceGuid low_bits{0, 4464, 0, {44}};  // 70000 mod 65536, 300 mod 256
  const struct {
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
      // Records are numbered without gaps: record 3 (1280 x 1024) is never reached, so the device
      // keeps its mode and, being unknown to the settings, becomes the chosen one with it.
      {"records_with_gap.ini",
       Guid(3),
       {.fs_refresh = 85, .fs_width = 1024, .fs_height = 768, .fs_guid = Guid(3)}},
  };
  for (const auto& c : cases) {
    std::filesystem::remove(Path());
    ClearDevices();
    PluginSettings = PluginSettingsRecord{};
    const DisplayDevice* device = AddDevice(c.device, 1024, 768, 85);
    if (c.file)
      std::filesystem::copy_file(SETTINGS_TEST_DATA_DIR "/" + std::string(c.file), Path());
    LoadSettings(nullptr);
    EXPECT_EQ(Fields(PluginSettings), Fields(c.expected)) << (c.file ? c.file : "no file");
    EXPECT_EQ(device->width, 1024u);  // no device record of it is read
  }
}

// A folder in place of the file and a file that cannot be read: nothing is read (the values
// stay as they are), nothing is overwritten, nothing crashes.
TEST_F(SettingsFileTest, UnreachableFilesAreLeftAsTheyAre) {
  AddDevice(Guid(1));
  PluginSettings.Screen_x = 1;
  std::filesystem::create_directory(Path());
  SaveSettings(nullptr);
  LoadSettings(nullptr);
  EXPECT_TRUE(std::filesystem::is_empty(Path()));
  EXPECT_EQ(PluginSettings.Screen_x, 1);
  std::filesystem::remove(Path());
  // A file too large to be a settings file is not read, so it is not written either.
  std::ofstream(Path()) << "[Other]\nkeep=1\n";
  std::filesystem::resize_file(Path(), 65 << 20);  // sparse: takes no room
  SaveSettings(nullptr);
  EXPECT_EQ(std::filesystem::file_size(Path()), 65u << 20);
}

}  // namespace
