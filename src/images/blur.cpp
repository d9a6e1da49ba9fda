// The box blur. The arithmetic is exactly the described one (each pass sums a clamped window
// and truncates the sum divided by the window size) but the work is arranged for speed:
// - the horizontal pass keeps the three channel sums of a pixel in one 64-bit word, 16 bits a
//   channel: every true window sum lies in 0 .. 255 * 201, so the low 48 bits of the wrapping
//   word arithmetic are exactly the three sums, whatever the order of the additions;
// - the vertical pass runs along every column at once, row by row, with SIMD where available;
// - horizontal rows live only in a ring of 2r + 2 rows, computed just before the vertical pass
//   needs them (and before that pass overwrites their source row);
// - divisions are exact multiply-and-shift steps instead of a table.
#include "images/blur.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <new>
#include <vector>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define FLURRIX_BLUR_SSE2 1
#endif

#include "images/drawing.h"

namespace images {
namespace {

static_assert(std::endian::native == std::endian::little, "the channel lanes assume little endian");

// Exact floor(v / d) for the sums of a window of d = 2r + 1 bytes (v <= 255 * d) as
// (v * m) >> (16 + s) with a 16-bit m = ceil(2^(16+s) / d). With e = m * d - 2^(16+s), the
// result is exact when (255 * d - 1) * e < 2^(16+s); some s from 0 to 8 meets that for every
// radius from 1 to 100.
struct Divider {
  uint32_t m = 0;
  int s = -1;
  explicit Divider(uint32_t d) {
    for (int shift = 0; shift <= 8 && s < 0; ++shift) {
      const uint64_t scale = uint64_t{1} << (16 + shift);
      const uint64_t magic = (scale + d - 1) / d;
      if (magic < 65536 && (255 * uint64_t{d} - 1) * (magic * d - scale) < scale) {
        m = static_cast<uint32_t>(magic);
        s = shift;
      }
    }
  }
  uint8_t operator()(uint32_t v) const { return static_cast<uint8_t>((v * m) >> (16 + s)); }
};

// Bytes to 16-bit values.
void Widen(const uint8_t* __restrict src, uint16_t* __restrict out, size_t n) {
  size_t j = 0;
#ifdef FLURRIX_BLUR_SSE2
  const __m128i zero = _mm_setzero_si128();
  for (; j + 16 <= n; j += 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + j));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + j), _mm_unpacklo_epi8(v, zero));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + j + 8), _mm_unpackhi_epi8(v, zero));
  }
#endif
  for (; j < n; ++j) out[j] = src[j];
}

#ifdef FLURRIX_BLUR_SSE2
// floor(v / d) in each 16-bit lane.
inline __m128i Divide8(__m128i v, const Divider& div) {
  const __m128i m = _mm_set1_epi16(static_cast<int16_t>(div.m));
  return _mm_srl_epi16(_mm_mulhi_epu16(v, m), _mm_cvtsi32_si128(div.s));
}
#endif

// Sums divided into bytes.
void DivideRow(const uint16_t* __restrict sums, uint8_t* __restrict out, size_t n,
               const Divider& div) {
  size_t j = 0;
#ifdef FLURRIX_BLUR_SSE2
  for (; j + 16 <= n; j += 16) {
    const __m128i lo = _mm_loadu_si128(reinterpret_cast<const __m128i*>(sums + j));
    const __m128i hi = _mm_loadu_si128(reinterpret_cast<const __m128i*>(sums + j + 8));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + j),
                     _mm_packus_epi16(Divide8(lo, div), Divide8(hi, div)));
  }
#endif
  for (; j < n; ++j) out[j] = div(sums[j]);
}

// One vertical step over a whole row: out = sums / d, then sums += add - drop.
void ColumnStep(uint8_t* __restrict out, uint16_t* __restrict sums, const uint8_t* __restrict add,
                const uint8_t* __restrict drop, size_t n, const Divider& div) {
  size_t j = 0;
#ifdef FLURRIX_BLUR_SSE2
  const __m128i zero = _mm_setzero_si128();
  for (; j + 16 <= n; j += 16) {
    __m128i lo = _mm_loadu_si128(reinterpret_cast<const __m128i*>(sums + j));
    __m128i hi = _mm_loadu_si128(reinterpret_cast<const __m128i*>(sums + j + 8));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + j),
                     _mm_packus_epi16(Divide8(lo, div), Divide8(hi, div)));
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(add + j));
    const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(drop + j));
    lo = _mm_sub_epi16(_mm_add_epi16(lo, _mm_unpacklo_epi8(a, zero)), _mm_unpacklo_epi8(d, zero));
    hi = _mm_sub_epi16(_mm_add_epi16(hi, _mm_unpackhi_epi8(a, zero)), _mm_unpackhi_epi8(d, zero));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(sums + j), lo);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(sums + j + 8), hi);
  }
