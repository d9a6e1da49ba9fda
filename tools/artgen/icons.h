// The dialog's 16 x 16 button icons, built-in pictures 5 to 11.
#pragma once

#include "canvas.h"

namespace artgen {

// 5 home page, 6 feedback (mail), 7 new version (refresh), 8 add image, 9 remove image,
// 10 browse (folder), 11 music (the sound page's browse button).
Canvas PaintIcon(int number);

}  // namespace artgen
