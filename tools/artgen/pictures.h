// The dialog's and preview's pictures and the greeting: small compositions of the scenes,
// flakes and lettering.
#pragma once

#include <string>

#include "canvas.h"

namespace artgen {

// Fonts the lettering uses, found in one folder (the DejaVu family).
struct Fonts {
  std::string folder;  // ends without a separator
  std::string Sans() const { return folder + "/DejaVuSans.ttf"; }
  std::string SansBold() const { return folder + "/DejaVuSans-Bold.ttf"; }
  std::string SerifBoldItalic() const { return folder + "/DejaVuSerif-BoldItalic.ttf"; }
};

Canvas PaintBanner(const Fonts& fonts);       // 120 x 310: name and a winter night
Canvas PaintPreview();                        // 152 x 112: the screensaver in miniature
Canvas PaintPlaceholder(const Fonts& fonts);  // 100 x 75: "no image"
Canvas PaintGreeting(const Fonts& fonts);     // the New Year greeting card
Canvas PaintDialogFlake(int kind);            // 50 x 50: flake `kind` on a night-blue tile

}  // namespace artgen
