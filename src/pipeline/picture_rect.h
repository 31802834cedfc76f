#pragma once
// A picture rectangle in pixels: what the host asks the draw thread to draw.

struct PictureRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};
