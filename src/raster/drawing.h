#pragma once
// The drawing interface: the only way the rest of the system makes, draws on, shows and ends
// the current drawing surface. Pixel and GDI details stay behind it.
#include <cstdint>

class DrawSurface;

// Makes the current surface (callers destroy the old one first; one left over is destroyed
// here). Returns 1 on success, 0 when the object cannot be made. When the platform refuses the
// bitmap, "PP Create DIB fail" goes to the error reporter and the call still returns 1: the
// surface then has no pixels, draws nothing and shows whatever its device context holds.
int CreateDrawSurface(int width, int height, int bitsPerPixel);
void DestroyDrawSurface();
int IsDrawSurfaceReady();

// The surface's memory device context (an HDC on Windows, opaque elsewhere).
void* GetDrawSurfaceDC();
// Copies (0, 0, width, height) of the surface to targetDc at (x, y).
void BlitDrawSurface(void* targetDc, int x, int y, int width, int height);
// 256 RGBQUADs (blue, green, red, reserved); changes only an 8-bit surface.
void SetDrawPalette(const uint8_t* rgbQuads);

void SetPenWidth(int width);
void SetDrawDensity(int density);
int DrawDensity();
void DrawLine(int x1, int y1, int x2, int y2, uint16_t red, uint16_t green, uint16_t blue);
void DissolveRect(int left, int top, int right, int bottom, int density);

// The current surface (null when there is none); for the raster's own read-out, tools and tests.
DrawSurface* CurrentDrawSurface();

// Where surface failures go (the frame loop installs its error report; null: nowhere). The
// reporter is called on the thread that creates the surface with a fixed text.
void SetDrawSurfaceErrorReporter(void (*reporter)(const char* text));
