#pragma once
// What the full-screen and options-dialog programs share: checks that print, waiting with a
// generous limit (the test machine is loaded), a fake player window, and screenshots.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace win_check {

inline int failures = 0;

inline void Check(bool ok, const std::string& what) {
  std::printf("%s %s\n", ok ? "ok  " : "FAIL", what.c_str());
  std::fflush(stdout);
  if (!ok) ++failures;
}

// Runs the calling thread's messages for `ms` milliseconds.
inline void Pump(DWORD ms) {
  const DWORD start = GetTickCount();
  do {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    Sleep(5);
  } while (GetTickCount() - start < ms);
}

// Polls `done` every 20 ms for up to 20 s (pumping the calling thread's messages).
template <typename Done>
bool WaitFor(Done done, DWORD limitMs = 20000) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > limitMs) return false;
    Pump(20);
  }
  return true;
}

// The player's main window as the plug-in sees it: answers its requests and keeps every
// request and every key that reaches it.
struct FakePlayer {
  HWND window = nullptr;
  LRESULT videoAnswer = 0;  // the answer to IPC 501
  std::vector<std::pair<int, WPARAM>> requests;
  std::vector<std::pair<UINT, WPARAM>> keys;
};
inline FakePlayer player;

inline LRESULT CALLBACK FakePlayerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_USER) {
    player.requests.emplace_back(static_cast<int>(lParam), wParam);
    return lParam == 501 ? player.videoAnswer : 0;
  }
  if (message == WM_KEYDOWN || message == WM_KEYUP) {
    player.keys.emplace_back(message, wParam);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

inline HWND CreateFakePlayer() {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = FakePlayerProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "FakePlayerMainWindow";
  RegisterClassA(&windowClass);
  player.window = CreateWindowExA(0, "FakePlayerMainWindow", "Fake player", WS_OVERLAPPEDWINDOW, 10,
                                  10, 300, 200, nullptr, nullptr, windowClass.hInstance, nullptr);
  return player.window;
}

// Writes 8-bit RGB rows (top first) as a 24-bit BMP.
inline bool SaveBmp(const std::string& path, int width, int height,
                    const std::vector<unsigned char>& rgb) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  const int rowBytes = (width * 3 + 3) & ~3;
  BITMAPFILEHEADER fileHeader{};
  BITMAPINFOHEADER info{};
  fileHeader.bfType = 0x4D42;
  fileHeader.bfOffBits = sizeof(fileHeader) + sizeof(info);
  fileHeader.bfSize = fileHeader.bfOffBits + rowBytes * height;
  info.biSize = sizeof(info);
  info.biWidth = width;
  info.biHeight = height;
  info.biPlanes = 1;
  info.biBitCount = 24;
  std::fwrite(&fileHeader, sizeof(fileHeader), 1, file);
  std::fwrite(&info, sizeof(info), 1, file);
  std::vector<unsigned char> row(rowBytes, 0);
  for (int y = height - 1; y >= 0; --y) {
    for (int x = 0; x < width; ++x) {
      const unsigned char* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
      row[x * 3] = p[2];
      row[x * 3 + 1] = p[1];
      row[x * 3 + 2] = p[0];
    }
    std::fwrite(row.data(), 1, rowBytes, file);
  }
  return std::fclose(file) == 0;
}

// What the screen shows inside `window`'s rectangle, as 8-bit RGB rows.
inline bool CaptureWindow(HWND window, int* width, int* height, std::vector<unsigned char>& rgb) {
  RECT rect;
  if (!GetWindowRect(window, &rect)) return false;
  *width = rect.right - rect.left;
  *height = rect.bottom - rect.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = *width;
  info.bmiHeader.biHeight = -*height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, *width, *height, screen, rect.left, rect.top, SRCCOPY);
  GdiFlush();
  rgb.resize(static_cast<size_t>(*width) * *height * 3);
  const auto* pixels = static_cast<const unsigned char*>(bits);
  for (size_t i = 0; i < static_cast<size_t>(*width) * *height; ++i) {
    rgb[i * 3] = pixels[i * 4 + 2];
    rgb[i * 3 + 1] = pixels[i * 4 + 1];
    rgb[i * 3 + 2] = pixels[i * 4];
  }
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return true;
}

}  // namespace win_check
