// The PNG and JPEG readers over libpng and libjpeg.
#include <png.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "images/codecs.h"
#include "picture_files.h"

namespace images {
namespace {

using testing::Bytes;
using testing::MakeExif;
using testing::MakeJpeg;
using testing::MakePng;
using testing::PixelAt;
using testing::WithApp1;

Image Decode(const Bytes& data, uint32_t tag) {
  Image image;
  EXPECT_TRUE(DecodeImage(data.data(), data.size(), image));
  EXPECT_EQ(image.codec, tag);
  return image;
}

bool Near(uint32_t a, uint32_t b, int tolerance) {
  for (int shift = 0; shift < 32; shift += 8) {
    if (std::abs(static_cast<int>((a >> shift) & 255) - static_cast<int>((b >> shift) & 255)) >
        tolerance) {
      return false;
    }
  }
  return true;
}

TEST(PngDecoder, RgbIs24BitAndRgbaIs32Bit) {
  Image image = Decode(MakePng({.width = 2,
                                .height = 1,
                                .colorType = PNG_COLOR_TYPE_RGB,
                                .rows = {{10, 20, 30, 40, 50, 60}}}),
                       kTagPng);
  EXPECT_EQ(image.depth, 24);
  EXPECT_EQ(PixelAt(image, 0, 0), 0x0A141Eu);
  EXPECT_EQ(PixelAt(image, 1, 0), 0x28323Cu);

  image = Decode(MakePng({.width = 1,
                          .height = 2,
                          .colorType = PNG_COLOR_TYPE_RGBA,
                          .rows = {{1, 2, 3, 4}, {5, 6, 7, 8}}}),
                 kTagPng);
  EXPECT_EQ(image.depth, 32);
  EXPECT_EQ(PixelAt(image, 0, 0), 0x04010203u);
  EXPECT_EQ(PixelAt(image, 0, 1), 0x08050607u);
}

TEST(PngDecoder, PaletteWithTransparencyIs32Bit) {
  const Image image = Decode(MakePng({.width = 2,
                                      .height = 1,
                                      .colorType = PNG_COLOR_TYPE_PALETTE,
                                      .rows = {{1, 0}},
                                      .palette = {0xFF0000, 0x00FF00},
                                      .transparency = {0, 200}}),
                             kTagPng);
  EXPECT_EQ(image.depth, 32);
  EXPECT_EQ(PixelAt(image, 0, 0), 0xC800FF00u);
  EXPECT_EQ(PixelAt(image, 1, 0), 0x00FF0000u);
}

TEST(PngDecoder, LowBitGreyAndSixteenBitChannelsEndAsEightBitColour) {
  Image image = Decode(MakePng({.width = 8,
                                .height = 1,
                                .colorType = PNG_COLOR_TYPE_GRAY,
                                .bitDepth = 1,
                                .rows = {{0xA0}}}),
                       kTagPng);
  EXPECT_EQ(image.depth, 24);
  EXPECT_EQ(PixelAt(image, 0, 0), 0xFFFFFFu);
  EXPECT_EQ(PixelAt(image, 1, 0), 0u);
  EXPECT_EQ(PixelAt(image, 2, 0), 0xFFFFFFu);

  image = Decode(MakePng({.width = 1,
                          .height = 1,
                          .colorType = PNG_COLOR_TYPE_RGB,
                          .bitDepth = 16,
                          .rows = {{0x12, 0x34, 0xAB, 0xCD, 0xFF, 0xFF}}}),
                 kTagPng);
  EXPECT_EQ(image.depth, 24);
  EXPECT_EQ(PixelAt(image, 0, 0), 0x12ABFFu);

  image = Decode(MakePng({.width = 1,
                          .height = 1,
                          .colorType = PNG_COLOR_TYPE_GRAY_ALPHA,
                          .bitDepth = 16,
                          .rows = {{0x80, 0, 0x40, 0}}}),
                 kTagPng);
  EXPECT_EQ(image.depth, 32);
  EXPECT_EQ(PixelAt(image, 0, 0), 0x40808080u);
}

TEST(PngDecoder, BrokenFilesAreRefused) {
  const Bytes good = MakePng({.width = 4,
                              .height = 4,
                              .colorType = PNG_COLOR_TYPE_RGB,
                              .rows = std::vector<Bytes>(4, Bytes(12, 7))});
  Image image;
  for (size_t cut : {size_t{8}, size_t{30}, good.size() / 2, good.size() - 13}) {
    Bytes truncated(good.begin(), good.begin() + static_cast<long>(cut));
    EXPECT_FALSE(DecodeImage(truncated.data(), truncated.size(), image)) << cut;
  }
  Bytes corrupt = good;
  corrupt[20] ^= 0x55;  // inside the header chunk: its checksum no longer matches
  EXPECT_FALSE(DecodeImage(corrupt.data(), corrupt.size(), image));
  EXPECT_EQ(image.width, 0);  // untouched on failure
}

TEST(JpegDecoder, ColourGreyAndCmykFilesDecodeToBlueGreenRed) {
  Bytes rgb;
  for (int i = 0; i < 16 * 16; ++i) rgb.insert(rgb.end(), {200, 100, 50});
  Image image = Decode(MakeJpeg(16, 16, 3, rgb), kTagJpeg);
  EXPECT_EQ(image.depth, 24);
  EXPECT_TRUE(Near(PixelAt(image, 5, 5), 0xC86432, 3)) << std::hex << PixelAt(image, 5, 5);

  image = Decode(MakeJpeg(8, 8, 1, Bytes(64, 77)), kTagJpeg);
  EXPECT_TRUE(Near(PixelAt(image, 3, 3), 0x4D4D4D, 1));

  // Inverted CMYK as Adobe writes it: c = 255 - cyan...; full black ink off, cyan on.
  Bytes cmyk;
  for (int i = 0; i < 64; ++i) cmyk.insert(cmyk.end(), {0, 255, 255, 255});
  image = Decode(MakeJpeg(8, 8, 4, cmyk), kTagJpeg);
  EXPECT_TRUE(Near(PixelAt(image, 3, 3), 0x00FFFF, 3)) << std::hex << PixelAt(image, 3, 3);
}

TEST(JpegDecoder, BrokenFilesAreRefused) {
  Image image;
  const Bytes header{0xFF, 0xD8, 0xFF, 0xE0, 0x00};
  EXPECT_FALSE(DecodeImage(header.data(), header.size(), image));
  const Bytes garbage{0xFF, 0xD8, 1, 2, 3, 4, 5, 6, 7, 8};
  EXPECT_FALSE(DecodeImage(garbage.data(), garbage.size(), image));
  EXPECT_EQ(image.width, 0);
}

TEST(JpegDecoder, ReducedScaleKeepsBothSidesAtOrAboveTheMinimum) {
  const Bytes file = MakeJpeg(1600, 1200, 3, Bytes(1600 * 1200 * 3, 128));
  Image image;
  ASSERT_TRUE(DecodeImageAtLeast(file.data(), file.size(), 800, 600, image));
  EXPECT_EQ(image.width, 800);
  EXPECT_EQ(image.height, 600);
  ASSERT_TRUE(DecodeImageAtLeast(file.data(), file.size(), 800, 601, image));
  EXPECT_EQ(image.width, 1000);
  EXPECT_EQ(image.height, 750);
  ASSERT_TRUE(DecodeImageAtLeast(file.data(), file.size(), 3000, 10, image));
  EXPECT_EQ(image.width, 1600);
  EXPECT_TRUE(Near(PixelAt(image, 100, 100), 0x808080, 1));
  // Stored on its side: the upright 1200 x 1600 needs 6/8 to keep 800 across.
  const Bytes turned = WithApp1(file, MakeExif(6, false));
  ASSERT_TRUE(DecodeImageAtLeast(turned.data(), turned.size(), 800, 600, image));
  EXPECT_EQ(image.width, 900);
  EXPECT_EQ(image.height, 1200);
}

// A 64 x 32 picture with a clear up and left (red top left, green top right, blue bottom left,
// white bottom right), stored as a camera with EXIF orientation `orientation` stores it.
constexpr int kUprightW = 64, kUprightH = 32;
uint32_t Upright(int x, int y) {
  constexpr uint32_t kQuadrants[4] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
  return kQuadrants[(y >= kUprightH / 2) * 2 + (x >= kUprightW / 2)];
}
Bytes StoredPhoto(int orientation) {
  // Where the stored first row and first column lie in the upright picture: Top, Bottom, Left,
  // Right.
  const char firstRow = "TTBBLRRL"[orientation - 1], firstColumn = "LRRLTTBB"[orientation - 1];
  const bool sideways = firstRow == 'L' || firstRow == 'R';
  const int w = sideways ? kUprightH : kUprightW, h = sideways ? kUprightW : kUprightH;
  Bytes rgb;
  for (int row = 0; row < h; ++row) {
    for (int column = 0; column < w; ++column) {
      int x = firstColumn == 'L' ? column : kUprightW - 1 - column;
      int y = firstRow == 'T' ? row : kUprightH - 1 - row;
      if (sideways) {
        x = firstRow == 'L' ? row : kUprightW - 1 - row;
        y = firstColumn == 'T' ? column : kUprightH - 1 - column;
      }
      const uint32_t c = Upright(x, y);
      rgb.insert(rgb.end(), {static_cast<uint8_t>(c >> 16), static_cast<uint8_t>(c >> 8),
                             static_cast<uint8_t>(c)});
    }
  }
  return MakeJpeg(w, h, 3, rgb);
}

TEST(JpegDecoder, EveryExifOrientationReadsUprightInBothByteOrders) {
  for (bool bigEndian : {false, true}) {
    for (int orientation = 1; orientation <= 8; ++orientation) {
      const Image image =
          Decode(WithApp1(StoredPhoto(orientation), MakeExif(orientation, bigEndian)), kTagJpeg);
      ASSERT_EQ(image.width, kUprightW) << orientation;
      ASSERT_EQ(image.height, kUprightH) << orientation;
      for (int y : {8, 24}) {
        for (int x : {16, 48}) {
          EXPECT_TRUE(Near(PixelAt(image, x, y), Upright(x, y), 12))
              << orientation << ' ' << bigEndian << " at " << x << ", " << y << ": " << std::hex
              << PixelAt(image, x, y);
        }
      }
    }
  }
}

TEST(JpegDecoder, NoOrientationOrADamagedExifBlockReadsAsStored) {
  const Bytes stored = StoredPhoto(6);
  const Image asStored = Decode(stored, kTagJpeg);
  std::vector<Bytes> blocks{MakeExif(9, false)};
  Bytes cut = MakeExif(6, true);
  cut.resize(cut.size() - 12);  // the directory ends inside the orientation entry
  blocks.push_back(cut);
  Bytes farDirectory = MakeExif(6, true);
  farDirectory[10] = 0xFF;  // the directory offset points far beyond the block
  blocks.push_back(farDirectory);
  Bytes longType = MakeExif(6, true);
  longType[31] = 4;  // the orientation given as a LONG
  blocks.push_back(longType);
  Bytes mixedOrder = MakeExif(6, false);
  mixedOrder[7] = 'M';
  blocks.push_back(mixedOrder);
  for (size_t i = 0; i < blocks.size(); ++i) {
    const Image image = Decode(WithApp1(stored, blocks[i]), kTagJpeg);
    EXPECT_EQ(image.width, asStored.width) << i;
    EXPECT_EQ(image.pixels, asStored.pixels) << i;
  }
}

}  // namespace
}  // namespace images
