#include "render/overlay_band.h"

#include <algorithm>
#include <cstring>

#include "pictures_out/yuv_convert.h"
#include "raster/shown_picture.h"
#include "text/text_overlays.h"

namespace vevirur {

bool PaintFrameOverlaysOnPlanes(int width, int height, std::vector<uint8_t>& yuv,
                                KnownBlack& known) {
  const OverlayRecording overlays = RecordFrameOverlays(width, height);
  if (overlays.top >= overlays.bottom) return true;
  ShownRows shown;
  if (!OpenShownRows(width, height, shown)) return false;
  // Whole 2 x 2 blocks: a chroma sample depends on both of its rows.
  const int top = overlays.top & ~1, bottom = std::min((overlays.bottom + 1) & ~1, height & ~1);
  if (top >= bottom) return true;
  Picture band(width, bottom - top);
  for (int y = top; y < bottom; ++y) DecodeShownRow(shown, y, band.pixel(0, y - top));
  overlays.PaintOn(band, top);
  known.Forget(top, bottom);
  std::vector<uint8_t> planes;
  ConvertToYuv420(band, planes);

  const size_t luma = size_t(width) * size_t(height), band_luma = size_t(width) * band.height;
  std::memcpy(yuv.data() + size_t(top) * size_t(width), planes.data(), band_luma);
  const size_t chroma_at = size_t(top / 2) * size_t(width / 2), band_chroma = band_luma / 4;
  std::memcpy(yuv.data() + luma + chroma_at, planes.data() + band_luma, band_chroma);
  std::memcpy(yuv.data() + luma + luma / 4 + chroma_at, planes.data() + band_luma + band_chroma,
              band_chroma);
  return true;
}

}  // namespace vevirur
