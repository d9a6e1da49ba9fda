// Shapes, lettering, resampling and the contact sheet: the tools every picture is made with.
#include <gtest/gtest.h>

#include <cmath>

#include "canvas.h"
#include "contact_sheet.h"
#include "raster.h"
#include "text.h"

namespace artgen {
namespace {

float CoveredArea(const Canvas& c) {
  float sum = 0;
  for (int y = 0; y < c.Height(); ++y)
    for (int x = 0; x < c.Width(); ++x) sum += c.At(x, y).a;
  return sum;
}

TEST(Shapes, AntialiasedAreasMatchTheGeometry) {
  Canvas circle(40, 40);
  Fill(
      circle, [](float x, float y) { return SdCircle(x, y, 20.3f, 19.7f, 9.5f); }, Rgb(0xFFFFFF));
  EXPECT_NEAR(CoveredArea(circle), 3.14159f * 9.5f * 9.5f, 2.0f);

  // A hair-thin line still covers its true area, not a whole pixel row.
  Canvas line(40, 10);
  Fill(
      line,
      [](float x, float y) {
        return SdSegment(x, y, {5, 5}, {35, 5}) - 0.15f;
      },
      Rgb(0xFFFFFF), 8);
  EXPECT_NEAR(CoveredArea(line), 30.0f * 0.3f + 3.14159f * 0.15f * 0.15f, 1.5f);

  Canvas triangle(20, 20);
  Fill(
      triangle,
      [](float x, float y) {
        return SdPolygon(x, y, {{2, 2}, {18, 2}, {2, 18}});
      },
      Rgb(0xFFFFFF));
  EXPECT_NEAR(CoveredArea(triangle), 128.0f, 1.5f);
  EXPECT_LT(triangle.At(17, 17).a, 0.01f);  // outside the hypotenuse
  EXPECT_GT(triangle.At(4, 4).a, 0.99f);
}

TEST(Shapes, RoundedBoxIsInsideItsBounds) {
  EXPECT_LT(SdBox(10, 10, 10, 10, 5, 3, 1), 0.0f);
  EXPECT_NEAR(SdBox(15, 10, 10, 10, 5, 3, 1), 0.0f, 1e-4f);
  EXPECT_GT(SdBox(15, 13, 10, 10, 5, 3, 1), 0.0f);  // the corner is rounded off
}

TEST(Canvas, BlendAndCompositeFollowSourceOver) {
  Canvas c(1, 1, Rgb(0x000000));
  c.Blend(0, 0, Rgb(0xFFFFFF), 0.25f);
  EXPECT_NEAR(c.Get(0, 0).r, 0.25f, 1e-5f);
  Canvas top(1, 1, Rgb(0xFF0000, 0.5f));
  c.Composite(top, 0, 0);
  EXPECT_NEAR(c.Get(0, 0).r, 0.625f, 1e-5f);
  EXPECT_NEAR(c.Get(0, 0).g, 0.125f, 1e-5f);
  EXPECT_NEAR(c.Get(0, 0).a, 1.0f, 1e-5f);
  c.Blend(5, 5, Rgb(0xFFFFFF));  // outside: ignored, no crash
}

TEST(Canvas, DownscaleAndBlurKeepTheAverage) {
  Canvas c(60, 40, Rgb(0x000000));
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 60; ++x) c.At(x, y).r = ((x / 3 + y / 2) % 2) ? 1.0f : 0.0f;
  auto mean = [](const Canvas& k) {
    double s = 0;
    for (int y = 0; y < k.Height(); ++y)
      for (int x = 0; x < k.Width(); ++x) s += k.At(x, y).r;
    return s / (k.Width() * k.Height());
  };
  double before = mean(c);
  Canvas small = Downscale(c, 20, 10);
  EXPECT_EQ(small.Width(), 20);
  EXPECT_NEAR(mean(small), before, 0.02);
  Blur(c, 4.0f);
  EXPECT_NEAR(mean(c), before, 0.03);
  float lo = 1, hi = 0;
  for (int x = 10; x < 50; ++x) {
    lo = std::min(lo, c.At(x, 20).r);
    hi = std::max(hi, c.At(x, 20).r);
  }
  EXPECT_LT(hi - lo, 0.5f) << "the blur left the stripes sharp";
}

Fonts TestFonts() {
  return {ARTGEN_FONTS};
}

TEST(Lettering, LongerTextIsWiderAndIsDrawnWhereAsked) {
  Font font;
  ASSERT_TRUE(font.Load(TestFonts().Sans()));
  EXPECT_FALSE(Font().Load("/no/such/font.ttf"));
  float one = font.Measure("Flurrix", 20.0f), two = font.Measure("Flurrix Flurrix", 20.0f);
  EXPECT_GT(one, 40.0f);
  EXPECT_NEAR(two, 2 * one + font.Measure(" ", 20.0f), 2.0f);
  EXPECT_NEAR(font.Measure("Flurrix", 40.0f), 2 * one, 1.5f);

  Canvas c(200, 60);
  font.Draw(c, "Flurrix", 30.0f, 40.0f, 20.0f, Rgb(0xFFFFFF));
  int left = 200, right = -1, top = 60, bottom = -1;
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 200; ++x)
      if (c.At(x, y).a > 0.1f) {
        left = std::min(left, x), right = std::max(right, x);
        top = std::min(top, y), bottom = std::max(bottom, y);
      }
  EXPECT_NEAR(left, 31, 2);
  EXPECT_NEAR(right, 30 + one, 3);
  EXPECT_LE(bottom, 40);         // nothing of "Flurrix" hangs below the baseline
  EXPECT_NEAR(top, 40 - 15, 2);  // cap height of a 20-pixel font
}

TEST(ContactSheet, PlacesEveryPictureWithoutOverlap) {
  std::vector<std::pair<std::string, Canvas>> items;
  items.emplace_back("wide", Canvas(1920, 1080, Rgb(0xFF0000)));
  for (int i = 0; i < 6; ++i) items.emplace_back("small", Canvas(16, 16, Rgb(0x00FF00)));
  items.emplace_back("fits", Canvas(100, 75, Rgb(0x0000FF)));
  items.emplace_back("tall", Canvas(120, 310, Rgb(0xFFFF00)));
  Canvas sheet = ContactSheet(items, TestFonts(), 976);
  EXPECT_EQ(sheet.Width(), 976);
  int red = 0, green = 0, blue = 0, yellow = 0;
  for (int y = 0; y < sheet.Height(); ++y)
    for (int x = 0; x < sheet.Width(); ++x) {
      Color p = sheet.Get(x, y);
      red += p.r > 0.9f && p.g < 0.1f;
      green += p.g > 0.9f && p.r < 0.1f;
      blue += p.b > 0.9f && p.r < 0.1f && p.g < 0.1f;
      yellow += p.r > 0.9f && p.g > 0.9f && p.b < 0.1f;
    }
  int cell = (976 - 5 * 16) / 4;
  EXPECT_NEAR(red, cell * cell * 1080 / 1920, cell * 4);  // shrunk to a quarter row
  EXPECT_EQ(green, 6 * 64 * 64);                          // enlarged 4 x, every one whole
  EXPECT_EQ(blue, 100 * 75);                              // fits its cell: shown at its own size
  // Too tall for a row: shrunk to the row's height, keeping its shape.
  float k = static_cast<float>(cell * 9 / 16 + 10) / 310.0f;
  EXPECT_NEAR(yellow, 120 * 310 * k * k, 120 * 310 * k * k * 0.1f);
}

}  // namespace
}  // namespace artgen
