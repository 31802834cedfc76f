#pragma once
// The engine's finished picture into the video encoder's 4:2:0 planes, in one pass over the
// surface's 16-bit pixels, sixteen columns at a time where there is SSE2: no copy and no 8-bit
// RGB picture in between. Byte for byte what ReadShownPicture followed by ConvertToYuv420 gives.
#include <cstdint>
#include <vector>

namespace vevirur {

// `width` x `height` (both even) as the window shows them, black beyond the engine's bitmap.
// False, with `yuv` untouched, when no surface is ready or the surface is not 16-bit (then read
// the picture as RGB instead). Only while the draw thread is not drawing.
bool ConvertShownPictureToYuv420(int width, int height, std::vector<uint8_t>& yuv);

}  // namespace vevirur
