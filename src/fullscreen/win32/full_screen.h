#pragma once
// The full-screen display: its own top-most window, DirectDraw with a flip chain, and the
// gamma ramp the user raises and lowers.
#include <windows.h>
// windows.h first: ddraw.h builds on its types.
#include <ddraw.h>

#include <vector>

inline constexpr const char* kFullScreenClassName = "VevirurFullScreenMode7122233435263";
inline constexpr const char* kFullScreenTitle = "Vevirur Full screen";
inline constexpr HRESULT kFullScreenFailure = static_cast<HRESULT>(0x80004005);

// Enters (1) or leaves (0) full screen. Stops the draw thread first; the next Render starts it.
// Leaving restores the display mode, shows the cursor and tells the player (IPC 631, 0). A
// failed entry reports "Go FS WinInit fail" or "Go FS DxInit fail" and stays windowed.
void SwitchFullScreen(int enter);

// Registers the window class and creates the (still sizeless) full-screen window into
// `window`. 0, or kFullScreenFailure. The style hint is not used.
HRESULT CreateFullScreenWindow(HINSTANCE instance, int styleHint, HWND* window);

// Exclusive full-screen DirectDraw on device `identity` (null: the primary display driver) in
// the given mode, a primary surface with one back buffer, both black. 1 on success, 0 at the
// first failing step (what was opened stays for CloseFullScreenDisplay).
int OpenFullScreenDisplay(int width, int height, HWND window, int refreshRate, int bitsPerPixel,
                          const GUID* identity);
// Releases everything OpenFullScreenDisplay opened and restores the display mode.
void CloseFullScreenDisplay(HWND window);

// Copies the finished picture to the back buffer, with the overlays, and flips. 0, or
// kFullScreenFailure (after leaving full screen) when the back buffer cannot be drawn on.
int ShowFullScreenFrame(const RECT& picture);

// Writes the ramp of the level DDGammaRamp; with showText 1 also shows "Gamma %d". 0 (also
// when the device has no gamma control), or the gamma control's failing code.
HRESULT ApplyGamma(int showText);

LRESULT CALLBACK FullScreenWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The back buffer's device context, or null outside full screen or when it cannot be had.
HDC GetBackBufferDC();
// Gives the context back and flips, so what was painted on it is shown.
void ReleaseBackBufferDCAndFlip(HDC dc);

// What is open, for the switch's callers and tests.
HWND FullScreenWindow();
bool FullScreenDisplayOpen();  // any DirectDraw object is held
bool FullScreenHasGamma();
// The front buffer as 8-bit RGB triples, row by row (tests and screenshots); false when there
// is no display or it cannot be read.
bool ReadFullScreenPicture(int* width, int* height, std::vector<unsigned char>& rgb);

// Puts the full-screen state back to load; releases nothing (Quit closes the display first).
void ResetFullScreenState();
