#pragma once
// The engine's finished picture into the video encoder's 4:2:0 planes, in one pass over the
// surface's 16-bit pixels, sixteen columns at a time where there is SSE2: no copy and no 8-bit
// RGB picture in between. Byte for byte what ReadShownPicture followed by ConvertToYuv420 gives.
#include <cstdint>
#include <vector>

namespace vevirur {

// What a buffer of planes holds already, so that black staying black is not written again:
// most of a picture is black, and not writing it spares a third of the memory traffic. A flag
// per 16 x 2 pixels, set only where the planes are black.
struct KnownBlack {
  int width = 0, height = 0;
  std::vector<uint8_t> flags;
  // Rows [top, bottom) of the planes were written by somebody else.
  void Forget(int top, int bottom);
};

// `width` x `height` (both even) as the window shows them, black beyond the engine's bitmap.
// False, with `yuv` untouched, when no surface is ready or the surface is not 16-bit (then read
// the picture as RGB instead). Only while the draw thread is not drawing. With `known`, kept
// with `yuv` from one call to the next, black already in `yuv` is left as it is.
bool ConvertShownPictureToYuv420(int width, int height, std::vector<uint8_t>& yuv,
                                 KnownBlack* known = nullptr);

}  // namespace vevirur
