#pragma once
// Pictures out as PNG files.
#include <span>
#include <string>

// Writes width x height RGB pixels (rows top first, 3 bytes a pixel) to path as an 8-bit RGB
// PNG. The file appears whole or not at all: it is written under a temporary name beside
// path and renamed at the end. Returns an empty string, or what went wrong.
std::string write_png_file(const char* path, int width, int height,
                           std::span<const unsigned char> rgb);
