// The painting primitives and the small pictures: dither, pixel packing, noise, flakes, icons,
// scenes.
#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "canvas.h"
#include "flakes.h"
#include "gradients.h"
#include "icons.h"
#include "noise.h"
#include "scenes.h"

namespace artgen {
namespace {

TEST(Dither, KeepsFractionalLevelsOnAverageWithinOneStep) {
  // 100.3 / 255 everywhere: plain rounding would give 100 on every pixel.
  Canvas c(64, 64, {100.3f / 255.0f, 50.75f / 255.0f, 200.5f / 255.0f, 1.0f});
  std::vector<uint8_t> px = ToRgb8(c, 7);
  double sum[3] = {0, 0, 0};
  for (size_t i = 0; i < px.size(); i += 3) {
    for (int ch = 0; ch < 3; ++ch) {
      sum[ch] += px[i + ch];
      const float want[3] = {100.3f, 50.75f, 200.5f};
      EXPECT_LE(std::fabs(px[i + ch] - want[ch]), 1.5f);
    }
  }
  const double n = 64.0 * 64.0;
  EXPECT_NEAR(sum[0] / n, 100.3, 0.08);
  EXPECT_NEAR(sum[1] / n, 50.75, 0.08);
  EXPECT_NEAR(sum[2] / n, 200.5, 0.08);
}

TEST(Dither, LeavesTransparentPixelsAndAlphaClean) {
  Canvas c(32, 32);  // transparent
  c.Blend(5, 5, Rgb(0xFFFFFF), 0.5f);
  std::vector<uint8_t> px = ToRgba8(c, 3);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      const uint8_t* p = &px[(static_cast<size_t>(y) * 32 + x) * 4];
      if (x == 5 && y == 5) {
        EXPECT_EQ(p[3], 128);
        EXPECT_GE(p[0], 254);  // straight colour, not premultiplied
      } else {
        EXPECT_EQ(p[0] | p[1] | p[2] | p[3], 0) << x << "," << y;
      }
    }
}

TEST(Rgb555, PacksRedHighAndBlueLow) {
  Canvas c(3, 1, {0, 0, 0, 1});
  c.At(0, 0) = {1, 0, 0, 1};
  c.At(1, 0) = {0, 1, 0, 1};
  c.At(2, 0) = {0, 0, 1, 1};
  std::vector<uint16_t> px = ToRgb555(c);
  EXPECT_EQ(px[0], 0x7C00);
  EXPECT_EQ(px[1], 0x03E0);
  EXPECT_EQ(px[2], 0x001F);
  Canvas grey(4, 4, {0.5f, 0.5f, 0.5f, 1});
  double mean = 0;
  for (uint16_t v : ToRgb555(grey)) mean += (v & 31) / 16.0;
  EXPECT_NEAR(mean, 15.5, 0.3);  // ordered dither keeps the level on average
}

TEST(Noise, IsRepeatableSmoothAndBounded) {
  Rng a(42), b(42), c(43);
  bool differs = false;
  for (int i = 0; i < 100; ++i) {
    uint32_t va = a.Next();
    EXPECT_EQ(va, b.Next());
    differs = differs || va != c.Next();
  }
  EXPECT_TRUE(differs);
  for (int i = 0; i < 2000; ++i) {
    float x = i * 0.173f, y = i * 0.071f;
    float n = Noise(x, y, 9);
    EXPECT_LE(std::fabs(n), 1.5f);
    EXPECT_LT(std::fabs(Noise(x + 0.001f, y, 9) - n), 0.01f);
    EXPECT_LE(std::fabs(Fbm1(x, 3, 5)), 1.5f);
  }
}

float Alpha(const Canvas& c, int x, int y) {
  return c.At(x, y).a;
}

TEST(Flakes, EightKindsFitTheirSquareWithClearRims) {
  std::vector<Canvas> flakes;
  for (int k = 1; k <= kFlakeKinds; ++k) {
    Canvas f = PaintFlake(k, 16);
    float most = 0, total = 0;
    for (int i = 0; i < 16; ++i) {
      // Nothing touches the outermost pixels, so nothing is cut off at the edge.
      EXPECT_LT(Alpha(f, i, 0) + Alpha(f, i, 15) + Alpha(f, 0, i) + Alpha(f, 15, i), 0.05f) << k;
      for (int j = 0; j < 16; ++j) {
        most = std::max(most, Alpha(f, i, j));
        total += Alpha(f, i, j);
      }
    }
    EXPECT_GT(most, 0.9f) << "flake " << k << " has no solid part";
    EXPECT_GT(total, 20.0f) << "flake " << k << " is too faint to read";
    flakes.push_back(f);
  }
  for (size_t a = 0; a < flakes.size(); ++a)
    for (size_t b = a + 1; b < flakes.size(); ++b) {
      float diff = 0;
      for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
          diff += std::fabs(Alpha(flakes[a], x, y) - Alpha(flakes[b], x, y));
      EXPECT_GT(diff, 8.0f) << "flakes " << a + 1 << " and " << b + 1 << " look alike";
    }
}

TEST(Flakes, CrystalsHaveSixFoldSymmetry) {
  for (int k : {1, 2, 3, 4, 6, 7}) {
    Canvas f = PaintFlake(k, 96);
    float diff = 0, mass = 0;
    for (int i = 0; i < 400; ++i) {
      float r = 4.0f + (i % 20) * 2.0f, a = (i / 20) * 0.05f;
      auto at = [&](float angle) {
        return f.Sample(48.0f + r * std::cos(angle), 48.0f + r * std::sin(angle)).a;
      };
      float here = at(a);
      diff += std::fabs(here - at(a + 3.14159265f / 3.0f));
      mass += here;
    }
    EXPECT_LT(diff, mass * 0.12f) << "flake " << k;
  }
}

TEST(Icons, SevenDistinctOpaqueSymbols) {
  std::vector<Canvas> icons;
  for (int n = 5; n <= 11; ++n) {
    Canvas icon = PaintIcon(n);
    ASSERT_EQ(icon.Width(), 16);
    int solid = 0;
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) solid += icon.At(x, y).a > 0.9f;
    EXPECT_GT(solid, 40) << "icon " << n;
    EXPECT_LT(solid, 256) << "icon " << n << " fills its square";
    icons.push_back(icon);
  }
  for (size_t a = 0; a < icons.size(); ++a)
    for (size_t b = a + 1; b < icons.size(); ++b) {
      float diff = 0;
      for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
          Color p = icons[a].Get(x, y), q = icons[b].Get(x, y);
          diff += std::fabs(p.r - q.r) + std::fabs(p.g - q.g) + std::fabs(p.b - q.b) +
                  std::fabs(p.a - q.a);
        }
      EXPECT_GT(diff, 20.0f) << "icons " << a + 5 << " and " << b + 5;
    }
}

