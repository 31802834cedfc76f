#include "fullscreen/display_modes.h"

#include <cstdio>
#include <cstring>

DisplayModeTable ModeTable;

void ResetModeTable() {
  std::memset(&ModeTable, 0, sizeof(ModeTable));
}

int OnDisplayMode(const DisplayMode& offered) {
  if (ModeTable.count >= kModeTableSlots) return 0;
  if (offered.bitsPerPixel != 16) return 1;
  if (offered.width > kMaxModeWidth || offered.height > kMaxModeHeight) return 1;
  ModeTable.slots[ModeTable.count++] = offered;
  return 1;
}

const char* FormatDisplayMode(const DisplayMode& mode, char (&text)[kModeTextBytes]) {
  std::snprintf(text, sizeof(text), "%ux%u, %u Hertz", static_cast<unsigned>(mode.width),
                static_cast<unsigned>(mode.height), static_cast<unsigned>(mode.refreshRate));
  return text;
}

uint32_t ChosenModeSlot(const DisplayDevice& device) {
  uint32_t chosen = 0;
  for (uint32_t i = 0; i < ModeTable.count && i < kModeTableSlots; ++i) {
    const DisplayMode& mode = ModeTable.slots[i];
    if (mode.width == device.width && mode.height == device.height &&
        mode.refreshRate == device.refreshRate && mode.bitsPerPixel == device.bitsPerPixel) {
      chosen = i;
    }
  }
  return chosen;
}
