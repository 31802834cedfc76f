#pragma once
// The picture as BlitDrawSurface(dc, 0, 0, width, height) shows it, read row by row: the one
// read-out behind PNG pictures, video frames and the Linux window. Only while the draw thread is
// not drawing.
#include <cstddef>
#include <cstdint>
#include <vector>

// Device row r of the shown area is memory row (bitmap height - 1 - r) of the bottom-up bitmap,
// that is picture row r - 2; columns and rows beyond the bitmap show black.
struct ShownRows {
  int width = 0;  // the shown area
  int height = 0;
  int columns = 0;        // pixels of each row that lie inside the bitmap, at most width
  int rowsInside = 0;     // rows 0..rowsInside - 1 lie inside the bitmap; 0 without pixels
  int bytesPerPixel = 0;  // 1, 2 or 4
  const uint8_t* bits = nullptr;
  int stride = 0;
  int bitmapHeight = 0;
  const uint8_t* colours = nullptr;  // the RGBQUAD table of an 8-bit surface

  // The bitmap pixels shown in device row r (`columns` of them), or null for a black row.
  const uint8_t* Row(int r) const {
    if (r < 0 || r >= rowsInside) return nullptr;
    return bits + std::size_t(bitmapHeight - 1 - r) * std::size_t(stride);
  }
};

// The rows of the current surface for a shown area of width x height; false when no surface is
// ready (or a side is negative).
bool OpenShownRows(int width, int height, ShownRows& rows);

// Every x1r5g5b5 value as 8-bit red, green, blue (each 5-bit channel widened with its top bits
// repeated, so 31 becomes 255): 65536 triples.
const uint8_t* Rgb555Table();

// Device row r as `rows.width` RGB triples into out (black beyond the bitmap).
void DecodeShownRow(const ShownRows& rows, int r, uint8_t* out);

// The whole shown area as 8-bit RGB triples, row by row from the top: width * height * 3 bytes.
// False when no surface is ready.
bool ReadShownPicture(int width, int height, std::vector<uint8_t>& rgb);
