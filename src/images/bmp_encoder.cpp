// The BMP writer: uncompressed files at depths 1, 4, 8, 24 and 32, bottom-up rows padded to 4.
#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "images/codec_internal.h"

namespace images::detail {
namespace {

inline uint32_t ColourAt(const uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16);
}

// A palette of 2^depth entries (blue-green-red packed) and the index of each colour. The exact
// colours when the picture has few enough; else a fixed palette: black and white, the 16
// standard colours, or 3-3-2 levels of red, green and blue.
class PaletteBuilder {
 public:
  PaletteBuilder(const Image& image, int32_t depth) : size_(1u << depth), depth_(depth) {
    for (int32_t y = 0; y < image.height && exact_; ++y) {
      const uint8_t* row = image.Row(y);
      for (int32_t x = 0; x < image.width; ++x) {
        const uint32_t c = ColourAt(row + 3 * x);
        if (index_.count(c)) continue;
        if (entries_.size() == size_) {
          exact_ = false;
          break;
        }
        index_[c] = static_cast<uint8_t>(entries_.size());
        entries_.push_back(c);
      }
    }
    if (exact_) {
      entries_.resize(size_, 0);
      return;
    }
    index_.clear();
    entries_.assign(size_, 0);
    static constexpr uint8_t kStandard[16][3] = {
        {0, 0, 0},     {128, 0, 0},     {0, 128, 0},     {128, 128, 0},  {0, 0, 128}, {128, 0, 128},
        {0, 128, 128}, {192, 192, 192}, {128, 128, 128}, {255, 0, 0},    {0, 255, 0}, {255, 255, 0},
        {0, 0, 255},   {255, 0, 255},   {0, 255, 255},   {255, 255, 255}};
    for (uint32_t i = 0; i < size_; ++i) {
      uint32_t r, g, b;
      if (depth == 1) {
        r = g = b = i ? 255 : 0;
      } else if (depth == 4) {
        r = kStandard[i][0], g = kStandard[i][1], b = kStandard[i][2];
      } else {
        r = (i >> 5) * 255 / 7, g = ((i >> 2) & 7) * 255 / 7, b = (i & 3) * 255 / 3;
      }
      entries_[i] = b | (g << 8) | (r << 16);
    }
  }

  const std::vector<uint32_t>& Entries() const { return entries_; }

  uint32_t IndexOf(uint32_t c) {
    if (auto it = index_.find(c); it != index_.end()) return it->second;
    uint32_t best = 0;
    if (depth_ == 8) {
      const uint32_t r = ((c >> 16) * 7 + 127) / 255, g = (((c >> 8) & 255) * 7 + 127) / 255;
      best = (r << 5) | (g << 2) | ((c & 255) * 3 + 127) / 255;
    } else {
      int64_t bestDistance = INT64_MAX;
      for (uint32_t i = 0; i < size_; ++i) {
        int64_t d = 0;
        for (int shift = 0; shift < 24; shift += 8) {
          const int64_t diff =
              static_cast<int64_t>((c >> shift) & 255) - ((entries_[i] >> shift) & 255);
          d += diff * diff;
        }
        if (d < bestDistance) bestDistance = d, best = i;
      }
    }
    index_[c] = static_cast<uint8_t>(best);
    return best;
  }

 private:
  uint32_t size_;
  int32_t depth_;
  bool exact_ = true;
  std::vector<uint32_t> entries_;
  std::unordered_map<uint32_t, uint8_t> index_;
};

void PutHeaders(std::vector<uint8_t>& out, const Image& image, int32_t depth, uint32_t paletteSize,
                uint32_t rowBytes) {
  const uint32_t dataOffset = 54 + 4 * paletteSize;
  const uint32_t imageSize = rowBytes * static_cast<uint32_t>(image.height);
  out.reserve(dataOffset + imageSize);
  out.push_back('B');
  out.push_back('M');
  PutLe32(out, dataOffset + imageSize);
  PutLe32(out, 0);
  PutLe32(out, dataOffset);
  PutLe32(out, 40);
  PutLe32(out, static_cast<uint32_t>(image.width));
  PutLe32(out, static_cast<uint32_t>(image.height));
  PutLe16(out, 1);
  PutLe16(out, static_cast<uint32_t>(depth));
  PutLe32(out, 0);  // no compression
  PutLe32(out, imageSize);
  for (int i = 0; i < 4; ++i) PutLe32(out, 0);  // resolutions, colours used, important colours
}

}  // namespace

bool WriteBmp24(const Image& image, int32_t, int32_t depth, std::vector<uint8_t>& out) {
  if (image.depth != 24 || image.width < 1 || image.height < 1) return false;
  if (depth != 1 && depth != 4 && depth != 8 && depth != 24 && depth != 32) return false;
  const uint32_t rowBytes = ((static_cast<uint32_t>(image.width) * depth + 31) / 32) * 4;
  out.clear();
  if (depth >= 24) {
    PutHeaders(out, image, depth, 0, rowBytes);
    for (int32_t y = 0; y < image.height; ++y) {
      const uint8_t* row = image.Row(y);
      if (depth == 24) {
        out.insert(out.end(), row, row + rowBytes);
        continue;
      }
      for (int32_t x = 0; x < image.width; ++x) {
        out.insert(out.end(), row + 3 * x, row + 3 * x + 3);
        out.push_back(255);
      }
    }
    return true;
  }
  PaletteBuilder palette(image, depth);
  PutHeaders(out, image, depth, 1u << depth, rowBytes);
  for (uint32_t c : palette.Entries()) PutLe32(out, c);
  std::vector<uint8_t> packed(rowBytes);
  for (int32_t y = 0; y < image.height; ++y) {
    std::fill(packed.begin(), packed.end(), 0);
    const uint8_t* row = image.Row(y);
    for (int32_t x = 0; x < image.width; ++x) {
      const uint32_t index = palette.IndexOf(ColourAt(row + 3 * x));
      const uint32_t bit = static_cast<uint32_t>(x) * depth;
      packed[bit / 8] |= static_cast<uint8_t>(index << (8 - depth - bit % 8));
    }
    out.insert(out.end(), packed.begin(), packed.end());
  }
  return true;
}

bool WriteBmp32(const Image& image, std::vector<uint8_t>& out) {
  if (image.depth != 32 || image.width < 1 || image.height < 1) return false;
  const uint32_t rowBytes = 4 * static_cast<uint32_t>(image.width);
  out.clear();
  PutHeaders(out, image, 32, 0, rowBytes);
  out.insert(out.end(), image.pixels.begin(), image.pixels.end());
  return true;
}

}  // namespace images::detail
