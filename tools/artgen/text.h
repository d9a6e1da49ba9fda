// Lettering for the banner and the greeting, rasterised by FreeType from the shipped font family.
#pragma once

#include <string>

#include "canvas.h"

namespace artgen {

class Font {
 public:
  Font();
  ~Font();
  Font(const Font&) = delete;
  Font& operator=(const Font&) = delete;

  bool Load(const std::string& path);
  // Advance width in pixels of an ASCII text at this pixel size.
  float Measure(const std::string& text, float size) const;
  // Paints the text with its baseline starting at (x, baseline).
  void Draw(Canvas& c, const std::string& text, float x, float baseline, float size,
            Color color) const;

 private:
  struct Impl;
  Impl* impl_;
};

}  // namespace artgen
