// Separable resampling with precomputed fixed-point taps: one horizontal and one vertical pass.
#include "images/resize.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define FLURRIX_RESIZE_SSE2 1
#endif

namespace images {
namespace {

constexpr int kWeightBits = 14;
constexpr int32_t kOne = 1 << kWeightBits;

// For each output index: the first source index and the fixed-point weights that follow it.
struct Taps {
  int32_t perOutput = 0;
  std::vector<int32_t> first;
  std::vector<int32_t> count;    // taps used by each output index
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
  taps.count.resize(dst);
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
    taps.count[i] = static_cast<int32_t>(w.size());
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
  taps.count.resize(dst);
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
    taps.count[i] = static_cast<int32_t>(w.size());
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

#ifdef FLURRIX_RESIZE_SSE2
// A pair of 16-bit weights for _mm_madd_epi16: `a` for the first pixel, `b` for the second.
inline __m128i WeightPair(int32_t a, int32_t b) {
  return _mm_set1_epi32(
      static_cast<int32_t>((static_cast<uint32_t>(b) << 16) | (static_cast<uint32_t>(a) & 0xFFFF)));
}

inline __m128i LoadPixel(const uint8_t* p, int32_t channels) {
  uint32_t v;
  if (channels == 4) {
    std::memcpy(&v, p, 4);
  } else {
    v = p[0] | (p[1] << 8) | (p[2] << 16);
  }
  return _mm_cvtsi32_si128(static_cast<int32_t>(v));
}

// Rounds fixed-point sums and clamps them to bytes, four lanes.
inline __m128i ToBytes(__m128i lo, __m128i hi) {
  const __m128i half = _mm_set1_epi32(kOne / 2);
  lo = _mm_srai_epi32(_mm_add_epi32(lo, half), kWeightBits);
  hi = _mm_srai_epi32(_mm_add_epi32(hi, half), kWeightBits);
  return _mm_packus_epi16(_mm_packs_epi32(lo, hi), _mm_setzero_si128());
}
#endif

// Where a pass writes: rows `stride` bytes apart with `channels` bytes a pixel, 3 or 4. A
// 4-byte output of a 3-byte source, or an `opaque` one, gets alpha 255.
struct Output {
  uint8_t* rows;
  int64_t stride;
  int32_t channels;
  bool opaque;
};

// Writes blue, green, red and, for 4-byte outputs, alpha.
inline void PutPixel(uint8_t* d, uint32_t bgra, int32_t sourceChannels, const Output& out) {
  d[0] = static_cast<uint8_t>(bgra), d[1] = static_cast<uint8_t>(bgra >> 8);
  d[2] = static_cast<uint8_t>(bgra >> 16);
  if (out.channels == 4) {
    d[3] = out.opaque || sourceChannels == 3 ? 255 : static_cast<uint8_t>(bgra >> 24);
  }
}

// Each output pixel: its taps along the row, all channels at once.
void Horizontal(const Plane& src, const Taps& taps, int32_t dstWidth, const Output& out) {
  const int32_t c = src.channels;
  for (int32_t y = 0; y < src.height; ++y) {
    const uint8_t* row = src.Row(y);
    uint8_t* o = out.rows + out.stride * y;
    for (int32_t x = 0; x < dstWidth; ++x) {
      const int32_t* w = &taps.weights[static_cast<size_t>(x) * taps.perOutput];
      const uint8_t* s = row + static_cast<int64_t>(taps.first[x]) * c;
      const int32_t n = taps.count[x];
#ifdef FLURRIX_RESIZE_SSE2
      const __m128i zero = _mm_setzero_si128();
      __m128i acc = zero;
      int32_t k = 0;
      for (; k + 1 < n; k += 2) {
        const __m128i pair =
            _mm_unpacklo_epi8(LoadPixel(s + k * c, c), LoadPixel(s + (k + 1) * c, c));
        acc = _mm_add_epi32(
            acc, _mm_madd_epi16(_mm_unpacklo_epi8(pair, zero), WeightPair(w[k], w[k + 1])));
      }
      if (k < n) {
        const __m128i single = _mm_unpacklo_epi8(LoadPixel(s + k * c, c), zero);
        acc = _mm_add_epi32(acc,
                            _mm_madd_epi16(_mm_unpacklo_epi8(single, zero), WeightPair(w[k], 0)));
      }
      const uint32_t v = static_cast<uint32_t>(_mm_cvtsi128_si32(ToBytes(acc, acc)));
#else
      uint32_t v = 0;
      for (int32_t ch = 0; ch < c; ++ch) {
        int32_t acc = 0;
        for (int32_t k = 0; k < n; ++k) acc += w[k] * s[k * c + ch];
        v |= static_cast<uint32_t>(Clamp8(acc)) << (8 * ch);
      }
#endif
      PutPixel(o + x * out.channels, v, c, out);
    }
  }
}

// Each output row: its taps down the columns, a whole row at a time.
void Vertical(const Plane& src, const Taps& taps, int32_t dstHeight, const Output& out) {
  const int32_t c = src.channels, bytes = src.width * c;
  const bool direct = out.channels == c && !out.opaque;
  std::vector<int32_t> acc(static_cast<size_t>(bytes));
  std::vector<uint8_t> converted(direct ? 0 : static_cast<size_t>(bytes));
  for (int32_t y = 0; y < dstHeight; ++y) {
    const int32_t* w = &taps.weights[static_cast<size_t>(y) * taps.perOutput];
    const int32_t n = taps.count[y];
    const uint8_t* first = src.Row(taps.first[y]);
    uint8_t* target = out.rows + out.stride * y;
    uint8_t* o = direct ? target : converted.data();
    int32_t i = 0;
#ifdef FLURRIX_RESIZE_SSE2
    const __m128i zero = _mm_setzero_si128();
    for (; i + 8 <= bytes; i += 8) {
      __m128i lo = zero, hi = zero;
      for (int32_t k = 0; k < n; k += 2) {
        const __m128i a = _mm_unpacklo_epi8(
            _mm_loadl_epi64(reinterpret_cast<const __m128i*>(first + src.stride * k + i)), zero);
        const __m128i b = k + 1 < n
                              ? _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(
                                                      first + src.stride * (k + 1) + i)),
                                                  zero)
                              : zero;
        const __m128i weights = WeightPair(w[k], k + 1 < n ? w[k + 1] : 0);
        lo = _mm_add_epi32(lo, _mm_madd_epi16(_mm_unpacklo_epi16(a, b), weights));
        hi = _mm_add_epi32(hi, _mm_madd_epi16(_mm_unpackhi_epi16(a, b), weights));
      }
      _mm_storel_epi64(reinterpret_cast<__m128i*>(o + i), ToBytes(lo, hi));
    }
#endif
    if (i < bytes) {
      std::fill(acc.begin() + i, acc.end(), 0);
      for (int32_t k = 0; k < n; ++k) {
        const uint8_t* s = first + src.stride * k;
        for (int32_t j = i; j < bytes; ++j) acc[j] += w[k] * s[j];
      }
      for (int32_t j = i; j < bytes; ++j) o[j] = Clamp8(acc[j]);
    }
    if (direct) continue;
    for (int32_t x = 0; x < src.width; ++x) {
      const uint8_t* p = o + x * c;
      const uint32_t v = p[0] | (p[1] << 8) | (p[2] << 16) | (c == 4 ? p[3] << 24 : 0);
      PutPixel(target + x * out.channels, v, c, out);
    }
  }
}

// Resamples `src` to dstWidth x dstHeight into `out`, with the pass order that needs the
// smaller intermediate buffer.
bool Resample(const Plane& src, const Taps& horizontal, const Taps& vertical, int32_t dstWidth,
              int32_t dstHeight, const Output& out) {
  const int32_t c = src.channels;
  // On a tie the vertical pass goes first: it runs over whole rows at once and leaves the
  // slower horizontal pass fewer rows.
  const bool horizontalFirst = int64_t{dstWidth} * src.height < int64_t{src.width} * dstHeight;
  const int32_t midWidth = horizontalFirst ? dstWidth : src.width;
  const int32_t midHeight = horizontalFirst ? src.height : dstHeight;
  const int64_t midStride = int64_t{midWidth} * c;
  std::unique_ptr<uint8_t[]> mid(new (std::nothrow)
                                     uint8_t[static_cast<size_t>(midStride) * midHeight]);
  if (!mid) return false;
  const Plane between{midWidth, midHeight, c, mid.get(), midStride};
  const Output toMid{mid.get(), midStride, c, false};
  if (horizontalFirst) {
    Horizontal(src, horizontal, dstWidth, toMid);
    Vertical(between, vertical, dstHeight, out);
  } else {
    Vertical(src, vertical, dstHeight, toMid);
    Horizontal(between, horizontal, dstWidth, out);
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
  const int32_t sc = src.depth / 8, dc = dst.depth / 8;
  const bool inside =
      x >= 0 && y >= 0 && int64_t{x} + width <= dst.width && int64_t{y} + height <= dst.height;
  const bool sameSize = width == src.width && height == src.height;
  // Straight into the target unless the stretch is clipped or a plain copy.
  if (inside && !sameSize) {
    Resample(PlaneOf(src), AreaTaps(src.width, width), AreaTaps(src.height, height), width, height,
             {dst.Row(y) + int64_t{x} * dc, dst.stride, dc, true});
    return;
  }
  std::vector<uint8_t> out;
  const Plane* plane = nullptr;
  Plane stretched{};
  if (sameSize) {
    stretched = PlaneOf(src);
  } else {
    try {
      out.resize(static_cast<size_t>(width) * height * sc);
    } catch (const std::bad_alloc&) {
      return;
    }
    if (!Resample(PlaneOf(src), AreaTaps(src.width, width), AreaTaps(src.height, height), width,
                  height, {out.data(), int64_t{width} * sc, sc, false})) {
      return;
    }
    stretched = {width, height, sc, out.data(), int64_t{width} * sc};
  }
  plane = &stretched;
  const int32_t x0 = std::max(0, x);
  const int32_t x1 = static_cast<int32_t>(std::min<int64_t>(dst.width, int64_t{x} + width));
  const int32_t y0 = std::max(0, y);
  const int32_t y1 = static_cast<int32_t>(std::min<int64_t>(dst.height, int64_t{y} + height));
  for (int32_t r = y0; r < y1; ++r) {
    const uint8_t* s = plane->Row(r - y) + int64_t{x0 - x} * sc;
    uint8_t* d = dst.Row(r) + int64_t{x0} * dc;
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
    const Plane src = PlaneOf(image);
    const Output out{result.TopRow(0), -int64_t{result.pitch}, c, false};
    const bool ok = image.depth == 32
                        ? Resample(src, CubicTaps(image.width, width),
                                   CubicTaps(image.height, height), width, height, out)
                        : Resample(src, AreaTaps(image.width, width),
                                   AreaTaps(image.height, height), width, height, out);
    if (!ok) return false;
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
