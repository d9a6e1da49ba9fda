// Separable resampling with precomputed fixed-point taps: one horizontal and one vertical pass.
#include "images/resize.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>
#include <vector>

namespace images {
namespace {

constexpr int kWeightBits = 14;
constexpr int32_t kOne = 1 << kWeightBits;

// For each output index: the first source index and the fixed-point weights that follow it.
struct Taps {
  int32_t perOutput = 0;
  std::vector<int32_t> first;
  std::vector<int32_t> weights;  // perOutput entries per output index
};

// Rounds real weights to fixed point so that each output's weights sum to exactly kOne.
void Quantise(const std::vector<double>& w, int32_t* out) {
  double total = 0;
  for (double v : w) total += v;
  int32_t sum = 0, biggest = 0;
  for (size_t i = 0; i < w.size(); ++i) {
    out[i] = static_cast<int32_t>(std::lround(w[i] / total * kOne));
    sum += out[i];
    if (out[i] > out[biggest]) biggest = static_cast<int32_t>(i);
  }
  out[biggest] += kOne - sum;
}

double Mitchell(double x) {
  constexpr double B = 1.0 / 3, C = 1.0 / 3;
  x = std::fabs(x);
  if (x < 1)
    return ((12 - 9 * B - 6 * C) * x * x * x + (-18 + 12 * B + 6 * C) * x * x + (6 - 2 * B)) / 6;
  if (x < 2) {
    return ((-B - 6 * C) * x * x * x + (6 * B + 30 * C) * x * x + (-12 * B - 48 * C) * x +
            (8 * B + 24 * C)) /
           6;
  }
  return 0;
}

// Mitchell-Netravali taps; the support of 2 source pixels widens by the reduction factor.
Taps CubicTaps(int32_t src, int32_t dst) {
  const double scale = static_cast<double>(src) / dst;
  const double widen = std::max(1.0, scale);
  const double support = 2 * widen;
  Taps taps;
  taps.perOutput = static_cast<int32_t>(std::ceil(support)) * 2 + 3;
  taps.first.resize(dst);
  taps.weights.assign(static_cast<size_t>(dst) * taps.perOutput, 0);
  std::vector<double> w;
  for (int32_t i = 0; i < dst; ++i) {
    const double centre = (i + 0.5) * scale;
    const int32_t lo = std::max(0, static_cast<int32_t>(std::floor(centre - support)));
    const int32_t hi = std::min(src - 1, static_cast<int32_t>(std::ceil(centre + support)));
    w.clear();
    for (int32_t j = lo; j <= hi && static_cast<int32_t>(w.size()) < taps.perOutput; ++j) {
      w.push_back(Mitchell((j + 0.5 - centre) / widen));
    }
    taps.first[i] = lo;
    Quantise(w, &taps.weights[static_cast<size_t>(i) * taps.perOutput]);
  }
  return taps;
}

// Box taps: each output pixel averages the source interval it covers, by overlap.
Taps AreaTaps(int32_t src, int32_t dst) {
  const double scale = static_cast<double>(src) / dst;
  Taps taps;
  taps.perOutput = static_cast<int32_t>(std::ceil(scale)) + 1;
  taps.first.resize(dst);
  taps.weights.assign(static_cast<size_t>(dst) * taps.perOutput, 0);
  std::vector<double> w;
  for (int32_t i = 0; i < dst; ++i) {
    const double from = i * scale, to = (i + 1) * scale;
    const int32_t lo = static_cast<int32_t>(from);
    w.clear();
    for (int32_t j = lo; j < to && j < src && static_cast<int32_t>(w.size()) < taps.perOutput;
         ++j) {
      w.push_back(std::min<double>(j + 1, to) - std::max<double>(j, from));
    }
    taps.first[i] = lo;
    Quantise(w, &taps.weights[static_cast<size_t>(i) * taps.perOutput]);
  }
  return taps;
}

inline uint8_t Clamp8(int32_t v) {
  v = (v + kOne / 2) >> kWeightBits;
  return static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v);
}

// A plain interleaved buffer: `channels` bytes per pixel, rows top first, no padding.
struct Plane {
  int32_t width = 0, height = 0, channels = 0;
  const uint8_t* data = nullptr;
  int64_t stride = 0;
  const uint8_t* Row(int32_t y) const { return data + stride * y; }
};

void Horizontal(const Plane& src, const Taps& taps, int32_t dstWidth, uint8_t* out,
                int64_t outStride) {
  const int32_t c = src.channels;
  for (int32_t y = 0; y < src.height; ++y) {
    const uint8_t* row = src.Row(y);
    uint8_t* o = out + outStride * y;
    for (int32_t x = 0; x < dstWidth; ++x) {
      const int32_t* w = &taps.weights[static_cast<size_t>(x) * taps.perOutput];
      const uint8_t* s = row + static_cast<int64_t>(taps.first[x]) * c;
      const int32_t n = std::min(taps.perOutput, src.width - taps.first[x]);
      for (int32_t ch = 0; ch < c; ++ch) {
        int32_t acc = 0;
        for (int32_t k = 0; k < n; ++k) acc += w[k] * s[k * c + ch];
        o[x * c + ch] = Clamp8(acc);
      }
    }
  }
}

void Vertical(const Plane& src, const Taps& taps, int32_t dstHeight, uint8_t* out,
              int64_t outStride) {
  const int32_t bytes = src.width * src.channels;
  std::vector<int32_t> acc(static_cast<size_t>(bytes));
  for (int32_t y = 0; y < dstHeight; ++y) {
    const int32_t* w = &taps.weights[static_cast<size_t>(y) * taps.perOutput];
    const int32_t n = std::min(taps.perOutput, src.height - taps.first[y]);
    std::fill(acc.begin(), acc.end(), 0);
    for (int32_t k = 0; k < n; ++k) {
      const uint8_t* s = src.Row(taps.first[y] + k);
      const int32_t wk = w[k];
      for (int32_t i = 0; i < bytes; ++i) acc[i] += wk * s[i];
    }
    uint8_t* o = out + outStride * y;
    for (int32_t i = 0; i < bytes; ++i) o[i] = Clamp8(acc[i]);
  }
}

// Resamples `src` (top row first) to dstWidth x dstHeight into `out` (packed, top row first),
// with the pass order that needs the smaller intermediate buffer.
bool Resample(const Plane& src, const Taps& horizontal, const Taps& vertical, int32_t dstWidth,
              int32_t dstHeight, std::vector<uint8_t>& out) {
  const int32_t c = src.channels;
  try {
    out.resize(static_cast<size_t>(dstWidth) * dstHeight * c);
    std::vector<uint8_t> mid;
    if (int64_t{dstWidth} * src.height <= int64_t{src.width} * dstHeight) {
      mid.resize(static_cast<size_t>(dstWidth) * src.height * c);
      Horizontal(src, horizontal, dstWidth, mid.data(), int64_t{dstWidth} * c);
      Vertical({dstWidth, src.height, c, mid.data(), int64_t{dstWidth} * c}, vertical, dstHeight,
               out.data(), int64_t{dstWidth} * c);
    } else {
      mid.resize(static_cast<size_t>(src.width) * dstHeight * c);
      Vertical(src, vertical, dstHeight, mid.data(), int64_t{src.width} * c);
      Horizontal({src.width, dstHeight, c, mid.data(), int64_t{src.width} * c}, horizontal,
                 dstWidth, out.data(), int64_t{dstWidth} * c);
    }
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

Plane PlaneOf(const Image& image) {
  return {image.width, image.height, image.depth / 8, image.TopRow(0), -int64_t{image.pitch}};
}

}  // namespace

PixelView ViewOf(Image& image) {
  return {image.TopRow(0), image.width, image.height, -int64_t{image.pitch}, image.depth};
}

void StretchArea(const Image& src, const PixelView& dst, int32_t x, int32_t y, int32_t width,
                 int32_t height) {
  if (width < 1 || height < 1 || src.width < 1 || src.height < 1) return;
  if (x >= dst.width || y >= dst.height || int64_t{x} + width <= 0 || int64_t{y} + height <= 0) {
    return;
  }
  std::vector<uint8_t> out;
  if (width == src.width && height == src.height) {
    out.resize(static_cast<size_t>(width) * height * (src.depth / 8));
    for (int32_t r = 0; r < height; ++r) {
      std::memcpy(&out[static_cast<size_t>(r) * width * (src.depth / 8)], src.TopRow(r),
                  static_cast<size_t>(width) * (src.depth / 8));
    }
  } else if (!Resample(PlaneOf(src), AreaTaps(src.width, width), AreaTaps(src.height, height),
                       width, height, out)) {
    return;
  }
  const int32_t sc = src.depth / 8, dc = dst.depth / 8;
  const int32_t x0 = std::max(0, x),
                x1 = static_cast<int32_t>(std::min<int64_t>(dst.width, int64_t{x} + width));
  const int32_t y0 = std::max(0, y),
                y1 = static_cast<int32_t>(std::min<int64_t>(dst.height, int64_t{y} + height));
  for (int32_t r = y0; r < y1; ++r) {
    const uint8_t* s = &out[(static_cast<size_t>(r - y) * width + (x0 - x)) * sc];
    uint8_t* d = dst.Row(r) + static_cast<int64_t>(x0) * dc;
    for (int32_t c = x0; c < x1; ++c, s += sc, d += dc) {
      d[0] = s[0], d[1] = s[1], d[2] = s[2];
      if (dc == 4) d[3] = 255;
    }
  }
}

bool ResizeImage(Image& image, int32_t width, int32_t height, int32_t mode) {
  if (image.depth != 24 && image.depth != 32) return false;
  Image result;
  if (!AllocateImage(result, width, height, image.depth)) return false;
  result.sourceDepth = image.sourceDepth;
  result.codec = image.codec;
  const int32_t c = image.depth / 8;
  if (mode == kResizeSmooth) {
    std::vector<uint8_t> out;
    const Plane src = PlaneOf(image);
    const bool ok = image.depth == 32
                        ? Resample(src, CubicTaps(image.width, width),
                                   CubicTaps(image.height, height), width, height, out)
                        : Resample(src, AreaTaps(image.width, width),
                                   AreaTaps(image.height, height), width, height, out);
    if (!ok) return false;
    for (int32_t y = 0; y < height; ++y) {
      std::memcpy(result.TopRow(y), &out[static_cast<size_t>(y) * width * c],
                  static_cast<size_t>(width) * c);
    }
  } else {
    for (int32_t y = 0; y < height; ++y) {
      const uint8_t* s = image.TopRow(static_cast<int32_t>(int64_t{y} * image.height / height));
      uint8_t* d = result.TopRow(y);
      for (int32_t x = 0; x < width; ++x) {
        std::memcpy(d + x * c, s + (int64_t{x} * image.width / width) * c, c);
      }
    }
  }
  image = std::move(result);
  return true;
}

}  // namespace images
