// Pixel memory without a window system: plain zeroed memory laid out like a DIB section.
#include "platform/pixel_memory.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace platform {
namespace {

struct MemoryBitmap {
  int width = 0;   // pixels per row
  int height = 0;  // rows
  int bitsPerPixel = 0;
  int rowBytes = 0;  // rows are padded to 4 bytes, as in a DIB
  uint8_t* bits = nullptr;
  uint8_t colours[256 * 4] = {};
};

struct MemoryContext {
  MemoryBitmap* selected = nullptr;
};

bool IsDibDepth(int bits) {
  return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

// Byte address of device pixel (x, y) (top-down device rows over bottom-up memory).
uint8_t* DevicePixel(const MemoryBitmap& bitmap, int x, int y) {
  const size_t row = size_t(bitmap.height - 1 - y);
  return bitmap.bits + row * size_t(bitmap.rowBytes) + size_t(x) * size_t(bitmap.bitsPerPixel / 8);
}

}  // namespace

PixelContext CreatePixelContext() {
  return new (std::nothrow) MemoryContext;
}

void DeletePixelContext(PixelContext context) {
  delete static_cast<MemoryContext*>(context);
}

PixelBitmap CreatePixelBitmap(PixelContext context, const PixelBitmapHeader& header, void** bits) {
  *bits = nullptr;
  const int width = header.biWidth;
  const int height = header.biHeight;
  if (header.biSize != sizeof(PixelBitmapHeader) || header.biPlanes != 1 ||
      header.biCompression != 0 || !IsDibDepth(header.biBitCount) || width <= 0 || height <= 0)
    return nullptr;
  const int64_t rowBytes = (int64_t(width) * header.biBitCount + 31) / 32 * 4;
  const int64_t size = rowBytes * height;
  if (rowBytes > INT32_MAX || size > (int64_t(1) << 40)) return nullptr;
  auto* bitmap = new (std::nothrow) MemoryBitmap;
  if (!bitmap) return nullptr;
  bitmap->bits = static_cast<uint8_t*>(std::calloc(size_t(size), 1));
  if (!bitmap->bits) {
    delete bitmap;
    return nullptr;
  }
  bitmap->width = width;
  bitmap->height = height;
  bitmap->bitsPerPixel = header.biBitCount;
  bitmap->rowBytes = int(rowBytes);
  *bits = bitmap->bits;
  return bitmap;
}

void DeletePixelBitmap(PixelBitmap handle) {
  auto* bitmap = static_cast<MemoryBitmap*>(handle);
  if (!bitmap) return;
  std::free(bitmap->bits);
  delete bitmap;
}

PixelBitmap SelectPixelBitmap(PixelContext handle, PixelBitmap bitmap) {
  auto* context = static_cast<MemoryContext*>(handle);
  if (!context) return nullptr;
  MemoryBitmap* previous = context->selected;
  context->selected = static_cast<MemoryBitmap*>(bitmap);
  return previous;
}

bool QueryPixelBitmap(PixelBitmap handle, int* bitsPerPixel, int* rowBytes) {
  const auto* bitmap = static_cast<const MemoryBitmap*>(handle);
  if (!bitmap) return false;
  *bitsPerPixel = bitmap->bitsPerPixel;
  *rowBytes = bitmap->rowBytes;
  return true;
}

void SetPixelColourTable(PixelContext handle, const uint8_t* rgbQuads) {
  auto* context = static_cast<MemoryContext*>(handle);
  if (!context || !context->selected || !rgbQuads || context->selected->bitsPerPixel > 8) return;
  std::memcpy(context->selected->colours, rgbQuads, sizeof(context->selected->colours));
}

void BlitPixels(void* targetHandle, int x, int y, int width, int height, PixelContext sourceHandle,
                int sourceX, int sourceY) {
  auto* target = static_cast<MemoryContext*>(targetHandle);
  auto* source = static_cast<MemoryContext*>(sourceHandle);
  if (!target || !source || !target->selected || !source->selected) return;
  const MemoryBitmap& to = *target->selected;
  const MemoryBitmap& from = *source->selected;
  if (to.bitsPerPixel != from.bitsPerPixel || to.bitsPerPixel < 8 || width <= 0 || height <= 0)
    return;
  // Clip the copy to both bitmaps, in 64 bits so that no sum of coordinates can overflow.
  int64_t x0 = x, y0 = y, sx0 = sourceX, sy0 = sourceY, w = width, h = height;
  auto cut_front = [](int64_t& a, int64_t& b, int64_t& len) {
    const int64_t skip = a < 0 || b < 0 ? -(a < b ? a : b) : 0;
    a += skip;
    b += skip;
    len -= skip;
  };
  cut_front(x0, sx0, w);
  cut_front(y0, sy0, h);
  if (w > to.width - x0) w = to.width - x0;
  if (w > from.width - sx0) w = from.width - sx0;
  if (h > to.height - y0) h = to.height - y0;
  if (h > from.height - sy0) h = from.height - sy0;
  if (w <= 0 || h <= 0) return;
  const size_t bytes = size_t(w) * size_t(to.bitsPerPixel / 8);
  for (int64_t row = 0; row < h; ++row)
    std::memmove(DevicePixel(to, int(x0), int(y0 + row)),
                 DevicePixel(from, int(sx0), int(sy0 + row)), bytes);
}

}  // namespace platform
