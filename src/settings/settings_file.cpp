#include "settings/settings_file.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "settings/plugin_settings.h"
#include "settings/profile_number.h"

namespace {

// Key names: the plain ones and the "_%d" ones of the device records.
struct KeyName {
  char text[32];
  KeyName(const char* name, int number) {
    if (number < 0) {
      std::snprintf(text, sizeof(text), "%s", name);
    } else {
      std::snprintf(text, sizeof(text), "%s_%d", name, number);
    }
  }
};

constexpr int kPlainKey = -1;

// The value's 32 bits, or `fallback` when the key is missing or holds no usable number.
uint32_t ReadBits(const char* path, const char* key, uint32_t fallback) {
  char text[32];
  int length = platform::ReadProfileValue(path, kSettingsSection, key, text, sizeof(text));
  // A value that fills the buffer may have been cut short, so it is no number we can trust.
  if (length < 0 || length >= static_cast<int>(sizeof(text)) - 1) return fallback;
  uint32_t bits;
  if (!ParseProfileNumber(std::string_view(text, static_cast<size_t>(length)), &bits)) {
    return fallback;
  }
  return bits;
}

void ReadInt(const char* path, const KeyName& key, int* field) {
  *field = static_cast<int32_t>(ReadBits(path, key.text, static_cast<uint32_t>(*field)));
}

void ReadUnsigned(const char* path, const KeyName& key, uint32_t* field) {
  *field = ReadBits(path, key.text, *field);
}

// "fs_data1", "fs_data2", "fs_data3", "fs_data41" ... "fs_data48", each part kept at its width.
void ReadGuid(const char* path, int number, DeviceGuid* guid) {
  guid->data1 = ReadBits(path, KeyName("fs_data1", number).text, guid->data1);
  guid->data2 =
      static_cast<uint16_t>(ReadBits(path, KeyName("fs_data2", number).text, guid->data2));
  guid->data3 =
      static_cast<uint16_t>(ReadBits(path, KeyName("fs_data3", number).text, guid->data3));
  for (int i = 0; i < 8; ++i) {
    char name[16];
    std::snprintf(name, sizeof(name), "fs_data4%d", i + 1);
    guid->data4[i] =
        static_cast<uint8_t>(ReadBits(path, KeyName(name, number).text, guid->data4[i]));
  }
}

// Every value is written as "%d", so 32-bit values with the top bit set appear negative.
void WriteNumber(const char* path, const KeyName& key, uint32_t bits) {
  char text[16];
  std::snprintf(text, sizeof(text), "%d", static_cast<int>(static_cast<int32_t>(bits)));
  platform::WriteProfileValue(path, kSettingsSection, key.text, text);  // failures are ignored
}

void WriteGuid(const char* path, int number, const DeviceGuid& guid) {
  WriteNumber(path, KeyName("fs_data1", number), guid.data1);
  WriteNumber(path, KeyName("fs_data2", number), guid.data2);
  WriteNumber(path, KeyName("fs_data3", number), guid.data3);
  for (int i = 0; i < 8; ++i) {
    char name[16];
    std::snprintf(name, sizeof(name), "fs_data4%d", i + 1);
    WriteNumber(path, KeyName(name, number), guid.data4[i]);
  }
}

// Windows names use backslashes; the native build's use slashes.
bool IsSeparator(char c) {
  return c == '\\' || c == '/';
}

}  // namespace

bool SettingsFilePath(void* module, char (&path)[platform::kMaxPathBytes]) {
  size_t length = platform::ModuleFileName(module, path, sizeof(path));
  if (length == 0) return false;
  // Keep the directory part, up to the last separator; a bare name has none.
  while (length > 0 && !IsSeparator(path[length - 1])) --length;
  size_t nameLength = std::strlen(kSettingsFileName);
  if (length + nameLength + 1 > sizeof(path)) {
    path[0] = '\0';  // no shortened path: it would name some other file
    return false;
  }
  std::memcpy(path + length, kSettingsFileName, nameLength + 1);
  return true;
}

int ReadDeviceRecord(const char* path, int number, DeviceGuid* guid) {
  *guid = DeviceGuid{};
  if (ReadBits(path, KeyName("guid_exists", number).text, 0) != kDeviceRecordMark) return 0;
  ReadGuid(path, number, guid);
  return 1;
}

