// Writes the settings file through the system's profile functions and reads it back:
// every field, the per-device records, negative first GUID fields, other sections kept.
// Run under Wine by the native tests; prints what it checks and exits 0 when all holds.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "fullscreen/display_devices.h"
#include "platform/profile_file.h"
#include "settings/plugin_settings.h"
#include "settings/settings_file.h"

namespace {

int failures = 0;

void Check(bool ok, const char* what) {
  std::printf("%s %s\n", ok ? "ok  " : "FAIL", what);
  if (!ok) ++failures;
}

DeviceGuid Guid(uint32_t data1, uint8_t last) {
  DeviceGuid guid{};
  guid.data1 = data1;
  guid.data2 = 0x8001;
  guid.data3 = 0xFFFF;
  for (int i = 0; i < 8; ++i) guid.data4[i] = static_cast<uint8_t>(0xF0 + i + last);
  return guid;
}

DisplayDevice* AddDevice(const DeviceGuid& guid, uint32_t width, uint32_t height,
                         uint32_t refresh) {
  DeviceEnumerationContext context;
  OnDisplayDevice(&guid, "Made-up adapter", "", &context, nullptr);
  DisplayDevice* device = DisplayDeviceList;
  while (device->next) device = device->next;
  device->width = width;
  device->height = height;
  device->refreshRate = refresh;
  return device;
}

void ClearDevices() {
  FreeDeviceList(DisplayDeviceList);
  DisplayDeviceList = nullptr;
}

std::string FileText(const char* path) {
  std::string text;
  if (FILE* file = std::fopen(path, "rb")) {
    char buffer[4096];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof(buffer), file)) > 0) text.append(buffer, got);
    std::fclose(file);
  }
  return text;
}

}  // namespace

int main() {
  void* module = GetModuleHandleA(nullptr);
  char path[platform::kMaxPathBytes];
  Check(SettingsFilePath(module, path), "settings path beside the program");
  std::printf("     path: %s\n", path);
  DeleteFileA(path);
  WritePrivateProfileStringA("Other", "keep", "1", path);

  // Devices A (top bit set) and B; B gets a stale record first, then A, B in list order.
  DeviceGuid a = Guid(0x80000001u, 0), b = Guid(0xFEDCBA98u, 1);
  AddDevice(b, 800, 600, 60);
  AddDevice(a, 1024, 768, 70);
  SaveSettings(module);
  ClearDevices();
  AddDevice(a, 1280, 1024, 75);
  AddDevice(b, 1600, 1200, 85);

  PluginSettingsRecord saved;
  saved.Screen_x = -30;
  saved.Screen_y = 40;
  saved.Screen_width = 512;
  saved.Screen_height = 384;
  saved.DDGammaRamp = 256;
  saved.fs_current_monitor = 0;
  saved.fs_refresh = 75;
  saved.fs_width = 1280;
  saved.fs_height = 1024;
  saved.fs_bits = 16;
  saved.fs_guid = a;
  PluginSettings = saved;
  SaveSettings(module);

  std::string text = FileText(path);
  std::printf("---- %s\n%s----\n", path, text.c_str());
  Check(text.find("fs_data1=-2147483647\r\n") != std::string::npos,
        "fs_data1 with the top bit set written as a negative decimal");
  Check(text.find("fs_data1_2=-19088744\r\n") != std::string::npos,
        "device B's fs_data1 written negative in its new record 2");
  char raw[32];
  GetPrivateProfileStringA("Other", "keep", "", raw, sizeof(raw), path);
  Check(std::strcmp(raw, "1") == 0, "other sections kept");
  std::printf("     GetPrivateProfileIntA(fs_data1) = %d\n",
              static_cast<int>(GetPrivateProfileIntA("Vevirur 2", "fs_data1", 12345, path)));

  // Read back into fresh state.
  ClearDevices();
  DisplayDevice* readA = AddDevice(a, 640, 480, 60);
  DisplayDevice* readB = AddDevice(b, 640, 480, 60);
  PluginSettings = PluginSettingsRecord{};
  LoadSettings(module);
  Check(std::memcmp(&PluginSettings, &saved, sizeof(saved)) == 0, "every field reads back");
  Check(PluginSettings.fs_guid.data1 == 0x80000001u, "fs_data1 reads back as the same 32 bits");
  Check(readA->width == 1280 && readA->height == 1024 && readA->refreshRate == 75,
        "device A's mode from its own record 1");
  Check(readB->width == 1600 && readB->refreshRate == 85, "device B's mode from record 2");
  DeviceGuid guid;
  Check(ReadDeviceRecord(path, 0, &guid) && SameGuid(guid, b), "record 0 still B");
  Check(ReadDeviceRecord(path, 1, &guid) && SameGuid(guid, a), "record 1 is A");
  Check(ReadDeviceRecord(path, 2, &guid) && SameGuid(guid, b), "record 2 is B");
  Check(!ReadDeviceRecord(path, 3, &guid), "no record 3");

  // A library path too long for 260 bytes: nothing read, nothing written.
  std::string longName =
      std::string(path, std::strrchr(path, '\\') + 1 - path) + std::string(250, 'x') + "\\vis.dll";
  platform::SetModuleFileName(longName.c_str());
  PluginSettings = PluginSettingsRecord{};
  LoadSettings(module);
  SaveSettings(module);
  Check(PluginSettings.Screen_x == 50, "too long a path keeps the defaults");
  platform::SetModuleFileName(nullptr);

  ClearDevices();
  std::printf("%s\n", failures ? "FAILED" : "PASSED");
  return failures ? 1 : 0;
}
