// Drawing on an engine texture: its pixels locked for the drawing and handed back after it.
#pragma once

#include <cstdint>
#include <functional>

#include "images/drawing.h"

namespace scene {

// Locks `texture`, hands `draw` a target on its pixels and unlocks it. False, without calling
// `draw`, when the texture cannot be locked or its pixels cannot be drawn on.
bool DrawOnTexture(int32_t texture, const std::function<void(images::DrawTarget&)>& draw);

}  // namespace scene
