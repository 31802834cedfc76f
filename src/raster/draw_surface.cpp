#include "raster/draw_surface.h"

#include <algorithm>
#include <cstring>

#include "raster/dissolve_kernel.h"
#include "raster/line_kernel.h"

namespace {

// The widest and tallest pictures the 16-bit clip rectangle (0, 0, width, height) can describe:
// the width is rounded up to a multiple of four, so 32764 is the widest.
constexpr int kMaxSide = 32767;

}  // namespace

DrawSurface::DrawSurface() {
  memoryDc_ = platform::CreatePixelContext();
}

DrawSurface::~DrawSurface() {
  if (memoryDc_) platform::DeletePixelContext(memoryDc_);
  if (bitmap_) platform::DeletePixelBitmap(bitmap_);
}

bool DrawSurface::AllocateBitmap(int width, int height, int bitsPerPixel) {
  // Sizes beyond what the bitmap may have are refused below; clamping first keeps the
  // arithmetic of the fields in range for any int.
  width = std::clamp(width, 0, kMaxSide + 1);
  height = std::clamp(height, 0, kMaxSide + 1);
  height_ = height;
  width_ = (width + 3) / 4 * 4;

  header_ = {};
  header_.biSize = sizeof(header_);
  header_.biWidth = width_ + 4;
  header_.biHeight = height + 2;
  header_.biPlanes = 1;
  header_.biBitCount = uint16_t(bitsPerPixel);
  header_.biCompression = 0;

  void* bits = nullptr;
  platform::PixelBitmap made = nullptr;
  if (width_ <= kMaxSide && height_ <= kMaxSide && bitsPerPixel > 0 && bitsPerPixel <= 32)
    made = platform::CreatePixelBitmap(memoryDc_, header_, &bits);
  if (!made) {
    // No pixels: the picture keeps its size so that callers' arithmetic stays as requested,
    // and every drawing operation sees no memory and does nothing.
    bits_ = nullptr;
    bytesPerPixel_ = 0;
    stride_ = 0;
    SetClipRect();
    return false;
  }
  bitmap_ = made;
  bits_ = static_cast<uint8_t*>(bits);
  platform::PixelBitmap previous = platform::SelectPixelBitmap(memoryDc_, bitmap_);
  if (previous) platform::DeletePixelBitmap(previous);
  int bitsPerPixelRead = 0, rowBytes = 0;
  if (platform::QueryPixelBitmap(bitmap_, &bitsPerPixelRead, &rowBytes)) {
    bytesPerPixel_ = bitsPerPixelRead / 8;
    stride_ = rowBytes;
  }
  SetClipRect();
  return true;
}

void DrawSurface::SetClipRect(const Rect16* rect) {
  clip_.Set(0, 0, width_, height_);
  if (rect) clip_.Intersect(*rect);
}

void DrawSurface::SetClipRect(int left, int top, int right, int bottom) {
  const Rect16 rect = MakeRect16(left, top, right, bottom);
  SetClipRect(&rect);
}

void DrawSurface::SetColourTable(const uint8_t* rgbQuads) {
  if (bytesPerPixel_ != 1 || !rgbQuads) return;
  std::memcpy(colours_, rgbQuads, sizeof(colours_));
  platform::SetPixelColourTable(memoryDc_, rgbQuads);
}

void DrawSurface::BlitTo(void* targetDc, const Rect16& source, const Rect16& dest) {
  if (source.left > source.right || source.top > source.bottom) return;
  if (dest.left > dest.right || dest.top > dest.bottom) return;
  platform::BlitPixels(targetDc, dest.left, dest.top, dest.right - dest.left,
                       dest.bottom - dest.top, memoryDc_, source.left, source.top);
}

void DrawSurface::SetPenWidth(int width) {
  penWidth_ = std::clamp(width, kMinPenWidth, kMaxPenWidth);
}

RasterTarget DrawSurface::Target(int density) const {
  RasterTarget target;
  target.bits = bits_;
  target.height = height_;
  target.stride = stride_;
  target.clip = clip_;
  target.penWidth = penWidth_;
  target.density = density;
  target.noise = &noise_;
  return target;
}

void DrawSurface::DrawLineRGB(int x1, int y1, int x2, int y2, uint16_t red, uint16_t green,
                              uint16_t blue, int density) {
  const RasterTarget target = Target(density);
  switch (bytesPerPixel_) {
    case 2:
      DrawLineKernel<uint16_t>(target, x1, y1, x2, y2,
                               uint16_t((red >> 11) << 10 | (green >> 11) << 5 | (blue >> 11)));
      break;
    case 4:
      DrawLineKernel<uint32_t>(target, x1, y1, x2, y2,
                               uint32_t(red >> 8) << 16 | uint32_t(green >> 8) << 8 | (blue >> 8));
      break;
    case 1:
      DrawLineKernel<uint8_t>(target, x1, y1, x2, y2, uint8_t(red >> 8));
      break;
    default:
      break;
  }
}

void DrawSurface::Dissolve(const Rect16* rect, int density) {
  const RasterTarget target = Target(density);
  switch (bytesPerPixel_) {
    case 2:
      DissolveKernel<uint16_t>(target, rect);
      break;
    case 4:
      DissolveKernel<uint32_t>(target, rect);
      break;
    case 1:
      DissolveKernel<uint8_t>(target, rect);
      break;
    default:
      break;
  }
}
