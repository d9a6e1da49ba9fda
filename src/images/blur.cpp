#include "images/blur.h"

#include <algorithm>
#include <new>
#include <vector>

#include "images/drawing.h"

namespace images {
namespace {

// Exact truncating division by d for every sum a window can hold (0 .. 255 * d, d <= 201):
// sum * ceil(2^24 / d) >> 24. The error of the rounded-up reciprocal stays below 1 / d.
struct Divider {
  uint32_t multiplier;
  explicit Divider(uint32_t d) : multiplier(((1u << 24) + d - 1) / d) {}
  uint8_t operator()(uint32_t sum) const { return static_cast<uint8_t>((sum * multiplier) >> 24); }
};

// Window ends of a pass over n pixels: the index to add and the one to drop after position i,
// both clamped into 0 .. n - 1.
void WindowEnds(int32_t n, int32_t r, std::vector<int32_t>& add, std::vector<int32_t>& drop) {
  for (int32_t i = 0; i < n; ++i) {
    add[i] = std::min(i + r + 1, n - 1);
    drop[i] = std::max(i - r, 0);
  }
}

// Horizontal pass of one row: `src` holds w pixels of 3 bytes, `out` receives them divided.
void BlurRow(const uint8_t* src, uint8_t* out, int32_t w, int32_t r, const int32_t* add,
             const int32_t* drop, Divider div) {
  const int32_t wm = w - 1;
  uint32_t s0 = 0, s1 = 0, s2 = 0;
  for (int32_t i = -r; i <= r; ++i) {
    const uint8_t* p = src + 3 * std::min(wm, std::max(i, 0));
    s0 += p[0], s1 += p[1], s2 += p[2];
  }
  for (int32_t x = 0; x < w; ++x) {
    out[3 * x] = div(s0), out[3 * x + 1] = div(s1), out[3 * x + 2] = div(s2);
    const uint8_t* a = src + 3 * add[x];
    const uint8_t* d = src + 3 * drop[x];
    s0 += a[0] - d[0], s1 += a[1] - d[1], s2 += a[2] - d[2];
  }
}

}  // namespace

int32_t Blur(Image& image, int32_t radius) {
  if (radius < 1 || radius > 100) return kBlurRefused;
  if (!StartDrawing(image) || image.depth != 24) {
    StopDrawing();
    return kBlurRefused;
  }
  uint8_t* pixels = DrawingBuffer();
  const int64_t pitch = DrawingPitch();
  const int32_t w = image.width, h = image.height, r = radius;
  const size_t rowBytes = 3 * static_cast<size_t>(w);
  const Divider div(2 * r + 1);

  std::vector<uint8_t> horizontal;  // the first pass, w x h pixels of 3 bytes without padding
  std::vector<int32_t> add, drop;
  std::vector<uint32_t> sums;
  try {
    horizontal.resize(rowBytes * h);
    add.resize(std::max(w, h));
    drop.resize(std::max(w, h));
    sums.resize(rowBytes);
  } catch (const std::bad_alloc&) {
    StopDrawing();
    return kBlurRefused;
  }

  WindowEnds(w, r, add, drop);
  for (int32_t y = 0; y < h; ++y) {
    BlurRow(pixels + pitch * y, &horizontal[rowBytes * y], w, r, add.data(), drop.data(), div);
  }

  // The vertical pass runs along every column at once, row by row, which keeps the memory
  // access sequential; each column sees exactly the sums of its own running window.
  const int32_t hm = h - 1;
  WindowEnds(h, r, add, drop);
  std::fill(sums.begin(), sums.end(), 0);
  for (int32_t i = -r; i <= r; ++i) {
    const uint8_t* row = &horizontal[rowBytes * std::min(hm, std::max(i, 0))];
    for (size_t j = 0; j < rowBytes; ++j) sums[j] += row[j];
  }
  for (int32_t y = 0; y < h; ++y) {
    uint8_t* out = pixels + pitch * y;
    const uint8_t* a = &horizontal[rowBytes * add[y]];
    const uint8_t* d = &horizontal[rowBytes * drop[y]];
    uint32_t* s = sums.data();
    for (size_t j = 0; j < rowBytes; ++j) {
      out[j] = div(s[j]);
      s[j] += a[j] - d[j];
    }
  }
  StopDrawing();
  return kBlurDone;
}

}  // namespace images
