#include "picture_files.h"

// jpeglib.h needs size_t and FILE declared before it.
#include <cstddef>
#include <cstdio>

#include <jpeglib.h>
#include <png.h>

#include <csetjmp>
#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <random>

#include "images/image.h"

namespace images::testing {

void Put16(Bytes& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(Bytes& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

Bytes MakeBmp(const BmpLayout& layout) {
  Bytes out{'B', 'M'};
  const uint32_t offset =
      54 + 4 * static_cast<uint32_t>(layout.masks.size() + layout.palette.size());
  Put32(out, offset + static_cast<uint32_t>(layout.pixelData.size()));
  Put32(out, 0);
  Put32(out, offset);
  Put32(out, 40);
  Put32(out, static_cast<uint32_t>(layout.width));
  Put32(out, static_cast<uint32_t>(layout.height));
  Put16(out, 1);
  Put16(out, layout.bits);
  Put32(out, layout.compression);
  Put32(out, static_cast<uint32_t>(layout.pixelData.size()));
  Put32(out, 0);
  Put32(out, 0);
  Put32(out, layout.colorsUsed);
  Put32(out, 0);
  for (uint32_t mask : layout.masks) Put32(out, mask);
  for (uint32_t c : layout.palette) Put32(out, c & 0xFFFFFF);
  out.insert(out.end(), layout.pixelData.begin(), layout.pixelData.end());
  return out;
}

Bytes MakeTga(const TgaLayout& layout) {
  Bytes out{layout.idLength, layout.colorMapType, layout.imageType};
  Put16(out, 0);
  Put16(out, layout.colorMapLength);
  out.push_back(layout.colorMapEntryBits);
  Put16(out, 0);
  Put16(out, 0);
  Put16(out, layout.width);
  Put16(out, layout.height);
  out.push_back(layout.bits);
  out.push_back(layout.descriptor);
  for (int i = 0; i < layout.idLength; ++i) out.push_back(0xAA);
  const size_t mapBytes = size_t{layout.colorMapLength} * layout.colorMapEntryBits / 8;
  for (size_t i = 0; i < mapBytes; ++i) out.push_back(0xBB);
  out.insert(out.end(), layout.pixelData.begin(), layout.pixelData.end());
  return out;
}

namespace {
void AppendToBytes(png_structp png, png_bytep data, size_t length) {
  auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}
void NoFlush(png_structp) {}
}  // namespace

Bytes MakePng(const PngLayout& layout) {
  Bytes out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    std::abort();
  }
  png_set_write_fn(png, &out, AppendToBytes, NoFlush);
  png_set_IHDR(png, info, layout.width, layout.height, layout.bitDepth, layout.colorType,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  std::vector<png_color> palette;
  for (uint32_t c : layout.palette) {
    palette.push_back(
        {static_cast<png_byte>(c >> 16), static_cast<png_byte>(c >> 8), static_cast<png_byte>(c)});
  }
  if (!palette.empty()) png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
  if (!layout.transparency.empty()) {
    png_set_tRNS(png, info, layout.transparency.data(),
                 static_cast<int>(layout.transparency.size()), nullptr);
  }
  png_write_info(png, info);
  for (const Bytes& row : layout.rows) png_write_row(png, row.data());
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return out;
}

Bytes MakeJpeg(int32_t width, int32_t height, int components, const Bytes& samples) {
  jpeg_compress_struct cinfo;
  jpeg_error_mgr err;
  cinfo.err = jpeg_std_error(&err);
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = static_cast<JDIMENSION>(width);
  cinfo.image_height = static_cast<JDIMENSION>(height);
  cinfo.input_components = components;
  cinfo.in_color_space = components == 1 ? JCS_GRAYSCALE : components == 3 ? JCS_RGB : JCS_CMYK;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, 95, TRUE);
  if (components == 4) cinfo.write_Adobe_marker = TRUE;
  jpeg_start_compress(&cinfo, TRUE);
  for (int32_t y = 0; y < height; ++y) {
    JSAMPROW row =
        const_cast<uint8_t*>(samples.data()) + static_cast<size_t>(y) * width * components;
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  Bytes out(buffer, buffer + size);
  std::free(buffer);
  return out;
}

// Bytes appended one by one: GCC 12 at -O3 warns falsely about inserting a list of them.
static void Append(Bytes& out, std::initializer_list<uint8_t> bytes) {
  for (const uint8_t byte : bytes) out.push_back(byte);
}

Bytes MakeExif(uint32_t orientation, bool bigEndian) {
  Bytes out{'E', 'x', 'i', 'f', 0, 0};
  auto put16 = [&](uint32_t v) {
    const uint8_t hi = static_cast<uint8_t>(v >> 8), lo = static_cast<uint8_t>(v);
    Append(out, bigEndian ? std::initializer_list<uint8_t>{hi, lo}
                          : std::initializer_list<uint8_t>{lo, hi});
  };
  auto put32 = [&](uint32_t v) {
    put16(bigEndian ? v >> 16 : v & 0xFFFF);
    put16(bigEndian ? v & 0xFFFF : v >> 16);
  };
  Append(out, {bigEndian ? uint8_t{'M'} : uint8_t{'I'}, bigEndian ? uint8_t{'M'} : uint8_t{'I'}});
  put16(42);
  put32(8);  // the first directory follows the header
  put16(2);
  put16(0x010F);  // make: 4 characters of ASCII, held in the value field
  put16(2);
  put32(4);
  Append(out, {'C', 'a', 'm', 0});
  put16(0x0112);  // orientation: one SHORT, left-aligned in the value field
  put16(3);
  put32(1);
  put16(orientation);
  put16(0);
  put32(0);  // no further directory
  return out;
}

Bytes WithApp1(const Bytes& jpeg, const Bytes& block) {
  Bytes out(jpeg.begin(), jpeg.begin() + 2);
  const size_t length = block.size() + 2;
  Append(out, {0xFF, 0xE1, static_cast<uint8_t>(length >> 8), static_cast<uint8_t>(length)});
  out.insert(out.end(), block.begin(), block.end());
  out.insert(out.end(), jpeg.begin() + 2, jpeg.end());
  return out;
}

uint32_t PixelAt(const Image& image, int32_t x, int32_t y) {
  const uint8_t* p = image.TopRow(y) + x * (image.depth / 8);
  uint32_t v = p[0] | (p[1] << 8) | (p[2] << 16);
  if (image.depth == 32) v |= static_cast<uint32_t>(p[3]) << 24;
  return v;
}

void SetPixel(Image& image, int32_t x, int32_t y, uint32_t argb) {
  uint8_t* p = image.TopRow(y) + x * (image.depth / 8);
  p[0] = static_cast<uint8_t>(argb);
  p[1] = static_cast<uint8_t>(argb >> 8);
  p[2] = static_cast<uint8_t>(argb >> 16);
  if (image.depth == 32) p[3] = static_cast<uint8_t>(argb >> 24);
}

Image MakeImage(int32_t width, int32_t height, int32_t depth, uint32_t argb) {
  Image image;
  AllocateImage(image, width, height, depth);
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) SetPixel(image, x, y, argb);
  }
  return image;
}

std::string TempFolder(const std::string& name) {
  namespace fs = std::filesystem;
  static const std::string run = std::to_string(std::random_device{}());
  const fs::path base = fs::temp_directory_path() / ("flurrix-images-" + run);
  const fs::path folder = base / name;
  fs::remove_all(folder);
  fs::create_directories(folder);
  return folder.string() + "/";
}

bool WriteFile(const std::string& path, const Bytes& data) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = data.empty() || std::fwrite(data.data(), 1, data.size(), f) == data.size();
  return std::fclose(f) == 0 && ok;
}

}  // namespace images::testing
