#pragma once
// The usable full-screen modes of one display device, as the options dialog lists them.
#include <cstddef>
#include <cstdint>

#include "settings/display_device.h"

struct DisplayMode {
  uint32_t width;
  uint32_t height;
  uint32_t refreshRate;
  uint32_t bitsPerPixel;
};
static_assert(sizeof(DisplayMode) == 16);

inline constexpr uint32_t kModeTableSlots = 4096;
inline constexpr uint32_t kMaxModeWidth = 1600;
inline constexpr uint32_t kMaxModeHeight = 1200;

struct DisplayModeTable {
  DisplayMode slots[kModeTableSlots];
  uint32_t count;
};

// The modes of the device last listed; a Resolution item's value is its slot. Host thread only.
extern DisplayModeTable ModeTable;

void ResetModeTable();

// One mode the device offers: 16-bit modes up to 1600 x 1200 are kept. 1 to go on, 0 to stop
// (the table is full).
int OnDisplayMode(const DisplayMode& offered);

// "800x600, 75 Hertz". Returns `text`.
inline constexpr size_t kModeTextBytes = 48;
const char* FormatDisplayMode(const DisplayMode& mode, char (&text)[kModeTextBytes]);

// The slot to select for `device`: the last one equal to its chosen mode, else 0.
uint32_t ChosenModeSlot(const DisplayDevice& device);
