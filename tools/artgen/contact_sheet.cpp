#include "contact_sheet.h"

#include <algorithm>

#include "text.h"

namespace artgen {

namespace {

Canvas Enlarge(const Canvas& c, int factor) {
  Canvas out(c.Width() * factor, c.Height() * factor);
  for (int y = 0; y < out.Height(); ++y)
    for (int x = 0; x < out.Width(); ++x) out.At(x, y) = c.At(x / factor, y / factor);
  return out;
}

}  // namespace

Canvas ContactSheet(const std::vector<std::pair<std::string, Canvas>>& items, const Fonts& fonts,
                    int width) {
  // Four of the big pictures to a row, whatever the width.
  const int gap = 16, label = 18, maxW = (width - 5 * gap) / 4, maxH = maxW * 9 / 16 + 10;
  // Place the cells first to learn the height.
  struct Cell {
    int x, y;
    Canvas image;
    std::string name;
  };
  std::vector<Cell> cells;
  int x = gap, y = gap, rowH = 0;
  for (const auto& [name, c] : items) {
    Canvas image = c;
    if (image.Width() > maxW || image.Height() > maxH) {
      float k = std::min(static_cast<float>(maxW) / image.Width(),
                         static_cast<float>(maxH) / image.Height());
      image = Downscale(image, static_cast<int>(image.Width() * k),
                        static_cast<int>(image.Height() * k));
    } else if (std::max(image.Width(), image.Height()) < 64) {
      image = Enlarge(image, 64 / std::max(image.Width(), image.Height()));
    }
    int cellW = std::max(image.Width(), 100);
    if (x + cellW + gap > width) {
      x = gap;
      y += rowH + label + gap;
      rowH = 0;
    }
    cells.push_back({x, y, image, name});
    x += cellW + gap;
    rowH = std::max(rowH, image.Height());
  }
  Canvas sheet(width, y + rowH + label + gap, Rgb(0x23272E));
  Font font;
  bool haveFont = font.Load(fonts.Sans());
  for (const Cell& cell : cells) {
    // A checkerboard under pictures with transparency shows their alpha edges.
    for (int j = 0; j < cell.image.Height(); ++j)
      for (int i = 0; i < cell.image.Width(); ++i)
        sheet.Blend(cell.x + i, cell.y + j, ((i / 8 + j / 8) % 2) ? Rgb(0x3A404A) : Rgb(0x30353D));
    sheet.Composite(cell.image, cell.x, cell.y);
    if (haveFont)
      font.Draw(sheet, cell.name, static_cast<float>(cell.x), cell.y + cell.image.Height() + 13.0f,
                11.0f, Rgb(0xC8D0DA));
  }
  return sheet;
}

}  // namespace artgen
