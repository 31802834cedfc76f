#pragma once
// Pixel memory of the platform seam: a bottom-up bitmap selected into a memory device context.
// On Windows these are a DIB section and a GDI memory DC; elsewhere plain memory with the
// identical layout and a memory-DC token, so the rasteriser above sees one kind of picture.
#include <cstdint>

namespace platform {

// Opaque handles: an HDC and an HBITMAP on Windows.
using PixelContext = void*;
using PixelBitmap = void*;

// The bitmap header, field for field a BITMAPINFOHEADER (40 bytes, little-endian layout).
struct PixelBitmapHeader {
  uint32_t biSize;
  int32_t biWidth;
  int32_t biHeight;  // positive: bottom-up, memory row 0 is the lowest row on screen
  uint16_t biPlanes;
  uint16_t biBitCount;
  uint32_t biCompression;  // 0: BI_RGB
  uint32_t biSizeImage;
  int32_t biXPelsPerMeter;
  int32_t biYPelsPerMeter;
  uint32_t biClrUsed;
  uint32_t biClrImportant;
};
static_assert(sizeof(PixelBitmapHeader) == 40, "the header must match BITMAPINFOHEADER");

// A memory device context compatible with the screen (CreateCompatibleDC(NULL)); null on failure.
PixelContext CreatePixelContext();
void DeletePixelContext(PixelContext context);

// Makes a bitmap from `header` whose memory is reachable at *bits; returns null (and *bits null)
// on failure. The memory starts all zero; at 8 bits or less the colour table starts all black.
PixelBitmap CreatePixelBitmap(PixelContext context, const PixelBitmapHeader& header, void** bits);
void DeletePixelBitmap(PixelBitmap bitmap);

// Selects `bitmap` into `context`; returns the bitmap that was selected before (or null).
PixelBitmap SelectPixelBitmap(PixelContext context, PixelBitmap bitmap);

// Reads back the bits per pixel and the row size in bytes (GetObject). False on failure.
bool QueryPixelBitmap(PixelBitmap bitmap, int* bitsPerPixel, int* rowBytes);

// Loads 256 RGBQUADs (blue, green, red, reserved) into the colour table of the bitmap selected
// into `context` (only bitmaps of 8 bits or less have one).
void SetPixelColourTable(PixelContext context, const uint8_t* rgbQuads);

// Copies width x height pixels from `source` at device (sourceX, sourceY) to `target` at
// (x, y), device coordinates counted from the top-left (BitBlt with SRCCOPY). Elsewhere than on
// Windows `target` must be null or a context from CreatePixelContext with a bitmap of the same
// depth selected; parts outside either bitmap are not copied.
void BlitPixels(void* target, int x, int y, int width, int height, PixelContext source, int sourceX,
                int sourceY);

}  // namespace platform
