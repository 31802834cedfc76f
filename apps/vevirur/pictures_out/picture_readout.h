#pragma once
// Reads the engine's finished picture, as the window shows it, into a front-end picture.
#include "pictures_out/picture.h"

namespace vevirur {

// Fills `picture` (already `width` x `height`); false when no surface is ready. Only while the
// draw thread is not drawing.
bool ReadFinishedPicture(Picture& picture);

}  // namespace vevirur
