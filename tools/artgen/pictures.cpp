#include "pictures.h"

#include <cmath>

#include "flakes.h"
#include "noise.h"
#include "raster.h"
#include "scenes.h"
#include "text.h"

namespace artgen {

namespace {

// Scatters small flakes over a picture: soft dots and, among them, a few crystals.
void Snowfall(Canvas& c, uint32_t seed, int count, float maxSize) {
  Rng rng(seed);
  for (int i = 0; i < count; ++i) {
    float x = rng.Range(0.0f, static_cast<float>(c.Width()));
    float y = rng.Range(0.0f, static_cast<float>(c.Height()));
    float size = maxSize * std::pow(rng.Uniform(), 2.0f) + 0.6f;
    float alpha = rng.Range(0.55f, 1.0f);
    if (size > maxSize * 0.7f) {
      Canvas flake = PaintFlake(7, static_cast<int>(size * 2.0f) + 3);
      c.Composite(flake, static_cast<int>(x), static_cast<int>(y));
      continue;
    }
    int r = static_cast<int>(std::ceil(size)) + 1;
    for (int j = -r; j <= r; ++j)
      for (int k = -r; k <= r; ++k) {
        float d = std::hypot(k + 0.5f - (x - std::floor(x)), j + 0.5f - (y - std::floor(y)));
        c.Blend(static_cast<int>(x) + k, static_cast<int>(y) + j, Rgb(0xFFFFFF),
                alpha * Clamp01(size * 0.6f - d + 0.5f));
      }
  }
}

// Draws text as a mask, so that it can be filled, blurred or shadowed.
Canvas TextMask(const Font& font, const std::string& text, float size, int width, int height,
                float x, float baseline) {
  Canvas mask(width, height);
  font.Draw(mask, text, x, baseline, size, Rgb(0xFFFFFF));
  return mask;
}

void PaintThroughMask(Canvas& c, const Canvas& mask, Color top, Color bottom, float y0, float y1,
                      float strength = 1.0f) {
  for (int y = 0; y < c.Height(); ++y)
    for (int x = 0; x < c.Width(); ++x) {
      float a = mask.At(x, y).a;
      if (a > 0.0f) c.Blend(x, y, Mix(top, bottom, Clamp01((y - y0) / (y1 - y0))), a * strength);
    }
}

}  // namespace

Canvas PaintBanner(const Fonts& fonts) {
  // Paint the night scene at twice the size and fold it down: finer trees and stars.
  Canvas scene = Downscale(PaintForest(1, 240, 620, 0.7f, 0.37f), 120, 310);
  Snowfall(scene, 4242, 70, 3.5f);
  Font bold, regular;
  if (!bold.Load(fonts.SansBold()) || !regular.Load(fonts.Sans())) return scene;
  const int w = scene.Width(), h = scene.Height();
  const std::string name = "Flurrix";
  float size = 27.0f;
  float x = (w - bold.Measure(name, size)) * 0.5f;
  Canvas mask = TextMask(bold, name, size, w, h, x, 52.0f);
  Canvas glow = mask;
  Blur(glow, 5.0f);
  PaintThroughMask(scene, glow, Rgb(0x9CC8FF), Rgb(0x9CC8FF), 0, 1, 0.9f);
  PaintThroughMask(scene, mask, Rgb(0xFFFFFF), Rgb(0xCFE3FF), 30.0f, 54.0f);
  const std::string sub = "Screensaver";
  float subSize = 13.0f;
  regular.Draw(scene, sub, (w - regular.Measure(sub, subSize)) * 0.5f, 72.0f, subSize,
               Rgb(0xD6E6FF, 0.95f));
  const std::string version = "3.3";
  regular.Draw(scene, version, (w - regular.Measure(version, 10.0f)) * 0.5f, 88.0f, 10.0f,
               Rgb(0x9FB8DA, 0.9f));
  return scene;
}

Canvas PaintPreview() {
  Canvas scene = Downscale(PaintForest(0, 608, 448), 152, 112);
  Snowfall(scene, 777, 90, 2.6f);
  return scene;
}

Canvas PaintPlaceholder(const Fonts& fonts) {
  const int w = 100, h = 75;
  Canvas c(w, h, {0, 0, 0, 1});
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) c.Blend(x, y, Mix(Rgb(0xEEF1F5), Rgb(0xD8DEE6), y / 74.0f));
  Color ink = Rgb(0xA3AFBD);
  // Dashed frame.
  Fill(
      c,
      [](float x, float y) {
        float frame = std::fabs(SdBox(x, y, 50.0f, 37.5f, 46.0f, 33.5f, 3.0f)) - 0.6f;
        float dash = std::fabs(std::fmod(x + y + 100.0f, 6.0f) - 3.0f) - 1.2f;
        return std::max(frame, dash);
      },
      ink);
  // A picture pictogram: frame, hills and sun.
  auto frame = [](float x, float y) { return SdBox(x, y, 50.0f, 31.0f, 15.0f, 11.0f, 1.5f); };
  Fill(
      c, [&](float x, float y) { return std::fabs(frame(x, y)) - 1.0f; }, ink);
  Fill(
      c,
      [&](float x, float y) {
        float hills = SdPolygon(x, y, {{36, 41}, {45, 30}, {51, 36}, {55, 32}, {64, 41}});
        return std::max(hills, frame(x, y) + 0.5f);
      },
      ink);
  Fill(
      c, [](float x, float y) { return SdCircle(x, y, 57.0f, 26.0f, 2.6f); }, ink);
  Font font;
  if (font.Load(fonts.Sans())) {
    const std::string text = "No image";
    float size = 11.0f;
    font.Draw(c, text, (w - font.Measure(text, size)) * 0.5f, 60.0f, size, Rgb(0x7D8A99));
  }
  return c;
}

