#pragma once
// The settings file "Vevirur2.ini" beside the plug-in library: PluginSettings and the mode
// chosen for each display device.
#include <cstddef>

#include "settings/display_device.h"
#include "platform/profile_file.h"

inline constexpr const char* kSettingsSection = "Vevirur 2";
inline constexpr const char* kSettingsFileName = "Vevirur2.ini";
inline constexpr int kDeviceRecordMark = 1324;

// The file beside the library `module` (its HINSTANCE). False, with an empty path, when the
// library has no name or the path does not fit; then nothing is read or written.
bool SettingsFilePath(void* module, char (&path)[platform::kMaxPathBytes]);

// Overlays PluginSettings and the devices' chosen modes with the file. Missing, unreadable
// and malformed values keep the current ones.
void LoadSettings(void* module);

// Writes PluginSettings and every device's chosen mode; other keys of the file stay.
void SaveSettings(void* module);

// 1 and the record's identity when device record `number` is present, else 0 and all zero.
int ReadDeviceRecord(const char* path, int number, DeviceGuid* guid);
