// The drawing interface over the one current surface.
#include "raster/drawing.h"

#include <atomic>
#include <new>

#include "raster/draw_surface.h"
#include "raster/noise_table.h"

namespace {

// The host's thread reads the ready flag and, at quit, destroys the surface; the draw thread
// does everything else. The frame events order the two, so relaxed atomics suffice.
std::atomic<DrawSurface*> current_surface{nullptr};
std::atomic<int> surface_ready{0};
// Survives surface re-creation; 65535 draws thick lines solid.
std::atomic<int> draw_density{65535};
std::atomic<void (*)(const char*)> error_reporter{nullptr};

DrawSurface* Surface() {
  return current_surface.load(std::memory_order_relaxed);
}

void ReportSurfaceError(const char* text) {
  if (auto* report = error_reporter.load(std::memory_order_relaxed)) report(text);
}

}  // namespace

DrawSurface* CurrentDrawSurface() {
  return Surface();
}
int CurrentDrawDensity() {
  return draw_density.load(std::memory_order_relaxed);
}

void SetDrawSurfaceErrorReporter(void (*reporter)(const char*)) {
  error_reporter.store(reporter, std::memory_order_relaxed);
}

int CreateDrawSurface(int width, int height, int bitsPerPixel) {
  if (Surface()) DestroyDrawSurface();  // never leak a surface left over by a caller
  try {
    auto* surface = new (std::nothrow) DrawSurface;
    if (!surface) return 0;
    current_surface.store(surface, std::memory_order_relaxed);
    FillNoiseTable(surface->Noise());
    if (!surface->AllocateBitmap(width, height, bitsPerPixel))
      ReportSurfaceError("PP Create DIB fail");
    surface->SetClipRect(1, 1, int(int64_t(width) - 2), int(int64_t(height) - 2));
  } catch (...) {
    DestroyDrawSurface();
    return 0;
  }
  surface_ready.store(1, std::memory_order_relaxed);
  return 1;
}

void DestroyDrawSurface() {
  surface_ready.store(0, std::memory_order_relaxed);
  delete current_surface.exchange(nullptr, std::memory_order_relaxed);
}

int IsDrawSurfaceReady() {
  return surface_ready.load(std::memory_order_relaxed);
}

void* GetDrawSurfaceDC() {
  DrawSurface* surface = Surface();
  return surface ? surface->MemoryDc() : nullptr;
}

void BlitDrawSurface(void* targetDc, int x, int y, int width, int height) {
  DrawSurface* surface = Surface();
  if (!surface) return;
  // Only the low 16 bits of each edge count, so the far edges may wrap instead of overflowing.
  const int right = int(uint32_t(x) + uint32_t(width));
  const int bottom = int(uint32_t(y) + uint32_t(height));
  surface->BlitTo(targetDc, MakeRect16(0, 0, width, height), MakeRect16(x, y, right, bottom));
}

void SetDrawPalette(const uint8_t* rgbQuads) {
  if (DrawSurface* surface = Surface()) surface->SetColorTable(rgbQuads);
}

void SetPenWidth(int width) {
  if (DrawSurface* surface = Surface()) surface->SetPenWidth(width);
}

void SetDrawDensity(int density) {
  draw_density.store(density, std::memory_order_relaxed);
}

void DrawLine(int x1, int y1, int x2, int y2, uint16_t red, uint16_t green, uint16_t blue) {
  if (DrawSurface* surface = Surface()) surface->DrawLineRGB(x1, y1, x2, y2, red, green, blue);
}

void DissolveRect(int left, int top, int right, int bottom, int density) {
  DrawSurface* surface = Surface();
  if (!surface) return;
  const int remembered = CurrentDrawDensity();
  SetDrawDensity(density);
  const Rect16 rect = MakeRect16(left, top, right, bottom);
  surface->Dissolve(&rect);
  SetDrawDensity(remembered);
}
