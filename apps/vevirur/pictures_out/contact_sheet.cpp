#include "pictures_out/contact_sheet.h"

#include <algorithm>

namespace vevirur {
namespace {
constexpr int kGap = 4;
}  // namespace

ContactSheet::ContactSheet(int total_frames, int frame_width, int frame_height, int columns,
                           int rows, int thumb_width)
    : columns_(columns),
      thumb_w_(thumb_width),
      thumb_h_(std::max(1, thumb_width * frame_height / std::max(1, frame_width))) {
  int cells = columns * rows;
  // Evenly spread, skipping the very start (the about screen and the first strokes).
  for (int i = 0; i < cells; ++i)
    chosen_.push_back(int(int64_t(total_frames) * (2 * i + 1) / (2 * cells)));
  sheet_ = Picture(columns * thumb_w_ + (columns + 1) * kGap, rows * thumb_h_ + (rows + 1) * kGap);
  std::fill(sheet_.rgb.begin(), sheet_.rgb.end(), 24);
}

void ContactSheet::Offer(int index, const Picture& frame) {
  auto it = std::find(chosen_.begin(), chosen_.end(), index);
  if (it == chosen_.end()) return;
  int cell = int(it - chosen_.begin());
  int left = kGap + (cell % columns_) * (thumb_w_ + kGap);
  int top = kGap + (cell / columns_) * (thumb_h_ + kGap);
  // Box filter: each thumbnail pixel is twice the mean of its source block, so thin strokes
  // survive as a glow instead of vanishing between sampled pixels.
  for (int ty = 0; ty < thumb_h_; ++ty) {
    int y0 = ty * frame.height / thumb_h_,
        y1 = std::max(y0 + 1, (ty + 1) * frame.height / thumb_h_);
    for (int tx = 0; tx < thumb_w_; ++tx) {
      int x0 = tx * frame.width / thumb_w_,
          x1 = std::max(x0 + 1, (tx + 1) * frame.width / thumb_w_);
      int sum[3] = {0, 0, 0}, count = 0;
      for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
          const uint8_t* p = frame.rgb.data() + (size_t(y) * size_t(frame.width) + size_t(x)) * 3;
          sum[0] += p[0];
          sum[1] += p[1];
          sum[2] += p[2];
          ++count;
        }
      uint8_t* out = sheet_.pixel(left + tx, top + ty);
      for (int c = 0; c < 3; ++c) out[c] = uint8_t(std::min(255, 2 * sum[c] / count));
    }
  }
}

}  // namespace vevirur
