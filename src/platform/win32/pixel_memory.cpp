// Pixel memory on Windows: a DIB section selected into a GDI memory device context.
#include "platform/pixel_memory.h"

#include <windows.h>

#include <cstring>

namespace platform {

static_assert(sizeof(BITMAPINFOHEADER) == sizeof(PixelBitmapHeader), "header layouts differ");

PixelContext CreatePixelContext() {
  return CreateCompatibleDC(nullptr);
}

void DeletePixelContext(PixelContext context) {
  if (context) DeleteDC(static_cast<HDC>(context));
}

PixelBitmap CreatePixelBitmap(PixelContext context, const PixelBitmapHeader& header, void** bits) {
  *bits = nullptr;
  // The header is followed by a zeroed colour table, so that an 8-bit DIB reads 256 defined
  // (black) entries instead of whatever lies after the header.
  struct {
    BITMAPINFOHEADER header;
    RGBQUAD colours[256];
  } info{};
  std::memcpy(&info.header, &header, sizeof(info.header));
  HBITMAP bitmap =
      CreateDIBSection(static_cast<HDC>(context), reinterpret_cast<const BITMAPINFO*>(&info),
                       DIB_RGB_COLORS, bits, nullptr, 0);
  if (!bitmap) *bits = nullptr;
  return bitmap;
}

void DeletePixelBitmap(PixelBitmap bitmap) {
  if (bitmap) DeleteObject(static_cast<HBITMAP>(bitmap));
}

PixelBitmap SelectPixelBitmap(PixelContext context, PixelBitmap bitmap) {
  if (!context) return nullptr;
  HGDIOBJ previous = SelectObject(static_cast<HDC>(context), static_cast<HBITMAP>(bitmap));
  return previous == HGDI_ERROR ? nullptr : previous;
}

bool QueryPixelBitmap(PixelBitmap bitmap, int* bitsPerPixel, int* rowBytes) {
  BITMAP info{};
  if (!bitmap || GetObjectA(static_cast<HBITMAP>(bitmap), sizeof(BITMAP), &info) == 0) return false;
  *bitsPerPixel = info.bmBitsPixel;
  *rowBytes = info.bmWidthBytes;
  return true;
}

void SetPixelColourTable(PixelContext context, const uint8_t* rgbQuads) {
  if (!context || !rgbQuads) return;
  SetDIBColorTable(static_cast<HDC>(context), 0, 256, reinterpret_cast<const RGBQUAD*>(rgbQuads));
}

void BlitPixels(void* target, int x, int y, int width, int height, PixelContext source, int sourceX,
                int sourceY) {
  if (!target || !source) return;
  BitBlt(static_cast<HDC>(target), x, y, width, height, static_cast<HDC>(source), sourceX, sourceY,
         SRCCOPY);
}

}  // namespace platform