namespace {

// The full-screen device must be one that exists: the stored one when it does, else the first
// of the list with its mode, else none with 640 x 480 at 16 bits and 60 Hz.
void FallBackToAnExistingDevice(PluginSettingsRecord& s) {
  if (FindDeviceByGuid(s.fs_guid)) return;
  // The stored device is gone: its mode means nothing on another device.
  if (const DisplayDevice* first = DisplayDeviceList) {
    s.fs_refresh = static_cast<int>(first->refreshRate);
    s.fs_width = static_cast<int>(first->width);
    s.fs_height = static_cast<int>(first->height);
    s.fs_guid = first->guid;
    s.fs_bits = static_cast<int>(first->bitsPerPixel);
  } else {
    s.fs_refresh = 60;
    s.fs_width = 640;
    s.fs_height = 480;
    s.fs_bits = 16;
    s.fs_guid = DeviceGuid{};
  }
}

void ReadSettingsFile(const char* path) {
  PluginSettingsRecord& s = PluginSettings;
  ReadInt(path, KeyName("Screen_x", kPlainKey), &s.Screen_x);
  ReadInt(path, KeyName("Screen_y", kPlainKey), &s.Screen_y);
  ReadInt(path, KeyName("Screen_width", kPlainKey), &s.Screen_width);
  ReadInt(path, KeyName("Screen_height", kPlainKey), &s.Screen_height);
  ReadInt(path, KeyName("DDGammaRamp", kPlainKey), &s.DDGammaRamp);
  ReadInt(path, KeyName("fs_current_monitor", kPlainKey), &s.fs_current_monitor);
  ReadInt(path, KeyName("fs_refresh", kPlainKey), &s.fs_refresh);
  ReadInt(path, KeyName("fs_width", kPlainKey), &s.fs_width);
  ReadInt(path, KeyName("fs_height", kPlainKey), &s.fs_height);
  ReadInt(path, KeyName("fs_bits", kPlainKey), &s.fs_bits);
  ReadGuid(path, kPlainKey, &s.fs_guid);

  if (DisplayDeviceList) {
    // Records are numbered without gaps; a later record of a device overrides an earlier one.
    DeviceGuid guid;
    for (int n = 0; ReadDeviceRecord(path, n, &guid); ++n) {
      DisplayDevice* device = FindDeviceByGuid(guid);
      if (!device) continue;
      ReadUnsigned(path, KeyName("fs_refresh", n), &device->refreshRate);
      ReadUnsigned(path, KeyName("fs_width", n), &device->width);
      ReadUnsigned(path, KeyName("fs_height", n), &device->height);
      ReadUnsigned(path, KeyName("fs_bits", n), &device->bitsPerPixel);
    }
  }
}

}  // namespace

void LoadSettings(void* module) {
  char path[platform::kMaxPathBytes];
  // Without a usable settings path nothing is read, but the device still has to exist.
  if (SettingsFilePath(module, path)) ReadSettingsFile(path);
  FallBackToAnExistingDevice(PluginSettings);
}

void SaveSettings(void* module) {
  char path[platform::kMaxPathBytes];
  if (!SettingsFilePath(module, path)) return;
  const PluginSettingsRecord& s = PluginSettings;
  WriteNumber(path, KeyName("Screen_x", kPlainKey), static_cast<uint32_t>(s.Screen_x));
  WriteNumber(path, KeyName("Screen_y", kPlainKey), static_cast<uint32_t>(s.Screen_y));
  WriteNumber(path, KeyName("Screen_width", kPlainKey), static_cast<uint32_t>(s.Screen_width));
  WriteNumber(path, KeyName("Screen_height", kPlainKey), static_cast<uint32_t>(s.Screen_height));
  WriteNumber(path, KeyName("DDGammaRamp", kPlainKey), static_cast<uint32_t>(s.DDGammaRamp));
  WriteNumber(path, KeyName("fs_current_monitor", kPlainKey),
              static_cast<uint32_t>(s.fs_current_monitor));
  WriteNumber(path, KeyName("fs_width", kPlainKey), static_cast<uint32_t>(s.fs_width));
  WriteNumber(path, KeyName("fs_height", kPlainKey), static_cast<uint32_t>(s.fs_height));
  WriteNumber(path, KeyName("fs_refresh", kPlainKey), static_cast<uint32_t>(s.fs_refresh));
  WriteNumber(path, KeyName("fs_bits", kPlainKey), static_cast<uint32_t>(s.fs_bits));
  WriteGuid(path, kPlainKey, s.fs_guid);

  // Each device goes over its own earlier record when that comes first, else to the first
  // free number, so records stay numbered without gaps.
  int n = 0;
  for (const DisplayDevice* device = DisplayDeviceList; device; device = device->next, ++n) {
    DeviceGuid stored;
    while (ReadDeviceRecord(path, n, &stored) && !SameGuid(stored, device->guid)) ++n;
    WriteNumber(path, KeyName("fs_width", n), device->width);
    WriteNumber(path, KeyName("fs_height", n), device->height);
    WriteNumber(path, KeyName("fs_refresh", n), device->refreshRate);
    WriteNumber(path, KeyName("fs_bits", n), device->bitsPerPixel);
    WriteGuid(path, n, device->guid);
    WriteNumber(path, KeyName("guid_exists", n), kDeviceRecordMark);
  }
}
