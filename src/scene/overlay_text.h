// The 3D texts of the overlays: one font, one size, white, left end on the baseline.
#pragma once

#include <string>

namespace scene {

inline constexpr int kBrightWhite = static_cast<int>(0xFFFFFFFFu);
inline constexpr int kDimWhite = static_cast<int>(0xB4FFFFFFu);  // alpha 180

// Creates 3D text `number` (-1: any free number) with `caption` in the font "Days", one world
// unit high, and aligns it. Returns the text's number, or -1 when it could not be created.
int CreateOverlayText(int number, const std::string& caption, int colour);

}  // namespace scene
