// The pixels a Wayland surface is drawn at. A compositor sizes a surface in its own units; on a
// scaled output (a 2560x1440 panel at scale 2 is 1280x720 units) a buffer of one pixel a unit
// would be blown up and soft. What the compositor says of the scale comes in several ways,
// depending on what it offers; these rules turn what it said into the buffer's pixels. No
// compositor needed, so tests can follow every case.
#pragma once

#include <cstdint>

namespace screen {

// Scales in 120ths, as the fractional-scale protocol sends them: 120 is 1, 180 is 1.5.
inline constexpr int32_t kScaleUnit = 120;

// What the compositor has said of one surface's scale so far.
struct ScaleReports {
  int32_t fraction = 0;     // the preferred fractional scale, in 120ths; 0 until one came
  int32_t bufferScale = 0;  // the preferred integer buffer scale; 0 until one came
  // The largest integer scale of the outputs the surface is on, or, until it is on one, of the
  // output it was made for.
  int32_t outputScale = 1;
  bool onOutput = false;  // the surface has entered an output
};

// How a surface's buffer is made: its pixels, and the integer buffer scale to set (1 where a
// viewport shows the buffer at the surface's size instead).
struct BufferPlan {
  int32_t width = 0;
  int32_t height = 0;
  int32_t bufferScale = 1;
  bool operator==(const BufferPlan&) const = default;
};

// The scale to draw at, in 120ths. `viewport`: the surface can be shown through a viewport, so a
// fractional scale can be drawn. Until the surface is on an output, a compositor's preferred
// scale may be a placeholder (KWin says 1 then), so the scale of the output it was made for
// serves; then the preferred fractional scale, the preferred buffer scale, the outputs' scale,
// whichever the compositor sent, in that order.
int32_t ChooseScale(const ScaleReports& reports, bool viewport);

// The buffer for a surface of `width` x `height` units at `scale` (120ths). Through a viewport
// each side is its units times the scale rounded to the nearest pixel, halves away from zero;
// otherwise the scale is rounded up to a whole number that the buffer's sides are multiples of.
BufferPlan PlanBuffer(int32_t width, int32_t height, int32_t scale, bool viewport);

}  // namespace screen