Color Mean(const Canvas& c) {
  Color m{0, 0, 0, 0};
  for (int y = 0; y < c.Height(); ++y)
    for (int x = 0; x < c.Width(); ++x) m = Add(m, c.Get(x, y));
  return Scale(m, 1.0f / (c.Width() * c.Height()));
}

TEST(Scenes, EachSceneIsItsOwnPictureAndFullyPainted) {
  std::set<std::string> names;
  std::vector<Canvas> scenes;
  for (int i = 0; i < kForestScenes; ++i) {
    names.insert(ForestName(i));
    Canvas c = PaintForest(i, 192, 108);
    for (int y = 0; y < c.Height(); ++y)
      for (int x = 0; x < c.Width(); ++x) {
        const Color& p = c.At(x, y);
        ASSERT_TRUE(std::isfinite(p.r + p.g + p.b)) << ForestName(i);
        ASSERT_NEAR(p.a, 1.0f, 1e-3f) << ForestName(i) << " has a hole at " << x << "," << y;
      }
    scenes.push_back(std::move(c));
  }
  EXPECT_EQ(names.size(), static_cast<size_t>(kForestScenes));
  for (size_t a = 0; a < scenes.size(); ++a)
    for (size_t b = a + 1; b < scenes.size(); ++b) {
      double diff = 0;
      for (int y = 0; y < 108; ++y)
        for (int x = 0; x < 192; ++x) {
          Color p = scenes[a].Get(x, y), q = scenes[b].Get(x, y);
          diff += std::fabs(p.r - q.r) + std::fabs(p.g - q.g) + std::fabs(p.b - q.b);
        }
      EXPECT_GT(diff / (192 * 108), 0.08) << ForestName(a) << " and " << ForestName(b);
    }
  // Night scenes are dark, day scenes bright: the light really differs.
  EXPECT_LT(Mean(scenes[1]).b + Mean(scenes[1]).g, Mean(scenes[5]).b + Mean(scenes[5]).g - 0.5f);
}

TEST(Gradients, AreSmoothWithoutSteps) {
  for (int i = 0; i < kGradients; ++i) {
    Canvas c = PaintGradient(i, 320, 180);
    float worst = 0;
    for (int y = 1; y < 180; ++y)
      for (int x = 1; x < 320; ++x) {
        Color p = c.Get(x, y), l = c.Get(x - 1, y), u = c.Get(x, y - 1);
        worst = std::max({worst, std::fabs(p.r - l.r), std::fabs(p.g - u.g), std::fabs(p.b - u.b)});
      }
    EXPECT_LT(worst, 0.02f) << GradientName(i) << " has an edge";
    Color top = c.Get(160, 0), bottom = c.Get(160, 179);
    EXPECT_GT(
        std::fabs(top.r - bottom.r) + std::fabs(top.g - bottom.g) + std::fabs(top.b - bottom.b),
        0.1f)
        << GradientName(i) << " is flat";
  }
}

}  // namespace
}  // namespace artgen
