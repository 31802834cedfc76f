// Placeholder drawing interface until the rasteriser lands: a surface that holds no pixels.
#include "raster/drawing.h"

namespace {
int surface_ready = 0;
}  // namespace

int CreateDrawSurface(int, int, int) {
  surface_ready = 1;
  return 1;
}
void DestroyDrawSurface() { surface_ready = 0; }
int IsDrawSurfaceReady() { return surface_ready; }
void* GetDrawSurfaceDC() { return nullptr; }
void BlitDrawSurface(void*, int, int, int, int) {}
void SetDrawPalette(const uint8_t*) {}
void SetPenWidth(int) {}
void SetDrawDensity(int) {}
void DrawLine(int, int, int, int, uint16_t, uint16_t, uint16_t) {}
void DissolveRect(int, int, int, int, int) {}
bool ReadShownPicture(int, int, std::vector<uint8_t>&) { return false; }
