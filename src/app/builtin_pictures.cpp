#include "app/builtin_pictures.h"

#include <array>

#include "embedded/builtin_pictures.h"
#include "images/builtin.h"

namespace app {

std::span<const images::EmbeddedFile> BuiltInFiles() {
  return builtin_pictures();
}

int32_t LoadBuiltInPictures() {
  // The placeholder serves as 3 and 4 (4 is later replaced by thumbnails).
  static constexpr std::array<images::BuiltinPicture, 19> kTable{{
      {0, "picture00.bmp"},  {1, "picture01.bmp"},  {3, "picture03.bmp"},  {4, "picture03.bmp"},
      {5, "picture05.png"},  {6, "picture06.png"},  {7, "picture07.png"},  {8, "picture08.png"},
      {9, "picture09.png"},  {10, "picture10.png"}, {11, "picture11.png"}, {12, "picture12.bmp"},
      {13, "picture13.bmp"}, {14, "picture14.bmp"}, {15, "picture15.bmp"}, {16, "picture16.bmp"},
      {17, "picture17.bmp"}, {18, "picture18.bmp"}, {19, "picture19.bmp"},
  }};
  return images::LoadBuiltinPictures(builtin_pictures(), kTable);
}

}  // namespace app
