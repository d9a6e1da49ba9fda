// Resizing: raw drop and repeat, the area-averaging stretch, the Mitchell-Netravali filter.
#include <gtest/gtest.h>

#include "images/resize.h"
#include "picture_files.h"

namespace images {
namespace {

using testing::MakeImage;
using testing::PixelAt;
using testing::SetPixel;

int Channel(uint32_t v, int shift) {
  return static_cast<int>((v >> shift) & 255);
}

TEST(Resize, RawRepeatsAndDropsPixels) {
  Image image = MakeImage(2, 2, 24);
  SetPixel(image, 0, 0, 0x111111);
  SetPixel(image, 1, 0, 0x222222);
  SetPixel(image, 0, 1, 0x333333);
  SetPixel(image, 1, 1, 0x444444);
  ASSERT_TRUE(ResizeImage(image, 4, 3, kResizeRaw));
  EXPECT_EQ(PixelAt(image, 0, 0), 0x111111u);
  EXPECT_EQ(PixelAt(image, 1, 0), 0x111111u);
  EXPECT_EQ(PixelAt(image, 2, 0), 0x222222u);
  EXPECT_EQ(PixelAt(image, 3, 1), 0x222222u);
  EXPECT_EQ(PixelAt(image, 3, 2), 0x444444u);
  ASSERT_TRUE(ResizeImage(image, 2, 1, kResizeRaw));
  EXPECT_EQ(PixelAt(image, 0, 0), 0x111111u);
  EXPECT_EQ(PixelAt(image, 1, 0), 0x222222u);
}

TEST(Resize, AreaStretchAveragesWhatEachPixelCovers) {
  Image image = MakeImage(4, 1, 24);
  SetPixel(image, 2, 0, 0xFFFFFF);
  SetPixel(image, 3, 0, 0xFFFFFF);
  ASSERT_TRUE(ResizeImage(image, 2, 1, kResizeSmooth));
  EXPECT_EQ(PixelAt(image, 0, 0), 0u);
  EXPECT_EQ(PixelAt(image, 1, 0), 0xFFFFFFu);

  Image three = MakeImage(3, 1, 24);
  SetPixel(three, 1, 0, 0x5A5A5A);
  SetPixel(three, 2, 0, 0xB4B4B4);
  ASSERT_TRUE(ResizeImage(three, 1, 1, kResizeSmooth));
  EXPECT_EQ(PixelAt(three, 0, 0), 0x5A5A5Au);  // (0 + 90 + 180) / 3

  // Two source pixels onto three: the middle one straddles both halves.
  Image two = MakeImage(2, 1, 24);
  SetPixel(two, 1, 0, 0x969696);
  ASSERT_TRUE(ResizeImage(two, 3, 1, kResizeSmooth));
  EXPECT_EQ(PixelAt(two, 0, 0), 0u);
  EXPECT_EQ(PixelAt(two, 1, 0), 0x4B4B4Bu);
  EXPECT_EQ(PixelAt(two, 2, 0), 0x969696u);
}

TEST(Resize, UniformPicturesStayUniformEitherWay) {
  for (int32_t depth : {24, 32}) {
    Image image = MakeImage(37, 11, depth, 0x80C06020);
    ASSERT_TRUE(ResizeImage(image, 5, 29, kResizeSmooth));
    ASSERT_TRUE(ResizeImage(image, 300, 7, kResizeSmooth));
    for (int32_t y = 0; y < 7; ++y) {
      for (int32_t x = 0; x < 300; ++x) {
        ASSERT_EQ(PixelAt(image, x, y), depth == 32 ? 0x80C06020u : 0xC06020u) << x << "," << y;
      }
    }
  }
}

TEST(Resize, ThirtyTwoBitUsesTheMitchellNetravaliWeights) {
  // At the same size the cubic weights are 1/18, 16/18, 1/18: a white dot spreads a little.
  Image image = MakeImage(5, 5, 32, 0xFF000000);
  SetPixel(image, 2, 2, 0xFFFFFFFF);
  ASSERT_TRUE(ResizeImage(image, 5, 5, kResizeSmooth));
  EXPECT_NEAR(Channel(PixelAt(image, 2, 2), 0), 255 * 16 * 16 / 324, 2);
  EXPECT_NEAR(Channel(PixelAt(image, 1, 2), 8), 255 * 16 / 324, 2);
  EXPECT_NEAR(Channel(PixelAt(image, 2, 3), 16), 255 * 16 / 324, 2);
  EXPECT_NEAR(Channel(PixelAt(image, 1, 1), 0), 1, 1);
  EXPECT_EQ(Channel(PixelAt(image, 0, 2), 0), 0);
  EXPECT_EQ(PixelAt(image, 0, 0) >> 24, 255u);

  // Shrinking widens the filter: a fine checkerboard averages to grey.
  Image board = MakeImage(64, 64, 32);
  for (int32_t y = 0; y < 64; ++y) {
    for (int32_t x = 0; x < 64; ++x) SetPixel(board, x, y, (x + y) % 2 ? 0xFFFFFFFF : 0xFF000000);
  }
  ASSERT_TRUE(ResizeImage(board, 16, 16, kResizeSmooth));
  for (int32_t x = 2; x < 14; ++x) EXPECT_NEAR(Channel(PixelAt(board, x, 8), 0), 128, 4) << x;
}

TEST(Resize, ImpossibleSizesLeaveThePictureAlone) {
  Image image = MakeImage(3, 3, 24, 0x123456);
  const Image before = image;
  for (int32_t mode : {kResizeRaw, kResizeSmooth}) {
    EXPECT_FALSE(ResizeImage(image, 0, 5, mode));
    EXPECT_FALSE(ResizeImage(image, 5, -1, mode));
    EXPECT_FALSE(ResizeImage(image, 65536, 1, mode));
  }
  EXPECT_EQ(image.width, 3);
  EXPECT_EQ(image.pixels, before.pixels);
}

}  // namespace
}  // namespace images
