// The snowflake pictures: eight built-in kinds, drawn at any size with clean alpha edges.
#pragma once

#include "canvas.h"

namespace artgen {

inline constexpr int kFlakeKinds = 8;

// Built-in flake `kind` (1..8) centred on a transparent square of `size` pixels.
Canvas PaintFlake(int kind, int size);

// The richer crystal shipped as the default custom flake.
Canvas PaintLargeFlake(int size);

}  // namespace artgen
