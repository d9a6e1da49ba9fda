#include "images/drawing.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

namespace images {
namespace {

// The rectangle where a w x h picture placed at (x, y) meets the target.
struct Clip {
  int32_t x0, y0, x1, y1;
  bool Empty() const { return x0 >= x1 || y0 >= y1; }
};
Clip ClipTo(const PixelView& view, int32_t x, int32_t y, int32_t w, int32_t h) {
  return {std::max(0, x), std::max(0, y),
          static_cast<int32_t>(std::min<int64_t>(view.width, int64_t{x} + w)),
          static_cast<int32_t>(std::min<int64_t>(view.height, int64_t{y} + h))};
}

bool Usable(const Image& image) {
  return (image.depth == 24 || image.depth == 32) && image.width > 0 && image.height > 0 &&
         image.pitch == PitchFor(image.width, image.depth) &&
         image.pixels.size() >= static_cast<size_t>(image.pitch) * image.height;
}

}  // namespace

std::optional<DrawTarget> StartDrawing(Image& picture) {
  if (!Usable(picture)) return std::nullopt;
  return DrawTarget{ViewOf(picture), picture.pixels.data(), picture.pitch, 0};
}

std::optional<DrawTarget> StartDrawing(const RawPixels& pixels) {
  if (!pixels.rows || pixels.width < 1 || pixels.height < 1) return std::nullopt;
  if ((pixels.depth != 24 && pixels.depth != 32) ||
      int64_t{pixels.pitch} < int64_t{pixels.width} * (pixels.depth / 8)) {
    return std::nullopt;
  }
  return DrawTarget{{pixels.rows, pixels.width, pixels.height, pixels.pitch, pixels.depth},
                    pixels.rows,
                    pixels.pitch,
                    0};
}

void DrawImage(const DrawTarget& target, const Image& src, int32_t x, int32_t y) {
  if (!Usable(src)) return;
  const PixelView& view = target.view;
  const Clip clip = ClipTo(view, x, y, src.width, src.height);
  if (clip.Empty()) return;
  const int32_t sc = src.depth / 8, dc = view.depth / 8;
  for (int32_t r = clip.y0; r < clip.y1; ++r) {
    const uint8_t* s = src.TopRow(r - y) + static_cast<int64_t>(clip.x0 - x) * sc;
    uint8_t* d = view.Row(r) + static_cast<int64_t>(clip.x0) * dc;
    if (sc == 3 && dc == 3) {
      std::memmove(d, s, static_cast<size_t>(clip.x1 - clip.x0) * 3);
      continue;
    }
    for (int32_t c = clip.x0; c < clip.x1; ++c, s += sc, d += dc) {
      d[0] = s[0], d[1] = s[1], d[2] = s[2];
      if (dc == 4) d[3] = 255;
    }
  }
}

void DrawImageAlpha(const DrawTarget& target, const Image& src, int32_t x, int32_t y) {
  if (!Usable(src)) return;
  const PixelView& view = target.view;
  const Clip clip = ClipTo(view, x, y, src.width, src.height);
  if (clip.Empty()) return;
  const int32_t sc = src.depth / 8, dc = view.depth / 8;
  for (int32_t r = clip.y0; r < clip.y1; ++r) {
    const uint8_t* s = src.TopRow(r - y) + static_cast<int64_t>(clip.x0 - x) * sc;
    uint8_t* d = view.Row(r) + static_cast<int64_t>(clip.x0) * dc;
    for (int32_t c = clip.x0; c < clip.x1; ++c, s += sc, d += dc) {
      const uint32_t a = sc == 4 ? s[3] : 255;
      if (dc == 3) {
        for (int i = 0; i < 3; ++i)
          d[i] = static_cast<uint8_t>((s[i] * a + d[i] * (255 - a) + 127) / 255);
        continue;
      }
      // Straight-alpha "over": colours weighted by their coverage, alpha accumulated.
      const uint32_t da = d[3];
      const uint32_t cover = a * 255 + da * (255 - a);  // result alpha times 255
      if (cover == 0) {
        d[0] = d[1] = d[2] = d[3] = 0;
        continue;
      }
      for (int i = 0; i < 3; ++i) {
        d[i] = static_cast<uint8_t>((s[i] * a * 255 + d[i] * da * (255 - a) + cover / 2) / cover);
      }
      d[3] = static_cast<uint8_t>((cover + 127) / 255);
    }
  }
}

void DrawImageStretched(const DrawTarget& target, const Image& src, int32_t x, int32_t y,
                        int32_t width, int32_t height) {
  if (!Usable(src) || width < 1 || height < 1) return;
  StretchArea(src, target.view, x, y, width, height);
}

void FloodFill(const DrawTarget& target, int32_t x, int32_t y, int32_t border, int32_t colour) {
  const PixelView& view = target.view;
  if (x < 0 || y < 0 || x >= view.width || y >= view.height) return;
  const int32_t bpp = view.depth / 8;
  const auto rgb = [&](int32_t px, int32_t py) {
    const uint8_t* p = view.Row(py) + static_cast<int64_t>(px) * bpp;
    return static_cast<uint32_t>(p[2] | (p[1] << 8) | (p[0] << 16));  // packed r + g*256 + b*65536
  };
  const uint32_t seed = rgb(x, y);
  const uint32_t borderRgb = static_cast<uint32_t>(border) & 0xFFFFFF;
  const auto fillable = [&](int32_t px, int32_t py) {
    return border == -1 ? rgb(px, py) == seed : rgb(px, py) != borderRgb;
  };
  if (!fillable(x, y)) return;
  const uint32_t c = static_cast<uint32_t>(colour);
  const bool withAlpha = bpp == 4 && (target.mode & kDrawAlphaChannel);

  std::vector<bool> done(static_cast<size_t>(view.width) * view.height);
  std::vector<std::pair<int32_t, int32_t>> seeds{{x, y}};
  const auto open = [&](int32_t px, int32_t py) {
    return !done[static_cast<size_t>(py) * view.width + px] && fillable(px, py);
  };
  while (!seeds.empty()) {
    auto [sx, sy] = seeds.back();
    seeds.pop_back();
    if (!open(sx, sy)) continue;
    int32_t left = sx, right = sx;
    while (left > 0 && open(left - 1, sy)) --left;
    while (right + 1 < view.width && open(right + 1, sy)) ++right;
    for (int32_t px = left; px <= right; ++px) {
      done[static_cast<size_t>(sy) * view.width + px] = true;
      uint8_t* p = view.Row(sy) + static_cast<int64_t>(px) * bpp;
      p[0] = static_cast<uint8_t>(c >> 16), p[1] = static_cast<uint8_t>(c >> 8),
      p[2] = static_cast<uint8_t>(c);
      if (withAlpha) p[3] = static_cast<uint8_t>(c >> 24);
    }
    // One seed for each run of open pixels in the rows above and below.
    for (int32_t ny : {sy - 1, sy + 1}) {
      if (ny < 0 || ny >= view.height) continue;
      for (int32_t px = left; px <= right; ++px) {
        if (open(px, ny) && (px == left || !open(px - 1, ny))) seeds.emplace_back(px, ny);
      }
    }
  }
}

}  // namespace images
