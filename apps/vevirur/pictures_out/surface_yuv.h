#pragma once
// The engine's finished picture into the video encoder's 4:2:0 planes, in one pass over the
// 16-bit pixels with lookup tables: no 8-bit RGB picture in between. Byte for byte what
// ReadFinishedPicture followed by ConvertToYuv420 gives. The pixels can be copied out of the
// surface first (a quick copy while the draw thread waits) and converted on another thread.
#include <cstdint>
#include <vector>

namespace vevirur {

// The shown picture's x1r5g5b5 pixels, top row first, black beyond the engine's bitmap.
struct ShownPixels {
  int width = 0, height = 0;
  std::vector<uint16_t> pixels;  // width * height
};

// Copies `width` x `height` (both even) as the window shows them. False, with `out` untouched,
// when no surface is ready or the surface is not 16-bit (then read the picture as RGB instead).
// Only while the draw thread is not drawing.
bool CopyShownPixels(int width, int height, ShownPixels& out);

void ConvertShownPixelsToYuv420(const ShownPixels& shown, std::vector<uint8_t>& yuv);

// Both steps at once; false as CopyShownPixels.
bool ConvertShownPictureToYuv420(int width, int height, std::vector<uint8_t>& yuv);

}  // namespace vevirur
