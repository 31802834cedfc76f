#include "png_writer.h"

#include <png.h>

#include <cstdio>
#include <vector>

namespace {

// libpng reports fatal errors by longjmp; everything that needs cleaning up is plain C state.
bool WriteRows(FILE* file, int width, int height, const uint8_t* rgb) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    return false;
  }
  std::vector<png_bytep> rows(static_cast<size_t>(height));
  for (int y = 0; y < height; ++y)
    rows[size_t(y)] = const_cast<png_bytep>(rgb + size_t(y) * size_t(width) * 3);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_init_io(png, file);
  png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), 8, PNG_COLOR_TYPE_RGB,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_rows(png, info, rows.data());
  png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace

bool WritePng(const std::string& path, int width, int height, const uint8_t* rgb) {
  if (width <= 0 || height <= 0 || !rgb) return false;
  // PNG limits each side to 2^31 - 1; keep well inside what a row pointer table can address.
  if (width > (1 << 24) || height > (1 << 24)) return false;
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  bool ok = WriteRows(file, width, height, rgb);
  ok = (std::fclose(file) == 0) && ok;
  if (!ok) std::remove(path.c_str());
  return ok;
}
