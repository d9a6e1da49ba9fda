// The box blur that softens the desktop and wallpaper pictures.
#pragma once

#include <cstdint>

#include "images/image.h"

namespace images {

inline constexpr int32_t kBlurDone = 0;
inline constexpr int32_t kBlurRefused = 1;

// One horizontal and one vertical running-sum pass over a 24-bit picture with windows of
// 2 * radius + 1 pixels clamped at the edges; each pass divides its sums by the window size with
// truncation. kBlurRefused, with the picture untouched, for a radius outside 1..100, a picture
// that is not 24-bit, or when the working storage cannot be had.
int32_t Blur(Image& image, int32_t radius);

}  // namespace images
