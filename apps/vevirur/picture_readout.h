#pragma once
// Reads the engine's finished picture as the window shows it. Same result as the drawing
// interface's ReadShownPicture, but 16-bit surfaces (the only kind the frame loop makes) go
// through a 64K-entry colour table, several times faster at 1080p: that read-out is most of an
// offline render's time otherwise.
#include "picture.h"

namespace vevirur {

// Fills `picture` (already `width` x `height`); false when no surface is ready. Only while the
// draw thread is not drawing.
bool ReadFinishedPicture(Picture& picture);

}  // namespace vevirur
