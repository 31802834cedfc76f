#include "standin/screenshot.h"

#include <cstdio>

namespace standin {
namespace {

uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc = 0) {
  static uint32_t table[256];
  if (!table[1]) {
    for (uint32_t n = 0; n < 256; ++n) {
      uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = c & 1 ? 0xedb88320u ^ (c >> 1) : c >> 1;
      table[n] = c;
    }
  }
  crc = ~crc;
  for (size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xff] ^ (crc >> 8);
  return ~crc;
}

void PutBigEndian(std::vector<uint8_t>& out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

void PutChunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
  PutBigEndian(out, static_cast<uint32_t>(data.size()));
  size_t typeStart = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  PutBigEndian(out, Crc32(out.data() + typeStart, out.size() - typeStart));
}

// A zlib stream of stored (uncompressed) deflate blocks: no compressor needed, and a
// screenshot of a few hundred kilobytes does no harm.
std::vector<uint8_t> StoredZlib(const std::vector<uint8_t>& raw) {
  std::vector<uint8_t> out = {0x78, 0x01};
  size_t pos = 0;
  do {
    size_t length = raw.size() - pos < 65535 ? raw.size() - pos : 65535;
    bool last = pos + length == raw.size();
    out.push_back(last ? 1 : 0);
    out.push_back(static_cast<uint8_t>(length));
    out.push_back(static_cast<uint8_t>(length >> 8));
    out.push_back(static_cast<uint8_t>(~length));
    out.push_back(static_cast<uint8_t>(~length >> 8));
    out.insert(out.end(), raw.begin() + pos, raw.begin() + pos + length);
    pos += length;
  } while (pos < raw.size());
  uint32_t a = 1, b = 0;
  for (uint8_t byte : raw) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  PutBigEndian(out, (b << 16) | a);
  return out;
}

}  // namespace

bool WritePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb) {
  if (width <= 0 || height <= 0 || rgb.size() != size_t(width) * height * 3) return false;
  std::vector<uint8_t> raw;
  raw.reserve((size_t(width) * 3 + 1) * height);
  for (int y = 0; y < height; ++y) {
    raw.push_back(0);  // filter: none
    auto row = rgb.begin() + size_t(y) * width * 3;
    raw.insert(raw.end(), row, row + size_t(width) * 3);
  }
  std::vector<uint8_t> header;
  PutBigEndian(header, width);
  PutBigEndian(header, height);
  header.insert(header.end(), {8, 2, 0, 0, 0});  // 8-bit RGB, no interlace
  std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
  PutChunk(png, "IHDR", header);
  PutChunk(png, "IDAT", StoredZlib(raw));
  PutChunk(png, "IEND", {});
  FILE* file = fopen(path.c_str(), "wb");
  if (!file) return false;
  bool written = fwrite(png.data(), 1, png.size(), file) == png.size();
  return fclose(file) == 0 && written;
}

bool CopyWindowPixels(HWND window, WindowArea area, int& width, int& height,
                      std::vector<uint32_t>& pixels) {
  RECT rect;
  const bool whole = area == WindowArea::kWhole;
  if (!window || !IsWindow(window) || !(whole ? GetWindowRect(window, &rect)
                                              : GetClientRect(window, &rect)))
    return false;
  width = rect.right - rect.left;
  height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0) return false;
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HDC windowDc = whole ? GetWindowDC(window) : GetDC(window);
  HDC memoryDc = CreateCompatibleDC(windowDc);
  HBITMAP bitmap = CreateDIBSection(windowDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  bool copied = false;
  if (memoryDc && bitmap && bits) {
    HGDIOBJ old = SelectObject(memoryDc, bitmap);
    copied = BitBlt(memoryDc, 0, 0, width, height, windowDc, 0, 0, SRCCOPY) != 0;
    GdiFlush();
    SelectObject(memoryDc, old);
  }
  if (copied) {
    const uint32_t* first = static_cast<const uint32_t*>(bits);
    pixels.assign(first, first + size_t(width) * height);
  }
  if (bitmap) DeleteObject(bitmap);
  if (memoryDc) DeleteDC(memoryDc);
  ReleaseDC(window, windowDc);
  return copied;
}

bool SaveWindowPng(HWND window, const std::string& path, int& width, int& height) {
  std::vector<uint32_t> pixels;
  if (!CopyWindowPixels(window, WindowArea::kWhole, width, height, pixels)) return false;
  std::vector<uint8_t> rgb(pixels.size() * 3);
  for (size_t i = 0; i < pixels.size(); ++i) {
    rgb[i * 3] = uint8_t(pixels[i] >> 16);
    rgb[i * 3 + 1] = uint8_t(pixels[i] >> 8);
    rgb[i * 3 + 2] = uint8_t(pixels[i]);
  }
  return WritePng(path, width, height, rgb);
}

}  // namespace standin
