#pragma once
// The settings record; its fields carry the names of their keys in the settings file.
#include "settings/display_device.h"

struct PluginSettingsRecord {
  int Screen_x = 50;  // host frame window placement, screen pixels
  int Screen_y = 50;
  int Screen_width = 640;
  int Screen_height = 480;
  int DDGammaRamp = 200;       // full-screen gamma level, 0..256
  int fs_current_monitor = 1;  // 1: the monitor showing the window; 0: the device fs_guid
  int fs_refresh = 60;         // full-screen mode
  int fs_width = 640;
  int fs_height = 480;
  int fs_bits = 16;
  DeviceGuid fs_guid{};  // the chosen display device
};

// Process-wide; host thread only.
extern PluginSettingsRecord PluginSettings;
