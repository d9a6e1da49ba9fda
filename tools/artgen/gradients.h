// Calm gradient pictures in winter colours.
#pragma once

#include <string>

#include "canvas.h"

namespace artgen {

inline constexpr int kGradients = 8;

std::string GradientName(int index);
Canvas PaintGradient(int index, int width, int height);

}  // namespace artgen
