#include "pictures_out/picture_readout.h"

#include "raster/drawing.h"

namespace vevirur {

bool ReadFinishedPicture(Picture& picture) {
  return ReadShownPicture(picture.width, picture.height, picture.rgb);
}

}  // namespace vevirur
