// The BMP reader: every row of its table, and headers that lie.
#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>
#include <vector>

#include "images/codecs.h"
#include "picture_files.h"

namespace images {
namespace {

using testing::BmpLayout;
using testing::Bytes;
using testing::MakeBmp;
using testing::PixelAt;

Image Decode(const Bytes& data) {
  Image image;
  EXPECT_TRUE(DecodeImage(data.data(), data.size(), image));
  EXPECT_EQ(image.codec, kTagBmp);
  return image;
}

bool Refused(const Bytes& data) {
  Image image;
  return !DecodeImage(data.data(), data.size(), image);
}

TEST(BmpDecoder, OneBitIsBlackAndWhiteWhateverThePalette) {
  BmpLayout layout{.width = 10, .height = 2, .bits = 1};
  layout.palette = {0x123456, 0xFF0000};
  // Bottom row first: 10110000 01000000, then the top row all set.
  layout.pixelData = {0xB0, 0x40, 0, 0, 0xFF, 0xC0, 0, 0};
  const Image image = Decode(MakeBmp(layout));
  ASSERT_EQ(image.depth, 24);
  EXPECT_EQ(image.sourceDepth, 1);
  const uint32_t bottom[10] = {0xFFFFFF, 0, 0xFFFFFF, 0xFFFFFF, 0, 0, 0, 0, 0, 0xFFFFFF};
  for (int x = 0; x < 10; ++x) {
    EXPECT_EQ(PixelAt(image, x, 1), bottom[x]) << x;
    EXPECT_EQ(PixelAt(image, x, 0), 0xFFFFFFu) << x;
  }
}

TEST(BmpDecoder, FourBitHighNibbleFirstThroughThePalette) {
  BmpLayout layout{.width = 3, .height = 1, .bits = 4};
  layout.palette = {0x000000, 0x112233, 0x445566};
  layout.pixelData = {0x21, 0x10, 0, 0};
  const Image image = Decode(MakeBmp(layout));
  EXPECT_EQ(PixelAt(image, 0, 0), 0x445566u);
  EXPECT_EQ(PixelAt(image, 1, 0), 0x112233u);
  EXPECT_EQ(PixelAt(image, 2, 0), 0x112233u);
}

TEST(BmpDecoder, RunLengthFourBitStaysBlackAtItsSize) {
  BmpLayout layout{.width = 7, .height = 5, .bits = 4, .compression = 2};
  layout.palette = {0xFFFFFF, 0xFFFFFF};
  layout.pixelData = {4, 0x11, 0, 0, 0, 1};
  const Image image = Decode(MakeBmp(layout));
  EXPECT_EQ(image.width, 7);
  EXPECT_EQ(image.height, 5);
  for (uint8_t b : image.pixels) ASSERT_EQ(b, 0);
}

TEST(BmpDecoder, EightBitThroughThePaletteAndIndicesBeyondItAreBlack) {
  BmpLayout layout{.width = 4, .height = 1, .bits = 8, .colorsUsed = 2};
  layout.palette = {0xA0B0C0, 0x010203};
  layout.pixelData = {1, 0, 2, 255};
  const Image image = Decode(MakeBmp(layout));
  EXPECT_EQ(PixelAt(image, 0, 0), 0x010203u);
  EXPECT_EQ(PixelAt(image, 1, 0), 0xA0B0C0u);
  EXPECT_EQ(PixelAt(image, 2, 0), 0u);
  EXPECT_EQ(PixelAt(image, 3, 0), 0u);
}

TEST(BmpDecoder, RunLengthEightBitWithEveryEscape) {
  BmpLayout layout{.width = 8, .height = 4, .bits = 8, .compression = 1};
  layout.palette = {0x000000, 0x111111, 0x222222, 0x333333, 0x444444};
  layout.pixelData = {
      3, 1,              // row 0: three of colour 1
      0, 3, 2, 3, 4, 0,  // three literals padded to four bytes
      0, 0,              // end of line
      0, 2, 2, 1,        // move right 2 and down 1: row 2, column 2
      2, 4,              // two of colour 4 at columns 2, 3
      0, 0,              // end of line: row 3
      9, 2,              // would write past the row end: decoding stops here
      1, 3,
  };
  const Image image = Decode(MakeBmp(layout));
  const int bottom = 3;  // PixelAt counts from the top
  const uint32_t row0[8] = {0x111111, 0x111111, 0x111111, 0x222222, 0x333333, 0x444444, 0, 0};
  for (int x = 0; x < 8; ++x) EXPECT_EQ(PixelAt(image, x, bottom), row0[x]) << x;
  for (int x = 0; x < 8; ++x) EXPECT_EQ(PixelAt(image, x, bottom - 1), 0u) << x;
  const uint32_t row2[8] = {0, 0, 0x444444, 0x444444, 0, 0, 0, 0};
  for (int x = 0; x < 8; ++x) EXPECT_EQ(PixelAt(image, x, bottom - 2), row2[x]) << x;
  for (int x = 0; x < 8; ++x) EXPECT_EQ(PixelAt(image, x, 0), 0u) << x;
}

TEST(BmpDecoder, RunLengthDeltaMovesFromTheCurrentColumn) {
  BmpLayout layout{.width = 8, .height = 2, .bits = 8, .compression = 1};
  layout.palette = {0x000000, 0x111111, 0x222222};
  layout.pixelData = {3, 1, 0, 2, 2, 1, 1, 2, 0, 1};  // three at row 0, right 2 and a row on
  const Image image = Decode(MakeBmp(layout));
  EXPECT_EQ(PixelAt(image, 2, 1), 0x111111u);
  EXPECT_EQ(PixelAt(image, 5, 0), 0x222222u);
  EXPECT_EQ(PixelAt(image, 2, 0), 0u);
}

TEST(BmpDecoder, RunLengthEndOfPictureAndPacketsBeyondThePictureStop) {
  BmpLayout layout{.width = 2, .height = 2, .bits = 8, .compression = 1};
  layout.palette = {0x000000, 0xFFFFFF};
  layout.pixelData = {2, 1, 0, 1, 2, 1};  // row 0 white, then end of picture
  Image image = Decode(MakeBmp(layout));
  EXPECT_EQ(PixelAt(image, 0, 1), 0xFFFFFFu);
  EXPECT_EQ(PixelAt(image, 0, 0), 0u);

  // A delta far below the picture, then a run: nothing is written.
  layout.pixelData = {0, 2, 0, 200, 2, 1, 0, 0, 2, 1};
  image = Decode(MakeBmp(layout));
  for (uint8_t b : image.pixels) EXPECT_EQ(b, 0);

  // Literals cut off by the end of the data, and a run without its colour byte.
  layout.pixelData = {0, 5, 1, 1};
  image = Decode(MakeBmp(layout));
  for (uint8_t b : image.pixels) EXPECT_EQ(b, 0);
}

TEST(BmpDecoder, SixteenBitFiveFiveFiveAndFiveSixFive) {
  BmpLayout layout{.width = 1, .height = 1, .bits = 16};
  layout.pixelData = {0x3F, 0x7C, 0, 0};  // 0x7C3F: red 31, green 1, blue 31
  Image image = Decode(MakeBmp(layout));
  EXPECT_EQ(PixelAt(image, 0, 0), 0xF808F8u);
  EXPECT_EQ(image.sourceDepth, 16);

  layout.compression = 3;
  layout.pixelData = {0x3F, 0xF8, 0, 0};  // 0xF83F: red 31, green 1, blue 31
  image = Decode(MakeBmp(layout));
  EXPECT_EQ(PixelAt(image, 0, 0), 0xF804F8u);

  layout.compression = 1;
  image = Decode(MakeBmp(layout));
  EXPECT_EQ(PixelAt(image, 0, 0), 0u);
}

// 16-bit pixels, each row padded to 4 bytes.
Bytes Pixels16(std::initializer_list<uint32_t> values) {
  Bytes out;
  for (uint32_t v : values) testing::Put16(out, v);
  out.resize((out.size() + 3) & ~size_t{3});
  return out;
}

TEST(BmpDecoder, SixteenBitBitFieldsFollowTheirMasks) {
  // 5-bit channels of 31, 17, 9, 20, 3 and 1 tell "x 8" from "<< 3 | >> 2"; green is twice as
  // large in the 6-bit layout.
  const uint32_t want[4] = {0xF80000, 0x008848, 0x0800F8, 0xA0A018};
  const Bytes rgb555 = Pixels16({31 << 10, 17 << 5 | 9, 1 << 10 | 31, 20 << 10 | 20 << 5 | 3});
  const Bytes rgb565 = Pixels16({31 << 11, 34 << 5 | 9, 1 << 11 | 31, 20 << 11 | 40 << 5 | 3});
  Bytes twoRows565 = rgb565;
  twoRows565.insert(twoRows565.end(), rgb565.begin(), rgb565.end());
  const BmpLayout layouts[] = {
      {.width = 4, .bits = 16, .compression = 3, .pixelData = rgb555, .masks = {0x7C00, 0x3E0, 31}},
      {.width = 4, .bits = 16, .compression = 3, .pixelData = rgb565, .masks = {0xF800, 0x7E0, 31}},
      {.width = 4, .bits = 16, .pixelData = rgb555},
      // Bit fields whose pixels start right after the header: no masks, so 5-6-5.
      {.width = 4, .height = 2, .bits = 16, .compression = 3, .pixelData = twoRows565},
  };
  for (size_t i = 0; i < std::size(layouts); ++i) {
    const Image image = Decode(MakeBmp(layouts[i]));
    for (int x = 0; x < 4; ++x) EXPECT_EQ(PixelAt(image, x, 0), want[x]) << i << ' ' << x;
  }
}

TEST(BmpDecoder, ThirtyTwoBitBitFieldsInAnyByteOrder) {
  const uint32_t r = 0x12, g = 0x9A, b = 0xE5;
  const std::pair<std::vector<uint32_t>, uint32_t> orders[] = {
      {{0x00FF0000, 0x0000FF00, 0x000000FF}, r << 16 | g << 8 | b},
      {{0x000000FF, 0x0000FF00, 0x00FF0000}, b << 16 | g << 8 | r},
      {{0xFF000000, 0x00FF0000, 0x0000FF00}, r << 24 | g << 16 | b << 8 | 0x77},
  };
  for (const auto& [masks, pixel] : orders) {
    BmpLayout layout{.width = 1, .height = 1, .bits = 32, .compression = 3, .masks = masks};
    testing::Put32(layout.pixelData, pixel);
    EXPECT_EQ(PixelAt(Decode(MakeBmp(layout)), 0, 0), 0x129AE5u) << masks[0];
  }
}

TEST(BmpDecoder, UnusualMaskWidthsScaleToTheFullRange) {
  // 4-4-4: the top value is 255, 8 of 15 is 136, 4 of 15 is 68.
  BmpLayout layout{.width = 1,
                   .height = 1,
                   .bits = 16,
                   .compression = 3,
                   .pixelData = Pixels16({0x0F84}),
                   .masks = {0x0F00, 0x00F0, 0x000F}};
  EXPECT_EQ(PixelAt(Decode(MakeBmp(layout)), 0, 0), 0xFF8844u);
  // 10-10-10: the top 8 bits of each channel.
  layout = {.width = 1,
            .height = 1,
            .bits = 32,
            .compression = 3,
            .masks = {0x3FF00000, 0x000FFC00, 0x000003FF}};
  testing::Put32(layout.pixelData, 0x3FF << 20 | 0x200 << 10 | 0x0FF);
  EXPECT_EQ(PixelAt(Decode(MakeBmp(layout)), 0, 0), 0xFF803Fu);
}

TEST(BmpDecoder, ZeroOverlappingGappedOrOversizedMasksStayBlack) {
  const std::vector<uint32_t> bad[] = {
      {0, 0x03E0, 0x001F},      {0x7C00, 0x07E0, 0x001F},   {0x7C00, 0x03F0, 0x001F},
      {0x7C00, 0x03E0, 0x0015}, {0x1F0000, 0x03E0, 0x001F},
  };
  for (const auto& masks : bad) {
    BmpLayout layout{.width = 2,
                     .height = 1,
                     .bits = 16,
                     .compression = 3,
                     .pixelData = Pixels16({0xFFFF, 0x7FFF}),
                     .masks = masks};
    const Image image = Decode(MakeBmp(layout));
    for (uint8_t byte : image.pixels) ASSERT_EQ(byte, 0) << masks[0] << masks[1] << masks[2];
  }
}

TEST(BmpDecoder, OneBitTableDecidesWhichIndexIsWhite) {
  BmpLayout whiteFirst{.width = 10, .height = 1, .bits = 1, .pixelData = {0x4F, 0x40, 0, 0}};
  whiteFirst.palette = {0xFFFFFF, 0x000000};
  BmpLayout blackFirst{.width = 10, .height = 1, .bits = 1, .pixelData = {0xB0, 0xBF, 0, 0}};
  blackFirst.palette = {0x000000, 0xFFFFFF};
  const Image a = Decode(MakeBmp(whiteFirst)), b = Decode(MakeBmp(blackFirst));
  const uint32_t want[10] = {0xFFFFFF, 0, 0xFFFFFF, 0xFFFFFF, 0, 0, 0, 0, 0xFFFFFF, 0};
  for (int x = 0; x < 10; ++x) {
    EXPECT_EQ(PixelAt(a, x, 0), want[x]) << x;
    EXPECT_EQ(PixelAt(b, x, 0), want[x]) << x;
  }
}

TEST(BmpDecoder, TwentyFourBitRowsArePaddedAndCopied) {
  BmpLayout layout{.width = 2, .height = 2, .bits = 24};
  layout.pixelData = {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0};
  const Image image = Decode(MakeBmp(layout));
  EXPECT_EQ(PixelAt(image, 0, 1), 0x030201u);
  EXPECT_EQ(PixelAt(image, 1, 1), 0x060504u);
  EXPECT_EQ(PixelAt(image, 0, 0), 0x090807u);
  EXPECT_EQ(PixelAt(image, 1, 0), 0x0C0B0Au);
}

TEST(BmpDecoder, ThirtyTwoBitDropsTheFourthByte) {
  BmpLayout layout{.width = 2, .height = 1, .bits = 32};
  layout.pixelData = {1, 2, 3, 99, 4, 5, 6, 98};
  const Image image = Decode(MakeBmp(layout));
  EXPECT_EQ(image.depth, 24);
  EXPECT_EQ(PixelAt(image, 0, 0), 0x030201u);
  EXPECT_EQ(PixelAt(image, 1, 0), 0x060504u);
}

TEST(BmpDecoder, TopDownAndUnknownBitCountsStayBlack) {
  BmpLayout layout{.width = 2, .height = -3, .bits = 24};
  layout.pixelData = Bytes(24, 0xFF);
  Image image = Decode(MakeBmp(layout));
  EXPECT_EQ(image.height, 3);
  for (uint8_t b : image.pixels) ASSERT_EQ(b, 0);

  layout.height = 3;
  layout.bits = 7;
  image = Decode(MakeBmp(layout));
  EXPECT_EQ(image.sourceDepth, 7);
  for (uint8_t b : image.pixels) ASSERT_EQ(b, 0);
}

TEST(BmpDecoder, RefusesImpossibleSizesAndShortHeaders) {
  for (int32_t width : {0, -1, 65536, INT32_MIN}) {
    EXPECT_TRUE(Refused(MakeBmp({.width = width, .height = 1, .pixelData = Bytes(4)}))) << width;
  }
  for (int32_t height : {0, 65536, -65536, INT32_MIN}) {
    EXPECT_TRUE(Refused(MakeBmp({.width = 1, .height = height, .pixelData = Bytes(4)}))) << height;
  }
  Bytes header = MakeBmp({.width = 1, .height = 1, .pixelData = Bytes(4)});
  header.resize(33);
  EXPECT_TRUE(Refused(header));
  // Non-zero reserved bytes: not a BMP at all.
  Bytes reserved = MakeBmp({.width = 1, .height = 1, .pixelData = Bytes(4)});
  reserved[7] = 1;
  EXPECT_EQ(ProbeImage(reserved.data(), reserved.size()), 0u);
}

TEST(BmpDecoder, TruncatedDataAndWildOffsetsLeaveBlack) {
  // Two rows announced, one and a half present.
  BmpLayout layout{.width = 2, .height = 2, .bits = 24};
  layout.pixelData = {1, 1, 1, 2, 2, 2, 0, 0, 3, 3, 3, 4};
  Bytes file = MakeBmp(layout);
  Image image = Decode(file);
  EXPECT_EQ(PixelAt(image, 0, 1), 0x010101u);
  EXPECT_EQ(PixelAt(image, 0, 0), 0x030303u);
  EXPECT_EQ(PixelAt(image, 1, 0), 0u);

  // The pixel offset and the header size (which places the palette) point beyond the data.
  file[10] = file[11] = file[12] = file[13] = 0xFF;
  image = Decode(file);
  for (uint8_t b : image.pixels) ASSERT_EQ(b, 0);

  BmpLayout paletted{.width = 2, .height = 1, .bits = 8};
  paletted.palette = {0xFFFFFF};
  paletted.pixelData = {0, 0, 0, 0};
  file = MakeBmp(paletted);
  file[14] = file[15] = file[16] = 0xFF;
  image = Decode(file);
  for (uint8_t b : image.pixels) ASSERT_EQ(b, 0);
}

TEST(BmpDecoder, HugeDeclaredSizeWithinTheCapIsRefusedBeyondTheByteLimit) {
  const size_t saved = PixelByteLimit();
  SetPixelByteLimit(1 << 20);
  EXPECT_TRUE(Refused(MakeBmp({.width = 65535, .height = 65535, .pixelData = Bytes(4)})));
  SetPixelByteLimit(saved);
}

}  // namespace
}  // namespace images