Canvas PaintGreeting(const Fonts& fonts) {
  const int w = 440, h = 140;
  Canvas c(w, h, {0, 0, 0, 1});
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      float glow =
          std::exp(-std::hypot((x - w * 0.5f) / (w * 0.45f), (y - h * 0.55f) / (h * 0.6f)));
      c.Blend(
          x, y,
          Add(Mix(Rgb(0x0B1B3C), Rgb(0x16305E), y / float(h)), Scale(Rgb(0x3A4E8A), 0.5f * glow)));
    }
  // Soft lights in the background, like a window on a festive night.
  Rng rng(2024);
  for (int i = 0; i < 26; ++i) {
    float x = rng.Range(0, w), y = rng.Range(0, h), r = rng.Range(4.0f, 14.0f);
    Color col = rng.Uniform() < 0.5f ? Rgb(0xFFD68A) : Rgb(0x9CC4FF);
    float a = rng.Range(0.05f, 0.16f);
    Fill(
        c, [&](float px, float py) { return SdCircle(px, py, x, y, r); }, WithAlpha(col, a), 2);
  }
  Snowfall(c, 99, 80, 3.0f);
  Color gold = Rgb(0xE8C46A);
  // Double gold frame.
  Fill(
      c,
      [&](float x, float y) {
        return std::fabs(SdBox(x, y, w * 0.5f, h * 0.5f, w * 0.5f - 6, h * 0.5f - 6, 6)) - 0.8f;
      },
      gold);
  Fill(
      c,
      [&](float x, float y) {
        return std::fabs(SdBox(x, y, w * 0.5f, h * 0.5f, w * 0.5f - 10, h * 0.5f - 10, 4)) - 0.4f;
      },
      WithAlpha(gold, 0.7f));
  Font serif;
  if (serif.Load(fonts.SerifBoldItalic())) {
    const std::string text = "Happy New Year";
    float size = 46.0f;
    float x = (w - serif.Measure(text, size)) * 0.5f;
    Canvas mask = TextMask(serif, text, size, w, h, x, 86.0f);
    Canvas glow = mask;
    Blur(glow, 7.0f);
    PaintThroughMask(c, glow, Rgb(0xFFC65A), Rgb(0xFF9A3A), 0, 1, 0.8f);
    PaintThroughMask(c, mask, Rgb(0xFFF7D6), Rgb(0xF0C050), 50.0f, 88.0f);
  }
  for (int side = 0; side < 2; ++side) {
    Canvas flake = PaintFlake(7, 30);
    c.Composite(flake, side == 0 ? 22 : w - 52, 96);
  }
  return c;
}

Canvas PaintDialogFlake(int kind) {
  const int size = 50;
  Canvas c(size, size, {0, 0, 0, 1});
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      float r = std::hypot(x + 0.5f - 25.0f, y + 0.5f - 25.0f) / 35.0f;
      c.Blend(x, y, Mix(Rgb(0x2A5288), Rgb(0x0C1C38), Clamp01(r)));
    }
  c.Composite(PaintFlake(kind, 44), 3, 3);
  return c;
}

}  // namespace artgen
