// Builders for picture files made inside the tests, and small pixel helpers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "images/image.h"

namespace images::testing {

using Bytes = std::vector<uint8_t>;

void Put16(Bytes& out, uint32_t v);
void Put32(Bytes& out, uint32_t v);

// A BMP file: 14-byte file header, 40-byte information header, the bit-field masks (red, green,
// blue), palette (blue, green, red, 0 each), then `pixelData` as given (rows bottom-up, already
// padded).
struct BmpLayout {
  int32_t width = 1;
  int32_t height = 1;
  uint16_t bits = 24;
  uint32_t compression = 0;
  uint32_t colorsUsed = 0;
  std::vector<uint32_t> palette;  // 0xRRGGBB
  Bytes pixelData;
  std::vector<uint32_t> masks;
};
Bytes MakeBmp(const BmpLayout& layout);

// A TGA file with the given header fields and pixel data.
struct TgaLayout {
  uint8_t idLength = 0;
  uint8_t colorMapType = 0;
  uint8_t imageType = 2;
  uint16_t colorMapLength = 0;
  uint8_t colorMapEntryBits = 0;
  uint16_t width = 1;
  uint16_t height = 1;
  uint8_t bits = 24;
  uint8_t descriptor = 0;
  Bytes pixelData;
};
Bytes MakeTga(const TgaLayout& layout);

// A PNG file through libpng: `rows` top first, packed as the colour type and bit depth ask.
struct PngLayout {
  uint32_t width = 1;
  uint32_t height = 1;
  int colorType = 2;  // PNG_COLOR_TYPE_RGB
  int bitDepth = 8;
  std::vector<Bytes> rows;
  std::vector<uint32_t> palette;  // 0xRRGGBB
  Bytes transparency;             // tRNS alpha per palette entry
};
Bytes MakePng(const PngLayout& layout);

// A JPEG made by libjpeg directly: `components` 1 (grey), 3 (RGB) or 4 (CMYK, stored inverted
// the way Adobe programs do).
Bytes MakeJpeg(int32_t width, int32_t height, int components, const Bytes& samples);

// An EXIF block (the data of an APP1 segment) whose first directory holds a camera make, then
// the orientation as a 16-bit value.
Bytes MakeExif(uint32_t orientation, bool bigEndian);
// The JPEG with an APP1 segment holding `block` right after its start marker.
Bytes WithApp1(const Bytes& jpeg, const Bytes& block);

// Pixel (x, y) counted from the top left, as 0xRRGGBB (alpha in the top byte at depth 32).
uint32_t PixelAt(const Image& image, int32_t x, int32_t y);
void SetPixel(Image& image, int32_t x, int32_t y, uint32_t argb);
Image MakeImage(int32_t width, int32_t height, int32_t depth, uint32_t argb = 0);

// A fresh empty folder for one test, ending with the separator.
std::string TempFolder(const std::string& name);
bool WriteFile(const std::string& path, const Bytes& data);

}  // namespace images::testing
