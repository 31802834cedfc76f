// The drawing interface over the one current surface.
#include "raster/drawing.h"

#include <atomic>
#include <new>

#include "raster/draw_surface.h"
#include "raster/noise_table.h"

namespace {

// The host's thread reads the ready flag and, at quit, destroys the surface; the draw thread
// does everything else. The frame events order the two, so relaxed atomics suffice.
struct DrawingState {
  std::atomic<DrawSurface*> surface{nullptr};
  std::atomic<int> ready{0};
  // Survives surface re-creation; 65535 draws thick lines solid.
  std::atomic<int> density{65535};
  std::atomic<void (*)(const char*)> reporter{nullptr};
};
DrawingState drawing;

DrawSurface* Surface() {
  return drawing.surface.load(std::memory_order_relaxed);
}

int Density() {
  return drawing.density.load(std::memory_order_relaxed);
}

void ReportSurfaceError(const char* text) {
  if (auto* report = drawing.reporter.load(std::memory_order_relaxed)) report(text);
}

}  // namespace

DrawSurface* CurrentDrawSurface() {
  return Surface();
}

void SetDrawSurfaceErrorReporter(void (*reporter)(const char*)) {
  drawing.reporter.store(reporter, std::memory_order_relaxed);
}

int CreateDrawSurface(int width, int height, int bitsPerPixel) {
  if (Surface()) DestroyDrawSurface();  // never leak a surface left over by a caller
  try {
    auto* surface = new (std::nothrow) DrawSurface;
    if (!surface) return 0;
    drawing.surface.store(surface, std::memory_order_relaxed);
    FillNoiseTable(surface->Noise());
    if (!surface->AllocateBitmap(width, height, bitsPerPixel))
      ReportSurfaceError("PP Create DIB fail");
    surface->SetClipRect(1, 1, int(int64_t(width) - 2), int(int64_t(height) - 2));
  } catch (...) {
    DestroyDrawSurface();
    return 0;
  }
  drawing.ready.store(1, std::memory_order_relaxed);
  return 1;
}

void DestroyDrawSurface() {
  drawing.ready.store(0, std::memory_order_relaxed);
  delete drawing.surface.exchange(nullptr, std::memory_order_relaxed);
}

int IsDrawSurfaceReady() {
  return drawing.ready.load(std::memory_order_relaxed);
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
  if (DrawSurface* surface = Surface()) surface->SetColourTable(rgbQuads);
}

void SetPenWidth(int width) {
  if (DrawSurface* surface = Surface()) surface->SetPenWidth(width);
}

void SetDrawDensity(int density) {
  drawing.density.store(density, std::memory_order_relaxed);
}

int DrawDensity() {
  return Density();
}

void DrawLine(int x1, int y1, int x2, int y2, uint16_t red, uint16_t green, uint16_t blue) {
  if (DrawSurface* surface = Surface())
    surface->DrawLineRGB(x1, y1, x2, y2, red, green, blue, Density());
}

void DissolveRect(int left, int top, int right, int bottom, int density) {
  // The dissolve is handed its own density; the draw density stays as it is.
  if (DrawSurface* surface = Surface()) {
    const Rect16 rect = MakeRect16(left, top, right, bottom);
    surface->Dissolve(&rect, density);
  }
}
