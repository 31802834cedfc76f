#pragma once
// The line kernel: one algorithm for 8-, 16- and 32-bit pixels. A line is drawn from whichever
// end lies inside the inner box (the clip rectangle shrunk by half the thickness) until it
// leaves that box, so every pixel it writes lies inside the clip rectangle.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "raster/line_geometry.h"
#include "raster/random15.h"
#include "raster/raster_target.h"

namespace raster_detail {

// Visits runs of pixels: solid pens write them, stippled pens write where the noise, read on
// from one random start on every visit, is below the density.
template <typename Pixel>
class PenInk {
 public:
  PenInk(const RasterTarget& target, Pixel value, uint32_t noiseStart)
      : bits_(target.bits),
        noise_(target.noise->values),
        density_(target.density),
        solid_(target.density >= 65535),
        value_(value),
        index_(noiseStart) {}

  // `count` pixels from byte offset `offset`, `step` bytes apart.
  void Run(int64_t offset, int64_t step, int count) {
    uint8_t* p = bits_ + offset;
    if (solid_) {
      if (step == int64_t(sizeof(Pixel))) {
        std::fill_n(reinterpret_cast<Pixel*>(p), count, value_);
      } else {
        for (int i = 0; i < count; ++i, p += step) *reinterpret_cast<Pixel*>(p) = value_;
      }
      return;
    }
    // Reading wraps to the table's start: a long wide stippled line needs more values than
    // remain after its random start.
    for (int i = 0; i < count; ++i, p += step) {
      if (noise_[index_ & kNoiseIndexMask] < density_) *reinterpret_cast<Pixel*>(p) = value_;
      ++index_;
    }
  }

 private:
  uint8_t* bits_;
  const int16_t* noise_;
  int density_;
  bool solid_;
  Pixel value_;
  uint32_t index_;
};

// Walks a line from byte offset `offset`: position k lies k steps along the main axis and
// floor(k * minor / major) along the other (the error sum starts at 0, so the minor step comes
// late). The walk ends at the first position past either axis's limit of steps.
template <typename Visit>
void WalkLine(int64_t offset, int64_t majorStep, int64_t minorStep, int64_t major, int64_t minor,
              int64_t majorLimit, int64_t minorLimit, Visit&& visit) {
  int64_t error = 0, minorDone = 0;
  for (int64_t k = 0; k <= majorLimit && minorDone <= minorLimit; ++k) {
    visit(offset);
    error += minor;
    if (error >= major && major > 0) {
      error -= major;
      ++minorDone;
      if (minorDone <= minorLimit) offset += minorStep;
    }
    if (k < majorLimit) offset += majorStep;
  }
}

}  // namespace raster_detail

template <typename Pixel>
void DrawLineKernel(const RasterTarget& target, int x1, int y1, int x2, int y2, Pixel value) {
  if (!target.bits || !target.noise) return;
  const Rect16& clip = target.clip;
  // The inner box lies inside the clip rectangle; with neither end inside that, nothing can
  // be drawn, and the coordinate differences below stay small enough for exact 64-bit sums.
  auto in_clip = [&clip](int x, int y) {
    return x >= clip.left && x < clip.right && y >= clip.top && y < clip.bottom;
  };
  if (!in_clip(x1, y1) && !in_clip(x2, y2)) return;

  const int pen = std::clamp(target.penWidth, kMinPenWidth, kMaxPenWidth);
  const int thickness = LineThickness(pen, int64_t(x2) - x1, int64_t(y2) - y1);
  const int half = thickness >> 1;
  const int boxLeft = clip.left + half, boxRight = clip.right - half - 1;
  const int boxTop = clip.top + half, boxBottom = clip.bottom - half - 1;
  auto in_box = [&](int x, int y) {
    return x >= boxLeft && x <= boxRight && y >= boxTop && y <= boxBottom;
  };
  int sx, sy, ex, ey;
  if (in_box(x1, y1)) {
    sx = x1, sy = y1, ex = x2, ey = y2;
  } else if (in_box(x2, y2)) {
    sx = x2, sy = y2, ex = x1, ey = y1;
  } else {
    return;
  }

  // Steps allowed along each axis before the line leaves the inner box; it is cut there and
  // never clipped back from its far end.
  const int64_t dx = int64_t(ex) - sx, dy = int64_t(ey) - sy;
  const int64_t adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
  int64_t nx = adx, ny = ady;
  if (dx > 0 && sx + adx > boxRight) nx = boxRight - sx;
  if (dx < 0 && sx - adx < boxLeft) nx = sx - boxLeft;
  if (dy >= 0 && sy + ady > boxBottom) ny = boxBottom - sy;
  if (dy < 0 && sy - ady < boxTop) ny = sy - boxTop;

  // Exactly one random value per drawn line, thin or thick, solid or stippled.
  const uint32_t noiseStart = uint32_t(NextRandom15());

  constexpr int64_t kPixel = sizeof(Pixel);
  const int64_t stride = target.stride;
  const int64_t xStep = dx > 0 ? kPixel : dx < 0 ? -kPixel : 0;
  const int64_t yStep = dy >= 0 ? -stride : stride;  // memory is bottom-up: down the picture
  const int64_t start = target.Offset(sx, sy, int(kPixel));

  if (thickness <= 1) {
    // Thin lines are always solid; a 45-degree line walks along x.
    uint8_t* const bits = target.bits;
    auto put = [bits, value](int64_t offset) { *reinterpret_cast<Pixel*>(bits + offset) = value; };
    if (adx >= ady)
      raster_detail::WalkLine(start, xStep, yStep, adx, ady, nx, ny, put);
    else
      raster_detail::WalkLine(start, yStep, xStep, ady, adx, ny, nx, put);
    return;
  }

  raster_detail::PenInk<Pixel> ink(target, value, noiseStart);

  // Round cap at the start: brush rows from the lowest on screen upwards, each left to right.
  const int h = pen >> 1;
  const int8_t* insets = BrushInsets(pen);
  for (int k = 0; k < pen; ++k) {
    const int count = pen - 2 * insets[k];
    if (count <= 0) continue;
    ink.Run(start + int64_t(k - h) * stride + int64_t(insets[k] - h) * kPixel, kPixel, count);
  }

  // Body: spans across the main axis; a 45-degree line walks along y here.
  if (adx > ady) {
    // Column spans from row y + half upwards.
    const int64_t spanStart = -int64_t(half) * stride;
    raster_detail::WalkLine(start, xStep, yStep, adx, ady, nx, ny, [&](int64_t offset) {
      ink.Run(offset + spanStart, stride, thickness);
    });
  } else {
    // Row spans from column x - half rightwards.
    const int64_t spanStart = -int64_t(half) * kPixel;
    raster_detail::WalkLine(start, yStep, xStep, ady, adx, ny, nx, [&](int64_t offset) {
      ink.Run(offset + spanStart, kPixel, thickness);
    });
  }
}
