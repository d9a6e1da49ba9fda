// One picture that shows every picture artgen made, labelled, for looking at them together.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "canvas.h"
#include "pictures.h"

namespace artgen {

// Lays the previews out in rows on a dark ground, `width` pixels wide. Small pictures are
// enlarged by whole factors (pixels stay square) so that their detail can be judged.
Canvas ContactSheet(const std::vector<std::pair<std::string, Canvas>>& items, const Fonts& fonts,
                    int width);

}  // namespace artgen
