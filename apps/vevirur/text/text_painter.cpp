#include "text/text_painter.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <map>
#include <mutex>
#include <vector>

#include "app_error.h"

namespace vevirur {
namespace {

struct Glyph {
  int left = 0, top = 0, width = 0, height = 0, advance = 0;
  std::vector<uint8_t> coverage;  // width * height, 0..255
  bool box = false;               // no installed font has the character
};

class FontPainter : public TextPainter {
 public:
  FontPainter(int pixel_size, int line_height) : size_(pixel_size), line_(line_height) {
    if (FT_Init_FreeType(&library_) != 0) throw AppError("cannot start FreeType");
    if (!FcInit()) throw AppError("cannot start fontconfig");
    // Every installed font in order of preference for sans-serif text, for characters the
    // first one lacks.
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>("sans-serif"));
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result;
    fonts_ = FcFontSort(nullptr, pattern, FcFalse, nullptr, &result);
    FcPatternDestroy(pattern);
    if (!fonts_ || fonts_->nfont == 0 || !Face(0))
      throw AppError("no font found (install fonts-dejavu-core)");
    FT_Face first = Face(0);
    ascent_ = int((first->size->metrics.ascender + 63) >> 6);
    baseline_ = std::min(line_ - 1, (line_ - size_) / 2 + ascent_ - 1);
  }

  ~FontPainter() override {
    for (auto& [index, face] : faces_)
      if (face) FT_Done_Face(face);
    if (fonts_) FcFontSetDestroy(fonts_);
    FcFini();  // fontconfig's own configuration and caches (the painter is its only user)
    FT_Done_FreeType(library_);
  }

  TextExtent Measure(const std::string& utf8) override {
    std::lock_guard<std::mutex> lock(mutex_);
    TextExtent extent{0, line_, 0, line_};
    for (char32_t c : DecodeUtf8(utf8)) {
      const Glyph& glyph = GlyphFor(c);
      extent.width += glyph.advance;
      const int top = glyph.box ? baseline_ - ascent_ + 2 : baseline_ - glyph.top;
      const int bottom = glyph.box ? baseline_ + 1 : top + glyph.height;
      extent.ink_top = std::min(extent.ink_top, top);
      extent.ink_bottom = std::max(extent.ink_bottom, bottom);
    }
    return extent;
  }

  void Draw(Picture& picture, int x, int y, const std::string& utf8, TextColour ink,
            const TextColour* background) override {
    std::lock_guard<std::mutex> lock(mutex_);
    int pen = x;
    for (char32_t c : DecodeUtf8(utf8)) {
      if (pen >= picture.width) break;
      const Glyph& glyph = GlyphFor(c);
      if (background) Fill(picture, pen, y, glyph.advance, line_, *background);
      if (glyph.box) {
        DrawBox(picture, pen, y, glyph, ink);
      } else {
        const int top = y + baseline_ - glyph.top;
        for (int row = 0; row < glyph.height; ++row)
          for (int col = 0; col < glyph.width; ++col)
            Blend(picture, pen + glyph.left + col, top + row,
                  glyph.coverage[size_t(row * glyph.width + col)], ink);
      }
      pen += glyph.advance;
    }
  }

 private:
  static void Fill(Picture& p, int x, int y, int w, int h, TextColour c) {
    for (int py = std::max(0, y); py < std::min(p.height, y + h); ++py)
      for (int px = std::max(0, x); px < std::min(p.width, x + w); ++px) {
        uint8_t* d = p.pixel(px, py);
        d[0] = c.red, d[1] = c.green, d[2] = c.blue;
      }
  }

  static void Blend(Picture& p, int x, int y, int alpha, TextColour c) {
    if (alpha == 0 || x < 0 || y < 0 || x >= p.width || y >= p.height) return;
    uint8_t* d = p.pixel(x, y);
    const uint8_t ink[3] = {c.red, c.green, c.blue};
    for (int i = 0; i < 3; ++i) d[i] = uint8_t((ink[i] * alpha + d[i] * (255 - alpha) + 127) / 255);
  }

  // A hollow box one pixel inside the advance, from the cap height to the baseline.
  void DrawBox(Picture& p, int x, int y, const Glyph& g, TextColour ink) const {
    const int left = x + 1, right = x + g.advance - 2;
    const int top = y + baseline_ - ascent_ + 2, bottom = y + baseline_;
    for (int px = left; px <= right; ++px) {
      Blend(p, px, top, 255, ink);
      Blend(p, px, bottom, 255, ink);
    }
    for (int py = top; py <= bottom; ++py) {
      Blend(p, left, py, 255, ink);
      Blend(p, right, py, 255, ink);
    }
  }

