#pragma once
// DrawSurface: the one off-screen picture, its noise, clip rectangle and pen. The draw density
// is not the surface's: it outlives every surface, so each drawing call is given it. The pixels are
// a bottom-up bitmap (width + 4) x (height + 2) selected into a memory device context; picture row
// y lives in memory row height - 1 - y, so the two extra rows hold picture rows -1 and -2.
#include <cstdint>

#include "platform/pixel_memory.h"
#include "raster/noise_table.h"
#include "raster/raster_target.h"
#include "raster/rect16.h"

class DrawSurface {
 public:
  DrawSurface();
  virtual ~DrawSurface();
  DrawSurface(const DrawSurface&) = delete;
  DrawSurface& operator=(const DrawSurface&) = delete;

  // Makes the bitmap; false when the platform refuses it (the surface then has no pixels and
  // every drawing operation does nothing).
  bool AllocateBitmap(int width, int height, int bitsPerPixel);
  void SetClipRect(const Rect16* rect = nullptr);
  void SetClipRect(int left, int top, int right, int bottom);
  void SetColourTable(const uint8_t* rgbQuads);
  void BlitTo(void* targetDc, const Rect16& source, const Rect16& dest);
  // `density` decides which pixels of a stippled pen are written (65535 and up: solid).
  void DrawLineRGB(int x1, int y1, int x2, int y2, uint16_t red, uint16_t green, uint16_t blue,
                   int density);
  // Clears the pixels whose noise lies below `density`; no rectangle: the clip rectangle.
  void Dissolve(const Rect16* rect, int density);
  void SetPenWidth(int width);

  NoiseTable& Noise() { return noise_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  const Rect16& Clip() const { return clip_; }
  int BytesPerPixel() const { return bytesPerPixel_; }
  int Stride() const { return stride_; }
  int PenWidth() const { return penWidth_; }
  uint8_t* Bits() const { return bits_; }
  platform::PixelContext MemoryDc() const { return memoryDc_; }
  // The colour table last loaded (8-bit surfaces), as RGBQUADs.
  const uint8_t* Colours() const { return colours_; }

 private:
  RasterTarget Target(int density) const;

  NoiseTable noise_;
  int width_ = 0;
  int height_ = 0;
  Rect16 clip_;
  int bytesPerPixel_ = 0;
  int stride_ = 0;
  int penWidth_ = 1;
  uint8_t* bits_ = nullptr;
  platform::PixelBitmap bitmap_ = nullptr;
  platform::PixelContext memoryDc_ = nullptr;
  platform::PixelBitmapHeader header_{};
  uint8_t colours_[256 * 4] = {};
};
