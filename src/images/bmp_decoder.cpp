// The BMP reader. Every header field is untrusted: pixels whose bytes lie beyond the data stay
// black, palette indices beyond the table give black, and no read or write leaves its buffer.
#include <algorithm>
#include <cstring>
#include <optional>

#include "images/codec_internal.h"

namespace images::detail {
namespace {

struct Palette {
  const uint8_t* entries = nullptr;  // 4 bytes each: blue, green, red, unused
  uint32_t count = 0;

  void Put(uint32_t index, uint8_t* dst) const {
    if (index < count) {
      std::memcpy(dst, entries + 4 * index, 3);
    } else {
      dst[0] = dst[1] = dst[2] = 0;
    }
  }
};

// The colour table: colours-used entries when the header gives a sensible count, else 2^bits,
// cut to the entries present in the data.
Palette ReadPalette(const uint8_t* data, size_t size, uint32_t bits) {
  Palette palette;
  const uint64_t headerSize = Le32(data + 14);
  const uint64_t start = 14 + headerSize;
  uint64_t count = uint64_t{1} << bits;
  if (headerSize >= 40 && size >= 50) {
    const uint32_t used = Le32(data + 46);
    if (used > 0 && used < count) count = used;
  }
  if (start >= size) return palette;
  count = std::min<uint64_t>(count, (size - start) / 4);
  palette.entries = data + start;
  palette.count = static_cast<uint32_t>(count);
  return palette;
}

// 8-bit run-length data: writes packets until the end code, the end of the data or a packet
// that would write outside the picture.
void DecodeRle8(const uint8_t* p, const uint8_t* end, const Palette& palette, Image& out) {
  int64_t x = 0, y = 0;
  const int64_t w = out.width, h = out.height;
  while (end - p >= 2) {
    const uint32_t count = p[0], value = p[1];
    p += 2;
    if (count > 0) {
      if (y >= h || x + count > w) return;
      uint8_t* dst = out.Row(static_cast<int32_t>(y)) + 3 * x;
      for (uint32_t i = 0; i < count; ++i) palette.Put(value, dst + 3 * i);
      x += count;
    } else if (value == 0) {
      x = 0;
      ++y;
    } else if (value == 1) {
      return;
    } else if (value == 2) {
      if (end - p < 2) return;
      x += p[0];
      y += p[1];
      p += 2;
    } else {
      const size_t padded = (value + 1) & ~1u;
      if (static_cast<size_t>(end - p) < value || y >= h || x + value > w) return;
      uint8_t* dst = out.Row(static_cast<int32_t>(y)) + 3 * x;
      for (uint32_t i = 0; i < value; ++i) palette.Put(p[i], dst + 3 * i);
      x += value;
      p += std::min(padded, static_cast<size_t>(end - p));
    }
  }
}

// Widens a channel of `width` bits to 8 bits: 5 bits x 8 and 6 bits x 4 as the common layouts
// have it, 8 bits as they are, wider channels keep their top 8 bits, and the other narrow widths
// are scaled so that their highest value is 255.
uint8_t Widen(uint32_t value, uint32_t width) {
  switch (width) {
    case 5:
      return static_cast<uint8_t>(value * 8);
    case 6:
      return static_cast<uint8_t>(value * 4);
    case 8:
      return static_cast<uint8_t>(value);
  }
  if (width > 8) return static_cast<uint8_t>(value >> (width - 8));
  const uint32_t top = (1u << width) - 1;
  return static_cast<uint8_t>((value * 255 + top / 2) / top);
}

// One colour channel of a 16- or 32-bit pixel: a run of contiguous bits.
struct Channel {
  uint32_t mask = 0;
  uint32_t shift = 0;
  uint32_t width = 0;