  // The face of the sorted font set's entry `index`, opened on first use (null: unusable).
  FT_Face Face(int index) {
    auto found = faces_.find(index);
    if (found != faces_.end()) return found->second;
    FT_Face face = nullptr;
    FcChar8* file = nullptr;
    int face_index = 0;
    FcPatternGetInteger(fonts_->fonts[index], FC_INDEX, 0, &face_index);
    if (FcPatternGetString(fonts_->fonts[index], FC_FILE, 0, &file) == FcResultMatch &&
        FT_New_Face(library_, reinterpret_cast<const char*>(file), face_index, &face) == 0) {
      if (FT_Set_Pixel_Sizes(face, 0, FT_UInt(size_)) != 0) {
        FT_Done_Face(face);
        face = nullptr;
      }
    }
    faces_[index] = face;
    return face;
  }

  const Glyph& GlyphFor(char32_t c) {
    auto found = glyphs_.find(c);
    if (found != glyphs_.end()) return found->second;
    Glyph glyph;
    FT_Face face = nullptr;
    FT_UInt index = 0;
    // The preferred font first; others only when they have the character.
    for (int i = 0; i < fonts_->nfont && index == 0; ++i) {
      FcCharSet* chars = nullptr;
      if (i > 0 && (FcPatternGetCharSet(fonts_->fonts[i], FC_CHARSET, 0, &chars) != FcResultMatch ||
                    !FcCharSetHasChar(chars, FcChar32(c))))
        continue;
      face = Face(i);
      if (face) index = FT_Get_Char_Index(face, FT_ULong(c));
    }
    if (index != 0 && FT_Load_Glyph(face, index, FT_LOAD_RENDER) == 0) {
      const FT_GlyphSlot slot = face->glyph;
      const FT_Bitmap& bitmap = slot->bitmap;
      glyph.left = slot->bitmap_left;
      glyph.top = slot->bitmap_top;
      glyph.width = int(bitmap.width);
      glyph.height = int(bitmap.rows);
      glyph.advance = int((slot->advance.x + 32) >> 6);
      glyph.coverage.resize(size_t(glyph.width) * size_t(glyph.height));
      for (int row = 0; row < glyph.height; ++row)
        for (int col = 0; col < glyph.width; ++col)
          glyph.coverage[size_t(row * glyph.width + col)] = bitmap.buffer[row * bitmap.pitch + col];
    } else {
      glyph.box = true;
      glyph.advance = std::max(4, size_ * 3 / 5 + 2);
    }
    return glyphs_.emplace(c, std::move(glyph)).first->second;
  }

  const int size_, line_;
  int ascent_ = 0, baseline_ = 0;
  FT_Library library_ = nullptr;
  FcFontSet* fonts_ = nullptr;
  std::map<int, FT_Face> faces_;
  std::map<char32_t, Glyph> glyphs_;
  std::mutex mutex_;
};

}  // namespace

std::u32string DecodeUtf8(const std::string& utf8) {
  std::u32string out;
  const auto* s = reinterpret_cast<const unsigned char*>(utf8.data());
  const size_t n = utf8.size();
  for (size_t i = 0; i < n;) {
    const unsigned char b = s[i];
    int length = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
    char32_t c = length == 1 ? b : length == 2 ? b & 0x1F : length == 3 ? b & 0x0F : b & 0x07;
    bool ok = length > 0 && i + size_t(length) <= n;
    for (int k = 1; ok && k < length; ++k) {
      ok = (s[i + size_t(k)] & 0xC0) == 0x80;
      c = c << 6 | (s[i + size_t(k)] & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are malformed too.
    static constexpr char32_t kSmallest[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (ok && (c < kSmallest[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))) ok = false;
    out.push_back(ok ? c : U'\uFFFD');
    i += ok ? size_t(length) : 1;
  }
  return out;
}

std::unique_ptr<TextPainter> MakeFontPainter(int pixel_size, int line_height) {
  return std::make_unique<FontPainter>(pixel_size, line_height);
}

TextPainter& OverlayTextPainter() {
  static const std::unique_ptr<TextPainter> painter = MakeFontPainter(13, 16);
  return *painter;
}

}  // namespace vevirur
