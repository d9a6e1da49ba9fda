// Resampling pictures: the smooth filters and the raw stretch.
#pragma once

#include <cstdint>

#include "images/image.h"

namespace images {

enum ResizeMode : int32_t { kResizeRaw = 0, kResizeSmooth = 1 };

// Resizes `image` in place to width x height. Smooth: a 32-bit picture through the separable
// Mitchell-Netravali cubic (B = C = 1/3), a 24-bit one through the area-averaging stretch. Raw:
// pixels dropped or repeated. False, with the picture unchanged, for an impossible size.
bool ResizeImage(Image& image, int32_t width, int32_t height, int32_t mode);

// A view of pixel rows to draw into: `rows` is the top row, `stride` the bytes from one row to
// the one below it (negative for bottom-up bitmaps), `depth` 24 or 32.
struct PixelView {
  uint8_t* rows = nullptr;
  int32_t width = 0;
  int32_t height = 0;
  int64_t stride = 0;
  int32_t depth = 0;

  uint8_t* Row(int32_t y) const { return rows + stride * y; }
};

PixelView ViewOf(Image& image);

// Area-averaging stretch of `src` onto the rectangle (x, y, width, height) of `dst`, clipped to
// it. Colour channels are averaged; 32-bit destinations get alpha 255 (opaque).
void StretchArea(const Image& src, const PixelView& dst, int32_t x, int32_t y, int32_t width,
                 int32_t height);

}  // namespace images
