#pragma once
// Scratch folders, file helpers and a clean settings state for the settings tests.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/profile_file.h"
#include "settings/display_device.h"
#include "settings/plugin_settings.h"

namespace settings_test {

inline std::string DataFile(const std::string& name) {
  return std::string(SETTINGS_TEST_DATA_DIR) + "/" + name;
}

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

inline void WriteFile(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

// An identity that differs from zero in its first field only.
inline DeviceGuid Data1Guid(uint32_t data1) {
  DeviceGuid guid{};
  guid.data1 = data1;
  return guid;
}

// Every field of a record as one line, so a mismatch shows which values differ.
inline std::string Describe(const PluginSettingsRecord& s) {
  std::ostringstream text;
  text << "x=" << s.Screen_x << " y=" << s.Screen_y << " w=" << s.Screen_width
       << " h=" << s.Screen_height << " gamma=" << s.DDGammaRamp
       << " monitor=" << s.fs_current_monitor << " fs=" << s.fs_width << "x" << s.fs_height << "@"
       << s.fs_refresh << "/" << s.fs_bits << " guid=" << s.fs_guid.data1 << "," << s.fs_guid.data2
       << "," << s.fs_guid.data3;
  for (uint8_t part : s.fs_guid.data4) text << "," << int(part);
  return text.str();
}

inline DeviceGuid MakeGuid(uint32_t data1, uint8_t last = 0) {
  DeviceGuid guid{};
  guid.data1 = data1;
  guid.data2 = static_cast<uint16_t>(data1 * 3);
  guid.data3 = 0xBEEF;
  for (int i = 0; i < 8; ++i) guid.data4[i] = static_cast<uint8_t>(i * 17 + last);
  return guid;
}

// Each test gets an empty folder that holds the "library" and so the settings file, default
// settings and no display devices.
class SettingsTest : public testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "vv-settings-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
    UseLibraryIn(dir_);
    PluginSettings = PluginSettingsRecord{};
    ClearDevices();
  }

  void TearDown() override {
    ClearDevices();
    platform::SetModuleFileName(nullptr);
    std::filesystem::permissions(dir_, std::filesystem::perms::owner_all);
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }

  void UseLibraryIn(const std::string& dir) {
    platform::SetModuleFileName((dir + "/vis_vevirur2.so").c_str());
  }

  static void ClearDevices() {
    while (DisplayDevice* device = DisplayDeviceList) {
      DisplayDeviceList = device->next;
      std::free(device);
    }
  }

  static DisplayDevice* AddDevice(const DeviceGuid& guid, uint32_t width = 640,
                                  uint32_t height = 480, uint32_t refresh = 60,
                                  uint32_t bits = 16) {
    auto* last = static_cast<DisplayDevice*>(std::calloc(1, sizeof(DisplayDevice)));
    last->guid = guid;
    std::strcpy(last->description, "Test adapter");
    DisplayDevice** end = &DisplayDeviceList;
    while (*end) end = &(*end)->next;
    *end = last;
    last->width = width;
    last->height = height;
    last->refreshRate = refresh;
    last->bitsPerPixel = bits;
    return last;
  }

  std::string SettingsPath() const { return dir_ + "/Vevirur2.ini"; }

  std::string dir_;
};

}  // namespace settings_test
