#pragma once
// Writes 8-bit RGB pictures as PNG files.
#include <cstdint>
#include <string>

// Writes `width` x `height` RGB triples, row by row from the top, to `path`.
// Returns false (and leaves no half-written file) when the size is not positive, `rgb` is null
// or the file cannot be written.
bool WritePng(const std::string& path, int width, int height, const uint8_t* rgb);
