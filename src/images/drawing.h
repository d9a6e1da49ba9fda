// 2D drawing onto a picture or onto any buffer of pixel rows (a locked engine texture, say). A
// drawing target is a value the caller holds and hands to each operation; nothing is kept between
// calls. Coordinates count from the top-left corner.
#pragma once

#include <cstdint>
#include <optional>

#include "images/image.h"
#include "images/resize.h"

namespace images {

// Drawing-mode flag: fills write all four channels, alpha included.
inline constexpr uint32_t kDrawAlphaChannel = 256;

struct DrawTarget {
  PixelView view;             // the rows, top first
  uint8_t* buffer = nullptr;  // first byte of the bitmap (the bottom row for pictures)
  int32_t pitch = 0;          // bytes per row, positive
  uint32_t mode = 0;          // drawing-mode flags (kDrawAlphaChannel)
};

// Pixel rows handed out by whoever owns them (the engine, for a locked texture): top row first.
struct RawPixels {
  uint8_t* rows = nullptr;
  int32_t width = 0;
  int32_t height = 0;
  int32_t pitch = 0;
  int32_t depth = 32;
};

// A target on the picture's or the buffer's pixels, valid while they are; none when it cannot be
// drawn on (a depth other than 24 or 32, no pixels, a pitch too small).
std::optional<DrawTarget> StartDrawing(Image& picture);
std::optional<DrawTarget> StartDrawing(const RawPixels& pixels);

// Copies `src` at its own size with its top-left corner at (x, y), clipped. Pixels drawn on a
// 32-bit target become opaque.
void DrawImage(const DrawTarget& target, const Image& src, int32_t x, int32_t y);
// Like DrawImage, blended by the source's alpha (a 24-bit source is opaque). On a 32-bit target
// the result is `src` over the target, alpha included.
void DrawImageAlpha(const DrawTarget& target, const Image& src, int32_t x, int32_t y);
// Draws `src` stretched to width x height at (x, y), only when both are above 0: a plain copy at
// the same size, otherwise the area-averaging stretch. The pixels drawn become opaque.
void DrawImageStretched(const DrawTarget& target, const Image& src, int32_t x, int32_t y,
                        int32_t width, int32_t height);

// Fills the area around (x, y): with `border` -1 the connected pixels of the colour found at
// (x, y), otherwise everything up to pixels of the border colour. Colours are packed
// r + g * 256 + b * 65536 (+ a * 16777216, written only in mode kDrawAlphaChannel).
void FloodFill(const DrawTarget& target, int32_t x, int32_t y, int32_t border, int32_t colour);

}  // namespace images
