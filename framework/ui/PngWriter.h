#pragma once
// A small PNG encoder (deflate stored blocks, no compression) for screenshots that people look at.
#include <cstdint>
#include <string>
#include <vector>

class TBitmap;

// Rgb: Height rows of Width pixels, 3 bytes each (red, green, blue), no padding.
std::vector<uint8_t> EncodePng(int Width, int Height, const std::vector<uint8_t>& Rgb);
// Writes the bitmap as a PNG file; throws on a write failure.
void SavePng(TBitmap& Bitmap, const std::string& FileName);
