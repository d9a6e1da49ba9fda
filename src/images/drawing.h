// 2D drawing onto a picture, onto any buffer of pixel rows, or onto a locked engine texture.
// Each thread draws on one target at a time. Coordinates count from the top-left corner.
#pragma once

#include <cstdint>

#include "images/image.h"
#include "images/resize.h"

namespace images {

// Drawing-mode flag: fills write all four channels, alpha included.
inline constexpr uint32_t kDrawAlphaChannel = 256;

struct DrawTarget {
  PixelView view;             // the rows, top first
  uint8_t* buffer = nullptr;  // first byte of the bitmap (the bottom row for pictures)
  int32_t pitch = 0;          // bytes per row, positive
  uint32_t mode = 0;
  const Image* picture = nullptr;  // the picture drawn on, if it is one
  int32_t texture = -1;            // the engine texture drawn on, if it is one
};

// Pixel rows handed out by the engine for a locked texture: top row first.
struct RawPixels {
  uint8_t* rows = nullptr;
  int32_t width = 0;
  int32_t height = 0;
  int32_t pitch = 0;
  int32_t depth = 32;
};

// How the scene layer lets the image layer draw on engine textures: `lock` gives the pixels of
// texture `texture` (false when it cannot), `unlock` hands them back.
struct TextureDrawingHooks {
  bool (*lock)(int32_t texture, RawPixels& pixels) = nullptr;
  void (*unlock)(int32_t texture) = nullptr;
};
// Returns the hooks replaced.
TextureDrawingHooks SetTextureDrawingHooks(TextureDrawingHooks hooks);

// Each start ends drawing on the previous target first. Null when the target cannot be used.
DrawTarget* StartDrawing(Image& picture);
DrawTarget* StartDrawing(const RawPixels& pixels);
DrawTarget* StartDrawingOnTexture(int32_t texture);
void StopDrawing();
DrawTarget* CurrentTarget();

// The current target's pixel buffer (first byte of the bitmap) and pitch; null and 0 when
// nothing is being drawn on.
uint8_t* DrawingBuffer();
int32_t DrawingPitch();

// Sets the drawing-mode flags (kDrawAlphaChannel).
void DrawingMode(uint32_t flags);

// Copies `src` at its own size with its top-left corner at (x, y), clipped. Pixels drawn on a
// 32-bit target become opaque.
void DrawImage(const Image& src, int32_t x, int32_t y);
// Like DrawImage, blended by the source's alpha (a 24-bit source is opaque). On a 32-bit target
// the result is `src` over the target, alpha included.
void DrawImageAlpha(const Image& src, int32_t x, int32_t y);
// Draws `src` stretched to width x height at (x, y), only when both are above 0: a plain copy at
// the same size, otherwise the area-averaging stretch. The pixels drawn become opaque.
void DrawImageStretched(const Image& src, int32_t x, int32_t y, int32_t width, int32_t height);

// Fills the area around (x, y): with `border` -1 the connected pixels of the colour found at
// (x, y), otherwise everything up to pixels of the border colour. Colours are packed
// r + g * 256 + b * 65536 (+ a * 16777216, written only in mode kDrawAlphaChannel).
void FloodFill(int32_t x, int32_t y, int32_t border, int32_t colour);

}  // namespace images
