// Writes the fixture files that the built-in picture test embeds: one.bmp (3 x 2, green in the
// bottom-right corner) and blocks.bin (two 2 x 2 BMP files back to back, blue then red).
#include <cstdio>
#include <string>
#include <vector>

#include "images/codecs.h"

namespace {

images::Image Filled(int32_t w, int32_t h, uint8_t b, uint8_t g, uint8_t r) {
  images::Image image;
  images::AllocateImage(image, w, h, 24);
  for (int32_t y = 0; y < h; ++y) {
    for (int32_t x = 0; x < w; ++x) {
      uint8_t* p = image.Row(y) + 3 * x;
      p[0] = b, p[1] = g, p[2] = r;
    }
  }
  return image;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  const std::string folder = argv[1];
  images::Image one = Filled(3, 2, 0, 0, 0);
  uint8_t* corner = one.Row(0) + 6;  // bottom row, third pixel
  corner[1] = 255;
  std::vector<uint8_t> a, b;
  if (!images::EncodeImageFile(one, folder + "/one.bmp", images::kTagBmp, 7, 24)) return 1;
  if (!images::EncodeImage(Filled(2, 2, 255, 0, 0), images::kTagBmp, 7, 24, a)) return 1;
  if (!images::EncodeImage(Filled(2, 2, 0, 0, 255), images::kTagBmp, 7, 24, b)) return 1;
  a.insert(a.end(), b.begin(), b.end());
  std::FILE* f = std::fopen((folder + "/blocks.bin").c_str(), "wb");
  if (!f) return 1;
  const bool ok = std::fwrite(a.data(), 1, a.size(), f) == a.size();
  return std::fclose(f) == 0 && ok ? 0 : 1;
}