#endif
  for (; j < n; ++j) {
    out[j] = div(sums[j]);
    sums[j] = static_cast<uint16_t>(sums[j] + add[j] - drop[j]);
  }
}

// The three 16-bit channel values of one pixel (and the next value, ignored) as one word.
inline uint64_t Lanes(const uint16_t* p) {
  uint64_t v;
  std::memcpy(&v, p, 8);
  return v;
}

// Window sums of one widened row for every pixel. `in` and `sums` have 4 spare entries.
void RowSums(const uint16_t* __restrict in, uint16_t* __restrict sums, int32_t w, int32_t r) {
  const int32_t wm = w - 1;
  uint64_t s = 0;
  for (int32_t i = -r; i <= r; ++i) s += Lanes(in + 3 * std::min(wm, std::max(i, 0)));
  const auto clamped = [&](int32_t x) {
    std::memcpy(sums + 3 * x, &s, 8);  // the fourth lane is overwritten by the next pixel
    s = s + Lanes(in + 3 * std::min(x + r + 1, wm)) - Lanes(in + 3 * std::max(x - r, 0));
  };
  // Windows inside the row need no clamping: x - r >= 0 and x + r + 1 <= wm.
  const int32_t inStart = std::min(r, w), inEnd = std::max(inStart, wm - r);
  int32_t x = 0;
  for (; x < inStart; ++x) clamped(x);
  const uint16_t* a = in + 3 * (static_cast<int64_t>(x) + r + 1);
  const uint16_t* d = in + 3 * (static_cast<int64_t>(x) - r);
  // Wrapping 64-bit arithmetic gives the right lanes in any order, so the change of each step
  // is worked out apart from the running sum, and two steps advance it with one addition.
  for (; x + 1 < inEnd; x += 2, a += 6, d += 6) {
    const uint64_t first = Lanes(a) - Lanes(d), second = Lanes(a + 3) - Lanes(d + 3);
    const uint64_t next = s + first;
    std::memcpy(sums + 3 * x, &s, 8);
    std::memcpy(sums + 3 * x + 3, &next, 8);
    s += first + second;
  }
  for (; x < inEnd; ++x, a += 3, d += 3) {
    std::memcpy(sums + 3 * x, &s, 8);
    s += Lanes(a) - Lanes(d);
  }
  for (; x < w; ++x) clamped(x);
}

}  // namespace

int32_t Blur(Image& image, int32_t radius) {
  if (radius < 1 || radius > 100) return kBlurRefused;
  const std::optional<DrawTarget> target = StartDrawing(image);
  if (!target || image.depth != 24) return kBlurRefused;
  uint8_t* pixels = target->buffer;
  const int64_t pitch = target->pitch;
  const int32_t w = image.width, h = image.height, r = radius, hm = h - 1;
  const size_t rowBytes = 3 * static_cast<size_t>(w);
  const Divider div(2 * r + 1);
  if (div.s < 0) return kBlurRefused;  // not for any radius from 1 to 100
  const int32_t ringRows = std::min(h, 2 * r + 2);

  std::vector<uint8_t> ring;  // horizontal-pass rows y % ringRows
  std::vector<uint16_t> wide, rowSums, sums;
  try {
    ring.resize(rowBytes * ringRows);
    wide.resize(rowBytes + 4);
    rowSums.resize(rowBytes + 4);
    sums.resize(rowBytes);
  } catch (const std::bad_alloc&) {
    return kBlurRefused;
  }
  const auto horizontal = [&](int32_t y) { return &ring[rowBytes * (y % ringRows)]; };
  int32_t done = 0;  // rows of the horizontal pass made so far
  const auto makeRowsTo = [&](int32_t y) {
    for (; done <= y; ++done) {
      Widen(pixels + pitch * done, wide.data(), rowBytes);
      RowSums(wide.data(), rowSums.data(), w, r);
      DivideRow(rowSums.data(), horizontal(done), rowBytes, div);
    }
  };

  makeRowsTo(std::min(hm, r));
  for (int32_t i = -r; i <= r; ++i) {
    const uint8_t* row = horizontal(std::min(hm, std::max(i, 0)));
    for (size_t j = 0; j < rowBytes; ++j) sums[j] = static_cast<uint16_t>(sums[j] + row[j]);
  }
  for (int32_t y = 0; y < h; ++y) {
    // Row `add` >= y is made before row y of the picture is overwritten; row `drop` is at most
    // 2r + 1 rows older, so still in the ring.
    const int32_t add = std::min(y + r + 1, hm), drop = std::max(y - r, 0);
    makeRowsTo(add);
    ColumnStep(pixels + pitch * y, sums.data(), horizontal(add), horizontal(drop), rowBytes, div);
  }
  return kBlurDone;
}

}  // namespace images
