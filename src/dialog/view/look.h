// The look the FLTK windows share: FLTK's modern scheme and one palette of light neutral
// surfaces, dark text and one blue accent.
#pragma once

#include <FL/Enumerations.H>

namespace dialog {

inline constexpr Fl_Color kSurface = 0xF3F3F300;
inline constexpr Fl_Color kField = 0xFFFFFF00;
inline constexpr Fl_Color kPage = 0xFBFBFB00;
inline constexpr Fl_Color kText = 0x1F1F1F00;
inline constexpr Fl_Color kAccent = 0x0067C000;
inline constexpr Fl_Color kBorder = 0xC8C8C800;
inline constexpr Fl_Color kMuted = 0x5A5A5A00;

// Sets the scheme and the palette for the windows made after it; tooltips in `tooltipSize`.
void UseDialogLook(int tooltipSize);

}  // namespace dialog
