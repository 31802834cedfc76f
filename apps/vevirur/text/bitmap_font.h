#pragma once
// A small built-in 5 x 7 font for the title, message and help texts, drawn at twice its size
// into a 12 x 16 cell so that it reads like the system's default font.
#include <cstdint>
#include <string>

#include "pictures_out/picture.h"

namespace vevirur {

constexpr int kFontScale = 2;
constexpr int kGlyphCellWidth = 6 * kFontScale;
constexpr int kGlyphCellHeight = 8 * kFontScale;

struct TextColour {
  uint8_t red, green, blue;
};

struct TextExtent {
  int width, height;
};

TextExtent MeasureText(const std::string& text);

// Draws `text` with its cell's top-left corner at (x, y), clipped to the picture. Characters
// outside printable ASCII show as '?'. With `background`, the cells are filled with it first
// (opaque text); otherwise only the ink is drawn (transparent text).
void DrawText(Picture& picture, int x, int y, const std::string& text, TextColour ink,
              const TextColour* background = nullptr);

}  // namespace vevirur
