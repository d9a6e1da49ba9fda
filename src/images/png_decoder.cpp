// The PNG reader over libpng: palettes, grey and transparency expanded, 16-bit channels cut to
// 8 bits, rows delivered blue-green-red(-alpha) straight into the bitmap.
#include <png.h>

#include <csetjmp>
#include <cstring>
#include <vector>

#include "images/codec_internal.h"

namespace images::detail {
namespace {

struct MemorySource {
  const uint8_t* data;
  size_t size;
  size_t pos;
};

void ReadFromMemory(png_structp png, png_bytep out, size_t length) {
  auto* src = static_cast<MemorySource*>(png_get_io_ptr(png));
  if (length > src->size - src->pos) png_error(png, "read past the end of the data");
  std::memcpy(out, src->data + src->pos, length);
  src->pos += length;
}

void IgnoreWarning(png_structp, png_const_charp) {}
[[noreturn]] void QuietError(png_structp png, png_const_charp) {
  png_longjmp(png, 1);
}

// Everything between setjmp and the end of the read lives in this frame or in libpng: the
// longjmp of a libpng error crosses no C++ destructors.
bool ReadPng(png_structp png, png_infop info, Image& image, std::vector<png_bytep>& rows) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_user_limits(png, kMaxDimension, kMaxDimension);
  png_read_info(png, info);
  const png_byte colorType = png_get_color_type(png, info);
  if (png_get_valid(png, info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(png);
  if (colorType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
  if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA) {
    png_set_expand_gray_1_2_4_to_8(png);
    png_set_gray_to_rgb(png);
  }
  png_set_strip_16(png);
  png_set_bgr(png);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);

  const uint32_t channels = png_get_channels(png, info);
  if (channels != 3 && channels != 4) return false;
  if (!AllocateImage(image, static_cast<int32_t>(png_get_image_width(png, info)),
                     static_cast<int32_t>(png_get_image_height(png, info)),
                     channels == 4 ? 32 : 24)) {
    return false;
  }
  rows.resize(static_cast<size_t>(image.height));
  for (int32_t y = 0; y < image.height; ++y) rows[static_cast<size_t>(y)] = image.TopRow(y);
  png_read_image(png, rows.data());
  return true;
}

}  // namespace

bool ProbePng(const uint8_t* data, size_t size) {
  return size >= 8 && png_sig_cmp(data, 0, 8) == 0;
}

bool DecodePng(const uint8_t* data, size_t size, Image& out) {
  if (!ProbePng(data, size)) return false;
  png_structp png =
      png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, QuietError, IgnoreWarning);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    return false;
  }
  // Ancillary chunks are capped so that no chunk can make libpng allocate without bound.
  png_set_chunk_malloc_max(png, 8u << 20);
  MemorySource source{data, size, 0};
  png_set_read_fn(png, &source, ReadFromMemory);
  Image image;
  std::vector<png_bytep> rows;
  const bool ok = ReadPng(png, info, image, rows);
  png_destroy_read_struct(&png, &info, nullptr);
  if (!ok) return false;
  out = std::move(image);
  return true;
}

}  // namespace images::detail
