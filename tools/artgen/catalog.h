// Everything artgen makes: one entry per output file, with the step that paints and writes it.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "canvas.h"
#include "pictures.h"

namespace artgen {

struct Options {
  Fonts fonts;              // folder of the DejaVu family
  std::string fontLicence;  // the family's licence text, shipped beside the font
};

struct Entry {
  std::string file;  // path under its folder, with '/' separators
  bool builtin;      // built-in picture folder rather than the data folder
  // Makes the file at `path`; pictures also hand back what they show, for the contact sheet.
  std::function<bool(const std::string& path, const Options& options, Canvas* preview)> make;
};

std::vector<Entry> Catalog();

}  // namespace artgen
