// Drawing targets: pictures, raw rows, engine textures through the hook, and the operations.
#include <gtest/gtest.h>

#include "images/drawing.h"
#include "images/pictures.h"
#include "picture_files.h"
#include "scoped_hook.h"

namespace images {
namespace {

using testing::MakeImage;
using testing::PixelAt;
using testing::SetPixel;

TEST(Drawing, PictureTargetsExposeTheBitmapAndItsPitch) {
  Image target = MakeImage(5, 3, 24);
  ASSERT_NE(StartDrawing(target), nullptr);
  EXPECT_EQ(DrawingBuffer(), target.pixels.data());
  EXPECT_EQ(DrawingPitch(), 16);
  StopDrawing();
  EXPECT_EQ(DrawingBuffer(), nullptr);
  EXPECT_EQ(DrawingPitch(), 0);
  Image broken;
  EXPECT_EQ(StartDrawing(broken), nullptr);
}

TEST(Drawing, DrawImageIsClippedAndMakesOpaquePixels) {
  Image target = MakeImage(4, 4, 32, 0x00000000);
  Image src = MakeImage(3, 3, 24, 0x0000FF);
  SetPixel(src, 2, 2, 0x00FF00);
  ASSERT_NE(StartDrawing(target), nullptr);
  DrawImage(src, 2, 2);    // only its top-left 2 x 2 lands
  DrawImage(src, -2, -2);  // only its bottom-right pixel lands, at (0, 0)
  DrawImage(src, 9, 0);    // entirely outside
  StopDrawing();
  EXPECT_EQ(PixelAt(target, 0, 0), 0xFF00FF00u);
  EXPECT_EQ(PixelAt(target, 1, 0), 0u);
  EXPECT_EQ(PixelAt(target, 2, 2), 0xFF0000FFu);
  EXPECT_EQ(PixelAt(target, 3, 3), 0xFF0000FFu);
  EXPECT_EQ(PixelAt(target, 1, 2), 0u);
}

TEST(Drawing, AlphaDrawBlendsOnOpaqueTargetsAndComposesOverTransparentOnes) {
  Image src = MakeImage(1, 1, 32, 0x80FF0000);  // red at alpha 128
  Image opaque = MakeImage(1, 1, 24, 0x0000FF);
  ASSERT_NE(StartDrawing(opaque), nullptr);
  DrawImageAlpha(src, 0, 0);
  EXPECT_EQ(PixelAt(opaque, 0, 0), 0x80007Fu);

  Image clear = MakeImage(1, 1, 32, 0);
  ASSERT_NE(StartDrawing(clear), nullptr);
  DrawImageAlpha(src, 0, 0);
  EXPECT_EQ(PixelAt(clear, 0, 0), 0x80FF0000u);  // the colour itself, not darkened

  Image solid = MakeImage(1, 1, 32, 0xFF0000FF);
  ASSERT_NE(StartDrawing(solid), nullptr);
  DrawImageAlpha(src, 0, 0);
  DrawImageAlpha(MakeImage(1, 1, 32, 0), 0, 0);  // fully transparent: no change
  StopDrawing();
  EXPECT_EQ(PixelAt(solid, 0, 0), 0xFF80007Fu);
}

TEST(Drawing, StretchedDrawsNeedAPositiveSizeAndCopyAtTheSameSize) {
  Image target = MakeImage(6, 4, 32, 0);
  Image src = MakeImage(2, 2, 32, 0x10203040);
  SetPixel(src, 1, 1, 0x10A0B0C0);
  ASSERT_NE(StartDrawing(target), nullptr);
  DrawImageStretched(src, 0, 0, 0, 4);
  DrawImageStretched(src, 0, 0, 4, -1);
  EXPECT_EQ(PixelAt(target, 0, 0), 0u);
  DrawImageStretched(src, 4, 2, 2, 2);
  EXPECT_EQ(PixelAt(target, 4, 2), 0xFF203040u);
  EXPECT_EQ(PixelAt(target, 5, 3), 0xFFA0B0C0u);
  DrawImageStretched(MakeImage(1, 1, 24, 0xFF0000), 0, 0, 3, 4);
  StopDrawing();
  for (int32_t y = 0; y < 4; ++y) {
    for (int32_t x = 0; x < 3; ++x) EXPECT_EQ(PixelAt(target, x, y), 0xFFFF0000u);
  }
  EXPECT_EQ(PixelAt(target, 3, 0), 0u);

  // Translucent 32-bit sources stretch to opaque pixels; onto 24 bits their colour alone lands.
  ASSERT_NE(StartDrawing(target), nullptr);
  DrawImageStretched(src, 2, 0, 4, 2);
  StopDrawing();
  EXPECT_EQ(PixelAt(target, 2, 0), 0xFF203040u);
  EXPECT_EQ(PixelAt(target, 5, 1) >> 24, 255u);
  Image plain = MakeImage(3, 3, 24);
  ASSERT_NE(StartDrawing(plain), nullptr);
  DrawImageStretched(MakeImage(1, 1, 32, 0x10A0B0C0), 0, 0, 3, 3);
  StopDrawing();
  EXPECT_EQ(PixelAt(plain, 2, 2), 0xA0B0C0u);
}

TEST(Drawing, FloodFillCoversTheConnectedAreaAndAlphaOnlyInMode256) {
  Image target = MakeImage(5, 5, 32, 0x11000000);
  for (int32_t y = 0; y < 5; ++y) SetPixel(target, 2, y, 0x11FFFFFF);  // a wall down the middle
  ASSERT_NE(StartDrawing(target), nullptr);
  FloodFill(0, 0, -1, 0x00FF00);
  EXPECT_EQ(PixelAt(target, 1, 4), 0x1100FF00u);  // alpha untouched, colour packed r + g*256
  EXPECT_EQ(PixelAt(target, 3, 0), 0x11000000u);  // beyond the wall
  EXPECT_EQ(PixelAt(target, 2, 2), 0x11FFFFFFu);

  DrawingMode(kDrawAlphaChannel);
  FloodFill(4, 4, 0xFFFFFF, static_cast<int32_t>(0xFF0000FFu));  // up to the white border
  StopDrawing();
  EXPECT_EQ(PixelAt(target, 3, 0), 0xFFFF0000u);  // red, opaque
  EXPECT_EQ(PixelAt(target, 1, 1), 0x1100FF00u);

  // A whole uniform texture, filled from (1, 1) with no border, including refilling its colour.
  Image uniform = MakeImage(16, 16, 32, 0x44000000);
  ASSERT_NE(StartDrawing(uniform), nullptr);
  FloodFill(1, 1, -1, 0);
  FloodFill(1, 1, -1, 0x00FF00);
  FloodFill(99, 1, -1, 0xFF);
  StopDrawing();
  for (int32_t i = 0; i < 256; ++i) ASSERT_EQ(PixelAt(uniform, i % 16, i / 16), 0x4400FF00u);
}

TEST(Drawing, RawRowsAreTopFirstWithTheirOwnPitch) {
  std::vector<uint8_t> buffer(3 * 20, 0xAB);  // 3 rows of 4 BGRA pixels and 4 bytes of padding
  ASSERT_NE(StartDrawing(RawPixels{buffer.data(), 4, 3, 20, 32}), nullptr);
  EXPECT_EQ(DrawingBuffer(), buffer.data());
  EXPECT_EQ(DrawingPitch(), 20);
  DrawImage(MakeImage(1, 2, 24, 0x010203), 3, 1);
  StopDrawing();
  EXPECT_EQ(std::vector<uint8_t>(buffer.begin() + 32, buffer.begin() + 36),
            (std::vector<uint8_t>{3, 2, 1, 255}));
  EXPECT_EQ(buffer[52], 3);
  EXPECT_EQ(buffer[36], 0xAB);  // padding
  EXPECT_EQ(buffer[12], 0xAB);
  EXPECT_EQ(StartDrawing(RawPixels{buffer.data(), 4, 3, 15, 32}), nullptr);  // pitch too small
}

struct FakeTexture {
  static inline std::vector<uint8_t> pixels = std::vector<uint8_t>(8 * 8 * 4);
  static inline std::vector<int32_t> locks, unlocks;
  static bool Lock(int32_t texture, RawPixels& out) {
    locks.push_back(texture);
    if (texture != 5) return false;
    out = {pixels.data(), 8, 8, 32, 32};
    return true;
  }
  static void Unlock(int32_t texture) { unlocks.push_back(texture); }
};

TEST(Drawing, EngineTexturesAreLockedThroughTheHook) {
  EXPECT_EQ(StartDrawingOnTexture(5), nullptr);  // no hook yet
  {
    flurrixtest::ScopedHook hooks(SetTextureDrawingHooks, {FakeTexture::Lock, FakeTexture::Unlock});
    EXPECT_EQ(StartDrawingOnTexture(6), nullptr);
    ASSERT_NE(StartDrawingOnTexture(5), nullptr);
    DrawingMode(kDrawAlphaChannel);
    FloodFill(1, 1, -1, static_cast<int32_t>(0xFF000000u));
    Image other = MakeImage(1, 1, 24);
    StartDrawing(other);  // starting elsewhere ends the texture's drawing
    StopDrawing();
  }
  EXPECT_EQ(FakeTexture::locks, (std::vector<int32_t>{6, 5}));
  EXPECT_EQ(FakeTexture::unlocks, (std::vector<int32_t>{5}));
  for (size_t i = 3; i < FakeTexture::pixels.size(); i += 4) ASSERT_EQ(FakeTexture::pixels[i], 255);
}

TEST(Drawing, FreeingThePictureDrawnOnEndsTheDrawing) {
  const int32_t id = CreatePicture(kAnyPicture, 4, 4, 24);
  ASSERT_NE(StartDrawing(*GetPicture(id)), nullptr);
  FreePicture(id);
  EXPECT_EQ(CurrentTarget(), nullptr);
  DrawImage(MakeImage(2, 2, 24), 0, 0);  // nothing to draw on: no effect, no fault
}

}  // namespace
}  // namespace images