  uint8_t From(uint32_t pixel) const { return Widen((pixel & mask) >> shift, width); }
};

Channel ChannelOf(uint32_t mask) {
  Channel channel{.mask = mask};
  if (mask == 0) return channel;
  while (!((mask >> channel.shift) & 1)) ++channel.shift;
  while (channel.shift + channel.width < 32 && ((mask >> (channel.shift + channel.width)) & 1)) {
    ++channel.width;
  }
  return channel;
}

// Where blue, green and red lie in a 16- or 32-bit pixel. Empty when a mask is zero, not
// contiguous, beyond the pixel, or overlaps another: such pictures stay black.
struct BitFields {
  Channel blue, green, red;
};

std::optional<BitFields> MakeBitFields(uint32_t red, uint32_t green, uint32_t blue, uint32_t bits) {
  const uint64_t pixelMask = (uint64_t{1} << bits) - 1;
  BitFields fields{ChannelOf(blue), ChannelOf(green), ChannelOf(red)};
  for (const Channel& c : {fields.blue, fields.green, fields.red}) {
    if (c.mask == 0 || c.mask > pixelMask) return std::nullopt;
    if (((uint64_t{1} << c.width) - 1) << c.shift != c.mask) return std::nullopt;
  }
  if ((red & green) || (red & blue) || (green & blue)) return std::nullopt;
  return fields;
}

// The channel layout of a 16- or 32-bit file. Bit fields (compression 3) take the three masks
// that follow the 40-byte header (or lie inside a larger one). Without them (the pixels start
// where they would be) a file keeps the usual layout of its bit count: 5-6-5 for 16-bit bit
// fields, 5-5-5 for plain 16-bit, 8-8-8 for 32-bit.
std::optional<BitFields> ReadBitFields(const uint8_t* data, size_t size, uint32_t bits,
                                       uint32_t compression) {
  constexpr size_t kMasks = 14 + 40, kMasksEnd = kMasks + 12;
  if (compression == 3 && size >= kMasksEnd && Le32(data + 10) >= kMasksEnd) {
    return MakeBitFields(Le32(data + kMasks), Le32(data + kMasks + 4), Le32(data + kMasks + 8),
                         bits);
  }
  if (bits == 32) return MakeBitFields(0xFF0000, 0x00FF00, 0x0000FF, bits);
  if (compression == 3) return MakeBitFields(0xF800, 0x07E0, 0x001F, bits);
  return MakeBitFields(0x7C00, 0x03E0, 0x001F, bits);
}

// Luma weights, enough to say which of two table entries is the brighter.
uint32_t Brightness(const uint8_t* bgr) {
  return 114u * bgr[0] + 587u * bgr[1] + 299u * bgr[2];
}

// 1-bit pictures are pure black and white; index 1 is white unless the table's first entry is
// the brighter one (a white-then-black table).
uint8_t OneBitWhiteIndex(const Palette& palette) {
  if (palette.count < 2) return 1;
  return Brightness(palette.entries) > Brightness(palette.entries + 4) ? 0 : 1;
}

struct RowFormat {
  uint32_t bits = 0;
  const Palette* palette = nullptr;
  uint8_t oneBitWhite = 1;
  std::optional<BitFields> fields;  // 16 and 32 bits
};

void DecodeRowPixels(const uint8_t* src, int32_t count, const RowFormat& format, uint8_t* dst) {
  switch (format.bits) {
    case 1:
      for (int32_t x = 0; x < count; ++x, dst += 3) {
        const uint8_t bit = (src[x >> 3] >> (7 - (x & 7))) & 1;
        dst[0] = dst[1] = dst[2] = bit == format.oneBitWhite ? 255 : 0;
      }
      break;
    case 4:
      for (int32_t x = 0; x < count; ++x, dst += 3) {
        const uint8_t byte = src[x >> 1];
        format.palette->Put(x & 1 ? byte & 15 : byte >> 4, dst);
      }
      break;
    case 8:
      for (int32_t x = 0; x < count; ++x, dst += 3) format.palette->Put(src[x], dst);
      break;
    case 16:
    case 32: {
      const BitFields& f = *format.fields;
      if (f.blue.mask == 0xFF && f.green.mask == 0xFF00 && f.red.mask == 0xFF0000) {
        for (int32_t x = 0; x < count; ++x, dst += 3) std::memcpy(dst, src + 4 * x, 3);
        break;
      }
      const int32_t bytes = static_cast<int32_t>(format.bits / 8);
      for (int32_t x = 0; x < count; ++x, dst += 3) {
        const uint32_t v = bytes == 2 ? Le16(src + 2 * x) : Le32(src + 4 * x);
        dst[0] = f.blue.From(v);
        dst[1] = f.green.From(v);
        dst[2] = f.red.From(v);
      }
      break;
    }
    case 24:
      std::memcpy(dst, src, 3 * static_cast<size_t>(count));
      break;
  }
}

// Whether the table has a decoder for this bit count and compression; others stay black.
bool Decodable(uint32_t bits, uint32_t compression) {
  switch (bits) {
    case 1:
    case 24:
    case 32:
      return true;
    case 4:
      return compression != 2;
    case 8:
      return true;
    case 16:
      return compression == 0 || compression == 3;
    default:
      return false;
  }
}

}  // namespace

bool ProbeBmp(const uint8_t* data, size_t size) {
  return size >= 14 && data[0] == 'B' && data[1] == 'M' && Le32(data + 6) == 0;
}

bool DecodeBmp(const uint8_t* data, size_t size, Image& out) {
  if (size < 34) return false;  // the header up to the compression code must be there
  const int32_t width = static_cast<int32_t>(Le32(data + 18));
  const int32_t height = static_cast<int32_t>(Le32(data + 22));
  const uint32_t bits = Le16(data + 28);
  const uint32_t compression = Le32(data + 30);
  // A top-down file (negative height) is not decoded: a black picture of its size.
  const bool topDown = height < 0;
  if (height < -kMaxDimension) return false;
  const int32_t rows = topDown ? -height : height;
  if (!AllocateImage(out, width, rows, 24)) return false;
  out.sourceDepth = static_cast<int32_t>(bits);
  if (topDown || !Decodable(bits, compression)) return true;

  const uint64_t offset = Le32(data + 10);
  if (offset >= size) return true;
  RowFormat format;
  format.bits = bits;
  const Palette palette = bits <= 8 ? ReadPalette(data, size, bits) : Palette{};
  format.palette = &palette;
  if (bits == 1) format.oneBitWhite = OneBitWhiteIndex(palette);
  if (bits == 16 || bits == 32) {
    format.fields = ReadBitFields(data, size, bits, compression);
    if (!format.fields) return true;
  }
  if (bits == 8 && compression == 1) {
    DecodeRle8(data + offset, data + size, palette, out);
    return true;
  }
  const uint64_t srcPitch = ((static_cast<uint64_t>(width) * bits + 31) / 32) * 4;
  for (int32_t y = 0; y < rows; ++y) {
    const uint64_t start = offset + srcPitch * static_cast<uint64_t>(y);
    if (start >= size) break;
    // Only whole pixels present in the data are decoded; the rest of the row stays black.
    const uint64_t available = std::min<uint64_t>(size - start, srcPitch);
    const int32_t count = static_cast<int32_t>(std::min<uint64_t>(width, available * 8 / bits));
    DecodeRowPixels(data + start, count, format, out.Row(y));
  }
  return true;
}

}  // namespace images::detail
