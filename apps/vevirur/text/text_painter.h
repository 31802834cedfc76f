#pragma once
// Text on pictures: UTF-8 strings drawn with a real font, found through fontconfig and
// rasterised (anti-aliased) by FreeType. A character the chosen font lacks comes from another
// installed font that has it; one that no installed font has is drawn as a box.
#include <cstdint>
#include <memory>
#include <string>

#include "pictures_out/picture.h"

namespace vevirur {

struct TextColour {
  uint8_t red, green, blue;
};

struct TextExtent {
  int width, height;
  // The rows drawing touches, from the line box's top: [ink_top, ink_bottom). Wider than the
  // line box when a glyph reaches above or below it.
  int ink_top, ink_bottom;
};

// The one interface the overlays draw through.
class TextPainter {
 public:
  virtual ~TextPainter() = default;
  // Width of `utf8`, the height of its line box and the rows it draws on.
  virtual TextExtent Measure(const std::string& utf8) = 0;
  // Draws `utf8` with its line box's top-left corner at (x, y), clipped to the picture. With
  // `background` the line box is filled with it first (opaque text); otherwise the ink is
  // blended over the picture (transparent text).
  virtual void Draw(Picture& picture, int x, int y, const std::string& utf8, TextColour ink,
                    const TextColour* background = nullptr) = 0;
};

// The system's sans-serif font with glyphs `pixel_size` pixels high in a `line_height` line
// box. Throws AppError when fontconfig finds no font at all.
std::unique_ptr<TextPainter> MakeFontPainter(int pixel_size, int line_height);

// The overlays' painter: 13-pixel glyphs in 16-pixel lines, like the plug-in's window font.
// Safe to use from any thread.
TextPainter& OverlayTextPainter();

// Unicode code points of `utf8`; each malformed byte becomes U+FFFD.
std::u32string DecodeUtf8(const std::string& utf8);

}  // namespace vevirur
