#pragma once
// An 8-bit RGB picture, row by row from the top: what the front end shows, encodes and saves.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace vevirur {

struct Picture {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgb;  // width * height * 3

  Picture() = default;
  Picture(int w, int h) : width(w), height(h), rgb(size_t(w) * size_t(h) * 3, 0) {}
  uint8_t* pixel(int x, int y) { return rgb.data() + (size_t(y) * size_t(width) + size_t(x)) * 3; }
};

}  // namespace vevirur
