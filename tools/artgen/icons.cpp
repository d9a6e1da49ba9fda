#include "icons.h"

#include <algorithm>
#include <cmath>

#include "raster.h"

namespace artgen {

namespace {

constexpr float kPi = 3.14159265f;
constexpr int kSize = 16;
constexpr int kSamples = 8;

const Color kOutline = Rgb(0x2B3A4A);

// A filled shape with a one-pixel outline: the outline colour first, then the body inset by 1.
void Outlined(Canvas& c, const Sdf& shape, Color body, Color outline = kOutline) {
  Fill(c, shape, outline, kSamples);
  Fill(
      c, [&](float x, float y) { return shape(x, y) + 1.0f; }, body, kSamples);
}

// Lightens the upper half of whatever is painted, for a soft top light.
void TopLight(Canvas& c) {
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x)
      if (c.At(x, y).a > 0.0f) c.AddLight(x, y, Rgb(0xFFFFFF), 0.10f * (1.0f - y / 8.0f));
}

// A small round badge with a white plus or minus, bottom-right or top-right.
void Badge(Canvas& c, Color colour, bool plus) {
  float cx = 11.5f, cy = 4.5f;
  Outlined(
      c, [&](float x, float y) { return SdCircle(x, y, cx, cy, 4.5f); }, colour,
      Scale(colour, 0.55f));
  Fill(
      c, [&](float x, float y) { return SdBox(x, y, cx, cy, 2.5f, 0.75f); }, Rgb(0xFFFFFF),
      kSamples);
  if (plus)
    Fill(
        c, [&](float x, float y) { return SdBox(x, y, cx, cy, 0.75f, 2.5f); }, Rgb(0xFFFFFF),
        kSamples);
}

// A framed landscape picture in the lower left, for the add and remove icons.
void Picture(Canvas& c) {
  auto frame = [](float x, float y) { return SdBox(x, y, 7.0f, 9.5f, 6.5f, 5.5f, 0.5f); };
  Outlined(c, frame, Rgb(0x9FD3F5));
  auto mountain = [&](float x, float y) {
    float m = SdPolygon(
        x, y, {{1.5f, 14.0f}, {6.0f, 8.5f}, {9.0f, 11.5f}, {10.5f, 10.0f}, {13.5f, 14.0f}});
    return std::max(m, frame(x, y) + 1.0f);
  };
  Fill(c, mountain, Rgb(0x3E7D5A), kSamples);
  auto snowcap = [&](float x, float y) {
    return std::max(
        mountain(x, y),
        SdPolygon(x, y,
                  {{3.0f, 11.0f}, {6.0f, 7.5f}, {8.0f, 10.0f}, {6.5f, 10.5f}, {5.0f, 10.0f}}));
  };
  Fill(c, snowcap, Rgb(0xFFFFFF), kSamples);
  Fill(
      c, [](float x, float y) { return SdCircle(x, y, 10.0f, 7.0f, 1.2f); }, Rgb(0xFFD75E),
      kSamples);
}

void Home(Canvas& c) {
  Outlined(
      c, [](float x, float y) { return SdBox(x, y, 11.5f, 3.5f, 1.5f, 2.5f); }, Rgb(0xA0522D));
  Outlined(
      c, [](float x, float y) { return SdBox(x, y, 8.0f, 11.0f, 5.5f, 4.5f); }, Rgb(0xF4E9D8));
  Outlined(
      c, [](float x, float y) { return SdBox(x, y, 8.0f, 12.5f, 1.75f, 3.0f); }, Rgb(0x3B6EA8));
  auto roof = [](float x, float y) {
    return SdPolygon(
        x, y,
        {{0.5f, 8.5f}, {8.0f, 1.0f}, {15.5f, 8.5f}, {13.5f, 8.5f}, {8.0f, 3.5f}, {2.5f, 8.5f}});
  };
  Outlined(
      c, [&](float x, float y) { return roof(x, y) - 0.5f; }, Rgb(0xD2493C));
}

void Mail(Canvas& c) {
  auto body = [](float x, float y) { return SdBox(x, y, 8.0f, 8.5f, 7.0f, 5.0f, 0.5f); };
  Outlined(c, body, Rgb(0xFDFDF8));
  Fill(
      c, [](float x, float y) { return SdBox(x, y, 8.0f, 8.5f, 6.0f, 4.0f); }, Rgb(0xE9EEF5),
      kSamples);
  auto flap = [&](float x, float y) {
    float v = std::min(SdSegment(x, y, {1.5f, 4.0f}, {8.0f, 9.0f}),
                       SdSegment(x, y, {14.5f, 4.0f}, {8.0f, 9.0f})) -
              0.55f;
    return std::max(v, body(x, y));
  };
  Fill(c, flap, kOutline, kSamples);
  auto stamp = [](float x, float y) { return SdBox(x, y, 12.0f, 6.0f, 1.25f, 1.0f); };
  Fill(c, stamp, Rgb(0xD2493C), kSamples);
}

void Refresh(Canvas& c) {
  Color green = Rgb(0x2E9B4F);
  auto arc = [](float x, float y, float from, float to) {
    float dx = x - 8.0f, dy = y - 8.0f;
    float ring = std::fabs(std::hypot(dx, dy) - 5.0f) - 1.25f;
    float a = std::atan2(dy, dx);
    // Keep the ring only within the angular window, measured as a distance along the arc.
    float mid = 0.5f * (from + to), half = 0.5f * (to - from);
    float off = std::fabs(std::remainder(a - mid, 2.0f * kPi)) - half;
    return std::max(ring, off * 5.0f);
  };
  auto arrows = [&](float x, float y) {
    float d = std::min(arc(x, y, -kPi * 0.95f, -kPi * 0.15f), arc(x, y, kPi * 0.05f, kPi * 0.85f));
    // Arrow heads at the ends of both arcs.
    d = std::min(d, SdPolygon(x, y, {{10.5f, 0.8f}, {14.8f, 4.6f}, {9.8f, 6.3f}}));
    d = std::min(d, SdPolygon(x, y, {{5.5f, 15.2f}, {1.2f, 11.4f}, {6.2f, 9.7f}}));
    return d;
  };
  Outlined(
      c, [&](float x, float y) { return arrows(x, y) - 0.6f; }, green, Rgb(0x1D5E31));
}

void Folder(Canvas& c) {
  Outlined(
      c,
      [](float x, float y) {
        return std::min(SdBox(x, y, 8.0f, 9.0f, 7.0f, 5.0f, 0.5f),
                        SdBox(x, y, 4.5f, 4.0f, 3.5f, 1.5f, 0.5f));
      },
      Rgb(0xE0A526), Rgb(0x8A5A12));
  // The open front flap, lighter and slanted.
  Outlined(
      c,
      [](float x, float y) {
        return SdPolygon(x, y, {{3.5f, 7.0f}, {15.5f, 7.0f}, {13.5f, 14.5f}, {0.5f, 14.5f}});
      },
      Rgb(0xF7CF5B), Rgb(0x8A5A12));
}

void Note(Canvas& c) {
  Color blue = Rgb(0x3466B0);
  auto note = [](float x, float y) {
    float heads = std::min(SdCircle(x, y, 4.0f, 12.5f, 2.3f), SdCircle(x, y, 12.0f, 11.0f, 2.3f));
    float stems =
        std::min(SdBox(x, y, 5.6f, 7.5f, 0.7f, 5.0f), SdBox(x, y, 13.6f, 6.0f, 0.7f, 5.0f));
    float beam = SdPolygon(x, y, {{4.9f, 2.5f}, {14.3f, 0.8f}, {14.3f, 3.6f}, {4.9f, 5.3f}});
    return std::min({heads, stems, beam});
  };
  Outlined(
      c, [&](float x, float y) { return note(x, y) - 0.3f; }, blue, Rgb(0x1C3966));
}

}  // namespace

Canvas PaintIcon(int number) {
  Canvas c(kSize, kSize);
  switch (number) {
    case 5:
      Home(c);
      break;
    case 6:
      Mail(c);
      break;
    case 7:
      Refresh(c);
      break;
    case 8:
      Picture(c);
      Badge(c, Rgb(0x2E9B4F), true);
      break;
    case 9:
      Picture(c);
      Badge(c, Rgb(0xD2403A), false);
      break;
    case 10:
      Folder(c);
      break;
    default:
      Note(c);
      break;
  }
  TopLight(c);
  return c;
}

}  // namespace artgen
