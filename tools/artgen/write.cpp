#include "write.h"

#include <lame/lame.h>
#include <png.h>

#include <cstring>
#include <fstream>
#include <iterator>

#include "images/codecs.h"

namespace artgen {

namespace {

void Put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(f.flush());
}

// File header and 40-byte information header of an uncompressed bottom-up BMP.
std::vector<uint8_t> BmpHeader(int width, int height, int bits, uint32_t rowBytes,
                               uint32_t fileSize) {
  std::vector<uint8_t> h;
  h.push_back('B');
  h.push_back('M');
  Put32(h, fileSize);
  Put32(h, 0);
  Put32(h, 54);
  Put32(h, 40);
  Put32(h, static_cast<uint32_t>(width));
  Put32(h, static_cast<uint32_t>(height));
  Put16(h, 1);
  Put16(h, static_cast<uint32_t>(bits));
  Put32(h, 0);
  Put32(h, rowBytes * static_cast<uint32_t>(height));
  for (int i = 0; i < 4; ++i) Put32(h, 0);
  return h;
}

}  // namespace

bool WritePng(const std::string& path, int width, int height, int channels,
              const std::vector<uint8_t>& pixels, int level) {
  FILE* f = fopen(path.c_str(), "wb");
  if (!f) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  bool ok = false;
  if (info && !setjmp(png_jmpbuf(png))) {
    png_init_io(png, f);
    png_set_compression_level(png, level);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 channels == 4 ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y)
      png_write_row(png, pixels.data() + static_cast<size_t>(y) * width * channels);
    png_write_end(png, nullptr);
    ok = true;
  }
  png_destroy_write_struct(&png, &info);
  return fclose(f) == 0 && ok;
}

namespace {

// Our picture record from top-down RGB: bottom row first, blue-green-red, rows padded.
images::Image ToImage(int width, int height, const std::vector<uint8_t>& rgb) {
  images::Image image;
  if (!images::AllocateImage(image, width, height, 24)) return image;
  for (int y = 0; y < height; ++y) {
    const uint8_t* in = rgb.data() + static_cast<size_t>(y) * width * 3;
    uint8_t* out = image.TopRow(y);
    for (int x = 0; x < width; ++x, in += 3, out += 3) {
      out[0] = in[2];
      out[1] = in[1];
      out[2] = in[0];
    }
  }
  return image;
}

}  // namespace

bool WriteJpeg(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb,
               int quality) {
  images::Image image = ToImage(width, height, rgb);
  return image.width > 0 && images::EncodeImageFile(image, path, images::kTagJpeg, quality, 24);
}

bool WriteBmp24(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb,
                size_t fileSize) {
  images::Image image = ToImage(width, height, rgb);
  std::vector<uint8_t> bytes;
  if (image.width == 0 || !images::EncodeImage(image, images::kTagBmp, 0, 24, bytes)) return false;
  if (fileSize > bytes.size()) {
    bytes.resize(fileSize, 0);
    for (int i = 0; i < 4; ++i) bytes[2 + i] = static_cast<uint8_t>(fileSize >> (8 * i));
  }
  return WriteBytes(path, bytes);
}

bool WriteBmp555(const std::string& path, int width, int height,
                 const std::vector<uint16_t>& pixels, size_t fileSize) {
  uint32_t row = (static_cast<uint32_t>(width) * 2 + 3) & ~3u;
  size_t natural = 54 + static_cast<size_t>(row) * height;
  size_t total = fileSize > natural ? fileSize : natural;
  std::vector<uint8_t> out = BmpHeader(width, height, 16, row, static_cast<uint32_t>(total));
  for (int y = height - 1; y >= 0; --y) {
    for (int x = 0; x < width; ++x) Put16(out, pixels[static_cast<size_t>(y) * width + x]);
    for (uint32_t pad = static_cast<uint32_t>(width) * 2; pad < row; ++pad) out.push_back(0);
  }
  out.resize(total, 0);
  return WriteBytes(path, out);
}

bool WriteWav(const std::string& path, const std::vector<int16_t>& samples, int rate,
              int channels) {
  uint32_t data = static_cast<uint32_t>(samples.size() * 2);
  std::vector<uint8_t> out = {'R', 'I', 'F', 'F'};
  Put32(out, 36 + data);
  for (char c : std::string("WAVEfmt ")) out.push_back(static_cast<uint8_t>(c));
  Put32(out, 16);
  Put16(out, 1);
  Put16(out, static_cast<uint32_t>(channels));
  Put32(out, static_cast<uint32_t>(rate));
  Put32(out, static_cast<uint32_t>(rate * channels * 2));
  Put16(out, static_cast<uint32_t>(channels * 2));
  Put16(out, 16);
  for (char c : std::string("data")) out.push_back(static_cast<uint8_t>(c));
  Put32(out, data);
  for (int16_t s : samples) Put16(out, static_cast<uint16_t>(s));
  return WriteBytes(path, out);
}

bool WriteMp3(const std::string& path, const std::vector<float>& left,
              const std::vector<float>& right, int rate, int kbps) {
  lame_global_flags* lame = lame_init();
  if (!lame) return false;
  lame_set_in_samplerate(lame, rate);
  lame_set_out_samplerate(lame, rate);
  lame_set_num_channels(lame, 2);
  lame_set_mode(lame, JOINT_STEREO);
  lame_set_brate(lame, kbps);
  lame_set_quality(lame, 5);
  lame_set_bWriteVbrTag(lame, 1);  // the Info frame tells players the exact length and delay
  std::vector<uint8_t> out;
  bool ok = lame_init_params(lame) >= 0;
  const size_t chunk = 8192;
  std::vector<unsigned char> buf(chunk * 5 / 4 + 7200);
  for (size_t at = 0; ok && at < left.size(); at += chunk) {
    int n = static_cast<int>(std::min(chunk, left.size() - at));
    int got = lame_encode_buffer_ieee_float(lame, left.data() + at, right.data() + at, n,
                                            buf.data(), static_cast<int>(buf.size()));
    ok = got >= 0;
    if (ok) out.insert(out.end(), buf.begin(), buf.begin() + got);
  }
  if (ok) {
    int got = lame_encode_flush(lame, buf.data(), static_cast<int>(buf.size()));
    ok = got >= 0;
    if (ok) out.insert(out.end(), buf.begin(), buf.begin() + got);
  }
  if (ok) {
    // The first frame was reserved for the tag; fill it in now that the length is known.
    size_t tag = lame_get_lametag_frame(lame, buf.data(), buf.size());
    if (tag > 0 && tag <= out.size()) std::memcpy(out.data(), buf.data(), tag);
  }
  lame_close(lame);
  return ok && WriteBytes(path, out);
}

bool WriteText(const std::string& path, const std::string& text) {
  return WriteBytes(path, std::vector<uint8_t>(text.begin(), text.end()));
}

bool CopyFile(const std::string& from, const std::string& to) {
  std::ifstream in(from, std::ios::binary);
  if (!in) return false;
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                             std::istreambuf_iterator<char>());
  return WriteBytes(to, bytes);
}

}  // namespace artgen
