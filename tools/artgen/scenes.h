// The winter pictures: eight forest scenes, each its own place and light.
#pragma once

#include <string>

#include "canvas.h"

namespace artgen {

inline constexpr int kForestScenes = 8;

// File name (without extension) of scene `index` (0..7).
std::string ForestName(int index);

// Paints scene `index` at any size; the shipped pictures are 1920 x 1080. A light position
// (fractions of width and height) other than negative moves the sun or moon, for other layouts.
Canvas PaintForest(int index, int width, int height, float lightX = -1.0f, float lightY = -1.0f);

}  // namespace artgen
