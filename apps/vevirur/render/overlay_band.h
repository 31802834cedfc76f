#pragma once
// The frame overlays over a picture already in 4:2:0 planes: only the rows they touch are read
// out as RGB, painted and converted again, so a titled frame costs little more than a plain one.
#include <cstdint>
#include <vector>

#include "pictures_out/surface_yuv.h"

namespace vevirur {

// `yuv` holds the shown picture's planes (width x height, both even), as
// ConvertShownPictureToYuv420 made them, and `known` what it knew of them. False, with `yuv`
// untouched, when the picture cannot be read out (then read the whole picture as RGB instead).
bool PaintFrameOverlaysOnPlanes(int width, int height, std::vector<uint8_t>& yuv,
                                KnownBlack& known);

}  // namespace vevirur
