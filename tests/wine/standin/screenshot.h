#pragma once
// A picture of a window as it stands on the screen, saved as PNG so a person can look at it.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace standin {

// Writes 8-bit RGB rows (width * 3 bytes each, top row first) as an uncompressed PNG.
bool WritePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb);

// Copies the window, frame and children included, from its device context; false when the
// window is gone or the file cannot be written. Puts the picture's size into width/height.
enum class WindowArea { kWhole, kClient };

// Copies the window's pixels (frame included, or the client area only) as 0x00RRGGBB values,
// top row first.
bool CopyWindowPixels(HWND window, WindowArea area, int& width, int& height,
                      std::vector<uint32_t>& pixels);

bool SaveWindowPng(HWND window, const std::string& path, int& width, int& height);

}  // namespace standin
