#pragma once
// A contact sheet: a grid of small copies of frames taken evenly across a render.
#include <vector>

#include "pictures_out/picture.h"

namespace vevirur {

class ContactSheet {
 public:
  // `columns` x `rows` thumbnails `thumb_width` wide (height kept in proportion) out of
  // `total_frames` frames.
  ContactSheet(int total_frames, int frame_width, int frame_height, int columns = 4, int rows = 4,
               int thumb_width = 320);
  // Takes the frame if it is one of the chosen ones.
  void Offer(int index, const Picture& frame);
  const Picture& sheet() const { return sheet_; }

 private:
  std::vector<int> chosen_;
  int columns_, thumb_w_, thumb_h_;
  Picture sheet_;
};

}  // namespace vevirur
