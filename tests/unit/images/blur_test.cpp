// The blur: its truncating arithmetic, clamped edges, odd row lengths, small pictures, refusals.
#include <gtest/gtest.h>

#include <random>

#include "images/blur.h"
#include "picture_files.h"

namespace images {
namespace {

using testing::MakeImage;
using testing::PixelAt;
using testing::SetPixel;

// The blur as its description reads: integer arrays, the division table, one column at a time.
void ReferenceBlur(Image& image, int32_t r) {
  const int32_t w = image.width, h = image.height, wm = w - 1, hm = h - 1, d = 2 * r + 1;
  std::vector<int> table(256 * d);
  for (int i = 0; i < 256 * d; ++i) table[i] = i / d;
  auto P = [&](int32_t x, int32_t y) { return image.pixels.data() + y * image.pitch + 3 * x; };
  std::vector<int> H[3];
  for (auto& a : H) a.assign(static_cast<size_t>(w) * h, 0);
  for (int32_t y = 0; y < h; ++y) {
    int sum[3] = {0, 0, 0};
    for (int32_t i = -r; i <= r; ++i) {
      for (int c = 0; c < 3; ++c) sum[c] += P(std::min(wm, std::max(i, 0)), y)[c];
    }
    for (int32_t x = 0; x < w; ++x) {
      for (int c = 0; c < 3; ++c) H[c][y * w + x] = table[sum[c]];
      const int32_t add = std::min(x + r + 1, wm), drop = std::max(x - r, 0);
      for (int c = 0; c < 3; ++c) sum[c] += P(add, y)[c] - P(drop, y)[c];
    }
  }
  for (int32_t x = 0; x < w; ++x) {
    int sum[3] = {0, 0, 0};
    for (int32_t i = -r; i <= r; ++i) {
      for (int c = 0; c < 3; ++c) sum[c] += H[c][std::min(hm, std::max(i, 0)) * w + x];
    }
    for (int32_t y = 0; y < h; ++y) {
      for (int c = 0; c < 3; ++c) P(x, y)[c] = static_cast<uint8_t>(table[sum[c]]);
      const int32_t add = std::min(y + r + 1, hm), drop = std::max(y - r, 0);
      for (int c = 0; c < 3; ++c) sum[c] += H[c][add * w + x] - H[c][drop * w + x];
    }
  }
}

Image Noise(int32_t w, int32_t h, uint32_t seed) {
  Image image = MakeImage(w, h, 24);
  std::mt19937 random(seed);
  for (int32_t y = 0; y < h; ++y) {
    for (int32_t x = 0; x < w; ++x) SetPixel(image, x, y, random() & 0xFFFFFF);
  }
  return image;
}

TEST(Blur, OneWhitePixelGivesASquareOfTwentyEight) {
  Image image = MakeImage(7, 7, 24);
  SetPixel(image, 3, 3, 0xFFFFFF);
  ASSERT_EQ(Blur(image, 1), kBlurDone);
  for (int32_t y = 0; y < 7; ++y) {
    for (int32_t x = 0; x < 7; ++x) {
      const bool inside = std::abs(x - 3) <= 1 && std::abs(y - 3) <= 1;
      EXPECT_EQ(PixelAt(image, x, y), inside ? 0x1C1C1Cu : 0u) << x << "," << y;
    }
  }
}

TEST(Blur, UniformPicturesKeepTheirColourToTheEdges) {
  for (int32_t radius : {1, 9, 100}) {
    Image image = MakeImage(13, 6, 24, 0xC08040);
    const Image before = image;
    ASSERT_EQ(Blur(image, radius), kBlurDone);
    EXPECT_EQ(image.pixels, before.pixels) << radius;
  }
}

TEST(Blur, MatchesTheDescribedArithmeticAtEveryRadius) {
  for (int32_t radius = 1; radius <= 100; ++radius) {
    Image image = Noise(37, 23, static_cast<uint32_t>(radius));
    // White with one byte of 254: windows whose sum is 255 * d - 1, the hardest to divide.
    Image white = MakeImage(41, 29, 24, 0xFFFFFF);
    white.Row(14)[3 * 20 + 1] = 254;
    for (Image* picture : {&image, &white}) {
      Image expected = *picture;
      ReferenceBlur(expected, radius);
      ASSERT_EQ(Blur(*picture, radius), kBlurDone);
      ASSERT_EQ(picture->pixels, expected.pixels) << "radius " << radius;
    }
  }
}

TEST(Blur, OddRowLengthsPicturesSmallerThanTheRadiusAndSinglePixels) {
  struct Case {
    int32_t w, h, r;
  };
  for (const Case& c : {Case{1366, 4, 3}, Case{5, 3, 10}, Case{3, 50, 60}, Case{1, 1, 100},
                        Case{1, 9, 2}, Case{9, 1, 2}}) {
    Image image = Noise(c.w, c.h, static_cast<uint32_t>(c.w * 31 + c.h));
    Image expected = image;
    ReferenceBlur(expected, c.r);
    ASSERT_EQ(Blur(image, c.r), kBlurDone);
    EXPECT_EQ(image.pixels, expected.pixels) << c.w << "x" << c.h << " r" << c.r;
  }
  // Row padding is not picture: it stays as it was.
  Image padded = Noise(5, 4, 7);
  for (int32_t y = 0; y < 4; ++y) padded.Row(y)[15] = 0xEE;
  Blur(padded, 2);
  for (int32_t y = 0; y < 4; ++y) EXPECT_EQ(padded.Row(y)[15], 0xEE);
}

TEST(Blur, RefusedRadiiAndDepthsLeaveThePictureAlone) {
  for (int32_t radius : {0, 101, -5}) {
    Image image = Noise(8, 8, 3);
    const Image before = image;
    EXPECT_EQ(Blur(image, radius), kBlurRefused);
    EXPECT_EQ(image.pixels, before.pixels);
  }
  Image wide = MakeImage(4, 4, 32, 0xFF102030);
  SetPixel(wide, 1, 1, 0xFFFFFFFF);
  const Image before = wide;
  EXPECT_EQ(Blur(wide, 1), kBlurRefused);
  EXPECT_EQ(wide.pixels, before.pixels);
}

}  // namespace
}  // namespace images
