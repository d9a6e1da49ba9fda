// Drawing targets on pictures and raw rows, and the operations.
#include <gtest/gtest.h>

#include "images/drawing.h"
#include "images/pictures.h"
#include "picture_files.h"

namespace images {
namespace {

using testing::MakeImage;
using testing::PixelAt;
using testing::SetPixel;

TEST(Drawing, PictureTargetsExposeTheBitmapAndItsPitch) {
  Image picture = MakeImage(5, 3, 24);
  const std::optional<DrawTarget> target = StartDrawing(picture);
  ASSERT_TRUE(target);
  EXPECT_EQ(target->buffer, picture.pixels.data());
  EXPECT_EQ(target->pitch, 16);
  Image broken;
  EXPECT_FALSE(StartDrawing(broken));
  Image sixteen = MakeImage(5, 3, 24);
  sixteen.depth = 16;
  EXPECT_FALSE(StartDrawing(sixteen));
}

TEST(Drawing, DrawImageIsClippedAndMakesOpaquePixels) {
  Image target = MakeImage(4, 4, 32, 0x00000000);
  Image src = MakeImage(3, 3, 24, 0x0000FF);
  SetPixel(src, 2, 2, 0x00FF00);
  std::optional<DrawTarget> on = StartDrawing(target);
  ASSERT_TRUE(on);
  DrawImage(*on, src, 2, 2);    // only its top-left 2 x 2 lands
  DrawImage(*on, src, -2, -2);  // only its bottom-right pixel lands, at (0, 0)
  DrawImage(*on, src, 9, 0);    // entirely outside
  EXPECT_EQ(PixelAt(target, 0, 0), 0xFF00FF00u);
  EXPECT_EQ(PixelAt(target, 1, 0), 0u);
  EXPECT_EQ(PixelAt(target, 2, 2), 0xFF0000FFu);
  EXPECT_EQ(PixelAt(target, 3, 3), 0xFF0000FFu);
  EXPECT_EQ(PixelAt(target, 1, 2), 0u);
}

TEST(Drawing, AlphaDrawBlendsOnOpaqueTargetsAndComposesOverTransparentOnes) {
  Image src = MakeImage(1, 1, 32, 0x80FF0000);  // red at alpha 128
  Image opaque = MakeImage(1, 1, 24, 0x0000FF);
  DrawImageAlpha(*StartDrawing(opaque), src, 0, 0);
  EXPECT_EQ(PixelAt(opaque, 0, 0), 0x80007Fu);

  Image clear = MakeImage(1, 1, 32, 0);
  DrawImageAlpha(*StartDrawing(clear), src, 0, 0);
  EXPECT_EQ(PixelAt(clear, 0, 0), 0x80FF0000u);  // the colour itself, not darkened

  Image solid = MakeImage(1, 1, 32, 0xFF0000FF);
  DrawTarget on = *StartDrawing(solid);
  DrawImageAlpha(on, src, 0, 0);
  DrawImageAlpha(on, MakeImage(1, 1, 32, 0), 0, 0);  // fully transparent: no change
  EXPECT_EQ(PixelAt(solid, 0, 0), 0xFF80007Fu);
}

TEST(Drawing, StretchedDrawsNeedAPositiveSizeAndCopyAtTheSameSize) {
  Image target = MakeImage(6, 4, 32, 0);
  Image src = MakeImage(2, 2, 32, 0x10203040);
  SetPixel(src, 1, 1, 0x10A0B0C0);
  DrawTarget on = *StartDrawing(target);
  DrawImageStretched(on, src, 0, 0, 0, 4);
  DrawImageStretched(on, src, 0, 0, 4, -1);
  EXPECT_EQ(PixelAt(target, 0, 0), 0u);
  DrawImageStretched(on, src, 4, 2, 2, 2);
  EXPECT_EQ(PixelAt(target, 4, 2), 0xFF203040u);
  EXPECT_EQ(PixelAt(target, 5, 3), 0xFFA0B0C0u);
  DrawImageStretched(on, MakeImage(1, 1, 24, 0xFF0000), 0, 0, 3, 4);
  for (int32_t y = 0; y < 4; ++y) {
    for (int32_t x = 0; x < 3; ++x) EXPECT_EQ(PixelAt(target, x, y), 0xFFFF0000u);
  }
  EXPECT_EQ(PixelAt(target, 3, 0), 0u);

  // Translucent 32-bit sources stretch to opaque pixels; onto 24 bits their colour alone lands.
  DrawImageStretched(on, src, 2, 0, 4, 2);
  EXPECT_EQ(PixelAt(target, 2, 0), 0xFF203040u);
  EXPECT_EQ(PixelAt(target, 5, 1) >> 24, 255u);
  Image plain = MakeImage(3, 3, 24);
  DrawImageStretched(*StartDrawing(plain), MakeImage(1, 1, 32, 0x10A0B0C0), 0, 0, 3, 3);
  EXPECT_EQ(PixelAt(plain, 2, 2), 0xA0B0C0u);
}

TEST(Drawing, FloodFillCoversTheConnectedAreaAndAlphaOnlyInMode256) {
  Image target = MakeImage(5, 5, 32, 0x11000000);
  for (int32_t y = 0; y < 5; ++y) SetPixel(target, 2, y, 0x11FFFFFF);  // a wall down the middle
  DrawTarget on = *StartDrawing(target);
  FloodFill(on, 0, 0, -1, 0x00FF00);
  EXPECT_EQ(PixelAt(target, 1, 4), 0x1100FF00u);  // alpha untouched, colour packed r + g*256
  EXPECT_EQ(PixelAt(target, 3, 0), 0x11000000u);  // beyond the wall
  EXPECT_EQ(PixelAt(target, 2, 2), 0x11FFFFFFu);

  on.mode = kDrawAlphaChannel;
  FloodFill(on, 4, 4, 0xFFFFFF, static_cast<int32_t>(0xFF0000FFu));  // up to the white border
  EXPECT_EQ(PixelAt(target, 3, 0), 0xFFFF0000u);                     // red, opaque
  EXPECT_EQ(PixelAt(target, 1, 1), 0x1100FF00u);

  // A whole uniform texture, filled from (1, 1) with no border, including refilling its colour.
  Image uniform = MakeImage(16, 16, 32, 0x44000000);
  DrawTarget whole = *StartDrawing(uniform);
  FloodFill(whole, 1, 1, -1, 0);
  FloodFill(whole, 1, 1, -1, 0x00FF00);
  FloodFill(whole, 99, 1, -1, 0xFF);
  for (int32_t i = 0; i < 256; ++i) ASSERT_EQ(PixelAt(uniform, i % 16, i / 16), 0x4400FF00u);
}

TEST(Drawing, RawRowsAreTopFirstWithTheirOwnPitch) {
  std::vector<uint8_t> buffer(3 * 20, 0xAB);  // 3 rows of 4 BGRA pixels and 4 bytes of padding
  std::optional<DrawTarget> on = StartDrawing(RawPixels{buffer.data(), 4, 3, 20, 32});
  ASSERT_TRUE(on);
  EXPECT_EQ(on->buffer, buffer.data());
  EXPECT_EQ(on->pitch, 20);
  DrawImage(*on, MakeImage(1, 2, 24, 0x010203), 3, 1);
  EXPECT_EQ(std::vector<uint8_t>(buffer.begin() + 32, buffer.begin() + 36),
            (std::vector<uint8_t>{3, 2, 1, 255}));
  EXPECT_EQ(buffer[52], 3);
  EXPECT_EQ(buffer[36], 0xAB);  // padding
  EXPECT_EQ(buffer[12], 0xAB);
  EXPECT_FALSE(StartDrawing(RawPixels{buffer.data(), 4, 3, 15, 32}));  // pitch too small
}

TEST(Drawing, ANumberedPictureIsDrawnOnInPlace) {
  const int32_t id = CreatePicture(kAnyPicture, 4, 4, 24);
  DrawImage(*StartDrawing(*GetPicture(id)), MakeImage(2, 2, 24, 0x123456), 2, 2);
  EXPECT_EQ(PixelAt(*GetPicture(id), 3, 3), 0x123456u);
  EXPECT_EQ(PixelAt(*GetPicture(id), 1, 1), 0u);
  FreePicture(id);
}

}  // namespace
}  // namespace images
