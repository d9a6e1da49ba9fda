#include "images/pictures.h"

#include <algorithm>
#include <map>
#include <memory>

#include "images/resize.h"

namespace images {
namespace {

constexpr int32_t kFirstHandle = kMaxFixedPicture + 1;

struct PictureTable {
  std::map<int32_t, std::unique_ptr<Image>> pictures;
  int32_t nextHandle = kFirstHandle;
};

PictureTable& Table() {
  static PictureTable table;
  return table;
}

}  // namespace

int32_t AddPicture(int32_t number, Image image) {
  if (number != kAnyPicture && (number < 0 || number > kMaxFixedPicture)) return kNoPicture;
  PictureTable& table = Table();
  if (number == kAnyPicture) {
    while (table.pictures.count(table.nextHandle)) ++table.nextHandle;
    number = table.nextHandle++;
  }
  auto& slot = table.pictures[number];
  slot = std::make_unique<Image>(std::move(image));
  return number;
}

int32_t CreatePicture(int32_t number, int32_t width, int32_t height, int32_t depth,
                      int32_t colour) {
  if (depth > 24 && depth != 32) return kNoPicture;
  Image image;
  if (!AllocateImage(image, width, height, depth == 32 ? 32 : 24)) return kNoPicture;
  const uint32_t c = static_cast<uint32_t>(colour);
  const uint8_t px[4] = {static_cast<uint8_t>(c >> 16), static_cast<uint8_t>(c >> 8),
                         static_cast<uint8_t>(c), static_cast<uint8_t>(colour == -1 ? 0 : 255)};
  const bool clear = image.depth == 32 && colour == -1;
  if (!clear && (c & 0xFFFFFF || image.depth == 32)) {
    const int32_t bpp = image.depth / 8;
    for (int32_t y = 0; y < height; ++y) {
      uint8_t* row = image.Row(y);
      for (int32_t x = 0; x < width; ++x) std::copy(px, px + bpp, row + x * bpp);
    }
  }
  return AddPicture(number, std::move(image));
}

int32_t LoadPictureFromMemory(int32_t number, const uint8_t* data, size_t size) {
  Image image;
  if (!DecodeImage(data, size, image)) return kNoPicture;
  return AddPicture(number, std::move(image));
}

int32_t LoadPicture(int32_t number, const std::string& path) {
  Image image;
  if (!DecodeImageFile(path, image)) return kNoPicture;
  return AddPicture(number, std::move(image));
}

int32_t CopyPicture(int32_t picture, int32_t number) {
  const Image* image = GetPicture(picture);
  return image ? AddPicture(number, *image) : kNoPicture;
}

bool SavePicture(int32_t picture, const std::string& path, uint32_t tag, int32_t quality,
                 int32_t depth) {
  const Image* image = GetPicture(picture);
  return image && EncodeImageFile(*image, path, tag, quality, depth);
}

bool ResizePicture(int32_t picture, int32_t width, int32_t height, int32_t mode) {
  Image* image = GetPicture(picture);
  if (!image) return false;
  return ResizeImage(*image, width, height, mode);
}

void FreePicture(int32_t picture) {
  auto& pictures = Table().pictures;
  if (auto it = pictures.find(picture); it != pictures.end()) {
    pictures.erase(it);
  }
}

bool PictureExists(int32_t picture) {
  return GetPicture(picture) != nullptr;
}

int32_t PictureWidth(int32_t picture) {
  const Image* image = GetPicture(picture);
  return image ? image->width : 0;
}

int32_t PictureHeight(int32_t picture) {
  const Image* image = GetPicture(picture);
  return image ? image->height : 0;
}

Image* GetPicture(int32_t picture) {
  auto& pictures = Table().pictures;
  auto it = pictures.find(picture);
  return it == pictures.end() ? nullptr : it->second.get();
}

}  // namespace images
